// The one way the Windows tests make window classes of their own: registered in this module once,
// so that a later call with the same name (another test, a fixture's SetUp again) does nothing.
#pragma once

#include <windows.h>

#include <type_traits>

// For a class whose windows paint no background of their own.
constexpr int kNoBackground = -1;

struct TWindowClassLook {
  int Background = COLOR_BTNFACE;  // a system colour index, or kNoBackground
  HICON Icon = nullptr;
  HCURSOR Cursor = nullptr;
  UINT Style = 0;
};

namespace windowclass {
// A class of wide windows for a wide name, of ANSI windows for a narrow one.
template <class TChar>
bool Register(const TChar* name, WNDPROC proc, const TWindowClassLook& look) {
  constexpr bool wide = std::is_same_v<TChar, wchar_t>;
  std::conditional_t<wide, WNDCLASSW, WNDCLASSA> c{};
  const HINSTANCE module = GetModuleHandleW(nullptr);
  if constexpr (wide) {
    if (GetClassInfoW(module, name, &c)) return true;
  } else {
    if (GetClassInfoA(module, name, &c)) return true;
  }
  c = {};
  c.style = look.Style;
  c.lpfnWndProc = proc;
  c.hInstance = module;
  c.hIcon = look.Icon;
  c.hCursor = look.Cursor;
  c.hbrBackground = look.Background == kNoBackground ? nullptr : HBRUSH(INT_PTR(look.Background + 1));
  c.lpszClassName = name;
  if constexpr (wide)
    return RegisterClassW(&c) != 0;
  else
    return RegisterClassA(&c) != 0;
}
}  // namespace windowclass

// False only when the class was not there and could not be registered.
inline bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, const TWindowClassLook& look = {}) {
  return windowclass::Register(name, proc, look);
}
inline bool RegisterWindowClass(const char* name, WNDPROC proc, const TWindowClassLook& look = {}) {
  return windowclass::Register(name, proc, look);
}

// The procedure of a test window that paints nothing of its own: WM_PAINT goes through the
// program's BeginPaint and EndPaint (so what was to be painted is painted), the rest to Rest, or
// to DefWindowProcW when none is given.
template <WNDPROC Rest = nullptr>
LRESULT CALLBACK PaintingWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(wnd, &ps);
    EndPaint(wnd, &ps);
    return 0;
  }
  if constexpr (Rest == nullptr)
    return DefWindowProcW(wnd, msg, wp, lp);
  else
    return Rest(wnd, msg, wp, lp);
}
