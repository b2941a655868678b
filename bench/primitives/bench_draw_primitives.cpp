// Nine-slice draws per second into a 32-bit DIB section: a 200 x 30 push button from a 5-frame
// strip, and a whole 1000 x 700 window frame (left, right and bottom borders and the title bar,
// each composed off screen and copied in one blit), middles stretched or tiled. One line each.
#include <chrono>
#include <cstdio>

#include "skin/windows/paint/draw_primitives.h"

namespace {

// A 24-bit strip whose pixels all differ, as a skin picture's would.
void FillStrip(TBitmap& strip, int width, int height) {
  TPixelImage img(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) img.SetPixelRGB(x, y, uint32_t(x * 7 + y * 131) & 0xF0F0F0);
  strip.AssignPixels(img, pf24bit);
}

// Calls draw for about half a second and gives the calls per second.
template <class Draw>
double PerSecond(Draw draw) {
  using clock = std::chrono::steady_clock;
  for (int i = 0; i < 20; ++i) draw();
  GdiFlush();
  long n = 0;
  const auto start = clock::now();
  double elapsed = 0;
  do {
    for (int i = 0; i < 50; ++i) draw();
    GdiFlush();
    n += 50;
    elapsed = std::chrono::duration<double>(clock::now() - start).count();
  } while (elapsed < 0.5);
  return double(n) / elapsed;
}

void Report(const char* what, double perSecond, const char* unit) {
  std::printf("%-44s %9.0f %s/s  %8.1f us each\n", what, perSecond, unit, 1e6 / perSecond);
}

}  // namespace

int main() {
  TBitmap surface;
  surface.SetSize(1000, 700);
  HDC dc = surface.Canvas()->Handle();

  TBitmap button;  // 5 frames of 60 x 22
  FillStrip(button, 300, 22);
  const TRect buttonMargins = Rect(4, 4, 4, 4);
  TBitmap left, right, top, bottom;  // two frames each; the top and bottom ones stacked
  FillStrip(left, 12, 120);
  FillStrip(right, 12, 120);
  FillStrip(top, 300, 60);
  FillStrip(bottom, 300, 12);
  const int bw = 6, th = 30;

  for (int tile : {0, 1}) {
    const char* how = tile ? "tiled" : "stretched";
    char what[80];
    std::snprintf(what, sizeof what, "nine-slice 200x30 button, %s:", how);
    Report(what, PerSecond([&] { DrawRect2(dc, Rect(10, 10, 210, 40), &button, buttonMargins, 4, 5, 0, tile, 0); }),
           "draws");
    std::snprintf(what, sizeof what, "1000x700 window frame (4 borders), %s:", how);
    Report(what, PerSecond([&] {
             DrawRect2(dc, Rect(0, 0, bw, 700), &left, Rect(0, 30, 0, 10), 1, 2, 0, tile, 0);
             DrawRect2(dc, Rect(1000 - bw, 0, 1000, 700), &right, Rect(0, 30, 0, 10), 1, 2, 0, tile, 0);
             DrawRect2(dc, Rect(bw, 700 - bw, 1000 - bw, 700), &bottom, Rect(10, 0, 10, 0), 1, 2, 0, tile, 1);
             DrawRect2(dc, Rect(bw, 0, 1000 - bw, th), &top, Rect(60, 0, 120, 0), 1, 2, 0, tile, 1);
           }),
           "frames");
  }
  KeyedCopyMethod = kcMaskBlt;
  Report("nine-slice 200x30 button, keyed (MaskBlt):",
         PerSecond([&] { DrawRect2(dc, Rect(10, 10, 210, 40), &button, buttonMargins, 1, 5, 1, 0, 0); }), "draws");
  return 0;
}
