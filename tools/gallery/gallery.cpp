// The gallery: one of every control of the class library on one form, as a user sees them
// without a skin or with one. "--screenshot <base>" shows each page, saves it as
// <base>-<page>.bmp, checks that it shows something, and ends. "--skin <file.skn>" skins the form
// with a main-form skin component loaded from that file; several "--skin" switch among them.
// "--inactive" with --screenshot also saves <base>-inactive.bmp with another window active;
// "--menu" also saves <base>-menu.bmp with the File menu open.
// "--screenshot-dialogs <base>" opens, with each skin of "--skin" in turn, a system message box,
// the Open, colour and font dialogs and a dialog from a template without WS_VISIBLE, saves each as
// <base>-<Skin>-<what>.bmp (Skin: the skin file's name; what: msgbox, open, color, font,
// template), closes it and fails when one did not show or shows nothing.
// "--soak <n>" makes n switches round the given skins after a first round, prints the process's object
// counts before and after them (where the object census is built in) and fails when they grew.
#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/core/streams.h"
#include "classlib/controls/timer.h"
#include "skin/data/velt_data.h"
#include "skin/windows/manager/skin_manager.h"
#include "skin/windows/core/skin_messages.h"
#include "tools/gallery/dialog_template.h"
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
  WideString DialogBase;  // the dialogs' pictures, when set
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
    } else if (p == L"--screenshot-dialogs") {
      o.DialogBase = WideParamStr(++i);
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

// ---- The dialogs' pictures: each dialog is opened modally; a timer that its own loop runs takes
// its picture once it has shown for a while (or gives up on one that never shows) and closes it.
struct TDialogShot {
  std::wstring Path;
  HWND Dialog = nullptr;
  int Ticks = 0, Shown = 0, Closing = 0;
  bool Taken = false, Ok = false;
};
TDialogShot dialogShot;

BOOL CALLBACK FindDialogWindow(HWND w, LPARAM found) {
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (std::wstring(cls) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// A top-level dialog window of this thread, shown or not.
HWND ThreadDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindDialogWindow, LPARAM(&found));
  return found;
}

void CALLBACK DialogShotTick(HWND, UINT, UINT_PTR, DWORD) {
  TDialogShot& s = dialogShot;
  ++s.Ticks;
  if (!s.Dialog || !IsWindow(s.Dialog)) s.Dialog = ThreadDialog();
  if (!s.Dialog) return;
  if (s.Taken) {
    // Asked to cancel, as the user would; a dialog that does not listen is ended.
    if (++s.Closing == 20) EndDialog(s.Dialog, IDCANCEL);
    return;
  }
  const bool shown = IsWindowVisible(s.Dialog) != FALSE;
  if (shown) ++s.Shown;
  // A few ticks for the skin to take it over and paint; without showing after many, the picture
  // shows what the user sees in its place.
  if (shown ? s.Shown < 12 : s.Ticks < 100) return;
  RedrawWindow(s.Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r{};
  GetWindowRect(s.Dialog, &r);
  const bool skinned = SendMessageW(s.Dialog, CN_IsSkinned, 0, 0) == 1;
  s.Taken = true;
  const bool painted = r.right > r.left && r.bottom > r.top && CaptureScreenRect(r, s.Path);
  s.Ok = painted && shown;
  std::fprintf(stderr, "%ls: %s, %s\n", s.Path.c_str(), shown ? "visible" : "NOT VISIBLE",
               skinned ? "skinned" : "not skinned");
  PostMessageW(s.Dialog, WM_COMMAND, IDCANCEL, 0);
}

// Runs open (which shows a modal dialog and returns when it closes) with the picture's timer.
bool DialogCapture(const std::wstring& path, const std::function<void()>& open) {
  dialogShot = TDialogShot();
  dialogShot.Path = path;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &DialogShotTick);
  open();
  KillTimer(nullptr, timer);
  Pump();
  if (!dialogShot.Taken) std::fprintf(stderr, "%ls: the dialog did not open\n", path.c_str());
  return dialogShot.Ok;
}

INT_PTR CALLBACK TemplateDialogProc(HWND w, UINT m, WPARAM wp, LPARAM) {
  if (m == WM_INITDIALOG) return TRUE;
  if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    EndDialog(w, LOWORD(wp));
    return TRUE;
  }
  return FALSE;
}

// A caption, a text and two buttons; WS_VISIBLE left out, so the dialog shows only when its modal
// loop first waits.
TDialogTemplate TemplateWithoutVisible() {
  TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 200, 70,
                    L"Template dialog \u97f5", 8, L"MS Shell Dlg");
  t.Item(SS_LEFT, 10, 10, 180, 20, 0xFFFF, 0x0082, L"A dialog made from a template without WS_VISIBLE.");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 44, 44, 50, 14, IDOK, 0x0080, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 106, 44, 50, 14, IDCANCEL, 0x0080, L"Cancel");
  return t;
}

// The skin's name as the pictures call it: the file name without folder and extension.
std::wstring SkinName(const AnsiString& file) {
  std::string n(file);
  const size_t slash = n.find_last_of("/\\");
  if (slash != std::string::npos) n.erase(0, slash + 1);
  const size_t dot = n.rfind('.');
  if (dot != std::string::npos) n.erase(dot);
  return std::wstring(n.begin(), n.end());
}

bool DialogScreenshots(HWND owner, const std::wstring& base) {
  bool ok = true;
  ok = DialogCapture(base + L"-msgbox.bmp", [&] {
    MessageBoxW(owner, L"A message box of the system \u2460.", L"Gallery", MB_OK | MB_ICONINFORMATION);
  }) && ok;
  ok = DialogCapture(base + L"-open.bmp", [&] {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW o{};
    o.lStructSize = sizeof(o);
    o.hwndOwner = owner;
    o.lpstrFilter = L"Skins (*.skn)\0*.skn\0All files (*.*)\0*.*\0";
    o.lpstrFile = file;
    o.nMaxFile = MAX_PATH;
    o.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    GetOpenFileNameW(&o);
  }) && ok;
  ok = DialogCapture(base + L"-color.bmp", [&] {
    static COLORREF custom[16] = {};
    CHOOSECOLORW c{};
    c.lStructSize = sizeof(c);
    c.hwndOwner = owner;
    c.rgbResult = RGB(40, 120, 220);
    c.lpCustColors = custom;
    c.Flags = CC_RGBINIT;
    ChooseColorW(&c);
  }) && ok;
  ok = DialogCapture(base + L"-font.bmp", [&] {
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    CHOOSEFONTW f{};
    f.lStructSize = sizeof(f);
    f.hwndOwner = owner;
    f.lpLogFont = &lf;
    f.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    ChooseFontW(&f);
  }) && ok;
  ok = DialogCapture(base + L"-template.bmp", [&] {
    const TDialogTemplate t = TemplateWithoutVisible();
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, &TemplateDialogProc, 0);
  }) && ok;
  return ok;
}

// With each skin in turn, the form shown behind the dialogs as their owner.
int DialogsWithEachSkin(TGalleryForm* form, TSkinData* skin, const std::vector<AnsiString>& skins,
                        const WideString& base) {
  if (!skin) throw Exception("--screenshot-dialogs needs at least one --skin");
  form->Show();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
  SetForegroundWindow(form->Handle());
  Pump();
  TSkinManage* manager = SkinManage();
  bool ok = true;
  for (size_t i = 0; i < skins.size(); i++) {
    if (i > 0) {
      LoadSkinFile(skin, skins[i]);
      // The switch itself, at once rather than a timer's interval later.
      if (manager) manager->OnTimer();
      Pump();
    }
    ok = DialogScreenshots(form->Handle(), std::wstring(base) + L"-" + SkinName(skins[i])) && ok;
  }
  return ok ? 0 : 1;
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
  const bool screenshots = options.Screenshots || !options.DialogBase.empty();
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
    if (!options.DialogBase.empty()) return DialogsWithEachSkin(form, skin, options.Skins, options.DialogBase);
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
