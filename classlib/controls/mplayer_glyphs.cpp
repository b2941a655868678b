// The media player's glyphs (see mplayer.h): the one drawing of each button's sign, which the
// player paints and which the button pictures of this unit hold.
#include "classlib/controls/mplayer.h"

namespace {

const TColor kGlyphColors[kMPButtonCount] = {clGreen, clNavy, clMaroon, clNavy, clNavy,
                                             clNavy,  clNavy, clRed,    clNavy};

}  // namespace

TColor MPGlyphColor(TMPBtnType button, TMPGlyphKind kind) {
  return kind == mgDisabled ? clGrayText : kind == mgColored ? kGlyphColors[button] : clBlack;
}

void DrawMPGlyph(TCanvas* canvas, TMPBtnType button, const TRect& r, TColor color) {
  int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetColor(color);
  auto triangle = [&](int x, int dir) {  // dir 1 points right, -1 left
    canvas->Polygon({{x, cy - 4}, {x, cy + 4}, {x + dir * 4, cy}});
  };
  auto bar = [&](int x) { canvas->FillRect(Rect(x, cy - 4, x + 2, cy + 5)); };
  switch (button) {
    case btPlay: canvas->Polygon({{cx - 3, cy - 5}, {cx - 3, cy + 5}, {cx + 3, cy}}); break;
    case btPause:
      bar(cx - 3);
      bar(cx + 1);
      break;
    case btStop: canvas->FillRect(Rect(cx - 4, cy - 4, cx + 4, cy + 4)); break;
    case btNext:
      triangle(cx - 4, 1);
      triangle(cx, 1);
      bar(cx + 4);
      break;
    case btPrev:
      bar(cx - 6);
      triangle(cx, -1);
      triangle(cx + 4, -1);
      break;
    case btStep:
      bar(cx - 4);
      triangle(cx, 1);
      break;
    case btBack:
      triangle(cx, -1);
      bar(cx + 2);
      break;
    case btRecord: canvas->Ellipse(cx - 4, cy - 4, cx + 5, cy + 5); break;
    case btEject:
      canvas->Polygon({{cx - 5, cy + 1}, {cx + 5, cy + 1}, {cx, cy - 4}});
      canvas->FillRect(Rect(cx - 5, cy + 3, cx + 6, cy + 5));
      break;
  }
}

void MPButtonGlyph(TMPBtnType button, TMPGlyphKind kind, TBitmap& out) {
  out.SetPixelFormat(pf24bit);
  out.SetSize(kMPGlyphWidth, kMPGlyphHeight);
  TCanvas* canvas = out.Canvas();
  canvas->Brush()->SetColor(kMPGlyphBack);
  canvas->FillRect(Rect(0, 0, kMPGlyphWidth, kMPGlyphHeight));
  DrawMPGlyph(canvas, button, Rect(0, 0, kMPGlyphWidth, kMPGlyphHeight), MPGlyphColor(button, kind));
}
