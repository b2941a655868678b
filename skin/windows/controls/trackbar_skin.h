// Track bars: TSkinTrackBar answers the track bar's custom-draw notification and draws the channel
// and the thumb from the skin, upright for a vertical bar; with the pure decisions it draws by.
#pragma once

#include <array>

#include "skin/windows/controls/control_skin.h"

// What a custom-draw stage asks: the answer, and which part the skin draws itself.
enum TTrackPart { tpNone, tpChannel, tpThumb };
struct TTrackDrawStep {
  LRESULT Result;
  TTrackPart Draw;
};
TTrackDrawStep TrackCustomDraw(DWORD Stage, DWORD_PTR Item);

// The channel as it stands on the screen. A vertical bar's channel is reported lying down by some
// systems (wider than high) and upright by others: only a lying one is turned.
TRect UprightChannel(const TRect& Channel, bool Vertical);

// The three slices of a channel picture of size Image laid along channel C: the end of
// FirstMargin pixels, the middle stretched, the end of LastMargin pixels; across the channel the
// picture keeps its size, centred when it is narrower than the channel. Ends that do not fit
// the picture or the channel are dropped and the middle takes their room.
struct TChannelSlice {
  TRect Source, Dest;
};
std::array<TChannelSlice, 3> ChannelSlices(const TRect& C, TPoint Image, int FirstMargin, int LastMargin,
                                           bool Vertical);

class TSkinTrackBar : public TSkinControl {
  KARO_CLASS(TSkinTrackBar)
public:
  explicit TSkinTrackBar(TComponent* AOwner);

  void SkinChange() override;
  bool BeforeProc(TMessage& Message) override;
  LRESULT CustomDraw(const NMCUSTOMDRAW& Draw);
  void DrawTrack(HDC DC);
  void Drawthumb(HDC DC);

private:
  bool Vertical() const;
  bool BeforeNotify(TWMSkinNotify& m);
};
