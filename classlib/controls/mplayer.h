// The media player control: a row of up to nine buttons (play, pause, stop, next, previous,
// step, back, record, eject) with the set properties VisibleButtons, EnabledButtons and
// ColoredButtons and the click events. It plays no media: a click fires the events and its
// default action does nothing. Windows only.
#pragma once

#include "classlib/controls/controls.h"
#include "classlib/graphics/bitmap.h"

KARO_ENUM(TMPBtnType, btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject);
using TButtonSet = TSet<TMPBtnType>;
constexpr int kMPButtonCount = 9;

using TEMPNotify = std::function<void(TObject* Sender, TMPBtnType Button, bool& DoDefault)>;
using TMPPostNotify = std::function<void(TObject* Sender, TMPBtnType Button)>;

// Every button type.
TButtonSet AllMPButtons();

// The three pictures each button has: its glyph enabled, disabled and coloured.
enum TMPGlyphKind { mgEnabled, mgDisabled, mgColored };
// Size of a button picture, and the colour around the glyph in it (drawn as transparent).
constexpr int kMPGlyphWidth = 16, kMPGlyphHeight = 14;
constexpr TColor kMPGlyphBack = clOlive;
// The colour of a button's glyph, and the glyph drawn in that colour centred in r.
TColor MPGlyphColor(TMPBtnType button, TMPGlyphKind kind);
void DrawMPGlyph(TCanvas* canvas, TMPBtnType button, const TRect& r, TColor color);
// The picture of a button's glyph that this unit brings: the glyph the player itself draws, on
// kMPGlyphBack. These live with the base controls, so a skin can load them without linking the
// common controls.
void MPButtonGlyph(TMPBtnType button, TMPGlyphKind kind, TBitmap& out);

// Which visible button lies under x when visibleCount buttons share width equally; the
// boundary between two buttons belongs to the left one. -1 when none.
int MPButtonAt(TButtonSet visible, int width, int x);

class TMediaPlayer : public TCustomControl {
  KARO_CLASS(TMediaPlayer)
public:
  explicit TMediaPlayer(TComponent* owner);

  TButtonSet VisibleButtons() const { return visible_; }
  void SetVisibleButtons(TButtonSet v);
  TButtonSet EnabledButtons() const { return enabled_; }
  void SetEnabledButtons(TButtonSet v);
  TButtonSet ColoredButtons() const { return colored_; }
  void SetColoredButtons(TButtonSet v);
  // The rectangle of a visible button (empty for a hidden one), in client coordinates.
  TRect ButtonRect(TMPBtnType button);
  // Presses the button as a click would: OnClick, the default action (none: no media here),
  // then OnPostClick. A hidden or disabled button does nothing.
  void ClickButton(TMPBtnType button);

  TEMPNotify OnClick;
  TMPPostNotify OnPostClick;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TButtonSet visible_, enabled_, colored_;
  int pressed_ = -1;
};
