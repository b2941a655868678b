// The standard controls on real system windows: properties read and written by name, the
// combo box's change rules, check-box states, radio buttons, notifications reflected back to the
// control, Enter and Escape for default and cancel buttons, list items across a new window.
#include <gtest/gtest.h>

#include <algorithm>

#include "classlib/controls/buttons.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "tests/classlib/controls/form_test.h"
#include "tests/support/message_log.h"
#include "tests/support/dib.h"

namespace {

class StdControls : public FormTest {
protected:
  StdControls() : FormTest(10, 10, 400, 300) {}
  void ShowForm() {
    form->Show();
    Pump();
  }
  // Runs a key through the program's message loop, as a user's key would come.
  void PressKey(HWND wnd, WORD key) {
    PostMessageW(wnd, WM_KEYDOWN, key, 1);
    PostMessageW(wnd, WM_KEYUP, key, LPARAM(0xC0000001));
    Application->ProcessMessages();
  }
};

// --- Published properties by name ---

struct TPropCase {
  const char* Class;
  const char* Prop;
  const char* Value;  // written with SetPropValue, read back with GetPropValue
};

TEST_F(StdControls, PublishedPropertiesReadAndWriteByName) {
  const TPropCase cases[] = {
      {"TLabel", "Caption", "Name:"},       {"TLabel", "Alignment", "taCenter"},
      {"TLabel", "Transparent", "True"},    {"TLabel", "Layout", "tlCenter"},
      {"TLabel", "ParentColor", "False"},   {"TEdit", "Text", "abc"},
      {"TEdit", "BorderStyle", "bsNone"},   {"TEdit", "ReadOnly", "True"},
      {"TEdit", "MaxLength", "12"},         {"TEdit", "PasswordChar", "*"},
      {"TMemo", "ScrollBars", "ssVertical"}, {"TMemo", "WordWrap", "False"},
      {"TButton", "Caption", "OK"},         {"TButton", "Default", "True"},
      {"TButton", "Cancel", "True"},        {"TButton", "ModalResult", "2"},
      {"TBitBtn", "Layout", "blGlyphTop"},  {"TBitBtn", "Margin", "-1"},
      {"TBitBtn", "Spacing", "-1"},         {"TBitBtn", "NumGlyphs", "4"},
      {"TBitBtn", "Kind", "bkCancel"},      {"TSpeedButton", "Flat", "True"},
      {"TSpeedButton", "GroupIndex", "3"},  {"TSpeedButton", "Layout", "blGlyphBottom"},
      {"TSpeedButton", "Caption", "Go"},    {"TCheckBox", "State", "cbGrayed"},
      {"TCheckBox", "Checked", "True"},     {"TCheckBox", "Alignment", "taLeftJustify"},
      {"TRadioButton", "Checked", "True"},  {"TListBox", "Style", "lbOwnerDrawFixed"},
      {"TListBox", "Sorted", "True"},       {"TComboBox", "Style", "csDropDownList"},
      {"TComboBox", "DropDownCount", "12"}, {"TComboBox", "Text", "typed"},
      {"TScrollBar", "Kind", "sbVertical"}, {"TScrollBar", "Max", "50"},
      {"TGroupBox", "Caption", "Group"},    {"TRadioGroup", "Columns", "2"},
      {"TPanel", "BevelOuter", "bvLowered"}, {"TPanel", "BevelInner", "bvRaised"},
      {"TPanel", "BevelWidth", "3"},        {"TPanel", "ParentBackground", "True"},
      {"TPanel", "Alignment", "taLeftJustify"}, {"TScrollBox", "BorderStyle", "bsNone"},
      {"TImage", "Stretch", "True"},        {"TImage", "Center", "True"},
      {"TImage", "Transparent", "True"},
  };
  for (const TPropCase& c : cases) {
    SCOPED_TRACE(std::string(c.Class) + "." + c.Prop);
    TClass cls = GetClass(c.Class);
    ASSERT_NE(cls, nullptr);
    ASSERT_NE(cls->Create, nullptr);
    TComponent* comp = cls->Create(form);
    auto* control = dyn<TControl>(comp);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->ClassName(), c.Class);
    control->SetParent(form);
    EXPECT_TRUE(IsPublishedProp(control, c.Prop));
    EXPECT_TRUE(SetPropValue(control, c.Prop, c.Value));
    EXPECT_EQ(GetPropValue(control, c.Prop), c.Value);
    // The same with a window behind the control.
    if (auto* w = dyn<TWinControl>(control)) {
      w->HandleNeeded();
      EXPECT_EQ(GetPropValue(control, c.Prop), c.Value);
    }
    comp->Free();
  }
}

TEST_F(StdControls, ClassesDescendAsTheSkinsExpect) {
  struct {
    const char* Class;
    const char* Ancestor;
    bool Is;
  } const cases[] = {
      {"TBitBtn", "TButton", true},          {"TButton", "TButtonControl", true},
      {"TCheckBox", "TCustomCheckBox", true}, {"TRadioButton", "TCustomCheckBox", false},
      {"TRadioButton", "TButtonControl", true}, {"TMemo", "TCustomEdit", true},
      {"TMemo", "TCustomMemo", true},        {"TEdit", "TCustomMemo", false},
      {"TRadioGroup", "TCustomGroupBox", true}, {"TGroupBox", "TCustomGroupBox", true},
      {"TPanel", "TCustomPanel", true},      {"TListBox", "TCustomListBox", true},
      {"TComboBox", "TCustomComboBox", true}, {"TSpeedButton", "TGraphicControl", true},
      {"TLabel", "TGraphicControl", true},   {"TImage", "TGraphicControl", true},
      {"TScrollBox", "TWinControl", true},   {"TScrollBar", "TWinControl", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Class) + " / " + c.Ancestor);
    TClass cls = GetClass(c.Class);
    ASSERT_NE(cls, nullptr);
    TClass ancestor = nullptr;
    for (TClass p = cls; p; p = p->Parent)
      if (std::string(p->Name) == c.Ancestor) ancestor = p;
    EXPECT_EQ(ancestor != nullptr, c.Is);
  }
}

// --- Combo boxes ---

TEST_F(StdControls, ComboChangeFollowsTheUserNotTheCode) {
  for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(GetEnumName(TEnumTraits<TComboBoxStyle>::Info(), style));
    auto* combo = Make<TComboBox>();
    combo->SetStyle(style);
    for (const wchar_t* s : {L"\u6625", L"\u590f", L"\u79cb"}) combo->Items()->Add(s);
    int changes = 0;
    WideString textInHandler;
    combo->OnChange = [&](TObject*) {
      ++changes;
      textInHandler = combo->Text();
    };
    ShowForm();

    // Code changes nothing that the user would see as a change.
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), L"\u590f");
    combo->SetText(L"\u79cb");
    EXPECT_EQ(combo->Text(), L"\u79cb");
    // A list-only combo shows the item of that text; an editable one just shows the text.
    EXPECT_EQ(combo->ItemIndex(), style == csDropDownList ? 2 : 1);
    EXPECT_EQ(changes, 0);

    // The user moves the selection with the keyboard.
    int before = combo->ItemIndex();
    combo->SetFocus();
    HWND keys = combo->EditHandle() ? combo->EditHandle() : combo->Handle();
    PressKey(keys, VK_UP);
    ASSERT_EQ(combo->ItemIndex(), before - 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(textInHandler, combo->Items()->Strings(before - 1));

    if (style == csDropDown) {
      // Typing in the edit is a change too (over the whole text, selected first: whether the
      // system selects it after a choice depends on the focus, which other programs may hold).
      combo->SelectAll();
      SendMessageW(combo->EditHandle(), WM_CHAR, L'x', 1);
      SendMessageW(combo->EditHandle(), WM_CHAR, L'y', 1);
      EXPECT_EQ(changes, 3);
      EXPECT_EQ(combo->Text(), L"xy");
      // Emptying the list keeps what the edit shows.
      combo->Items()->Clear();
      EXPECT_EQ(combo->Items()->Count(), 0);
      EXPECT_EQ(combo->Text(), L"xy");
      EXPECT_EQ(changes, 3);
    }
    combo->Free();
  }
}

TEST_F(StdControls, ComboKeepsItemsIndexAndTextAcrossANewWindow) {
  auto* combo = Make<TComboBox>();
  combo->Items()->Add(L"b");
  combo->Items()->Add(L"a");
  combo->SetItemIndex(0);
  ShowForm();
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->Text(), L"b");
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items()->Strings(0), L"a");
  // Sorting keeps the chosen item.
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), L"b");
  EXPECT_EQ(combo->Items()->Add(L"ab"), 1);
  combo->SetText(L"free text");
  combo->SetStyle(csSimple);  // a new window
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->Text(), L"free text");
  wchar_t buf[8]{};
  SendMessageW(combo->Handle(), CB_GETLBTEXT, 1, LPARAM(buf));
  EXPECT_STREQ(buf, L"ab");
  EXPECT_NE(combo->EditHandle(), nullptr);
}

TEST_F(StdControls, ComboFocusInItsEditIsTheCombosFocus) {
  auto* edit = Make<TEdit>(10, 10);
  auto* combo = Make<TComboBox>(10, 40);
  ShowForm();
  edit->SetFocus();
  ASSERT_EQ(form->ActiveControl(), edit);
  ::SetFocus(combo->EditHandle());
  EXPECT_EQ(form->ActiveControl(), combo);
  EXPECT_TRUE(combo->Focused() || GetFocus() == combo->EditHandle());
  int keys = 0;
  combo->OnKeyPress = [&](TObject*, wchar_t& key) {
    ++keys;
    if (key == L'q') key = 0;
  };
  SendMessageW(combo->EditHandle(), WM_CHAR, L'q', 1);
  SendMessageW(combo->EditHandle(), WM_CHAR, L'w', 1);
  EXPECT_EQ(keys, 2);
  EXPECT_EQ(combo->Text(), L"w");
}

TEST_F(StdControls, ComboListDropsForDropDownCountItems) {
  auto* combo = Make<TComboBox>();
  for (int i = 0; i < 20; ++i) combo->Items()->Add(std::to_wstring(i));
  int drops = 0, closes = 0;
  combo->OnDropDown = [&](TObject*) { ++drops; };
  combo->OnCloseUp = [&](TObject*) { ++closes; };
  ShowForm();
  int height = combo->Height();
  int item = int(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
  WPARAM id = WPARAM(GetDlgCtrlID(combo->Handle()));
  for (int count : {5, 12, 30}) {
    SCOPED_TRACE(count);
    combo->SetDropDownCount(count);
    // The system tells the parent that the list is about to drop (no real drop: another
    // program's window may take the focus meanwhile and close it again).
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, CBN_DROPDOWN), LPARAM(combo->Handle()));
    RECT dropped{};
    SendMessageW(combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped));
    // The list the system drops shows count items, 20 at the most (the rectangle may or may
    // not take the edit in).
    int shown = std::min(count, 20);
    EXPECT_GE(dropped.bottom - dropped.top, item * shown);
    EXPECT_LE(dropped.bottom - dropped.top, height + item * shown + 8);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, CBN_CLOSEUP), LPARAM(combo->Handle()));
    // The combo itself keeps its size.
    EXPECT_EQ(combo->Height(), height);
  }
  EXPECT_EQ(drops, 3);
  EXPECT_EQ(closes, 3);
}

TEST_F(StdControls, OwnerDrawnItemsAreDrawnByTheControl) {
  auto* combo = Make<TComboBox>(10, 10);
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemHeight(20);
  auto* list = Make<TListBox>(10, 50);
  list->SetStyle(lbOwnerDrawVariable);
  for (const wchar_t* s : {L"a", L"bb"}) {
    combo->Items()->Add(s);
    list->Items()->Add(s);
  }
  list->OnMeasureItem = [&](TWinControl*, int index, int& height) { height = 10 + 5 * index; };
  std::vector<int> drawn;
  TOwnerDrawState lastState;
  combo->OnDrawItem = [&](TWinControl* c, int index, TRect r, TOwnerDrawState state) {
    EXPECT_EQ(c, combo);
    drawn.push_back(index);
    lastState = state;
    combo->Canvas()->FillRect(r);
  };
  ShowForm();
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 1, 0), 15);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 20);
  combo->SetItemIndex(1);
  drawn.clear();
  // The system's request to draw the edit part reaches the control.
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_COMBOBOX;
  d.CtlID = UINT(GetDlgCtrlID(combo->Handle()));
  d.itemID = 1;
  d.itemAction = ODA_DRAWENTIRE;
  d.itemState = ODS_SELECTED | ODS_COMBOBOXEDIT;
  d.hwndItem = combo->Handle();
  TDib target(50, 20, 0);
  d.hDC = target.DC;
  d.rcItem = {0, 0, 50, 20};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_DRAWITEM, d.CtlID, LPARAM(&d)), TRUE);
  ASSERT_EQ(drawn, std::vector<int>{1});
  EXPECT_TRUE(lastState.Contains(odSelected));
  EXPECT_TRUE(lastState.Contains(odComboBoxEdit));
  EXPECT_EQ(target.At(25, 10), GdiColor(clHighlight));
  // Without an OnDrawItem the list draws its items as the system would.
  d.CtlType = ODT_LISTBOX;
  d.CtlID = UINT(GetDlgCtrlID(list->Handle()));
  d.hwndItem = list->Handle();
  d.itemID = 0;
  d.itemState = 0;
  SendMessageW(form->Handle(), WM_DRAWITEM, d.CtlID, LPARAM(&d));
  EXPECT_EQ(target.At(45, 18), GdiColor(clWindow));
}

TEST_F(StdControls, LabelsSizeToTheirCaptionAndHandTheirAcceleratorOn) {
  auto* label = Make<TLabel>(10, 10);
  auto* edit = Make<TEdit>(10, 40);
  auto* other = Make<TEdit>(10, 70);
  label->SetCaption(L"&Name");
  label->SetFocusControl(edit);
  int shortWidth = label->Width();
  label->SetCaption(L"&Name and more");
  EXPECT_GT(label->Width(), shortWidth);
  label->SetAutoSize(false);
  label->SetWidth(30);
  label->SetCaption(L"&Name");
  EXPECT_EQ(label->Width(), 30);
  ShowForm();
  other->SetFocus();
  // Alt+N goes to the label's control.
  EXPECT_NE(form->Perform(CM_DIALOGCHAR, L'n', 0), 0);
  EXPECT_EQ(form->ActiveControl(), edit);
  // The control going away leaves the label without one.
  edit->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, L'n', 0), 0);
}

TEST_F(StdControls, LabelsPaintOnTheirParentUnlessTransparent) {
  form->SetColor(clWhite);
  auto* label = Make<TLabel>(0, 0);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 60, 20);
  label->SetCaption(L"");
  label->SetParentColor(false);
  label->SetColor(clYellow);
  ShowForm();
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent);
    label->SetTransparent(transparent);
    TDib target(100, 40, 0);
    SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(target.At(30, 10), GdiColor(transparent ? clWhite : clYellow));
    EXPECT_EQ(target.At(80, 30), GdiColor(clWhite));
  }
}

// --- Check boxes and radio buttons ---

TEST_F(StdControls, CheckBoxClicksStepThroughItsStates) {
  struct {
    bool AllowGrayed;
    TCheckBoxState Expected[4];
  } const cases[] = {
      {false, {cbChecked, cbUnchecked, cbChecked, cbUnchecked}},
      {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.AllowGrayed ? "grayed allowed" : "two states");
    auto* box = Make<TCheckBox>();
    box->SetAllowGrayed(c.AllowGrayed);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    ShowForm();
    for (int i = 0; i < 4; ++i) {
      SendMessageW(box->Handle(), BM_CLICK, 0, 0);
      EXPECT_EQ(box->State(), c.Expected[i]);
      EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), LRESULT(c.Expected[i]));
      EXPECT_EQ(box->Checked(), c.Expected[i] == cbChecked);
    }
    EXPECT_EQ(clicks, 4);
    // What the skins read: the state's name.
    box->SetState(cbGrayed);
    EXPECT_EQ(GetEnumProp(box, "State"), "cbGrayed");
    box->SetChecked(true);
    EXPECT_EQ(GetEnumProp(box, "State"), "cbChecked");
    EXPECT_EQ(GetEnumProp(box, "Checked"), "True");
    box->Free();
  }
}

TEST_F(StdControls, RadioButtonsBesideEachOtherAreExclusive) {
  TRadioButton* r[3];
  for (int i = 0; i < 3; ++i) r[i] = Make<TRadioButton>(10, 10 + 20 * i);
  auto* panel = Make<TPanel>(200, 10);
  auto* other = new TRadioButton(form);
  other->SetParent(panel);
  other->SetChecked(true);
  int clicks = 0;
  r[1]->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  r[0]->SetChecked(true);
  EXPECT_TRUE(r[0]->TabStop());
  SendMessageW(r[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_TRUE(r[1]->Checked());
  EXPECT_FALSE(r[0]->TabStop());
  EXPECT_TRUE(r[1]->TabStop());
  EXPECT_EQ(SendMessageW(r[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(r[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(clicks, 1);
  // A radio button on another parent is of another group.
  EXPECT_TRUE(other->Checked());
}

// --- Reflected notifications ---

TEST_F(StdControls, NotificationsOfTheSystemWindowsComeBackAsComponentMessages) {
  auto* button = Make<TButton>();
  auto* edit = Make<TEdit>(10, 50);
  auto* list = Make<TListBox>(10, 80);
  list->Items()->Add(L"one");
  list->Items()->Add(L"two");
  auto* bar = Make<TScrollBar>(150, 10);
  ShowForm();
  TMessageLog buttonLog({CN_COMMAND}), editLog({CN_COMMAND}), listLog({CN_COMMAND}),
      barLog({CN_HSCROLL, CN_VSCROLL});
  TWindowRecorder r1(button->Handle(), buttonLog), r2(edit->Handle(), editLog), r3(list->Handle(), listLog),
      r4(bar->Handle(), barLog);
  int buttonClicks = 0, editChanges = 0, listClicks = 0, barChanges = 0;
  button->OnClick = [&](TObject*) { ++buttonClicks; };
  edit->OnChange = [&](TObject*) { ++editChanges; };
  list->OnClick = [&](TObject*) { ++listClicks; };
  bar->OnChange = [&](TObject*) { ++barChanges; };

  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  SetWindowTextW(edit->Handle(), L"x");
  // A click on the second item of the list.
  TRect item = list->ItemRect(1);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.Left + 2, item.Top + 2));
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(item.Left + 2, item.Top + 2));
  SendMessageW(form->Handle(), WM_HSCROLL, SB_LINEDOWN, LPARAM(bar->Handle()));

  EXPECT_TRUE(SequenceIs(buttonLog, {{CN_COMMAND, sent | wparam, MAKEWPARAM(0, BN_CLICKED) | GetDlgCtrlID(button->Handle())}}));
  EXPECT_TRUE(SequenceIs(editLog, {{CN_COMMAND, sent | optional}, {CN_COMMAND, sent}, {CN_COMMAND, sent | optional}}));
  EXPECT_TRUE(SequenceIs(listLog, {{CN_COMMAND, sent | optional}, {CN_COMMAND, sent}, {CN_COMMAND, sent | optional}}));
  EXPECT_TRUE(SequenceIs(barLog, {{CN_HSCROLL, sent | wparam, SB_LINEDOWN}}));
  EXPECT_EQ(buttonClicks, 1);
  EXPECT_EQ(editChanges, 1);
  EXPECT_EQ(listClicks, 1);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(barChanges, 1);
  EXPECT_EQ(bar->Position(), 1);
}

// --- Dialog keys ---

TEST_F(StdControls, EnterAndEscapePressTheDefaultAndCancelButtons) {
  auto* edit = Make<TEdit>(10, 10);
  auto* ok = Make<TButton>(10, 40);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Make<TButton>(100, 40);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  auto* other = Make<TButton>(200, 40);
  int okClicks = 0, cancelClicks = 0, otherClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  other->OnClick = [&](TObject*) { ++otherClicks; };
  ShowForm();
  edit->SetFocus();
  EXPECT_TRUE(ok->Active());
  EXPECT_EQ(GetWindowLongW(ok->Handle(), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);

  PressKey(edit->Handle(), VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  PressKey(edit->Handle(), VK_ESCAPE);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);

  // A focused button is the one Enter presses; the default button waits.
  other->SetFocus();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  EXPECT_EQ(GetWindowLongW(ok->Handle(), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
  PressKey(other->Handle(), VK_RETURN);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(okClicks, 1);

  // A disabled default button is not pressed.
  edit->SetFocus();
  ok->SetEnabled(false);
  PressKey(edit->Handle(), VK_RETURN);
  EXPECT_EQ(okClicks, 1);
}

TEST_F(StdControls, MemoKeepsEnterAndTabWhenItWantsThem) {
  auto* memo = Make<TMemo>(10, 10);
  auto* ok = Make<TButton>(10, 120);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  memo->SetFocus();
  PressKey(memo->Handle(), VK_RETURN);
  EXPECT_EQ(clicks, 0);
  memo->SetWantReturns(false);
  PressKey(memo->Handle(), VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageW(memo->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
  memo->SetWantTabs(true);
  EXPECT_NE(SendMessageW(memo->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
}

TEST_F(StdControls, TabWalksTheControlsThatTakeTheFocus) {
  Make<TLabel>(10, 10);
  auto* edit = Make<TEdit>(10, 30);
  auto* combo = Make<TComboBox>(10, 60);
  auto* group = Make<TGroupBox>(10, 90);
  auto* check = new TCheckBox(form);
  check->SetParent(group);
  auto* radio1 = new TRadioButton(form);
  radio1->SetParent(group);
  radio1->SetTop(40);
  auto* radio2 = new TRadioButton(form);
  radio2->SetParent(group);
  radio2->SetTop(60);
  radio2->SetChecked(true);
  auto* button = Make<TButton>(250, 10);
  ShowForm();
  edit->SetFocus();
  // The label, the group box and the unchecked radio button are no tab stops.
  TWinControl* expected[] = {combo, check, radio2, button, edit};
  for (TWinControl* next : expected) {
    PressKey(form->ActiveControl()->Handle(), VK_TAB);
    EXPECT_EQ(form->ActiveControl(), next) << next->ClassName();
  }
  // The arrows move among the radio buttons of a group.
  radio2->SetFocus();
  PressKey(radio2->Handle(), VK_UP);
  EXPECT_EQ(form->ActiveControl(), radio1);
}

// --- Memo lines ---

TEST_F(StdControls, MemoLinesAreTheTextCutAtLineBreaks) {
  struct {
    const wchar_t* Text;
    int Count;
  } const cases[] = {{L"", 0}, {L"a", 1}, {L"a\r\n", 1}, {L"a\r\nb", 2}, {L"\r\n\r\n", 2}};
  auto* memo = Make<TMemo>();
  for (bool window : {false, true}) {
    if (window) ShowForm();
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "window " << window << " text of " << wcslen(c.Text));
      memo->SetText(c.Text);
      EXPECT_EQ(memo->Lines()->Count(), c.Count);
    }
  }
  memo->Lines()->Clear();
  memo->Lines()->Add(L"\u8349\u7a3f");
  memo->Lines()->Add(L"two");
  memo->Lines()->Insert(1, L"mid");
  EXPECT_EQ(memo->Text(), L"\u8349\u7a3f\r\nmid\r\ntwo");
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Strings(0), L"mid");
  memo->Lines()->SetText(L"x\r\ny\r\n");
  EXPECT_EQ(memo->Text(), L"x\r\ny");
  EXPECT_THROW(memo->Lines()->Strings(2), EStringListError);

  // The scratch pads: a file read whole into the lines and written back the same.
  std::string path = "test_std_memo.txt";
  {
    TStringList file;
    for (int i = 0; i < 2000; ++i) file.Add("line " + std::to_string(i));
    file.SaveToFile(path);
  }
  memo->Lines()->LoadFromFile(path);
  EXPECT_EQ(memo->Lines()->Count(), 2000);
  EXPECT_EQ(memo->Lines()->Strings(1999), L"line 1999");
  memo->Lines()->Strings(0);
  memo->Lines()->SaveToFile(path + ".out");
  TStringList a, b;
  a.LoadFromFile(path);
  b.LoadFromFile(path + ".out");
  EXPECT_EQ(a.Text(), b.Text());
  DeleteFileA(path.c_str());
  DeleteFileA((path + ".out").c_str());
}

// --- List boxes ---

TEST_F(StdControls, ListItemsAndSelectionSurviveANewWindow) {
  auto* list = Make<TListBox>();
  list->Items()->Add(L"c");
  list->Items()->Add(L"a");
  list->Items()->Add(L"b");
  list->SetItemIndex(2);
  ShowForm();
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  list->SetSorted(true);
  EXPECT_EQ(list->Items()->Strings(0), L"a");
  list->SetMultiSelect(true);  // a new window
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  // The chosen item stayed where sorting put it, and stays chosen.
  EXPECT_TRUE(list->Selected(1));
  list->SetSelected(1, false);
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  EXPECT_EQ(list->SelCount(), 2);
  list->SetStyle(lbOwnerDrawFixed);  // another one
  EXPECT_TRUE(list->Selected(0));
  EXPECT_FALSE(list->Selected(1));
  EXPECT_TRUE(list->Selected(2));
  EXPECT_THROW(list->Selected(3), EListError);
  EXPECT_THROW(list->Items()->Delete(5), EStringListError);
}

}  // namespace
