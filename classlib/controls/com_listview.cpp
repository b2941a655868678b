// The list view over "SysListView32": columns, items with their sub-items, view styles and
// selection. The items live in the control's objects, so a re-created window gets them back.
#include <algorithm>

#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

namespace {
[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

// --- TListColumn ---

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

TCustomListView* TListColumn::ListView() const {
  auto* columns = dyn<TListColumns>(Collection());
  return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetCaption(const WideString& v) {
  if (caption_ == v) return;
  caption_ = v;
  Changed(false);
}

int TListColumn::Width() {
  TCustomListView* lv = ListView();
  if (lv && lv->HandleAllocated() && lv->ViewStyle() == vsReport)
    width_ = int(SendMessageW(lv->Handle(), LVM_GETCOLUMNWIDTH, WPARAM(Index()), 0));
  return width_;
}

void TListColumn::SetWidth(int v) {
  if (width_ == v) return;
  width_ = v;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Changed(false);
}

void TListColumn::Assign(TPersistent* source) {
  if (auto* c = dyn<TListColumn>(source)) {
    caption_ = c->caption_;
    width_ = c->width_;
    alignment_ = c->alignment_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

KARO_CLASS_PROPS(TListColumn, TCollectionItem,
                 Prop("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).Default(taLeftJustify),
                 Prop("Caption", &TListColumn::Caption, &TListColumn::SetCaption),
                 Prop("Width", &TListColumn::Width, &TListColumn::SetWidth))

TListColumns::TListColumns(TCustomListView* view)
    : TControlCollection(view, TListColumn::StaticClass(), [view] { view->UpdateColumns(); }) {}

TCustomListView* TListColumns::Owner() const { return static_cast<TCustomListView*>(TOwnedCollection::Owner()); }

KARO_CLASS_INFO(TListColumns, TControlCollection)

// --- TListItem ---

KARO_CLASS_INFO(TListItem, TPersistent)

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(std::make_unique<TWideStringList>()) {
  subItems_->OnChange = [this](TObject*) { Update(); };
}

TListItem::~TListItem() { subItems_->OnChange = nullptr; }

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Update() {
  int i = Index();
  if (i >= 0) owner_->view_->WriteItem(i, false);
}

void TListItem::SetCaption(const WideString& v) {
  if (caption_ == v) return;
  caption_ = v;
  Update();
}

void TListItem::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Update();
}

bool TListItem::Selected() const {
  TCustomListView* lv = owner_->view_;
  if (lv->HandleAllocated())
    return (SendMessageW(lv->Handle(), LVM_GETITEMSTATE, WPARAM(Index()), LVIS_SELECTED) & LVIS_SELECTED) != 0;
  return selected_;
}

void TListItem::SetSelected(bool v) {
  selected_ = v;
  TCustomListView* lv = owner_->view_;
  if (!lv->HandleAllocated()) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | (v ? LVIS_FOCUSED : 0);
  item.state = v ? item.stateMask : 0;
  SendMessageW(lv->Handle(), LVM_SETITEMSTATE, WPARAM(Index()), LPARAM(&item));
}

void TListItem::Delete() { owner_->Delete(Index()); }

// --- TListItems ---

KARO_CLASS_INFO(TListItems, TPersistent)

TListItems::~TListItems() = default;

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[size_t(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return int(i);
  return -1;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
  view_->WriteItem(index, true);
  return items_[size_t(index)].get();
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  if (view_->HandleAllocated()) SendMessageW(view_->Handle(), LVM_DELETEITEM, WPARAM(index), 0);
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  if (view_->HandleAllocated()) SendMessageW(view_->Handle(), LVM_DELETEALLITEMS, 0, 0);
  items_.clear();
}

void TListItems::BeginUpdate() {
  if (view_->updateCount_++ == 0 && view_->HandleAllocated()) SendMessageW(view_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (view_->updateCount_ == 0) return;
  if (--view_->updateCount_ == 0 && view_->HandleAllocated()) {
    SendMessageW(view_->Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view_->Handle(), nullptr, TRUE);
  }
}

// --- TCustomListView ---

KARO_CLASS_INFO(TCustomListView, TWinControl)

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
}

TCustomListView::~TCustomListView() {
  columns_->BeginUpdate();
  columns_.reset();
  items_.reset();
}

void TCustomListView::SetViewStyle(TViewStyle v) { SetRecreating(this, viewStyle_, v); }

void TCustomListView::SetReadOnly(bool v) { SetRecreating(this, readOnly_, v); }

void TCustomListView::SetRowSelect(bool v) {
  rowSelect_ = v;
  ApplyExtendedStyle();
}

void TCustomListView::SetGridLines(bool v) {
  gridLines_ = v;
  ApplyExtendedStyle();
}

void TCustomListView::SetMultiSelect(bool v) { SetRecreating(this, multiSelect_, v); }

void TCustomListView::SetHideSelection(bool v) { SetRecreating(this, hideSelection_, v); }

void TCustomListView::SetBorderStyle(TFormBorderStyle v) {
  if (v != bsNone) v = bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TCustomListView::SetLargeImages(TCustomImageList* v) {
  SetFreeNotified(this, largeImages_, v);
  if (HandleAllocated())
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(largeImages_ ? largeImages_->Handle() : nullptr));
}

void TCustomListView::SetSmallImages(TCustomImageList* v) {
  SetFreeNotified(this, smallImages_, v);
  if (HandleAllocated())
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(smallImages_ ? smallImages_->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != opRemove) return;
  if (c == largeImages_) SetLargeImages(nullptr);
  if (c == smallImages_) SetSmallImages(nullptr);
}

TListItem* TCustomListView::Selected() {
  if (HandleAllocated()) {
    int i = int(SendMessageW(Handle(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    return i >= 0 && i < items_->Count() ? items_->Item(i) : nullptr;
  }
  for (auto& it : items_->items_)
    if (it->selected_) return it.get();
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  for (auto& it : items_->items_)
    if (it.get() != item && it->Selected()) it->SetSelected(false);
  if (item) item->SetSelected(true);
}

int TCustomListView::SelCount() {
  if (HandleAllocated()) return int(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
  return int(std::count_if(items_->items_.begin(), items_->items_.end(), [](auto& it) { return it->selected_; }));
}

void TCustomListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  static const DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  params.Style |= LVS_SHAREIMAGELISTS | kViewStyles[viewStyle_];
  if (!readOnly_) params.Style |= LVS_EDITLABELS;
  if (!multiSelect_) params.Style |= LVS_SINGLESEL;
  if (!hideSelection_) params.Style |= LVS_SHOWSELALWAYS;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  CreateSubClass(params, WC_LISTVIEWW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyExtendedStyle();
  if (largeImages_) SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(largeImages_->Handle()));
  if (smallImages_) SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(smallImages_->Handle()));
  TScopedFlag quiet(silent_);
  UpdateColumns();
  WriteAllItems();
}

void TCustomListView::DestroyWnd() {
  // The selection goes with the window; the next window shows it again.
  if (HandleAllocated() && items_)
    for (auto& it : items_->items_) it->selected_ = it->Selected();
  {
    TScopedFlag quiet(silent_);
    TWinControl::DestroyWnd();
  }
}

void TCustomListView::ApplyExtendedStyle() {
  if (!HandleAllocated()) return;
  DWORD ex = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? LVS_EX_GRIDLINES : 0);
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated() || !columns_) return;
  HWND wnd = Handle();
  while (SendMessageW(wnd, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* c = columns_->Items(i);
    WideString text = c->Caption();
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = c->width_;
    col.iSubItem = i;
    // The first column of the system's list view is always left-aligned.
    col.fmt = i == 0 || c->Alignment() == taLeftJustify ? LVCFMT_LEFT
              : c->Alignment() == taRightJustify        ? LVCFMT_RIGHT
                                                        : LVCFMT_CENTER;
    SendMessageW(wnd, LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&col));
  }
  for (int i = 0; items_ && i < items_->Count(); ++i) WriteItem(i, false);
}

void TCustomListView::WriteItem(int index, bool insert) {
  if (!HandleAllocated() || !items_) return;
  TListItem* it = items_->Item(index);
  HWND wnd = Handle();
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = index;
  item.pszText = it->caption_.data();
  item.iImage = it->imageIndex_;
  item.stateMask = LVIS_SELECTED;
  item.state = insert && it->selected_ ? LVIS_SELECTED : 0;
  if (insert) {
    SendMessageW(wnd, LVM_INSERTITEMW, 0, LPARAM(&item));
  } else {
    item.mask &= ~UINT(LVIF_STATE);
    SendMessageW(wnd, LVM_SETITEMW, 0, LPARAM(&item));
  }
  // Every further column shows its sub-item, or nothing when the item has fewer.
  int columns = std::max(columns_ ? columns_->Count() : 0, it->subItems_->Count() + 1);
  for (int k = 1; k < columns; ++k) {
    WideString text = k - 1 < it->subItems_->Count() ? it->subItems_->Strings(k - 1) : WideString();
    LVITEMW sub{};
    sub.iSubItem = k;
    sub.pszText = text.data();
    SendMessageW(wnd, LVM_SETITEMTEXTW, WPARAM(index), LPARAM(&sub));
  }
}

void TCustomListView::WriteAllItems() {
  for (int i = 0; i < items_->Count(); ++i) WriteItem(i, true);
}

void TCustomListView::CNNotify(TWMNotify& m) {
  m.Result = 0;
  if (silent_ || !items_) return;
  switch (m.NMHdr->code) {
    case LVN_ITEMCHANGED: {
      auto* n = reinterpret_cast<NMLISTVIEW*>(m.NMHdr);
      if (!(n->uChanged & LVIF_STATE) || n->iItem < 0 || n->iItem >= items_->Count()) break;
      bool was = (n->uOldState & LVIS_SELECTED) != 0, now = (n->uNewState & LVIS_SELECTED) != 0;
      if (was == now) break;
      TListItem* item = items_->Item(n->iItem);
      item->selected_ = now;
      if (OnSelectItem && FiringEvents()) OnSelectItem(this, item, now);
      break;
    }
    case LVN_COLUMNCLICK: {
      auto* n = reinterpret_cast<NMLISTVIEW*>(m.NMHdr);
      if (n->iSubItem >= 0 && n->iSubItem < columns_->Count() && OnColumnClick && FiringEvents())
        OnColumnClick(this, columns_->Items(n->iSubItem));
      break;
    }
    case LVN_ENDLABELEDITW: {
      auto* n = reinterpret_cast<NMLVDISPINFOW*>(m.NMHdr);
      if (n->item.pszText && n->item.iItem >= 0 && n->item.iItem < items_->Count()) {
        items_->Item(n->item.iItem)->caption_ = n->item.pszText;
        m.Result = TRUE;
      }
      break;
    }
    default: break;
  }
}

KARO_BEGIN_MESSAGE_MAP(TCustomListView)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TListView, TCustomListView, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::Hint(), TControlProps::ShowHint(), TControlProps::PopupMenu(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("BorderStyle", &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle).Default(bsSingle),
                 Prop("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns),
                 Prop("GridLines", &TCustomListView::GridLines, &TCustomListView::SetGridLines).Default(0),
                 Prop("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection).Default(1),
                 Prop("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages),
                 Prop("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect).Default(0),
                 Prop("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly).Default(0),
                 Prop("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect).Default(0),
                 Prop("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages),
                 Prop("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle).Default(vsIcon),
                 TControlProps::OnClick(), TControlProps::OnDblClick(),
                 Prop("OnColumnClick", &TCustomListView::OnColumnClick, &TCustomListView::OnColumnClick),
                 Prop("OnSelectItem", &TCustomListView::OnSelectItem, &TCustomListView::OnSelectItem))
