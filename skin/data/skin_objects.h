// The skin element records: TDataSkinObject (an image strip of equal frames with its margins,
// transparency, tiling and state colours) and the descendants that add a second image, the push
// button images, caption text, caption button and group-box label fields. Windows only.
#pragma once

#include <cstdint>
#include <memory>

#include "classlib/core/objects.h"
#include "classlib/graphics/bitmap.h"

#include <windows.h>

class TDataSkinObject : public TObject {
  KARO_CLASS(TDataSkinObject)
public:
  // An empty Map and the given name; every other field 0.
  explicit TDataSkinObject(const AnsiString& name);

  // Sizes, not coordinates: the left and right columns and the top and bottom rows of a frame
  // that are kept unscaled.
  TRect Margins{};
  // Frame images side by side (stacked for the Top and Bottom frame borders). Owned.
  std::unique_ptr<TBitmap> Map;
  // 1: magenta pixels are transparent.
  int32_t Trans = 0;
  // How the middle is filled: 0 stretched, 1 tiled.
  int32_t Tile = 0;
  AnsiString Name;
  int32_t Frame = 0;
  int32_t Style = 0;
  TColor NormalColour = 0;
  TColor MouseOverColour = 0;
  TColor PressedColour = 0;
  // A second set of the three state colours, read from the same keys with a "2".
  TColor NormalColour2 = 0;
  TColor MouseOverColour2 = 0;
  TColor PressedColour2 = 0;
};

class TDataSkinBorder : public TDataSkinObject {
  KARO_CLASS(TDataSkinBorder)
public:
  explicit TDataSkinBorder(const AnsiString& name);
  // A second picture besides Map (a border, glyphs, Map mirrored); empty when not read. Owned.
  std::unique_ptr<TBitmap> Map2;
};

class TDataSkinButton : public TDataSkinObject {
  KARO_CLASS(TDataSkinButton)
public:
  explicit TDataSkinButton(const AnsiString& name);
  std::unique_ptr<TBitmap> CheckMap;
  std::unique_ptr<TBitmap> RadioMap;
  int32_t RadioButtonFrame = 0;
  int32_t CheckButtonFrame = 0;
  // The skin gave NormalColour2 (and so on) itself rather than leaving the default.
  bool HasNormalColour2 = false;
  bool HasMouseOverColour2 = false;
  bool HasPressedColour2 = false;
};

// Colour fields of the caption text record that the skin did not give.
constexpr TColor kTitleColourNotGiven = 0x1FFFFFFF;

class TDataSkinTitle : public TDataSkinObject {
  KARO_CLASS(TDataSkinTitle)
public:
  using TDataSkinObject::TDataSkinObject;
  int32_t TextAlignment = 0;
  int32_t Textbackground = 0;
  int32_t FontHeight = 0;
  int32_t TXTBackleft = 0;
  int32_t TXTBackRight = 0;
  TColor ActiveText = 0;
  TColor InActiveText = 0;
};

class TDataSkinSysButton : public TDataSkinObject {
  KARO_CLASS(TDataSkinSysButton)
public:
  using TDataSkinObject::TDataSkinObject;
  int32_t Action = 0;
  int32_t Align = 0;
  int32_t Xcoord = 0;
  int32_t Ycoord = 0;
  int32_t CombineOp = 0;
  int32_t Visibility = 0;
  // A second condition on showing, of the same kind as Visibility: the button shows when both hold.
  int32_t Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
  KARO_CLASS(TDataSkinBoxLabel)
public:
  using TDataSkinObject::TDataSkinObject;
  int32_t BackgroundLeftShift = 0;
  int32_t BackgroundRightShift = 0;
  int32_t BackgroundAlignment = 0;
};

// ---- Drawing one frame of a record

// How DrawElement lays a frame into its rectangle. Trans and Tile come from the record unless the
// caller pins them (kFromRecord leaves the record's).
constexpr int32_t kFromRecord = -1;
struct TElementDraw {
  int32_t Trans = kFromRecord;
  int32_t Tile = kFromRecord;
  bool Vertical = false;  // frames stacked instead of side by side
  bool Centred = false;   // the frame at its own size, centred in the rectangle (no slicing)
};

// Frame FrameIndex (from 1) of Rec's picture into R of DC: nine-sliced by the record's margins
// (or centred), with its frame count, transparency and tiling. Nothing for a nil record; the
// drawing primitives' bounds hold for every value the record brings from a skin file.
void DrawElement(HDC DC, const TRect& R, const TDataSkinObject* Rec, int FrameIndex, const TElementDraw& How = {});
