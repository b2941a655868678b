// The tree view over "SysTreeView32" with its nodes. The nodes live in the control's objects,
// so a re-created window gets them back, expanded as they were.
#include <algorithm>
#include <functional>

#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

// --- TTreeNode ---

KARO_CLASS_INFO(TTreeNode, TPersistent)

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return children_[size_t(index)].get();
}

int TTreeNode::Index() const {
  const auto& list = parent_ ? parent_->children_ : owner_->roots_;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return int(i);
  return -1;
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

namespace {
HWND TreeWindow(TTreeNodes* nodes) {
  TCustomTreeView* tv = nodes->Owner();
  return tv && tv->HandleAllocated() ? tv->Handle() : nullptr;
}
}  // namespace

void TTreeNode::SetText(const WideString& v) {
  text_ = v;
  if (HWND wnd = TreeWindow(owner_); wnd && item_) {
    TVITEMW it{};
    it.mask = TVIF_TEXT;
    it.hItem = item_;
    it.pszText = text_.data();
    SendMessageW(wnd, TVM_SETITEMW, 0, LPARAM(&it));
  }
}

void TTreeNode::SetImageIndex(int v) {
  imageIndex_ = v;
  if (HWND wnd = TreeWindow(owner_); wnd && item_) {
    TVITEMW it{};
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    it.hItem = item_;
    it.iImage = it.iSelectedImage = v;
    SendMessageW(wnd, TVM_SETITEMW, 0, LPARAM(&it));
  }
}

bool TTreeNode::Expanded() const {
  if (HWND wnd = TreeWindow(owner_); wnd && item_)
    return (SendMessageW(wnd, TVM_GETITEMSTATE, WPARAM(item_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  return expanded_;
}

void TTreeNode::SetExpanded(bool v) {
  expanded_ = v;
  if (HWND wnd = TreeWindow(owner_); wnd && item_)
    SendMessageW(wnd, TVM_EXPAND, v ? TVE_EXPAND : TVE_COLLAPSE, LPARAM(item_));
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (auto& c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return owner_->Owner()->Selected() == this; }

void TTreeNode::SetSelected(bool v) {
  TCustomTreeView* tv = owner_->Owner();
  if (v) tv->SetSelected(this);
  else if (tv->Selected() == this) tv->SetSelected(nullptr);
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::WriteToWindow(HTREEITEM after) {
  HWND wnd = TreeWindow(owner_);
  if (!wnd) return;
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent_ ? parent_->item_ : TVI_ROOT;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = text_.data();
  ins.item.iImage = ins.item.iSelectedImage = imageIndex_;
  item_ = HTREEITEM(SendMessageW(wnd, TVM_INSERTITEMW, 0, LPARAM(&ins)));
  for (auto& c : children_) c->WriteToWindow(TVI_LAST);
  if (expanded_ && !children_.empty()) SendMessageW(wnd, TVM_EXPAND, TVE_EXPAND, LPARAM(item_));
}

// --- TTreeNodes ---

KARO_CLASS_INFO(TTreeNodes, TPersistent)

TTreeNodes::~TTreeNodes() = default;

int TTreeNodes::Count() const {
  int n = 0;
  std::function<void(TTreeNode*)> count = [&](TTreeNode* node) {
    ++n;
    for (int i = 0; i < node->Count(); ++i) count(node->Item(i));
  };
  for (auto& r : roots_) count(r.get());
  return n;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int n = 0;
  TTreeNode* found = nullptr;
  std::function<bool(TTreeNode*)> visit = [&](TTreeNode* node) {
    if (n++ == index) {
      found = node;
      return true;
    }
    for (int i = 0; i < node->Count(); ++i)
      if (visit(node->Item(i))) return true;
    return false;
  };
  for (auto& r : roots_)
    if (visit(r.get())) return found;
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TTreeNode* TTreeNodes::Root(int index) const {
  if (index < 0 || index >= RootCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return roots_[size_t(index)].get();
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const WideString& text) {
  auto& list = ListOf(parent);
  list.push_back(std::make_unique<TTreeNode>(this, parent));
  TTreeNode* node = list.back().get();
  node->text_ = text;
  if (!parent || parent->item_) node->WriteToWindow(TVI_LAST);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const WideString& text) {
  return AddChild(sibling ? sibling->Parent() : nullptr, text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this) return;
  TCustomTreeView* tv = view_;
  for (TTreeNode* p = tv->selected_; p; p = p->parent_)
    if (p == node) {
      tv->selected_ = nullptr;
      break;
    }
  if (HWND wnd = TreeWindow(this); wnd && node->item_) {
    TScopedFlag quiet(tv->silent_);  // no selection events for a node that is going
    SendMessageW(wnd, TVM_DELETEITEM, 0, LPARAM(node->item_));
  }
  auto& list = ListOf(node->parent_);
  list.erase(std::find_if(list.begin(), list.end(), [node](auto& p) { return p.get() == node; }));
}

void TTreeNodes::Clear() {
  view_->selected_ = nullptr;
  if (HWND wnd = TreeWindow(this)) {
    TScopedFlag quiet(view_->silent_);
    SendMessageW(wnd, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
  }
  roots_.clear();
}

TTreeNode* TTreeNodes::FindNode(HTREEITEM item) const {
  if (!item) return nullptr;
  TTreeNode* found = nullptr;
  std::function<bool(TTreeNode*)> visit = [&](TTreeNode* node) {
    if (node->item_ == item) {
      found = node;
      return true;
    }
    for (auto& c : node->children_)
      if (visit(c.get())) return true;
    return false;
  };
  for (auto& r : roots_)
    if (visit(r.get())) break;
  return found;
}

// --- TCustomTreeView ---

KARO_CLASS_INFO(TCustomTreeView, TWinControl)

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
}

TCustomTreeView::~TCustomTreeView() {
  selected_ = nullptr;
  items_.reset();
}

TTreeNode* TCustomTreeView::Selected() {
  if (HandleAllocated())
    selected_ = items_->FindNode(HTREEITEM(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
  return selected_;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node && node->owner_ != items_.get()) return;
  selected_ = node;
  if (HandleAllocated()) SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, LPARAM(node ? node->item_ : nullptr));
}

void TCustomTreeView::SetShowButtons(bool v) { SetRecreating(this, showButtons_, v); }

void TCustomTreeView::SetShowLines(bool v) { SetRecreating(this, showLines_, v); }

void TCustomTreeView::SetShowRoot(bool v) { SetRecreating(this, showRoot_, v); }

void TCustomTreeView::SetReadOnly(bool v) { SetRecreating(this, readOnly_, v); }

void TCustomTreeView::SetHideSelection(bool v) { SetRecreating(this, hideSelection_, v); }

void TCustomTreeView::SetBorderStyle(TFormBorderStyle v) {
  if (v != bsNone) v = bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TCustomTreeView::SetImages(TCustomImageList* v) {
  SetFreeNotified(this, images_, v);
  if (HandleAllocated())
    SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(images_ ? images_->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op == opRemove && c == images_) SetImages(nullptr);
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  if (showButtons_) params.Style |= TVS_HASBUTTONS;
  if (showLines_) params.Style |= TVS_HASLINES;
  if (showRoot_) params.Style |= TVS_LINESATROOT;
  if (!readOnly_) params.Style |= TVS_EDITLABELS;
  if (!hideSelection_) params.Style |= TVS_SHOWSELALWAYS;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  CreateSubClass(params, WC_TREEVIEWW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  if (images_) SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(images_->Handle()));
  TTreeNode* sel = selected_;
  TScopedFlag quiet(silent_);
  for (auto& r : items_->roots_) r->WriteToWindow(TVI_LAST);
  if (sel) SetSelected(sel);
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated() && items_) {
    Selected();
    std::function<void(TTreeNode*)> keep = [&](TTreeNode* node) {
      node->expanded_ = node->Expanded();
      for (auto& c : node->children_) keep(c.get());
    };
    for (auto& r : items_->roots_) keep(r.get());
  }
  {
    TScopedFlag quiet(silent_);
    TWinControl::DestroyWnd();
  }
  if (!items_) return;
  std::function<void(TTreeNode*)> forget = [&](TTreeNode* node) {
    node->item_ = nullptr;
    for (auto& c : node->children_) forget(c.get());
  };
  for (auto& r : items_->roots_) forget(r.get());
}

void TCustomTreeView::CNNotify(TWMNotify& m) {
  m.Result = 0;
  if (silent_ || !items_) return;
  switch (m.NMHdr->code) {
    case TVN_SELCHANGINGW: {
      auto* n = reinterpret_cast<NMTREEVIEWW*>(m.NMHdr);
      if (OnChanging && FiringEvents()) {
        bool allow = true;
        OnChanging(this, items_->FindNode(n->itemNew.hItem), allow);
        m.Result = allow ? FALSE : TRUE;
      }
      break;
    }
    case TVN_SELCHANGEDW: {
      auto* n = reinterpret_cast<NMTREEVIEWW*>(m.NMHdr);
      selected_ = items_->FindNode(n->itemNew.hItem);
      if (OnChange && FiringEvents()) OnChange(this, selected_);
      break;
    }
    case TVN_ITEMEXPANDEDW: {
      auto* n = reinterpret_cast<NMTREEVIEWW*>(m.NMHdr);
      TTreeNode* node = items_->FindNode(n->itemNew.hItem);
      if (!node) break;
      node->expanded_ = (n->action & TVE_EXPAND) != 0;
      const TTVExpandedEvent& event = node->expanded_ ? OnExpanded : OnCollapsed;
      if (event && FiringEvents()) event(this, node);
      break;
    }
    case TVN_ENDLABELEDITW: {
      auto* n = reinterpret_cast<NMTVDISPINFOW*>(m.NMHdr);
      if (TTreeNode* node = items_->FindNode(n->item.hItem); node && n->item.pszText) {
        node->text_ = n->item.pszText;
        m.Result = TRUE;
      }
      break;
    }
    default: break;
  }
}

KARO_BEGIN_MESSAGE_MAP(TCustomTreeView)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TTreeView, TCustomTreeView, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::Hint(), TControlProps::ShowHint(), TControlProps::PopupMenu(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle).Default(bsSingle),
                 Prop("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(1),
                 Prop("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages),
                 Prop("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(0),
                 Prop("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(1),
                 Prop("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(1),
                 Prop("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(1),
                 TControlProps::OnClick(), TControlProps::OnDblClick(),
                 Prop("OnChange", &TCustomTreeView::OnChange, &TCustomTreeView::OnChange),
                 Prop("OnChanging", &TCustomTreeView::OnChanging, &TCustomTreeView::OnChanging),
                 Prop("OnCollapsed", &TCustomTreeView::OnCollapsed, &TCustomTreeView::OnCollapsed),
                 Prop("OnExpanded", &TCustomTreeView::OnExpanded, &TCustomTreeView::OnExpanded))
