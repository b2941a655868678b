// The design-time interfaces of the development environment that a design package calls: the
// component palette (components registered on named pages), property editors registered for a
// property type, class and name, the designer that is told of changes, and the forgetting of
// everything a package registered when it is unloaded. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/core/persistent.h"
#include "classlib/core/typinfo.h"

// ---- Property editors

KARO_ENUM(TPropertyAttribute, paValueList, paSubProperties, paDialog, paMultiSelect, paAutoUpdate, paSortList,
          paReadOnly, paRevertable, paFullWidthName, paVolatileSubProperties, paVCL, paNotNestable);
using TPropertyAttributes = TSet<TPropertyAttribute>;

// The form designer, as a property editor sees it.
class IDesigner {
public:
  // The designed form changed: it must be saved again.
  virtual void Modified() = 0;

protected:
  ~IDesigner() = default;
};

// Edits one published property of the selected objects. The environment makes one for each
// showing or editing of the property and frees it afterwards.
class TPropertyEditor : public TObject {
  KARO_CLASS(TPropertyEditor)
public:
  TPropertyEditor(IDesigner* Designer, int PropCount);

  // The environment fills the objects whose property is edited (the first selected first).
  void SetPropEntry(int Index, TPersistent* Instance, const TPropInfo* PropInfo);

  // What the object inspector offers for the property; the value it shows; the dialog behind
  // its button (paDialog).
  virtual TPropertyAttributes GetAttributes();
  virtual std::string GetValue();
  virtual void Edit();

  TPersistent* GetComponent(int Index) const;
  int PropCount() const { return int(props_.size()); }
  const TPropInfo* GetPropInfo() const { return props_.empty() ? nullptr : props_[0].Prop; }
  std::string GetName() const;
  IDesigner* Designer() const { return designer_; }
  // Tells the designer that the edited objects changed.
  void Modified();

private:
  struct TInstProp {
    TPersistent* Instance = nullptr;
    const TPropInfo* Prop = nullptr;
  };
  IDesigner* designer_;
  std::vector<TInstProp> props_;
};

// Makes a property editor of one class (the platform's metaclass of a property editor).
using TPropertyEditorClass = TPropertyEditor* (*)(IDesigner* Designer, int PropCount);
template <class Editor> TPropertyEditor* NewPropertyEditor(IDesigner* Designer, int PropCount) {
  return new Editor(Designer, PropCount);
}

// ---- Registration, called from a package's Register

void RegisterComponents(const std::string& Page, std::initializer_list<TClass> ComponentClasses);
// The editor serves properties of PropertyType (matched by kind and type name) named
// PropertyName (without regard to case; empty: any name) of ComponentClass and its descendants
// (null: any class). A later registration wins over an earlier one that matches as well.
void RegisterPropertyEditor(const TTypeInfo* PropertyType, TClass ComponentClass, const std::string& PropertyName,
                            TPropertyEditorClass EditorClass);

// ---- What the environment reads

// The palette pages in the order they were first named, and the classes of one page in order.
std::vector<std::string> PalettePages();
std::vector<TClass> PaletteComponents(const std::string& Page);
// The editor class for a property of that object; null when none is registered for it.
TPropertyEditorClass FindPropertyEditor(TPersistent* Instance, const TPropInfo* PropInfo);
// An editor for the named published property of Instance, filled and ready; null when the
// property does not exist or no editor serves it. The caller frees it.
TPropertyEditor* CreatePropertyEditor(IDesigner* Designer, TPersistent* Instance, const std::string& PropName);

// ---- Packages

// Entries registered while the environment calls a package's Register belong to that module.
void BeginPackageRegistration(HMODULE Package);
void EndPackageRegistration();
// Before a package is unloaded: forgets its palette entries and editors and takes every class
// whose description lies in the module out of the class registry.
void UnregisterModule(HMODULE Package);
