// Whether the skin library runs inside a library module (a design package loaded by a host)
// rather than inside the program. A library module starts and ends the library's units itself,
// from its exported routines, never while the system's loader holds its lock.
#pragma once

#include <windows.h>

// The image of the module this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

inline bool InLibraryModule() {
  return reinterpret_cast<HMODULE>(&__ImageBase) != GetModuleHandleW(nullptr);
}
