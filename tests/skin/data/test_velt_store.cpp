#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "classlib/core/form_file.h"
#include "classlib/core/typinfo.h"
#include "skin/data/velt_store.h"

namespace {

// Bytes that a text format could damage: every byte value, in a pseudo-random order.
std::string Image(uint32_t seed, size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = char(i < 256 ? i : (seed >> 16));
  }
  return s;
}

}  // namespace

TEST(SkinStore, NewItemsAreNumberedAndNamed) {
  TSkinStore store(nullptr);
  for (int i = 0; i < 3; ++i) store.Store()->Add();
  EXPECT_EQ(store.Store()->Items(0)->Name(), "SkinItem0");
  EXPECT_EQ(store.Store()->Items(2)->Name(), "SkinItem2");
  EXPECT_EQ(store.Store()->Items(2)->GetDisplayName(), "SkinItem2");
  EXPECT_EQ(store.Store()->Items(1)->GetDataSize(), 0);
  store.Store()->Delete(1);
  EXPECT_EQ(store.Store()->Add()->Name(), "SkinItem3");  // the count goes on
  EXPECT_EQ(store.Store()->GetOwner(), &store);
  EXPECT_EQ(store.Store()->ClassName(), "TSkinCollection");
}

TEST(SkinStore, NamesAreUniqueComparedWithCase) {
  TSkinStore store(nullptr);
  TSkinCollectionItem* a = store.Store()->Add();
  TSkinCollectionItem* b = store.Store()->Add();
  a->SetName("SkinItem0");  // its own name: nothing happens
  try {
    a->SetName("SkinItem1");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_STREQ(e.what(), "The name SkinItem1 is already used.");
  }
  EXPECT_EQ(a->Name(), "SkinItem0");
  b->SetName("skinitem0");  // another case is another name
  EXPECT_EQ(b->Name(), "skinitem0");
  // A default name is given without the test.
  b->SetName("Yellow");
  a->SetName("SkinItem2");
  TSkinCollectionItem* c = store.Store()->Add();
  EXPECT_EQ(c->Name(), "SkinItem2");
  EXPECT_EQ(a->Name(), "SkinItem2");
  // An item outside any collection checks nothing.
  TSkinCollectionItem lone(nullptr);
  lone.SetName("Yellow");
  EXPECT_EQ(lone.Name(), "Yellow");
}

TEST(SkinStore, AssignCopiesNameAndImageAndRefusesOtherClasses) {
  TSkinStore store(nullptr);
  TSkinCollectionItem* a = store.Store()->Add();
  TSkinCollectionItem* b = store.Store()->Add();
  a->Image().Assign("skin bytes");
  a->Image().SetPosition(4);
  b->Assign(a);
  EXPECT_EQ(b->Name(), "SkinItem0");  // a duplicate name, unchecked
  EXPECT_EQ(b->Image().AsString(), "skin bytes");
  EXPECT_EQ(a->Image().Position(), 4);
  a->Assign(a);  // itself: nothing is lost
  EXPECT_EQ(a->Image().AsString(), "skin bytes");
  try {
    b->Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a nil to a TSkinCollectionItem");
  }
  TSkinStore otherClass(nullptr);
  try {
    b->Assign(&otherClass);
    FAIL();
  } catch (const EInvalidCast& e) {
    EXPECT_STREQ(e.what(), "Invalid class typecast");
  }
  EXPECT_EQ(b->Image().AsString(), "skin bytes");
}

TEST(SkinStore, CopyDataWritesAtTheDestinationAndKeepsThePosition) {
  TSkinCollectionItem item(nullptr);
  item.Image().Assign("ABC");
  item.Image().SetPosition(2);
  TMemoryStream dest;
  dest.Assign("xy");
  dest.SetPosition(1);
  item.CopyData(dest);
  EXPECT_EQ(dest.AsString(), "xABC");
  EXPECT_EQ(item.Image().Position(), 2);
}

TEST(SkinStore, LoadFromFileTakesAnyBytesAndIsEmptyAfterAFailure) {
  const std::string name = "store_skin.skn";
  {
    TMemoryStream f;
    f.Assign(Image(1, 1000));
    f.SaveToFile(name);
  }
  TSkinCollectionItem item(nullptr);
  item.LoadFromFile(name);
  EXPECT_EQ(item.GetDataSize(), 1000);
  EXPECT_EQ(item.Image().AsString(), Image(1, 1000));
  std::remove(name.c_str());
  EXPECT_THROW(item.LoadFromFile(name), EFOpenError);
  EXPECT_EQ(item.GetDataSize(), 0);
}

TEST(SkinStore, PublishedProperties) {
  TSkinStore store(nullptr);
  TSkinCollectionItem* item = store.Store()->Add();
  item->Image().Assign("12345");
  EXPECT_EQ(GetStrProp(item, "SkinData"), "Load Skin");
  EXPECT_TRUE(SetStrProp(item, "SkinData", "x"));
  EXPECT_EQ(GetStrProp(item, "SkinData"), "Load Skin");
  EXPECT_EQ(GetOrdProp(item, "DataSize"), 5);
  EXPECT_FALSE(SetOrdProp(item, "DataSize", 1));  // read-only
  EXPECT_TRUE(SetStrProp(item, "Name", "Azure"));
  EXPECT_EQ(item->Name(), "Azure");
  EXPECT_EQ(GetObjectProp(&store, "Store"), store.Store());
}

TEST(SkinStore, SetStoreTakesOverTheItems) {
  TSkinStore a(nullptr), b(nullptr);
  a.Store()->Add()->Image().Assign("one");
  a.Store()->Add()->SetName("Gray");
  b.Store()->Add();
  TSkinCollection* own = b.Store();
  b.SetStore(a.Store());
  EXPECT_EQ(b.Store(), own);  // the collection object stays
  ASSERT_EQ(b.Store()->Count(), 2);
  EXPECT_EQ(b.Store()->Items(1)->Name(), "Gray");
  EXPECT_EQ(b.Store()->Items(0)->Image().AsString(), "one");
  b.SetStore(b.Store());  // itself: nothing is lost
  EXPECT_EQ(b.Store()->Count(), 2);
  EXPECT_EQ(b.Store()->Items(0)->Image().AsString(), "one");
  b.SetStore(nullptr);
  EXPECT_EQ(b.Store()->Count(), 2);
}

TEST(SkinStoreFormFile, ItemsReadBackByteForByte) {
  TComponent form(nullptr);
  form.SetName("K");
  auto* store = new TSkinStore(&form);
  store->SetName("SkinStore");
  TSkinCollectionItem* yellow = store->Store()->Add();
  yellow->SetName("Yellow");
  yellow->Image().Assign(Image(7, 30580));
  TSkinCollectionItem* azure = store->Store()->Add();
  azure->SetName("Azure");
  azure->Image().Assign(Image(9, 513));
  TSkinCollectionItem* empty = store->Store()->Add();
  empty->SetName("Empty");

  std::string text = WriteComponentText(&form);
  // An item stands as its Name, then DataStream; the editor's property and the size are not stored.
  EXPECT_NE(text.find("item\r\n        Name = 'Yellow'\r\n        DataStream = {\r\n"), std::string::npos) << text.substr(0, 300);
  EXPECT_NE(text.find("Name = 'Empty'\r\n        DataStream = {}\r\n"), std::string::npos);
  EXPECT_EQ(text.find("SkinData"), std::string::npos);
  EXPECT_EQ(text.find("DataSize"), std::string::npos);

  TComponent again(nullptr);
  ReadComponentText(text, &again);
  auto* back = dyn<TSkinStore>(again.FindComponent("SkinStore"));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Store()->Count(), 3);
  EXPECT_EQ(back->Store()->Items(0)->Name(), "Yellow");
  EXPECT_EQ(back->Store()->Items(0)->Image().AsString(), Image(7, 30580));
  EXPECT_EQ(back->Store()->Items(1)->Name(), "Azure");
  EXPECT_EQ(back->Store()->Items(1)->Image().AsString(), Image(9, 513));
  EXPECT_EQ(back->Store()->Items(2)->GetDataSize(), 0);
  EXPECT_EQ(WriteComponentText(&again), text);
}

TEST(SkinStoreFormFile, TwoItemsOfOneNameAreRefused) {
  const char* text =
      "object K: TComponent\n"
      "  object SkinStore: TSkinStore\n"
      "    Store = <\n"
      "      item\n"
      "        Name = 'Blue'\n"
      "        DataStream = {00}\n"
      "      end\n"
      "      item\n"
      "        Name = 'Blue'\n"
      "      end>\n"
      "  end\n"
      "end\n";
  TComponent form(nullptr);
  try {
    ReadComponentText(text, &form);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_STREQ(e.what(), "The name Blue is already used.");
  }
  EXPECT_EQ(form.ComponentCount(), 0);
}
