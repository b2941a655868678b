// designhost: loads a design package as a development environment does and designs one form
// with it. It lists the palette pages with their components and pictures, drops a TSkinData and
// a TSkinStore with two items on a form, fills their skins through the registered property
// editor (the open-file dialog answered with the files given here), writes the form file and
// unloads the package.
//
//   designhost [--package Veltpkg.dll] --data <skin.skn> --item <Name>=<skin.skn> ... --out <form file>
//
// The package defaults to Veltpkg.dll beside the program. Exit code 0 when all went through.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <shellapi.h>

#include "classlib/core/collections.h"
#include "tools/designhost/design_host.h"

namespace {

struct TArgs {
  WideString Package, Data, Out;
  std::vector<std::pair<std::string, WideString>> Items;
};

WideString ProgramFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  WideString p = path;
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

bool ParseArgs(TArgs& a) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  bool ok = true;
  for (int i = 1; i < argc && ok; ++i) {
    WideString k = argv[i];
    if (i + 1 >= argc) {
      ok = false;
      break;
    }
    WideString v = argv[++i];
    if (k == L"--package") a.Package = v;
    else if (k == L"--data") a.Data = v;
    else if (k == L"--out") a.Out = v;
    else if (k == L"--item" && v.find(L'=') != WideString::npos)
      a.Items.push_back({WideToUtf8(v.substr(0, v.find(L'='))), v.substr(v.find(L'=') + 1)});
    else ok = false;
  }
  LocalFree(argv);
  if (a.Package.empty()) a.Package = ProgramFolder() + L"Veltpkg.dll";
  return ok && !a.Out.empty();
}

std::string Colours(int bitsPerPixel) { return std::to_string(1 << bitsPerPixel) + " colours"; }

// Fills a skin property through its editor, printing the value before and after.
void EditSkin(TDesignSession& s, TPersistent* obj, const std::string& label, const std::string& prop,
              const WideString& file) {
  std::unique_ptr<TPropertyEditor> editor = s.Editor(obj, prop);
  if (!editor) throw Exception("No editor is registered for " + label + "." + prop);
  std::string before = editor->GetValue();
  TOpenDialogAnswers answers({file});
  editor->Edit();
  std::printf("%s.%s: %s -> %s\n", label.c_str(), prop.c_str(), before.c_str(), editor->GetValue().c_str());
}

int Run(const TArgs& a) {
  TDesignPackage pkg = LoadDesignPackage(a.Package);
  try {
    RegisterDesignPackage(pkg);
    TClass dataClass = nullptr, storeClass = nullptr;
    for (const std::string& page : PalettePages()) {
      std::printf("%s:", page.c_str());
      const char* sep = " ";
      for (const TPaletteItem& item : ReadPalettePage(pkg, page)) {
        if (item.HasBitmap)
          std::printf("%s%s (%d x %d, %s)", sep, item.ClassName.c_str(), item.Width, item.Height,
                      Colours(item.BitsPerPixel).c_str());
        else
          std::printf("%s%s (no picture)", sep, item.ClassName.c_str());
        sep = ", ";
        if (item.ClassName == "TSkinData") dataClass = item.Class;
        if (item.ClassName == "TSkinStore") storeClass = item.Class;
      }
      std::printf("\n");
    }
    if (!dataClass || !storeClass) throw Exception("The package registered no TSkinData and TSkinStore");
    {
      TDesignSession s;
      TComponent* data = s.Drop(dataClass);
      TComponent* store = s.Drop(storeClass);
      auto* items = dyn<TCollection>(GetObjectProp(store, "Store"));
      if (!items) throw Exception("TSkinStore has no Store collection");
      if (!a.Data.empty()) EditSkin(s, data, data->Name(), "SkinStore", a.Data);
      for (const auto& [name, file] : a.Items) {
        TCollectionItem* item = items->Add();
        SetStrProp(item, "Name", name);
        EditSkin(s, item, store->Name() + "." + name, "SkinData", file);
      }
      std::string text = s.FormText();
      std::ofstream out(a.Out.c_str(), std::ios::binary);
      out << text;
      if (!out.flush()) throw Exception("Cannot write " + WideToUtf8(a.Out));
      std::printf("written: %s (%zu bytes), %d changes\n", WideToUtf8(a.Out).c_str(), text.size(),
                  s.Designer().ModifiedCount);
    }
  } catch (...) {
    UnloadDesignPackage(pkg);
    throw;
  }
  UnloadDesignPackage(pkg);
  std::printf("unloaded\n");
  return 0;
}

}  // namespace

int main() {
  TArgs a;
  if (!ParseArgs(a)) {
    std::fprintf(stderr, "usage: designhost [--package Veltpkg.dll] --data <skin.skn> --item <Name>=<skin.skn> ... --out <form file>\n");
    return 2;
  }
  try {
    return Run(a);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "designhost: %s\n", e.what());
    return 1;
  }
}
