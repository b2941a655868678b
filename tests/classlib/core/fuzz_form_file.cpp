// Form files from anywhere: reading must end in a result or a clean error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "classlib/core/filer.h"
#include "classlib/core/form_file.h"
#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"

namespace {
class TFuzzItem : public TCollectionItem {
  KARO_CLASS(TFuzzItem)
public:
  using TCollectionItem::TCollectionItem;
  std::string Text;
};

class TFuzzForm : public TComponent {
  KARO_CLASS(TFuzzForm)
public:
  explicit TFuzzForm(TComponent* owner) : TComponent(owner), items_(this, TFuzzItem::StaticClass()) {}
  int32_t Number = 0;
  bool Flag = false;
  std::string Text;
  TComponent* Link = nullptr;
  TStringList* Lines() const { return lines_.get(); }
  TOwnedCollection* Items() { return &items_; }
  TNotifyEvent OnEvent;
  void Handler(TObject*) {}
  std::string blob;
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(
        "Blob", [this](TStream& s) { blob = static_cast<TMemoryStream&>(s).AsString(); },
        [this](TStream& s) { s.WriteBuffer(blob.data(), int32_t(blob.size())); }, !blob.empty());
  }

private:
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  TOwnedCollection items_;
};
}  // namespace

KARO_CLASS_PROPS(TFuzzItem, TCollectionItem, Prop("Text", &TFuzzItem::Text, &TFuzzItem::Text))
KARO_CLASS_PROPS(TFuzzForm, TComponent, Prop("Number", &TFuzzForm::Number, &TFuzzForm::Number),
                 Prop("Flag", &TFuzzForm::Flag, &TFuzzForm::Flag), Prop("Text", &TFuzzForm::Text, &TFuzzForm::Text),
                 Prop("Link", &TFuzzForm::Link, &TFuzzForm::Link), Prop("Lines", &TFuzzForm::Lines),
                 Prop("Items", &TFuzzForm::Items), Prop("OnEvent", &TFuzzForm::OnEvent, &TFuzzForm::OnEvent),
                 Method("Handler", &TFuzzForm::Handler))

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  TFuzzForm root(nullptr);
  try {
    ReadComponentText(text, &root);
  } catch (const Exception&) {
    return 0;
  }
  // What was read must write, and read back to the same text.
  std::string written = WriteComponentText(&root);
  TFuzzForm again(nullptr);
  try {
    ReadComponentText(written, &again);
  } catch (const Exception&) {
    __builtin_trap();
  }
  if (WriteComponentText(&again) != written) __builtin_trap();
  return 0;
}
