// The geometry of skinned scroll bars, combo boxes and date-time pickers: hit tests, thumbs,
// drags, the pieces of a bar with their frames, the corner square and the combo's button.
#include <gtest/gtest.h>

#include "skin/windows/paint/scroll_geometry.h"

namespace {

TEST(ScrollGeometry, HitTestAlongTheBar) {
  // 17-pixel arrows, thumb from 40 to 60 on a bar of 200.
  const struct {
    int C, Part;
  } rows[] = {{0, kPartFirstArrow},  {16, kPartFirstArrow},  {17, kPartPageUp},       {39, kPartPageUp},
              {40, kPartThumb},      {59, kPartThumb},       {60, kPartPageDown},     {182, kPartPageDown},
              {183, kPartSecondArrow}, {199, kPartSecondArrow}, {-5, kPartFirstArrow}};
  for (const auto& r : rows) EXPECT_EQ(ScrollHitPart(r.C, 17, 40, 60, 200), r.Part) << r.C;
}

TEST(ScrollGeometry, StandAloneThumbs) {
  // No page: an arrow-sized thumb; a page too small for 8 pixels gives 8; an empty range divides
  // by the guard, not by zero.
  EXPECT_EQ(ControlThumb(200, 17, 0, 100, 0, 0), (TThumbSpan{17, 34}));
  EXPECT_EQ(ControlThumb(200, 17, 0, 100, 0, 100), (TThumbSpan{17 + 149, 17 + 149 + 17}));
  EXPECT_EQ(ControlThumb(200, 17, 0, 1000, 2, 0), (TThumbSpan{17, 25}));
  EXPECT_EQ(ControlThumb(200, 17, 0, 99, 10, 45).End - ControlThumb(200, 17, 0, 99, 10, 45).Start, 15);
  EXPECT_EQ(ControlThumb(200, 17, 5, 5, 0, 5), (TThumbSpan{17, 34}));
}

TEST(ScrollGeometry, DraggedThumbStaysOnTheTrack) {
  EXPECT_EQ(DraggedThumb({40, 60}, 10, 17, 200), (TThumbSpan{50, 70}));
  EXPECT_EQ(DraggedThumb({40, 60}, -100, 17, 200), (TThumbSpan{17, 37}));
  EXPECT_EQ(DraggedThumb({40, 60}, 500, 17, 200), (TThumbSpan{163, 183}));
}

TEST(ScrollGeometry, DropListDragPositions) {
  // A paged list dragged to the bottom reaches Max - Page + 1; the top gives Min.
  EXPECT_EQ(DropListDragPos(1000, 100, 20, 0, 49, 10), 40);
  EXPECT_EQ(DropListDragPos(-30, 100, 20, 0, 49, 10), 0);
  EXPECT_EQ(DropListDragPos(40, 100, 20, 0, 49, 10), 20);
  // Without a page the position stops at Max; a track no longer than the thumb gives Min.
  EXPECT_EQ(DropListDragPos(1000, 100, 17, 0, 30, 0), 25);
  EXPECT_EQ(DropListDragPos(10, 20, 20, 3, 50, 5), 3);
}

// A bar of 200 with 17-pixel arrows and grip, its thumb from 40 to 80.
TBarState Bar(bool Vertical) {
  TBarState s;
  s.Vertical = Vertical;
  s.Length = 200;
  s.Thickness = 17;
  s.Arrow = 17;
  s.Thumb = {40, 80};
  s.GripSize = 17;
  s.Extent = 200;
  return s;
}

TEST(ScrollGeometry, BarPiecesAndFrames) {
  TBarState s = Bar(true);
  TBarLayout l = ScrollBarLayout(s);
  EXPECT_EQ(l.First.Frame, 9);
  EXPECT_EQ(l.Second.Frame, 13);
  EXPECT_EQ(l.Second.R, (TRect{0, 183, 17, 200}));
  EXPECT_EQ(l.Track.R, (TRect{0, 17, 17, 183}));
  EXPECT_EQ(l.Thumb.Frame, 1);
  EXPECT_EQ(l.Grip.R, (TRect{0, 51, 17, 68}));
  EXPECT_EQ(l.Grip.Frame, 20);
  s.Hot = kPartSecondArrow;
  EXPECT_EQ(ScrollBarLayout(s).Second.Frame, 16);
  s.Pressed = true;
  EXPECT_EQ(ScrollBarLayout(s).Second.Frame, 14);
  s.Hot = kPartThumb;
  EXPECT_EQ(ScrollBarLayout(s).Thumb.Frame, 2);
  EXPECT_EQ(ScrollBarLayout(s).Grip.Frame, 21);
  s.Pressed = false;
  EXPECT_EQ(ScrollBarLayout(s).Grip.Frame, 22);
  // The grip shows from a thumb of G - 1 pixels on.
  s.Thumb = {40, 55};
  EXPECT_EQ(ScrollBarLayout(s).Grip.Frame, 0);
  s.Thumb = {40, 56};
  EXPECT_NE(ScrollBarLayout(s).Grip.Frame, 0);
  // Disabled: track frame 3, no thumb, no grip. Too short: half arrows, no track.
  s.Enabled = false;
  l = ScrollBarLayout(s);
  EXPECT_EQ(l.Track.Frame, 3);
  EXPECT_EQ(l.Thumb.Frame, 0);
  EXPECT_EQ(l.Grip.Frame, 0);
  s.Enabled = true;
  s.Length = 20;
  l = ScrollBarLayout(s);
  EXPECT_EQ(l.First.R, (TRect{0, 0, 17, 10}));
  EXPECT_EQ(l.Second.R, (TRect{0, 10, 17, 20}));
  EXPECT_EQ(l.Track.Frame, 0);
  // Horizontal bars take the left and right arrows and the horizontal grip.
  l = ScrollBarLayout(Bar(false));
  EXPECT_EQ(l.First.Frame, 1);
  EXPECT_EQ(l.Second.Frame, 5);
  EXPECT_EQ(l.Grip.Frame, 17);
  EXPECT_EQ(l.Thumb.R, (TRect{40, 0, 80, 17}));
}

// Every pixel along a bar that the painter gives a piece hit-tests to that piece: short bars whose
// arrows share the length, thumbs against the arrows, disabled bars.
TEST(ScrollGeometry, TheHitTestAnswersThePieceThatIsPaintedThere) {
  auto state = [](int32_t length, TThumbSpan thumb, bool enabled) {
    TBarState s;
    s.Length = length;
    s.Thickness = 17;
    s.Arrow = 17;
    s.Thumb = thumb;
    s.Enabled = enabled;
    s.GripSize = 8;
    s.Extent = length;
    return s;
  };
  const struct {
    const char* what;
    TBarState s;
  } cases[] = {
      {"a long bar", state(200, {40, 60}, true)},
      {"thumb against the first arrow", state(200, {17, 40}, true)},
      {"thumb against the second arrow", state(200, {150, 183}, true)},
      {"shorter than two arrows", state(20, {0, 0}, true)},
      {"shorter than two arrows, odd", state(21, {0, 0}, true)},
      {"shorter than two arrows with a thumb", state(30, {10, 20}, true)},
      {"disabled", state(200, {40, 60}, false)},
      {"no room for a thumb", state(34, {17, 17}, true)},
  };
  for (const auto& c : cases) {
    for (bool vertical : {true, false}) {
      SCOPED_TRACE(testing::Message() << c.what << (vertical ? ", vertical" : ", horizontal"));
      TBarState s = c.s;
      s.Vertical = vertical;
      const TBarLayout l = ScrollBarLayout(s);
      for (int32_t at = 0; at < s.Length; ++at) {
        const TPoint p = vertical ? TPoint{s.Thickness / 2, at} : TPoint{at, s.Thickness / 2};
        auto holds = [&](const TBarPiece& piece) {
          return piece.Frame != 0 && p.X >= piece.R.Left && p.X < piece.R.Right && p.Y >= piece.R.Top &&
                 p.Y < piece.R.Bottom;
        };
        // The last piece drawn over a point is the one seen there (the grip lies on the thumb).
        int32_t seen = kPartNone;
        if (holds(l.Track)) seen = at < s.Thumb.Start ? kPartPageUp : kPartPageDown;
        if (holds(l.First)) seen = kPartFirstArrow;
        if (holds(l.Second)) seen = kPartSecondArrow;
        if (holds(l.Thumb) || holds(l.Grip)) seen = kPartThumb;
        if (seen == kPartNone) continue;
        EXPECT_EQ(ScrollBarHitPart(s, at), seen) << at;
      }
    }
  }
}

TEST(ScrollGeometry, CornerFollowsTheClientOffset) {
  EXPECT_EQ(CornerSquare({100, 0, 117, 80}, {0, 80, 100, 97}, {2, 2}), (TRect{102, 82, 119, 99}));
  EXPECT_EQ(CornerSquare({100, 0, 117, 80}, {0, 80, 100, 97}, {1, 1}), (TRect{101, 81, 118, 98}));
}

TEST(ComboGeometry, FramesLayoutAndArrow) {
  EXPECT_EQ(ComboFrame(true, true, true, true), 3);
  EXPECT_EQ(ComboFrame(false, true, true, true), 2);
  EXPECT_EQ(ComboFrame(false, false, true, false), 4);
  EXPECT_EQ(ComboFrame(false, false, false, true), 4);
  EXPECT_EQ(ComboFrame(false, false, false, false), 1);
  const TComboLayout r = ComboBoxLayout({0, 0, 120, 21}, 17, false);
  EXPECT_EQ(r.Text, (TRect{2, 2, 99, 19}));
  EXPECT_EQ(r.Button, (TRect{101, 0, 120, 21}));
  EXPECT_EQ(r.Glyph, (TRect{101, 0, 118, 21}));
  const TComboLayout l = ComboBoxLayout({0, 0, 120, 21}, 17, true);
  EXPECT_EQ(l.Text, (TRect{21, 2, 118, 19}));
  EXPECT_EQ(l.Button, (TRect{0, 0, 19, 21}));
  EXPECT_EQ(l.Glyph, (TRect{2, 0, 19, 21}));
  EXPECT_EQ(CentredIn({101, 0, 118, 21}, 9, 9), (TRect{105, 6, 114, 15}));
  EXPECT_EQ(CentredIn({0, 0, 5, 5}, 9, 9), (TRect{-2, -2, 7, 7}));
  EXPECT_EQ(PickerArrowLeft(100, 17, false), 79);
  EXPECT_EQ(PickerArrowLeft(100, 17, true), 2);
  EXPECT_EQ(ScrollMulDiv(7, 3, 2), 11);
  EXPECT_EQ(ScrollMulDiv(-7, 3, 2), -11);
  EXPECT_EQ(ScrollMulDiv(5, 5, 0), -1);
}

}  // namespace
