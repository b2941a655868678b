#include "classlib/controls/menus.h"

#include <algorithm>
#include <cwctype>

#include "classlib/controls/forms.h"
#include "classlib/graphics/image_list.h"

namespace {

// Commands in use: index n stands for command n. Commands start at 1 and stay below the
// system's own (0xF000 and up).
// Never freed: items that the program's shut-down frees still give their commands back.
std::vector<bool>& CommandPool() {
  static auto* pool = new std::vector<bool>(1, true);
  return *pool;
}

WORD UniqueCommand() {
  auto& pool = CommandPool();
  for (size_t i = 1; i < pool.size(); ++i)
    if (!pool[i]) {
      pool[i] = true;
      return WORD(i);
    }
  if (pool.size() >= 0xF000) throw EMenuError("Too many menu items");
  pool.push_back(true);
  return WORD(pool.size() - 1);
}

void ReleaseCommand(WORD command) {
  auto& pool = CommandPool();
  if (command && command < pool.size()) pool[command] = false;
}

std::vector<TMenu*>& MenuList() {
  static auto* list = new std::vector<TMenu*>;
  return *list;
}

struct TKeyName {
  WORD Key;
  const wchar_t* Name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, L"BkSp"},  {VK_TAB, L"Tab"},     {VK_ESCAPE, L"Esc"},  {VK_RETURN, L"Enter"}, {VK_SPACE, L"Space"},
    {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"},   {VK_END, L"End"},     {VK_HOME, L"Home"},    {VK_LEFT, L"Left"},
    {VK_UP, L"Up"},      {VK_RIGHT, L"Right"}, {VK_DOWN, L"Down"},   {VK_INSERT, L"Ins"},   {VK_DELETE, L"Del"},
};

WideString KeyName(WORD key) {
  for (const auto& k : kKeyNames)
    if (k.Key == key) return k.Name;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return WideString(1, wchar_t(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  return {};
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
  return true;
}

// A canvas on a device context that someone else owns, for the owner-draw messages.
class TBorrowedCanvas {
public:
  explicit TBorrowedCanvas(HDC dc) { canvas_.SetHandle(dc); }
  ~TBorrowedCanvas() { canvas_.SetHandle(nullptr); }
  TCanvas* operator->() { return &canvas_; }
  TCanvas* get() { return &canvas_; }

private:
  TCanvas canvas_;
};

TMenuItem* FindPopupItem(UINT_PTR value, TFindItemKind kind) {
  for (TMenu* m : MenuList())
    if (m->Is<TPopupMenu>())
      if (TMenuItem* item = m->FindItem(value, kind)) return item;
  return nullptr;
}

void PopupListProc(TMessage& m) {
  HWND wnd = PopupListWindow();
  switch (m.Msg) {
    case WM_COMMAND:
      for (TMenu* menu : std::vector<TMenu*>(MenuList()))
        if (menu->Is<TPopupMenu>() && menu->DispatchCommand(LOWORD(m.WParam))) return;
      break;
    case WM_INITMENUPOPUP:
      for (TMenu* menu : std::vector<TMenu*>(MenuList()))
        if (menu->Is<TPopupMenu>() && menu->DispatchPopup(HMENU(m.WParam))) return;
      break;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mi && mi->CtlType == ODT_MENU)
        if (TMenuItem* item = FindPopupItem(mi->itemID, fkCommand)) {
          TWindowDC dc(nullptr);
          TBorrowedCanvas canvas(dc.get());
          canvas->SetFont(Screen->MenuFont());
          int w = int(mi->itemWidth), h = int(mi->itemHeight);
          item->MeasureItem(canvas.get(), w, h);
          mi->itemWidth = UINT(std::max(w, 0));
          mi->itemHeight = UINT(std::max(h, 0));
          m.Result = 1;
          return;
        }
      break;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (di && di->CtlType == ODT_MENU)
        if (TMenuItem* item = FindPopupItem(di->itemID, fkCommand)) {
          TSavedDC saved(di->hDC);
          TBorrowedCanvas canvas(di->hDC);
          canvas->SetFont(Screen->MenuFont());
          item->DrawItem(canvas.get(), FromRECT(di->rcItem), (di->itemState & ODS_SELECTED) != 0);
          m.Result = 1;
          return;
        }
      break;
    }
    default: break;
  }
  m.Result = DefWindowProcW(wnd, m.Msg, m.WParam, m.LParam);
}

}  // namespace

HWND PopupListWindow() {
  static HWND wnd = AllocateHWnd(PopupListProc);
  return wnd;
}

// --- Shortcuts and captions ---

TShortCut ShortCut(WORD key, TShiftState shift) {
  TShortCut s = TShortCut(key & 0xFF);
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

WideString ShortCutToText(TShortCut shortCut) {
  WideString name = KeyName(WORD(shortCut & 0xFF));
  if (name.empty()) return {};
  WideString text;
  if (shortCut & scShift) text += L"Shift+";
  if (shortCut & scCtrl) text += L"Ctrl+";
  if (shortCut & scAlt) text += L"Alt+";
  return text + name;
}

TShortCut TextToShortCut(const WideString& text) {
  std::wstring_view rest(text);
  TShortCut shift = 0;
  for (;;) {
    if (StartsWithNoCase(rest, L"Shift+")) {
      shift |= scShift;
      rest.remove_prefix(6);
    } else if (StartsWithNoCase(rest, L"Ctrl+")) {
      shift |= scCtrl;
      rest.remove_prefix(5);
    } else if (StartsWithNoCase(rest, L"Alt+")) {
      shift |= scAlt;
      rest.remove_prefix(4);
    } else {
      break;
    }
  }
  if (rest.empty()) return 0;
  for (WORD key = 1; key <= 0xFF; ++key) {
    WideString name = KeyName(key);
    if (!name.empty() && name.size() == rest.size() && StartsWithNoCase(rest, name)) return TShortCut(key | shift);
  }
  return 0;
}

WideString StripHotkey(const WideString& caption) {
  WideString r;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (i + 1 < caption.size() && caption[i + 1] == L'&') {
        r += L'&';
        ++i;
      }
      continue;
    }
    r += caption[i];
  }
  return r;
}

wchar_t GetHotkey(const WideString& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return wchar_t(std::towupper(caption[i + 1]));
  }
  return 0;
}

bool IsAccel(wchar_t ch, const WideString& caption) {
  wchar_t hot = GetHotkey(caption);
  return hot != 0 && hot == wchar_t(std::towupper(ch));
}

// --- TMenuItem ---

KARO_CLASS_PROPS(TMenuItem, TComponent,
                 Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(0),
                 Prop("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone),
                 Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption),
                 Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(0),
                 Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(0),
                 Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1),
                 Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0),
                 Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint),
                 Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1),
                 Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(0),
                 Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0),
                 Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1),
                 Prop("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick),
                 Prop("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::OnDrawItem),
                 Prop("OnMeasureItem", &TMenuItem::OnMeasureItem, &TMenuItem::OnMeasureItem))

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(UniqueCommand()) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    item->Free();
  }
  if (handle_) DestroyMenu(handle_);
  ReleaseCommand(command_);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || size_t(index) >= items_.size()) throw EMenuError("Menu index out of range");
  return items_[size_t(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int index) {
  if (!parent_) return;
  TMenuItem* p = parent_;
  int count = p->Count();
  index = std::clamp(index, 0, count - 1);
  if (index == MenuIndex()) return;
  p->Remove(this);
  p->Insert(index, this);
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EMenuError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  if (handle_) RebuildHandle();
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  if (handle_) RebuildHandle();
  MenuChanged(true);
}

void TMenuItem::Delete(int index) { Remove(Items(index)); }

void TMenuItem::Clear() {
  while (!items_.empty()) Items(Count() - 1)->Free();
}

TMenuItem* TMenuItem::Find(const WideString& caption) const {
  WideString wanted = StripHotkey(caption);
  for (TMenuItem* item : items_)
    if (SameText(StripHotkey(item->caption_), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item->menu_;
}

TCustomImageList* TMenuItem::GetImageList() const {
  TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (parent_) parent_->Remove(this);
  if (auto* menu = dyn<TMenu>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dyn<TMenuItem>(parent))
    item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TMenuItem* item : items_)
    if (item->Owner() == root) proc(item);
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  if (parent_ && parent_->handle_) parent_->RebuildHandle();
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    TMenu* menu = GetParentMenu();
    bool bar = menu_ && menu && !menu->IsPopup();
    handle_ = bar ? CreateMenu() : CreatePopupMenu();
    if (!handle_) throw EMenuError("Not enough memory for a menu");
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::RebuildTree() {
  for (TMenuItem* item : items_) item->RebuildTree();
  RebuildHandle();
}

void TMenuItem::RebuildHandle() {
  if (!handle_) return;
  // RemoveMenu leaves the sub-menus alive: they belong to their items.
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  TMenu* menu = GetParentMenu();
  bool rtl = menu && menu->IsRightToLeft();
  for (TMenuItem* item : items_)
    if (item->visible_) item->AppendTo(handle_, rtl);
}

void TMenuItem::AppendTo(HMENU menu, bool rightToLeft) {
  WideString text = caption_;
  if (shortCut_ && !IsLine()) text += L"\t" + ShortCutToText(shortCut_);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  TMenu* parentMenu = GetParentMenu();
  if (IsLine()) {
    mii.fType = MFT_SEPARATOR;
  } else {
    mii.fMask |= MIIM_STRING;
    mii.fType = MFT_STRING;
    mii.dwTypeData = text.data();
    mii.cch = UINT(text.size());
  }
  if (radioItem_) mii.fType |= MFT_RADIOCHECK;
  if (break_ == mbBreak) mii.fType |= MFT_MENUBREAK;
  if (break_ == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
  if (rightToLeft) mii.fType |= MFT_RIGHTORDER;
  if (parentMenu && (parentMenu->OwnerDraw() || (parentMenu->Images() && parent_ && parent_->parent_)))
    mii.fType |= MFT_OWNERDRAW;
  if (checked_) mii.fState |= MFS_CHECKED;
  if (!enabled_) mii.fState |= MFS_DISABLED | MFS_GRAYED;
  if (default_) mii.fState |= MFS_DEFAULT;
  mii.wID = command_;
  mii.hSubMenu = items_.empty() ? nullptr : Handle();
  mii.dwItemData = ULONG_PTR(command_);
  InsertMenuItemW(menu, UINT(GetMenuItemCount(menu)), TRUE, &mii);
}

void TMenuItem::MenuChanged(bool rebuild) {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  if (parent_ && parent_->handle_ && rebuild) parent_->RebuildHandle();
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged(parent_ ? this : nullptr, rebuild);
}

void TMenuItem::SetCaption(const WideString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* item : parent_->items_)
    if (item != this && item->radioItem_ && item->groupIndex_ == groupIndex_ && item->checked_) {
      item->checked_ = false;
      item->MenuChanged(true);
    }
}

void TMenuItem::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  if (v && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool v) {
  if (default_ == v) return;
  if (v && parent_)
    for (TMenuItem* item : parent_->items_) item->default_ = false;
  default_ = v;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool v) {
  if (radioItem_ == v) return;
  radioItem_ = v;
  if (checked_ && v) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetGroupIndex(uint8_t v) {
  if (groupIndex_ == v) return;
  groupIndex_ = v;
  if (checked_ && radioItem_) TurnSiblingsOff();
}

void TMenuItem::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (shortCut_ == v) return;
  shortCut_ = v;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak v) {
  if (break_ == v) return;
  break_ = v;
  MenuChanged(true);
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  bool topLevel = parent_ && parent_->menu_ && !parent_->menu_->IsPopup();
  if (IsLine()) {
    width = 10;
    height = 8;
  } else {
    WideString text = caption_.empty() ? WideString(L" ") : caption_;
    RECT r{0, 0, 0, 0};
    DrawTextW(canvas->Handle(), text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    int glyph = 16;
    if (TCustomImageList* images = GetImageList()) glyph = std::max(glyph, images->Width());
    if (topLevel) {
      width = r.right - r.left + 12;
    } else {
      width = r.right - r.left + glyph + 2 * 4 + 10;
      if (shortCut_) {
        WideString sc = ShortCutToText(shortCut_);
        RECT s{0, 0, 0, 0};
        DrawTextW(canvas->Handle(), sc.c_str(), int(sc.size()), &s, DT_CALCRECT | DT_SINGLELINE);
        width += s.right - s.left + 16;
      }
    }
    height = std::max<int>(r.bottom - r.top + 4, std::max(GetSystemMetrics(SM_CYMENUCHECK), glyph) + 3);
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, bool selected) {
  if (OnDrawItem)
    OnDrawItem(this, canvas, rect, selected);
  else
    DrawDefault(canvas, rect, selected);
}

void TMenuItem::DrawDefault(TCanvas* canvas, const TRect& rect, bool selected) {
  HDC dc = canvas->Handle();
  canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(rect);
  RECT r = ToRECT(rect);
  if (IsLine()) {
    RECT line{r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool topLevel = parent_ && parent_->menu_ && !parent_->menu_->IsPopup();
  TColor textColor = !enabled_ ? clGrayText : selected ? clHighlightText : clMenuText;
  int glyph = 0;
  if (!topLevel) {
    glyph = 16;
    TCustomImageList* images = GetImageList();
    if (images) glyph = std::max(glyph, images->Width());
    int gx = r.left + 2, gy = r.top + (rect.Height() - 16) / 2;
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
      images->Draw(canvas, gx, r.top + (rect.Height() - images->Height()) / 2, imageIndex_, enabled_);
    } else if (checked_) {
      RECT box{gx, gy, gx + 16, gy + 16};
      TMemoryDC mem(CreateCompatibleDC(dc));
      TBitmapHandle mark(CreateBitmap(16, 16, 1, 1, nullptr));
      {
        TSelectObject sel(mem.get(), mark.get());
        RECT all{0, 0, 16, 16};
        PatBlt(mem.get(), 0, 0, 16, 16, WHITENESS);
        DrawFrameControl(mem.get(), &all, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        // The mark is black on white: where it is black the brush (text colour) goes in, the
        // background stays elsewhere.
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        TBrushHandle brush(CreateSolidBrush(GdiColor(textColor)));
        HGDIOBJ old = SelectObject(dc, brush.get());
        BitBlt(dc, box.left, box.top, 16, 16, mem.get(), 0, 0, 0x00B8074A);
        SelectObject(dc, old);
      }
    }
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GdiColor(textColor));
  RECT tr{r.left + (topLevel ? 6 : glyph + 8), r.top, r.right - 6, r.bottom};
  UINT align = topLevel ? DT_CENTER : DT_LEFT;
  if (GetParentMenu() && GetParentMenu()->IsRightToLeft()) align = topLevel ? DT_CENTER : (DT_RIGHT | DT_RTLREADING);
  HFONT boldFont = nullptr;
  std::optional<TSelectObject> boldSel;
  if (default_) {
    LOGFONTW lf{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    boldFont = CreateFontIndirectW(&lf);
    boldSel.emplace(dc, boldFont);
  }
  DrawTextW(dc, caption_.c_str(), int(caption_.size()), &tr, align | DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
  if (shortCut_ && !topLevel) {
    WideString sc = ShortCutToText(shortCut_);
    DrawTextW(dc, sc.c_str(), int(sc.size()), &tr, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
  boldSel.reset();
  if (boldFont) DeleteObject(boldFont);
}

// --- TMenu ---

KARO_CLASS_INFO(TMenu, TComponent)

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
  MenuList().push_back(this);
}

TMenu::~TMenu() {
  auto& list = MenuList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (windowHandle_ && items_->handle_ && IsWindow(windowHandle_) && GetMenu(windowHandle_) == items_->handle_)
    ::SetMenu(windowHandle_, nullptr);
  items_->menu_ = nullptr;
  delete items_;
}

const std::vector<TMenu*>& TMenu::AllMenus() { return MenuList(); }

void TMenu::SetImages(TCustomImageList* images) {
  if (images_ == images) return;
  images_ = images;
  if (images) images->FreeNotification(this);
  MenuChanged(nullptr, true);
}

void TMenu::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == images_) {
    images_ = nullptr;
    MenuChanged(nullptr, true);
  }
}

void TMenu::SetOwnerDraw(bool v) {
  if (ownerDraw_ == v) return;
  ownerDraw_ = v;
  MenuChanged(nullptr, true);
}

void TMenu::SetBiDiMode(TBiDiMode v) {
  if (biDiMode_ == v) return;
  biDiMode_ = v;
  parentBiDiMode_ = false;
  MenuChanged(nullptr, true);
}

TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) const {
  if (kind != fkCommand && value == 0) return nullptr;
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    switch (kind) {
      case fkCommand:
        if (item->command_ == value) return item;
        break;
      case fkHandle:
        if (UINT_PTR(item->handle_) == value) return item;
        break;
      case fkShortCut:
        if (item->shortCut_ == value) return item;
        break;
    }
    for (TMenuItem* sub : item->items_)
      if (TMenuItem* found = find(sub)) return found;
    return nullptr;
  };
  return find(items_);
}

bool TMenu::DispatchCommand(WORD command) {
  TMenuItem* item = FindItem(command, fkCommand);
  if (!item || item == items_) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU subMenu) {
  TMenuItem* item = FindItem(UINT_PTR(subMenu), fkHandle);
  if (!item) return false;
  if (item != items_) item->Click();
  return true;
}

bool TMenu::IsShortCut(TWMKey& message) {
  TShortCut sc = TShortCut(message.CharCode & 0xFF);
  if (GetKeyState(VK_SHIFT) < 0) sc |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) sc |= scCtrl;
  if (message.KeyData & 0x20000000) sc |= scAlt;
  TMenuItem* item = FindItem(sc, fkShortCut);
  if (!item) return false;
  for (TMenuItem* p = item; p; p = p->Parent())
    if (!p->Enabled()) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TMenuItem* item : items_->items_)
    if (item->Owner() == root) proc(item);
}

void TMenu::Loaded() {
  TComponent::Loaded();
  MenuChanged(nullptr, true);
}

void TMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  if (rebuild && !source) items_->RebuildTree();
  if (OnChange) OnChange(this);
}

// --- TMainMenu ---

KARO_CLASS_PROPS(TMainMenu, TMenu,
                 Prop("BiDiMode", &TMainMenu::BiDiMode, &TMainMenu::SetBiDiMode).Default(bdLeftToRight),
                 Prop("Images", &TMainMenu::Images, &TMainMenu::SetImages),
                 Prop("OwnerDraw", &TMainMenu::OwnerDraw, &TMainMenu::SetOwnerDraw).Default(0),
                 Prop("ParentBiDiMode", &TMainMenu::ParentBiDiMode, &TMainMenu::SetParentBiDiMode).Default(1),
                 Prop("OnChange", &TMainMenu::OnChange, &TMainMenu::OnChange))

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

void TMainMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  if (HasState(csLoading) || HasState(csDestroying)) return;
  TMenu::MenuChanged(source, rebuild);
  // The form's window attaches the rebuilt menu again (a skinned window takes it into its
  // painted menu bar instead).
  if (WindowHandle() && IsWindow(WindowHandle())) SendMessageW(WindowHandle(), CM_MENUCHANGED, 0, 0);
}

// --- TPopupMenu ---

KARO_CLASS_PROPS(TPopupMenu, TMenu,
                 Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft),
                 Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1),
                 Prop("BiDiMode", &TPopupMenu::BiDiMode, &TPopupMenu::SetBiDiMode).Default(bdLeftToRight),
                 Prop("Images", &TPopupMenu::Images, &TPopupMenu::SetImages),
                 Prop("OwnerDraw", &TPopupMenu::OwnerDraw, &TPopupMenu::SetOwnerDraw).Default(0),
                 Prop("ParentBiDiMode", &TPopupMenu::ParentBiDiMode, &TPopupMenu::SetParentBiDiMode).Default(1),
                 Prop("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton),
                 Prop("OnChange", &TPopupMenu::OnChange, &TPopupMenu::OnChange),
                 Prop("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup))

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int x, int y) {
  popupPoint_ = {x, y};
  if (OnPopup) OnPopup(this);
  TModalRequest request;
  request.Kind = mkPopupMenu;
  request.Menu = this;
  request.X = x;
  request.Y = y;
  std::optional<int> answer = AskModalHandler(request);
  int command = 0;
  if (answer) {
    command = *answer;
  } else {
    UINT flags = TPM_RETURNCMD | (trackButton_ == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    flags |= alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    if (IsRightToLeft()) flags |= TPM_LAYOUTRTL;
    command = int(TrackPopupMenu(Handle(), flags, x, y, 0, PopupListWindow(), nullptr));
  }
  if (command > 0 && command <= 0xFFFF) DispatchCommand(WORD(command));
}
