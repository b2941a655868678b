// Reading, replacing and calling a subclassed window's procedure the way the window was made:
// the wide calls for a Unicode window, the ANSI ones for an ANSI window. Windows only.
#pragma once

#include <windows.h>

inline WNDPROC CurrentWindowProc(HWND wnd, bool unicode) {
  return WNDPROC(unicode ? GetWindowLongPtrW(wnd, GWLP_WNDPROC) : GetWindowLongPtrA(wnd, GWLP_WNDPROC));
}

inline void SetWindowProc(HWND wnd, bool unicode, WNDPROC proc) {
  if (unicode)
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(proc));
  else
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, LONG_PTR(proc));
}

// A Unicode window's procedure takes wide text and an ANSI one's ANSI text: calling a Unicode
// procedure through the A form would turn Chinese captions into question marks. Without a saved
// procedure the default one answers.
inline LRESULT CallSavedProc(WNDPROC saved, bool unicode, HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!saved) return unicode ? DefWindowProcW(wnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
  return unicode ? CallWindowProcW(saved, wnd, msg, wp, lp) : CallWindowProcA(saved, wnd, msg, wp, lp);
}
