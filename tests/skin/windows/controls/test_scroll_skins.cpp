// Scrolling controls under the skin's overlay scroll bars: for each kind of control and each way
// of scrolling it, the overlay lies on the control's own bar and shows its thumb after every step;
// a drag on the overlay moves the control as a drag on its own bar does; pixels of the overlay per
// state; the corner square, the border message, a skin without a scroll-bar picture, re-created
// controls, stand-alone scroll bars and the list view's lazily made header.

#include <functional>
#include <memory>
#include <string>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/scroll_skin.h"
#include "skin/windows/paint/scroll_geometry.h"
#include "tests/skin/windows/controls/control_test_env.h"

using namespace skintest;

namespace {

// The pictures' numbers in the complete test skin.
constexpr int kScrollPic = 26, kVScrollPic = 28, kVThumbPic = 30;

// ---- Controls under the skin

class ScrollSkins : public ManagerTest {
public:
  void SetUp() override {
    ManagerTest::SetUp();
    BindUser32Functions();
  }
  void TearDown() override {
    if (form) form->DeleteControls();
    controls.clear();
    parent.reset();
    form.reset();
    ManagerTest::TearDown();
  }
  // A host window with a panel on it and a skinned window object for the walk.
  void Host(TSkinData* d) {
    host = Window(MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 560, 420));
    SetForegroundWindow(host);
    parent = std::make_unique<TPanel>(nullptr);
    parent->SetParentWindow(host);
    parent->SetBounds(0, 0, 540, 380);
    form = std::make_unique<TVeltForm>(nullptr);
    form->hwnd = host;
    form->SkinData = d;
  }
  template <class T> T* Make(int x, int y, int w, int h) {
    auto c = std::make_unique<T>(nullptr);
    T* raw = c.get();
    raw->SetParent(parent.get());
    raw->SetBounds(x, y, w, h);
    controls.push_back(std::move(c));
    return raw;
  }
  TSkinControl* SkinOf(TWinControl* c) {
    AddComp(form.get(), c, parent.get());
    Pump();
    return Lookupcontrol(form.get(), c->Handle());
  }
  HWND host = nullptr;
  std::unique_ptr<TPanel> parent;
  std::unique_ptr<TVeltForm> form;
  std::vector<std::unique_ptr<TControl>> controls;
};

SCROLLBARINFO BarOf(HWND w, LONG id) {
  SCROLLBARINFO i{};
  i.cbSize = sizeof(i);
  GetScrollBarInfo(w, id, &i);
  return i;
}

// The overlay lies on the control's bar and its last paint drew the control's own thumb.
::testing::AssertionResult Agrees(TWScrollbar* o, HWND w, LONG id) {
  if (!o) return ::testing::AssertionFailure() << "no overlay";
  const SCROLLBARINFO b = BarOf(w, id);
  const bool barShown = IsWindowVisible(w) && !(b.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  const bool overlayShown = o->HandleAllocated() && IsWindowVisible(o->Handle());
  if (barShown != overlayShown)
    return ::testing::AssertionFailure() << "bar shown " << barShown << ", overlay shown " << overlayShown;
  if (!barShown) return ::testing::AssertionSuccess();
  RECT r{};
  GetWindowRect(o->Handle(), &r);
  if (!EqualRect(&r, &b.rcScrollBar))
    return ::testing::AssertionFailure() << "overlay at " << r.left << "," << r.top << "-" << r.right << ","
                                         << r.bottom << ", bar at " << b.rcScrollBar.left << "," << b.rcScrollBar.top
                                         << "-" << b.rcScrollBar.right << "," << b.rcScrollBar.bottom;
  if (b.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) return ::testing::AssertionSuccess();
  const TThumbSpan t = o->DrawnThumb();
  if (!o->DrawnAny() || t.Start != b.xyThumbTop || t.End != b.xyThumbBottom)
    return ::testing::AssertionFailure() << "drawn thumb " << t.Start << "-" << t.End << " (painted "
                                         << o->DrawnAny() << "), the control's " << b.xyThumbTop << "-"
                                         << b.xyThumbBottom;
  return ::testing::AssertionSuccess();
}

// A press on the overlay at (x, y), with the moves and the release that follow already queued for
// the system's tracking (in the target's client coordinates).
void PressOverlay(TWScrollbar* o, int x, int y, int dy = 0) {
  HWND t = o->Target();
  POINT p{x, y + dy};
  ClientToScreen(o->Handle(), &p);
  ScreenToClient(t, &p);
  if (dy) PostMessageW(t, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(o->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

// The same on the control's own bar: the press goes to the window as the system sends it.
void PressNative(HWND t, POINT screen, int dy) {
  POINT p{screen.x, screen.y + dy};
  ScreenToClient(t, &p);
  if (dy) PostMessageW(t, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(t, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(screen.x, screen.y));
}

int PosOf(HWND w) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  GetScrollInfo(w, SB_VERT, &si);
  return si.nPos;
}

struct TKindCase {
  const char* Name;
  std::function<TWinControl*(ScrollSkins&)> Make;
  std::function<void(TWinControl*, bool more)> Content;  // adds (more) or removes text or items
};

WideString ManyLines(int n) {
  WideString s;
  for (int i = 0; i < n; ++i) s += L"line " + std::to_wstring(i) + L" \u6625\u5929 of the memo\r\n";
  return s;
}

const std::vector<TKindCase>& KindCases() {
  static const std::vector<TKindCase> cases = {
      {"TMemo",
       [](ScrollSkins& t) {
         auto* m = t.Make<TMemo>(10, 10, 220, 160);
         m->SetScrollBars(ssBoth);
         m->SetWordWrap(false);
         m->SetText(ManyLines(60));
         return m;
       },
       [](TWinControl* c, bool more) { static_cast<TMemo*>(c)->SetText(ManyLines(more ? 120 : 15)); }},
      {"TListBox",
       [](ScrollSkins& t) {
         auto* l = t.Make<TListBox>(10, 10, 220, 160);
         for (int i = 0; i < 60; ++i) l->Items()->Add(L"item " + std::to_wstring(i));
         return l;
       },
       [](TWinControl* c, bool more) {
         auto* l = static_cast<TListBox*>(c);
         if (more)
           for (int i = 0; i < 60; ++i) l->Items()->Add(L"more " + std::to_wstring(i));
         else
           while (l->Items()->Count() > 12) l->Items()->Delete(l->Items()->Count() - 1);
       }},
      {"TTreeView",
       [](ScrollSkins& t) {
         auto* v = t.Make<TTreeView>(10, 10, 220, 160);
         for (int i = 0; i < 60; ++i) v->Items()->Add(nullptr, L"node " + std::to_wstring(i));
         return v;
       },
       [](TWinControl* c, bool more) {
         auto* v = static_cast<TTreeView*>(c);
         if (more)
           for (int i = 0; i < 60; ++i) v->Items()->Add(nullptr, L"more " + std::to_wstring(i));
         else
           v->Items()->Clear();
       }},
      {"TRichEdit",
       [](ScrollSkins& t) {
         auto* r = t.Make<TRichEdit>(10, 10, 220, 160);
         r->SetScrollBars(ssVertical);
         r->SetText(ManyLines(60));
         return r;
       },
       [](TWinControl* c, bool more) { static_cast<TRichEdit*>(c)->SetText(ManyLines(more ? 120 : 3)); }},
      {"TListView",
       [](ScrollSkins& t) {
         auto* v = t.Make<TListView>(10, 10, 220, 160);
         v->SetViewStyle(vsReport);
         v->Columns()->Add()->SetCaption(L"Word");
         for (int i = 0; i < 60; ++i) v->Items()->Add()->SetCaption(L"row " + std::to_wstring(i));
         return v;
       },
       [](TWinControl* c, bool more) {
         auto* v = static_cast<TListView*>(c);
         if (more)
           for (int i = 0; i < 60; ++i) v->Items()->Add()->SetCaption(L"more " + std::to_wstring(i));
         else
           v->Items()->Clear();
       }},
  };
  return cases;
}

struct TWayCase {
  const char* Name;
  std::function<void(TWinControl*, TSkinScrollbar*)> Do;
  bool WaitForIt = false;  // a change from outside every message of the control
};

const std::vector<TWayCase>& WayCases() {
  static const std::vector<TWayCase> ways = {
      {"wheel down",
       [](TWinControl* c, TSkinScrollbar*) {
         RECT r{};
         GetWindowRect(c->Handle(), &r);
         SendMessageW(c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(r.left + 20, r.top + 20));
       }},
      {"keys", [](TWinControl* c, TSkinScrollbar*) {
         SetFocus(c->Handle());
         for (WORD k : {WORD(VK_NEXT), WORD(VK_NEXT), WORD(VK_DOWN)}) {
           SendMessageW(c->Handle(), WM_KEYDOWN, k, 1);
           SendMessageW(c->Handle(), WM_KEYUP, k, LPARAM(0xC0000001));
         }
       }},
      {"thumb drag on the overlay",
       [](TWinControl* c, TSkinScrollbar* s) {
         (void)c;
         const SCROLLBARINFO b = BarOf(s->FVert->Target(), OBJID_VSCROLL);
         PressOverlay(s->FVert, 8, (b.xyThumbTop + b.xyThumbBottom) / 2, 30);
       }},
      {"track click on the overlay",
       [](TWinControl*, TSkinScrollbar* s) {
         const SCROLLBARINFO b = BarOf(s->FVert->Target(), OBJID_VSCROLL);
         PressOverlay(s->FVert, 8, b.xyThumbBottom + 3);
       }},
      {"arrow click on the overlay",
       [](TWinControl*, TSkinScrollbar* s) {
         const SCROLLBARINFO b = BarOf(s->FVert->Target(), OBJID_VSCROLL);
         PressOverlay(s->FVert, 8, (b.rcScrollBar.bottom - b.rcScrollBar.top) - 5);
       }},
      {"SetScrollInfo from code",
       [](TWinControl* c, TSkinScrollbar*) {
         SCROLLINFO si{};
         si.cbSize = sizeof(si);
         si.fMask = SIF_POS;
         si.nPos = 3;
         SetScrollInfo(c->Handle(), SB_VERT, &si, TRUE);
       },
       true},
      {"content added", [](TWinControl*, TSkinScrollbar*) {}},
      {"content removed", [](TWinControl*, TSkinScrollbar*) {}},
      {"resized",
       [](TWinControl* c, TSkinScrollbar*) { c->SetBounds(c->Left() + 7, c->Top() + 5, 260, 120); }},
      {"hidden", [](TWinControl* c, TSkinScrollbar*) { c->SetVisible(false); }},
      {"shown again", [](TWinControl* c, TSkinScrollbar*) { c->SetVisible(true); }},
  };
  return ways;
}

TEST_F(ScrollSkins, TheOverlayAgreesWithTheControlAfterEveryWayOfScrolling) {
  TSkinData* d = Data();
  Host(d);
  for (const TKindCase& k : KindCases()) {
    TWinControl* c = k.Make(*this);
    auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(c));
    ASSERT_NE(s, nullptr) << k.Name;
    ASSERT_NE(s->FVert, nullptr) << k.Name;
    EXPECT_TRUE(Agrees(s->FVert, c->Handle(), OBJID_VSCROLL)) << k.Name << " at the start";
    for (const TWayCase& w : WayCases()) {
      const std::string way = w.Name;
      if (way == "content added") k.Content(c, true);
      if (way == "content removed") k.Content(c, false);
      w.Do(c, s);
      Pump();
      if (w.WaitForIt) PumpUntil([&] { return bool(Agrees(s->FVert, c->Handle(), OBJID_VSCROLL)); });
      EXPECT_TRUE(Agrees(s->FVert, c->Handle(), OBJID_VSCROLL)) << k.Name << " after " << w.Name;
      EXPECT_TRUE(Agrees(s->FHorz, c->Handle(), OBJID_HSCROLL)) << k.Name << " (horizontal) after " << w.Name;
      if (way == "content removed") k.Content(c, true);
    }
    c->SetVisible(false);
  }
}

TEST_F(ScrollSkins, ADragOnTheOverlayMovesTheControlAsADragOnItsOwnBar) {
  TSkinData* d = Data();
  Host(d);
  for (int dy : {12, 40, -25, 90}) {
    auto* a = Make<TListBox>(10, 10, 200, 160);
    auto* b = Make<TListBox>(250, 10, 200, 160);
    for (auto* l : {a, b})
      for (int i = 0; i < 80; ++i) l->Items()->Add(L"item " + std::to_wstring(i));
    SendMessageW(a->Handle(), LB_SETTOPINDEX, 20, 0);
    SendMessageW(b->Handle(), LB_SETTOPINDEX, 20, 0);
    auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(a));
    ASSERT_TRUE(s && s->FVert);
    const SCROLLBARINFO bar = BarOf(b->Handle(), OBJID_VSCROLL);
    const int mid = (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    PressNative(b->Handle(), POINT{bar.rcScrollBar.left + 8, bar.rcScrollBar.top + mid}, dy);
    PressOverlay(s->FVert, 8, mid, dy);
    Pump();
    EXPECT_NE(PosOf(b->Handle()), 20) << dy << ": the native drag did nothing, so the comparison proves nothing";
    EXPECT_EQ(PosOf(a->Handle()), PosOf(b->Handle())) << "drag by " << dy;
    EXPECT_FALSE(s->FVert->Pressed);
    EXPECT_TRUE(Agrees(s->FVert, a->Handle(), OBJID_VSCROLL));
    a->SetVisible(false);
    b->SetVisible(false);
  }
}

TEST_F(ScrollSkins, OverlayPixelsPerState) {
  TSkinData* d = Data();
  Host(d);
  auto* l = Make<TListBox>(10, 10, 200, 200);
  for (int i = 0; i < 40; ++i) l->Items()->Add(L"item " + std::to_wstring(i));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(l));
  ASSERT_TRUE(s && s->FVert);
  TWScrollbar* o = s->FVert;
  RECT cr{};
  GetClientRect(o->Handle(), &cr);
  TDib dib(cr.right, cr.bottom);
  auto print = [&] {
    dib.Fill(0x123456);
    SendMessageW(o->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  };
  const SCROLLBARINFO b = BarOf(l->Handle(), OBJID_VSCROLL);
  const int bottomArrow = cr.bottom - 5, track = (b.xyThumbBottom + cr.bottom - 17) / 2;
  print();
  EXPECT_EQ(dib.At(8, 5), FrameColor(kScrollPic, 9));
  EXPECT_EQ(dib.At(8, bottomArrow), FrameColor(kScrollPic, 13));
  EXPECT_EQ(dib.At(8, track), FrameColor(kVScrollPic, 1));
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVThumbPic, 1));
  EXPECT_EQ(dib.At(8, (b.xyThumbTop + b.xyThumbBottom) / 2), FrameColor(kScrollPic, 20));  // the grip
  // Hot parts from the mouse.
  SendMessageW(o->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(8, bottomArrow));
  print();
  EXPECT_EQ(dib.At(8, bottomArrow), FrameColor(kScrollPic, 16));
  SendMessageW(o->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(8, b.xyThumbTop + 2));
  print();
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVThumbPic, 3));
  EXPECT_EQ(dib.At(8, bottomArrow), FrameColor(kScrollPic, 13));
  SendMessageW(o->Handle(), WM_MOUSELEAVE, 0, 0);
  print();
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVThumbPic, 1));
  // Pressed: drawn while the press is forwarded.
  o->HotPart = kPartFirstArrow;
  o->Pressed = true;
  print();
  EXPECT_EQ(dib.At(8, 5), FrameColor(kScrollPic, 10));
  o->Pressed = false;
  o->HotPart = kPartNone;
  // Disabled: track frame 3 and no thumb.
  l->SetEnabled(false);
  Pump();
  print();
  EXPECT_EQ(dib.At(8, track), FrameColor(kVScrollPic, 3));
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVScrollPic, 3));
  l->SetEnabled(true);
}

TEST_F(ScrollSkins, TheCornerSquareTheBorderAndTheBorderMessage) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Make<TMemo>(10, 10, 200, 150);
  m->SetScrollBars(ssBoth);
  m->SetWordWrap(false);
  m->SetText(ManyLines(40) + WideString(300, L'x'));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FVert && s->FHorz && s->FVert->Shown() && s->FHorz->Shown());
  // The square between the bars, in window coordinates as the system reports the bars, with the
  // two-pixel client edge and with a one-pixel border.
  for (int border = 2; border >= 1; --border) {
    if (border == 1) {
      HWND mh = m->Handle();
      SetWindowLongPtrW(mh, GWL_EXSTYLE, GetWindowLongPtrW(mh, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_CLIENTEDGE));
      SetWindowLongPtrW(mh, GWL_STYLE, GetWindowLongPtrW(mh, GWL_STYLE) | WS_BORDER);
      SetWindowPos(mh, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
      Pump();
    }
    RECT w{};
    GetWindowRect(m->Handle(), &w);
    const SCROLLBARINFO v = BarOf(m->Handle(), OBJID_VSCROLL), h = BarOf(m->Handle(), OBJID_HSCROLL);
    ASSERT_EQ(ClientOffset(m->Handle()).X, border);
    const int l = v.rcScrollBar.left - w.left, t = h.rcScrollBar.top - w.top;
    TDib dib(Width(w), Height(w));
    s->PaintCorner(dib.DC);
    EXPECT_EQ(dib.At(l, t), COLORREF(ColorToRGB(d->Colors[csButtonFace]))) << border;
    EXPECT_EQ(dib.At(l + 16, t + 16), COLORREF(ColorToRGB(d->Colors[csButtonFace]))) << border;
    EXPECT_EQ(dib.At(l - 1, t + 3), 0x123456u) << border;
    EXPECT_EQ(dib.At(l + 3, t - 1), 0x123456u) << border;
  }
  RECT w{};
  GetWindowRect(m->Handle(), &w);
  TDib dib(Width(w), Height(w));

  // The border message: only with the library's mark, only on a real device context.
  dib.Fill(0x123456);
  EXPECT_EQ(SendMessageW(m->Handle(), CN_SkinPaintFrame, WPARAM(dib.DC), kSkinLibraryMark), kSkinLibraryMark);
  EXPECT_EQ(dib.At(0, 0), COLORREF(ColorToRGB(d->Colors[csButtonShadow])));
  EXPECT_EQ(dib.At(1, 1), COLORREF(ColorToRGB(d->Colors[csButtonFace])));
  dib.Fill(0x123456);
  EXPECT_NE(SendMessageW(m->Handle(), CN_SkinPaintFrame, WPARAM(dib.DC), 7), kSkinLibraryMark);
  EXPECT_EQ(dib.At(0, 0), 0x123456u);
  EXPECT_EQ(SendMessageW(m->Handle(), CN_SkinPaintFrame, WPARAM(0x1234), kSkinLibraryMark), kSkinLibraryMark);
}

TEST_F(ScrollSkins, WithoutAScrollBarPictureNoOverlayIsLaid) {
  TTestSkin skin = CompleteSkin();
  for (auto& p : skin.Pictures)
    if (p.Name == "scrollbar.bmp") p.Data = "not a picture";
  TSkinData* d = Data(sfMainform, nullptr, skin.File());
  Host(d);
  auto* l = Make<TListBox>(10, 10, 200, 120);
  for (int i = 0; i < 40; ++i) l->Items()->Add(L"item");
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(l));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->FVert, nullptr);
  EXPECT_EQ(s->FHorz, nullptr);
  int siblings = 0;
  for (HWND c = GetTopWindow(parent->Handle()); c; c = GetWindow(c, GW_HWNDNEXT)) ++siblings;
  EXPECT_EQ(siblings, 1);
}

TEST_F(ScrollSkins, ARecreatedControlIsSkinnedAgainAndTheOldSkinFreedOnce) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Make<TMemo>(10, 10, 200, 150);
  m->SetScrollBars(ssVertical);
  m->SetText(ManyLines(40));
  ASSERT_NE(SkinOf(m), nullptr);
  const size_t n = form->ControlSkins().size();
  const HWND old = m->Handle();
  m->RecreateWnd();
  ReCreateControlSkin(form.get(), old);  // as the skinned window does when the posted message comes
  const HWND now = m->Handle();
  ASSERT_NE(now, old);
  auto* s = dynamic_cast<TSkinScrollbar*>(Lookupcontrol(form.get(), now));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Lookupcontrol(form.get(), old), nullptr);
  EXPECT_EQ(form->ControlSkins().size(), n);
  Pump();
  EXPECT_TRUE(Agrees(s->FVert, now, OBJID_VSCROLL));
  EXPECT_EQ(SendMessageW(now, CN_IsSkinned, 0, 0), 1);
}

TEST_F(ScrollSkins, TheSkinnedWindowSkinsARecreatedControlFromThePostedMessage) {
  TSkinData* d = Data();
  HWND h = Window(MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300));
  TVeltForm* f = Skin(h);
  ASSERT_NE(f, nullptr);
  TPanel p(nullptr);
  p.SetParentWindow(h);
  p.SetBounds(0, 0, 380, 260);
  auto* l = new TListBox(&p);
  l->SetParent(&p);
  l->SetBounds(5, 5, 150, 100);
  for (int i = 0; i < 30; ++i) l->Items()->Add(L"x");
  AddComp(f, l, &p);
  ASSERT_NE(Lookupcontrol(f, l->Handle()), nullptr);
  const HWND old = l->Handle();
  l->RecreateWnd();
  EXPECT_TRUE(PumpUntil([&] { return Lookupcontrol(f, l->Handle()) != nullptr && l->Handle() != old; }));
  EXPECT_EQ(Lookupcontrol(f, old), nullptr);
  (void)d;
  f->DeleteControls();
}

TEST_F(ScrollSkins, AStandAloneScrollBarUnderItsOverlay) {
  TSkinData* d = Data();
  Host(d);
  auto* b = Make<TScrollBar>(10, 200, 300, 17);
  b->SetParams(10, 0, 100);
  auto* s = dynamic_cast<TSkinScControl*>(SkinOf(b));
  ASSERT_TRUE(s && s->FBar);
  Pump();
  RECT r{}, o{};
  GetWindowRect(b->Handle(), &r);
  GetWindowRect(s->FBar->Handle(), &o);
  EXPECT_TRUE(EqualRect(&r, &o));
  // A click on the second arrow reaches the scroll bar through the overlay.
  PressOverlay(s->FBar, 300 - 5, 8);
  Pump();
  EXPECT_EQ(b->Position(), 11);
  b->SetPosition(50);
  Pump();
  const TThumbSpan t = s->FBar->DrawnThumb();
  SCROLLBARINFO sys = BarOf(b->Handle(), OBJID_CLIENT);
  EXPECT_EQ(t.Start, sys.xyThumbTop);
  EXPECT_EQ(t.End, sys.xyThumbBottom);
  b->SetVisible(false);
  Pump();
  EXPECT_FALSE(IsWindowVisible(s->FBar->Handle()));
}

TEST_F(ScrollSkins, TheListViewsHeaderIsHandedOverWhenItAppears) {
  TSkinData* d = Data();
  Host(d);
  auto* v = Make<TListView>(10, 10, 220, 160);
  auto* s = dynamic_cast<TSkinListView*>(SkinOf(v));
  ASSERT_NE(s, nullptr);
  const HWND h = v->Handle();
  EXPECT_EQ(FindWindowExW(h, nullptr, WC_HEADERW, nullptr), s->HeaderWindow());
  // Into the report view behind the control's back, then a column: the header comes now.
  SetWindowLongPtrW(h, GWL_STYLE, (GetWindowLongPtrW(h, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = 80;
  col.pszText = const_cast<wchar_t*>(L"Word");
  SendMessageW(h, LVM_INSERTCOLUMNW, 0, LPARAM(&col));
  Pump();
  const HWND header = FindWindowExW(h, nullptr, WC_HEADERW, nullptr);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(s->HeaderWindow(), header);
}

}  // namespace
