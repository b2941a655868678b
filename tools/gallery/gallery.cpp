// The gallery: one of every control of the class library on one form, as a user sees them
// without a skin or with one. "--screenshot <base>" shows each page, saves it as
// <base>-<page>.bmp, checks that it shows something, and ends. "--skin <file.skn>" skins the form
// with a main-form skin component loaded from that file; several "--skin" switch among them.
// "--inactive" with --screenshot also saves <base>-inactive.bmp with another window active;
// "--menu" also saves <base>-menu.bmp with the File menu open.
// "--soak <n>" makes n switches round the given skins after a first round, prints the process's object
// counts before and after them (where the object census is built in) and fails when they grew.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/core/streams.h"
#include "classlib/controls/timer.h"
#include "skin/data/velt_data.h"
#include "skin/windows/manager/skin_manager.h"
#include "tools/gallery/gallery_form.h"
#include "tools/screenshot/screen_capture.h"
#ifdef KARO_HAVE_OBJECT_CENSUS
#include "tools/census/object_census.h"
#endif

namespace {

void Pump() {
  for (int i = 0; i < 10; i++) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

// The picture with a menu open: taken from a timer that the menu's own loop runs, of the form
// and the popup together, after which the menu is ended.
struct TMenuShot {
  HWND Form = nullptr;
  std::wstring Path;
  int Ticks = 0;
  bool Taken = false, Ok = false;
};
TMenuShot menuShot;

void CALLBACK MenuShotTick(HWND, UINT, UINT_PTR, DWORD) {
  if (menuShot.Taken) return;
  HWND popup = FindWindowW(L"#32768", nullptr);
  const bool shown = popup && IsWindowVisible(popup);
  // A few ticks for the popup to paint; without one after many, the picture shows why.
  if (++menuShot.Ticks < (shown ? 6 : 100)) return;
  RECT r;
  GetWindowRect(menuShot.Form, &r);
  if (shown) {
    UpdateWindow(popup);
    RECT p;
    GetWindowRect(popup, &p);
    UnionRect(&r, &r, &p);
  }
  menuShot.Taken = true;
  menuShot.Ok = CaptureScreenRect(r, menuShot.Path) && shown;
  EndMenu();
}

bool MenuCapture(HWND form, const std::wstring& path) {
  menuShot = TMenuShot();
  menuShot.Form = form;
  menuShot.Path = path;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &MenuShotTick);
  // Alt+F, as the user opens it.
  SendMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  KillTimer(nullptr, timer);
  Pump();
  if (!menuShot.Taken) std::fprintf(stderr, "%ls: the File menu did not open\n", path.c_str());
  return menuShot.Ok;
}

int Screenshots(TGalleryForm* form, const WideString& base, bool inactive, bool menu) {
  form->Show();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
  SetForegroundWindow(form->Handle());
  Pump();
  auto* pages = form->Find<TPageControl>("PageControl1");
  bool ok = true;
  for (int page = 0; page < pages->PageCount(); page++) {
    pages->SetActivePageIndex(page);
    Pump();
    ok = CaptureWindow(form->Handle(), base + L"-" + std::to_wstring(page + 1) + L".bmp", Pump) && ok;
  }
  if (menu) {
    pages->SetActivePageIndex(0);
    Pump();
    ok = MenuCapture(form->Handle(), base + L"-menu.bmp") && ok;
  }
  if (inactive) {
    // Another window takes the activation: the frame shows its inactive look.
    // It sits in the screen's far corner, out of the picture.
    HWND other = CreateWindowExW(0, L"STATIC", L"Other", WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_CXSCREEN) - 4,
                                 GetSystemMetrics(SM_CYSCREEN) - 4, 4, 4, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    Pump();
    pages->SetActivePageIndex(0);
    Pump();
    ok = CaptureWindow(form->Handle(), base + L"-inactive.bmp", Pump) && ok;
    DestroyWindow(other);
  }
  return ok ? 0 : 1;
}

struct TGalleryOptions {
  bool Screenshots = false;
  bool Inactive = false;  // one more picture with the form inactive
  bool Menu = false;      // one more with the File menu open
  WideString ShotBase;
  std::vector<AnsiString> Skins;
  int Soak = -1;
};

TGalleryOptions ReadOptions() {
  TGalleryOptions o;
  for (int i = 1; i <= ParamCount(); i++) {
    const WideString p = WideParamStr(i);
    if (p == L"--screenshot") {
      o.Screenshots = true;
      o.ShotBase = WideParamStr(++i);
    } else if (p == L"--skin") {
      o.Skins.push_back(ParamStr(++i));
    } else if (p == L"--inactive") {
      o.Inactive = true;
    } else if (p == L"--menu") {
      o.Menu = true;
    } else if (p == L"--soak") {
      o.Soak = std::stoi(ParamStr(++i));
    }
  }
  return o;
}

// Loads the skin file into the component; an error when it holds no skin afterwards.
void LoadSkinFile(TSkinData* skin, const AnsiString& file) {
  skin->LoadFromFile(file);
  if (skin->NoSkinLoaded) throw Exception("No skin could be read from " + file);
}

int Soak(TGalleryForm* form, TSkinData* skin, const std::vector<AnsiString>& skins, int switches) {
#ifdef KARO_HAVE_OBJECT_CENSUS
  form->Show();
  Pump();
  if (!InstallObjectCensus()) throw Exception("The object census cannot count in this process");
  TSkinManage* manager = SkinManage();
  if (!manager) throw Exception("No skin manager");
  auto round = [&](int n) {
    for (int i = 0; i < n; i++) {
      LoadSkinFile(skin, skins[size_t(i + 1) % skins.size()]);
      // The switch itself, at once rather than a timer's interval later.
      manager->OnTimer();
      if (i % 20 == 0) Application->ProcessMessages();
    }
    Pump();
  };
  // One round first: the pictures kept between paints are made by the first switches, and only
  // what grows after them is a leak.
  round(int(skins.size()));
  const TObjectCensus before = ObjectCensus();
  round(switches);
  const TObjectCensus after = ObjectCensus();
  std::printf("soak: %d switches, gdi %d->%d, user %d->%d\n", switches, int(before.Gdi), int(after.Gdi),
              int(before.User), int(after.User));
  std::fflush(stdout);
  return after.Gdi > before.Gdi || after.User > before.User ? 1 : 0;
#else
  (void)form;
  (void)skin;
  (void)skins;
  (void)switches;
  throw Exception("This gallery was built without the object census: --soak cannot count");
#endif
}

}  // namespace

int main() {
  const TGalleryOptions options = ReadOptions();
  const bool screenshots = options.Screenshots;
  try {
    Application->Initialize();
    Application->SetTitle(L"Gallery");
    TGalleryForm* form = nullptr;
    Application->CreateForm(form);
    TSkinData* skin = nullptr;
    if (!options.Skins.empty()) {
      // A main-form component made at run time: its first load makes the manager and hooks this
      // thread; switching it on skins the form when it is first activated.
      skin = new TSkinData(form);
      LoadSkinFile(skin, options.Skins[0]);
      if (!SkinManage()) throw Exception("No skin manager was made");
      skin->SetActive(true);
    }
    if (options.Soak >= 0) {
      if (!skin) throw Exception("--soak needs at least one --skin");
      return Soak(form, skin, options.Skins, options.Soak);
    }
    if (screenshots) return Screenshots(form, options.ShotBase, options.Inactive, options.Menu);
    Application->Run();
  } catch (const Exception& e) {
    if (screenshots)
      std::fprintf(stderr, "%s\n", e.Message().c_str());
    else
      Application->ShowException(e);
    return 2;
  }
  return 0;
}
