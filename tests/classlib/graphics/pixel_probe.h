// Test helpers over bitmaps: read a pixel as an RGB value straight from the DIB memory, and make
// a bitmap of a given format filled from a function of (x, y).
#pragma once

#include <functional>

#include "classlib/graphics/bitmap.h"

inline uint32_t PixelOf(TBitmap& bmp, int x, int y) {
  const uint8_t* row = bmp.ScanLine(y);
  if (bmp.BitsPerPixel() == 1) return (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
  const uint8_t* p = row + size_t(x) * size_t(bmp.BitsPerPixel() / 8);
  return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
}

inline void FillBitmap(TBitmap& bmp, int w, int h, TPixelFormat format, const std::function<uint32_t(int, int)>& f) {
  bmp.SetPixelFormat(format);
  bmp.SetSize(w, h);
  TPixelImage img(w, h, bmp.BitsPerPixel());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetPixelRGB(x, y, f(x, y));
  bmp.AssignPixels(img, format);
}

// A 32-bit drawing surface of the given size filled with one colour.
inline void Surface(TBitmap& bmp, int w, int h, uint32_t rgb) {
  FillBitmap(bmp, w, h, pf32bit, [=](int, int) { return rgb; });
}
