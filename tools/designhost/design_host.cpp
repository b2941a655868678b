#include "tools/designhost/design_host.h"

#include "classlib/controls/dialogs.h"
#include "classlib/core/form_file.h"

namespace {

std::string SystemReason(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = text ? WideToUtf8(text) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

using TPackageProc = void (*)();

}  // namespace

TDesignPackage LoadDesignPackage(const WideString& FileName) {
  HMODULE module = LoadLibraryW(FileName.c_str());
  if (!module) throw Exception("Cannot load package " + WideToUtf8(FileName) + ": " + SystemReason(GetLastError()));
  TDesignPackage p;
  p.Module = module;
  p.Base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(p.Base);
  p.Size = reinterpret_cast<const IMAGE_NT_HEADERS*>(p.Base + dos->e_lfanew)->OptionalHeader.SizeOfImage;
  return p;
}

void RegisterDesignPackage(TDesignPackage& Package) {
  auto reg = reinterpret_cast<TPackageProc>(reinterpret_cast<void*>(GetProcAddress(Package.Module, "Register")));
  if (!reg) throw Exception("The package exports no Register");
  BeginPackageRegistration(Package.Module);
  try {
    reg();
  } catch (...) {
    EndPackageRegistration();
    throw;
  }
  EndPackageRegistration();
  Package.Registered = true;
}

void FinalizeDesignPackage(TDesignPackage& Package) {
  if (!Package.Module) return;
  if (auto fin = reinterpret_cast<TPackageProc>(reinterpret_cast<void*>(GetProcAddress(Package.Module, "Finalize"))))
    fin();
}

void UnloadDesignPackage(TDesignPackage& Package) {
  if (!Package.Module) return;
  FinalizeDesignPackage(Package);
  UnregisterModule(Package.Module);
  FreeLibrary(Package.Module);
  Package.Module = nullptr;
  Package.Registered = false;
}

std::vector<TPaletteItem> ReadPalettePage(const TDesignPackage& Package, const std::string& Page) {
  std::vector<TPaletteItem> items;
  for (TClass c : PaletteComponents(Page)) {
    TPaletteItem item;
    item.Class = c;
    item.ClassName = c->Name;
    WideString resName = Utf8ToWide(UpperCase(c->Name));
    // A DIB section keeps the picture's own depth, which a device bitmap would not.
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageW(Package.Module, resName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bmp) {
      DIBSECTION ds{};
      if (GetObjectW(bmp, sizeof ds, &ds) == int(sizeof ds)) {
        item.HasBitmap = true;
        item.Width = ds.dsBmih.biWidth;
        item.Height = ds.dsBmih.biHeight < 0 ? -ds.dsBmih.biHeight : ds.dsBmih.biHeight;
        item.BitsPerPixel = ds.dsBmih.biBitCount;
      }
      DeleteObject(bmp);
    }
    items.push_back(item);
  }
  return items;
}

// ---- TDesignSession

TDesignSession::TDesignSession() {
  form_ = new TForm(nullptr);
  form_->SetName("DesignForm");
  form_->SetDesigning(true);
}

TDesignSession::~TDesignSession() { Close(); }

void TDesignSession::Close() {
  if (form_) form_->Free();
  form_ = nullptr;
}

TComponent* TDesignSession::Drop(TClass ComponentClass) {
  if (!ComponentClass || !ComponentClass->Create) throw Exception("Cannot create a component of this class");
  std::string base = std::string(ComponentClass->Name).substr(1);
  std::string name;
  for (int n = 1;; ++n) {
    name = base + std::to_string(n);
    if (!form_->FindComponent(name)) break;
  }
  TComponent* c = ComponentClass->Create(form_);
  c->SetName(name);
  return c;
}

std::unique_ptr<TPropertyEditor> TDesignSession::Editor(TPersistent* Instance, const std::string& PropName) {
  return std::unique_ptr<TPropertyEditor>(CreatePropertyEditor(&designer_, Instance, PropName));
}

std::string TDesignSession::FormText() const { return WriteComponentText(form_); }

// ---- TOpenDialogAnswers

TOpenDialogAnswers::TOpenDialogAnswers(std::vector<WideString> FileNames) : names_(std::move(FileNames)) {
  previous_ = SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
    if (r.Kind != mkOpenDialog || !r.Dialog) return std::nullopt;
    filters_.push_back(r.Dialog->Filter());
    if (next_ >= names_.size()) return 0;
    const WideString& name = names_[next_++];
    if (name.empty()) return 0;
    r.Dialog->SetFileName(name);
    return 1;
  });
}

TOpenDialogAnswers::~TOpenDialogAnswers() { SetModalHandler(previous_); }
