#include <gtest/gtest.h>

#include <string>

#include "skin/data/velt_text.h"
#ifdef _WIN32
#include "classlib/controls/control_atom.h"
#include "classlib/graphics/bitmap.h"
#include "tests/classlib/graphics/pixel_probe.h"
#endif

namespace {

TEST(StrColor, TableOfNotations) {
  struct TCase {
    const char* Text;
    TColor Expected;
  };
  const TCase cases[] = {
      {"0 74 128", 0x804A00},
      {"0,74,128", 0x804A00},
      {"0a74b128", 0x804A00},
      {"  0 74 128  ", 0x804A00},
      {"0 74 128x", 0x804A00},     // the third number ended by a letter
      {"", 0},
      {"   ", 0},
      {"10 20", 0x00000A},         // a number at the end counts only as the third
      {"10", 0},
      {"300 0 0", 44},             // the low byte
      {"1 2 3 4", 0x030201},       // a fourth number changes nothing
      {"1 2 3 4 5 6", 0x030201},
      {"-5 -6 -7", 0x070605},      // a minus sign is only a separator
      {"1 99999999999 2", 0x000001},  // too large: pending, and then never a number
      {"007 08 9", 0x090807},
  };
  for (const TCase& c : cases) EXPECT_EQ(strcolor(c.Text), c.Expected) << '"' << c.Text << '"';
  EXPECT_EQ(RGBToColor(1, 2, 3), 0x030201);
}

#ifdef _WIN32

class CodePage : public ::testing::Test {
protected:
  void TearDown() override { DefaultUserCodePage = 0; }
};

TEST_F(CodePage, ConversionsFollowTheDefaultUserCodePage) {
  DefaultUserCodePage = 936;
  EXPECT_EQ(StrToWideStr("\xB4\xBA" "a"), L"\u6625a");
  EXPECT_EQ(WideStringToStringEx(L"\u6625a"), "\xB4\xBA" "a");
  DefaultUserCodePage = 1252;
  EXPECT_EQ(StrToWideStr("\xE9"), L"\u00E9");
  EXPECT_EQ(WideStringToStringEx(L"\u6625"), "?");  // the code page's own replacement
  EXPECT_EQ(StrToWideStr(""), L"");
  EXPECT_EQ(WideStringToStringEx(L""), "");
  DefaultUserCodePage = 0;
  EXPECT_EQ(WideStringToStringEx(StrToWideStr("Karo")), "Karo");
}

TEST(WStr, CountsAndTerminators) {
  EXPECT_EQ(_WStr(L"abc", -1), L"abc");
  EXPECT_EQ(_WStr(L"abcdef", 3), L"abc");
  EXPECT_EQ(_WStr(L"abc", 0), L"");
  EXPECT_EQ(_WStr(L"abc", -2), L"");
  EXPECT_EQ(_WStr(nullptr, 5), L"");
  EXPECT_EQ(_WStr(L"a\0b", 3), WideString(L"a\0b", 3));
}

// Draws text into a white 32-bit bitmap with one font and returns what DrawText returned.
class DrawTextTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(bmp_); }
  void TearDown() override { Win32PlatformIsUnicode = true; }
  static void Reset(TBitmap& b) {
    Surface(b, 60, 24, 0xFFFFFF);
    TCanvas* c = b.Canvas();
    c->Font()->SetName(L"SimSun");
    c->Font()->SetHeight(-16);
    c->Font()->SetCharset(GB2312_CHARSET);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
  }
  static bool SamePixels(TBitmap& a, TBitmap& b) {
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (PixelOf(a, x, y) != PixelOf(b, x, y)) return false;
    return true;
  }
  static int Ink(TBitmap& b) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) n += PixelOf(b, x, y) != 0xFFFFFFu;
    return n;
  }
  TBitmap bmp_;
};

TEST_F(DrawTextTest, UnicodePlatformDrawsTheWideText) {
  Win32PlatformIsUnicode = true;
  RECT r{0, 0, 60, 24};
  int h = Tnt_DrawTextW(bmp_.Canvas()->Handle(), L"\u6625\u5929", r, DT_SINGLELINE);
  EXPECT_GT(h, 0);
  EXPECT_GT(Ink(bmp_), 20);

  TBitmap expected;
  Reset(expected);
  RECT r2{0, 0, 60, 24};
  DrawTextW(expected.Canvas()->Handle(), L"\u6625\u5929", 2, &r2, DT_SINGLELINE);
  EXPECT_TRUE(SamePixels(bmp_, expected));

  // Measuring changes the rectangle; a string the system may modify leaves the caller's alone.
  RECT calc{0, 0, 0, 0};
  Tnt_DrawTextW(bmp_.Canvas()->Handle(), L"\u6625\u5929", calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_GT(calc.right, 10);
  const WideString longText = L"a rather long caption";
  RECT narrow{0, 0, 20, 24};
  Tnt_DrawTextW(bmp_.Canvas()->Handle(), longText, narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
  EXPECT_EQ(longText, L"a rather long caption");
}

TEST_F(DrawTextTest, AnsiPlatformDrawsTheAnsiFormOfTheText) {
  Win32PlatformIsUnicode = false;
  const WideString text = L"A\u6625";
  RECT r{0, 0, 60, 24};
  int h = Tnt_DrawTextW(bmp_.Canvas()->Handle(), text, r, DT_SINGLELINE);

  // The platform's ordinary conversion: characters without an ANSI form become its default.
  char ansi[16] = {};
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  TBitmap expected;
  Reset(expected);
  RECT r2{0, 0, 60, 24};
  int h2 = DrawTextA(expected.Canvas()->Handle(), ansi, -1, &r2, DT_SINGLELINE);
  EXPECT_EQ(h, h2);
  EXPECT_TRUE(SamePixels(bmp_, expected));
  EXPECT_GT(Ink(bmp_), 10);
}

TEST(ControlAtomTest, NameAndRegistration) {
#ifdef _WIN64
  EXPECT_EQ(ControlAtomName(reinterpret_cast<HINSTANCE>(uintptr_t(0x140000000)), 0x1A),
            "ControlOfs0000000140000000" "0000001A");
#else
  EXPECT_EQ(ControlAtomName(reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000)), 0x1A), "ControlOfs004000000000001A");
#endif
  ASSERT_NE(ControlAtom, 0);
  EXPECT_NE(RM_GetObjectInstance, 0u);
  char name[64] = {};
  GlobalGetAtomNameA(ControlAtom, name, sizeof name);
  EXPECT_EQ(std::string(name), ControlAtomName(GetModuleHandleW(nullptr), GetCurrentThreadId()));
}

TEST(FindControlxTest, FindsTheObjectStoredUnderTheAtom) {
  EXPECT_EQ(FindControlx(nullptr), nullptr);
  HWND a = CreateWindowExW(0, L"STATIC", L"a", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExW(0, L"STATIC", L"b", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(a && b);
  int object = 0;
  auto* control = reinterpret_cast<TWinControl*>(&object);
  SetPropW(a, MAKEINTATOM(ControlAtom), HANDLE(control));
  EXPECT_EQ(FindControlx(a), control);
  EXPECT_EQ(FindControlx(b), nullptr);
  RemovePropW(a, MAKEINTATOM(ControlAtom));
  DestroyWindow(a);
  DestroyWindow(b);
}

#endif

}  // namespace
