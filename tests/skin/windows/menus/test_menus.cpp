// The skinned menus: the painted bar in the window's non-client size, the commands that keyboard
// and mouse tracking across a three-menu bar deliver (driven from a thread timer the menu's own
// loop dispatches, so nothing blocks), the menus given back exactly at unskinning, the owner-drawn
// items' pixels in each state, the popup windows' frame and the system menu's gate.

#include <set>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/graphics/bitmap.h"
#include "skin/windows/menus/menu_items.h"
#include "skin/windows/menus/pop_menu.h"
#include "skin/windows/forms/velt_menu.h"
#include "tests/skin/windows/manager/skin_test_env.h"

using namespace skintest;

namespace {

// Picture numbers of the complete test skin (the r of FrameColor).
constexpr int kMenuBarPic = 5, kMenuItemPic = 24, kMenuBgPic = 25;

std::vector<WPARAM> g_commands;
LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND) g_commands.push_back(wp);
  return DefWindowProcW(w, m, wp, lp);
}

HWND MakeMenuWindow(HMENU menu, DWORD exStyle = 0) {
  RegisterWindowClass(L"KaroMenuTest", RecordingProc);
  return CreateWindowExW(exStyle, L"KaroMenuTest", L"Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 300,
                         nullptr, menu, GetModuleHandleW(nullptr), nullptr);
}

// The three menus: File (Chinese captions, a disabled item, a separator, a submenu, a default
// item), Edit (a checked item, radio items) and Help (a disabled item).
enum : UINT {
  idOpen = 101, idSave = 102, idExit = 103, idRecentA = 111, idRecentB = 112,
  idCut = 201, idCopy = 202, idWide = 211, idNarrow = 212,
  idAbout = 301, idNever = 302,
};

void Append(HMENU m, UINT flags, UINT_PTR id, const wchar_t* text) { AppendMenuW(m, flags, id, text); }

HMENU MakeMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu(), recent = CreatePopupMenu(), edit = CreatePopupMenu(), help = CreatePopupMenu();
  Append(file, MF_STRING, idOpen, L"\u6253\u5f00(&O)\tCtrl+O");
  Append(file, MF_STRING | MF_GRAYED, idSave, L"\u4fdd\u5b58(&S)");
  Append(file, MF_SEPARATOR, 0, nullptr);
  Append(recent, MF_STRING, idRecentA, L"&a.txt");
  Append(recent, MF_STRING, idRecentB, L"&b.txt");
  Append(file, MF_POPUP, UINT_PTR(recent), L"\u6700\u8fd1(&R)");
  Append(file, MF_STRING, idExit, L"\u9000\u51fa(&X)");
  SetMenuDefaultItem(file, idExit, FALSE);
  Append(edit, MF_STRING | MF_CHECKED, idCut, L"Cu&t");
  Append(edit, MF_STRING, idCopy, L"&Copy");
  Append(edit, MF_SEPARATOR, 0, nullptr);
  Append(edit, MF_STRING, idWide, L"&Wide");
  Append(edit, MF_STRING, idNarrow, L"&Narrow");
  CheckMenuRadioItem(edit, idWide, idNarrow, idWide, MF_BYCOMMAND);
  Append(help, MF_STRING, idAbout, L"&About");
  Append(help, MF_STRING | MF_GRAYED, idNever, L"&Disabled");
  Append(bar, MF_POPUP, UINT_PTR(file), L"\u6587\u4ef6(&F)");
  Append(bar, MF_POPUP, UINT_PTR(edit), L"&Edit");
  Append(bar, MF_POPUP, UINT_PTR(help), L"&Help");
  return bar;
}

// ---- Feeding the menus' loops

// One input for the open menu: a key, a character (mnemonic) or the mouse onto a bar button.
struct TStep {
  enum Kind { Key, Char, MouseTo, Click } What;
  WPARAM Value;
};
TStep K(WPARAM vk) { return {TStep::Key, vk}; }
TStep C(wchar_t ch) { return {TStep::Char, WPARAM(ch)}; }
TStep M(int button) { return {TStep::MouseTo, WPARAM(button)}; }
// A left click on the item at a position of the open menu of the bar.
TStep L(int position) { return {TStep::Click, WPARAM(position)}; }

struct TFeeder {
  HWND Window = nullptr;
  TVeltForm* Form = nullptr;
  std::vector<TStep> Steps;
  size_t Next = 0;
  int Idle = 0;
  bool Ended = false;  // the script left a menu open: the feeder ended it
  POINT Cursor{};
};
TFeeder g_feed;

POINT FeedCursor() { return g_feed.Cursor; }

// A thread timer: its WM_TIMER comes only once every posted message is taken, so each input is
// handled before the next is posted, and only the open menu's loop dispatches it.
void CALLBACK FeedTick(HWND, UINT, UINT_PTR, DWORD) {
  if (!MenuTracking()) return;
  if (g_feed.Next < g_feed.Steps.size()) {
    const TStep s = g_feed.Steps[g_feed.Next++];
    switch (s.What) {
      case TStep::Key:
        PostMessageW(g_feed.Window, WM_KEYDOWN, s.Value, 0);
        break;
      case TStep::Char:
        PostMessageW(g_feed.Window, WM_CHAR, s.Value, 0);
        break;
      case TStep::MouseTo: {
        RECT wr{};
        GetWindowRect(g_feed.Window, &wr);
        const TRect& r = g_feed.Form->MenuBarObject()->Btn(int(s.Value))->Rect;
        g_feed.Cursor = POINT{wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
        PostMessageW(g_feed.Window, WM_MOUSEMOVE, 0, 0);
        break;
      }
      case TStep::Click: {
        // The mouse as the user moves and presses it: the menu's loop reads where it is.
        TVeltMenu* bar = g_feed.Form->MenuBarObject();
        HMENU open = bar->Btn(OpenMenuButton())->SubMenu;
        RECT r{};
        GetMenuItemRect(nullptr, open, UINT(s.Value), &r);
        const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        g_feed.Cursor = p;
        SetCursorPos(p.x, p.y);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        break;
      }
    }
  } else if (++g_feed.Idle > 10) {
    g_feed.Ended = true;
    EndMenu();
  }
}

class Menus_ : public ManagerTest {
protected:
  void SetUp() override {
    ManagerTest::SetUp();
    g_commands.clear();
    g_feed = TFeeder();
    TVeltForm::CursorPos = nullptr;
    MenuLoopSpy = nullptr;
  }
  void TearDown() override {
    TVeltForm::CursorPos = nullptr;
    MenuLoopSpy = nullptr;
    ManagerTest::TearDown();
  }

  TVeltForm* SkinMenuWindow(HWND w) {
    Data();
    Window(w);
    SetForegroundWindow(w);
    TVeltForm* f = Skin(w);
    if (f) {
      f->UpdateNc(nullptr);
      f->Active = true;
    }
    return f;
  }

  // Runs start() with the steps fed to the menus it opens; the commands that arrived.
  std::vector<WPARAM> Drive(HWND w, TVeltForm* f, const std::vector<TStep>& steps, const std::function<void()>& start) {
    g_feed.Window = w;
    g_feed.Form = f;
    g_feed.Steps = steps;
    g_feed.Next = 0;
    g_feed.Idle = 0;
    g_feed.Ended = false;
    TVeltForm::CursorPos = &FeedCursor;
    RECT wr{};
    GetWindowRect(w, &wr);
    g_feed.Cursor = POINT{wr.left + 2, wr.bottom - 2};
    g_commands.clear();
    // The real cursor out of every menu's way: the menus' loop follows it (a click step moves it).
    auto park = [] { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); };
    park();
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, &FeedTick);
    start();
    KillTimer(nullptr, timer);
    park();
    Pump();
    Pump();
    return g_commands;
  }
};

POINT ButtonPoint(HWND w, TMenuBtn* b) {
  RECT wr{};
  GetWindowRect(w, &wr);
  return POINT{wr.left + (b->Rect.Left + b->Rect.Right) / 2, wr.top + (b->Rect.Top + b->Rect.Bottom) / 2};
}

// ---- The bar in the frame

TEST_F(Menus_, TheBarTakesTheMenuAndItsRowEntersTheClientSize) {
  HMENU menu = MakeMenu();
  HWND w = MakeMenuWindow(menu);
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  ASSERT_NE(f->MenuBarObject(), nullptr);
  EXPECT_EQ(GetMenu(w), nullptr) << "the menu is detached while skinned";
  EXPECT_EQ(f->MenuBarObject()->MenuHandle, menu);
  ASSERT_EQ(f->MenuBarObject()->BtnCount(), 3);
  EXPECT_EQ(f->MenuHeight, GetSystemMetrics(SM_CYMENU));
  // WM_NCCALCSIZE: the client area lies below the title bar and the bar's row.
  RECT wr{}, cr{};
  GetWindowRect(w, &wr);
  GetClientRect(w, &cr);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(origin.y - wr.top, f->Borders[1] + f->MenuHeight);
  EXPECT_EQ(Height(wr) - Height(cr), f->Borders[1] + f->Borders[3] + f->MenuHeight);
  NCCALCSIZE_PARAMS p{};
  p.rgrc[0] = RECT{100, 100, 400, 300};
  SendMessageW(w, WM_NCCALCSIZE, TRUE, LPARAM(&p));
  EXPECT_EQ(p.rgrc[0].top, 100 + f->Borders[1] + f->MenuHeight);
  // The buttons lie in that row, one after another.
  TVeltMenu* bar = f->MenuBarObject();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bar->Btn(i)->Rect.Top, f->Borders[1]) << i;
    if (i) {
      EXPECT_EQ(bar->Btn(i)->Rect.Left, bar->Btn(i - 1)->Rect.Right) << i;
    }
  }
  EXPECT_EQ(bar->Btn(0)->Caption, L"\u6587\u4ef6(&F)");
  // Owner-drawn items leave the system no text for their accelerators where it asks the window.
  f->MenuTracking = true;
  const LRESULT r = SendMessageW(w, WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), LPARAM(GetSubMenu(menu, 0)));
  f->MenuTracking = false;
  EXPECT_EQ(r, MAKELRESULT(4, MNC_EXECUTE));
  f->MenuTracking = true;
  EXPECT_EQ(HIWORD(SendMessageW(w, WM_MENUCHAR, MAKEWPARAM('s', MF_POPUP), LPARAM(GetSubMenu(menu, 0)))), 0)
      << "a disabled item's accelerator runs nothing";
  f->MenuTracking = false;
}

TEST_F(Menus_, TheBarIsPaintedFromTheSkinWithItsCaptions) {
  HWND w = MakeMenuWindow(MakeMenu());
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  TVeltMenu* bar = f->MenuBarObject();
  // The frame as the frame-painting message paints it.
  RECT wr{};
  GetWindowRect(w, &wr);
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(Width(wr), Height(wr));
  ASSERT_EQ(SendMessageW(w, CN_SkinPaintFrame, WPARAM(shot.Canvas()->Handle()), kSkinLibraryMark), kSkinLibraryMark);
  GdiFlush();
  auto at = [&](int x, int y) { return uint32_t(GdiColor(shot.Canvas()->Pixels(x, y)) & 0xFFFFFF); };
  const uint32_t barColour = FrameColor(kMenuBarPic, 1);
  const TRect b0 = bar->Btn(0)->Rect;
  // Beside the captions, the bar's picture (frame 1: the window is active).
  EXPECT_EQ(at(bar->Btn(2)->Rect.Right + 20, b0.Top + 3), barColour);
  // Each caption shows in the bar's text colour somewhere in its button.
  for (int i = 0; i < 3; ++i) {
    const TRect r = bar->Btn(i)->Rect;
    int text = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) text += at(x, y) != barColour;
    EXPECT_GT(text, 10) << i;
  }
}

// Every pixel of a caption that the bar's paint draws hit-tests to a button, the captions to their
// buttons in order, though the bar was rebuilt with another first caption and not painted since; a
// minimised window shows no bar, and none of it is hit where it was.
TEST_F(Menus_, TheBarIsHitWhereItsPaintPutsTheButtonsPaintedOrNot) {
  HWND w = MakeMenuWindow(MakeMenu());
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  TVeltMenu* bar = f->MenuBarObject();
  ASSERT_EQ(bar->BtnCount(), 3);
  const TRect before = bar->Btn(2)->Rect;
  ASSERT_FALSE(before.IsEmpty());
  ShowWindow(w, SW_HIDE);
  Pump();
  // A longer first caption, and the bar rebuilt: nothing paints the hidden window.
  ModifyMenuW(bar->MenuHandle, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(GetSubMenu(bar->MenuHandle, 0)),
              L"文件文件文件(&F)");
  bar->UpdataBtn();
  ASSERT_EQ(bar->BtnCount(), 3);
  RECT wr{};
  GetWindowRect(w, &wr);
  const int W = Width(wr), top = f->Borders[1], rows = f->MenuHeight;
  std::vector<int> hit(size_t(W) * size_t(rows), -1);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < W; ++x)
      if (TMenuBtn* b = bar->FindBtn(POINT{x, top + y})) hit[size_t(y) * size_t(W) + size_t(x)] = b->Index;
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(W, Height(wr));
  ASSERT_EQ(SendMessageW(w, CN_SkinPaintFrame, WPARAM(shot.Canvas()->Handle()), kSkinLibraryMark), kSkinLibraryMark);
  GdiFlush();
  // The hidden window is inactive: the bar's second frame.
  const uint32_t barColour = FrameColor(kMenuBarPic, f->Active ? 1 : 2);
  int text = 0, missed = 0, lastIndex = -1, backwards = 0;
  for (int x = f->Borders[0]; x < W - f->Borders[2]; ++x)
    for (int y = 0; y < rows; ++y) {
      if ((uint32_t(GdiColor(shot.Canvas()->Pixels(x, top + y))) & 0xFFFFFF) == barColour) continue;
      ++text;
      const int i = hit[size_t(y) * size_t(W) + size_t(x)];
      if (i < 0) {
        ++missed;
        continue;
      }
      if (i < lastIndex) ++backwards;
      lastIndex = std::max(lastIndex, i);
    }
  EXPECT_GT(text, 30);
  EXPECT_EQ(missed, 0) << "caption pixels that hit no button";
  EXPECT_EQ(backwards, 0);
  EXPECT_EQ(lastIndex, 2);
  EXPECT_GT(bar->Btn(2)->Rect.Left, before.Left) << "the longer caption moved the others on";
  // Minimised, the window is its title bar alone.
  ShowWindow(w, SW_SHOWMINNOACTIVE);
  Pump();
  ShowWindow(w, SW_HIDE);
  Pump();
  EXPECT_EQ(f->WindowState, vwMinimized);
  for (int i = 0; i < 3; ++i) {
    const TRect r = bar->Btn(i)->Rect;
    EXPECT_EQ(bar->FindBtn(POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}), nullptr) << i;
  }
  EXPECT_EQ(bar->FindBtn(POINT{(before.Left + before.Right) / 2, top + 3}), nullptr);
}

// The bar's buttons share the hot object with the caption buttons.
TEST_F(Menus_, TheMouseOverTheBarMakesOneButtonHotAtATime) {
  HWND w = MakeMenuWindow(MakeMenu());
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  TVeltMenu* bar = f->MenuBarObject();
  auto move = [&](int i) {
    const POINT p = ButtonPoint(w, bar->Btn(i));
    SendMessageW(w, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(p.x, p.y));
  };
  move(0);
  EXPECT_EQ(f->HotObject, bar->Btn(0));
  EXPECT_EQ(bar->Btn(0)->State, ncHot);
  move(1);
  EXPECT_EQ(f->HotObject, bar->Btn(1));
  EXPECT_EQ(bar->Btn(0)->State, ncNormal);
  EXPECT_EQ(bar->Btn(1)->State, ncHot);
  // Off the buttons (the bar's empty end): nothing is hot.
  RECT wr{};
  GetWindowRect(w, &wr);
  const TRect last = bar->Btn(2)->Rect;
  SendMessageW(w, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(wr.left + last.Right + 30, wr.top + last.Top + 3));
  EXPECT_EQ(f->HotObject, nullptr);
  EXPECT_EQ(bar->Btn(1)->State, ncNormal);
}

// ---- Tracking

// How a row opens the bar: by the keys the user presses (reaching the window's own default
// procedure, which turns them into SC_KEYMENU).
constexpr int kF10 = -2, kAltKey = -3, kAltF = -4;

struct TTrackRow {
  const char* Name;
  // -1: SC_KEYMENU 0 (Alt alone); kF10, kAltKey, kAltF: those keys; 0..2: the button clicked;
  // 'F' etc.: SC_KEYMENU with the letter.
  int Start;
  std::vector<TStep> Steps;
  std::vector<WPARAM> Want;
};

TEST_F(Menus_, KeyboardAndMouseAcrossTheBarDeliverExactlyTheChosenCommands) {
  // The hook highlights the first item of every menu it opens (as a menu opened by keyboard).
  const TTrackRow rows[] = {
      {"Alt+F, Enter on the first item", 'F', {K(VK_RETURN)}, {idOpen}},
      {"a Chinese caption's mnemonic", 'F', {C('x')}, {idExit}},
      {"the highlighted item's mnemonic", 'F', {C('o')}, {idOpen}},
      // A disabled item's mnemonic or Enter on it closes the menu without a command.
      {"the disabled item's mnemonic does nothing", 'F', {C('s')}, {}},
      {"down onto the disabled item and Enter", 'F', {K(VK_DOWN), K(VK_RETURN)}, {}},
      {"Right moves to Edit", 'F', {K(VK_RIGHT), K(VK_RETURN)}, {idCut}},
      {"Left from the first wraps to Help", 'F', {K(VK_LEFT), C('a')}, {idAbout}},
      {"Right twice from Edit wraps to File", 'E', {K(VK_RIGHT), K(VK_RIGHT), K(VK_RETURN)}, {idOpen}},
      {"a submenu by its mnemonic", 'F', {C('r'), C('b')}, {idRecentB}},
      {"Right on an item with a submenu opens it", 'F',
       {K(VK_DOWN), K(VK_DOWN), K(VK_RIGHT), K(VK_RETURN)}, {idRecentA}},
      {"Right in the submenu moves on to Edit", 'F', {C('r'), K(VK_RIGHT), K(VK_RETURN)}, {idCut}},
      {"Left in the submenu closes it only", 'F', {C('r'), K(VK_LEFT), K(VK_LEFT), C('a')}, {idAbout}},
      {"a radio item", 'E', {C('n')}, {idNarrow}},
      {"Help's disabled item", 'H', {C('d')}, {}},
      {"Escape chooses nothing", 'H', {K(VK_ESCAPE)}, {}},
      {"Alt alone opens the first menu", -1, {K(VK_RETURN)}, {idOpen}},
      {"a click opens Edit", 1, {K(VK_DOWN), K(VK_RETURN)}, {idCopy}},
      {"the mouse onto Help switches to its menu", 0, {M(2), C('a')}, {idAbout}},
      {"the mouse onto the open button changes nothing", 1, {M(1), K(VK_RETURN)}, {idCut}},
      {"the F10 key", kF10, {K(VK_RETURN)}, {idOpen}},
      {"the Alt key pressed and released", kAltKey, {K(VK_RIGHT), K(VK_RETURN)}, {idCut}},
      {"Alt with F", kAltF, {C('x')}, {idExit}},
      {"a click on an item", 'F', {L(0)}, {idOpen}},
      {"a click on the default item", 'F', {L(4)}, {idExit}},
      {"a click on the disabled item, then Escape", 'F', {L(1), K(VK_ESCAPE)}, {}},
      {"a click on a radio item", 'E', {L(4)}, {idNarrow}},
      {"a click on Help's disabled item, then Escape", 'H', {L(1), K(VK_ESCAPE)}, {}},
  };
  for (const TTrackRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = MakeMenuWindow(MakeMenu());
    TVeltForm* f = SkinMenuWindow(w);
    ASSERT_NE(f, nullptr);
    TVeltMenu* bar = f->MenuBarObject();
    ASSERT_NE(bar, nullptr);
    const std::vector<WPARAM> got = Drive(w, f, row.Steps, [&] {
      auto keys = [&](UINT down, UINT up, WPARAM key, LPARAM alt) {
        PostMessageW(w, down, key, alt | 1);
        if (up) PostMessageW(w, up, key, alt | 0xC0000001);
        Pump();
      };
      if (row.Start == -1) {
        SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 0);
      } else if (row.Start == kF10) {
        keys(WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F10, 0);
      } else if (row.Start == kAltKey) {
        keys(WM_SYSKEYDOWN, WM_SYSKEYUP, VK_MENU, 0x20000000);
      } else if (row.Start == kAltF) {
        keys(WM_SYSCHAR, 0, 'f', 0x20000000);
      } else if (row.Start >= 0 && row.Start < 3) {
        const POINT p = ButtonPoint(w, bar->Btn(row.Start));
        SendMessageW(w, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
      } else {
        SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(row.Start));
      }
    });
    EXPECT_FALSE(g_feed.Ended) << "the steps left a menu open";
    EXPECT_EQ(g_feed.Next, row.Steps.size());
    EXPECT_EQ(got, row.Want);
    EXPECT_FALSE(MenuTracking());
    EXPECT_EQ(OpenMenuButton(), -1);
    EXPECT_FALSE(f->MenuTracking);
  }
}

TEST_F(Menus_, ACommandOnTheBarIsPostedOnlyWhenItIsEnabled) {
  HMENU menu = MakeMenu();
  AppendMenuW(menu, MF_STRING, 401, L"&Go");
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 402, L"&Stop");
  HWND w = MakeMenuWindow(menu);
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  TVeltMenu* bar = f->MenuBarObject();
  ASSERT_EQ(bar->BtnCount(), 5);
  g_commands.clear();
  for (int i : {3, 4}) {
    const POINT p = ButtonPoint(w, bar->Btn(i));
    SendMessageW(w, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
  }
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 's');  // the disabled one's accelerator
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 'g');
  Pump();
  EXPECT_EQ(g_commands, (std::vector<WPARAM>{401, 401}));
  // Right from Help passes over the two commands (running neither) to File.
  const std::vector<WPARAM> got =
      Drive(w, f, {K(VK_RIGHT), K(VK_RETURN)}, [&] { SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 'h'); });
  EXPECT_EQ(got, (std::vector<WPARAM>{idOpen}));
}

// A class-library form: its main menu's items click through the bar, Alt with a letter reaches the
// bar through CM_DIALOGCHAR, CN_MenuSelect opens the button under a point, and a change of the
// menu rebuilds the bar only while MenuUpdate is set.
TEST_F(Menus_, AFormsMainMenuClicksItsItemsAndFollowsItsChanges) {
  auto* form = new TForm(nullptr);
  auto* mm = new TMainMenu(form);
  std::vector<std::wstring> clicks;
  auto item = [&](TMenuItem* parent, const wchar_t* caption, bool enabled = true) {
    auto* it = new TMenuItem(form);
    it->SetCaption(caption);
    it->SetEnabled(enabled);
    it->OnClick = [&clicks, it](TObject*) { clicks.push_back(it->Caption()); };
    parent->Add(it);
    return it;
  };
  TMenuItem* file = item(mm->Items(), L"\u6587\u4ef6(&F)");
  item(file, L"\u6253\u5f00(&O)");
  item(file, L"&Gone", false);
  TMenuItem* edit = item(mm->Items(), L"&Edit");
  item(edit, L"&Copy");
  form->SetMenu(mm);
  form->SetBounds(40, 40, 400, 260);
  form->Show();
  HWND w = form->Handle();
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  TVeltMenu* bar = f->MenuBarObject();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->BtnCount(), 2);
  EXPECT_EQ(bar->MainMenu, mm);
  // Alt+E as the form's dialog character: the bar's button is clicked and its menu opens.
  Drive(w, f, {K(VK_RETURN)}, [&] {
    TMessage m{CM_DIALOGCHAR, 'e', 0x20000000, 0};
    f->CMDialogChar(m);
    EXPECT_EQ(m.Result, 1);
    Pump();
  });
  // The Chinese caption's mnemonic; CN_MenuSelect at File's button and the disabled item's.
  Drive(w, f, {C('o')}, [&] { SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 'f'); });
  EXPECT_FALSE(g_feed.Ended);
  Drive(w, f, {C('g')}, [&] {
    const POINT p = ButtonPoint(w, bar->Btn(0));
    SendMessageW(w, CN_MenuSelect, 0, MAKELPARAM(p.x, p.y));
  });
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"&Edit", L"&Copy", L"\u6587\u4ef6(&F)", L"\u6253\u5f00(&O)",
                                               L"\u6587\u4ef6(&F)"}))
      << "each submenu's own item is clicked as it opens, and the chosen items; never the disabled one";
  // A menu built as it opens: the bar is rebuilt while the menu is open, and the command arrives.
  clicks.clear();
  edit->OnClick = [&](TObject*) {
    if (edit->Count() == 1) item(edit, L"&Paste");
  };
  Drive(w, f, {K(VK_DOWN), K(VK_RETURN)}, [&] { SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 'e'); });
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"&Paste"}));
  EXPECT_EQ(f->MenuBarObject()->BtnCount(), 2);
  // A change of the menu: the bar follows while MenuUpdate is set; the window never shows the
  // menu of its own.
  item(mm->Items(), L"&Help");
  Pump();
  EXPECT_EQ(GetMenu(w), nullptr);
  EXPECT_EQ(f->MenuBarObject()->BtnCount(), 3);
  f->SkinData->SetMenuUpdate(false);
  item(mm->Items(), L"&More");
  Pump();
  EXPECT_EQ(GetMenu(w), nullptr);
  EXPECT_EQ(f->MenuBarObject()->BtnCount(), 3);
  delete form;
}

// An MDI frame: a new frame menu set through its client goes into the painted bar.
TEST_F(Menus_, AnMdiFramesNewMenuGoesIntoTheBar) {
  HWND w = MakeMenuWindow(MakeMenu());
  CLIENTCREATESTRUCT ccs{};
  HWND client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 300, 200, w,
                                nullptr, GetModuleHandleW(nullptr), &ccs);
  ASSERT_NE(client, nullptr);
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->FormKind, fkMDIParent);
  ASSERT_EQ(f->MenuBarObject()->BtnCount(), 3);
  HMENU other = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 901, L"&Tile");
  AppendMenuW(other, MF_POPUP, UINT_PTR(sub), L"&Window");
  SendMessageW(client, WM_MDISETMENU, WPARAM(other), 0);
  EXPECT_EQ(GetMenu(w), nullptr);
  ASSERT_EQ(f->MenuBarObject()->BtnCount(), 1);
  EXPECT_EQ(f->MenuBarObject()->Btn(0)->Caption, L"&Window");
  EXPECT_GT(f->MenuBarObject()->Btn(0)->Rect.Right, f->MenuBarObject()->Btn(0)->Rect.Left) << "laid out";
}

// A maximised MDI child: its buttons (Visibility 100) are drawn in the frame's bar and act on it.
TEST_F(Menus_, AMaximisedMdiChildsButtonsSitInTheBar) {
  // The skin's MDICONTROLS picture gives the child's minimise, restore and close buttons (four
  // frames each of its twelve): the close button shows the picture's ninth frame.
  constexpr int kMdiPic = 10;
  Data();
  HWND w = Window(MakeMenuWindow(MakeMenu()));
  CLIENTCREATESTRUCT ccs{};
  HWND client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 300, 200, w,
                                nullptr, GetModuleHandleW(nullptr), &ccs);
  RegisterWindowClass(L"KaroMenuMdiChild", DefMDIChildProcW);
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  f->Active = true;
  MDICREATESTRUCTW mc{};
  mc.szClass = L"KaroMenuMdiChild";
  mc.szTitle = L"Child";
  mc.hOwner = GetModuleHandleW(nullptr);
  mc.cx = mc.cy = 100;
  mc.style = WS_MAXIMIZE;
  HWND child = HWND(SendMessageW(client, WM_MDICREATE, 0, LPARAM(&mc)));
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(f->MDIChildMax());
  f->UpdateNc(nullptr);
  TWinSysButton* b = nullptr;
  for (int i = 0; i < f->SysBtnCount(); ++i)
    if (f->SysBtn(i)->Button->Visibility == 100 && f->SysBtn(i)->Button->Action == 9) b = f->SysBtn(i);
  ASSERT_NE(b, nullptr);
  ASSERT_TRUE(b->Visible);
  RECT wr{};
  GetWindowRect(w, &wr);
  // In the bar's row.
  EXPECT_GE(b->Rect.Top, f->Borders[1]);
  EXPECT_LE(b->Rect.Bottom, f->Borders[1] + f->MenuHeight);
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(Width(wr), Height(wr));
  SendMessageW(w, CN_SkinPaintFrame, WPARAM(shot.Canvas()->Handle()), kSkinLibraryMark);
  GdiFlush();
  const uint32_t got = uint32_t(GdiColor(shot.Canvas()->Pixels((b->Rect.Left + b->Rect.Right) / 2,
                                                                 (b->Rect.Top + b->Rect.Bottom) / 2)) & 0xFFFFFF);
  const uint32_t want = FrameColor(kMdiPic, 9);
  for (int shift : {0, 8, 16}) EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 2) << shift;
  EXPECT_TRUE(Mgr->MDIMaximized);
  // A click on it closes the child.
  const POINT p{wr.left + (b->Rect.Left + b->Rect.Right) / 2, wr.top + (b->Rect.Top + b->Rect.Bottom) / 2};
  SendMessageW(w, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
  SendMessageW(w, WM_NCLBUTTONUP, HTMENU, MAKELPARAM(p.x, p.y));
  Pump();
  EXPECT_FALSE(IsWindow(child));
}

// The swap of Left and Right for a right-to-left bar concerns keys only: a WM_CHAR of 37 is '%'.
TEST_F(Menus_, ARightToLeftBarSwapsArrowKeysButNeverCharacters) {
  auto* form = new TForm(nullptr);
  auto* mm = new TMainMenu(form);
  for (const wchar_t* top : {L"&File", L"&Edit"}) {
    auto* t = new TMenuItem(form);
    t->SetCaption(top);
    auto* sub = new TMenuItem(form);
    sub->SetCaption(L"&Item");
    t->Add(sub);
    mm->Items()->Add(t);
  }
  mm->SetBiDiMode(bdRightToLeft);
  form->SetMenu(mm);
  form->Show();
  HWND w = form->Handle();
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  ASSERT_NE(f->MenuBarObject(), nullptr);
  ASSERT_EQ(f->MenuBarObject()->BtnCount(), 2);
  std::vector<std::pair<UINT, WPARAM>> seen;
  MenuLoopSpy = [&](const MSG& m) {
    if (m.message == WM_KEYDOWN || m.message == WM_CHAR) seen.push_back({m.message, m.wParam});
  };
  Drive(w, f, {C(37), K(VK_LEFT), K(VK_ESCAPE)}, [&] { CheckMenu(f, f->MenuBarObject()->Btn(0)); });
  MenuLoopSpy = nullptr;
  bool sawChar = false, sawKey = false;
  for (auto& s : seen) {
    if (s.first == WM_CHAR && s.second == 37) sawChar = true;
    if (s.first == WM_KEYDOWN) {
      EXPECT_NE(s.second, WPARAM(VK_LEFT)) << "a Left key reached the menu unswapped";
    }
    if (s.first == WM_KEYDOWN && s.second == VK_RIGHT) sawKey = true;
  }
  EXPECT_TRUE(sawChar) << "the character 37 stayed itself";
  EXPECT_TRUE(sawKey);
  delete form;
}

// ---- Giving back

TEST_F(Menus_, UnskinningGivesEveryMenuBackExactly) {
  HMENU menu = MakeMenu();
  HMENU file = GetSubMenu(menu, 0);
  // One item the application made owner-drawn itself stays so.
  MENUITEMINFOW own{};
  own.cbSize = sizeof own;
  own.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(GetSubMenu(menu, 2), 0, TRUE, &own);
  own.fType |= MFT_OWNERDRAW;
  SetMenuItemInfoW(GetSubMenu(menu, 2), 0, TRUE, &own);
  HWND w = MakeMenuWindow(menu);
  RECT before{};
  GetClientRect(w, &before);
  auto types = [&](HMENU m) {
    std::vector<UINT> t;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoW(m, UINT(i), TRUE, &info);
      t.push_back(info.fType);
    }
    return t;
  };
  const auto fileTypes = types(file), recentTypes = types(GetSubMenu(file, 3)), helpTypes = types(GetSubMenu(menu, 2));
  TVeltForm* f = SkinMenuWindow(w);
  ASSERT_NE(f, nullptr);
  RECT skinned{};
  GetClientRect(w, &skinned);
  EXPECT_EQ(Height(skinned), Height(before)) << "the painted bar takes the system bar's room";
  // Open File and its submenu, and Help: their items become owner-drawn.
  Drive(w, f, {C('r'), K(VK_ESCAPE), K(VK_LEFT), K(VK_ESCAPE)}, [&] { SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 'F'); });
  EXPECT_NE(types(file), fileTypes);
  EXPECT_TRUE(types(GetSubMenu(file, 3))[0] & MFT_OWNERDRAW);
  // Unskinned by the manager's unskin-all action.
  TSkinData* d = Mgr->SkinDataList().front();
  Mgr->Pending = d;
  Mgr->SetAction(saUnskinAll, 1);
  Tick();
  Pump();
  EXPECT_EQ(Mgr->FindVeltForm(w), nullptr);
  EXPECT_EQ(GetMenu(w), menu);
  EXPECT_EQ(types(file), fileTypes);
  EXPECT_EQ(types(GetSubMenu(file, 3)), recentTypes);
  EXPECT_EQ(types(GetSubMenu(menu, 2)), helpTypes);
  RECT after{};
  GetClientRect(w, &after);
  EXPECT_EQ(Width(after), Width(before));
  EXPECT_EQ(Height(after), Height(before));
}

TEST_F(Menus_, AWindowDestroyedWhileSkinnedTakesItsDetachedMenuWithIt) {
  HMENU menu = MakeMenu();
  HWND w = MakeMenuWindow(menu);
  ASSERT_NE(SkinMenuWindow(w), nullptr);
  ASSERT_EQ(GetMenu(w), nullptr);
  DestroyWindow(w);
  Pump();
  EXPECT_FALSE(IsMenu(menu));
}

// ---- Owner-drawn items

// An item drawn into a DIB: the pixel as RGB with red in the low byte.
struct TItemShot {
  TItemShot(TSkinData* d, const TMenuItemLook& look, bool selected, int w = 160, int h = 22, TBitmap* back = nullptr) {
    Shot.SetPixelFormat(pf24bit);
    Shot.SetSize(w, h);
    DrawSkinMenuItem(d, Shot.Canvas()->Handle(), Rect(0, 0, w, h), look, selected, back, POINT{0, 0});
    GdiFlush();
  }
  uint32_t At(int x, int y) { return uint32_t(GdiColor(Shot.Canvas()->Pixels(x, y)) & 0xFFFFFF); }
  int Count(const TRect& r, const std::function<bool(uint32_t)>& f) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += f(At(x, y));
    return n;
  }
  TBitmap Shot;
};

// Channel Which (0 red, 1 green, 2 blue) exceeds both others by more than 60.
bool Leads(uint32_t c, int Which) {
  const int ch[3] = {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
  for (int i = 0; i < 3; ++i)
    if (i != Which && ch[Which] - ch[i] <= 60) return false;
  return true;
}
bool Grey(uint32_t c) {
  const int r = int(c & 0xFF), g = int((c >> 8) & 0xFF), b = int((c >> 16) & 0xFF);
  return std::abs(r - g) < 12 && std::abs(g - b) < 12 && r < 230;
}

TMenuItemLook Look(const wchar_t* caption, bool enabled = true) {
  TMenuItemLook l;
  l.Caption = caption;
  l.Enabled = enabled;
  return l;
}

TEST_F(Menus_, AnItemIsDrawnFromTheMenuItemFrameOfItsState) {
  TSkinData* d = Data();
  const uint32_t normal = FrameColor(kMenuItemPic, 1), selected = FrameColor(kMenuItemPic, 4),
                 separator = FrameColor(kMenuItemPic, 2);
  {
    TItemShot s(d, Look(L"&Open"), false);
    EXPECT_EQ(s.At(150, 11), normal);
  }
  {
    TItemShot s(d, Look(L"&Open"), true);
    EXPECT_EQ(s.At(150, 11), selected);
  }
  {
    TMenuItemLook l;
    l.Separator = true;
    l.Caption = L"-";
    TItemShot s(d, l, false, 160, 8);
    EXPECT_EQ(s.At(80, 4), separator);
  }
  // The caption's colours: enabled, selected, disabled.
  struct TRow {
    const char* Name;
    bool Enabled, Selected;
    TShemeColor Colour;
  } rows[] = {{"enabled", true, false, csMenuText}, {"selected", true, true, csHilightText},
              {"disabled", false, false, csButtonShadow}};
  d->Colors[csMenuText] = TColor(0x0000C0);
  d->Colors[csHilightText] = TColor(0x00C000);
  d->Colors[csButtonShadow] = TColor(0xC00000);
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    TItemShot s(d, Look(L"\u6253\u5f00\u6587\u4ef6", r.Enabled), r.Selected);
    // Glyph edges are blended with the background: pixels where the text colour's channel leads.
    const int lead = r.Colour == csMenuText ? 0 : r.Colour == csHilightText ? 1 : 2;
    EXPECT_GT(s.Count(Rect(20, 0, 150, 22), [&](uint32_t c) { return Leads(c, lead); }), 10) << "Chinese text drawn";
  }
  // A disabled item in a skin whose shadow colour equals the text colour: the system's shadow.
  d->Colors[csButtonShadow] = d->Colors[csMenuText];
  TItemShot s(d, Look(L"\u6253\u5f00\u6587\u4ef6", false), false);
  // clBtnShadow is a grey: the text's pixels are grey, the background is not.
  EXPECT_GT(s.Count(Rect(20, 0, 150, 22), [&](uint32_t c) { return Grey(c); }), 10);
}

TEST_F(Menus_, ChecksRadioDefaultAndAcceleratorTextShowWhereTheyBelong) {
  TSkinData* d = Data();
  const uint32_t normal = FrameColor(kMenuItemPic, 1);
  const int lw = d->MenuItem->Margins.Left;
  const TRect glyph = Rect(1 + lw, 0, 1 + lw + 16, 22);
  auto marks = [&](TItemShot& s) { return s.Count(glyph, [&](uint32_t c) { return c != normal; }); };
  TItemShot plain(d, Look(L"&Open"), false);
  EXPECT_EQ(marks(plain), 0);
  TMenuItemLook checked = Look(L"&Open");
  checked.Checked = true;
  TItemShot c(d, checked, false);
  EXPECT_GT(marks(c), 5) << "a check mark in the glyph column";
  checked.Radio = true;
  TItemShot r(d, checked, false);
  EXPECT_GT(marks(r), 5) << "a bullet for a radio item";
  // The accelerator text ends 11 pixels from the right edge.
  TMenuItemLook sc = Look(L"&Open");
  sc.ShortCut = L"Ctrl+O";
  TItemShot withShortcut(d, sc, false, 200);
  EXPECT_GT(withShortcut.Count(Rect(150, 0, 189, 22), [&](uint32_t x) { return x != normal; }), 5);
  EXPECT_EQ(withShortcut.Count(Rect(190, 0, 200, 22), [&](uint32_t x) { return x != normal; }), 0);
  // The default item is bold: more ink than the same caption plain.
  TMenuItemLook def = Look(L"Open the file");
  TItemShot regular(d, def, false, 200);
  def.Default = true;
  TItemShot bold(d, def, false, 200);
  auto ink = [&](TItemShot& s) { return s.Count(Rect(20, 0, 200, 22), [&](uint32_t x) { return x != normal; }); };
  EXPECT_GT(ink(bold), ink(regular));
}

TEST_F(Menus_, WithoutAMenuItemPictureTheMenuColoursAndAnEtchedSeparator) {
  TTestSkin skin = CompleteSkin();
  skin.Ini.replace(skin.Ini.find("[MenuItem]"), 10, "[NoMenuItem]");
  TSkinData* d = Data(sfMainform, nullptr, skin.File());
  ASSERT_EQ(d->MenuItem, nullptr);
  d->Colors[csHilight] = TColor(0x203040);
  d->Colors[csMenubg] = TColor(0x607080);
  TItemShot sel(d, Look(L"&Open"), true);
  EXPECT_EQ(sel.At(150, 11), uint32_t(GdiColor(d->Colors[csHilight])));
  TMenuItemLook l;
  l.Separator = true;
  l.Caption = L"-";
  TItemShot sep(d, l, false, 160, 10);
  EXPECT_EQ(sep.At(80, 2), uint32_t(GdiColor(d->Colors[csMenubg])));
  EXPECT_NE(sep.At(80, 4), uint32_t(GdiColor(d->Colors[csMenubg]))) << "the etched line 4 pixels down";
}

TEST_F(Menus_, ItemsAreMeasuredWithTheSkinsRoom) {
  TSkinData* d = Data();
  const int lw = d->MenuItem->Margins.Left;
  int w = 80, h = 18;
  MeasureSkinnedItem(d, true, false, w, h);
  EXPECT_EQ(w, 80 + lw + 10 + 25);
  w = 80;
  MeasureSkinnedItem(d, true, true, w, h);
  EXPECT_EQ(w, 80 + lw + 10);
  w = 80;
  MeasureSkinnedItem(d, false, true, w, h);
  EXPECT_EQ(w, 80 + lw + 12);
  EXPECT_EQ(h, 18);
  HDC dc = GetDC(nullptr);
  TMenuItemLook sep;
  sep.Separator = true;
  EXPECT_EQ(MeasurePlainItem(d, dc, sep).cy, 8);
  TMenuItemLook amp = Look(L"&");
  EXPECT_GT(MeasurePlainItem(d, dc, amp).cy, 4) << "a caption '&' alone is one line high";
  ReleaseDC(nullptr, dc);
}

// ---- Popup windows and the system menu

struct TPopupSeen {
  int Listed = 0;
  uint32_t Corner = 0;
  bool Read = false;
};
TPopupSeen g_popup;
TSkinManage* g_mgr = nullptr;

void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR, DWORD) {
  for (TVeltPopMenu* m : g_mgr->MenuList()) {
    ++g_popup.Listed;
    HWND p = m->Window();
    if (!IsWindowVisible(p)) continue;
    UpdateWindow(p);
    HDC dc = GetWindowDC(p);
    RECT r{};
    GetWindowRect(p, &r);
    g_popup.Corner = uint32_t(GetPixel(dc, 1, 1)) & 0xFFFFFF;
    g_popup.Read = true;
    ReleaseDC(p, dc);
  }
  EndMenu();
}

TEST_F(Menus_, ASystemMenuPopupIsSkinnedOnlyWithXcSystemMenu) {
  struct TRow {
    const char* Name;
    bool On, Enabled;
  } rows[] = {{"xcSystemMenu", true, true}, {"without", false, true}, {"manager switched off", true, false}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const bool on = row.On && row.Enabled;
    TearDown();
    SetUp();
    HWND w = MakeMenuWindow(nullptr);
    TVeltForm* f = SkinMenuWindow(w);
    ASSERT_NE(f, nullptr);
    Mgr->InstallHook();
    TSkinData* d = Mgr->SkinDataList().front();
    TSkinControlTypes c = d->SkinControls();
    if (row.On)
      c.Include(xcSystemMenu);
    else
      c.Exclude(xcSystemMenu);
    d->SetSkinControls(c);
    Mgr->Enabled = row.Enabled;
    g_popup = TPopupSeen();
    g_mgr = Mgr;
    const UINT_PTR t = SetTimer(nullptr, 0, 50, &LookAtPopup);
    RECT wr{};
    GetWindowRect(w, &wr);
    f->PopSysmenu(POINT{wr.left + 20, wr.top + 20});
    KillTimer(nullptr, t);
    Pump();
    if (on) {
      EXPECT_GT(g_popup.Listed, 0);
      ASSERT_TRUE(g_popup.Read);
      // Its frame is the skin's MenuBackground picture.
      EXPECT_EQ(g_popup.Corner, FrameColor(kMenuBgPic, 1) & 0xFFFFFF);
    } else {
      EXPECT_EQ(g_popup.Listed, 0);
    }
    EXPECT_TRUE(Mgr->MenuList().empty()) << "the popup left the list with its window";
  }
}

// ---- Tool bars

// A class-library tool bar of a skinned form is drawn by the form's handlers where the program set
// none of its own, and unskinning takes back only those.
TEST_F(Menus_, AToolBarDrawsThroughTheFormUnlessTheProgramDrawsItAndGetsItsOwnHandlersBack) {
  auto* form = new TForm(nullptr);
  form->SetBounds(40, 40, 400, 200);
  auto* plain = Place<TToolBar>(form, 0, 0, 400, 30);
  auto* own = Place<TToolBar>(form, 0, 60, 400, 30);
  int ownDrawn = 0;
  own->OnCustomDraw = [&ownDrawn](TToolBar*, const TRect&, bool&) { ++ownDrawn; };
  for (TToolBar* bar : {plain, own}) {
    auto* b = new TToolButton(form);
    b->SetParent(bar);
  }
  form->Show();
  TVeltForm* f = SkinMenuWindow(form->Handle());
  ASSERT_NE(f, nullptr);
  TSkinData* d = f->SkinData;
  TSkinOptions options = d->Options();
  options.Exclude(xoToolbarBK);  // the skin's tool-bar picture instead of the bar's own background
  d->SetOptions(options);
  EXPECT_TRUE(plain->OnCustomDraw && plain->OnCustomDrawButton);
  EXPECT_TRUE(own->OnCustomDrawButton) << "the missing handler is given";
  ASSERT_TRUE(d->Toolbar && d->Toolbar->Map && !d->Toolbar->Map->Empty());

  // The plain bar's empty right end shows the skin's picture, stretched over the bar's height.
  RECT c{};
  GetClientRect(plain->Handle(), &c);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, c.right, c.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bm);
  SendMessageW(plain->Handle(), WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
  TBitmap* map = d->Toolbar->Map.get();
  int matching = 0;
  for (int y = 1; y < c.bottom - 1; ++y) {
    const COLORREF got = GetPixel(dc, c.right - 5, y) & 0xFFFFFF;
    const int row = y * map->Height() / c.bottom;
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, map->Height() - 1); ++r)
      if ((GetPixel(map->Canvas()->Handle(), map->Width() / 2, r) & 0xFFFFFF) == got) {
        ++matching;
        break;
      }
  }
  SelectObject(dc, old);
  DeleteObject(bm);
  DeleteDC(dc);
  EXPECT_EQ(matching, c.bottom - 2) << "every row of the bar's right end comes from the skin's picture";
  RedrawWindow(own->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(ownDrawn, 0) << "the program's own handler still draws its bar";

  Mgr->Pending = d;
  Mgr->SetAction(saUnskinAll, 1);
  Tick();
  Pump();
  EXPECT_EQ(Mgr->FindVeltForm(form->Handle()), nullptr);
  EXPECT_FALSE(plain->OnCustomDraw || plain->OnCustomDrawButton);
  EXPECT_FALSE(own->OnCustomDrawButton);
  ownDrawn = 0;
  RedrawWindow(own->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(ownDrawn, 0) << "the program's handler is kept";
  delete form;
}

// The menu items of a tool bar and of a tool button draw and measure through the skinned form,
// whatever they held; unskinning gives each its own handlers back, and an item freed meanwhile is
// not touched.
TEST_F(Menus_, AToolBarsMenuItemsDrawThroughTheFormAndGetTheirOwnHandlersBack) {
  auto* form = new TForm(nullptr);
  form->SetBounds(40, 40, 400, 200);
  auto* menu = new TMainMenu(form);
  auto* top = new TMenuItem(menu);
  top->SetCaption(L"&File");
  menu->Items()->Add(top);
  auto* mine = new TMenuItem(menu);
  mine->SetCaption(L"\u6253\u5f00");
  top->Add(mine);
  auto* doomed = new TMenuItem(menu);
  doomed->SetCaption(L"Gone");
  top->Add(doomed);
  int ownDrawn = 0, ownMeasured = 0;
  mine->OnDrawItem = [&ownDrawn](TObject*, TCanvas*, TRect, bool) { ++ownDrawn; };
  mine->OnMeasureItem = [&ownMeasured](TObject*, TCanvas*, int&, int&) { ++ownMeasured; };
  auto* popup = new TPopupMenu(form);
  auto* buttonItem = new TMenuItem(popup);
  buttonItem->SetCaption(L"Tools");
  popup->Items()->Add(buttonItem);
  auto* bar = Place<TToolBar>(form, 0, 0, 400, 30);
  bar->SetMenu(menu);
  auto* button = new TToolButton(form);
  button->SetParent(bar);
  button->SetMenuItem(buttonItem);
  form->Show();
  TVeltForm* f = SkinMenuWindow(form->Handle());
  ASSERT_NE(f, nullptr);

  // Whose handler an item holds shows by the program's counts.
  TBitmap picture;
  picture.SetSize(100, 30);
  auto draws = [&picture](TMenuItem* item) {
    if (item->OnDrawItem) item->OnDrawItem(item, picture.Canvas(), TRect{0, 0, 100, 30}, false);
    return bool(item->OnDrawItem);
  };
  auto measures = [&picture](TMenuItem* item) {
    int w = 0, h = 0;
    if (item->OnMeasureItem) item->OnMeasureItem(item, picture.Canvas(), w, h);
    return bool(item->OnMeasureItem);
  };
  for (TMenuItem* item : {top, mine, doomed, buttonItem}) {
    EXPECT_TRUE(draws(item) && measures(item)) << WideToUtf8(item->Caption());
  }
  EXPECT_EQ(ownDrawn, 0) << "the program's draw handler is replaced while skinned";
  EXPECT_EQ(ownMeasured, 0) << "and so is its measure handler";
  delete doomed;

  Mgr->Pending = f->SkinData;
  Mgr->SetAction(saUnskinAll, 1);
  Tick();
  Pump();
  ASSERT_EQ(Mgr->FindVeltForm(form->Handle()), nullptr);
  for (TMenuItem* item : {top, buttonItem}) {
    EXPECT_FALSE(item->OnDrawItem || item->OnMeasureItem) << WideToUtf8(item->Caption());
  }
  EXPECT_TRUE(draws(mine) && measures(mine));
  EXPECT_EQ(ownDrawn, 1);
  EXPECT_EQ(ownMeasured, 1);
  delete form;
}

TEST(ToolBarButtonFrame, PressedHotOrFocusedDefaultElseNothing) {
  struct TRow {
    TCustomDrawState State;
    int Frame;
  } rows[] = {
      {TCustomDrawState{cdsSelected, cdsHot}, 2}, {TCustomDrawState{cdsHot}, 4},     {TCustomDrawState{cdsFocused}, 4},
      {TCustomDrawState{cdsDefault}, 1},          {TCustomDrawState{cdsDefault, cdsGrayed}, 0},
      {TCustomDrawState{cdsDefault, cdsDisabled}, 0}, {TCustomDrawState{}, 0},
  };
  for (const TRow& r : rows) EXPECT_EQ(ToolBarButtonFrame(r.State), r.Frame);
}

// A popup-menu window that another procedure was put over after it was skinned: given back, ours
// stays in the chain and passes every message on, so the window's own procedure still answers.
constexpr UINT kPopupAsk = WM_APP + 7;
LRESULT CALLBACK PopupOwnProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == kPopupAsk) return 33;
  return DefWindowProcA(w, m, wp, lp);
}
WNDPROC g_popupUnder = nullptr;
LRESULT CALLBACK PopupOverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(g_popupUnder, w, m, wp, lp);
}

TEST(PopMenuWindow, GivenBackUnderAnotherProcedureItStillReachesItsOwnProcedure) {
  RegisterWindowClass("KaroPopupChainTest", PopupOwnProc, {.Background = kNoBackground});
  HWND w = CreateWindowA("KaroPopupChainTest", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
  ASSERT_NE(w, nullptr);
  auto* m = new TVeltPopMenu;
  m->InitSkin(w, nullptr, nullptr);
  EXPECT_EQ(SendMessageA(w, CN_IsSkinned, 0, 0), 1);
  g_popupUnder = WNDPROC(SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(&PopupOverProc)));
  m->UnSubClass();
  delete m;
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), LONG_PTR(&PopupOverProc));
  EXPECT_EQ(SendMessageA(w, kPopupAsk, 0, 0), 33);
  EXPECT_EQ(SendMessageA(w, CN_IsSkinned, 0, 0), 0);
  EXPECT_TRUE(DestroyWindow(w));
}

}  // namespace
