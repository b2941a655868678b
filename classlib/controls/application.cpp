// TApplication and the start-up and shut-down of the controls layer.
#include <algorithm>

#include "classlib/controls/control_atom.h"
#include "classlib/controls/forms.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr const wchar_t* kApplicationClass = L"TApplication";

LRESULT CALLBACK ApplicationWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// The unit's start-up and shut-down. The application frees every form and data module it owns
// before the control atom goes.
struct TControlsUnit {
  TControlsUnit() {
    InitControlAtom();
    DeferControlAtomRelease();
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
  }
  ~TControlsUnit() {
    TApplication* app = Application;
    if (app) {
      try {
        app->DestroyComponents();
      } catch (...) {
      }
    }
    TScreen* screen = Screen;
    Screen = nullptr;
    delete screen;
    Application = nullptr;
    delete app;
    DoneControlAtom();
  }
} controlsUnit;

LRESULT CALLBACK ApplicationWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!app) return DefWindowProcW(wnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  try {
    app->Perform(m);
  } catch (...) {
    HandleCallbackException(app);
  }
  return m.Result;
}

}  // namespace

void HandleCallbackException(TObject* sender) {
  if (Application) Application->HandleException(sender);
}

void CallGuarded(TObject* sender, const std::function<void()>& fn) {
  try {
    fn();
  } catch (...) {
    HandleCallbackException(sender);
  }
}

KARO_CLASS_INFO(TApplication, TComponent)

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  WideString exe(path, n);
  size_t slash = exe.find_last_of(L"\\/:");
  WideString name = slash == WideString::npos ? exe : exe.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  title_ = dot == WideString::npos ? name : name.substr(0, dot);
}

TApplication::~TApplication() {
  DestroyComponents();
  if (handle_) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
}

HWND TApplication::Handle() {
  if (handle_) return handle_;
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ApplicationWndProc;
    wc.hInstance = HInstance();
    wc.hIcon = LoadIconW(HInstance(), L"MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kApplicationClass;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw EOSError(SysErrorMessage(int(GetLastError())));
  // A window without a size, in the middle of the screen: it carries the program's task-bar
  // button while the main form does not.
  handle_ = CreateWindowExW(0, kApplicationClass, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, HInstance(), nullptr);
  if (!handle_) throw EOSError(SysErrorMessage(int(GetLastError())));
  SetWindowLongPtrW(handle_, GWLP_USERDATA, LONG_PTR(this));
  SendMessageW(handle_, WM_SETICON, ICON_BIG, LPARAM(Icon()));
  return handle_;
}

void TApplication::Initialize() { Handle(); }

HICON TApplication::Icon() {
  if (!icon_) {
    icon_ = LoadIconW(HInstance(), L"MAINICON");
    if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
  }
  return icon_;
}

AnsiString TApplication::ExeName() const { return ParamStr(0); }

void TApplication::SetTitle(const WideString& title) {
  title_ = title;
  if (handle_) SetWindowTextW(handle_, title.c_str());
}

void TApplication::FormCreated(TComponent* instance) {
  if (!mainForm_)
    if (auto* form = dyn<TCustomForm>(instance)) {
      mainForm_ = form;
      form->HandleNeeded();
    }
}

HWND TApplication::FormOwnerWindow(TCustomForm* form) {
  if (mainFormOnTaskBar_) {
    if (!mainForm_ || mainForm_ == form) return nullptr;
    return mainForm_->Handle();
  }
  return Handle();
}

void TApplication::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == mainForm_) mainForm_ = nullptr;
}

void TApplication::Terminate() {
  // A later WM_QUIT ends the loop; the flag ends it even when no loop picks the message up.
  terminated_ = true;
  PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = msg.hwnd;
    if (mainForm_ && mainForm_->ClientHandle() && wnd == mainForm_->ClientHandle()) {
      wnd = mainForm_->Handle();
    } else {
      // The nearest window of a control of the library: another window does not know what to
      // do with the CN_ form of a key.
      HWND w = wnd;
      while (w && !FindControl(w)) w = GetParent(w);
      if (w) wnd = w;
    }
  } else if (HINSTANCE(GetWindowLongPtrW(wnd, GWLP_HINSTANCE)) != HInstance()) {
    return false;
  }
  if (!FindControl(wnd)) return false;
  return SendMessageW(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(MSG& msg) {
  if (!mainForm_ || mainForm_->FormStyle() != fsMDIForm || !mainForm_->ClientHandle()) return false;
  TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
  if (!active || active->FormStyle() != fsMDIChild) return false;
  return TranslateMDISysAccel(mainForm_->ClientHandle(), &msg) != 0;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(msg, handled);
  if (!handled && !IsMDIMsg(msg) && !IsKeyMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle() {
  TControlCanvas::FreeDeviceContexts();
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  if (done && !terminated_) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::Run() {
  if (mainForm_ && showMainForm_) {
    if (mainForm_->WindowState() == wsMinimized) ShowWindow(mainForm_->Handle(), SW_SHOWMINNOACTIVE);
    mainForm_->SetVisible(true);
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

HWND TApplication::ModalOwner() {
  HWND active = GetActiveWindow();
  if (active && FindControl(active)) return active;
  if (mainForm_ && mainForm_->HandleAllocated()) return mainForm_->Handle();
  return handle_;
}

int TApplication::MessageBox(const WideString& text, const WideString& caption, UINT flags) {
  TModalRequest request;
  request.Kind = mkMessageBox;
  request.Caption = caption;
  request.Text = text;
  request.Flags = flags;
  if (std::optional<int> answer = AskModalHandler(request)) return *answer;
  HWND active = GetActiveWindow();
  int result = ::MessageBoxW(ModalOwner(), text.c_str(), caption.c_str(), flags);
  if (active && IsWindow(active)) SetActiveWindow(active);
  return result;
}

void TApplication::ShowException(const Exception& e) {
  WideString text = AnsiToWide(e.Message());
  // The platform's error box ends every message with a full stop.
  if (!text.empty() && text.back() > L'.') text += L'.';
  MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(TObject* sender) {
  try {
    if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
      std::rethrow_exception(current);
    } catch (const EAbort&) {
      return;
    } catch (const Exception& e) {
      if (OnException)
        OnException(sender, e);
      else
        ShowException(e);
    } catch (const std::exception& e) {
      Exception wrapped(e.what());
      if (OnException)
        OnException(sender, wrapped);
      else
        ShowException(wrapped);
    } catch (...) {
      Exception wrapped("Unknown exception");
      if (OnException)
        OnException(sender, wrapped);
      else
        ShowException(wrapped);
    }
  } catch (...) {
    // The handler itself failed: nothing may leave a window procedure.
  }
}

void TApplication::Perform(TMessage& m) { WndProc(m); }

void TApplication::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    case WM_ENDSESSION:
      if (m.WParam) Terminate();
      break;
    case WM_QUERYENDSESSION: m.Result = 1; return;
    case WM_ACTIVATEAPP:
      if (m.WParam) {
        if (OnActivate) OnActivate(this);
      } else if (OnDeactivate) {
        OnDeactivate(this);
      }
      break;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_RESTORE && mainForm_ && mainForm_->HandleAllocated()) {
        ShowWindow(mainForm_->Handle(), SW_RESTORE);
        m.Result = 0;
        return;
      }
      break;
    default: break;
  }
  m.Result = DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
}
