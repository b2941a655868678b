// Combo boxes, edits and date-time pickers under their skins: what the parent hears of typing,
// dropping and choosing in combos of all five styles, skinned and not; the list skins of drop-down
// and simple combos (a Unicode list stays Unicode, each skin is freed once); the drop list's own
// thumb drag (it ends on release, on capture loss, on WM_QUIT, and when a handler destroys the
// combo); pixels of the combo's frame per state; edit borders, the client-paint message and an
// up-down inside an edit; the picker's arrow opening the calendar; and the data-aware grid.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "skin/windows/controls/combo_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/edit_skin.h"
#include "tests/skin/windows/controls/scroll_agreement.h"

using namespace skintest;

namespace {

constexpr int kComboButtonPic = 20;

std::vector<std::pair<int, int>> g_heard;  // WM_COMMAND: notification code, from the control itself

LRESULT CALLBACK HearingParent(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND && lp) g_heard.push_back({HIWORD(wp), GetDlgCtrlID(HWND(lp)) == LOWORD(wp)});
  return DefWindowProcW(w, m, wp, lp);
}

// Acts on WM_APP while a drag loop dispatches: the test puts what it wants done in g_action.
std::function<void()> g_action;
LRESULT CALLBACK ActingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if ((m == WM_APP || m == WM_TIMER) && g_action) g_action();
  return DefWindowProcW(w, m, wp, lp);
}

class ComboEditSkins : public ManagerTest {
public:
  void SetUp() override {
    ManagerTest::SetUp();
    BindUser32Functions();
    RegisterWindowClass(L"KaroActing", ActingProc);
    data = Data();
    host = TopWindow(L"KaroHearingParent", HearingParent, L"P", 20, 20, 500, 400);
    SetForegroundWindow(host);
    form = std::make_unique<TVeltForm>(nullptr);
    form->hwnd = host;
    form->SkinData = data;
  }
  void TearDown() override {
    form->DeleteControls();
    controls.clear();
    form.reset();
    g_action = nullptr;
    ManagerTest::TearDown();
  }
  // A control of the library straight on the plain parent window, with an id.
  template <class T> T* Make(int x, int y, int w, int h, int id) {
    auto c = std::make_unique<T>(nullptr);
    T* raw = c.get();
    raw->SetParentWindow(host);
    raw->SetBounds(x, y, w, h);
    SetWindowLongPtrW(raw->Handle(), GWLP_ID, id);
    controls.push_back(std::move(c));
    return raw;
  }
  template <class S> S* Attach(TWinControl* c, TSkinClass kind) {
    TSkinControl* s = MakeSkin(kind, c);
    s->Init(form.get(), data, nullptr, false);
    Pump();
    return dynamic_cast<S*>(s);
  }
  TSkinData* data = nullptr;
  HWND host = nullptr;
  std::unique_ptr<TVeltForm> form;
  std::vector<std::unique_ptr<TControl>> controls;
};

void Key(HWND w, WORD vk) {
  SendMessageW(w, WM_KEYDOWN, vk, 1);
  SendMessageW(w, WM_KEYUP, vk, LPARAM(0xC0000001));
}

void Click(HWND w, POINT p) {
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

COMBOBOXINFO InfoOf(HWND combo) {
  COMBOBOXINFO i{};
  i.cbSize = sizeof(i);
  GetComboBoxInfo(combo, &i);
  return i;
}

// Typing, dropping and choosing by keyboard and by mouse; what the parent heard.
std::vector<std::pair<int, int>> Exercise(ComboEditSkins& t, TComboBoxStyle style, bool skinned) {
  auto* c = t.Make<TComboBox>(10, 10, 160, style == csSimple ? 120 : 24, 5);
  c->SetStyle(style);
  for (int i = 0; i < 30; ++i) c->Items()->Add(L"\u6625 item " + std::to_wstring(i));
  if (skinned) {
    EXPECT_NE(t.Attach<TSkinComBox>(c, kcComboBox), nullptr);
  }
  HWND h = c->Handle();
  const COMBOBOXINFO info = InfoOf(h);
  HWND typing = info.hwndItem ? info.hwndItem : h;
  SetFocus(typing);
  Pump();
  g_heard.clear();
  for (wchar_t ch : std::wstring(L"\u6625 item 1")) SendMessageW(typing, WM_CHAR, ch, 1);
  Key(typing, VK_DOWN);
  Key(typing, VK_F4);  // drops (or closes) the list
  Key(typing, VK_DOWN);
  Key(typing, VK_RETURN);
  Pump();
  // By mouse: the button, then an item of the list.
  const RECT b = info.rcButton;
  Click(h, POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
  Pump();
  RECT item{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 2, LPARAM(&item));
  Click(info.hwndList, POINT{item.left + 5, (item.top + item.bottom) / 2});
  Pump();
  SendMessageW(h, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  c->SetVisible(false);
  return g_heard;
}

TEST_F(ComboEditSkins, TheParentHearsTheSameFromCombosOfEveryStyle) {
  for (TComboBoxStyle s : {csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable}) {
    const auto plain = Exercise(*this, s, false);
    const auto skinned = Exercise(*this, s, true);
    EXPECT_GT(plain.size(), 3u) << int(s);
    EXPECT_EQ(plain, skinned) << "style " << int(s);
  }
}

TEST_F(ComboEditSkins, ListSkinsOfDropDownAndSimpleCombos) {
  auto* drop = Make<TComboBox>(10, 10, 160, 24, 1);
  auto* simple = Make<TComboBox>(200, 10, 160, 120, 2);
  simple->SetStyle(csSimple);
  for (auto* c : {drop, simple})
    for (int i = 0; i < 30; ++i) c->Items()->Add(L"\u6625\u5929 " + std::to_wstring(i));
  auto* d = Attach<TSkinComBox>(drop, kcComboBox);
  auto* s = Attach<TSkinComBox>(simple, kcComboBox);
  ASSERT_TRUE(d && s);
  EXPECT_NE(d->FDropList, nullptr);
  EXPECT_EQ(d->FSimpleList, nullptr);
  ASSERT_NE(s->FSimpleList, nullptr);
  EXPECT_NE(s->FSimpleList->FVert, nullptr);
  // The simple list is a Unicode window and stays one: its Chinese items come back whole.
  HWND list = s->FListWindow;
  ASSERT_TRUE(IsWindowUnicode(list));
  wchar_t text[32] = {};
  SendMessageW(list, LB_GETTEXT, 0, LPARAM(text));
  EXPECT_EQ(std::wstring(text), L"\u6625\u5929 0");
  EXPECT_EQ(SendMessageW(list, CN_IsSkinned, 0, 0), 1);
  // The edit child is hooked with the wide calls too: the combo's text stays whole.
  SetWindowTextW(drop->Handle(), L"\u79cb");
  wchar_t got[8] = {};
  GetWindowTextW(InfoOf(drop->Handle()).hwndItem, got, 8);
  EXPECT_EQ(std::wstring(got), L"\u79cb");
}

TEST_F(ComboEditSkins, EachListSkinIsFreedOnceWhoeverGoesFirst) {
  for (int order = 0; order < 2; ++order) {
    auto combo = std::make_unique<TComboBox>(nullptr);
    combo->SetParentWindow(host);
    combo->SetStyle(order ? csSimple : csDropDown);
    combo->SetBounds(10, 10, 160, 120);
    for (int i = 0; i < 30; ++i) combo->Items()->Add(L"x");
    const size_t before = form->ControlSkins().size();
    TSkinControl* s = MakeSkin(kcComboBox, combo.get());
    s->Init(form.get(), data, nullptr, false);
    EXPECT_EQ(form->ControlSkins().size(), before + 2) << order;  // the combo's and its list's
    if (order == 0) {
      // The form frees the skins first (unskinning), then the control goes with what it owns.
      form->DeleteControls();
      combo.reset();
    } else {
      // The control goes first: its window and its skins with it; the form forgets them.
      combo.reset();
      form->DeleteSkinDeleted();
    }
    EXPECT_EQ(form->ControlSkins().size(), order == 0 ? 0u : before) << order;
  }
}

struct TDropDrag {
  HWND Combo, List;
  SCROLLBARINFO Bar;
  POINT Thumb;  // screen
};

TDropDrag DroppedList(ComboEditSkins& t, TComboBox*& c) {
  c = t.Make<TComboBox>(10, 10, 160, 24, 3);
  c->SetDropDownCount(8);
  for (int i = 0; i < 60; ++i) c->Items()->Add(L"item " + std::to_wstring(i));
  EXPECT_NE(t.Attach<TSkinComBox>(c, kcComboBox), nullptr);
  TDropDrag d{};
  d.Combo = c->Handle();
  // The height a combo's window is given is its dropped list's (the library sets it when the
  // parent reflects CBN_DROPDOWN, which this plain parent does not).
  SetWindowPos(d.Combo, nullptr, 0, 0, 160, 24 + 8 * 16 + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  d.List = InfoOf(d.Combo).hwndList;
  SendMessageW(d.Combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  d.Bar.cbSize = sizeof(d.Bar);
  GetScrollBarInfo(d.List, OBJID_VSCROLL, &d.Bar);
  d.Thumb = {d.Bar.rcScrollBar.left + 5, d.Bar.rcScrollBar.top + (d.Bar.xyThumbTop + d.Bar.xyThumbBottom) / 2};
  return d;
}

// A press on the thumb where it is now.
void PressThumb(const TDropDrag& d) {
  SCROLLBARINFO b{};
  b.cbSize = sizeof(b);
  GetScrollBarInfo(d.List, OBJID_VSCROLL, &b);
  const POINT p{b.rcScrollBar.left + 5, b.rcScrollBar.top + (b.xyThumbTop + b.xyThumbBottom) / 2};
  SendMessageW(d.List, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
}

TEST_F(ComboEditSkins, TheDropListsThumbDrag) {
  TComboBox* c = nullptr;
  TDropDrag d = DroppedList(*this, c);
  ASSERT_TRUE(IsWindowVisible(d.List));
  ASSERT_GT(d.Bar.xyThumbBottom, d.Bar.xyThumbTop);
  // Dragged down 40 pixels and released: the list follows (it reads no track position of ours).
  POINT p{d.Thumb.x, d.Thumb.y + 40};
  ScreenToClient(d.List, &p);
  PostMessageW(d.List, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(d.List, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  PressThumb(d);
  EXPECT_GT(SendMessageW(d.List, LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(GetCapture(), d.List);  // the dropped list keeps the capture it had
  MSG m;
  EXPECT_TRUE(PeekMessageW(&m, d.List, WM_VSCROLL, WM_VSCROLL, PM_REMOVE));
  EXPECT_EQ(m.wParam, WPARAM(SB_ENDSCROLL));

  // WM_QUIT ends the drag and is passed on.
  PostQuitMessage(7);
  PressThumb(d);
  EXPECT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 7u);

  // Losing the capture ends it: the release queued behind stays unread.
  HWND actor = Window(CreateWindowExW(0, L"KaroActing", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  g_action = [&] { SetCapture(actor); };
  PostMessageW(actor, WM_APP, 0, 0);
  PostMessageW(d.List, WM_LBUTTONUP, 0, 0);
  PressThumb(d);
  EXPECT_TRUE(PeekMessageW(&m, d.List, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
  ReleaseCapture();

  // A handler that destroys the combo while the thumb is dragged.
  SendMessageW(d.Combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  g_action = [&] {
    for (auto& ctl : controls)
      if (ctl.get() == c) ctl.reset();
  };
  PostMessageW(actor, WM_APP, 0, 0);
  PressThumb(d);
  EXPECT_FALSE(IsWindow(d.Combo));
  Pump();
}

// What reaches the drop list's own procedure under its skin.
std::vector<std::pair<UINT, WPARAM>> g_listHeard;
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK ListUnderSkin(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCMOUSEMOVE || m == WM_VSCROLL) g_listHeard.push_back({m, wp});
  return CallWindowProcW(g_listProc, w, m, wp, lp);
}

// The thread's processor time so far, in milliseconds.
int64_t ThreadMs() {
  FILETIME c{}, e{}, k{}, u{};
  GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
  auto ms = [](FILETIME f) { return int64_t((uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000); };
  return ms(k) + ms(u);
}

TEST_F(ComboEditSkins, TheDropListsBarOnTheScreenFollowsTheList) {
  TComboBox* c = nullptr;
  TDropDrag d = DroppedList(*this, c);
  ASSERT_TRUE(IsWindowVisible(d.List));
  auto bar = [&] { return BarOf(d.List, OBJID_VSCROLL); };
  auto agrees = [&](const char* after) {
    Pump();
    const SCROLLBARINFO b = bar();
    const TThumbSpan t = ThumbOnScreen(b.rcScrollBar, true), e = ThumbAndGrip({b.xyThumbTop, b.xyThumbBottom});
    EXPECT_EQ(t.Start, e.Start) << after;
    EXPECT_EQ(t.End, e.End) << after;
  };
  // The skin's pieces, plain: no part is lit.
  {
    const SCROLLBARINFO b = bar();
    TDib dib(Width(b.rcScrollBar), Height(b.rcScrollBar));
    HDC screen = GetDC(nullptr);
    BitBlt(dib.DC, 0, 0, dib.W, dib.H, screen, b.rcScrollBar.left, b.rcScrollBar.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dib.At(8, 5), FrameColor(kScrollPic, 9));
    EXPECT_EQ(dib.At(8, dib.H - 5), FrameColor(kScrollPic, 13));
    const COLORREF thumb = dib.At(8, b.xyThumbTop + 1);
    EXPECT_TRUE(thumb == FrameColor(kVThumbPic, 1) || thumb == FrameColor(kScrollPic, 20)) << std::hex << thumb;
    EXPECT_EQ(dib.At(8, b.xyThumbBottom + 2), FrameColor(kVScrollPic, 1));
  }
  agrees("dropping");
  RECT r{};
  GetWindowRect(d.List, &r);
  SendMessageW(d.List, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(r.left + 20, r.top + 20));
  agrees("the wheel");
  for (WORD k : {WORD(VK_NEXT), WORD(VK_DOWN)}) {
    SendMessageW(d.Combo, WM_KEYDOWN, k, 1);
    SendMessageW(d.Combo, WM_KEYUP, k, LPARAM(0xC0000001));
  }
  agrees("keys");
  POINT p{d.Thumb.x, d.Thumb.y + 25};
  ScreenToClient(d.List, &p);
  PostMessageW(d.List, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(d.List, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  PressThumb(d);
  agrees("a thumb drag");
  const LRESULT top = SendMessageW(d.List, LB_GETTOPINDEX, 0, 0);
  const SCROLLBARINFO b = bar();
  PressNative(d.List, POINT{b.rcScrollBar.left + 8, b.rcScrollBar.bottom - 5}, 0, 0, HTVSCROLL);
  EXPECT_EQ(SendMessageW(d.List, LB_GETTOPINDEX, 0, 0), top + 1) << "the arrow is the list's own";
  agrees("an arrow click");
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = 3;
  SetScrollInfo(d.List, SB_VERT, &si, TRUE);
  PumpUntil([&] {
    const SCROLLBARINFO now = bar();
    return ThumbOnScreen(now.rcScrollBar, true) == ThumbAndGrip({now.xyThumbTop, now.xyThumbBottom});
  });
  agrees("SetScrollInfo from code");
  for (int i = 0; i < 40; ++i) c->Items()->Add(L"more " + std::to_wstring(i));
  agrees("items added");
  while (c->Items()->Count() > 20) c->Items()->Delete(c->Items()->Count() - 1);
  agrees("items removed");
  SendMessageW(d.Combo, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
}

TEST_F(ComboEditSkins, TheDropListsOwnDragInDetail) {
  auto* c = Make<TComboBox>(10, 10, 160, 24, 3);
  c->SetDropDownCount(8);
  for (int i = 0; i < 60; ++i) c->Items()->Add(L"item " + std::to_wstring(i));
  HWND list = InfoOf(c->Handle()).hwndList;
  // Under the skin: what the skin passes on reaches this procedure.
  g_listProc = WNDPROC(SetWindowLongPtrW(list, GWLP_WNDPROC, LONG_PTR(&ListUnderSkin)));
  ASSERT_NE(Attach<TSkinComBox>(c, kcComboBox), nullptr);
  TDropDrag d{};
  d.Combo = c->Handle();
  d.List = list;
  SetWindowPos(d.Combo, nullptr, 0, 0, 160, 24 + 8 * 16 + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(d.Combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  ASSERT_TRUE(IsWindowVisible(d.List));
  // The list does not hot-track its native bar: the move over it stops at the skin.
  g_listHeard.clear();
  SendMessageW(d.List, WM_NCMOUSEMOVE, HTVSCROLL, 0);
  SendMessageW(d.List, WM_NCMOUSEMOVE, HTBORDER, 0);
  ASSERT_EQ(g_listHeard.size(), 1u);
  EXPECT_EQ(g_listHeard[0].second, WPARAM(HTBORDER));

  // Pressed on the thumb and released without moving: the position it had, then the end.
  SendMessageW(d.List, LB_SETTOPINDEX, 20, 0);
  Pump();
  const int pos = PosOf(d.List);
  g_listHeard.clear();
  PostMessageW(d.List, WM_LBUTTONUP, 0, 0);
  PressThumb(d);
  Pump();
  const std::vector<std::pair<UINT, WPARAM>> once = {{WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos)},
                                                     {WM_VSCROLL, SB_ENDSCROLL}};
  EXPECT_EQ(g_listHeard, once);
  EXPECT_EQ(PosOf(d.List), pos);

  // Dragged far above the list: the signed coordinates take it to the top, not to the bottom.
  POINT above{5, -300};
  PostMessageW(d.List, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(above.x, above.y));
  PostMessageW(d.List, WM_LBUTTONUP, 0, MAKELPARAM(above.x, above.y));
  PressThumb(d);
  EXPECT_EQ(SendMessageW(d.List, LB_GETTOPINDEX, 0, 0), 0);

  // The drag waits for the mouse: a third of a second of holding still costs the thread next to
  // nothing. The clock of the thread's own time is checked first.
  const int64_t busyFrom = ThreadMs();
  const ULONGLONG until = GetTickCount64() + 300;
  volatile uint64_t spin = 0;
  while (GetTickCount64() < until) spin = spin + 1;
  ASSERT_GE(ThreadMs() - busyFrom, 100) << "the thread's processor time is not measured here";
  HWND actor = Window(CreateWindowExW(0, L"KaroActing", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  g_action = [&] {
    KillTimer(actor, 1);
    PostMessageW(d.List, WM_LBUTTONUP, 0, 0);
  };
  SetTimer(actor, 1, 300, nullptr);
  const ULONGLONG wallFrom = GetTickCount64();
  const int64_t cpuFrom = ThreadMs();
  PressThumb(d);
  const int64_t cpu = ThreadMs() - cpuFrom;
  EXPECT_GE(GetTickCount64() - wallFrom, 250u);
  EXPECT_LT(cpu, 100) << "the drag loop spins";
  g_action = nullptr;
  SendMessageW(d.Combo, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
}

TEST_F(ComboEditSkins, RawCombosAndTheDropDownListGetTheEditHookOnlyWhereThereIsAnEdit) {
  struct {
    DWORD Style;
    bool Edit, List;
  } rows[] = {{CBS_DROPDOWN, true, false}, {CBS_DROPDOWNLIST, false, false}, {CBS_SIMPLE, false, true}};
  for (const auto& r : rows) {
    HWND h = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | r.Style, 10, 200, 160, 120, host, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(h, nullptr);
    SendMessageW(h, CB_ADDSTRING, 0, LPARAM(L"\u6625"));
    auto* s = new TSkinComBox(form.get());
    s->Inithwnd(h, data, nullptr, form.get());
    const COMBOBOXINFO info = InfoOf(h);
    EXPECT_EQ(s->FEditChild != nullptr, r.Edit) << r.Style;
    if (r.Edit) {
      EXPECT_EQ(s->FEditChild, info.hwndItem);
      // A press in the edit presses the button too.
      SendMessageW(s->FEditChild, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
      EXPECT_TRUE(s->FMouseState & scDown);
      SendMessageW(s->FEditChild, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
      EXPECT_FALSE(s->FMouseState & scDown);
    }
    // A raw simple combo knows its list but gives it no skin.
    EXPECT_EQ(s->FListWindow, r.List ? info.hwndList : nullptr) << r.Style;
    EXPECT_EQ(s->FSimpleList, nullptr);
    form->DeleteControls();
    DestroyWindow(h);
  }
  auto* c = Make<TComboBox>(10, 10, 160, 24, 8);
  c->SetStyle(csDropDownList);
  auto* s = Attach<TSkinComBox>(c, kcComboBox);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->FEditChild, nullptr);
  EXPECT_NE(s->FDropList, nullptr);
}

TEST_F(ComboEditSkins, ComboFramePixelsPerState) {
  auto* c = Make<TComboBox>(10, 10, 160, 24, 4);
  c->SetStyle(csDropDownList);
  c->Items()->Add(L"a");
  auto* s = Attach<TSkinComBox>(c, kcComboBox);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(data->ComboButton->Style, 2);  // the loader built whole combo pictures
  RECT w{};
  GetWindowRect(c->Handle(), &w);
  TDib dib(Width(w), Height(w));
  // The button column of the built picture holds the button's frame colour of each state.
  const COMBOBOXINFO info = InfoOf(c->Handle());
  const int bx = info.rcButton.right - 4, by = 3;
  auto shown = [&] {
    dib.Fill(0x123456);
    s->PaintControl(dib.DC);
    for (int k = 1; k <= 4; ++k)
      if (dib.At(bx, by) == FrameColor(kComboButtonPic, k)) return k;
    return 0;
  };
  SetFocus(host);
  EXPECT_EQ(shown(), 1);
  SendMessageW(c->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(bx, 10));
  EXPECT_EQ(shown(), 4);
  SendMessageW(c->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(shown(), 1);
  s->FMouseState |= scDown;
  EXPECT_EQ(shown(), 2);
  s->FMouseState = 0;
  EnableWindow(c->Handle(), FALSE);
  EXPECT_EQ(shown(), 3);
  EnableWindow(c->Handle(), TRUE);
  // The framed mode keeps the text area out of its painting, and the caller's device context
  // comes back with its clipping untouched.
  data->ComboButton->Style = 0;
  dib.Fill(0x123456);
  s->PaintControl(dib.DC);
  EXPECT_EQ(dib.At(30, 10), 0x123456u);                            // the text area
  EXPECT_EQ(dib.At(info.rcButton.right - 3, 1), FrameColor(kComboButtonPic, 1));  // the button
  dib.Fill(0x123456);
  HRGN clip = CreateRectRgn(0, 0, 50, 10);
  SelectClipRgn(dib.DC, clip);
  s->PaintControl(dib.DC);
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(dib.DC, after), 1);
  EXPECT_TRUE(EqualRgn(clip, after));
  SelectClipRgn(dib.DC, nullptr);
  DeleteObject(clip);
  DeleteObject(after);
  // Asked for its button on the left, the combo keeps it where the system draws it (Wine leaves
  // it on the right); the skin's button follows the system's, not the style.
  HWND h = c->Handle();
  SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  const COMBOBOXINFO left = InfoOf(h);
  const bool onLeft = left.rcButton.left < Width(w) / 2;
  RecordProperty("combo_button_left_with_leftscrollbar", onLeft ? 1 : 0);
  dib.Fill(0x123456);
  s->PaintControl(dib.DC);
  const int bx2 = onLeft ? 3 : Width(w) - 3;
  EXPECT_EQ(dib.At(bx2, 1), FrameColor(kComboButtonPic, 1)) << "button on the left: " << onLeft;
  EXPECT_EQ(dib.At(onLeft ? Width(w) - 30 : 30, 10), 0x123456u);  // the text area, on the other side
  SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LEFTSCROLLBAR));
  data->ComboButton->Style = 2;
}

TEST_F(ComboEditSkins, TheFlatComboFramePixels) {
  // A skin whose combo button keeps the flat style: it has no frame picture to be rebuilt with.
  TTestSkin skin = CompleteSkin();
  const size_t sunk = skin.Ini.find("[SunkEdge]\r\n");
  ASSERT_NE(sunk, std::string::npos);
  skin.Ini.erase(sunk, skin.Ini.find('[', sunk + 1) - sunk);
  const size_t at = skin.Ini.find("[ComboButton]\r\n");
  ASSERT_NE(at, std::string::npos);
  skin.Ini.insert(at + 15, "Style=1\r\n");
  data = Data(sfMainform, nullptr, skin.File(), false);
  ASSERT_EQ(data->ComboButton->Style, 1);
  form->SkinData = data;
  auto* c = Make<TComboBox>(10, 10, 160, 24, 15);
  c->SetStyle(csDropDownList);
  auto* s = Attach<TSkinComBox>(c, kcComboBox);
  ASSERT_NE(s, nullptr);
  RECT w{};
  GetWindowRect(c->Handle(), &w);
  TDib dib(Width(w), Height(w));
  HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
  HGDIOBJ old = SelectObject(dib.DC, red);
  auto paint = [&] {
    dib.Fill(0x123456);
    s->PaintControl(dib.DC);
  };
  SetFocus(host);
  paint();
  // The shadow line outside, a line in the caller's brush inside it, and the button at the end.
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(data->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(1, 1), COLORREF(RGB(200, 0, 0)));
  EXPECT_EQ(dib.At(40, 1), COLORREF(RGB(200, 0, 0)));
  EXPECT_EQ(dib.At(40, dib.H / 2), 0x123456u);  // the text area is the combo's
  const int bx = dib.W - 2 - 8, by = dib.H / 2;
  EXPECT_EQ(dib.At(bx, by), FrameColor(kComboButtonPic, 1));
  SendMessageW(c->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(bx, by));
  paint();
  EXPECT_EQ(dib.At(bx, by), FrameColor(kComboButtonPic, 4));
  SendMessageW(c->Handle(), WM_MOUSELEAVE, 0, 0);
  EnableWindow(c->Handle(), FALSE);
  paint();
  EXPECT_EQ(dib.At(bx, by), FrameColor(kComboButtonPic, 3));
  EnableWindow(c->Handle(), TRUE);
  SelectObject(dib.DC, old);
  DeleteObject(red);
}

// ---- Edits and pickers

int g_upDownSkins = 0;
class TCountedSkin : public TSkinControl {
public:
  explicit TCountedSkin(TComponent* o) : TSkinControl(o) { ++g_upDownSkins; }
  ~TCountedSkin() override { --g_upDownSkins; }
};

TEST_F(ComboEditSkins, EditBordersTheClientPaintMessageAndAnUpDownInside) {
  auto* e = Make<TEdit>(10, 10, 160, 24, 6);
  e->SetText(L"\u6625");
  HWND h = e->Handle();
  ASSERT_TRUE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  RegisterWindowClass(L"Some_SPIN_Class", DefWindowProcW, {.Background = kNoBackground});
  HWND spin = CreateWindowExW(0, L"Some_SPIN_Class", L"", WS_CHILD | WS_VISIBLE, 120, 0, 16, 16, h, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(spin, nullptr);
  auto saved = TSkinEdit::UpDownMaker;
  TSkinEdit::UpDownMaker = [](TComponent* o) { return new TCountedSkin(o); };
  auto* s = Attach<TSkinEdit>(e, kcEdit);
  ASSERT_NE(s, nullptr);
  RECT w{};
  GetWindowRect(h, &w);
  TDib dib(Width(w), Height(w));
  s->PaintControl(dib.DC);
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(data->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(dib.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(s->FUpDownWindow, spin);
  EXPECT_EQ(g_upDownSkins, 1);
  // WM_PRINT: one line in the device context's brush inside the shadow line.
  dib.Fill(0x123456);
  HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
  HGDIOBJ old = SelectObject(dib.DC, red);
  SendMessageW(h, WM_PRINT, WPARAM(dib.DC), PRF_NONCLIENT);
  SelectObject(dib.DC, old);
  DeleteObject(red);
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(data->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(1, 1), COLORREF(RGB(200, 0, 0)));
  // The client-paint message: with the mark and a DC the edit paints into it; without a DC nothing.
  EXPECT_EQ(SendMessageW(h, CN_SkinPaintClient, 0, kSkinLibraryMark), kSkinLibraryMark);
  EXPECT_EQ(SendMessageW(h, CN_SkinPaintClient, WPARAM(0x4321), kSkinLibraryMark), kSkinLibraryMark);
  dib.Fill(0x123456);
  EXPECT_EQ(SendMessageW(h, CN_SkinPaintClient, WPARAM(dib.DC), kSkinLibraryMark), kSkinLibraryMark);
  EXPECT_NE(dib.At(10, 5), 0x123456u);
  // The up-down's skin goes with the edit, once.
  for (auto& c : controls)
    if (c.get() == e) c.reset();
  EXPECT_EQ(g_upDownSkins, 0);
  TSkinEdit::UpDownMaker = saved;
}

TEST_F(ComboEditSkins, TheUpDownOrSpinChildIsFoundByItsClassName) {
  struct {
    const wchar_t* Class;
    bool Found;
  } rows[] = {{L"msctls_updown32", true}, {L"KaroSpinner", true}, {L"XUPDOWNx", true}, {L"KaroUpDownish", true},
              {L"msctls_updown", true}, {L"KaroSpun", false}, {L"Up_Down", false}, {L"Spi_n", false}};
  for (const auto& r : rows) {
    // The system's own up-down class stays the system's.
    WNDCLASSW system{};
    if (!GetClassInfoW(nullptr, r.Class, &system))
      RegisterWindowClass(r.Class, DefWindowProcW, {.Background = kNoBackground});
    auto* e = Make<TEdit>(10, 40, 160, 24, 11);
    HWND child = CreateWindowExW(0, r.Class, L"", WS_CHILD | WS_VISIBLE, 120, 0, 16, 16, e->Handle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    auto* s = Attach<TSkinEdit>(e, kcEdit);
    ASSERT_NE(s, nullptr);
    TDib dib(160, 24);
    s->PaintControl(dib.DC);
    EXPECT_EQ(s->FUpDownWindow == child, r.Found) << std::string(r.Class, r.Class + wcslen(r.Class));
    EXPECT_EQ(s->FUpDown != nullptr, r.Found);
    e->SetVisible(false);
  }
}

TEST_F(ComboEditSkins, AnUpDownInsideAnEditKeepsWithinTheEditsFrame) {
  auto* e = Make<TEdit>(10, 10, 160, 24, 12);
  RECT c{};
  GetClientRect(e->Handle(), &c);
  // The up-down at the right of the edit's client area, as tall as it.
  HWND ud = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, c.right - 16, 0, 16, c.bottom, e->Handle(),
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(ud, nullptr);
  SetWindowPos(ud, nullptr, c.right - 16, 0, 16, c.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  auto* s = Attach<TSkinEdit>(e, kcEdit);
  ASSERT_NE(s, nullptr);
  TDib edit(160, 24);
  s->PaintControl(edit.DC);
  ASSERT_EQ(s->FUpDownWindow, ud);
  ASSERT_NE(s->FUpDown, nullptr);
  // The edit's frame lies 2 pixels round the up-down: it keeps one pixel more off each edge,
  // over white.
  RECT me{}, pe{};
  GetWindowRect(ud, &me);
  GetWindowRect(e->Handle(), &pe);
  ASSERT_EQ(me.top - pe.top, 2);
  TDib dib(16, c.bottom);
  s->FUpDown->PaintControl(dib.DC);
  constexpr int kUpDownVPic = 39;
  EXPECT_EQ(dib.At(5, 0), 0xFFFFFFu);
  EXPECT_EQ(dib.At(0, 1), FrameColor(kUpDownVPic, 1));
  EXPECT_EQ(dib.At(15, 3), 0xFFFFFFu);
  EXPECT_EQ(dib.At(5, c.bottom - 1), 0xFFFFFFu);
  EXPECT_EQ(dib.At(0, c.bottom - 2), FrameColor(kUpDownVPic, 5));
}

TEST_F(ComboEditSkins, AnEditWithoutABorderIsLeftAsItDrawsItself) {
  auto* e = Make<TEdit>(10, 10, 160, 24, 13);
  e->SetBorderStyle(bsNone);
  ASSERT_FALSE(GetWindowLongPtrW(e->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  auto* s = Attach<TSkinEdit>(e, kcEdit);
  ASSERT_NE(s, nullptr);
  TDib dib(160, 24);
  s->PaintControl(dib.DC);
  SendMessageW(e->Handle(), WM_PRINT, WPARAM(dib.DC), PRF_NONCLIENT);
  for (int x = 0; x < 160; x += 7) {
    EXPECT_EQ(dib.At(x, 0), 0x123456u) << x;
    EXPECT_EQ(dib.At(x, 1), 0x123456u) << x;
  }
}

TEST_F(ComboEditSkins, ThePickersBorderAndArrowPixels) {
  auto* p = Make<TDateTimePicker>(10, 10, 160, 24, 14);
  auto* s = Attach<TSkinDateTime>(p, kcDateTime);
  ASSERT_TRUE(s && s->FArrow);
  RECT w{};
  GetWindowRect(p->Handle(), &w);
  TDib dib(Width(w), Height(w));
  s->PaintControl(dib.DC);
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(data->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(dib.At(2, 10), 0x123456u);
  // The arrow: the normal cell of the skin's arrow strip, the fourth while the mouse is over it.
  TBitmap* map = data->ComboxArrow->Map.get();
  const int cell = map->Width() / data->ComboxArrow->Frame;
  auto cellColour = [&](int k) { return GetPixel(map->Canvas()->Handle(), (k - 1) * cell + cell / 2, 1); };
  ASSERT_NE(cellColour(1), cellColour(4)) << "the cells look alike: the test would prove nothing";
  TDib arrow(s->FArrow->Width(), s->FArrow->Height());
  SendMessageW(s->FArrow->Handle(), WM_PRINTCLIENT, WPARAM(arrow.DC), PRF_CLIENT);
  EXPECT_EQ(arrow.At(arrow.W / 2, 1), cellColour(1));
  SendMessageW(s->FArrow->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(s->FArrow->Handle(), WM_PRINTCLIENT, WPARAM(arrow.DC), PRF_CLIENT);
  EXPECT_EQ(arrow.At(arrow.W / 2, 1), cellColour(4));
  SendMessageW(s->FArrow->Handle(), WM_MOUSELEAVE, 0, 0);
}

TEST_F(ComboEditSkins, ThePickersArrowOpensTheCalendarAndKeepsItOpen) {
  auto* p = Make<TDateTimePicker>(10, 10, 160, 24, 7);
  auto* s = Attach<TSkinDateTime>(p, kcDateTime);
  ASSERT_TRUE(s && s->FArrow);
  HWND arrow = s->FArrow->Handle();
  EXPECT_EQ(GetParent(arrow), p->Handle());
  RECT r{}, pr{};
  GetWindowRect(arrow, &r);
  GetWindowRect(p->Handle(), &pr);
  EXPECT_EQ(r.right - pr.left, Width(pr) - 2);  // over the picker's own button, inside the border
  // Down to the bottom of the picker's client area: nothing of the picker's own button shows.
  RECT pc{};
  GetClientRect(p->Handle(), &pc);
  POINT bottom{0, pc.bottom};
  ClientToScreen(p->Handle(), &bottom);
  EXPECT_EQ(r.bottom, bottom.y);
  EXPECT_GE(Height(r), GetSystemMetrics(SM_CXHSCROLL) + 1);
  // Hovering lights the arrow; not on a disabled picker.
  SendMessageW(arrow, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(s->FArrow->Hot());
  SendMessageW(arrow, WM_MOUSELEAVE, 0, 0);
  EnableWindow(p->Handle(), FALSE);
  SendMessageW(arrow, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(s->FArrow->Hot());
  EnableWindow(p->Handle(), TRUE);
  // A click on the arrow opens the calendar, and it stays open.
  SetFocus(p->Handle());
  Pump();
  EXPECT_EQ(SendMessageW(arrow, WM_MOUSEACTIVATE, WPARAM(host), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
  Click(arrow, POINT{3, 3});
  Pump();
  HWND cal = HWND(SendMessageW(p->Handle(), DTM_GETMONTHCAL, 0, 0));
  ASSERT_NE(cal, nullptr);
  EXPECT_TRUE(IsWindowVisible(cal));
  EXPECT_NE(GetFocus(), arrow);
  SendMessageW(p->Handle(), DTM_CLOSEMONTHCAL, 0, 0);
  Pump();
}

}  // namespace
namespace {

// What the screen shows of a drop-down combo: its text stays, and the button is the skin's.
TEST_F(ComboEditSkins, OnScreenTheComboKeepsItsTextUnderTheSkinsButton) {
  auto* c = Make<TComboBox>(10, 10, 160, 24, 9);
  c->Items()->Add(L"a");
  c->SetText(L"combo");
  auto row = [&] {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT r{};
    GetWindowRect(c->Handle(), &r);
    HDC s = GetDC(nullptr);
    std::vector<COLORREF> px;
    for (int x = 2; x < 110; ++x) px.push_back(GetPixel(s, r.left + x, r.top + 10));
    px.push_back(GetPixel(s, r.right - 8, r.top + 10));
    ReleaseDC(nullptr, s);
    return px;
  };
  const auto plain = row();
  ASSERT_NE(std::count(plain.begin(), plain.end() - 1, COLORREF(0)), 0) << "no text on the screen to compare";
  ASSERT_NE(Attach<TSkinComBox>(c, kcComboBox), nullptr);
  const auto skinned = row();
  EXPECT_TRUE(std::equal(plain.begin() + 4, plain.end() - 1, skinned.begin() + 4));
  // The button's frame or its glyph (the glyph picture follows the button's in the test skin).
  EXPECT_TRUE(skinned.back() == FrameColor(kComboButtonPic, 1) || skinned.back() == FrameColor(kComboButtonPic + 2, 1))
      << std::hex << skinned.back();
  // Hovering and pressing the button repaint it without losing the text.
  SendMessageW(c->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 10));
  SendMessageW(c->Handle(), WM_NCPAINT, 1, 0);
  const auto hot = row();
  EXPECT_TRUE(std::equal(plain.begin() + 4, plain.end() - 1, hot.begin() + 4));
}

}  // namespace

namespace {

// Two combos as on Karo's rhyme page: an item chosen in the first with the mouse, then one in the
// second. What the screen shows of each, copied into a picture without asking for any repaint:
// only the combo with the focus wears the focused state.
TEST_F(ComboEditSkins, OnlyTheComboWithTheFocusIsDrawnFocused) {
  auto screen = [](HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    auto d = std::make_unique<TDib>(Width(r), Height(r));
    HDC s = GetDC(nullptr);
    BitBlt(d->DC, 0, 0, d->W, d->H, s, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, s);
    return d;
  };
  auto choose = [&](TComboBox* c, int item) {
    const COMBOBOXINFO info = InfoOf(c->Handle());
    const RECT b = info.rcButton;
    Click(c->Handle(), POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    Pump();
    RECT ir{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, WPARAM(item), LPARAM(&ir));
    const POINT p{ir.left + 5, (ir.top + ir.bottom) / 2};
    SendMessageW(info.hwndList, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    Click(info.hwndList, p);
    Pump();
  };
  for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(int(style));
    auto* a = Make<TComboBox>(10, 10, 120, 24, 21);
    auto* b = Make<TComboBox>(150, 10, 120, 24, 22);
    for (TComboBox* c : {a, b}) {
      c->SetStyle(style);
      for (const wchar_t* t : {L"[a]\u5f00\u5934", L"[e]\u5f00\u5934", L"[i]\u5f00\u5934"}) c->Items()->Add(t);
      ASSERT_NE(Attach<TSkinComBox>(c, kcComboBox), nullptr);
    }
    // The button column of the built picture holds the button's frame colour of each state.
    const COMBOBOXINFO info = InfoOf(a->Handle());
    const POINT at{info.rcButton.right - 4, 3};
    auto frame = [&](TComboBox* c) {
      auto d = screen(c->Handle());
      for (int k = 1; k <= 4; ++k)
        if (d->At(at.x, at.y) == FrameColor(kComboButtonPic, k)) return k;
      return 0;
    };
    choose(a, 1);
    ASSERT_TRUE(IsChild(a->Handle(), GetFocus()) || GetFocus() == a->Handle());
    EXPECT_EQ(frame(a), 4) << "the focused combo";
    EXPECT_EQ(frame(b), 1);
    choose(b, 2);
    ASSERT_TRUE(IsChild(b->Handle(), GetFocus()) || GetFocus() == b->Handle());
    EXPECT_EQ(frame(a), 1) << "the combo that lost the focus";
    EXPECT_EQ(frame(b), 4);
    // The focus leaving both, by the keyboard's way.
    SetFocus(host);
    Pump();
    EXPECT_EQ(frame(b), 1);
    a->SetVisible(false);
    b->SetVisible(false);
  }
}

}  // namespace
