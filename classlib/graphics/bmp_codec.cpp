#include "classlib/graphics/bmp_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "classlib/graphics/graphic_types.h"

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14;

[[noreturn]] void Invalid(const char* why) { throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + why); }

// Little-endian reads from a bounded byte range; every read is checked against the end.
class TReader {
public:
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  uint16_t U16(size_t at) const {
    Need(at, 2);
    return uint16_t(data_[at] | data_[at + 1] << 8);
  }
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return uint32_t(data_[at]) | uint32_t(data_[at + 1]) << 8 | uint32_t(data_[at + 2]) << 16 |
           uint32_t(data_[at + 3]) << 24;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  const uint8_t* At(size_t at, size_t count) const {
    Need(at, count);
    return data_ + at;
  }

private:
  void Need(size_t at, size_t count) const {
    if (at > size_ || count > size_ - at) Invalid("truncated");
  }
  const uint8_t* data_;
  size_t size_;
};

// One colour channel described by a bit-field mask, widened or narrowed to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    Bits = std::popcount(mask);
  }
  uint8_t Extract(uint32_t v) const {
    if (!Mask) return 0;
    uint32_t value = (v & Mask) >> Shift;
    if (Bits >= 8) return uint8_t(value >> (Bits - 8 > 24 ? 24 : Bits - 8));
    uint32_t max = (1u << Bits) - 1;
    if (value > max) value = max;  // a mask with holes: keep the result in range
    return uint8_t(value * 255 / max);
  }
};

struct TDibInfo {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int Bpp = 0;
  uint32_t Compression = kBiRgb;
  uint32_t Masks[4] = {0, 0, 0, 0};
  std::array<uint8_t, 256 * 3> Palette{};  // blue, green, red per entry; missing entries are black
};

// Parses the DIB that starts at dib (the info header) inside r; dataOffset is the offset of the
// pixel rows given by the file header, or 0 when they follow the colour table.
TPixelImage DecodeDib(const TReader& r, size_t dib, size_t dataOffset) {
  TDibInfo info;
  uint32_t headerSize = r.U32(dib);
  size_t paletteEntrySize = 4;
  size_t tableStart = 0;
  uint32_t colorsUsed = 0;
  uint16_t planes = 0;
  if (headerSize == 12) {
    info.Width = r.U16(dib + 4);
    info.Height = r.U16(dib + 6);
    planes = r.U16(dib + 8);
    info.Bpp = r.U16(dib + 10);
    paletteEntrySize = 3;
    tableStart = dib + 12;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    r.At(dib, headerSize);
    info.Width = r.I32(dib + 4);
    int32_t h = r.I32(dib + 8);
    planes = r.U16(dib + 12);
    info.Bpp = r.U16(dib + 14);
    info.Compression = r.U32(dib + 16);
    colorsUsed = r.U32(dib + 32);
    if (h == INT32_MIN) Invalid("height");
    info.TopDown = h < 0;
    info.Height = h < 0 ? -h : h;
    tableStart = dib + headerSize;
    if (info.Compression == kBiBitfields) {
      size_t masks = dib + 40;
      if (headerSize == 40) tableStart += 12;  // the three masks follow the short header
      info.Masks[0] = r.U32(masks);
      info.Masks[1] = r.U32(masks + 4);
      info.Masks[2] = r.U32(masks + 8);
      if (headerSize >= 56) info.Masks[3] = r.U32(masks + 12);
    }
  } else {
    Invalid("unknown header size");
  }

  if (planes != 1) Invalid("plane count");
  if (info.Width <= 0 || info.Height <= 0) Invalid("empty or negative size");
  if (info.Width > kMaxBmpDimension || info.Height > kMaxBmpDimension ||
      int64_t(info.Width) * info.Height > kMaxBmpPixels)
    Invalid("too large");
  switch (info.Bpp) {
    case 1: case 4: case 8: case 24: case 32: break;
    default: Invalid("unsupported bit depth");
  }
  if (info.Compression == kBiBitfields) {
    if (info.Bpp != 32) Invalid("bit fields need 32 bits per pixel");
  } else if (info.Compression != kBiRgb) {
    Invalid("unsupported compression");
  }

  // The colour table: every entry that lies before the pixel rows is used.
  size_t tableEntries = 0;
  if (info.Bpp <= 8) {
    uint32_t maxEntries = 1u << info.Bpp;
    if (colorsUsed > maxEntries) Invalid("palette size");
    tableEntries = colorsUsed ? colorsUsed : maxEntries;
  } else {
    if (colorsUsed > 256) Invalid("palette size");
    tableEntries = colorsUsed;  // an optional table that 24 and 32-bit images do not use
  }
  if (tableStart > r.Size()) Invalid("truncated");
  size_t tableEnd = tableStart + tableEntries * paletteEntrySize;
  size_t bits = dataOffset ? dataOffset : tableEnd;
  if (bits < tableStart) Invalid("pixel data overlaps the headers");
  if (info.Bpp <= 8) {
    size_t usable = std::min(tableEntries, (bits - tableStart) / paletteEntrySize);
    const uint8_t* table = r.At(tableStart, usable * paletteEntrySize);
    for (size_t i = 0; i < usable; ++i) std::memcpy(&info.Palette[i * 3], table + i * paletteEntrySize, 3);
  }

  size_t stride = PixelRowStride(info.Width, info.Bpp);
  size_t lastRow = (size_t(info.Width) * size_t(info.Bpp) + 7) / 8;  // its padding may be missing
  const uint8_t* src = r.At(bits, stride * size_t(info.Height - 1) + lastRow);

  TPixelImage out(info.Width, info.Height, info.Bpp == 32 ? 32 : 24);
  const TChannel red(info.Masks[0]), green(info.Masks[1]), blue(info.Masks[2]), alpha(info.Masks[3]);
  for (int i = 0; i < info.Height; ++i) {
    const uint8_t* s = src + size_t(i) * stride;
    uint8_t* d = out.Row(info.TopDown ? i : info.Height - 1 - i);
    switch (info.Bpp) {
      case 1: case 4: case 8: {
        int perByte = 8 / info.Bpp;
        unsigned mask = (1u << info.Bpp) - 1;
        for (int x = 0; x < info.Width; ++x) {
          unsigned shift = unsigned(8 - info.Bpp * (x % perByte + 1));
          unsigned index = (s[x / perByte] >> shift) & mask;
          std::memcpy(d + size_t(x) * 3, &info.Palette[index * 3], 3);
        }
        break;
      }
      case 24:
        std::memcpy(d, s, size_t(info.Width) * 3);
        break;
      case 32:
        if (info.Compression == kBiRgb) {
          std::memcpy(d, s, size_t(info.Width) * 4);
        } else {
          for (int x = 0; x < info.Width; ++x) {
            const uint8_t* p = s + size_t(x) * 4;
            uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            uint8_t* q = d + size_t(x) * 4;
            q[0] = blue.Extract(v);
            q[1] = green.Extract(v);
            q[2] = red.Extract(v);
            q[3] = alpha.Extract(v);
          }
        }
        break;
    }
  }
  return out;
}

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

}  // namespace

TPixelImage DecodeBmpFile(const uint8_t* data, size_t size) {
  TReader r(data, size);
  if (size < kFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M') Invalid("not a BMP file");
  uint32_t offBits = r.U32(10);
  if (offBits != 0 && offBits < kFileHeaderSize + 12) Invalid("pixel data offset");
  return DecodeDib(r, kFileHeaderSize, offBits);
}

TPixelImage DecodePackedDib(const uint8_t* data, size_t size) {
  TReader r(data, size);
  return DecodeDib(r, 0, 0);
}

std::vector<uint8_t> EncodeBmpFile(const TPixelView& image) {
  if (image.Empty()) return {};
  int bpp = image.BitsPerPixel;
  if (bpp != 1 && bpp != 24 && bpp != 32) throw EInvalidGraphicOperation("Unsupported pixel format");
  size_t stride = PixelRowStride(image.Width, bpp);
  size_t paletteSize = bpp == 1 ? 8 : 0;
  size_t offBits = kFileHeaderSize + 40 + paletteSize;
  size_t imageSize = stride * size_t(image.Height);
  std::vector<uint8_t> out(offBits + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, uint32_t(out.size()));
  Put32(out, 10, uint32_t(offBits));
  Put32(out, 14, 40);
  Put32(out, 18, uint32_t(image.Width));
  Put32(out, 22, uint32_t(image.Height));
  Put16(out, 26, 1);
  Put16(out, 28, uint32_t(bpp));
  Put32(out, 34, uint32_t(imageSize));
  if (bpp == 1) {
    Put32(out, 46, 2);
    Put32(out, 58, 0x00FFFFFF);  // entry 1 is white; entry 0 stays black
  }
  size_t rowBytes = std::min(stride, image.Stride);
  for (int y = 0; y < image.Height; ++y)
    std::memcpy(&out[offBits + size_t(image.Height - 1 - y) * stride], image.Row(y), rowBytes);
  return out;
}
