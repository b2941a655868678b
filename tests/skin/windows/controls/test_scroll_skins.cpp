// Scrolling controls under the skin's overlay scroll bars: for each kind of control and each way
// of scrolling it, the overlay lies on the control's own bar and shows its thumb after every step;
// a drag on the overlay moves the control as a drag on its own bar does; pixels of the overlay per
// state; the corner square, the border message, a skin without a scroll-bar picture, re-created
// controls, stand-alone scroll bars and the list view's lazily made header.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "skin/windows/controls/combo_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/header_skin.h"
#include "skin/windows/controls/scroll_skin.h"
#include "skin/windows/paint/scroll_geometry.h"
#include "tests/skin/windows/controls/scroll_agreement.h"

using namespace skintest;

namespace {

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
  // A skinned list box of 40 items on a fresh host, whose vertical bar the overlay covers.
  TWScrollbar* ListOverlay(TListBox*& l) {
    Host(Data());
    l = Make<TListBox>(10, 10, 200, 200);
    for (int i = 0; i < 40; ++i) l->Items()->Add(L"item " + std::to_wstring(i));
    auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(l));
    return s ? s->FVert : nullptr;
  }
  template <class T> T* Make(int x, int y, int w, int h) {
    auto c = std::make_unique<T>(nullptr);
    T* raw = c.get();
    raw->SetParent(parent.get());
    raw->SetBounds(x, y, w, h);
    controls.push_back(std::move(c));
    return raw;
  }
  // A memo with both bars and lines that do not wrap, or with the vertical bar alone.
  TMemo* Memo(int x, int y, int w, int h, const WideString& text, TScrollStyle bars = ssBoth) {
    auto* m = Make<TMemo>(x, y, w, h);
    m->SetScrollBars(bars);
    if (bars == ssBoth) m->SetWordWrap(false);
    m->SetText(text);
    return m;
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

WideString ManyLines(int n) {
  WideString s;
  for (int i = 0; i < n; ++i) s += L"line " + std::to_wstring(i) + L" \u6625\u5929 of the memo\r\n";
  return s;
}

// Lines enough for both bars of a control about 220 x 160.
WideString Text(int n) { return ManyLines(n) + WideString(300, L'x'); }

// Each kind of scrolling control, made with room to scroll on both of its bars, and how text,
// items or rows are added and taken away.
struct TKindCase {
  const char* Name;
  std::function<TWinControl*(ScrollSkins&)> Make;
  std::function<void(TWinControl*, bool more)> Content;
};

const std::vector<TKindCase>& KindCases() {
  static const std::vector<TKindCase> cases = {
      {"TMemo",
       [](ScrollSkins& t) { return t.Memo(10, 10, 220, 160, Text(150)); },
       [](TWinControl* c, bool more) { static_cast<TMemo*>(c)->SetText(more ? Text(200) : ManyLines(4)); }},
      {"TListBox",
       [](ScrollSkins& t) {
         auto* l = t.Make<TListBox>(10, 10, 220, 160);
         for (int i = 0; i < 150; ++i) l->Items()->Add(L"item " + std::to_wstring(i));
         return l;
       },
       [](TWinControl* c, bool more) {
         auto* l = static_cast<TListBox*>(c);
         if (more)
           for (int i = 0; i < 60; ++i) l->Items()->Add(L"more " + std::to_wstring(i));
         else
           while (l->Items()->Count() > 4) l->Items()->Delete(l->Items()->Count() - 1);
       }},
      {"TTreeView",
       [](ScrollSkins& t) {
         auto* v = t.Make<TTreeView>(10, 10, 220, 160);
         for (int i = 0; i < 150; ++i) v->Items()->Add(nullptr, L"node " + std::to_wstring(i) + WideString(60, L'n'));
         return v;
       },
       [](TWinControl* c, bool more) {
         auto* v = static_cast<TTreeView*>(c);
         if (more)
           for (int i = 0; i < 150; ++i) v->Items()->Add(nullptr, L"more " + std::to_wstring(i) + WideString(60, L'm'));
         else
           v->Items()->Clear();
       }},
      {"TRichEdit",
       [](ScrollSkins& t) {
         auto* r = t.Make<TRichEdit>(10, 10, 220, 160);
         r->SetScrollBars(ssVertical);
         r->SetText(ManyLines(150));
         return r;
       },
       [](TWinControl* c, bool more) { static_cast<TRichEdit*>(c)->SetText(ManyLines(more ? 200 : 3)); }},
      {"TListView",
       [](ScrollSkins& t) {
         auto* v = t.Make<TListView>(10, 10, 220, 160);
         v->SetViewStyle(vsReport);
         TListColumn* col = v->Columns()->Add();
         col->SetCaption(L"Word");
         col->SetWidth(400);
         for (int i = 0; i < 150; ++i) v->Items()->Add()->SetCaption(L"row " + std::to_wstring(i));
         return v;
       },
       [](TWinControl* c, bool more) {
         auto* v = static_cast<TListView*>(c);
         if (more)
           for (int i = 0; i < 150; ++i) v->Items()->Add()->SetCaption(L"more " + std::to_wstring(i));
         else
           v->Items()->Clear();
       }},
  };
  return cases;
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
    TScrollSubject subject(k.Name, c, c->Handle(), s->FVert, s->FHorz);
    subject.Content = [&](bool more) { k.Content(c, more); };
    RunScrollWays(subject);
    c->SetVisible(false);
  }
}

TEST_F(ScrollSkins, TheOverlaysOfASimpleCombosListAgreeWithIt) {
  TSkinData* d = Data();
  Host(d);
  auto* c = Make<TComboBox>(10, 10, 220, 160);
  c->SetStyle(csSimple);
  c->SetBounds(10, 10, 220, 160);
  for (int i = 0; i < 150; ++i) c->Items()->Add(L"\u6625 item " + std::to_wstring(i));
  auto* s = dynamic_cast<TSkinComBox*>(SkinOf(c));
  ASSERT_TRUE(s && s->FSimpleList && s->FSimpleList->FVert);
  TScrollSubject subject("the simple combo's list", c, s->FListWindow, s->FSimpleList->FVert, nullptr);
  subject.Content = [&](bool more) {
    if (more)
      for (int i = 0; i < 60; ++i) c->Items()->Add(L"more " + std::to_wstring(i));
    else
      while (c->Items()->Count() > 3) c->Items()->Delete(c->Items()->Count() - 1);
  };
  RunScrollWays(subject);
  // Its horizontal overlay stays hidden with the list's horizontal bar.
  EXPECT_TRUE(Agrees(s->FSimpleList->FHorz, s->FListWindow, OBJID_HSCROLL));
}

TEST_F(ScrollSkins, TheOverlayOfAStandAloneScrollBarAgreesWithIt) {
  TSkinData* d = Data();
  Host(d);
  for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
    const bool vertical = kind == sbVertical;
    auto* b = Make<TScrollBar>(10, 200, vertical ? 17 : 300, vertical ? 160 : 17);
    b->SetKind(kind);
    b->SetBounds(10, vertical ? 10 : 200, vertical ? 17 : 300, vertical ? 160 : 17);
    b->SetParams(0, 0, 100);
    b->SetPageSize(10);
    b->SetLargeChange(10);
    auto* s = dynamic_cast<TSkinScControl*>(SkinOf(b));
    ASSERT_TRUE(s && s->FBar);
    TScrollSubject subject(vertical ? "a vertical scroll bar" : "a horizontal scroll bar", b, b->Handle(), nullptr,
                           nullptr);
    (vertical ? subject.Vert : subject.Horz) = s->FBar;
    subject.VertId = subject.HorzId = OBJID_CLIENT;
    subject.VertBar = subject.HorzBar = SB_CTL;
    subject.Content = [&](bool more) { b->SetParams(b->Position(), 0, more ? 1000 : 20); };
    RunScrollWays(subject);
    b->SetVisible(false);
  }
}

TEST_F(ScrollSkins, ADragOnTheOverlayMovesTheControlAsADragOnItsOwnBar) {
  TSkinData* d = Data();
  Host(d);
  // Two twins side by side: one dragged on its own bar, the other on the overlay over its bar.
  struct {
    bool Memo, Vertical;
    int By;
  } rows[] = {{false, true, 12}, {false, true, 40}, {false, true, -25}, {false, true, 90},
              {true, true, 33},  {true, false, 45}, {true, false, -20}};
  for (const auto& r : rows) {
    TWinControl* twins[2];
    for (int i = 0; i < 2; ++i) {
      if (r.Memo) {
        twins[i] = Memo(10 + 250 * i, 10, 200, 160, Text(80));
      } else {
        auto* l = Make<TListBox>(10 + 250 * i, 10, 200, 160);
        for (int k = 0; k < 80; ++k) l->Items()->Add(L"item " + std::to_wstring(k));
        twins[i] = l;
      }
      SendMessageW(twins[i]->Handle(), r.Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
      SendMessageW(twins[i]->Handle(), r.Vertical ? WM_VSCROLL : WM_HSCROLL, SB_ENDSCROLL, 0);
    }
    HWND a = twins[0]->Handle(), b = twins[1]->Handle();
    const int bar = r.Vertical ? SB_VERT : SB_HORZ;
    const int start = PosOf(b, bar);
    auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(twins[0]));
    ASSERT_TRUE(s && s->FVert && s->FHorz);
    ASSERT_EQ(PosOf(a, bar), start);
    const SCROLLBARINFO native = BarOf(b, r.Vertical ? OBJID_VSCROLL : OBJID_HSCROLL);
    const int mid = (native.xyThumbTop + native.xyThumbBottom) / 2;
    const int dx = r.Vertical ? 0 : r.By, dy = r.Vertical ? r.By : 0;
    const POINT press = r.Vertical ? POINT{native.rcScrollBar.left + 8, native.rcScrollBar.top + mid}
                                   : POINT{native.rcScrollBar.left + mid, native.rcScrollBar.top + 8};
    PressNative(b, press, dx, dy, r.Vertical ? HTVSCROLL : HTHSCROLL);
    TWScrollbar* o = r.Vertical ? s->FVert : s->FHorz;
    PressOverlay(o, r.Vertical ? 8 : mid, r.Vertical ? mid : 8, dx, dy);
    Pump();
    const std::string what = std::string(r.Memo ? "memo" : "list") + (r.Vertical ? " down by " : " across by ") +
                             std::to_string(r.By);
    EXPECT_NE(PosOf(b, bar), start) << what << ": the native drag did nothing, so the comparison proves nothing";
    EXPECT_EQ(PosOf(a, bar), PosOf(b, bar)) << what;
    EXPECT_FALSE(o->Pressed);
    EXPECT_TRUE(Agrees(o, a, r.Vertical ? OBJID_VSCROLL : OBJID_HSCROLL)) << what;
    twins[0]->SetVisible(false);
    twins[1]->SetVisible(false);
  }
}

TEST_F(ScrollSkins, OverlayPixelsPerState) {
  TListBox* l = nullptr;
  TWScrollbar* o = ListOverlay(l);
  ASSERT_TRUE(o);
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
  o->HotPart = kPartSecondArrow;
  print();
  EXPECT_EQ(dib.At(8, bottomArrow), FrameColor(kScrollPic, 14));
  EXPECT_EQ(dib.At(8, 5), FrameColor(kScrollPic, 9));
  // The pressed thumb follows the cursor from where the last press was: a press on the thumb
  // where it stands, held as while the system tracks it.
  o->Pressed = false;
  PressOverlay(o, 8, (b.xyThumbTop + b.xyThumbBottom) / 2);
  Pump();
  ASSERT_EQ(BarOf(l->Handle(), OBJID_VSCROLL).xyThumbTop, b.xyThumbTop);
  o->HotPart = kPartThumb;
  o->Pressed = true;
  print();
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVThumbPic, 2));
  EXPECT_EQ(dib.At(8, (b.xyThumbTop + b.xyThumbBottom) / 2), FrameColor(kScrollPic, 21));
  o->Pressed = false;
  print();
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVThumbPic, 3));
  EXPECT_EQ(dib.At(8, (b.xyThumbTop + b.xyThumbBottom) / 2), FrameColor(kScrollPic, 22));
  o->HotPart = kPartFirstArrow;
  print();
  EXPECT_EQ(dib.At(8, 5), FrameColor(kScrollPic, 12));
  o->HotPart = kPartNone;
  // Disabled: track frame 3 and no thumb.
  l->SetEnabled(false);
  Pump();
  print();
  EXPECT_EQ(dib.At(8, track), FrameColor(kVScrollPic, 3));
  EXPECT_EQ(dib.At(8, b.xyThumbTop + 1), FrameColor(kVScrollPic, 3));
  l->SetEnabled(true);
}

// The part the mouse lights is the part painted under it, read from the bar as it is now: the
// bar scrolled or its list grown since the overlay last painted, with no paint in between.
TEST_F(ScrollSkins, TheMouseLightsThePartPaintedUnderItPaintedOrNot) {
  const struct {
    const char* Name;
    std::function<void(TListBox*)> Change;
  } rows[] = {
      {"as placed", nullptr},
      {"paged down", [](TListBox* l) { SendMessageW(l->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0); }},
      {"scrolled to the end", [](TListBox* l) { SendMessageW(l->Handle(), LB_SETTOPINDEX, 39, 0); }},
      {"grown",
       [](TListBox* l) {
         for (int i = 0; i < 200; ++i) l->Items()->Add(L"more " + std::to_wstring(i));
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TListBox* l = nullptr;
    TWScrollbar* o = ListOverlay(l);
    ASSERT_TRUE(o);
    Pump();
    if (row.Change) row.Change(l);
    RECT cr{};
    GetClientRect(o->Handle(), &cr);
    std::vector<int> lit(size_t(cr.bottom), kPartNone);
    for (int y = 0; y < cr.bottom; ++y) {
      SendMessageW(o->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(8, y));
      lit[size_t(y)] = o->HotPart;
    }
    TDib dib(cr.right, cr.bottom);
    dib.Fill(0x123456);
    SendMessageW(o->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
    const SCROLLBARINFO b = BarOf(l->Handle(), OBJID_VSCROLL);
    auto shown = [&](int y) {
      const uint32_t c = dib.At(8, y);
      for (int k = 0; k < 4; ++k) {
        if (c == FrameColor(kScrollPic, 9 + k)) return kPartFirstArrow;
        if (c == FrameColor(kScrollPic, 13 + k)) return kPartSecondArrow;
      }
      for (int k = 1; k <= 3; ++k)
        if (c == FrameColor(kVThumbPic, k) || c == FrameColor(kScrollPic, 19 + k)) return kPartThumb;
      if (c == FrameColor(kVScrollPic, 1) || c == FrameColor(kVScrollPic, 3))
        return y < b.xyThumbTop ? kPartPageUp : kPartPageDown;
      return kPartNone;
    };
    int told = 0, wrong = 0;
    for (int y = 0; y < cr.bottom; ++y) {
      const int part = shown(y);
      if (part == kPartNone) continue;
      ++told;
      if (lit[size_t(y)] != part) {
        ++wrong;
        ADD_FAILURE() << "y " << y << ": painted " << part << ", lit " << lit[size_t(y)];
        if (wrong > 3) break;
      }
    }
    EXPECT_GT(told, cr.bottom / 2);
    EXPECT_EQ(wrong, 0);
    TearDown();
    SetUp();
  }
}

TEST_F(ScrollSkins, PixelsOfAHorizontalOverlayAndOfAStandAloneBarsStretchedOne) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 220, 160, ManyLines(20) + WideString(40, L'x'));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FHorz && s->FHorz->Shown());
  TWScrollbar* o = s->FHorz;
  RECT cr{};
  GetClientRect(o->Handle(), &cr);
  TDib dib(cr.right, cr.bottom);
  auto at = [&](int x, int y) {
    dib.Fill(0x123456);
    SendMessageW(o->Handle(), WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
    return dib.At(x, y);
  };
  const SCROLLBARINFO b = BarOf(m->Handle(), OBJID_HSCROLL);
  ASSERT_GE(b.xyThumbBottom - b.xyThumbTop, 16) << "too short a thumb for its grip";
  const int right = cr.right - 5, mid = (b.xyThumbTop + b.xyThumbBottom) / 2;
  EXPECT_EQ(at(5, 8), FrameColor(kScrollPic, 1));
  EXPECT_EQ(at(right, 8), FrameColor(kScrollPic, 5));
  EXPECT_EQ(at((b.xyThumbBottom + cr.right - 17) / 2, 8), FrameColor(kHScrollPic, 1));
  EXPECT_EQ(at(b.xyThumbTop + 1, 8), FrameColor(kHThumbPic, 1));
  EXPECT_EQ(at(mid, 8), FrameColor(kScrollPic, 17));
  SendMessageW(o->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(right, 8));
  EXPECT_EQ(at(right, 8), FrameColor(kScrollPic, 8));
  o->HotPart = kPartThumb;
  EXPECT_EQ(at(b.xyThumbTop + 1, 8), FrameColor(kHThumbPic, 3));
  EXPECT_EQ(at(mid, 8), FrameColor(kScrollPic, 19));
  PressOverlay(o, mid, 8);
  Pump();
  o->HotPart = kPartThumb;
  o->Pressed = true;
  EXPECT_EQ(at(b.xyThumbTop + 1, 8), FrameColor(kHThumbPic, 2));
  EXPECT_EQ(at(mid, 8), FrameColor(kScrollPic, 18));
  o->Pressed = false;
  SendMessageW(o->Handle(), WM_MOUSELEAVE, 0, 0);

  // A scroll-bar control thicker than the skin's bar: the bar is stretched over it.
  auto* bar = Make<TScrollBar>(10, 250, 300, 24);
  bar->SetParams(50, 0, 100);
  bar->SetPageSize(30);
  auto* sc = dynamic_cast<TSkinScControl*>(SkinOf(bar));
  ASSERT_TRUE(sc && sc->FBar);
  Pump();
  TDib wide(300, 24);
  SendMessageW(sc->FBar->Handle(), WM_PRINTCLIENT, WPARAM(wide.DC), PRF_CLIENT);
  const SCROLLBARINFO c = BarOf(bar->Handle(), OBJID_CLIENT);
  for (int y : {0, 12, 23}) {
    EXPECT_EQ(wide.At(5, y), FrameColor(kScrollPic, 1)) << y;
    EXPECT_EQ(wide.At(295, y), FrameColor(kScrollPic, 5)) << y;
    EXPECT_EQ(wide.At(c.xyThumbTop + 1, y), FrameColor(kHThumbPic, 1)) << y;
  }
  // Disabled with its control: the track alone between the arrows.
  bar->SetEnabled(false);
  Pump();
  wide.Fill(0x123456);
  SendMessageW(sc->FBar->Handle(), WM_PRINTCLIENT, WPARAM(wide.DC), PRF_CLIENT);
  EXPECT_EQ(wide.At(c.xyThumbTop + 1, 12), FrameColor(kHScrollPic, 3));
}

// The entries of one message in a log, as a log of their own.
TMessageLog EntriesOf(const TMessageLog& log, UINT msg) {
  TMessageLog only({msg});
  for (const TRecordedMsg& e : log.Messages) only.Record(e.Message, e.Flags, e.WParam, e.LParam, e.Wnd);
  return only;
}
POINT PointOf(const TRecordedMsg& e) { return POINT{short(LOWORD(e.LParam)), short(HIWORD(e.LParam))}; }

TEST_F(ScrollSkins, APressOnTheOverlayReachesTheWindowAsAPressOnItsOwnBar) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 220, 160, Text(60));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FVert && s->FHorz);
  HWND h = m->Handle();
  // What the window under the overlay receives from a press on it.
  TMessageLog log({WM_NCLBUTTONDOWN, WM_NCLBUTTONUP});
  TWindowRecorder rec(h, log);
  for (bool vertical : {true, false}) {
    TWScrollbar* o = vertical ? s->FVert : s->FHorz;
    const SCROLLBARINFO b = BarOf(h, vertical ? OBJID_VSCROLL : OBJID_HSCROLL);
    const int along = (vertical ? Height(b.rcScrollBar) : Width(b.rcScrollBar)) - 5;
    const int x = vertical ? 8 : along, y = vertical ? along : 8;
    log.Clear();
    const int before = PosOf(h, vertical ? SB_VERT : SB_HORZ);
    PressOverlay(o, x, y);
    const TMessageLog presses = EntriesOf(log, WM_NCLBUTTONDOWN);
    ASSERT_EQ(presses.Messages.size(), 1u) << vertical;
    EXPECT_EQ(presses.Messages[0].WParam, WPARAM(vertical ? HTVSCROLL : HTHSCROLL));
    POINT screen{x, y};
    ClientToScreen(o->Handle(), &screen);
    EXPECT_EQ(PointOf(presses.Messages[0]).x, screen.x);
    EXPECT_EQ(PointOf(presses.Messages[0]).y, screen.y);
    EXPECT_TRUE(SequenceIs(presses, {{WM_NCLBUTTONDOWN, sent | wparam | lparam,
                                      WPARAM(vertical ? HTVSCROLL : HTHSCROLL), MAKELPARAM(screen.x, screen.y)}}));
    if (vertical) {
      EXPECT_EQ(PosOf(h, SB_VERT), before + 1);
    } else {
      EXPECT_GT(PosOf(h, SB_HORZ), before);
    }
    // Back from the system's tracking: no longer pressed, and lit as the last scroll code says.
    EXPECT_FALSE(o->Pressed);
    EXPECT_EQ(o->HotPart, SB_ENDSCROLL);
  }
  // A release that reaches the overlay itself (the system's tracking did not take it) is posted
  // on as the release on the bar.
  log.Clear();
  SendMessageW(s->FVert->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, 30));
  Pump();
  const TMessageLog releases = EntriesOf(log, WM_NCLBUTTONUP);
  ASSERT_EQ(releases.Messages.size(), 1u);
  EXPECT_EQ(releases.Messages[0].WParam, WPARAM(HTVSCROLL));
  POINT screen{8, 30};
  ClientToScreen(s->FVert->Handle(), &screen);
  EXPECT_EQ(PointOf(releases.Messages[0]).x, screen.x);
  EXPECT_EQ(PointOf(releases.Messages[0]).y, screen.y);
  EXPECT_TRUE(SequenceIs(log, {{WM_NCLBUTTONUP, posted | wparam | lparam, HTVSCROLL, MAKELPARAM(screen.x, screen.y)}}));
  rec.Detach();
  // The overlay is a tool window and nothing else.
  EXPECT_EQ(GetWindowLongPtrW(s->FVert->Handle(), GWL_EXSTYLE), LONG_PTR(WS_EX_TOOLWINDOW));
}

// Placing an overlay where it lies already moves no window: every move makes the system repaint
// what it uncovers, the control's own frame among it, and that frame with its bars is the dearest
// thing the system paints.

TEST_F(ScrollSkins, AnOverlayInPlaceIsNotMovedAgain) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 220, 160, Text(150));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FVert && s->FHorz);
  Pump();
  // The overlays' moves in one log, the control's frame paints in another.
  TMessageLog moves({WM_WINDOWPOSCHANGING});
  TMessageLog framePaints({WM_NCPAINT});
  TWindowRecorder vert(s->FVert->Handle(), moves), horz(s->FHorz->Handle(), moves);
  TWindowRecorder control(m->Handle(), framePaints);
  for (int i = 0; i < 3; ++i) {
    s->SetScrollbarPos();
    s->FVert->Sync();
  }
  Pump();
  EXPECT_EQ(moves.Messages.size(), 0u);
  EXPECT_EQ(framePaints.Messages.size(), 0u);
  EXPECT_TRUE(SequenceIs(moves, {}));
  EXPECT_TRUE(SequenceIs(framePaints, {}));
  // A real change still moves them: each overlay once at the least.
  m->SetBounds(10, 10, 260, 180);
  Pump();
  EXPECT_GT(moves.Messages.size(), 0u);
  EXPECT_TRUE(std::any_of(moves.Messages.begin(), moves.Messages.end(),
                          [&](const TRecordedMsg& e) { return e.Wnd == s->FVert->Handle(); }));
  EXPECT_TRUE(std::any_of(moves.Messages.begin(), moves.Messages.end(),
                          [&](const TRecordedMsg& e) { return e.Wnd == s->FHorz->Handle(); }));
  EXPECT_TRUE(Agrees(s->FVert, m->Handle(), OBJID_VSCROLL));
  EXPECT_TRUE(Agrees(s->FHorz, m->Handle(), OBJID_HSCROLL));
}

TEST_F(ScrollSkins, ASkinChangeTakesTheOverlaysAwayOrBringsThemBack) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 220, 160, Text(60));
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FVert);
  TTestSkin bare = CompleteSkin();
  for (auto& p : bare.Pictures)
    if (p.Name == "scrollbar.bmp") p.Data = "not a picture";
  auto load = [&](const std::string& file) {
    auto stream = StreamOf(file);
    d->LoadFromStream(*stream);
    s->SkinChange();
    Pump();
  };
  load(bare.File());
  EXPECT_EQ(s->FVert, nullptr);
  EXPECT_EQ(s->FHorz, nullptr);
  load(SkinFile());
  ASSERT_NE(s->FVert, nullptr);
  EXPECT_TRUE(Agrees(s->FVert, m->Handle(), OBJID_VSCROLL));
  EXPECT_TRUE(Agrees(s->FHorz, m->Handle(), OBJID_HSCROLL));
}

TEST_F(ScrollSkins, AStandAloneOverlayOnAPlainWindowIsNeverShown) {
  TSkinData* d = Data();
  Host(d);
  HWND raw = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 300, 10, 17, 150,
                             parent->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(raw, nullptr);
  TSkinControl owner(nullptr);
  owner.FSkinData = d;
  auto* o = new TWScrollbar(&owner);  // the owner frees it
  o->AttachHwnd(&owner, raw, kBarControl);
  o->SetPosition(raw);
  o->Sync();
  Pump();
  EXPECT_FALSE(o->Shown());
  EXPECT_FALSE(o->HandleAllocated() && IsWindowVisible(o->Handle()));
  DestroyWindow(raw);
}

TEST_F(ScrollSkins, TheCornerSquareTheBorderAndTheBorderMessage) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 200, 150, ManyLines(40) + WideString(300, L'x'));
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

TEST_F(ScrollSkins, WithOneBarShownTheCornerIsLeftAlone) {
  TSkinData* d = Data();
  Host(d);
  auto* m = Memo(10, 10, 200, 150, ManyLines(40), ssVertical);
  auto* s = dynamic_cast<TSkinScrollbar*>(SkinOf(m));
  ASSERT_TRUE(s && s->FVert && s->FHorz);
  ASSERT_TRUE(s->FVert->Shown());
  ASSERT_FALSE(s->FHorz->Shown());
  RECT w{};
  GetWindowRect(m->Handle(), &w);
  TDib dib(Width(w), Height(w));
  s->PaintCorner(dib.DC);
  for (int y = 0; y < dib.H; y += 3)
    for (int x = 0; x < dib.W; x += 3) ASSERT_EQ(dib.At(x, y), 0x123456u) << x << "," << y;
}

// A scroll box that the border leaves alone by its class name.
class TImageScrollBox : public TScrollBox {
  KARO_CLASS(TImageScrollBox)
public:
  using TScrollBox::TScrollBox;
};
KARO_CLASS_INFO(TImageScrollBox, TScrollBox)

TEST_F(ScrollSkins, TheBorderIsDrawnOnlyWhereTheControlHasOne) {
  TSkinData* d = Data();
  Host(d);
  const COLORREF shadow = COLORREF(ColorToRGB(d->Colors[csButtonShadow]));
  auto corner = [](HWND h) {
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    RECT r{};
    GetWindowRect(h, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, r.left, r.top);
    ReleaseDC(nullptr, screen);
    return c;
  };
  auto* framed = Make<TMemo>(10, 10, 120, 80);
  auto* plain = Make<TMemo>(150, 10, 120, 80);
  plain->SetBorderStyle(bsNone);
  auto* box = Make<TImageScrollBox>(290, 10, 120, 80);
  const COLORREF plainBefore = corner(plain->Handle());
  auto* f = dynamic_cast<TSkinScrollbar*>(SkinOf(framed));
  auto* p = dynamic_cast<TSkinScrollbar*>(SkinOf(plain));
  ASSERT_TRUE(f && p);
  EXPECT_TRUE(f->FBorder);
  EXPECT_FALSE(p->FBorder);
  EXPECT_EQ(corner(framed->Handle()), shadow);
  EXPECT_EQ(corner(plain->Handle()), plainBefore);
  auto* b = new TSkinScrollbar(box);
  b->InitScrollbar(box, d, nullptr, form.get());
  EXPECT_FALSE(b->FBorder);
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
  auto* m = Memo(10, 10, 200, 150, ManyLines(40), ssVertical);
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

  // Through the class library: the report view and its columns come after attaching; the header
  // is painted from the skin's header strip.
  constexpr int kHeaderPic = 23;
  auto* r = Make<TListView>(250, 10, 220, 160);
  ASSERT_NE(dynamic_cast<TSkinListView*>(SkinOf(r)), nullptr);
  // The class library makes the window anew for another view: it is skinned again, as the
  // skinned window does when the posted message comes.
  const HWND before = r->Handle();
  r->SetViewStyle(vsReport);
  ReCreateControlSkin(form.get(), before);
  auto* rs = dynamic_cast<TSkinListView*>(Lookupcontrol(form.get(), r->Handle()));
  ASSERT_NE(rs, nullptr);
  for (const wchar_t* caption : {L"Word", L"\u97f5"}) {
    TListColumn* col = r->Columns()->Add();
    col->SetCaption(caption);
    col->SetWidth(70);
  }
  for (int i = 0; i < 5; ++i) r->Items()->Add()->SetCaption(L"row " + std::to_wstring(i));
  Pump();
  const HWND rh = FindWindowExW(r->Handle(), nullptr, WC_HEADERW, nullptr);
  ASSERT_NE(rh, nullptr);
  EXPECT_EQ(rs->HeaderWindow(), rh);
  EXPECT_NE(dynamic_cast<TSkinHeader*>(Lookupcontrol(form.get(), rh)), nullptr);
  EXPECT_EQ(SendMessageW(rh, CN_IsSkinned, 0, 0), 1);
  RECT hr{};
  GetClientRect(rh, &hr);
  TDib dib(hr.right, hr.bottom);
  SendMessageW(rh, WM_PRINTCLIENT, WPARAM(dib.DC), PRF_CLIENT);
  EXPECT_EQ(dib.At(2, 1), FrameColor(kHeaderPic, 1));
  EXPECT_EQ(dib.At(hr.right - 3, 1), FrameColor(kHeaderPic, 1));  // the empty area after the columns
}

}  // namespace
