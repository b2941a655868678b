// What a skinned window needs from the folders above it, through interfaces it owns: the manager
// (the MDI state it keeps for the whole program, the kind of menu opening, its popup-menu windows)
// and the control skins (the walks that choose and attach a skin for each control). The manager
// implements the first and, when the library's units start, installs the control skins' walks.
#pragma once

#include <windows.h>

#include "skin/data/skin_manager_link.h"

class TVeltForm;
class TVeltPopMenu;
class TWinControl;

// The skin manager (TSkinManage) as its skinned windows and their menu bars see it.
class TFormManagerLink : public TSkinManagerLink {
public:
  // Shows the program's MDI children maximised (their caption buttons on the parent's bar) or not.
  virtual void SetMDIMax(bool Max) = 0;
  // A skinned window is being freed: it leaves the list.
  virtual void DeleteForm2(TVeltForm* Form) = 0;
  // Gives Menu to the last listed popup whose menu is still unknown (the item painting found it).
  virtual void SetHMenu(HMENU Menu) = 0;
  // The listed popup that shows Menu (asking each popup whose menu is still unknown), else nil.
  virtual TVeltPopMenu* FindPopMenu(HMENU Menu) = 0;

  int MenuKind = 0;  // 0 popup menu, 1 a menu of the menu bar, 2 the system menu
  bool MDIMaximized = false;
  HWND MDIClient = nullptr;
  TWinControl* MDIMainForm = nullptr;
};

// The walks over a skinned window's controls (skin/windows/controls/control_choice).
class TFormControlsLink {
public:
  virtual void InitControls(TVeltForm* Form, TWinControl* Control) = 0;
  virtual void InitNestform(TVeltForm* Form, TWinControl* Control) = 0;
  virtual void AddControlh(TVeltForm* Form, HWND Handle) = 0;
  virtual void ReCreateControlSkin(TVeltForm* Form, HWND Old) = 0;

protected:
  ~TFormControlsLink() = default;
};

// The control skins' walks; nil until the library's units have started (no control is skinned).
extern TFormControlsLink* FormControls;
