// The object census: every counted call of the process's own modules is redirected through its
// import table to a twin here that calls the function and notes what it made or freed. The notes
// are sets of live handles rather than bare counters, so a handle the system frees on its own
// (a window's menu, a region or object deleted by a system DLL) drops out when it is no longer
// valid, and freeing something made elsewhere changes nothing.
#include "tools/census/object_census.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace {

struct TState {
  std::mutex Lock;
  bool Installed = false;
  std::map<HGDIOBJ, DWORD> Gdi;  // object and its type when it was made
  std::map<HDC, long> Held;      // DCs from the GetDC family, with how often each is held
  std::set<HMENU> Menus;
  std::set<HICON> Icons;
  std::set<HIMAGELIST> ImageLists;
  std::set<HHOOK> Hooks;
};

// Never destroyed: redirected calls still arrive while static objects are torn down at exit.
TState& State() {
  static TState* s = new TState;
  return *s;
}

template <class H>
H AddGdi(H h) {
  if (h) {
    DWORD type = GetObjectType(h);
    std::lock_guard<std::mutex> g(State().Lock);
    State().Gdi[h] = type;
  }
  return h;
}

void ForgetGdi(HGDIOBJ h) {
  std::lock_guard<std::mutex> g(State().Lock);
  State().Gdi.erase(h);
}

template <class Set, class H>
void Add(Set& set, H h) {
  if (!h) return;
  std::lock_guard<std::mutex> g(State().Lock);
  set.insert(h);
}

template <class Set, class H>
void Forget(Set& set, H h) {
  std::lock_guard<std::mutex> g(State().Lock);
  set.erase(h);
}

void HoldDc(HDC dc) {
  if (!dc) return;
  std::lock_guard<std::mutex> g(State().Lock);
  ++State().Held[dc];
}

void ReleaseHeldDc(HDC dc) {
  std::lock_guard<std::mutex> g(State().Lock);
  auto it = State().Held.find(dc);
  if (it != State().Held.end() && --it->second <= 0) State().Held.erase(it);
}

// A loaded menu brings its submenus, which DestroyMenu frees with it.
void AddMenuTree(HMENU menu) {
  if (!menu) return;
  Add(State().Menus, menu);
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i)
    if (HMENU sub = GetSubMenu(menu, i)) AddMenuTree(sub);
}

// What LoadImage and CopyImage make: a GDI bitmap or an icon (cursors are icons here).
void AddImage(HANDLE h, UINT type) {
  if (!h) return;
  if (type == IMAGE_BITMAP)
    AddGdi(HGDIOBJ(h));
  else
    Add(State().Icons, HICON(h));
}

void ForgetImage(HANDLE h, UINT type) {
  if (type == IMAGE_BITMAP)
    ForgetGdi(HGDIOBJ(h));
  else
    Forget(State().Icons, HICON(h));
}

// Each twin: its pointer to the real function, the function that calls it and then notes the
// result in `After`, and a check that the twin has the real one's exact type (a wrong argument
// list would unbalance the 32-bit stack).
#define CENSUS_TWIN(Ret, Name, Params, Args, After)                                  \
  void* real_##Name = nullptr;                                                       \
  Ret WINAPI twin_##Name Params {                                                    \
    Ret result = reinterpret_cast<decltype(&::Name)>(real_##Name) Args;              \
    After;                                                                           \
    return result;                                                                   \
  }                                                                                  \
  static_assert(std::is_same_v<decltype(&twin_##Name), decltype(&::Name)>, #Name);

#define GDI_MAKER(Ret, Name, Params, Args) CENSUS_TWIN(Ret, Name, Params, Args, AddGdi(result))

// Bitmaps
GDI_MAKER(HBITMAP, CreateCompatibleBitmap, (HDC dc, int cx, int cy), (dc, cx, cy))
GDI_MAKER(HBITMAP, CreateDiscardableBitmap, (HDC dc, int cx, int cy), (dc, cx, cy))
GDI_MAKER(HBITMAP, CreateBitmap, (int cx, int cy, UINT planes, UINT bpp, CONST VOID* bits), (cx, cy, planes, bpp, bits))
GDI_MAKER(HBITMAP, CreateBitmapIndirect, (CONST BITMAP* bm), (bm))
GDI_MAKER(HBITMAP, CreateDIBSection, (HDC dc, CONST BITMAPINFO* bmi, UINT usage, VOID** bits, HANDLE section, DWORD offset),
          (dc, bmi, usage, bits, section, offset))
GDI_MAKER(HBITMAP, CreateDIBitmap, (HDC dc, CONST BITMAPINFOHEADER* bmih, DWORD init, CONST VOID* bits, CONST BITMAPINFO* bmi, UINT usage),
          (dc, bmih, init, bits, bmi, usage))
// Brushes
GDI_MAKER(HBRUSH, CreateSolidBrush, (COLORREF color), (color))
GDI_MAKER(HBRUSH, CreatePatternBrush, (HBITMAP bm), (bm))
GDI_MAKER(HBRUSH, CreateBrushIndirect, (CONST LOGBRUSH* lb), (lb))
GDI_MAKER(HBRUSH, CreateHatchBrush, (int hatch, COLORREF color), (hatch, color))
GDI_MAKER(HBRUSH, CreateDIBPatternBrushPt, (CONST VOID* dib, UINT usage), (dib, usage))
// Pens
GDI_MAKER(HPEN, CreatePen, (int style, int width, COLORREF color), (style, width, color))
GDI_MAKER(HPEN, CreatePenIndirect, (CONST LOGPEN* lp), (lp))
GDI_MAKER(HPEN, ExtCreatePen, (DWORD style, DWORD width, CONST LOGBRUSH* lb, DWORD count, CONST DWORD* styles),
          (style, width, lb, count, styles))
// Fonts
GDI_MAKER(HFONT, CreateFontIndirectW, (CONST LOGFONTW* lf), (lf))
GDI_MAKER(HFONT, CreateFontIndirectA, (CONST LOGFONTA* lf), (lf))
GDI_MAKER(HFONT, CreateFontIndirectExW, (CONST ENUMLOGFONTEXDVW* lf), (lf))
GDI_MAKER(HFONT, CreateFontW,
          (int h, int w, int esc, int orient, int weight, DWORD italic, DWORD underline, DWORD strike, DWORD charset,
           DWORD precision, DWORD clip, DWORD quality, DWORD pitch, LPCWSTR face),
          (h, w, esc, orient, weight, italic, underline, strike, charset, precision, clip, quality, pitch, face))
GDI_MAKER(HFONT, CreateFontA,
          (int h, int w, int esc, int orient, int weight, DWORD italic, DWORD underline, DWORD strike, DWORD charset,
           DWORD precision, DWORD clip, DWORD quality, DWORD pitch, LPCSTR face),
          (h, w, esc, orient, weight, italic, underline, strike, charset, precision, clip, quality, pitch, face))
// Regions (CombineRgn and its kin only change a region that exists)
GDI_MAKER(HRGN, CreateRectRgn, (int l, int t, int r, int b), (l, t, r, b))
GDI_MAKER(HRGN, CreateRectRgnIndirect, (CONST RECT* rc), (rc))
GDI_MAKER(HRGN, CreateRoundRectRgn, (int l, int t, int r, int b, int w, int h), (l, t, r, b, w, h))
GDI_MAKER(HRGN, CreateEllipticRgn, (int l, int t, int r, int b), (l, t, r, b))
GDI_MAKER(HRGN, CreateEllipticRgnIndirect, (CONST RECT* rc), (rc))
GDI_MAKER(HRGN, CreatePolygonRgn, (CONST POINT* pts, int count, int mode), (pts, count, mode))
GDI_MAKER(HRGN, CreatePolyPolygonRgn, (CONST POINT* pts, CONST INT* counts, int polys, int mode), (pts, counts, polys, mode))
GDI_MAKER(HRGN, ExtCreateRegion, (CONST XFORM* xf, DWORD size, CONST RGNDATA* data), (xf, size, data))
GDI_MAKER(HRGN, PathToRegion, (HDC dc), (dc))
// Palettes
GDI_MAKER(HPALETTE, CreatePalette, (CONST LOGPALETTE* lp), (lp))
GDI_MAKER(HPALETTE, CreateHalftonePalette, (HDC dc), (dc))
// Device contexts that are made and deleted
GDI_MAKER(HDC, CreateCompatibleDC, (HDC dc), (dc))
GDI_MAKER(HDC, CreateDCW, (LPCWSTR driver, LPCWSTR device, LPCWSTR port, CONST DEVMODEW* dm), (driver, device, port, dm))
GDI_MAKER(HDC, CreateDCA, (LPCSTR driver, LPCSTR device, LPCSTR port, CONST DEVMODEA* dm), (driver, device, port, dm))
GDI_MAKER(HDC, CreateICW, (LPCWSTR driver, LPCWSTR device, LPCWSTR port, CONST DEVMODEW* dm), (driver, device, port, dm))
GDI_MAKER(HDC, CreateICA, (LPCSTR driver, LPCSTR device, LPCSTR port, CONST DEVMODEA* dm), (driver, device, port, dm))
CENSUS_TWIN(WINBOOL, DeleteDC, (HDC dc), (dc), if (result) ForgetGdi(dc))
CENSUS_TWIN(WINBOOL, DeleteObject, (HGDIOBJ h), (h), if (result) ForgetGdi(h))
// Device contexts that are held and released
CENSUS_TWIN(HDC, GetDC, (HWND wnd), (wnd), HoldDc(result))
CENSUS_TWIN(HDC, GetWindowDC, (HWND wnd), (wnd), HoldDc(result))
CENSUS_TWIN(HDC, GetDCEx, (HWND wnd, HRGN clip, DWORD flags), (wnd, clip, flags), HoldDc(result))
// Released whatever the answer: a DC of a class or of its own is "released" without being freed.
CENSUS_TWIN(int, ReleaseDC, (HWND wnd, HDC dc), (wnd, dc), ReleaseHeldDc(dc))
// A window's region belongs to the system once it is set.
CENSUS_TWIN(int, SetWindowRgn, (HWND wnd, HRGN rgn, WINBOOL redraw), (wnd, rgn, redraw), if (result && rgn) ForgetGdi(rgn))
// Bitmaps and icons of user32
CENSUS_TWIN(HBITMAP, LoadBitmapW, (HINSTANCE inst, LPCWSTR name), (inst, name), AddGdi(result))
CENSUS_TWIN(HBITMAP, LoadBitmapA, (HINSTANCE inst, LPCSTR name), (inst, name), AddGdi(result))
// Shared images belong to the system.
CENSUS_TWIN(HANDLE, LoadImageW, (HINSTANCE inst, LPCWSTR name, UINT type, int cx, int cy, UINT flags),
            (inst, name, type, cx, cy, flags), if (!(flags & LR_SHARED)) AddImage(result, type))
CENSUS_TWIN(HANDLE, LoadImageA, (HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags),
            (inst, name, type, cx, cy, flags), if (!(flags & LR_SHARED)) AddImage(result, type))
CENSUS_TWIN(HANDLE, CopyImage, (HANDLE h, UINT type, int cx, int cy, UINT flags), (h, type, cx, cy, flags), {
  if (result && (flags & LR_COPYDELETEORG) && result != h) ForgetImage(h, type);
  AddImage(result, type);
})
CENSUS_TWIN(HICON, CreateIconIndirect, (PICONINFO info), (info), Add(State().Icons, result))
CENSUS_TWIN(HICON, CreateIcon, (HINSTANCE inst, int cx, int cy, BYTE planes, BYTE bpp, CONST BYTE* andBits, CONST BYTE* xorBits),
            (inst, cx, cy, planes, bpp, andBits, xorBits), Add(State().Icons, result))
CENSUS_TWIN(HICON, CreateIconFromResource, (PBYTE bits, DWORD size, WINBOOL icon, DWORD version), (bits, size, icon, version),
            Add(State().Icons, result))
CENSUS_TWIN(HICON, CreateIconFromResourceEx, (PBYTE bits, DWORD size, WINBOOL icon, DWORD version, int cx, int cy, UINT flags),
            (bits, size, icon, version, cx, cy, flags), if (!(flags & LR_SHARED)) Add(State().Icons, result))
CENSUS_TWIN(HCURSOR, CreateCursor, (HINSTANCE inst, int x, int y, int cx, int cy, CONST VOID* andBits, CONST VOID* xorBits),
            (inst, x, y, cx, cy, andBits, xorBits), Add(State().Icons, HICON(result)))
CENSUS_TWIN(HICON, CopyIcon, (HICON icon), (icon), Add(State().Icons, result))
CENSUS_TWIN(WINBOOL, DestroyIcon, (HICON icon), (icon), if (result) Forget(State().Icons, icon))
CENSUS_TWIN(WINBOOL, DestroyCursor, (HCURSOR cursor), (cursor), if (result) Forget(State().Icons, HICON(cursor)))
// Menus
CENSUS_TWIN(HMENU, CreateMenu, (), (), Add(State().Menus, result))
CENSUS_TWIN(HMENU, CreatePopupMenu, (), (), Add(State().Menus, result))
CENSUS_TWIN(HMENU, LoadMenuW, (HINSTANCE inst, LPCWSTR name), (inst, name), AddMenuTree(result))
CENSUS_TWIN(HMENU, LoadMenuA, (HINSTANCE inst, LPCSTR name), (inst, name), AddMenuTree(result))
CENSUS_TWIN(HMENU, LoadMenuIndirectW, (CONST MENUTEMPLATEW* tmpl), (tmpl), AddMenuTree(result))
CENSUS_TWIN(HMENU, LoadMenuIndirectA, (CONST MENUTEMPLATEA* tmpl), (tmpl), AddMenuTree(result))
// Its submenus go with it; they drop out of the census when they are no longer menus.
CENSUS_TWIN(WINBOOL, DestroyMenu, (HMENU menu), (menu), if (result) Forget(State().Menus, menu))
// Hooks
CENSUS_TWIN(HHOOK, SetWindowsHookExW, (int id, HOOKPROC proc, HINSTANCE mod, DWORD thread), (id, proc, mod, thread),
            Add(State().Hooks, result))
CENSUS_TWIN(HHOOK, SetWindowsHookExA, (int id, HOOKPROC proc, HINSTANCE mod, DWORD thread), (id, proc, mod, thread),
            Add(State().Hooks, result))
CENSUS_TWIN(WINBOOL, UnhookWindowsHookEx, (HHOOK hook), (hook), if (result) Forget(State().Hooks, hook))
// Image lists
CENSUS_TWIN(HIMAGELIST, ImageList_Create, (int cx, int cy, UINT flags, int initial, int grow), (cx, cy, flags, initial, grow),
            Add(State().ImageLists, result))
CENSUS_TWIN(HIMAGELIST, ImageList_Duplicate, (HIMAGELIST list), (list), Add(State().ImageLists, result))
CENSUS_TWIN(HIMAGELIST, ImageList_LoadImageW, (HINSTANCE inst, LPCWSTR name, int cx, int grow, COLORREF mask, UINT type, UINT flags),
            (inst, name, cx, grow, mask, type, flags), Add(State().ImageLists, result))
CENSUS_TWIN(WINBOOL, ImageList_Destroy, (HIMAGELIST list), (list), if (result) Forget(State().ImageLists, list))

#undef GDI_MAKER
#undef CENSUS_TWIN

struct TRedirect {
  const char* Dll;
  const char* Name;
  void* Twin;
  void** Real;
};

#define ROW(dll, Name) {dll, #Name, reinterpret_cast<void*>(&twin_##Name), &real_##Name}
TRedirect g_rows[] = {
    ROW("gdi32.dll", CreateCompatibleBitmap), ROW("gdi32.dll", CreateDiscardableBitmap), ROW("gdi32.dll", CreateBitmap),
    ROW("gdi32.dll", CreateBitmapIndirect), ROW("gdi32.dll", CreateDIBSection), ROW("gdi32.dll", CreateDIBitmap),
    ROW("gdi32.dll", CreateSolidBrush), ROW("gdi32.dll", CreatePatternBrush), ROW("gdi32.dll", CreateBrushIndirect),
    ROW("gdi32.dll", CreateHatchBrush), ROW("gdi32.dll", CreateDIBPatternBrushPt), ROW("gdi32.dll", CreatePen),
    ROW("gdi32.dll", CreatePenIndirect), ROW("gdi32.dll", ExtCreatePen), ROW("gdi32.dll", CreateFontIndirectW),
    ROW("gdi32.dll", CreateFontIndirectA), ROW("gdi32.dll", CreateFontIndirectExW), ROW("gdi32.dll", CreateFontW),
    ROW("gdi32.dll", CreateFontA), ROW("gdi32.dll", CreateRectRgn), ROW("gdi32.dll", CreateRectRgnIndirect),
    ROW("gdi32.dll", CreateRoundRectRgn), ROW("gdi32.dll", CreateEllipticRgn), ROW("gdi32.dll", CreateEllipticRgnIndirect),
    ROW("gdi32.dll", CreatePolygonRgn), ROW("gdi32.dll", CreatePolyPolygonRgn), ROW("gdi32.dll", ExtCreateRegion),
    ROW("gdi32.dll", PathToRegion), ROW("gdi32.dll", CreatePalette), ROW("gdi32.dll", CreateHalftonePalette),
    ROW("gdi32.dll", CreateCompatibleDC), ROW("gdi32.dll", CreateDCW), ROW("gdi32.dll", CreateDCA),
    ROW("gdi32.dll", CreateICW), ROW("gdi32.dll", CreateICA), ROW("gdi32.dll", DeleteDC), ROW("gdi32.dll", DeleteObject),
    ROW("user32.dll", GetDC), ROW("user32.dll", GetWindowDC), ROW("user32.dll", GetDCEx), ROW("user32.dll", ReleaseDC),
    ROW("user32.dll", SetWindowRgn), ROW("user32.dll", LoadBitmapW), ROW("user32.dll", LoadBitmapA),
    ROW("user32.dll", LoadImageW), ROW("user32.dll", LoadImageA), ROW("user32.dll", CopyImage),
    ROW("user32.dll", CreateIconIndirect), ROW("user32.dll", CreateIcon), ROW("user32.dll", CreateIconFromResource),
    ROW("user32.dll", CreateIconFromResourceEx), ROW("user32.dll", CreateCursor), ROW("user32.dll", CopyIcon),
    ROW("user32.dll", DestroyIcon), ROW("user32.dll", DestroyCursor), ROW("user32.dll", CreateMenu),
    ROW("user32.dll", CreatePopupMenu), ROW("user32.dll", LoadMenuW), ROW("user32.dll", LoadMenuA),
    ROW("user32.dll", LoadMenuIndirectW), ROW("user32.dll", LoadMenuIndirectA), ROW("user32.dll", DestroyMenu),
    ROW("user32.dll", SetWindowsHookExW), ROW("user32.dll", SetWindowsHookExA), ROW("user32.dll", UnhookWindowsHookEx),
    ROW("comctl32.dll", ImageList_Create), ROW("comctl32.dll", ImageList_Duplicate), ROW("comctl32.dll", ImageList_LoadImageW),
    ROW("comctl32.dll", ImageList_Destroy),
};
#undef ROW

// Looks the real function up in its DLL when that DLL is loaded.
void Resolve(TRedirect& row) {
  if (*row.Real) return;
  if (HMODULE m = GetModuleHandleA(row.Dll))
    *row.Real = reinterpret_cast<void*>(GetProcAddress(m, row.Name));
}

// The system's own modules call the system as they always do: only the program's are redirected.
bool IsSystemModule(HMODULE m) {
  wchar_t path[MAX_PATH], windows[MAX_PATH];
  DWORD n = GetModuleFileNameW(m, path, MAX_PATH);
  UINT w = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || w == 0 || w >= MAX_PATH) return false;
  return _wcsnicmp(path, windows, w) == 0 && (path[w] == L'\\' || path[w] == L'/');
}

// Through kernel32 (K32EnumProcessModules): the list of loaded modules in this process's own
// memory, without a round trip to the system for a snapshot.
std::vector<HMODULE> ProcessModules() {
  std::vector<HMODULE> modules(256);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    if (!EnumProcessModules(GetCurrentProcess(), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed))
      return {};
    size_t count = needed / sizeof(HMODULE);
    if (count <= modules.size()) {
      modules.resize(count);
      return modules;
    }
    modules.resize(count + 16);  // modules were loaded meanwhile
  }
  return {};
}

bool WriteSlot(ULONG_PTR* slot, void* value) {
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
  *slot = ULONG_PTR(value);
  DWORD ignored = 0;
  VirtualProtect(slot, sizeof *slot, old, &ignored);
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
  return true;
}

// Points the module's import slots of the rows at their twins. A slot matches by the function's
// address only, so no call ever reaches another function than it did before. Returns false when
// a slot could not be written.
bool PatchModule(HMODULE module, TRedirect* rows, size_t count) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return true;
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return true;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0 || dir.Size == 0) return true;
  bool ok = true;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
    const char* dll = reinterpret_cast<const char*>(base + desc->Name);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    auto* names = desc->OriginalFirstThunk ? reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk) : nullptr;
    for (size_t i = 0; slots[i].u1.Function; ++i) {
      void* current = reinterpret_cast<void*>(slots[i].u1.Function);
      const char* name = nullptr;
      if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal))
        name = reinterpret_cast<const char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData)->Name);
      for (size_t r = 0; r < count; ++r) {
        TRedirect& row = rows[r];
        if (current == row.Twin) break;
        bool byName = name && _stricmp(dll, row.Dll) == 0 && std::strcmp(name, row.Name) == 0;
        // A DLL that GetModuleHandle does not find by its plain name (a side-by-side one) is
        // known from the slot the loader filled.
        if (!*row.Real && byName) *row.Real = current;
        if (!*row.Real || current != *row.Real) continue;
        ok = WriteSlot(&slots[i].u1.Function, row.Twin) && ok;
        break;
      }
    }
  }
  return ok;
}

bool PatchProcess(TRedirect* rows, size_t count) {
  std::vector<HMODULE> modules = ProcessModules();
  if (modules.empty()) return false;
  bool ok = true;
  for (HMODULE m : modules)
    if (!IsSystemModule(m)) ok = PatchModule(m, rows, count) && ok;
  return ok;
}

std::mutex& InstallLock() {
  static std::mutex* m = new std::mutex;
  return *m;
}

bool Contains(HGDIOBJ h) {
  std::lock_guard<std::mutex> g(State().Lock);
  return State().Gdi.count(h) != 0;
}

struct TWindowCount {
  DWORD Process;
  long Count;
};

// The input-method window the system gives each thread that has a top-level window (and takes
// away with the last one) is the system's companion, not a window the program made.
bool IsSystemImeWindow(HWND wnd) {
  wchar_t name[16] = {};
  GetClassNameW(wnd, name, 16);
  return std::wcscmp(name, L"IME") == 0 || std::wcscmp(name, L"MSCTFIME UI") == 0;
}

bool Counts(HWND wnd, DWORD process) {
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  return pid == process && !IsSystemImeWindow(wnd);
}

BOOL CALLBACK CountChild(HWND wnd, LPARAM lp) {
  auto* c = reinterpret_cast<TWindowCount*>(lp);
  if (Counts(wnd, c->Process)) ++c->Count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND wnd, LPARAM lp) {
  auto* c = reinterpret_cast<TWindowCount*>(lp);
  if (Counts(wnd, c->Process)) {
    ++c->Count;
    EnumChildWindows(wnd, &CountChild, lp);  // every descendant, not only the direct children
  }
  return TRUE;
}

long CountWindows() {
  TWindowCount c{GetCurrentProcessId(), 0};
  EnumWindows(&CountTop, LPARAM(&c));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w; w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountTop(w, LPARAM(&c));
  return c.Count;
}

}  // namespace

void* RedirectImport(const char* dll, const char* name, void* replacement) {
  HMODULE m = GetModuleHandleA(dll);
  if (!m || !replacement) return nullptr;
  void* real = reinterpret_cast<void*>(GetProcAddress(m, name));
  if (!real) return nullptr;
  TRedirect row{dll, name, replacement, &real};
  std::lock_guard<std::mutex> g(InstallLock());
  if (!PatchProcess(&row, 1)) return nullptr;
  return real;
}

bool InstallObjectCensus() {
  std::lock_guard<std::mutex> g(InstallLock());
  for (TRedirect& row : g_rows) {
    Resolve(row);
    // gdi32 and user32 are always there; a function of theirs that cannot be found means the
    // counting would miss calls.
    if (!*row.Real && std::strcmp(row.Dll, "comctl32.dll") != 0) return false;
  }
  if (!PatchProcess(g_rows, sizeof g_rows / sizeof g_rows[0])) return false;
  // See that the counting took: this module's own calls go through its import table too.
  HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
  bool seen = probe && Contains(probe);
  if (probe) DeleteObject(probe);
  bool gone = !Contains(probe);
  std::lock_guard<std::mutex> s(State().Lock);
  State().Installed = seen && gone;
  return State().Installed;
}

TObjectCensus ObjectCensus() {
  {
    std::lock_guard<std::mutex> g(InstallLock());
    {
      std::lock_guard<std::mutex> s(State().Lock);
      if (!State().Installed) throw std::runtime_error("the object census is not installed in this process");
    }
    // Modules loaded since the installation (a DLL of the program) are counted from now on.
    for (TRedirect& row : g_rows) Resolve(row);
    PatchProcess(g_rows, sizeof g_rows / sizeof g_rows[0]);
  }
  TObjectCensus c{};
  c.Windows = CountWindows();
  std::lock_guard<std::mutex> s(State().Lock);
  TState& st = State();
  for (auto it = st.Gdi.begin(); it != st.Gdi.end();) {
    if (GetObjectType(it->first) != it->second) {  // freed where no redirected call saw it
      it = st.Gdi.erase(it);
      continue;
    }
    switch (it->second) {
      case OBJ_BITMAP: ++c.Bitmaps; break;
      case OBJ_BRUSH: ++c.Brushes; break;
      case OBJ_PEN:
      case OBJ_EXTPEN: ++c.Pens; break;
      case OBJ_FONT: ++c.Fonts; break;
      case OBJ_REGION: ++c.Regions; break;
      case OBJ_PAL: ++c.Palettes; break;
      case OBJ_DC:
      case OBJ_MEMDC: ++c.Dcs; break;
      default: break;
    }
    ++c.Gdi;
    ++it;
  }
  for (auto it = st.Menus.begin(); it != st.Menus.end();) it = IsMenu(*it) ? std::next(it) : st.Menus.erase(it);
  for (const auto& held : st.Held) {
    c.Dcs += held.second;
    c.Gdi += held.second;
  }
  c.Menus = long(st.Menus.size());
  c.Icons = long(st.Icons.size());
  c.ImageLists = long(st.ImageLists.size());
  c.Hooks = long(st.Hooks.size());
  c.Gdi += c.ImageLists;
  c.User = c.Windows + c.Menus + c.Icons + c.Hooks;
  return c;
}

std::string CensusDifference(const TObjectCensus& before, const TObjectCensus& after) {
  struct TField {
    const char* Name;
    long TObjectCensus::*Member;
  };
  static const TField fields[] = {
      {"Gdi", &TObjectCensus::Gdi},         {"User", &TObjectCensus::User},
      {"Windows", &TObjectCensus::Windows}, {"Menus", &TObjectCensus::Menus},
      {"Dcs", &TObjectCensus::Dcs},         {"Bitmaps", &TObjectCensus::Bitmaps},
      {"Brushes", &TObjectCensus::Brushes}, {"Pens", &TObjectCensus::Pens},
      {"Fonts", &TObjectCensus::Fonts},     {"Regions", &TObjectCensus::Regions},
      {"Palettes", &TObjectCensus::Palettes}, {"Icons", &TObjectCensus::Icons},
      {"ImageLists", &TObjectCensus::ImageLists}, {"Hooks", &TObjectCensus::Hooks},
  };
  std::string text;
  for (const TField& f : fields) {
    long a = before.*f.Member, b = after.*f.Member;
    if (a == b) continue;
    if (!text.empty()) text += ", ";
    text += std::string(f.Name) + " " + std::to_string(a) + " -> " + std::to_string(b);
  }
  return text;
}
