#include <gtest/gtest.h>

#include "classlib/core/sysutils.h"

struct IntCase {
  const char* text;
  bool ok;
  int32_t value;
};

TEST(SysUtils, TryStrToIntTable) {
  const IntCase cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"-42", true, -42},
      {"+7", true, 7},
      {"  12", true, 12},        // leading blanks are skipped
      {"12 ", false, 0},         // trailing ones are not
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},  // decimal values stay inside 32 bits
      {"-2147483649", false, 0},
      {"4294967296", false, 0},
      {"$1F", true, 31},
      {"0x1F", true, 31},
      {"0X1f", true, 31},
      {"$FFFFFFFF", true, -1},   // hexadecimal uses all 32 bits
      {"$FF00000F", true, -16777201},
      {"0xFF000018", true, -16777192},
      {"$000000001", true, 1},   // leading zeros do not count against the range
      {"$100000000", false, 0},
      {"-$10", true, -16},
      {"$", false, 0},
      {"0x", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"12a", false, 0},
      {"$G", false, 0},
      {"1.5", false, 0},
  };
  for (const IntCase& c : cases) {
    int32_t v = 99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
    EXPECT_EQ(StrToIntDef(c.text, 99), c.ok ? c.value : 99) << c.text;
  }
  EXPECT_THROW(StrToInt("x1"), EConvertError);
  try {
    StrToInt("abc");
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(SysUtils, TrimAndCaseAreAsciiOnly) {
  EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim(""), "");
  // Bytes above 127 (a double-byte character, say) are neither trimmed nor folded.
  EXPECT_EQ(Trim("\xA2\xD9 "), "\xA2\xD9");
  EXPECT_EQ(LowerCase("AbC\xC4"), "abc\xC4");
  EXPECT_EQ(UpperCase("aBc\xE4"), "ABC\xE4");
  EXPECT_TRUE(SameText("TButton", "tbutton"));
  EXPECT_FALSE(SameText("TButton", "TButton1"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
}

TEST(SysUtils, NumbersToText) {
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("ControlOfs%.8X%.8X", 0x400000u, 0x2Au), "ControlOfs004000000000002A");
  EXPECT_EQ(Format("%s%1d", "COLOUR", 3), "COLOUR3");
}

TEST(SysUtils, RoundsHalvesToEven) {
  const std::pair<double, int64_t> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2},
                                              {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7}};
  for (auto [x, r] : cases) EXPECT_EQ(Round(x), r) << x;
}

TEST(SysUtils, FileNameParts) {
  struct Case {
    const char* name;
    const char* file;
    const char* path;
    const char* ext;
    const char* changed;  // ChangeFileExt(name, ".ini")
  };
  const Case cases[] = {
      {"C:\\Skins\\Yellow.skn", "Yellow.skn", "C:\\Skins\\", ".skn", "C:\\Skins\\Yellow.ini"},
      {"images/Left.bmp", "Left.bmp", "images/", ".bmp", "images/Left.ini"},
      {"C:name.txt", "name.txt", "C:", ".txt", "C:name.ini"},
      {"noext", "noext", "", "", "noext.ini"},
      {"dir.d\\noext", "noext", "dir.d\\", "", "dir.d\\noext.ini"},
      {"a.b.c", "a.b.c", "", ".c", "a.b.ini"},
      {"trailing\\", "", "trailing\\", "", "trailing\\.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    EXPECT_EQ(ChangeFileExt(c.name, ".ini"), c.changed) << c.name;
  }
}

TEST(SysUtils, Utf8AndUtf16) {
  const std::u16string chun = u"\u6625\u2460";
  std::string utf8 = Utf16ToUtf8(chun);
  EXPECT_EQ(utf8, "\xE6\x98\xA5\xE2\x91\xA0");
  EXPECT_EQ(Utf8ToUtf16(utf8), chun);
  // A character outside the basic plane travels as a surrogate pair.
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  // Malformed input: a lone continuation byte, an overlong form, a cut sequence, a lone surrogate.
  EXPECT_EQ(Utf8ToUtf16("a\x80" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE6\x98"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

#ifdef _WIN32
#include <windows.h>

TEST(SysUtilsWindows, CodePageConversions) {
  // Code page 936 (GBK) holds the circled digits of the scratch-pad names.
  EXPECT_EQ(WideToAnsi(L"\u2460", 936), "\xA2\xD9");
  EXPECT_EQ(AnsiToWide("\xA2\xDE", 936), L"\u2465");
  bool lost = false;
  std::string latin = WideToAnsi(L"a\u6625", 1252, &lost);
  EXPECT_TRUE(lost);
  EXPECT_EQ(latin.substr(0, 1), "a");
  WideToAnsi(L"plain", 1252, &lost);
  EXPECT_FALSE(lost);
  EXPECT_EQ(Utf8ToWide("\xE6\x98\xA5"), L"\u6625");
  EXPECT_EQ(WideToUtf8(L"\u6625"), "\xE6\x98\xA5");
  // The narrow text of the build is the ANSI code page.
  EXPECT_EQ(Utf16ToNarrow(u"abc"), "abc");
  EXPECT_EQ(WideToAnsi(L"x", GetACP()), "x");
}

TEST(SysUtilsWindows, WideFileNamesAndExistence) {
  WideString dir = L"sysutils_\u2460";
  CreateDirectoryW(dir.c_str(), nullptr);
  WideString file = dir + L"\\\u2461.txt";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));  // a directory is no file
  EXPECT_FALSE(FileExists(dir + L"\\none.txt"));
  EXPECT_EQ(ExtractFileName(file), L"\u2461.txt");
  EXPECT_EQ(ExtractFilePath(file), dir + L"\\");
  EXPECT_EQ(ChangeFileExt(file, L".bak"), dir + L"\\\u2461.bak");
  DeleteFileW(file.c_str());
  RemoveDirectoryW(dir.c_str());
}

#endif
