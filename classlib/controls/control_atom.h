// The atom and registered message under which the class library keeps a control object on its
// window (a window property), so that the object is found from the window handle.
#pragma once

#include <windows.h>

#include "classlib/core/sysutils.h"

// 0 until InitControlAtom has run (it runs at program start-up).
extern ATOM ControlAtom;
extern UINT RM_GetObjectInstance;

// "ControlOfs" followed by the module instance and the thread id in upper-case hexadecimal: 8 and
// 8 digits on 32-bit Windows; on 64-bit Windows the instance takes all 16 digits so that two
// modules never share a name.
AnsiString ControlAtomName(HINSTANCE instance, DWORD threadId);
// Adds the global atom and registers the message for this module and the current thread; a
// second call does nothing. DoneControlAtom deletes the atom.
void InitControlAtom();
void DoneControlAtom();
// The controls layer frees its windows at the program's end and deletes the atom after them;
// it calls this at start-up so that the atom's own shut-down leaves the atom to it.
void DeferControlAtomRelease();
