// The painted menu bar of a skinned window: TVeltMenu (the row of buttons made from the window's
// menu, which stays detached from the window while it is skinned) and TMenuBtn (one button, a
// non-client hot object like the caption buttons), the layout and painting of the bar, and the
// tracking of its menus with a thread message-filter hook. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/messages.h"
#include "classlib/core/persistent.h"
#include "classlib/graphics/graphic_types.h"
#include "skin/data/skin_manager_link.h"
#include "skin/windows/forms/caption_buttons.h"
#include "skin/windows/menus/menu_items.h"

class TBitmap;
class TMainMenu;
class TMenu;
class TComponent;
class TMenuItem;
class TSkinData;
class TVeltForm;

class TMenuBtn : public TNCObject {
public:
  explicit TMenuBtn(TVeltForm* Owner) : TNCObject(Owner) {}
  TMenuItem* MenuItem = nullptr;  // the class library's item of the button, nil when none
  TSkinData* SkinData = nullptr;
  int Index = 0;
  WideString Caption;
  HMENU SubMenu = nullptr;
  UINT Command = 0;
  void Draw() override;
};

class TVeltMenu : public TComponent, public TSkinMenuBarLink {
  KARO_CLASS(TVeltMenu)
public:
  // Owner: the skinned window's TVeltForm.
  TVeltMenu(TVeltForm* AOwner, TSkinData* Data);
  ~TVeltMenu() override;

  // Rebuilds the buttons from the window's menu (and the class library's main menu), then
  // detaches the menu from the window.
  void UpdataBtn() override;
  // The same for an MDI parent: empty texts stay, class-library captions are taken as ANSI text;
  // the buttons are laid out at the end.
  void UpdataBtn2();
  // Paints the bar into R (window coordinates) of the window's DC.
  void DrawMenu(HDC DC, const TRect& R);
  // Lays the buttons out in the bar's row as the frame is now, without painting: the one layout
  // that the paint, the hit test and the end of a hover take.
  void SetMenuRect();
  // The first button with a caption whose rectangle, as the bar is laid out now, holds P (window
  // coordinates), else nil.
  TMenuBtn* FindBtn(POINT P);
  // The first enabled, visible button whose caption has Key as its accelerator, else nil.
  TMenuBtn* FindButtonFromAccel(wchar_t Key) const;
  int BtnCount() const { return int(buttons_.size()); }
  TMenuBtn* Btn(int Index) const { return buttons_[size_t(Index)].get(); }
  // Frees the buttons (the hot object of the form forgets them).
  void ClearButtons();

  TMainMenu* MainMenu = nullptr;  // the form's menu; nil for a window without a form
  TSkinData* SkinData;
  TVeltForm* Form;
  std::unique_ptr<TBitmap> Snapshot;  // the bar's background as last painted, without captions
  bool Painting = false;
  TRect BarRect{};                    // window coordinates, as last painted
  HMENU MenuHandle = nullptr;         // the window's menu, kept while it is detached

private:
  void AddButton(int Position, HMENU Menu, bool Mdi);
  // The bar's row in window coordinates as the frame lays it out now.
  TRect CurrentBarRect() const;
  void Layout(const TRect& Bar, HDC MeasureDC);
  std::vector<std::unique_ptr<TMenuBtn>> buttons_;
};

// A skinned window's painted menu bar and its side of its menus: the owner-drawn items it made and
// the class-library menus and items it switched to drawing through it (a part of TVeltForm;
// form_menus.cpp uses it).
struct TFormMenuBar {
  bool MenuTracking = false;
  HMENU TrackedMenu = nullptr;
  int DetachedMenuHeight = 0;  // the system's menu bar as it was when the menu was detached

protected:
  TVeltMenu* menuBar_ = nullptr;
  std::vector<TOwnerDrawnItem> ownerDrawn_;
  // Class-library popup menus switched to owner drawing, with what they had before.
  std::vector<std::pair<TMenu*, bool>> ownerDrawMenus_;
  std::vector<TMenuItem*> ownerDrawItems_;
  // Tool-bar menu items drawn through the form, with the handlers they held before; an item
  // freed meanwhile leaves the list through its free notification.
  struct TToolbarMenuItem {
    TMenuItem* Item;
    TMenuDrawItemEvent Draw;
    TMenuMeasureItemEvent Measure;
    // Puts the item's own handlers back; the form no longer watches it being freed.
    void GiveBack(TComponent* Form);
  };
  std::vector<TToolbarMenuItem> toolbarMenuItems_;
};

// Draws Caption centred in R (single line, tabs expanded, "&" underlining the accelerator) in
// the DC's current font and text colour.
void MyDrawCaption(HDC DC, const TRect& R, const WideString& Caption);

// ---- Tracking (one menu of one bar at a time in the process)

// Opens the submenu of Button under it and tracks it until it closes; while it is open the Left
// and Right keys and the mouse over another button move to that button's menu. A button without a
// submenu posts its command instead (an enabled one only). True when a submenu was tracked.
bool CheckMenu(TVeltForm* Form, TMenuBtn* Button);
// Posts a click on the button to its window (the way an accelerator opens it).
void ClickButton(TVeltForm* Form, TMenuBtn* Button);
// The index of the button whose menu is open, -1 when none.
int OpenMenuButton();
// A menu of the bar is open (the filter hook is installed).
bool MenuTracking();
// The window's WM_MENUSELECT while one of its bar's menus is open: the item last selected.
void TrackMenuSelect(TVeltForm* Form, TWMMenuSelect& Message);
// The window is going: tracking forgets it.
void ForgetTrackedForm(TVeltForm* Form);

// What tests drive the open menu with: called by the filter hook for every message of the menu's
// loop, before the bar looks at it (nil: nothing).
extern std::function<void(const MSG& Msg)> MenuLoopSpy;
