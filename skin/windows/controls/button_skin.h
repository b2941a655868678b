// Push buttons and bit buttons: TSkinButton (class-library buttons and plain "Button" windows of
// push type) and TSkinBitButton (a glyph or image-list picture beside the caption), with the pure
// decisions they paint by: the frame for a state and the layout of glyph and caption.
#pragma once

#include <string>

#include "skin/data/skin_objects.h"
#include "skin/windows/core/button_text.h"
#include "skin/windows/controls/control_skin.h"

// The Buttons strip's frame for a state: disabled 3 before pressed 2 before hot 4 before focused 5,
// else 1.
int ButtonFrame(bool Disabled, bool Down, bool Hot, bool Focused);
// The glyph cell state (1 up, 2 disabled, 3 down) for a Buttons frame.
int GlyphStateOfFrame(int Frame);

// Where a glyph and a caption go in a button of client size Client (layouts: 0 glyph left, 1 right,
// 2 top, 3 bottom; any other value counts as 0). Margin and Spacing -1 spread them; Centre as the
// "taCenter" alignment. A speed button's margin alone found (Spacing given) is one pixel more.
// The text rectangle is at its measured size.
struct TGlyphLayout {
  TPoint Glyph;
  TRect Text;
  UINT Flags;  // DT_WORDBREAK with DT_RIGHT or DT_CENTER by layout
};
TGlyphLayout LayoutGlyphButton(TPoint Client, TPoint Glyph, TPoint Text, int Layout, int Margin, int Spacing,
                               bool Centre, bool Speed = false);
// Turns the caption's "||" into line breaks, measures it in the room a glyph of size Glyph leaves
// in a button of size Size, and lays both out.
TGlyphLayout LayoutCaptionWithGlyph(HDC DC, WideString& Caption, TPoint Size, TPoint Glyph, int Layout, int Margin,
                                    int Spacing, bool Centre, bool Speed = false);
// The layout number of a "Layout" value name ("blGlyphLeft" ... "blGlyphBottom", any case); 0 for
// anything else.
int LayoutOfName(const std::string& Name);
// Cell State - 1 (State from 1) of a strip of NumGlyphs cells; cell 0 when the strip has fewer
// cells; a count below 1 counts as 1.
int GlyphCell(int NumGlyphs, int State);

class TSkinButton : public TSkinControl {
  KARO_CLASS(TSkinButton)
public:
  explicit TSkinButton(TComponent* AOwner);
  ~TSkinButton() override;

  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) override;
  bool BeforeProc(TMessage& Message) override;
  void AfterProc(TMessage& Message) override;
  void DrawControl(HDC DC, const TRect& R) override;

  // The skin has a Buttons picture to draw with; without one the button paints itself.
  bool HasPicture() const;
  int CurrentFrame();
  void SetRedraw(bool Value);
  void DoMouseDown(TWMMouse& Message);
  // FCaption (its first "||" a line break) centred (Flags 1) in R; the focus rectangle around the
  // text as drawn.
  void DrawBtnText(HDC DC, const TRect& R, UINT Flags);
  // The window's font selected into DC; gives what it replaced.
  HGDIOBJ SelectButtonFont(HDC DC);
  TColor StateTextColor(int Frame);

  std::unique_ptr<TBitmap> FWorkBitmap;
  bool FParentBack = false;
  bool FHidden = false;

protected:
  // Paints the work bitmap's background: the parent's picture or the button face.
  void PaintBackground(HDC DC, const TRect& R);
  void Click();

  // The message path of a button with a picture.
  bool BeforePicture(TMessage& Message);
  bool BeforeTimer(TWMTimer& m);
  bool BeforeLButtonDown(TWMMouse& m);
  bool BeforeLButtonUp(TWMMouse& m);
  void AfterPicture(TMessage& Message);
  void AfterSetText(TWMSetText& m);
  void AfterKeyDown(TWMKey& m);
  void AfterKeyUp(TWMKey& m);
  void AfterMouseMove(TWMMouse& m);
  void AfterMouseLeft(TWMNoParams& m);

private:
  bool redrawTimer_ = false;
};

class TSkinBitButton : public TSkinButton {
  KARO_CLASS(TSkinBitButton)
public:
  explicit TSkinBitButton(TComponent* AOwner);
  void DrawControl(HDC DC, const TRect& R) override;
  // One cell of a glyph strip at (X, Y), its bottom-left colour transparent; state 2 greyed.
  static void DrawGlyph(HDC DC, int X, int Y, TBitmap* Glyph, int NumGlyphs, int State);

  // A published graphic property that holds the picture ("PngImage"); empty for "Glyph".
  std::string FGlyphProp;
};
