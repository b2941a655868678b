#include "classlib/controls/forms.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "classlib/controls/control_atom.h"
#include "classlib/core/form_file.h"

namespace {

// Never freed, like the other lists of the layer: the program's shut-down still reads them.
TModalHandler& ModalHandler() {
  static auto* handler = new TModalHandler;
  return *handler;
}

THaltHandler& HaltHandler() {
  static auto* handler = new THaltHandler;
  return *handler;
}

// Sets a flag for the lifetime of the guard.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TFlagGuard() { flag_ = old_; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& flag_;
  bool old_;
};

// The visible, enabled top-level windows of this thread, disabled while a modal form runs and
// enabled again after it.
class TTaskWindows {
public:
  explicit TTaskWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &TTaskWindows::Collect, LPARAM(this));
    for (HWND w : windows_) EnableWindow(w, FALSE);
  }
  ~TTaskWindows() {
    for (HWND w : windows_)
      if (IsWindow(w)) EnableWindow(w, TRUE);
  }
  TTaskWindows(const TTaskWindows&) = delete;
  TTaskWindows& operator=(const TTaskWindows&) = delete;

private:
  static BOOL CALLBACK Collect(HWND wnd, LPARAM lp) {
    auto* self = reinterpret_cast<TTaskWindows*>(lp);
    if (wnd != self->except_ && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) self->windows_.push_back(wnd);
    return TRUE;
  }
  HWND except_;
  std::vector<HWND> windows_;
};

std::vector<WideString> CommandLineArgs() {
  std::vector<WideString> args;
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  args.emplace_back(path, n);
  int count = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);
  }
  return args;
}

}  // namespace

TModalHandler SetModalHandler(TModalHandler handler) {
  TModalHandler old = std::move(ModalHandler());
  ModalHandler() = std::move(handler);
  return old;
}

std::optional<int> AskModalHandler(TModalRequest& request) {
  // A copy: the handler may install another while it runs.
  TModalHandler handler = ModalHandler();
  if (!handler) return std::nullopt;
  return handler(request);
}

THaltHandler SetHaltHandler(THaltHandler handler) {
  THaltHandler old = std::move(HaltHandler());
  HaltHandler() = std::move(handler);
  return old;
}

void Halt(int exitCode) {
  if (THaltHandler handler = HaltHandler()) {
    handler(exitCode);
    throw EAbort("Halt");
  }
  std::exit(exitCode);
}

int ParamCount() { return int(CommandLineArgs().size()) - 1; }

WideString WideParamStr(int index) {
  std::vector<WideString> args = CommandLineArgs();
  if (index < 0 || size_t(index) >= args.size()) return {};
  return args[size_t(index)];
}

AnsiString ParamStr(int index) { return WideToAnsi(WideParamStr(index)); }

// --- TCustomForm ---

KARO_CLASS_INFO(TCustomForm, TWinControl)

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
  SetControlState(ControlState() | csCustomPaint);
  TWinControl::SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->Notification(this, opRemove);
  // The window goes while the form is still a form, so that its last messages find it whole.
  DestroyHandle();
  if (menu_) menu_->RemoveFreeNotification(this);
  canvas_->SetControl(nullptr);
}

void TCustomForm::BeforeDestruction() {
  TWinControl::BeforeDestruction();
  RemoveFixupReferences(this);
  if (formStyle_ != fsMDIChild && Visible()) CallGuarded(this, [this] { Hide(); });
  if (!destroyed_) {
    destroyed_ = true;
    if (OnDestroy) CallGuarded(this, [this] { OnDestroy(this); });
  }
}

void TCustomForm::DoCreate() {
  if (created_) return;
  created_ = true;
  if (OnCreate) CallGuarded(this, [this] { OnCreate(this); });
  if (wantVisible_) {
    wantVisible_ = false;
    SetVisible(true);
  }
}

void TCustomForm::SetVisible(bool visible) {
  if (formReading_) {
    wantVisible_ = visible;
    return;
  }
  TWinControl::SetVisible(visible);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (borderIcons_ == v) return;
  borderIcons_ = v;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (formStyle_ == v) return;
  bool wasMDI = formStyle_ == fsMDIChild || formStyle_ == fsMDIForm;
  bool isMDI = v == fsMDIChild || v == fsMDIForm;
  formStyle_ = v;
  if (!HandleAllocated()) return;
  if (wasMDI || isMDI) {
    RecreateWnd();
  } else {
    SetWindowPos(Handle(), v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

TWindowState TCustomForm::WindowState() const {
  HWND wnd = const_cast<TCustomForm*>(this)->handle_;
  if (wnd && Showing()) {
    if (IsIconic(wnd)) return wsMinimized;
    if (IsZoomed(wnd)) return wsMaximized;
    return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (HandleAllocated() && Showing()) {
    static const int kShow[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(handle_, kShow[v]);
  }
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu_ == menu) return;
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    menu_->SetWindowHandle(nullptr);
  }
  menu_ = menu;
  if (menu_) menu_->FreeNotification(this);
  if (HandleAllocated()) {
    // The frame changes with the menu bar; the client area keeps its size.
    TRect before = ClientRect();
    AttachMenu();
    if (!IsLoading()) SetClientSize(before.Right, before.Bottom);
  }
}

void TCustomForm::AttachMenu() {
  if (!HandleAllocated() || formStyle_ == fsMDIChild) return;
  if (menu_ && menu_->Items()->Count() > 0) {
    ::SetMenu(handle_, menu_->Handle());
    menu_->SetWindowHandle(handle_);
  } else {
    if (menu_) menu_->SetWindowHandle(handle_);
    ::SetMenu(handle_, nullptr);
  }
  DrawMenuBar(handle_);
}

void TCustomForm::SetClientWidthProp(int v) {
  if (IsLoading())
    wantClientWidth_ = v;
  else
    SetClientWidth(v);
}

void TCustomForm::SetClientHeightProp(int v) {
  if (IsLoading())
    wantClientHeight_ = v;
  else
    SetClientHeight(v);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (wantClientWidth_ > 0 || wantClientHeight_ > 0) {
    TRect client = ClientRect();
    SetClientSize(wantClientWidth_ > 0 ? wantClientWidth_ : client.Right,
                  wantClientHeight_ > 0 ? wantClientHeight_ : client.Bottom);
    wantClientWidth_ = wantClientHeight_ = 0;
  }
  if (menu_) AttachMenu();
}

void TCustomForm::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != opRemove) return;
  if (c == menu_) {
    menu_ = nullptr;
    if (HandleAllocated() && !HasState(csDestroying)) ::SetMenu(handle_, nullptr);
  }
  if (c == activeControl_) activeControl_ = nullptr;
  if (c == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  bool topLevel = !Parent() && !ParentWindow();
  if (topLevel) {
    params.Style &= ~DWORD(WS_CHILD | WS_GROUP | WS_TABSTOP);
    params.WndParent = Application ? Application->FormOwnerWindow(this) : nullptr;
    if (Application && Application->MainFormOnTaskBar() && !params.WndParent) params.ExStyle |= WS_EX_APPWINDOW;
  }
  params.WindowClass.style = CS_DBLCLKS;
  TBorderIcons icons = borderIcons_;
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  switch (style) {
    case bsNone:
      if (topLevel) params.Style |= WS_POPUP;
      icons = {};
      break;
    case bsSingle:
    case bsToolWindow: params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      params.WindowClass.style |= CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) {
    params.ExStyle |= WS_EX_TOOLWINDOW;
    icons = icons * TBorderIcons{biSystemMenu};
  }
  if (style == bsSingle || style == bsSizeable || style == bsNone) {
    if (formStyle_ != fsMDIChild || icons.Contains(biSystemMenu)) {
      if (icons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
      if (icons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    }
    if (windowState_ == wsMinimized) params.Style |= WS_MINIMIZE;
    if (windowState_ == wsMaximized) params.Style |= WS_MAXIMIZE;
  } else {
    windowState_ = wsNormal;
  }
  if (icons.Contains(biSystemMenu)) params.Style |= WS_SYSMENU;
  if (icons.Contains(biHelp) && (!(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) || style == bsDialog))
    params.ExStyle |= WS_EX_CONTEXTHELP;
  if (formStyle_ == fsStayOnTop && topLevel) params.ExStyle |= WS_EX_TOPMOST;
  switch (position_) {
    case poDefault:
      params.X = params.Y = params.Width = params.Height = int(CW_USEDEFAULT);
      break;
    case poDefaultPosOnly: params.X = params.Y = int(CW_USEDEFAULT); break;
    case poDefaultSizeOnly: params.Width = params.Height = int(CW_USEDEFAULT); break;
    default: break;
  }
  if (formStyle_ == fsMDIChild) {
    params.Style = (params.Style & ~DWORD(WS_POPUP)) | WS_CHILD;
    params.ExStyle |= WS_EX_MDICHILD;
    params.WindowClass.lpfnWndProc = DefMDIChildProcW;
    TCustomForm* frame = Application ? Application->MainForm() : nullptr;
    params.WndParent = frame && frame != this ? frame->ClientHandle() : nullptr;
  }
}

TRect TCustomForm::NonClientFrame() {
  TCreateParams params;
  CreateParams(params);
  bool hasMenu = menu_ && formStyle_ != fsMDIChild && menu_->Items()->Count() > 0;
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, params.Style, hasMenu, params.ExStyle);
  return TRect{-r.left, -r.top, r.right, r.bottom};
}

void TCustomForm::CreateWnd() {
  if (formStyle_ == fsMDIChild) {
    TCustomForm* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame == this || frame->FormStyle() != fsMDIForm || !frame->ClientHandle())
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  }
  TWinControl::CreateWnd();
  if (formStyle_ == fsMDIForm) CreateMDIClient();
  AttachMenu();
  if (borderStyle_ != bsDialog && Application)
    SendMessageW(handle_, WM_SETICON, ICON_BIG, LPARAM(Application->Icon()));
}

void TCustomForm::CreateMDIClient() {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = nullptr;
  ccs.idFirstChild = 0xFF00;
  RECT r{};
  GetClientRect(handle_, &r);
  clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_CLIPCHILDREN | WS_HSCROLL |
                                      WS_VSCROLL | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES,
                                  0, 0, r.right, r.bottom, handle_, nullptr, HInstance(), &ccs);
  if (!clientHandle_) throw EOSError("Error creating window: " + SysErrorMessage(int(GetLastError())));
  Realign();
}

void TCustomForm::DestroyWindowHandle() {
  if (!handle_) return;
  // The menu belongs to its TMainMenu: the window must not take it along.
  if (GetMenu(handle_)) ::SetMenu(handle_, nullptr);
  if (menu_) menu_->SetWindowHandle(nullptr);
  HWND client = GetParent(handle_);
  if (formStyle_ == fsMDIChild && client && IsWindow(client) && (GetWindowLongW(handle_, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
    SetControlState(ControlState() | csDestroyingHandle);
    SendMessageW(client, WM_MDIDESTROY, WPARAM(handle_), 0);
    SetControlState(ControlState() & ~TControlState(csDestroyingHandle));
  }
  TWinControl::DestroyWindowHandle();
  clientHandle_ = nullptr;
}

void TCustomForm::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  if (clientHandle_)
    SetWindowPos(clientHandle_, HWND_BOTTOM, rect.Left, rect.Top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (HandleAllocated() && clientHandle_ && !(Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) &&
      !(RM_GetObjectInstance && Message.Msg == RM_GetObjectInstance)) {
    Message.Result = DefFrameProcW(handle_, clientHandle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TWinControl::DefaultHandler(Message);
}

int TCustomForm::MDIChildCount() const {
  if (formStyle_ != fsMDIForm || !Screen) return 0;
  int n = 0;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->FormStyle() == fsMDIChild) ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (formStyle_ == fsMDIForm && Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->FormStyle() == fsMDIChild && index-- == 0) return Screen->Forms(i);
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (formStyle_ != fsMDIForm || !clientHandle_) return nullptr;
  return dyn<TCustomForm>(FindControl(HWND(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0))));
}

// --- Showing and closing ---

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  auto centreOn = [this](const TRect& area) {
    int x = area.Left + (area.Width() - Width()) / 2;
    int y = area.Top + (area.Height() - Height()) / 2;
    SetBounds(std::max(x, 0), std::max(y, 0), Width(), Height());
  };
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  switch (position_) {
    case poScreenCenter:
      if (formStyle_ == fsMDIChild && frame)
        centreOn(Rect(0, 0, frame->ClientWidth(), frame->ClientHeight()));
      else
        centreOn(Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
      break;
    case poDesktopCenter:
      centreOn(Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)));
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* centre = position_ == poOwnerFormCenter ? dyn<TCustomForm>(Owner()) : frame;
      if (formStyle_ == fsMDIChild && frame)
        centreOn(Rect(0, 0, frame->ClientWidth(), frame->ClientHeight()));
      else if (centre && centre != this)
        centreOn(centre->BoundsRect());
      else
        centreOn(Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
      break;
    }
    default: break;
  }
  position_ = poDesigned;
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (showingChange_) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  TFlagGuard guard(showingChange_);
  if (Showing()) {
    CallGuarded(this, [this] { DoShow(); });
    ApplyPosition();
    static const int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    if (formStyle_ == fsMDIChild) {
      ShowWindow(handle_, kShow[windowState_]);
      if (windowState_ == wsNormal) BringToFront();
      if (HWND client = GetParent(handle_)) SendMessageW(client, WM_MDIREFRESHMENU, 0, 0);
    } else {
      if (Application && Application->MainForm() == this && !Application->MainFormOnTaskBar())
        ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
      ShowWindow(handle_, kShow[windowState_]);
    }
  } else {
    CallGuarded(this, [this] { DoHide(); });
    ShowWindow(handle_, SW_HIDE);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

bool TCustomForm::CloseQuery() {
  if (formStyle_ == fsMDIForm)
    for (int i = 0; i < MDIChildCount(); ++i)
      if (TCustomForm* child = MDIChildren(i); child && !child->CloseQuery()) return false;
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() {
  if (HandleAllocated() || !HasState(csDestroying)) PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

int TCustomForm::ShowModal() {
  TModalRequest request;
  request.Kind = mkShowModal;
  request.Form = this;
  request.Caption = Caption();
  if (std::optional<int> answer = AskModalHandler(request)) {
    modalResult_ = *answer;
    return *answer;
  }
  return ExecuteModal();
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    modalResult_ = mrNone;
  else if (action == caFree)
    Release();
}

int TCustomForm::ExecuteModal() {
  if (Visible() || !Enabled() || modal_ || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  TFlagGuard modal(modal_);
  HWND activeWindow = GetActiveWindow();
  struct TRestoreActive {
    HWND wnd;
    ~TRestoreActive() {
      if (wnd && IsWindow(wnd)) SetActiveWindow(wnd);
    }
  } restoreActive{activeWindow};
  TTaskWindows disabled(HandleAllocated() ? handle_ : nullptr);
  struct THideAfter {
    TCustomForm* form;
    ~THideAfter() {
      CallGuarded(form, [f = form] { f->Hide(); });
    }
  } hideAfter{this};
  Show();
  SendMessageW(Handle(), CM_ACTIVATE, 0, 0);
  modalResult_ = mrNone;
  do {
    Application->HandleMessage();
    if (Application->Terminated())
      modalResult_ = mrCancel;
    else if (modalResult_ != mrNone)
      CloseModal();
  } while (modalResult_ == mrNone);
  SendMessageW(Handle(), CM_DEACTIVATE, 0, 0);
  if (GetActiveWindow() != handle_) restoreActive.wnd = nullptr;
  return modalResult_;
}

// --- Activation and focus ---

void TCustomForm::SetActive(bool value) {
  active_ = value;
  if (!value) return;
  if (!activeControl_) {
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) activeControl_ = first;
  }
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND focus = nullptr;
  if (activeControl_ && activeControl_->CanFocus())
    focus = activeControl_->Handle();
  else if (HandleAllocated())
    focus = handle_;
  if (focus) ::SetFocus(focus);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (activeControl_ == control) return;
  if (control && (control == this || GetParentForm(control) != this || (!IsLoading() && !control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = control;
  if (!IsLoading() && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

bool TCustomForm::CanFocus() { return TWinControl::CanFocus(); }

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
  if (control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
    if (active_ && !HasState(csDestroying) && HandleAllocated()) ::SetFocus(handle_);
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  ++focusCount_;
  activeControl_ = control != this ? control : nullptr;
  if (Screen) {
    Screen->activeControl_ = control;
    Screen->activeForm_ = this;
    Screen->MoveToFront(this);
  }
  if (control->ControlState() & csFocusing) return false;
  control->SetControlState(control->ControlState() | csFocusing);
  struct TClearFocusing {
    TWinControl* c;
    ~TClearFocusing() { c->SetControlState(c->ControlState() & ~TControlState(csFocusing)); }
  } clear{control};
  auto send = [this](HWND wnd, UINT msg) {
    int count = focusCount_;
    SendMessageW(wnd, msg, 0, 0);
    return focusCount_ == count;
  };
  if (Screen && Screen->focusedForm_ != this) {
    if (TCustomForm* old = Screen->focusedForm_) {
      Screen->focusedForm_ = nullptr;
      if (old->HandleAllocated() && !send(old->handle_, CM_DEACTIVATE)) return false;
    }
    Screen->focusedForm_ = this;
    if (!send(Handle(), CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      HWND wnd = focusedControl_->HandleAllocated() ? focusedControl_->handle_ : nullptr;
      focusedControl_ = focusedControl_->Parent();
      if (wnd && !send(wnd, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* next = control;
      while (next->Parent() != focusedControl_) next = next->Parent();
      focusedControl_ = next;
      if (!send(next->Handle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
  }
  return true;
}

bool TCustomForm::IsShortCut(TWMKey& message) {
  return menu_ && menu_->IsShortCut(message);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::CMActivate(TMessage&) { Activate(); }

void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::WMActivate(TWMActivate& m) {
  if (formStyle_ != fsMDIForm)
    SetActive(m.Active != WA_INACTIVE);
  else
    DefaultHandler(m.Message);
}

void TCustomForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (m.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
          m.Result = 1;
        }
        return;
      default: break;
    }
  }
  TWinControl::CMDialogKey(m);
}

// --- Messages of the form's window ---

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMQueryEndSession(TMessage& m) { m.Result = CloseQuery() ? 1 : 0; }

void TCustomForm::WMCommand(TWMCommand& m) {
  if (!m.Ctl && menu_ && menu_->DispatchCommand(m.ItemID)) return;
  TWinControl::WMCommand(m);
}

void TCustomForm::WMInitMenuPopup(TWMInitMenuPopup& m) {
  if (menu_ && !m.SystemMenu) menu_->DispatchPopup(m.MenuPopup);
  DefaultHandler(m.Message);
}

void TCustomForm::WMDrawItem(TWMDrawItem& m) {
  DRAWITEMSTRUCT* d = m.DrawItemStruct;
  if (d && d->CtlType == ODT_MENU && menu_)
    if (TMenuItem* item = menu_->FindItem(d->itemID, fkCommand)) {
      TSavedDC saved(d->hDC);
      TCanvas canvas;
      canvas.SetHandle(d->hDC);
      if (Screen) canvas.SetFont(Screen->MenuFont());
      item->DrawItem(&canvas, FromRECT(d->rcItem), (d->itemState & ODS_SELECTED) != 0);
      canvas.SetHandle(nullptr);
      m.Result = 1;
      return;
    }
  WMReflect(m.Message);
}

void TCustomForm::WMMeasureItem(TWMMeasureItem& m) {
  MEASUREITEMSTRUCT* mi = m.MeasureItemStruct;
  if (mi && mi->CtlType == ODT_MENU && menu_)
    if (TMenuItem* item = menu_->FindItem(mi->itemID, fkCommand)) {
      TWindowDC dc(handle_);
      TCanvas canvas;
      canvas.SetHandle(dc.get());
      if (Screen) canvas.SetFont(Screen->MenuFont());
      int w = int(mi->itemWidth), h = int(mi->itemHeight);
      item->MeasureItem(&canvas, w, h);
      canvas.SetHandle(nullptr);
      mi->itemWidth = UINT(std::max(w, 0));
      mi->itemHeight = UINT(std::max(h, 0));
      m.Result = 1;
      return;
    }
  WMReflect(m.Message);
}

void TCustomForm::WMSize(TWMSize& m) {
  switch (m.SizeType) {
    case SIZE_RESTORED: windowState_ = wsNormal; break;
    case SIZE_MINIMIZED: windowState_ = wsMinimized; break;
    case SIZE_MAXIMIZED: windowState_ = wsMaximized; break;
    default: break;
  }
  TWinControl::WMSize(m);
}

void TCustomForm::WMEraseBkgnd(TWMEraseBkgnd& m) {
  if (clientHandle_) {
    m.Result = 1;
    return;
  }
  TWinControl::WMEraseBkgnd(m);
}

void TCustomForm::WMPaintForm(TWMPaint& m) {
  if (handle_ && IsIconic(handle_) && m.Message.Msg == WM_PAINT) {
    DefaultHandler(m.Message);
    return;
  }
  TWinControl::WMPaint(m);
}

void TCustomForm::PaintWindow(HDC dc) {
  canvas_->PaintOn(dc, [this] { Paint(); });
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::CMMenuChanged(TMessage&) { AttachMenu(); }

void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TWinControl::GetChildren(proc, root);
  // The components without a parent (menus, timers, data components) are written at the end.
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) proc(c);
  }
}

KARO_BEGIN_MESSAGE_MAP(TCustomForm)
  KARO_MESSAGE(WM_ACTIVATE, WMActivate)
  KARO_MESSAGE(WM_CLOSE, WMClose)
  KARO_MESSAGE(WM_QUERYENDSESSION, WMQueryEndSession)
  KARO_MESSAGE(WM_COMMAND, WMCommand)
  KARO_MESSAGE(WM_INITMENUPOPUP, WMInitMenuPopup)
  KARO_MESSAGE(WM_DRAWITEM, WMDrawItem)
  KARO_MESSAGE(WM_MEASUREITEM, WMMeasureItem)
  KARO_MESSAGE(WM_SIZE, WMSize)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(WM_PAINT, WMPaintForm)
  KARO_MESSAGE(WM_PRINTCLIENT, WMPaintForm)
  KARO_MESSAGE(CM_SHOWINGCHANGED, CMShowingChanged)
  KARO_MESSAGE(CM_ACTIVATE, CMActivate)
  KARO_MESSAGE(CM_DEACTIVATE, CMDeactivate)
  KARO_MESSAGE(CM_DIALOGKEY, CMDialogKey)
  KARO_MESSAGE(CM_MENUCHANGED, CMMenuChanged)
  KARO_MESSAGE(CM_RELEASE, CMRelease)
KARO_END_MESSAGE_MAP(TWinControl)

// --- TForm ---

KARO_CLASS_PROPS(TForm, TCustomForm,
                 TControlProps::Left(), TControlProps::Top(),
                 Prop("Width", &TForm::Width, &TForm::SetWidth).NotStored(),
                 Prop("Height", &TForm::Height, &TForm::SetHeight).NotStored(),
                 TControlProps::BiDiMode(),
                 Prop("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons),
                 Prop("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle).Default(bsSizeable),
                 TControlProps::Caption(),
                 Prop("ClientHeight", &TForm::ClientHeightProp, &TForm::SetClientHeightProp),
                 Prop("ClientWidth", &TForm::ClientWidthProp, &TForm::SetClientWidthProp),
                 TControlProps::Color(), TControlProps::Cursor(), TControlProps::Enabled(), TControlProps::Font(),
                 Prop("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle).Default(fsNormal),
                 TControlProps::Hint(),
                 Prop("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(0),
                 Prop("Menu", &TForm::Menu, &TForm::SetMenu),
                 TControlProps::ParentBiDiMode(),
                 Prop("ParentFont", &TForm::ParentFont, &TForm::SetParentFont).Default(0),
                 TControlProps::PopupMenu(),
                 Prop("Position", &TForm::Position, &TForm::SetPosition).Default(poDesigned),
                 TControlProps::ShowHint(),
                 Prop<TForm>("Visible", &TForm::Visible, &TForm::SetVisible).Default(0),
                 Prop("WindowState", &TForm::WindowState, &TForm::SetWindowState).Default(wsNormal),
                 Prop("OnActivate", &TForm::OnActivate, &TForm::OnActivate), TControlProps::OnClick(),
                 Prop("OnClose", &TForm::OnClose, &TForm::OnClose),
                 Prop("OnCloseQuery", &TForm::OnCloseQuery, &TForm::OnCloseQuery),
                 Prop("OnCreate", &TForm::OnCreate, &TForm::OnCreate), TControlProps::OnDblClick(),
                 Prop("OnDeactivate", &TForm::OnDeactivate, &TForm::OnDeactivate),
                 Prop("OnDestroy", &TForm::OnDestroy, &TForm::OnDestroy),
                 Prop("OnHide", &TForm::OnHide, &TForm::OnHide), TControlProps::OnKeyDown(),
                 TControlProps::OnKeyPress(), TControlProps::OnKeyUp(), TControlProps::OnMouseDown(),
                 TControlProps::OnMouseMove(), TControlProps::OnMouseUp(),
                 Prop("OnPaint", &TForm::OnPaint, &TForm::OnPaint), TControlProps::OnResize(),
                 Prop("OnShow", &TForm::OnShow, &TForm::OnShow))

// --- TDataModule ---

KARO_CLASS_PROPS(TDataModule, TComponent,
                 Prop("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate),
                 Prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy))

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {
  if (Screen) Screen->dataModules_.push_back(this);
}

TDataModule::~TDataModule() {
  if (Screen) {
    auto& list = Screen->dataModules_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  if (Application) Application->Notification(this, opRemove);
}

void TDataModule::BeforeDestruction() {
  Destroying();
  RemoveFixupReferences(this);
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) CallGuarded(this, [this] { OnDestroy(this); });
}

void TDataModule::DoCreate() {
  if (created_) return;
  created_ = true;
  if (OnCreate) CallGuarded(this, [this] { OnCreate(this); });
}

void InitInheritedComponent(TComponent* instance, const std::string* formText) {
  auto* form = dyn<TCustomForm>(instance);
  auto* module = dyn<TDataModule>(instance);
  bool baseClass = instance->ClassType() == TForm::StaticClass() ||
                   instance->ClassType() == TCustomForm::StaticClass() ||
                   instance->ClassType() == TDataModule::StaticClass();
  std::string resName = instance->ClassName();
  bool hasResource = FindResourceA(HInstance(), resName.c_str(), MAKEINTRESOURCEA(10)) != nullptr;
  if (formText || hasResource) {
    std::optional<TFlagGuard> reading;
    if (form) reading.emplace(form->formReading_);
    if (form) form->DisableAlign();
    try {
      if (formText)
        ReadComponentText(*formText, instance);
      else
        ReadComponentRes(HInstance(), resName, instance);
    } catch (...) {
      if (form) form->EnableAlign();
      throw;
    }
    if (form) form->EnableAlign();
  } else if (!baseClass) {
    throw EResNotFound("Resource " + resName + " not found");
  }
  if (form) form->DoCreate();
  if (module) module->DoCreate();
}

// --- TScreen ---

KARO_CLASS_INFO(TScreen, TComponent)

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  finderToken_ = RegisterFindGlobalComponent([this](const std::string& name) -> TComponent* {
    for (TCustomForm* f : forms_)
      if (SameText(f->Name(), name)) return f;
    for (TDataModule* m : dataModules_)
      if (SameText(m->Name(), name)) return m;
    return nullptr;
  });
}

TScreen::~TScreen() { UnregisterFindGlobalComponent(finderToken_); }

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || size_t(index) >= forms_.size())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return forms_[size_t(index)];
}

TDataModule* TScreen::DataModules(int index) const {
  if (index < 0 || size_t(index) >= dataModules_.size())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return dataModules_[size_t(index)];
}

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) {
    activeForm_ = nullptr;
    activeControl_ = nullptr;
  }
  if (focusedForm_ == form) focusedForm_ = nullptr;
  if (activeControl_ && GetParentForm(activeControl_) == form) activeControl_ = nullptr;
}

void TScreen::MoveToFront(TCustomForm* form) {
  auto it = std::find(forms_.begin(), forms_.end(), form);
  if (it == forms_.end() || it == forms_.begin()) return;
  forms_.erase(it);
  forms_.insert(forms_.begin(), form);
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  if (cursor == crDefault) {
    // The controls under the cursor choose again.
    POINT p{};
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);
  } else {
    ::SetCursor(CursorHandle(cursor));
  }
}

TFont* TScreen::MenuFont() {
  if (!menuFontRead_) {
    menuFontRead_ = true;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    bool ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0) != 0;
    if (!ok) {
      // Systems before Vista know the structure without its last field.
      ncm.cbSize = sizeof(ncm) - sizeof(ncm.iPaddedBorderWidth);
      ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0) != 0;
    }
    if (ok) menuFont_.SetLogFont(ncm.lfMenuFont);
  }
  return &menuFont_;
}
