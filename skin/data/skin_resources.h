// The skin library's own pictures, drawn here in code: the four 16 x 16 system-menu glyphs
// ("CORVANEMENU") and the default track-bar grooves ("TRACK", "TRACKVERT"). Portable C++.
#pragma once

#include <string_view>

#include "classlib/graphics/pixel_image.h"

// The picture of that resource name (compared without regard to ASCII case); an empty image
// for any other name.
//   "CORVANEMENU": 64 x 16, 1 bit: black glyphs on white (white is the mask), in the order
//                  restore, maximise, minimise, close.
//   "TRACK":       16 x 4, 24 bits: a sunken groove, dark above and light below, with 3-pixel ends.
//   "TRACKVERT":   4 x 16, 24 bits: the same groove upright (dark at the left).
TPixelImage SkinResourceImage(std::string_view Name);
