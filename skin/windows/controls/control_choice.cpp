#include "skin/windows/controls/control_choice.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/controls/forms.h"
#include "skin/data/velt_text.h"
#include "skin/windows/controls/button_skin.h"
#include "skin/windows/controls/check_skin.h"
#include "skin/windows/controls/combo_skin.h"
#include "skin/windows/controls/edit_skin.h"
#include "skin/windows/controls/control_skin.h"
#include "skin/windows/controls/header_skin.h"
#include "skin/windows/controls/mplayer_skin.h"
#include "skin/windows/controls/obj_image_skin.h"
#include "skin/windows/controls/panel_skin.h"
#include "skin/windows/controls/progress_skin.h"
#include "skin/windows/controls/scroll_skin.h"
#include "skin/windows/controls/speed_button_skin.h"
#include "skin/windows/controls/tab_skin.h"
#include "skin/windows/controls/trackbar_skin.h"
#include "skin/windows/controls/updown_skin.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_messages.h"

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return s;
}

// The one table of skin kinds: the class's name and how to make one (nil while its skin is to come).
struct TSkinKindRow {
  TSkinClass Kind;
  const char* Name;
  TSkinControl* (*Make)(TComponent* Owner);
};

template <class T> TSkinControl* Make(TComponent* Owner) { return new T(Owner); }
TSkinControl* MakeAdvPage(TComponent* Owner) {
  auto* s = new TSkinAdvPage(Owner);
  s->FKind = 4;
  return s;
}
TSkinControl* MakePngBitButton(TComponent* Owner) {
  auto* s = new TSkinBitButton(Owner);
  s->FGlyphProp = "PngImage";
  return s;
}

template <int Kind> TSkinControl* MakeObjImage(TComponent* Owner) { return new TSkinObjImage(Owner, Kind); }

const TSkinKindRow kKinds[] = {
    {kcNone, "", nullptr},
    {kcButton, "TSkinButton", &Make<TSkinButton>},
    {kcBitButton, "TSkinBitButton", &Make<TSkinBitButton>},
    {kcPngBitButton, "TSkinBitButton", &MakePngBitButton},
    {kcMenuButton, "TSkinMenuButton", &Make<TSkinMenuButton>},
    {kcSpeedButton, "TSkinSpeedButton", &Make<TSkinSpeedButton>},
    {kcCheckBox, "TSkinCheckBox", &Make<TSkinCheckBox>},
    {kcRadioButton, "TSkinRadioButton", &Make<TSkinRadioButton>},
    {kcTab, "TSkinTab", &Make<TSkinTab>},
    {kcTabPlain, "TSkinTab", &Make<TSkinTab>},
    {kcTabSet, "TSkinTab31", &Make<TSkinTab31>},
    {kcTabBtn, "TSkinTabBtn", &Make<TSkinTabBtn>},
    {kcTabSheet, "TSkinTabSheet", &Make<TSkinTabSheet>},
    {kcAdvPage, "TSkinAdvPage", &MakeAdvPage},
    {kcBox, "TSkinBox", &Make<TSkinBox>},
    {kcBoxH, "TSkinBoxH", &Make<TSkinBoxH>},
    {kcGroupBox, "TSkinGroupBox", &Make<TSkinGroupBox>},
    {kcStatusBar, "TSkinStatusBar", &Make<TSkinStatusBar>},
    {kcSizer, "TSkinSizer", &Make<TSkinSizer>},
    {kcTrackBar, "TSkinTrackBar", &Make<TSkinTrackBar>},
    {kcUpDown, "TSkinUpDown", &Make<TSkinUpDown>},
    {kcProgress, "TSkinProgress", &Make<TSkinProgress>},
    {kcMediaPlayer, "TSkinMP", &Make<TSkinMP>},
    {kcObjImageCheck, "TSkinObjImage", &MakeObjImage<oiCheck>},
    {kcObjImageRadio, "TSkinObjImage", &MakeObjImage<oiRadio>},
    {kcObjImageCx, "TSkinObjImage", &MakeObjImage<oiPropertiesCheck>},
    {kcEdit, "TSkinEdit", &Make<TSkinEdit>},
    {kcDateTime, "TSkinDateTime", &Make<TSkinDateTime>},
    {kcComboBox, "TSkinComBox", &Make<TSkinComBox>},
    {kcScrollbar, "TSkinScrollbar", &Make<TSkinScrollbar>},
    {kcSingleScrollbar, "TSkinScrollbar", &Make<TSkinScrollbar>},
    {kcScControl, "TSkinScControl", &Make<TSkinScControl>},
    {kcHeader, "TSkinHeader", &Make<TSkinHeader>},
    {kcListView, "TSkinListView", &Make<TSkinListView>},
};
static_assert(std::size(kKinds) == kcSkinClassCount, "one row per skin kind");

// Class tests go by the class chain's names: the skins reach controls of classes they do not link.
bool IsA(const TObject* o, const char* name) {
  if (!o) return false;
  for (TClass c = o->ClassType(); c; c = c->Parent)
    if (std::string_view(c->Name) == name) return true;
  return false;
}

bool Has(const TSkinData& d, TSkinControlType t) { return d.SkinControls().Contains(t); }
bool Tabs(const TSkinData& d) { return Has(d, xcTab) && d.Tabs != nullptr; }

TSkinChoice Pick(TSkinClass skin, TSkinAttach attach, uint16_t walk = 0) {
  TSkinChoice c;
  c.Skin = skin;
  c.Attach = attach;
  c.Rule = ruClass;
  c.Walk = walk;
  return c;
}

bool IsScrollControl(TControl* c) {
  auto* w = dyn<TWinControl>(c);
  if (!w) return false;
  if (IsA(c, "TCustomListBox") || IsA(c, "TCustomMemo") || IsA(c, "TCustomTreeView") || IsA(c, "TScrollBox"))
    return true;
  HWND h = ControlWindow(c);
  return h && (GetWindowLongPtrA(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

// A control whose window is larger than its client area has a border.
bool HasBorder(TControl* c) {
  HWND h = ControlWindow(c);
  RECT w{}, cl{};
  if (!h || !GetWindowRect(h, &w) || !GetClientRect(h, &cl)) return false;
  return w.right - w.left != cl.right - cl.left || w.bottom - w.top != cl.bottom - cl.top;
}

// A date-time picker that shows an up-down control instead of a drop-down calendar.
bool PickerShowsUpDown(TControl* p) {
  return GetEnumProperty(p, "DateMode") == "dmUpDown" || GetEnumProperty(p, "Kind") == "dtkTime";
}

}  // namespace

const char* SkinClassName(TSkinClass Kind) { return Kind < kcSkinClassCount ? kKinds[Kind].Name : ""; }

TSkinControl* MakeSkin(TSkinClass Kind, TComponent* Owner) {
  if (Kind >= kcSkinClassCount || !kKinds[Kind].Make) return nullptr;
  return kKinds[Kind].Make(Owner);
}

TSkinChoice ChooseSkin3rd(TControl* Control, TSkin3rdKind Kind, const TSkinData& d) {
  TSkinChoice c;
  if (Kind == skNone) return c;
  c.Rule = ruSkin3rd;
  auto set = [&](bool gate, TSkinClass skin, TSkinAttach attach, uint16_t walk = 0) {
    if (!gate) return;
    c.Skin = skin;
    c.Attach = attach;
    c.Walk = walk;
  };
  const std::string name = Upper(Control->ClassName());
  switch (Kind) {
    case skComboBox: set(Has(d, xcCombo), kcComboBox, atInitF); break;
    case skEdit: set(Has(d, xcEdit) && HasBorder(Control), kcEdit, atInitF); break;  // a borderless one: nothing
    case skRadioButton: set(Has(d, xcRadioButton), kcRadioButton, atInitF); break;
    case skPanel: set(Has(d, xcPanel), kcBox, atInitT, cwTransparent); break;
    case skTrackBar: set(Has(d, xcButton), kcTrackBar, atInitF, cwTransparent); break;
    case skButton: set(Has(d, xcButton), kcButton, atInitF); break;
    case skDateTimePicker: set(Has(d, xcCombo), kcDateTime, atInitF); break;
    case skMediaPlayer: set(Has(d, xcButton), kcMediaPlayer, atInitF); break;
    case skBitBtn:
      set(Has(d, xcButton),
          name == "TCXBUTTON" && GetEnumProperty(Control, "Kind") == "cxbkDropDownButton" ? kcMenuButton
                                                                                          : kcBitButton,
          atInitF);
      break;
    case skPngBitBtn: set(Has(d, xcButton), kcPngBitButton, atInitF); break;
    case skMenuBtn: set(Has(d, xcButton), kcMenuButton, atInitF); break;
    case skSpeedButton: set(Has(d, xcSpeedButton), kcSpeedButton, atInitGraphic); break;
    case skTab: set(Tabs(d), kcTab, atInitF); break;
    case skProgress: set(Has(d, xcProgress), kcProgress, atInitF); break;
    case skScrollbar: set(Has(d, xcScrollbar), kcScrollbar, atInitScrollbar, cwChildrenAfter); break;
    case skSingleScrollbar:
      set(Has(d, xcScrollbar), kcSingleScrollbar, atInitScrollbar);
      c.Transparent = c.Skin ? 1 : 0;
      break;
    case skEmbedScrollbar:
      if (Has(d, xcScrollbar)) c.Walk = cwChildrenScroll;
      break;
    case skContainer: c.Walk = cwChildrenFirst; break;
    case skGroupBox: set(Has(d, xcGroupBox), kcGroupBox, atInitT); break;
    case skAdvPageControl: set(Has(d, xcTab), kcAdvPage, atInitT); break;
    case skRadioGroup:
      if (Has(d, xcGroupBox)) {
        set(true, kcGroupBox, atInitT);
        if (Has(d, xcRadioButton)) {
          c.Walk = cwGroupChildren;
          const bool rz = name.find("TRZ") != std::string::npos;
          c.ChildSkin = rz ? kcObjImageRadio : kcRadioButton;
          c.ChildAttach = rz ? atInitT : atInitF;
        }
      }
      break;
    case skCheckGroup:
      if (Has(d, xcPanel)) {
        if (Has(d, xcRadioButton)) {
          c.Walk = cwGroupChildren;
          const bool rz = name.find("TRZ") != std::string::npos;
          c.ChildSkin = rz ? kcObjImageCheck : kcCheckBox;
          c.ChildAttach = rz ? atInitT : atInitF;
        }
        if (Has(d, xcGroupBox)) set(true, kcGroupBox, atInitT, c.Walk);
      }
      break;
    case skCheckBox: set(Has(d, xcCheckBox), kcCheckBox, atInitF); break;
    default: break;  // "nil" and words that name no kind: left alone
  }
  return c;
}

TSkinChoice ChooseControlSkin(TControl* Control, const TSkinData& d, bool FrameSkinned) {
  TSkinChoice none;
  if (!Control) return none;
  if (Control->Tag() == d.DisableTag()) {
    none.Rule = ruDisableTag;
    return none;
  }
  if (!Control->Parent()) {
    none.Rule = ruNoParent;
    return none;
  }
  const std::string name = Upper(Control->ClassName());
  TSkinChoice third = ChooseSkin3rd(Control, d.Skin3rdKinds().Find(Control->ClassName()), d);
  if (third.Rule == ruSkin3rd) return third;
  if (name == "TDBCOMBOBOXEH" || name == "TFRDESIGNERPAGE" || name == "TFRPBOX") {
    none.Rule = ruLeftAlone;
    return none;
  }
  TControl* c = Control;
  if (IsA(c, "TCustomTabControl") && Tabs(d)) {
    if (IsA(c, "TPageControl")) return Pick(GetEnumProperty(c, "Style") == "tsTabs" ? kcTab : kcTabBtn, atInitF);
    TSkinChoice r = Pick(kcTabPlain, atInitF);
    r.Transparent = 2;
    return r;
  }
  if (IsA(c, "TToolButton") && FrameSkinned) {
    // Its menu's items are drawn by the menu code; the button itself gets no skin.
    TSkinChoice r;
    r.Rule = ruStop;
    r.Walk = cwToolbarMenu;
    return r;
  }
  if (name == "TTABSET" && Tabs(d)) return Pick(kcTabSet, atInitF);
  if (IsA(c, "TTabSheet") && Tabs(d)) return Pick(kcTabSheet, atInitF);
  if (name == "TTABBEDNOTEBOOK" && Tabs(d)) return Pick(kcTab, atInitF);
  if (name == "TMVCPANEL") return Pick(kcNone, atNone, cwChildrenFirst);
  if (IsA(c, "THeaderControl") && Has(d, xcPanel)) return Pick(kcHeader, atInitF);
  if (IsA(c, "TCustomCheckBox") && Has(d, xcCheckBox)) return Pick(kcCheckBox, atInitF);
  if (IsA(c, "TTrackBar") && Has(d, xcTrackBar)) return Pick(kcTrackBar, atInitF);
  if ((name == "TUPDOWN" || name == "TSPINBUTTON") && Has(d, xcSpin)) return Pick(kcUpDown, atInitF);
  if (name == "TMEDIAPLAYER" && Has(d, xcButton)) return Pick(kcMediaPlayer, atInitF);
  if (IsA(c, "TCustomRadioGroup") && Has(d, xcRadioButton)) {
    TSkinChoice r = Pick(kcGroupBox, atInitT, cwGroupChildren);
    r.ChildSkin = kcRadioButton;
    r.ChildAttach = atInitF;
    return r;
  }
  if (name == "TDBNAVIGATOR" && Has(d, xcPanel)) return Pick(kcBox, atInitT, cwChildrenAfter);
  if ((name == "TRZDBCHECKBOX" || name == "TRZCHECKBOX") && Has(d, xcCheckBox)) return Pick(kcObjImageCheck, atInitT);
  if ((name == "TRZRADIOBUTTON" || name == "TRZDBRADIOBUTTON") && Has(d, xcRadioButton))
    return Pick(kcObjImageRadio, atInitT);
  if ((name == "TCXDBCHECKBOX" || name == "TCXCHECKBOX") && Has(d, xcCheckBox)) return Pick(kcObjImageCx, atInitT);
  if (IsA(c, "TCustomGroupBox") && Has(d, xcPanel)) return Pick(kcGroupBox, atInitF, cwChildrenFirst);
  if (IsA(c, "TRadioButton") && Has(d, xcRadioButton)) return Pick(kcRadioButton, atInitF);
  if (IsA(c, "TToolBar") && Has(d, xcToolbar)) return Pick(kcBox, atInitF, cwFlat | cwToolbarMenu);
  if (IsA(c, "TCustomStatusBar") && Has(d, xcStatusBar)) return Pick(kcStatusBar, atInitF);
  if (IsA(c, "TProgressBar") && Has(d, xcProgress)) return Pick(kcProgress, atInitF);
  if (IsA(c, "TScrollBar") && Has(d, xcScrollbar)) return Pick(kcScControl, atInitScrollbar);
  if (name == "TTNTCOMBOBOX" && Has(d, xcCombo)) return Pick(kcComboBox, atInitF);
  if (IsA(c, "TCustomComboBox") && Has(d, xcCombo)) return Pick(kcComboBox, atInitF);
  if (IsA(c, "TDateTimePicker") && Has(d, xcEdit)) return Pick(PickerShowsUpDown(c) ? kcEdit : kcDateTime, atInitF);
  if (name == "TRICHEDIT" && Has(d, xcScrollbar)) return Pick(kcScrollbar, atInitScrollbar);
  if ((name == "TWWDBRICHEDIT" || name == "TDXDBMEMO") && Has(d, xcScrollbar)) return Pick(kcScrollbar, atInitScrollbar);
  if (IsA(c, "TBitBtn")) {
    if (Has(d, xcBitBtn)) return Pick(kcBitButton, atInitF);
    TSkinChoice r;
    r.Rule = ruStop;
    return r;
  }
  if (IsA(c, "TSpeedButton") && Has(d, xcSpeedButton)) return Pick(kcSpeedButton, atInitGraphic);
  if (IsA(c, "TCustomPanel") && Has(d, xcPanel)) return Pick(kcBox, atInitT, cwChildrenFirst);
  if ((name == "TDXTREELIST" || name == "TDXDBTREELIST" || name == "TDXDBGRID") && Has(d, xcScrollbar))
    return Pick(kcScrollbar, atInitScrollbar);
  if (IsA(c, "TCustomListView") && Has(d, xcScrollbar)) return Pick(kcListView, atInitScrollbar);
  if (IsA(c, "TCustomMemo") && Has(d, xcScrollbar)) return Pick(kcScrollbar, atInitScrollbar);
  if (IsScrollControl(c) && Has(d, xcScrollbar)) return Pick(kcScrollbar, atInitScrollbar);
  if (IsA(c, "TButton") && Has(d, xcButton)) return Pick(kcButton, atInitF);
  if (IsA(c, "TCustomEdit") && Has(d, xcEdit)) return Pick(kcEdit, atInitF);
  if (name == "TDCEDIT" || name == "TDCDBEDIT") {
    const int n = GetIntProperty(c, "NumButtons");
    if (n == 1 && Has(d, xcCombo)) return Pick(kcComboBox, atInitF);
    if (n == 0 && Has(d, xcEdit)) return Pick(kcEdit, atInithwnd);
    TSkinChoice r;
    r.Rule = ruStop;
    return r;
  }
  if (IsA(c, "TCustomFrame")) return Pick(kcNone, atNone, cwComponents);
  if (IsA(c, "TCustomForm")) return Pick(kcBox, atInitT, cwComponents);
  return none;
}

TSkinClass ButtonKindOfStyle(LONG Style) {
  if (Style & BS_BITMAP) return kcNone;
  switch (Style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_USERBUTTON:
      return kcButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return kcCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return kcRadioButton;
    default:
      // Group boxes, push boxes, owner-drawn, split and command-link buttons paint themselves.
      return kcNone;
  }
}

TSkinChoice ChooseWindowSkin(const TWindowFacts& f, TSkinControlTypes g, bool HasTabs) {
  TSkinChoice c;
  const std::string cls = f.LowerClass ? f.LowerClass : "";
  auto pick = [&](bool gate, TSkinClass skin, uint16_t walk = 0) {
    c.Rule = ruClass;
    if (gate) {
      c.Skin = skin;
      c.Attach = skin == kcNone ? atNone : atInithwnd;
    }
    c.Walk = walk;
    return c;
  };
  if (cls == "button") {
    switch (ButtonKindOfStyle(f.Style)) {
      case kcCheckBox: return pick(g.Contains(xcCheckBox), kcCheckBox);
      case kcRadioButton: return pick(g.Contains(xcRadioButton), kcRadioButton);
      case kcButton: return pick(g.Contains(xcButton), kcButton);
      default: return pick(false, kcNone);
    }
  }
  if (cls == "combobox") return pick(g.Contains(xcCombo) && (f.Style & 3) != CBS_SIMPLE, kcComboBox);
  if (cls == "comboboxex32") return pick(g.Contains(xcCombo) && f.HasFirstChild, kcComboBox);
  // A scroll bar that takes the focus is a real scroll bar, and one without SBS_SIZEGRIP is no grip.
  if (cls == "scrollbar") return pick(!(f.Style & WS_TABSTOP) && (f.Style & SBS_SIZEGRIP), kcSizer);
  if (cls == "systreeview32") return pick(false, kcNone);
  if (cls == "#32770") return pick(!(f.Style & WS_TABSTOP), kcBoxH, cwChildrenFirst);
  if (cls == "tpanel" || cls == "ttntpanel.unicodeclass" || cls == "ttntsilentpaintpanel.unicodeclass")
    return pick(false, kcNone, cwChildrenFirst | cwFaceColour);
  if (cls == "tsilentpaintpanel") return pick(false, kcNone, cwFaceColour);
  if (cls == "tcheckbox") return pick(g.Contains(xcCheckBox), kcCheckBox);
  if (cls == "tcombobox") return pick(g.Contains(xcCombo), kcComboBox);
  if (cls == "tbutton") return pick(g.Contains(xcButton), kcButton);
  if (cls == "tprogressbar") return pick(true, kcProgress);
  if (cls == "systabcontrol32") return pick(HasTabs && g.Contains(xcTab) && !(f.Style & TCS_OWNERDRAWFIXED), kcTab);
  if (cls == "toolbarwindow32") return pick(true, kcBoxH);
  if (cls == "edit") return pick(g.Contains(xcEdit), kcEdit);
  return c;
}

// ---- The walks

namespace {

void Attach(TVeltForm* Form, TSkinControl* s, TSkinAttach how, TControl* Control) {
  TSkinData* d = Form->SkinData;
  switch (how) {
    case atInitF: s->Init(Form, d, nullptr, false); break;
    case atInitT: s->Init(Form, d, nullptr, true); break;
    case atInitScrollbar: s->InitScrollbar(Control, d, nullptr, Form); break;
    case atInitGraphic: s->InitGraphicControl(Form, d, nullptr); break;
    case atInithwnd: s->Inithwnd(ControlWindow(Control), d, nullptr, Form); break;
    default: break;
  }
}

void AttachNew(TVeltForm* Form, TSkinClass kind, TSkinAttach how, TControl* Control, int transparent) {
  TSkinControl* s = MakeSkin(kind, Control);
  if (!s) return;  // a kind whose skin comes later: the control stays as it is
  s->FTransparent = transparent;
  Attach(Form, s, how, Control);
}

}  // namespace

bool FindSkinComp(TVeltForm* Form, TControl* Control) {
  if (!Control) return false;
  if (Control->Perform(CN_IsSkinned) == 1) return true;
  for (TSkinControlEntry* e : Form->ControlSkins())
    if (e->Control() == Control) return true;
  return false;
}

bool FindSkinComp2(TVeltForm* Form, TWinControl* Control) {
  if (!Control->HandleAllocated()) return true;
  if (Form->SkinData && Control->Tag() == Form->SkinData->DisableTag()) return true;
  HWND h = Control->Handle();
  if (SendMessageW(h, CN_IsSkinned, 0, 0) == 1) return true;
  return Lookupcontrol(Form, h) != nullptr;
}

TSkinControl* Lookupcontrol(TVeltForm* Form, HWND Handle) {
  for (TSkinControlEntry* e : Form->ControlSkins())
    if (auto* s = dynamic_cast<TSkinControl*>(e); s && s->FHandle == Handle) return s;
  return nullptr;
}

void DisableControl(TVeltForm* Form, TControl* Control) {
  auto* w = dyn<TWinControl>(Control);
  if (!w || w->ControlCount() == 0 || !Form->SkinData) return;
  std::string name = Control->ClassName();
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
  if (name.find("radiogroup") == std::string::npos && name.find("checkgroup") == std::string::npos) return;
  for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->SetTag(Form->SkinData->DisableTag());
}

void AddComp(TVeltForm* Form, TControl* Control, TWinControl* Parent) {
  TSkinData* d = Form->SkinData;
  if (!d || !Control) return;
  if (Control->Tag() == d->DisableTag()) {
    DisableControl(Form, Control);
    return;
  }
  if (!Control->Parent()) return;
  if (FindSkinComp(Form, Control)) return;
  if (auto* w = dyn<TWinControl>(Control); w && !w->HandleAllocated()) {
    try {
      w->Handle();
    } catch (...) {
      return;  // a control whose window cannot be made is skipped
    }
  }
  if (d->OnSkinControl) {
    TComponent* result = nullptr;
    d->OnSkinControl(Form, d, Parent, Control, [&] {
      std::string n = Control->ClassName();
      std::transform(n.begin(), n.end(), n.begin(), [](unsigned char ch) { return char(std::toupper(ch)); });
      return n;
    }(), result);
    if (auto* s = dyn<TSkinControl>(result)) {
      if (!Form->AddControlList(s)) {
        // Attached the way its kind needs: a graphic control has no window to take over.
        if (IsA(Control, "TGraphicControl"))
          s->InitGraphicControl(Form, d, nullptr);
        else
          s->Init(Form, d, nullptr, s->FSetColor);
        if (IsA(Control, "TCustomPanel")) InitChildCtrl(Form, static_cast<TWinControl*>(Control));
      }
      return;
    }
  }
  const TSkinChoice c = ChooseControlSkin(Control, *d, Form->FrameSkinned);
  auto* w = dyn<TWinControl>(Control);
  if (w && (c.Walk & cwChildrenFirst)) InitChildCtrl(Form, w);
  if (w && (c.Walk & cwGroupChildren))
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* child = w->Controls(i);
      if (!FindSkinComp(Form, child)) AttachNew(Form, c.ChildSkin, c.ChildAttach, child, 0);
    }
  if (w && (c.Walk & cwChildrenScroll))
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* child = w->Controls(i);
      if (IsA(child, "TScrollBar"))
        AttachNew(Form, kcScControl, atInitScrollbar, child, 0);
      else if (IsScrollControl(child))
        AttachNew(Form, kcScrollbar, atInitScrollbar, child, 0);
    }
  if (c.Walk & cwTransparent) SetProperty(Control, "Transparent", "True");
  if (c.Walk & cwFlat) {
    SetProperty(Control, "Flat", "True");
    Form->InstallToolBarDrawing(Control);
  }
  if (c.Walk & cwToolbarMenu) {
    if (auto* button = dyn<TToolButton>(Control)) Form->InitToolbarMenu(button->MenuItem(), true);
    if (auto* bar = dyn<TToolBar>(Control))
      if (TMainMenu* menu = bar->Menu())
        for (int i = 0; i < menu->Items()->Count(); ++i) Form->InitToolbarMenu(menu->Items()->Items(i), true);
  }
  if (c.Skin != kcNone) AttachNew(Form, c.Skin, c.Attach, Control, c.Transparent);
  if (w && (c.Walk & cwChildrenAfter)) {
    if (c.Rule == ruSkin3rd)
      InitChildCtrl(Form, w);
    else
      for (int i = 0; i < w->ControlCount(); ++i) AddComp(Form, w->Controls(i), nullptr);
  }
  if (w && (c.Walk & cwComponents)) InitControlA(Form, w);
}

void InitControlA(TVeltForm* Form, TWinControl* Control) {
  std::vector<TControl*> list;
  for (int i = 0; i < Control->ComponentCount(); ++i)
    if (auto* c = dyn<TControl>(Control->Components(i))) list.push_back(c);
  for (TControl* c : list) AddComp(Form, c, Control);
  if (Form->SkinData->SkinControls().Contains(xcPopupMenu)) Form->InitPopMenu(Control, true, true);
}

void InitChildCtrl(TVeltForm* Form, TWinControl* Control) {
  std::vector<TControl*> list;
  for (int i = 0; i < Control->ControlCount(); ++i) list.push_back(Control->Controls(i));
  for (TControl* c : list) AddComp(Form, c, Control);
}

void InitControls(TVeltForm* Form, TWinControl* Control) {
  if (!Control || !Form->SkinData) return;
  Form->DeleteSkinDeleted();
  InitControlA(Form, Control);
  std::vector<TWinControl*> order;
  Control->GetTabOrderList(order);
  for (TWinControl* c : order)
    if (!FindSkinComp2(Form, c)) AddComp(Form, c, Control);
}

void AddControlh(TVeltForm* Form, HWND Handle) {
  if (!Handle || !Form->SkinData || Lookupcontrol(Form, Handle)) return;
  char cls[101] = {};
  GetClassNameA(Handle, cls, sizeof cls);
  for (char& ch : cls) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  TWindowFacts f{cls, LONG(GetWindowLongPtrA(Handle, GWL_STYLE)), GetTopWindow(Handle) != nullptr};
  const TSkinChoice c = ChooseWindowSkin(f, Form->SkinData->SkinControls(), Form->SkinData->Tabs != nullptr);
  if (c.Walk & cwChildrenFirst) Form->InitHwndControls(Handle);
  if (c.Walk & cwFaceColour) {
    // Through a box skin of its own, so that unskinning gives the panel its colour back.
    TWinControl* control = FindControlx(Handle);
    if (control && !FindSkinComp(Form, control)) MakeSkin(kcBox, control)->Init(Form, Form->SkinData, nullptr, true);
  }
  if (c.Skin == kcNone) return;
  HWND target = Handle;
  if (std::string(cls) == "comboboxex32") target = GetTopWindow(Handle);
  AttachWindowSkin(Form, c.Skin, target, Form);
}

void InitNestform(TVeltForm* Form, TWinControl* Control) {
  if (!Form || !Control || !Form->SkinData) return;
  Form->DeleteSkinDeleted();
  if (!FindSkinComp(Form, Control)) MakeSkin(kcBox, Control)->Init(Form, Form->SkinData, nullptr, true);
  // Its components, then its popup menus (each of which the skin's xcPopupMenu gates).
  InitControlA(Form, Control);
}

BOOL CALLBACK EnumControl(HWND Handle, LPARAM Form) {
  if (Form) AddControlh(reinterpret_cast<TVeltForm*>(Form), Handle);
  return TRUE;
}

TSkinControl* AttachWindowSkin(TVeltForm* Form, TSkinClass Kind, HWND Handle, TComponent* Owner) {
  if (!Handle || !Form->SkinData || Lookupcontrol(Form, Handle)) return nullptr;
  TSkinControl* s = MakeSkin(Kind, Owner);
  if (!s) return nullptr;
  s->Inithwnd(Handle, Form->SkinData, nullptr, Form);
  return s;
}

void ReCreateControlSkin(TVeltForm* Form, HWND Old) {
  if (!Form->SkinData) return;
  TSkinControl* last = nullptr;
  for (TSkinControlEntry* e : Form->ControlSkins())
    if (auto* s = dynamic_cast<TSkinControl*>(e); s && s->FHandle == Old) last = s;
  if (!last || !last->FControl) return;
  TControl* control = last->FControl;
  const TSkinClass kind = dynamic_cast<TSkinListView*>(last) ? kcListView : kcScrollbar;
  const int transparent = last->FTransparent;
  delete last;
  // The control may have no window now; the next walk attaches then.
  if (!ControlWindow(control)) return;
  TSkinControl* s = MakeSkin(kind, control);
  if (!s) return;
  s->FTransparent = transparent;
  s->InitScrollbar(control, Form->SkinData, nullptr, Form);
}
