// Geometry of skin frame strips (frames, margins, nine and three slices, centring, tiling) and the
// keyed-pixel tests behind masks and window regions, without drawing. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "classlib/graphics/graphic_types.h"
#include "classlib/graphics/pixel_image.h"

// Frame frameIndex (from 1) of a strip of frameCount equal frames, side by side (frame width =
// strip width div count) or stacked (vertical). Nothing for a count of 0 or less, an index outside
// 1..count or a frame without pixels, so that no caller reads outside the strip.
std::optional<TRect> FrameRect(int stripWidth, int stripHeight, int frameIndex, int frameCount, bool vertical);

// The margins a frame of frameWidth x frameHeight is cut with: negative sizes count as 0, and a
// pair (Left and Right, Top and Bottom) whose sum exceeds its limit becomes 0 on both sides.
// Nine-slice pictures pass the smaller of frame and destination size as the limits.
TRect FitMargins(const TRect& margins, int64_t widthLimit, int64_t heightLimit);

// One copy of a picture: the part Source of the frame strip stretched into Dest.
struct TSlicePiece {
  TRect Dest;
  TRect Source;
  // A piece with nothing to read or nothing to fill is never copied (a stretched copy with a
  // negative size would mirror, one with a zero source has nothing to spread).
  bool Drawn() const { return !Dest.IsEmpty() && !Source.IsEmpty(); }
};

// Up to nine pieces in the order they are to be copied.
struct TSlices {
  std::array<TSlicePiece, 9> Items{};
  int Count = 0;
  void Add(const TRect& dest, const TRect& source) { Items[size_t(Count++)] = {dest, source}; }
  const TSlicePiece* begin() const { return Items.data(); }
  const TSlicePiece* end() const { return Items.data() + Count; }
};

enum TNinePiece {
  npTopLeft, npBottomLeft, npTopRight, npLeft, npTop, npMiddle, npBottomRight, npRight, npBottom
};

// The nine pieces of frame (its rectangle in the strip) drawn into a width x height picture at
// (0, 0), with margins already fitted. The order is the copy order: the middle comes before the
// right and bottom pieces, so they cover the overhang of a tiled middle. Items are indexed by
// TNinePiece.
TSlices NineSlice(const TRect& frame, const TRect& margins, int width, int height);

// Three pieces of frame into dest: left column, middle, right column at full height (across), or
// top row, middle, bottom row at full width (down). Margins already fitted to the frame.
TSlices ThreeSlice(const TRect& frame, const TRect& margins, const TRect& dest, bool down);

// Origins start, start + step, ... that lie below limit; no origins when step is 0 or less.
struct TTileRun {
  int32_t Start = 0;
  int32_t Step = 0;
  int32_t Count = 0;
  int32_t At(int32_t i) const { return Start + i * Step; }
};
TTileRun TileRun(int32_t start, int32_t limit, int32_t step);

// Top-left corner of a width x height picture centred in r; halves truncate toward zero, so a
// picture larger than r overhangs on both sides.
TPoint CenteredOrigin(const TRect& r, int width, int height);

// The inclusive per-channel range of colours that count as the key: from the key's own red,
// green and blue bytes up to that plus the channel's tolerance, capped at 255.
struct TKeyRange {
  uint8_t LowR = 0, LowG = 0, LowB = 0;
  uint8_t HighR = 0, HighG = 0, HighB = 0;
  bool Contains(uint8_t r, uint8_t g, uint8_t b) const {
    return r >= LowR && r <= HighR && g >= LowG && g <= HighG && b >= LowB && b <= HighB;
  }
};
// key is an RGB value (red in the low byte); negative tolerances count as 0.
TKeyRange KeyRange(uint32_t key, int redTolerance, int greenTolerance, int blueTolerance);

// Calls emit(x0, x1, y) for every run [x0, x1) of pixels outside the key range, row by row from
// the top, of a 24- or 32-bit view; other formats give no runs.
template <class Emit>
void ForEachOpaqueRun(const TPixelView& view, const TKeyRange& key, Emit&& emit) {
  if (view.Empty() || (view.BitsPerPixel != 24 && view.BitsPerPixel != 32)) return;
  const size_t step = size_t(view.BitsPerPixel / 8);
  for (int y = 0; y < view.Height; ++y) {
    const uint8_t* row = view.Row(y);
    int x = 0;
    while (x < view.Width) {
      const int x0 = x;
      while (x < view.Width) {
        const uint8_t* p = row + size_t(x) * step;
        if (key.Contains(p[2], p[1], p[0])) break;
        ++x;
      }
      if (x > x0) emit(x0, x, y);
      ++x;  // over the key pixel that ended the run
    }
  }
}

// A 1-bit mask of the width x height part of view at (left, top): pixels of exactly keyRGB white,
// all others black (a 1-bit view's pixels are black or white). The part is cut to the view.
TPixelImage KeyMask(const TPixelView& view, int left, int top, int width, int height, uint32_t keyRGB);
