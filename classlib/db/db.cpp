#include "classlib/db/db.h"

#include <algorithm>
#include <cmath>

namespace {

[[noreturn]] void DbError(const std::string& text) { throw EDatabaseError(text); }

bool TextToNumber(const WideString& s, double& v) {
  std::string a = Trim(WideToUtf8(s));
  if (a.empty()) return false;
  char* end = nullptr;
  v = std::strtod(a.c_str(), &end);
  return end && *end == 0 && std::isfinite(v) && (std::isdigit(static_cast<unsigned char>(a.back())) || a.back() == '.');
}

}  // namespace

// --- TField ---

TField::TField(TDataSet* dataSet, int index, const WideString& name, TFieldType type)
    : dataSet_(dataSet), index_(index), name_(name), type_(type) {}

bool TField::CanModify() const { return canModify_ && dataSet_->CanModify(); }

Variant FieldValueOf(TFieldType type, const Variant& stored) {
  if (type == ftDateTime && stored.VarType() == varOleStr) {
    TDateTime d;
    if (TryStrToDateTime(stored.AsWideString(), d)) return Variant::FromDate(d);
  }
  return stored;
}

Variant TField::Value() const { return FieldValueOf(type_, dataSet_->CurrentValue(index_)); }

void TField::SetValue(const Variant& v) {
  Variant x = v;
  if (x.IsEmpty()) x = Null();
  if (x.VarType() == varOleStr) {
    WideString s = x.AsWideString();
    if (type_ == ftDateTime) {
      x = s.empty() ? Null() : Variant::FromDate(StrToDate(s));
    } else if (type_ == ftInteger || type_ == ftFloat) {
      double d;
      if (Trim(s).empty()) x = Null();
      else if (!TextToNumber(s, d))
        throw EConvertError("'" + WideToAnsi(s) + "' is not a valid " + (type_ == ftInteger ? "integer" : "floating point") +
                            " value");
      else if (type_ == ftInteger && d == std::floor(d)) x = Variant(int64_t(d));
      else x = Variant(d);
    }
  } else if (type_ == ftDateTime && !x.IsNull()) {
    x = Variant::FromDate(x.AsDouble());
  }
  dataSet_->SetCurrentValue(index_, x);
}

WideString TField::AsString() const {
  Variant v = Value();
  if (v.IsNull()) return L"";
  if (v.VarType() == varDate) return DateTimeToStr(v.AsDate());
  return v.AsWideString();
}

int TField::AsInteger() const {
  Variant v = Value();
  if (v.IsNull() && (type_ == ftInteger || type_ == ftFloat)) return 0;
  if (v.VarType() == varOleStr || v.IsNull()) {
    WideString s = v.IsNull() ? WideString() : v.AsWideString();
    int32_t i;
    if (!TryStrToInt(WideToAnsi(s), i)) throw EConvertError("'" + WideToAnsi(s) + "' is not a valid integer value");
    return i;
  }
  return v.AsInteger();
}

double TField::AsFloat() const {
  Variant v = Value();
  if (v.IsNull() && type_ != ftWideString) return 0;
  if (v.VarType() == varOleStr || v.IsNull()) {
    WideString s = v.IsNull() ? WideString() : v.AsWideString();
    double d;
    if (!TextToNumber(s, d)) throw EConvertError("'" + WideToAnsi(s) + "' is not a valid floating point value");
    return d;
  }
  return v.AsDouble();
}

TDateTime TField::AsDateTime() const {
  Variant v = Value();
  if (v.IsNull()) return 0;
  if (v.VarType() == varOleStr) return StrToDate(v.AsWideString());
  return v.AsDate();
}

KARO_CLASS_INFO(TField, TObject)

// --- TDataSet ---

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->SetDataSet(nullptr);
}

void TDataSet::BeforeDestruction() {
  // The engine's part goes before the descendant does.
  if (Active()) {
    state_ = dsInactive;
    try {
      InternalClose();
    } catch (...) {
    }
    DataEvent(deUpdateState, 0);
  }
  TComponent::BeforeDestruction();
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    Open();
  }
}

void TDataSet::SetActive(bool value) {
  if (IsLoadingState()) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  if (value) DoOpen();
  else DoClose();
}

bool TDataSet::IsLoadingState() const { return HasState(csLoading) || HasState(csReading); }

void TDataSet::DoOpen() {
  Call(BeforeOpen);
  fields_.clear();
  try {
    count_ = InternalOpen();
  } catch (...) {
    fields_.clear();
    count_ = 0;
    try {
      InternalClose();
    } catch (...) {
    }
    throw;
  }
  cur_ = count_ > 0 ? 0 : -1;
  bof_ = true;
  eof_ = count_ == 0;
  modified_ = false;
  state_ = dsBrowse;
  Fetch();
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
  Call(AfterOpen);
}

void TDataSet::DoClose() {
  Call(BeforeClose);
  state_ = dsInactive;
  InternalClose();
  fields_.clear();
  values_.clear();
  saved_.clear();
  count_ = 0;
  cur_ = -1;
  bof_ = eof_ = true;
  modified_ = false;
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
  Call(AfterClose);
}

void TDataSet::CheckActive() const {
  if (!Active()) DbError(Name() + ": Cannot perform this operation on a closed dataset");
}

void TDataSet::Fetch() {
  values_.assign(fields_.size(), Null());
  fieldModified_.assign(fields_.size(), false);
  if (cur_ >= 0 && cur_ < count_) InternalFetch(cur_, values_);
}

int TDataSet::RecordCount() const { return Active() ? count_ : 0; }

int TDataSet::RecNo() const {
  if (!Active()) return 0;
  if (state_ == dsInsert) return cur_ + 1;
  return cur_ >= 0 ? cur_ + 1 : 0;
}

void TDataSet::Scrolled(int oldCur) {
  Fetch();
  DataEvent(deDataSetScroll, cur_ - oldCur);
  Call(AfterScroll);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  Call(BeforeScroll);
  int old = cur_;
  cur_ = count_ > 0 ? 0 : -1;
  bof_ = true;
  eof_ = count_ == 0;
  Scrolled(old);
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  Call(BeforeScroll);
  int old = cur_;
  cur_ = count_ - 1;
  eof_ = true;
  bof_ = count_ == 0;
  Scrolled(old);
}

int TDataSet::MoveBy(int distance) {
  CheckActive();
  CheckBrowseMode();
  if (distance == 0) return 0;
  Call(BeforeScroll);
  int old = cur_;
  int target = cur_ + distance;
  bof_ = eof_ = false;
  if (target < 0) {
    target = 0;
    bof_ = true;
  }
  if (target > count_ - 1) {
    target = count_ - 1;
    eof_ = true;
  }
  if (count_ == 0) bof_ = eof_ = true;
  cur_ = count_ == 0 ? -1 : target;
  Scrolled(old);
  return cur_ - old;
}

void TDataSet::SetRecNo(int value) {
  CheckActive();
  if (count_ == 0) return;
  value = std::clamp(value, 1, count_);
  if (state_ == dsBrowse && value - 1 == cur_) return;
  CheckBrowseMode();
  Call(BeforeScroll);
  int old = cur_;
  cur_ = value - 1;
  bof_ = eof_ = false;
  Scrolled(old);
}

TField* TDataSet::FindField(const WideString& name) const {
  for (const auto& f : fields_)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const WideString& name) const {
  TField* f = FindField(name);
  if (!f) DbError(Name() + ": Field '" + WideToAnsi(name) + "' not found");
  return f;
}

TField* TDataSet::AddField(const WideString& name, TFieldType type) {
  fields_.push_back(std::make_unique<TField>(this, int(fields_.size()), name, type));
  return fields_.back().get();
}

bool TDataSet::CanModify() const { return Active() && InternalCanModify(); }

const Variant& TDataSet::CurrentValue(int field) const {
  if (field < 0 || size_t(field) >= values_.size()) {
    static const Variant null = Null();
    return null;
  }
  return values_[size_t(field)];
}

void TDataSet::SetCurrentValue(int field, const Variant& v) {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) DbError(Name() + ": Dataset not in edit or insert mode");
  if (!fields_.at(size_t(field))->CanModify()) DbError(Name() + ": Field '" + WideToAnsi(fields_[size_t(field)]->FieldName()) + "' cannot be modified");
  values_[size_t(field)] = v;
  fieldModified_[size_t(field)] = true;
  modified_ = true;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(fields_[size_t(field)].get()));
}

std::vector<Variant> TDataSet::RecordValues(int index) {
  std::vector<Variant> v;
  if (!Active()) return v;
  if (state_ == dsInsert) {
    if (index == cur_) return values_;
    if (index > cur_) --index;
  } else if (state_ == dsEdit && index == cur_) {
    return values_;
  }
  if (index < 0 || index >= count_) return v;
  v.assign(fields_.size(), Null());
  InternalFetch(index, v);
  return v;
}

void TDataSet::SetState(TDataSetState s) {
  if (state_ == s) return;
  state_ = s;
  modified_ = false;
  DataEvent(deUpdateState, 0);
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (count_ == 0) {
    Insert();
    return;
  }
  if (!CanModify()) DbError(Name() + ": Cannot modify a read-only dataset");
  Call(BeforeEdit);
  saved_ = values_;
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  Call(AfterEdit);
}

void TDataSet::Append() { BeginInsert(true); }

void TDataSet::Insert() { BeginInsert(false); }

// Append puts the new record after the last one, Insert before the current one.
void TDataSet::BeginInsert(bool atEnd) {
  CheckActive();
  if (!CanModify()) DbError(Name() + ": Cannot modify a read-only dataset");
  CheckBrowseMode();
  Call(BeforeInsert);
  saved_ = values_;
  if (atEnd)
    cur_ = count_;
  else if (cur_ < 0)
    cur_ = 0;
  values_.assign(fields_.size(), Null());
  fieldModified_.assign(fields_.size(), false);
  bof_ = eof_ = false;
  SetState(dsInsert);
  Call(OnNewRecord);
  modified_ = false;
  DataEvent(deDataSetChange, 0);
  Call(AfterInsert);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  // The bound controls hand over what the user typed first.
  DataEvent(deUpdateRecord, 0);
  Call(BeforePost);
  bool inserting = state_ == dsInsert;
  bool changed = inserting || std::find(fieldModified_.begin(), fieldModified_.end(), true) != fieldModified_.end();
  if (changed) {
    std::vector<Variant> stored(fields_.size(), Null());
    InternalPost(inserting, cur_, values_, fieldModified_, stored);
    values_ = std::move(stored);
    if (inserting) ++count_;
  }
  fieldModified_.assign(fields_.size(), false);
  state_ = dsBrowse;
  modified_ = false;
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
  Call(AfterPost);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  Call(BeforeCancel);
  bool inserting = state_ == dsInsert;
  state_ = dsBrowse;
  modified_ = false;
  if (inserting) {
    if (cur_ >= count_) cur_ = count_ - 1;
    Fetch();
    bof_ = cur_ <= 0;
    eof_ = count_ == 0;
  } else {
    values_ = saved_;
    fieldModified_.assign(fields_.size(), false);
  }
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
  Call(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (count_ == 0) DbError(Name() + ": Cannot perform this operation on an empty dataset");
  if (!CanModify()) DbError(Name() + ": Cannot modify a read-only dataset");
  Call(BeforeDelete);
  InternalDelete(cur_);
  --count_;
  state_ = dsBrowse;
  modified_ = false;
  if (cur_ >= count_) cur_ = count_ - 1;
  eof_ = count_ == 0;
  bof_ = count_ == 0;
  Fetch();
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
  Call(AfterDelete);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) {
    DataEvent(deUpdateRecord, 0);
    if (modified_) Post();
    else Cancel();
  }
}

void TDataSet::AddDataSource(TDataSource* s) {
  if (std::find(sources_.begin(), sources_.end(), s) == sources_.end()) sources_.push_back(s);
}
void TDataSet::RemoveDataSource(TDataSource* s) { sources_.erase(std::remove(sources_.begin(), sources_.end(), s), sources_.end()); }

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
  for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->NotifyLinks(event, info);
}

KARO_CLASS_INFO(TDataSet, TComponent)

// --- TDataSource ---

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  for (TDataLink* l : std::vector<TDataLink*>(links_)) l->SetDataSource(nullptr);
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* ds) {
  if (ds == dataSet_) return;
  if (dataSet_) {
    dataSet_->RemoveDataSource(this);
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = ds;
  if (dataSet_) {
    dataSet_->AddDataSource(this);
    dataSet_->FreeNotification(this);
  }
  NotifyLinks(deUpdateState, 0);
  NotifyLinks(deDataSetChange, 0);
}

void TDataSource::SetEnabled(bool v) {
  enabled_ = v;
  NotifyLinks(deUpdateState, 0);
}

void TDataSource::Edit() {
  if (autoEdit_ && dataSet_ && dataSet_->State() == dsBrowse) dataSet_->Edit();
}

void TDataSource::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == dataSet_) {
    dataSet_ = nullptr;
    NotifyLinks(deUpdateState, 0);
  }
}

void TDataSource::AddLink(TDataLink* l) {
  if (std::find(links_.begin(), links_.end(), l) == links_.end()) links_.push_back(l);
}
void TDataSource::RemoveLink(TDataLink* l) { links_.erase(std::remove(links_.begin(), links_.end(), l), links_.end()); }

void TDataSource::NotifyLinks(TDataEvent event, intptr_t info) {
  if (!enabled_ && event != deUpdateState) return;
  for (TDataLink* l : std::vector<TDataLink*>(links_))
    if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->DataEvent(event, info);
  if (event == deUpdateState && State() != lastState_) {
    lastState_ = State();
    if (OnStateChange) OnStateChange(this);
  }
  if ((event == deFieldChange || event == deRecordChange || event == deDataSetChange || event == deDataSetScroll) &&
      OnDataChange)
    OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
  if (event == deUpdateRecord && OnUpdateData) OnUpdateData(this);
}

KARO_CLASS_PROPS(TDataSource, TComponent, Prop("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(1),
                 Prop("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet),
                 Prop("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(1),
                 Prop("OnDataChange", &TDataSource::OnDataChange, &TDataSource::OnDataChange),
                 Prop("OnStateChange", &TDataSource::OnStateChange, &TDataSource::OnStateChange),
                 Prop("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::OnUpdateData))

// --- TDataLink ---

TDataLink::~TDataLink() {
  if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* s) {
  if (s == source_) return;
  if (source_) source_->RemoveLink(this);
  source_ = s;
  if (source_) source_->AddLink(this);
  DataEvent(deUpdateState, 0);
  if (Active()) DataSetChanged();
}

bool TDataLink::Edit() {
  if (!readOnly_ && source_ && !Editing()) source_->Edit();
  return Editing();
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info) {
  switch (event) {
    case deUpdateState:
      if (Active() != active_) {
        active_ = Active();
        ActiveChanged();
      }
      if (Editing() != editing_) {
        editing_ = Editing();
        EditingChanged();
      }
      break;
    case deDataSetChange: DataSetChanged(); break;
    case deDataSetScroll: DataSetScrolled(int(info)); break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deFieldChange: RecordChanged(reinterpret_cast<TField*>(info)); break;
    case deUpdateRecord: UpdateData(); break;
  }
}

// --- TFieldDataLink ---

void TFieldDataLink::SetFieldName(const WideString& name) {
  fieldName_ = name;
  RecordChanged(nullptr);
}

TField* TFieldDataLink::Field() const {
  TDataSet* ds = DataSet();
  return ds && ds->Active() && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
}

bool TFieldDataLink::CanModify() const {
  TField* f = Field();
  return !ReadOnly() && f && f->CanModify();
}

void TFieldDataLink::Reset() {
  modified_ = false;
  if (OnDataChange) OnDataChange(nullptr);
}

void TFieldDataLink::ActiveChanged() {
  if (OnActiveChange) OnActiveChange(nullptr);
}

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != Field()) return;
  modified_ = false;
  if (OnDataChange) OnDataChange(nullptr);
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange(nullptr);
}

void TFieldDataLink::UpdateData() {
  if (modified_ && Field() && OnUpdateData) OnUpdateData(nullptr);
  modified_ = false;
}
