// Unit VeltData: the skin data component TSkinData (the parsed skin, the options that say what is
// skinned, its load paths and its link to the skin manager), its sets and events, the default
// Skin3rd list, TSkinControlList, the optional user32 bindings, SkinDll and DoTrackMouse. The sets,
// the default list and the rules of the INI vocabulary that need no Windows API also build natively.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin3rd_kinds.h"

#include "classlib/core/persistent.h"
#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"
#include "skin/data/velt_ini.h"

// ---- Sets and roles

KARO_ENUM(TSkinControlType, xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox,
          xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel,
          xcGroupBox, xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcFastReport);
using TSkinControlTypes = TSet<TSkinControlType>;

KARO_ENUM(TSkinOption, xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect,
          xoToolbarBK, xoToolbarButton, xoMDIChildBorder, xoMenuBG, xoFormScrollbar);
using TSkinOptions = TSet<TSkinOption>;

KARO_ENUM(TSkinFormType, sfMainform, sfOnlyThisForm, sfDialog, sfDLL);

KARO_ENUM(TShemeColor, csText, csTitleTextActive, csTitleTextNoActive, csButtonFace, csButtonText, csButtonHilight,
          csButtonlight, csButtonShadow, csButtonDkshadow, csSelectText, csSelectBg, csHilightText, csHilight,
          csMenuBar, csMenuBarText, csMenuText, csMenubg, csCaption, csScrollbar, csTextDisable);
constexpr int kShemeColorCount = csTextDisable + 1;

// Every kind but xcMenuItem and xcFastReport (0x1FFFFB), and [xoPreview, xoToolbarBK] (72).
constexpr TSkinControlTypes kDefaultSkinControls = TSkinControlTypes::FromValue(0x1FFFFB);
constexpr TSkinOptions kDefaultSkinOptions = TSkinOptions::FromValue(72);
inline constexpr const char* kSkinDataVersion = "4.6.02.09";

// ---- The default control-class list

// Lines of a class name, "=" and a skin kind, in the order a new TSkinData lists them (three
// lines occur twice).
constexpr int kDefaultSkin3rdCount = 124;
extern const char* const kDefaultSkin3rd[kDefaultSkin3rdCount];

// Four class lists kept in a form; nothing in the library reads them.
class TSkinControlList : public TPersistent {
  KARO_CLASS(TSkinControlList)
public:
  TSkinControlList();
  ~TSkinControlList() override;

  TStrings* Edit() const { return edit_.get(); }
  TStrings* Checkbox() const { return checkbox_.get(); }
  TStrings* Radiobutton() const { return radiobutton_.get(); }
  TStrings* Combobox() const { return combobox_.get(); }
  // Each takes the given lines over by assignment.
  void SetEdit(TStrings* Value);
  void SetCheckbox(TStrings* Value);
  void SetRadiobutton(TStrings* Value);
  void Setcombobox(TStrings* Value);

private:
  std::unique_ptr<TStringList> edit_, checkbox_, radiobutton_, combobox_;
};

// ---- Rules of the INI vocabulary that need no bitmap

// A section whose upper-case name begins with "BUTTON" and is none of "BUTTON", "BUTTONS",
// "BUTTON.RADIO" and "BUTTON.CHECKBOX".
bool IsCaptionButtonName(std::string_view Section);
// The caption-button sections of an INI, in file order and with repeats (Sections as
// ReadSections lists them): those of IsCaptionButtonName, except a button whose Action is -1
// while its Visibility (-1 when absent) is not 0.
std::vector<std::string> CaptionButtonSections(const TQuickIni& Ini, const TStrings& Sections);
// A section whose upper-case name begins with "COLOUR" and is not exactly "COLOURS".
bool IsExtraColourName(std::string_view Section);
// The frame count of a caption button whose skin gives none (its "frame" is 0): 6 without a
// picture; with one, 3 when width / height is at most 3.8, else 6, and 6 whatever the shape for
// an Action below 0. DropImage tells that the picture is not used (Action 3 or 11: such a button
// shows the window's icon).
int CaptionButtonFrames(int Action, int Width, int Height, bool& DropImage);
// The frame count of a check or radio strip whose skin gives none: width div 13 for a strip less
// than 16 pixels high, else width div 16; at least 4.
int CheckStripFrames(int Width, int Height);

#ifdef _WIN32
#include <windows.h>

#include <functional>

#include "classlib/graphics/bitmap.h"
#include "classlib/graphics/image_list.h"
#include "skin/data/skin_manager_link.h"
#include "skin/data/skin_objects.h"

class TControl;
class TCustomForm;
class TSkinReader;
class TSkinStore;
class TWinControl;

// Test seam: when set, called part way through reading a skin's INI (tests throw from it).
extern std::function<void()> SkinIniReadFault;

// ---- Optional user32 functions, nil until bound and where user32 lacks them

using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
using TTrackMouseEventProc = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
using TGetComboBoxInfoProc = BOOL(WINAPI*)(HWND, PCOMBOBOXINFO);
extern TGetScrollBarInfoProc pGetScrollBarInfo;
extern TTrackMouseEventProc pTrackMouseEvent;
extern TGetComboBoxInfoProc pGetComboBoxInfo;
// Binds the three once (later calls do nothing). Every TSkinData binds them when it is made, as
// does DoTrackMouse; a painter that calls one before any component exists binds them first.
void BindUser32Functions();

// ---- Events

class TSkinData;
using TOnFormSkin = std::function<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
using TOnSkinForm = std::function<void(TObject* Sender, HWND ahwnd, const std::string& aName)>;
using TOnSkinControl = std::function<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                          const std::string& ControlClass, TComponent*& SkinnedControl)>;

// ---- The parsed skin

// Everything one load makes from a skin. A load fills a fresh set and exchanges it with the
// component's only once the whole skin has been read, so windows never see a skin half read.
// The records made with the set (Title, Buttons, the four Borders) keep their addresses across
// loads: an exchange swaps what they hold. Every other record is nil when the skin lacks it, and
// has its row in the table of skin elements (skin_elements.h), which reads, counts and swaps it.
struct TSkinElements {
  TSkinElements();
  TSkinElements(const TSkinElements&) = delete;
  TSkinElements& operator=(const TSkinElements&) = delete;
  ~TSkinElements();

  AnsiString SkinName;
  // Stored as the skin gives them: system colours stay system colours until a painter resolves them.
  TColor Colors[kShemeColorCount] = {};
  std::vector<TColor> PreColors;
  TColor CustomColors[10] = {};

  std::unique_ptr<TDataSkinTitle> Title;
  std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
  std::unique_ptr<TDataSkinButton> Buttons;

  std::unique_ptr<TDataSkinBorder> Tabs, UpDownHorz, UpDownVert;
  std::unique_ptr<TDataSkinObject> SunkEdge, ExtraImages;
  std::unique_ptr<TDataSkinBorder> ComboButton;
  std::unique_ptr<TDataSkinObject> ComboxArrow, GroupBoxEdge, Toolbar, ToolBars;
  std::unique_ptr<TDataSkinBorder> Progress;
  std::unique_ptr<TDataSkinObject> ProgressChunk;
  std::unique_ptr<TDataSkinBoxLabel> GroupBox;
  std::unique_ptr<TDataSkinObject> StatusBarEdges, TabPane, Headerbar, MenuBar, MenuItem, MenuBackground, Scrollbar,
      HorzScroll, VertScroll, HorzScrollThumb, VertScrollThumb, ThumbHorz, ThumbVert, Track, TrackVert, ThumbLeft,
      ThumbRight, ThumbUp, ThumbDown, MinCaption;
  // Left, Right, Top, Bottom.
  std::array<std::unique_ptr<TDataSkinBorder>, 4> Borders;

  // Made from Colors[csButtonFace] (resolved) at every load; 0 before the first.
  TBrushHandle FaceBrush;

  // The Top border's colour at a third of its width and of its first frame's height, or
  // Colors[csButtonFace] when the Top border has no picture.
  TColor CaptionColor() const;
};

// Exchanges two parsed skins; the fixed records exchange their contents.
void SwapSkinElements(TSkinElements& A, TSkinElements& B) noexcept;

enum TSkinBorderIndex { sbLeft, sbRight, sbTop, sbBottom };

// ---- What TSkinData asks of the controls layer

// The answers the component needs about forms and controls: from the controls layer, unless a
// test puts its own in.
struct TSkinDataControls {
  // The window of Owner when it is a form, else 0.
  std::function<HWND(TComponent* Owner)> OwnerFormHandle;
  std::function<HWND(TCustomForm* Form)> FormHandle;
  std::function<HWND(TWinControl* Control)> ControlHandle;
  // The application's window, whose icon the caption shows.
  std::function<HWND()> ApplicationHandle;
};
extern TSkinDataControls SkinDataControls;

// Icon at the small-icon size on magenta, transparent with that key (24 bits).
void IconOnMagenta(HICON Icon, TBitmap& Into);

// ---- The component

class TSkinData : public TComponent, public TSkinElements {
  KARO_CLASS(TSkinData)
public:
  explicit TSkinData(TComponent* AOwner);
  ~TSkinData() override;

  // Published properties.
  bool Active() const { return active_; }
  void SetActive(bool Value);
  int32_t DisableTag() const { return disableTag_; }
  void SetDisableTag(int32_t Value) { disableTag_ = Value; }
  TSkinControlTypes SkinControls() const { return skinControls_; }
  void SetSkinControls(TSkinControlTypes Value) { skinControls_ = Value; }
  TSkinOptions Options() const { return options_; }
  void SetOptions(TSkinOptions Value) { options_ = Value; }
  TStrings* Skin3rd() const { return skin3rd_.get(); }
  // The Skin3rd lines parsed into kinds; parsed again at the first look after the list changed.
  const TSkin3rdTable& Skin3rdKinds() const;
  // Takes the given lines over by assignment.
  void SetControlList(TStrings* Value);
  const std::string& SkinFile() const { return skinFile_; }
  // "(none)"; at design time "(Good)" once SkinStream holds a byte. Writing changes nothing.
  std::string GetSkinStore() const;
  void SetSkinStore(const std::string& Value) { (void)Value; }
  TSkinFormType SkinFormtype() const { return skinFormtype_; }
  void SetSkinFormtype(TSkinFormType Value) { skinFormtype_ = Value; }
  const std::string& Version() const { return version_; }
  void SetVersion(const std::string& Value) { (void)Value; }
  bool MenuUpdate() const { return menuUpdate_; }
  void SetMenuUpdate(bool Value) { menuUpdate_ = Value; }
  bool MenuMerge() const { return menuMerge_; }
  void SetMenuMerge(bool Value) { menuMerge_ = Value; }

  TOnFormSkin OnFormSkin;
  TNotifyEvent OnSkinChanged;
  TOnSkinControl OnSkinControl;
  TOnSkinForm OnBeforeSkinForm;
  TOnSkinForm OnAfterSkinForm;

  // The skin file image (4-byte size and the LZHUF stream of the archive).
  TMemoryStream SkinStream;
  // True from creation and from the start of every load until a skin has been read whole;
  // windows are not skinned with a component whose flag is set.
  bool NoSkinLoaded = true;
  // The application's small icon on magenta, transparent (24 bits); empty until GetAppIcon finds one.
  std::unique_ptr<TBitmap> AppIcon;
  bool MainMenuUpdate = true;
  // The four 16 x 16 system-menu glyphs (restore, maximise, minimise, close), white masked.
  std::unique_ptr<TImageList> MenuImages;
  // Not owned; nil unless the application sets it.
  TStrings* DebugLog = nullptr;

  // ---- Loading. Each sets NoSkinLoaded first. A load that fails (a file that is missing, an
  // archive the reader refuses, an archive without an INI text, or an error while reading) leaves
  // the skin read before in place, whole; errors reach the caller.

  // Also the write method of SkinFile. At design time only remembers the name (and, for a
  // non-empty name, empties SkinStream); at run time reads the file when it exists.
  void LoadFromFile(const std::string& FileName);
  // The whole of Stream becomes the skin file image; the skin is applied to the windows only for
  // an sfMainform component.
  void LoadFromStream(TStream& Stream);
  // The image of item Index of the store. An Index not below the item count does nothing; a
  // negative Index raises EListError before anything changes.
  void LoadFromCollection(TSkinStore* Store, int Index);
  // Reads SkinStream into the parsed skin; True when a skin was read (False at design time).
  bool LoadSkin();
  // Reads the INI of the load under way into a fresh skin and puts it in place; outside a load
  // it reads an empty INI (the default skin).
  void LoadFromIni();

  // ---- Activation and the skin manager

  void Loaded() override;
  // Tells the skinned windows of a new skin: action 3 once the manager runs.
  void UpdateSkin();
  void Install();
  void Uninstall();
  void ChangeForm(TCustomForm* Form);
  void SkinForm(HWND Wnd);
  void EnableSkin(bool Value);
  void AddNestForm(TWinControl* Outer, TWinControl* Nested);
  void UpdateSkinControl(TWinControl* Form, TWinControl* Control);
  void UpdateMenu(TWinControl* Form);
  void UpdateMainMenu(bool Value);
  void InstallThread(DWORD ThreadId);
  void UnInstallThread(DWORD ThreadId);
  void DeleteGraphicControl(TWinControl* Form, TControl* Control);

  // ---- Services for the skinned windows

  void DoFormSkin(HWND Wnd, const std::string& ClassName, bool& DoSkin);
  void DoSkinChanged();
  void DoDebug(const std::string& Text);
  TColor GetCaptionColor() const { return CaptionColor(); }
  bool GetScrollBarInfo(HWND Wnd, LONG ObjectId, SCROLLBARINFO& Info);
  void GetAppIcon();
  // Sets an enumeration property of Obj from the name of its value; anything else does nothing.
  void ChangeProperty(TObject* Obj, const std::string& PropName, const std::string& Value);
  // False when Index is outside PreColors.
  bool GetPrecolor(TColor& Color, int Index) const;
  // How many sections Prefix0, Prefix1, ... in a row give Key a value (during a load; else 0).
  int GetSectionNum(const std::string& Prefix, const std::string& Key) const;
  // The text before the first "."; empty without one.
  static std::string GetFileName(const std::string& Text);
  // A colour in RGB text, or Default for an empty text.
  static TColor GetColor(const std::string& Text, TColor Default);
  void CreateMinCaption();

  void DefineProperties(TFiler& Filer) override;

private:
  void InitControlList();
  // Registers with SkinManager once per manager.
  void RegisterWithManager();

  bool active_ = false;
  int32_t disableTag_ = 99;
  TSkinControlTypes skinControls_ = kDefaultSkinControls;
  TSkinOptions options_ = kDefaultSkinOptions;
  std::unique_ptr<TStringList> skin3rd_;
  mutable TSkin3rdTable skin3rdKinds_;
  mutable bool skin3rdParsed_ = false;
  std::string skinFile_;
  TSkinFormType skinFormtype_ = sfMainform;
  std::string version_ = kSkinDataVersion;
  bool menuUpdate_ = true;
  bool menuMerge_ = false;

  // Only while a skin is read.
  const TQuickIni* ini_ = nullptr;
  TSkinReader* reader_ = nullptr;
  TSkinManagerLink* registeredWith_ = nullptr;
};

// ---- Exported routines for library modules

// In a library module: makes this module's manager share the host program's (given as the host's
// SkinManager) and hooks the current thread.
void SkinDll(void* HostManager);
// Asks for WM_MOUSELEAVE on the window when TrackMouseEvent is bound.
void DoTrackMouse(HWND Wnd);
#endif
