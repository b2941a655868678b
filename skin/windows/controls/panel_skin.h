// Containers: TSkinBox (panels, tool bars and nested forms take the skin's face colour),
// TSkinBoxH (plain dialogs and tool-bar windows), TSkinGroupBox (the frame line and caption),
// TSkinStatusBar (panels or the simple text from the status-bar picture, and the size grip),
// TSkinSizer (a size box) and TSkinTransObj (a control on the skin's face, for applications);
// with the pure choices the status bar paints by.
#pragma once

#include "skin/windows/controls/control_skin.h"

// ---- Deciding, pure

// The status-bar picture's frame for a panel bevel ("pbNone" 3, "pbLowered" 1, "pbRaised" 2).
int StatusPanelFrame(int Bevel);
// A panel's text alignment with left and right exchanged for a right-to-left panel
// (taLeftJustify 0, taRightJustify 1, taCenter 2).
int StatusPanelAlignment(int Alignment, bool RightToLeft);
// The rectangle a panel is painted in: SB_GETRECT's two pixels wider on the right, and the last
// panel reaching the bar's right edge.
TRect StatusPanelRect(const TRect& Part, const TRect& Bar, bool Last);
// Where the size grip of a frame of Size goes: its bottom-right corner one pixel inside the bar's.
TRect SizeGripRect(const TRect& Bar, TPoint Size);
// The text rectangle of a status panel, where the unskinned bar writes it in its part: the text
// indent on the left, and inside the bevel's one-pixel edge (none without a bevel) elsewhere.
TRect StatusTextRect(const TRect& Part, bool Bevelled);

// The skin's size grip (frame 5 of "ExtraImages") in the bottom-right corner of R; false when the
// skin has no grip picture.
bool DrawSkinSizeGrip(HDC DC, const TRect& R, const TSkinData* Data);

// Whether a skin paints its control's background in the skin's colours, so that controls on it
// may show it through.
bool PaintsContainerBackground(const TSkinControl* Skin);
// The skin of Parent (a window of Form) when it paints its background; nil otherwise.
TSkinControl* FindContainerSkin(TVeltForm* Form, HWND Parent);

class TSkinBox : public TSkinControl {
  KARO_CLASS(TSkinBox)
public:
  explicit TSkinBox(TComponent* AOwner);
  // Recolours the control; its messages are left alone.
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void AfterProc(TMessage& Message) override;
  void Unsubclass() override;
};

class TSkinBoxH : public TSkinControl {
  KARO_CLASS(TSkinBoxH)
public:
  explicit TSkinBoxH(TComponent* AOwner);
  bool BeforeProc(TMessage& Message) override;

private:
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
  bool BeforeCtlColorStatic(TWMCtlColor& m);
};

class TSkinGroupBox : public TSkinControl {
  KARO_CLASS(TSkinGroupBox)
public:
  explicit TSkinGroupBox(TComponent* AOwner);
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  // The frame line and caption, then the children without windows.
  void DefaultDraw(HDC DC, const TRect& R);
  // The frame line and caption alone.
  void DrawBox(HDC DC, const TRect& R);

  bool FPainter = false;  // the skin paints the whole control

private:
  bool DispatchBefore(TMessage& Message);
  bool BeforePaint(TWMPaint& m);
};

class TSkinStatusBar : public TSkinControl {
  KARO_CLASS(TSkinStatusBar)
public:
  explicit TSkinStatusBar(TComponent* AOwner);
  bool BeforeProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;
  // One panel's area (frame 1 lowered, 2 raised, 3 plain) at R of DC.
  void drawitem(HDC DC, const TRect& R, int Frame);
  // The area without a status-bar picture: a one-pixel bevel.
  void Defaultpaint(HDC DC, const TRect& R, int Frame);
  // A panel's text (a blank when it has none) on one line in R, aligned by Flags; a text too long
  // for R ends in an ellipsis at a whole character.
  void DrawStatusText(HDC DC, const TRect& R, const WideString& Text, UINT Flags);
};

class TSkinSizer : public TSkinControl {
  KARO_CLASS(TSkinSizer)
public:
  explicit TSkinSizer(TComponent* AOwner);
  // The skin paints the whole window: the system's own grip drawn after it covered it again.
  bool BeforeProc(TMessage& Message) override;
  // The face colour and, on it, the skin's size grip (plain ridges when the skin has none).
  void DrawControl(HDC DC, const TRect& R) override;
};

// Not chosen by the library: for an application's OnSkinControl, a control that paints itself on
// the skin's face (its erasing and the background colour of its painting).
class TSkinTransObj : public TSkinControl {
  KARO_CLASS(TSkinTransObj)
public:
  explicit TSkinTransObj(TComponent* AOwner);
  bool BeforeProc(TMessage& Message) override;

private:
  bool BeforePaint(TWMPaint& m);
  bool BeforeEraseBkgnd(TWMEraseBkgnd& m);
};
