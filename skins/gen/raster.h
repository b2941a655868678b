// Coverage-based rasteriser of the skin generator: colours, a premultiplied RGBA layer, shapes given
// by signed distance functions, and the flattening of a layer into a 24-bit picture with a colour key.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Color {
  float r = 0, g = 0, b = 0;
};

Color Hex(uint32_t rgb);                       // 0xRRGGBB
Color Mix(Color a, Color b, float t);          // t = 0 gives a, 1 gives b
inline Color Lighten(Color c, float t) { return Mix(c, Hex(0xFFFFFF), t); }
inline Color Darken(Color c, float t) { return Mix(c, Hex(0x000000), t); }
float Luminance(Color c);                      // relative luminance of an sRGB colour

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
Rgb ToRgb(Color c);

constexpr Rgb kKey{255, 0, 255};
// The region builder of the library treats green 0 and 1 as key too; nothing else may come that close.
bool NearKey(Rgb c);

// A finished 24-bit picture: what goes into a BMP file.
struct Bitmap {
  int w = 0, h = 0;
  std::vector<Rgb> px;
  Bitmap() = default;
  Bitmap(int w, int h, Rgb fill = kKey);
  Rgb& at(int x, int y) { return px[size_t(y) * w + x]; }
  Rgb at(int x, int y) const { return px[size_t(y) * w + x]; }
  Bitmap Crop(int x, int y, int cw, int ch) const;
  void Blit(const Bitmap& src, int x, int y, bool keyed = false);  // clipped; keyed skips key pixels
};

Bitmap HStrip(const std::vector<Bitmap>& frames);  // frames side by side (all of one size)
Bitmap VStrip(const std::vector<Bitmap>& frames);  // frames stacked

// Signed distance in pixels: negative inside. Shapes are sampled at pixel centres (x + 0.5, y + 0.5).
using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Color(float x, float y)>;

Sdf RoundRect(float x0, float y0, float x1, float y1, float r);
Sdf RoundRect4(float x0, float y0, float x1, float y1, float tl, float tr, float br, float bl);
Sdf Circle(float cx, float cy, float r);
Sdf Capsule(float ax, float ay, float bx, float by, float halfWidth);  // a line with round ends
Sdf Polyline(std::vector<std::pair<float, float>> pts, float halfWidth);
Sdf Polygon(std::vector<std::pair<float, float>> pts);
Sdf Arc(float cx, float cy, float r, float a0, float a1, float halfWidth);  // angles in degrees, y down
Sdf Ring(Sdf shape, float width);       // the band of the given width just inside the outline
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);

Paint Solid(Color c);
Paint VGrad(float y0, float y1, Color c0, Color c1);         // clamped outside [y0, y1]
Paint HGrad(float x0, float x1, Color c0, Color c1);
Paint VGrad3(float y0, float ym, float y1, Color c0, Color cm, Color c1);

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;  // premultiplied
};

class Layer {
 public:
  Layer(int w, int h);
  int w() const { return w_; }
  int h() const { return h_; }
  // Composites Paint over the layer where the shape covers it, scaled by opacity.
  void Fill(const Sdf& shape, const Paint& paint, float opacity = 1.0f);
  void FillRect(float x0, float y0, float x1, float y1, const Paint& paint, float opacity = 1.0f);
  Rgba at(int x, int y) const { return px_[size_t(y) * w_ + x]; }
  // Keyed: pixels less than half covered become the key; the rest are composited over the matte,
  // which stands for whatever the library paints behind the element at that place.
  Bitmap Flatten(bool keyed, const std::function<Color(int x, int y)>& matte) const;
  Bitmap Flatten(bool keyed, Color matte) const;

 private:
  int w_, h_;
  std::vector<Rgba> px_;
};
