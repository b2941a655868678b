// Speed buttons (graphic controls without a window: TSkinSpeedButton paints on the parent's
// device context through the control's own message handler) and menu buttons (TSkinMenuButton: a
// push button with a drop-down triangle at the right).
#pragma once

#include "skin/windows/controls/button_skin.h"

// The Buttons frame of a speed button: down 2, else pressed 2, hot 4, normal 1 while enabled, 3
// while disabled.
int SpeedButtonFrame(bool Pressed, bool MouseIn, bool Enabled, bool Down);
// Its glyph cell state: 4 when down, else 3 pressed, 2 disabled, 1.
int SpeedGlyphState(int Frame, bool Down);
// A flat button shows the skin's face only when hot, pressed or down.
bool SpeedButtonShowsFace(bool Flat, int Frame);
// The menu button's frame: pressed 2, focused or hot 4, disabled 3, else 1.
int MenuButtonFrame(bool Pressed, bool FocusedOrHot, bool Enabled);

class TSkinSpeedButton : public TSkinBitButton {
  KARO_CLASS(TSkinSpeedButton)
public:
  explicit TSkinSpeedButton(TComponent* AOwner);
  void InitGraphicControl(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas) override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void PaintControl(HDC DC) override;
  void WMPaintSpeed(TWMPaint& Message);
  // Draws the whole button into DC at Rect (the control's own coordinates).
  void DrawSpeedbtn(HDC DC, const TRect& Rect);

private:
  bool DispatchBefore(TMessage& Message);
  bool BeforePaintSpeed(TWMPaint& m);
  bool BeforeSpeedDown(TWMMouse& m);
  bool BeforeSpeedUp(TWMMouse& m);
  void DispatchAfter(TMessage& Message);
  void AfterReleased(TWMNoParams& m);
  void AfterSpeedUp(TWMMouse& m);
  void AfterSpeedEnter(TWMNoParams& m);
  void AfterSpeedLeave(TWMNoParams& m);

  bool painting_ = false;
};

class TSkinMenuButton : public TSkinButton {
  KARO_CLASS(TSkinMenuButton)
public:
  explicit TSkinMenuButton(TComponent* AOwner);
  void DrawControl(HDC DC, const TRect& R) override;
};
