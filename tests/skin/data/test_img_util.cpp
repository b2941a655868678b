#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "skin/data/img_util.h"
#ifdef _WIN32
#include "classlib/graphics/bitmap.h"
#include "tests/classlib/graphics/pixel_probe.h"
#endif

namespace {

// A distinct colour per pixel, so that a pixel names where it came from.
uint32_t Tag(int x, int y) { return uint32_t(0x10 + x) | uint32_t(0x20 + y) << 8 | uint32_t(0x30 + x * 5 + y) << 16; }

constexpr uint8_t kPad = 0xAB;

// An asymmetric w x 3 image, its row padding filled with a marker that no transform may touch.
TPixelImage Fixture(int w, int h = 3) {
  TPixelImage img(w, h, 24);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img.SetPixelRGB(x, y, Tag(x, y));
    for (size_t i = size_t(w) * 3; i < img.Stride(); ++i) img.Row(y)[i] = kPad;
  }
  return img;
}

void ExpectPaddingKept(const TPixelImage& img) {
  for (int y = 0; y < img.Height(); ++y)
    for (size_t i = size_t(img.Width()) * 3; i < img.Stride(); ++i) EXPECT_EQ(img.Row(y)[i], kPad) << "row " << y;
}

struct TTransformCase {
  const char* Name;
  bool SwapsSides;
  // Where the pixel now at (x, y) came from, for an original of w x h.
  std::function<std::pair<int, int>(int x, int y, int w, int h)> Source;
  // The transform in its pixel form: in place, or into a new image.
  std::function<TPixelImage(TPixelImage&)> Apply;
#ifdef _WIN32
  std::function<void(TBitmap*)> ApplyBitmap;
#endif
};

const std::vector<TTransformCase>& Transforms() {
  static const std::vector<TTransformCase> cases = {
      {"mirror left-right", false, [](int x, int y, int w, int) { return std::pair{w - 1 - x, y}; },
       [](TPixelImage& i) { MirrorHorizontalPixels(i.View()); return std::move(i); },
#ifdef _WIN32
       SpiegelnHorizontal
#endif
      },
      {"mirror top-bottom", false, [](int x, int y, int, int h) { return std::pair{x, h - 1 - y}; },
       [](TPixelImage& i) { MirrorVerticalPixels(i.View()); return std::move(i); },
#ifdef _WIN32
       SpiegelnVertikal
#endif
      },
      {"180 degrees", false, [](int x, int y, int w, int h) { return std::pair{w - 1 - x, h - 1 - y}; },
       [](TPixelImage& i) { Rotate180Pixels(i.View()); return std::move(i); },
#ifdef _WIN32
       Drehen180Grad
#endif
      },
      // Clockwise: the new top row is the old left column read from the bottom.
      {"90 degrees clockwise", true, [](int x, int y, int, int h) { return std::pair{y, h - 1 - x}; },
       [](TPixelImage& i) { return RotateClockwisePixels(i.View()); },
#ifdef _WIN32
       Drehen90Grad
#endif
      },
      // Counter-clockwise: the new top row is the old right column read from the top.
      {"270 degrees clockwise", true, [](int x, int y, int w, int) { return std::pair{w - 1 - y, x}; },
       [](TPixelImage& i) { return RotateCounterClockwisePixels(i.View()); },
#ifdef _WIN32
       Drehen270Grad
#endif
      },
  };
  return cases;
}

TEST(PixelTransforms, EveryTransformOnEveryRowPadding) {
  for (const TTransformCase& c : Transforms()) {
    for (int w = 1; w <= 4; ++w) {
      SCOPED_TRACE(std::string(c.Name) + ", width " + std::to_string(w));
      const int h = 3;
      TPixelImage img = Fixture(w, h);
      TPixelImage out = c.Apply(img);
      ASSERT_EQ(out.Width(), c.SwapsSides ? h : w);
      ASSERT_EQ(out.Height(), c.SwapsSides ? w : h);
      for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
          auto [sx, sy] = c.Source(x, y, w, h);
          EXPECT_EQ(out.PixelRGB(x, y), Tag(sx, sy)) << "at " << x << "," << y;
        }
      if (!c.SwapsSides) ExpectPaddingKept(out);
    }
  }
}

TEST(PixelTransforms, ViewsThatAreNot24BitAreLeftAlone) {
  TPixelImage img(3, 2, 32);
  img.SetPixelRGB(0, 0, 0xFF00FF);
  img.SetPixelRGB(2, 1, 0x123456);
  TPixelImage before = img;
  GrayscalePixels(img.View());
  ReplaceMagentaPixels(img.View(), 0);
  MirrorHorizontalPixels(img.View());
  MirrorVerticalPixels(img.View());
  Rotate180Pixels(img.View());
  EXPECT_EQ(std::vector<uint8_t>(img.Data(), img.Data() + img.Size()),
            std::vector<uint8_t>(before.Data(), before.Data() + before.Size()));
  EXPECT_TRUE(RotateClockwisePixels(img.View()).Empty());
  EXPECT_TRUE(RotateCounterClockwisePixels(img.View()).Empty());
}

TEST(PixelTransforms, GreyIsTheTruncatedMeanOfTheChannels) {
  TPixelImage img(3, 1, 24);
  img.SetPixelRGB(0, 0, 0xFEFFFF);  // 764 / 3
  img.SetPixelRGB(1, 0, 0x000003);
  img.SetPixelRGB(2, 0, 0x0A141E);
  GrayscalePixels(img.View());
  EXPECT_EQ(img.PixelRGB(0, 0), 0xFEFEFEu);
  EXPECT_EQ(img.PixelRGB(1, 0), 0x010101u);
  EXPECT_EQ(img.PixelRGB(2, 0), 0x141414u);
}

TEST(PixelTransforms, OnlyPureMagentaIsReplacedAndTheColourIsTakenAsGiven) {
  const uint32_t inputs[] = {0xFF00FF, 0xFE00FF, 0xFF01FF, 0xFF00FE, 0x000000};
  TPixelImage img(5, 1, 24);
  for (int x = 0; x < 5; ++x) img.SetPixelRGB(x, 0, inputs[x]);
  ReplaceMagentaPixels(img.View(), clBtnFace);  // not resolved: its bytes 0x0F, 0, 0
  EXPECT_EQ(img.PixelRGB(0, 0), 0x00000Fu);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(img.PixelRGB(x, 0), inputs[x]);
}

TEST(Blend, TableOfWeights) {
  struct TCase {
    TColor C1, C2;
    int W;
    TColor Expected;
  };
  const TCase cases[] = {
      {clWhite, clBlack, 50, 0x808080},  // 128 in each channel
      {clRed, clBlue, 0, clBlue},
      {clRed, clBlue, 99, 0x0300FC},     // 99 percent of red
      {clRed, clBlue, 100, 0xE6001A},    // the scale becomes 1000: only 10 percent
      {clRed, clBlue, 1000, clRed},
      {clRed, clBlue, -40, clBlue},      // weights are clamped to 0..1000
      {clRed, clBlue, 5000, clRed},
      {0x102030, 0x302010, 500, 0x202020},
  };
  for (const TCase& c : cases) EXPECT_EQ(BlendRGB(c.C1, c.C2, c.W), c.Expected) << "W " << c.W;
}

TEST(GetHSV, SaturationDarkColoursAndRoundingTies) {
  struct TCase {
    TColor C;
    int Expected;
  };
  const TCase cases[] = {
      {clBlack, 200}, {0x9F9664, 200},  // every channel below 160
      {clWhite, 0},   {0xC8C8C8, 0},   {clRed, 255}, {0x00A0FF, 255},
      {0xA9A9AA, 2},  // 255 / 170 = 1.5: the even neighbour 2
      {0xA7A7AA, 4},  // 765 / 170 = 4.5: the even neighbour 4
      {0x0000A0, 255},
  };
  for (const TCase& c : cases) EXPECT_EQ(GetHSV(c.C), c.Expected) << std::hex << c.C;
}

TEST(Gradient, RisingAndFallingColours) {
  std::vector<uint32_t> one = GradientColors(1, clBlack, clWhite);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], 0x7F7F7Fu);
  EXPECT_EQ(GradientColors(1, clWhite, clBlack)[0], 0x808080u);  // 255 + (-255 / 2), toward zero

  std::vector<uint32_t> up = GradientColors(256, clBlack, clWhite);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(up[size_t(i)], uint32_t(i) * 0x010101u) << i;
  std::vector<uint32_t> down = GradientColors(256, clWhite, clBlack);
  EXPECT_EQ(down[0], 0xFFFFFFu);
  EXPECT_EQ(down[1], 0xFFFFFFu);
  EXPECT_EQ(down[2], 0xFEFEFEu);
  EXPECT_EQ(down[255], 0x010101u);  // truncation leaves the last line one short of black
  EXPECT_TRUE(GradientColors(0, clBlack, clWhite).empty());
}

TEST(Gradient, CacheIsKeyedOnLengthAndBothColours) {
  TGradientCache cache;
  cache.Get(256, clWhite, clBlack);
  cache.Get(256, clWhite, clBlack);
  EXPECT_EQ(cache.Fills(), 1);
  // The falling array above ends in 0x010101; a gradient to that colour is a different one.
  const std::vector<uint32_t>& other = cache.Get(256, clWhite, 0x010101);
  EXPECT_EQ(cache.Fills(), 2);
  EXPECT_EQ(other, GradientColors(256, clWhite, 0x010101));
  cache.Get(255, clWhite, clBlack);
  EXPECT_EQ(cache.Fills(), 3);
  // Sixteen slots: after sixteen other gradients the first one is computed again.
  for (int i = 0; i < TGradientCache::kSlots; ++i) cache.Get(10 + i, clRed, clBlue);
  cache.Get(256, clWhite, clBlack);
  EXPECT_EQ(cache.Fills(), 3 + TGradientCache::kSlots + 1);
}

#ifdef _WIN32

void FixtureBitmap(TBitmap& bmp, int w, int h, TPixelFormat pf) {
  FillBitmap(bmp, w, h, pf, [](int x, int y) { return Tag(x, y); });
}

TEST(ImgUtilBitmaps, EveryTransformConvertsTo24BitsAndMovesThePixels) {
  for (const TTransformCase& c : Transforms()) {
    for (TPixelFormat pf : {pf24bit, pf32bit, pfDevice}) {
      for (int w = 1; w <= 4; ++w) {
        SCOPED_TRACE(std::string(c.Name) + ", width " + std::to_string(w) + ", format " + std::to_string(pf));
        TBitmap bmp;
        FixtureBitmap(bmp, w, 3, pf);
        c.ApplyBitmap(&bmp);
        EXPECT_EQ(bmp.PixelFormat(), pf24bit);
        ASSERT_EQ(bmp.Width(), c.SwapsSides ? 3 : w);
        for (int y = 0; y < bmp.Height(); ++y)
          for (int x = 0; x < bmp.Width(); ++x) {
            auto [sx, sy] = c.Source(x, y, w, 3);
            EXPECT_EQ(PixelOf(bmp, x, y), Tag(sx, sy));
          }
      }
    }
    c.ApplyBitmap(nullptr);
    TBitmap empty;
    c.ApplyBitmap(&empty);
    EXPECT_TRUE(empty.Empty());
  }
}

TEST(ImgUtilBitmaps, GreyAndMagentaConvertAFormatThatIsNot24Bits) {
  TBitmap bmp;
  FillBitmap(bmp, 2, 1, pf32bit, [](int x, int) { return x ? 0xFF00FFu : 0x0A141Eu; });
  ChangeTrans(&bmp, clLime);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  EXPECT_EQ(PixelOf(bmp, 1, 0), 0x00FF00u);
  ConvertBitmapToGrayscale(&bmp);
  EXPECT_EQ(PixelOf(bmp, 0, 0), 0x141414u);
  EXPECT_EQ(PixelOf(bmp, 1, 0), 0x555555u);
}

TEST(ImgUtilBitmaps, Rotate90MakesACounterClockwiseCopyOnlyOf24BitBitmaps) {
  TBitmap src;
  FixtureBitmap(src, 4, 3, pf24bit);
  std::unique_ptr<TBitmap> r = Rotate90(&src);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->PixelFormat(), pf24bit);
  ASSERT_EQ(r->Width(), 3);
  ASSERT_EQ(r->Height(), 4);
  EXPECT_EQ(PixelOf(*r, 0, 0), Tag(3, 0));  // (x, y) went to (y, width - 1 - x)
  EXPECT_EQ(PixelOf(*r, 2, 3), Tag(0, 2));
  EXPECT_EQ(src.Width(), 4);
  EXPECT_EQ(PixelOf(src, 0, 0), Tag(0, 0));

  TBitmap wide;
  FixtureBitmap(wide, 4, 3, pf32bit);
  EXPECT_EQ(Rotate90(&wide), nullptr);
  EXPECT_EQ(wide.PixelFormat(), pf32bit);
  EXPECT_EQ(PixelOf(wide, 3, 0), Tag(3, 0));
  EXPECT_EQ(Rotate90(nullptr), nullptr);
}

TEST(ImgUtilBitmaps, BlendResolvesSystemColours) {
  EXPECT_EQ(Blend(clBtnFace, clWhite, 50), BlendRGB(TColor(GetSysColor(COLOR_BTNFACE)), clWhite, 50));
  EXPECT_EQ(Blend(clWhite, clBlack, 50), 0x808080);
}

class GradFillTest : public ::testing::Test {
protected:
  void SetUp() override { FillBitmap(bmp_, 256, 4, pf32bit, [](int, int) { return 0x0000FFu; }); }
  HDC Dc() { return bmp_.Canvas()->Handle(); }
  TBitmap bmp_;
};

TEST_F(GradFillTest, HorizontalRisingAndFallingOverTheWholeWidth) {
  GradFill(Dc(), Rect(0, 0, 256, 4), clBlack, clWhite, 0);
  for (int x = 0; x < 256; ++x) ASSERT_EQ(PixelOf(bmp_, x, 3), uint32_t(x) * 0x010101u) << x;
  GradFill(Dc(), Rect(0, 0, 256, 4), clWhite, clBlack, 0);
  EXPECT_EQ(PixelOf(bmp_, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(bmp_, 2, 0), 0xFEFEFEu);
  EXPECT_EQ(PixelOf(bmp_, 255, 0), 0x010101u);
}

TEST_F(GradFillTest, VerticalOneLineIsTheAverage) {
  GradFill(Dc(), Rect(10, 1, 20, 2), clBlack, clWhite, 1);
  EXPECT_EQ(PixelOf(bmp_, 10, 1), 0x7F7F7Fu);
  EXPECT_EQ(PixelOf(bmp_, 19, 1), 0x7F7F7Fu);
  EXPECT_EQ(PixelOf(bmp_, 20, 1), 0x0000FFu);
  EXPECT_EQ(PixelOf(bmp_, 10, 0), 0x0000FFu);
  GradFill(Dc(), Rect(0, 0, 1, 4), clBlack, clBtnFace, 1);  // system colours are resolved
  uint32_t face = GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
  EXPECT_EQ(PixelOf(bmp_, 0, 3), face);
}

TEST_F(GradFillTest, OnlyTheLinesInsideAPartialClipBoxAreDrawn) {
  for (bool rising : {true, false}) {
    SetUp();
    TColor a = rising ? clBlack : clWhite, b = rising ? clWhite : clBlack;
    std::vector<uint32_t> full = GradientColors(200, a, b);
    HDC dc = Dc();
    TSavedDC saved(dc);
    IntersectClipRect(dc, 60, 0, 100, 4);
    GradFill(dc, Rect(20, 0, 220, 4), a, b, 0);
    for (int x = 0; x < 256; ++x) {
      uint32_t expected = x >= 60 && x < 100 ? full[size_t(x - 20)] : 0x0000FFu;
      ASSERT_EQ(PixelOf(bmp_, x, 2), expected) << (rising ? "rising " : "falling ") << x;
    }
  }
}

TEST_F(GradFillTest, InvisibleOrEmptyRectanglesDrawAndComputeNothing) {
  HDC dc = Dc();
  int fills = GradientCache().Fills();
  GradFill(dc, Rect(300, 0, 400, 4), clBlack, 0x123456, 0);  // off the bitmap
  GradFill(dc, Rect(10, 0, 10, 4), clBlack, 0x123457, 0);    // no columns
  GradFill(nullptr, Rect(0, 0, 10, 4), clBlack, 0x123458, 0);
  EXPECT_EQ(GradientCache().Fills(), fills);
  GradFill(dc, Rect(0, 0, 50, 4), clBlack, 0x123459, 1);
  GradFill(dc, Rect(0, 0, 50, 4), clBlack, 0x123459, 1);  // repeated painting computes nothing
  EXPECT_EQ(GradientCache().Fills(), fills + 1);
  EXPECT_EQ(PixelOf(bmp_, 5, 0), 0u);
}

#endif

}  // namespace
