// The skin manager and the skinned windows as the skin data component reaches them: the operations
// and fields of TSkinManage, TVeltForm and TVeltMenu that TSkinData uses, the module's SkinManager
// and the factory that makes it. Windows only.
#pragma once

#include <windows.h>

#include <functional>

class TControl;
class TSkinData;
class TWinControl;

// The actions the skin component queues, and the delay it gives each.
enum TSkinAction : int {
  saSkinAll = 1,       // skin every visible form
  saUnskinAll = 2,
  saSkinChanged = 3,   // the pending component loaded a new skin
  saDropDead = 6,      // free the objects of destroyed windows
  saReskinWindow = 7,  // unskin and skin ReskinWindow again
};
constexpr int kSkinActionDelay = 250;

// The painted menu bar of a skinned window (TVeltMenu).
class TSkinMenuBarLink {
public:
  // Rebuilds the buttons from the window's menu and detaches the menu from the window.
  virtual void UpdataBtn() = 0;

protected:
  ~TSkinMenuBarLink() = default;
};

// One skinned window (TVeltForm).
class TSkinFormLink {
public:
  // The window it skins.
  virtual HWND Window() const = 0;
  // Walks the controls of Control and skins each.
  virtual void InitControls(TWinControl* Control) = 0;
  // Skins a form nested in the window.
  virtual void InitNestform(TWinControl* Control) = 0;
  // Switches the popup menus of Control to owner drawing (OwnerDraw) or back; Flag2 has no effect.
  virtual void InitPopMenu(TWinControl* Control, bool OwnerDraw, bool Flag2) = 0;
  // Puts a TVeltSpy, owned by Nested and bound to this form, on a form nested in the window.
  virtual void AddSpy(TWinControl* Nested) = 0;
  // The painted menu bar; nil for a window without one.
  virtual TSkinMenuBarLink* MenuBar() = 0;
  // The control skins of the window in list order: their number, the control each skins, and
  // removing one from the list and freeing it.
  virtual int ControlSkinCount() = 0;
  virtual TControl* ControlSkinControl(int Index) = 0;
  virtual void FreeControlSkin(int Index) = 0;

protected:
  ~TSkinFormLink() = default;
};

// The skin manager (TSkinManage) of this module.
class TSkinManagerLink {
public:
  virtual ~TSkinManagerLink() = default;

  virtual void AddSkinData(TSkinData* Data) = 0;
  virtual void RemoveSkinData(TSkinData* Data) = 0;
  // The WH_CBT hook of the calling thread; InstallThread hooks another GUI thread.
  virtual void InstallHook() = 0;
  virtual void InstallThread(DWORD ThreadId) = 0;
  virtual void UnInstallThread(DWORD ThreadId) = 0;
  // A library module's manager shares the lists of Host (nil: detaches).
  virtual void AssignData(TSkinManagerLink* Host) = 0;
  // Queues Action for Pending, carried out Delay milliseconds later once the manager runs.
  virtual void SetAction(int Action, int Delay) = 0;
  // Takes a window over; True when it was.
  virtual bool AddForm(HWND Wnd) = 0;
  // Frees the caption buttons of every window that Pending skins.
  virtual void DeleteSysbtn() = 0;
  // The skinned windows in list order, and the first of them that skins Wnd (nil when none).
  virtual int FormCount() = 0;
  virtual TSkinFormLink* Forms(int Index) = 0;
  virtual TSkinFormLink* FindSkinForm(HWND Wnd) = 0;

  // Windows and menus are taken over only while set.
  bool Enabled = false;
  // While set, AddForm takes nested child forms too (set while action 1 walks the forms, and by
  // TSkinData.SkinForm to force one window).
  bool Walking = false;
  // 0 idle (no window seen yet: an action only switches Enabled), above 0 running. Loads of
  // components that are not main-form ones count it up, so it means nothing but "running"; the
  // manager keeps its closing state apart from it.
  int State = 0;
  // The component the queued action concerns.
  TSkinData* Pending = nullptr;
  // The window of action 7.
  HWND ReskinWindow = nullptr;

  bool Running() const { return State > 0; }
};

// This module's manager: nil until the first TSkinData finishes loading (or SkinDll). The
// manager's unit frees it when the module shuts down.
extern TSkinManagerLink* SkinManager;

// Makes a manager: IsDll False for the program's own, True for a library module's (SkinDll). The
// skin manager's unit installs itself here; nil until then, and then no manager is made.
using TSkinManagerFactory = std::function<TSkinManagerLink*(bool IsDll)>;
extern TSkinManagerFactory SkinManagerFactory;
