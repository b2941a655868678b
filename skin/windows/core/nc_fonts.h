// The fonts of a skinned non-client area (caption, menu bar, menu items): the system's non-client
// fonts in a face that has the Chinese glyphs of Karo's captions.
#pragma once

#include <windows.h>

// A font like Base whose face has Chinese glyphs (Karo's captions): Base itself when its face has
// them, else the same size and weight in a face that has. The caller owns it.
HFONT CreateFontWithChinese(const LOGFONTW& Base);
// One of the system's non-client fonts (caption, menu, ...) as CreateFontWithChinese makes it.
HFONT CreateNonClientFont(LOGFONTW NONCLIENTMETRICSW::*Which);
