// The design host: loads a design package as a development environment does (LoadLibrary, then
// its Register), reads the palette that the package filled, holds a form being designed with a
// designer that counts changes, edits properties through the registered editors, and unloads
// the package again (its Finalize, then the environment forgets its classes, then FreeLibrary).
// Windows only; links the class library's shared package, as the packages it loads do.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "classlib/designide/design_intf.h"

// A package held by the host.
struct TDesignPackage {
  HMODULE Module = nullptr;
  // Its image's address range, kept so that checks after the unload can still ask it.
  const BYTE* Base = nullptr;
  size_t Size = 0;
  bool Registered = false;

  bool Contains(const void* p) const {
    auto* q = static_cast<const BYTE*>(p);
    return Base && q >= Base && q < Base + Size;
  }
};

// LoadLibrary only; raises Exception with the system's reason when the module does not load.
TDesignPackage LoadDesignPackage(const WideString& FileName);
// Finds the package's exported Register and calls it, its entries marked as the package's.
// Raises Exception when the package exports no Register.
void RegisterDesignPackage(TDesignPackage& Package);
// The package's Finalize, when it exports one: the library ends (its windows given back, its
// hooks removed) while its code is still there. UnloadDesignPackage runs it first.
void FinalizeDesignPackage(TDesignPackage& Package);
// The package's Finalize (when it exports one), then the environment forgets whatever the
// package registered, then FreeLibrary. Module is 0 afterwards.
void UnloadDesignPackage(TDesignPackage& Package);

// One component of a palette page: its class and its palette picture (the bitmap resource of
// the class's upper-case name in the package).
struct TPaletteItem {
  std::string ClassName;
  TClass Class = nullptr;
  int Width = 0, Height = 0;
  int BitsPerPixel = 0;  // of the picture as stored: 4 for 16 colours, 8 for 256
  bool HasBitmap = false;
};
std::vector<TPaletteItem> ReadPalettePage(const TDesignPackage& Package, const std::string& Page);

// The designer of one form: counts the changes the editors report.
class TFormDesigner : public IDesigner {
public:
  void Modified() override { ++ModifiedCount; }
  int ModifiedCount = 0;
};

// A form being designed (csDesigning) with its designer.
class TDesignSession {
public:
  TDesignSession();
  ~TDesignSession();

  TForm* Form() const { return form_; }
  TFormDesigner& Designer() { return designer_; }

  // Drops a component of a palette class on the form, under a fresh name (the class name
  // without its "T" and a number).
  TComponent* Drop(TClass ComponentClass);
  // The registered editor of the property; null when none serves it. The caller frees it.
  std::unique_ptr<TPropertyEditor> Editor(TPersistent* Instance, const std::string& PropName);
  // The form file of the form.
  std::string FormText() const;
  // Frees the form and everything on it.
  void Close();

private:
  TForm* form_ = nullptr;
  TFormDesigner designer_;
};

// Answers the open-file dialogs of the editors, through the modal seam, while it lives: each
// dialog takes the next file name given (an empty one cancels it); with none left it cancels.
class TOpenDialogAnswers {
public:
  explicit TOpenDialogAnswers(std::vector<WideString> FileNames);
  ~TOpenDialogAnswers();
  // The filters the dialogs were shown with, in order.
  const std::vector<WideString>& Filters() const { return filters_; }

private:
  std::vector<WideString> names_;
  size_t next_ = 0;
  std::vector<WideString> filters_;
  TModalHandler previous_;
};
