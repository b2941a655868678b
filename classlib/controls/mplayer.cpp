// The media player's button row (see mplayer.h).
#include "classlib/controls/mplayer.h"

TButtonSet AllMPButtons() {
  return {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject};
}

int MPButtonAt(TButtonSet visible, int width, int x) {
  int count = 0;
  for (int i = 0; i < kMPButtonCount; ++i)
    if (visible.Contains(TMPBtnType(i))) ++count;
  if (count == 0) return -1;
  int w = width / count, left = 0;
  for (int i = 0; i < kMPButtonCount; ++i) {
    if (!visible.Contains(TMPBtnType(i))) continue;
    if (x >= left && x <= left + w) return i;
    left += w;
  }
  return -1;
}

TMediaPlayer::TMediaPlayer(TComponent* owner)
    : TCustomControl(owner), visible_(AllMPButtons()), enabled_(AllMPButtons()), colored_(AllMPButtons()) {
  SetBounds(0, 0, 253, 30);
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() & ~TControlStyle(csSetCaption | csDoubleClicks));
}

void TMediaPlayer::SetVisibleButtons(TButtonSet v) {
  visible_ = v;
  Invalidate();
}

void TMediaPlayer::SetEnabledButtons(TButtonSet v) {
  enabled_ = v;
  Invalidate();
}

void TMediaPlayer::SetColoredButtons(TButtonSet v) {
  colored_ = v;
  Invalidate();
}

TRect TMediaPlayer::ButtonRect(TMPBtnType button) {
  int count = 0;
  for (int i = 0; i < kMPButtonCount; ++i)
    if (visible_.Contains(TMPBtnType(i))) ++count;
  if (!visible_.Contains(button) || count == 0) return {};
  int w = Width() / count, left = 0;
  for (int i = 0; i < int(button); ++i)
    if (visible_.Contains(TMPBtnType(i))) left += w;
  return Rect(left, 0, left + w, Height());
}

void TMediaPlayer::ClickButton(TMPBtnType button) {
  if (!visible_.Contains(button) || !enabled_.Contains(button) || !Enabled()) return;
  bool doDefault = true;
  if (OnClick) OnClick(this, button, doDefault);
  // The default action would drive a media device; there is none here.
  if (OnPostClick) OnPostClick(this, button);
}

void TMediaPlayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressed_ = MPButtonAt(visible_, Width(), x);
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TMediaPlayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && pressed_ >= 0) {
    int at = y >= 0 && y < Height() ? MPButtonAt(visible_, Width(), x) : -1;
    int was = pressed_;
    pressed_ = -1;
    Invalidate();
    // A click completes only where it started.
    if (at == was) ClickButton(TMPBtnType(at));
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TMediaPlayer::DrawGlyph(TCanvas* canvas, TMPBtnType button, const TRect& r, TColor color) {
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

void TMediaPlayer::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  static const TColor kColors[kMPButtonCount] = {clGreen, clNavy, clMaroon, clNavy, clNavy,
                                                 clNavy,  clNavy, clRed,    clNavy};
  for (int i = 0; i < kMPButtonCount; ++i) {
    auto b = TMPBtnType(i);
    TRect r = ButtonRect(b);
    if (r.Width() <= 0) continue;
    bool enabled = enabled_.Contains(b) && Enabled();
    RECT edge = ToRECT(r);
    DrawEdge(canvas->Handle(), &edge, pressed_ == i && enabled ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    TColor color = !enabled ? clGrayText : colored_.Contains(b) ? kColors[i] : clBlack;
    TRect glyph = pressed_ == i && enabled ? Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1) : r;
    DrawGlyph(canvas, b, glyph, color);
  }
}

KARO_CLASS_PROPS(TMediaPlayer, TCustomControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Enabled(), TControlProps::Hint(), TControlProps::ShowHint(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("ColoredButtons", &TMediaPlayer::ColoredButtons, &TMediaPlayer::SetColoredButtons)
                     .Default(int64_t(AllMPButtons().Value())),
                 Prop("EnabledButtons", &TMediaPlayer::EnabledButtons, &TMediaPlayer::SetEnabledButtons)
                     .Default(int64_t(AllMPButtons().Value())),
                 Prop("VisibleButtons", &TMediaPlayer::VisibleButtons, &TMediaPlayer::SetVisibleButtons)
                     .Default(int64_t(AllMPButtons().Value())),
                 Prop("OnClick", &TMediaPlayer::OnClick, &TMediaPlayer::OnClick),
                 Prop("OnPostClick", &TMediaPlayer::OnPostClick, &TMediaPlayer::OnPostClick))
