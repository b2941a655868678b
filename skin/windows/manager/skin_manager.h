// Unit VeltDlg: the manager of skinned windows TSkinManage (its lists, the per-thread WH_CBT hooks,
// the rules by which a window is taken over, the choice of a TSkinData per window and the action
// timer), the module's start-up values (PropName, ControlAtom, WinVersion) and its shut-down.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "skin/data/skin_manager_link.h"
#include "skin/data/velt_data.h"

class TCustomForm;
class TTimer;
class TVeltForm;
class TVeltPopMenu;
class TBitmap;
class TWinControl;

// One extra GUI thread hooked by InstallThread.
struct TSkinThread {
  HHOOK Hook = nullptr;
  DWORD ThreadId = 0;
};

// The lists a host program's manager owns and a library module's manager shares.
struct TSkinManagerLists {
  std::vector<TVeltForm*> Forms;
  std::vector<TVeltPopMenu*> Menus;  // skinned popup-menu windows, owned
  std::vector<TSkinData*> SkinData;
  std::vector<TSkinThread> Threads;
  // Guards every list operation. Hooks of other threads touch the lists; window calls (which may
  // send to other threads) are never made while it is held, so a hook waiting for it cannot
  // deadlock a cross-thread send.
  std::recursive_mutex Lock;
};

class TSkinManage : public TSkinManagerLink {
public:
  explicit TSkinManage(bool IsDll);
  ~TSkinManage() override;
  TSkinManage(const TSkinManage&) = delete;
  TSkinManage& operator=(const TSkinManage&) = delete;

  // ---- The manager link
  void AddSkinData(TSkinData* Data) override;
  void RemoveSkinData(TSkinData* Data) override;
  void InstallHook() override;
  void InstallThread(DWORD ThreadId) override;
  void UnInstallThread(DWORD ThreadId) override;
  void AssignData(TSkinManagerLink* Host) override;
  void SetAction(int Action, int Delay) override;
  bool AddForm(HWND Wnd) override;
  void DeleteSysbtn() override;
  int FormCount() override;
  TSkinFormLink* Forms(int Index) override;
  TSkinFormLink* FindSkinForm(HWND Wnd) override;

  // ---- Windows
  void ActiveForm(TCustomForm* Form);
  TVeltForm* FindVeltForm(HWND Wnd);
  // The class-library form of the window (Screen.Forms), else any class-library control on it.
  TWinControl* FindTForm(HWND Wnd);
  // A child window that is no MDI child and whose parent is no "mdiclient".
  static bool NestedForm(HWND Wnd);
  // The component that skins Wnd (last match of each role wins); nil when none is registered.
  TSkinData* FindSkindata(HWND Wnd);
  bool OnBeforeSkin(HWND Wnd, const std::string& ClassName);
  // Unskins and frees the form of a window an extra thread destroys (one with a class-library
  // form; a plain window's form waits for the sweep).
  bool DeleteForm(HWND Wnd);
  // Unlike DeleteForm, only unlists: the form is going away by itself.
  void DeleteForm2(TVeltForm* Form);
  // Frees the forms of destroyed windows that this module's manager made.
  void DeleteDeleted();
  // As DeleteDeleted, whatever module's manager made them.
  void DeleteForm3();
  void DeleteAllForms();
  void DeleteSubForm(HINSTANCE Module);
  void SetMDIMax(bool Max);

  // ---- Menus
  void AddMenu(HWND Wnd);
  bool DeleteMenu(HWND Wnd);
  bool FindSkinMenu(HWND Wnd);
  void DeleteAllMenus();
  // Gives Menu to the last listed popup whose menu is still unknown (the item painting found it).
  void SetHMenu(HMENU Menu);
  // The listed popup that shows Menu (asking each popup whose menu is still unknown), else nil.
  TVeltPopMenu* FindPopMenu(HMENU Menu);
  // Its picture behind the items, else nil.
  TBitmap* GetMenuBg(HMENU Menu);
  std::vector<TVeltPopMenu*> MenuList();

  // ---- Threads and sub-managers
  void DeleteAllThreads();
  void DeleteAllSub();
  void DeleteSub(TSkinManage* Sub);

  // ---- Actions: OnTimer runs the queued action once (the timer is one-shot).
  void OnTimer();
  TTimer* ActionTimer() const { return timer_.get(); }
  int Action() const { return action_; }

  // ---- Fields read by the skinned windows and the menu bar
  int MenuKind = 0;  // 0 popup menu, 1 a menu of the menu bar, 2 the system menu
  bool MDIMaximized = false;
  HWND MDIClient = nullptr;
  TWinControl* MDIMainForm = nullptr;
  TSkinData* DefaultSkinData = nullptr;
  HINSTANCE Module = nullptr;  // nil for the program's own manager
  TSkinManage* HostManager = nullptr;

  HHOOK CbtHook() const { return cbtHook_; }
  DWORD HookThread() const { return hookThread_; }
  // Set from destruction (or a detach) on: the delete operations then do nothing.
  bool Closing() const { return closing_; }
  std::vector<TSkinThread> Threads();
  std::vector<TSkinData*> SkinDataList();
  std::vector<TVeltForm*> FormList();

  // The hooks (exposed for the hook procedures).
  LRESULT HookCBT(int Code, WPARAM wParam, LPARAM lParam);
  // Answers 10 to refuse a window; anything else means "pass on".
  LRESULT HookExtraThreadCBT(int Code, WPARAM wParam, LPARAM lParam);

private:
  enum class TActionSwitch;
  struct TActionStep;
  struct TSkinAction;
  // The row of an action code; nil for a code that is none of them.
  static const TSkinAction* FindAction(int Code);
  // A library module's manager switched on (and made to skin every form) or off with its host.
  static void PassSwitch(TSkinManage* Sub, TActionSwitch Switch);
  void RunAction();
  std::vector<TVeltForm*> FormsOf(TSkinData* Data);
  // The steps of the actions, each given the pending component.
  void SkinOwnForm(TSkinData* Pending);
  void SkinEveryForm(TSkinData* Pending);
  void UnskinOwnForm(TSkinData* Pending);
  void UnskinEveryForm(TSkinData* Pending);
  void ChangeOwnFormsSkin(TSkinData* Pending);
  void ChangeEveryFormsSkin(TSkinData* Pending);
  void DropDeadForms(TSkinData* Pending);
  void ReskinWindowAgain(TSkinData* Pending);
  void RemoveForm(TVeltForm* Form);
  // Unskins, repaints, unlists and frees one form.
  void UnskinAndFree(TVeltForm* Form);
  void FreeForm(TVeltForm* Form);

  std::unique_ptr<TTimer> timer_;
  std::shared_ptr<TSkinManagerLists> lists_;
  std::vector<TSkinManage*> subs_;
  HHOOK cbtHook_ = nullptr;
  DWORD hookThread_ = 0;
  int action_ = 0;
  bool closing_ = false;
  bool isDll_ = false;
};

// The window hooks, one of each kind per thread.
LRESULT CALLBACK SkinHookCBT(int Code, WPARAM wParam, LPARAM lParam);
// SkinHookCBT of an extra thread (InstallThread): no MDI children, size grips under a listed window
// refused, and the forms of destroyed windows freed at once.
LRESULT CALLBACK SkinHookCBT2(int Code, WPARAM wParam, LPARAM lParam);

// The module's start-up values: "ControlOfs" with the module instance and the start-up thread id;
// the message registered under it (nothing reads it) and the module's own reference on the global
// atom of that name; this module's instance. PropName is cleared and the atom reference released
// when the module shuts down, after SkinManager has been freed.
extern std::string PropName;
extern UINT RM_SkinObjectInstance;
extern ATOM SkinControlAtom;
extern HINSTANCE myinstance;
// The manager made for this module (the SkinManager of the manager link, as this unit's type).
TSkinManage* SkinManage();
// The module's start-up (a program runs it by itself; a library module calls it once, before
// the first skin component is made).
void StartSkinManagerUnit();
// Runs the module's shut-down now (tests): frees SkinManager, then releases the name and the atom.
void FinalizeSkinManagerUnit();
