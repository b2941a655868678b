// Dialogs: ShowMessage and MessageDlg (forms of class "TMessageForm"), and the open and save
// file dialogs. Every one of them passes the modal seam of classlib/controls/forms.h first.
// Windows only.
#pragma once

#include <windows.h>

#include <functional>

#include "classlib/controls/forms.h"
#include "classlib/core/string_list.h"

KARO_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom);
KARO_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp);
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The form of a message dialog: its icon and text, and one button per answer in the order of
// TMsgDlgBtn. Enter gives the first button's answer, Escape the cancelling one's.
class TMessageForm : public TForm {
  KARO_CLASS(TMessageForm)
public:
  explicit TMessageForm(TComponent* owner);
  TMsgDlgType DlgType() const { return type_; }
  const WideString& Message() const { return message_; }
  // The buttons, in the order shown.
  const std::vector<TWinControl*>& Buttons() const { return buttons_; }
  TModalResult DefaultResult() const { return defaultResult_; }
  TModalResult CancelResult() const { return cancelResult_; }

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;

private:
  friend TMessageForm* CreateMessageDialog(const WideString&, TMsgDlgType, TMsgDlgButtons);
  void CMDialogKey(TMessage& m);

  TMsgDlgType type_ = mtCustom;
  WideString message_;
  TRect textRect_{};
  HICON icon_ = nullptr;
  std::vector<TWinControl*> buttons_;
  TModalResult defaultResult_ = mrNone;
  TModalResult cancelResult_ = mrCancel;
  TFont messageFont_;
};

// Makes the button of a message dialog: a push button on form with the caption, that sets the
// form's ModalResult when clicked. The standard-controls layer installs one that makes its own
// button class; the default makes a plain push button of the system's "BUTTON" class.
using TMessageButtonFactory =
    std::function<TWinControl*(TCustomForm* form, const WideString& caption, TModalResult result, bool isDefault)>;
TMessageButtonFactory SetMessageButtonFactory(TMessageButtonFactory factory);

// The dialog form, laid out and not shown; the caller frees it.
TMessageForm* CreateMessageDialog(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows the dialog modally (centred on the screen) and gives the answer (mrYes, mrOk...).
int MessageDlg(const WideString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// A message dialog with an OK button under the application's title.
void ShowMessage(const WideString& message);

KARO_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
          ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
          ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
          ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing);
using TOpenOptions = TSet<TOpenOption>;

// The system's file-open dialog.
class TOpenDialog : public TComponent {
  KARO_CLASS(TOpenDialog)
public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  // Shows the dialog; true when the user chose a file (FileName and Files hold the choice).
  virtual bool Execute();

  const WideString& FileName() const { return fileName_; }
  void SetFileName(const WideString& v) { fileName_ = v; }
  // Every file chosen (one unless ofAllowMultiSelect).
  TWideStrings* Files() { return &files_; }
  // "Description|pattern|Description|pattern", as form files write it.
  const WideString& Filter() const { return filter_; }
  void SetFilter(const WideString& v) { filter_ = v; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const WideString& InitialDir() const { return initialDir_; }
  void SetInitialDir(const WideString& v) { initialDir_ = v; }
  const WideString& Title() const { return title_; }
  void SetTitle(const WideString& v) { title_ = v; }
  const WideString& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const WideString& v) { defaultExt_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }

protected:
  // The dialog without the seam: GetOpenFileNameW, or GetSaveFileNameW when save.
  bool RunSystemDialog(bool save);
  TModalKind kind_ = mkOpenDialog;

private:
  WideString fileName_;
  WideString filter_;
  WideString initialDir_;
  WideString title_;
  WideString defaultExt_;
  int filterIndex_ = 1;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  TWideStringList files_;
};

// The system's file-save dialog.
class TSaveDialog : public TOpenDialog {
  KARO_CLASS(TSaveDialog)
public:
  explicit TSaveDialog(TComponent* owner);
};
