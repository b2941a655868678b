#include "skin/design/velt_reg.h"

#include <memory>

#include "classlib/controls/dialogs.h"
#include "classlib/controls/forms.h"
#include "skin/design/velt_package.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_store.h"

KARO_CLASS_INFO(TVeltStore, TPropertyEditor)

extern "C" void Register() {
  StartVeltPackage();
  RegisterComponents("Corvane", {TSkinData::StaticClass(), TSkinStore::StaticClass()});
  RegisterPropertyEditor(AnsiStringTypeInfo(), TSkinData::StaticClass(), "SkinStore", NewPropertyEditor<TVeltStore>);
  RegisterPropertyEditor(AnsiStringTypeInfo(), TSkinCollectionItem::StaticClass(), "SkinData",
                         NewPropertyEditor<TVeltStore>);
}

TPropertyAttributes TVeltStore::GetAttributes() { return {paDialog}; }

std::string TVeltStore::GetValue() {
  TPersistent* obj = GetComponent(0);
  bool holdsSkin = false;
  if (auto* item = dyn<TSkinCollectionItem>(obj))
    holdsSkin = item->GetDataSize() > 0;
  else if (auto* data = dyn<TSkinData>(obj))
    holdsSkin = data->SkinStream.Size() > 0;
  return holdsSkin ? "(SkinData)" : "(Empty)";
}

void TVeltStore::Edit() {
  std::unique_ptr<TOpenDialog> dialog(new TOpenDialog(Application));
  dialog->SetFilter(L"Skin files (*.skn)|*.skn");
  if (dialog->Execute()) {
    // Read first: a failed read must not cost the skin the object holds.
    TMemoryStream bytes;
    bytes.LoadFromFile(dialog->FileName());
    TPersistent* obj = GetComponent(0);
    if (auto* item = dyn<TSkinCollectionItem>(obj)) {
      item->Image().Clear();
      item->Image().CopyFrom(bytes, 0);
    } else if (auto* data = dyn<TSkinData>(obj)) {
      data->SkinStream.Clear();
      data->SkinStream.CopyFrom(bytes, 0);
      data->LoadFromFile("");
    }
  }
  dialog.reset();
  Modified();
}
