// The skinned window's side of its menus: the painted bar's mouse and keys, the owner-drawn items
// of its menus and of the class library's popup menus, and giving every menu back.
#include <algorithm>

#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/graphics/bitmap.h"
#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/menus/menu_items.h"
#include "skin/windows/menus/pop_menu.h"
#include "skin/windows/forms/velt_menu.h"

namespace {

// A canvas on a device context someone else owns.
class TBorrowedCanvas {
public:
  explicit TBorrowedCanvas(HDC dc) { canvas_.SetHandle(dc); }
  ~TBorrowedCanvas() { canvas_.SetHandle(nullptr); }
  TCanvas* get() { return &canvas_; }

private:
  TCanvas canvas_;
};

// The popup window's picture behind the items of Menu, and where its client area lies in it.
TBitmap* MenuBackground(TFormManagerLink* Manager, HMENU Menu, POINT& Offset) {
  Offset = POINT{0, 0};
  if (!Manager) return nullptr;
  TVeltPopMenu* pop = Manager->FindPopMenu(Menu);
  if (!pop) return nullptr;
  Offset = pop->ClientOffset();
  return pop->FrameBitmap();
}

}  // namespace

TSkinMenuBarLink* TVeltForm::MenuBar() { return menuBar_; }

void TVeltForm::FreeMenuBar() {
  if (!menuBar_) return;
  TVeltMenu* bar = menuBar_;
  menuBar_ = nullptr;
  bar->ClearButtons();
  delete bar;
}

void TVeltForm::DetachMenu() {
  RECT before{}, after{};
  GetClientRect(hwnd, &before);
  SetMenu(hwnd, nullptr);
  GetClientRect(hwnd, &after);
  const int grown = (after.bottom - after.top) - (before.bottom - before.top);
  if (grown > 0) DetachedMenuHeight = grown;
}

void TVeltForm::PrepareMenu(HMENU Menu) { MakeOwnerDrawn(Menu, ownerDrawn_); }

void TVeltForm::GiveMenusBack(bool Attach) {
  RestoreOwnerDrawn(ownerDrawn_);
  if (!menuBar_) return;
  HMENU menu = menuBar_->MenuHandle;
  FreeMenuBar();
  if (!menu || !IsMenu(menu)) return;
  if (Attach) {
    if (IsWindow(hwnd) && !GetMenu(hwnd)) SetMenu(hwnd, menu);
  } else if (!Form) {
    // The window is going: the system would have destroyed the menu it held.
    DestroyMenu(menu);
  }
}

void TVeltForm::MenuSelect(POINT Screen) {
  if (!menuBar_) return;
  const POINT p = GetWinXY(Screen.x, Screen.y);
  if (FindBtn(p)) return;
  if (TMenuBtn* b = menuBar_->FindBtn(p)) CheckMenu(this, b);
}

void TVeltForm::CMDialogChar(TMessage& Message) {
  if (savedFormProc_)
    savedFormProc_(Message);
  else if (Form)
    Form->WndProc(Message);
  if (Message.Result) return;
  const TWMKey k(Message);
  const wchar_t key = wchar_t(k.CharCode);
  const bool altOnly = (k.KeyData & 0x20000000) && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
  if (menuBar_ && altOnly)
    if (TMenuBtn* b = menuBar_->FindButtonFromAccel(key)) {
      ClickButton(this, b);
      Message.Result = 1;
      return;
    }
  Message.Result = 0;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (FormKind == fkMDIChild) {
    if (Manager && Manager->MDIMainForm && Manager->MDIMainForm != Form)
      Message.Result = Manager->MDIMainForm->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
    return;
  }
  // A modal form disables the others: then the main form does not take the key.
  if (main && main != Form && main->HandleAllocated() && IsWindowEnabled(main->Handle()))
    main->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
}

TMenuBtn* TVeltForm::BarButtonAt(TWMNCMouse& m) {
  TMenuBtn* b = menuBar_ ? menuBar_->FindBtn(GetWinXY(m.XCursor, m.YCursor)) : nullptr;
  if (b) m.Result = 0;
  return b;
}

bool TVeltForm::BarMouseMove(TWMNCMouse& m) {
  TMenuBtn* b = BarButtonAt(m);
  if (!b || !Active) return false;
  b->MouseEnter();
  return true;
}

bool TVeltForm::BarLButtonDown(TWMNCMouse& m) {
  TMenuBtn* b = BarButtonAt(m);
  if (!b) return false;
  if (!Active) SetForegroundWindow(hwnd);
  b->MouseDown();
  // The menu's loop runs the manager's timer too: the window may be given back meanwhile.
  const std::shared_ptr<bool> alive = alive_;
  CheckMenu(this, b);
  if (!*alive) return true;
  // The bar may have been rebuilt meanwhile: the button is looked for, not read.
  bool still = false;
  for (int i = 0; menuBar_ && i < menuBar_->BtnCount(); ++i) still = still || menuBar_->Btn(i) == b;
  if (still && IsWindow(hwnd)) {
    HotObject = b;
    b->State = ncHot;
    b->Draw();
  }
  return true;
}

bool TVeltForm::BarLButtonUp(TWMNCMouse& m) { return BarButtonAt(m) != nullptr; }

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, MenuBarMouse)
  KARO_MESSAGE(WM_NCMOUSEMOVE, BarMouseMove)
  KARO_MESSAGE(WM_NCLBUTTONDOWN, BarLButtonDown)
  KARO_MESSAGE(WM_NCLBUTTONUP, BarLButtonUp)
  KARO_MESSAGE(WM_NCLBUTTONDBLCLK, BarLButtonUp)
KARO_END_MESSAGE_MAP_OF(false)

bool TVeltForm::KeyMenu(TWMSysCommand& m) {
  if (MenuTracking || (m.CmdType & 0xFFF0) != SC_KEYMENU) return false;
  const wchar_t key = m.Key;
  if (key == L' ') {
    // The skinned system menu, at the client area's corner; the system's own stays shut.
    POINT p{0, 0};
    ClientToScreen(hwnd, &p);
    PopSysmenu(p);
    m.Result = 0;
    return true;
  }
  if (key == L'-' || GetCapture()) return false;
  if (!menuBar_) {
    // Alt or F10 alone ends here: the system would take the keys that follow into its own
    // system menu, never the skinned one.
    if (key) return false;
    m.Result = 1;
    return true;
  }
  TMenuBtn* b = nullptr;
  if (key) {
    b = menuBar_->FindButtonFromAccel(key);
  } else {
    // Alt or F10 alone: the first menu of the bar (a command on the bar is not run by it).
    for (int i = 0; i < menuBar_->BtnCount() && !b; ++i) {
      TMenuBtn* c = menuBar_->Btn(i);
      if (c->Visible && c->Enabled && c->SubMenu && !c->Caption.empty()) b = c;
    }
  }
  if (!b && key) return false;
  if (b) CheckMenu(this, b);
  m.Result = 1;
  return true;
}

bool TVeltForm::ProgramDrawsItem(UINT Id) const {
  // Items the system adds have numbers of 0 or from 4096 on; the others belong to the program,
  // which draws those it made owner-drawn itself.
  if (!Form || Id == 0 || Id > 4095) return false;
  return std::none_of(ownerDrawn_.begin(), ownerDrawn_.end(), [&](const TOwnerDrawnItem& i) { return i.Id == Id; });
}

bool TVeltForm::CNMenuSelect(TCNScreenPoint& m) {
  MenuSelect(m.Point);
  m.Result = 0;
  return true;
}

bool TVeltForm::CMMenuChanged(TMessage& m) {
  const bool saved = SkinData ? SkinData->MainMenuUpdate : true;
  if (SkinData) SkinData->MainMenuUpdate = false;
  m.Result = Default(m.Msg, m.WParam, m.LParam);
  if (SkinData) SkinData->MainMenuUpdate = saved;
  if (HMENU menu = GetMenu(hwnd)) {
    if (menuBar_ && SkinData && SkinData->MenuUpdate()) {
      menuBar_->MenuHandle = menu;
      menuBar_->UpdataBtn();
    }
    if (GetMenu(hwnd)) DetachMenu();
    if (menuBar_) UpdateNc(nullptr);
  }
  return true;
}

bool TVeltForm::WMMenuSelect(TWMMenuSelect& m) {
  TrackMenuSelect(this, m);
  return false;
}

bool TVeltForm::WMMenuChar(TWMMenuChar& m) {
  // Owner-drawn items have no text for the system to find an accelerator in.
  HMENU menu = m.Menu;
  const wchar_t key = wchar_t(m.User);
  if (!MenuTracking || !menu) return false;
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    TMenuItemLook look;
    if (MenuItemLook(menu, UINT(i), look) && !look.Separator && look.Enabled && IsAccel(key, look.Caption)) {
      m.Result = MAKELRESULT(i, MNC_EXECUTE);
      return true;
    }
  }
  return false;
}

bool TVeltForm::WMMeasureItem(TWMMeasureItem& m) {
  MEASUREITEMSTRUCT* mi = m.MeasureItemStruct;
  if (!SkinAnswersNc() || !mi || mi->CtlType != ODT_MENU || !MenuHandle || !SkinData) return false;
  TMainMenu* main = menuBar_ ? menuBar_->MainMenu : nullptr;
  if (TMenuItem* item = main ? main->FindItem(mi->itemID, fkCommand) : nullptr) {
    HDC dc = GetWindowDC(hwnd);
    int w = int(mi->itemWidth), h = int(mi->itemHeight);
    {
      TBorrowedCanvas canvas(dc);
      SelectObject(dc, SkinMenuFont());
      MeasureItem(item, canvas.get(), w, h);
    }
    ReleaseDC(hwnd, dc);
    mi->itemWidth = UINT(std::max(w, 0));
    mi->itemHeight = UINT(std::max(h, 0));
  } else if (ProgramDrawsItem(mi->itemID)) {
    return false;
  } else {
    TMenuItemLook look;
    HMENU menu = nullptr;
    UINT pos = 0;
    HMENU root = TrackedMenu ? TrackedMenu : MenuHandle;
    if (!FindMenuItemById(root, mi->itemID, menu, pos) || !MenuItemLook(menu, pos, look)) look.Separator = true;
    HDC dc = GetWindowDC(hwnd);
    const SIZE s = MeasurePlainItem(SkinData, dc, look);
    ReleaseDC(hwnd, dc);
    mi->itemWidth = UINT(s.cx);
    mi->itemHeight = UINT(s.cy);
  }
  m.Result = TRUE;
  return true;
}

bool TVeltForm::WMDrawItem(TWMDrawItem& m) {
  DRAWITEMSTRUCT* di = m.DrawItemStruct;
  if (!SkinAnswersNc() || !di || di->CtlType != ODT_MENU || !MenuHandle || !SkinData) return false;
  HMENU menu = HMENU(di->hwndItem);
  if (Manager) Manager->SetHMenu(menu);
  TMainMenu* main = menuBar_ ? menuBar_->MainMenu : nullptr;
  TMenuItemLook look;
  if (TMenuItem* item = main ? main->FindItem(di->itemID, fkCommand) : nullptr) {
    look = MenuItemLook(item);
  } else if (ProgramDrawsItem(di->itemID)) {
    return false;
  } else {
    HMENU found = nullptr;
    UINT pos = 0;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n && !found; ++i)
      if (GetMenuItemID(menu, i) == di->itemID || (GetSubMenu(menu, i) && UINT_PTR(GetSubMenu(menu, i)) == di->itemID)) {
        found = menu;
        pos = UINT(i);
      }
    if (!found && !FindMenuItemById(menu, di->itemID, found, pos)) return false;
    if (!MenuItemLook(found, pos, look)) return false;
  }
  POINT offset{};
  TBitmap* back = MenuBackground(Manager, menu, offset);
  DrawSkinMenuItem(SkinData, di->hDC, TRect{di->rcItem.left, di->rcItem.top, di->rcItem.right, di->rcItem.bottom},
                   look, (di->itemState & ODS_SELECTED) != 0, back, offset);
  m.Result = TRUE;
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, HandleMenuMessage)
  KARO_MESSAGE(CN_MenuSelect, CNMenuSelect)
  KARO_MESSAGE(CM_MENUCHANGED, CMMenuChanged)
  KARO_MESSAGE(WM_MENUSELECT, WMMenuSelect)
  KARO_MESSAGE(WM_MENUCHAR, WMMenuChar)
  KARO_MESSAGE(WM_MEASUREITEM, WMMeasureItem)
  KARO_MESSAGE(WM_DRAWITEM, WMDrawItem)
KARO_END_MESSAGE_MAP_OF(false)

// ---- Class-library items

void TVeltForm::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dyn<TMenuItem>(Sender);
  if (!item) return;
  // The class library measures first, without coming back here.
  TMenuMeasureItemEvent own = item->OnMeasureItem;
  item->OnMeasureItem = nullptr;
  item->MeasureItem(ACanvas, Width, Height);
  item->OnMeasureItem = own;
  MeasureSkinnedItem(SkinData, true, item->GetImageList() != nullptr, Width, Height);
}

void TVeltForm::MeasureItemPop(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  (void)ACanvas;
  auto* item = dyn<TMenuItem>(Sender);
  if (!item || !SkinData) return;
  MeasureSkinnedItem(SkinData, false, item->GetImageList() != nullptr, Width, Height);
}

void TVeltForm::DrawMenuItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
  auto* item = dyn<TMenuItem>(Sender);
  if (!item || !ACanvas || !SkinData) return;
  HMENU menu = item->Parent() ? item->Parent()->Handle() : nullptr;
  if (Manager && menu) Manager->SetHMenu(menu);
  POINT offset{};
  TBitmap* back = menu ? MenuBackground(Manager, menu, offset) : nullptr;
  DrawSkinMenuItem(SkinData, ACanvas->Handle(), ARect, MenuItemLook(item), Selected, back, offset);
}

void TVeltForm::InitPopMenu(TWinControl* Control, bool OwnerDraw, bool Flag2) {
  (void)Flag2;
  if (!Control || !SkinData || ListedClassName == "TwwRichEditForm") return;
  std::function<void(TComponent*)> walk = [&](TComponent* c) {
    for (int i = 0; i < c->ComponentCount(); ++i) {
      TComponent* k = c->Components(i);
      if (k->Is<TCustomForm>()) {
        walk(k);
        continue;
      }
      auto* menu = dyn<TPopupMenu>(k);
      if (!menu || menu->Tag() == SkinData->DisableTag() || !SkinData->SkinControls().Contains(xcPopupMenu)) continue;
      auto known = std::find_if(ownerDrawMenus_.begin(), ownerDrawMenus_.end(), [&](auto& p) { return p.first == menu; });
      if (OwnerDraw) {
        if (known == ownerDrawMenus_.end()) ownerDrawMenus_.push_back({menu, menu->OwnerDraw()});
        std::function<void(TMenuItem*)> items = [&](TMenuItem* it) {
          for (int j = 0; j < it->Count(); ++j) {
            TMenuItem* sub = it->Items(j);
            sub->OnDrawItem = [this](TObject* s, TCanvas* cv, TRect r, bool sel) { DrawMenuItem(s, cv, r, sel); };
            if (!sub->OnMeasureItem || std::find(ownerDrawItems_.begin(), ownerDrawItems_.end(), sub) != ownerDrawItems_.end())
              sub->OnMeasureItem = [this](TObject* s, TCanvas* cv, int& w, int& h) { MeasureItemPop(s, cv, w, h); };
            if (std::find(ownerDrawItems_.begin(), ownerDrawItems_.end(), sub) == ownerDrawItems_.end())
              ownerDrawItems_.push_back(sub);
            items(sub);
          }
        };
        items(menu->Items());
        menu->SetOwnerDraw(true);
      } else if (known != ownerDrawMenus_.end()) {
        // Only what the skin set goes: the items found by walking, never a remembered pointer alone.
        std::function<void(TMenuItem*)> items = [&](TMenuItem* it) {
          for (int j = 0; j < it->Count(); ++j) {
            TMenuItem* sub = it->Items(j);
            auto mine = std::find(ownerDrawItems_.begin(), ownerDrawItems_.end(), sub);
            if (mine != ownerDrawItems_.end()) {
              sub->OnDrawItem = nullptr;
              sub->OnMeasureItem = nullptr;
              ownerDrawItems_.erase(mine);
            }
            items(sub);
          }
        };
        items(menu->Items());
        menu->SetOwnerDraw(known->second);
        ownerDrawMenus_.erase(known);
      }
    }
  };
  walk(Control);
  if (!OwnerDraw && Control == Form) {
    ownerDrawMenus_.clear();
    ownerDrawItems_.clear();
    GiveToolbarMenusBack();
  }
}

void TFormMenuBar::TToolbarMenuItem::GiveBack(TComponent* Form) {
  Item->OnDrawItem = std::move(Draw);
  Item->OnMeasureItem = std::move(Measure);
  Item->RemoveFreeNotification(Form);
}

void TVeltForm::InitToolbarMenu(TMenuItem* Item, bool OwnerDraw) {
  if (!Item) return;
  auto known = std::find_if(toolbarMenuItems_.begin(), toolbarMenuItems_.end(),
                            [&](const TToolbarMenuItem& t) { return t.Item == Item; });
  if (OwnerDraw) {
    if (known == toolbarMenuItems_.end()) {
      toolbarMenuItems_.push_back({Item, Item->OnDrawItem, Item->OnMeasureItem});
      Item->FreeNotification(this);
    }
    Item->OnDrawItem = [this](TObject* s, TCanvas* cv, TRect r, bool sel) { DrawMenuItem(s, cv, r, sel); };
    Item->OnMeasureItem = [this](TObject* s, TCanvas* cv, int& w, int& h) { MeasureItem(s, cv, w, h); };
  } else if (known != toolbarMenuItems_.end()) {
    known->GiveBack(this);
    toolbarMenuItems_.erase(known);
  }
  for (int i = 0; i < Item->Count(); ++i) InitToolbarMenu(Item->Items(i), OwnerDraw);
}

void TVeltForm::GiveToolbarMenusBack() {
  for (TToolbarMenuItem& t : toolbarMenuItems_) t.GiveBack(this);
  toolbarMenuItems_.clear();
}

void TVeltForm::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op != opRemove) return;
  std::erase_if(toolbarMenuItems_, [&](const TToolbarMenuItem& t) { return t.Item == c; });
}

// ---- Tool bars

void TVeltForm::ToolBarDrawBackground(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw) {
  (void)DefaultDraw;
  SkinToolBarBackground(SkinData, Sender, ARect);
}

void TVeltForm::ToolBarDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) {
  (void)DefaultDraw;
  SkinToolBarButton(SkinData, FrameSkinned && LifeState == lsSkinned, Sender, Button, State);
}

namespace {

// The handlers a skinned form installs, of types of their own so they are known again.
struct TFormToolBarBackground {
  TVeltForm* Form;
  void operator()(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw) const {
    Form->ToolBarDrawBackground(Sender, ARect, DefaultDraw);
  }
};
struct TFormToolBarButton {
  TVeltForm* Form;
  void operator()(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) const {
    Form->ToolBarDrawButton(Sender, Button, State, DefaultDraw);
  }
};

}  // namespace

void TVeltForm::InstallToolBarDrawing(TControl* ToolBar) {
  auto* bar = dyn<TToolBar>(ToolBar);
  if (!bar) return;
  if (!bar->OnCustomDraw) bar->OnCustomDraw = TFormToolBarBackground{this};
  if (!bar->OnCustomDrawButton) bar->OnCustomDrawButton = TFormToolBarButton{this};
  if (bar->HandleAllocated()) InvalidateRect(bar->Handle(), nullptr, TRUE);
}

void TVeltForm::RemoveToolBarDrawing(TControl* ToolBar) {
  auto* bar = dyn<TToolBar>(ToolBar);
  if (!bar) return;
  if (bar->OnCustomDraw.target<TFormToolBarBackground>()) bar->OnCustomDraw = nullptr;
  if (bar->OnCustomDrawButton.target<TFormToolBarButton>()) bar->OnCustomDrawButton = nullptr;
}
