#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "classlib/controls/control_atom.h"
#include "skin/windows/paint/draw_primitives.h"
#include "tests/classlib/graphics/pixel_probe.h"
#include "tests/support/window_class.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kSentinel = 0x563412;  // what a destination holds before drawing

// Strip pixels name themselves: red = 0x20 x frame number, green and blue = the pixel's column
// and row within its frame. Left-over columns or rows of a strip show "frame" 7.
uint32_t StripColor(int frame, int fx, int fy) { return MakeColor(uint8_t(0x20 * frame), uint8_t(fx), uint8_t(fy)); }

struct StripPixel {
  int Frame, X, Y;
};

std::optional<StripPixel> Decode(uint32_t rgb) {
  const int r = int(rgb & 0xFF);
  if (r == 0 || r % 0x20 != 0) return std::nullopt;
  return StripPixel{r / 0x20, int(rgb >> 8) & 0xFF, int(rgb >> 16) & 0xFF};
}

// A 24-bit frame strip of `frames` frames of fw x fh, side by side or stacked, with `extra`
// left-over columns (rows) at the end.
struct Strip {
  Strip(int frames, int fw, int fh, bool stacked = false, int extra = 0) {
    const int w = stacked ? fw : fw * frames + extra, h = stacked ? fh * frames + extra : fh;
    FillBitmap(bmp, w, h, pf24bit, [=](int x, int y) {
      const int k = (stacked ? y / fh : x / fw) + 1;
      if (k > frames) return uint32_t(StripColor(7, 0, 0));
      return StripColor(k, stacked ? x : x % fw, stacked ? y % fh : y);
    });
    this->fw = fw;
    this->fh = fh;
    this->stacked = stacked;
  }
  // Makes pixel (fx, fy) of frame k the key colour.
  void Key(int k, int fx, int fy) {
    const int x = stacked ? fx : (k - 1) * fw + fx, y = stacked ? (k - 1) * fh + fy : fy;
    uint8_t* p = bmp.ScanLine(y) + size_t(x) * 3;
    p[0] = 0xFF;
    p[1] = 0;
    p[2] = 0xFF;
  }
  TBitmap bmp;
  int fw = 0, fh = 0;
  bool stacked = false;
};

// How a destination span shows a source span: copied pixel for pixel, stretched (source
// positions in order, first to last when enlarged), or the middle of a nine-slice, which is
// stretched or, in a tiled picture, repeated from its start.
enum Fit { kExact, kScaled, kMiddle };
struct Span {
  int D0, D1, S0, S1;
  Fit How;
};
using Axis = std::vector<Span>;

// The three spans of one axis cut by margins m0 and m1 (empty spans left out).
Axis Cut(int size, int frameSize, int m0, int m1) {
  Axis a;
  for (Span s : {Span{0, m0, 0, m0, kExact}, Span{m0, size - m1, m0, frameSize - m1, kMiddle},
                 Span{size - m1, size, frameSize - m1, frameSize, kExact}})
    if (s.D1 > s.D0) a.push_back(s);
  return a;
}
Axis Whole(int size, int frameSize) { return {Span{0, size, 0, frameSize, kScaled}}; }

struct Expect {
  int Frame;
  Axis Xs, Ys;
  bool Tiled = false;
  // Pixels (relative to the picture) that must still show the sentinel.
  std::function<bool(int, int)> Hole = nullptr;
};

// Checks the picture at (ox, oy) of dest pixel by pixel against what the spans say.
testing::AssertionResult Shows(TBitmap& dest, int ox, int oy, const Expect& e) {
  const int w = e.Xs.back().D1, h = e.Ys.back().D1;
  auto fail = [&](int x, int y, const char* what) {
    uint32_t c = PixelOf(dest, ox + x, oy + y);
    std::optional<StripPixel> p = Decode(c);
    testing::Message m;
    m << what << " at (" << x << ", " << y << "): pixel 0x" << std::hex << c << std::dec;
    if (p) m << " = frame " << p->Frame << " (" << p->X << ", " << p->Y << ")";
    return testing::AssertionFailure() << m;
  };
  auto spanOf = [](const Axis& a, int d) -> const Span& {
    for (const Span& s : a)
      if (d < s.D1) return s;
    return a.back();
  };
  auto holeAt = [&](int x, int y) { return e.Hole && e.Hole(x, y); };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = PixelOf(dest, ox + x, oy + y);
      if (holeAt(x, y)) {
        if (c != kSentinel) return fail(x, y, "a keyed or untouched pixel drawn");
        continue;
      }
      std::optional<StripPixel> p = Decode(c);
      if (!p || p->Frame != e.Frame) return fail(x, y, "wrong frame");
      const Span& sx = spanOf(e.Xs, x);
      const Span& sy = spanOf(e.Ys, y);
      const bool tiledCell = e.Tiled && sx.How != kExact && sy.How != kExact;
      // The neighbour before, on each axis, within the same span (already checked, so decodable).
      const int left = x > sx.D0 && !holeAt(x - 1, y) ? Decode(PixelOf(dest, ox + x - 1, oy + y))->X : -1;
      const int above = y > sy.D0 && !holeAt(x, y - 1) ? Decode(PixelOf(dest, ox + x, oy + y - 1))->Y : -1;
      struct {
        const Span& s;
        int d, got, prev;
      } axes[2] = {{sx, x, p->X, left}, {sy, y, p->Y, above}};
      for (auto& a : axes) {
        const Span& s = a.s;
        if (s.How == kExact || (s.How == kMiddle && tiledCell)) {
          const int want = s.S0 + (s.How == kExact ? a.d - s.D0 : (a.d - s.D0) % (s.S1 - s.S0));
          if (a.got != want) return fail(x, y, s.How == kExact ? "not copied pixel for pixel" : "not tiled");
          continue;
        }
        if (a.got < s.S0 || a.got >= s.S1) return fail(x, y, "stretched from outside its piece");
        // Enlarged, every source position shows; shrunk, which ones are dropped is the system's.
        const bool enlarged = s.D1 - s.D0 >= s.S1 - s.S0;
        if (enlarged && a.d == s.D0 && a.got != s.S0) return fail(x, y, "stretch does not start at its piece");
        if (enlarged && a.d == s.D1 - 1 && a.got != s.S1 - 1) return fail(x, y, "stretch does not end at its piece");
        if (a.prev > a.got) return fail(x, y, "stretch out of order");
      }
    }
  }
  return testing::AssertionSuccess();
}

// Pixels of dest outside r that are not the sentinel.
int TouchedOutside(TBitmap& dest, const TRect& r) {
  int n = 0;
  for (int y = 0; y < dest.Height(); ++y)
    for (int x = 0; x < dest.Width(); ++x)
      if ((x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) && PixelOf(dest, x, y) != kSentinel) ++n;
  return n;
}

int CountNot(TBitmap& bmp, uint32_t color) {
  int n = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (PixelOf(bmp, x, y) != color) ++n;
  return n;
}

const TRect kMargins = Rect(3, 2, 4, 5);

// ---- Nine-slice pictures

TEST(GetHMap, EachFrameWithMarginsKeptUnscaled) {
  Strip s(3, 20, 12);
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    auto pic = GetHMap(Rect(7, 9, 57, 40), &s.bmp, kMargins, k, 3, 0, 0);
    ASSERT_EQ(pic->Width(), 50);
    ASSERT_EQ(pic->Height(), 31);
    EXPECT_TRUE(Shows(*pic, 0, 0, {k, Cut(50, 20, 3, 4), Cut(31, 12, 2, 5)}));
  }
}

TEST(GetHMap, TiledMiddleLeavesRightAndBottomPiecesIntact) {
  // 43 and 24 are no multiples of the middle's 13 x 5, so the last tiles overhang.
  Strip s(2, 20, 12);
  auto pic = GetHMap(Rect(0, 0, 50, 31), &s.bmp, kMargins, 2, 2, 1, 0);
  EXPECT_TRUE(Shows(*pic, 0, 0, {2, Cut(50, 20, 3, 4), Cut(31, 12, 2, 5), true}));
}

TEST(GetHMap, StackedFrames) {
  Strip s(3, 20, 12, true, 2);
  for (int tile : {0, 1}) {
    SCOPED_TRACE(tile);
    auto pic = GetHMap(Rect(0, 0, 41, 30), &s.bmp, kMargins, 2, 3, tile, 1);
    EXPECT_TRUE(Shows(*pic, 0, 0, {2, Cut(41, 20, 3, 4), Cut(30, 12, 2, 5), tile != 0}));
  }
}

TEST(GetHMap, MarginsThatDoNotFitCollapseInPairs) {
  Strip s(1, 20, 12);
  struct Case {
    const char* what;
    TRect r, margins;
    Axis xs, ys;
  };
  const Case cases[] = {
      // 4 + 4 > 6: no corners and no side edges; top and bottom edges span the full width.
      {"wider than the destination", Rect(0, 0, 6, 20), Rect(4, 4, 4, 4), Cut(6, 20, 0, 0), Cut(20, 12, 4, 4)},
      {"higher than the destination", Rect(0, 0, 30, 9), Rect(4, 5, 4, 5), Cut(30, 20, 4, 4), Cut(9, 12, 0, 0)},
      {"wider than the frame", Rect(0, 0, 100, 12), Rect(15, 0, 15, 0), Cut(100, 20, 0, 0), Cut(12, 12, 0, 0)},
      {"negative", Rect(0, 0, 40, 30), Rect(-3, 2, 4, -1), Cut(40, 20, 0, 4), Cut(30, 12, 2, 0)},
      {"exactly fitting", Rect(0, 0, 8, 8), Rect(4, 4, 4, 4), Cut(8, 20, 4, 4), Cut(8, 12, 4, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int tile : {0, 1}) {
      auto pic = GetHMap(c.r, &s.bmp, c.margins, 1, 1, tile, 0);
      EXPECT_TRUE(Shows(*pic, 0, 0, {1, c.xs, c.ys, tile != 0}));
    }
  }
}

TEST(GetHMap, UnusableFramesGiveAnUnpaintedPicture) {
  Strip s(3, 20, 12);
  TBitmap empty;
  struct Case {
    TBitmap* strip;
    int index, count;
  } cases[] = {{&s.bmp, 0, 3}, {&s.bmp, 4, 3}, {&s.bmp, 1, 0}, {&s.bmp, 1, -1}, {&empty, 1, 1}, {nullptr, 1, 1},
               {&s.bmp, 1, 61}};  // frames narrower than a pixel
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << " of " << c.count);
    auto pic = GetHMap(Rect(0, 0, 10, 8), c.strip, kMargins, c.index, c.count, 1, 0);
    ASSERT_EQ(pic->Width(), 10);
    EXPECT_EQ(CountNot(*pic, 0), 0);
  }
  EXPECT_TRUE(GetHMap(Rect(10, 10, 5, 20), &s.bmp, kMargins, 1, 3, 0, 0)->Empty());
  EXPECT_TRUE(GetHMap(Rect(0, 0, 0, 20), &s.bmp, kMargins, 1, 3, 0, 0)->Empty());
}

TEST(GetHMap, AFrameWithoutAMiddleCopiesNothingThere) {
  // Margins that use up the frame: corners and edges only, the middle stays unpainted.
  Strip s(1, 10, 10);
  for (int tile : {0, 1}) {
    auto pic = GetHMap(Rect(0, 0, 30, 30), &s.bmp, Rect(5, 5, 5, 5), 1, 1, tile, 0);
    EXPECT_EQ(PixelOf(*pic, 15, 15), 0u);
    EXPECT_EQ(PixelOf(*pic, 2, 2), StripColor(1, 2, 2));
    EXPECT_EQ(PixelOf(*pic, 27, 28), StripColor(1, 7, 8));
  }
}

// One drawing of a frame strip onto a fresh destination, and what it must show.
struct PaintCase {
  const char* Name;
  int Frames, Fw, Fh;
  bool Stacked;
  std::vector<std::array<int, 3>> Keys;  // frame, x, y of pixels made the key colour
  int DestW, DestH;
  std::function<void(TBitmap& dest, TBitmap* strip)> Draw;
  int Ox, Oy;    // where the picture lands
  Expect Shown;  // what it shows there
  TRect Inside;  // nothing is drawn outside this
};

void RunPaintCases(const std::vector<PaintCase>& cases) {
  for (const PaintCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Strip s(c.Frames, c.Fw, c.Fh, c.Stacked);
    for (const auto& k : c.Keys) s.Key(k[0], k[1], k[2]);
    TBitmap dest;
    Surface(dest, c.DestW, c.DestH, kSentinel);
    c.Draw(dest, &s.bmp);
    EXPECT_TRUE(Shows(dest, c.Ox, c.Oy, c.Shown));
    EXPECT_EQ(TouchedOutside(dest, c.Inside), 0);
  }
}

TEST(DrawPrimitives, SlicedPicturesLandInTheRectangleOnly) {
  RunPaintCases({
      {"DrawRect2: nine slices, opaque", 3, 20, 12, false, {}, 80, 60,
       [](TBitmap& d, TBitmap* b) { DrawRect2(d.Canvas()->Handle(), Rect(10, 5, 60, 36), b, kMargins, 3, 3, 0, 0, 0); },
       10, 5, {3, Cut(50, 20, 3, 4), Cut(31, 12, 2, 5)}, Rect(10, 5, 60, 36)},
      {"DrawRectH: columns unscaled, middle stretched", 2, 20, 12, false, {}, 70, 40,
       [](TBitmap& d, TBitmap* b) {
         DrawRectH(d.Canvas()->Handle(), Rect(5, 3, 55, 23), b, kMargins, 2, 2, 1, 0);
         EXPECT_EQ(GetStretchBltMode(d.Canvas()->Handle()), COLORONCOLOR);
       },
       5, 3, {2, Cut(50, 20, 3, 4), Whole(20, 12)}, Rect(5, 3, 55, 23)},
      {"DrawRectH: a frame wider than the rectangle is stretched whole", 1, 40, 12, false, {}, 40, 30,
       [](TBitmap& d, TBitmap* b) { DrawRectH(d.Canvas()->Handle(), Rect(0, 0, 30, 24), b, Rect(10, 0, 10, 0), 1, 1, 0, 0); },
       0, 0, {1, Whole(30, 40), Whole(24, 12)}, Rect(0, 0, 30, 24)},
      {"DrawRectV: rows unscaled, middle stretched", 2, 12, 20, true, {}, 40, 70,
       [](TBitmap& d, TBitmap* b) { DrawRectV(d.Canvas()->Handle(), Rect(3, 5, 23, 55), b, kMargins, 1, 2, 0, 1); },
       3, 5, {1, Whole(20, 12), Cut(50, 20, 2, 5)}, Rect(3, 5, 23, 55)},
      {"DrawRectV: a frame higher than the rectangle is stretched whole", 2, 12, 20, true, {}, 40, 70,
       [](TBitmap& d, TBitmap* b) { DrawRectV(d.Canvas()->Handle(), Rect(0, 0, 24, 15), b, kMargins, 2, 2, 0, 1); },
       0, 0, {2, Whole(24, 12), Whole(15, 20)}, Rect(0, 0, 24, 15)},
      {"DrawRectTile: columns stretched to the height, middle repeated", 2, 20, 12, true, {}, 70, 40,
       [](TBitmap& d, TBitmap* b) { DrawRectTile(d.Canvas(), Rect(5, 3, 55, 27), b, kMargins, 2, 2, 0, 1); },
       5, 3, {2, Cut(50, 20, 3, 4), Whole(24, 12), true}, Rect(5, 3, 55, 27)},
  });
}

class Keyed : public testing::TestWithParam<TKeyedCopyMethod> {
protected:
  void SetUp() override { KeyedCopyMethod = GetParam(); }
  void TearDown() override { KeyedCopyMethod = kcPlatform; }
};

// Key pixels of the drawn frame leave the destination as it was; those of other frames do not
// matter.
TEST_P(Keyed, PrimitivesLeaveKeyedPixelsAlone) {
  RunPaintCases({
      {"DrawRect2: corners keyed", 2, 20, 12, false, {{2, 0, 0}, {2, 19, 11}, {1, 1, 1}}, 70, 50,
       [](TBitmap& d, TBitmap* b) { DrawRect2(d.Canvas()->Handle(), Rect(10, 5, 60, 36), b, kMargins, 2, 2, 1, 0, 0); },
       10, 5,
       {2, Cut(50, 20, 3, 4), Cut(31, 12, 2, 5), false, [](int x, int y) { return (x == 0 && y == 0) || (x == 49 && y == 30); }},
       Rect(10, 5, 60, 36)},
      {"DrawRect1 at frame size", 2, 10, 6, false, {{1, 4, 3}}, 30, 20,
       [](TBitmap& d, TBitmap* b) { DrawRect1(d.Canvas()->Handle(), Rect(2, 2, 12, 8), b, 1, 2, 1); },
       2, 2, {1, Cut(10, 10, 10, 0), Cut(6, 6, 6, 0), false, [](int x, int y) { return x == 4 && y == 3; }},
       Rect(2, 2, 12, 8)},
      {"DrawRect1 stretched twice as wide: the key covers two pixels", 2, 10, 6, false, {{1, 4, 3}}, 30, 20,
       [](TBitmap& d, TBitmap* b) { DrawRect1(d.Canvas()->Handle(), Rect(0, 10, 20, 16), b, 1, 2, 1); },
       0, 10, {1, Whole(20, 10), Cut(6, 6, 6, 0), false, [](int x, int y) { return (x == 8 || x == 9) && y == 3; }},
       Rect(0, 10, 20, 16)},
      {"DrawRect3 centred", 2, 20, 20, false, {{2, 0, 0}, {2, 10, 7}}, 50, 50,
       [](TBitmap& d, TBitmap* b) { DrawRect3(d.Canvas()->Handle(), Rect(10, 10, 25, 25), b, 2, 2, 1); },
       8, 8,
       {2, Cut(20, 20, 20, 0), Cut(20, 20, 20, 0), false, [](int x, int y) { return (x == 0 && y == 0) || (x == 10 && y == 7); }},
       Rect(8, 8, 28, 28)},
  });
}


TEST(DrawRect2, NothingForUnusableFramesOrInvertedRectangles) {
  Strip s(3, 20, 12);
  TBitmap dest;
  Surface(dest, 40, 40, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  DrawRect2(dc, Rect(0, 0, 30, 30), &s.bmp, kMargins, 4, 3, 0, 0, 0);
  DrawRect2(dc, Rect(0, 0, 30, 30), &s.bmp, kMargins, 1, 0, 1, 1, 0);
  DrawRect2(dc, Rect(0, 0, 30, 30), nullptr, kMargins, 1, 1, 0, 0, 0);
  DrawRect2(dc, Rect(30, 0, 10, 30), &s.bmp, kMargins, 1, 3, 0, 0, 0);
  DrawRect2(dc, Rect(0, 30, 30, 10), &s.bmp, kMargins, 1, 3, 1, 0, 0);
  EXPECT_EQ(CountNot(dest, kSentinel), 0);
}


// Opaque pictures go straight into the destination: they must show there what GetHMap's picture
// of the rectangle's size shows (overhanging tiles cut at the rectangle, black where the frame has
// no pixels), and leave the destination's clip and stretch mode as they were.
TEST(DrawRect2, OpaqueShowsGetHMapsPictureInTheRectangleOnly) {
  Strip s(2, 20, 12);
  struct Case {
    const char* what;
    TRect r, margins;
    int tile;
  } cases[] = {
      {"stretched middle", Rect(7, 4, 57, 35), kMargins, 0},
      {"tiles overhanging the right and bottom pieces", Rect(7, 4, 57, 35), kMargins, 1},
      {"tiles overhanging the rectangle itself", Rect(5, 6, 48, 30), Rect(0, 0, 0, 0), 1},
      {"no middle in the frame", Rect(3, 3, 43, 33), Rect(10, 6, 10, 6), 1},
      {"no middle, stretched", Rect(3, 3, 43, 33), Rect(10, 6, 10, 6), 0},
      {"margins collapsed", Rect(2, 2, 8, 30), Rect(4, 4, 4, 4), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto want = GetHMap(c.r, &s.bmp, c.margins, 2, 2, c.tile, 0);
    TBitmap dest;
    Surface(dest, 64, 40, kSentinel);
    HDC dc = dest.Canvas()->Handle();
    SetStretchBltMode(dc, HALFTONE);
    DrawRect2(dc, c.r, &s.bmp, c.margins, 2, 2, 0, c.tile, 0);
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    RECT clip{};
    EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right - clip.left, 64);
    int wrong = 0;
    for (int y = 0; y < want->Height(); ++y)
      for (int x = 0; x < want->Width(); ++x)
        if (PixelOf(dest, c.r.Left + x, c.r.Top + y) != PixelOf(*want, x, y)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(TouchedOutside(dest, c.r), 0);
  }
}


// ---- Whole frames

TEST(DrawRect1, WholeFrameStretchedOrCopied) {
  Strip s(3, 10, 6, false, 1);
  TBitmap dest;
  Surface(dest, 50, 40, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  DrawRect1(dc, Rect(5, 5, 25, 17), &s.bmp, 2, 3, 0);
  EXPECT_TRUE(Shows(dest, 5, 5, {2, Whole(20, 10), Whole(12, 6)}));
  DrawRect1(dc, Rect(30, 20, 40, 26), &s.bmp, 3, 3, 0);
  EXPECT_TRUE(Shows(dest, 30, 20, {3, Cut(10, 10, 10, 0), Cut(6, 6, 6, 0)}));
  EXPECT_EQ(TouchedOutside(dest, Rect(5, 5, 25, 17)), 10 * 6);
  DrawRect1(dc, Rect(0, 0, 50, 40), &s.bmp, 4, 3, 0);
  DrawRect1(dc, Rect(50, 0, 0, 40), &s.bmp, 1, 3, 0);
  EXPECT_EQ(TouchedOutside(dest, Rect(5, 5, 25, 17)), 10 * 6);
}


TEST(DrawRect3, CentredAtFrameSizeOverhangingASmallerRectangle) {
  Strip s(2, 20, 20);
  TBitmap dest;
  Surface(dest, 50, 50, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  // 15 - 20 = -5, halved toward zero: -2 on both axes.
  DrawRect3(dc, Rect(10, 10, 25, 25), &s.bmp, 2, 2, 0);
  EXPECT_TRUE(Shows(dest, 8, 8, {2, Cut(20, 20, 20, 0), Cut(20, 20, 20, 0)}));
  EXPECT_EQ(TouchedOutside(dest, Rect(8, 8, 28, 28)), 0);
  Surface(dest, 50, 50, kSentinel);  // a new bitmap, so a new device context
  DrawRect3(dest.Canvas()->Handle(), Rect(0, 0, 50, 41), &s.bmp, 1, 2, 0);
  EXPECT_TRUE(Shows(dest, 15, 10, {1, Cut(20, 20, 20, 0), Cut(20, 20, 20, 0)}));
}


// ---- Three-slice pictures





TEST(DrawRectTile, TransparentKeepsTheKeyOutOfEveryTile) {
  Strip s(1, 20, 12);
  s.Key(1, 5, 0);  // column 2 of the 13-wide middle, top row
  TBitmap dest;
  Surface(dest, 70, 40, kSentinel);
  DrawRectTile(dest.Canvas(), Rect(5, 3, 55, 15), &s.bmp, kMargins, 1, 1, 1, 0);
  EXPECT_TRUE(Shows(dest, 5, 3, {1, Cut(50, 20, 3, 4), Whole(12, 12), true, [](int x, int y) {
                                   return y == 0 && x >= 3 && x < 46 && (x - 3) % 13 == 2;
                                 }}));
  EXPECT_EQ(TouchedOutside(dest, Rect(5, 3, 55, 15)), 0);
}

TEST(DrawRectTile, AFrameWithoutAMiddlePaintsTheColumnsOnly) {
  Strip s(1, 20, 12);
  for (int trans : {0, 1}) {
    SCOPED_TRACE(trans);
    TBitmap dest;
    Surface(dest, 60, 20, kSentinel);
    DrawRectTile(dest.Canvas(), Rect(0, 0, 50, 12), &s.bmp, Rect(8, 0, 12, 0), 1, 1, trans, 0);
    EXPECT_TRUE(Shows(dest, 0, 0, {1, Cut(50, 20, 8, 12), Whole(12, 12), true, [](int x, int) {
                                     return x >= 8 && x < 38;
                                   }}));
    EXPECT_EQ(TouchedOutside(dest, Rect(0, 0, 50, 12)), 0);
  }
}

TEST(GetThumbMap, TopAndBottomRowsUnscaledAcrossTheWidth) {
  Strip s(4, 20, 12);
  auto pic = GetThumbMap(Rect(0, 0, 30, 40), &s.bmp, kMargins, 3, 4, 1, 0);
  EXPECT_TRUE(Shows(*pic, 0, 0, {3, Whole(30, 20), Cut(40, 12, 2, 5)}));
  // Stacked strips work the same way.
  Strip stacked(2, 20, 12, true);
  pic = GetThumbMap(Rect(0, 0, 30, 40), &stacked.bmp, kMargins, 2, 2, 0, 1);
  EXPECT_TRUE(Shows(*pic, 0, 0, {2, Whole(30, 20), Cut(40, 12, 2, 5)}));
  EXPECT_EQ(CountNot(*GetThumbMap(Rect(0, 0, 30, 40), &s.bmp, kMargins, 5, 4, 0, 0), 0), 0);
}

TEST(DrawBorder, EightPiecesAtTheRectangleMiddleLeftAlone) {
  Strip s(2, 20, 12, true);
  TBitmap dest;
  Surface(dest, 70, 50, kSentinel);
  const TRect r = Rect(10, 5, 60, 36);
  DrawBorder(dest.Canvas()->Handle(), r, &s.bmp, kMargins, 1, 2, 1, 1);
  EXPECT_TRUE(Shows(dest, 10, 5, {1, Cut(50, 20, 3, 4), Cut(31, 12, 2, 5), false, [](int x, int y) {
                                    return x >= 3 && x < 46 && y >= 2 && y < 26;
                                  }}));
  EXPECT_EQ(TouchedOutside(dest, r), 0);
  EXPECT_EQ(GetStretchBltMode(dest.Canvas()->Handle()), COLORONCOLOR);
}

// ---- Whole bitmaps

TEST(DrawBGbmp, TilesFromTheTopLeftOverhangingTheDestination) {
  Strip s(1, 10, 8);
  TBitmap dest;
  Surface(dest, 30, 30, kSentinel);
  // A 3 x 3 tile over 7 x 6: origins x 10, 13, 16 and y 10, 13, so the last tiles reach 19 and 16.
  DrawBGbmp(dest.Canvas(), Rect(10, 10, 17, 16), &s.bmp, Rect(2, 1, 5, 4));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 10 && x < 19 && y >= 10 && y < 16;
      ASSERT_EQ(PixelOf(dest, x, y), inside ? StripColor(1, 2 + (x - 10) % 3, 1 + (y - 10) % 3) : kSentinel)
          << x << "," << y;
    }
}

TEST(DrawBGbmp, SourcesAreCutToTheBitmapAndEmptyOnesDrawNothing) {
  Strip s(1, 10, 8);
  TBitmap dest;
  Surface(dest, 30, 30, kSentinel);
  DrawBGbmp(dest.Canvas(), Rect(0, 0, 20, 20), &s.bmp, Rect(0, 0, 0, 5));
  DrawBGbmp(dest.Canvas(), Rect(0, 0, 20, 20), &s.bmp, Rect(5, 5, 2, 8));
  DrawBGbmp(dest.Canvas(), Rect(0, 0, 20, 20), &s.bmp, Rect(10, 0, 14, 8));
  DrawBGbmp(dest.Canvas(), Rect(0, 0, 20, 20), nullptr, Rect(0, 0, 3, 3));
  EXPECT_EQ(CountNot(dest, kSentinel), 0);
  // Beyond the bitmap's edges only its own pixels are tiled: 2 x 3 tiles.
  DrawBGbmp(dest.Canvas(), Rect(0, 0, 4, 6), &s.bmp, Rect(8, -5, 14, 3));
  EXPECT_EQ(PixelOf(dest, 0, 0), StripColor(1, 8, 0));
  EXPECT_EQ(PixelOf(dest, 3, 5), StripColor(1, 9, 2));
  EXPECT_EQ(PixelOf(dest, 4, 0), kSentinel);
  EXPECT_EQ(PixelOf(dest, 0, 6), kSentinel);
}

TEST(Bitmapdraw, TheTopLeftPartOfTheRectanglesSize) {
  Strip s(1, 10, 8);
  TBitmap dest;
  Surface(dest, 30, 30, kSentinel);
  Bitmapdraw(dest.Canvas()->Handle(), Rect(3, 4, 8, 7), &s.bmp);
  EXPECT_TRUE(Shows(dest, 3, 4, {1, Cut(5, 5, 5, 0), Cut(3, 3, 3, 0)}));
  EXPECT_EQ(TouchedOutside(dest, Rect(3, 4, 8, 7)), 0);
  // A rectangle larger than the bitmap gets only the bitmap.
  Bitmapdraw(dest.Canvas()->Handle(), Rect(15, 15, 30, 30), &s.bmp);
  EXPECT_EQ(PixelOf(dest, 24, 22), StripColor(1, 9, 7));
  EXPECT_EQ(PixelOf(dest, 25, 22), kSentinel);
  EXPECT_EQ(PixelOf(dest, 24, 23), kSentinel);
}

TEST_P(Keyed, DrawTranmapCopiesAllButTheKey) {
  TBitmap pic;
  FillBitmap(pic, 6, 4, pf24bit, [](int x, int y) { return (x + y) % 3 == 0 ? kMagenta : StripColor(1, x, y); });
  TBitmap dest;
  Surface(dest, 20, 20, kSentinel);
  DrawTranmap(dest.Canvas()->Handle(), Rect(2, 3, 8, 7), &pic, clFuchsia);
  EXPECT_TRUE(Shows(dest, 2, 3, {1, Cut(6, 6, 6, 0), Cut(4, 4, 4, 0), false, [](int x, int y) {
                                   return (x + y) % 3 == 0;
                                 }}));
  EXPECT_EQ(TouchedOutside(dest, Rect(2, 3, 8, 7)), 0);
  // The key is a parameter: with black as the key the magenta pixels are drawn.
  Surface(dest, 20, 20, kSentinel);
  DrawTranmap(dest.Canvas()->Handle(), Rect(0, 0, 6, 4), &pic, clBlack);
  EXPECT_EQ(PixelOf(dest, 0, 0), kMagenta);
  EXPECT_EQ(PixelOf(dest, 1, 0), StripColor(1, 1, 0));
}

TEST_P(Keyed, DrawTranmapOfOnlyKeyPixelsChangesNothing) {
  TBitmap pic;
  FillBitmap(pic, 8, 8, pf32bit, [](int, int) { return kMagenta; });
  TBitmap dest;
  FillBitmap(dest, 12, 12, pf32bit, [](int x, int y) { return StripColor(2, x, y); });
  DrawTranmap(dest.Canvas()->Handle(), Rect(1, 1, 9, 9), &pic, clFuchsia);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(PixelOf(dest, x, y), StripColor(2, x, y)) << x << "," << y;
}

TEST_P(Keyed, DrawTranmapReadsNothingBeyondTheBitmap) {
  TBitmap pic;
  FillBitmap(pic, 5, 5, pf24bit, [](int x, int y) { return StripColor(1, x, y); });
  TBitmap dest;
  Surface(dest, 20, 20, kSentinel);
  DrawTranmap(dest.Canvas()->Handle(), Rect(4, 4, 14, 14), &pic, clFuchsia);
  EXPECT_TRUE(Shows(dest, 4, 4, {1, Cut(5, 5, 5, 0), Cut(5, 5, 5, 0)}));
  EXPECT_EQ(TouchedOutside(dest, Rect(4, 4, 9, 9)), 0);
  DrawTranmap(dest.Canvas()->Handle(), Rect(14, 4, 4, 14), &pic, clFuchsia);
  EXPECT_EQ(TouchedOutside(dest, Rect(4, 4, 9, 9)), 0);
}

// A copy on the pixels must honour what the blits honour: the clip, the origin and the edges of
// the destination.
TEST_P(Keyed, DrawTranmapKeepsToTheClipTheOriginAndTheEdgesOfTheDC) {
  TBitmap pic;
  FillBitmap(pic, 6, 4, pf24bit, [](int x, int y) { return x == 0 && y == 0 ? kMagenta : StripColor(1, x, y); });
  TBitmap dest;
  Surface(dest, 20, 20, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, 4, 4, 7, 6);
  DrawTranmap(dc, Rect(2, 3, 8, 7), &pic, clFuchsia);
  RestoreDC(dc, saved);
  EXPECT_EQ(PixelOf(dest, 4, 4), StripColor(1, 2, 1));
  EXPECT_EQ(PixelOf(dest, 6, 5), StripColor(1, 4, 2));
  EXPECT_EQ(TouchedOutside(dest, Rect(4, 4, 7, 6)), 0);

  Surface(dest, 20, 20, kSentinel);
  dc = dest.Canvas()->Handle();
  SetViewportOrgEx(dc, 5, 2, nullptr);
  DrawTranmap(dc, Rect(0, 0, 6, 4), &pic, clFuchsia);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(PixelOf(dest, 5, 2), kSentinel);
  EXPECT_EQ(PixelOf(dest, 6, 2), StripColor(1, 1, 0));
  EXPECT_EQ(PixelOf(dest, 10, 5), StripColor(1, 5, 3));
  EXPECT_EQ(TouchedOutside(dest, Rect(5, 2, 11, 6)), 0);

  // Hanging over the top-left and bottom-right corners: only what lies on the picture lands.
  Surface(dest, 20, 20, kSentinel);
  dc = dest.Canvas()->Handle();
  DrawTranmap(dc, Rect(-2, -1, 4, 3), &pic, clFuchsia);
  DrawTranmap(dc, Rect(17, 18, 23, 22), &pic, clFuchsia);
  EXPECT_EQ(PixelOf(dest, 0, 0), StripColor(1, 2, 1));
  EXPECT_EQ(PixelOf(dest, 3, 1), StripColor(1, 5, 2));
  EXPECT_EQ(PixelOf(dest, 19, 19), StripColor(1, 2, 1));
  EXPECT_EQ(PixelOf(dest, 17, 18), kSentinel);
  EXPECT_EQ(TouchedOutside(dest, Rect(0, 0, 4, 3)), 3 * 2 - 1);  // the corner's own key pixel stays
}

INSTANTIATE_TEST_SUITE_P(EachPath, Keyed, testing::Values(kcMaskBlt, kcThreeBlits, kcPixels),
                         [](const testing::TestParamInfo<TKeyedCopyMethod>& i) {
                           return i.param == kcMaskBlt ? "MaskBlt" : i.param == kcThreeBlits ? "ThreeBlits" : "Pixels";
                         });

TEST(DrawTranmap, ThreeBlitsRestoreTheColoursOfTheDC) {
  KeyedCopyMethod = kcThreeBlits;
  TBitmap pic;
  FillBitmap(pic, 4, 4, pf24bit, [](int x, int) { return x ? StripColor(1, 0, 0) : kMagenta; });
  TBitmap dest;
  Surface(dest, 8, 8, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  SetBkColor(dc, RGB(1, 2, 3));
  SetTextColor(dc, RGB(4, 5, 6));
  DrawTranmap(dc, Rect(0, 0, 4, 4), &pic, clFuchsia);
  KeyedCopyMethod = kcPlatform;
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
  EXPECT_EQ(PixelOf(dest, 0, 0), kSentinel);
  EXPECT_EQ(PixelOf(dest, 1, 0), StripColor(1, 0, 0));
}

// ---- Regions

struct RegionOwner {
  explicit RegionOwner(HRGN h) : h(h) {}
  ~RegionOwner() {
    if (h) DeleteObject(h);
  }
  HRGN h;
};

std::vector<RECT> RectsOf(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<uint8_t> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  GetRegionData(rgn, size, data);
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(r, r + data->rdh.nCount);
}

// The region of the pixels for which opaque(x, y) holds, built pixel by pixel a row at a time.
HRGN PixelRegion(int w, int h, int dx, int dy, const std::function<bool(int, int)>& opaque) {
  HRGN total = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < h; ++y) {
    HRGN row = CreateRectRgn(0, 0, 0, 0);
    for (int x = 0; x < w; ++x) {
      if (!opaque(x, y)) continue;
      HRGN px = CreateRectRgn(x + dx, y + dy, x + dx + 1, y + dy + 1);
      CombineRgn(row, row, px, RGN_OR);
      DeleteObject(px);
    }
    CombineRgn(total, total, row, RGN_OR);
    DeleteObject(row);
  }
  return total;
}

TEST(BitmapToRegion, MatchesARegionBuiltPixelByPixel) {
  // Red is the key (with green up to 1 above it); blue, grey and a red one step darker are not.
  // A red/blue swap would drop the blue pixels and keep the red ones.
  const uint32_t red = 0x0000FF, nearRed = 0x0001FF, darkRed = 0x0000FE, blue = 0xFF0000, grey = 0x808080;
  const uint32_t palette[] = {red, red, red, red, nearRed, blue, blue, darkRed, grey, grey};
  const int w = 640, h = 40;
  std::vector<uint32_t> pixels(size_t(w * h));
  uint32_t seed = 12345;
  for (uint32_t& p : pixels) {
    seed = seed * 1103515245u + 12345u;
    p = palette[(seed >> 16) % 10];
  }
  auto opaque = [&](int x, int y) {
    uint32_t p = pixels[size_t(y * w + x)];
    return p != red && p != nearRed;
  };
  int runs = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (opaque(x, y) && (x == 0 || !opaque(x - 1, y))) ++runs;
  ASSERT_GT(runs, 2 * 2000);  // several blocks of 2000 rectangles

  TBitmap bmp;
  FillBitmap(bmp, w, h, pf24bit, [&](int x, int y) { return pixels[size_t(y * w + x)]; });
  RegionOwner got(BitmapToRegion(&bmp, 7, -3, clRed, 0, 1, 0));
  RegionOwner want(PixelRegion(w, h, 7, -3, opaque));
  ASSERT_NE(got.h, nullptr);
  EXPECT_TRUE(EqualRgn(got.h, want.h));
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
}

TEST(BitmapToRegion, OneRectanglePerRunOfARow) {
  TBitmap bmp;
  const uint32_t row[] = {0x808080, kMagenta, 0x808080};
  FillBitmap(bmp, 3, 1, pf24bit, [&](int x, int) { return row[x]; });
  RegionOwner rgn(BitmapToRegion(&bmp, 0, 0, clFuchsia, 1, 1, 1));
  std::vector<RECT> rects = RectsOf(rgn.h);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(FromRECT(rects[0]), Rect(0, 0, 1, 1));
  EXPECT_EQ(FromRECT(rects[1]), Rect(2, 0, 3, 1));

  // Within the tolerance upward only.
  const uint32_t tol[] = {kMagenta, MakeColor(255, 1, 255), MakeColor(254, 0, 255)};
  FillBitmap(bmp, 3, 2, pf24bit, [&](int x, int) { return tol[x]; });
  RegionOwner tolerant(BitmapToRegion(&bmp, 10, 20, clFuchsia, 1, 1, 1));
  rects = RectsOf(tolerant.h);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(FromRECT(rects[0]), Rect(12, 20, 13, 22));
}

TEST(BitmapToRegion, EmptyBitmapsGiveEmptyRegions) {
  TBitmap empty;
  RegionOwner rgn(BitmapToRegion(&empty, 0, 0, clFuchsia, 1, 1, 1));
  ASSERT_NE(rgn.h, nullptr);
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn.h, &box), NULLREGION);
  RegionOwner none(BitmapToRegion(nullptr, 0, 0, clFuchsia, 1, 1, 1));
  ASSERT_NE(none.h, nullptr);
  EXPECT_EQ(GetRgnBox(none.h, &box), NULLREGION);
  TBitmap keyOnly;
  FillBitmap(keyOnly, 5, 5, pf24bit, [](int, int) { return kMagenta; });
  RegionOwner allKey(BitmapToRegion(&keyOnly, 0, 0, clFuchsia, 0, 0, 0));
  EXPECT_EQ(GetRgnBox(allKey.h, &box), NULLREGION);
}

// ---- Parents

uint32_t ParentColor(int x, int y) { return MakeColor(uint8_t(0x10 + x / 10 * 8), uint8_t(0x20 + y / 10 * 8), 0x77); }
constexpr uint32_t kParentMark = 0x030201;
constexpr int kMarkX = 35, kMarkY = 25;

LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(wnd, &rc);
      for (int y = 0; y < rc.bottom; y += 10)
        for (int x = 0; x < rc.right; x += 10) {
          TBrushHandle b(CreateSolidBrush(ParentColor(x, y)));
          RECT cell{x, y, x + 10, y + 10};
          FillRect(HDC(wp), &cell, b.get());
        }
      return 1;
    }
    case WM_PRINTCLIENT: {
      TBrushHandle b(CreateSolidBrush(kParentMark));
      RECT mark{kMarkX, kMarkY, kMarkX + 2, kMarkY + 2};
      FillRect(HDC(wp), &mark, b.get());
      return 0;
    }
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

struct Window {
  explicit Window(HWND h) : h(h) {}
  ~Window() {
    if (h) DestroyWindow(h);
  }
  HWND h;
};

HWND MakeParent() {
  RegisterWindowClass(L"KaroTestParent", ParentProc, {.Background = kNoBackground});
  return CreateWindowExW(0, L"KaroTestParent", L"", WS_POPUP, 100, 100, 120, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST(DrawParentImage, PaintsWhatTheParentShowsUnderTheControl) {
  Window parent(MakeParent());
  ASSERT_NE(parent.h, nullptr);
  Window child(CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 30, 20, 20, 15, parent.h, nullptr,
                               GetModuleHandleW(nullptr), nullptr));
  ASSERT_NE(child.h, nullptr);
  TBitmap dest;
  Surface(dest, 40, 40, kSentinel);
  HDC dc = dest.Canvas()->Handle();
  DrawParentImage(child.h, dc, true);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      uint32_t want = kSentinel;  // the parent paints only inside the control's client area
      if (x < 20 && y < 15) {
        const bool mark = x + 30 >= kMarkX && x + 30 < kMarkX + 2 && y + 20 >= kMarkY && y + 20 < kMarkY + 2;
        want = mark ? kParentMark : ParentColor(x + 30, y + 20);
      }
      ASSERT_EQ(PixelOf(dest, x, y), want) << x << "," << y;
    }
  // The device context is given back as it was.
  POINT org{1, 1};
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(org.y, 0);
  RECT clip;
  GetClipBox(dc, &clip);
  EXPECT_EQ(FromRECT(clip), Rect(0, 0, 40, 40));
}

TEST(DrawParentImage, NothingForAWindowWithoutAParent) {
  Window top(MakeParent());
  TBitmap dest;
  Surface(dest, 20, 20, kSentinel);
  DrawParentImage(top.h, dest.Canvas()->Handle(), false);
  DrawParentImage(nullptr, dest.Canvas()->Handle(), false);
  EXPECT_EQ(CountNot(dest, kSentinel), 0);
}

// ---- The work bitmap

TEST(WorkBitmap, MadeAtStartUpAfterTheControlAtom) {
  EXPECT_NE(ControlAtom, 0);
  ASSERT_NE(BG, nullptr);
  EXPECT_EQ(GetStretchBltMode(BG->Canvas()->Handle()), COLORONCOLOR);
  // Sizing gives the canvas a new context; the stretch mode is set on it again.
  ASSERT_EQ(SizeBG(30, 20), BG);
  EXPECT_EQ(BG->Width(), 30);
  EXPECT_EQ(GetStretchBltMode(BG->Canvas()->Handle()), COLORONCOLOR);
  BG->SetSize(31, 21);
  EXPECT_EQ(GetStretchBltMode(BG->Canvas()->Handle()), COLORONCOLOR);
}

TEST(WorkBitmap, OnlyTheOutermostStartAndEndMakeAndFreeIt) {
  TBitmap* first = BG;
  InitVeltForm();
  EXPECT_EQ(BG, first);
  DoneVeltForm();
  EXPECT_EQ(BG, first);
  DoneVeltForm();
  EXPECT_EQ(BG, nullptr);
  EXPECT_EQ(SizeBG(10, 10), nullptr);
  DoneVeltForm();  // one end too many changes nothing
  InitVeltForm();
  ASSERT_NE(BG, nullptr);
  EXPECT_EQ(GetStretchBltMode(BG->Canvas()->Handle()), COLORONCOLOR);
}

TEST(WorkBitmap, EachThreadPaintsInItsOwnAndFreesItWhenItEnds) {
  ASSERT_NE(SizeBG(8, 8), nullptr);
  TBitmap* mine = BG;
  TBitmap* theirs = nullptr;
  HBITMAP theirHandle = nullptr;
  int theirMode = 0;
  std::thread other([&] {
    EXPECT_EQ(BG, nullptr);  // none until the thread asks for one
    theirs = SizeBG(12, 5);
    if (theirs) {
      theirHandle = theirs->Handle();
      theirMode = GetStretchBltMode(theirs->Canvas()->Handle());
    }
  });
  other.join();
  ASSERT_NE(theirs, nullptr);
  EXPECT_NE(theirs, mine);
  EXPECT_EQ(theirMode, COLORONCOLOR);
  // The other thread's picture went with it; this thread's is untouched.
  EXPECT_EQ(GetObjectType(theirHandle), 0u);
  EXPECT_EQ(BG, mine);
  EXPECT_EQ(BG->Width(), 8);
}

TEST(MaxMin, LargerAndSmaller) {
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(Max(7, 7), 7);
  EXPECT_EQ(Min(-3, 2), -3);
  EXPECT_EQ(Min(INT_MIN, INT_MAX), INT_MIN);
}

}  // namespace
