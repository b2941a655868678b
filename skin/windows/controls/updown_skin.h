// Up-down controls: TSkinUpDown draws both arrow buttons of an up-down (or spin) control from the
// skin's up-down strips, with hot and pressed states, and serves the scroller of tab controls and
// the up-down inside an edit too; with the pure decisions it draws by and the arrow routine.
#pragma once

#include "skin/windows/controls/control_skin.h"

class TDataSkinBorder;

// The four buttons: their kinds, as the strips number them.
enum TUpDownKind { udkUp = 0, udkDown = 1, udkLeft = 2, udkRight = 3 };
// Button states: 1 normal, 2 pressed, 3 disabled, 4 hot.
enum TUpDownState { udsNormal = 1, udsPressed = 2, udsDisabled = 3, udsHot = 4 };

// The two buttons of an up-down of rectangle R: the left and right halves (kinds 2 and 3) of a
// horizontal one, else the top and bottom halves (kinds 0 and 1).
struct TUpDownHalf {
  TRect Rect;
  int Kind;
};
struct TUpDownHalves {
  TUpDownHalf First, Second;
};
TUpDownHalves SplitUpDown(const TRect& R, bool Horizontal);
// A half's state: disabled before everything; a half the mouse is not over is normal; the one
// under it is pressed while the button is held, else hot while the mouse is over the control.
int UpDownState(bool Enabled, bool MouseOverHalf, bool Pressed, bool MouseIn);
// The frame of the 8-frame strip for a button: State for the up (left) button, State + 4 for the
// down (right) one.
int UpDownFrame(int Kind, int State);

// A small arrow in DC's pen with its tip at (Px, Py): 0 up, 1 down, 2 left, 3 right; other kinds
// draw nothing.
void DrawArrow(HDC DC, int Px, int Py, int Kind);

class TSkinUpDown : public TSkinControl {
  KARO_CLASS(TSkinUpDown)
public:
  explicit TSkinUpDown(TComponent* AOwner);

  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  // One button from the skin's strip of its orientation, its glyph centred over it.
  void DrawSkinButton(HDC DC, const TRect& R, int Kind, int State);
  // One button without a skin strip: a framed face and an arrow.
  void DrawButton(HDC DC, const TRect& R, int Kind, int State);
  void DrawBackGround(HDC DC);

  // The scroller of a tab set: its buttons lie side by side whatever the window's style says.
  bool FHorizontal = false;
  // The up-down inside an edit: it keeps 3 pixels inside the edit's frame.
  bool FInEdit = false;

private:
  bool Horizontal() const;
  const TDataSkinBorder* Strip() const;
  // Which button the mouse is over (its kind), -1 for none: from the last mouse message.
  int KindUnderMouse(const TRect& R) const;
  TPoint mouse_{-1, -1};  // client coordinates of the last mouse message
  int hotKind_ = -1;

  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
  bool BeforeLButtonDown(TWMMouse& m);
  bool BeforeLButtonUp(TWMMouse& m);
  void AfterMouseMove(TWMMouse& m);
  void AfterMouseLeft(TWMNoParams& m);
};

// Skins an up-down window that another skin found (a tab control's scroller, the up-down of an
// edit): made with Owner, flagged, attached to the plain window. Nil for no window.
TSkinUpDown* AttachUpDownSkin(HWND UpDown, TComponent* Owner, TSkinData* SkinData, TVeltForm* Form, bool Horizontal,
                              bool InsideEdit);
