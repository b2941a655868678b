// Control skins: the choice per control (one row per rule over the gallery's classes), the plain
// child windows of a dialog, the base's message path (switching off and on, re-entry, a procedure
// put over ours, exceptions, foreign timers), pixels of push buttons, check boxes and radio buttons
// per state from a skin whose frames are solid colours, and what a parent receives for a click, a
// key press and a focus change, with and without the skin.

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/buttons.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/mplayer.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/sysutils.h"
#include "skin/windows/controls/button_skin.h"
#include "skin/windows/controls/check_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/panel_skin.h"
#include "skin/windows/controls/speed_button_skin.h"
#include "tests/skin/windows/controls/control_test_env.h"

using namespace skintest;

// A data-aware check box of another vendor, as far as the skin sees it: a "DataField" property.
class TDataCheckBox : public TCheckBox {
  KARO_CLASS(TDataCheckBox)
public:
  using TCheckBox::TCheckBox;
  const WideString& DataField() const { return field_; }
  void SetDataField(const WideString& v) { field_ = v; }

private:
  WideString field_;
};
KARO_CLASS_PROPS(TDataCheckBox, TCheckBox, Prop("DataField", &TDataCheckBox::DataField, &TDataCheckBox::SetDataField))

namespace {

// A frame of the class library, as far as the choice sees it: a class of that name in the chain.
class TCustomFrame : public TWinControl {
  KARO_CLASS(TCustomFrame)
public:
  using TWinControl::TWinControl;
};
KARO_CLASS_INFO(TCustomFrame, TWinControl)

// The pictures' numbers in the complete test skin.
constexpr int kButtonsPic = 6, kCheckPic = 7, kRadioPic = 8;

// Which frame (1 to Frames) of picture Pic the skin paints at (X, Y) of D; 0 for none.
int ShownFrame(TSkinControl* s, TDib& d, int Pic, int Frames, int X, int Y) {
  d.Fill(0x123456);
  s->PaintControl(d.DC);
  for (int k = 1; k <= Frames; ++k)
    if (d.At(X, Y) == FrameColor(Pic, k)) return k;
  return 0;
}

// ---- Deciding, pure

TEST(ControlSkinDecisions, ButtonKindsComeFromTheStylesTypeField) {
  struct {
    LONG Style;
    TSkinClass Kind;
  } rows[] = {
      {BS_PUSHBUTTON, kcButton},        {BS_DEFPUSHBUTTON, kcButton},        {BS_USERBUTTON, kcButton},
      {BS_CHECKBOX, kcCheckBox},        {BS_AUTOCHECKBOX, kcCheckBox},       {BS_3STATE, kcCheckBox},
      {BS_AUTO3STATE, kcCheckBox},      {BS_RADIOBUTTON, kcRadioButton},     {BS_AUTORADIOBUTTON, kcRadioButton},
      {BS_GROUPBOX, kcNone},            {BS_OWNERDRAW, kcNone},              {BS_PUSHBOX, kcNone},
      {0xC /* split */, kcNone},        {0xF /* command link */, kcNone},    {BS_PUSHBUTTON | BS_BITMAP, kcNone},
      {BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP, kcButton},
  };
  for (const auto& r : rows) EXPECT_EQ(ButtonKindOfStyle(r.Style), r.Kind) << std::hex << r.Style;
}

TEST(ControlSkinDecisions, PlainWindowsByClassAndStyle) {
  const TSkinControlTypes all = kDefaultSkinControls;
  auto without = [&](TSkinControlType t) { return TSkinControlTypes(all).Exclude(t); };
  const struct {
    const char* Class;
    LONG Style;
    TSkinControlTypes Gates;
    bool Tabs, FirstChild;
    TSkinClass Skin;
    uint16_t Walk;
  } rows[] = {
      {"button", BS_AUTORADIOBUTTON, all, true, false, kcRadioButton, 0},
      {"button", BS_AUTORADIOBUTTON, without(xcRadioButton), true, false, kcNone, 0},
      {"button", BS_3STATE, all, true, false, kcCheckBox, 0},
      {"button", BS_3STATE, without(xcCheckBox), true, false, kcNone, 0},
      {"button", BS_DEFPUSHBUTTON, all, true, false, kcButton, 0},
      {"button", BS_PUSHBUTTON, without(xcButton), true, false, kcNone, 0},
      {"button", BS_OWNERDRAW, all, true, false, kcNone, 0},
      {"button", BS_GROUPBOX, all, true, false, kcNone, 0},
      {"combobox", CBS_SIMPLE, all, true, false, kcNone, 0},
      {"combobox", CBS_DROPDOWNLIST, all, true, false, kcComboBox, 0},
      {"combobox", CBS_DROPDOWN, without(xcCombo), true, false, kcNone, 0},
      {"comboboxex32", 0, all, true, true, kcComboBox, 0},
      {"comboboxex32", 0, all, true, false, kcNone, 0},
      // A scroll bar is a size grip only with SBS_SIZEGRIP, and never when it takes the focus.
      {"scrollbar", SBS_VERT, all, true, false, kcNone, 0},
      {"scrollbar", SBS_SIZEGRIP, all, true, false, kcSizer, 0},
      {"scrollbar", SBS_SIZEGRIP | WS_TABSTOP, all, true, false, kcNone, 0},
      {"systreeview32", 0, all, true, false, kcNone, 0},
      {"#32770", 0, all, true, false, kcBoxH, cwChildrenFirst},
      {"#32770", WS_TABSTOP, all, true, false, kcNone, cwChildrenFirst},
      {"tpanel", 0, all, true, false, kcNone, cwChildrenFirst | cwFaceColour},
      {"ttntpanel.unicodeclass", 0, all, true, false, kcNone, cwChildrenFirst | cwFaceColour},
      {"tsilentpaintpanel", 0, all, true, false, kcNone, cwFaceColour},
      {"tcheckbox", 0, all, true, false, kcCheckBox, 0},
      {"tcheckbox", 0, without(xcCheckBox), true, false, kcNone, 0},
      {"tcombobox", 0, all, true, false, kcComboBox, 0},
      {"tbutton", 0, all, true, false, kcButton, 0},
      {"tbutton", 0, without(xcButton), true, false, kcNone, 0},
      {"tprogressbar", 0, {}, true, false, kcProgress, 0},
      {"systabcontrol32", 0, all, true, false, kcTab, 0},
      {"systabcontrol32", 0, all, false, false, kcNone, 0},
      {"systabcontrol32", 0, without(xcTab), true, false, kcNone, 0},
      {"systabcontrol32", TCS_OWNERDRAWFIXED, all, true, false, kcNone, 0},
      {"toolbarwindow32", 0, {}, true, false, kcBoxH, 0},
      {"edit", 0, all, true, false, kcEdit, 0},
      {"edit", 0, without(xcEdit), true, false, kcNone, 0},
      {"static", 0, all, true, false, kcNone, 0},
  };
  for (const auto& r : rows) {
    const TSkinChoice c = ChooseWindowSkin({r.Class, r.Style, r.FirstChild}, r.Gates, r.Tabs);
    EXPECT_EQ(c.Skin, r.Skin) << r.Class << " " << std::hex << r.Style;
    EXPECT_EQ(c.Walk, r.Walk) << r.Class << " " << std::hex << r.Style;
    EXPECT_EQ(c.Attach, r.Skin == kcNone ? atNone : atInithwnd) << r.Class;
  }
}

TEST(ControlSkinDecisions, ButtonFramesByPrecedence) {
  EXPECT_EQ(ButtonFrame(false, false, false, false), 1);
  EXPECT_EQ(ButtonFrame(false, false, false, true), 5);
  EXPECT_EQ(ButtonFrame(false, false, true, true), 4);
  EXPECT_EQ(ButtonFrame(false, true, true, true), 2);
  EXPECT_EQ(ButtonFrame(true, true, true, true), 3);
  EXPECT_EQ(SpeedButtonFrame(false, false, false, true), 2);
  EXPECT_EQ(SpeedGlyphState(2, true), 4);
  EXPECT_FALSE(SpeedButtonShowsFace(true, 1));
  EXPECT_TRUE(SpeedButtonShowsFace(true, 4));
}

TEST(ControlSkinDecisions, CheckAndRadioFrames) {
  struct {
    int S;
    bool Disabled, Indeterminate;
    int N, Frame;
  } rows[] = {
      {1, false, false, 4, 1},  {2, false, false, 4, 2}, {1, true, false, 4, 3},  {2, true, false, 4, 4},
      {1, false, true, 4, 4},   {1, true, true, 4, 4},   {2, true, false, 12, 8}, {2, false, false, 12, 5},
      {1, false, true, 12, 9},  {1, true, true, 12, 12}, {4, false, false, 12, 8},
      {4, true, false, 4, 6},  // a grayed disabled box of a 4-frame strip: outside it, drawn as nothing
  };
  for (const auto& r : rows) EXPECT_EQ(CheckFrame(r.S, r.Disabled, r.Indeterminate, r.N), r.Frame);
  EXPECT_EQ(RadioFrame(true, false, 8), 5);
  EXPECT_EQ(RadioFrame(true, true, 8), 8);
  EXPECT_EQ(RadioFrame(false, true, 4), 3);
  EXPECT_EQ(CheckStateOfName("cbUnchecked"), 1);
  EXPECT_EQ(CheckStateOfName("cbChecked"), 2);
  EXPECT_EQ(CheckStateOfName("cbGrayed"), 4);
}

TEST(ControlSkinDecisions, GlyphLayoutAndCells) {
  // Margin -1 and Spacing -1: margin, glyph, spacing and text share the free room in thirds.
  TGlyphLayout l = LayoutGlyphButton(TPoint(100, 30), TPoint(16, 16), TPoint(40, 13), 0, -1, -1, false);
  EXPECT_EQ(l.Glyph.X, 14);
  EXPECT_EQ(l.Text.Left, 14 + 16 + 14);
  EXPECT_EQ(l.Glyph.Y, (30 - 16 + 1) / 2);
  // Glyph on top: the caption below it, centred.
  l = LayoutGlyphButton(TPoint(80, 60), TPoint(16, 16), TPoint(30, 13), 2, 4, 2, false);
  EXPECT_EQ(l.Glyph.Y, 4);
  EXPECT_EQ(l.Text.Top, 4 + 16 + 2);
  EXPECT_TRUE(l.Flags & DT_CENTER);
  // The margin alone found, the spacing given: a speed button's is one pixel more.
  EXPECT_EQ(LayoutGlyphButton(TPoint(100, 30), TPoint(16, 16), TPoint(40, 13), 0, -1, 4, false).Glyph.X, 20);
  EXPECT_EQ(LayoutGlyphButton(TPoint(100, 30), TPoint(16, 16), TPoint(40, 13), 0, -1, 4, false, true).Glyph.X, 21);
  EXPECT_EQ(LayoutOfName("blGlyphBottom"), 3);
  EXPECT_EQ(LayoutOfName("nonsense"), 0);
  // A glyph count of 0 counts as one cell and never divides by zero.
  EXPECT_EQ(GlyphCell(0, 3), 0);
  EXPECT_EQ(GlyphCell(4, 3), 2);
  EXPECT_EQ(GlyphCell(1, 2), 0);
}

TEST(ControlSkinDecisions, Skin3rdLinesParsedOnce) {
  TSkin3rdTable t;
  t.Parse({"TFooButton=Button", "tfoobutton=nil", "TBar=", "TBazz=checkbox", "NoEquals", "TOdd=wobble"});
  EXPECT_EQ(t.Find("TFOOBUTTON"), skButton);  // the first line of a class wins
  EXPECT_EQ(t.Find("TBar"), skNone);          // an empty kind leaves it to the class tests
  EXPECT_EQ(t.Find("TBaz"), skNone);          // no prefix matches: the key ends at "="
  EXPECT_EQ(t.Find("TOdd"), skUnknown);
  EXPECT_EQ(t.Find("NoEquals"), skNone);
}

// ---- Pixels

TEST(ControlSkinPaint, AFrameOutsideTheStripOrACountOfZeroDrawsNothing) {
  TBitmap strip;
  strip.SetPixelFormat(pf24bit);
  strip.SetSize(40, 10);
  TDib d(20, 20);
  TSkinControl::DrawSkinMap2(d.DC, TRect(0, 0, 10, 10), &strip, 6, 4);
  TSkinControl::DrawSkinMap2(d.DC, TRect(0, 0, 10, 10), &strip, 1, 0);
  TSkinControl::DrawSkinMap2(d.DC, TRect(0, 0, 10, 10), &strip, 0, 4);
  EXPECT_EQ(d.At(5, 5), 0x123456u);
  TSkinControl::DrawSkinMap2(d.DC, TRect(0, 0, 10, 10), &strip, 1, 4);
  EXPECT_NE(d.At(5, 5), 0x123456u);  // the check above can fail
}

// ---- Plain windows of a dialog

std::vector<std::pair<WPARAM, int>> g_parentLog;  // WM_COMMAND: wParam, and which child (id)

LRESULT CALLBACK RecordingParent(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND) g_parentLog.push_back({wp, GetDlgCtrlID(HWND(lp))});
  if (m == WM_NOTIFY) g_parentLog.push_back({0xFFFF0000u | wp, int(reinterpret_cast<NMHDR*>(lp)->code)});
  return DefWindowProcW(w, m, wp, lp);
}

class ControlSkins : public ManagerTest {
public:
  HWND Parent() {
    HWND p = TopWindow(L"KaroControlsParent", RecordingParent, L"P", 30, 30, 360, 260);
    SetForegroundWindow(p);
    SetActiveWindow(p);
    return p;
  }
  static HWND Child(HWND parent, const wchar_t* text, LONG style, int id, int y) {
    return CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y, 120, 24, parent,
                           HMENU(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  }
};

TEST_F(ControlSkins, PlainButtonsOfADialogAreSkinnedByKindAndGivenBackWhole) {
  Data();
  HWND p = Parent();
  ASSERT_TRUE(IsWindow(p)) << GetLastError();
  HWND push = Child(p, L"OK", BS_DEFPUSHBUTTON, 1, 10);
  HWND check = Child(p, L"Check", BS_AUTOCHECKBOX, 2, 40);
  HWND radio = Child(p, L"Radio", BS_AUTORADIOBUTTON, 3, 70);
  HWND group = Child(p, L"Group", BS_GROUPBOX, 4, 100);
  HWND owner = Child(p, L"Owner", BS_OWNERDRAW, 5, 130);
  const TWindowShape before[] = {ShapeOf(push), ShapeOf(check), ShapeOf(radio)};
  TVeltForm* f = Skin(p);
  ASSERT_NE(f, nullptr);
  ASSERT_NE(Lookupcontrol(f, push), nullptr);
  EXPECT_STREQ(Lookupcontrol(f, push)->ClassName().c_str(), "TSkinButton");
  EXPECT_STREQ(Lookupcontrol(f, check)->ClassName().c_str(), "TSkinCheckBox");
  EXPECT_STREQ(Lookupcontrol(f, radio)->ClassName().c_str(), "TSkinRadioButton");
  EXPECT_EQ(Lookupcontrol(f, group), nullptr);
  EXPECT_EQ(Lookupcontrol(f, owner), nullptr);
  EXPECT_EQ(SendMessageW(push, CN_IsSkinned, 0, 0), 1);
  // A second walk attaches nothing new.
  const size_t n = f->ControlSkins().size();
  f->InitHwndControls(p);
  EXPECT_EQ(f->ControlSkins().size(), n);
  UnskinAll();
  const HWND windows[] = {push, check, radio};
  for (int i = 0; i < 3; ++i) {
    const TWindowShape after = ShapeOf(windows[i]);
    EXPECT_EQ(after.Proc, before[i].Proc) << i;
    EXPECT_EQ(after.Style, before[i].Style) << i;
  }
  EXPECT_EQ(SendMessageW(push, CN_IsSkinned, 0, 0), 0);
}

TEST_F(ControlSkins, PushButtonPixelsPerStateAndSwitchingOffAndOn) {
  Data();
  HWND p = Parent();
  HWND push = Child(p, L"\u6625\u5929", BS_PUSHBUTTON, 1, 10);
  HWND other = Child(p, L"Other", BS_PUSHBUTTON, 2, 40);
  TVeltForm* f = Skin(p);
  auto* s = dynamic_cast<TSkinButton*>(Lookupcontrol(f, push));
  ASSERT_NE(s, nullptr);
  TDib d(120, 24);
  auto frameShown = [&] { return ShownFrame(s, d, kButtonsPic, 5, 1, 1); };
  SetFocus(other);
  EXPECT_EQ(frameShown(), 1);
  SendMessageW(push, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(frameShown(), 4);
  SendMessageW(push, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(frameShown(), 1);
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(frameShown(), 2);
  SendMessageW(push, WM_MOUSELEAVE, 0, 0);  // cancels the click
  SendMessageW(push, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), push);
  EXPECT_EQ(frameShown(), 5);
  EnableWindow(push, FALSE);
  EXPECT_EQ(frameShown(), 3);
  EnableWindow(push, TRUE);

  // Through the window's own printing: the skin's frame, and none while switched off.
  auto printed = [&] {
    d.Fill(0x123456);
    SendMessageW(push, WM_PRINTCLIENT, WPARAM(d.DC), PRF_CLIENT);
    return d.At(1, 1);
  };
  SetFocus(other);
  EXPECT_EQ(printed(), FrameColor(kButtonsPic, 1));
  SendMessageW(push, CN_SkinEnable, 0, 0);
  EXPECT_NE(printed(), FrameColor(kButtonsPic, 1));
  SendMessageW(push, CN_SkinEnable, 1, 0);
  EXPECT_EQ(printed(), FrameColor(kButtonsPic, 1));
}

TEST_F(ControlSkins, CheckAndRadioGlyphsPerState) {
  Data();
  HWND p = Parent();
  HWND check = Child(p, L"Check", BS_AUTO3STATE, 1, 10);
  HWND radio = Child(p, L"Radio", BS_AUTORADIOBUTTON, 2, 40);
  TVeltForm* f = Skin(p);
  TSkinControl* cs = Lookupcontrol(f, check);
  TSkinControl* rs = Lookupcontrol(f, radio);
  ASSERT_TRUE(cs && rs);
  TDib d(120, 24);
  auto shown = [&](TSkinControl* s, int pic, int frames, int x, int y) { return ShownFrame(s, d, pic, frames, x, y); };
  // The check strip is 4 frames of 13 x 13, centred down the 24-pixel button.
  EXPECT_EQ(shown(cs, kCheckPic, 4, 6, 12), 1);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(shown(cs, kCheckPic, 4, 6, 12), 2);
  SendMessageW(check, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(shown(cs, kCheckPic, 4, 6, 12), 4);
  SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
  EnableWindow(check, FALSE);
  EXPECT_EQ(shown(cs, kCheckPic, 4, 6, 12), 3);
  // The radio strip (10 frames: the plain numbering) is 16 x 16.
  EXPECT_EQ(shown(rs, kRadioPic, 10, 8, 12), 1);
  SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(shown(rs, kRadioPic, 10, 8, 12), 2);
  EnableWindow(radio, FALSE);
  EXPECT_EQ(shown(rs, kRadioPic, 10, 8, 12), 4);
}

// What the parent hears of a click, a key press and a focus change, skinned or not.
std::vector<std::pair<WPARAM, int>> ParentHears(ControlSkins& t, bool skinned, LONG style) {
  HWND p = t.Parent();
  HWND b = CreateWindowExW(0, L"Button", L"B", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | style, 10, 10, 120,
                           24, p, HMENU(INT_PTR(7)), GetModuleHandleW(nullptr), nullptr);
  HWND other = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 60, 120, 24, p,
                               HMENU(INT_PTR(8)), GetModuleHandleW(nullptr), nullptr);
  if (skinned) {
    TVeltForm* f = t.Skin(p);
    EXPECT_NE(Lookupcontrol(f, b), nullptr);
  }
  SetFocus(other);
  Pump();
  g_parentLog.clear();
  SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(b, WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(b, WM_KEYUP, VK_SPACE, LPARAM(0xC0390001u));
  SetFocus(other);
  SetFocus(b);
  Pump();
  std::vector<std::pair<WPARAM, int>> log;
  for (auto& e : g_parentLog)
    if (e.second == 7 || (e.first >> 16) != 0xFFFF) log.push_back(e);  // the button's, not the edit's
  std::erase_if(log, [](auto& e) { return e.second == 8; });
  return log;
}

TEST_F(ControlSkins, TheParentHearsTheSameWithAndWithoutTheSkin) {
  Data();
  for (LONG style : {LONG(BS_PUSHBUTTON), LONG(BS_AUTOCHECKBOX), LONG(BS_AUTORADIOBUTTON)}) {
    const auto plain = ParentHears(*this, false, style);
    const auto skinned = ParentHears(*this, true, style);
    EXPECT_FALSE(plain.empty()) << style;
    EXPECT_EQ(plain, skinned) << "style " << style;
  }
}

// ---- The base's message path

int g_foreignTimers = 0;
WNDPROC g_underProc = nullptr;
LRESULT CALLBACK UnderProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_TIMER) ++g_foreignTimers;
  return CallWindowProcW(g_underProc, w, m, wp, lp);
}
WNDPROC g_overProc = nullptr;
LRESULT CALLBACK OverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProcW(g_overProc, w, m, wp, lp); }

class TThrowingButton : public TSkinButton {
public:
  using TSkinButton::TSkinButton;
  bool BeforeProc(TMessage& Message) override {
    if (Message.Msg == WM_SETTEXT) throw EAbort("thrown by the skin");
    return TSkinButton::BeforeProc(Message);
  }
  void DrawControl(HDC, const TRect&) override { throw EAbort("thrown while painting"); }
};

TEST_F(ControlSkins, ReentryForeignTimersAProcedureOverOursAndExceptions) {
  TSkinData* data = Data();
  HWND p = Parent();
  HWND b = Child(p, L"B", BS_PUSHBUTTON, 1, 10);
  g_underProc = WNDPROC(SetWindowLongPtrW(b, GWLP_WNDPROC, LONG_PTR(&UnderProc)));

  auto* s = new TSkinButton(nullptr);
  s->Inithwnd(b, data, nullptr, nullptr);
  const LONG_PTR ours = GetWindowLongPtrW(b, GWLP_WNDPROC);
  s->Inithwnd(b, data, nullptr, nullptr);  // attaching again changes nothing
  EXPECT_EQ(GetWindowLongPtrW(b, GWLP_WNDPROC), ours);
  EXPECT_EQ(SendMessageW(b, WM_GETTEXTLENGTH, 0, 0), 1);

  // Timers that are not the skin's reach the button.
  g_foreignTimers = 0;
  SendMessageW(b, WM_TIMER, 7, 0);
  SendMessageW(b, WM_TIMER, 1, 0);
  EXPECT_EQ(g_foreignTimers, 2);

  // A procedure put over ours: the skin goes, ours stays in the chain and passes everything on.
  g_overProc = WNDPROC(SetWindowLongPtrW(b, GWLP_WNDPROC, LONG_PTR(&OverProc)));
  delete s;
  EXPECT_EQ(GetWindowLongPtrW(b, GWLP_WNDPROC), LONG_PTR(&OverProc));
  SetWindowTextW(b, L"Still");
  EXPECT_EQ(SendMessageW(b, WM_GETTEXTLENGTH, 0, 0), 5);
  DestroyWindow(b);

  // An exception inside the skin: the message still reaches the button; a painter's is dropped.
  HWND c = Child(p, L"C", BS_PUSHBUTTON, 2, 40);
  auto* t = new TThrowingButton(nullptr);
  t->Inithwnd(c, data, nullptr, nullptr);
  SetWindowTextW(c, L"Changed");
  EXPECT_EQ(SendMessageW(c, WM_GETTEXTLENGTH, 0, 0), 7);
  TDib d(10, 10);
  t->PaintControl(d.DC);
  UpdateWindow(c);
  delete t;
  DestroyWindow(c);
}

TEST_F(ControlSkins, WithoutAButtonsPictureTheButtonPaintsItself) {
  TTestSkin skin = CompleteSkin();
  for (auto& pic : skin.Pictures)
    if (pic.Name == "buttons.bmp") pic.Data = "not a picture";
  TSkinData* data = Data(sfMainform, nullptr, skin.File());
  HWND p = Parent();
  HWND b = Child(p, L"B", BS_PUSHBUTTON, 1, 10);
  TDib plain(120, 24);
  SendMessageW(b, WM_PRINTCLIENT, WPARAM(plain.DC), PRF_CLIENT);
  auto* s = new TSkinButton(nullptr);
  s->Inithwnd(b, data, nullptr, nullptr);
  ASSERT_FALSE(s->HasPicture());
  TDib skinned(120, 24);
  SendMessageW(b, WM_PRINTCLIENT, WPARAM(skinned.DC), PRF_CLIENT);
  EXPECT_EQ(skinned.At(60, 1), plain.At(60, 1));
  EXPECT_NE(skinned.At(60, 1), 0x123456u);
  delete s;
}

// ---- The choice over the gallery's classes, one row per rule

struct TChoiceRow {
  const char* Name;
  std::function<TControl*(TWinControl* parent)> Make;
  std::function<void(TSkinData&)> Setup;
  TSkinClass Skin;
  TChoiceRule Rule;
  int Walk = -1;  // the walks that go with the choice, when the row names them
};

template <class T> std::function<TControl*(TWinControl*)> New() {
  return [](TWinControl* p) {
    auto* c = new T(p);
    c->SetParent(p);
    return static_cast<TControl*>(c);
  };
}

TEST_F(ControlSkins, TheChoiceTable) {
  auto none = [](TSkinData&) {};
  auto off = [](TSkinControlType t) { return [t](TSkinData& d) { d.SetSkinControls(d.SkinControls().Exclude(t)); }; };
  auto third = [](const char* line) { return [line](TSkinData& d) { d.Skin3rd()->Insert(0, line); }; };
  const TChoiceRow rows[] = {
      {"TButton", New<TButton>(), none, kcButton, ruClass},
      {"TButton DisableTag", [](TWinControl* p) { auto* c = New<TButton>()(p); c->SetTag(99); return c; }, none, kcNone,
       ruDisableTag},
      {"TButton xcButton off", New<TButton>(), off(xcButton), kcNone, ruNone},
      {"TButton Skin3rd nil", New<TButton>(), third("TButton=nil"), kcNone, ruSkin3rd},
      {"TButton Skin3rd mixed case", New<TButton>(), third("tBUTTON=CheckBox"), kcCheckBox, ruSkin3rd},
      {"TButton Skin3rd unknown", New<TButton>(), third("TButton=wobble"), kcNone, ruSkin3rd},
      {"TButton Skin3rd gate off", New<TButton>(),
       [](TSkinData& d) {
         d.Skin3rd()->Insert(0, "TButton=checkbox");
         d.SetSkinControls(d.SkinControls().Exclude(xcCheckBox));
       },
       kcNone, ruSkin3rd},
      {"TBitBtn", New<TBitBtn>(), none, kcBitButton, ruClass},
      {"TBitBtn xcBitBtn off", New<TBitBtn>(), off(xcBitBtn), kcNone, ruStop},
      {"TSpeedButton", New<TSpeedButton>(), none, kcSpeedButton, ruClass},
      {"TSpeedButton off", New<TSpeedButton>(), off(xcSpeedButton), kcNone, ruNone},
      {"TCheckBox", New<TCheckBox>(), none, kcCheckBox, ruClass},
      {"TCheckBox off", New<TCheckBox>(), off(xcCheckBox), kcNone, ruNone},
      {"TRadioButton", New<TRadioButton>(), none, kcRadioButton, ruClass},
      {"TRadioButton off", New<TRadioButton>(), off(xcRadioButton), kcNone, ruNone},
      {"TRadioGroup", New<TRadioGroup>(), none, kcGroupBox, ruClass},
      {"TGroupBox", New<TGroupBox>(), none, kcGroupBox, ruClass},
      {"TGroupBox xcPanel off", New<TGroupBox>(), off(xcPanel), kcNone, ruNone},
      {"TPanel", New<TPanel>(), none, kcBox, ruClass},
      {"TEdit", New<TEdit>(), none, kcEdit, ruClass},
      {"TEdit off", New<TEdit>(), off(xcEdit), kcNone, ruNone},
      {"TMemo", New<TMemo>(), none, kcScrollbar, ruClass},
      {"TListBox", New<TListBox>(), none, kcScrollbar, ruClass},
      {"TComboBox", New<TComboBox>(), none, kcComboBox, ruClass},
      {"TComboBox off", New<TComboBox>(), off(xcCombo), kcNone, ruNone},
      {"TScrollBar", New<TScrollBar>(), none, kcScControl, ruClass},
      {"TScrollBox", New<TScrollBox>(), none, kcScrollbar, ruClass},
      {"TTrackBar", New<TTrackBar>(), none, kcTrackBar, ruClass},
      {"TProgressBar", New<TProgressBar>(), none, kcProgress, ruClass},
      {"TUpDown", New<TUpDown>(), none, kcUpDown, ruClass},
      {"TStatusBar", New<TStatusBar>(), none, kcStatusBar, ruClass},
      {"THeaderControl", New<THeaderControl>(), none, kcHeader, ruClass},
      {"TListView", New<TListView>(), none, kcListView, ruClass},
      {"TTreeView", New<TTreeView>(), none, kcScrollbar, ruClass},
      {"TRichEdit", New<TRichEdit>(), none, kcScrollbar, ruClass},
      {"TDateTimePicker", New<TDateTimePicker>(), none, kcDateTime, ruClass},
      {"TMediaPlayer", New<TMediaPlayer>(), none, kcMediaPlayer, ruClass},
      {"TPageControl", New<TPageControl>(), none, kcTab, ruClass},
      {"TPageControl xcTab off", New<TPageControl>(), off(xcTab), kcNone, ruNone},
      {"TTabControl", New<TTabControl>(), none, kcTabPlain, ruClass},
      {"TToolBar", New<TToolBar>(), none, kcBox, ruClass},
      {"TLabel", New<TLabel>(), none, kcNone, ruNone},
      {"TImage", New<TImage>(), none, kcNone, ruNone},
      // Each gate off: the class's own row passes, and a later row may still take the control.
      {"TMemo xcScrollbar off", New<TMemo>(), off(xcScrollbar), kcEdit, ruClass},
      {"TListView xcScrollbar off", New<TListView>(), off(xcScrollbar), kcNone, ruNone},
      {"TScrollBar xcScrollbar off", New<TScrollBar>(), off(xcScrollbar), kcNone, ruNone},
      {"TTrackBar xcTrackBar off", New<TTrackBar>(), off(xcTrackBar), kcNone, ruNone},
      {"TProgressBar xcProgress off", New<TProgressBar>(), off(xcProgress), kcNone, ruNone},
      {"TUpDown xcSpin off", New<TUpDown>(), off(xcSpin), kcNone, ruNone},
      {"TStatusBar xcStatusBar off", New<TStatusBar>(), off(xcStatusBar), kcNone, ruNone},
      {"THeaderControl xcPanel off", New<THeaderControl>(), off(xcPanel), kcNone, ruNone},
      {"TPanel xcPanel off", New<TPanel>(), off(xcPanel), kcNone, ruNone},
      {"TMediaPlayer xcButton off", New<TMediaPlayer>(), off(xcButton), kcNone, ruNone},
      {"TToolBar xcToolbar off", New<TToolBar>(), off(xcToolbar), kcNone, ruNone},
      {"TTabControl xcTab off", New<TTabControl>(), off(xcTab), kcNone, ruNone},
      {"TDateTimePicker xcEdit off", New<TDateTimePicker>(), off(xcEdit), kcNone, ruNone},
      {"TRadioGroup xcRadioButton off", New<TRadioGroup>(), off(xcRadioButton), kcGroupBox, ruClass,
       cwChildrenFirst},
      {"TRadioGroup", New<TRadioGroup>(), none, kcGroupBox, ruClass, cwGroupChildren},
      {"TGroupBox xcGroupBox off", New<TGroupBox>(), off(xcGroupBox), kcGroupBox, ruClass, cwChildrenFirst},
      {"TPanel walks its children first", New<TPanel>(), none, kcBox, ruClass, cwChildrenFirst},
      {"TBitBtn xcButton off", New<TBitBtn>(), off(xcButton), kcBitButton, ruClass},
      {"TButton xcBitBtn off", New<TButton>(), off(xcBitBtn), kcButton, ruClass},
      {"TPageControl button style",
       [](TWinControl* p) {
         auto* c = New<TPageControl>()(p);
         static_cast<TPageControl*>(c)->SetStyle(tsButtons);
         return c;
       },
       none, kcTabBtn, ruClass},
      {"TPageControl without the skin's tabs", New<TPageControl>(), [](TSkinData& d) { d.Tabs.reset(); }, kcNone,
       ruNone},
      {"a frame: its components", New<TCustomFrame>(), none, kcNone, ruClass, cwComponents},
      {"a frame off every gate", New<TCustomFrame>(), [](TSkinData& d) { d.SetSkinControls({}); }, kcNone, ruClass,
       cwComponents},
      // The Skin3rd kinds that decide more than the skin.
      {"TEdit Skin3rd edit", New<TEdit>(), third("TEdit=edit"), kcEdit, ruSkin3rd},
      {"TEdit Skin3rd edit without a border",
       [](TWinControl* p) {
         auto* c = New<TEdit>()(p);
         static_cast<TEdit*>(c)->SetBorderStyle(bsNone);
         return c;
       },
       third("TEdit=edit"), kcNone, ruSkin3rd},
      {"TPanel Skin3rd container", New<TPanel>(), third("TPanel=container"), kcNone, ruSkin3rd, cwChildrenFirst},
      {"TPanel Skin3rd panel", New<TPanel>(), third("TPanel=panel"), kcBox, ruSkin3rd, cwTransparent},
      {"TGroupBox Skin3rd radiogroup", New<TGroupBox>(), third("TGroupBox=radiogroup"), kcGroupBox, ruSkin3rd,
       cwGroupChildren},
      {"TGroupBox Skin3rd radiogroup xcGroupBox off", New<TGroupBox>(),
       [](TSkinData& d) {
         d.Skin3rd()->Insert(0, "TGroupBox=radiogroup");
         d.SetSkinControls(d.SkinControls().Exclude(xcGroupBox));
       },
       kcNone, ruSkin3rd, 0},
      {"TGroupBox Skin3rd checkgroup xcRadioButton off", New<TGroupBox>(),
       [](TSkinData& d) {
         d.Skin3rd()->Insert(0, "TGroupBox=checkgroup");
         d.SetSkinControls(d.SkinControls().Exclude(xcRadioButton));
       },
       kcGroupBox, ruSkin3rd, 0},
      {"TPanel Skin3rd groupbox", New<TPanel>(), third("TPanel=groupbox"), kcGroupBox, ruSkin3rd},
      {"TMemo Skin3rd singlescrollbar", New<TMemo>(), third("TMemo=singlescrollbar"), kcSingleScrollbar, ruSkin3rd},
      {"TPanel Skin3rd embedscrollbar", New<TPanel>(), third("TPanel=embedscrollbar"), kcNone, ruSkin3rd,
       cwChildrenScroll},
      {"TButton Skin3rd menubtn", New<TButton>(), third("TButton=menubtn"), kcMenuButton, ruSkin3rd},
      {"TBitBtn Skin3rd pngbitbtn", New<TBitBtn>(), third("TBitBtn=pngbitbtn"), kcPngBitButton, ruSkin3rd},
      {"TSpeedButton Skin3rd speedbutton", New<TSpeedButton>(), third("TSpeedButton=speedbutton"), kcSpeedButton,
       ruSkin3rd},
  };
  HWND host = Parent();
  for (const TChoiceRow& r : rows) {
    TSkinData* d = Data(sfMainform, nullptr, SkinFile(), false);
    r.Setup(*d);
    TPanel parent(nullptr);
    parent.SetParentWindow(host);
    TControl* c = r.Make(&parent);
    const TSkinChoice choice = ChooseControlSkin(c, *d, true);
    EXPECT_EQ(choice.Skin, r.Skin) << r.Name << ": " << SkinClassName(choice.Skin);
    EXPECT_EQ(choice.Rule, r.Rule) << r.Name;
    if (r.Walk >= 0) {
      EXPECT_EQ(choice.Walk, r.Walk) << r.Name;
    }
  }
  // The choice of a group's children, and a speed button's attaching.
  TSkinData* d = Data(sfMainform, nullptr, SkinFile(), false);
  TPanel parent(nullptr);
  parent.SetParentWindow(host);
  TSkinChoice c = ChooseControlSkin(New<TRadioGroup>()(&parent), *d, true);
  EXPECT_EQ(c.ChildSkin, kcRadioButton);
  EXPECT_EQ(c.ChildAttach, atInitF);
  EXPECT_EQ(ChooseControlSkin(New<TSpeedButton>()(&parent), *d, true).Attach, atInitGraphic);
  EXPECT_EQ(ChooseControlSkin(New<TPanel>()(&parent), *d, true).Attach, atInitT);
  // A tool button leaves its menu to the menus: no skin, and no later row either.
  EXPECT_EQ(ChooseControlSkin(New<TToolButton>()(&parent), *d, true).Rule, ruStop);
  EXPECT_EQ(ChooseControlSkin(New<TToolButton>()(&parent), *d, false).Rule, ruNone);
}

TEST_F(ControlSkins, OnSkinControlSkinsAreAttachedTheWayTheirKindNeeds) {
  TSkinData* d = Data();
  HWND host = Parent();
  TVeltForm form(nullptr);
  form.hwnd = host;
  form.SkinData = d;
  TPanel parent(nullptr);
  parent.SetParentWindow(host);
  auto* speed = new TSpeedButton(&parent);
  speed->SetParent(&parent);
  auto* button = new TButton(&parent);
  button->SetParent(&parent);
  d->OnSkinControl = [&](TComponent*, TSkinData*, TControl*, TControl* c, const std::string&, TComponent*& skin) {
    if (c == speed) skin = new TSkinSpeedButton(c);
    if (c == button) skin = new TSkinBitButton(c);
  };
  AddComp(&form, speed, &parent);
  AddComp(&form, button, &parent);
  ASSERT_EQ(form.ControlSkins().size(), 2u);
  EXPECT_TRUE(FindSkinComp(&form, speed));
  EXPECT_EQ(speed->Perform(CN_IsSkinned), 1);  // answered by the skin in the control's WindowProc
  EXPECT_EQ(SendMessageW(button->Handle(), CN_IsSkinned, 0, 0), 1);
  const size_t n = form.ControlSkins().size();
  AddComp(&form, speed, &parent);
  EXPECT_EQ(form.ControlSkins().size(), n);
  form.DeleteControls();
  EXPECT_EQ(speed->Perform(CN_IsSkinned), 0);
  d->OnSkinControl = nullptr;
}

// ---- Class-library controls under a skinned form

// A skinned form's control list over a panel of the parent window, for the class-library tests.
struct TLibraryHost {
  TLibraryHost(HWND host, TSkinData* data) : parent(nullptr), form(nullptr) {
    form.hwnd = host;
    form.SkinData = data;
    parent.SetParentWindow(host);
    parent.SetBounds(0, 0, 340, 220);
  }
  ~TLibraryHost() { form.DeleteControls(); }
  template <class T> T* Add(int x, int y, int w, int h, const WideString& caption = L"C") {
    auto* c = new T(&parent);
    c->SetParent(&parent);
    c->SetBounds(x, y, w, h);
    c->SetCaption(caption);
    return c;
  }
  TPanel parent;
  TVeltForm form;
};

TEST_F(ControlSkins, ADisabledRadioGroupKeepsItsButtonsUnskinnedAndASecondWalkAddsNothing) {
  TSkinData* d = Data();
  TLibraryHost h(Parent(), d);
  auto group = [&](int y) {
    auto* g = h.Add<TRadioGroup>(10, y, 150, 90);
    g->Items()->Add(L"a");
    g->Items()->Add(L"b");
    return g;
  };
  TRadioGroup* off = group(10);
  off->SetTag(d->DisableTag());
  TRadioGroup* on = group(110);
  InitControls(&h.form, &h.parent);
  EXPECT_FALSE(FindSkinComp(&h.form, off));
  for (int i = 0; i < off->ButtonCount(); ++i) {
    EXPECT_EQ(off->Buttons(i)->Tag(), d->DisableTag()) << i;
    EXPECT_FALSE(FindSkinComp(&h.form, off->Buttons(i))) << i;
  }
  EXPECT_TRUE(FindSkinComp(&h.form, on));
  for (int i = 0; i < on->ButtonCount(); ++i) {
    ASSERT_TRUE(FindSkinComp(&h.form, on->Buttons(i))) << i;
    EXPECT_EQ(on->Buttons(i)->Perform(CN_IsSkinned), 1) << i;
  }
  const size_t n = h.form.ControlSkins().size();
  InitControls(&h.form, &h.parent);
  EXPECT_EQ(h.form.ControlSkins().size(), n);
}

TEST_F(ControlSkins, UnskinningGivesClassLibraryControlsBackAsTheyWere) {
  TSkinData* d = Data();
  TLibraryHost h(Parent(), d);
  auto* panel = h.Add<TPanel>(200, 10, 120, 100);
  panel->SetColor(TColor(0x0000FF));
  TControl* controls[] = {h.Add<TButton>(10, 10, 80, 24),      h.Add<TBitBtn>(10, 40, 80, 24),
                          h.Add<TCheckBox>(10, 70, 80, 24),    h.Add<TRadioButton>(10, 100, 80, 24),
                          h.Add<TSpeedButton>(10, 130, 80, 24), h.Add<TGroupBox>(100, 10, 90, 80),
                          panel};
  struct TBefore {
    TWndMethod Proc;
    TColor Color;
    LONG_PTR Style, ExStyle;
  };
  std::vector<TBefore> before;
  for (TControl* c : controls) {
    HWND w = ControlWindow(c);
    before.push_back({c->WindowProc(), c->Color(), w ? GetWindowLongPtrW(w, GWL_STYLE) : 0,
                      w ? GetWindowLongPtrW(w, GWL_EXSTYLE) : 0});
  }
  InitControls(&h.form, &h.parent);
  for (TControl* c : controls) EXPECT_TRUE(FindSkinComp(&h.form, c)) << c->ClassName();
  EXPECT_NE(panel->Color(), TColor(0x0000FF));
  h.form.DeleteControls();
  for (size_t i = 0; i < std::size(controls); ++i) {
    TControl* c = controls[i];
    SCOPED_TRACE(c->ClassName());
    EXPECT_TRUE(c->WindowProc() == before[i].Proc);
    EXPECT_EQ(c->Color(), before[i].Color);
    EXPECT_EQ(c->Perform(CN_IsSkinned), 0);
    if (HWND w = ControlWindow(c)) {
      EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE), before[i].Style);
      EXPECT_EQ(GetWindowLongPtrW(w, GWL_EXSTYLE), before[i].ExStyle);
    }
  }
}

// What a class-library control's events and its parent record of a click, a space key and a
// focus change, with and without the skin.
std::vector<std::string> LibraryHears(ControlSkins& t, TSkinData* d, bool skinned,
                                      const std::function<TControl*(TLibraryHost&)>& make) {
  TLibraryHost h(t.Parent(), d);
  std::vector<std::string> log;
  const TWndMethod parentProc = h.parent.WindowProc();
  h.parent.SetWindowProc(TWndMethod(
      [&](TMessage& m) {
        if (m.Msg == WM_COMMAND) log.push_back("parent WM_COMMAND " + std::to_string(HIWORD(m.WParam)));
        parentProc(m);
      },
      &log, 1));
  TControl* c = make(h);
  auto* other = h.Add<TEdit>(10, 100, 100, 24, L"");
  c->OnClick = [&](TObject*) { log.push_back("OnClick"); };
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    log.push_back("OnMouseDown " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("OnMouseUp"); };
  if (auto* w = dyn<TWinControl>(c)) {
    w->OnEnter = [&](TObject*) { log.push_back("OnEnter"); };
    w->OnExit = [&](TObject*) { log.push_back("OnExit"); };
  }
  if (skinned) {
    AddComp(&h.form, c, &h.parent);
    EXPECT_TRUE(FindSkinComp(&h.form, c)) << c->ClassName();
  }
  SetFocus(other->Handle());
  Pump();
  log.clear();
  if (HWND w = ControlWindow(c)) {
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    SendMessageW(w, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(w, WM_KEYUP, VK_SPACE, LPARAM(0xC0390001u));
    SetFocus(other->Handle());
    SetFocus(w);
  } else {
    c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  }
  Pump();
  h.form.DeleteControls();
  h.parent.SetWindowProc(parentProc);
  return log;
}

TEST_F(ControlSkins, ClassLibraryControlsHearTheSameWithAndWithoutTheSkin) {
  TSkinData* d = Data();
  const struct {
    const char* Name;
    std::function<TControl*(TLibraryHost&)> Make;
  } kinds[] = {
      {"TButton", [](TLibraryHost& h) { return h.Add<TButton>(10, 10, 80, 24); }},
      {"TBitBtn", [](TLibraryHost& h) { return h.Add<TBitBtn>(10, 10, 80, 24); }},
      {"TCheckBox", [](TLibraryHost& h) { return h.Add<TCheckBox>(10, 10, 80, 24); }},
      {"TRadioButton", [](TLibraryHost& h) { return h.Add<TRadioButton>(10, 10, 80, 24); }},
      {"TSpeedButton", [](TLibraryHost& h) { return h.Add<TSpeedButton>(10, 10, 80, 24); }},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.Name);
    const auto plain = LibraryHears(*this, d, false, k.Make);
    const auto skinned = LibraryHears(*this, d, true, k.Make);
    EXPECT_NE(std::find(plain.begin(), plain.end(), "OnClick"), plain.end());
    EXPECT_EQ(plain, skinned);
  }
}

TEST_F(ControlSkins, ClassLibraryCheckBoxesDrawTheirStateFromTheirProperties) {
  TSkinData* d = Data();
  TLibraryHost h(Parent(), d);
  auto* box = h.Add<TCheckBox>(10, 10, 120, 24);
  box->SetAllowGrayed(true);
  TSkinControl* s = nullptr;
  AddComp(&h.form, box, &h.parent);
  for (TSkinControlEntry* e : h.form.ControlSkins())
    if (e->Control() == box) s = dynamic_cast<TSkinControl*>(e);
  ASSERT_NE(s, nullptr);
  TDib dib(120, 24);
  auto shown = [&] { return ShownFrame(s, dib, kCheckPic, 4, 6, 12); };
  const struct {
    TCheckBoxState State;
    bool Enabled;
    int Frame;
  } rows[] = {{cbUnchecked, true, 1}, {cbChecked, true, 2}, {cbGrayed, true, 4},
              {cbUnchecked, false, 3}, {cbChecked, false, 4}};
  for (const auto& r : rows) {
    box->SetState(r.State);
    box->SetEnabled(r.Enabled);
    EXPECT_EQ(shown(), r.Frame) << int(r.State) << r.Enabled;
  }
  box->SetEnabled(true);
  // A data-aware box shows the state last set on its window, whatever its State says.
  auto* data = h.Add<TDataCheckBox>(10, 40, 120, 24);
  TSkinControl* ds = nullptr;
  AddComp(&h.form, data, &h.parent);
  for (TSkinControlEntry* e : h.form.ControlSkins())
    if (e->Control() == data) ds = dynamic_cast<TSkinControl*>(e);
  ASSERT_NE(ds, nullptr);
  EXPECT_EQ(ShownFrame(ds, dib, kCheckPic, 4, 6, 12), 1);
  SendMessageW(data->Handle(), BM_SETCHECK, BST_CHECKED, 0);
  ASSERT_EQ(data->State(), cbUnchecked);
  EXPECT_EQ(ShownFrame(ds, dib, kCheckPic, 4, 6, 12), 2);
  SendMessageW(data->Handle(), BM_SETCHECK, 2, 0);
  EXPECT_EQ(ShownFrame(ds, dib, kCheckPic, 4, 6, 12), 4);
  // Its caption beside the glyph, in the control's font colour, on the skin's face.
  box->SetState(cbUnchecked);
  shown();
  const COLORREF face = COLORREF(ColorToRGB(d->Colors[csButtonFace]));
  EXPECT_EQ(dib.At(100, 2), face);
  EXPECT_LT(dib.Box([&](int x, int, uint32_t c) { return x > 15 && c != face; }).Left, 30);
}

TEST_F(ControlSkins, EnumControlAndANestedFormAreSkinnedOnce) {
  TSkinData* d = Data();
  HWND p = Parent();
  HWND push = Child(p, L"OK", BS_PUSHBUTTON, 1, 10);
  TVeltForm form(nullptr);
  form.hwnd = p;
  form.SkinData = d;
  EnumChildWindows(p, &EnumControl, LPARAM(&form));
  ASSERT_NE(Lookupcontrol(&form, push), nullptr);
  EnumChildWindows(p, &EnumControl, LPARAM(&form));
  EXPECT_EQ(form.ControlSkins().size(), 1u);
  // A nested form: the face colour and its controls, once however often it is handed over.
  TPanel nested(nullptr);
  nested.SetParentWindow(p);
  nested.SetBounds(0, 60, 200, 100);
  nested.SetColor(TColor(0x0000FF));
  auto* b = new TButton(&nested);
  b->SetParent(&nested);
  InitNestform(&form, &nested);
  EXPECT_EQ(nested.Color(), TColor(ColorToRGB(d->Colors[csButtonFace])));
  EXPECT_TRUE(FindSkinComp(&form, b));
  const size_t n = form.ControlSkins().size();
  InitNestform(&form, &nested);
  EXPECT_EQ(form.ControlSkins().size(), n);
  form.DeleteControls();
  EXPECT_EQ(nested.Color(), TColor(0x0000FF));
  // A class-library panel met among plain windows takes the face colour too, and gets its own back.
  TPanel panel(nullptr);
  panel.SetParentWindow(p);
  panel.SetBounds(220, 60, 100, 100);
  panel.SetColor(TColor(0x00FF00));
  ASSERT_NE(panel.Handle(), nullptr);
  form.InitHwndControls(p);
  EXPECT_EQ(panel.Color(), TColor(ColorToRGB(d->Colors[csButtonFace])));
  form.DeleteControls();
  EXPECT_EQ(panel.Color(), TColor(0x00FF00));
}

TEST_F(ControlSkins, AfterItsWindowIsDestroyedASkinHasGivenItsControlBack) {
  TSkinData* d = Data();
  TLibraryHost h(Parent(), d);
  auto* box = h.Add<TGroupBox>(10, 10, 150, 80);
  box->SetColor(TColor(0x0000FF));
  const TWndMethod proc = box->WindowProc();
  auto* s = new TSkinGroupBox(box);
  s->Init(&h.form, d, nullptr, true);
  const TWndMethod skinned = box->WindowProc();
  const size_t listed = h.form.ControlSkins().size();
  s->Init(&h.form, d, nullptr, true);  // a second Init changes nothing
  EXPECT_TRUE(box->WindowProc() == skinned);
  EXPECT_EQ(h.form.ControlSkins().size(), listed);
  EXPECT_EQ(box->Color(), TColor(ColorToRGB(d->Colors[csButtonFace])));
  struct TAcWinControl : TWinControl {
    using TWinControl::DestroyHandle;
  };
  void (TWinControl::*destroy)() = &TAcWinControl::DestroyHandle;
  (box->*destroy)();
  EXPECT_EQ(s->FState, kSkinWindowGone);
  EXPECT_FALSE(s->FActive);
  EXPECT_EQ(box->Color(), TColor(0x0000FF));
  EXPECT_TRUE(box->WindowProc() == proc);
  EXPECT_EQ(box->Perform(CN_IsSkinned), 0);
  // A plain window: the skin knows it is gone, and goes later without touching it.
  HWND p = Parent();
  HWND b = Child(p, L"B", BS_PUSHBUTTON, 1, 10);
  auto* t = new TSkinButton(nullptr);
  t->Inithwnd(b, d, nullptr, nullptr);
  DestroyWindow(b);
  EXPECT_EQ(t->FState, kSkinWindowGone);
  EXPECT_FALSE(t->FActive);
  delete t;
}

TEST_F(ControlSkins, PropertiesAreReadAndWrittenByNameAndAMissingOneIsNoError) {
  TButton button(nullptr);
  button.SetTag(7);
  button.SetCaption(L"\u6625");
  TCheckBox box(nullptr);
  box.SetAllowGrayed(true);
  box.SetState(cbGrayed);
  EXPECT_EQ(GetIntProperty(&button, "Tag"), 7);
  EXPECT_EQ(GetIntProperty(&button, "Caption"), -1);  // a string is no integer
  EXPECT_EQ(GetIntProperty(&button, "NoSuch"), -1);
  EXPECT_EQ(GetIntProperty(nullptr, "Tag"), -1);
  EXPECT_EQ(GetProperty(&button, "Tag"), "7");
  EXPECT_EQ(GetProperty(&box, "State"), "cbGrayed");
  EXPECT_EQ(GetProperty(&button, "Caption"), "");
  EXPECT_EQ(GetEnumProperty(&box, "State"), "cbGrayed");
  EXPECT_EQ(GetEnumProperty(&button, "Tag"), "");
  EXPECT_EQ(GetStringProp(&button, "Caption"), L"\u6625");
  EXPECT_EQ(GetStringProp(&button, "NoSuch"), L"");
  EXPECT_EQ(GetStringProp(nullptr, "Caption"), L"");
  EXPECT_NE(GetObjProp(&button, "Font", TFont::StaticClass()), nullptr);
  EXPECT_EQ(GetObjProp(&button, "Font", TBitmap::StaticClass()), nullptr);  // not of that class
  EXPECT_EQ(GetObjProp(&button, "Tag", TObject::StaticClass()), nullptr);
  SetProperty(&button, "Tag", "42");
  EXPECT_EQ(button.Tag(), 42);
  SetProperty(&box, "State", "cbChecked");
  EXPECT_EQ(box.State(), cbChecked);
  SetProperty(&button, "Caption", "Go");
  EXPECT_EQ(button.Caption(), L"Go");
  SetProperty(&button, "NoSuch", "1");
  SetProperty(nullptr, "Tag", "1");
}

}  // namespace
