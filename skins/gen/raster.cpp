// Coverage-based rasteriser of the skin generator.
#include "skins/gen/raster.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Linear(float c) { return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f); }

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by) {
  float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
  float ex = px - dx * t, ey = py - dy * t;
  return std::sqrt(ex * ex + ey * ey);
}

// Coverage of a pixel by a shape from the distance at its centre: a box filter across the edge.
float Coverage(float d) { return Clamp01(0.5f - d); }

}  // namespace

Color Hex(uint32_t rgb) {
  return Color{float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f};
}

Color Mix(Color a, Color b, float t) {
  return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float Luminance(Color c) {
  return 0.2126f * Linear(Clamp01(c.r)) + 0.7152f * Linear(Clamp01(c.g)) + 0.0722f * Linear(Clamp01(c.b));
}

Rgb ToRgb(Color c) {
  auto q = [](float v) { return uint8_t(std::lround(Clamp01(v) * 255.0f)); };
  return Rgb{q(c.r), q(c.g), q(c.b)};
}

bool NearKey(Rgb c) { return c.r == 255 && c.g <= 1 && c.b == 255; }

Bitmap::Bitmap(int w_, int h_, Rgb fill) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}

Bitmap Bitmap::Crop(int x, int y, int cw, int ch) const {
  if (x < 0 || y < 0 || cw < 0 || ch < 0 || x + cw > w || y + ch > h) throw std::out_of_range("crop outside picture");
  Bitmap out(cw, ch);
  for (int j = 0; j < ch; ++j)
    for (int i = 0; i < cw; ++i) out.at(i, j) = at(x + i, y + j);
  return out;
}

void Bitmap::Blit(const Bitmap& src, int x, int y, bool keyed) {
  for (int j = 0; j < src.h; ++j) {
    int ty = y + j;
    if (ty < 0 || ty >= h) continue;
    for (int i = 0; i < src.w; ++i) {
      int tx = x + i;
      if (tx < 0 || tx >= w) continue;
      Rgb c = src.at(i, j);
      if (keyed && c == kKey) continue;
      at(tx, ty) = c;
    }
  }
}

Bitmap HStrip(const std::vector<Bitmap>& frames) {
  if (frames.empty()) return {};
  Bitmap out(frames[0].w * int(frames.size()), frames[0].h);
  for (size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].w != frames[0].w || frames[i].h != frames[0].h) throw std::logic_error("frames differ in size");
    out.Blit(frames[i], int(i) * frames[0].w, 0);
  }
  return out;
}

Bitmap VStrip(const std::vector<Bitmap>& frames) {
  if (frames.empty()) return {};
  Bitmap out(frames[0].w, frames[0].h * int(frames.size()));
  for (size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].w != frames[0].w || frames[i].h != frames[0].h) throw std::logic_error("frames differ in size");
    out.Blit(frames[i], 0, int(i) * frames[0].h);
  }
  return out;
}

Sdf RoundRect4(float x0, float y0, float x1, float y1, float tl, float tr, float br, float bl) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  return [=](float x, float y) {
    float px = x - cx, py = y - cy;
    float r = px > 0 ? (py > 0 ? br : tr) : (py > 0 ? bl : tl);
    r = std::min(r, std::min(hx, hy));
    float qx = std::fabs(px) - hx + r, qy = std::fabs(py) - hy + r;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
  };
}

Sdf RoundRect(float x0, float y0, float x1, float y1, float r) { return RoundRect4(x0, y0, x1, y1, r, r, r, r); }

Sdf Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Capsule(float ax, float ay, float bx, float by, float halfWidth) {
  return [=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) - halfWidth; };
}

Sdf Polyline(std::vector<std::pair<float, float>> pts, float halfWidth) {
  return [pts = std::move(pts), halfWidth](float x, float y) {
    float d = 1e9f;
    for (size_t i = 1; i < pts.size(); ++i)
      d = std::min(d, SegmentDistance(x, y, pts[i - 1].first, pts[i - 1].second, pts[i].first, pts[i].second));
    return d - halfWidth;
  };
}

Sdf Polygon(std::vector<std::pair<float, float>> pts) {
  return [pts = std::move(pts)](float x, float y) {
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      auto [xi, yi] = pts[i];
      auto [xj, yj] = pts[j];
      d = std::min(d, SegmentDistance(x, y, xj, yj, xi, yi));
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside ? -d : d;
  };
}

Sdf Arc(float cx, float cy, float r, float a0, float a1, float halfWidth) {
  const float kRad = 3.14159265f / 180.0f;
  float ex0 = cx + r * std::cos(a0 * kRad), ey0 = cy + r * std::sin(a0 * kRad);
  float ex1 = cx + r * std::cos(a1 * kRad), ey1 = cy + r * std::sin(a1 * kRad);
  return [=](float x, float y) {
    float a = std::atan2(y - cy, x - cx) / kRad;
    while (a < a0) a += 360;
    while (a >= a0 + 360) a -= 360;
    float d;
    if (a <= a1)
      d = std::fabs(std::hypot(x - cx, y - cy) - r);
    else
      d = std::min(std::hypot(x - ex0, y - ey0), std::hypot(x - ex1, y - ey1));
    return d - halfWidth;
  };
}

Sdf Ring(Sdf shape, float width) {
  return [shape = std::move(shape), width](float x, float y) {
    float d = shape(x, y);
    return std::max(d, -(d + width));
  };
}

Sdf Union(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Paint Solid(Color c) {
  return [c](float, float) { return c; };
}

Paint VGrad(float y0, float y1, Color c0, Color c1) {
  return [=](float, float y) { return Mix(c0, c1, y1 > y0 ? Clamp01((y - y0) / (y1 - y0)) : 0); };
}

Paint HGrad(float x0, float x1, Color c0, Color c1) {
  return [=](float x, float) { return Mix(c0, c1, x1 > x0 ? Clamp01((x - x0) / (x1 - x0)) : 0); };
}

Paint VGrad3(float y0, float ym, float y1, Color c0, Color cm, Color c1) {
  return [=](float, float y) {
    if (y < ym) return Mix(c0, cm, ym > y0 ? Clamp01((y - y0) / (ym - y0)) : 1);
    return Mix(cm, c1, y1 > ym ? Clamp01((y - ym) / (y1 - ym)) : 1);
  };
}

Layer::Layer(int w, int h) : w_(w), h_(h), px_(size_t(w) * h) {}

void Layer::Fill(const Sdf& shape, const Paint& paint, float opacity) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      float cx = x + 0.5f, cy = y + 0.5f;
      float a = Coverage(shape(cx, cy)) * opacity;
      if (a <= 0) continue;
      Color c = paint(cx, cy);
      Rgba& d = px_[size_t(y) * w_ + x];
      d.r = c.r * a + d.r * (1 - a);
      d.g = c.g * a + d.g * (1 - a);
      d.b = c.b * a + d.b * (1 - a);
      d.a = a + d.a * (1 - a);
    }
}

void Layer::FillRect(float x0, float y0, float x1, float y1, const Paint& paint, float opacity) {
  // A hard-edged rectangle: pixel-aligned edges stay crisp, fractional ones get partial coverage.
  Fill(
      [=](float x, float y) {
        return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1));
      },
      paint, opacity);
}

Bitmap Layer::Flatten(bool keyed, const std::function<Color(int x, int y)>& matte) const {
  Bitmap out(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      Rgba s = at(x, y);
      if (keyed && s.a < 0.5f) {
        out.at(x, y) = kKey;
        continue;
      }
      Color m = s.a < 1 ? matte(x, y) : Color{};
      Rgb c = ToRgb(Color{s.r + m.r * (1 - s.a), s.g + m.g * (1 - s.a), s.b + m.b * (1 - s.a)});
      if (NearKey(c)) c.g = 2;  // a drawn pixel must never read as transparent
      out.at(x, y) = c;
    }
  return out;
}

Bitmap Layer::Flatten(bool keyed, Color matte) const {
  return Flatten(keyed, [matte](int, int) { return matte; });
}
