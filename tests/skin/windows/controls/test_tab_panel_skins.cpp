// Tab and container skins: the pure geometry and frame choices; pixels of tabs in every state and
// position and of the pane from a skin whose frames are solid colours; close buttons (their hit
// area, CN_TabClose's answer, hidden pages in between, a page the application frees itself);
// status-bar panels, simple text and the size grip; group-box frames and captions (Chinese
// included); panel colours per skin; system colours resolved before they reach GDI; check boxes
// showing a skinned group box through; and what a tab control's parent hears with and without
// the skin.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"
#include "skin/data/skin_objects.h"
#include "skin/windows/controls/check_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/panel_skin.h"
#include "skin/windows/controls/tab_skin.h"
#include "tests/skin/windows/controls/control_test_env.h"
#include "tests/skin/windows/manager/skin_test_env.h"

using namespace skintest;

// An advanced page control of another vendor, as far as the skin sees it: two published pictures.
class TFakeAdvPage : public TCustomControl {
  KARO_CLASS(TFakeAdvPage)
public:
  explicit TFakeAdvPage(TComponent* owner) : TCustomControl(owner) {}
  TBitmap* TabBackGround() { return &normal_; }
  void SetTabBackGround(TBitmap* b) { normal_.Assign(b); }
  TBitmap* TabBackGroundActive() { return &active_; }
  void SetTabBackGroundActive(TBitmap* b) { active_.Assign(b); }

private:
  TBitmap normal_, active_;
};
KARO_CLASS_PROPS(TFakeAdvPage, TCustomControl,
                 Prop("TabBackGround", &TFakeAdvPage::TabBackGround, &TFakeAdvPage::SetTabBackGround),
                 Prop("TabBackGroundActive", &TFakeAdvPage::TabBackGroundActive,
                      &TFakeAdvPage::SetTabBackGroundActive))

// A tab set of the class library, as far as the skin sees it: its published tabs, selection,
// first tab and margins, and a scroller as its first component.
class TScroller : public TWinControl {
  KARO_CLASS(TScroller)
public:
  using TWinControl::TWinControl;
};
KARO_CLASS_INFO(TScroller, TWinControl)

class TTabSet : public TCustomControl {
  KARO_CLASS(TTabSet)
public:
  explicit TTabSet(TComponent* owner) : TCustomControl(owner), tabs_(std::make_unique<TWideStringList>()) {
    scroller_ = new TScroller(this);
    scroller_->SetParent(this);
    scroller_->SetBounds(160, 2, 30, 16);
  }
  TWideStrings* Tabs() { return tabs_.get(); }
  void SetTabs(TWideStrings* v) { tabs_->Assign(v); }
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int v) { tabIndex_ = v; }
  int FirstIndex() const { return firstIndex_; }
  void SetFirstIndex(int v) { firstIndex_ = v; }
  int StartMargin() const { return startMargin_; }
  void SetStartMargin(int v) { startMargin_ = v; }
  int EndMargin() const { return endMargin_; }
  void SetEndMargin(int v) { endMargin_ = v; }
  TScroller* Scroller() { return scroller_; }

private:
  std::unique_ptr<TWideStringList> tabs_;
  TScroller* scroller_ = nullptr;
  int tabIndex_ = 0, firstIndex_ = 0, startMargin_ = 5, endMargin_ = 5;
};
KARO_CLASS_PROPS(TTabSet, TCustomControl, Prop("Tabs", &TTabSet::Tabs, &TTabSet::SetTabs),
                 Prop("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex),
                 Prop("FirstIndex", &TTabSet::FirstIndex, &TTabSet::SetFirstIndex),
                 Prop("StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin),
                 Prop("EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin))

namespace {

// The pictures' numbers in the complete test skin.
constexpr int kButtonsPic = 6, kTabsPic = 15, kTabBorderPic = 16, kStatusPic = 17, kExtraPic = 22;

// A system colour as this code base writes it.
constexpr TColor SysColour(int index) { return TColor(0xFF000000u | unsigned(index)); }

// ---- Deciding, pure

TEST(TabSkinDecisions, PositionsFromTheStyle) {
  EXPECT_EQ(TabPositionOfStyle(0), StTop);
  EXPECT_EQ(TabPositionOfStyle(TCS_BOTTOM), Stbottom);
  EXPECT_EQ(TabPositionOfStyle(TCS_VERTICAL | TCS_MULTILINE), Stleft);
  EXPECT_EQ(TabPositionOfStyle(TCS_VERTICAL | TCS_RIGHT), Stright);
}

TEST(TabSkinDecisions, TabsMappedIntoTheHorizontalWorkBitmap) {
  const TRect window(0, 0, 200, 100), tab(10, 2, 50, 22);
  struct {
    TSkinTabPosition P;
    TRect Display, Strip, InWork;
    TPoint Work;
  } rows[] = {
      // The pane is the display area four pixels wider and one nearer the tabs.
      {StTop, TRect(4, 26, 196, 96), TRect(0, 0, 200, 23), TRect(10, 3, 50, 23), TPoint(200, 23)},
      {Stbottom, TRect(4, 4, 196, 74), TRect(0, 77, 200, 100), TRect(10, -76, 50, -56), TPoint(200, 23)},
      // Side strips are composed lying down: the tab's length runs along the work bitmap.
      {Stleft, TRect(26, 4, 196, 96), TRect(0, 0, 23, 100), TRect(100 - 22, 10, 100 - 2, 50), TPoint(100, 23)},
      {Stright, TRect(4, 4, 174, 96), TRect(177, 0, 200, 100), TRect(1, 150, 21, 190), TPoint(100, 23)},
  };
  for (const auto& r : rows) {
    const TRect pane = TabPaneRect(r.Display, r.P);
    const TRect strip = TabStripRect(window, pane, r.P);
    EXPECT_EQ(strip, r.Strip) << int(r.P);
    const TPoint work = TabWorkSize(strip, r.P);
    EXPECT_EQ(work.X, r.Work.X) << int(r.P);
    EXPECT_EQ(work.Y, r.Work.Y) << int(r.P);
    EXPECT_EQ(TabInWork(tab, window, pane, work.X, r.P), r.InWork) << int(r.P);
  }
  EXPECT_EQ(TabCloseRect(TRect(10, 3, 50, 23)), TRect(42, 5, 48, 11));
}

TEST(TabSkinDecisions, FramesAndPagesOfTabs) {
  struct {
    bool Current, Hot, Disabled;
    int Frames, Frame;
  } rows[] = {
      {false, false, false, 5, 1}, {true, false, false, 5, 2}, {false, true, false, 5, 3},
      {true, true, false, 5, 5},   {true, true, true, 5, 4},   {false, false, true, 5, 4},
      {true, true, false, 2, 2},   {false, true, true, 2, 1},
  };
  for (const auto& r : rows) EXPECT_EQ(TabFrame(r.Current, r.Hot, r.Disabled, r.Frames), r.Frame);
  // Page 1's tab is hidden: tab 1 is page 2's.
  const int tabs[] = {0, -1, 1, 2};
  EXPECT_EQ(PageOfTab(tabs, 4, 1), 2);
  EXPECT_EQ(PageOfTab(tabs, 4, 0), 0);
  EXPECT_EQ(PageOfTab(tabs, 4, -1), -1);
  EXPECT_EQ(PageOfTab(tabs, 4, 3), -1);
}

TEST(TabSkinDecisions, TabSetTabsThatDoNotFitAreSkipped) {
  // The third tab is too long: the fourth follows the second.
  const std::vector<int> widths = {20, 30, 500, 10};
  std::vector<TRect> r = TabSetLayout(widths, 0, 5, 195, 24, false);
  EXPECT_EQ(r[0], TRect(5, 0, 34, 24));
  EXPECT_EQ(r[1], TRect(34, 0, 73, 24));
  EXPECT_LT(r[2].Right, r[2].Left);
  EXPECT_EQ(r[3], TRect(73, 0, 92, 24));
  // From the first visible tab; a tab ending exactly at the limit fits.
  r = TabSetLayout(widths, 1, 0, 39, 24, false);
  EXPECT_LT(r[0].Right, r[0].Left);
  EXPECT_EQ(r[1], TRect(0, 0, 39, 24));
  EXPECT_LT(r[3].Right, r[3].Left);
  // A shown scroller takes 12 pixels more of the room.
  r = TabSetLayout(widths, 0, 0, 40, 24, true);
  EXPECT_LT(r[0].Right, r[0].Left);
  EXPECT_EQ(r[3], TRect(0, 0, 19, 24));
  r = TabSetLayout(widths, 0, 0, 41, 24, true);
  EXPECT_EQ(r[0], TRect(0, 0, 29, 24));
}

TEST(PanelSkinDecisions, StatusPanelsAndGrip) {
  EXPECT_EQ(StatusPanelFrame(pbLowered), 1);
  EXPECT_EQ(StatusPanelFrame(pbRaised), 2);
  EXPECT_EQ(StatusPanelFrame(pbNone), 3);
  EXPECT_EQ(StatusPanelAlignment(taLeftJustify, true), taRightJustify);
  EXPECT_EQ(StatusPanelAlignment(taRightJustify, true), taLeftJustify);
  EXPECT_EQ(StatusPanelAlignment(taCenter, true), taCenter);
  EXPECT_EQ(StatusPanelAlignment(taLeftJustify, false), taLeftJustify);
  EXPECT_EQ(StatusPanelRect(TRect(0, 2, 100, 20), TRect(0, 0, 300, 22), false), TRect(0, 2, 102, 20));
  EXPECT_EQ(StatusPanelRect(TRect(200, 2, 250, 20), TRect(0, 0, 300, 22), true), TRect(200, 2, 300, 20));
  EXPECT_EQ(SizeGripRect(TRect(0, 0, 300, 22), TPoint(9, 9)), TRect(290, 12, 299, 21));
}

TEST(PanelSkinDecisions, SkinColoursAreResolved) {
  EXPECT_EQ(SkinColour(TColor(-1), SysColour(COLOR_BTNTEXT)), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(SkinColour(SysColour(COLOR_BTNSHADOW), 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(SkinColour(0x123456, 0), 0x123456u);
}

// ---- Windows

LRESULT CALLBACK PlainParent(HWND w, UINT m, WPARAM wp, LPARAM lp);

class TabPanelSkins : public ManagerTest {
public:
  HWND Parent() { return TopWindow(L"KaroTabParent", PlainParent, L"P", 20, 20, 420, 320); }
  // A plain tab control of three fixed-width tabs (without text unless given one), tab 1 selected.
  static HWND Tabs(HWND parent, LONG style, int w = 300, int h = 200, int tabWidth = 60, const wchar_t* text = L"") {
    HWND t = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | TCS_FIXEDWIDTH | style, 10, 10, w, h,
                             parent, HMENU(INT_PTR(5)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(t, TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth, 22));
    for (int i = 0; i < 3; ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(text);
      SendMessageW(t, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
    }
    return t;
  }
  static RECT ItemRect(HWND t, int i) {
    RECT r{};
    SendMessageW(t, TCM_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return r;
  }
  static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  static int FrameAt(TDib& d, POINT p, int pic, int frames) {
    for (int k = 1; k <= frames; ++k)
      if (d.At(p.x, p.y) == FrameColor(pic, k)) return k;
    return 0;
  }
  static std::unique_ptr<TDib> Paint(TSkinControl* s, HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    auto d = std::make_unique<TDib>(r.right - r.left, r.bottom - r.top);
    s->PaintControl(d->DC);
    return d;
  }
};

std::vector<std::pair<UINT, int>> g_notes;  // WM_NOTIFY codes and sender ids the parent heard
std::vector<std::pair<WPARAM, LPARAM>> g_closes;
LRESULT g_closeAnswer = 1;
std::function<void()> g_onClose;

LRESULT CALLBACK PlainParent(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NOTIFY) g_notes.push_back({reinterpret_cast<NMHDR*>(lp)->code, int(wp)});
  if (m == CN_TabClose) {
    g_closes.push_back({wp, lp});
    if (g_onClose) g_onClose();
    return g_closeAnswer;
  }
  return DefWindowProcW(w, m, wp, lp);
}

TEST_F(TabPanelSkins, TabPixelsInEveryStateAndPosition) {
  TSkinData* data = Data();
  HWND p = Parent();
  const struct {
    LONG Style;
    int Width;
  } rows[] = {{0, 300},
              {TCS_BOTTOM, 300},
              {TCS_VERTICAL | TCS_MULTILINE, 300},
              {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, 300},
              {TCS_MULTILINE, 150},  // two rows of tabs
              {TCS_MULTILINE | TCS_BOTTOM, 150}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Style);
    HWND t = Tabs(p, row.Style, row.Width);
    auto* s = new TSkinTab(nullptr);
    s->Inithwnd(t, data, nullptr, nullptr);
    auto shown = [&](int i) {
      auto d = Paint(s, t);
      return FrameAt(*d, Centre(ItemRect(t, i)), kTabsPic, 5);
    };
    // A new control's first tab is its current one.
    SendMessageW(t, TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(shown(0), 2);
    SendMessageW(t, TCM_SETCURSEL, 1, 0);
    EXPECT_EQ(shown(0), 1);
    EXPECT_EQ(shown(1), 2);
    // The pane: the tabs' own border picture (the skin's pane selector is 0), in the display area.
    {
      RECT disp{};
      GetClientRect(t, &disp);
      SendMessageW(t, TCM_ADJUSTRECT, FALSE, LPARAM(&disp));
      auto d = Paint(s, t);
      EXPECT_EQ(d->At((disp.left + disp.right) / 2, (disp.top + disp.bottom) / 2), FrameColor(kTabBorderPic, 1));
    }
    // Under the mouse: tab 2 hot, then the current tab hot, then nothing once the mouse leaves.
    POINT c2 = Centre(ItemRect(t, 2)), c1 = Centre(ItemRect(t, 1));
    SendMessageW(t, WM_MOUSEMOVE, 0, MAKELPARAM(c2.x, c2.y));
    EXPECT_EQ(shown(2), 3);
    SendMessageW(t, WM_MOUSEMOVE, 0, MAKELPARAM(c1.x, c1.y));
    EXPECT_EQ(shown(1), 5);
    EXPECT_EQ(shown(2), 1);
    SendMessageW(t, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(shown(1), 2);
    // The enabled state is read at each paint.
    EnableWindow(t, FALSE);
    EXPECT_EQ(shown(0), 4);
    EXPECT_EQ(shown(1), 4);
    EnableWindow(t, TRUE);
    EXPECT_EQ(shown(0), 1);
    delete s;
    DestroyWindow(t);
  }
  // Two rows really were laid out.
  HWND multi = Tabs(p, TCS_MULTILINE, 150);
  EXPECT_EQ(SendMessageW(multi, TCM_GETROWCOUNT, 0, 0), 2);
}

TEST_F(TabPanelSkins, TheStripNeverPaintsOverTheScrollArrows) {
  TSkinData* data = Data();
  HWND p = Parent();
  HWND t = Tabs(p, 0, 150);
  for (int i = 3; i < 6; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(t, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
  }
  HWND arrows = FindWindowExW(t, nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(arrows, nullptr);
  ASSERT_TRUE(IsWindowVisible(arrows));
  auto* s = new TSkinTab(nullptr);
  s->Inithwnd(t, data, nullptr, nullptr);
  RECT a{}, own{};
  GetWindowRect(arrows, &a);
  GetWindowRect(t, &own);
  auto d = Paint(s, t);
  EXPECT_EQ(d->At(a.left - own.left + 2, a.top - own.top + 2), 0x123456u);  // left as it was
  EXPECT_EQ(FrameAt(*d, Centre(ItemRect(t, 0)), kTabsPic, 5), 2);
  delete s;
}

TEST_F(TabPanelSkins, TabTextsAreReadAtEachPaint) {
  TSkinData* data = Data();
  HWND p = Parent();
  HWND t = Tabs(p, 0);
  SendMessageW(t, TCM_SETITEMSIZE, 0, MAKELPARAM(120, 22));
  SendMessageW(t, TCM_SETCURSEL, 1, 0);
  auto* s = new TSkinTab(nullptr);
  s->Inithwnd(t, data, nullptr, nullptr);
  const RECT r0 = ItemRect(t, 0);
  auto textPixels = [&] {
    auto d = Paint(s, t);
    int n = 0;
    for (int y = r0.top + 4; y < r0.bottom - 2; ++y)
      for (int x = r0.left + 4; x < r0.right - 4; ++x)
        if (d->At(x, y) != FrameColor(kTabsPic, 1)) ++n;
    return n;
  };
  EXPECT_EQ(textPixels(), 0);
  // Longer than the longest text read: the buffer is given its size, the text cut to it.
  const std::wstring text = L"\u6625\u98ce" + std::wstring(100, L'W');
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(t, TCM_SETITEMW, 0, LPARAM(&item));
  EXPECT_GT(textPixels(), 10);
  WideString read;
  int image = 0;
  ASSERT_TRUE(ReadTabItem(t, true, 0, read, image));
  EXPECT_EQ(read.substr(0, 2), L"\u6625\u98ce");
  EXPECT_LE(read.size(), 80u);
  EXPECT_EQ(image, -1);
  delete s;
}

TEST_F(TabPanelSkins, TheParentHearsTheSameTabChangeWithAndWithoutTheSkin) {
  TSkinData* data = Data();
  auto hear = [&](bool skinned) {
    HWND p = Parent();
    HWND t = Tabs(p, 0);
    SendMessageW(t, TCM_SETCURSEL, 0, 0);
    TSkinTab* s = nullptr;
    if (skinned) {
      s = new TSkinTab(nullptr);
      s->Inithwnd(t, data, nullptr, nullptr);
    }
    g_notes.clear();
    const POINT c = Centre(ItemRect(t, 2));
    SendMessageW(t, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    SendMessageW(t, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    SendMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    Pump();
    EXPECT_EQ(SendMessageW(t, TCM_GETCURSEL, 0, 0), 2);
    auto notes = g_notes;
    delete s;
    DestroyWindow(p);
    return notes;
  };
  const auto plain = hear(false);
  const auto skinned = hear(true);
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(plain, skinned);
}

// A panel on the host window to put controls on, and a skin form whose window is the host.
struct THost {
  explicit THost(HWND host, TSkinData* data = nullptr) : parent(nullptr), form(nullptr) {
    form.hwnd = host;
    form.SkinData = data;
    parent.SetParentWindow(host);
    parent.SetBounds(0, 0, 400, 300);
  }
  ~THost() { form.DeleteControls(); }
  // A control of class T on the panel.
  template <class T> T* Add() {
    auto* c = new T(&parent);
    c->SetParent(&parent);
    return c;
  }
  // A skin of class S made for Control and attached through the form.
  template <class S> S* Skin(TControl* Control, TSkinData* Data, bool SetColor = false) {
    auto* s = new S(Control);
    s->Init(&form, Data, nullptr, SetColor);
    return s;
  }
  TPanel parent;
  TVeltForm form;
};

// A page control of four pages named A to D under a panel on the parent, with a skin form whose
// window is the parent.
struct TPagesFixture {
  TPagesFixture(HWND host, TSkinData* data, TTabPosition pos = tpTop, intptr_t tag = kTabCloseTag)
      : h(host, data), parent(h.parent), form(h.form) {
    pages = h.Add<TPageControl>();
    pages->SetBounds(0, 0, 380, 250);
    pages->SetTabPosition(pos);
    pages->SetTag(tag);
    for (const wchar_t* name : {L"AAAA", L"BBBB", L"CCCC", L"DDDD"}) {
      auto* sheet = new TTabSheet(&parent);
      sheet->SetPageControl(pages);
      sheet->SetCaption(name);
    }
    skin = new TSkinTab(pages);
    skin->Init(&form, data, nullptr, false);
  }
  std::vector<WideString> Names() {
    std::vector<WideString> n;
    for (int i = 0; i < pages->PageCount(); ++i) n.push_back(pages->Pages(i)->Caption());
    return n;
  }
  POINT CloseCentre(int tab) {
    RECT r{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, WPARAM(tab), LPARAM(&r));
    const TRect c = TabCloseRect(TabInWork(TRect(r.left, r.top, r.right, r.bottom), TRect(), TRect(), 0, StTop));
    return POINT{(c.Left + c.Right) / 2, (c.Top + c.Bottom) / 2};
  }
  LRESULT Click(POINT p) { return SendMessageW(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }

  THost h;
  TPanel& parent;
  TVeltForm& form;
  TPageControl* pages;
  TSkinTab* skin;
};

TEST_F(TabPanelSkins, CloseButtonsAskTheFormAndFreeThePageThatWasClicked) {
  TSkinData* data = Data();
  HWND host = Parent();
  TPagesFixture f(host, data);
  ASSERT_TRUE(f.skin->FCloseButtons);
  f.pages->Pages(1)->SetTabVisible(false);  // tab 1 is now page 2's
  Pump();
  HWND tabs = f.pages->Handle();

  // The button is drawn where it is hit: its diagonal crosses the centre of the hit area.
  data->Tabs->NormalColour = SysColour(COLOR_BTNTEXT);
  const POINT c = f.CloseCentre(1);
  {
    auto d = Paint(f.skin, tabs);
    EXPECT_EQ(d->At(c.x, c.y), GetSysColor(COLOR_BTNTEXT));  // the pen's system colour, resolved
  }
  g_closes.clear();
  g_closeAnswer = 1;
  EXPECT_EQ(f.Click(c), 0);
  ASSERT_EQ(g_closes.size(), 1u);
  EXPECT_EQ(g_closes[0], std::make_pair(WPARAM(tabs), LPARAM(1)));
  EXPECT_EQ(f.pages->PageCount(), 4);  // a non-zero answer keeps the page

  g_closeAnswer = 0;
  f.Click(c);
  EXPECT_EQ(f.Names(), (std::vector<WideString>{L"AAAA", L"BBBB", L"DDDD"}));  // page 2, not page 1

  // The application frees the page itself and still answers 0: nothing is freed twice, nor
  // another page in its place.
  g_onClose = [&] { delete f.pages->Pages(2); };
  f.Click(f.CloseCentre(1));
  g_onClose = nullptr;
  EXPECT_EQ(f.Names(), (std::vector<WideString>{L"AAAA", L"BBBB"}));

  // A click beside the buttons reaches the control: the tab is selected, nothing is asked.
  g_closes.clear();
  const RECT r0 = ItemRect(tabs, 0);
  f.Click(POINT{r0.left + 4, (r0.top + r0.bottom) / 2});
  SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM(r0.left + 4, (r0.top + r0.bottom) / 2));
  EXPECT_TRUE(g_closes.empty());
  EXPECT_EQ(f.pages->ActivePage()->Caption(), L"AAAA");
}

TEST_F(TabPanelSkins, OnlyTopTabsOfATaggedPageControlGetCloseButtons) {
  TSkinData* data = Data();
  HWND host = Parent();
  {
    TPagesFixture bottom(host, data, tpBottom);
    EXPECT_FALSE(bottom.skin->FCloseButtons);
  }
  {
    TPagesFixture untagged(host, data, tpTop, 0);
    EXPECT_FALSE(untagged.skin->FCloseButtons);
    g_closes.clear();
    untagged.Click(untagged.CloseCentre(1));
    EXPECT_TRUE(g_closes.empty());
  }
}

TEST_F(TabPanelSkins, StatusBarPanelsSimpleTextAndSizeGrip) {
  TSkinData* data = Data();
  THost h(Parent());
  auto* bar = h.Add<TStatusBar>();
  const TStatusPanelBevel bevels[] = {pbLowered, pbRaised, pbNone};
  for (TStatusPanelBevel b : bevels) {
    TStatusPanel* p = bar->Panels()->Add();
    p->SetWidth(100);
    p->SetBevel(b);
  }
  bar->Panels()->Items(0)->SetText(L"\u97f5\u90e8");
  auto* s = h.Skin<TSkinStatusBar>(bar, data);
  HWND w = bar->Handle();
  auto part = [&](int i) {
    RECT r{};
    SendMessageW(w, SB_GETRECT, WPARAM(i), LPARAM(&r));
    return r;
  };
  {
    auto d = Paint(s, w);
    // Every panel shows its bevel's frame, the empty ones too.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(FrameAt(*d, POINT{part(i).left + 1, part(i).top + 1}, kStatusPic, 3), i + 1);
    // The last panel reaches the bar's end; the grip sits in its bottom-right corner.
    EXPECT_EQ(FrameAt(*d, POINT{d->W - 20, 3}, kStatusPic, 3), 3);
    EXPECT_EQ(d->At(d->W - 6, d->H - 6), FrameColor(kExtraPic, 5));
    // Text in the first panel.
    int text = 0;
    const RECT r = part(0);
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
      for (int x = r.left + 2; x < r.left + 60; ++x)
        if (d->At(x, y) != FrameColor(kStatusPic, 1)) ++text;
    EXPECT_GT(text, 5);
  }
  // Simple mode shows the simple text over one lowered area, whatever panels there are: where the
  // second panel stood, too (taken before the bar, simple, answers for one part only).
  const POINT secondPanel{part(0).right + 50, 3};
  bar->SetSimplePanel(true);
  {
    auto d = Paint(s, w);
    EXPECT_EQ(FrameAt(*d, secondPanel, kStatusPic, 3), 1);
  }
  bar->SetSimplePanel(false);
  // Without a size grip, the corner is the panel's.
  SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) & ~LONG_PTR(SBARS_SIZEGRIP));
  {
    auto d = Paint(s, w);
    EXPECT_EQ(FrameAt(*d, POINT{d->W - 6, d->H - 6}, kStatusPic, 3), 3);
  }
  // Without the status-bar picture the bevels are drawn in the system's colours.
  data->StatusBarEdges.reset();
  {
    auto d = Paint(s, w);
    EXPECT_EQ(d->At(part(0).left, part(0).top + 3), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(d->At(part(1).left, part(1).top + 3), GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

// Where each panel's text stands, skinned and unskinned, and how a text too long for its panel
// ends. The text's ink is what differs between a picture with the texts and one without them.
TEST_F(TabPanelSkins, StatusTextKeepsTheUnskinnedMarginAndEndsACutTextInAnEllipsis) {
  TSkinData* data = Data();
  THost h(Parent());
  auto* bar = h.Add<TStatusBar>();
  const struct {
    TStatusPanelBevel Bevel;
    int Width;
    const wchar_t* Text;
  } panels[] = {{pbLowered, 90, L"Rhyme"},
                {pbRaised, 90, L"Tone"},
                {pbNone, 90, L"Word"},
                {pbLowered, 90, L"\u97f5\u90e8\u97f5\u90e8\u97f5\u90e8\u97f5\u90e8\u97f5\u90e8\u97f5\u90e8\u97f5"
                                L"\u90e8\u97f5\u90e8\u97f5\u90e8\u97f5\u90e8"}};
  for (const auto& p : panels) {
    TStatusPanel* panel = bar->Panels()->Add();
    panel->SetWidth(p.Width);
    panel->SetBevel(p.Bevel);
  }
  HWND w = bar->Handle();
  auto setTexts = [&](bool on) {
    for (int i = 0; i < 4; ++i) bar->Panels()->Items(i)->SetText(on ? panels[i].Text : L"");
  };
  auto part = [&](int i) {
    RECT r{};
    SendMessageW(w, SB_GETRECT, WPARAM(i), LPARAM(&r));
    return r;
  };
  RECT client{};
  GetClientRect(w, &client);
  auto plain = [&] {
    auto d = std::make_unique<TDib>(client.right, client.bottom);
    SendMessageW(w, WM_PRINTCLIENT, WPARAM(d->DC), PRF_CLIENT | PRF_ERASEBKGND);
    return d;
  };
  // The ink of the texts in panel i: its bounding box and the rows it covers in each column.
  struct TInk {
    TRect Box;
    std::vector<std::pair<int, int>> Columns;  // per column of the part: top and bottom row of ink, or -1
  };
  auto ink = [&](const TDib& with, const TDib& without, int i) {
    const RECT r = part(i);
    TInk k{with.Box([&](int x, int y, uint32_t) {
             return x >= r.left && x < r.right && y >= r.top && y < r.bottom && with.At(x, y) != without.At(x, y);
           }),
           {}};
    for (int x = r.left; x < r.right; ++x) {
      std::pair<int, int> rows{-1, -1};
      for (int y = r.top; y < r.bottom; ++y)
        if (with.At(x, y) != without.At(x, y)) {
          if (rows.first < 0) rows.first = y;
          rows.second = y;
        }
      k.Columns.push_back(rows);
    }
    return k;
  };
  setTexts(true);
  auto plainWith = plain();
  setTexts(false);
  auto plainWithout = plain();
  auto* s = h.Skin<TSkinStatusBar>(bar, data);
  auto skinnedWithout = Paint(s, w);
  setTexts(true);
  auto skinnedWith = Paint(s, w);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TInk unskinned = ink(*plainWith, *plainWithout, i), skinned = ink(*skinnedWith, *skinnedWithout, i);
    ASSERT_LT(unskinned.Box.Left, unskinned.Box.Right) << "the unskinned bar shows no text to compare with";
    ASSERT_LT(skinned.Box.Left, skinned.Box.Right);
    EXPECT_EQ(skinned.Box.Left, unskinned.Box.Left) << "the text's first column, panel from " << part(i).left;
  }
  // The long text: it starts where the unskinned one does, stays inside its panel's edge, and ends
  // in three dots on one line rather than in part of a character.
  const TInk cut = ink(*skinnedWith, *skinnedWithout, 3);
  const RECT r = part(3);
  EXPECT_EQ(cut.Box.Left, ink(*plainWith, *plainWithout, 3).Box.Left);
  EXPECT_LT(cut.Box.Right, r.right);
  // The runs of inked columns from the right: dots, all on one line, then a whole character.
  std::vector<std::pair<int, int>> marks;  // top and bottom row of each run
  int x = int(cut.Columns.size()) - 1;
  const int glyphHeight = cut.Box.Bottom - cut.Box.Top;
  while (x >= 0 && (marks.empty() || marks.back().second - marks.back().first + 1 <= 3)) {
    while (x >= 0 && cut.Columns[size_t(x)].first < 0) --x;
    int top = 1 << 20, bottom = -1;
    while (x >= 0 && cut.Columns[size_t(x)].first >= 0) {
      top = std::min(top, cut.Columns[size_t(x)].first);
      bottom = std::max(bottom, cut.Columns[size_t(x)].second);
      --x;
    }
    if (bottom >= 0) marks.push_back({top, bottom});
  }
  ASSERT_GE(marks.size(), 3u) << "at least two dots and a character";
  for (size_t m = 0; m + 1 < marks.size(); ++m) {
    SCOPED_TRACE(m);
    EXPECT_EQ(marks[m].second, marks[0].second) << "the dots on the text's base line";
  }
  EXPECT_GT(marks.back().second - marks.back().first + 1, glyphHeight / 2) << "a whole character before the dots";
  delete s;
}

TEST_F(TabPanelSkins, GroupBoxFrameAndCaptionsChineseIncluded) {
  TSkinData* data = Data();
  data->Colors[csButtonShadow] = SysColour(COLOR_BTNSHADOW);
  THost h(Parent());
  auto* box = h.Add<TGroupBox>();
  box->SetBounds(10, 10, 200, 100);
  auto* s = h.Skin<TSkinGroupBox>(box, data);
  HWND w = box->Handle();
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (const wchar_t* caption : {L"", L"Tone", L"\u97f5\u90e8\u97f5\u90e8"}) {
    SCOPED_TRACE(WideToAnsi(caption));
    box->SetCaption(caption);
    auto d = Paint(s, w);
    EXPECT_EQ(d->At(1, 50), shadow);    // the left line
    EXPECT_EQ(d->At(100, 98), shadow);  // the bottom line
    EXPECT_EQ(d->At(100, 50), COLORREF(ColorToRGB(data->Colors[csButtonFace])));
    // The caption cuts the top line where it stands, and only there.
    int cut = 0;
    for (int y = 0; y < 12; ++y)
      if (d->At(20, y) == shadow) ++cut;
    const bool hasCaption = caption[0] != 0;
    EXPECT_EQ(cut == 0, hasCaption) << cut;
    int ink = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 8; x < 40; ++x)
        if (d->At(x, y) != COLORREF(ColorToRGB(data->Colors[csButtonFace])) && d->At(x, y) != shadow) ++ink;
    EXPECT_EQ(ink > 5, hasCaption) << ink;
  }
}

TEST_F(TabPanelSkins, ACheckBoxShowsTheSkinnedGroupBoxThrough) {
  TSkinData* data = Data();
  THost h(Parent());
  auto* box = h.Add<TGroupBox>();
  box->SetBounds(10, 10, 200, 60);
  // The check box lies over the group box's bottom line (its row 58).
  auto* check = new TCheckBox(&h.parent);
  check->SetParent(box);
  check->SetBounds(20, 45, 150, 24);
  check->SetCaption(L"x");
  auto* cs = h.Skin<TSkinCheckBox>(check, data);
  const COLORREF shadow = COLORREF(ColorToRGB(data->Colors[csButtonShadow]));
  auto lineUnderCheck = [&] {
    auto d = Paint(cs, check->Handle());
    return d->At(120, 58 - 45);
  };
  EXPECT_NE(lineUnderCheck(), shadow);  // the group box is not skinned: the check box fills
  h.Skin<TSkinGroupBox>(box, data);
  EXPECT_EQ(lineUnderCheck(), shadow);
}

TEST_F(TabPanelSkins, PanelColoursPerSkinAndBackOnUnskinning) {
  TSkinData* yellow = Data();
  TSkinData* green = Data();
  green->Colors[csButtonFace] = TColor(0x1EC80A);
  THost h(Parent());
  auto* panel = h.Add<TPanel>();
  panel->SetBounds(10, 10, 100, 60);
  panel->SetColor(TColor(0x0000FF));
  auto* s = h.Skin<TSkinBox>(panel, yellow, true);
  EXPECT_EQ(panel->Color(), TColor(ColorToRGB(yellow->Colors[csButtonFace])));
  auto printed = [&] {
    TDib d(100, 60);
    SendMessageW(panel->Handle(), WM_PRINTCLIENT, WPARAM(d.DC), PRF_CLIENT | PRF_ERASEBKGND);
    return d.At(50, 30);
  };
  EXPECT_EQ(printed(), COLORREF(ColorToRGB(yellow->Colors[csButtonFace])));
  // The box hooks nothing: the panel answers for itself.
  EXPECT_EQ(panel->Perform(CN_IsSkinned), 0);
  s->FSkinData = green;
  s->SkinChange();
  EXPECT_EQ(printed(), 0x1EC80Au);
  s->Unsubclass();
  EXPECT_EQ(panel->Color(), TColor(0x0000FF));
  EXPECT_EQ(printed(), 0x0000FFu);
}

TEST_F(TabPanelSkins, ButtonStyleTabsAreSkinnedPushButtons) {
  TSkinData* data = Data();
  HWND p = Parent();
  HWND t = Tabs(p, TCS_BUTTONS);
  SendMessageW(t, TCM_SETCURSEL, 2, 0);
  auto* s = new TSkinTabBtn(nullptr);
  s->Inithwnd(t, data, nullptr, nullptr);
  auto d = Paint(s, t);
  EXPECT_EQ(FrameAt(*d, Centre(ItemRect(t, 0)), kButtonsPic, 5), 1);
  EXPECT_EQ(FrameAt(*d, Centre(ItemRect(t, 2)), kButtonsPic, 5), 2);
  delete s;
}

TEST_F(TabPanelSkins, SheetsDialogsAndSizeBoxesTakeTheFaceColour) {
  TSkinData* data = Data();
  const COLORREF face = COLORREF(ColorToRGB(data->Colors[csButtonFace]));
  HWND host = Parent();
  // A page: painted and erased in the face colour.
  {
    TPagesFixture f(host, data);
    TTabSheet* sheet = f.pages->Pages(0);
    auto* label = new TLabel(sheet);
    label->SetParent(sheet);
    const TColor before = sheet->Color();
    auto* s = new TSkinTabSheet(sheet);
    s->Init(&f.form, data, nullptr, false);
    // Controls that follow the page's colour follow the skin's.
    EXPECT_EQ(label->Color(), TColor(face));
    TDib d(40, 40);
    SendMessageW(sheet->Handle(), WM_PRINTCLIENT, WPARAM(d.DC), PRF_CLIENT);
    EXPECT_EQ(d.At(20, 20), face);
    d.Fill(0x123456);
    EXPECT_EQ(SendMessageW(sheet->Handle(), WM_ERASEBKGND, WPARAM(d.DC), 0), 1);
    EXPECT_EQ(d.At(20, 20), face);
    s->Unsubclass();
    EXPECT_EQ(sheet->Color(), before);
  }
  // A plain dialog: its background and its statics' brush.
  HWND dlg = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, host, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  HWND label = CreateWindowExW(0, L"Static", L"s", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, dlg, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  auto* box = new TSkinBoxH(nullptr);
  box->Inithwnd(dlg, data, nullptr, nullptr);
  TDib d(200, 100);
  SendMessageW(dlg, WM_ERASEBKGND, WPARAM(d.DC), 0);
  EXPECT_EQ(d.At(100, 50), face);
  EXPECT_EQ(SendMessageW(dlg, WM_CTLCOLORSTATIC, WPARAM(d.DC), LPARAM(label)), LRESULT(data->FaceBrush.get()));
  delete box;
  // A size box as the Open dialog makes it, on a window of its own: the dialog above would cover
  // it on the screen.
  HWND grip = CreateWindowExA(0, "SCROLLBAR", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_GROUP | WS_CLIPSIBLINGS | SBS_SIZEGRIP |
                                  SBS_SIZEBOXBOTTOMRIGHTALIGN,
                              0, 0, 17, 17, Parent(), nullptr, GetModuleHandleW(nullptr), nullptr);
  auto* sizer = new TSkinSizer(nullptr);
  sizer->Inithwnd(grip, data, nullptr, nullptr);
  auto g = Paint(sizer, grip);
  EXPECT_EQ(g->At(2, 2), face);
  // On the face, the grip it is there to show: the skin's, in the window's bottom-right corner,
  // or plain ridges where the skin has none.
  EXPECT_EQ(g->At(12, 12), FrameColor(kExtraPic, 5));
  // And so on the screen: the system's own painting of the grip does not come back over it.
  {
    RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    RECT r{};
    GetWindowRect(grip, &r);
    TDib shown(Width(r), Height(r));
    HDC screen = GetDC(nullptr);
    BitBlt(shown.DC, 0, 0, shown.W, shown.H, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(shown.At(2, 2), face);
    EXPECT_EQ(shown.At(12, 12), FrameColor(kExtraPic, 5));
  }
  // Printed into a picture, as a window that shows its children through asks for them.
  {
    TDib printed(17, 17);
    SendMessageW(grip, WM_PRINTCLIENT, WPARAM(printed.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(printed.At(2, 2), face);
    EXPECT_EQ(printed.At(12, 12), FrameColor(kExtraPic, 5));
  }
  data->ExtraImages.reset();
  auto plain = Paint(sizer, grip);
  EXPECT_EQ(plain->At(2, 2), face);
  int marks = 0;
  for (int y = 8; y < 17; ++y)
    for (int x = 8; x < 17; ++x)
      if (plain->At(x, y) != face) ++marks;
  EXPECT_GT(marks, 4) << "ridges of a grip";
  delete sizer;
}

TEST_F(TabPanelSkins, AnAdvancedPageControlTakesTheTabFramesAsItsPictures) {
  TSkinData* data = Data();
  THost h(Parent(), data);
  auto* page = h.Add<TFakeAdvPage>();
  std::unique_ptr<TSkinControl> plain(MakeSkin(kcAdvPage, nullptr));
  ASSERT_EQ(static_cast<TSkinAdvPage*>(plain.get())->FKind, 4);
  TSkinControl* s = MakeSkin(kcAdvPage, page);
  s->Init(&h.form, data, nullptr, true);
  auto colourAt = [](TBitmap* b) {
    return b->Empty() ? 0u : COLORREF(GetPixel(b->Canvas()->Handle(), 50, 10));
  };
  ASSERT_EQ(page->TabBackGround()->Width(), 100);
  EXPECT_EQ(page->TabBackGround()->Height(), 21);
  EXPECT_EQ(colourAt(page->TabBackGround()), FrameColor(kTabsPic, 1));
  EXPECT_EQ(colourAt(page->TabBackGroundActive()), FrameColor(kTabsPic, 2));
  s->Unsubclass();
  EXPECT_TRUE(page->TabBackGround()->Empty());
  EXPECT_TRUE(page->TabBackGroundActive()->Empty());
  // A control without the pictures is left as it is.
  auto* panel = h.Add<TPanel>();
  TSkinControl* other = MakeSkin(kcAdvPage, panel);
  other->Init(&h.form, data, nullptr, false);
  other->Unsubclass();
}

TEST_F(TabPanelSkins, TheKindTableMakesTheseSkins) {
  const struct {
    TSkinClass Kind;
    const char* Name;
  } rows[] = {{kcTab, "TSkinTab"},           {kcTabPlain, "TSkinTab"},       {kcTabBtn, "TSkinTabBtn"},
              {kcTabSheet, "TSkinTabSheet"}, {kcBox, "TSkinBox"},            {kcBoxH, "TSkinBoxH"},
              {kcGroupBox, "TSkinGroupBox"}, {kcStatusBar, "TSkinStatusBar"}, {kcSizer, "TSkinSizer"},
              {kcAdvPage, "TSkinAdvPage"},   {kcTabSet, "TSkinTab31"}};
  for (const auto& r : rows) {
    std::unique_ptr<TSkinControl> s(MakeSkin(r.Kind, nullptr));
    ASSERT_NE(s, nullptr) << r.Name;
    EXPECT_EQ(s->ClassName(), r.Name);
  }
}

TEST_F(TabPanelSkins, ATabSetDrawsTheTabsThatFitFromTheTabPicture) {
  TSkinData* data = Data();
  THost h(Parent(), data);
  auto* set = h.Add<TTabSet>();
  set->SetBounds(10, 10, 200, 24);
  for (const wchar_t* t : {L"AA", L"BB", L"A tab far too long to fit in the set at all, whatever the font", L"DD"})
    set->Tabs()->Add(t);
  set->SetTabIndex(1);
  ASSERT_EQ(ChooseControlSkin(set, *data, true).Skin, kcTabSet);
  AddComp(&h.form, set, &h.parent);
  auto* s = dynamic_cast<TSkinTab31*>(Lookupcontrol(&h.form, set->Handle()));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(FindSkinComp(&h.form, set));
  EXPECT_EQ(SendMessageW(set->Handle(), CN_IsSkinned, 0, 0), 1);
  // The scroller has the up-down skin.
  TSkinControl* scroll = Lookupcontrol(&h.form, set->Scroller()->Handle());
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->ClassName(), "TSkinUpDown");
  // Along the top row: the tabs that fit, each one frame, the selected one frame 2.
  auto segments = [&] {
    auto d = Paint(s, set->Handle());
    std::vector<std::pair<int, TRect>> seg;  // frame, extent
    for (int x = 0; x < d->W; ++x) {
      int f = 0;
      for (int k = 1; k <= 5; ++k)
        if (d->At(x, 1) == FrameColor(kTabsPic, k)) f = k;
      if (!f) continue;
      if (seg.empty() || seg.back().first != f || seg.back().second.Right != x)
        seg.push_back({f, TRect(x, 0, x + 1, 1)});
      else
        seg.back().second.Right = x + 1;
    }
    return seg;
  };
  auto seg = segments();
  ASSERT_EQ(seg.size(), 3u);
  EXPECT_EQ(seg[0].first, 1);
  EXPECT_EQ(seg[0].second.Left, 5);
  EXPECT_EQ(seg[1].first, 2);
  EXPECT_EQ(seg[1].second.Left, seg[0].second.Right);
  EXPECT_EQ(seg[2].first, 1);  // the fourth tab, right after the second
  EXPECT_EQ(seg[2].second.Left, seg[1].second.Right);
  // From the first visible tab.
  set->SetFirstIndex(1);
  seg = segments();
  ASSERT_EQ(seg.size(), 2u);
  EXPECT_EQ(seg[0].first, 2);
  EXPECT_EQ(seg[0].second.Left, 5);
  h.form.DeleteControls();
  EXPECT_EQ(SendMessageW(set->Handle(), CN_IsSkinned, 0, 0), 0);
}

TEST_F(TabPanelSkins, ButtonStyleTabsTakeTheirColourEachFromItsOwnFrame) {
  TSkinData* data = Data();
  data->Buttons->NormalColour = -1;
  data->Buttons->PressedColour = 0x0000FF;
  HWND t = Tabs(Parent(), TCS_BUTTONS, 300, 200, 80, L"WWWW");
  SendMessageW(t, TCM_SETCURSEL, 0, 0);
  auto* s = new TSkinTabBtn(nullptr);
  s->Inithwnd(t, data, nullptr, nullptr);
  auto d = Paint(s, t);
  auto count = [&](int tab, const std::function<bool(COLORREF)>& pick) {
    const RECT r = ItemRect(t, tab);
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x) n += pick(d->At(x, y));
    return n;
  };
  auto reddish = [](COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90; };
  auto dark = [](COLORREF c) { return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80; };
  EXPECT_GT(count(0, reddish), 5);  // the current tab in the pressed colour
  EXPECT_EQ(count(1, reddish), 0);  // the next one black again
  EXPECT_GT(count(1, dark), 5);
  delete s;
}

TEST_F(TabPanelSkins, AStatusPanelRightToLeftAlignedLeftShowsItsTextAtTheRight) {
  TSkinData* data = Data();
  THost h(Parent());
  auto* bar = h.Add<TStatusBar>();
  TStatusPanel* p = bar->Panels()->Add();
  p->SetWidth(200);
  p->SetText(L"WW");
  bar->Panels()->Add()->SetWidth(50);
  auto* s = h.Skin<TSkinStatusBar>(bar, data);
  HWND w = bar->Handle();
  RECT r{};
  SendMessageW(w, SB_GETRECT, 0, LPARAM(&r));
  auto inkX = [&] {
    auto d = Paint(s, w);
    return d->Box([&](int x, int y, uint32_t c) {
      return x > r.left + 1 && x < r.right - 1 && y > r.top && y < r.bottom - 1 && c != FrameColor(kStatusPic, 1);
    });
  };
  const TRect ltr = inkX();
  ASSERT_LT(ltr.Left, ltr.Right);
  EXPECT_LT(ltr.Right, (r.left + r.right) / 2);
  p->SetBiDiMode(bdRightToLeft);
  const TRect rtl = inkX();
  ASSERT_LT(rtl.Left, rtl.Right);
  EXPECT_GT(rtl.Left, (r.left + r.right) / 2);
}

TEST_F(TabPanelSkins, ATransparentObjectSkinErasesToTheFace) {
  TSkinData* data = Data();
  HWND p = Parent();
  HWND label = CreateWindowExW(0, L"Static", L"label", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, p, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  auto* s = new TSkinTransObj(nullptr);
  s->Inithwnd(label, data, nullptr, nullptr);
  EXPECT_EQ(SendMessageW(label, CN_IsSkinned, 0, 0), 1);
  TDib d(80, 20);
  EXPECT_EQ(SendMessageW(label, WM_ERASEBKGND, WPARAM(d.DC), 0), 1);
  EXPECT_EQ(d.At(40, 10), COLORREF(ColorToRGB(data->Colors[csButtonFace])));
  delete s;
  EXPECT_EQ(SendMessageW(label, CN_IsSkinned, 0, 0), 0);
}

}  // namespace
