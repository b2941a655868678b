// Forms and the program around them: TCustomForm and TForm (borders, position, MDI frames and
// children, menu, modal showing, activation and focus), TDataModule, TScreen (Screen.Forms),
// TApplication (its hidden window, the message loop, CreateForm, the default exception
// handler), the seam through which every modal box passes, Halt and ParamStr. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "classlib/controls/controls.h"
#include "classlib/controls/menus.h"

class TOpenDialog;

KARO_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin);
KARO_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp);
using TBorderIcons = TSet<TBorderIcon>;
KARO_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
          poMainFormCenter, poOwnerFormCenter);
KARO_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop);
KARO_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized);
KARO_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize);

// What a modal box answered: the button of a message box, the result of a modal form.
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1, mrNoToAll = mrAll + 1,
                       mrYesToAll = mrNoToAll + 1;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// --- The modal seam ---

enum TModalKind { mkMessageBox, mkMessageDialog, mkShowModal, mkOpenDialog, mkSaveDialog, mkPopupMenu };

// A modal box about to be shown.
struct TModalRequest {
  TModalKind Kind = mkMessageBox;
  WideString Caption;             // the box's caption
  WideString Text;                // the message of a message box or message dialog
  UINT Flags = 0;                 // a message box's MB_ flags
  TCustomForm* Form = nullptr;    // the message dialog's form, or the form shown modally
  TOpenDialog* Dialog = nullptr;  // an open or save dialog (the handler may set its FileName)
  TPopupMenu* Menu = nullptr;     // a popup menu, shown at X, Y
  int X = 0, Y = 0;
};

// Answers a modal box instead of showing it: the value is what the box would have given (the
// button of a message box, the modal result of a form or dialog, non-zero for an accepted file
// dialog, the command of the chosen popup-menu item or 0); no value shows the real box.
using TModalHandler = std::function<std::optional<int>(TModalRequest& request)>;
// Installs the handler (an empty one restores the real boxes) and gives back the previous one.
TModalHandler SetModalHandler(TModalHandler handler);
// What the handler answers; no value when none is installed or it declines.
std::optional<int> AskModalHandler(TModalRequest& request);

// --- Forms ---

class TCustomForm : public TWinControl {
  KARO_CLASS(TCustomForm)
public:
  // A form without its form file: the constructor only (NewForm and Application.CreateForm
  // read the form file and fire OnCreate after it).
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  // OnDestroy, while the form is still whole; Free, Release and owners run it.
  void BeforeDestruction() override;

  // OnCreate (an exception there goes to the application's handler and the form is made all
  // the same), then the visibility the form file asked for. Runs once.
  void DoCreate();

  // --- Window ---
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  // The client size as form files write it (applied when reading ends).
  int ClientWidthProp() { return ClientWidth(); }
  int ClientHeightProp() { return ClientHeight(); }
  void SetClientWidthProp(int v);
  void SetClientHeightProp(int v);
  void SetVisible(bool visible) override;

  // --- MDI ---
  // The "MDIClient" window of an MDI frame, or 0.
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;

  // --- Showing and closing ---
  void Show();
  void Hide() { SetVisible(false); }
  // Close: OnCloseQuery, OnClose; hides, minimises or frees the form as the action says; the
  // main form's close ends the application. A modal form just gets mrCancel.
  void Close();
  bool CloseQuery();
  // Frees the form once the messages now pending have been handled.
  void Release();
  // Shows the form modally and gives its ModalResult; passes the modal seam first.
  virtual int ShowModal();
  // The modal loop itself, without the seam (ShowModal and the message dialogs use it).
  int ExecuteModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }
  bool Modal() const { return modal_; }
  bool Active() const { return active_; }
  // The canvas that OnPaint draws on.
  TCanvas* Canvas() { return canvas_.get(); }

  // --- Focus ---
  TWinControl* ActiveControl() const { return activeControl_; }
  // Raises EInvalidOperation ("Cannot focus a disabled or invisible window") for a control
  // that cannot take the focus.
  void SetActiveControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  void DefocusControl(TWinControl* control, bool removing);
  // The window focus reached the control: CM_EXIT and CM_ENTER along the way, then
  // CM_FOCUSCHANGED; false when a handler moved the focus on meanwhile.
  bool SetFocusedControl(TWinControl* control);
  void SetFocus() override;
  bool CanFocus() override;
  // The key is a shortcut of the form's menus; the item has been clicked.
  bool IsShortCut(TWMKey& message);

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  TComponent* GetChildOwner() override { return this; }
  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  void Notification(TComponent* c, TOperation op) override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void AlignControls(TControl* control, TRect& rect) override;
  TRect NonClientFrame() override;
  void PaintWindow(HDC dc) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  // Places the form by its Position before it is first shown.
  void ApplyPosition();

  void WMActivate(TWMActivate& m);
  void WMClose(TMessage& m);
  void WMQueryEndSession(TMessage& m);
  void WMCommand(TWMCommand& m);
  void WMInitMenuPopup(TWMInitMenuPopup& m);
  void WMDrawItem(TWMDrawItem& m);
  void WMMeasureItem(TWMMeasureItem& m);
  void WMSize(TWMSize& m);
  void WMEraseBkgnd(TWMEraseBkgnd& m);
  void WMPaintForm(TWMPaint& m);
  void CMShowingChanged(TMessage& m);
  void CMActivate(TMessage& m);
  void CMDeactivate(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMMenuChanged(TMessage& m);
  void CMRelease(TMessage& m);

private:
  friend class TApplication;
  friend void InitInheritedComponent(TComponent* instance, const std::string* formText);
  void CreateMDIClient();
  void AttachMenu();
  void SetWindowFocus();
  void SetActive(bool value);
  void CloseModal();

  std::unique_ptr<TControlCanvas> canvas_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  HWND clientHandle_ = nullptr;
  TModalResult modalResult_ = mrNone;
  int wantClientWidth_ = 0, wantClientHeight_ = 0;
  int focusCount_ = 0;
  bool keyPreview_ = false;
  bool formReading_ = false;
  bool wantVisible_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  bool modal_ = false;
  bool active_ = false;
  bool showingChange_ = false;
  bool positioned_ = false;
};

// The form class of the program's own forms: publishes what form files set.
class TForm : public TCustomForm {
  KARO_CLASS(TForm)
public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A non-visual container of components read from a form file (Karo keeps its database
// components in one).
class TDataModule : public TComponent {
  KARO_CLASS(TDataModule)
public:
  explicit TDataModule(TComponent* owner);
  ~TDataModule() override;
  void BeforeDestruction() override;
  // OnCreate, once; an exception there goes to the application's handler.
  void DoCreate();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

private:
  bool created_ = false;
  bool destroyed_ = false;
};

// The steps of making a form or data module after its constructor: its form file (the text
// given, else the module's RCDATA resource named after its class, which a class of its own
// must have), then OnCreate. The platform's classes TForm and TDataModule themselves need no
// resource. Raises EResNotFound ("Resource TX not found") and the form-file errors.
void InitInheritedComponent(TComponent* instance, const std::string* formText = nullptr);

// Makes a form or data module of class T owned by owner, in the order its platform
// constructor has: the object, its form file, OnCreate.
template <class T> T* NewForm(TComponent* owner, const std::string* formText = nullptr) {
  static_assert(std::is_base_of_v<TComponent, T>, "a form or data module class");
  T* instance = new T(owner);
  try {
    InitInheritedComponent(instance, formText);
  } catch (...) {
    instance->Free();
    throw;
  }
  return instance;
}

// --- Screen ---

class TScreen : public TComponent {
  KARO_CLASS(TScreen)
public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // The forms of the program, the one that last had the focus first.
  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int index) const;
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int index) const { return Forms(index); }
  int DataModuleCount() const { return int(dataModules_.size()); }
  TDataModule* DataModules(int index) const;
  TCustomForm* ActiveForm() const { return activeForm_; }
  TCustomForm* ActiveCustomForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }
  // The cursor shown over every control of the program; crDefault lets the controls decide.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // The system's menu font (as the non-client metrics give it).
  TFont* MenuFont();
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  int PixelsPerInch() const { return TFont::PixelsPerInch(); }

private:
  friend class TCustomForm;
  friend class TDataModule;
  friend class TWinControl;
  void AddForm(TCustomForm* form);
  // A control going away while it is the active one must not be left behind here: the next
  // form to close would follow it to its (freed) form.
  void ControlDestroying(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
  }
  void RemoveForm(TCustomForm* form);
  void MoveToFront(TCustomForm* form);

  std::vector<TCustomForm*> forms_;
  std::vector<TDataModule*> dataModules_;
  TCustomForm* activeForm_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCursor cursor_ = crDefault;
  TFont menuFont_;
  bool menuFontRead_ = false;
  int finderToken_ = 0;
};

// --- Application ---

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
  KARO_CLASS(TApplication)
public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // The hidden window of class "TApplication" (made on first use).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void Initialize();

  // Makes a form or data module owned by the application: reference points at it before its
  // form file is read; the first form made becomes the main form.
  template <class T> void CreateForm(T*& reference) {
    static_assert(std::is_base_of_v<TComponent, T>, "a form or data module class");
    T* instance = new T(this);
    reference = instance;
    try {
      InitInheritedComponent(instance, nullptr);
    } catch (...) {
      reference = nullptr;
      instance->Free();
      throw;
    }
    FormCreated(instance);
  }

  // Shows the main form and runs the message loop until the application is terminated.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every message now waiting, then returns.
  void ProcessMessages();
  // Handles one message, or waits for the next when none is waiting.
  void HandleMessage();
  // A message box owned by the active window of the program; passes the modal seam.
  int MessageBox(const WideString& text, const WideString& caption, UINT flags);

  const WideString& Title() const { return title_; }
  void SetTitle(const WideString& title);
  TCustomForm* MainForm() const { return mainForm_; }
  bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
  void SetMainFormOnTaskBar(bool v) { mainFormOnTaskBar_ = v; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }
  // The program's icon (the "MAINICON" resource, else the system's application icon).
  HICON Icon();
  AnsiString ExeName() const;

  // Hands the exception being handled (call only inside a catch block) to OnException, else
  // to ShowException; EAbort is dropped silently. Never throws.
  void HandleException(TObject* sender);
  // The error box: the message (with a full stop added) under the application's title.
  void ShowException(const Exception& e);

  // Runs a message of the application's window.
  void Perform(TMessage& m);

  TMessageEvent OnMessage;
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

protected:
  void Notification(TComponent* c, TOperation op) override;

private:
  friend class TCustomForm;
  friend class TDataModule;
  void FormCreated(TComponent* instance);
  // The window that owns a top-level form's window: none for the main form on the task bar,
  // the main form's for the others then, else the application window.
  HWND FormOwnerWindow(TCustomForm* form);
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsMDIMsg(MSG& msg);
  void Idle();
  void WndProc(TMessage& m);
  HWND ModalOwner();

  HWND handle_ = nullptr;
  TCustomForm* mainForm_ = nullptr;
  WideString title_;
  HICON icon_ = nullptr;
  bool terminated_ = false;
  bool mainFormOnTaskBar_ = false;
  bool showMainForm_ = true;
};

// The program's application and screen objects, made when the program starts and freed (with
// every form and data module they own) when it ends.
extern TApplication* Application;
extern TScreen* Screen;

// --- Program ---

// Ends the program with the exit code: through the halt seam when a test has installed one
// (the seam records the code; Halt then raises the silent EAbort so that the caller does not
// go on), else by ending the process after the units' shut-down.
[[noreturn]] void Halt(int exitCode = 0);
using THaltHandler = std::function<void(int exitCode)>;
THaltHandler SetHaltHandler(THaltHandler handler);

// The command-line parameters: 0 is the program's file name.
int ParamCount();
WideString WideParamStr(int index);
// The same in the ANSI code page.
AnsiString ParamStr(int index);
