// The layout of aligned controls: how a container places its top, bottom, left, right and
// client-aligned children in its client area. Plain standard C++ (built natively too).
#pragma once

#include <vector>

#include "classlib/core/typinfo.h"
#include "classlib/graphics/graphic_types.h"

KARO_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom);

struct TAlignItem {
  TAlign Align = alNone;
  bool Visible = true;
  TRect Bounds;  // the control's rectangle now; AlignItems writes the new one
};

// Places every visible item whose Align is alTop, alBottom, alLeft, alRight or alClient, in
// that order of kinds, taking each one's strip from rect (which is left as the area that
// remains). Within a kind the items go by position (top ones by their top edge, bottom ones by
// their bottom edge from the bottom up, and so on), the item of index moved (the one that just
// moved; -1 for none) first among equals. A strip keeps the item's own thickness and takes the
// remaining area's length; where that length is negative the item keeps its own. Every client
// item gets the whole area that remains. Other items are left alone.
void AlignItems(std::vector<TAlignItem>& items, TRect& rect, int moved = -1);
