// Data-aware editors: TDBEdit, TDBComboBox and TDBRichEdit show one field of the current record
// of their data source, put the dataset into edit state when the user types (AutoEdit), and
// hand their text to the field when the record is posted. Windows only.
#pragma once

#include "classlib/controls/comctrls.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/db/db.h"

// What the three editors share: the field link, and the guard that tells the control's own
// showing of the field from the user's typing.
class TDBEditorLink : public TFieldDataLink {
public:
  // getText/setText read and write the control's text.
  TDBEditorLink(TWinControl* control, std::function<WideString()> getText, std::function<void(const WideString&)> setText);
  // Shows the field's text (or nothing without a field).
  void ShowField();
  // The control's text changed: by the user it marks the link modified.
  void ControlChanged();
  // A key that would change the text: allowed only when the dataset can be edited.
  bool CanEditByKey();
  // The user's text goes to the field (when leaving the control or at Post).
  void WriteField();

private:
  TWinControl* control_;
  std::function<WideString()> getText_;
  std::function<void(const WideString&)> setText_;
  bool showing_ = false;
};

class TDBEdit : public TCustomEdit {
  KARO_CLASS(TDBEdit)
public:
  explicit TDBEdit(TComponent* owner);
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* s) { link_.SetDataSource(s); }
  const WideString& DataField() const { return link_.FieldName(); }
  void SetDataField(const WideString& f) { link_.SetFieldName(f); }
  TField* Field() const { return link_.Field(); }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }

protected:
  void Notification(TComponent* c, TOperation op) override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void DoExit() override;

private:
  TDBEditorLink link_;
};

class TDBComboBox : public TCustomComboBox {
  KARO_CLASS(TDBComboBox)
public:
  explicit TDBComboBox(TComponent* owner);
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* s) { link_.SetDataSource(s); }
  const WideString& DataField() const { return link_.FieldName(); }
  void SetDataField(const WideString& f) { link_.SetFieldName(f); }
  TField* Field() const { return link_.Field(); }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }

protected:
  void Notification(TComponent* c, TOperation op) override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void DoExit() override;
  void DropDown() override;

private:
  TDBEditorLink link_;
};

class TDBRichEdit : public TCustomRichEdit {
  KARO_CLASS(TDBRichEdit)
public:
  explicit TDBRichEdit(TComponent* owner);
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* s) { link_.SetDataSource(s); }
  const WideString& DataField() const { return link_.FieldName(); }
  void SetDataField(const WideString& f) { link_.SetFieldName(f); }
  TField* Field() const { return link_.Field(); }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }

protected:
  void Notification(TComponent* c, TOperation op) override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void DoExit() override;

private:
  TDBEditorLink link_;
};
