// Unit ImgUtil: the pixel routines over 24-bit bitmaps (grey, magenta replacement, mirrors and
// rotations), colour mixing, gradients with their cache, and saturation. The pixel work is done
// on plain buffers and also builds natively; the bitmap and device-context forms are Windows only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/graphics/graphic_types.h"
#include "classlib/graphics/pixel_image.h"

// ---- Pixel forms: each works on a 24-bit view and leaves any other view unchanged.

// Every pixel's three channels := (blue + green + red) div 3.
void GrayscalePixels(const TPixelView& v);
// Every pixel of exactly red 255, green 0, blue 255 := the given colour's bytes.
void ReplaceMagentaPixels(const TPixelView& v, TColor color);
// Left-right: pixel x of each row takes pixel width - 1 - x.
void MirrorHorizontalPixels(const TPixelView& v);
// Top-bottom: row y takes row height - 1 - y.
void MirrorVerticalPixels(const TPixelView& v);
// (x, y) goes to (width - 1 - x, height - 1 - y).
void Rotate180Pixels(const TPixelView& v);
// Quarter turns into a new image (width and height swap): clockwise, (x, y) goes to
// (height - 1 - y, x); counter-clockwise, (x, y) goes to (y, width - 1 - x). An empty image for a
// view that is not 24-bit.
TPixelImage RotateClockwisePixels(const TPixelView& v);
TPixelImage RotateCounterClockwisePixels(const TPixelView& v);

// ---- Colours

// Blend of two resolved colours: W is C1's share, in percent below 100 and in tenths of a percent
// from 100 on; W is clamped to 0..1000 so that a channel never leaves 0..255.
TColor BlendRGB(TColor c1, TColor c2, int w);
// Saturation on 0..255 of the colour's bytes as given, rounded half to even; 200 when every
// channel is below 160.
int GetHSV(TColor c);

// One colour per line of an n-line gradient from c1 to c2 (both resolved), per channel
// c1 + (m div 2 + i * d) / m with m = n - 1, truncating toward zero; one line is c1 + d / 2.
std::vector<uint32_t> GradientColors(int n, TColor c1, TColor c2);

// The last 16 gradients, found again by everything that makes them (n, c1, c2). Not locked:
// gradients are drawn by one painting thread at a time.
class TGradientCache {
public:
  static constexpr int kSlots = 16;
  const std::vector<uint32_t>& Get(int n, TColor c1, TColor c2);
  // How many times Get had to compute (for tests).
  int Fills() const { return fills_; }

private:
  struct TSlot {
    int N = -1;
    TColor C1 = 0, C2 = 0;
    std::vector<uint32_t> Colors;
  };
  TSlot slots_[kSlots];
  int next_ = 0;
  int fills_ = 0;
};
TGradientCache& GradientCache();

#ifdef _WIN32
#include <windows.h>

class TBitmap;

// The bitmap forms. A bitmap that is not 24-bit is converted to 24 bits first; nil or empty
// bitmaps are left alone.
void ConvertBitmapToGrayscale(TBitmap* bmp);
// The colour is taken as given (a system colour is not resolved).
void ChangeTrans(TBitmap* bmp, TColor color);
void SpiegelnHorizontal(TBitmap* bmp);
void SpiegelnVertikal(TBitmap* bmp);
void Drehen180Grad(TBitmap* bmp);
// In place, clockwise; width and height swap.
void Drehen90Grad(TBitmap* bmp);
// In place, 270 degrees clockwise (a quarter turn counter-clockwise); width and height swap.
void Drehen270Grad(TBitmap* bmp);
// A new 24-bit bitmap turned a quarter counter-clockwise, owned by the caller; nil unless the
// bitmap is 24-bit (the source is never changed).
std::unique_ptr<TBitmap> Rotate90(TBitmap* bmp);

// BlendRGB of the two colours, system colours resolved first.
TColor Blend(TColor c1, TColor c2, int w);
// Direction 1: vertical (c1 at the top); otherwise horizontal (c1 at the left). Only the lines
// inside the clip box are drawn.
void GradFill(HDC dc, const TRect& rect, TColor c1, TColor c2, int direction);
#endif
