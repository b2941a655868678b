// The visual core of the class library: TControl (bounds, alignment, visibility, colour, font,
// text, mouse events and the WindowProc chain), TWinControl (a window of its own, made on
// demand, with child controls, tab order and focus), TGraphicControl (painted on its parent's
// device context), TCustomControl (a window with a canvas) and TControlCanvas. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/align_layout.h"
#include "classlib/controls/messages.h"
#include "classlib/core/persistent.h"
#include "classlib/core/typinfo.h"
#include "classlib/graphics/canvas.h"
#include "classlib/graphics/graphics.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

KARO_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly);
KARO_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle);
KARO_ENUM(TShiftStateElement, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble);
using TShiftState = TSet<TShiftStateElement>;

// Cursor numbers as the platform gives them; crDefault lets the window class decide.
using TCursor = int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;
// The type of published cursor properties: form files may write the cr* names.
const TTypeInfo* CursorTypeInfo();
// The system cursor for a cursor number (the arrow for unknown numbers and crDefault).
HCURSOR CursorHandle(TCursor cursor);

// What a control is made to do, a set over these bits.
enum TControlStyleBit : uint32_t {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csClickEvents = 1u << 2,
  csFramed = 1u << 3,
  csSetCaption = 1u << 4,
  csOpaque = 1u << 5,
  csDoubleClicks = 1u << 6,
  csFixedWidth = 1u << 7,
  csFixedHeight = 1u << 8,
  csReplicatable = 1u << 9,
  csNoStdEvents = 1u << 10,
  csParentBackground = 1u << 11,
};
using TControlStyle = uint32_t;

// What a control is doing now.
enum TControlStateBit : uint32_t {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csAlignmentNeeded = 1u << 2,
  csFocusing = 1u << 3,
  csCreating = 1u << 4,
  csCustomPaint = 1u << 5,
  csDestroyingHandle = 1u << 6,
  csRecreating = 1u << 7,
};
using TControlState = uint32_t;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, wchar_t& Key)>;

// The shift state of a mouse message's key flags, and of the keyboard for a key message.
TShiftState KeysToShiftState(UINT keys);
TShiftState KeyDataToShiftState(LONG keyData);

// The class-library control stored on a window (under ControlAtom), or null.
TWinControl* FindControl(HWND wnd);
// The control of the window, or of the nearest ancestor window that has one.
TWinControl* FindOwningControl(HWND wnd);
// The form that holds the control (the control itself when it is a form), or null.
TCustomForm* GetParentForm(TControl* control);
// The control that holds the mouse capture (a control without a window captures through its
// parent's window), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The control that the mouse is over, as CM_MOUSEENTER and CM_MOUSELEAVE last told.
TControl* MouseControl();

// A window that is no control of the library, with a procedure of the caller's (timers, the
// popup-menu owner): a hidden top-level window of class "TPUtilWindow". Exceptions of the
// procedure are handed to the application's handler.
HWND AllocateHWnd(std::function<void(TMessage&)> proc);
void DeallocateHWnd(HWND wnd);

// The module whose window classes and resources the class library uses (the program, or the
// library module it is linked into).
HINSTANCE HInstance();

// Hands the exception being handled to the application's handler (the default one shows the
// error box). Call only inside a catch block; every window procedure, hook and timer callback
// of the library catches with it.
void HandleCallbackException(TObject* sender);
// Runs fn; an exception it raises goes to the application's handler instead of the caller
// (events of the library's own making: OnCreate, OnShow, OnTimer...).
void CallGuarded(TObject* sender, const std::function<void()>& fn);

// The control canvas of a control: its device context is the control's window's, or, for a
// control without a window, its parent's moved to the control and clipped to it. A context it
// takes itself is given back by FreeHandle and at the latest when the application goes idle.
class TControlCanvas : public TCanvas {
  KARO_CLASS(TControlCanvas)
public:
  TControlCanvas();
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* control);
  // Gives back the device context the canvas took (the next drawing takes a new one).
  void FreeHandle();
  // Every control canvas gives its context back (the application calls this when idle).
  static void FreeDeviceContexts();
  // Runs paint with the canvas drawing on dc (a paint message's context), locked, and gives
  // the context up again after it.
  void PaintOn(HDC dc, const std::function<void()>& paint);

protected:
  void CreateHandle() override;

private:
  TControl* control_ = nullptr;
  HDC dc_ = nullptr;
  HWND wnd_ = nullptr;
};

struct TCreateParams {
  WideString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSW WindowClass{};
  WideString WinClassName;
};

class TControl : public TComponent {
  KARO_CLASS(TControl)
public:
  explicit TControl(TComponent* owner);
  // Leaves the parent; a control that the mouse or capture was on is forgotten.
  ~TControl() override;
  void BeforeDestruction() override;

  // --- Parent and place ---
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The client area in client coordinates.
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Right; }
  int ClientHeight() { return ClientRect().Bottom; }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int width, int height);
  // Screen position of the client origin.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
  }
  TPoint ScreenToClient(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
  }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }

  // --- State ---
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  // The control and all its parents are visible.
  bool IsVisibleOnScreen() const;
  void Show();
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() { return &font_; }
  void SetFont(TFont* font) { font_.Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  // The text: a control's caption, an edit's contents. Wide, as all user-visible text here.
  WideString Text();
  void SetText(const WideString& text);
  WideString Caption() { return Text(); }
  void SetCaption(const WideString& text) { SetText(text); }
  const WideString& Hint() const { return hint_; }
  void SetHint(const WideString& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v; }
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  bool UseRightToLeftScrollBar() const { return biDiMode_ == bdRightToLeft || biDiMode_ == bdRightToLeftNoAlign; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle s) { controlStyle_ = s; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState s) { controlState_ = s; }
  bool MouseCapture() const { return GetCaptureControl() == this; }
  void SetMouseCapture(bool value);

  // --- Messages ---
  // The procedure that every message of the control passes: WndProc until someone replaces
  // it. A replacer keeps the value it found and calls it for what it does not handle; it puts
  // that value back only while its own is still the current one (compare with ==).
  const TWndMethod& WindowProc() const { return windowProc_; }
  void SetWindowProc(TWndMethod proc) { windowProc_ = std::move(proc); }
  // The WndProc of this control as a WindowProc value (what WindowProc holds at first).
  TWndMethod DefaultWindowProc() { return TWndMethod(this, &TControl::WndProc); }
  // Hands a message straight to WindowProc (no window is involved) and gives its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& Message);
  // The handler of the message's number in the class's message map, else DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // --- Painting ---
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  virtual void Click();
  virtual void DblClick();

  // --- Component structure ---
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void Loaded() override;

  // The device context on which the control draws (the window it lies on gets it), with the
  // window it belongs to; the caller releases it with ReleaseDC(window, dc).
  virtual HDC GetDeviceContext(HWND& window);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

protected:
  void Notification(TComponent* c, TOperation op) override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void Resize();
  // Tells the parent that this control's alignment needs a new layout.
  virtual void RequestAlign();
  virtual void SetZOrder(bool topMost);
  // Invalidates the control's rectangle on its parent's window.
  void InvalidateControl(bool isVisible, bool isOpaque);
  // Stores the rectangle without moving anything (a window that moved tells its control).
  void UpdateBoundsRect(const TRect& r);
  // A form file is being read into the control.
  bool IsLoading() const { return HasState(csLoading) || HasState(csReading); }
  // The text kept by the control itself (controls without a window, and windows not yet made).
  WideString& StoredText() { return text_; }
  bool FiringEvents() const { return !HasState(csDestroying) && !HasState(csLoading); }
  // What a mouse message does for every control (click state, capture, events).
  void DoMouseMessage(TMessage& m);

  void WMSetText(TWMSetText& m);
  void WMGetText(TWMGetText& m);
  void WMGetTextLength(TWMNoParams& m);
  void WMContextMenu(TWMContextMenu& m);
  void CMEnabledChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMParentFontChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMParentBiDiModeChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMHitTest(TMessage& m);

private:
  friend class TWinControl;
  void FontChanged();
  void ApplyParentProperties();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  bool parentFont_ = true;
  bool parentBiDiMode_ = true;
  bool showHint_ = false;
  bool fontChanging_ = false;
  TFont font_;
  WideString text_;
  WideString hint_;
  TBiDiMode biDiMode_ = bdLeftToRight;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
  TWndMethod windowProc_;
};

class TWinControl : public TControl {
  KARO_CLASS(TWinControl)
public:
  explicit TWinControl(TComponent* owner);
  // Destroys the window, then every child control (a child owned elsewhere too leaves its
  // owner as it goes).
  ~TWinControl() override;

  // --- The window ---
  // The window, made (with the parent's) when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Destroys the window, which the next Handle() makes again with the current parameters; a
  // window that was showing is made and shown again at once.
  void RecreateWnd();
  // A window that is no control of the library, to which a control without a parent belongs.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND wnd);
  // The control and all its parents are visible and its window exists.
  bool Showing() const { return showing_; }
  TBrush* Brush() { return &brush_; }
  // The window procedure that does what the control does not handle.
  WNDPROC DefWndProc() const { return defWndProc_; }

  // --- Children ---
  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  // The child at a point of the client area (the topmost of those that are visible, and
  // enabled unless allowDisabled; windowed children only with allowWinControls).
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
  // Performs the message on every child control until one answers non-zero.
  void Broadcast(TMessage& message);
  // Performs the message on every child control.
  void NotifyControls(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // --- Alignment ---
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ > 0; }
  void Realign();

  // --- Tab order and focus ---
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  // Every windowed descendant, depth first, each container's children in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  virtual bool CanFocus();
  bool Focused() const;
  virtual void SetFocus();

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetClientSize(int width, int height) override;
  void SetParent(TWinControl* parent) override;
  HDC GetDeviceContext(HWND& window) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Messages from the window procedure enter here: WindowProc runs inside a guard that hands
  // any exception to the application's handler.
  void MainWndProc(TMessage& Message);

protected:
  virtual void CreateParams(TCreateParams& params);
  // Makes the window: CreateParams, the window class (registered under the control's class
  // name when it is not yet), CreateWindowHandle, then the font.
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  // Keeps the window's text for the next window, then destroys the window.
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Makes the window (CreateWnd) and places it among its siblings.
  void CreateHandle();
  // Destroys the children's windows, then this one.
  void DestroyHandle();
  // Makes the control's window a superclass of a system window class ("BUTTON",
  // "SysTabControl32"...): the class keeps the system class's styles, extra bytes, cursor and
  // background, is registered under the control's class name, and the system class's
  // procedure becomes DefWndProc, so the control does what it does not handle as the system
  // class would. The common controls are initialised for names that need it.
  void CreateSubClass(TCreateParams& params, const wchar_t* systemClassName);
  // Lays the aligned children out in rect (the client area, less what has been taken).
  virtual void AlignControls(TControl* control, TRect& rect);
  // The rectangle the children are aligned in.
  virtual TRect AlignRect() { return ClientRect(); }
  // The frame the window style adds around the client area: client rectangle + frame = window.
  virtual TRect NonClientFrame();
  // Paints the window's own picture into dc (the default procedure's WM_PAINT for a system
  // class; a custom control's Paint).
  virtual void PaintWindow(HDC dc);
  // Paints the children without windows that intersect the clip area, from first on.
  void PaintControls(HDC dc, TControl* first);
  // WM_PAINT and WM_PRINTCLIENT: PaintWindow, then the children without windows.
  void PaintHandler(TWMPaint& m);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(wchar_t& key);
  // The form's KeyPreview first, then the control; true when the key was eaten.
  bool DoKeyDown(TWMKey& m);
  bool DoKeyUp(TWMKey& m);
  bool DoKeyPress(TWMKey& m);
  bool DoKeyEvent(TWMKey& m, bool down);
  // Reflects a child's notification to the child window (as the message plus CN_BASE) and
  // takes its answer; false when the window is no control of this library.
  bool DoControlMsg(HWND control, TMessage& m);
  // Makes the window, and its children's, when the control is showing; shows or hides it.
  void UpdateShowing();
  void UpdateControlState();
  void SetZOrder(bool topMost) override;
  // Takes the window's rectangle into the control's bounds.
  void UpdateBounds();
  void SetShowing(bool v) { showing_ = v; }
  // The window the control's window is created in.
  HWND ParentHandle();

  void WMPaint(TWMPaint& m);
  void WMEraseBkgnd(TWMEraseBkgnd& m);
  void WMCommand(TWMCommand& m);
  void WMNotify(TWMNotify& m);
  void WMReflect(TMessage& m);
  void WMCtlColor(TWMCtlColor& m);
  void CNCtlColor(TWMCtlColor& m);
  void WMSize(TWMSize& m);
  void WMMove(TMessage& m);
  void WMWindowPosChanged(TWMWindowPosMsg& m);
  void WMSetFocus(TWMFocus& m);
  void WMKillFocus(TWMFocus& m);
  void WMKeyDown(TWMKey& m);
  void WMKeyUp(TWMKey& m);
  void WMChar(TWMKey& m);
  void WMSetCursor(TWMSetCursor& m);
  void WMMouseLeave(TMessage& m);
  void WMNCDestroy(TMessage& m);
  void CNKeyDown(TWMKey& m);
  void CNKeyUp(TWMKey& m);
  void CNChar(TWMKey& m);
  void CNSysKeyDown(TWMKey& m);
  void CNSysChar(TWMKey& m);
  void CMEnabledChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMBiDiModeChanged(TMessage& m);
  void CMRecreateWnd(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMFocusChanged(TMessage& m);
  void CMEnter(TMessage& m);
  void CMExit(TMessage& m);
  void CMInvalidate(TMessage& m);
  void WMContextMenuWin(TWMContextMenu& m);

private:
  friend class TControl;
  friend class TCustomForm;
  friend LRESULT CALLBACK KaroControlWndProc(HWND, UINT, WPARAM, LPARAM);
  void AttachHandle(HWND wnd);
  void DetachHandle();
  void Insert(TControl* c);
  void Remove(TControl* c);
  void FixupTabList();
  // Mouse messages for a child without a window: handed to it in its own coordinates.
  bool IsControlMouseMsg(TMessage& m);
  // The control under the cursor changed to target: CM_MOUSELEAVE and CM_MOUSEENTER.
  void TrackMouseControl(TControl* target);
  void AlignControl(TControl* control);
  // The window that a child's window is placed after (the previous windowed sibling's).
  HWND PrecedingWindow(TWinControl* control);
  // Takes the focus away from this control and its children before it goes away.
  void RemoveFocus(bool removing);

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  WNDPROC defWndProc_ = DefWindowProcW;
  std::vector<TControl*> controls_;    // all children, from the bottom: those without a window first
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
  TBrush brush_;
  int alignLevel_ = 0;
  int tabOrderWanted_ = -1;  // a form file's TabOrder, applied when reading ends
  bool tabStop_ = false;
  bool showing_ = false;
  bool trackingLeave_ = false;
};

// A control without a window: it paints on its parent's device context, moved and clipped.
class TGraphicControl : public TControl {
  KARO_CLASS(TGraphicControl)
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return canvas_.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}
  void WMPaint(TWMPaint& m);

private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A window that its control paints itself, on a canvas.
class TCustomControl : public TWinControl {
  KARO_CLASS(TCustomControl)
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// Published properties that many control classes share, for their KARO_CLASS_PROPS lists:
//   KARO_CLASS_PROPS(TPanel, TCustomPanel, TControlProps::Align(), TControlProps::Caption(), ...)
// A class lists the ones it publishes, in the order it writes them. ParentColor and ParentFont
// are always written and stand after Color and Font, so that reading a form gives back what was
// written (setting Color or a part of Font clears the Parent... flag).
struct TControlProps {
  static TPropInfo Left();
  static TPropInfo Top();
  static TPropInfo Width();
  static TPropInfo Height();
  static TPropInfo Align();
  static TPropInfo BiDiMode();
  static TPropInfo Caption();
  static TPropInfo Text();
  static TPropInfo Color();
  static TPropInfo Cursor();
  static TPropInfo Enabled();
  static TPropInfo Font();
  static TPropInfo Hint();
  static TPropInfo ParentBiDiMode();
  static TPropInfo ParentColor();
  static TPropInfo ParentFont();
  static TPropInfo PopupMenu();
  static TPropInfo ShowHint();
  static TPropInfo TabOrder();
  static TPropInfo TabStop();
  static TPropInfo Visible();
  static TPropInfo OnClick();
  static TPropInfo OnDblClick();
  static TPropInfo OnEnter();
  static TPropInfo OnExit();
  static TPropInfo OnKeyDown();
  static TPropInfo OnKeyPress();
  static TPropInfo OnKeyUp();
  static TPropInfo OnMouseDown();
  static TPropInfo OnMouseEnter();
  static TPropInfo OnMouseLeave();
  static TPropInfo OnMouseMove();
  static TPropInfo OnMouseUp();
  static TPropInfo OnResize();
};
