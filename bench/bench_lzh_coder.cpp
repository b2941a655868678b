// Pack and unpack throughput of the LZHUF coder over a fixed mixed corpus (INI-like text,
// BMP-like pixel rows, random bytes), through the same stream steps that skin files use.
// Prints one line for packing and one for unpacking, in MB/s of uncompressed data.
#include <chrono>
#include <cstdio>
#include <string>

#include "skin/data/lzh_coder.h"

namespace {

std::string Corpus() {
  std::string s;
  uint32_t x = 2463534242u;
  auto next = [&] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  // Text: the kind of INI a skin carries.
  static const char* keys[] = {"Map", "Frame", "Trans", "Tile", "Margins", "Color", "Font", "Style"};
  for (int section = 0; s.size() < 1000000; section++) {
    s += "[Element" + std::to_string(section) + "]\r\n";
    for (int k = 0; k < 8; k++)
      s += std::string(keys[k]) + "=" + std::to_string(next() % 1000) + (k == 0 ? ".bmp" : "") + "\r\n";
  }
  // BMP-like: 24-bit rows of gradients, flat areas and a little noise.
  for (int y = 0; y < 700; y++)
    for (int px = 0; px < 700; px++) {
      const bool flat = (px / 64 + y / 64) % 3 == 0;
      const uint32_t noise = next() % 4;
      s += char(flat ? 0xF0 : (px + noise) & 0xFF);
      s += char(flat ? 0x80 : (y * 2) & 0xFF);
      s += char(flat ? 0x40 : (px + y) & 0xFF);
    }
  // Random: already compressed data.
  for (int i = 0; i < 500000; i++) s += char(next() >> 24);
  return s;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  const std::string corpus = Corpus();
  TMemoryStream raw, packed, unpacked;
  raw.Assign(corpus);
  const double mb = double(corpus.size()) / 1e6;
  const int rounds = 3;

  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; i++) {
    packed.Clear();
    LZHCompressImage(raw, packed);
  }
  const double pack = Seconds(std::chrono::steady_clock::now() - t0) / rounds;

  t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; i++) {
    unpacked.Clear();
    LZHDecompressImage(packed, unpacked);
  }
  const double unpack = Seconds(std::chrono::steady_clock::now() - t0) / rounds;

  if (unpacked.AsString() != corpus) {
    std::printf("lzh round trip FAILED\n");
    return 1;
  }
  std::printf("lzh pack:   %7.2f MB/s (%.2f MB -> %.2f MB)\n", mb / pack, mb, double(packed.Size()) / 1e6);
  std::printf("lzh unpack: %7.2f MB/s\n", mb / unpack);
  return 0;
}
