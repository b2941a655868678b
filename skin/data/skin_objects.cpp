#include "skin/data/skin_objects.h"

#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TDataSkinObject, TObject)
KARO_CLASS_INFO(TDataSkinBorder, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinButton, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinTitle, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinSysButton, TDataSkinObject)
KARO_CLASS_INFO(TDataSkinBoxLabel, TDataSkinObject)

TDataSkinObject::TDataSkinObject(const AnsiString& name) : Map(std::make_unique<TBitmap>()), Name(name) {}

TDataSkinBorder::TDataSkinBorder(const AnsiString& name) : TDataSkinObject(name), Map2(std::make_unique<TBitmap>()) {}

TDataSkinButton::TDataSkinButton(const AnsiString& name)
    : TDataSkinObject(name), CheckMap(std::make_unique<TBitmap>()), RadioMap(std::make_unique<TBitmap>()) {}

void DrawElement(HDC DC, const TRect& R, const TDataSkinObject* Rec, int FrameIndex, const TElementDraw& How) {
  if (!Rec) return;
  const int trans = How.Trans == kFromRecord ? Rec->Trans : How.Trans;
  if (How.Centred) {
    DrawRect3(DC, R, Rec->Map.get(), FrameIndex, Rec->Frame, trans);
    return;
  }
  const int tile = How.Tile == kFromRecord ? Rec->Tile : How.Tile;
  DrawRect2(DC, R, Rec->Map.get(), Rec->Margins, FrameIndex, Rec->Frame, trans, tile, How.Vertical ? 1 : 0);
}
