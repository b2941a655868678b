// The form file that the design host wrote with Veltpkg (the test designhost_run), read by the
// skin library as a program links it, statically and without the package: the skin component and
// the store's items hold the very bytes of the skin files chosen in the designer, the component's
// skin is parsed while the form is read, and an item loads into it as Karo loads its skins.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "classlib/controls/forms.h"
#include "classlib/core/form_file.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_store.h"

namespace {

std::string FileBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SkinBytes(const char* name) { return FileBytes(std::string(KARO_NATIVE_SKINS_DIR) + "/" + name + ".skn"); }

// Compares skin images by size and first difference rather than printing them.
::testing::AssertionResult SameImage(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << "holds " << actual.size() << " bytes, expected " << expected.size()
                                       << "; they differ from byte " << at;
}

TEST(DesignedFormAtRunTime, HoldsTheSkinFilesBytesAndLoadsThem) {
  const std::string text = FileBytes(KARO_DESIGNHOST_FORM);
  ASSERT_FALSE(text.empty()) << KARO_DESIGNHOST_FORM << " is missing: the test designhost_run writes it";
  const std::string yellow = SkinBytes("Yellow"), azure = SkinBytes("Azure"), blue = SkinBytes("Blue");
  ASSERT_FALSE(yellow.empty() || azure.empty() || blue.empty()) << "the native build packs Karo's skins";

  TForm* form = new TForm(nullptr);
  ReadComponentText(text, form);
  auto* data = dyn<TSkinData>(form->FindComponent("SkinData1"));
  auto* store = dyn<TSkinStore>(form->FindComponent("SkinStore1"));
  ASSERT_TRUE(data);
  ASSERT_TRUE(store);

  EXPECT_TRUE(SameImage(data->SkinStream.AsString(), yellow));
  EXPECT_FALSE(data->NoSkinLoaded) << "the skin is parsed while the form is read";
  EXPECT_TRUE(data->Tabs);

  ASSERT_EQ(store->Store()->Count(), 2);
  const struct {
    const char* Name;
    const std::string& Bytes;
  } items[] = {{"Azure", azure}, {"Blue", blue}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(items[i].Name);
    TSkinCollectionItem* item = store->Store()->Items(i);
    EXPECT_EQ(item->Name(), items[i].Name);
    EXPECT_EQ(item->GetDataSize(), int64_t(items[i].Bytes.size()));
    EXPECT_TRUE(SameImage(item->Image().AsString(), items[i].Bytes));
  }

  // Karo's road of a skin change: an item of the store into the component.
  data->LoadFromCollection(store, 1);
  EXPECT_TRUE(SameImage(data->SkinStream.AsString(), blue));
  EXPECT_FALSE(data->NoSkinLoaded);
  form->Free();
}

}  // namespace
