// The tool bar over "ToolbarWindow32" with its tool buttons: images, flat look, captions, a
// menu shown as buttons, check and drop-down buttons, and the custom-draw events.
#include <algorithm>

#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/forms.h"

TCustomDrawState CustomDrawState(UINT itemState) { return TCustomDrawState::FromValue(itemState & 0x1FF); }

// --- TToolButton ---

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

TToolButton::~TToolButton() {
  if (bar_) bar_->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl* parent) {
  auto* bar = dyn<TToolBar>(parent);
  if (bar_ && bar_ != bar) {
    TToolBar* old = bar_;
    bar_ = nullptr;
    old->RemoveButton(this);
  }
  TGraphicControl::SetParent(parent);
  if (bar && bar_ != bar) {
    bar_ = bar;
    bar->InsertButton(this);
  }
}

void TToolButton::Changed() {
  if (bar_) bar_->RecreateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (style_ == v) return;
  style_ = v;
  Changed();
}

void TToolButton::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed();
}

bool TToolButton::Down() const {
  if (bar_ && bar_->HandleAllocated())
    return SendMessageW(bar_->Handle(), TB_ISBUTTONCHECKED, WPARAM(commandId_), 0) != 0;
  return down_;
}

void TToolButton::SetDown(bool v) {
  down_ = v;
  if (bar_ && bar_->HandleAllocated()) SendMessageW(bar_->Handle(), TB_CHECKBUTTON, WPARAM(commandId_), v);
}

void TToolButton::SetGrouped(bool v) {
  if (grouped_ == v) return;
  grouped_ = v;
  Changed();
}

void TToolButton::SetMenuItem(TMenuItem* v) {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = v;
  if (menuItem_) {
    menuItem_->FreeNotification(this);
    if (!IsLoading()) SetCaption(menuItem_->Caption());
  }
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  SetFreeNotified(this, dropdownMenu_, v);
}

void TToolButton::SetCaption(const WideString& v) { SetText(v); }

void TToolButton::Notification(TComponent* c, TOperation op) {
  TGraphicControl::Notification(c, op);
  if (op != opRemove) return;
  if (c == menuItem_) menuItem_ = nullptr;
  if (c == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::Click() {
  if (!menuItem_) {
    TGraphicControl::Click();
    return;
  }
  TMenuItem* item = menuItem_;
  item->Click();
  if (item->Count() == 0 || !bar_) return;
  // The item's sub-menu opens below the button; a test answers it through the modal seam.
  TPoint at = bar_->ClientToScreen({Left(), Top() + Height()});
  TModalRequest request;
  request.Kind = mkPopupMenu;
  request.X = at.X;
  request.Y = at.Y;
  std::optional<int> answer = AskModalHandler(request);
  int command = answer ? *answer
                       : int(TrackPopupMenu(item->Handle(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_LEFTBUTTON, at.X, at.Y,
                                            0, bar_->Handle(), nullptr));
  if (command > 0 && command <= 0xFFFF)
    if (TMenu* menu = item->GetParentMenu()) menu->DispatchCommand(WORD(command));
}

void TToolButton::CMHitTestButton(TMessage& m) { m.Result = bar_ ? 0 : HTCLIENT; }

void TToolButton::CMButtonChanged(TMessage& m) {
  TGraphicControl::Dispatch(m);
  Changed();
}

KARO_BEGIN_MESSAGE_MAP(TToolButton)
  KARO_MESSAGE(CM_HITTEST, CMHitTestButton)
  KARO_MESSAGE(CM_TEXTCHANGED, CMButtonChanged)
  KARO_MESSAGE(CM_VISIBLECHANGED, CMButtonChanged)
  KARO_MESSAGE(CM_ENABLEDCHANGED, CMButtonChanged)
KARO_END_MESSAGE_MAP(TGraphicControl)

// --- TToolBar ---

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

TToolBar::~TToolBar() {
  for (TToolButton* b : buttons_) b->bar_ = nullptr;
  buttons_.clear();
  menuButtons_.clear();
  canvas_->SetControl(nullptr);
}

TToolButton* TToolBar::Buttons(int index) const {
  if (index < 0 || index >= ButtonCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return buttons_[size_t(index)];
}

TToolButton* TToolBar::FindButton(int commandId) const {
  for (TToolButton* b : buttons_)
    if (b->commandId_ == commandId) return b;
  return nullptr;
}

void TToolBar::SetFlat(bool v) { SetRecreating(this, flat_, v); }

void TToolBar::SetShowCaptions(bool v) { SetRecreating(this, showCaptions_, v); }

void TToolBar::SetList(bool v) { SetRecreating(this, list_, v); }

void TToolBar::SetButtonWidth(int v) {
  buttonWidth_ = std::max(1, v);
  RecreateButtons();
}

void TToolBar::SetButtonHeight(int v) {
  buttonHeight_ = std::max(1, v);
  RecreateButtons();
}

void TToolBar::SetImages(TCustomImageList* v) {
  SetFreeNotified(this, images_, v);
  if (HandleAllocated()) {
    SendMessageW(Handle(), TB_SETIMAGELIST, 0, LPARAM(images_ ? images_->Handle() : nullptr));
    RecreateButtons();
  }
}

void TToolBar::ClearMenuButtons() {
  std::vector<TToolButton*> list;
  list.swap(menuButtons_);
  for (TToolButton* b : list) b->Free();
}

void TToolBar::SetMenu(TMainMenu* v) {
  if (menu_ == v) return;
  if (menu_) menu_->RemoveFreeNotification(this);
  ClearMenuButtons();
  menu_ = v;
  if (!menu_) return;
  menu_->FreeNotification(this);
  if (IsLoading()) return;  // the buttons are made when the bar has been read
  showCaptions_ = true;
  updating_ = true;
  for (int i = 0; i < menu_->Items()->Count(); ++i) {
    TMenuItem* item = menu_->Items()->Items(i);
    auto* b = new TToolButton(this);
    b->grouped_ = true;
    b->SetMenuItem(item);
    b->SetParent(this);
    menuButtons_.push_back(b);
  }
  updating_ = false;
  RecreateWnd();
  RecreateButtons();
}

void TToolBar::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != opRemove) return;
  if (c == images_) SetImages(nullptr);
  if (c == menu_) {
    menu_ = nullptr;
    if (!HasState(csDestroying)) ClearMenuButtons();
  }
  auto it = std::find(menuButtons_.begin(), menuButtons_.end(), c);
  if (it != menuButtons_.end()) menuButtons_.erase(it);
}

void TToolBar::InsertButton(TToolButton* b) {
  b->commandId_ = nextCommand_++;
  buttons_.push_back(b);
  RecreateButtons();
}

void TToolBar::RemoveButton(TToolButton* b) {
  auto it = std::find(buttons_.begin(), buttons_.end(), b);
  if (it == buttons_.end()) return;
  buttons_.erase(it);
  if (!HasState(csDestroying)) RecreateButtons();
}

void TToolBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
  if (flat_) params.Style |= TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
  if (list_) params.Style |= TBSTYLE_LIST;
  CreateSubClass(params, TOOLBARCLASSNAMEW);
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  SendMessageW(wnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(wnd, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  if (images_) SendMessageW(wnd, TB_SETIMAGELIST, 0, LPARAM(images_->Handle()));
  RecreateButtons();
}

void TToolBar::RecreateButtons() {
  if (!HandleAllocated() || updating_ || IsLoading() || HasState(csDestroying)) return;
  HWND wnd = Handle();
  while (SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0) > 0)
    if (!SendMessageW(wnd, TB_DELETEBUTTON, 0, 0)) break;
  if (!images_) SendMessageW(wnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  std::vector<WideString> texts;
  texts.reserve(buttons_.size());
  for (TToolButton* b : buttons_) {
    texts.push_back(b->Caption());
    TBBUTTON tb{};
    tb.idCommand = b->commandId_;
    tb.iBitmap = images_ && b->imageIndex_ >= 0 ? b->imageIndex_ : I_IMAGENONE;
    tb.fsState = BYTE((b->Enabled() ? TBSTATE_ENABLED : 0) | (b->down_ ? TBSTATE_CHECKED : 0) |
                      (b->Visible() ? 0 : TBSTATE_HIDDEN));
    switch (b->style_) {
      case tbsButton: tb.fsStyle = BTNS_BUTTON; break;
      case tbsCheck: tb.fsStyle = BYTE(BTNS_CHECK | (b->grouped_ ? BTNS_GROUP : 0)); break;
      case tbsDropDown: tb.fsStyle = BTNS_DROPDOWN; break;
      case tbsSeparator:
      case tbsDivider:
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = b->Width() > 0 ? b->Width() : 8;
        break;
    }
    if (b->grouped_ && b->menuItem_) tb.fsStyle |= BTNS_AUTOSIZE;
    tb.iString = showCaptions_ && b->style_ < tbsSeparator ? INT_PTR(texts.back().c_str()) : INT_PTR(-1);
    SendMessageW(wnd, TB_ADDBUTTONSW, 1, LPARAM(&tb));
  }
  UpdateButtonBounds();
  InvalidateRect(wnd, nullptr, TRUE);
}

void TToolBar::UpdateButtonBounds() {
  if (!HandleAllocated()) return;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    RECT r{};
    if (SendMessageW(Handle(), TB_GETITEMRECT, WPARAM(i), LPARAM(&r)))
      buttons_[i]->UpdateBoundsRect(Rect(r.left, r.top, r.right, r.bottom));
  }
}

void TToolBar::WMSizeBar(TWMSize& m) {
  TWinControl::WMSize(m);
  UpdateButtonBounds();
}

void TToolBar::CNCommand(TWMCommand& m) {
  m.Result = 0;
  TToolButton* b = FindButton(m.ItemID);
  if (!b) return;
  b->down_ = SendMessageW(Handle(), TB_ISBUTTONCHECKED, WPARAM(b->commandId_), 0) != 0;
  b->Click();
}

LRESULT TToolBar::CustomDraw(NMCUSTOMDRAW& cd) {
  switch (cd.dwDrawStage) {
    case CDDS_PREPAINT: {
      LRESULT result = CDRF_DODEFAULT;
      if (OnCustomDraw) {
        bool defaultDraw = true;
        canvas_->PaintOn(cd.hdc, [&] { OnCustomDraw(this, ClientRect(), defaultDraw); });
        if (!defaultDraw) return CDRF_SKIPDEFAULT;
      }
      if (OnCustomDrawButton) result |= CDRF_NOTIFYITEMDRAW;
      return result;
    }
    case CDDS_ITEMPREPAINT: {
      TToolButton* b = FindButton(int(cd.dwItemSpec));
      if (!b || !OnCustomDrawButton) return CDRF_DODEFAULT;
      bool defaultDraw = true;
      canvas_->PaintOn(cd.hdc, [&] { OnCustomDrawButton(this, b, CustomDrawState(cd.uItemState), defaultDraw); });
      return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

void TToolBar::CNNotify(TWMNotify& m) {
  m.Result = 0;
  switch (m.NMHdr->code) {
    case NM_CUSTOMDRAW: m.Result = CustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(m.NMHdr)); break;
    case TBN_DROPDOWN: {
      auto* n = reinterpret_cast<NMTOOLBARW*>(m.NMHdr);
      TToolButton* b = FindButton(n->iItem);
      m.Result = TBDDRET_NODEFAULT;
      if (b && b->DropdownMenu()) {
        TPoint at = ClientToScreen({b->Left(), b->Top() + b->Height()});
        b->DropdownMenu()->Popup(at.X, at.Y);
        m.Result = TBDDRET_DEFAULT;
      }
      break;
    }
    default: break;
  }
}

void TToolBar::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TToolButton* b : buttons_)
    if (b->Owner() == root) proc(b);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root && !dyn<TToolButton>(c)) proc(c);
  }
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  if (menu_ && menuButtons_.empty()) {
    TMainMenu* m = menu_;
    menu_ = nullptr;
    SetMenu(m);
  }
  RecreateButtons();
}

KARO_BEGIN_MESSAGE_MAP(TToolBar)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
  KARO_MESSAGE(WM_SIZE, WMSizeBar)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TToolButton, TGraphicControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Caption(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::Visible(),
                 Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu),
                 Prop("Down", &TToolButton::Down, &TToolButton::SetDown).Default(0),
                 Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(0),
                 Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1),
                 Prop("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem),
                 Prop("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton),
                 TControlProps::OnClick())

KARO_CLASS_PROPS(TToolBar, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::Hint(), TControlProps::ShowHint(), TControlProps::TabOrder(), TControlProps::Visible(),
                 Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22),
                 Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23),
                 Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(0),
                 Prop("Images", &TToolBar::Images, &TToolBar::SetImages),
                 Prop("List", &TToolBar::List, &TToolBar::SetList).Default(0),
                 Prop("Menu", &TToolBar::Menu, &TToolBar::SetMenu),
                 Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(0),
                 Prop("OnCustomDraw", &TToolBar::OnCustomDraw, &TToolBar::OnCustomDraw),
                 Prop("OnCustomDrawButton", &TToolBar::OnCustomDrawButton, &TToolBar::OnCustomDrawButton))
