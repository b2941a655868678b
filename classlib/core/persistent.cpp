#include "classlib/core/persistent.h"

#include <algorithm>
#include <cctype>

KARO_CLASS_INFO(TPersistent, TObject)
KARO_CLASS_INFO(TComponent, TPersistent)

void TPersistent::Assign(TPersistent* source) {
  if (source)
    source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  std::string from = source ? source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell every watcher first, while this object is still whole enough to be compared.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    c->RemoveFreeNote(this);
    c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= int(components_.size()))
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& v = owner_->components_;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : int(it - v.begin());
}

static bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameTextAscii(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c->name_.empty()) ValidateRename(c, "", c->name_);
  components_.push_back(c);
  c->owner_ = this;
  c->state_ |= state_ & csDesigning;
  Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  Notification(c, opRemove);
  it = std::find(components_.begin(), components_.end(), c);
  if (it != components_.end()) components_.erase(it);
  c->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
}

static bool IsValidIdent(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_'; };
  if (!alpha(s[0])) return false;
  for (char ch : s)
    if (!alpha(ch) && !(ch >= '0' && ch <= '9')) return false;
  return true;
}

void TComponent::SetName(const std::string& newName) {
  if (name_ == newName) return;
  if (!newName.empty() && !IsValidIdent(newName))
    throw EComponentError("'" + newName + "' is not a valid component name");
  if (owner_)
    owner_->ValidateRename(this, name_, newName);
  else
    ValidateRename(nullptr, name_, newName);
  name_ = newName;
}

void TComponent::ValidateRename(TComponent* c, const std::string& oldName, const std::string& newName) {
  if (newName.empty() || SameTextAscii(oldName, newName)) return;
  TComponent* found = FindComponent(newName);
  if (found && found != c) throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::SetDesigning(bool on) {
  if (on)
    state_ |= csDesigning;
  else
    state_ &= ~TComponentState(csDesigning);
  for (TComponent* c : components_) c->SetDesigning(on);
}

void TComponent::SetLoadingState(bool on) {
  if (on)
    state_ |= csLoading;
  else
    state_ &= ~TComponentState(csLoading);
}

void TComponent::SetReadingState(bool on) {
  if (on)
    state_ |= csReading;
  else
    state_ &= ~TComponentState(csReading);
}

void TComponent::Loaded() { state_ &= ~TComponentState(csLoading); }

void TComponent::InsertFreeNote(TComponent* c) {
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
}

void TComponent::RemoveFreeNote(TComponent* c) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), c);
  if (it != freeNotifies_.end()) freeNotifies_.erase(it);
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  // A component owned by the same owner hears of the other's removal anyway; the notes are
  // kept both ways so that whichever goes first tells the other.
  InsertFreeNote(c);
  c->InsertFreeNote(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (!c) return;
  RemoveFreeNote(c);
  c->RemoveFreeNote(this);
}

// The owner passes every notification on to everything it owns, so a component hears of the
// insertion and removal of its siblings.
void TComponent::Notification(TComponent* c, TOperation op) {
  if (op == opRemove && c) RemoveFreeNotification(c);
  for (size_t i = components_.size(); i-- > 0;)
    if (i < components_.size()) components_[i]->Notification(c, op);
}
