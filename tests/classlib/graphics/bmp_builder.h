// Builds BMP files for the tests: any header size, depth, row order and colour table, with the
// pixel rows given from the top. Fields can be overridden afterwards to make hostile files.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

struct TBmpLayout {
  int HeaderSize = 40;
  int32_t Width = 0;
  int32_t Height = 0;  // negative: top-down
  int Bpp = 24;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
  std::vector<uint32_t> Palette;  // RGB values (red in the low byte)
  uint32_t Masks[4] = {0, 0, 0, 0};
  size_t GapBeforePixels = 0;  // extra bytes between the table and the rows
  // Rows from the top: palette indices for 1..8 bits, RGB values for 24, raw 32-bit values for 32.
  std::vector<std::vector<uint32_t>> Rows;
};

inline void PutLE(std::vector<uint8_t>& v, size_t at, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

inline std::vector<uint8_t> BuildBmp(const TBmpLayout& s) {
  const bool core = s.HeaderSize == 12;
  const size_t entry = core ? 3 : 4;
  const bool shortMasks = s.Compression == 3 && s.HeaderSize == 40;
  const size_t tableStart = 14 + size_t(s.HeaderSize) + (shortMasks ? 12 : 0);
  const size_t offBits = tableStart + s.Palette.size() * entry + s.GapBeforePixels;
  const int rows = int(s.Rows.size());
  const size_t stride = (size_t(s.Width) * size_t(s.Bpp) + 31) / 32 * 4;
  std::vector<uint8_t> v(offBits + stride * size_t(rows), 0);
  v[0] = 'B';
  v[1] = 'M';
  PutLE(v, 2, uint32_t(v.size()), 4);
  PutLE(v, 10, uint32_t(offBits), 4);
  PutLE(v, 14, uint32_t(s.HeaderSize), 4);
  if (core) {
    PutLE(v, 18, uint32_t(s.Width), 2);
    PutLE(v, 20, uint32_t(s.Height), 2);
    PutLE(v, 22, 1, 2);
    PutLE(v, 24, uint32_t(s.Bpp), 2);
  } else {
    PutLE(v, 18, uint32_t(s.Width), 4);
    PutLE(v, 22, uint32_t(s.Height), 4);
    PutLE(v, 26, 1, 2);
    PutLE(v, 28, uint32_t(s.Bpp), 2);
    PutLE(v, 30, s.Compression, 4);
    PutLE(v, 46, s.ColorsUsed, 4);
    if (s.Compression == 3) {
      size_t m = 14 + 40;
      for (int i = 0; i < 3; ++i) PutLE(v, m + size_t(i) * 4, s.Masks[i], 4);
      if (s.HeaderSize >= 56) PutLE(v, m + 12, s.Masks[3], 4);
    }
  }
  for (size_t i = 0; i < s.Palette.size(); ++i) {
    uint32_t c = s.Palette[i];
    size_t at = tableStart + i * entry;
    v[at] = uint8_t(c >> 16);
    v[at + 1] = uint8_t(c >> 8);
    v[at + 2] = uint8_t(c);
  }
  const bool topDown = s.Height < 0;
  for (int r = 0; r < rows; ++r) {
    uint8_t* d = &v[offBits + size_t(topDown ? r : rows - 1 - r) * stride];
    const std::vector<uint32_t>& row = s.Rows[size_t(r)];
    for (size_t x = 0; x < row.size(); ++x) {
      uint32_t p = row[x];
      switch (s.Bpp) {
        case 1: case 4: case 8: {
          size_t bit = x * size_t(s.Bpp);
          d[bit / 8] |= uint8_t(p << (8 - s.Bpp - bit % 8));
          break;
        }
        case 24:
          d[x * 3] = uint8_t(p >> 16);
          d[x * 3 + 1] = uint8_t(p >> 8);
          d[x * 3 + 2] = uint8_t(p);
          break;
        case 32:
          PutLE(v, size_t(d - v.data()) + x * 4, p, 4);
          break;
      }
    }
  }
  return v;
}
