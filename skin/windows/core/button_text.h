// The caption colour of a face drawn from the skin's Buttons strip, which the button skins and the
// tool-bar buttons of a skinned form share.
#pragma once

#include "classlib/graphics/graphic_types.h"

class TDataSkinButton;

// The caption colour for a frame: the skin's state colour when it gives one, else Fallback; a
// disabled button's is clBtnShadow.
TColor ButtonTextColor(const TDataSkinButton* Buttons, int Frame, TColor Fallback);
