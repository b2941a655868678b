// Unit VeltReg: the registration routine that a development environment calls when it loads the
// skin library as a design package, and TVeltStore, the property editor that fills the skin of a
// TSkinData or of a skin store item from a ".skn" file. Windows only.
#pragma once

#include "classlib/designide/design_intf.h"

// Puts TSkinData and TSkinStore on the palette page "Corvane" and TVeltStore on their skin
// properties ("SkinStore" of TSkinData, "SkinData" of TSkinCollectionItem). Starts the library
// first when the module holding it has not yet done so.
extern "C" void Register();

class TVeltStore : public TPropertyEditor {
  KARO_CLASS(TVeltStore)
public:
  using TPropertyEditor::TPropertyEditor;

  // Asks for a skin file and loads its bytes into the edited object. The file is read whole
  // before anything is replaced: a file that cannot be read raises its stream error and leaves
  // the object (and the designer) as they were. A cancelled dialog changes nothing but still
  // tells the designer of a change.
  void Edit() override;
  // Only paDialog: the property shows a button that calls Edit.
  TPropertyAttributes GetAttributes() override;
  // "(SkinData)" when the edited object holds a skin image of at least one byte, else "(Empty)".
  std::string GetValue() override;
};
