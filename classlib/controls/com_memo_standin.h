// STAND-IN, to be replaced by the standard controls' TCustomMemo: a multi-line edit base with
// window-backed Lines, just large enough for TCustomRichEdit to derive from. It also holds the
// two enumerations (TAlignment, TScrollStyle) that the standard controls define; when those
// land, this header goes and TCustomRichEdit derives from TCustomMemo. Windows only.
#pragma once

#include "classlib/controls/controls.h"
#include "classlib/controls/forms.h"
#include "classlib/core/string_list.h"

KARO_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter);
KARO_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth);

class TMemoStandIn;

// The lines of a multi-line edit: read from and written to its window while it has one, kept
// in the control's stored text while it has none.
class TMemoStandInStrings : public TWideStrings {
  KARO_CLASS(TMemoStandInStrings)
public:
  explicit TMemoStandInStrings(TMemoStandIn* memo) : memo_(memo) {}
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  WideString Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const WideString& s) override;
  // While an update is open the lines are changed in a copy, written to the control once at
  // its end (reading a file or assigning a list is then not quadratic).
  void SetUpdateState(bool updating) override;

private:
  std::vector<WideString> Split() const;
  void Join(const std::vector<WideString>& lines);
  // The lines to read: the copy during an update, else the control's text split.
  std::vector<WideString> Lines() const { return updating_ ? cache_ : Split(); }
  void Store(std::vector<WideString> lines);
  TMemoStandIn* memo_;
  std::vector<WideString> cache_;
  bool updating_ = false;
};

class TMemoStandIn : public TWinControl {
  KARO_CLASS(TMemoStandIn)
public:
  explicit TMemoStandIn(TComponent* owner);
  ~TMemoStandIn() override;

  TWideStrings* Lines() { return lines_.get(); }
  void SetLines(TWideStrings* lines) { lines_->Assign(lines); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();
  void CNCommand(TWMCommand& m);

private:
  std::unique_ptr<TMemoStandInStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool readOnly_ = false;
  TFormBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  bool wantTabs_ = false;
};
