// Progress bars: TSkinProgress draws the frame and the bar of a progress bar (a class-library
// control or a raw "tprogressbar" window) from the skin's progress pictures, across or upright, in
// the skin's two styles; with the pure length of the bar.
#pragma once

#include "skin/windows/controls/control_skin.h"

// The bar's length in Length pixels for position Pos of a range up to High: nothing unless both
// are above 0, never longer than Length. The low limit of the range is not used.
int ProgressBarLength(int Length, int Pos, int High);

class TSkinProgress : public TSkinControl {
  KARO_CLASS(TSkinProgress)
public:
  explicit TSkinProgress(TComponent* AOwner);

  bool BeforeProc(TMessage& Message) override;
  // Style 0: frame 1 of the two-frame picture over the whole bar, frame 2 over the filled part.
  void DrawControl(HDC DC, const TRect& R) override;
  // Style 1: the one-frame picture, and the chunk picture along the filled part.
  void DrawControl1(HDC DC, const TRect& R);

private:
  bool HasPicture() const;

  bool BeforePaint(TWMPaint& m);
};
