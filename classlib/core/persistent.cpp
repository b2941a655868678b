#include "classlib/core/persistent.h"

#include <algorithm>

#include "classlib/core/form_file.h"
#include "classlib/core/typinfo.h"

KARO_CLASS_INFO(TPersistent, TObject)
// The name stands in the object line of a form file, not among the properties.
KARO_CLASS_PROPS(TComponent, TPersistent,
                 Prop("Name", &TComponent::Name, &TComponent::SetName).NotStored(),
                 Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0))

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
  RemoveFreeNotifications();
  RemoveFixupReferences(this);
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::RemoveFreeNotifications() {
  // Tell every watcher while this object can still be compared with the pointers they hold.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    c->RemoveFreeNote(this);
    c->Notification(this, opRemove);
  }
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
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

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c || c->owner_ == this) return;
  ValidateRename(c, "", c->name_);
  // A component has one owner: the old one lets it go, or it would free it a second time.
  if (c->owner_) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
  if (state_ & csDesigning) c->SetDesigning(true);
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
    // Watchers hear of c before its destructors run, while it is still its own class.
    c->BeforeDestruction();
    c->Destroying();
    c->RemoveFreeNotifications();
    delete c;
  }
}

bool IsValidIdent(std::string_view s) {
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
  // Only an owner checks: a component without one may take any valid name.
  if (!c || newName.empty() || SameText(oldName, newName)) return;
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

void TComponent::SetWritingState(bool on) {
  if (on)
    state_ |= csWriting;
  else
    state_ &= ~TComponentState(csWriting);
}

void TComponent::Loaded() { state_ &= ~TComponentState(csLoading); }

void TComponent::GetChildren(const TGetChildProc& proc, TComponent* root) {
  if (root != this) return;
  // A copy: a handler may add components while the children are written.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (!c->HasParent()) proc(c);
}

std::string TComponent::MethodName(const std::string& propName) const {
  for (auto& [prop, handler] : methodNames_)
    if (SameText(prop, propName)) return handler;
  return {};
}

void TComponent::SetMethodName(const std::string& propName, const std::string& handler) {
  for (auto it = methodNames_.begin(); it != methodNames_.end(); ++it)
    if (SameText(it->first, propName)) {
      if (handler.empty())
        methodNames_.erase(it);
      else
        it->second = handler;
      return;
    }
  if (!handler.empty()) methodNames_.emplace_back(propName, handler);
}

void TComponent::InsertFreeNote(TComponent* c) {
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
}

void TComponent::RemoveFreeNote(TComponent* c) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), c);
  if (it != freeNotifies_.end()) freeNotifies_.erase(it);
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  // The notes are kept both ways so that whichever goes first tells the other.
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
