// The skinned frame: its pixels through the frame-painting message into a 32-bit DIB (borders,
// title bar and caption buttons in each state, active and inactive, maximised, a dialog, an MDI
// child), the region from a keyed border, the client rectangle of a window smaller than its
// frame, the hit test against the geometry, clicks on the caption buttons changing the window as
// the system's own buttons do, double clicks, the hover timer, and a Chinese caption's glyphs.

#include "classlib/controls/menus.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/controls/timer.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/canvas.h"
#include "classlib/graphics/graphics.h"
#include "skin/data/velt_data.h"
#include "tools/census/object_census.h"
#include "skin/windows/controls/control_skin.h"
#include "skin/windows/forms/caption_buttons.h"
#include "tests/skin/windows/manager/skin_test_env.h"
#include "tests/support/dib.h"

using namespace skintest;

namespace {

// Picture numbers of the caption buttons added to the complete test skin (the r of FrameColor).
constexpr int kClose = 9, kMax = 60, kMin = 61, kUser = 62, kAfterText = 63;
constexpr int kLeft = 0, kRight = 1, kTop = 2, kBottom = 3;

// The complete test skin with maximise, minimise, an application-defined button (Action 5) and
// an icon button; Left is keyed (magenta in its first column over its top 10 rows) when asked.
std::string FrameSkin(bool keyedLeft = false, bool afterText = false) {
  TTestSkin skin = CompleteSkin();
  if (keyedLeft) {
    for (auto& p : skin.Pictures)
      if (p.Name == "left.bmp")
        p.Data = Bmp(8, 30, [](int x, int y) { return (x % 4 == 0 && y < 10) ? kKey : FrameColor(kLeft, 1 + x / 4); });
  }
  skin.Add("max.bmp", Strip(kMax, 4, 18, 18)).Add("min.bmp", Strip(kMin, 4, 18, 18)).Add("user.bmp", Strip(kUser, 4, 18, 18));
  std::string extra =
      "[ButtonMax]\r\nAction=1\r\nAlign=1\r\nXcoord=50\r\nYcoord=4\r\nframe=4\r\nButtonImage=max.bmp\r\n"
      "[ButtonMin]\r\nAction=2\r\nAlign=1\r\nXcoord=70\r\nYcoord=4\r\nframe=4\r\nButtonImage=min.bmp\r\n"
      "[ButtonUser]\r\nAction=5\r\nAlign=1\r\nXcoord=90\r\nYcoord=4\r\nframe=4\r\nButtonImage=user.bmp\r\n";
  if (keyedLeft) extra += "[Personality]\r\nLeftTrans=1\r\n";
  if (afterText) {
    // A button that follows the caption text, wherever the text ends.
    skin.Add("after.bmp", Strip(kAfterText, 4, 12, 12));
    extra += "[ButtonAfterText]\r\nAction=6\r\nAlign=3\r\nXcoord=2\r\nYcoord=6\r\nframe=4\r\nButtonImage=after.bmp\r\n";
  }
  skin.Ini += extra;
  // CompleteSkin's icon button sits at the origin; move it inside the title bar.
  const std::string icon = "[ButtonIcon]\r\nAction=3\r\n";
  skin.Ini.replace(skin.Ini.find(icon), icon.size(), "[ButtonIcon]\r\nAction=3\r\nXcoord=6\r\nYcoord=4\r\n");
  return skin.File();
}

// Records what the application is told by the skinned frame.
UINT g_lastUserAction = 0;
LRESULT g_visibleAnswer = 0;
LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == CN_SysBtnAction) {
    g_lastUserAction = UINT(wp);
    return 0;
  }
  if (m == CN_SysBtnVisible) return g_visibleAnswer;
  return DefWindowProcW(w, m, wp, lp);
}

HWND MakeRecorded(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD ex = 0, const wchar_t* caption = L"Test",
                  const wchar_t* cls = L"KaroFrameTest") {
  RegisterWindowClass(L"KaroFrameTest", RecordingProc, {.Icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512))});
  return CreateWindowExW(ex, cls, caption, style, 40, 40, 320, 220, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

RECT WindowRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

// The frame as the frame-painting message paints it, in a picture of the window's size that starts
// in raw 0x123456.
struct TFrameShot : TDib {
  explicit TFrameShot(HWND w)
      : TDib(Width(WindowRectOf(w)), Height(WindowRectOf(w)), RGB(0x12, 0x34, 0x56)),
        Result(SendMessageW(w, CN_SkinPaintFrame, WPARAM(DC), kSkinLibraryMark)) {}
  LRESULT Result;
};

class FramePaint_ : public ManagerTest {
protected:
  void SetUp() override {
    ManagerTest::SetUp();
    TVeltForm::CursorPos = nullptr;
    // Double clicks are timed by a clock the tests set.
    now_ = 100000;
    TVeltForm::Clock = [] { return now_; };
    g_lastUserAction = 0;
    g_visibleAnswer = 0;
  }
  void TearDown() override {
    TVeltForm::CursorPos = nullptr;
    TVeltForm::Clock = nullptr;
    ManagerTest::TearDown();
  }
  // Moves the seamed clock on.
  static void Wait(DWORD ms) { now_ += ms; }
  static inline DWORD now_ = 0;
  TVeltForm* SkinFrame(HWND w, bool keyedLeft = false, bool paint = true, bool afterText = false) {
    Data(sfMainform, nullptr, FrameSkin(keyedLeft, afterText));
    Window(w);
    TVeltForm* f = Skin(w);
    if (f && paint) f->UpdateNc(nullptr);
    return f;
  }
  static TWinSysButton* ButtonOf(TVeltForm* f, int action) {
    for (int i = 0; i < f->SysBtnCount(); ++i)
      if (f->SysBtn(i)->Button->Action == action) return f->SysBtn(i);
    return nullptr;
  }
  static POINT ScreenCentre(HWND w, const TRect& r) {
    RECT wr{};
    GetWindowRect(w, &wr);
    return POINT{wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
  }
  // The close button of a freshly skinned window made hot by the mouse, the cursor seam left on
  // it and the hover timer running; nil when that fails.
  TWinSysButton* HoverOnClose(HWND w, TVeltForm*& f) {
    f = SkinFrame(w);
    if (!f) return nullptr;
    f->Active = true;
    TWinSysButton* close = ButtonOf(f, 0);
    hoverCursor_ = ScreenCentre(w, close->Rect);
    TVeltForm::CursorPos = [] { return hoverCursor_; };
    SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(hoverCursor_.x, hoverCursor_.y));
    EXPECT_EQ(f->HotObject, close);
    f->HoverTimer()->SetEnabled(true);
    f->HoverTimer()->Tick();
    EXPECT_EQ(f->HotObject, close) << "still over it";
    return close;
  }
  static inline POINT hoverCursor_{};
  // A click on a button as the mouse gives it: press and release over it.
  static void Click(HWND w, TWinSysButton* b) {
    const POINT p = ScreenCentre(w, b->Rect);
    SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    SendMessageW(w, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(p.x, p.y));
  }
};

// ---- Pixels

struct TPixelRow {
  const char* Name;
  DWORD Style, ExStyle;
  std::function<void(HWND, TVeltForm*)> Arrange;
  int BorderFrame;       // left, right, top and bottom borders
  int CloseFrame, MaxFrame, MinFrame;
};

TEST_F(FramePaint_, EveryPieceOfTheFrameShowsTheFrameItsStateAsks) {
  const TPixelRow rows[] = {
      {"active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr, 1, 1, 1, 1},
      {"inactive", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
       [](HWND w, TVeltForm*) { SendMessageW(w, WM_NCACTIVATE, FALSE, 0); }, 2, 4, 4, 4},
      {"no maximise box: disabled", (WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX) | WS_VISIBLE, 0, nullptr, 1, 1, 4, 1},
      {"context help is no maximise box", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, WS_EX_CONTEXTHELP,
       nullptr, 1, 1, 4, 1},
      {"maximise box taken away later", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
       [](HWND w, TVeltForm*) {
         SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) & ~WS_MAXIMIZEBOX);
       },
       1, 1, 4, 1},
      {"maximised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, [](HWND w, TVeltForm*) { ShowWindow(w, SW_MAXIMIZE); }, 1, 1, 1,
       1},
      {"hot close", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
       [](HWND w, TVeltForm* f) {
         const POINT p = ScreenCentre(w, ButtonOf(f, 0)->Rect);
         SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
       },
       1, 3, 1, 1},
      {"pressed close", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
       [](HWND w, TVeltForm* f) {
         const POINT p = ScreenCentre(w, ButtonOf(f, 0)->Rect);
         SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
       },
       1, 2, 1, 1},
  };
  for (const TPixelRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = MakeRecorded(row.Style, row.ExStyle);
    TVeltForm* f = SkinFrame(w);
    ASSERT_NE(f, nullptr);
    Pump();
    // Activation under the test harness comes when it comes: the row says which look it wants.
    f->Active = true;
    if (row.Arrange) row.Arrange(w, f);
    Pump();
    if (row.BorderFrame != 1) f->Active = false;
    const TFrameShot shot(w);
    EXPECT_EQ(shot.Result, kSkinLibraryMark);
    const int W = shot.W, H = shot.H;
    EXPECT_EQ(shot.At(1, H / 2), FrameColor(kLeft, row.BorderFrame));
    EXPECT_EQ(shot.At(W - 2, H / 2), FrameColor(kRight, row.BorderFrame));
    EXPECT_EQ(shot.At(W / 2, H - 2), FrameColor(kBottom, row.BorderFrame));
    EXPECT_EQ(shot.At(W - 120, 2), FrameColor(kTop, row.BorderFrame));
    auto centre = [&](int action) {
      const TRect r = ButtonOf(f, action)->Rect;
      return shot.At((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    EXPECT_EQ(centre(0), FrameColor(kClose, row.CloseFrame));
    EXPECT_EQ(centre(1), FrameColor(kMax, row.MaxFrame));
    EXPECT_EQ(centre(2), FrameColor(kMin, row.MinFrame));
    // Nothing lands in the client area, and every pixel of the frame is painted: nothing of the
    // target is read back and kept (the target's colour is the one the shot starts with).
    EXPECT_EQ(shot.At(W / 2, H / 2), 0x563412u);
    RECT client{};
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    RECT wr{};
    GetWindowRect(w, &wr);
    const int cx = origin.x - wr.left, cy = origin.y - wr.top;
    int unpainted = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool inClient = x >= cx && x < cx + client.right && y >= cy && y < cy + client.bottom;
        if (!inClient && shot.At(x, y) == 0x563412u) ++unpainted;
      }
    EXPECT_EQ(unpainted, 0);
  }
}

TEST_F(FramePaint_, ADialogGetsTheFrameAndTheFaceColourBehindItsTextAndStatics) {
  HWND w = MakeWindow(L"#32770", WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  f->Active = true;
  const TFrameShot shot(w);
  EXPECT_EQ(shot.At(1, shot.H / 2), FrameColor(kLeft, 1));
  EXPECT_EQ(shot.At(shot.W - 120, 2), FrameColor(kTop, 1));
  // No icon on a dialog frame.
  EXPECT_FALSE(ButtonOf(f, 3)->Visible);
  HWND label = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 5, 5, 40, 16, w, nullptr, nullptr, nullptr);
  HDC dc = GetDC(label);
  const LRESULT brush = SendMessageW(w, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(label));
  ReleaseDC(label, dc);
  TSkinData* d = f->SkinData;
  EXPECT_EQ(HBRUSH(brush), d->FaceBrush.get());
  // The client background.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 50, 50);
  HGDIOBJ old = SelectObject(mem, bmp);
  EXPECT_NE(SendMessageW(w, WM_ERASEBKGND, WPARAM(mem), 0), 0);
  EXPECT_EQ(GetPixel(mem, 10, 10), COLORREF(RGB(250, 243, 223)));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

LRESULT CALLBACK MdiFrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefFrameProcW(w, FindWindowExW(w, nullptr, L"MDIClient", nullptr), m, wp, lp);
}
LRESULT CALLBACK MdiChildProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcW(w, m, wp, lp); }

// A visible MDI frame of this module and its MDI client.
HWND MakeMdiFrame(HWND& Client) {
  RegisterWindowClass(L"KaroFrameMDI", MdiFrameProc, {.Background = COLOR_APPWORKSPACE});
  RegisterWindowClass(L"KaroFrameMDIChild", MdiChildProc, {.Background = COLOR_APPWORKSPACE});
  HWND frame = CreateWindowExW(0, L"KaroFrameMDI", L"Frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 10, 10,
                               600, 450, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  CLIENTCREATESTRUCT ccs{};
  ccs.idFirstChild = 5000;
  Client = CreateWindowExW(0, L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 580, 400, frame,
                           nullptr, GetModuleHandleW(nullptr), &ccs);
  return frame;
}

// A maximised MDI child of Client.
HWND MakeMaximisedMdiChild(HWND Client) {
  MDICREATESTRUCTW mc{};
  mc.szClass = L"KaroFrameMDIChild";
  mc.szTitle = L"Child";
  mc.hOwner = GetModuleHandleW(nullptr);
  mc.cx = mc.cy = 150;
  mc.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE;
  return HWND(SendMessageW(Client, WM_MDICREATE, 0, LPARAM(&mc)));
}

TEST_F(FramePaint_, AnMDIChildWearsTheFrameAndTheLastChildGoneGivesMenuUpdateBack) {
  TSkinData* d = Data(sfMainform, nullptr, FrameSkin());
  RegisterWindowClass(L"KaroFrameMDI", MdiFrameProc, {.Background = COLOR_APPWORKSPACE});
  RegisterWindowClass(L"KaroFrameMDIChild", MdiChildProc, {.Background = COLOR_APPWORKSPACE});
  Mgr->Enabled = true;
  Mgr->InstallHook();
  HWND frame = Window(CreateWindowExW(0, L"KaroFrameMDI", L"Frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10, 600,
                                      450, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  CLIENTCREATESTRUCT ccs{};
  ccs.idFirstChild = 5000;
  HWND client = CreateWindowExW(0, L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 580, 400,
                                frame, nullptr, GetModuleHandleW(nullptr), &ccs);
  ShowWindow(frame, SW_SHOW);
  SetActiveWindow(frame);
  ASSERT_TRUE(PumpUntil([&] { return Mgr->FindVeltForm(frame) && Mgr->FindVeltForm(frame)->SkinActiveSeen; }));
  d->SetMenuUpdate(true);
  MDICREATESTRUCTW mc{};
  mc.szClass = L"KaroFrameMDIChild";
  mc.szTitle = L"Child";
  mc.hOwner = GetModuleHandleW(nullptr);
  mc.x = mc.y = 10;
  mc.cx = 250;
  mc.cy = 180;
  mc.style = WS_OVERLAPPEDWINDOW;
  HWND kid = HWND(SendMessageW(client, WM_MDICREATE, 0, LPARAM(&mc)));
  ASSERT_NE(kid, nullptr);
  EXPECT_FALSE(d->MenuUpdate());
  TVeltForm* f = Mgr->FindVeltForm(kid);
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return f->SkinActiveSeen; }));
  f->Active = true;
  const TFrameShot shot(kid);
  EXPECT_EQ(shot.At(1, shot.H / 2), FrameColor(kLeft, 1));
  EXPECT_EQ(shot.At(shot.W - 2, shot.H / 2), FrameColor(kRight, 1));
  EXPECT_EQ(shot.At(shot.W / 2, shot.H - 2), FrameColor(kBottom, 1));
  EXPECT_EQ(shot.At(shot.W - 120, 2), FrameColor(kTop, 1));
  SendMessageW(client, WM_MDIDESTROY, WPARAM(kid), 0);
  EXPECT_TRUE(d->MenuUpdate());
}

TEST_F(FramePaint_, WithMainMenuUpdateClearedANonClientPaintPaintsNothing) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  f->SkinData->MainMenuUpdate = false;
  // A paint that draws nothing leaves the DC's pixels; check through a memory DC bound to the
  // same frame painter by counting the work it does: the hot object survives.
  f->Active = true;
  const POINT p = ScreenCentre(w, ButtonOf(f, 0)->Rect);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
  ASSERT_NE(f->HotObject, nullptr);
  EXPECT_EQ(SendMessageW(w, WM_NCPAINT, 1, 0), 0);
  EXPECT_NE(f->HotObject, nullptr);
  f->SkinData->MainMenuUpdate = true;
  SendMessageW(w, WM_NCPAINT, 1, 0);
  EXPECT_EQ(f->HotObject, nullptr);
}

TEST_F(FramePaint_, ABorderWithAFrameCountOfZeroIsDrawnWholeNeverDividedByZero) {
  TSkinData* d = Data(sfMainform, nullptr, FrameSkin());
  // The reader already mends a 0 from the file; records can still be changed after it.
  d->Borders[sbLeft]->Frame = 0;
  d->Borders[sbTop]->Frame = 0;
  HWND w = Window(MakeRecorded());
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Borders[0], 8);   // both frames side by side, as one
  EXPECT_EQ(f->Borders[1], 48);  // both frames stacked, as one
  f->Active = false;
  const TFrameShot shot(w);
  EXPECT_EQ(shot.Result, kSkinLibraryMark);
  EXPECT_EQ(shot.At(shot.W - 2, shot.H / 2), FrameColor(kRight, 2));
}

// ---- Region, size and hit test

TEST_F(FramePaint_, AKeyedBorderCutsTheRegionAndAPlainSkinGivesTheWholeRectangle) {
  for (bool keyed : {false, true}) {
    SCOPED_TRACE(keyed ? "keyed left border" : "plain");
    TearDown();
    SetUp();
    HWND w = MakeRecorded();
    TVeltForm* f = SkinFrame(w, keyed);
    ASSERT_NE(f, nullptr);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, r), ERROR);
    RECT wr{};
    GetWindowRect(w, &wr);
    const int H = wr.bottom - wr.top;
    EXPECT_EQ(PtInRegion(r, 0, 5) != FALSE, !keyed);  // magenta: a hole
    EXPECT_TRUE(PtInRegion(r, 1, 5));
    EXPECT_TRUE(PtInRegion(r, 0, 15));
    EXPECT_TRUE(PtInRegion(r, 0, H - 1));
    EXPECT_TRUE(PtInRegion(r, 50, 50));
    DeleteObject(r);
  }
}

TEST_F(FramePaint_, AWindowSmallerThanItsFrameGetsAnEmptyClientAreaNeverAnInvertedOne) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  // A 6 x 10 window at (100, 200) under a frame of 4 + 5 across and 24 + 6 down.
  WINDOWPOS pos{w, nullptr, 100, 200, 6, 10, 0};
  NCCALCSIZE_PARAMS p{};
  p.rgrc[0] = RECT{100, 200, 106, 210};
  p.rgrc[1] = p.rgrc[0];
  p.rgrc[2] = p.rgrc[0];
  p.lppos = &pos;
  SendMessageW(w, WM_NCCALCSIZE, TRUE, LPARAM(&p));
  EXPECT_GE(p.rgrc[0].right, p.rgrc[0].left);
  EXPECT_GE(p.rgrc[0].bottom, p.rgrc[0].top);
  EXPECT_EQ(p.rgrc[0].left, 104);
  EXPECT_EQ(p.rgrc[0].right, 104);
  EXPECT_EQ(p.rgrc[0].top, 210);
  EXPECT_EQ(p.rgrc[0].bottom, 210);
  // A window big enough: inside the skin's borders.
  pos = WINDOWPOS{w, nullptr, 100, 200, 300, 200, 0};
  p.rgrc[0] = RECT{100, 200, 400, 400};
  SendMessageW(w, WM_NCCALCSIZE, TRUE, LPARAM(&p));
  EXPECT_EQ(p.rgrc[0].left, 104);
  EXPECT_EQ(p.rgrc[0].top, 224);
  EXPECT_EQ(p.rgrc[0].right, 395);
  EXPECT_EQ(p.rgrc[0].bottom, 394);
  // wParam 0: the previous procedure's rectangle stands and the answer is 0.
  RECT r{10, 10, 200, 200};
  EXPECT_EQ(SendMessageW(w, WM_NCCALCSIZE, FALSE, LPARAM(&r)), 0);
}

TEST_F(FramePaint_, TheHitTestAnswersWhatTheGeometryDrawsBordersAsBordersAndNoSystemButtons) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  RECT wr{};
  GetWindowRect(w, &wr);
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  struct {
    int X, Y;
    LRESULT Hit;
  } rows[] = {
      {1, H / 2, HTLEFT},         {W - 2, H / 2, HTRIGHT},   {W / 2, H - 2, HTBOTTOM},
      {W / 2, 1, HTTOP},          {W / 2, 10, HTCAPTION},    {W / 2, H / 2, HTCLIENT},
      {1, 1, HTTOPLEFT},          {W - 1, H - 1, HTBOTTOMRIGHT},
      // Where the system's own minimise and maximise buttons would be.
      {W - 2 * GetSystemMetrics(SM_CXSIZE) - 5, 10, HTCAPTION},
      {W - 3 * GetSystemMetrics(SM_CXSIZE) - 5, 10, HTCAPTION},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.X << "," << row.Y);
    EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + row.X, wr.top + row.Y)), row.Hit);
  }
  // Every point of the window against the geometry.
  TNcHitInput in;
  in.Width = W;
  in.Height = H;
  in.Borders = f->FrameBorders();
  in.Sizeable = true;
  int disagree = 0;
  for (int y = 0; y < H; y += 3)
    for (int x = 0; x < W; x += 3) {
      in.Pt = TPoint{x, y};
      if (SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)) != NcHitTest(in)) ++disagree;
    }
  EXPECT_EQ(disagree, 0);
}

// Every pixel that the frame's paint gives a caption button hit-tests to that button, and every
// point that hit-tests to a button (but the icon, which shows the window's own picture) shows it:
// for a window never painted, and for one changed since its last paint with no paint after.
TEST_F(FramePaint_, EveryPixelThePaintGivesACaptionButtonHitsThatButtonPaintedOrNot) {
  const wchar_t* longCaption = L"A caption long enough to run under the caption buttons of a window";
  const DWORD popup = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  auto resize = [](int W, int H) {
    return [W, H](HWND w, TVeltForm*) {
      SetWindowPos(w, nullptr, 0, 0, W, H, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
  };
  const struct {
    const char* Name;
    DWORD Style;
    const wchar_t* Caption;
    bool PaintFirst;
    std::function<void(HWND, TVeltForm*)> Change;  // no paint follows it
  } rows[] = {
      {"never painted", WS_OVERLAPPEDWINDOW, L"Test", false, nullptr},
      {"never painted, popup with a long caption", popup, longCaption, false, nullptr},
      {"painted, then wider", WS_OVERLAPPEDWINDOW, L"Test", true, resize(520, 220)},
      {"painted, then narrower", WS_OVERLAPPEDWINDOW, L"Test", true, resize(230, 150)},
      {"popup painted, then narrower", popup, longCaption, true, resize(260, 150)},
      {"popup painted, then wider", popup, longCaption, true, resize(640, 150)},
      {"painted, then another caption", popup, L"Test", true,
       [&](HWND w, TVeltForm*) { DefWindowProcW(w, WM_SETTEXT, 0, LPARAM(longCaption)); }},
      {"painted, then inactive", WS_OVERLAPPEDWINDOW, longCaption, true,
       [](HWND, TVeltForm* f) { f->Active = false; }},
  };
  const int pictures[] = {kClose, kMax, kMin, kUser, kAfterText};
  const int actions[] = {0, 1, 2, 5, 6};
  auto actionOf = [&](uint32_t colour) {
    for (size_t i = 0; i < std::size(pictures); ++i)
      for (int k = 1; k <= 4; ++k)
        if (colour == FrameColor(pictures[i], k)) return actions[i];
    return -1;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = MakeRecorded(row.Style, 0, row.Caption);
    TVeltForm* f = SkinFrame(w, false, false, true);
    ASSERT_NE(f, nullptr);
    f->Active = true;
    if (row.PaintFirst) {
      f->UpdateNc(nullptr);
      const TFrameShot first(w);
      ASSERT_EQ(first.Result, kSkinLibraryMark);
    } else {
      // Nothing has laid the buttons out yet.
      for (int i = 0; i < f->SysBtnCount(); ++i) ASSERT_TRUE(f->SysBtn(i)->Rect.IsEmpty()) << i;
    }
    // A hidden window is not painted by anything: what follows is hit before any paint.
    if (row.Change) row.Change(w, f);
    RECT wr{};
    GetWindowRect(w, &wr);
    const int W = wr.right - wr.left, rows_ = f->Borders[1];
    std::vector<int> hit(size_t(W) * size_t(rows_), -1);
    for (int y = 0; y < rows_; ++y)
      for (int x = 0; x < W; ++x)
        if (TWinSysButton* b = f->FindBtn(POINT{x, y})) hit[size_t(y) * size_t(W) + size_t(x)] = b->Button->Action;
    const TFrameShot shot(w);
    ASSERT_EQ(shot.W, W);
    int painted = 0, wrong = 0, bare = 0;
    for (int y = 0; y < rows_; ++y)
      for (int x = 0; x < W; ++x) {
        const int shows = actionOf(shot.At(x, y)), hits = hit[size_t(y) * size_t(W) + size_t(x)];
        if (shows >= 0) {
          ++painted;
          if (hits != shows) ++wrong;
        } else if (hits >= 0 && hits != 3) {
          ++bare;
        }
      }
    EXPECT_GT(painted, 0);
    EXPECT_EQ(wrong, 0) << "button pixels that hit another button or none";
    EXPECT_EQ(bare, 0) << "points that hit a button the paint does not show there";
    DestroyWindow(w);
  }
}

// ---- Input

struct TInputRow {
  const char* Name;
  int Action;
  std::function<void(HWND)> Before;
  UINT SystemCommand;
};

TEST_F(FramePaint_, ClicksOnTheCaptionButtonsChangeTheWindowAsTheSystemsButtonsDo) {
  const TInputRow rows[] = {
      {"minimise", 2, nullptr, SC_MINIMIZE},
      {"maximise", 1, nullptr, SC_MAXIMIZE},
      {"restore", 1, [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }, SC_RESTORE},
      {"close", 0, nullptr, SC_CLOSE},
  };
  for (const TInputRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND plain = Window(MakeRecorded());
    HWND w = MakeRecorded();
    TVeltForm* f = SkinFrame(w);
    ASSERT_NE(f, nullptr);
    if (row.Before) {
      row.Before(plain);
      row.Before(w);
      Pump();
    }
    f->Active = true;
    f->UpdateNc(nullptr);
    PostMessageW(plain, WM_SYSCOMMAND, row.SystemCommand, 0);
    Click(w, ButtonOf(f, row.Action));
    Pump();
    Pump();
    EXPECT_EQ(IsWindow(w), IsWindow(plain));
    if (IsWindow(w)) {
      EXPECT_EQ(IsIconic(w), IsIconic(plain));
      EXPECT_EQ(IsZoomed(w), IsZoomed(plain));
    }
  }
}

TEST_F(FramePaint_, AnApplicationButtonPostsItsActionAndNothingElse) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  f->Active = true;
  Click(w, ButtonOf(f, 5));
  Pump();
  EXPECT_EQ(g_lastUserAction, 5u);
  EXPECT_FALSE(IsIconic(w));
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(FramePaint_, DoubleClicksOnTheCaptionMaximiseAndRestoreAndOnTheIconClose) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  RECT wr{};
  GetWindowRect(w, &wr);
  const POINT caption{wr.left + 150, wr.top + 10};
  SendMessageW(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  GetWindowRect(w, &wr);
  SendMessageW(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(wr.left + 150, wr.top + 10));
  Pump();
  EXPECT_FALSE(IsZoomed(w));
  f->UpdateNc(nullptr);
  TWinSysButton* icon = ButtonOf(f, 3);
  ASSERT_TRUE(icon->Visible);
  const POINT p = ScreenCentre(w, icon->Rect);
  SendMessageW(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(p.x, p.y));
  Pump();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(FramePaint_, TheHoverTimerEndsTheHotLookWhenTheCursorHasLeft) {
  HWND w = MakeRecorded();
  TVeltForm* f = nullptr;
  TWinSysButton* close = HoverOnClose(w, f);
  ASSERT_NE(close, nullptr);
  hoverCursor_.x -= 100;
  f->HoverTimer()->Tick();
  EXPECT_EQ(f->HotObject, nullptr);
  EXPECT_EQ(close->State, ncNormal);
}

// The hover ends by where the button is now: a window widened under a still cursor (its
// right-aligned buttons move with the right edge) and not painted since.
TEST_F(FramePaint_, TheHoverTimerEndsTheHotLookWhenTheButtonMovedAwayUnpainted) {
  HWND w = MakeRecorded(WS_OVERLAPPEDWINDOW);
  TVeltForm* f = nullptr;
  TWinSysButton* close = HoverOnClose(w, f);
  ASSERT_NE(close, nullptr);
  // Hidden, nothing paints it.
  RECT wr{};
  GetWindowRect(w, &wr);
  SetWindowPos(w, nullptr, 0, 0, wr.right - wr.left + 100, wr.bottom - wr.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  f->HoverTimer()->Tick();
  EXPECT_EQ(f->HotObject, nullptr);
  EXPECT_EQ(close->State, ncNormal);
}

TEST_F(FramePaint_, AButtonWhoseVisibilityTheApplicationDecidesShowsOnlyWhenItSaysSo) {
  for (LRESULT answer : {LRESULT(0), LRESULT(1)}) {
    TearDown();
    SetUp();
    g_visibleAnswer = answer;
    TTestSkin skin = CompleteSkin();
    skin.Add("user.bmp", Strip(kUser, 4, 18, 18));
    skin.Ini += "[ButtonUser]\r\nAction=5\r\nAlign=1\r\nXcoord=90\r\nVisibility=1500\r\nframe=4\r\nButtonImage=user.bmp\r\n";
    Data(sfMainform, nullptr, skin.File());
    HWND w = Window(MakeRecorded());
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    f->UpdateNc(nullptr);
    EXPECT_EQ(ButtonOf(f, 5)->Visible, answer > 0);
  }
}

// ---- The non-client region of WM_NCPAINT

TEST_F(FramePaint_, TheUpdateRegionOfANonClientPaintStaysTheCallersAndNothingLeaks) {
  HWND w = MakeRecorded();
  ASSERT_NE(SkinFrame(w), nullptr);
  RECT wr{};
  GetWindowRect(w, &wr);
  HRGN update = CreateRectRgn(wr.left, wr.top, wr.right, wr.bottom);
  ASSERT_TRUE(InstallObjectCensus());
  // Warm the caches up, then count.
  SendMessageW(w, WM_NCPAINT, WPARAM(update), 0);
  const TObjectCensus before = ObjectCensus();
  for (int i = 0; i < 50; ++i) SendMessageW(w, WM_NCPAINT, WPARAM(update), 0);
  const TObjectCensus after = ObjectCensus();
  EXPECT_EQ(CensusDifference(before, after), "");
  RECT box{};
  EXPECT_EQ(GetRgnBox(update, &box), SIMPLEREGION);  // still the caller's, still whole
  EXPECT_EQ(box.right - box.left, wr.right - wr.left);
  DeleteObject(update);
}

// ---- The title bar kept between paints

TEST_F(FramePaint_, TheTitleBarKeptBetweenPaintsIsTheOneAFreshPaintComposes) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  HWND twin = Window(MakeRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, L"Twin"));
  ASSERT_NE(Skin(twin), nullptr);
  f->Active = true;
  // Each step changes one thing the title bar is drawn from; the frame painted next, with the
  // title bar of the step before still kept, must be the frame composed from nothing.
  struct TStep {
    const char* Name;
    std::function<void()> Change;
    HWND Shown;
  };
  const TStep steps[] = {
      {"first", [] {}, w},
      {"again", [] {}, w},
      {"caption", [&] { SetWindowTextW(w, L"Another caption, longer"); }, w},
      {"inactive", [&] { f->Active = false; }, w},
      {"active", [&] { f->Active = true; }, w},
      {"hot close",
       [&] {
         const POINT p = ScreenCentre(w, ButtonOf(f, 0)->Rect);
         SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
       },
       w},
      {"hot maximise",
       [&] {
         const POINT p = ScreenCentre(w, ButtonOf(f, 1)->Rect);
         SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
       },
       w},
      {"left", [&] { if (f->HotObject) f->HotObject->MouseLeave(); }, w},
      {"icon", [&] { SendMessageW(w, WM_SETICON, ICON_SMALL, LPARAM(LoadIconW(nullptr, MAKEINTRESOURCEW(32516)))); }, w},
      {"wider", [&] { SetWindowPos(w, nullptr, 0, 0, 420, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }, w},
      {"another window of the same size", [&] {
         SetWindowPos(twin, nullptr, 0, 0, 420, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         if (TVeltForm* t = Mgr->FindVeltForm(twin)) t->Active = true;
       }, twin},
      {"back", [] {}, w},
  };
  std::vector<uint32_t> before;
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    Pump();
    step.Change();
    const TFrameShot kept(step.Shown);
    TVeltForm::ForgetFramePictures();
    const TFrameShot fresh(step.Shown);
    ASSERT_EQ(kept.W, fresh.W);
    const std::vector<uint32_t> k = kept.Pixels(), n = fresh.Pixels();
    int differ = 0;
    for (size_t i = 0; i < k.size(); ++i) differ += k[i] != n[i];
    EXPECT_EQ(differ, 0);
    // Every change shows (the comparison above can fail): steps that change nothing excepted.
    if (!before.empty() && k.size() == before.size() && std::string(step.Name) != "again" &&
        std::string(step.Name) != "first") {
      EXPECT_NE(k, before);
    }
    before = k;
  }
}

// ---- Chinese caption

TEST_F(FramePaint_, AChineseCaptionIsDrawnWithAFontThatHasItsGlyphs) {
  const wchar_t caption[] = L"\u97f5\u5b57\u5178";
  HWND w = MakeRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, caption);
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f->CaptionFont());
  WORD idx[3] = {};
  ASSERT_NE(GetGlyphIndicesW(dc, caption, 3, idx, GGI_MARK_NONEXISTING_GLYPHS), GDI_ERROR);
  for (WORD i : idx) EXPECT_NE(i, 0xFFFF);
  SelectObject(dc, old);
  DeleteDC(dc);
  // The text is on the frame: the text colour appears in the caption text rectangle.
  f->Active = true;
  const TFrameShot shot(w);
  const TRect t = f->CaptionTextRect;
  const uint32_t ink = ColorToRGB(f->SkinData->Colors[csTitleTextActive]) & 0xFFFFFF;
  int inked = 0;
  for (int y = std::max(0, t.Top); y < std::min(shot.H, t.Bottom); ++y)
    for (int x = std::max(0, t.Left); x < std::min(shot.W, t.Right); ++x)
      if (shot.At(x, y) == ink) ++inked;
  EXPECT_GT(inked, 20);
  // And none of the caption's characters is drawn as the box of a missing glyph: each one's
  // picture in the caption font differs from that of a character the font has no glyph for.
  auto picture = [&](const wchar_t* text) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(40, 40);
    HDC d = b.Canvas()->Handle();
    PatBlt(d, 0, 0, 40, 40, WHITENESS);
    HGDIOBJ o = SelectObject(d, f->CaptionFont());
    SetBkMode(d, TRANSPARENT);
    TextOutW(d, 4, 4, text, int(wcslen(text)));
    SelectObject(d, o);
    GdiFlush();
    std::vector<COLORREF> px;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) px.push_back(GetPixel(d, x, y));
    return px;
  };
  // A character no font here has: the font's own box for a missing glyph.
  const wchar_t missing[] = L"\u0378";
  const std::vector<COLORREF> box = picture(missing);
  ASSERT_NE(box, picture(L" ")) << "the missing glyph draws something to compare with";
  for (int i = 0; i < 3; ++i) {
    const wchar_t one[2] = {caption[i], 0};
    EXPECT_NE(picture(one), box) << i;
  }
}


// ---- Keyed copies straight on the composition

TEST(PutKeyed, CopiesAllButMagentaClippedToBothPictures) {
  struct TRow {
    const char* Name;
    TPixelFormat Strip;
    int X, Y;
  } rows[] = {
      {"24-bit strip inside", pf24bit, 2, 3},
      {"32-bit strip inside", pf32bit, 2, 3},
      {"hanging over the left and top", pf24bit, -2, -1},
      {"hanging over the right and bottom", pf24bit, 7, 8},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TBitmap into;
    into.SetPixelFormat(pf24bit);
    into.SetSize(10, 10);
    PatBlt(into.Canvas()->Handle(), 0, 0, 10, 10, BLACKNESS);
    // A strip of two 4 x 4 frames: the first red, the second green with a magenta corner.
    TBitmap strip;
    strip.SetPixelFormat(row.Strip);
    strip.SetSize(8, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x)
        strip.Canvas()->SetPixels(x, y, x < 4 ? TColor(0x0000FF) : (x == 4 && y == 0) ? TColor(0xFF00FF) : TColor(0x00FF00));
    ASSERT_TRUE(PutKeyed(into, row.X, row.Y, &strip, Rect(4, 0, 8, 4)));
    GdiFlush();
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const int sx = x - row.X, sy = y - row.Y;
        const bool covered = sx >= 0 && sx < 4 && sy >= 0 && sy < 4 && !(sx == 0 && sy == 0);
        EXPECT_EQ(uint32_t(into.Canvas()->Pixels(x, y)) & 0xFFFFFF, covered ? 0x00FF00u : 0u) << x << "," << y;
      }
  }
  // Pixels of another kind are left to the caller.
  TBitmap into, mono;
  into.SetPixelFormat(pf24bit);
  into.SetSize(4, 4);
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(4, 4);
  EXPECT_FALSE(PutKeyed(into, 0, 0, &mono, Rect(0, 0, 4, 4)));
}

// ---- Messages

TEST_F(FramePaint_, TheLibrarysOwnMessagesAreAnsweredAsTheLibraryDoes) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  struct TRow {
    const char* Name;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    LRESULT Want;
  } rows[] = {
      {"the query with the mark", CN_SkinQuery, 0, kSkinLibraryMark, kSkinLibraryMark},
      {"the query without it", CN_SkinQuery, 0, 5, 1},
      {"a frame paint without the mark is not the library's", CN_SkinPaintFrame, 0, 5, 0},
      {"a frame paint into no device context", CN_SkinPaintFrame, 0, kSkinLibraryMark, kSkinLibraryMark},
      {"is it skinned", CN_IsSkinned, 0, 0, 1},
  };
  for (const TRow& r : rows) EXPECT_EQ(SendMessageW(w, r.Msg, r.W, r.L), r.Want) << r.Name;
  // CN_UpdateNc paints the whole frame again: the hot button goes back to its normal look.
  f->Active = true;
  const POINT p = ScreenCentre(w, ButtonOf(f, 0)->Rect);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
  ASSERT_EQ(f->HotObject, ButtonOf(f, 0));
  EXPECT_EQ(SendMessageW(w, CN_UpdateNc, 0, 0), 0);
  EXPECT_EQ(f->HotObject, nullptr);
  EXPECT_EQ(ButtonOf(f, 0)->State, ncNormal);
}

// What a caption button's action posts to its window.
TEST_F(FramePaint_, EachCaptionButtonActionPostsItsCommandOrNothing) {
  struct TRow {
    const char* Name;
    DWORD Style;
    std::function<void(HWND)> Arrange;
    int Action;
    UINT Msg;       // what is posted, 0 for nothing
    WPARAM Command;
  } rows[] = {
      {"close", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, WM_SYSCOMMAND, SC_CLOSE},
      {"close without a close item in the system menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
       [](HWND w) { DeleteMenu(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND); }, 0, 0, 0},
      {"maximise", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 1, WM_SYSCOMMAND, SC_MAXIMIZE},
      {"maximise without a maximise box", (WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX) | WS_VISIBLE, nullptr, 1, 0, 0},
      {"minimise", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 2, WM_SYSCOMMAND, SC_MINIMIZE},
      {"minimise without a minimise box", (WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX) | WS_VISIBLE, nullptr, 2, 0, 0},
      {"help", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 4, WM_SYSCOMMAND, SC_CONTEXTHELP},
      {"the application's", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 5, CN_SysBtnAction, 5},
      {"an MDI child's close on a window that is no MDI parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 9, 0, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = MakeRecorded(row.Style);
    TVeltForm* f = SkinFrame(w);
    ASSERT_NE(f, nullptr);
    if (row.Arrange) row.Arrange(w);
    f->UpdateNc(nullptr);
    Pump();
    TWinSysButton button(f, nullptr);
    TDataSkinSysButton record("Button");
    record.Action = row.Action;
    button.Button = &record;
    button.Visible = true;
    // The button's enabled flag as the title bar last worked it out.
    for (int i = 0; i < f->SysBtnCount(); ++i)
      if (f->SysBtn(i)->Button->Action == row.Action) button.Enabled = f->SysBtn(i)->Enabled;
    f->HotObject = &button;
    f->SysBtnAction(100, 100);
    f->HotObject = nullptr;
    MSG m{};
    const bool posted = PeekMessageW(&m, w, 0, 0, PM_REMOVE | PM_NOYIELD) != FALSE;
    if (row.Msg) {
      ASSERT_TRUE(posted);
      EXPECT_EQ(m.message, row.Msg);
      EXPECT_EQ(m.wParam & (row.Msg == WM_SYSCOMMAND ? 0xFFF0 : ~WPARAM(0)), row.Command);
    } else {
      EXPECT_FALSE(posted && (m.message == WM_SYSCOMMAND || m.message == CN_SysBtnAction)) << m.message;
    }
  }
}

// WM_COMMAND with a system command's number (as a class-library menu item may send it) goes back
// to the window as that system command; other commands are the window's own.
TEST_F(FramePaint_, ASystemCommandArrivingAsACommandIsPostedAsTheSystemCommand) {
  HWND w = MakeRecorded();
  ASSERT_NE(SkinFrame(w), nullptr);
  Pump();
  SendMessageW(w, WM_COMMAND, SC_MINIMIZE, 0);
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, w, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(m.wParam, WPARAM(SC_MINIMIZE));
  SendMessageW(w, WM_COMMAND, 100, 0);
  EXPECT_FALSE(PeekMessageW(&m, w, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
}

// The right button released on the caption, and Alt with the space bar, open the skinned system
// menu (answered through the modal seam); on the client area nothing opens.
TEST_F(FramePaint_, TheRightButtonOnTheCaptionAndAltSpaceOpenTheSkinnedSystemMenu) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  std::vector<POINT> opened;
  TModalHandler old = SetModalHandler([&](TModalRequest& r) -> std::optional<int> {
    if (r.Kind == mkPopupMenu && r.Menu == f->SysMenuPopup()) opened.push_back(POINT{r.X, r.Y});
    return 0;
  });
  RECT wr{};
  GetWindowRect(w, &wr);
  SendMessageW(w, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 150, wr.top + 10));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].x, wr.left + 150);
  Wait(GetDoubleClickTime() + 20);  // past the double-click time: the next request opens it again
  SendMessageW(w, WM_NCRBUTTONUP, HTBORDER, MAKELPARAM(wr.left + 1, wr.top + 100));
  EXPECT_EQ(opened.size(), 1u);
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  ASSERT_EQ(opened.size(), 2u);
  POINT corner{0, 0};
  ClientToScreen(w, &corner);
  EXPECT_EQ(opened[1].x, corner.x);
  EXPECT_EQ(opened[1].y, corner.y);
  SetModalHandler(old);
}

// Two requests for the system menu within the double-click time are no double click on its
// button: the window stays (in Karo's main window a close ends the program). Only a double click
// on the button that opens the menu closes the window, and the hover timer stops then.
TEST_F(FramePaint_, OnlyADoubleClickOnTheSystemMenuButtonClosesTheWindow) {
  enum TRequest { kAltSpace, kRightClick, kIconClick };
  struct TRow {
    const char* Name;
    TRequest First, Second;
    bool Closes;
  } rows[] = {
      {"Alt+Space twice", kAltSpace, kAltSpace, false},
      {"two right clicks on the caption", kRightClick, kRightClick, false},
      {"a right click, then Alt+Space", kRightClick, kAltSpace, false},
      {"Alt+Space, then a right click", kAltSpace, kRightClick, false},
      {"two clicks on the icon button", kIconClick, kIconClick, true},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = MakeRecorded();
    TVeltForm* f = SkinFrame(w);
    ASSERT_NE(f, nullptr);
    f->Active = true;
    Pump();
    int opened = 0;
    TModalHandler old = SetModalHandler([&](TModalRequest& r) -> std::optional<int> {
      if (r.Kind == mkPopupMenu && r.Menu == f->SysMenuPopup()) ++opened;
      return 0;
    });
    // Recorded over the skinned window's procedure: the test's own requests show as well.
    TMessageLog log({WM_CLOSE, WM_SYSCOMMAND, WM_DESTROY});
    TWindowRecorder rec(w, log);
    std::vector<TRecordedMsg> expected;
    RECT wr{};
    GetWindowRect(w, &wr);
    TWinSysButton* icon = ButtonOf(f, 3);
    ASSERT_NE(icon, nullptr);
    auto request = [&](TRequest r) {
      switch (r) {
        case kAltSpace:
          SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
          expected.push_back({WM_SYSCOMMAND, sent | wparam, SC_KEYMENU});
          break;
        case kRightClick:
          SendMessageW(w, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 150, wr.top + 10));
          break;
        case kIconClick:
          Click(w, icon);
          break;
      }
    };
    request(row.First);
    EXPECT_EQ(opened, 1);
    f->HoverTimer()->SetEnabled(true);
    Wait(GetDoubleClickTime() / 2);
    request(row.Second);
    Pump();
    if (row.Closes) {
      expected.push_back({WM_CLOSE, posted});
      expected.push_back({WM_DESTROY, sent | optional});
      EXPECT_TRUE(SequenceIs(log, expected));
      EXPECT_FALSE(IsWindow(w));
    } else {
      EXPECT_TRUE(SequenceIs(log, expected));
      EXPECT_TRUE(IsWindow(w));
      EXPECT_TRUE(f->HoverTimer()->Enabled());
    }
    SetModalHandler(old);
    if (IsWindow(w)) rec.Detach();
  }
}

// The shipped skins' help button (Visibility 9, Visibility1 6) shows on a window that asks for
// context help and has no minimise box, and only there.
TEST_F(FramePaint_, TheHelpButtonShowsOnAWindowThatAsksForContextHelp) {
  constexpr int kHelp = 63;
  struct TRow {
    const char* Name;
    DWORD Style, ExStyle;
    bool Shown;
  } rows[] = {
      {"caption and system menu asking for help", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, WS_EX_CONTEXTHELP, true},
      {"the same without asking for help", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, false},
      {"asking for help beside a minimise box", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
       WS_EX_CONTEXTHELP, false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    TTestSkin skin = CompleteSkin();
    skin.Add("help.bmp", Strip(kHelp, 4, 18, 18));
    skin.Ini += "[ButtonHelp]\r\nAction=4\r\nAlign=1\r\nXcoord=50\r\nYcoord=4\r\nVisibility=9\r\n"
                "Visibility1=6\r\nframe=4\r\nButtonImage=help.bmp\r\n";
    Data(sfMainform, nullptr, skin.File());
    HWND w = Window(MakeRecorded(row.Style, row.ExStyle));
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    f->Active = true;
    const TFrameShot shot(w);
    TWinSysButton* help = ButtonOf(f, 4);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->Visible, row.Shown);
    // Where a shown button sits, 50 pixels from the right edge.
    const uint32_t at = shot.At(shot.W - 50 + 9, 4 + 9);
    EXPECT_EQ(at == FrameColor(kHelp, 1), row.Shown) << std::hex << at;
  }
}

// The minimise button of a minimised window restores it, and shows the skin's restore picture
// (the maximise button that only a maximised window shows).
TEST_F(FramePaint_, AMinimisedWindowShowsTheRestorePictureOnItsMinimiseButton) {
  constexpr int kRestore = 64;
  TTestSkin skin = CompleteSkin();
  skin.Add("max.bmp", Strip(kMax, 4, 18, 18)).Add("min.bmp", Strip(kMin, 4, 18, 18));
  skin.Add("restore.bmp", Strip(kRestore, 4, 18, 18));
  skin.Ini +=
      "[ButtonMaximize]\r\nAction=1\r\nAlign=1\r\nXcoord=50\r\nYcoord=4\r\nVisibility=6\r\nVisibility1=2\r\n"
      "frame=4\r\nButtonImage=max.bmp\r\n"
      "[ButtonRestore]\r\nAction=1\r\nAlign=1\r\nXcoord=50\r\nYcoord=4\r\nVisibility=6\r\nVisibility1=1\r\n"
      "frame=4\r\nButtonImage=restore.bmp\r\n"
      "[ButtonMinimize]\r\nAction=2\r\nAlign=1\r\nXcoord=70\r\nYcoord=4\r\nVisibility=6\r\nframe=4\r\n"
      "ButtonImage=min.bmp\r\n";
  struct TRow {
    const char* Name;
    int Show;
    uint32_t Minimise, Maximise;
  } rows[] = {
      {"normal", SW_RESTORE, FrameColor(kMin, 1), FrameColor(kMax, 1)},
      {"maximised", SW_MAXIMIZE, FrameColor(kMin, 1), FrameColor(kRestore, 1)},
      {"minimised", SW_MINIMIZE, FrameColor(kRestore, 1), FrameColor(kMax, 1)},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Data(sfMainform, nullptr, skin.File());
    HWND w = Window(MakeRecorded());
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    ShowWindow(w, row.Show);
    Pump();
    f->Active = true;
    f->UpdateNc(nullptr);
    const TFrameShot shot(w);
    auto centre = [&](int action) {
      TRect r{};
      for (int i = 0; i < f->SysBtnCount(); ++i)
        if (f->SysBtn(i)->Button->Action == action && f->SysBtn(i)->Visible) r = f->SysBtn(i)->Rect;
      return shot.At((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    EXPECT_EQ(centre(2), row.Minimise);
    EXPECT_EQ(centre(1), row.Maximise);
  }
}

// The icon button shows the window's own icon, read from the window when it is painted: the
// opaque pixels of the button are those of the icon drawn alone; a new icon shows at the next
// paint; and a window without an icon shows the icon of the first window skinned, which the skin
// keeps when the program gave it none.
TEST_F(FramePaint_, TheIconButtonShowsTheWindowsOwnIcon) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  // The icon alone over a background colour.
  auto alone = [&](HICON icon, COLORREF back) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(cx, cy);
    HDC d = b.Canvas()->Handle();
    HBRUSH brush = CreateSolidBrush(back);
    RECT all{0, 0, cx, cy};
    FillRect(d, &all, brush);
    DeleteObject(brush);
    DrawIconEx(d, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<uint32_t> px;
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x) px.push_back(uint32_t(GetPixel(d, x, y)) & 0xFFFFFF);
    return px;
  };
  // Over black and over white: where both agree the icon is opaque, and the caption must show it.
  auto check = [&](HWND w, TVeltForm* f, HICON icon) {
    const std::vector<uint32_t> black = alone(icon, RGB(0, 0, 0)), white = alone(icon, RGB(255, 255, 255));
    f->Active = true;
    const TFrameShot shot(w);
    TWinSysButton* b = ButtonOf(f, 3);
    ASSERT_TRUE(b->Visible);
    const TRect r = b->Rect;
    ASSERT_EQ(r.Width(), cx);
    int opaque = 0, same = 0;
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x) {
        const size_t i = size_t(y * cx + x);
        if (black[i] != white[i]) continue;
        ++opaque;
        same += shot.At(r.Left + x, r.Top + y) == black[i];
      }
    ASSERT_GT(opaque, cx * cy / 4) << "the icon has pixels of its own to compare";
    EXPECT_EQ(same, opaque);
  };
  TSkinData* d = Data(sfMainform, nullptr, FrameSkin());
  // As in a program whose application window has no icon.
  d->AppIcon->Assign(nullptr);
  HWND w = Window(MakeRecorded());
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  {
    SCOPED_TRACE("the class's icon");
    check(w, f, HICON(GetClassLongPtrW(w, GCLP_HICONSM)));
  }
  {
    SCOPED_TRACE("an icon set later");
    HICON other = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));
    SendMessageW(w, WM_SETICON, ICON_SMALL, LPARAM(other));
    check(w, f, other);
  }
  {
    SCOPED_TRACE("a window without an icon");
    RegisterWindowClass(L"KaroFrameNoIcon", RecordingProc);
    HWND plain = Window(MakeRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, L"No icon", L"KaroFrameNoIcon"));
    ASSERT_EQ(SendMessageW(plain, WM_GETICON, ICON_SMALL, 0), 0);
    ASSERT_EQ(GetClassLongPtrW(plain, GCLP_HICONSM), 0);
    TVeltForm* g = Skin(plain);
    ASSERT_NE(g, nullptr);
    check(plain, g, HICON(GetClassLongPtrW(w, GCLP_HICONSM)));
  }
}

// What a menu window that opened showed: the menu it holds and whether it is a skinned popup.
namespace openmenu {
HMENU menu = nullptr;
LRESULT skinned = -1;
int ticks = 0;
void CALLBACK Look(HWND, UINT, UINT_PTR id, DWORD) {
  ++ticks;
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup && IsWindowVisible(popup)) {
    menu = HMENU(SendMessageW(popup, MN_GETHMENU, 0, 0));
    skinned = SendMessageW(popup, CN_IsSkinned, 0, 0);
  }
  // Never left open: closed at once when seen, after about two seconds in any case.
  if ((popup && IsWindowVisible(popup)) || ticks > 100) {
    EndMenu();
    KillTimer(nullptr, id);
  }
}
}  // namespace openmenu

// The keys as the keyboard gives them: each key pressed and released in turn.
void Keys(std::initializer_list<std::pair<WORD, bool>> Strokes) {
  std::vector<INPUT> in;
  for (const auto& [key, up] : Strokes) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  }
  SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
}

// Alt with the space bar, typed on a class-library form whose edit has the focus, opens the
// skinned system menu as the caption's right click does: the skin's popup of the window's
// commands, never the system's own menu (nor does Alt alone lead into the system's).
TEST_F(FramePaint_, AltSpaceOnAFormOpensTheSkinnedSystemMenuAsTheCaptionsRightClickDoes) {
  TSkinData* d = Data(sfMainform, nullptr, FrameSkin());
  TSkinControlTypes c = d->SkinControls();
  c.Include(xcSystemMenu);
  d->SetSkinControls(c);
  Mgr->InstallHook();
  auto* form = new TForm(Application);
  form->SetBounds(40, 40, 360, 240);
  auto* edit = Place<TEdit>(form, 10, 10, 100, 24);
  form->Show();
  HWND w = form->Handle();
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  enum TWant { kSkinned, kNotTheSystems };
  struct TRow {
    const char* Name;
    std::function<void()> Ask;
    TWant Want;
  } rows[] = {
      {"Alt+Space", [] { Keys({{VK_MENU, false}, {VK_SPACE, false}, {VK_SPACE, true}, {VK_MENU, true}}); }, kSkinned},
      {"Alt alone, then the space bar",
       [] { Keys({{VK_MENU, false}, {VK_MENU, true}, {VK_SPACE, false}, {VK_SPACE, true}}); }, kNotTheSystems},
      {"the right button on the caption",
       [&] {
         RECT wr{};
         GetWindowRect(w, &wr);
         SendMessageW(w, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 150, wr.top + 10));
       },
       kSkinned},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    // The window's own style has its system menu (the skin takes it away only while painting).
    SetWindowLongW(w, GWL_STYLE, GetWindowLongW(w, GWL_STYLE) | WS_SYSMENU);
    SetForegroundWindow(w);
    edit->SetFocus();
    Pump();
    ASSERT_EQ(GetFocus(), edit->Handle());
    Wait(GetDoubleClickTime() + 1);
    openmenu::menu = nullptr;
    openmenu::skinned = -1;
    openmenu::ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, openmenu::Look);
    row.Ask();
    // Through the application's loop, as the program runs it, until the menu was seen or about
    // a second has passed.
    for (int i = 0; i < 100 && !openmenu::menu && openmenu::ticks < 50; ++i) {
      Application->ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    KillTimer(nullptr, timer);
    Pump();
    EXPECT_NE(openmenu::menu, GetSystemMenu(w, FALSE)) << "the system's own menu opened";
    if (row.Want == kSkinned) {
      ASSERT_NE(openmenu::menu, nullptr) << "no menu opened";
      ASSERT_NE(f->SysMenuPopup(), nullptr);
      EXPECT_EQ(openmenu::menu, f->SysMenuPopup()->Handle());
      EXPECT_EQ(openmenu::skinned, 1);
    }
  }
  form->Free();
}

// A new caption is set with the window's drawing off, so that the system paints none of its own
// frame over the skinned one, and the frame is then painted once (a minimised window only
// repaints its frame; an invisible one only takes the text). What the window still had to paint
// stays to be painted.
TEST_F(FramePaint_, ACaptionChangeIsDrawnWithDrawingOffThenTheFrameOnce) {
  const std::vector<UINT> watch = {WM_SETTEXT, WM_SETREDRAW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
  const std::vector<TRecordedMsg> formFlow = {
      {WM_SETTEXT, sent},
      {WM_SETREDRAW, sent | wparam, FALSE},
      {WM_SETREDRAW, sent | wparam, TRUE},
      {WM_WINDOWPOSCHANGING, sent},
      {WM_WINDOWPOSCHANGED, sent},
  };
  // Without a form the skinned window's own procedure switches drawing off before passing it on.
  const std::vector<TRecordedMsg> plainFlow = {
      {WM_SETREDRAW, sent | wparam, FALSE},
      {WM_SETTEXT, sent},
      {WM_SETREDRAW, sent | wparam, TRUE},
      {WM_WINDOWPOSCHANGING, sent},
      {WM_WINDOWPOSCHANGED, sent},
  };
  struct TRow {
    const char* Name;
    bool WithForm, Visible;
    int Show;
    std::vector<TRecordedMsg> Flow;
  } rows[] = {
      {"a class-library form", true, true, SW_SHOWNORMAL, formFlow},
      {"an invisible class-library form", true, false, SW_HIDE, {{WM_SETTEXT, sent}}},
      {"a plain window", false, true, SW_SHOWNORMAL, plainFlow},
      {"a minimised plain window", false, true, SW_MINIMIZE,
       {{WM_SETREDRAW, sent | wparam, FALSE}, {WM_SETTEXT, sent}, {WM_SETREDRAW, sent | wparam, TRUE}}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Data(sfMainform, nullptr, FrameSkin());
    TForm* form = nullptr;
    HWND w = nullptr;
    if (row.WithForm) {
      form = new TForm(Application);
      form->SetBounds(40, 40, 360, 240);
      form->Show();
      w = form->Handle();
    } else {
      w = Window(MakeRecorded());
    }
    HWND child = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 5, 5, 40, 16, w, nullptr, nullptr, nullptr);
    TMessageLog log(watch);
    TWindowRecorder rec(w, log);
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    ShowWindow(w, row.Show);
    Pump();
    ASSERT_EQ(IsWindowVisible(w) != FALSE, row.Visible);
    // Something the window has yet to paint when the caption changes.
    InvalidateRect(child, nullptr, TRUE);
    const bool pending = GetUpdateRect(child, nullptr, FALSE) != FALSE;
    log.Clear();
    SetWindowTextW(w, L"\u97f5\u5b57\u5178 Karo");
    EXPECT_TRUE(SequenceIs(log, row.Flow));
    wchar_t text[32] = {};
    GetWindowTextW(w, text, 32);
    EXPECT_STREQ(text, L"\u97f5\u5b57\u5178 Karo");
    EXPECT_EQ(IsWindowVisible(w) != FALSE, row.Visible);
    EXPECT_EQ(GetUpdateRect(child, nullptr, FALSE) != FALSE, pending) << "the child's pending paint was lost";
    if (row.Show == SW_SHOWNORMAL) {
      EXPECT_TRUE(pending);
    }
    // Gone while the recorder under the skinned window's procedure still exists.
    if (form)
      form->Free();
    else
      DestroyWindow(w);
  }
}

// A maximised MDI child's text also shows in its frame's caption: it is set with drawing on, and
// the frame is asked to repaint everything once (CN_MdiRedraw to the MDI client).
TEST_F(FramePaint_, ACaptionChangeOfAMaximisedMDIChildRepaintsItsFrameOnce) {
  Data(sfMainform, nullptr, FrameSkin());
  HWND client = nullptr;
  HWND frame = Window(MakeMdiFrame(client));
  ASSERT_NE(Skin(frame), nullptr);
  // MDI children are taken over as they are made.
  Mgr->InstallHook();
  HWND kid = MakeMaximisedMdiChild(client);
  ASSERT_NE(kid, nullptr);
  TVeltForm* f = Mgr->FindVeltForm(kid);
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return f->SkinActiveSeen; }));
  ASSERT_TRUE(IsZoomed(kid));
  TMessageLog log({WM_SETTEXT, WM_SETREDRAW});
  TWindowRecorder rec(kid, log);
  SetWindowTextW(kid, L"Another");
  EXPECT_TRUE(SequenceIs(log, {{WM_SETTEXT, sent}}));
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, client, CN_MdiRedraw, CN_MdiRedraw, PM_REMOVE));
  EXPECT_FALSE(PeekMessageW(&m, client, CN_MdiRedraw, CN_MdiRedraw, PM_REMOVE));
  DestroyWindow(frame);
  Pump();
}

// Owner-drawn items of a form's menus: those the program made owner-drawn itself (numbers 1 to
// 4095 that are none of the class library's items) reach the program to be measured and drawn;
// the system's items and those the skin made owner-drawn are the skin's.
TEST_F(FramePaint_, AProgramsOwnOwnerDrawnItemsReachTheProgram) {
  Data(sfMainform, nullptr, FrameSkin());
  auto* form = new TForm(Application);
  form->SetBounds(40, 40, 360, 240);
  form->Show();
  HWND w = form->Handle();
  HMENU bar = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_OWNERDRAW, 500, nullptr);
  AppendMenuW(sub, MF_STRING, 501, L"&Plain");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(sub), L"&File");
  SetMenu(w, bar);
  TMessageLog log({WM_MEASUREITEM, WM_DRAWITEM});
  TWindowRecorder rec(w, log);
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  // The skin makes the plain item owner-drawn when the menu opens.
  f->PrepareMenu(sub);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 200, 30);
  HGDIOBJ old = SelectObject(dc, bmp);
  struct TRow {
    const char* Name;
    UINT Id;
    HMENU Menu;
    bool Program;
  } rows[] = {
      {"the program's own owner-drawn item", 500, sub, true},
      {"an item the skin made owner-drawn", 501, sub, false},
      {"an item the system added", SC_CLOSE, GetSystemMenu(w, FALSE), false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    log.Clear();
    MEASUREITEMSTRUCT mi{};
    mi.CtlType = ODT_MENU;
    mi.itemID = row.Id;
    const LRESULT measured = SendMessageW(w, WM_MEASUREITEM, 0, LPARAM(&mi));
    DRAWITEMSTRUCT di{};
    di.CtlType = ODT_MENU;
    di.itemID = row.Id;
    di.itemAction = ODA_DRAWENTIRE;
    di.hwndItem = HWND(row.Menu);
    di.hDC = dc;
    di.rcItem = RECT{0, 0, 200, 30};
    SendMessageW(w, WM_DRAWITEM, 0, LPARAM(&di));
    if (row.Program) {
      EXPECT_TRUE(SequenceIs(log, {{WM_MEASUREITEM, sent}, {WM_DRAWITEM, sent}}));
    } else {
      EXPECT_TRUE(SequenceIs(log, {}));
      EXPECT_EQ(measured, TRUE);
      EXPECT_GT(mi.itemWidth, 0u);
      EXPECT_GT(mi.itemHeight, 0u);
    }
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  rec.Detach();
  form->Free();
}

// In a window without a class-library form nothing tells a control skin that the mouse has left
// its control: the window ends the hot look of the control the mouse was last over when the hover
// timer finds the cursor elsewhere, when the window is deactivated, and when the mouse moves over
// another control. A control skin that goes leaves nothing behind.
TEST_F(FramePaint_, TheHotControlOfAWindowWithoutAFormEndsWhenTheMouseIsGone) {
  HWND w = MakeRecorded();
  TVeltForm* f = SkinFrame(w);
  ASSERT_NE(f, nullptr);
  f->Active = true;
  HWND a = CreateWindowExW(0, L"STATIC", L"a", WS_CHILD | WS_VISIBLE, 5, 5, 40, 16, w, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExW(0, L"STATIC", L"b", WS_CHILD | WS_VISIBLE, 60, 5, 40, 16, w, nullptr, nullptr, nullptr);
  // Recorded under the skins: what the skins pass on to the controls.
  TMessageLog logA({CM_MOUSELEAVE}), logB({CM_MOUSELEAVE});
  TWindowRecorder recA(a, logA), recB(b, logB);
  auto* skinA = new TSkinControl(f);
  skinA->Inithwnd(a, f->SkinData, nullptr, f);
  auto* skinB = new TSkinControl(f);
  skinB->Inithwnd(b, f->SkinData, nullptr, f);
  static POINT cursor;
  TVeltForm::CursorPos = [] { return cursor; };
  RECT ra{};
  GetWindowRect(a, &ra);
  auto hover = [&](HWND c) {
    SendMessageW(c, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    logA.Clear();
    logB.Clear();
  };
  {
    SCOPED_TRACE("the hover timer");
    hover(a);
    EXPECT_EQ(f->HotControl(), skinA);
    f->HoverTimer()->SetEnabled(true);
    cursor = POINT{ra.left + 2, ra.top + 2};
    f->HoverTimer()->Tick();
    EXPECT_TRUE(SequenceIs(logA, {}));
    EXPECT_EQ(f->HotControl(), skinA);
    cursor = POINT{ra.right + 200, ra.bottom + 200};
    f->HoverTimer()->Tick();
    EXPECT_TRUE(SequenceIs(logA, {{CM_MOUSELEAVE, sent}}));
    EXPECT_EQ(f->HotControl(), nullptr);
  }
  {
    SCOPED_TRACE("deactivation");
    hover(a);
    cursor = POINT{ra.left + 2, ra.top + 2};
    SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(SequenceIs(logA, {{CM_MOUSELEAVE, sent}}));
    EXPECT_EQ(f->HotControl(), nullptr);
    SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
  }
  {
    SCOPED_TRACE("another control");
    hover(a);
    SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(SequenceIs(logA, {{CM_MOUSELEAVE, sent}}));
    EXPECT_TRUE(SequenceIs(logB, {}));
    EXPECT_EQ(f->HotControl(), skinB);
  }
  {
    SCOPED_TRACE("a skin that goes");
    delete skinB;
    EXPECT_EQ(f->HotControl(), nullptr);
    SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(SequenceIs(logB, {}));
  }
  // Gone while the recorders under the skins still exist.
  DestroyWindow(a);
  DestroyWindow(b);
}

// An MDI parent's buttons for its maximised child (minimise, restore, close) act on the child;
// CN_MdiRedraw to the client repaints the parent's frame.
TEST_F(FramePaint_, TheMDIChildButtonsActOnTheActiveChildAndCNMdiRedrawRepaintsTheFrame) {
  Data(sfMainform, nullptr, FrameSkin());
  struct TRow {
    const char* Name;
    int Action;
    std::function<bool(HWND)> Then;
  } rows[] = {
      {"minimise", 7, [](HWND k) { return IsIconic(k) != FALSE; }},
      {"restore", 8, [](HWND k) { return IsWindow(k) && !IsZoomed(k) && !IsIconic(k); }},
      {"close", 9, [](HWND k) { return !IsWindow(k); }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    HWND client = nullptr;
    HWND frame = Window(MakeMdiFrame(client));
    TVeltForm* f = Skin(frame);
    ASSERT_NE(f, nullptr);
    HWND kid = MakeMaximisedMdiChild(client);
    ASSERT_NE(kid, nullptr);
    ASSERT_TRUE(f->MDIChildMax());
    f->Active = true;
    f->UpdateNc(nullptr);
    TWinSysButton* b = ButtonOf(f, row.Action);
    ASSERT_NE(b, nullptr);
    // CN_MdiRedraw: the parent's frame is painted whole again, which ends a hot look.
    f->HotObject = b;
    b->State = ncHot;
    EXPECT_EQ(SendMessageW(client, CN_MdiRedraw, 0, 0), 0);
    EXPECT_EQ(f->HotObject, nullptr);
    f->HotObject = b;
    f->SysBtnAction(0, 0);
    Pump();
    EXPECT_TRUE(row.Then(kid));
    DestroyWindow(frame);
    Pump();
  }
}

}  // namespace
