#include "classlib/controls/control_atom.h"

#include <cstdio>

// The module that holds this code (the program, or the library it is linked into).
extern "C" IMAGE_DOS_HEADER __ImageBase;

ATOM ControlAtom = 0;
UINT RM_GetObjectInstance = 0;

namespace {
bool g_releaseDeferred = false;
}

AnsiString ControlAtomName(HINSTANCE instance, DWORD threadId) {
  char buf[48];
  auto inst = reinterpret_cast<uintptr_t>(instance);
#ifdef _WIN64
  std::snprintf(buf, sizeof buf, "ControlOfs%.16llX%.8lX", static_cast<unsigned long long>(inst),
                static_cast<unsigned long>(threadId));
#else
  std::snprintf(buf, sizeof buf, "ControlOfs%.8lX%.8lX", static_cast<unsigned long>(inst),
                static_cast<unsigned long>(threadId));
#endif
  return buf;
}

void InitControlAtom() {
  if (ControlAtom) return;
  AnsiString name = ControlAtomName(reinterpret_cast<HINSTANCE>(&__ImageBase), GetCurrentThreadId());
  ControlAtom = GlobalAddAtomA(name.c_str());
  RM_GetObjectInstance = RegisterWindowMessageA(name.c_str());
}

void DeferControlAtomRelease() { g_releaseDeferred = true; }

void DoneControlAtom() {
  if (ControlAtom) GlobalDeleteAtom(ControlAtom);
  ControlAtom = 0;
}

namespace {
// The unit's start-up and shut-down: runs on the thread that starts the program.
struct TControlAtomUnit {
  TControlAtomUnit() { InitControlAtom(); }
  ~TControlAtomUnit() {
    if (!g_releaseDeferred) DoneControlAtom();
  }
} controlAtomUnit;
}  // namespace
