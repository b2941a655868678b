// Check boxes and radio buttons: TSkinCheckBox and TSkinRadioButton paint the glyph from the
// skin's check or radio strip and the caption beside it, for class-library controls and plain
// "Button" windows; with the pure choice of the strip's frame for a state.
#pragma once

#include "skin/windows/controls/control_skin.h"

// Base check state: 1 unchecked, 2 checked, 4 grayed.
// The frame of a check strip of N frames for that state (disabled adds 2; the window's
// indeterminate bit makes it 4; a 12-frame strip maps by groups of four). A result outside
// 1..N draws nothing.
int CheckFrame(int State, bool Disabled, bool Indeterminate, int N);
// The frame of a radio strip of N frames (1 unchecked, 2 checked; disabled adds 2; 8-frame strips
// map by groups of four).
int RadioFrame(bool Checked, bool Disabled, int N);
// The check state named by a "State" value ("cbUnchecked" 1, "cbChecked" 2, "cbGrayed" 4);
// 0 when the name says none of them.
int CheckStateOfName(const std::string& Name);

class TSkinCheckBox : public TSkinControl {
  KARO_CLASS(TSkinCheckBox)
public:
  explicit TSkinCheckBox(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;

  int FUseSkin = 0;
  int FDataState = 0;  // the last BM_SETCHECK plus one (0: none)

protected:
  virtual bool Radio() const { return false; }
  TBitmap* Strip() const;
  int StripFrames() const;
  int CurrentFrame();

private:
  bool DispatchBefore(TMessage& Message);
  bool BeforePaint(TWMPaint& m);
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
  void AfterSetCheck(TBMSetCheck& m);
};

class TSkinRadioButton : public TSkinCheckBox {
  KARO_CLASS(TSkinRadioButton)
public:
  explicit TSkinRadioButton(TComponent* AOwner);

protected:
  bool Radio() const override { return true; }
};
