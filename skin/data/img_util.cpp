#include "skin/data/img_util.h"

#include <algorithm>
#include <cstring>

namespace {

bool Is24(const TPixelView& v) { return !v.Empty() && v.BitsPerPixel == 24; }

uint8_t* Px(const TPixelView& v, int x, int y) { return v.Row(y) + size_t(x) * 3; }

int Channel(TColor c, int shift) { return int((uint32_t(c) >> shift) & 0xFF); }

// Line i of an n-line gradient; see GradientColors.
uint32_t GradientColorAt(int64_t i, int64_t n, TColor c1, TColor c2) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int64_t a = Channel(c1, shift), d = Channel(c2, shift) - a;
    int64_t v = n <= 1 ? a + d / 2 : a + ((n - 1) / 2 + i * d) / (n - 1);
    out |= uint32_t(v & 0xFF) << shift;
  }
  return out;
}

}  // namespace

void GrayscalePixels(const TPixelView& v) {
  if (!Is24(v)) return;
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) {
      uint8_t* p = Px(v, x, y);
      uint8_t g = uint8_t((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = g;
    }
}

void ReplaceMagentaPixels(const TPixelView& v, TColor color) {
  if (!Is24(v)) return;
  const uint8_t r = uint8_t(Channel(color, 0)), g = uint8_t(Channel(color, 8)), b = uint8_t(Channel(color, 16));
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) {
      uint8_t* p = Px(v, x, y);
      if (p[0] == 255 && p[1] == 0 && p[2] == 255) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
    }
}

void MirrorHorizontalPixels(const TPixelView& v) {
  if (!Is24(v)) return;
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0, z = v.Width - 1; x < z; ++x, --z) std::swap_ranges(Px(v, x, y), Px(v, x, y) + 3, Px(v, z, y));
}

void MirrorVerticalPixels(const TPixelView& v) {
  if (!Is24(v)) return;
  const size_t bytes = size_t(v.Width) * 3;
  for (int y = 0, z = v.Height - 1; y < z; ++y, --z) std::swap_ranges(v.Row(y), v.Row(y) + bytes, v.Row(z));
}

void Rotate180Pixels(const TPixelView& v) {
  if (!Is24(v)) return;
  MirrorVerticalPixels(v);
  MirrorHorizontalPixels(v);
}

TPixelImage RotateClockwisePixels(const TPixelView& v) {
  if (!Is24(v)) return TPixelImage(0, 0, 24);
  TPixelImage out(v.Height, v.Width, 24);
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) std::memcpy(out.Row(x) + size_t(v.Height - 1 - y) * 3, Px(v, x, y), 3);
  return out;
}

TPixelImage RotateCounterClockwisePixels(const TPixelView& v) {
  if (!Is24(v)) return TPixelImage(0, 0, 24);
  TPixelImage out(v.Height, v.Width, 24);
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) std::memcpy(out.Row(v.Width - 1 - x) + size_t(y) * 3, Px(v, x, y), 3);
  return out;
}

TColor BlendRGB(TColor c1, TColor c2, int w) {
  w = std::clamp(w, 0, 1000);
  const int d = w < 100 ? 100 : 1000;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int v = (Channel(c2, shift) * (d - w) + Channel(c1, shift) * w + d / 2) / d;
    out |= uint32_t(v) << shift;
  }
  return TColor(out);
}

int GetHSV(TColor c) {
  int r = Channel(c, 0), g = Channel(c, 8), b = Channel(c, 16);
  int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  if (mx < 160) return 200;
  // (max - min) / max * 255, rounded half to even, in exact integer arithmetic.
  int num = (mx - mn) * 255;
  int q = num / mx, rem = num % mx;
  if (2 * rem > mx || (2 * rem == mx && (q & 1))) ++q;
  return q;
}

std::vector<uint32_t> GradientColors(int n, TColor c1, TColor c2) {
  std::vector<uint32_t> out;
  if (n <= 0) return out;
  out.reserve(size_t(n));
  for (int i = 0; i < n; ++i) out.push_back(GradientColorAt(i, n, c1, c2));
  return out;
}

const std::vector<uint32_t>& TGradientCache::Get(int n, TColor c1, TColor c2) {
  for (int i = kSlots - 1; i >= 0; --i)
    if (slots_[i].N == n && slots_[i].C1 == c1 && slots_[i].C2 == c2) return slots_[i].Colors;
  TSlot& s = slots_[next_];
  next_ = (next_ + 1) % kSlots;
  s.N = n;
  s.C1 = c1;
  s.C2 = c2;
  s.Colors = GradientColors(n, c1, c2);
  ++fills_;
  return s.Colors;
}

TGradientCache& GradientCache() {
  static TGradientCache cache;
  return cache;
}

#ifdef _WIN32
#include "classlib/graphics/bitmap.h"

namespace {

// The bitmap as 24-bit pixels, converted first when it is not; an empty view for nil or empty.
TPixelView View24(TBitmap* bmp) {
  if (!bmp || bmp->Empty()) return {};
  if (bmp->PixelFormat() != pf24bit) bmp->SetPixelFormat(pf24bit);
  return bmp->PixelView();
}

// Gradients longer than this are computed line by line instead of being cached.
constexpr int kMaxCachedGradient = 1 << 16;

}  // namespace

void ConvertBitmapToGrayscale(TBitmap* bmp) { GrayscalePixels(View24(bmp)); }
void ChangeTrans(TBitmap* bmp, TColor color) { ReplaceMagentaPixels(View24(bmp), color); }
void SpiegelnHorizontal(TBitmap* bmp) { MirrorHorizontalPixels(View24(bmp)); }
void SpiegelnVertikal(TBitmap* bmp) { MirrorVerticalPixels(View24(bmp)); }
void Drehen180Grad(TBitmap* bmp) { Rotate180Pixels(View24(bmp)); }

void Drehen90Grad(TBitmap* bmp) {
  TPixelView v = View24(bmp);
  if (!v.Empty()) bmp->AssignPixels(RotateClockwisePixels(v), pf24bit);
}

void Drehen270Grad(TBitmap* bmp) {
  TPixelView v = View24(bmp);
  if (!v.Empty()) bmp->AssignPixels(RotateCounterClockwisePixels(v), pf24bit);
}

std::unique_ptr<TBitmap> Rotate90(TBitmap* bmp) {
  if (!bmp || bmp->PixelFormat() != pf24bit) return nullptr;
  auto out = std::make_unique<TBitmap>();
  out->SetPixelFormat(pf24bit);
  if (!bmp->Empty()) out->AssignPixels(RotateCounterClockwisePixels(bmp->PixelView()), pf24bit);
  return out;
}

TColor Blend(TColor c1, TColor c2, int w) { return BlendRGB(ColorToRGB(c1), ColorToRGB(c2), w); }

void GradFill(HDC dc, const TRect& rect, TColor c1, TColor c2, int direction) {
  RECT rc = ToRECT(rect);
  if (!dc || !RectVisible(dc, &rc)) return;
  const TColor a = TColor(GdiColor(c1)), b = TColor(GdiColor(c2));
  RECT clip{};
  GetClipBox(dc, &clip);
  const bool vertical = direction == 1;
  const int64_t start = vertical ? rect.Top : rect.Left;
  const int64_t n = vertical ? int64_t(rect.Bottom) - rect.Top : int64_t(rect.Right) - rect.Left;
  if (n <= 0) return;
  const int64_t clipStart = vertical ? clip.top : clip.left;
  const int64_t clipEnd = vertical ? clip.bottom : clip.right;
  const int64_t first = clipStart > start ? clipStart - start : 0;
  const int64_t last = clipEnd < start + n ? clipEnd - start - 1 : n - 1;
  if (first > last) return;
  const std::vector<uint32_t>* colors = n <= kMaxCachedGradient ? &GradientCache().Get(int(n), a, b) : nullptr;
  for (int64_t i = first; i <= last; ++i) {
    uint32_t color = colors ? (*colors)[size_t(i)] : GradientColorAt(i, n, a, b);
    TBrushHandle brush(CreateSolidBrush(color));
    int p = int(start + i);
    RECT strip = vertical ? RECT{rect.Left, p, rect.Right, p + 1} : RECT{p, rect.Top, p + 1, rect.Bottom};
    FillRect(dc, &strip, brush.get());
  }
}
#endif
