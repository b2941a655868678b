// Owner-drawn menu items of skinned windows: what one item shows (from a menu handle or a class-
// library item), its size and its picture from the skin's MenuItem strip over the background of
// the popup window that shows it; the owner drawing switched on for a plain menu and given back;
// and the custom drawing of tool bars from the skin. Windows only.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "classlib/controls/comctrls.h"
#include "classlib/graphics/graphic_types.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TMenuItem;
class TSkinData;
class TToolBar;
class TToolButton;

// Everything the painter needs of one item.
struct TMenuItemLook {
  WideString Caption;   // with its "&" marks
  WideString ShortCut;  // the accelerator text shown at the right
  bool Separator = false;
  bool Checked = false, Radio = false, Enabled = true, Default = false, SubMenu = false;
  bool RightToLeft = false;
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
};

// The item at Position of Menu; false when there is none.
bool MenuItemLook(HMENU Menu, UINT Position, TMenuItemLook& Look);
TMenuItemLook MenuItemLook(TMenuItem* Item);

// The menu font: the system's, with a face that has Chinese glyphs when the system's lacks them.
// Made once; never freed before the process ends.
HFONT SkinMenuFont();

// The size of a plain menu item: its text's width + 26 (+ the MenuItem strip's left margin), its
// text's height + 4, a separator 8 high.
SIZE MeasurePlainItem(TSkinData* Data, HDC DC, const TMenuItemLook& Look);
// Adds the skin's room to a size the class library measured: MainMenu for a menu-bar item,
// otherwise a popup menu's item.
void MeasureSkinnedItem(TSkinData* Data, bool MainMenu, bool HasImages, int& Width, int& Height);

// Paints the item into R of DC: over the popup background Background (sampled at R moved by
// BackOffset; nil fills with the menu colour), the MenuItem strip's frame 4 (selected) or 1, a
// separator from frame 2; without a MenuItem record, the menu colours.
void DrawSkinMenuItem(TSkinData* Data, HDC DC, const TRect& R, const TMenuItemLook& Look, bool Selected,
                      TBitmap* Background, POINT BackOffset);

// Makes every item of Menu and its submenus owner-drawn, remembering in Changed the items that
// were not (by menu, position and identifier).
struct TOwnerDrawnItem {
  HMENU Menu;
  UINT Position;
  UINT Id;
};
void MakeOwnerDrawn(HMENU Menu, std::vector<TOwnerDrawnItem>& Changed);
// Gives the remembered items their own type back (those still where they were), and forgets them.
void RestoreOwnerDrawn(std::vector<TOwnerDrawnItem>& Changed);
// Finds the item with identifier Id in Menu or its submenus (its menu and position).
bool FindMenuItemById(HMENU Menu, UINT Id, HMENU& Found, UINT& Position);

// ---- Tool bars (for the tool-bar skin to install as the bar's custom-draw handlers)

// The bar's background: the skin's Toolbar picture stretched over R (nothing without a Toolbar
// record, or with xoToolbarBK set).
void SkinToolBarBackground(TSkinData* Data, TToolBar* Bar, const TRect& R);
// One button's face from the skin's Buttons strip (pressed 2, hot or focused 4, default 1, else
// nothing), inset by 1 pixel, and the bar's font colour for it; the bar then draws glyph and
// caption itself. Nothing without a Buttons record, when FrameSkinned is false, or with
// xoToolbarButton set.
void SkinToolBarButton(TSkinData* Data, bool FrameSkinned, TToolBar* Bar, TToolButton* Button,
                       TCustomDrawState State);
// The frame of the Buttons strip for a button in State, 0 for none.
int ToolBarButtonFrame(TCustomDrawState State);
