#include "skin/windows/paint/scroll_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

int32_t ScrollMulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t p = int64_t(a) * b;
  const int64_t den = c < 0 ? -int64_t(c) : int64_t(c);
  const int64_t num = c < 0 ? -p : p;
  const int64_t q = (num >= 0 ? num + den / 2 : num - den / 2) / den;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return int32_t(q);
}

TThumbSpan ControlThumb(int32_t L, int32_t A, int32_t Min, int32_t Max, uint32_t Page, int32_t Pos) {
  // An empty range would divide by zero.
  const int32_t d = Max == Min ? 9999999 : Max - Min;
  int32_t start = A, t = 0;
  if (Page > 0) {
    t = ScrollMulDiv(L - 2 * A, int32_t(Page) - 1, d);
    if (t > 7) {
      if (Pos != Min) start = A + ScrollMulDiv(L - 2 * A, Pos - Min, d);
    } else {
      t = 8;
      if (Pos != Min) start = A + ScrollMulDiv(L - 2 * A - 8, Pos - Min, d);
    }
  } else {
    t = A;
    if (Pos != Min) start = A + ScrollMulDiv(L - 3 * A, Pos - Min, d);
  }
  return {start, start + t};
}

TThumbSpan DraggedThumb(TThumbSpan AtPress, int32_t Delta, int32_t A, int32_t Length) {
  const int32_t len = AtPress.End - AtPress.Start;
  int32_t s = AtPress.Start + Delta;
  s = std::max(s, A);
  s = std::min(s, Length - A - len);
  return {s, s + len};
}

int32_t DropListDragPos(int32_t Offset, int32_t L, int32_t T, int32_t Min, int32_t Max, uint32_t Page) {
  Offset = std::max(Offset, 0);
  int32_t pos;
  if (Page == 0) {
    Offset = std::min(Offset, L - T);
    pos = Min + ScrollMulDiv(Offset, Max - Min, L);
    pos = std::min(pos, Max);
  } else {
    if (Offset > L - T) Offset = L - T + 1;
    pos = Min + ScrollMulDiv(Offset, int32_t(int64_t(Max) - Min - Page), L - T);
    if (int64_t(pos) >= int64_t(Max) - int64_t(Page)) pos = int32_t(int64_t(Max) - int64_t(Page) + 1);
  }
  return std::max(pos, Min);
}

namespace {

// A span along the bar as a rectangle across its whole thickness.
TRect Along(bool vertical, int32_t from, int32_t to, int32_t thickness) {
  return vertical ? TRect{0, from, thickness, to} : TRect{from, 0, to, thickness};
}

}  // namespace

TBarLayout ScrollBarLayout(const TBarState& S) {
  TBarLayout l;
  const bool v = S.Vertical;
  const int32_t a0 = S.Arrow;
  l.Track.R = Along(v, a0, S.Length - a0, S.Thickness);
  l.Track.Frame = S.Enabled ? 1 : 3;
  if (l.Track.R.IsEmpty()) l.Track.Frame = 0;
  int32_t a = a0;
  if (S.Length < 2 * a) a = S.Length / 2;
  const int32_t base1 = v ? 9 : 1, base2 = v ? 13 : 5;
  auto arrowFrame = [&](int32_t base, int32_t code) {
    if (S.Plain || S.Hot != code) return base;
    return base + (S.Pressed ? 1 : 3);
  };
  l.First = {Along(v, 0, a, S.Thickness), arrowFrame(base1, kPartFirstArrow)};
  l.Second = {Along(v, S.Length - a, S.Length, S.Thickness), arrowFrame(base2, kPartSecondArrow)};
  if (!S.Enabled) return l;
  const bool hotThumb = !S.Plain && S.Hot == kPartThumb;
  const int32_t ts = S.Thumb.Start, te = S.Thumb.End;
  if (ts < S.Extent && te < S.Extent) {
    l.Thumb.R = Along(v, ts, te, S.Thickness);
    l.Thumb.Frame = hotThumb ? (S.Pressed ? 2 : 3) : 1;
  }
  const int32_t len = te - ts;
  if (S.GripSize > 0 && S.GripSize < len + 2) {
    const int32_t o = (len - S.GripSize) / 2;
    const int32_t g0 = ts + o, g1 = ts + o + S.GripSize;
    if (g0 < S.Extent && g1 < S.Extent) {
      l.Grip.R = Along(v, g0, g1, S.Thickness);
      l.Grip.Frame = (v ? 20 : 17) + (hotThumb ? (S.Pressed ? 1 : 2) : 0);
    }
  }
  return l;
}

int32_t ScrollBarHitPart(const TBarState& S, int32_t C) {
  const TBarLayout l = ScrollBarLayout(S);
  const bool v = S.Vertical;
  auto from = [v](const TRect& r) { return v ? r.Top : r.Left; };
  auto to = [v](const TRect& r) { return v ? r.Bottom : r.Right; };
  if (l.Thumb.Frame && C >= from(l.Thumb.R) && C < to(l.Thumb.R)) return kPartThumb;
  if (C >= from(l.Second.R)) return kPartSecondArrow;
  if (C < to(l.First.R)) return kPartFirstArrow;
  // Where no thumb is drawn (a disabled bar) the track runs on under it.
  return C < S.Thumb.Start ? kPartPageUp : kPartPageDown;
}

int32_t ScrollHitPart(int32_t C, int32_t Arrow, int32_t ThumbStart, int32_t ThumbEnd, int32_t Length) {
  TBarState s;
  s.Length = Length;
  s.Thickness = 1;
  s.Arrow = Arrow;
  s.Thumb = {ThumbStart, ThumbEnd};
  s.Extent = INT32_MAX;
  return ScrollBarHitPart(s, C);
}

TRect CornerSquare(const TRect& VertBar, const TRect& HorzBar, TPoint ClientOffset) {
  return {VertBar.Left + ClientOffset.X, HorzBar.Top + ClientOffset.Y, VertBar.Right + ClientOffset.X,
          HorzBar.Bottom + ClientOffset.Y};
}

int32_t ComboFrame(bool Disabled, bool Pressed, bool Hot, bool Focused) {
  if (Disabled) return 3;
  if (Pressed) return 2;
  if (Hot || Focused) return 4;
  return 1;
}

TComboLayout ComboBoxLayout(const TRect& R, int32_t A, bool LeftButton) {
  TComboLayout l;
  if (!LeftButton) {
    l.Text = {R.Left + 2, R.Top + 2, R.Right - A - 4, R.Bottom - 2};
    l.Button = {R.Right - A - 2, R.Top, R.Right, R.Bottom};
    l.Glyph = l.Button;
    l.Glyph.Right = R.Right - 2;
  } else {
    l.Text = {R.Left + A + 4, R.Top + 2, R.Right - 2, R.Bottom - 2};
    l.Button = {R.Left, R.Top, R.Left + A + 2, R.Bottom};
    l.Glyph = {2, R.Top, A + 2, R.Bottom};
  }
  return l;
}

TRect CentredIn(const TRect& Box, int32_t W, int32_t H) {
  const int32_t x = Box.Left + (Box.Width() - W) / 2, y = Box.Top + (Box.Height() - H) / 2;
  return {x, y, x + W, y + H};
}

int32_t PickerArrowLeft(int32_t Width, int32_t Size, bool LeftButton) { return LeftButton ? 2 : Width - Size - 4; }
