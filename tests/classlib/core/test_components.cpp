#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/core/collections.h"
#include "classlib/core/persistent.h"
#include "classlib/core/streams.h"
#include "classlib/core/typinfo.h"

namespace {

// Logs what it hears and forgets a watched component that goes away.
class TWatcher : public TComponent {
  KARO_CLASS(TWatcher)
public:
  using TComponent::TComponent;
  TComponent* watched = nullptr;
  std::vector<std::string> log;
  void Watch(TComponent* c) {
    watched = c;
    if (c) c->FreeNotification(this);
  }

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    log.push_back(std::string(op == opInsert ? "insert " : "remove ") + c->ClassName() + ":" + c->Name());
    if (op == opRemove && c == watched) watched = nullptr;
  }
};

// Tells when it is destroyed, and what its state was then.
class TProbe : public TComponent {
  KARO_CLASS(TProbe)
public:
  using TComponent::TComponent;
  ~TProbe() override {
    if (destroyed) *destroyed = true;
    if (stateAtDeath) *stateAtDeath = ComponentState();
  }
  bool* destroyed = nullptr;
  TComponentState* stateAtDeath = nullptr;
};

// Records, before its destructors, the class it still is then.
class TLateProbe : public TProbe {
  KARO_CLASS(TLateProbe)
public:
  using TProbe::TProbe;
  std::string* classBeforeDestruction = nullptr;
  void BeforeDestruction() override {
    if (classBeforeDestruction) *classBeforeDestruction = ClassName();
  }
};

class TItem : public TCollectionItem {
  KARO_CLASS(TItem)
public:
  using TCollectionItem::TCollectionItem;
  std::string text;
  void Assign(TPersistent* source) override {
    if (auto* s = dyn<TItem>(source)) {
      text = s->text;
      return;
    }
    TCollectionItem::Assign(source);
  }
};

class TCountingCollection : public TCollection {
  KARO_CLASS(TCountingCollection)
public:
  TCountingCollection() : TCollection(TItem::StaticClass()) {}
  std::vector<TCollectionItem*> updates;

protected:
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

class TNotAComponent : public TPersistent {
  KARO_CLASS(TNotAComponent)
};

}  // namespace

KARO_COMPONENT_INFO(TWatcher, TComponent)
KARO_COMPONENT_INFO(TProbe, TComponent)
KARO_COMPONENT_INFO(TLateProbe, TProbe)
KARO_COMPONENT_INFO(TItem, TCollectionItem)
KARO_CLASS_INFO(TCountingCollection, TCollection)
KARO_CLASS_INFO(TNotAComponent, TPersistent)

TEST(Objects, ClassNamesParentsAndInheritance) {
  TProbe p(nullptr);
  TMemoryStream m;
  EXPECT_EQ(p.ClassName(), "TProbe");
  EXPECT_EQ(p.ClassParent(), TComponent::StaticClass());
  EXPECT_EQ(TComponent::StaticClass()->Parent, TPersistent::StaticClass());
  EXPECT_TRUE(p.ClassNameIs("tprobe"));
  EXPECT_TRUE(p.InheritsFrom(TObject::StaticClass()));
  EXPECT_TRUE(p.Is<TComponent>());
  EXPECT_FALSE(p.Is<TWatcher>());
  EXPECT_EQ(dyn<TComponent>(static_cast<TObject*>(&p)), &p);
  EXPECT_EQ(dyn<TWatcher>(static_cast<TObject*>(&p)), nullptr);
  EXPECT_EQ(dyn<TComponent>(static_cast<TObject*>(nullptr)), nullptr);
  EXPECT_EQ(m.ClassName(), "TMemoryStream");
  EXPECT_EQ(m.ClassParent()->Name, std::string("TCustomMemoryStream"));
}

TEST(Objects, ClassRegistry) {
  // Creatable classes published with KARO_COMPONENT_INFO register themselves.
  EXPECT_EQ(GetClass("TWatcher"), TWatcher::StaticClass());
  EXPECT_EQ(FindClass("tprobe"), TProbe::StaticClass());
  EXPECT_EQ(GetClass("TItem"), nullptr);  // collection items are made by their collection
  EXPECT_EQ(GetClass("TNotAComponent"), nullptr);
  try {
    FindClass("TNoSuchClass");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNoSuchClass not found");
  }
  RegisterClass(TNotAComponent::StaticClass());
  RegisterClass(TNotAComponent::StaticClass());  // twice is harmless
  EXPECT_EQ(GetClass("TNotAComponent"), TNotAComponent::StaticClass());
  static const TClassInfo impostor{"TNotAComponent", TPersistent::StaticClass(), nullptr, nullptr, nullptr};
  EXPECT_THROW(RegisterClasses({&impostor}), EFilerError);
  UnRegisterClass(TNotAComponent::StaticClass());
  EXPECT_EQ(GetClass("TNotAComponent"), nullptr);
}

TEST(Components, OwnerFreesWhatItOwnsLastFirst) {
  bool aGone = false, bGone = false;
  auto* owner = new TComponent(nullptr);
  auto* a = new TProbe(owner);
  auto* b = new TProbe(owner);
  a->destroyed = &aGone;
  b->destroyed = &bGone;
  a->SetName("A");
  b->SetName("B");
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(owner->FindComponent("b"), b);
  EXPECT_EQ(owner->FindComponent(""), nullptr);
  EXPECT_THROW(owner->Components(2), EListError);
  delete a;  // a component deleted directly leaves its owner
  EXPECT_TRUE(aGone);
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;
  EXPECT_TRUE(bGone);
}

TEST(Components, MovingToAnotherOwnerLeavesTheFirst) {
  TComponent first(nullptr), second(nullptr);
  auto* c = new TProbe(&first);
  c->SetName("C");
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(c->Owner(), &second);
  // A name taken in the new owner refuses the move and leaves the component where it was.
  auto* other = new TProbe(&first);
  other->SetName("C");
  EXPECT_THROW(second.InsertComponent(other), EComponentError);
  EXPECT_EQ(other->Owner(), &first);
}

TEST(Components, NamesAreIdentifiersUniqueInTheirOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Button1");
  for (const char* bad : {"1Button", "A-B", "A B", "\xE6\x98\xA5", "a.b"}) {
    try {
      b->SetName(bad);
      FAIL() << bad;
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid component name");
    }
  }
  try {
    b->SetName("BUTTON1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named BUTTON1 already exists");
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("BUTTON1");  // a change of case only is no clash with itself
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("_b2");
  b->SetName("");  // unnamed components never clash
  // A component without an owner checks nothing but the form of the name.
  TComponent lone(nullptr);
  auto* child = new TComponent(&lone);
  child->SetName("Same");
  lone.SetName("Same");
  EXPECT_EQ(lone.Name(), "Same");
}

TEST(Components, FreeNotificationClearsPointersAcrossOwners) {
  TComponent formA(nullptr), formB(nullptr);
  auto* watcher = new TWatcher(&formA);
  auto* target = new TProbe(&formB);
  target->SetName("Images");
  watcher->Watch(target);
  delete target;
  EXPECT_EQ(watcher->watched, nullptr);
  ASSERT_FALSE(watcher->log.empty());
  // Deleted directly, the target has lost its derived parts by the time it is reported.
  EXPECT_EQ(watcher->log.back(), "remove TComponent:Images");

  // The watcher may go first: the target must then not call it when it dies (ASan checks).
  auto* target2 = new TProbe(&formB);
  auto* watcher2 = new TWatcher(&formA);
  watcher2->Watch(target2);
  delete watcher2;
  delete target2;
}

TEST(Components, OwnerDestructionReportsComponentsWhileWhole) {
  auto* formA = new TComponent(nullptr);
  TComponent formB(nullptr);
  auto* watcher = new TWatcher(&formB);
  auto* target = new TProbe(formA);
  target->SetName("Grid");
  watcher->Watch(target);
  TComponentState state = 0;
  target->stateAtDeath = &state;
  delete formA;
  EXPECT_EQ(watcher->watched, nullptr);
  EXPECT_EQ(watcher->log.back(), "remove TProbe:Grid");
  EXPECT_TRUE(state & csDestroying);
}

TEST(Components, FreeAndOwnersRunBeforeDestructionOnTheWholeObject) {
  std::string seen;
  auto* owner = new TComponent(nullptr);
  auto* owned = new TLateProbe(owner);
  owned->classBeforeDestruction = &seen;
  delete owner;
  EXPECT_EQ(seen, "TLateProbe");

  seen.clear();
  bool destroyed = false;
  auto* loose = new TLateProbe(nullptr);
  loose->classBeforeDestruction = &seen;
  loose->destroyed = &destroyed;
  loose->Free();
  EXPECT_EQ(seen, "TLateProbe");
  EXPECT_TRUE(destroyed);
}

TEST(Components, SiblingsHearOfInsertionAndRemoval) {
  TComponent owner(nullptr);
  auto* w = new TWatcher(&owner);
  auto* p = new TProbe(&owner);
  p->SetName("P");
  owner.RemoveComponent(p);
  EXPECT_EQ(w->log, (std::vector<std::string>{"insert TComponent:", "remove TProbe:P"}));
  delete p;
  EXPECT_EQ(w->log.size(), 2u);  // a component without owner tells its old siblings nothing
}

TEST(Components, DesigningSpreadsToOwnedComponents) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* aa = new TComponent(a);
  owner.SetDesigning(true);
  EXPECT_TRUE(aa->HasState(csDesigning));
  auto* late = new TComponent(&owner);
  EXPECT_TRUE(late->HasState(csDesigning));
  owner.SetDesigning(false);
  EXPECT_FALSE(aa->HasState(csDesigning));
}

TEST(Components, AssignErrorsNameBothClasses) {
  TComponent a(nullptr), b(nullptr);
  try {
    a.Assign(&b);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TComponent to a TComponent");
  }
  try {
    a.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a nil to a TComponent");
  }
}

TEST(Collections, ItemsAreNumberedOnceAndFreedWithTheCollection) {
  TCountingCollection c;
  auto* a = static_cast<TItem*>(c.Add());
  auto* b = static_cast<TItem*>(c.Add());
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(b->ID(), 1);
  c.Delete(0);
  auto* d = static_cast<TItem*>(c.Add());
  EXPECT_EQ(d->ID(), 2);  // never given twice
  EXPECT_EQ(c.FindItemID(1), b);
  EXPECT_EQ(c.FindItemID(0), nullptr);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(b->GetOwner(), &c);
  EXPECT_EQ(b->DisplayName(), "TItem");
  auto* e = static_cast<TItem*>(c.Insert(0));
  EXPECT_EQ(e->Index(), 0);
  EXPECT_EQ(c.Items(1), b);
  EXPECT_THROW(c.Items(3), EListError);
  EXPECT_THROW(c.Delete(-1), EListError);
  delete b;  // an item deleted directly leaves its collection
  EXPECT_EQ(c.Count(), 2);
}

TEST(Collections, AssignCopiesItemsAndSelfAssignmentKeepsThem) {
  TCountingCollection src, dst;
  static_cast<TItem*>(src.Add())->text = "one";
  static_cast<TItem*>(src.Add())->text = "two";
  dst.Add();
  dst.updates.clear();
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 2);
  EXPECT_EQ(static_cast<TItem*>(dst.Items(1))->text, "two");
  EXPECT_EQ(dst.updates, std::vector<TCollectionItem*>{nullptr});  // one report at EndUpdate
  src.Assign(&src);
  ASSERT_EQ(src.Count(), 2);
  EXPECT_EQ(static_cast<TItem*>(src.Items(0))->text, "one");
  TComponent notACollection(nullptr);
  EXPECT_THROW(dst.Assign(&notACollection), EConvertError);
}

TEST(Collections, ItemsMoveBetweenCollections) {
  TCountingCollection a, b;
  TCollectionItem* x = a.Add();
  b.Add();
  x->SetCollection(&b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 2);
  EXPECT_EQ(x->ID(), 1);  // numbered anew by b
  TOwnedCollection owned(&a, TItem::StaticClass());
  EXPECT_EQ(owned.GetOwner(), &a);
  TCollection noItems(TNotAComponent::StaticClass());
  EXPECT_THROW(noItems.Add(), EInvalidOperation);
}
