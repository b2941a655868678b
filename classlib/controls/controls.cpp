#include "classlib/controls/controls.h"

#include <algorithm>

#include "classlib/controls/control_atom.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"

// The module that holds this code (the program, or the library it is linked into).
extern "C" IMAGE_DOS_HEADER __ImageBase;

KARO_CLASS_INFO(TControlCanvas, TCanvas)

HINSTANCE HInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

namespace {

// The control whose window is being made: the first message of a new window attaches it.
thread_local TWinControl* t_creatingControl = nullptr;
// How deep window procedures of the library are nested on this thread.
thread_local int t_messageDepth = 0;

TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;

// Never freed: canvases that the program's shut-down frees still leave it.
std::vector<TControlCanvas*>& CanvasList() {
  static auto* list = new std::vector<TControlCanvas*>;
  return *list;
}

constexpr const wchar_t* kUtilWindowClass = L"TPUtilWindow";

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* proc = reinterpret_cast<std::function<void(TMessage&)>*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!proc || !*proc) return DefWindowProcW(wnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  try {
    (*proc)(m);
  } catch (...) {
    HandleCallbackException(nullptr);
  }
  return m.Result;
}

}  // namespace

// The window procedure of every window class the library registers. The object comes from the
// window property; a window's first message (which may come before WM_NCCREATE) finds it in
// t_creatingControl instead and attaches it.
LRESULT CALLBACK KaroControlWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* c = FindControl(wnd);
  if (!c) {
    c = t_creatingControl;
    if (!c) return DefWindowProcW(wnd, msg, wp, lp);
    t_creatingControl = nullptr;
    c->AttachHandle(wnd);
  }
  TMessage m{msg, wp, lp, 0};
  ++t_messageDepth;
  c->MainWndProc(m);
  if (msg == WM_NCDESTROY)
    if (TWinControl* still = FindControl(wnd)) still->DetachHandle();
  if (--t_messageDepth == 0) TControlCanvas::FreeDeviceContexts();
  return m.Result;
}

TWinControl* FindControl(HWND wnd) {
  if (!wnd || !ControlAtom) return nullptr;
  return static_cast<TWinControl*>(GetPropW(wnd, MAKEINTATOM(ControlAtom)));
}

TWinControl* FindOwningControl(HWND wnd) {
  while (wnd) {
    if (TWinControl* c = FindControl(wnd)) return c;
    wnd = GetParent(wnd);
  }
  return nullptr;
}

TCustomForm* GetParentForm(TControl* control) {
  while (control && control->Parent()) control = control->Parent();
  return dyn<TCustomForm>(control);
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  if (result && g_captureControl && g_captureControl->Parent() == result) result = g_captureControl;
  return result;
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  g_captureControl = nullptr;
  if (!control) return;
  if (!control->Is<TWinControl>()) {
    if (!control->Parent()) return;
    g_captureControl = control;
    control = control->Parent();
  }
  SetCapture(static_cast<TWinControl*>(control)->Handle());
}

TControl* MouseControl() { return g_mouseControl; }

HWND AllocateHWnd(std::function<void(TMessage&)> proc) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = HInstance();
    wc.lpszClassName = kUtilWindowClass;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw EOSError(SysErrorMessage(int(GetLastError())));
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             HInstance(), nullptr);
  if (!wnd) throw EOSError(SysErrorMessage(int(GetLastError())));
  SetWindowLongPtrW(wnd, GWLP_USERDATA, LONG_PTR(new std::function<void(TMessage&)>(std::move(proc))));
  return wnd;
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
  auto* proc = reinterpret_cast<std::function<void(TMessage&)>*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
  DestroyWindow(wnd);
  delete proc;
}

TShiftState KeysToShiftState(UINT keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LONG keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

const TTypeInfo* CursorTypeInfo() {
  static const TTypeInfo t = MakeIntegerTypeInfo(
      "TCursor", {{crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
                  {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"},
                  {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"},
                  {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"}, {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"},
                  {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
                  {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"},
                  {crSizeAll, "crSizeAll"}});
  return &t;
}

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

// --- TControlCanvas ---

TControlCanvas::TControlCanvas() { CanvasList().push_back(this); }

TControlCanvas::~TControlCanvas() {
  FreeHandle();
  auto& list = CanvasList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::SetControl(TControl* control) {
  if (control_ == control) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::CreateHandle() {
  if (!control_ || dc_) return;
  HWND wnd = nullptr;
  HDC dc = control_->GetDeviceContext(wnd);
  dc_ = dc;
  wnd_ = wnd;
  SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
  if (!dc_) return;
  SetHandle(nullptr);
  ReleaseDC(wnd_, dc_);
  dc_ = nullptr;
  wnd_ = nullptr;
}

void TControlCanvas::PaintOn(HDC dc, const std::function<void()>& paint) {
  struct TGiveBack {
    TControlCanvas* c;
    ~TGiveBack() {
      c->SetHandle(nullptr);
      c->Unlock();
    }
  };
  Lock();
  FreeHandle();
  SetHandle(dc);
  TGiveBack giveBack{this};
  paint();
}

void TControlCanvas::FreeDeviceContexts() {
  for (TControlCanvas* c : CanvasList())
    if (c->dc_ && c->LockCount() == 0) c->FreeHandle();
}

// --- TControl ---

KARO_CLASS_INFO(TControl, TComponent)

TControl::TControl(TComponent* owner) : TComponent(owner), windowProc_(this, &TControl::WndProc) {
  font_.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (g_mouseControl == this) g_mouseControl = nullptr;
  if (g_captureControl == this) SetCaptureControl(nullptr);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  // Owned components (and the skins among them) hear of the end while the control is whole.
  Destroying();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  for (TWinControl* p = parent; p; p = p->Parent())
    if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* p = dyn<TWinControl>(parent)) SetParent(p);
}

void TControl::Loaded() {
  TComponent::Loaded();
  // While a form file was read, the parent's font and colour did not reach the control.
  if (parent_) ApplyParentProperties();
}

void TControl::ApplyParentProperties() {
  Perform(CM_PARENTCOLORCHANGED);
  Perform(CM_PARENTFONTCHANGED);
  Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateControl(visible_, false);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED);
  RequestAlign();
  if (!HasState(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) {
  TRect client = ClientRect();
  SetBounds(left_, top_, width_ - client.Right + width, height_ - client.Bottom + height);
}

TPoint TControl::ClientOrigin() {
  if (!parent_) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::Resize() {
  if (OnResize && FiringEvents()) OnResize(this);
}

void TControl::SetZOrder(bool topMost) {
  if (!parent_) return;
  // Controls without a window keep below every window: they move within their own part.
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  auto firstWindowed = std::find_if(list.begin(), list.end(), [](TControl* c) { return c->Is<TWinControl>(); });
  list.insert(topMost ? firstWindowed : list.begin(), this);
  InvalidateControl(visible_, true);
}

bool TControl::IsVisibleOnScreen() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_) parent_->Show();
  SetVisible(true);
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (parentColor_ == value) return;
  parentColor_ = value;
  if (parent_ && !HasState(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged() {
  if (!fontChanging_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (parentFont_ == value) return;
  parentFont_ = value;
  if (parent_ && !HasState(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode mode) {
  if (biDiMode_ == mode) return;
  biDiMode_ = mode;
  parentBiDiMode_ = false;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (parentBiDiMode_ == value) return;
  parentBiDiMode_ = value;
  if (parent_ && !HasState(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::SetMouseCapture(bool value) {
  if (MouseCapture() == value) return;
  SetCaptureControl(value ? this : nullptr);
}

WideString TControl::Text() {
  LRESULT len = Perform(WM_GETTEXTLENGTH);
  if (len <= 0) return {};
  WideString s(size_t(len) + 1, L'\0');
  LRESULT got = Perform(WM_GETTEXT, WPARAM(s.size()), LPARAM(s.data()));
  s.resize(size_t(std::clamp<LRESULT>(got, 0, len)));
  return s;
}

void TControl::SetText(const WideString& text) {
  if (Text() == text) return;
  Perform(WM_SETTEXT, 0, LPARAM(text.c_str()));
  Perform(CM_TEXTCHANGED);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  windowProc_(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!(controlStyle_ & csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
        default: break;
      }
    }
    switch (Message.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: controlState_ |= csLButtonDown; break;
      case WM_LBUTTONUP: controlState_ &= ~TControlState(csLButtonDown); break;
      default: break;
    }
  }
  Dispatch(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<wchar_t*>(Message.LParam);
      size_t max = size_t(Message.WParam);
      if (!buf || max == 0) {
        Message.Result = 0;
        break;
      }
      size_t n = std::min(text_.size(), max - 1);
      std::copy_n(text_.data(), n, buf);
      buf[n] = L'\0';
      Message.Result = LRESULT(n);
      break;
    }
    case WM_GETTEXTLENGTH: Message.Result = LRESULT(text_.size()); break;
    case WM_SETTEXT: {
      auto* s = reinterpret_cast<const wchar_t*>(Message.LParam);
      text_ = s ? s : L"";
      Message.Result = 1;
      break;
    }
    default: break;
  }
}

void TControl::DoMouseMessage(TMessage& m) {
  TWMMouse mouse(m);
  DefaultHandler(m);
  bool capture = (controlStyle_ & csCaptureMouse) != 0;
  bool stdEvents = !(controlStyle_ & csNoStdEvents);
  auto down = [&](TMouseButton b, TShiftState extra) {
    if (stdEvents) MouseDown(b, KeysToShiftState(mouse.Keys) + extra, mouse.XPos, mouse.YPos);
  };
  auto up = [&](TMouseButton b) {
    if (stdEvents) MouseUp(b, KeysToShiftState(mouse.Keys), mouse.XPos, mouse.YPos);
  };
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (capture) SetMouseCapture(true);
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      down(mbLeft, {});
      break;
    case WM_LBUTTONDBLCLK:
      if (capture) SetMouseCapture(true);
      if (controlStyle_ & csClickEvents) DblClick();
      down(mbLeft, {ssDouble});
      break;
    case WM_LBUTTONUP: {
      if (capture) SetMouseCapture(false);
      if (controlState_ & csClicked) {
        controlState_ &= ~TControlState(csClicked);
        TRect r = ClientRect();
        if (mouse.XPos >= r.Left && mouse.XPos < r.Right && mouse.YPos >= r.Top && mouse.YPos < r.Bottom) Click();
      }
      up(mbLeft);
      break;
    }
    case WM_RBUTTONDOWN: down(mbRight, {}); break;
    case WM_RBUTTONDBLCLK: down(mbRight, {ssDouble}); break;
    case WM_RBUTTONUP: up(mbRight); break;
    case WM_MBUTTONDOWN: down(mbMiddle, {}); break;
    case WM_MBUTTONDBLCLK: down(mbMiddle, {ssDouble}); break;
    case WM_MBUTTONUP: up(mbMiddle); break;
    case WM_MOUSEMOVE:
      if (stdEvents) MouseMove(KeysToShiftState(mouse.Keys), mouse.XPos, mouse.YPos);
      break;
    default: break;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::WMContextMenu(TWMContextMenu& m) {
  if (m.Result != 0) return;
  TPoint pt{m.XPos, m.YPos};
  bool fromKeyboard = pt.X == -1 && pt.Y == -1;
  if (!fromKeyboard) {
    TPoint local = ScreenToClient(pt);
    TRect r = ClientRect();
    if (local.X < r.Left || local.X >= r.Right || local.Y < r.Top || local.Y >= r.Bottom) {
      DefaultHandler(m.Message);
      return;
    }
  }
  TPopupMenu* menu = popupMenu_;
  for (TControl* c = parent_; !menu && c; c = c->parent_) menu = c->popupMenu_;
  if (menu && menu->AutoPopup()) {
    if (fromKeyboard) pt = ClientToScreen({0, 0});
    menu->SetPopupComponent(this);
    menu->Popup(pt.X, pt.Y);
    m.Result = 1;
    return;
  }
  DefaultHandler(m.Message);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, visible_ && (controlStyle_ & csOpaque)); }

void TControl::CMMouseEnter(TMessage& m) {
  if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& m) {
  if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMParentFontChanged(TMessage& m) {
  if (!parentFont_) return;
  TFont* source = m.WParam ? reinterpret_cast<TFont*>(m.LParam) : (parent_ ? parent_->Font() : nullptr);
  if (!source) return;
  fontChanging_ = true;
  try {
    font_.Assign(source);
  } catch (...) {
    fontChanging_ = false;
    throw;
  }
  fontChanging_ = false;
}

void TControl::CMParentColorChanged(TMessage& m) {
  if (!parentColor_) return;
  TColor c = m.WParam ? TColor(m.LParam) : (parent_ ? parent_->Color() : color_);
  SetColor(c);
  parentColor_ = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!parentBiDiMode_ || !parent_) return;
  SetBiDiMode(parent_->BiDiMode());
  parentBiDiMode_ = true;
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

KARO_BEGIN_MESSAGE_MAP(TControl)
  KARO_MESSAGE(WM_LBUTTONDOWN, DoMouseMessage)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, DoMouseMessage)
  KARO_MESSAGE(WM_LBUTTONUP, DoMouseMessage)
  KARO_MESSAGE(WM_RBUTTONDOWN, DoMouseMessage)
  KARO_MESSAGE(WM_RBUTTONDBLCLK, DoMouseMessage)
  KARO_MESSAGE(WM_RBUTTONUP, DoMouseMessage)
  KARO_MESSAGE(WM_MBUTTONDOWN, DoMouseMessage)
  KARO_MESSAGE(WM_MBUTTONDBLCLK, DoMouseMessage)
  KARO_MESSAGE(WM_MBUTTONUP, DoMouseMessage)
  KARO_MESSAGE(WM_MOUSEMOVE, DoMouseMessage)
  KARO_MESSAGE(WM_CONTEXTMENU, WMContextMenu)
  KARO_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
  KARO_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
  KARO_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
  KARO_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
  KARO_MESSAGE(CM_PARENTFONTCHANGED, CMParentFontChanged)
  KARO_MESSAGE(CM_PARENTCOLORCHANGED, CMParentColorChanged)
  KARO_MESSAGE(CM_PARENTBIDIMODECHANGED, CMParentBiDiModeChanged)
  KARO_MESSAGE(CM_FONTCHANGED, CMFontChanged)
  KARO_MESSAGE(CM_COLORCHANGED, CMColorChanged)
  KARO_MESSAGE(CM_HITTEST, CMHitTest)
KARO_END_MESSAGE_MAP_DEFAULT()

void TControl::Invalidate() { InvalidateControl(visible_, (controlStyle_ & csOpaque) != 0); }

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
  RECT r = ToRECT(BoundsRect());
  InvalidateRect(parent_->handle_, &r, !(isOpaque || (parent_->controlStyle_ & csOpaque)));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  if (controlStyle_ & csOpaque) {
    HDC dc = GetDC(parent_->handle_);
    {
      TSavedDC saved(dc);
      IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
      parent_->PaintControls(dc, this);
    }
    ReleaseDC(parent_->handle_, dc);
  } else {
    Invalidate();
    Update();
  }
}

HDC TControl::GetDeviceContext(HWND& window) {
  if (!parent_) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  HDC dc = parent_->GetDeviceContext(window);
  SetViewportOrgEx(dc, left_, top_, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  return dc;
}

// --- TWinControl ---

KARO_CLASS_INFO(TWinControl, TControl)

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_.SetColor(Color()); }

TWinControl::~TWinControl() {
  Destroying();
  if (Screen) Screen->ControlDestroying(this);
  if (Parent()) RemoveFocus(true);
  if (handle_) DestroyWindowHandle();
  // Children go with their parent, last first; one owned elsewhere leaves its owner as it goes.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    Remove(c);
    c->Free();
  }
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateHandle();
}

HWND TWinControl::ParentHandle() {
  if (Parent()) return Parent()->handle_;
  return parentWindow_;
}

void TWinControl::SetParent(TWinControl* parent) {
  // A control in a window of the library is no longer in a foreign one.
  if (parent && !Parent() && parentWindow_) {
    DestroyHandle();
    parentWindow_ = nullptr;
  }
  TControl::SetParent(parent);
}

void TWinControl::SetParentWindow(HWND wnd) {
  if (Parent() || parentWindow_ == wnd) return;
  if (handle_ && parentWindow_ && wnd) {
    ::SetParent(handle_, wnd);
    parentWindow_ = wnd;
  } else {
    DestroyHandle();
    parentWindow_ = wnd;
  }
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
  params.Caption = StoredText();
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (UseRightToLeftAlignment()) params.ExStyle |= WS_EX_RIGHT;
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (ControlStyle() & csAcceptsControls) {
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = ParentHandle();
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = DefWindowProcW;
  params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  params.WindowClass.hbrBackground = nullptr;
  params.WindowClass.hInstance = HInstance();
  params.WinClassName = AnsiToWide(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& params, const wchar_t* systemClassName) {
  WNDCLASSW wc{};
  if (!GetClassInfoW(nullptr, systemClassName, &wc)) {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                             ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES |
                                 ICC_INTERNET_CLASSES | ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS};
    InitCommonControlsEx(&icc);
    if (!GetClassInfoW(nullptr, systemClassName, &wc))
      throw EOSError("Window class " + WideToAnsi(systemClassName) + " does not exist");
  }
  HINSTANCE instance = params.WindowClass.hInstance;
  params.WindowClass = wc;
  // The system class's private class styles do not carry over to a class of this module.
  params.WindowClass.style &= ~UINT(CS_GLOBALCLASS | CS_OWNDC | CS_CLASSDC | CS_PARENTDC);
  params.WindowClass.style |= CS_DBLCLKS;
  params.WindowClass.hInstance = instance;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    auto* ownerControl = dyn<TWinControl>(Owner());
    if (ownerControl && ownerControl->HasState(csReading))
      params.WndParent = ownerControl->Handle();
    else
      throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  }
  defWndProc_ = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcW;
  WNDCLASSW known{};
  bool registered = GetClassInfoW(params.WindowClass.hInstance, params.WinClassName.c_str(), &known) != 0;
  if (!registered || known.lpfnWndProc != KaroControlWndProc) {
    if (registered) UnregisterClassW(params.WinClassName.c_str(), params.WindowClass.hInstance);
    WNDCLASSW wc = params.WindowClass;
    wc.lpfnWndProc = KaroControlWndProc;
    wc.lpszClassName = params.WinClassName.c_str();
    wc.lpszMenuName = nullptr;
    if (!RegisterClassW(&wc)) throw EOSError(SysErrorMessage(int(GetLastError())));
  }
  TWinControl* outer = t_creatingControl;
  t_creatingControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    t_creatingControl = outer;
    throw;
  }
  t_creatingControl = outer;
  if (!handle_) throw EOSError("Error creating window: " + SysErrorMessage(int(GetLastError())));
  if ((GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrW(handle_, GWLP_ID) == 0)
    SetWindowLongPtrW(handle_, GWLP_ID, LONG_PTR(handle_) & 0xFFFF);
  StoredText().clear();
  UpdateBounds();
  Perform(WM_SETFONT, WPARAM(Font()->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  HWND wnd = CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                             params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                             params.WindowClass.hInstance, params.Param);
  // The first message attached the window already; a window class that sends none gets it here.
  if (wnd && !handle_) AttachHandle(wnd);
}

void TWinControl::AttachHandle(HWND wnd) {
  handle_ = wnd;
  SetPropW(wnd, MAKEINTATOM(ControlAtom), HANDLE(this));
}

void TWinControl::DetachHandle() {
  if (!handle_) return;
  RemovePropW(handle_, MAKEINTATOM(ControlAtom));
  handle_ = nullptr;
  showing_ = false;
  trackingLeave_ = false;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  if (Parent() && handle_)
    SetWindowPos(handle_, Parent()->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND TWinControl::PrecedingWindow(TWinControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it != controls_.end())
    for (++it; it != controls_.end(); ++it)
      if (auto* w = dyn<TWinControl>(*it); w && w->handle_) return w->handle_;
  return HWND_TOP;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dyn<TWinControl>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  WideString text = Text();
  TControlCanvas::FreeDeviceContexts();
  DestroyWindowHandle();
  StoredText() = text;
}

void TWinControl::DestroyWindowHandle() {
  if (!handle_) return;
  SetControlState(ControlState() | csDestroyingHandle);
  HWND wnd = handle_;
  DestroyWindow(wnd);
  SetControlState(ControlState() & ~TControlState(csDestroyingHandle));
  // A window destroyed elsewhere, or one whose WM_NCDESTROY never reached us, lets go here.
  if (handle_ == wnd) DetachHandle();
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool wasFocused = Focused();
  SetControlState(ControlState() | csRecreating);
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    SetControlState(ControlState() & ~TControlState(csRecreating));
    throw;
  }
  SetControlState(ControlState() & ~TControlState(csRecreating));
  if (wasFocused && handle_) ::SetFocus(handle_);
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    // A copy: the handler may free the control (CM_RELEASE) or replace its WindowProc.
    TWndMethod proc = WindowProc();
    proc(Message);
  } catch (...) {
    HandleCallbackException(this);
  }
}

// --- Children ---

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || size_t(index) >= controls_.size())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return controls_[size_t(index)];
}

bool TWinControl::ContainsControl(TControl* control) const {
  while (control && control != this) control = control->Parent();
  return control != nullptr;
}

void TWinControl::Insert(TControl* c) {
  if (!c) return;
  if (c->Is<TWinControl>()) {
    controls_.push_back(c);
    tabList_.push_back(static_cast<TWinControl*>(c));
  } else {
    // Below the windowed children, above the other graphic ones.
    auto it = std::find_if(controls_.begin(), controls_.end(), [](TControl* x) { return x->Is<TWinControl>(); });
    controls_.insert(it, c);
  }
  c->parent_ = this;
}

void TWinControl::Remove(TControl* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), c), tabList_.end());
  c->parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  Perform(CM_CONTROLLISTCHANGE, WPARAM(control), 1);
  Insert(control);
  if (!control->HasState(csReading)) {
    control->ApplyParentProperties();
    if (auto* w = dyn<TWinControl>(control))
      w->UpdateControlState();
    else if (handle_)
      control->Invalidate();
    AlignControl(control);
  }
  Perform(CM_CONTROLCHANGE, WPARAM(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  Perform(CM_CONTROLCHANGE, WPARAM(control), 0);
  if (auto* w = dyn<TWinControl>(control)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (handle_) {
    control->InvalidateControl(control->Visible(), false);
  }
  Remove(control);
  Perform(CM_CONTROLLISTCHANGE, WPARAM(control), 0);
  Realign();
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
  auto hit = [&](TControl* c) {
    TPoint p{pos.X - c->Left(), pos.Y - c->Top()};
    TRect r = c->ClientRect();
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom && c->Visible() &&
           (c->Enabled() || allowDisabled) && c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X, p.Y)) != 0;
  };
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    bool windowed = (*it)->Is<TWinControl>();
    if (windowed && !allowWinControls) continue;
    if (hit(*it)) return *it;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc()(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  // A handler may add or remove children: walk a copy.
  std::vector<TControl*> list = controls_;
  for (TControl* c : list)
    if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) c->WindowProc()(m);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root) proc(c);
  }
}

// --- Bounds and alignment ---

TRect TWinControl::NonClientFrame() {
  TCreateParams params;
  CreateParams(params);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
  return TRect{-r.left, -r.top, r.right, r.bottom};
}

TRect TWinControl::ClientRect() {
  if (handle_) {
    RECT r{};
    GetClientRect(handle_, &r);
    return FromRECT(r);
  }
  TRect frame = NonClientFrame();
  return Rect(0, 0, std::max(0, Width() - frame.Left - frame.Right), std::max(0, Height() - frame.Top - frame.Bottom));
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return {p.x, p.y};
}

void TWinControl::SetClientSize(int width, int height) {
  TRect client = ClientRect();
  SetBounds(Left(), Top(), Width() - client.Right + width, Height() - client.Bottom + height);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  if (handle_ && !IsIconic(handle_)) {
    // The window tells the new rectangle back (WM_WINDOWPOSCHANGED, WM_SIZE), which lays the
    // children out again.
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    bool resized = width != Width() || height != Height();
    UpdateBoundsRect(Bounds(left, top, width, height));
    if (handle_) {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof(wp);
      GetWindowPlacement(handle_, &wp);
      wp.rcNormalPosition = ToRECT(BoundsRect());
      SetWindowPlacement(handle_, &wp);
    } else if (resized) {
      Realign();
    }
  }
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r{};
  if (IsIconic(handle_) && !(GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD)) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(handle_, &wp);
    r = wp.rcNormalPosition;
  } else {
    GetWindowRect(handle_, &r);
    if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) {
      if (HWND parent = GetParent(handle_)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
  }
  UpdateBoundsRect(FromRECT(r));
}

void TWinControl::AlignControl(TControl* control) {
  if (HasState(csDestroying)) return;
  if (alignLevel_ != 0 || HasState(csLoading) || HasState(csReading)) {
    SetControlState(ControlState() | csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect r = AlignRect();
    AlignControls(control, r);
  } catch (...) {
    SetControlState(ControlState() & ~TControlState(csAlignmentNeeded));
    EnableAlign();
    throw;
  }
  SetControlState(ControlState() & ~TControlState(csAlignmentNeeded));
  EnableAlign();
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && (ControlState() & csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  std::vector<TAlignItem> items;
  std::vector<TControl*> list;
  int moved = -1;
  for (TControl* c : controls_) {
    if (c->Align() == alNone || c->Align() == alCustom) continue;
    if (c == control) moved = int(items.size());
    items.push_back({c->Align(), c->Visible(), c->BoundsRect()});
    list.push_back(c);
  }
  if (items.empty()) return;
  AlignItems(items, rect, moved);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].Visible) list[i]->SetBoundsRect(items[i].Bounds);
}

void TWinControl::WMSize(TWMSize& m) {
  UpdateBounds();
  DefaultHandler(m.Message);
  Realign();
  if (!HasState(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& m) {
  DefaultHandler(m);
  UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TWMWindowPosMsg& m) {
  if (!(ControlState() & csDestroyingHandle)) UpdateBounds();
  DefaultHandler(m.Message);
}

// --- Showing ---

void TWinControl::UpdateShowing() {
  bool show = Visible() && !HasState(csReading);
  if (show) {
    if (!handle_) CreateHandle();
    std::vector<TControl*> list = controls_;
    for (TControl* c : list)
      if (auto* w = dyn<TWinControl>(c)) w->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* top = this;
  while (top->Parent()) {
    top = top->Parent();
    if (!top->Showing()) return;
  }
  if (top->Is<TCustomForm>() || top->parentWindow_) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& m) {
  if (!Visible() && Parent()) RemoveFocus(false);
  UpdateControlState();
  (void)m;
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!Enabled() && Parent()) RemoveFocus(false);
  if (handle_) EnableWindow(handle_, Enabled());
}

void TWinControl::CMFontChanged(TMessage& m) {
  TControl::CMFontChanged(m);
  if (handle_) Perform(WM_SETFONT, WPARAM(Font()->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& m) {
  TControl::CMColorChanged(m);
  brush_.SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage&) {
  if (handle_) RecreateWnd();
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::SetZOrder(bool topMost) {
  if (!Parent()) {
    if (handle_)
      SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  auto& list = Parent()->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (topMost) {
    list.push_back(this);
  } else {
    auto firstWindowed = std::find_if(list.begin(), list.end(), [](TControl* c) { return c->Is<TWinControl>(); });
    list.insert(firstWindowed, this);
  }
  if (handle_)
    SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- Painting ---

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::CMInvalidate(TMessage& m) {
  if (!handle_) return;
  if (Parent()) Parent()->Perform(CM_INVALIDATE, 1);
  if (m.WParam == 0) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

HDC TWinControl::GetDeviceContext(HWND& window) {
  HDC dc = GetDC(Handle());
  if (!dc) throw EOutOfResources("Error creating window device context");
  window = handle_;
  return dc;
}

void TWinControl::PaintWindow(HDC dc) {
  // A window of a system class paints itself into the context; the plain default procedure
  // paints nothing.
  if (defWndProc_ == DefWindowProcW) return;
  TMessage m{WM_PAINT, WPARAM(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) {
    it = std::find(controls_.begin(), controls_.end(), first);
    if (it == controls_.end()) it = controls_.begin();
  }
  std::vector<TControl*> list(it, controls_.end());
  for (TControl* c : list) {
    if (c->Is<TWinControl>() || !c->Visible()) continue;
    RECT r = ToRECT(c->BoundsRect());
    if (!RectVisible(dc, &r)) continue;
    TSavedDC saved(dc);
    POINT org{};
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - c->Left(), org.y - c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, WPARAM(dc));
  }
}

void TWinControl::PaintHandler(TWMPaint& m) {
  HDC dc = m.DC;
  PAINTSTRUCT ps{};
  if (!dc) dc = BeginPaint(handle_, &ps);
  try {
    bool anyGraphic = std::any_of(controls_.begin(), controls_.end(), [](TControl* c) { return !c->Is<TWinControl>(); });
    if (!anyGraphic) {
      PaintWindow(dc);
    } else {
      TSavedDC saved(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : controls_) {
        if (c->Is<TWinControl>() || !c->Visible() || !(c->ControlStyle() & csOpaque)) continue;
        clip = ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        if (clip == NULLREGION) break;
      }
      if (clip != NULLREGION) PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (!m.DC) EndPaint(handle_, &ps);
    throw;
  }
  if (!m.DC) EndPaint(handle_, &ps);
}

void TWinControl::WMPaint(TWMPaint& m) {
  bool custom = (ControlState() & csCustomPaint) != 0;
  bool print = m.Message.Msg == WM_PRINTCLIENT;
  // A system class paints (and prints) itself; so does a window of ours with nothing to add.
  bool systemClass = defWndProc_ != DefWindowProcW;
  if (!custom && controls_.empty() && (systemClass || !print)) {
    DefaultHandler(m.Message);
    return;
  }
  if (print && (m.Message.LParam & PRF_ERASEBKGND))
    Perform(WM_ERASEBKGND, WPARAM(m.DC));
  PaintHandler(m);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& m) {
  RECT r = ToRECT(ClientRect());
  FillRect(m.DC, &r, brush_.Handle());
  m.Result = 1;
}

// --- Tab order and focus ---

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (IsLoading()) {
    tabOrderWanted_ = value;
    return;
  }
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (value < 0 || size_t(value) >= list.size())
    list.push_back(this);
  else
    list.insert(list.begin() + value, this);
}

void TWinControl::FixupTabList() {
  // Children read from a form file take the places they were written with, lowest first.
  std::vector<std::pair<int, TWinControl*>> wanted;
  for (TWinControl* w : tabList_)
    if (w->tabOrderWanted_ >= 0) wanted.emplace_back(w->tabOrderWanted_, w);
  std::stable_sort(wanted.begin(), wanted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [order, w] : wanted) {
    w->tabOrderWanted_ = -1;
    tabList_.erase(std::find(tabList_.begin(), tabList_.end(), w));
    tabList_.insert(tabList_.begin() + std::min<ptrdiff_t>(order, ptrdiff_t(tabList_.size())), w);
  }
}

void TWinControl::SetTabStop(bool value) {
  if (tabStop_ == value) return;
  tabStop_ = value;
  if (handle_) {
    LONG style = GetWindowLongW(handle_, GWL_STYLE);
    SetWindowLongW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : tabList_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  int start = int(std::find(list.begin(), list.end(), current) - list.begin());
  if (start == n) start = goForward ? n - 1 : 0;
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[size_t(i)];
    if (c == current) break;
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TWinControl* c = this; c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this))
    form->FocusControl(this);
  else if (parentWindow_)
    ::SetFocus(Handle());
  else
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
}

void TWinControl::RemoveFocus(bool removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, removing);
}

void TWinControl::CMFocusChanged(TMessage& m) { Broadcast(m); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WMSetFocus(TWMFocus& m) { DefaultHandler(m.Message); }

void TWinControl::WMKillFocus(TWMFocus& m) { DefaultHandler(m.Message); }

// --- Keys ---

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::DoKeyEvent(TWMKey& m, bool down) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyEvent(m, down)) return true;
  if (!(ControlStyle() & csNoStdEvents)) {
    WORD key = m.CharCode;
    if (down)
      KeyDown(key, KeyDataToShiftState(m.KeyData));
    else
      KeyUp(key, KeyDataToShiftState(m.KeyData));
    m.CharCode = key;
    m.Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyDown(TWMKey& m) { return DoKeyEvent(m, true); }

bool TWinControl::DoKeyUp(TWMKey& m) { return DoKeyEvent(m, false); }

bool TWinControl::DoKeyPress(TWMKey& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(m)) return true;
  if (!(ControlStyle() & csNoStdEvents)) {
    wchar_t ch = wchar_t(m.CharCode);
    KeyPress(ch);
    m.CharCode = WORD(ch);
    m.Message.WParam = WPARAM(ch);
    if (ch == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TWMKey& m) {
  if (!DoKeyDown(m)) DefaultHandler(m.Message);
}

void TWinControl::WMKeyUp(TWMKey& m) {
  if (!DoKeyUp(m)) DefaultHandler(m.Message);
}

void TWinControl::WMChar(TWMKey& m) {
  if (!DoKeyPress(m)) DefaultHandler(m.Message);
}

// CN_KEYDOWN comes from the message loop before the key is dispatched: a menu shortcut, a
// child's claim or a dialog key (Tab, arrows, Enter, Escape) of the form ends it there.
void TWinControl::CNKeyDown(TWMKey& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(m)) return;
  if (Perform(CM_CHILDKEY, m.CharCode, LPARAM(this)) != 0) return;
  LRESULT mask = 0;
  switch (m.CharCode) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, m.CharCode) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0 && form &&
      form->Perform(CM_DIALOGKEY, m.CharCode, LPARAM(m.KeyData)) != 0)
    return;
  m.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& m) {
  m.Result = 0;
  switch (m.CharCode) {
    case VK_TAB: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RETURN: case VK_EXECUTE:
    case VK_ESCAPE: case VK_CANCEL: m.Result = Perform(CM_WANTSPECIALKEY, m.CharCode); break;
    default: break;
  }
}

void TWinControl::CNChar(TWMKey& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, m.CharCode, LPARAM(m.KeyData)) != 0)
    return;
  m.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(m)) return;
  m.Result = 0;
}

void TWinControl::CNSysChar(TWMKey& m) {
  m.Result = 0;
  if (m.CharCode == VK_SPACE) return;
  if (TCustomForm* form = GetParentForm(this)) m.Result = form->Perform(CM_DIALOGCHAR, m.CharCode, LPARAM(m.KeyData));
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }

void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

// --- Notifications of child windows ---

bool TWinControl::DoControlMsg(HWND control, TMessage& m) {
  if (!control || !IsWindow(control) || !FindControl(control)) return false;
  m.Result = SendMessageW(control, CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WMCommand(TWMCommand& m) {
  if (!DoControlMsg(m.Ctl, m.Message)) DefaultHandler(m.Message);
}

void TWinControl::WMNotify(TWMNotify& m) {
  if (!m.NMHdr || !DoControlMsg(m.NMHdr->hwndFrom, m.Message)) DefaultHandler(m.Message);
}

// The other notifications whose child window is in lParam or in a structure of it.
void TWinControl::WMReflect(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM: child = HWND(m.LParam); break;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (d && d->CtlType != ODT_MENU) child = d->hwndItem;
      break;
    }
    case WM_COMPAREITEM:
      if (auto* c = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)) child = c->hwndItem;
      break;
    case WM_DELETEITEM:
      if (auto* d = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)) child = d->hwndItem;
      break;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mi && mi->CtlType != ODT_MENU && handle_) child = GetDlgItem(handle_, int(mi->CtlID));
      break;
    }
    default: break;
  }
  if (!DoControlMsg(child, m)) DefaultHandler(m);
}

void TWinControl::WMCtlColor(TWMCtlColor& m) {
  if (!DoControlMsg(m.ChildWnd, m.Message)) DefaultHandler(m.Message);
}

void TWinControl::CNCtlColor(TWMCtlColor& m) {
  SetTextColor(m.ChildDC, GdiColor(Font()->Color()));
  SetBkColor(m.ChildDC, GdiColor(brush_.Color()));
  m.Result = LRESULT(brush_.Handle());
}

// --- Mouse ---

void TWinControl::TrackMouseControl(TControl* target) {
  if (g_mouseControl == target) return;
  TControl* capture = GetCaptureControl();
  TControl* old = g_mouseControl;
  g_mouseControl = target;
  if (old && (!capture || old == capture)) old->Perform(CM_MOUSELEAVE);
  if (target && g_mouseControl == target && (!capture || target == capture)) target->Perform(CM_MOUSEENTER);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  if (m.Msg == WM_MOUSEWHEEL || m.Msg == WM_MOUSEHWHEEL) return false;
  TControl* control = nullptr;
  TWMMouse mouse(m);
  if (GetCapture() == handle_) {
    if (g_captureControl && g_captureControl->Parent() == this) control = g_captureControl;
  } else {
    control = ControlAtPos({mouse.XPos, mouse.YPos}, false);
  }
  if (!control) return false;
  int x = mouse.XPos - control->Left(), y = mouse.YPos - control->Top();
  m.Result = control->Perform(m.Msg, m.WParam, MAKELPARAM(WORD(x), WORD(y)));
  return true;
}

void TWinControl::WMMouseLeave(TMessage& m) {
  trackingLeave_ = false;
  TControl* current = g_mouseControl;
  if (current == this || (current && current->Parent() == this && !current->Is<TWinControl>()))
    TrackMouseControl(nullptr);
  DefaultHandler(m);
}

void TWinControl::WMSetCursor(TWMSetCursor& m) {
  if (m.CursorWnd == handle_ && m.HitTest == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      POINT p{};
      GetCursorPos(&p);
      ::ScreenToClient(handle_, &p);
      TControl* c = ControlAtPos({p.x, p.y}, false);
      cursor = c ? c->Cursor() : crDefault;
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(CursorHandle(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m.Message);
}

void TWinControl::WMContextMenuWin(TWMContextMenu& m) {
  if (m.Result != 0) return;
  if (!(m.XPos == -1 && m.YPos == -1)) {
    TPoint local = ScreenToClient({m.XPos, m.YPos});
    if (TControl* c = ControlAtPos(local, false)) m.Result = c->Perform(WM_CONTEXTMENU, 0, m.Message.LParam);
    if (m.Result != 0) return;
  }
  TControl::WMContextMenu(m);
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  DetachHandle();
}

// --- The message path ---

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (ControlState() & csFocusing) return;
      break;
    case WM_NCHITTEST: {
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT && handle_) {
        POINT p{MouseX(Message.LParam), MouseY(Message.LParam)};
        ::ScreenToClient(handle_, &p);
        if (ControlAtPos({p.x, p.y}, false)) Message.Result = HTCLIENT;
      }
      return;
    }
    case WM_MOUSEMOVE:
      if (handle_) {
        TWMMouse mouse(Message);
        TRect client = ClientRect();
        bool inside = mouse.XPos >= client.Left && mouse.XPos < client.Right && mouse.YPos >= client.Top &&
                      mouse.YPos < client.Bottom;
        TControl* target = nullptr;
        if (inside) {
          target = ControlAtPos({mouse.XPos, mouse.YPos}, true);
          if (!target) target = this;
        }
        TrackMouseControl(target);
        if (!trackingLeave_ && inside) {
          // Only a cursor that is really over the window can leave it; a mouse message made
          // up by a program asks for no WM_MOUSELEAVE.
          POINT p{};
          GetCursorPos(&p);
          if (WindowFromPoint(p) == handle_) {
            TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
            trackingLeave_ = TrackMouseEvent(&tme) != 0;
          }
        }
      }
      break;
    case WM_CANCELMODE:
      if (handle_ && GetCapture() == handle_ && g_captureControl && g_captureControl->Parent() == this)
        g_captureControl->Perform(WM_CANCELMODE);
      break;
    default: break;
  }
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && IsControlMouseMsg(Message)) {
    // IsControlMouseMsg may have run code that destroyed the window.
    if (Message.Result == 0 && handle_) DefWindowProcW(handle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!handle_) {
    TControl::DefaultHandler(Message);
    return;
  }
  if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
    TWMCtlColor view(Message);
    CNCtlColor(view);
    return;
  }
  if (RM_GetObjectInstance && Message.Msg == RM_GetObjectInstance) {
    Message.Result = LRESULT(this);
    return;
  }
  Message.Result = CallWindowProcW(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

KARO_BEGIN_MESSAGE_MAP(TWinControl)
  KARO_MESSAGE(WM_PAINT, WMPaint)
  KARO_MESSAGE(WM_PRINTCLIENT, WMPaint)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(WM_COMMAND, WMCommand)
  KARO_MESSAGE(WM_NOTIFY, WMNotify)
  KARO_MESSAGE(WM_HSCROLL, WMReflect)
  KARO_MESSAGE(WM_VSCROLL, WMReflect)
  KARO_MESSAGE(WM_DRAWITEM, WMReflect)
  KARO_MESSAGE(WM_MEASUREITEM, WMReflect)
  KARO_MESSAGE(WM_COMPAREITEM, WMReflect)
  KARO_MESSAGE(WM_DELETEITEM, WMReflect)
  KARO_MESSAGE(WM_CHARTOITEM, WMReflect)
  KARO_MESSAGE(WM_VKEYTOITEM, WMReflect)
  KARO_MESSAGE(WM_CTLCOLORMSGBOX, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLOREDIT, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLORLISTBOX, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLORBTN, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLORDLG, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLORSCROLLBAR, WMCtlColor)
  KARO_MESSAGE(WM_CTLCOLORSTATIC, WMCtlColor)
  KARO_MESSAGE(WM_SIZE, WMSize)
  KARO_MESSAGE(WM_MOVE, WMMove)
  KARO_MESSAGE(WM_WINDOWPOSCHANGED, WMWindowPosChanged)
  KARO_MESSAGE(WM_SETFOCUS, WMSetFocus)
  KARO_MESSAGE(WM_KILLFOCUS, WMKillFocus)
  KARO_MESSAGE(WM_KEYDOWN, WMKeyDown)
  KARO_MESSAGE(WM_SYSKEYDOWN, WMKeyDown)
  KARO_MESSAGE(WM_KEYUP, WMKeyUp)
  KARO_MESSAGE(WM_SYSKEYUP, WMKeyUp)
  KARO_MESSAGE(WM_CHAR, WMChar)
  KARO_MESSAGE(WM_SETCURSOR, WMSetCursor)
  KARO_MESSAGE(WM_MOUSELEAVE, WMMouseLeave)
  KARO_MESSAGE(WM_CONTEXTMENU, WMContextMenuWin)
  KARO_MESSAGE(WM_NCDESTROY, WMNCDestroy)
  KARO_MESSAGE(CN_KEYDOWN, CNKeyDown)
  KARO_MESSAGE(CN_KEYUP, CNKeyUp)
  KARO_MESSAGE(CN_CHAR, CNChar)
  KARO_MESSAGE(CN_SYSKEYDOWN, CNSysKeyDown)
  KARO_MESSAGE(CN_SYSCHAR, CNSysChar)
  KARO_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
  KARO_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
  KARO_MESSAGE(CM_SHOWINGCHANGED, CMShowingChanged)
  KARO_MESSAGE(CM_FONTCHANGED, CMFontChanged)
  KARO_MESSAGE(CM_COLORCHANGED, CMColorChanged)
  KARO_MESSAGE(CM_BIDIMODECHANGED, CMBiDiModeChanged)
  KARO_MESSAGE(CM_RECREATEWND, CMRecreateWnd)
  KARO_MESSAGE(CM_DIALOGKEY, CMDialogKey)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
  KARO_MESSAGE(CM_FOCUSCHANGED, CMFocusChanged)
  KARO_MESSAGE(CM_ENTER, CMEnter)
  KARO_MESSAGE(CM_EXIT, CMExit)
  KARO_MESSAGE(CM_INVALIDATE, CMInvalidate)
KARO_END_MESSAGE_MAP(TControl)

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

// --- TGraphicControl ---

KARO_CLASS_INFO(TGraphicControl, TControl)

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() { canvas_->SetControl(nullptr); }

void TGraphicControl::WMPaint(TWMPaint& m) {
  if (m.DC) canvas_->PaintOn(m.DC, [this] { Paint(); });
}

KARO_BEGIN_MESSAGE_MAP(TGraphicControl)
  KARO_MESSAGE(WM_PAINT, WMPaint)
KARO_END_MESSAGE_MAP(TControl)

// --- TCustomControl ---

KARO_CLASS_INFO(TCustomControl, TWinControl)

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  SetControlState(ControlState() | csCustomPaint);
}

TCustomControl::~TCustomControl() { canvas_->SetControl(nullptr); }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->PaintOn(dc, [this] { Paint(); });
}

// --- Published properties shared by the control classes ---

TPropInfo TControlProps::Left() { return Prop("Left", &TControl::Left, &TControl::SetLeft); }
TPropInfo TControlProps::Top() { return Prop("Top", &TControl::Top, &TControl::SetTop); }
TPropInfo TControlProps::Width() { return Prop("Width", &TControl::Width, &TControl::SetWidth); }
TPropInfo TControlProps::Height() { return Prop("Height", &TControl::Height, &TControl::SetHeight); }
TPropInfo TControlProps::Align() { return Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone); }
TPropInfo TControlProps::BiDiMode() {
  return Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
}
TPropInfo TControlProps::Caption() { return Prop("Caption", &TControl::Caption, &TControl::SetCaption); }
TPropInfo TControlProps::Text() { return Prop("Text", &TControl::Text, &TControl::SetText); }
TPropInfo TControlProps::Color() {
  return Prop("Color", &TControl::Color, &TControl::SetColor).WithType(ColorTypeInfo());
}
TPropInfo TControlProps::Cursor() {
  return Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).WithType(CursorTypeInfo()).Default(crDefault);
}
TPropInfo TControlProps::Enabled() { return Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1); }
TPropInfo TControlProps::Font() { return Prop("Font", &TControl::Font, &TControl::SetFont); }
TPropInfo TControlProps::Hint() { return Prop("Hint", &TControl::Hint, &TControl::SetHint); }
TPropInfo TControlProps::ParentBiDiMode() {
  return Prop("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(1);
}
TPropInfo TControlProps::ParentColor() {
  return Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
}
TPropInfo TControlProps::ParentFont() { return Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont); }
TPropInfo TControlProps::PopupMenu() { return Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu); }
TPropInfo TControlProps::ShowHint() { return Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(0); }
TPropInfo TControlProps::TabOrder() { return Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder); }
TPropInfo TControlProps::TabStop() { return Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop); }
TPropInfo TControlProps::Visible() { return Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(1); }
TPropInfo TControlProps::OnClick() { return Prop("OnClick", &TControl::OnClick, &TControl::OnClick); }
TPropInfo TControlProps::OnDblClick() { return Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick); }
TPropInfo TControlProps::OnEnter() { return Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter); }
TPropInfo TControlProps::OnExit() { return Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit); }
TPropInfo TControlProps::OnKeyDown() { return Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown); }
TPropInfo TControlProps::OnKeyPress() {
  return Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
}
TPropInfo TControlProps::OnKeyUp() { return Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp); }
TPropInfo TControlProps::OnMouseDown() {
  return Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
}
TPropInfo TControlProps::OnMouseEnter() {
  return Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter);
}
TPropInfo TControlProps::OnMouseLeave() {
  return Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave);
}
TPropInfo TControlProps::OnMouseMove() {
  return Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
}
TPropInfo TControlProps::OnMouseUp() { return Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp); }
TPropInfo TControlProps::OnResize() { return Prop("OnResize", &TControl::OnResize, &TControl::OnResize); }
