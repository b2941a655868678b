// Buttons with pictures: TBitBtn (a push button with a glyph and a kind that gives caption and
// modal result) and TSpeedButton (a button without a window, with groups of exclusive buttons),
// and the layout of glyph and caption that both share. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "classlib/controls/stdctrls.h"
#include "classlib/graphics/bitmap.h"

KARO_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom);
// The cells of a glyph strip, in order: up, disabled, down, exclusive (held down).
KARO_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive);
KARO_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll);
using TNumGlyphs = int;

// Where glyph and caption go inside a button's client rectangle. Margin -1 centres the pair
// (with Spacing -1 as well: margin, glyph, spacing and text share the room in thirds); Spacing -1
// alone spreads the room after the margin evenly.
struct TButtonLayoutResult {
  TPoint GlyphPos;
  TRect TextBounds;
};
TButtonLayoutResult CalcButtonLayout(const TRect& client, TPoint glyphSize, TPoint textSize, TButtonLayout layout,
                                     int margin, int spacing);

// Draws cell `state` of a glyph strip of numGlyphs cells at (x, y), its bottom-left colour
// transparent; a disabled state without a cell of its own is drawn embossed.
void DrawButtonGlyph(HDC dc, TBitmap* glyph, int numGlyphs, TButtonState state, int x, int y);

// The picture side of a button: a glyph strip of up to four cells (up, disabled, down, held
// down), where it stands against the caption, and the drawing of both. A strip of square cells
// tells its own cell count.
class TButtonGlyph {
public:
  explicit TButtonGlyph(std::function<void()> changed);
  TBitmap* Glyph() { return bitmap_.get(); }
  void SetGlyph(TBitmap* v);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  // Draws glyph and caption inside client in the font selected into dc; gives the caption's box.
  void Draw(HDC dc, const TRect& client, TButtonState state, const WideString& caption, bool enabled,
            TColor textColor, bool rtl, TRect* textRect);

private:
  void Changed();
  std::unique_ptr<TBitmap> bitmap_;
  std::function<void()> changed_;
  TNumGlyphs numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

// The glyph properties of a button class, handed to its TButtonGlyph.
#define KARO_BUTTON_GLYPH_MEMBERS                                     \
  TBitmap* Glyph() { return glyph_.Glyph(); }                         \
  void SetGlyph(TBitmap* v) { glyph_.SetGlyph(v); }                   \
  TNumGlyphs NumGlyphs() const { return glyph_.NumGlyphs(); }         \
  void SetNumGlyphs(TNumGlyphs v) { glyph_.SetNumGlyphs(v); }         \
  TButtonLayout Layout() const { return glyph_.Layout(); }            \
  void SetLayout(TButtonLayout v) { glyph_.SetLayout(v); }            \
  int Margin() const { return glyph_.Margin(); }                      \
  void SetMargin(int v) { glyph_.SetMargin(v); }                      \
  int Spacing() const { return glyph_.Spacing(); }                    \
  void SetSpacing(int v) { glyph_.SetSpacing(v); }

class TBitBtn : public TButton {
  KARO_CLASS(TBitBtn)
public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  KARO_BUTTON_GLYPH_MEMBERS
  TBitBtnKind Kind() const { return kind_; }
  // A kind other than bkCustom gives the button its caption, modal result, Default and Cancel.
  void SetKind(TBitBtnKind v);
  // A close button closes its form.
  void Click() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void SetButtonStyle(bool isDefault) override;
  void CNDrawItem(TWMDrawItem& m);
  void CNMeasureItem(TWMMeasureItem& m);

private:
  TButtonGlyph glyph_;
  TBitBtnKind kind_ = bkCustom;
  bool drawnDefault_ = false;  // the default frame as last drawn
};

class TSpeedButton : public TGraphicControl {
  KARO_CLASS(TSpeedButton)
public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  KARO_BUTTON_GLYPH_MEMBERS
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // Down stays only on a button of a group (GroupIndex above 0); pressing one button of a group
  // lets the others up. Without AllowAllUp a group always keeps one button down.
  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CMButtonPressed(TMessage& m);
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMTextChanged(TMessage& m);
  void CMDialogChar(TMessage& m);

private:
  void UpdateExclusive();
  TButtonGlyph glyph_;
  bool flat_ = false;
  bool transparent_ = true;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool dragging_ = false;
  bool mouseInControl_ = false;
  TButtonState state_ = bsUp;
};
