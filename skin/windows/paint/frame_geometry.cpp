#include "skin/windows/paint/frame_geometry.h"

#include <algorithm>

std::optional<TRect> FrameRect(int stripWidth, int stripHeight, int frameIndex, int frameCount, bool vertical) {
  if (frameCount <= 0 || frameIndex < 1 || frameIndex > frameCount) return std::nullopt;
  const int w = vertical ? stripWidth : stripWidth / frameCount;
  const int h = vertical ? stripHeight / frameCount : stripHeight;
  if (w <= 0 || h <= 0) return std::nullopt;
  const int x = vertical ? 0 : (frameIndex - 1) * w;
  const int y = vertical ? (frameIndex - 1) * h : 0;
  return Bounds(x, y, w, h);
}

TRect FitMargins(const TRect& margins, int64_t widthLimit, int64_t heightLimit) {
  TRect m{std::max(margins.Left, 0), std::max(margins.Top, 0), std::max(margins.Right, 0),
          std::max(margins.Bottom, 0)};
  if (int64_t(m.Left) + m.Right > widthLimit) m.Left = m.Right = 0;
  if (int64_t(m.Top) + m.Bottom > heightLimit) m.Top = m.Bottom = 0;
  return m;
}

TSlices NineSlice(const TRect& frame, const TRect& m, int width, int height) {
  const int x0 = frame.Left, y0 = frame.Top, x1 = frame.Right, y1 = frame.Bottom;
  const int W = width, H = height;
  TSlices s;
  s.Add(Rect(0, 0, m.Left, m.Top), Rect(x0, y0, x0 + m.Left, y0 + m.Top));
  s.Add(Rect(0, H - m.Bottom, m.Left, H), Rect(x0, y1 - m.Bottom, x0 + m.Left, y1));
  s.Add(Rect(W - m.Right, 0, W, m.Top), Rect(x1 - m.Right, y0, x1, y0 + m.Top));
  s.Add(Rect(0, m.Top, m.Left, H - m.Bottom), Rect(x0, y0 + m.Top, x0 + m.Left, y1 - m.Bottom));
  s.Add(Rect(m.Left, 0, W - m.Right, m.Top), Rect(x0 + m.Left, y0, x1 - m.Right, y0 + m.Top));
  s.Add(Rect(m.Left, m.Top, W - m.Right, H - m.Bottom), Rect(x0 + m.Left, y0 + m.Top, x1 - m.Right, y1 - m.Bottom));
  s.Add(Rect(W - m.Right, H - m.Bottom, W, H), Rect(x1 - m.Right, y1 - m.Bottom, x1, y1));
  s.Add(Rect(W - m.Right, m.Top, W, H - m.Bottom), Rect(x1 - m.Right, y0 + m.Top, x1, y1 - m.Bottom));
  s.Add(Rect(m.Left, H - m.Bottom, W - m.Right, H), Rect(x0 + m.Left, y1 - m.Bottom, x1 - m.Right, y1));
  return s;
}

TSlices ThreeSlice(const TRect& f, const TRect& m, const TRect& d, bool down) {
  TSlices s;
  if (down) {
    s.Add(Rect(d.Left, d.Top, d.Right, d.Top + m.Top), Rect(f.Left, f.Top, f.Right, f.Top + m.Top));
    s.Add(Rect(d.Left, d.Top + m.Top, d.Right, d.Bottom - m.Bottom),
          Rect(f.Left, f.Top + m.Top, f.Right, f.Bottom - m.Bottom));
    s.Add(Rect(d.Left, d.Bottom - m.Bottom, d.Right, d.Bottom), Rect(f.Left, f.Bottom - m.Bottom, f.Right, f.Bottom));
  } else {
    s.Add(Rect(d.Left, d.Top, d.Left + m.Left, d.Bottom), Rect(f.Left, f.Top, f.Left + m.Left, f.Bottom));
    s.Add(Rect(d.Left + m.Left, d.Top, d.Right - m.Right, d.Bottom),
          Rect(f.Left + m.Left, f.Top, f.Right - m.Right, f.Bottom));
    s.Add(Rect(d.Right - m.Right, d.Top, d.Right, d.Bottom), Rect(f.Right - m.Right, f.Top, f.Right, f.Bottom));
  }
  return s;
}

TTileRun TileRun(int32_t start, int32_t limit, int32_t step) {
  TTileRun run{start, step, 0};
  if (step > 0 && limit > start) run.Count = int32_t((int64_t(limit) - start + step - 1) / step);
  return run;
}

TPoint CenteredOrigin(const TRect& r, int width, int height) {
  return {r.Left + (r.Width() - width) / 2, r.Top + (r.Height() - height) / 2};
}

TKeyRange KeyRange(uint32_t key, int redTolerance, int greenTolerance, int blueTolerance) {
  auto high = [](uint8_t low, int tolerance) {
    return uint8_t(std::min(255, int(low) + std::clamp(tolerance, 0, 255)));
  };
  TKeyRange k;
  k.LowR = uint8_t(key);
  k.LowG = uint8_t(key >> 8);
  k.LowB = uint8_t(key >> 16);
  k.HighR = high(k.LowR, redTolerance);
  k.HighG = high(k.LowG, greenTolerance);
  k.HighB = high(k.LowB, blueTolerance);
  return k;
}

TPixelImage KeyMask(const TPixelView& view, int left, int top, int width, int height, uint32_t keyRGB) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  width = std::min(width, view.Width - left);
  height = std::min(height, view.Height - top);
  if (view.Empty() || width <= 0 || height <= 0) return TPixelImage(0, 0, 1);
  TPixelImage mask(width, height, 1);
  const uint8_t kr = uint8_t(keyRGB), kg = uint8_t(keyRGB >> 8), kb = uint8_t(keyRGB >> 16);
  const bool keyIsWhite = (keyRGB & 0xFFFFFFu) == 0xFFFFFFu, keyIsBlack = (keyRGB & 0xFFFFFFu) == 0;
  const size_t step = size_t(view.BitsPerPixel / 8);
  for (int y = 0; y < height; ++y) {
    const uint8_t* s = view.Row(top + y);
    uint8_t* d = mask.Row(y);
    for (int x = 0; x < width; ++x) {
      const int sx = left + x;
      bool key;
      if (view.BitsPerPixel == 1) {
        const bool white = (s[sx >> 3] & (0x80 >> (sx & 7))) != 0;
        key = white ? keyIsWhite : keyIsBlack;
      } else {
        const uint8_t* p = s + size_t(sx) * step;
        key = p[0] == kb && p[1] == kg && p[2] == kr;
      }
      if (key) d[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
  }
  return mask;
}
