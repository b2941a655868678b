#include "classlib/core/collections.h"

#include <algorithm>

KARO_CLASS_INFO(TCollectionItem, TPersistent)
KARO_CLASS_INFO(TCollection, TPersistent)
KARO_CLASS_INFO(TOwnedCollection, TCollection)

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection_ == collection) return;
  if (collection_) collection_->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& v = collection_->items_;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : int(it - v.begin());
}

void TCollectionItem::SetIndex(int index) {
  int cur = Index();
  if (cur < 0 || index == cur) return;
  auto& v = collection_->items_;
  if (index < 0) index = 0;
  if (index >= int(v.size())) index = int(v.size()) - 1;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + index, this);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
  // No change is reported while the collection goes away.
  updateCount_ = 1;
  while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_ || !itemClass_->CreateItem)
    throw EInvalidOperation(std::string("Cannot create items of class ") + (itemClass_ ? itemClass_->Name : "nil"));
  TCollectionItem* item = itemClass_->CreateItem(this);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) delete items_.back();
  EndUpdate();
}

void TCollection::IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= int(items_.size())) IndexError(index);
  return items_[size_t(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* i : items_)
    if (i->id_ == id) return i;
  return nullptr;
}

void TCollection::Assign(TPersistent* source) {
  // Emptying first would destroy the very items to be copied.
  if (source == this) return;
  if (auto* src = dyn<TCollection>(source)) {
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : src->items_) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
  item->collection_ = nullptr;
  Changed();
}
