// Contact sheets of the skins: every element strip with its frames on a neutral ground, and a
// small window put together from the pieces the way the library paints them.
#pragma once

#include <vector>

#include "skins/gen/skin_art.h"

Bitmap ContactSheet(const Palette& p, const SkinArt& art);
Bitmap CombinedSheet(const std::vector<Bitmap>& sheets);  // side by side
