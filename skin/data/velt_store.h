// The skin store (unit VeltStore): TSkinStore, a component that keeps several named skin file
// images in its form; TSkinCollection, its collection; TSkinCollectionItem, one named image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/core/collections.h"
#include "classlib/core/persistent.h"
#include "classlib/core/streams.h"

class TSkinCollectionItem : public TCollectionItem {
  KARO_CLASS(TSkinCollectionItem)
public:
  // Numbered by the collection; named "SkinItem" and that number, unchecked.
  explicit TSkinCollectionItem(TCollection* Collection);
  ~TSkinCollectionItem() override;

  const std::string& Name() const { return name_; }
  // Raises Exception "The name X is already used." when another item of the collection has
  // the name (compared with case); the name then stays as it was.
  void SetName(const std::string& Value);
  // Published only to carry the design-time editor: reads "Load Skin", ignores writes.
  std::string GetData() const { return "Load Skin"; }
  void SetData(const std::string& Value) { (void)Value; }
  int32_t GetDataSize() const { return int32_t(image_.Size()); }

  // The skin file image, as stored.
  TMemoryStream& Image() { return image_; }
  const TMemoryStream& Image() const { return image_; }

  std::string GetDisplayName() const override;
  // Copies name and image from another item (the name unchecked). Raises EInvalidCast for an
  // object of another class and EConvertError for null, leaving this item unchanged.
  void Assign(TPersistent* Source) override;
  // Writes the whole image, from its start, into Dest at Dest's position; the image's own
  // position is kept.
  void CopyData(TStream& Dest);
  // The image becomes the file's bytes, whatever they are; it is empty after a failed load.
  void LoadFromFile(const std::string& FileName);
#ifdef _WIN32
  void LoadFromFile(const WideString& FileName);
#endif

  // The image stands in form files as the binary property "DataStream".
  void DefineProperties(TFiler& Filer) override;

private:
  template <class FileNameT> void LoadImage(const FileNameT& FileName);

  std::string name_;
  TMemoryStream image_;
};

class TSkinCollection : public TOwnedCollection {
  KARO_CLASS(TSkinCollection)
public:
  explicit TSkinCollection(TPersistent* Owner);
  TSkinCollectionItem* Add() { return static_cast<TSkinCollectionItem*>(TOwnedCollection::Add()); }
  TSkinCollectionItem* Items(int Index) const { return static_cast<TSkinCollectionItem*>(TOwnedCollection::Items(Index)); }
};

class TSkinStore : public TComponent {
  KARO_CLASS(TSkinStore)
public:
  explicit TSkinStore(TComponent* AOwner);
  ~TSkinStore() override;

  TSkinCollection* Store() const { return store_.get(); }
  // Takes over Value's items (the collection object itself stays); null changes nothing.
  void SetStore(TSkinCollection* Value);

private:
  std::unique_ptr<TSkinCollection> store_;
};
