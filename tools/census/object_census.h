// The object census: counts of the GDI and USER objects this process holds, kept by redirecting
// its own modules' imports of the calls that make and free them. Works where GetGuiResources
// answers nothing (Wine). Windows only.
#pragma once

#include <string>

// What the process holds right now. Windows are counted by enumeration; everything else is what
// the process's own modules (not the system's) made and have not freed yet.
struct TObjectCensus {
  long Gdi = 0;      // every GDI object below (DCs held from GetDC included) plus image lists
  long User = 0;     // Windows + Menus + Icons + Hooks
  long Windows = 0;  // windows of this process's threads, children and message-only ones included
                     // (not the input-method window the system keeps for each thread)
  long Menus = 0;    // menus and popup menus (a loaded menu counts with its submenus)
  long Dcs = 0;      // device contexts made (CreateCompatibleDC, CreateDC, CreateIC) and held (GetDC family)
  long Bitmaps = 0;
  long Brushes = 0;
  long Pens = 0;
  long Fonts = 0;
  long Regions = 0;
  long Palettes = 0;
  long Icons = 0;       // icons and cursors the process must destroy (shared ones are not counted)
  long ImageLists = 0;  // comctl32 image lists
  long Hooks = 0;       // windows hooks set and not yet removed
  bool operator==(const TObjectCensus&) const = default;
};

// Redirects the process's modules' imports of the counted calls. Idempotent: a second call also
// covers modules loaded since. False when the counting could not be put in place (or does not
// take: a brush made and deleted through the redirected calls must be seen).
bool InstallObjectCensus();

// The current counts. Throws std::runtime_error when the census is not installed.
TObjectCensus ObjectCensus();

// The fields in which two censuses differ, as "Brushes 3 -> 4, Gdi 20 -> 21"; empty when equal.
std::string CensusDifference(const TObjectCensus& before, const TObjectCensus& after);

// Redirects every call the process's own modules make to `dll`!`name` (through their import
// tables) to `replacement`. Returns the function's own address, to call it, or null when the
// DLL or function is not there. Modules of the system folder are left as they are.
void* RedirectImport(const char* dll, const char* name, void* replacement);
