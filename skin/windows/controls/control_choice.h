// The choice of a skin per control: the decision for a class-library control (DisableTag, the
// Skin3rd kind, its class, each kind gated by SkinControls) and for a plain child window (its
// window class and style), kept apart from attaching; the one table of skin kinds that makes the
// skins; and the walks of a skinned window's controls that the TVeltForm runs.
#pragma once

#include <windows.h>

#include <cstdint>

#include "skin/data/velt_data.h"

class TControl;
class TWinControl;
class TVeltForm;
class TSkinControl;

// The skin classes a control can be given. Those whose skins come later are chosen and, until
// their table entry can make them, leave the control unskinned.
enum TSkinClass : uint8_t {
  kcNone,
  kcButton,
  kcBitButton,
  kcPngBitButton,
  kcMenuButton,
  kcSpeedButton,
  kcCheckBox,
  kcRadioButton,
  kcTab,
  kcTabPlain,  // a tab control that is not a page control (the tab skin's kind 2)
  kcTabSet,
  kcTabBtn,
  kcTabSheet,
  kcAdvPage,
  kcBox,
  kcBoxH,
  kcGroupBox,
  kcStatusBar,
  kcSizer,
  kcTrackBar,
  kcUpDown,
  kcProgress,
  kcMediaPlayer,
  kcObjImageCheck,
  kcObjImageRadio,
  kcObjImageCx,
  kcEdit,
  kcDateTime,
  kcComboBox,
  kcScrollbar,
  kcSingleScrollbar,
  kcScControl,
  kcHeader,
  kcListView,
  kcSkinClassCount
};

const char* SkinClassName(TSkinClass Kind);

// How a chosen skin is attached.
enum TSkinAttach : uint8_t { atNone, atInitF, atInitT, atInithwnd, atInitScrollbar, atInitGraphic };

// Which rule decided.
enum TChoiceRule : uint8_t {
  ruNone,        // no rule matched: left alone
  ruDisableTag,  // Tag = DisableTag
  ruNoParent,
  ruSkinned,     // already skinned
  ruSkin3rd,     // a Skin3rd line decided (whatever it attached)
  ruLeftAlone,   // a class that is never skinned
  ruClass,       // a class row
  ruStop,        // a class row whose gate is off and that ends the choice
};

// Walks that go with a choice.
enum : uint16_t {
  cwChildrenFirst = 1,    // the child controls are chosen for first (InitChildCtrl)
  cwChildrenAfter = 2,    // the child controls are chosen for afterwards, without a container
  cwGroupChildren = 4,    // every child control gets ChildSkin, Init(F)
  cwComponents = 8,       // the owned controls are walked (InitControlA)
  cwDisableChildren = 16, // the child controls take the DisableTag
  cwTransparent = 32,     // published "Transparent" := True before attaching
  cwFlat = 64,            // published "Flat" := True before attaching
  cwChildrenScroll = 128, // every child: a scroll bar gets the scroll-control skin, a scrolling
                          // control the scroll-bar skin; the control itself nothing
  cwFaceColour = 256,     // a plain window's class-library control takes the face colour
  cwToolbarMenu = 512,    // a tool button's menu item, a tool bar's menu items: drawn by the form
};

struct TSkinChoice {
  TSkinClass Skin = kcNone;
  TSkinAttach Attach = atNone;
  TChoiceRule Rule = ruNone;
  uint16_t Walk = 0;
  TSkinClass ChildSkin = kcNone;
  TSkinAttach ChildAttach = atNone;
  int Transparent = 0;  // FTransparent of the new skin (tab kind 2, one-bar scroll mode 1)
};

// The decision for a class-library control (after OnSkinControl, which the walk asks first).
TSkinChoice ChooseControlSkin(TControl* Control, const TSkinData& Data, bool FrameSkinned);
// The Skin3rd part of the decision alone; ruNone when no line decides.
TSkinChoice ChooseSkin3rd(TControl* Control, TSkin3rdKind Kind, const TSkinData& Data);

// What a plain child window asks of the walk.
struct TWindowFacts {
  const char* LowerClass;  // the window class in lower case
  LONG Style;
  bool HasFirstChild;  // a comboboxex32's edit/combo child exists
};
TSkinChoice ChooseWindowSkin(const TWindowFacts& Facts, TSkinControlTypes Gates, bool HasTabs);

// The kind of a plain "Button" window from its style's type field: kcCheckBox, kcRadioButton,
// kcButton, or kcNone for group boxes, owner-drawn, split and command-link buttons and bitmap
// buttons.
TSkinClass ButtonKindOfStyle(LONG Style);

// Makes the skin of a kind (the one table keyed by the skin kind); nil for kinds not built yet.
TSkinControl* MakeSkin(TSkinClass Kind, TComponent* Owner);

// ---- The walks (methods of TVeltForm in the platform; here free routines it calls)
void InitControls(TVeltForm* Form, TWinControl* Control);
void InitControlA(TVeltForm* Form, TWinControl* Control);
void InitChildCtrl(TVeltForm* Form, TWinControl* Control);
void AddComp(TVeltForm* Form, TControl* Control, TWinControl* Parent);
// Control is skinned already: it says so, or a listed skin holds it.
bool FindSkinComp(TVeltForm* Form, TControl* Control);
// FindSkinComp of a windowed control by its window; also true (left alone) for one without a
// window yet or tagged with DisableTag.
bool FindSkinComp2(TVeltForm* Form, TWinControl* Control);
void DisableControl(TVeltForm* Form, TControl* Control);
void AddControlh(TVeltForm* Form, HWND Handle);
// A form nested in a skinned window: its face colour, its controls and its popup menus.
void InitNestform(TVeltForm* Form, TWinControl* Control);
// A child-window enumeration callback (LParam: the TVeltForm) that hands each window to
// AddControlh and goes on.
BOOL CALLBACK EnumControl(HWND Handle, LPARAM Form);
TSkinControl* Lookupcontrol(TVeltForm* Form, HWND Handle);
// Makes the skin of a kind for a plain window and attaches it (Inithwnd); nil when the window is
// skinned already or the kind has no skin yet. AddControlh and the list view's header use it.
TSkinControl* AttachWindowSkin(TVeltForm* Form, TSkinClass Kind, HWND Handle, TComponent* Owner);
// A control whose window was made again (CN_ReCreateWnd): the last skin listed for the old window
// is freed and a new scroll-bar or list-view skin attached to the control's new window.
void ReCreateControlSkin(TVeltForm* Form, HWND Old);
