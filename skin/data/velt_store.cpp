#include "skin/data/velt_store.h"

#include "classlib/core/filer.h"
#include "classlib/core/typinfo.h"

KARO_CLASS_PROPS(TSkinCollectionItem, TCollectionItem,
                 Prop("Name", &TSkinCollectionItem::Name, &TSkinCollectionItem::SetName),
                 Prop("SkinData", &TSkinCollectionItem::GetData, &TSkinCollectionItem::SetData).NotStored(),
                 Prop("DataSize", &TSkinCollectionItem::GetDataSize))
KARO_CLASS_INFO(TSkinCollection, TOwnedCollection)
KARO_CLASS_PROPS(TSkinStore, TComponent, Prop("Store", &TSkinStore::Store, &TSkinStore::SetStore))

TSkinCollectionItem::TSkinCollectionItem(TCollection* Collection) : TCollectionItem(Collection) {
  name_ = "SkinItem" + std::to_string(ID());
}

TSkinCollectionItem::~TSkinCollectionItem() = default;

void TSkinCollectionItem::SetName(const std::string& Value) {
  if (Value == name_) return;
  if (TCollection* c = Collection())
    for (int i = 0; i < c->Count(); ++i) {
      auto* other = static_cast<TSkinCollectionItem*>(c->Items(i));
      if (other != this && other->name_ == Value) throw Exception("The name " + Value + " is already used.");
    }
  name_ = Value;
}

std::string TSkinCollectionItem::GetDisplayName() const { return name_; }

void TSkinCollectionItem::Assign(TPersistent* Source) {
  if (Source == this) return;  // emptying the image first would lose it
  if (!Source) AssignError(nullptr);
  auto* src = dyn<TSkinCollectionItem>(Source);
  if (!src) throw EInvalidCast(SInvalidCast);
  name_ = src->name_;
  image_.Clear();
  src->CopyData(image_);
}

void TSkinCollectionItem::CopyData(TStream& Dest) {
  int64_t pos = image_.Position();
  try {
    Dest.CopyFrom(image_, 0);
  } catch (...) {
    image_.SetPosition(pos);
    throw;
  }
  image_.SetPosition(pos);
}

template <class FileNameT> void TSkinCollectionItem::LoadImage(const FileNameT& FileName) {
  image_.Clear();
  try {
    image_.LoadFromFile(FileName);
  } catch (...) {
    image_.Clear();
    throw;
  }
}

void TSkinCollectionItem::LoadFromFile(const std::string& FileName) { LoadImage(FileName); }
#ifdef _WIN32
void TSkinCollectionItem::LoadFromFile(const WideString& FileName) { LoadImage(FileName); }
#endif

void TSkinCollectionItem::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "DataStream",
      [this](TStream& s) {
        image_.Clear();
        image_.CopyFrom(s, 0);
      },
      [this](TStream& s) { CopyData(s); }, true);
}

TSkinCollection::TSkinCollection(TPersistent* Owner)
    : TOwnedCollection(Owner, TSkinCollectionItem::StaticClass()) {}

TSkinStore::TSkinStore(TComponent* AOwner) : TComponent(AOwner), store_(new TSkinCollection(this)) {}

TSkinStore::~TSkinStore() = default;

void TSkinStore::SetStore(TSkinCollection* Value) {
  if (Value) store_->Assign(Value);
}
