#include "classlib/controls/dialogs.h"

#include <commdlg.h>

#include <algorithm>

namespace {

struct TButtonInfo {
  const wchar_t* Caption;
  const char* Name;
  TModalResult Result;
};

constexpr TButtonInfo kButtons[] = {
    {L"&Yes", "Yes", mrYes},         {L"&No", "No", mrNo},
    {L"OK", "OK", mrOk},             {L"Cancel", "Cancel", mrCancel},
    {L"&Abort", "Abort", mrAbort},   {L"&Retry", "Retry", mrRetry},
    {L"&Ignore", "Ignore", mrIgnore}, {L"&All", "All", mrAll},
    {L"N&o to All", "NoToAll", mrNoToAll}, {L"Yes to &All", "YesToAll", mrYesToAll},
    {L"&Help", "Help", mrNone},
};

constexpr const wchar_t* kCaptions[] = {L"Warning", L"Error", L"Information", L"Confirm", nullptr};
const wchar_t* const kIcons[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION, nullptr};

// The default button of a message dialog: a push button of the system class that answers for
// the dialog when it is clicked.
class TMessageButton : public TWinControl {
  KARO_CLASS(TMessageButton)
public:
  explicit TMessageButton(TComponent* owner) : TWinControl(owner) {
    // The system's button captures the mouse and clicks by itself: taking the capture here
    // would cancel its press.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetTabStop(true);
  }
  TModalResult Result = mrNone;
  bool IsDefault = false;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, L"BUTTON");
    params.Style |= IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  }
  void CNCommand(TWMCommand& m) {
    if (m.NotifyCode == BN_CLICKED)
      if (auto* form = GetParentForm(this)) form->SetModalResult(Result);
  }
};

KARO_BEGIN_MESSAGE_MAP(TMessageButton)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_INFO(TMessageButton, TWinControl)

TMessageButtonFactory& ButtonFactory() {
  static auto* factory = new TMessageButtonFactory;
  return *factory;
}

TWinControl* MakeButton(TCustomForm* form, const WideString& caption, TModalResult result, bool isDefault) {
  if (TMessageButtonFactory factory = ButtonFactory()) return factory(form, caption, result, isDefault);
  auto* b = new TMessageButton(form);
  b->Result = result;
  b->IsDefault = isDefault;
  b->SetParent(form);
  b->SetCaption(caption);
  return b;
}

WideString FilterToSystem(const WideString& filter) {
  if (filter.empty()) return WideString(2, L'\0');
  WideString r = filter;
  std::replace(r.begin(), r.end(), L'|', L'\0');
  r.push_back(L'\0');
  r.push_back(L'\0');
  return r;
}

}  // namespace

TMessageButtonFactory SetMessageButtonFactory(TMessageButtonFactory factory) {
  TMessageButtonFactory old = std::move(ButtonFactory());
  ButtonFactory() = std::move(factory);
  return old;
}

// --- TMessageForm ---

KARO_CLASS_INFO(TMessageForm, TForm)

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) messageFont_.SetLogFont(ncm.lfMessageFont);
}

void TMessageForm::Paint() {
  TCanvas* c = Canvas();
  if (icon_) DrawIconEx(c->Handle(), 12, 12, icon_, 32, 32, 0, nullptr, DI_NORMAL);
  c->SetFont(&messageFont_);
  c->Font()->SetColor(clWindowText);
  SetBkMode(c->Handle(), TRANSPARENT);
  RECT r = ToRECT(textRect_);
  DrawTextW(c->Handle(), message_.c_str(), int(message_.size()), &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
}

void TMessageForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0 && (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE)) {
    // Enter answers for the focused button, else the first; Escape for the cancelling one.
    TModalResult r = cancelResult_;
    if (m.WParam == VK_RETURN) {
      r = defaultResult_;
      HWND focus = GetFocus();
      for (TWinControl* b : buttons_)
        if (b->HandleAllocated() && b->Handle() == focus)
          if (auto* mb = dyn<TMessageButton>(b)) r = mb->Result;
    }
    SetModalResult(r);
    m.Result = 1;
    return;
  }
  TForm::Dispatch(m);
}

KARO_BEGIN_MESSAGE_MAP(TMessageForm)
  KARO_MESSAGE(CM_DIALOGKEY, CMDialogKey)
KARO_END_MESSAGE_MAP(TForm)

TMessageForm* CreateMessageDialog(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons) {
  auto* form = new TMessageForm(Application);
  try {
    form->type_ = type;
    form->message_ = message;
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetFont(&form->messageFont_);
    form->SetCaption(kCaptions[type] ? WideString(kCaptions[type]) : Application->Title());
    if (kIcons[type]) form->icon_ = LoadIconW(nullptr, kIcons[type]);

    // The text's size, wrapped at half the screen's width.
    TWindowDC screen(nullptr);
    HFONT font = form->messageFont_.Handle();
    TSelectObject sel(screen.get(), font);
    RECT text{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextW(screen.get(), message.c_str(), int(message.size()), &text,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    const int margin = 12, gap = 8, buttonWidth = 75, buttonHeight = 25, buttonSpacing = 6;
    int iconWidth = form->icon_ ? 32 + gap : 0;
    int textLeft = margin + iconWidth;
    int contentHeight = std::max<int>(text.bottom, form->icon_ ? 32 : 0);
    form->textRect_ = Rect(textLeft, margin + (contentHeight - text.bottom) / 2, textLeft + text.right,
                           margin + (contentHeight + text.bottom) / 2);

    std::vector<const TButtonInfo*> chosen;
    for (int b = mbYes; b <= mbHelp; ++b)
      if (buttons.Contains(TMsgDlgBtn(b))) chosen.push_back(&kButtons[b]);
    if (chosen.empty()) chosen.push_back(&kButtons[mbOK]);
    form->defaultResult_ = chosen.front()->Result;
    // Escape answers Cancel, else No, else OK, as the platform's dialogs do.
    form->cancelResult_ = buttons.Contains(mbCancel) ? mrCancel
                          : buttons.Contains(mbNo)   ? mrNo
                          : buttons.Contains(mbOK)   ? mrOk
                                                     : mrCancel;
    int buttonsWidth = int(chosen.size()) * buttonWidth + int(chosen.size() - 1) * buttonSpacing;
    int clientWidth = std::max(textLeft + int(text.right) + margin, buttonsWidth + 2 * margin);
    int buttonTop = margin + contentHeight + margin + 4;
    form->SetClientSize(clientWidth, buttonTop + buttonHeight + margin);
    int x = (clientWidth - buttonsWidth) / 2;
    for (const TButtonInfo* info : chosen) {
      TWinControl* b = MakeButton(form, info->Caption, info->Result, info == chosen.front());
      if (b->Name().empty() && !form->FindComponent(info->Name)) b->SetName(info->Name);
      b->SetBounds(x, buttonTop, buttonWidth, buttonHeight);
      form->buttons_.push_back(b);
      x += buttonWidth + buttonSpacing;
    }
    if (!form->buttons_.empty()) form->SetActiveControl(nullptr);
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

int MessageDlg(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  TMessageForm* form = CreateMessageDialog(message, type, buttons);
  struct TFreeForm {
    TMessageForm* f;
    ~TFreeForm() { f->Free(); }
  } freeForm{form};
  TModalRequest request;
  request.Kind = mkMessageDialog;
  request.Caption = form->Caption();
  request.Text = message;
  request.Form = form;
  if (std::optional<int> answer = AskModalHandler(request)) return *answer;
  return form->ExecuteModal();
}

void ShowMessage(const WideString& message) { MessageDlg(message, mtCustom, {mbOK}); }

// --- TOpenDialog ---

KARO_CLASS_PROPS(TOpenDialog, TComponent,
                 Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt),
                 Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName),
                 Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter),
                 Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1),
                 Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir),
                 Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions),
                 Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle))

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
  TModalRequest request;
  request.Kind = kind_;
  request.Caption = title_;
  request.Dialog = this;
  if (std::optional<int> answer = AskModalHandler(request)) {
    files_.Clear();
    if (*answer && !fileName_.empty()) files_.Add(fileName_);
    return *answer != 0;
  }
  return RunSystemDialog(kind_ == mkSaveDialog);
}

bool TOpenDialog::RunSystemDialog(bool save) {
  std::vector<wchar_t> buffer(size_t(options_.Contains(ofAllowMultiSelect) ? 65536 : MAX_PATH * 4), L'\0');
  std::copy_n(fileName_.begin(), std::min(fileName_.size(), buffer.size() - 1), buffer.begin());
  WideString filter = FilterToSystem(filter_);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  HWND owner = GetActiveWindow();
  if (!owner && Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    owner = Application->MainForm()->Handle();
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = DWORD(std::max(filterIndex_, 0));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  ofn.Flags = OFN_EXPLORER;
  struct TFlag {
    TOpenOption Option;
    DWORD Flag;
  };
  static constexpr TFlag kFlags[] = {
      {ofReadOnly, OFN_READONLY},           {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},   {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofShowHelp, OFN_SHOWHELP},           {ofNoValidate, OFN_NOVALIDATE},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT}, {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofShareAware, OFN_SHAREAWARE},       {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
      {ofNoTestFileCreate, OFN_NOTESTFILECREATE}, {ofNoNetworkButton, OFN_NONETWORKBUTTON},
      {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS}, {ofEnableSizing, OFN_ENABLESIZING},
  };
  for (const TFlag& f : kFlags)
    if (options_.Contains(f.Option)) ofn.Flags |= f.Flag;
  BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  files_.Clear();
  if (!ok) return false;
  filterIndex_ = int(ofn.nFilterIndex);
  buffer.back() = L'\0';
  // One name, or (several chosen) the folder followed by the names, each ended by a NUL.
  const wchar_t* p = buffer.data();
  WideString first = p;
  p += first.size() + 1;
  if (*p == L'\0' || !options_.Contains(ofAllowMultiSelect)) {
    fileName_ = first;
    files_.Add(first);
  } else {
    WideString dir = first;
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    while (*p) {
      WideString name = p;
      files_.Add(dir + name);
      p += name.size() + 1;
    }
    fileName_ = files_.Count() ? files_.Strings(0) : WideString();
  }
  return true;
}

KARO_COMPONENT_INFO(TSaveDialog, TOpenDialog)

TSaveDialog::TSaveDialog(TComponent* owner) : TOpenDialog(owner) { kind_ = mkSaveDialog; }
