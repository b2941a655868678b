// Geometry of a skinned window's non-client area: border sizes from the border strips, the
// rectangles of borders, title bar, caption text, caption buttons and menu bar, the client
// rectangle of WM_NCCALCSIZE and the hit test. One set of routines serves sizing, hit testing and
// painting, so what is drawn and what is hit cannot disagree. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "classlib/graphics/graphic_types.h"

// ---- Border sizes

// The widths of the four frame borders and the height of the menu-bar row.
struct TFrameBorders {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Menu = 0;
  friend bool operator==(const TFrameBorders&, const TFrameBorders&) = default;
};

// The size of one border strip: its picture and frame count.
struct TStripSize {
  int32_t Width = 0, Height = 0, Frames = 1;
};

// The borders a skin gives: the side strips hold their frames side by side (a frame's width is the
// border), the top and bottom strips stacked (a frame's height is the border). A frame count below
// 1 counts as 1 and negative sizes as 0. NoCaption (a window without a complete caption) has no
// borders and no menu row.
TFrameBorders SkinFrameBorders(const TStripSize& Left, const TStripSize& Top, const TStripSize& Right,
                               const TStripSize& Bottom, int32_t MenuHeight, bool NoCaption);

// ---- Rectangles of the non-client area (window coordinates: (0, 0) is the window's corner)

struct TNcLayout {
  TRect LeftBorder, RightBorder, BottomBorder;  // the sides run the full height, corners included
  TRect Title;                                  // the title bar, full width
  TRect TextArea;                               // where the top border and caption text go
  TRect MenuBar;                                // the menu-bar row (empty without one)
  TRect Client;                                 // never inverted: clamped for a window smaller than its frame
};

// The layout of a Width x Height window. A minimised window shows only its title bar, whose text
// area is the whole bar.
TNcLayout NcLayout(int32_t Width, int32_t Height, const TFrameBorders& B, bool Minimised);

// The client rectangle WM_NCCALCSIZE answers for a window placed at Window (screen or parent
// coordinates): inside the borders and below the menu row, clamped so that it is never inverted
// (a window smaller than its frame gets an empty client area at its inner edge).
TRect NcClientRect(const TRect& Window, const TFrameBorders& B);

// ---- Hit test

struct TNcHitInput {
  TPoint Pt;              // window coordinates
  int32_t Width = 0, Height = 0;
  TFrameBorders Borders;
  bool Sizeable = false;  // a sizing frame that the user may drag (not while maximised or minimised)
};

// Hit-test codes, the platform's values.
enum TNcHit : int32_t {
  nhNowhere = 0, nhClient = 1, nhCaption = 2, nhMenu = 5, nhLeft = 10, nhRight = 11, nhTop = 12, nhTopLeft = 13,
  nhTopRight = 14, nhBottom = 15, nhBottomLeft = 16, nhBottomRight = 17, nhBorder = 18,
};

// The rows at the top of the title bar that size a sizeable window, and the length along an edge
// that counts as a corner.
constexpr int32_t kTopSizingRows = 4;
constexpr int32_t kCornerLength = 16;

// Where Pt lies: the client area, the borders (sizing edges and corners of a sizeable window,
// else a plain border), the title bar (caption buttons are hit by their own rectangles, not
// here) or the menu row. The side and bottom borders always answer as borders, whatever their
// depth in the skin.
TNcHit NcHitTest(const TNcHitInput& In);

// ---- Caption text

struct TCaptionTextInput {
  TRect Area;                      // the text area of the title bar
  int32_t TextWidth = 0, TextHeight = 0;  // the measured caption text
  int32_t TextAlignment = 0, TextShift = 0, TextShiftVert = 0, TextRightClip = 0;
  int32_t TXTBackleft = 0, TXTBackRight = 0;
  bool RightToLeft = false;
  bool Popup = false;              // WS_POPUP: the text is clipped by the right-aligned caption buttons
  bool DialogFrame = false;        // a dialog frame has no icon: left-aligned text moves 16 pixels left
  int32_t ButtonClipX = 0;         // the largest left edge of the right-aligned caption buttons, 0 if none
};

struct TCaptionTextPlace {
  TRect Back;  // the text with its background margins: the caption text rectangle of the window
  TRect Text;  // where the text itself is drawn
};

// Places the caption text in its area by alignment, shifts and clips.
TCaptionTextPlace PlaceCaptionText(const TCaptionTextInput& In);

// ---- Caption buttons

// What decides whether a caption button shows.
struct TCaptionFlags {
  bool SysMenu = false, MinBox = false, MaxBox = false;
  // The window asks for context help: its help button takes the place of a maximise box where
  // the visibility codes ask for one, but it maximises nothing.
  bool Help = false;
  bool Fourth = false;  // a flag the library never sets
  bool Active = false, Maximised = false;
  bool DialogClass = false;  // "#32770" or "TMessageForm"
  bool DialogFrame = false;  // border kind 3
  bool MdiChildMax = false;  // an MDI parent whose active child is maximised
  bool HasMenuBar = false;
};

// Asked for visibility codes 1000..2000 (CN_SysBtnVisible): the window's answer, shown when above 0.
using TAskVisible = std::function<intptr_t(int32_t Code, int32_t Action)>;

struct TCaptionButtonShow {
  bool Visible = false;
  // Maximise and minimise buttons are disabled without their box and a system menu; others stay
  // as they were (Enabled is then the given value).
  bool Enabled = true;
};

// Whether a caption button with Visibility V, Visibility1 V1 and Action shows, and whether it
// is enabled (starting from WasEnabled).
TCaptionButtonShow CaptionButtonShow(int32_t V, int32_t V1, int32_t Action, const TCaptionFlags& F,
                                     const TAskVisible& Ask, bool WasEnabled);

// What a caption button's record says about when it shows.
struct TCaptionButtonCodes {
  int32_t Action = 0, Visibility = 0, Visibility1 = 0;
};

// The button whose picture is the skin's restore picture: the first maximise button (Action 1 or
// 22) that the window shows while maximised and hides while not. A minimised window's minimise
// button restores it and shows that picture. -1 when the skin has none.
int32_t RestorePictureIndex(const std::vector<TCaptionButtonCodes>& Buttons, const TCaptionFlags& F);

struct TCaptionButtonPlaceInput {
  int32_t Align = 0, Xcoord = 0, Ycoord = 0;
  int32_t Width = 0, Height = 0;  // one frame of the button's strip
  int32_t WindowWidth = 0;
  TRect CaptionText;               // the caption text rectangle of the last paint
  TFrameBorders Borders;
  int32_t MenuTileLeft = -1;       // the menu-bar record's TileLeftMenu; below 0 without that record
};

// The button's rectangle in window coordinates, by its Align.
TRect PlaceCaptionButton(const TCaptionButtonPlaceInput& In);

// One caption button as the layout takes it: where its Align puts it and the size of one frame
// of its strip; Shown when it shows (by its visibility codes, with something to draw).
struct TCaptionButtonBox {
  int32_t Align = 0, Xcoord = 0, Ycoord = 0;
  int32_t Width = 0, Height = 0;
  bool Shown = false;
};

struct TCaptionLayoutInput {
  TCaptionTextInput Text;  // its ButtonClipX is the layout's own
  int32_t WindowWidth = 0;
  TFrameBorders Borders;
  int32_t MenuTileLeft = -1;  // as in TCaptionButtonPlaceInput
  std::vector<TCaptionButtonBox> Buttons;
};

struct TCaptionLayout {
  TCaptionTextPlace Text;
  std::vector<TRect> Buttons;  // window coordinates, one per button in order (hidden ones too)
  int32_t ClipX = 0;           // the largest left edge of the shown right-aligned buttons, 0 if none
};

// The title bar's caption text and buttons laid out together: the buttons that keep their place
// first, then the text clipped by the right-aligned ones among them, then the buttons that follow
// the text. Painting, the hit test and the end of a hover all take this one layout.
TCaptionLayout LayOutCaption(const TCaptionLayoutInput& In);

// The frame of a caption button's strip (frames: 1 normal, 2 pressed, 3 hot, 4 disabled or
// inactive) for a full paint of the title bar (InTitleBar) or for one button in State (1, 2, 3).
int32_t CaptionButtonFrame(int32_t State, int32_t StripFrames, bool Enabled, bool Active, int32_t Visibility,
                           bool InTitleBar);

// ---- Menu bar

struct TMenuBarLayoutInput {
  int32_t BarWidth = 0, Height = 0;
  bool HasRecord = false;                 // the skin has a menu-bar picture
  int32_t TileLeft = 1, TileRight = 1;    // its margins
  bool RightToLeft = false;
  int32_t RightLimit = -1;                // right-to-left: the buttons end left of this (bar x), -1 none
  std::vector<int32_t> TextWidths;        // each caption's width; 0 for an empty caption
  std::vector<bool> Visible;
};

// The buttons' rectangles in bar coordinates: one after another from the start offset (6 without
// a picture; TileLeft + 4 left to right, TileRight + 8 right to left; 12 when that exceeds the
// bar), each its text's width + 10 wide (an empty caption takes no width) and the bar's height - 1
// high; an invisible button gets an empty rectangle.
std::vector<TRect> MenuBarLayout(const TMenuBarLayoutInput& In);
