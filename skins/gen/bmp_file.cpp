// 24-bit BMP files of the skin generator.
#include "skins/gen/bmp_file.h"

#include <fstream>
#include <stdexcept>

namespace {

void Put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

}  // namespace

std::string EncodeBmp(const Bitmap& b) {
  if (b.w <= 0 || b.h <= 0) throw std::logic_error("empty picture");
  const uint32_t stride = (uint32_t(b.w) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * uint32_t(b.h);
  std::string s;
  s.reserve(54 + dataSize);
  s += "BM";
  Put32(s, 54 + dataSize);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, uint32_t(b.w));
  Put32(s, uint32_t(b.h));
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);  // BI_RGB
  Put32(s, dataSize);
  Put32(s, 2835);  // 72 dpi
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = b.h - 1; y >= 0; --y) {
    for (int x = 0; x < b.w; ++x) {
      Rgb c = b.at(x, y);
      s += char(c.b);
      s += char(c.g);
      s += char(c.r);
    }
    s.append(stride - uint32_t(b.w) * 3, '\0');
  }
  return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot write " + path);
  f.write(bytes.data(), std::streamsize(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}
