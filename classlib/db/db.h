// The platform's dataset model: TField (a column of the current record, read and written as a
// variant or as text and numbers), TDataSet (open and closed, navigation, the browse, edit and
// insert states and their events), TDataSource and TDataLink (how bound controls hear of
// scrolling, editing and new data). The engine behind a dataset is a descendant's
// (classlib/db/adodb.h). Windows only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/core/persistent.h"
#include "classlib/core/typinfo.h"
#include "classlib/db/db_engine.h"
#include "classlib/db/db_variant.h"

class TDataSet;
class TDataSource;
class TDataLink;

KARO_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert);
KARO_ENUM(TFieldType, ftUnknown, ftWideString, ftInteger, ftFloat, ftDateTime);
enum TDataEvent { deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deUpdateRecord, deUpdateState };

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataChangeEvent = std::function<void(TObject* Sender, class TField* Field)>;

// A column of the dataset's current record.
class TField : public TObject {
  KARO_CLASS(TField)
public:
  TField(TDataSet* dataSet, int index, const WideString& name, TFieldType type);
  TDataSet* DataSet() const { return dataSet_; }
  const WideString& FieldName() const { return name_; }
  TFieldType DataType() const { return type_; }
  int Index() const { return index_; }
  // Whether a change of the field reaches the table (a column of the one table of the statement).
  bool CanModify() const;
  void SetCanModify(bool v) { canModify_ = v; }

  // The current record's value: Null, an integer, a floating value, text or a date.
  Variant Value() const;
  // Raises EDatabaseError when the dataset is not editing; text for a date column is read as a
  // date (EConvertError when it is none).
  void SetValue(const Variant& v);
  bool IsNull() const { return Value().IsNull(); }
  // "" for Null; dates in the system's short date format.
  WideString AsString() const;
  void SetAsString(const WideString& v) { SetValue(Variant(v)); }
  // Null of a numeric column reads 0; text that is no integer (Null text too) raises EConvertError.
  int AsInteger() const;
  void SetAsInteger(int v) { SetValue(Variant(v)); }
  double AsFloat() const;
  TDateTime AsDateTime() const;
  void Clear() { SetValue(Null()); }

private:
  TDataSet* dataSet_;
  int index_;
  WideString name_;
  TFieldType type_;
  bool canModify_ = false;
};

// Fields of a stored value: a value as the column's type gives it.
Variant FieldValueOf(TFieldType type, const Variant& stored);

class TDataSet : public TComponent {
  KARO_CLASS(TDataSet)
public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;

  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }

  // --- Records ---
  int RecordCount() const;
  bool IsEmpty() const { return RecordCount() == 0; }
  // The number of the current record from 1 (0 when there is none).
  int RecNo() const;
  void SetRecNo(int value);
  // At the beginning and at the end (the platform calls them BOF and EOF; EOF is a C macro).
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by up to distance records; answers how far it moved.
  int MoveBy(int distance);

  // --- Fields ---
  int FieldCount() const { return int(fields_.size()); }
  TField* Fields(int index) const { return fields_.at(size_t(index)).get(); }
  TField* FindField(const WideString& name) const;
  // Raises EDatabaseError "Field 'x' not found" for an unknown name.
  TField* FieldByName(const WideString& name) const;

  // --- Editing ---
  bool CanModify() const;
  // Puts the current record into edit state; on an empty dataset starts a new record instead.
  void Edit();
  void Append();
  void Insert();
  // Writes the edited or new record in one transaction; when that fails nothing is written,
  // the error is raised and the record stays in its edit or insert state.
  void Post();
  void Cancel();
  // Deletes the current record (a new record is only cancelled).
  void Delete();
  // Posts a changed record, cancels an unchanged one.
  void CheckBrowseMode();
  bool Modified() const { return modified_; }
  // Reads the given record (from 0) without moving: what a grid paints. Empty when out of range.
  std::vector<Variant> RecordValues(int index);
  // Moves the current record to the given record (from 0), as a grid click does.
  void MoveTo(int index) { SetRecNo(index + 1); }
  // The record number (from 0) of the current record.
  int ActiveIndex() const { return cur_; }
  // The stored values shown for the field in the current record (the edit buffer while editing).
  const Variant& CurrentValue(int field) const;
  void SetCurrentValue(int field, const Variant& v);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforeInsert, AfterInsert, BeforePost, AfterPost;
  TDataSetNotifyEvent BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, OnNewRecord;

  // The data sources and their links (TDataSource enters itself).
  void AddDataSource(TDataSource* s);
  void RemoveDataSource(TDataSource* s);
  void DataEvent(TDataEvent event, intptr_t info);
  void Loaded() override;

protected:
  // The engine's part. InternalOpen makes the fields (AddField) and answers the record count.
  virtual int InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool InternalCanModify() const { return false; }
  // Reads the stored values of record index into values (one per field).
  virtual void InternalFetch(int index, std::vector<Variant>& values) = 0;
  // Writes the record (an update of record index, or a new record to stand at index) and
  // answers its values as stored. Raises on failure, having written nothing.
  virtual void InternalPost(bool inserting, int index, const std::vector<Variant>& values,
                            const std::vector<bool>& modified, std::vector<Variant>& stored) = 0;
  virtual void InternalDelete(int index) = 0;
  TField* AddField(const WideString& name, TFieldType type);
  void ClearFields() { fields_.clear(); }
  bool streamedActive_ = false;
  bool IsLoadingState() const;

private:
  void BeginInsert(bool atEnd);
  void DoOpen();
  void DoClose();
  void SetState(TDataSetState s);
  void Fetch();
  void Call(const TDataSetNotifyEvent& e) {
    if (e) e(this);
  }
  void CheckActive() const;
  void Scrolled(int oldCur);

  TDataSetState state_ = dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<TDataSource*> sources_;
  int count_ = 0;
  int cur_ = -1;            // current record from 0; in insert state the place of the new one
  bool bof_ = true, eof_ = true;
  std::vector<Variant> values_;  // the current record (the edit buffer while editing)
  std::vector<Variant> saved_;   // the record as it was before editing
  std::vector<bool> fieldModified_;
  bool modified_ = false;
  bool insertedRow_ = false;      // a new record was entered into the count for the insert state
};

// Links bound controls to a dataset.
class TDataSource : public TComponent {
  KARO_CLASS(TDataSource)
public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* ds);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool v) { autoEdit_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TDataSetState State() const { return dataSet_ && enabled_ ? dataSet_->State() : dsInactive; }
  // Puts the dataset into edit state when AutoEdit allows it.
  void Edit();

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

  void AddLink(TDataLink* l);
  void RemoveLink(TDataLink* l);
  void NotifyLinks(TDataEvent event, intptr_t info);

protected:
  void Notification(TComponent* c, TOperation op) override;

private:
  TDataSet* dataSet_ = nullptr;
  bool autoEdit_ = true;
  bool enabled_ = true;
  TDataSetState lastState_ = dsInactive;
  std::vector<TDataLink*> links_;
};

// What a bound control is told. Override the notifications needed.
class TDataLink {
public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;
  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* s);
  TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
  bool Active() const { return source_ && source_->State() != dsInactive; }
  bool Editing() const {
    TDataSetState s = source_ ? source_->State() : dsInactive;
    return s == dsEdit || s == dsInsert;
  }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  // Puts the dataset into edit state through the source's AutoEdit; true when it is editing.
  bool Edit();

protected:
  friend class TDataSource;
  virtual void ActiveChanged() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) {
    (void)distance;
    DataSetChanged();
  }
  virtual void RecordChanged(TField* field) { (void)field; }
  virtual void EditingChanged() {}
  virtual void UpdateData() {}
  void DataEvent(TDataEvent event, intptr_t info);

private:
  TDataSource* source_ = nullptr;
  bool readOnly_ = false;
  bool active_ = false;
  bool editing_ = false;
};

// The link of a control bound to one field of the dataset.
class TFieldDataLink : public TDataLink {
public:
  const WideString& FieldName() const { return fieldName_; }
  void SetFieldName(const WideString& name);
  // The field of that name in the open dataset, or null.
  TField* Field() const;
  bool CanModify() const;
  // The control's text differs from the field's.
  void Modified() { modified_ = true; }
  void Reset();

  TNotifyEvent OnDataChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnActiveChange;

protected:
  void ActiveChanged() override;
  void RecordChanged(TField* field) override;
  void EditingChanged() override;
  void UpdateData() override;

private:
  WideString fieldName_;
  bool modified_ = false;
};
