// The private window messages of the skinning layer: the one list of their numbers, with who sends
// them, who answers and what their parameters mean. Every skinned window, control and menu uses it.
#pragma once

#include <windows.h>

#include "classlib/controls/messages.h"

// Re-applies the current skin to a form (SkinChange). Sent by application code; not passed on.
constexpr UINT CN_SkinChange = 0x3401;
// Repaints the non-client area of a skinned window. Sent by application code.
constexpr UINT CN_UpdateNc = 0x3502;
// Posted once by the manager to a window it has just listed (wParam 0, lParam kSkinActiveMark);
// the skinned window finishes taking the window over when it arrives.
constexpr UINT CN_SkinActive = 0x3503;
constexpr LPARAM kSkinActiveMark = 1000;
// Switches a control's skin on (wParam > 0, and repaints) or off (0). Sent by application code.
constexpr UINT CN_SkinEnable = 0x3506;
// Sent by the tab skin to the window of its skinned form: wParam the tab control, lParam the tab
// index; a result of 0 lets the page be freed.
constexpr UINT CN_TabClose = 0x3507;
// Posted by a skinned window to itself for a skin-defined caption button: wParam the button's
// Action, lParam 0. Answered by the application.
constexpr UINT CN_SysBtnAction = 0x3514;
// Sent by a skinned window to itself: wParam the Visibility code (1000..2000), lParam the button's
// type; a result above 0 shows the button. Answered by the application.
constexpr UINT CN_SysBtnVisible = 0x3515;
// Posted by a maximised MDI child's skinned window to the MDI client: wParam the child, lParam 0.
constexpr UINT CN_MdiRedraw = 0x3516;
// Posted by the scroll-bar skin to the window of its skinned form: wParam the re-created control.
constexpr UINT CN_ReCreateWnd = 0x3517;
// Sent by application code; handled by the skinned window's menu bar.
constexpr UINT CN_MenuSelect = 0x3518;
// Every skinned window, popup-menu window and control answers 1 (wParam 0, lParam 0).
constexpr UINT CN_IsSkinned = 0x3523;

// The class library's numbers for reflected notifications that the skinning layer also uses; the
// lParam kSkinLibraryMark marks a message as the skin library's own.
constexpr LPARAM kSkinLibraryMark = 16802;  // 0x41A2
// Sent by a skinned window once it is skinned, and posted when it answers CN_IsSkinned (wParam 0):
// tool-bar and track-bar skins take their look from it.
constexpr UINT CN_SkinNotify = 0xBC4E;
// With lParam kSkinLibraryMark: an edit paints its client area into the DC in wParam.
constexpr UINT CN_SkinPaintClient = 0xBC4A;
// With lParam kSkinLibraryMark: paints the non-client area (form) or the two-line border (scrolling
// control) into the DC in wParam.
constexpr UINT CN_SkinPaintFrame = 0xBC4B;
// Answers kSkinLibraryMark when lParam is kSkinLibraryMark, else 1.
constexpr UINT CN_SkinQuery = 0xBC4D;

// The typed view of the messages that carry a device context in wParam and, in lParam, the
// library's mark (CN_SkinPaintClient, CN_SkinPaintFrame, CN_SkinQuery, CN_SkinNotify).
struct TCNSkinMarked {
  explicit TCNSkinMarked(TMessage& m)
      : Message(m), DC(HDC(m.WParam)), Marked(m.LParam == kSkinLibraryMark), Result(m.Result) {}
  TMessage& Message;
  HDC DC;
  bool Marked;  // lParam is kSkinLibraryMark: the message is the skin library's own
  LRESULT& Result;
};

// WM_NOTIFY and CN_NOTIFY as a skinned control hears them: the library's own mark rides on the
// reflected-notification number (see CN_SkinNotify) and points at nothing, so a marked message
// carries no header.
struct TWMSkinNotify {
  explicit TWMSkinNotify(TMessage& m)
      : Message(m), Marked(m.LParam == kSkinLibraryMark),
        NMHdr(Marked ? nullptr : reinterpret_cast<NMHDR*>(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  bool Marked;
  NMHDR* NMHdr;
  LRESULT& Result;
};

// CN_SkinEnable: on for a wParam above 0 (read signed), else off.
struct TCNSkinEnable {
  explicit TCNSkinEnable(TMessage& m) : Message(m), Enable(LONG_PTR(m.WParam) > 0), Result(m.Result) {}
  TMessage& Message;
  bool Enable;
  LRESULT& Result;
};

// CN_SkinActive: the manager's own only with lParam kSkinActiveMark.
struct TCNSkinActive {
  explicit TCNSkinActive(TMessage& m) : Message(m), Marked(m.LParam == kSkinActiveMark), Result(m.Result) {}
  TMessage& Message;
  bool Marked;
  LRESULT& Result;
};

// CN_ReCreateWnd: the control window in wParam.
struct TCNReCreateWnd {
  explicit TCNReCreateWnd(TMessage& m) : Message(m), Control(HWND(m.WParam)), Result(m.Result) {}
  TMessage& Message;
  HWND Control;
  LRESULT& Result;
};

// WM_MDISETMENU as the MDI client hears it: the frame's new menu (0: unchanged) and the
// window menu.
struct TMDISetMenu {
  explicit TMDISetMenu(TMessage& m)
      : Message(m), FrameMenu(HMENU(m.WParam)), WindowMenu(HMENU(m.LParam)), Result(m.Result) {}
  TMessage& Message;
  HMENU FrameMenu;
  HMENU WindowMenu;
  LRESULT& Result;
};

// A message with a point in screen coordinates in lParam (CN_MenuSelect), signed.
struct TCNScreenPoint {
  explicit TCNScreenPoint(TMessage& m) : Message(m), Point{MouseX(m.LParam), MouseY(m.LParam)}, Result(m.Result) {}
  TMessage& Message;
  POINT Point;
  LRESULT& Result;
};
