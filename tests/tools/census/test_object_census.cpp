// The object census sees each kind of object the program makes and leaks, drops what is freed,
// given to the system or freed out of its sight, and its check fails on a leak.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/census_check.h"
#include "tools/census/object_census.h"

namespace {

constexpr long TObjectCensus::*kFields[] = {
    &TObjectCensus::Gdi,     &TObjectCensus::User,    &TObjectCensus::Windows,  &TObjectCensus::Menus,
    &TObjectCensus::Dcs,     &TObjectCensus::Bitmaps, &TObjectCensus::Brushes,  &TObjectCensus::Pens,
    &TObjectCensus::Fonts,   &TObjectCensus::Regions, &TObjectCensus::Palettes, &TObjectCensus::Icons,
    &TObjectCensus::ImageLists, &TObjectCensus::Hooks,
};

TObjectCensus Plus(TObjectCensus a, const TObjectCensus& d) {
  for (auto f : kFields) a.*f += d.*f;
  return a;
}

// A system icon (OIC_SAMPLE) that LoadImage gives without a module.
constexpr WORD kSystemIcon = 32512;

LRESULT CALLBACK PassOn(int code, WPARAM wp, LPARAM lp) { return CallNextHookEx(nullptr, code, wp, lp); }

HWND MakeWindow(DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr, HMENU menu = nullptr) {
  return CreateWindowExW(0, L"STATIC", L"census", style, 0, 0, 50, 50, parent, menu, GetModuleHandleW(nullptr), nullptr);
}

// The system's functions themselves, reached without the program's import table.
template <class F>
F Unredirected(const char* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
}

// A menu template in memory: a bar with one popup holding one item.
std::vector<WORD> BarWithPopupTemplate() {
  return {0, 0,                              // header: version, offset
          MF_POPUP | MF_END, L'F', 0,        // popup "F", last item of the bar
          MF_END, 1, L'O', 0};               // its one item "O" with id 1
}

class Census : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    InitCommonControls();
    // A thread's first window brings what the system makes once per thread; the cases count
    // from after it.
    DestroyWindow(MakeWindow());
  }
};

TEST_F(Census, InstallsAndTakesCounts) {
  EXPECT_TRUE(InstallObjectCensus());
  EXPECT_TRUE(InstallObjectCensus());  // a second time changes nothing
  TObjectCensus a{}, b{};
  ASSERT_TRUE(TakeCensus(a));
  ASSERT_TRUE(TakeCensus(b));
  EXPECT_EQ(a, b) << CensusDifference(a, b);
  EXPECT_EQ(a.User, a.Windows + a.Menus + a.Icons + a.Hooks);
}

struct TLeakCase {
  const char* Name;
  std::function<std::function<void()>()> Make;  // makes the object, returns what frees it
  TObjectCensus Delta;
};

TEST_F(Census, SeesEachObjectMadeAndGivenBack) {
  const TLeakCase cases[] = {
      {"solid brush", [] { HBRUSH b = CreateSolidBrush(RGB(1, 2, 3)); return [b] { DeleteObject(b); }; },
       {.Gdi = 1, .Brushes = 1}},
      {"hatch brush", [] { HBRUSH b = CreateHatchBrush(HS_CROSS, 0); return [b] { DeleteObject(b); }; },
       {.Gdi = 1, .Brushes = 1}},
      {"compatible bitmap",
       [] {
         HDC screen = GetDC(nullptr);
         HBITMAP b = CreateCompatibleBitmap(screen, 8, 8);
         ReleaseDC(nullptr, screen);
         return [b] { DeleteObject(b); };
       },
       {.Gdi = 1, .Bitmaps = 1}},
      {"DIB section",
       [] {
         BITMAPINFO bi{};
         bi.bmiHeader.biSize = sizeof bi.bmiHeader;
         bi.bmiHeader.biWidth = 4;
         bi.bmiHeader.biHeight = -4;
         bi.bmiHeader.biPlanes = 1;
         bi.bmiHeader.biBitCount = 32;
         void* bits = nullptr;
         HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
         return [b] { DeleteObject(b); };
       },
       {.Gdi = 1, .Bitmaps = 1}},
      {"memory DC", [] { HDC dc = CreateCompatibleDC(nullptr); return [dc] { DeleteDC(dc); }; }, {.Gdi = 1, .Dcs = 1}},
      {"held window DC", [] { HDC dc = GetDC(nullptr); return [dc] { ReleaseDC(nullptr, dc); }; }, {.Gdi = 1, .Dcs = 1}},
      {"rectangle region", [] { HRGN r = CreateRectRgn(0, 0, 4, 4); return [r] { DeleteObject(r); }; },
       {.Gdi = 1, .Regions = 1}},
      {"region from data",
       [] {
         struct {
           RGNDATAHEADER Header;
           RECT Rect;
         } data{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, 0, {0, 0, 4, 4}}, {0, 0, 4, 4}};
         HRGN r = ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data));
         return [r] { DeleteObject(r); };
       },
       {.Gdi = 1, .Regions = 1}},
      {"pen", [] { HPEN p = CreatePen(PS_SOLID, 1, 0); return [p] { DeleteObject(p); }; }, {.Gdi = 1, .Pens = 1}},
      {"font",
       [] {
         LOGFONTW lf{};
         lf.lfHeight = -12;
         HFONT f = CreateFontIndirectW(&lf);
         return [f] { DeleteObject(f); };
       },
       {.Gdi = 1, .Fonts = 1}},
      {"palette",
       [] {
         HDC screen = GetDC(nullptr);
         HPALETTE p = CreateHalftonePalette(screen);
         ReleaseDC(nullptr, screen);
         return [p] { DeleteObject(p); };
       },
       {.Gdi = 1, .Palettes = 1}},
      {"image list", [] { HIMAGELIST l = ImageList_Create(8, 8, ILC_COLOR24, 1, 1); return [l] { ImageList_Destroy(l); }; },
       {.Gdi = 1, .ImageLists = 1}},
      {"popup menu", [] { HMENU m = CreatePopupMenu(); return [m] { DestroyMenu(m); }; }, {.User = 1, .Menus = 1}},
      {"loaded menu with its submenu",
       [] {
         std::vector<WORD> t = BarWithPopupTemplate();
         HMENU m = LoadMenuIndirectW(t.data());
         return [m] { DestroyMenu(m); };  // takes its submenu with it
       },
       {.User = 2, .Menus = 2}},
      {"window", [] { HWND w = MakeWindow(); return [w] { DestroyWindow(w); }; }, {.User = 1, .Windows = 1}},
      {"window with a child",
       [] {
         HWND w = MakeWindow();
         MakeWindow(WS_CHILD, w);
         return [w] { DestroyWindow(w); };
       },
       {.User = 2, .Windows = 2}},
      {"message-only window", [] { HWND w = MakeWindow(0, HWND_MESSAGE); return [w] { DestroyWindow(w); }; },
       {.User = 1, .Windows = 1}},
      {"icon",
       [] {
         HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr), color = CreateBitmap(16, 16, 1, 32, nullptr);
         ICONINFO info{TRUE, 0, 0, mask, color};
         HICON i = CreateIconIndirect(&info);
         DeleteObject(mask);
         DeleteObject(color);
         return [i] { DestroyIcon(i); };
       },
       {.User = 1, .Icons = 1}},
      {"hook",
       [] {
         HHOOK h = SetWindowsHookExW(WH_CBT, &PassOn, nullptr, GetCurrentThreadId());
         return [h] { UnhookWindowsHookEx(h); };
       },
       {.User = 1, .Hooks = 1}},
  };
  for (const TLeakCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TObjectCensus before{}, made{};
    ASSERT_TRUE(TakeCensus(before));
    std::function<void()> free = c.Make();
    ASSERT_TRUE(TakeCensus(made));
    TObjectCensus expected = Plus(before, c.Delta);
    EXPECT_EQ(made, expected) << "seen: " << CensusDifference(before, made);
    free();
    EXPECT_TRUE(CensusIs(before));
  }
}

// Objects whose end the program does not call for itself: given to the system, destroyed with
// a window, or freed through a path the census does not watch.
TEST_F(Census, FollowsObjectsTheSystemTakesOrFrees) {
  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));

  // A window's region belongs to the system once set, and goes with the window.
  HWND w = MakeWindow();
  HRGN r = CreateRectRgn(0, 0, 10, 10);
  ASSERT_NE(SetWindowRgn(w, r, FALSE), 0);
  EXPECT_TRUE(CensusIs(Plus(before, {.User = 1, .Windows = 1})));
  // A window's menu and its submenus go with the window.
  std::vector<WORD> t = BarWithPopupTemplate();
  HMENU bar = LoadMenuIndirectW(t.data());
  ASSERT_TRUE(SetMenu(w, bar));
  EXPECT_TRUE(CensusIs(Plus(before, {.User = 3, .Windows = 1, .Menus = 2})));
  DestroyWindow(w);
  EXPECT_TRUE(CensusIs(before));

  // Deleting a submenu with DeleteMenu frees it too.
  bar = LoadMenuIndirectW(t.data());
  DeleteMenu(bar, 0, MF_BYPOSITION);
  EXPECT_TRUE(CensusIs(Plus(before, {.User = 1, .Menus = 1})));
  DestroyMenu(bar);

  // An object freed out of the census's sight drops out; one made out of its sight and freed
  // in it does not count below zero.
  auto realDelete = Unredirected<decltype(&DeleteObject)>("gdi32.dll", "DeleteObject");
  auto realBrush = Unredirected<decltype(&CreateSolidBrush)>("gdi32.dll", "CreateSolidBrush");
  ASSERT_TRUE(realDelete && realBrush);
  HBRUSH seen = CreateSolidBrush(0);
  realDelete(seen);
  EXPECT_TRUE(CensusIs(before));
  HBRUSH unseen = realBrush(0);
  EXPECT_TRUE(CensusIs(before));
  EXPECT_TRUE(DeleteObject(unseen));
  EXPECT_TRUE(CensusIs(before));
  // Stock objects and shared icons are the system's.
  DeleteObject(GetStockObject(BLACK_BRUSH));
  HANDLE shared = LoadImageW(nullptr, MAKEINTRESOURCEW(kSystemIcon), IMAGE_ICON, 0, 0, LR_SHARED);
  EXPECT_NE(shared, nullptr);
  EXPECT_TRUE(CensusIs(before));
  // A DC released more often than held stays at zero.
  HDC dc = GetDC(nullptr);
  ReleaseDC(nullptr, dc);
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(CensusIs(before));
}

TEST_F(Census, ImagesCountByTheirKind) {
  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));
  HBITMAP b = CreateBitmap(8, 8, 1, 32, nullptr);
  HANDLE copy = CopyImage(b, IMAGE_BITMAP, 4, 4, 0);
  EXPECT_TRUE(CensusIs(Plus(before, {.Gdi = 2, .Bitmaps = 2})));
  // Copying with LR_COPYDELETEORG frees the original.
  HANDLE second = CopyImage(copy, IMAGE_BITMAP, 2, 2, LR_COPYDELETEORG);
  EXPECT_TRUE(CensusIs(Plus(before, {.Gdi = 2, .Bitmaps = 2})));
  HANDLE icon = LoadImageW(nullptr, MAKEINTRESOURCEW(kSystemIcon), IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(icon, nullptr);
  HICON iconCopy = CopyIcon(HICON(icon));
  EXPECT_TRUE(CensusIs(Plus(before, {.Gdi = 2, .User = 2, .Bitmaps = 2, .Icons = 2})));
  DestroyIcon(iconCopy);
  DestroyIcon(HICON(icon));
  DeleteObject(second);
  DeleteObject(b);
  EXPECT_TRUE(CensusIs(before));
}

// The check a test relies on fails when something is left behind, naming what.
TEST_F(Census, CheckFailsOnALeakAndNamesIt) {
  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));
  HBRUSH leaked = CreateSolidBrush(RGB(9, 9, 9));
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(CensusIs(before)), "Brushes");
  HWND w = MakeWindow();
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(CensusIs(before)), "Windows");
  DestroyWindow(w);
  DeleteObject(leaked);
  EXPECT_TRUE(CensusIs(before));
}

DWORD WINAPI MakeBrushThread(void* brush) {
  *static_cast<HBRUSH*>(brush) = CreateSolidBrush(RGB(4, 5, 6));
  return 0;
}

// Objects made on another thread are counted as well: the census is the process's.
TEST_F(Census, CountsObjectsOfOtherThreads) {
  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));
  HBRUSH made = nullptr;
  HANDLE thread = CreateThread(nullptr, 0, &MakeBrushThread, &made, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_TRUE(CensusIs(Plus(before, {.Gdi = 1, .Brushes = 1})));
  DeleteObject(made);
  EXPECT_TRUE(CensusIs(before));
}

}  // namespace
