// Control skins: the choice per control (one row per rule over the gallery's classes), the plain
// child windows of a dialog, the base's message path (switching off and on, re-entry, a procedure
// put over ours, exceptions, foreign timers), pixels of push buttons, check boxes and radio buttons
// per state from a skin whose frames are solid colours, and what a parent receives for a click, a
// key press and a focus change, with and without the skin.

#include <functional>
#include <memory>

#include "classlib/controls/buttons.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/mplayer.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/sysutils.h"
#include "skin/windows/controls/button_skin.h"
#include "skin/windows/controls/check_skin.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/speed_button_skin.h"
#include "tests/skin/windows/controls/control_test_env.h"

using namespace skintest;

namespace {

// The pictures' numbers in the complete test skin.
constexpr int kButtonsPic = 6, kCheckPic = 7, kRadioPic = 8;

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
  auto kind = [&](const char* cls, LONG style, TSkinControlTypes g = kDefaultSkinControls) {
    return ChooseWindowSkin({cls, style, false}, g, true).Skin;
  };
  EXPECT_EQ(kind("button", BS_AUTORADIOBUTTON), kcRadioButton);
  EXPECT_EQ(kind("button", BS_OWNERDRAW), kcNone);
  EXPECT_EQ(kind("button", BS_PUSHBUTTON, TSkinControlTypes(all).Exclude(xcButton)), kcNone);
  // A scroll bar is a size grip only with SBS_SIZEGRIP, and never when it takes the focus.
  EXPECT_EQ(kind("scrollbar", SBS_VERT), kcNone);
  EXPECT_EQ(kind("scrollbar", SBS_SIZEGRIP), kcSizer);
  EXPECT_EQ(kind("scrollbar", SBS_SIZEGRIP | WS_TABSTOP), kcNone);
  EXPECT_EQ(kind("combobox", CBS_SIMPLE), kcNone);
  EXPECT_EQ(kind("combobox", CBS_DROPDOWNLIST), kcComboBox);
  EXPECT_EQ(kind("systabcontrol32", TCS_OWNERDRAWFIXED), kcNone);
  EXPECT_EQ(kind("edit", 0), kcEdit);
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
  void SetUp() override {
    ManagerTest::SetUp();
    static bool registered = false;
    if (!registered) {
      registered = true;
      WNDCLASSW c{};
      c.lpfnWndProc = RecordingParent;
      c.hInstance = GetModuleHandleW(nullptr);
      c.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
      c.lpszClassName = L"KaroControlsParent";
      RegisterClassW(&c);
    }
  }
  HWND Parent() {
    HWND p = CreateWindowExW(0, L"KaroControlsParent", L"P", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 360, 260,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Window(p);
    SetForegroundWindow(p);
    SetActiveWindow(p);
    return p;
  }
  static HWND Child(HWND parent, const wchar_t* text, LONG style, int id, int y) {
    return CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y, 120, 24, parent,
                           HMENU(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  }
  void UnskinAll() {
    Mgr->State = 1;
    Mgr->Pending = Mgr->DefaultSkinData ? Mgr->DefaultSkinData : Mgr->SkinDataList().front();
    Mgr->SetAction(saUnskinAll, 250);
    Tick();
    Pump();
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
  auto frameShown = [&] {
    d.Fill(0x123456);
    s->PaintControl(d.DC);
    for (int k = 1; k <= 5; ++k)
      if (d.At(1, 1) == FrameColor(kButtonsPic, k)) return k;
    return 0;
  };
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
  auto shown = [&](TSkinControl* s, int pic, int frames, int x, int y) {
    d.Fill(0x123456);
    s->PaintControl(d.DC);
    for (int k = 1; k <= frames; ++k)
      if (d.At(x, y) == FrameColor(pic, k)) return k;
    return 0;
  };
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
  }
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

}  // namespace
