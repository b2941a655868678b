// Tab controls over "SysTabControl32": TCustomTabControl, TTabControl, and TPageControl with
// its TTabSheet pages.
#include <algorithm>

#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

// --- TCustomTabControl ---

KARO_CLASS_INFO(TCustomTabControl, TWinControl)

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::SetTabPosition(TTabPosition v) { SetRecreating(this, tabPosition_, v); }

void TCustomTabControl::SetStyle(TTabStyle v) { SetRecreating(this, style_, v); }

void TCustomTabControl::SetMultiLine(bool v) { SetRecreating(this, multiLine_, v); }

void TCustomTabControl::SetImages(TCustomImageList* v) {
  SetFreeNotified(this, images_, v);
  if (HandleAllocated()) SendMessageW(Handle(), TCM_SETIMAGELIST, 0, LPARAM(images_ ? images_->Handle() : nullptr));
}

void TCustomTabControl::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op == opRemove && c == images_) SetImages(nullptr);
}

int TCustomTabControl::TabIndex() const {
  if (HandleAllocated()) return int(SendMessageW(const_cast<TCustomTabControl*>(this)->Handle(), TCM_GETCURSEL, 0, 0));
  return tabIndex_;
}

void TCustomTabControl::SetTabIndex(int v) {
  if (v < -1 || v >= TabCount()) v = -1;
  tabIndex_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, WPARAM(v), 0);
}

TRect TCustomTabControl::DisplayRect() {
  TRect client = ClientRect();
  if (!HandleAllocated()) return client;
  RECT r = ToRECT(client);
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, LPARAM(&r));
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | TCS_TABS;
  if (multiLine_) params.Style |= TCS_MULTILINE;
  switch (tabPosition_) {
    case tpTop: break;
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    // Side tabs need several rows in the system's tab control.
    case tpLeft: params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
  }
  if (style_ != tsTabs) params.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) params.Style |= TCS_FLATBUTTONS;
  CreateSubClass(params, WC_TABCONTROLW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (images_) SendMessageW(Handle(), TCM_SETIMAGELIST, 0, LPARAM(images_->Handle()));
  UpdateTabs();
}

void TCustomTabControl::UpdateTabs(bool keepSelection) {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  if (keepSelection && SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0) > 0)
    tabIndex_ = int(SendMessageW(wnd, TCM_GETCURSEL, 0, 0));
  SendMessageW(wnd, TCM_DELETEALLITEMS, 0, 0);
  int n = TabCount();
  for (int i = 0; i < n; ++i) {
    WideString text = TabText(i);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = TabImage(i);
    SendMessageW(wnd, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
  }
  SendMessageW(wnd, TCM_SETCURSEL, WPARAM(tabIndex_ < n ? tabIndex_ : -1), 0);
  Realign();
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging && FiringEvents()) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange && FiringEvents()) OnChange(this);
}

void TCustomTabControl::CNNotify(TWMNotify& m) {
  m.Result = 0;
  switch (m.NMHdr->code) {
    case TCN_SELCHANGING: m.Result = CanChange() ? FALSE : TRUE; break;
    case TCN_SELCHANGE:
      tabIndex_ = int(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
      Change();
      break;
    default: break;
  }
}

KARO_BEGIN_MESSAGE_MAP(TCustomTabControl)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

// --- TTabControl ---

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner), tabs_(std::make_unique<TWideStringList>()) {
  tabs_->OnChange = [this](TObject*) { UpdateTabs(); };
}

TTabControl::~TTabControl() { tabs_->OnChange = nullptr; }

// --- TTabSheet ---

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetColor(clBtnFace);
  // A sheet shows only while it is its page control's active page.
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
  auto* pc = dyn<TPageControl>(parent);
  if (pageControl_ && pageControl_ != pc) {
    TPageControl* old = pageControl_;
    pageControl_ = nullptr;
    old->RemovePage(this);
  }
  TWinControl::SetParent(parent);
  if (pc && pageControl_ != pc) {
    pageControl_ = pc;
    pc->InsertPage(this);
  }
}

void TTabSheet::SetPageControl(TPageControl* v) { SetParent(v); }

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (pageControl_) pageControl_->MovePage(this, v);
}

int TTabSheet::TabIndex() const { return pageControl_ ? pageControl_->TabOfSheet(this) : -1; }

void TTabSheet::SetTabVisible(bool v) {
  if (tabVisible_ == v) return;
  tabVisible_ = v;
  if (pageControl_) pageControl_->TabsChanged();
}

void TTabSheet::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (pageControl_) pageControl_->TabsChanged();
}

void TTabSheet::SetCaption(const WideString& v) { SetText(v); }

void TTabSheet::CMShowingChangedSheet(TMessage& m) {
  TWinControl::CMShowingChanged(m);
  if (!FiringEvents()) return;
  if (Showing()) {
    if (OnShow) OnShow(this);
  } else if (OnHide) {
    OnHide(this);
  }
}

void TTabSheet::CMTextChangedSheet(TMessage&) {
  if (pageControl_) pageControl_->TabsChanged();
}

KARO_BEGIN_MESSAGE_MAP(TTabSheet)
  KARO_MESSAGE(CM_SHOWINGCHANGED, CMShowingChangedSheet)
  KARO_MESSAGE(CM_TEXTCHANGED, CMTextChangedSheet)
KARO_END_MESSAGE_MAP(TWinControl)

// --- TPageControl ---

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
  // The sheets go with the children, after this part of the object: they must not call back.
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return pages_[size_t(index)];
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[size_t(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  if (page == activePage_) return;
  TTabSheet* old = activePage_;
  activePage_ = page;
  if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, WPARAM(TabOfSheet(page)), 0);
  tabIndex_ = TabOfSheet(page);
  if (page) {
    if (HandleAllocated()) page->SetBoundsRect(DisplayRect());
    page->BringToFront();
    page->SetVisible(true);
  }
  if (old && old != page) old->SetVisible(false);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? n - 1 : 0) : int(it - pages_.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* p = pages_[size_t(i)];
    if (!checkTabVisible || p->TabVisible()) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page && page != activePage_ && CanChange()) {
    SetActivePage(page);
    TCustomTabControl::Change();
  }
}

int TPageControl::TabCount() const {
  return int(std::count_if(pages_.begin(), pages_.end(), [](TTabSheet* p) { return p->TabVisible(); }));
}

TTabSheet* TPageControl::SheetOfTab(int tab) const {
  if (tab < 0) return nullptr;
  for (TTabSheet* p : pages_)
    if (p->TabVisible() && tab-- == 0) return p;
  return nullptr;
}

int TPageControl::TabOfSheet(const TTabSheet* sheet) const {
  if (!sheet || !sheet->TabVisible()) return -1;
  int tab = 0;
  for (TTabSheet* p : pages_) {
    if (p == sheet) return tab;
    if (p->TabVisible()) ++tab;
  }
  return -1;
}

WideString TPageControl::TabText(int index) const {
  TTabSheet* p = SheetOfTab(index);
  return p ? p->Caption() : WideString();
}

int TPageControl::TabImage(int index) const {
  TTabSheet* p = SheetOfTab(index);
  return p ? p->ImageIndex() : -1;
}

bool TPageControl::CanChange() { return TCustomTabControl::CanChange(); }

void TPageControl::Change() {
  if (HandleAllocated()) {
    TTabSheet* page = SheetOfTab(int(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)));
    if (page) SetActivePage(page);
  }
  TCustomTabControl::Change();
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = page == activePage_ ? FindNextPage(page, true, true) : activePage_;
  pages_.erase(it);
  if (page == activePage_) {
    activePage_ = nullptr;
    if (next == page) next = nullptr;
    if (!HasState(csDestroying)) SetActivePage(next);
  }
  if (!HasState(csDestroying)) TabsChanged();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, int(pages_.size()));
  pages_.insert(pages_.begin() + index, page);
  TabsChanged();
}

void TPageControl::TabsChanged() {
  tabIndex_ = TabOfSheet(activePage_);
  UpdateTabs(false);
}

void TPageControl::PlaceSheets() {
  // Without a window the area inside the tabs is unknown: the sheets keep their bounds.
  if (!HandleAllocated()) return;
  TRect r = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBoundsRect(r);
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
  PlaceSheets();
  TCustomTabControl::AlignControls(control, rect);
}

void TPageControl::CreateWnd() {
  TCustomTabControl::CreateWnd();
  TabsChanged();
  PlaceSheets();
}

void TPageControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // Pages in page order: the reader gives them back in the order written.
  for (TTabSheet* p : pages_)
    if (p->Owner() == root) proc(p);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root && !dyn<TTabSheet>(c)) proc(c);
  }
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  TabsChanged();
}

void TPageControl::CMDialogKeyPages(TWMKey& m) {
  HWND focus = GetFocus();
  bool inside = HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus));
  if (inside && m.CharCode == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    m.Result = 1;
    return;
  }
  TCustomTabControl::Dispatch(m.Message);
}

KARO_BEGIN_MESSAGE_MAP(TPageControl)
  KARO_MESSAGE(CM_DIALOGKEY, CMDialogKeyPages)
KARO_END_MESSAGE_MAP(TCustomTabControl)

namespace {
// The published properties that the tab control and the page control share.
struct TTabProps {
  static TPropInfo Images() { return Prop("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages); }
  static TPropInfo MultiLine() {
    return Prop("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine).Default(0);
  }
  static TPropInfo Style() {
    return Prop("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle).Default(tsTabs);
  }
  static TPropInfo TabPosition() {
    return Prop("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition).Default(tpTop);
  }
  static TPropInfo OnChange() { return Prop("OnChange", &TCustomTabControl::OnChange, &TCustomTabControl::OnChange); }
  static TPropInfo OnChanging() {
    return Prop("OnChanging", &TCustomTabControl::OnChanging, &TCustomTabControl::OnChanging);
  }
};
}  // namespace

KARO_CLASS_PROPS(TTabControl, TCustomTabControl, TControlProps::Left(), TControlProps::Top(),
                 TControlProps::Width(), TControlProps::Height(), TControlProps::Align(), TControlProps::Font(),
                 TControlProps::ParentFont(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::TabOrder(), TControlProps::TabStop(),
                 TControlProps::Visible(), TTabProps::Images(), TTabProps::MultiLine(), TTabProps::Style(),
                 TTabProps::TabPosition(), Prop("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs),
                 Prop("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex).Default(-1),
                 TTabProps::OnChange(), TTabProps::OnChanging())

KARO_CLASS_PROPS(TTabSheet, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Caption(), TControlProps::Font(),
                 TControlProps::ParentFont(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(),
                 Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1),
                 Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(1),
                 Prop("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).NotStored(),
                 Prop("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl).NotStored(),
                 Prop("OnShow", &TTabSheet::OnShow, &TTabSheet::OnShow),
                 Prop("OnHide", &TTabSheet::OnHide, &TTabSheet::OnHide))

KARO_CLASS_PROPS(TPageControl, TCustomTabControl, TControlProps::Left(), TControlProps::Top(),
                 TControlProps::Width(), TControlProps::Height(), TControlProps::Align(), TControlProps::Font(),
                 TControlProps::ParentFont(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::TabOrder(), TControlProps::TabStop(),
                 TControlProps::Visible(), Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage),
                 Prop("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex)
                     .NotStored(),
                 TTabProps::Images(), TTabProps::MultiLine(), TTabProps::Style(), TTabProps::TabPosition(),
                 TTabProps::OnChange(), TTabProps::OnChanging())
