// The other common controls: custom draw reflected to the track bar and the tool bar, scroll
// and click notifications reaching their controls, properties by name reaching the system
// windows, list and tree items kept across a re-created window, the date conversions, rich
// and plain text, the media player's buttons, and a form file holding one of each.
#include <gtest/gtest.h>

#include "tests/support/dib.h"

#include <string>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/mplayer.h"
#include "classlib/core/form_file.h"
#include "tests/classlib/controls/form_test.h"
#include "tests/support/message_log.h"
#include "tests/classlib/controls/modal_answers.h"

namespace {

class ComControls : public FormTest {
protected:
  ComControls() : FormTest(0, 0, 500, 400) {}
  static void Repaint(TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  static DWORD Style(TWinControl* c) { return DWORD(GetWindowLongW(c->Handle(), GWL_STYLE)); }
};

// --- Track bar ---

TEST_F(ComControls, TrackBarCustomDrawReachesItsWindowProc) {
  auto* tb = Make<TTrackBar>();
  form->Show();
  // A hook on WindowProc, as a skin puts it there: it asks for the item stages and answers them.
  struct Stage {
    DWORD stage;
    DWORD_PTR item;
  };
  std::vector<Stage> seen;
  TWndMethod saved = tb->WindowProc();
  tb->SetWindowProc(TWndMethod(
      [&](TMessage& m) {
        if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == UINT(NM_CUSTOMDRAW)) {
          auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(m.LParam);
          seen.push_back({cd->dwDrawStage, cd->dwItemSpec});
          m.Result = cd->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
          return;
        }
        saved(m);
      },
      &seen));
  Repaint(tb);
  tb->SetWindowProc(saved);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().stage, DWORD(CDDS_PREPAINT));
  bool channel = false, thumb = false;
  for (const Stage& s : seen) {
    if (s.stage != CDDS_ITEMPREPAINT) continue;
    channel |= s.item == TBCD_CHANNEL;
    thumb |= s.item == TBCD_THUMB;
  }
  EXPECT_TRUE(channel);
  EXPECT_TRUE(thumb);
}

TEST_F(ComControls, TrackBarScrollMovesPositionAndFiresChangeOnce) {
  auto* tb = Make<TTrackBar>();
  ASSERT_TRUE(SetPropValue(tb, "Max", "20"));
  ASSERT_TRUE(SetPropValue(tb, "Position", "5"));
  form->Show();
  int changes = 0;
  tb->OnChange = [&](TObject*) { ++changes; };
  // The user's keys move the thumb; the bar tells its parent with WM_HSCROLL.
  SendMessageW(tb->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(tb->Position(), 6);
  EXPECT_EQ(changes, 1);
  SendMessageW(tb->Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(tb->Position(), 20);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(SendMessageW(tb->Handle(), TBM_GETRANGEMAX, 0, 0), 20);
  // Vertical orientation and tick styles reach the window.
  ASSERT_TRUE(SetPropValue(tb, "Orientation", "trVertical"));
  EXPECT_TRUE(Style(tb) & TBS_VERT);
  EXPECT_EQ(SendMessageW(tb->Handle(), TBM_GETPOS, 0, 0), 20);
  ASSERT_TRUE(SetPropValue(tb, "TickStyle", "tsNone"));
  EXPECT_TRUE(Style(tb) & TBS_NOTICKS);
  EXPECT_EQ(changes, 2);
}

// --- Up-down and progress bar ---

TEST_F(ComControls, UpDownAssociateTakesTheBuddyAndClicksReportTheArrow) {
  auto* buddy = Make<TMemo>(10, 10);
  buddy->SetWordWrap(false);
  auto* ud = Make<TUpDown>(200, 10);
  ud->SetMax(3);
  ud->SetAssociate(buddy);
  form->Show();
  EXPECT_EQ(HWND(SendMessageW(ud->Handle(), UDM_GETBUDDY, 0, 0)), buddy->Handle());
  std::vector<TUDBtnType> clicks;
  ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
  RECT r{};
  GetClientRect(ud->Handle(), &r);
  auto click = [&](int y) {
    SendMessageW(ud->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, y));
    SendMessageW(ud->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, y));
  };
  click(2);
  click(2);
  click(r.bottom - 2);
  EXPECT_EQ(clicks, std::vector<TUDBtnType>({udBtnNext, udBtnNext, udBtnPrev}));
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(buddy->Text(), L"1");
  // Freeing the associate leaves no dangling buddy.
  buddy->Free();
  EXPECT_EQ(ud->Associate(), nullptr);
}

TEST_F(ComControls, ProgressBarPropertiesByName) {
  auto* pb = Make<TProgressBar>();
  form->Show();
  struct Case {
    const char* prop;
    const char* value;
    UINT msg;
    LRESULT expected;
  } cases[] = {
      {"Max", "50", PBM_GETRANGE, 50},
      {"Position", "40", PBM_GETPOS, 40},
      {"Position", "99", PBM_GETPOS, 50},  // clamped to Max
      {"Min", "45", PBM_GETPOS, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + "=" + c.value);
    ASSERT_TRUE(SetPropValue(pb, c.prop, c.value));
    LRESULT got = c.msg == PBM_GETRANGE ? SendMessageW(pb->Handle(), PBM_GETRANGE, FALSE, 0)
                                        : SendMessageW(pb->Handle(), c.msg, 0, 0);
    EXPECT_EQ(got, c.expected);
  }
  pb->SetPosition(45);
  pb->SetStep(3);
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 48);
  pb->StepIt();
  EXPECT_EQ(pb->Position(), 50);
  ASSERT_TRUE(SetPropValue(pb, "Orientation", "pbVertical"));
  EXPECT_TRUE(Style(pb) & PBS_VERTICAL);
  EXPECT_EQ(SendMessageW(pb->Handle(), PBM_GETPOS, 0, 0), 50);
}

// --- Tool bar ---

TEST_F(ComControls, ToolButtonsReachTheBarAndClicksReachTheButton) {
  auto* bar = Make<TToolBar>();
  bar->SetShowCaptions(true);
  std::vector<std::string> log;
  TToolButton* buttons[3];
  const wchar_t* captions[] = {L"one", L"\u4e8c", L"three"};
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TToolButton(form);
    buttons[i]->SetCaption(captions[i]);
    buttons[i]->SetParent(bar);
    buttons[i]->OnClick = [&log, i](TObject*) { log.push_back("click " + std::to_string(i)); };
  }
  buttons[2]->SetStyle(tbsCheck);
  form->Show();
  HWND wnd = bar->Handle();
  ASSERT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 3);
  wchar_t text[32] = {};
  SendMessageW(wnd, TB_GETBUTTONTEXTW, WPARAM(buttons[1]->CommandId()), LPARAM(text));
  EXPECT_STREQ(text, L"\u4e8c");
  // Each button's bounds are its place on the bar.
  RECT r{};
  SendMessageW(wnd, TB_GETITEMRECT, 1, LPARAM(&r));
  EXPECT_EQ(buttons[1]->BoundsRect(), Rect(r.left, r.top, r.right, r.bottom));
  auto click = [&](TToolButton* b) {
    LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(wnd, WM_LBUTTONUP, 0, at);
  };
  click(buttons[1]);
  click(buttons[2]);
  EXPECT_EQ(log, std::vector<std::string>({"click 1", "click 2"}));
  EXPECT_TRUE(buttons[2]->Down());
  // A hidden button stays on the bar, hidden; a freed one leaves it.
  buttons[0]->SetVisible(false);
  TBBUTTON tb{};
  SendMessageW(wnd, TB_GETBUTTON, 0, LPARAM(&tb));
  EXPECT_TRUE(tb.fsState & TBSTATE_HIDDEN);
  buttons[1]->Free();
  EXPECT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_TRUE(buttons[2]->Down());
}

TEST_F(ComControls, ToolBarCustomDrawEventsGetTheBarAndEachButton) {
  auto* bar = Make<TToolBar>();
  ASSERT_TRUE(SetPropValue(bar, "Flat", "True"));
  auto* b = new TToolButton(form);
  b->SetParent(bar);
  int whole = 0;
  std::vector<TToolButton*> drawn;
  bar->OnCustomDraw = [&](TToolBar* sender, const TRect& r, bool& defaultDraw) {
    EXPECT_EQ(sender, bar);
    EXPECT_EQ(r, bar->ClientRect());
    ++whole;
    defaultDraw = true;
  };
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* button, TCustomDrawState, bool&) { drawn.push_back(button); };
  form->Show();
  EXPECT_TRUE(Style(bar) & TBSTYLE_FLAT);
  Repaint(bar);
  EXPECT_GE(whole, 1);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), b);
  EXPECT_EQ(CustomDrawState(CDIS_SELECTED | CDIS_HOT), TCustomDrawState({cdsSelected, cdsHot}));
}

TEST_F(ComControls, ToolBarMenuMakesOneButtonPerTopItem) {
  auto* menu = new TMainMenu(form);
  int clicked = 0;
  for (const wchar_t* caption : {L"&File", L"&Edit"}) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    item->OnClick = [&](TObject*) { ++clicked; };
    menu->Items()->Add(item);
  }
  auto* bar = Make<TToolBar>();
  bar->SetMenu(menu);
  form->Show();
  ASSERT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->Buttons(1)->MenuItem(), menu->Items()->Items(1));
  EXPECT_EQ(bar->Buttons(1)->Caption(), L"&Edit");
  bar->Buttons(0)->Click();
  EXPECT_EQ(clicked, 1);
  // An item with a sub-menu opens it below its button; the chosen sub-item is clicked.
  auto* sub = new TMenuItem(form);
  sub->SetCaption(L"Open");
  int opened = 0;
  sub->OnClick = [&](TObject*) { ++opened; };
  menu->Items()->Items(0)->Add(sub);
  {
    TModalAnswers answers(sub->Command());
    bar->Buttons(0)->Click();
    ASSERT_EQ(answers.requests.size(), 1u);
    EXPECT_EQ(answers.requests[0].Kind, mkPopupMenu);
    TToolButton* b = bar->Buttons(0);
    TPoint below = bar->ClientToScreen({b->Left(), b->Top() + b->Height()});
    EXPECT_EQ(answers.requests[0].X, below.X);
    EXPECT_EQ(answers.requests[0].Y, below.Y);
  }
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(clicked, 2);
  bar->SetMenu(nullptr);
  EXPECT_EQ(bar->ButtonCount(), 0);
}

// --- Header ---

TEST_F(ComControls, HeaderSectionsReachTheWindowAndReportClicksAndResizes) {
  auto* h = Make<THeaderControl>();
  THeaderSection* s0 = h->Sections()->Add();
  s0->SetText(L"\u540d");
  s0->SetWidth(80);
  THeaderSection* s1 = h->Sections()->Add();
  s1->SetText(L"two");
  s1->SetAlignment(taRightJustify);
  form->Show();
  HWND wnd = h->Handle();
  ASSERT_EQ(SendMessageW(wnd, HDM_GETITEMCOUNT, 0, 0), 2);
  wchar_t text[16] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  item.pszText = text;
  item.cchTextMax = 16;
  SendMessageW(wnd, HDM_GETITEMW, 1, LPARAM(&item));
  EXPECT_STREQ(text, L"two");
  EXPECT_EQ(item.cxy, 50);
  EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
  EXPECT_EQ(s1->Left(), 80);
  std::vector<std::string> log;
  h->OnSectionClick = [&](THeaderControl*, THeaderSection* s) { log.push_back("click " + std::to_string(s->Index())); };
  h->OnSectionResize = [&](THeaderControl*, THeaderSection* s) {
    log.push_back("resize " + std::to_string(s->Width()));
  };
  // The window reports a new width itself.
  HDITEMW w{};
  w.mask = HDI_WIDTH;
  w.cxy = 120;
  SendMessageW(wnd, HDM_SETITEMW, 0, LPARAM(&w));
  EXPECT_EQ(s0->Width(), 120);
  // A click in the middle of the second section.
  RECT r{};
  SendMessageW(wnd, HDM_GETITEMRECT, 1, LPARAM(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(wnd, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(log, std::vector<std::string>({"resize 120", "click 1"}));
  EXPECT_EQ(GetWideStrProp(h->Sections()->Items(0), "Text"), L"\u540d");
}

// --- List view and tree view ---

WideString ItemText(HWND lv, int item, int sub) {
  wchar_t buf[64] = {};
  LVITEMW it{};
  it.iSubItem = sub;
  it.pszText = buf;
  it.cchTextMax = 64;
  SendMessageW(lv, LVM_GETITEMTEXTW, WPARAM(item), LPARAM(&it));
  return buf;
}

TEST_F(ComControls, ListViewColumnsItemsAndSelectionSurviveANewWindow) {
  auto* lv = Make<TListView>();
  lv->SetViewStyle(vsReport);
  lv->Columns()->Add()->SetCaption(L"Name");
  lv->Columns()->Add()->SetCaption(L"Value");
  for (const wchar_t* name : {L"a", L"\u97f5", L"c"}) {
    TListItem* it = lv->Items()->Add();
    it->SetCaption(name);
    it->SubItems()->Add(WideString(name) + L"!");
  }
  std::vector<std::string> log;
  lv->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
    log.push_back(WideToAnsi(item->Caption()) + (selected ? " on" : " off"));
  };
  form->Show();
  HWND wnd = lv->Handle();
  ASSERT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ItemText(wnd, 1, 0), L"\u97f5");
  EXPECT_EQ(ItemText(wnd, 1, 1), L"\u97f5!");
  lv->Items()->Item(2)->SetSelected(true);
  EXPECT_EQ(log, std::vector<std::string>({"c on"}));
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
  lv->Items()->Item(0)->SubItems()->SetStrings(0, L"changed");
  EXPECT_EQ(ItemText(wnd, 0, 1), L"changed");
  // A new view style makes a new window; everything comes back.
  ASSERT_TRUE(SetPropValue(lv, "ViewStyle", "vsList"));
  EXPECT_NE(lv->Handle(), nullptr);
  EXPECT_EQ(Style(lv) & LVS_TYPEMASK, DWORD(LVS_LIST));
  EXPECT_EQ(SendMessageW(lv->Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
  lv->Items()->Delete(0);
  EXPECT_EQ(ItemText(lv->Handle(), 0, 0), L"\u97f5");
  EXPECT_THROW(lv->Items()->Item(5), EListError);
}

TEST_F(ComControls, TreeViewNodesSelectionAndExpansion) {
  auto* tv = Make<TTreeView>();
  TTreeNode* root = tv->Items()->AddChild(nullptr, L"root");
  TTreeNode* a = tv->Items()->AddChild(root, L"a");
  tv->Items()->AddChild(a, L"a1");
  tv->Items()->Add(root, L"second");
  root->SetExpanded(true);
  std::vector<std::string> log;
  tv->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + WideToAnsi(n ? n->Text() : L"-")); };
  tv->OnExpanded = [&](TObject*, TTreeNode* n) { log.push_back("expanded " + WideToAnsi(n->Text())); };
  form->Show();
  // Writing the nodes into the new window fires nothing; the focus may select the first node.
  EXPECT_TRUE(log.empty() || log == std::vector<std::string>({"change root"}));
  log.clear();
  HWND wnd = tv->Handle();
  EXPECT_EQ(SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(tv->Items()->Count(), 4);
  EXPECT_EQ(tv->Items()->Item(2)->Text(), L"a1");
  EXPECT_EQ(tv->Items()->Item(2)->Level(), 2);
  EXPECT_TRUE(root->Expanded());
  a->SetSelected(true);
  a->Expand(false);
  EXPECT_EQ(log, std::vector<std::string>({"change a", "expanded a"}));
  // The tree comes back in a new window, expanded and selected as it was.
  ASSERT_TRUE(SetPropValue(tv, "ShowLines", "False"));
  EXPECT_FALSE(Style(tv) & TVS_HASLINES);
  EXPECT_EQ(SendMessageW(tv->Handle(), TVM_GETCOUNT, 0, 0), 4);
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(tv->Selected(), a);
  // Deleting the selected node's parent leaves no deleted node selected.
  tv->Items()->Delete(root);
  EXPECT_EQ(tv->Items()->Count(), 1);
  EXPECT_TRUE(tv->Selected() == nullptr || tv->Selected() == tv->Items()->Root(0));
  EXPECT_EQ(SendMessageW(tv->Handle(), TVM_GETCOUNT, 0, 0), 1);
}

// --- Date-time picker ---

TEST(ComDateTime, ConversionsFollowTheCalendar) {
  struct Case {
    TDateTime value;
    WORD y, m, d, h, mi, s, ms, dow;
  } cases[] = {
      {0.0, 1899, 12, 30, 0, 0, 0, 0, 6},
      {2.0, 1900, 1, 1, 0, 0, 0, 0, 1},
      {36526.5, 2000, 1, 1, 12, 0, 0, 0, 6},
      {45658.75, 2025, 1, 1, 18, 0, 0, 0, 3},
      {60.0, 1900, 2, 28, 0, 0, 0, 0, 3},
      {61.0, 1900, 3, 1, 0, 0, 0, 0, 4},
      {40000.0 + 1.0 / 86400000.0 * 1500, 2009, 7, 6, 0, 0, 1, 500, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    SYSTEMTIME st = DateTimeToSystemTime(c.value);
    EXPECT_EQ(st.wYear, c.y);
    EXPECT_EQ(st.wMonth, c.m);
    EXPECT_EQ(st.wDay, c.d);
    EXPECT_EQ(st.wHour, c.h);
    EXPECT_EQ(st.wMinute, c.mi);
    EXPECT_EQ(st.wSecond, c.s);
    EXPECT_EQ(st.wMilliseconds, c.ms);
    EXPECT_EQ(st.wDayOfWeek, c.dow);
    EXPECT_NEAR(SystemTimeToDateTime(st), c.value, 1e-9);
  }
}

TEST_F(ComControls, DateTimePickerKindModeAndValue) {
  auto* dt = Make<TDateTimePicker>();
  dt->SetDateTime(36526.25);
  form->Show();
  SYSTEMTIME st{};
  ASSERT_EQ(SendMessageW(dt->Handle(), DTM_GETSYSTEMTIME, 0, LPARAM(&st)), GDT_VALID);
  EXPECT_EQ(st.wYear, 2000);
  EXPECT_EQ(st.wHour, 6);
  EXPECT_DOUBLE_EQ(dt->Date(), 36526.0);
  EXPECT_DOUBLE_EQ(dt->Time(), 0.25);
  // Kind and mode as a skin reads them, kept across the new window.
  ASSERT_TRUE(SetPropValue(dt, "DateMode", "dmUpDown"));
  EXPECT_TRUE(Style(dt) & DTS_UPDOWN);
  ASSERT_TRUE(SetPropValue(dt, "Kind", "dtkTime"));
  EXPECT_TRUE(Style(dt) & DTS_TIMEFORMAT);
  EXPECT_EQ(GetEnumProp(dt, "Kind"), "dtkTime");
  EXPECT_DOUBLE_EQ(dt->DateTime(), 36526.25);
  // The value the user picks reaches the control with OnChange.
  int changes = 0;
  dt->OnChange = [&](TObject*) { ++changes; };
  NMDATETIMECHANGE n{};
  n.nmhdr.hwndFrom = dt->Handle();
  n.nmhdr.idFrom = UINT_PTR(GetDlgCtrlID(dt->Handle()));
  n.nmhdr.code = DTN_DATETIMECHANGE;
  n.dwFlags = GDT_VALID;
  n.st = DateTimeToSystemTime(40000.5);
  SendMessageW(form->Handle(), WM_NOTIFY, n.nmhdr.idFrom, LPARAM(&n));
  EXPECT_EQ(changes, 1);
  SendMessageW(dt->Handle(), DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&n.st));
  EXPECT_DOUBLE_EQ(dt->DateTime(), 40000.5);
}

// --- Rich edit ---

TEST_F(ComControls, RichEditReadsAndWritesRichAndPlainText) {
  auto* re = Make<TRichEdit>();
  form->Show();
  std::string rtf = "{\\rtf1\\ansi first line\\par second \\b bold\\b0\\par}";
  TMemoryStream in;
  WriteStreamBytes(in, rtf);
  in.SetPosition(0);
  re->Lines()->LoadFromStream(in);
  ASSERT_EQ(re->Lines()->Count(), 2);
  EXPECT_EQ(re->Lines()->Strings(0), L"first line");
  EXPECT_EQ(re->Lines()->Strings(1), L"second bold");
  TMemoryStream out;
  re->Lines()->SaveToStream(out);
  out.SetPosition(0);
  std::string saved = ReadStreamToEnd(out);
  EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
  EXPECT_NE(saved.find("\\b"), std::string::npos);
  // Rich text survives a new window.
  ASSERT_TRUE(SetPropValue(re, "HideScrollBars", "False"));
  re->SetScrollBars(ssVertical);
  EXPECT_TRUE(Style(re) & WS_VSCROLL);
  EXPECT_NE(re->RichText().find("\\b"), std::string::npos);
  EXPECT_EQ(re->Lines()->Strings(1), L"second bold");
  // Plain text is taken as it stands, and bytes that are no rich text as plain text.
  ASSERT_TRUE(SetPropValue(re, "PlainText", "True"));
  TMemoryStream plain;
  re->Lines()->SaveToStream(plain);
  plain.SetPosition(0);
  EXPECT_EQ(ReadStreamToEnd(plain), "first line\r\nsecond bold\r\n");
  re->SetPlainText(false);
  TMemoryStream text;
  WriteStreamBytes(text, "just text\r\nline two");
  text.SetPosition(0);
  re->Lines()->LoadFromStream(text);
  EXPECT_EQ(re->Lines()->Count(), 2);
  EXPECT_EQ(re->Lines()->Strings(1), L"line two");
  re->Lines()->Clear();
  re->Lines()->Add(L"\u6625");
  EXPECT_EQ(re->Text(), L"\u6625");
  // Changes inside an update reach the window once, at its end.
  re->Lines()->BeginUpdate();
  re->Lines()->Add(L"two");
  re->Lines()->Insert(0, L"zero");
  EXPECT_EQ(re->Lines()->Strings(2), L"two");
  EXPECT_EQ(re->Text(), L"\u6625");
  re->Lines()->Delete(1);
  re->Lines()->EndUpdate();
  EXPECT_EQ(re->Lines()->Count(), 2);
  EXPECT_EQ(re->Lines()->Strings(0), L"zero");
  EXPECT_EQ(re->Lines()->Strings(1), L"two");
}

// --- Media player ---

TEST(ComMediaPlayer, ButtonUnderAPointLeftOneOnTheBoundary) {
  TButtonSet three{btPlay, btStop, btEject};
  struct Case {
    TButtonSet visible;
    int x;
    int expected;
  } cases[] = {
      {three, 0, btPlay},   {three, 30, btPlay},  {three, 31, btStop},  {three, 60, btStop},
      {three, 89, btEject}, {three, 91, -1},      {TButtonSet{}, 5, -1}, {AllMPButtons(), 10, btPlay},
      {AllMPButtons(), 11, btPause},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(MPButtonAt(c.visible, 90, c.x), c.expected);
  }
}

TEST_F(ComControls, MediaPlayerClicksCompleteOnlyWhereTheyStarted) {
  auto* mp = Make<TMediaPlayer>();
  ASSERT_TRUE(SetSetProp(mp, "VisibleButtons", "[btPlay,btStop,btEject]"));
  ASSERT_TRUE(SetSetProp(mp, "EnabledButtons", "[btPlay,btEject]"));
  mp->SetWidth(90);
  EXPECT_EQ(GetSetProp(mp, "VisibleButtons"), "[btPlay,btStop,btEject]");
  std::vector<std::string> log;
  auto name = [](TMPBtnType b) { return GetEnumName(TEnumTraits<TMPBtnType>::Info(), b); };
  mp->OnClick = [&](TObject*, TMPBtnType b, bool&) { log.push_back("click " + name(b)); };
  mp->OnPostClick = [&](TObject*, TMPBtnType b) { log.push_back("post " + name(b)); };
  form->Show();
  EXPECT_EQ(mp->ButtonRect(btStop), Rect(30, 0, 60, 30));
  auto press = [&](int downX, int upX) {
    mp->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downX, 10));
    mp->Perform(WM_LBUTTONUP, 0, MAKELPARAM(upX, 10));
  };
  press(10, 20);  // play
  press(10, 40);  // pressed on play, released over stop: nothing
  press(40, 40);  // stop is disabled
  press(80, 85);  // eject
  EXPECT_EQ(log, std::vector<std::string>({"click btPlay", "post btPlay", "click btEject", "post btEject"}));
}

TEST_F(ComControls, MediaPlayerPaintsItsButtonsByState) {
  auto* mp = Make<TMediaPlayer>(0, 0);
  mp->SetVisibleButtons({btPlay, btStop, btRecord});
  mp->SetEnabledButtons({btPlay, btRecord});
  mp->SetColoredButtons({btPlay});
  mp->SetBounds(0, 0, 90, 30);
  form->Show();
  TDib target(90, 30, 0);
  SendMessageW(mp->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  auto pixel = [&](int x, int y) { return target.At(x, y); };
  // The centre of each button's glyph: coloured, disabled, enabled but not coloured.
  EXPECT_EQ(pixel(15, 15), GdiColor(clGreen));
  EXPECT_EQ(pixel(45, 15), GdiColor(clGrayText));
  EXPECT_EQ(pixel(75, 15), GdiColor(clBlack));
  // Between the glyphs lies the button face.
  EXPECT_EQ(pixel(5, 15), GdiColor(clBtnFace));
}

// --- A form file with one of each ---

class TComForm : public TForm {
  KARO_CLASS(TComForm)
public:
  using TForm::TForm;
  int shows = 0;
  void TabSheet1Show(TObject*) { ++shows; }
};

}  // namespace

KARO_CLASS_PROPS(TComForm, TForm, Method("TabSheet1Show", &TComForm::TabSheet1Show))

namespace {

const char* kComFormText = R"(object ComForm: TComForm
  Left = 0
  Top = 0
  Width = 600
  Height = 500
  object StatusBar: TStatusBar
    Panels = <
      item
        Text = 'one'
        Width = 120
      end
      item
        Bevel = pbRaised
        Width = 50
      end>
  end
  object PageControl: TPageControl
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    ActivePage = TabSheet2
    TabPosition = tpBottom
    object TabSheet1: TTabSheet
      Caption = 'First'
      OnShow = TabSheet1Show
      object TrackBar1: TTrackBar
        Max = 30
        Position = 12
      end
    end
    object TabSheet2: TTabSheet
      Caption = #26149
      object RichEdit1: TRichEdit
        Lines.Strings = (
          'rich')
      end
    end
  end
  object ToolBar1: TToolBar
    Flat = True
    object ToolButton1: TToolButton
      Caption = 'tb'
      Style = tbsCheck
    end
  end
  object UpDown1: TUpDown
    Left = 310
    Max = 9
  end
  object ProgressBar1: TProgressBar
    Left = 330
    Position = 30
  end
  object Header1: THeaderControl
    Sections = <
      item
        Text = 'h'
        Width = 70
      end>
  end
  object ListView1: TListView
    Left = 310
    Top = 40
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'c1'
        Width = 90
      end>
  end
  object TreeView1: TTreeView
    Left = 310
    Top = 200
  end
  object DateTimePicker1: TDateTimePicker
    Left = 310
    Top = 320
    Kind = dtkTime
  end
  object TabControl1: TTabControl
    Left = 10
    Top = 250
    Tabs.Strings = (
      'x'
      'y')
    TabIndex = 1
  end
  object MediaPlayer1: TMediaPlayer
    Left = 10
    Top = 360
    VisibleButtons = [btPlay, btStop]
  end
end
)";

TEST_F(ComControls, FormFileHoldingOneOfEachReadsIntoTheExpectedTree) {
  auto* f = new TComForm(nullptr);
  ReadComponentText(kComFormText, f);
  auto find = [&](const char* name) { return f->FindComponent(name); };
  auto* pc = dyn<TPageControl>(find("PageControl"));
  ASSERT_NE(pc, nullptr);
  ASSERT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->Pages(0)->Name(), "TabSheet1");
  EXPECT_EQ(pc->Pages(1)->Caption(), L"\u6625");
  EXPECT_EQ(pc->ActivePage(), find("TabSheet2"));
  EXPECT_EQ(pc->TabPosition(), tpBottom);
  auto* tb = dyn<TTrackBar>(find("TrackBar1"));
  ASSERT_NE(tb, nullptr);
  EXPECT_EQ(tb->Parent(), pc->Pages(0));
  EXPECT_EQ(tb->Position(), 12);
  auto* bar = dyn<TStatusBar>(find("StatusBar"));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->Panels()->Count(), 2);
  EXPECT_EQ(bar->Panels()->Items(0)->Text(), L"one");
  EXPECT_EQ(bar->Panels()->Items(1)->Bevel(), pbRaised);
  auto* toolBar = dyn<TToolBar>(find("ToolBar1"));
  ASSERT_NE(toolBar, nullptr);
  ASSERT_EQ(toolBar->ButtonCount(), 1);
  EXPECT_EQ(toolBar->Buttons(0)->Style(), tbsCheck);
  EXPECT_TRUE(toolBar->Flat());
  EXPECT_EQ(dyn<TUpDown>(find("UpDown1"))->Max(), 9);
  EXPECT_EQ(dyn<TProgressBar>(find("ProgressBar1"))->Position(), 30);
  EXPECT_EQ(dyn<THeaderControl>(find("Header1"))->Sections()->Items(0)->Width(), 70);
  auto* lv = dyn<TListView>(find("ListView1"));
  ASSERT_NE(lv, nullptr);
  EXPECT_EQ(lv->ViewStyle(), vsReport);
  EXPECT_EQ(lv->Columns()->Items(0)->Caption(), L"c1");
  EXPECT_NE(dyn<TTreeView>(find("TreeView1")), nullptr);
  EXPECT_EQ(dyn<TDateTimePicker>(find("DateTimePicker1"))->Kind(), dtkTime);
  auto* tc = dyn<TTabControl>(find("TabControl1"));
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(tc->Tabs()->Count(), 2);
  EXPECT_EQ(tc->TabIndex(), 1);
  auto* mp = dyn<TMediaPlayer>(find("MediaPlayer1"));
  ASSERT_NE(mp, nullptr);
  EXPECT_EQ(mp->VisibleButtons(), TButtonSet({btPlay, btStop}));
  auto* re = dyn<TRichEdit>(find("RichEdit1"));
  ASSERT_NE(re, nullptr);
  EXPECT_EQ(re->Lines()->Strings(0), L"rich");
  // Shown, the active page is the second: the first page's OnShow waits for its page.
  f->Show();
  EXPECT_EQ(f->shows, 0);
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(tc->Handle(), TCM_GETCURSEL, 0, 0), 1);
  pc->SetActivePageIndex(0);
  EXPECT_EQ(f->shows, 1);
  // Written back and read again, the tree is the same.
  std::string text = WriteComponentText(f);
  auto* g = new TComForm(nullptr);
  ReadComponentText(text, g);
  EXPECT_EQ(WriteComponentText(g), text);
  g->Free();
  f->Free();
}

}  // namespace
