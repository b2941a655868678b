// Geometry of the skinned scroll bars and combo boxes: the parts of a bar and the frame each part
// takes, the hit test, the thumb of a stand-alone scroll bar, the drop list's thumb drag, the
// corner square between two bars, the combo box's button and the date-time picker's arrow.
// Painters draw what these decide; the hit test and the painter share one layout. Portable.
#pragma once

#include <cstdint>

#include "classlib/graphics/graphic_types.h"

// The platform's MulDiv: a * b / c rounded half away from zero in 64 bits; -1 for c = 0 or a
// result outside 32 bits.
int32_t ScrollMulDiv(int32_t a, int32_t b, int32_t c);

// Scroll codes as hot parts (the platform's SB_ values); -1 none.
constexpr int32_t kPartNone = -1, kPartFirstArrow = 0, kPartSecondArrow = 1, kPartPageUp = 2, kPartPageDown = 3,
                  kPartThumb = 5;

struct TThumbSpan {
  int32_t Start = 0, End = 0;
  friend bool operator==(const TThumbSpan&, const TThumbSpan&) = default;
};

// The thumb of a stand-alone scroll bar of length L along it with arrows of A, from its range,
// page and position.
TThumbSpan ControlThumb(int32_t L, int32_t A, int32_t Min, int32_t Max, uint32_t Page, int32_t Pos);

// The thumb while it is dragged: the start at the press moved by Delta, kept on the track.
TThumbSpan DraggedThumb(TThumbSpan AtPress, int32_t Delta, int32_t A, int32_t Length);

// The drop list's drag: the position for a thumb offset (from the track's start) on a track of L
// with a thumb of T pixels.
int32_t DropListDragPos(int32_t Offset, int32_t L, int32_t T, int32_t Min, int32_t Max, uint32_t Page);

// One piece of a painted bar: where it goes (bar coordinates) and the frame of its strip; frame 0
// or an empty rectangle: not drawn.
struct TBarPiece {
  TRect R;
  int32_t Frame = 0;
};

// Everything a bar's painter draws, in order: track, two arrows, thumb, grip.
struct TBarLayout {
  TBarPiece Track, First, Second, Thumb, Grip;
};

struct TBarState {
  bool Vertical = true;
  int32_t Length = 0;     // along the bar, arrows included
  int32_t Thickness = 0;  // across
  int32_t Arrow = 0;      // the arrow size of the system
  TThumbSpan Thumb;
  int32_t Hot = kPartNone;
  bool Pressed = false;
  bool Enabled = true;
  int32_t GripSize = 0;  // the grip picture's size along the bar (the Scrollbar strip's height)
  int32_t Extent = 0;    // the window's size along the bar: pieces reaching it are not drawn
  // The drop list's bar: no hot or pressed part, and the thumb drawn only while enabled.
  bool Plain = false;
};

TBarLayout ScrollBarLayout(const TBarState& S);

// The part of the bar laid out for S under coordinate C along it (from the bar's first edge): the
// piece the painter puts on top there (the thumb over the arrows, the arrows over the track; a bar
// shorter than two arrows splits between them as it is drawn), and on the track the page on that
// side of the thumb (a thumb that is not drawn is track). Before the first arrow counts as the
// first arrow, past the second as the second.
int32_t ScrollBarHitPart(const TBarState& S, int32_t C);

// The same for an enabled bar of Length with arrows of Arrow and the thumb from ThumbStart to
// ThumbEnd, nothing of it cut off.
int32_t ScrollHitPart(int32_t C, int32_t Arrow, int32_t ThumbStart, int32_t ThumbEnd, int32_t Length);

// The square between a vertical and a horizontal bar (their rectangles in client coordinates),
// moved into window coordinates by the client area's offset.
TRect CornerSquare(const TRect& VertBar, const TRect& HorzBar, TPoint ClientOffset);

// ---- Combo boxes

// The frame of the combo's button, frame and glyph: 3 disabled, 2 pressed, 4 hot or focused, 1.
int32_t ComboFrame(bool Disabled, bool Pressed, bool Hot, bool Focused);

struct TComboLayout {
  TRect Text;    // left alone (excluded from the painting)
  TRect Button;  // the drawn button
  TRect Glyph;   // the box the arrow glyph is centred in
};
// For the combo's rectangle R (at the origin) and the arrow size A; the button on the left when
// LeftButton.
TComboLayout ComboBoxLayout(const TRect& R, int32_t A, bool LeftButton);
// W x H centred in Box (offsets halved toward zero).
TRect CentredIn(const TRect& Box, int32_t W, int32_t H);

// ---- Date-time pickers

// The left edge of the picker's arrow for a picker Width wide and an arrow of Size.
int32_t PickerArrowLeft(int32_t Width, int32_t Size, bool LeftButton);
