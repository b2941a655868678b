// Unit VeltForm: TVeltForm, the object that skins one top-level window, dialog, message box or MDI
// child: taking the window over (its window procedure, and the form's WindowProc), the finishing
// steps at CN_SkinActive, the resize that keeps the client area, the system menu, the control-skin
// list and giving the window back. Also WinVersion, the platform flag that painting code reads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/messages.h"
#include "classlib/core/persistent.h"
#include "classlib/graphics/graphic_types.h"
#include "skin/data/skin_manager_link.h"
#include "skin/windows/core/nc_fonts.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/core/window_subclass.h"
#include "skin/windows/forms/form_links.h"
#include "skin/windows/forms/caption_buttons.h"
#include "skin/windows/forms/velt_menu.h"
#include "skin/windows/menus/menu_items.h"
#include "skin/windows/paint/nc_geometry.h"

class TBitmap;
class TCanvas;
class TControl;
class TNCObject;
class TTimer;
class TMenuBtn;
class TMenuItem;
class TVeltMenu;
class TToolBar;
class TToolButton;
class TWinSysButton;
class TCustomForm;
class TFont;
class TPopupMenu;
class TMenu;
class TSkinData;
class TDataSkinSysButton;
class TWinControl;

// The value of GetVersion, read when the module starts; bit 31 set means the 9x family.
extern DWORD WinVersion;

// A library module's end: frees the frame pictures that every thread keeps between paints and
// gives back their fiber-local slot.
void FinishFramePictures();
// A window's text: wide (read wide on the NT family, else the ANSI text widened), ANSI (at most 999
// characters), and the wide text in the library's code page.
WideString GetFormCaption(HWND Wnd);
AnsiString GetFormCaptionA(HWND Wnd);
AnsiString GetFormText(HWND Wnd);

// Life states of a skinned window.
enum TVeltLife : int {
  lsNew = 0,          // procedure replaced, CN_SkinActive not yet handled
  lsSkinned = 1,
  lsSkinChanging = 3,
  lsUnskinning = 4,
  lsResizing = 5,
  lsDead = 6,         // the window has been destroyed; the manager frees the object
};

enum TVeltFormKind : uint8_t { fkNormal = 0, fkMDIParent = 1, fkMDIChild = 2 };
enum TVeltBorderKind : uint8_t { bkSizeable = 0, bkFixed = 1, bkNoCaption = 2, bkDialog = 3 };
enum TVeltWindowState : uint8_t { vwNormal = 0, vwMaximized = 1, vwMinimized = 2 };
// Style flags.
constexpr uint8_t sfHasHelp = 4, sfHasMaxBox = 1, sfHasMinBox = 2, sfHasSysMenu = 8, sfCaptionTaken = 0x10;

// A control skin as the skinned window lists it (the control skins themselves come later).
class TSkinControlEntry {
public:
  virtual ~TSkinControlEntry() = default;
  virtual TControl* Control() = 0;
  virtual void Unsubclass() = 0;
  virtual void SkinChange() = 0;
  virtual int State() = 0;  // 6: its window has been destroyed
  // The window the skin paints; 0 when it has none of its own.
  virtual HWND SkinWindow() { return nullptr; }
  // The mouse has left the control: its hot look ends.
  virtual void MouseLeave() {}
};

// The life state of a skinned window: how far taking it over has gone.
struct TFormLife {
  int LifeState = lsNew;
  bool SkinActiveSeen = false;
  bool FrameSkinned = false;
};

// A skinned window's frame: its kind of border, its sizes with and without the skin, its region
// and caption font (frame_paint.cpp and nc_handler.cpp use it).
struct TFormFrame {
  TVeltBorderKind BorderKind = bkFixed;
  uint8_t StyleFlags = 0;
  int Borders[4] = {};  // left, top, right, bottom
  int MenuHeight = 0;
  int CaptionTextWidth = 0;
  RECT ClientRect = {};
  RECT SystemFrame = {};  // (0, 0, non-client width, non-client height) unskinned
  HRGN Region = nullptr;
  bool RegionSet = false;

protected:
  HFONT captionFont_ = nullptr;
  int regionW_ = 0, regionH_ = 0;
  bool cropping_ = false;       // SetWindowRgn re-enters through WM_NCCALCSIZE and WM_SIZE
  bool restyling_ = false;      // our own style changes are not the application's
};

// The control skins a skinned window lists, and the one under the mouse.
struct TFormControlList {
protected:
  std::vector<TSkinControlEntry*> controls_;
  TSkinControlEntry* hotControl_ = nullptr;
};

// The skinned window; its state is grouped in the parts above, each beside the code that uses it.
class TVeltForm : public TComponent,
                  public TSkinFormLink,
                  public TFormLife,
                  public TFormFrame,
                  public TFormCaptionButtons,
                  public TFormMenuBar,
                  public TFormControlList {
  KARO_CLASS(TVeltForm)
public:
  // Owner: the class-library form of the window, or nil.
  explicit TVeltForm(TComponent* AOwner);
  ~TVeltForm() override;

  // ---- Set by the manager before InitTform / InitDlg.
  HWND hwnd = nullptr;
  HINSTANCE Module = nullptr;
  std::string ListedClassName;
  TFormManagerLink* Manager = nullptr;

  void InitTform(TSkinData* Data, TWinControl* AForm);
  void InitDlg(TSkinData* Data);
  // Acts once (while no window procedure of ours is installed).
  void InitSkin(TSkinData* Data);
  // Border sizes (and, with the caption buttons, their records) from the skin.
  void InitSkinData();
  void DeleteSysbtn();
  void SkinChange();
  void AfterSkin();
  void GetBorderSize();
  void ResizeForm(int KeepClient);
  void EnableSysbtn(bool Show);
  void UpdateStyle(bool Strip);
  void RePaint(HWND Wnd);
  void Refresh();
  // The window region; the frame-painting code shapes it from the skin. A region is deleted here
  // only when the system refused it.
  void Cropwindow();
  void Uncropwindow();
  bool SetRegion(HRGN Region, bool Redraw);

  // Gives the window back with its own frame: procedures, control skins, menus, style, outer size,
  // region and the form's colour.
  void UnSubclass();
  // UnSubclass of a window whose frame the skin never painted: no frame to give back.
  void UnSubclass2();
  // UnSubclass of a window being destroyed: procedures, control skins and menu bar go, nothing is
  // restyled, resized or given its menu back.
  void UnSubclass3();

  // ---- The non-client area (nc_handler.cpp, frame_paint.cpp, caption_buttons.cpp)
  // The borders and menu row as the geometry takes them.
  TFrameBorders FrameBorders() const;
  // Paints the whole non-client area into DC (the window's DC when 0): composed off screen, put
  // on with one copy per edge. The hot object is cleared.
  void UpdateNc(HDC DC);
  // Paints frame border Index (1 left, 2 right, 3 top, 4 bottom) into R of DC.
  void Drawborder(int Index, const TRect& R, HDC DC);
  // The title bar (top border, caption text, caption buttons) into the W x top composition DC.
  void DrawFLine(HDC DC, int W, int H);
  // The caption text with its background into Area of DC.
  void DrawLine(TCanvas* Canvas, const TRect& Area);
  // Where the caption text goes in Area, measured in the caption font on DC; and its drawing there.
  // What places the caption text in Area, measured in DC; the clip by the caption buttons is the layout's.
  TCaptionTextInput CaptionTextInput(HDC DC, const TRect& Area, const WideString& Text) const;
  void DrawCaption(TCanvas* Canvas, const TRect& Area, const WideString& Text, const TCaptionTextPlace& Place);
  COLORREF CaptionInk() const;
  // Composes the frame and puts it on DC (the window's when 0): every edge, or only the title
  // bar and menu row with the caption buttons in their current states.
  void PaintNc(HDC DC, bool TitleOnly);
  // The skin paints the frame now (else the system does, or nothing does).
  bool FramePainted() const;
  // The caption text as painted: the prefix, the window text and the suffix.
  WideString CaptionText() const;
  POINT GetWinXY(int ScreenX, int ScreenY) const;
  // Caption buttons
  void CreateSysbtns();
  // The calling thread's composition pictures are of the old skin: drawn anew at the next paint.
  static void ForgetFramePictures();
  // What decides which caption buttons show, from the window as it is now.
  TCaptionFlags CaptionFlags() const;
  bool SysBtnVisible(int Index);
  // The record whose picture the button shows: its own, or for the minimise button of a
  // minimised window the skin's restore button.
  const TDataSkinSysButton* FaceRecord(const TWinSysButton* Button) const;
  // The caption text and every caption button laid out as the title bar is painted now (the text
  // measured in MeasureDC): the paint, the hit test and the end of a hover all come here.
  TCaptionTextPlace LayOutTitle(HDC MeasureDC, const TRect& TextArea, const WideString& Text);
  // The same without a paint, for the window as it is now.
  void SetSysbtnRect();
  // Every caption button that the title bar shows, into the composition.
  void DrawAllSysbtn(TBitmap& Work);
  void DrawSysbtn(TWinSysButton* Button, int State);
  void DrawButtonFace(HDC DC, TWinSysButton* Button, int Frame);
  // The frame a caption button shows in the title bar as it is painted whole; 0 when it is not
  // drawn there.
  int SysbtnFace(TWinSysButton* Button) const;
  // The window's small icon (its own, its class's, or its large one); 0 when it has none.
  HICON WindowIcon() const;
  // The caption button under P (window coordinates) as the frame would be painted now, else nil.
  TWinSysButton* FindBtn(POINT P);
  void SysBtnAction(int ScreenX, int ScreenY);
  void MDIChildAction(UINT Cmd);
  bool MDIChildMax() const;
  void Maximize();
  void Restore();
  void Minimize();
  void OnHoverTimer();
  TTimer* HoverTimer() const { return hoverTimer_; }
  int SysBtnCount() const { return int(sysBtns_.size()); }
  TWinSysButton* SysBtn(int Index) const { return sysBtns_[size_t(Index)]; }
  // Where the cursor is, in screen coordinates; tests put their own here.
  static POINT (*CursorPos)();
  // The time in milliseconds that double clicks are measured by; tests set their own.
  static DWORD (*Clock)();


  // ---- Control skins
  bool AddControlList(TSkinControlEntry* Control);
  void DeleteControl(TSkinControlEntry* Control);
  void DeleteSkinDeleted();
  void DeleteControls();
  void InitHwndControls(HWND Wnd);
  void AddControlh(HWND Wnd);
  const std::vector<TSkinControlEntry*>& ControlSkins() const { return controls_; }
  // The control skin under the mouse in a window without a class-library form (whose controls
  // hear of the mouse leaving them from the class library): the hover timer and deactivation end
  // its hot look. A new one ends the old one's.
  void SetHotControl(TSkinControlEntry* Control);
  TSkinControlEntry* HotControl() const { return hotControl_; }

  // ---- System menu
  // The skinned system menu, one item per item of the window's own system menu.
  void CreateSysmenu2();
  // The fixed items that CreateSysmenu2 makes in its place on the NT family before version 5.
  void CreateSysmenu();
  void AddSysMenuitem(const WideString& Caption, int Index);
  bool CheckSysmenu();
  void PopSysmenu(POINT P);
  // A click on an item of CreateSysmenu: the window is restored, maximised, minimised or closed.
  void DoSysMenu(TObject* Sender);
  // Unlike DoSysMenu, for CreateSysmenu2's items: posts the item's system command to the window.
  void DoSysMenu2(TObject* Sender);
  TPopupMenu* SysMenuPopup() const { return sysPopup_; }

  // ---- The painted menu bar and owner-drawn menus (skin/windows/menus)
  TVeltMenu* MenuBarObject() const { return menuBar_; }
  // Makes the items of a menu about to open owner-drawn (given back at unskinning).
  void PrepareMenu(HMENU Menu);
  // Detaches the window's menu, noting how much room the system's menu bar took.
  void DetachMenu();
  // A menu of the bar closed on its own.
  void CancelMenu() { MenuTracking = false; }
  // CN_MenuSelect: the bar button (not a caption button) at the screen point opens.
  void MenuSelect(POINT Screen);
  // CM_DIALOGCHAR of the form: Alt with a button's accelerator opens it.
  void CMDialogChar(TMessage& Message);
  // The non-client mouse on the bar; false when the point is on no bar button.
  bool MenuBarMouse(TMessage& Message);
  // The bar button under a non-client mouse message (its result 0 when there is one), else nil.
  TMenuBtn* BarButtonAt(TWMNCMouse& m);
  bool BarMouseMove(TWMNCMouse& m);
  bool BarLButtonDown(TWMNCMouse& m);
  bool BarLButtonUp(TWMNCMouse& m);
  // SC_KEYMENU; false when the bar does not take it.
  bool KeyMenu(TWMSysCommand& m);
  // The window's menu messages while skinned (WM_INITMENUPOPUP, WM_MENUSELECT, WM_MEASUREITEM,
  // WM_DRAWITEM, WM_MENUCHAR, CN_MenuSelect, CM_MENUCHANGED); false when not one of them.
  bool HandleMenuMessage(TMessage& Message);
  bool CNMenuSelect(TCNScreenPoint& m);
  bool CMMenuChanged(TMessage& m);
  bool WMMenuSelect(TWMMenuSelect& m);
  bool WMMenuChar(TWMMenuChar& m);
  bool WMMeasureItem(TWMMeasureItem& m);
  bool WMDrawItem(TWMDrawItem& m);
  // An owner-drawn item of a form's menus that is none of the class library's items and that the
  // skin did not make owner-drawn: the program measures and draws it.
  bool ProgramDrawsItem(UINT Id) const;
  // Gives the menus back: the owner-drawn items their own type, and (Attach) the window its menu.
  void GiveMenusBack(bool Attach);
  // Measure and draw handlers of class-library menu items (main menu, popup menus).
  void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void MeasureItemPop(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void DrawMenuItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
  // The custom-draw handlers a tool-bar skin installs on a class-library tool bar.
  void ToolBarDrawBackground(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);
  void ToolBarDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
  // Gives a class-library tool bar the two handlers above where it has none of its own; and takes
  // back only those, so a handler the program set is never cleared.
  void InstallToolBarDrawing(TControl* ToolBar);
  void RemoveToolBarDrawing(TControl* ToolBar);
  // A tool button's or tool bar's menu item and all its sub-items: with OwnerDraw they draw and
  // measure through the form; without, each item the form changed gets its own handlers back.
  void InitToolbarMenu(TMenuItem* Item, bool OwnerDraw);
  void GiveToolbarMenusBack();

  // ---- The manager link
  HWND Window() const override { return hwnd; }
  void InitControls(TWinControl* Control) override;
  void InitNestform(TWinControl* Control) override;
  void InitPopMenu(TWinControl* Control, bool OwnerDraw, bool Flag2) override;
  void AddSpy(TWinControl* Nested) override;
  TSkinMenuBarLink* MenuBar() override;
  int ControlSkinCount() override { return int(controls_.size()); }
  TControl* ControlSkinControl(int Index) override;
  void FreeControlSkin(int Index) override;

  // ---- State
  TSkinData* SkinData = nullptr;
  TWinControl* Form = nullptr;
  bool Dialog = false;
  bool Child = false;
  bool Sizeable = false;
  bool UnicodeWindow = false;
  bool RightToLeft = false;
  bool Active = true;
  TVeltFormKind FormKind = fkNormal;
  TVeltWindowState WindowState = vwNormal;
  HWND OwnerWindow = nullptr;
  HWND MDIClient = nullptr;
  HMENU MenuHandle = nullptr;
  HMENU SystemMenu = nullptr;
  TColor SavedColor = 0;
  bool SavedColorValid = false;
  int MDIMenuUpdate = 0;

  // The window procedure in place (a window procedure of ours is installed).
  bool Subclassed() const;
  // The form's WindowProc was replaced.
  bool FormProcReplaced() const { return bool(savedFormProc_); }
  // The caption font (the system's, from the non-client metrics).
  HFONT CaptionFont() const { return captionFont_; }

  // Messages of the replaced window procedure.
  LRESULT WinWndProc(UINT Msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT Msg, WPARAM wParam, LPARAM lParam);
  // Messages of the MDI client of a skinned MDI parent, and its saved procedure.
  LRESULT WinMDIProc(UINT Msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultMDI(UINT Msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(TMessage& Message) { return Default(Message.Msg, Message.WParam, Message.LParam); }
  void DefaultMDI(TMessage& Message);

protected:
  void Notification(TComponent* c, TOperation op) override;

private:
  void Subclass();
  // Puts the saved procedure back while ours is current; false when another took over since.
  void RestoreWndProc();
  void SubclassMDI();
  void UnSubclassMDI();
  void NewWndProc(TMessage& Message);
  bool HandleFormSide(TMessage& Message);
  bool FormSetText(TWMSetText& m);
  bool FormSkinChange(TWMNoParams& m);
  bool FormDialogChar(TMessage& m);
  bool FormSkinQuery(TCNSkinMarked& m);
  bool FormSkinPaintFrame(TCNSkinMarked& m);
  // The form's own WindowProc, as it was before ours.
  void PassToForm(TMessage& Message);
  // A new window text set by SetText: drawn with the window's drawing off, then the skinned frame
  // is painted once (an invisible window only takes the text).
  void CaptionChange(const std::function<void()>& SetText);
  void RestoreFormProc();
  void OnSkinActive();
  // The skinned window's messages by map, each handler taking its message's view and telling
  // whether it answered the message (false: the message goes on through the window procedure).
  // Messages every skinned window answers, and those it only notes.
  bool HandleCommon(TMessage& Message);
  bool WMEraseBkgnd(TWMEraseBkgnd& m);
  bool WMNCDestroy(TWMNoParams& m);
  bool WMNCActivateFirst(TWMNCActivate& m);
  bool WMThemedCaptionRedraw(TWMNoParams& m);
  bool WMInitMenuPopup(TWMInitMenuPopup& m);
  bool WMCtlColorBtn(TWMCtlColor& m);
  bool WMCtlColorStatic(TWMCtlColor& m);
  bool CNSkinActive(TCNSkinActive& m);
  bool CNReCreateWnd(TCNReCreateWnd& m);
  bool CNIsSkinned(TWMNoParams& m);
  bool CNSkinPaintFrame(TCNSkinMarked& m);
  bool CNSkinQuery(TCNSkinMarked& m);
  // Sizes, system commands, styles and text of a skinned frame (before the life-state check).
  bool HandleFrameCommand(TMessage& Message);
  bool WMSize(TWMSize& m);
  bool WMGetMinMaxInfo(TWMGetMinMaxInfo& m);
  bool WMWindowPosChanged(TWMWindowPosMsg& m);
  bool WMCommand(TWMCommand& m);
  bool WMSysCommand(TWMSysCommand& m);
  bool WMStyleChanged(TWMStyleChanged& m);
  bool WMSetText(TWMSetText& m);
  // The non-client messages of a skinned frame.
  bool HandleNc(TMessage& Message);
  bool WMNCCalcSize(TWMNCCalcSize& m);
  bool WMNCHitTest(TWMNCHitTest& m);
  bool WMNCPaint(TWMNCPaint& m);
  bool WMNCActive(TWMNCActivate& m);
  bool NcMouseTaken(TWMNCMouse& m, TWinSysButton*& Hit);
  bool WMNCMouseMove(TWMNCMouse& m);
  bool WMNCLButtonDown(TWMNCMouse& m);
  bool WMNCLButtonUp(TWMNCMouse& m);
  bool WMNCLButtonDblClk(TWMNCMouse& m);
  bool WMNCRButtonUp(TWMNCMouse& m);
  bool CNUpdateNc(TWMNoParams& m);
  bool WMSetIcon(TWMSetIcon& m);
  // The skin answers the non-client and owner-drawn menu messages itself: the window has taken
  // its skin, and it is no maximised MDI child (whose caption is the MDI parent's menu row).
  bool SkinAnswersNc() const;
  // The MDI client's messages; unlisted ones go to its saved procedure.
  void MDIClientProc(TMessage& Message);
  void MDINCCalcSize(TWMNCCalcSize& m);
  void MDICreate(TMessage& m);
  void MDIDestroy(TMessage& m);
  void MDISetMenu(TMDISetMenu& m);
  void MDIArrange(TMessage& m);
  void CNMdiRedraw(TWMNoParams& m);
  void StyleChanged(int Which, const STYLESTRUCT* S);
  void ChooseCaptionFont();
  // The window state from the window placement.
  void GetWindowstate();
  // Whether the window is an MDI parent (has an "MDIClient" child): its client, told the manager.
  void GetFormstyle();
  void WidenDialog(int& Width);
  void UnSubclassCommon(bool Restyle);
  // Sets or clears Bits on the window's style as it is now; nothing else is touched.
  void SetOwnStyleBits(LONG Bits, bool On);

  void FreeMenuBar();
  TWndMethod savedFormProc_;
  TWindowSubclass formSub_;
  TWindowSubclass mdiSub_;
  TPopupMenu* sysPopup_ = nullptr;
  DWORD lastSysMenuTime_ = 0;
  bool sysMenuShown_ = false;  // the system menu has been opened once
  UINT doubleClickTime_ = 0;
  // Ends the hot control's look when the cursor is no longer over it (Always: whatever the cursor).
  void EndHotControl(bool Always);
  // A control skin leaves the list: it is hot no longer.
  void ForgetControl(TSkinControlEntry* Control);
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// What a form nested in a skinned window carries (owned by that form): the outer window's
// TVeltForm. Nothing else; the nested form's controls are the outer form's to skin.
class TVeltSpy : public TComponent {
  KARO_CLASS(TVeltSpy)
public:
  using TComponent::TComponent;
  TVeltForm* Form = nullptr;

protected:
  // The outer window's TVeltForm may go first (the window unskinned): then it is forgotten.
  void Notification(TComponent* c, TOperation op) override;
};

// Widening a dialog whose caption is wider than its frame: how far each child moves right, and
// the new width (need - width split in two, the width grown to need).
struct TDialogWidening {
  int Shift;
  int Width;
};
TDialogWidening DialogWidening(int Width, int Need);
