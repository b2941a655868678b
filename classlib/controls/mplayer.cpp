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

void TMediaPlayer::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  for (int i = 0; i < kMPButtonCount; ++i) {
    auto b = TMPBtnType(i);
    TRect r = ButtonRect(b);
    if (r.Width() <= 0) continue;
    bool enabled = enabled_.Contains(b) && Enabled();
    RECT edge = ToRECT(r);
    DrawEdge(canvas->Handle(), &edge, pressed_ == i && enabled ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    TColor color = MPGlyphColor(b, !enabled ? mgDisabled : colored_.Contains(b) ? mgColored : mgEnabled);
    TRect glyph = pressed_ == i && enabled ? Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1) : r;
    DrawMPGlyph(canvas, b, glyph, color);
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
