// Collections: TCollection holds items of one class (TCollectionItem descendants) that it
// creates and frees; items are numbered with IDs that are never given twice. TOwnedCollection
// knows the persistent object it belongs to.
#pragma once

#include <string>
#include <vector>

#include "classlib/core/persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
  KARO_CLASS(TCollectionItem)
public:
  // Enters the item in collection (when given), which gives it the next ID.
  explicit TCollectionItem(TCollection* collection);
  // Leaves the collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (or out of any, for null); it gets a new ID there.
  void SetCollection(TCollection* collection);
  int ID() const { return id_; }
  // The item's position in its collection (-1 without one).
  int Index() const;
  void SetIndex(int index);
  // The caption of the item in a collection editor; the class name unless a class says otherwise.
  std::string DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const std::string& value);
  virtual std::string GetDisplayName() const;

  TPersistent* GetOwner() override;

protected:
  // Tells the collection that this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  KARO_CLASS(TCollection)
public:
  // itemClass must be a TCollectionItem descendant declared with KARO_CLASS_PROPS or
  // KARO_COMPONENT_INFO, so that the collection can make its items.
  explicit TCollection(TClass itemClass);
  ~TCollection() override;

  // Raises EInvalidOperation when the item class cannot be created.
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  // Raises EListError ("List index out of bounds (n)") for a bad index.
  void Delete(int index);
  void Clear();
  int Count() const { return int(items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* FindItemID(int id) const;
  TClass ItemClass() const { return itemClass_; }
  int NextID() const { return nextId_; }

  // Empties this collection and adds, for every item of a source collection, an item assigned
  // from it. A collection assigned to itself keeps its items.
  void Assign(TPersistent* source) override;

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

protected:
  // Called after a change: item is the changed item, or null when any or all changed.
  virtual void Update(TCollectionItem* item) { (void)item; }
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  [[noreturn]] static void IndexError(int index);

  TClass itemClass_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

class TOwnedCollection : public TCollection {
  KARO_CLASS(TOwnedCollection)
public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}
  TPersistent* GetOwner() override { return owner_; }
  TPersistent* Owner() const { return owner_; }

private:
  TPersistent* owner_;
};
