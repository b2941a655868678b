#include "skin/windows/core/button_text.h"

#include "skin/data/skin_objects.h"

TColor ButtonTextColor(const TDataSkinButton* b, int Frame, TColor Fallback) {
  if (Frame == 3) return clBtnShadow;
  if (!b) return Fallback;
  switch (Frame) {
    case 1:
      if (b->HasNormalColour2) return b->NormalColour2;
      return b->NormalColour >= 0 ? b->NormalColour : Fallback;
    case 4:
      if (b->HasMouseOverColour2) return b->MouseOverColour2;
      return b->MouseOverColour >= 0 ? b->MouseOverColour : Fallback;
    case 2:
      if (b->HasPressedColour2) return b->PressedColour2;
      return b->PressedColour >= 0 ? b->PressedColour : Fallback;
    default:
      return Fallback;
  }
}
