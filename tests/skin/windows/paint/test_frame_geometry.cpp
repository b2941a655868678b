#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "skin/windows/paint/frame_geometry.h"

// Found by argument-dependent lookup, so in the namespace of the types.
static std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << ", " << r.Top << ")-(" << r.Right << ", " << r.Bottom << ")";
}
static std::ostream& operator<<(std::ostream& os, const TPoint& p) { return os << "(" << p.X << ", " << p.Y << ")"; }

namespace {

struct FrameCase {
  int w, h, index, count;
  bool vertical;
  std::optional<TRect> expected;
};

TEST(FrameRect, PicksTheFrameOrNothing) {
  const FrameCase cases[] = {
      {90, 20, 2, 3, false, Rect(30, 0, 60, 20)},
      {30, 90, 2, 3, true, Rect(0, 30, 30, 60)},
      {90, 20, 1, 3, false, Rect(0, 0, 30, 20)},
      {90, 20, 3, 3, false, Rect(60, 0, 90, 20)},
      {92, 20, 3, 3, false, Rect(60, 0, 90, 20)},  // left-over columns are never used
      {30, 92, 3, 3, true, Rect(0, 60, 30, 90)},
      {100, 10, 1, 1, false, Rect(0, 0, 100, 10)},
      // Values a skin file may hold: no frame at all rather than a read outside the strip.
      {90, 20, 1, 0, false, std::nullopt},
      {90, 20, 1, -3, false, std::nullopt},
      {90, 20, 0, 3, false, std::nullopt},
      {90, 20, -1, 3, false, std::nullopt},
      {90, 20, 4, 3, false, std::nullopt},
      {90, 20, 4, 3, true, std::nullopt},
      {2, 20, 1, 3, false, std::nullopt},  // frames narrower than a pixel
      {30, 2, 1, 3, true, std::nullopt},
      {0, 20, 1, 1, false, std::nullopt},
      {90, 0, 1, 1, false, std::nullopt},
      {INT_MAX, 5, 7, 7, false, Rect(6 * (INT_MAX / 7), 0, 7 * (INT_MAX / 7), 5)},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " frame " << c.index << " of " << c.count
                                    << (c.vertical ? " stacked" : ""));
    std::optional<TRect> r = FrameRect(c.w, c.h, c.index, c.count, c.vertical);
    ASSERT_EQ(r.has_value(), c.expected.has_value());
    if (r) {
      EXPECT_EQ(*r, *c.expected);
    }
  }
}

TEST(FitMargins, NegativesAreZeroAndPairsThatDoNotFitCollapse) {
  const std::tuple<TRect, int64_t, int64_t, TRect> cases[] = {
      {Rect(4, 4, 4, 4), 6, 20, Rect(0, 4, 0, 4)},  // 8 > 6: left and right go, top and bottom stay
      {Rect(4, 4, 4, 4), 8, 8, Rect(4, 4, 4, 4)},   // a pair that exactly fits stays
      {Rect(4, 5, 4, 4), 8, 8, Rect(4, 0, 4, 0)},
      {Rect(3, 0, 0, 0), 2, 10, Rect(0, 0, 0, 0)},
      {Rect(-3, 2, 5, -1), 100, 100, Rect(0, 2, 5, 0)},
      {Rect(-3, -3, -3, -3), 0, 0, Rect(0, 0, 0, 0)},
      {Rect(INT_MAX, INT_MAX, INT_MAX, 1), INT_MAX, INT_MAX, Rect(0, 0, 0, 0)},  // no overflow
      {Rect(INT_MAX, 0, 0, 0), INT_MAX, 0, Rect(INT_MAX, 0, 0, 0)},
  };
  for (const auto& [margins, w, h, expected] : cases) {
    SCOPED_TRACE(testing::Message() << margins << " within " << w << " x " << h);
    EXPECT_EQ(FitMargins(margins, w, h), expected);
  }
}

TEST(NineSlice, CutsFrameAndPictureAlike) {
  // Frame 2 of a strip of 20 x 12 frames; margins 3, 2, 4, 5; picture 100 x 50.
  const TSlices s = NineSlice(Rect(20, 0, 40, 12), Rect(3, 2, 4, 5), 100, 50);
  ASSERT_EQ(s.Count, 9);
  const std::tuple<TNinePiece, TRect, TRect> expected[] = {
      {npTopLeft, Rect(0, 0, 3, 2), Rect(20, 0, 23, 2)},
      {npBottomLeft, Rect(0, 45, 3, 50), Rect(20, 7, 23, 12)},
      {npTopRight, Rect(96, 0, 100, 2), Rect(36, 0, 40, 2)},
      {npLeft, Rect(0, 2, 3, 45), Rect(20, 2, 23, 7)},
      {npTop, Rect(3, 0, 96, 2), Rect(23, 0, 36, 2)},
      {npMiddle, Rect(3, 2, 96, 45), Rect(23, 2, 36, 7)},
      {npBottomRight, Rect(96, 45, 100, 50), Rect(36, 7, 40, 12)},
      {npRight, Rect(96, 2, 100, 45), Rect(36, 2, 40, 7)},
      {npBottom, Rect(3, 45, 96, 50), Rect(23, 7, 36, 12)},
  };
  for (const auto& [piece, dest, source] : expected) {
    SCOPED_TRACE(testing::Message() << "piece " << piece);
    EXPECT_EQ(s.Items[piece].Dest, dest);
    EXPECT_EQ(s.Items[piece].Source, source);
    EXPECT_TRUE(s.Items[piece].Drawn());
  }
  // The middle is copied before the pieces that cover its tiled overhang.
  EXPECT_LT(npMiddle, npBottomRight);
  EXPECT_LT(npMiddle, npRight);
  EXPECT_LT(npMiddle, npBottom);
}

TEST(NineSlice, ZeroMarginsLeaveOnlyTheMiddle) {
  const TSlices s = NineSlice(Rect(0, 0, 10, 10), Rect(0, 0, 0, 0), 30, 40);
  for (int i = 0; i < s.Count; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.Items[size_t(i)].Drawn(), i == npMiddle);
  }
  EXPECT_EQ(s.Items[npMiddle].Dest, Rect(0, 0, 30, 40));
  EXPECT_EQ(s.Items[npMiddle].Source, Rect(0, 0, 10, 10));
}

TEST(NineSlice, AFrameWithoutAMiddleCopiesNoMiddle) {
  // Margins that use the whole frame: nothing to spread over the picture's middle.
  const TSlices s = NineSlice(Rect(0, 0, 10, 10), Rect(5, 5, 5, 5), 30, 40);
  EXPECT_FALSE(s.Items[npMiddle].Drawn());
  EXPECT_FALSE(s.Items[npTop].Drawn());
  EXPECT_TRUE(s.Items[npTopLeft].Drawn());
  EXPECT_TRUE(s.Items[npBottomRight].Drawn());
}

TEST(ThreeSlice, AcrossAndDown) {
  const TRect frame = Rect(10, 0, 30, 8), margins = Rect(3, 2, 4, 1), dest = Rect(5, 6, 55, 26);
  const TSlices across = ThreeSlice(frame, margins, dest, false);
  ASSERT_EQ(across.Count, 3);
  EXPECT_EQ(across.Items[0].Dest, Rect(5, 6, 8, 26));
  EXPECT_EQ(across.Items[0].Source, Rect(10, 0, 13, 8));
  EXPECT_EQ(across.Items[1].Dest, Rect(8, 6, 51, 26));
  EXPECT_EQ(across.Items[1].Source, Rect(13, 0, 26, 8));
  EXPECT_EQ(across.Items[2].Dest, Rect(51, 6, 55, 26));
  EXPECT_EQ(across.Items[2].Source, Rect(26, 0, 30, 8));

  const TSlices down = ThreeSlice(frame, margins, dest, true);
  ASSERT_EQ(down.Count, 3);
  EXPECT_EQ(down.Items[0].Dest, Rect(5, 6, 55, 8));
  EXPECT_EQ(down.Items[0].Source, Rect(10, 0, 30, 2));
  EXPECT_EQ(down.Items[1].Dest, Rect(5, 8, 55, 25));
  EXPECT_EQ(down.Items[1].Source, Rect(10, 2, 30, 7));
  EXPECT_EQ(down.Items[2].Dest, Rect(5, 25, 55, 26));
  EXPECT_EQ(down.Items[2].Source, Rect(10, 7, 30, 8));

  // A zero margin gives a piece that is never copied.
  EXPECT_FALSE(ThreeSlice(frame, Rect(0, 0, 4, 0), dest, false).Items[0].Drawn());
}

bool Within(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

// Whatever a skin file holds, every piece that is copied reads inside its frame (so inside the
// strip) and writes inside the picture; the arithmetic never overflows (UBSan watches).
TEST(Slices, EveryCopiedPieceStaysInsideFrameAndPicture) {
  const int strips[][2] = {{0, 12}, {5, 1}, {20, 12}, {61, 30}};
  const int counts[] = {-1, 0, 1, 3, 7};
  const int indices[] = {0, 1, 3, 8};
  const int margins[] = {-5, 0, 3, 10, INT_MAX};
  const int pictures[][2] = {{1, 1}, {6, 20}, {30, 9}, {100, 50}};
  int pieces = 0;
  for (const auto& strip : strips)
    for (int count : counts)
      for (int index : indices)
        for (bool vertical : {false, true}) {
          std::optional<TRect> frame = FrameRect(strip[0], strip[1], index, count, vertical);
          if (!frame) continue;
          ASSERT_TRUE(Within(*frame, Rect(0, 0, strip[0], strip[1])));
          for (int l : margins)
            for (int t : margins)
              for (int r : margins)
                for (int b : margins)
                  for (const auto& pic : pictures) {
                    const TRect m0 = Rect(l, t, r, b), dest = Rect(0, 0, pic[0], pic[1]);
                    const TRect nine =
                        FitMargins(m0, std::min(frame->Width(), pic[0]), std::min(frame->Height(), pic[1]));
                    for (const TSlicePiece& p : NineSlice(*frame, nine, pic[0], pic[1])) {
                      if (!p.Drawn()) continue;
                      ++pieces;
                      ASSERT_TRUE(Within(p.Source, *frame) && Within(p.Dest, dest))
                          << p.Source << " of " << *frame << " into " << p.Dest << ", margins " << m0;
                    }
                    const TRect three = FitMargins(m0, frame->Width(), frame->Height());
                    for (bool down : {false, true})
                      for (const TSlicePiece& p : ThreeSlice(*frame, three, dest, down)) {
                        if (p.Drawn()) {
                          ASSERT_TRUE(Within(p.Source, *frame)) << p.Source << " of " << *frame;
                        }
                      }
                  }
        }
  EXPECT_GT(pieces, 10000);
}

TEST(TileRun, OriginsBelowTheLimit) {
  struct Case {
    int32_t start, limit, step;
    std::vector<int32_t> origins;
  };
  const Case cases[] = {
      {0, 10, 3, {0, 3, 6, 9}},  // the last tile overhangs the limit
      {0, 9, 3, {0, 3, 6}},
      {4, 5, 10, {4}},
      {-7, 2, 4, {-7, -3, 1}},
      {5, 5, 3, {}},
      {6, 5, 3, {}},
      {0, 10, 0, {}},  // a step of 0 or less would never end
      {0, 10, -2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ".." << c.limit << " by " << c.step);
    TTileRun run = TileRun(c.start, c.limit, c.step);
    std::vector<int32_t> got;
    for (int i = 0; i < run.Count; ++i) got.push_back(run.At(i));
    EXPECT_EQ(got, c.origins);
  }
  EXPECT_EQ(TileRun(INT_MIN, INT_MAX, 1 << 30).Count, 4);
}

TEST(CenteredOrigin, HalvesTruncateTowardZero) {
  const std::tuple<TRect, int, int, TPoint> cases[] = {
      {Rect(0, 0, 15, 15), 20, 20, Point(-2, -2)},  // -5 / 2 is -2, not -3
      {Rect(5, 5, 20, 20), 10, 10, Point(7, 7)},
      {Rect(0, 0, 20, 10), 11, 3, Point(4, 3)},
      {Rect(10, 10, 20, 20), 21, 10, Point(5, 10)},
      {Rect(-10, 0, 0, 4), 4, 4, Point(-7, 0)},
  };
  for (const auto& [r, w, h, expected] : cases) {
    SCOPED_TRACE(testing::Message() << w << "x" << h << " in " << r);
    EXPECT_EQ(CenteredOrigin(r, w, h), expected);
  }
}

// A 24- or 32-bit view over one row of given colours (red in the low byte).
struct Row {
  explicit Row(std::vector<uint32_t> colors, int bpp = 32) : image(int(colors.size()), 1, bpp) {
    for (size_t x = 0; x < colors.size(); ++x) image.SetPixelRGB(int(x), 0, colors[x]);
  }
  std::vector<std::pair<int, int>> Runs(const TKeyRange& key) {
    std::vector<std::pair<int, int>> runs;
    ForEachOpaqueRun(image.View(), key, [&](int x0, int x1, int y) {
      EXPECT_EQ(y, 0);
      runs.emplace_back(x0, x1);
    });
    return runs;
  }
  TPixelImage image;
};

using Runs = std::vector<std::pair<int, int>>;
constexpr uint32_t kMagenta = 0xFF00FF, kRed = 0x0000FF, kBlue = 0xFF0000, kGrey = 0x808080;

TEST(OpaqueRuns, KeyPixelsSplitRuns) {
  const TKeyRange magenta = KeyRange(kMagenta, 0, 0, 0);
  EXPECT_EQ(Row({kGrey, kMagenta, kGrey}).Runs(magenta), (Runs{{0, 1}, {2, 3}}));
  EXPECT_EQ(Row({kGrey, kMagenta, kGrey}, 24).Runs(magenta), (Runs{{0, 1}, {2, 3}}));
  EXPECT_EQ(Row({kMagenta, kMagenta}).Runs(magenta), Runs{});
  EXPECT_EQ(Row({kGrey, kGrey, kGrey, kMagenta}).Runs(magenta), (Runs{{0, 3}}));
  EXPECT_EQ(Row({kMagenta, kGrey, kMagenta, kMagenta, kGrey, kGrey}).Runs(magenta), (Runs{{1, 2}, {4, 6}}));
}

TEST(OpaqueRuns, TolerancesReachUpwardOnly) {
  const TKeyRange k = KeyRange(kMagenta, 1, 1, 1);
  const uint32_t near = MakeColor(255, 1, 255), below = MakeColor(254, 0, 255);
  EXPECT_EQ(Row({kMagenta, near, below}).Runs(k), (Runs{{2, 3}}));
  // A range that would pass 255 stops there instead of wrapping round to dark values.
  const TKeyRange high = KeyRange(MakeColor(250, 0, 0), 10, 0, 0);
  EXPECT_EQ(high.HighR, 255);
  EXPECT_EQ(Row({MakeColor(255, 0, 0), MakeColor(4, 0, 0)}).Runs(high), (Runs{{1, 2}}));
  const TKeyRange negative = KeyRange(kRed, -5, -5, -5);
  EXPECT_EQ(negative.HighR, 255);
  EXPECT_EQ(negative.HighG, 0);
}

TEST(OpaqueRuns, RedAndBlueAreNotSwapped) {
  const TKeyRange red = KeyRange(kRed, 0, 0, 0);
  EXPECT_EQ(Row({kRed, kBlue, kRed}).Runs(red), (Runs{{1, 2}}));
  EXPECT_EQ(Row({kRed, kBlue, kRed}, 24).Runs(red), (Runs{{1, 2}}));
}

TEST(KeyMask, KeyPixelsWhiteOthersBlack) {
  TPixelImage img(5, 2, 24);
  const uint32_t pixels[2][5] = {{kMagenta, kGrey, kMagenta, kRed, kBlue}, {kGrey, kMagenta, kGrey, kGrey, kMagenta}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) img.SetPixelRGB(x, y, pixels[y][x]);

  TPixelImage whole = KeyMask(img.View(), 0, 0, 5, 2, kMagenta);
  ASSERT_EQ(whole.BitsPerPixel(), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(whole.PixelRGB(x, y), pixels[y][x] == kMagenta ? 0xFFFFFFu : 0u) << x << "," << y;

  // A part at (1, 1) asked larger than the picture is cut to it.
  TPixelImage part = KeyMask(img.View(), 1, 1, 10, 10, kMagenta);
  ASSERT_EQ(part.Width(), 4);
  ASSERT_EQ(part.Height(), 1);
  EXPECT_EQ(part.PixelRGB(0, 0), 0xFFFFFFu);
  EXPECT_EQ(part.PixelRGB(1, 0), 0u);
  EXPECT_EQ(part.PixelRGB(3, 0), 0xFFFFFFu);

  // An origin before the picture starts at its edge: the same mask as from (0, 0), never a read
  // in front of a row or above the first.
  const struct {
    int left, top;
  } before[] = {{-2, 0}, {0, -1}, {-3, -5}, {INT_MIN, INT_MIN}};
  const TPixelImage fromZero = KeyMask(img.View(), 0, 0, 4, 2, kMagenta);
  for (const auto& o : before) {
    TPixelImage m = KeyMask(img.View(), o.left, o.top, 4, 2, kMagenta);
    ASSERT_EQ(m.Width(), 4) << o.left << "," << o.top;
    ASSERT_EQ(m.Height(), 2) << o.left << "," << o.top;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(m.PixelRGB(x, y), fromZero.PixelRGB(x, y)) << o.left << "," << o.top;
  }

  EXPECT_TRUE(KeyMask(img.View(), 5, 0, 1, 1, kMagenta).Empty());
  EXPECT_TRUE(KeyMask(img.View(), 0, 0, 0, 2, kMagenta).Empty());
  // Red is not blue.
  EXPECT_EQ(KeyMask(img.View(), 3, 0, 2, 1, kRed).PixelRGB(0, 0), 0xFFFFFFu);
  EXPECT_EQ(KeyMask(img.View(), 3, 0, 2, 1, kRed).PixelRGB(1, 0), 0u);

  TPixelImage mono(3, 1, 1);
  mono.SetPixelRGB(1, 0, 0xFFFFFF);
  EXPECT_EQ(KeyMask(mono.View(), 0, 0, 3, 1, 0xFFFFFF).PixelRGB(1, 0), 0xFFFFFFu);
  EXPECT_EQ(KeyMask(mono.View(), 0, 0, 3, 1, 0xFFFFFF).PixelRGB(0, 0), 0u);
  EXPECT_EQ(KeyMask(mono.View(), 0, 0, 3, 1, 0).PixelRGB(0, 0), 0xFFFFFFu);
  EXPECT_EQ(KeyMask(mono.View(), 0, 0, 3, 1, kMagenta).PixelRGB(1, 0), 0u);
}

}  // namespace
