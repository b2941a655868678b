// Window messages as the class library sees them: TMessage, the typed views that handlers take
// (wParam and lParam are unpacked in their constructors and nowhere else), the component
// messages (CM_) and reflected notifications (CN_) with the platform's numbers, TWndMethod (the
// replaceable, comparable WindowProc) and the message maps through which Dispatch finds handlers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>
#include <functional>
#include <type_traits>

// The signed coordinates of a mouse message's lParam (the low and high words as short).
constexpr int MouseX(LPARAM lp) { return int(short(LOWORD(lp))); }
constexpr int MouseY(LPARAM lp) { return int(short(HIWORD(lp))); }

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// --- Component messages: the class library's own, at the platform's numbers ---

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;

// --- Reflected notifications: a parent hands a child's notification back to the child ---

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// The skin library numbers its private messages from 0x3400 to 0x35FF; these two ranges must
// stay clear of them and of the system's messages.
static_assert(CM_BASE > 0x35FF && CN_BASE > 0x35FF && CM_BASE >= WM_APP, "component messages collide");
static_assert(CN_NOTIFY < 0xC000, "reflected messages must stay below the registered messages");

// --- Typed views. Each unpacks its message once; Result writes the message's result. ---

struct TWMNoParams {
  explicit TWMNoParams(TMessage& m) : Message(m), Result(m.Result) {}
  TMessage& Message;
  LRESULT& Result;
};

struct TWMMouse {
  explicit TWMMouse(TMessage& m)
      : Message(m), Keys(UINT(m.WParam)), XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT Keys;
  int XPos, YPos;  // client coordinates, signed
  LRESULT& Result;
};

struct TWMMouseWheel {
  explicit TWMMouseWheel(TMessage& m)
      : Message(m), Keys(LOWORD(m.WParam)), WheelDelta(GET_WHEEL_DELTA_WPARAM(m.WParam)),
        XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT Keys;
  int WheelDelta;
  int XPos, YPos;  // screen coordinates
  LRESULT& Result;
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYS*, their CN_ forms, CM_DIALOGKEY and CM_DIALOGCHAR.
struct TWMKey {
  explicit TWMKey(TMessage& m) : Message(m), CharCode(WORD(m.WParam)), KeyData(LONG(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  WORD CharCode;  // changes are handed on through Message.WParam by the handler that makes them
  LONG KeyData;
  LRESULT& Result;
};

struct TWMCommand {
  explicit TWMCommand(TMessage& m)
      : Message(m), ItemID(LOWORD(m.WParam)), NotifyCode(HIWORD(m.WParam)), Ctl(HWND(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  WORD ItemID;
  WORD NotifyCode;
  HWND Ctl;
  LRESULT& Result;
};

struct TWMNotify {
  explicit TWMNotify(TMessage& m)
      : Message(m), IDCtrl(int(m.WParam)), NMHdr(reinterpret_cast<NMHDR*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int IDCtrl;
  NMHDR* NMHdr;
  LRESULT& Result;
};

struct TWMSize {
  explicit TWMSize(TMessage& m)
      : Message(m), SizeType(UINT(m.WParam)), Width(LOWORD(m.LParam)), Height(HIWORD(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT SizeType;
  int Width, Height;
  LRESULT& Result;
};

// WM_PAINT (DC 0 unless the sender supplies one) and WM_PRINTCLIENT share this view.
struct TWMPaint {
  explicit TWMPaint(TMessage& m) : Message(m), DC(HDC(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  HDC DC;
  LRESULT& Result;
};

struct TWMEraseBkgnd {
  explicit TWMEraseBkgnd(TMessage& m) : Message(m), DC(HDC(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  HDC DC;
  LRESULT& Result;
};

// WM_SETFOCUS (the window losing the focus) and WM_KILLFOCUS (the window getting it).
struct TWMFocus {
  explicit TWMFocus(TMessage& m) : Message(m), FocusedWnd(HWND(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  HWND FocusedWnd;
  LRESULT& Result;
};

struct TWMScroll {
  explicit TWMScroll(TMessage& m)
      : Message(m), ScrollCode(LOWORD(m.WParam)), Pos(short(HIWORD(m.WParam))), ScrollBar(HWND(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int ScrollCode;
  int Pos;
  HWND ScrollBar;
  LRESULT& Result;
};

struct TWMDrawItem {
  explicit TWMDrawItem(TMessage& m)
      : Message(m), Ctl(UINT(m.WParam)), DrawItemStruct(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT Ctl;
  DRAWITEMSTRUCT* DrawItemStruct;
  LRESULT& Result;
};

struct TWMMeasureItem {
  explicit TWMMeasureItem(TMessage& m)
      : Message(m), IDCtl(UINT(m.WParam)), MeasureItemStruct(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)),
        Result(m.Result) {}
  TMessage& Message;
  UINT IDCtl;
  MEASUREITEMSTRUCT* MeasureItemStruct;
  LRESULT& Result;
};

// WM_CTLCOLOR* and their CN_ forms.
struct TWMCtlColor {
  explicit TWMCtlColor(TMessage& m) : Message(m), ChildDC(HDC(m.WParam)), ChildWnd(HWND(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  HDC ChildDC;
  HWND ChildWnd;
  LRESULT& Result;
};

struct TWMWindowPosMsg {
  explicit TWMWindowPosMsg(TMessage& m) : Message(m), WindowPos(reinterpret_cast<WINDOWPOS*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  WINDOWPOS* WindowPos;
  LRESULT& Result;
};

struct TWMSysCommand {
  explicit TWMSysCommand(TMessage& m)
      : Message(m), CmdType(UINT(m.WParam)), XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)),
        Key(wchar_t(LOWORD(m.LParam))), Result(m.Result) {}
  TMessage& Message;
  UINT CmdType;
  int XPos, YPos;
  wchar_t Key;  // SC_KEYMENU: the character typed with Alt (0 for Alt or F10 alone)
  LRESULT& Result;
};

struct TWMActivate {
  explicit TWMActivate(TMessage& m)
      : Message(m), Active(LOWORD(m.WParam)), Minimized(HIWORD(m.WParam) != 0), ActiveWindow(HWND(m.LParam)),
        Result(m.Result) {}
  TMessage& Message;
  UINT Active;  // WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE
  bool Minimized;
  HWND ActiveWindow;
  LRESULT& Result;
};

struct TWMSetText {
  explicit TWMSetText(TMessage& m) : Message(m), Text(reinterpret_cast<const wchar_t*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  const wchar_t* Text;
  LRESULT& Result;
};

struct TWMGetText {
  explicit TWMGetText(TMessage& m)
      : Message(m), TextMax(int(m.WParam)), Text(reinterpret_cast<wchar_t*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int TextMax;
  wchar_t* Text;
  LRESULT& Result;
};

struct TWMContextMenu {
  explicit TWMContextMenu(TMessage& m)
      : Message(m), hWnd(HWND(m.WParam)), XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  HWND hWnd;
  int XPos, YPos;  // screen coordinates; -1, -1 when the keyboard asked for the menu
  LRESULT& Result;
};

struct TWMSetCursor {
  explicit TWMSetCursor(TMessage& m)
      : Message(m), CursorWnd(HWND(m.WParam)), HitTest(short(LOWORD(m.LParam))), MouseMsg(HIWORD(m.LParam)),
        Result(m.Result) {}
  TMessage& Message;
  HWND CursorWnd;
  int HitTest;
  UINT MouseMsg;
  LRESULT& Result;
};

struct TWMInitMenuPopup {
  explicit TWMInitMenuPopup(TMessage& m)
      : Message(m), MenuPopup(HMENU(m.WParam)), Pos(LOWORD(m.LParam)), SystemMenu(HIWORD(m.LParam) != 0), Result(m.Result) {}
  TMessage& Message;
  HMENU MenuPopup;
  int Pos;
  bool SystemMenu;
  LRESULT& Result;
};

struct TWMTimer {
  explicit TWMTimer(TMessage& m)
      : Message(m), TimerID(UINT_PTR(m.WParam)), TimerProc(reinterpret_cast<TIMERPROC>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT_PTR TimerID;
  TIMERPROC TimerProc;
  LRESULT& Result;
};

// BM_SETCHECK: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
struct TBMSetCheck {
  explicit TBMSetCheck(TMessage& m) : Message(m), Check(int(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  int Check;
  LRESULT& Result;
};

struct TWMSetRedraw {
  explicit TWMSetRedraw(TMessage& m) : Message(m), Redraw(m.WParam != 0), Result(m.Result) {}
  TMessage& Message;
  bool Redraw;
  LRESULT& Result;
};

// CM_VISIBLECHANGED and CM_ENABLEDCHANGED: wParam the new value.
struct TCMChanged {
  explicit TCMChanged(TMessage& m) : Message(m), Value(m.WParam != 0), Result(m.Result) {}
  TMessage& Message;
  bool Value;
  LRESULT& Result;
};

struct TWMEnable {
  explicit TWMEnable(TMessage& m) : Message(m), Enabled(m.WParam != 0), Result(m.Result) {}
  TMessage& Message;
  bool Enabled;
  LRESULT& Result;
};

struct TWMShowWindow {
  explicit TWMShowWindow(TMessage& m) : Message(m), Show(m.WParam != 0), Status(int(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  bool Show;
  int Status;  // 0 for ShowWindow, else SW_PARENTCLOSING and its kin
  LRESULT& Result;
};

struct TWMNCHitTest {
  explicit TWMNCHitTest(TMessage& m) : Message(m), XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int XPos, YPos;  // screen coordinates, signed
  LRESULT& Result;
};

// WM_NCMOUSEMOVE, WM_NC?BUTTON*: the hit-test code and the cursor in screen coordinates.
struct TWMNCMouse {
  explicit TWMNCMouse(TMessage& m)
      : Message(m), HitTest(int(m.WParam)), XCursor(MouseX(m.LParam)), YCursor(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int HitTest;
  int XCursor, YCursor;
  LRESULT& Result;
};

struct TWMNCCalcSize {
  explicit TWMNCCalcSize(TMessage& m)
      : Message(m), CalcValidRects(m.WParam != 0), CalcSize_Params(reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)),
        Result(m.Result) {}
  TMessage& Message;
  bool CalcValidRects;
  // With CalcValidRects false lParam is a RECT (the first rectangle of the parameters).
  NCCALCSIZE_PARAMS* CalcSize_Params;
  LRESULT& Result;
};

// WM_NCPAINT: the update region, or 1 for the whole frame.
struct TWMNCPaint {
  explicit TWMNCPaint(TMessage& m) : Message(m), RGN(HRGN(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  HRGN RGN;
  LRESULT& Result;
};

struct TWMNCActivate {
  explicit TWMNCActivate(TMessage& m) : Message(m), Active(m.WParam != 0), Result(m.Result) {}
  TMessage& Message;
  bool Active;
  LRESULT& Result;
};

struct TWMMouseActivate {
  explicit TWMMouseActivate(TMessage& m)
      : Message(m), TopLevel(HWND(m.WParam)), HitTestCode(short(LOWORD(m.LParam))), MouseMsg(HIWORD(m.LParam)),
        Result(m.Result) {}
  TMessage& Message;
  HWND TopLevel;
  int HitTestCode;
  UINT MouseMsg;
  LRESULT& Result;
};

struct TWMStyleChanged {
  explicit TWMStyleChanged(TMessage& m)
      : Message(m), StyleType(int(m.WParam)), StyleStruct(reinterpret_cast<STYLESTRUCT*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  int StyleType;  // GWL_STYLE or GWL_EXSTYLE
  STYLESTRUCT* StyleStruct;
  LRESULT& Result;
};

// WM_PRINT: the DC and the PRF_ flags.
struct TWMPrint {
  explicit TWMPrint(TMessage& m) : Message(m), DC(HDC(m.WParam)), Flags(UINT(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  HDC DC;
  UINT Flags;
  LRESULT& Result;
};

struct TWMParentNotify {
  explicit TWMParentNotify(TMessage& m)
      : Message(m), Event(LOWORD(m.WParam)), ChildID(HIWORD(m.WParam)), ChildWnd(HWND(m.LParam)),
        XPos(MouseX(m.LParam)), YPos(MouseY(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT Event;    // WM_CREATE, WM_DESTROY or a button-down message
  UINT ChildID;  // for WM_CREATE and WM_DESTROY
  HWND ChildWnd;  // for WM_CREATE and WM_DESTROY
  int XPos, YPos;  // for a button-down message
  LRESULT& Result;
};

struct TWMMenuSelect {
  explicit TWMMenuSelect(TMessage& m)
      : Message(m), IDItem(LOWORD(m.WParam)), MenuFlag(HIWORD(m.WParam)), Menu(HMENU(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT IDItem;
  UINT MenuFlag;
  HMENU Menu;
  LRESULT& Result;
};

struct TWMMenuChar {
  explicit TWMMenuChar(TMessage& m)
      : Message(m), User(LOWORD(m.WParam)), MenuFlag(HIWORD(m.WParam)), Menu(HMENU(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  WORD User;
  UINT MenuFlag;
  HMENU Menu;
  LRESULT& Result;
};

struct TWMGetMinMaxInfo {
  explicit TWMGetMinMaxInfo(TMessage& m) : Message(m), MinMaxInfo(reinterpret_cast<MINMAXINFO*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  MINMAXINFO* MinMaxInfo;
  LRESULT& Result;
};

struct TWMSetIcon {
  explicit TWMSetIcon(TMessage& m) : Message(m), BigIcon(UINT(m.WParam)), Icon(HICON(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  UINT BigIcon;  // ICON_SMALL or ICON_BIG
  HICON Icon;
  LRESULT& Result;
};

// CM_FOCUSCHANGED: lParam is the control that got the focus. CM_CHILDKEY: wParam the key,
// lParam the control. Other CM_ messages with an object in lParam read it through this view.
struct TCMObject {
  explicit TCMObject(TMessage& m) : Message(m), WParam(m.WParam), Object(reinterpret_cast<void*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  WPARAM WParam;
  void* Object;
  LRESULT& Result;
};

// --- TWndMethod ---

// A control's WindowProc: a callable bound to an object and one of its methods. Two values are
// equal when they name the same method of the same object, so a subclasser can tell whether
// its procedure is still the current one before it puts back the one it saved.
class TWndMethod {
public:
  TWndMethod() = default;

  template <class C, class B>
    requires std::is_base_of_v<B, C>
  TWndMethod(C* object, void (B::*method)(TMessage&))
      : fn_([object, method](TMessage& m) { (object->*method)(m); }), data_(static_cast<const void*>(object)) {
    static_assert(sizeof(method) <= sizeof(code_), "method pointer too large");
    std::memcpy(code_.data(), &method, sizeof(method));
  }

  // Any callable; identity names it for comparisons (two values with the same identity and tag
  // are taken to be the same procedure).
  TWndMethod(std::function<void(TMessage&)> fn, const void* identity, uintptr_t tag = 0)
      : fn_(std::move(fn)), data_(identity) {
    std::memcpy(code_.data(), &tag, sizeof(tag));
  }

  void operator()(TMessage& m) const {
    if (fn_) fn_(m);
  }
  explicit operator bool() const { return bool(fn_); }
  bool operator==(const TWndMethod& o) const { return data_ == o.data_ && code_ == o.code_; }

private:
  std::function<void(TMessage&)> fn_;
  const void* data_ = nullptr;
  std::array<unsigned char, 2 * sizeof(void*)> code_{};
};

// --- Message maps ---

// A class that handles messages by number declares in its body
//     void Dispatch(TMessage& Message) override;
// and defines it in its .cpp with
//     KARO_BEGIN_MESSAGE_MAP(TMyControl)
//       KARO_MESSAGE(WM_SIZE, WMSize)          // void WMSize(TWMSize& m)
//       KARO_MESSAGE(CM_ENTER, CMEnter)        // void CMEnter(TMessage& m)
//     KARO_END_MESSAGE_MAP(TParentControl)
// A handler takes a typed view (built from the message) or the TMessage itself. Messages that
// the class does not list go to the parent class's Dispatch; a handler that wants the inherited
// behaviour calls TParentControl::Dispatch(view.Message).
//
// A map may define another member than Dispatch, one whose handlers give back a value (a skin's
// "go on with this message?"), and name what an unlisted message gets:
//     KARO_BEGIN_MESSAGE_MAP_OF(TMySkin, bool, BeforeProc)
//       KARO_MESSAGE(WM_TIMER, WMTimer)        // bool WMTimer(TWMTimer& m)
//     KARO_END_MESSAGE_MAP_OF(TSkinBase::BeforeProc(Message))
template <class C, class R = void> struct TMessageHandler {
  UINT Msg;
  R (*Call)(C& self, TMessage& m);
};

template <class S, class C, class R, class Arg> R KaroInvokeHandler(S& self, R (C::*method)(Arg&), TMessage& m) {
  if constexpr (std::is_same_v<Arg, TMessage>) {
    return (self.*method)(m);
  } else {
    Arg typed(m);
    return (self.*method)(typed);
  }
}

#define KARO_BEGIN_MESSAGE_MAP_OF(Cls, Ret, Member) \
  Ret Cls::Member(TMessage& Message) {              \
    using KaroSelf = Cls;                           \
    using KaroResult = Ret;                         \
    static const TMessageHandler<Cls, Ret> kMap[] = {
#define KARO_BEGIN_MESSAGE_MAP(Cls) KARO_BEGIN_MESSAGE_MAP_OF(Cls, void, Dispatch)
#define KARO_MESSAGE(msg, method) \
  {msg, [](KaroSelf& s, TMessage& m) -> KaroResult { return KaroInvokeHandler(s, &KaroSelf::method, m); }},
// The handler of the message in the class's map, if it lists one: then the map is done.
#define KARO_MESSAGE_MAP_LOOKUP()       \
  }                                     \
  ;                                     \
  for (const auto& h : kMap)            \
    if (h.Msg == Message.Msg) return h.Call(*this, Message);

#define KARO_END_MESSAGE_MAP(Parent) \
  KARO_MESSAGE_MAP_LOOKUP()          \
  Parent::Dispatch(Message);         \
  }

// The end of the map of a class that has no parent map: unlisted messages go to DefaultHandler.
#define KARO_END_MESSAGE_MAP_DEFAULT() \
  KARO_MESSAGE_MAP_LOOKUP()            \
  DefaultHandler(Message);             \
  }

// The end of a KARO_BEGIN_MESSAGE_MAP_OF map: an unlisted message gets what Unlisted gives.
#define KARO_END_MESSAGE_MAP_OF(Unlisted) \
  KARO_MESSAGE_MAP_LOOKUP()               \
  return Unlisted;                        \
  }
