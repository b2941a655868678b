// Page controls and tab controls: page switching with OnShow, OnHide, OnChange and OnChanging
// (by code and by a click on a tab), hidden tabs, styles reaching the window, and the status
// bar's panels and simple text as the system window holds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "tests/classlib/controls/form_test.h"
#include "tests/support/message_log.h"

namespace {

class ComTabs : public FormTest {
protected:
  ComTabs() : FormTest(0, 0, 400, 300) {}
  // A page control with sheets named A, B, C; every event is written to the log.
  TPageControl* MakePages() {
    auto* pc = new TPageControl(form);
    pc->SetParent(form);
    pc->SetBounds(0, 0, 300, 200);
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
      auto* sheet = new TTabSheet(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption(name);
      std::string n = WideToAnsi(name);
      sheet->OnShow = [this, n](TObject*) { log.push_back("show " + n); };
      sheet->OnHide = [this, n](TObject*) { log.push_back("hide " + n); };
    }
    pc->OnChange = [this](TObject*) { log.push_back("change"); };
    pc->OnChanging = [this](TObject*, bool& allow) {
      log.push_back("changing");
      allow = allowChange;
    };
    return pc;
  }
  // A click of the mouse on tab i, as the user makes it.
  static void ClickTab(TCustomTabControl* tc, int i) {
    RECT r{};
    ASSERT_TRUE(SendMessageW(tc->Handle(), TCM_GETITEMRECT, WPARAM(i), LPARAM(&r)));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tc->Handle(), WM_LBUTTONUP, 0, at);
  }
  static WideString TabText(TCustomTabControl* tc, int i) {
    wchar_t buf[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = 64;
    SendMessageW(tc->Handle(), TCM_GETITEMW, WPARAM(i), LPARAM(&item));
    return buf;
  }
  std::vector<std::string> log;
  bool allowChange = true;
};

using Log = std::vector<std::string>;

TEST_F(ComTabs, ActivePageShowsItsSheetAndFiresShowAndHideButNoChange) {
  TPageControl* pc = MakePages();
  pc->SetActivePage(pc->Pages(0));
  form->Show();
  EXPECT_EQ(log, Log({"show A"}));
  EXPECT_TRUE(pc->Pages(0)->Showing());
  EXPECT_FALSE(pc->Pages(1)->Visible());
  log.clear();
  pc->SetActivePageIndex(2);
  EXPECT_EQ(log, Log({"show C", "hide A"}));
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(2));
  // The sheet fills the area inside the tabs.
  EXPECT_EQ(pc->Pages(2)->BoundsRect(), pc->DisplayRect());
  EXPECT_GT(pc->DisplayRect().Top, 0);
}

TEST_F(ComTabs, AClickOnATabAsksChangingThenSwitchesAndFiresChange) {
  struct Case {
    bool allow;
    int expectedPage;
    Log expected;
  } cases[] = {
      {true, 1, {"changing", "show B", "hide A", "change"}},
      {false, 0, {"changing"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.allow);
    NewForm();
    log.clear();
    allowChange = c.allow;
    TPageControl* pc = MakePages();
    pc->SetActivePage(pc->Pages(0));
    form->Show();
    log.clear();
    ClickTab(pc, 1);
    EXPECT_EQ(log, c.expected);
    EXPECT_EQ(pc->ActivePageIndex(), c.expectedPage);
    EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETCURSEL, 0, 0), c.expectedPage);
  }
}

TEST_F(ComTabs, CtrlTabTurnsThePagesWhileTheFocusIsInside) {
  TPageControl* pc = MakePages();
  pc->SetActivePage(pc->Pages(0));
  form->Show();
  pc->SetFocus();
  log.clear();
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(pc->Perform(CM_DIALOGKEY, VK_TAB), 1);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  form->Perform(CM_DIALOGKEY, VK_TAB);
  form->Perform(CM_DIALOGKEY, VK_TAB);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(pc->Perform(CM_DIALOGKEY, VK_TAB), 0);
  EXPECT_EQ(log, Log({"changing", "show B", "hide A", "change", "changing", "show A", "hide B", "change", "changing",
                      "show C", "hide A", "change"}));
  EXPECT_EQ(pc->ActivePageIndex(), 2);
}

TEST_F(ComTabs, HiddenTabsLeaveTheStripAndKeepTheOthersInOrder) {
  TPageControl* pc = MakePages();
  pc->SetActivePage(pc->Pages(2));
  form->Show();
  pc->Pages(1)->SetTabVisible(false);
  ASSERT_EQ(SendMessageW(pc->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TabText(pc, 0), L"A");
  EXPECT_EQ(TabText(pc, 1), L"C");
  EXPECT_EQ(pc->Pages(2)->TabIndex(), 1);
  EXPECT_EQ(pc->Pages(1)->TabIndex(), -1);
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETCURSEL, 0, 0), 1);
  // A new caption reaches its tab; the next page skips the hidden tab.
  pc->Pages(0)->SetCaption(L"\u6625");
  EXPECT_EQ(TabText(pc, 0), L"\u6625");
  EXPECT_EQ(pc->FindNextPage(pc->Pages(0), true, true), pc->Pages(2));
  EXPECT_EQ(pc->FindNextPage(pc->Pages(2), true, true), pc->Pages(0));
  // A freed active page hands over to the next one.
  pc->Pages(2)->Free();
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0));
}

TEST_F(ComTabs, PublishedPropertiesReachTheTabWindow) {
  struct Case {
    const char* prop;
    const char* value;
    DWORD style;
  } cases[] = {
      {"TabPosition", "tpBottom", TCS_BOTTOM},
      {"TabPosition", "tpLeft", TCS_VERTICAL},
      {"TabPosition", "tpRight", TCS_VERTICAL | TCS_RIGHT},
      {"Style", "tsButtons", TCS_BUTTONS},
      {"Style", "tsFlatButtons", TCS_BUTTONS | TCS_FLATBUTTONS},
      {"MultiLine", "True", TCS_MULTILINE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + "=" + c.value);
    auto* pc = new TPageControl(form);
    pc->SetParent(form);
    pc->HandleNeeded();
    ASSERT_TRUE(SetPropValue(pc, c.prop, c.value));
    EXPECT_EQ(GetPropValue(pc, c.prop), c.value);
    EXPECT_EQ(DWORD(GetWindowLongW(pc->Handle(), GWL_STYLE)) & c.style, c.style);
    pc->Free();
  }
}

TEST_F(ComTabs, TabControlTabsAndIndexByName) {
  auto* tc = new TTabControl(form);
  tc->SetParent(form);
  tc->Tabs()->Add(L"one");
  tc->Tabs()->Add(L"two");
  form->Show();
  ASSERT_EQ(SendMessageW(tc->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TabText(tc, 1), L"two");
  EXPECT_TRUE(SetOrdProp(tc, "TabIndex", 1));
  EXPECT_EQ(SendMessageW(tc->Handle(), TCM_GETCURSEL, 0, 0), 1);
  int changes = 0;
  tc->OnChange = [&](TObject*) { ++changes; };
  ClickTab(tc, 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tc->TabIndex(), 0);
}

// --- Status bar ---

std::vector<int> Parts(HWND bar) {
  int n = int(SendMessageW(bar, SB_GETPARTS, 0, 0));
  std::vector<int> edges(size_t(std::max(n, 0)));
  if (n > 0) SendMessageW(bar, SB_GETPARTS, WPARAM(n), LPARAM(edges.data()));
  return edges;
}

WideString PartText(HWND bar, int i, DWORD* flags = nullptr) {
  if (LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, WPARAM(i), 0)) >= 511) return L"(too long)";
  std::vector<wchar_t> buf(512);
  LRESULT r2 = SendMessageW(bar, SB_GETTEXTW, WPARAM(i), LPARAM(buf.data()));
  if (flags) *flags = HIWORD(r2);
  return buf.data();
}

TEST_F(ComTabs, StatusPanelsReachTheSystemBar) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  TStatusPanel* p0 = bar->Panels()->Add();
  p0->SetWidth(120);
  p0->SetText(L"\u97f5 one");
  TStatusPanel* p1 = bar->Panels()->Add();
  p1->SetWidth(80);
  p1->SetAlignment(taCenter);
  p1->SetBevel(pbRaised);
  p1->SetText(L"two");
  TStatusPanel* p2 = bar->Panels()->Add();
  p2->SetAlignment(taRightJustify);
  p2->SetBevel(pbNone);
  form->Show();
  HWND wnd = bar->Handle();
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  // Right edges; the last panel reaches the end of the bar.
  EXPECT_EQ(Parts(wnd), std::vector<int>({120, 200, -1}));
  DWORD flags = 0;
  EXPECT_EQ(PartText(wnd, 0, &flags), L"\u97f5 one");
  EXPECT_EQ(PartText(wnd, 1, &flags), L"\ttwo");
  EXPECT_EQ(flags & SBT_POPOUT, DWORD(SBT_POPOUT));
  PartText(wnd, 2, &flags);
  EXPECT_EQ(flags & SBT_NOBORDERS, DWORD(SBT_NOBORDERS));
  // Changes after the window exists reach it too.
  p0->SetWidth(50);
  p0->SetText(L"x");
  EXPECT_EQ(Parts(wnd), std::vector<int>({50, 130, -1}));
  EXPECT_EQ(PartText(wnd, 0), L"x");
  bar->Panels()->Delete(2);
  EXPECT_EQ(Parts(wnd), std::vector<int>({50, -1}));
  // By name, as a skin reads them.
  EXPECT_EQ(GetWideStrProp(bar->Panels()->Items(1), "Text"), L"two");
  EXPECT_EQ(GetEnumProp(bar->Panels()->Items(1), "Bevel"), "pbRaised");
}

TEST_F(ComTabs, SimplePanelShowsTheSimpleText) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetText(L"panel");
  form->Show();
  EXPECT_FALSE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  ASSERT_TRUE(SetPropValue(bar, "SimplePanel", "True"));
  ASSERT_TRUE(SetWideStrProp(bar, "SimpleText", L"\u6625\u5929"));
  EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  // While simple, the bar answers for its one part whatever index is asked.
  EXPECT_EQ(PartText(bar->Handle(), 0), L"\u6625\u5929");
  EXPECT_EQ(GetWideStrProp(bar, "SimpleText"), L"\u6625\u5929");
  bar->SetSimplePanel(false);
  EXPECT_EQ(PartText(bar->Handle(), 0), L"panel");
  EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  bar->SetSizeGrip(false);
  EXPECT_FALSE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_EQ(PartText(bar->Handle(), 0), L"panel");
}

TEST_F(ComTabs, OwnerDrawnPanelIsPaintedByOnDrawPanel) {
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetWidth(60);
  bar->Panels()->Add()->SetStyle(psOwnerDraw);
  std::vector<int> drawn;
  bar->OnDrawPanel = [&](TCustomStatusBar* sb, TStatusPanel* p, const TRect& r) {
    drawn.push_back(p->Index());
    sb->Canvas()->Brush()->SetColor(clRed);
    sb->Canvas()->FillRect(r);
  };
  form->Show();
  UpdateWindow(bar->Handle());
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);
}

}  // namespace
