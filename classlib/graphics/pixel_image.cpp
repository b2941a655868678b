#include "classlib/graphics/pixel_image.h"

#include <cstring>
#include <limits>

#include "classlib/graphics/graphic_types.h"

size_t PixelRowStride(int64_t width, int bitsPerPixel) {
  if (width < 0 || bitsPerPixel <= 0 || width > std::numeric_limits<int32_t>::max()) return 0;
  uint64_t bits = uint64_t(width) * uint64_t(bitsPerPixel);
  return size_t((bits + 31) / 32 * 4);
}

TPixelImage::TPixelImage(int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32)
    throw EInvalidGraphicOperation("Unsupported pixel format");
  if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid image size");
  bpp_ = bitsPerPixel;
  if (width == 0 || height == 0) return;
  width_ = width;
  height_ = height;
  stride_ = PixelRowStride(width, bitsPerPixel);
  data_.assign(stride_ * size_t(height), 0);
}

uint32_t TPixelImage::PixelRGB(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (bpp_) {
    case 1: return (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
    case 24: row += size_t(x) * 3; break;
    default: row += size_t(x) * 4; break;
  }
  return uint32_t(row[2]) | uint32_t(row[1]) << 8 | uint32_t(row[0]) << 16;
}

void TPixelImage::SetPixelRGB(int x, int y, uint32_t rgb) {
  uint8_t* row = Row(y);
  uint8_t r = uint8_t(rgb), g = uint8_t(rgb >> 8), b = uint8_t(rgb >> 16);
  if (bpp_ == 1) {
    uint8_t bit = uint8_t(0x80 >> (x & 7));
    bool white = int(255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b) <
                 int(r) * r + g * g + b * b;
    if (white) row[x >> 3] |= bit; else row[x >> 3] &= uint8_t(~bit);
    return;
  }
  row += size_t(x) * (bpp_ / 8);
  row[0] = b;
  row[1] = g;
  row[2] = r;
}

TPixelImage CopyPixels(const TPixelView& source) {
  if (source.Empty()) return TPixelImage(0, 0, source.BitsPerPixel);
  TPixelImage out(source.Width, source.Height, source.BitsPerPixel);
  for (int y = 0; y < source.Height; ++y) std::memcpy(out.Row(y), source.Row(y), out.Stride());
  return out;
}

TPixelImage ConvertPixels(const TPixelView& source, int bitsPerPixel) {
  if (source.BitsPerPixel == bitsPerPixel) return CopyPixels(source);
  if (source.Empty()) return TPixelImage(0, 0, bitsPerPixel);
  TPixelImage out(source.Width, source.Height, bitsPerPixel);
  for (int y = 0; y < source.Height; ++y) {
    const uint8_t* s = source.Row(y);
    uint8_t* d = out.Row(y);
    for (int x = 0; x < source.Width; ++x) {
      uint8_t b, g, r;
      if (source.BitsPerPixel == 1) {
        b = g = r = (s[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else {
        const uint8_t* p = s + size_t(x) * (source.BitsPerPixel / 8);
        b = p[0]; g = p[1]; r = p[2];
      }
      if (bitsPerPixel == 1) {
        out.SetPixelRGB(x, y, uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16);
      } else {
        uint8_t* p = d + size_t(x) * (bitsPerPixel / 8);
        p[0] = b; p[1] = g; p[2] = r;
        if (bitsPerPixel == 32) p[3] = 0;
      }
    }
  }
  return out;
}
