#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "classlib/graphics/bmp_codec.h"
#include "classlib/graphics/graphic_types.h"
#include "tests/classlib/graphics/bmp_builder.h"

namespace {

// Six distinct colours for a 3x2 image: three columns make every depth pad its rows.
const uint32_t kColors[6] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0xFF00FF};

// The expected image, rows from the top: colour index (x + 3y) for depths with six or more
// entries, (x + y) mod 2 for one bit.
uint32_t Expected(int bpp, int x, int y) { return bpp == 1 ? kColors[(x + y) % 2] : kColors[x + 3 * y]; }

TBmpLayout Fixture(int bpp, bool topDown, int headerSize = 40) {
  TBmpLayout s;
  s.HeaderSize = headerSize;
  s.Width = 3;
  s.Height = topDown ? -2 : 2;
  s.Bpp = bpp;
  for (int y = 0; y < 2; ++y) {
    std::vector<uint32_t> row;
    for (int x = 0; x < 3; ++x) {
      if (bpp <= 8)
        row.push_back(bpp == 1 ? uint32_t((x + y) % 2) : uint32_t(x + 3 * y));
      else if (bpp == 24)
        row.push_back(kColors[x + 3 * y]);
      else  // 32 bits as blue, green, red, alpha in memory: the value 0xAARRGGBB
        row.push_back(0x7F000000u | (kColors[x + 3 * y] & 0xFF) << 16 | (kColors[x + 3 * y] & 0xFF00) |
                      (kColors[x + 3 * y] >> 16 & 0xFF));
    }
    s.Rows.push_back(row);
  }
  if (bpp <= 8) {
    int n = 1 << bpp;
    for (int i = 0; i < n; ++i) s.Palette.push_back(i < 6 ? kColors[i] : 0x123456);
  }
  return s;
}

void ExpectFixture(const TPixelImage& img, int bpp) {
  ASSERT_EQ(img.Width(), 3);
  ASSERT_EQ(img.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(img.PixelRGB(x, y), Expected(bpp, x, y)) << "pixel " << x << "," << y;
}

TPixelImage Decode(const std::vector<uint8_t>& b) { return DecodeBmpFile(b.data(), b.size()); }

struct TDepthCase {
  int Bpp;
  bool TopDown;
  int HeaderSize;
  int OutBpp;
};

TEST(BmpDecode, EveryDepthAndRowOrder) {
  const TDepthCase cases[] = {
      {1, false, 40, 24}, {1, true, 40, 24},   {4, false, 40, 24},  {4, true, 40, 24},
      {8, false, 40, 24}, {8, true, 40, 24},   {24, false, 40, 24}, {24, true, 40, 24},
      {32, false, 40, 32}, {32, true, 40, 32}, {8, false, 12, 24},  {24, false, 12, 24},
      {24, true, 124, 24}, {8, false, 108, 24},
  };
  for (const TDepthCase& c : cases) {
    SCOPED_TRACE("bpp " + std::to_string(c.Bpp) + (c.TopDown ? " top-down" : " bottom-up") + " header " +
                 std::to_string(c.HeaderSize));
    TPixelImage img = Decode(BuildBmp(Fixture(c.Bpp, c.TopDown && c.HeaderSize != 12, c.HeaderSize)));
    EXPECT_EQ(img.BitsPerPixel(), c.OutBpp);
    ExpectFixture(img, c.Bpp);
  }
}

TEST(BmpDecode, ThirtyTwoBitsKeepAlphaAndBitFieldsAreDecodedByTheirMasks) {
  TPixelImage plain = Decode(BuildBmp(Fixture(32, false)));
  EXPECT_EQ(plain.Row(0)[3], 0x7F);

  // 10 bits per channel in the order red, green, blue from the top; alpha mask absent.
  TBmpLayout s;
  s.Width = 2;
  s.Height = 1;
  s.Bpp = 32;
  s.Compression = 3;
  s.Masks[0] = 0x3FF00000;
  s.Masks[1] = 0x000FFC00;
  s.Masks[2] = 0x000003FF;
  s.Rows = {{0x3FF00000u | 0x3FF, 0x000FFC00u}};
  TPixelImage bf = Decode(BuildBmp(s));
  ASSERT_EQ(bf.BitsPerPixel(), 32);
  EXPECT_EQ(bf.PixelRGB(0, 0), 0xFF00FFu);
  EXPECT_EQ(bf.PixelRGB(1, 0), 0x00FF00u);

  // A V4 header carries the masks itself, alpha included.
  s.HeaderSize = 108;
  s.Masks[0] = 0x00FF0000;
  s.Masks[1] = 0x0000FF00;
  s.Masks[2] = 0x000000FF;
  s.Masks[3] = 0xFF000000;
  s.Rows = {{0x80112233u, 0x00FFFFFFu}};
  TPixelImage v4 = Decode(BuildBmp(s));
  EXPECT_EQ(v4.PixelRGB(0, 0), 0x332211u);
  EXPECT_EQ(v4.Row(0)[3], 0x80);
}

TEST(BmpDecode, AMaskWithHolesStaysInRange) {
  // Red's mask has a hole (bits 0 and 2): its largest value, 5, reads as full red, not as 5/3
  // of it wrapped round a byte.
  TBmpLayout s;
  s.Width = 3;
  s.Height = 1;
  s.Bpp = 32;
  s.Compression = 3;
  s.Masks[0] = 0x00000005;
  s.Masks[1] = 0x0000FF00;
  s.Masks[2] = 0x00FF0000;
  s.Rows = {{0x00000005u, 0x00000001u, 0x00000004u}};
  TPixelImage img = Decode(BuildBmp(s));
  EXPECT_EQ(img.PixelRGB(0, 0), 0x0000FFu);
  EXPECT_EQ(img.PixelRGB(1, 0), 0x000055u);  // 1 of 3
  EXPECT_EQ(img.PixelRGB(2, 0), 0x0000FFu);
}

TEST(BmpDecode, ColourTableAndOffsetVariants) {
  // A short table (ColorsUsed 6) and an index past it, which reads black.
  TBmpLayout s = Fixture(8, false);
  s.Palette.resize(6);
  s.ColorsUsed = 6;
  s.Rows[1][2] = 200;
  TPixelImage img = Decode(BuildBmp(s));
  EXPECT_EQ(img.PixelRGB(0, 0), kColors[0]);
  EXPECT_EQ(img.PixelRGB(2, 1), 0u);

  // Pixel rows placed after a gap, as the offset field says.
  TBmpLayout gap = Fixture(4, true);
  gap.GapBeforePixels = 7;
  ExpectFixture(Decode(BuildBmp(gap)), 4);

  // Offset 0: the rows follow the table.
  std::vector<uint8_t> b = BuildBmp(Fixture(24, false));
  PutLE(b, 10, 0, 4);
  ExpectFixture(Decode(b), 24);

  // The last row may lack its padding.
  b = BuildBmp(Fixture(24, false));
  b.resize(b.size() - 3);
  ExpectFixture(Decode(b), 24);

  // An offset that cuts the table short: the entries before it count, the rest are black.
  b = BuildBmp(Fixture(8, true));
  const size_t tableStart = 14 + 40;
  std::vector<uint8_t> cut(b.begin(), b.begin() + tableStart + 4 * 4);  // four entries
  cut.insert(cut.end(), b.begin() + tableStart + 256 * 4, b.end());
  PutLE(cut, 10, uint32_t(tableStart + 16), 4);
  TPixelImage c = Decode(cut);
  EXPECT_EQ(c.PixelRGB(0, 0), kColors[0]);
  EXPECT_EQ(c.PixelRGB(1, 1), 0u);  // index 4 lies past the table
}

TEST(BmpDecode, PackedDibIsAFileWithoutItsHeader) {
  std::vector<uint8_t> b = BuildBmp(Fixture(4, false));
  TPixelImage img = DecodePackedDib(b.data() + 14, b.size() - 14);
  ExpectFixture(img, 4);
}

struct THostileCase {
  const char* Name;
  std::function<void(std::vector<uint8_t>&)> Mutate;
  const char* Why;  // the reason the message gives: each check is seen to be the one that fired
};

TEST(BmpDecode, HostileHeadersRaiseInvalidGraphic) {
  auto set32 = [](size_t at, uint32_t v) { return [=](std::vector<uint8_t>& b) { PutLE(b, at, v, 4); }; };
  auto set16 = [](size_t at, uint32_t v) { return [=](std::vector<uint8_t>& b) { PutLE(b, at, v, 2); }; };
  const THostileCase cases[] = {
      {"empty", [](std::vector<uint8_t>& b) { b.clear(); }, "not a BMP file"},
      {"only the file header", [](std::vector<uint8_t>& b) { b.resize(14); }, "not a BMP file"},
      {"wrong magic", [](std::vector<uint8_t>& b) { b[1] = 'A'; }, "not a BMP file"},
      {"header size 0", set32(14, 0), "unknown header size"},
      {"header size 13", set32(14, 13), "unknown header size"},
      {"header size huge", set32(14, 0x7FFFFFF0), "unknown header size"},
      {"header longer than the file", [](std::vector<uint8_t>& b) { PutLE(b, 14, 124, 4); b.resize(60); }, "truncated"},
      {"width 0", set32(18, 0), "empty or negative size"},
      {"negative width", set32(18, uint32_t(-3)), "empty or negative size"},
      {"height 0", set32(22, 0), "empty or negative size"},
      {"height INT_MIN", set32(22, 0x80000000u), "height"},
      {"width past the limit", set32(18, 40000), "too large"},
      {"too many pixels", [](std::vector<uint8_t>& b) { PutLE(b, 18, 30000, 4); PutLE(b, 22, 30000, 4); }, "too large"},
      {"two planes", set16(26, 2), "plane count"},
      {"16 bits", set16(28, 16), "unsupported bit depth"},
      {"0 bits", set16(28, 0), "unsupported bit depth"},
      {"7 bits", set16(28, 7), "unsupported bit depth"},
      {"run-length compression", set32(30, 1), "unsupported compression"},
      {"bit fields on 8 bits", set32(30, 3), "bit fields need 32 bits per pixel"},
      {"unknown compression", set32(30, 0x30303030), "unsupported compression"},
      {"table larger than the depth allows", set32(46, 257), "palette size"},
      {"offset past the end", set32(10, 0x7FFFFFFF), "truncated"},
      {"offset at the end of the 32-bit range", set32(10, 0xFFFFFFFF), "truncated"},
      {"offset inside the info header", set32(10, 20), "pixel data offset"},
      {"pixel rows truncated", [](std::vector<uint8_t>& b) { b.resize(b.size() - 5); }, "truncated"},
      {"height larger than the data", set32(22, 1000), "truncated"},
      {"top-down height larger than the data", set32(22, uint32_t(-1000)), "truncated"},
      // Rows that start inside the headers would decode the headers as pixels.
      {"offset past the file header but inside the info header", set32(10, 40), "pixel data overlaps the headers"},
      {"offset just before the table", set32(10, 14 + 40 - 1), "pixel data overlaps the headers"},
      // Where size_t has 32 bits, 2^27 pixels of 32 bits make a row of 2^32 bytes, which wraps
      // to nothing and slips past the truncation check: only the size limit stops the read.
      {"row size that wraps 32 bits", [](std::vector<uint8_t>& b) { PutLE(b, 18, 1u << 27, 4); PutLE(b, 22, 1, 4); PutLE(b, 28, 32, 2); }, "too large"},
      {"pixels just past the limit", [](std::vector<uint8_t>& b) { PutLE(b, 18, 32767, 4); PutLE(b, 22, 1025, 4); }, "too large"},
  };
  const std::vector<uint8_t> valid = BuildBmp(Fixture(8, false));
  ASSERT_NO_THROW(Decode(valid));
  for (const THostileCase& c : cases) {
    std::vector<uint8_t> b = valid;
    c.Mutate(b);
    try {
      Decode(b);
      ADD_FAILURE() << c.Name << ": accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), std::string("Bitmap image is not valid: ") + c.Why) << c.Name;
    }
  }

  // The same for a 4-bit table and a core header whose rows are missing.
  std::vector<uint8_t> four = BuildBmp(Fixture(4, false));
  PutLE(four, 46, 17, 4);
  EXPECT_THROW(Decode(four), EInvalidGraphic);
  std::vector<uint8_t> core = BuildBmp(Fixture(24, false, 12));
  core.resize(14 + 12 + 4);
  EXPECT_THROW(Decode(core), EInvalidGraphic);
  // A packed DIB shorter than its header size field.
  const uint8_t tiny[] = {40, 0, 0};
  EXPECT_THROW(DecodePackedDib(tiny, sizeof tiny), EInvalidGraphic);
}

TEST(BmpEncode, RoundTripsEveryStoredDepthAndWidth) {
  for (int bpp : {1, 24, 32}) {
    for (int w = 1; w <= 4; ++w) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + " width " + std::to_string(w));
      TPixelImage img(w, 3, bpp);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) img.SetPixelRGB(x, y, (x + y) % 2 ? 0xFFFFFFu : uint32_t(x * 40 + y));
      std::vector<uint8_t> file = EncodeBmpFile(img.View());
      ASSERT_GE(file.size(), 54u);
      EXPECT_EQ(file[0], 'B');
      uint32_t size = uint32_t(file[2] | file[3] << 8 | file[4] << 16 | file[5] << 24);
      EXPECT_EQ(size, file.size());
      EXPECT_EQ(file[22], 3);  // positive height: bottom-up rows
      TPixelImage back = Decode(file);
      ASSERT_EQ(back.Width(), w);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(back.PixelRGB(x, y), img.PixelRGB(x, y));
    }
  }
  TPixelImage empty;
  EXPECT_TRUE(EncodeBmpFile(empty.View()).empty());
}

TEST(PixelConversion, BetweenOneTwentyFourAndThirtyTwoBits) {
  TPixelImage img(2, 1, 24);
  img.SetPixelRGB(0, 0, 0x102030);
  img.SetPixelRGB(1, 0, 0xE0E0F0);
  TPixelImage wide = ConvertPixels(img.View(), 32);
  EXPECT_EQ(wide.PixelRGB(0, 0), 0x102030u);
  EXPECT_EQ(wide.Row(0)[3], 0);
  TPixelImage mono = ConvertPixels(wide.View(), 1);
  EXPECT_EQ(mono.PixelRGB(0, 0), 0u);
  EXPECT_EQ(mono.PixelRGB(1, 0), 0xFFFFFFu);
  EXPECT_EQ(ConvertPixels(mono.View(), 24).PixelRGB(1, 0), 0xFFFFFFu);
}

}  // namespace
