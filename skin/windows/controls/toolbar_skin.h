// Tool bars: TSkinToolbar paints a tool bar's background as a vertical gradient between two
// colours it takes from the skin, or from the skin's tool-bar picture; the drawing of the buttons
// goes through a replaceable routine.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "skin/windows/controls/control_skin.h"

// The gradient's ends: a light tone of the button face at the top, a tone of the caption colour
// at the bottom.
struct TToolbarColors {
  TColor Light, Dark;
};
TToolbarColors ToolbarColors(TColor CaptionColor, TColor ButtonFace);

// Draws one tool-bar button for the skin; true when it drew it (the tool bar then draws nothing
// of it). Nil leaves every button to the tool bar.
using TToolbarButtonPainter = bool (*)(HWND ToolBar, const NMTBCUSTOMDRAW& Draw, TSkinData* SkinData);
extern TToolbarButtonPainter ToolbarButtonPainter;

class TSkinToolbar : public TSkinControl {
  KARO_CLASS(TSkinToolbar)
public:
  explicit TSkinToolbar(TComponent* AOwner);

  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  void SkinChange() override;
  bool BeforeProc(TMessage& Message) override;
  void ERASEBKGND(TWMEraseBkgnd& Message);

  TColor FDarkColor = 0;
  TColor FLightColor = 0;

private:
  void TakeColors();
  // A custom-draw notification about the buttons, when a painter draws them.
  bool PaintButton(TWMSkinNotify& Message);
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
  bool BeforeNotify(TWMSkinNotify& m);
};
