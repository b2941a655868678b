#include "classlib/designide/design_intf.h"

#include <algorithm>
#include <utility>

#include "classlib/core/sysutils.h"

KARO_CLASS_INFO(TPropertyEditor, TObject)

namespace {

struct TPaletteEntry {
  std::string Page;
  TClass Class;
  HMODULE Module;
};

struct TEditorEntry {
  const TTypeInfo* Type;
  TClass Class;
  std::string Name;
  TPropertyEditorClass Editor;
  HMODULE Module;
};

// The environment's lists, filled by the packages it loads; never freed, as the environment
// may still ask them while its own shut-down runs.
struct TDesignLists {
  std::vector<TPaletteEntry> Palette;
  std::vector<TEditorEntry> Editors;
  HMODULE Registering = nullptr;
};

TDesignLists& Lists() {
  static auto* lists = new TDesignLists;
  return *lists;
}

bool SameType(const TTypeInfo* a, const TTypeInfo* b) {
  if (a == b) return true;
  return a && b && a->Kind == b->Kind && SameText(a->Name, b->Name);
}

// The address range of a loaded module's image.
bool InModule(HMODULE module, const void* p) {
  if (!module) return false;
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  auto* q = static_cast<const BYTE*>(p);
  return q >= base && q < base + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

// ---- TPropertyEditor

TPropertyEditor::TPropertyEditor(IDesigner* Designer, int PropCount)
    : designer_(Designer), props_(size_t(std::max(PropCount, 0))) {}

void TPropertyEditor::SetPropEntry(int Index, TPersistent* Instance, const TPropInfo* PropInfo) {
  if (Index < 0 || Index >= int(props_.size())) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  props_[size_t(Index)] = {Instance, PropInfo};
}

TPropertyAttributes TPropertyEditor::GetAttributes() { return {paMultiSelect, paRevertable}; }

std::string TPropertyEditor::GetValue() { return "(unknown)"; }

void TPropertyEditor::Edit() {}

TPersistent* TPropertyEditor::GetComponent(int Index) const {
  if (Index < 0 || Index >= int(props_.size())) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return props_[size_t(Index)].Instance;
}

std::string TPropertyEditor::GetName() const {
  const TPropInfo* p = GetPropInfo();
  return p ? p->Name : std::string();
}

void TPropertyEditor::Modified() {
  if (designer_) designer_->Modified();
}

// ---- Registration

void RegisterComponents(const std::string& Page, std::initializer_list<TClass> ComponentClasses) {
  TDesignLists& l = Lists();
  for (TClass c : ComponentClasses) {
    if (!c) continue;
    // A component class that forms can hold must also be found by name when a form is read.
    KaroRegisterClass(c);
    l.Palette.push_back({Page, c, l.Registering});
  }
}

void RegisterPropertyEditor(const TTypeInfo* PropertyType, TClass ComponentClass, const std::string& PropertyName,
                            TPropertyEditorClass EditorClass) {
  if (!PropertyType || !EditorClass) return;
  TDesignLists& l = Lists();
  l.Editors.push_back({PropertyType, ComponentClass, PropertyName, EditorClass, l.Registering});
}

std::vector<std::string> PalettePages() {
  std::vector<std::string> pages;
  for (const TPaletteEntry& e : Lists().Palette)
    if (std::find(pages.begin(), pages.end(), e.Page) == pages.end()) pages.push_back(e.Page);
  return pages;
}

std::vector<TClass> PaletteComponents(const std::string& Page) {
  std::vector<TClass> classes;
  for (const TPaletteEntry& e : Lists().Palette)
    if (e.Page == Page) classes.push_back(e.Class);
  return classes;
}

TPropertyEditorClass FindPropertyEditor(TPersistent* Instance, const TPropInfo* PropInfo) {
  if (!Instance || !PropInfo) return nullptr;
  const std::vector<TEditorEntry>& editors = Lists().Editors;
  for (auto it = editors.rbegin(); it != editors.rend(); ++it) {
    if (!SameType(it->Type, PropInfo->Type)) continue;
    if (it->Class && !Instance->InheritsFrom(it->Class)) continue;
    if (!it->Name.empty() && !SameText(it->Name, PropInfo->Name)) continue;
    return it->Editor;
  }
  return nullptr;
}

TPropertyEditor* CreatePropertyEditor(IDesigner* Designer, TPersistent* Instance, const std::string& PropName) {
  const TPropInfo* p = ::GetPropInfo(Instance, PropName);
  TPropertyEditorClass editorClass = FindPropertyEditor(Instance, p);
  if (!editorClass) return nullptr;
  TPropertyEditor* editor = editorClass(Designer, 1);
  editor->SetPropEntry(0, Instance, p);
  return editor;
}

// ---- Packages

void BeginPackageRegistration(HMODULE Package) { Lists().Registering = Package; }

void EndPackageRegistration() { Lists().Registering = nullptr; }

void UnregisterModule(HMODULE Package) {
  if (!Package) return;
  TDesignLists& l = Lists();
  std::erase_if(l.Palette, [&](const TPaletteEntry& e) { return e.Module == Package || InModule(Package, e.Class); });
  std::erase_if(l.Editors, [&](const TEditorEntry& e) {
    return e.Module == Package || InModule(Package, reinterpret_cast<const void*>(e.Editor));
  });
  for (TClass c : RegisteredClasses())
    if (InModule(Package, c)) UnRegisterClass(c);
}
