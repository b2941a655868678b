// The media player: TSkinMP lays the overlay TWMediaPlayer exactly over the class library's media
// player, which the skin cannot repaint from inside; the overlay paints the visible buttons from
// the skin's Buttons picture and the player's glyphs and passes clicks on to the player. With the
// pure deciding of a button's frame, picture and place.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "classlib/controls/mplayer.h"
#include "skin/windows/controls/control_skin.h"

// No button under a point.
constexpr int kMPNoButton = kMPButtonCount;

// The buttons of the player as flags, bit n for the button type of ordinal n.
struct TMPButtonFlags {
  uint16_t Visible = 0, Enabled = 0, Colored = 0;
};

// The flags of a set property's value, read by its element names: bit n when the set holds the
// value named as button type n. A value that is not a set of button types gives none.
uint16_t MPButtonBits(const TTypeInfo* SetType, int64_t Value);
// The three set properties of a player ("VisibleButtons", "EnabledButtons", "ColoredButtons");
// a disabled player shows every button disabled, as it paints them itself.
TMPButtonFlags ReadMPButtons(TControl* Player);
// Frame of the Buttons strip: 3 disabled, 2 held down, 1 normal.
int MPButtonFrame(bool Enabled, bool MouseDown, bool Pressed);
TMPGlyphKind MPGlyphKind(bool Enabled, bool Colored);
// The visible button whose span [left, left + ButtonWidth] holds X (the first, so a boundary
// belongs to the left one), kMPNoButton when none.
int MPFindButton(uint16_t Visible, int ButtonWidth, int X);
int MPVisibleCount(uint16_t Visible);

class TSkinMP;

// The overlay paints all of itself; its Tag (the skin data's DisableTag) keeps a later walk of
// the form from skinning it.
class TWMediaPlayer : public TCustomControl {
  KARO_CLASS(TWMediaPlayer)
public:
  explicit TWMediaPlayer(TComponent* AOwner);
  ~TWMediaPlayer() override;

  void Attach(TSkinMP* Skin, TControl* MediaPlayer);
  // Takes the player's bounds and keeps its place just above the player.
  void SetPosition(TControl* MediaPlayer);
  // Forgets the player (it is going): hidden, painting nothing of it.
  void Detach();
  int FindButton(int X);
  TControl* MediaPlayer() const { return FMediaPlayer; }
  void WndProc(TMessage& Message) override;

  struct TMPButton {
    bool Visible = false, Enabled = false, Colored = false;
    TBitmap EN, DI, CL;
  };
  std::array<TMPButton, kMPButtonCount> FButtons;
  TSkinData* FSkinData = nullptr;
  bool FMouseDown = false;
  int FPressed = kMPNoButton;
  int FFound = kMPNoButton;
  int FButtonWidth = 0;
  int FVisibleCount = 0;

protected:
  void Paint() override;
  void Notification(TComponent* c, TOperation op) override;

private:
  void LoadBitmaps();
  void ReadButtons();
  void DrawButton(HDC DC, int Button, const TRect& R);
  void KeepAbovePlayer();

  TControl* FMediaPlayer = nullptr;
  TSkinMP* FSkin = nullptr;

  void WMLButtonDown(TWMMouse& m);
  void WMLButtonDblClk(TWMMouse& m);
  void WMLButtonUp(TWMMouse& m);
};

class TSkinMP : public TSkinControl {
  KARO_CLASS(TSkinMP)
public:
  explicit TSkinMP(TComponent* AOwner);
  ~TSkinMP() override;
  void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) override;
  void AfterProc(TMessage& Message) override;
  void Unsubclass() override;
  TWMediaPlayer* Overlay() const { return FPlayer; }

protected:
  void Notification(TComponent* c, TOperation op) override;

private:
  void FreeOverlay();
  TWMediaPlayer* FPlayer = nullptr;

  void AfterWindowPosChanged(TWMWindowPosMsg& m);
  void AfterVisibleChanged(TMessage& m);
  void AfterPaintPlayer(TWMPaint& m);
};
