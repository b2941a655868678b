// The media player control: a row of up to nine buttons (play, pause, stop, next, previous,
// step, back, record, eject) with the set properties VisibleButtons, EnabledButtons and
// ColoredButtons and the click events. It plays no media: a click fires the events and its
// default action does nothing. Windows only.
#pragma once

#include "classlib/controls/controls.h"

KARO_ENUM(TMPBtnType, btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject);
using TButtonSet = TSet<TMPBtnType>;
constexpr int kMPButtonCount = 9;

using TEMPNotify = std::function<void(TObject* Sender, TMPBtnType Button, bool& DoDefault)>;
using TMPPostNotify = std::function<void(TObject* Sender, TMPBtnType Button)>;

// Every button type.
TButtonSet AllMPButtons();

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
  void DrawGlyph(TCanvas* canvas, TMPBtnType button, const TRect& r, TColor color);
  TButtonSet visible_, enabled_, colored_;
  int pressed_ = -1;
};
