// Image-based check boxes and radio buttons of other vendors: TSkinObjImage builds glyph strips
// from the skin's check or radio strip and hands them to the control through its published
// properties, by name, without taking its messages over. With the pure layout of the strips.
#pragma once

#include <vector>

#include "skin/windows/controls/control_skin.h"

// The kinds: a check box with custom glyphs, a radio button with custom glyphs, a check box whose
// glyph lives in its "Properties" object.
enum TObjImageKind { oiNone = 0, oiCheck = 1, oiRadio = 2, oiPropertiesCheck = 3 };

// The skin frame (from 1) each slot of a kind's strip takes, slot 0 first; empty for no kind.
const std::vector<int>& ObjImageSlots(int Kind);
// Whether a slot taking frame Frame is filled from a skin strip of Frames frames: the fifth
// frame only from a strip of exactly five, and never a frame the strip does not have.
bool ObjImageSlotFilled(int Frame, int Frames);
// The strip of a kind built from a skin strip of Frames frames into Out: slots of the skin's
// frame width and height side by side, each unfilled slot in the key colour, which the control
// is told to treat as transparent. False (Out untouched) for an empty strip or no kind.
bool BuildObjImageStrip(TBitmap* Skin, int Frames, int Kind, TBitmap& Out);

class TSkinObjImage : public TSkinControl {
  KARO_CLASS(TSkinObjImage)
public:
  explicit TSkinObjImage(TComponent* AOwner, int Kind = oiNone);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Unsubclass() override;
  void SkinChange() override;
  void ChangeImage();

  int FKind = oiNone;

private:
  void SetRzImage();
  void SetRzRadio();
  void SetDevCheck();
  void SetCustomGlyphs(TBitmap* Skin, int Frames);
};
