// The text and colour routines of unit VeltData: ANSI/wide conversions through the library's
// code page, wide text drawing that falls back to ANSI, skin colour notation, and finding the
// control object behind a window handle.
#pragma once

#include <cstdint>
#include <string_view>

#include "classlib/core/sysutils.h"
#include "classlib/graphics/graphic_types.h"

// Red + green * 256 + blue * 65536.
constexpr TColor RGBToColor(uint8_t r, uint8_t g, uint8_t b) { return MakeColor(r, g, b); }

// A colour written as three decimal numbers (red, green, blue) separated by anything that is not
// a digit; see the notes in the source for the cases of fewer numbers.
TColor strcolor(std::string_view text);

#ifdef _WIN32
#include <windows.h>

class TWinControl;

// Code page of the conversions below; 0 is the system's ANSI code page.
extern UINT DefaultUserCodePage;
// True on the NT family; the library's start-up sets it.
extern bool Win32PlatformIsUnicode;

WideString StrToWideStr(const AnsiString& s);
// The reverse conversion, without a default character.
AnsiString WideStringToStringEx(const WideString& ws);
// count -1: the zero-terminated text; otherwise its first count characters.
WideString _WStr(const wchar_t* text, int count);
// DrawTextW, or on a platform without Unicode the ANSI form of the text through DrawTextA.
int Tnt_DrawTextW(HDC dc, const WideString& text, RECT& rect, UINT format);
// The control object stored on the window under ControlAtom; nil for handle 0.
TWinControl* FindControlx(HWND wnd);
#endif
