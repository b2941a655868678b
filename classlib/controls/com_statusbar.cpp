// The status bar over "msctls_statusbar32", with its panels or its simple text.
#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

// --- TStatusPanel ---

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const WideString& v) {
  if (text_ == v) return;
  text_ = v;
  Changed(false);
}

void TStatusPanel::SetWidth(int v) {
  v = std::max(0, v);
  if (width_ == v) return;
  width_ = v;
  Changed(true);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (bevel_ == v) return;
  bevel_ = v;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (style_ == v) return;
  style_ = v;
  Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Changed(false);
}

void TStatusPanel::SetBiDiMode(TBiDiMode v) {
  if (biDiMode_ == v) return;
  biDiMode_ = v;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* p = dyn<TStatusPanel>(source)) {
    text_ = p->text_;
    width_ = p->width_;
    bevel_ = p->bevel_;
    style_ = p->style_;
    alignment_ = p->alignment_;
    biDiMode_ = p->biDiMode_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

KARO_CLASS_PROPS(TStatusPanel, TCollectionItem,
                 Prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify),
                 Prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered),
                 Prop("BiDiMode", &TStatusPanel::BiDiMode, &TStatusPanel::SetBiDiMode).Default(bdLeftToRight),
                 Prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText),
                 Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText),
                 Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth))

KARO_CLASS_INFO(TControlCollection, TOwnedCollection)

// --- TStatusPanels ---

TStatusPanels::TStatusPanels(TCustomStatusBar* bar)
    : TControlCollection(bar, TStatusPanel::StaticClass(), [bar] { bar->UpdatePanels(); }) {}

KARO_CLASS_INFO(TStatusPanels, TControlCollection)

// --- TCustomStatusBar ---

KARO_CLASS_INFO(TCustomStatusBar, TWinControl)

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TCustomStatusBar::~TCustomStatusBar() {
  canvas_->SetControl(nullptr);
  // Freeing the panels must not write to the window that still exists.
  panels_->BeginUpdate();
  panels_.reset();
}

void TCustomStatusBar::SetSimplePanel(bool v) {
  if (simplePanel_ == v) return;
  simplePanel_ = v;
  if (HandleAllocated()) {
    SendMessageW(Handle(), SB_SIMPLE, v, 0);
    UpdatePanels();
  }
}

void TCustomStatusBar::SetSimpleText(const WideString& v) {
  if (simpleText_ == v) return;
  simpleText_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, LPARAM(simpleText_.c_str()));
}

void TCustomStatusBar::SetSizeGrip(bool v) { SetRecreating(this, sizeGrip_, v); }

void TCustomStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  // The control, not the system window, decides where the bar lies.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
  CreateSubClass(params, STATUSCLASSNAMEW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), SB_SIMPLE, simplePanel_, 0);
  SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, LPARAM(simpleText_.c_str()));
  UpdatePanels();
}

void TCustomStatusBar::UpdatePanels() {
  if (!HandleAllocated() || !panels_) return;
  int n = std::min(panels_->Count(), 255);  // the system's limit of parts
  std::vector<int> edges(size_t(std::max(n, 1)));
  int edge = 0;
  for (int i = 0; i < n; ++i) {
    edge += panels_->Items(i)->Width();
    edges[size_t(i)] = edge;
  }
  // The last panel reaches the right end, whatever its width.
  if (n > 0) edges[size_t(n - 1)] = -1;
  else edges[0] = -1;
  SendMessageW(Handle(), SB_SETPARTS, WPARAM(edges.size()), LPARAM(edges.data()));
  if (n == 0) SendMessageW(Handle(), SB_SETTEXTW, 0, LPARAM(L""));
  for (int i = 0; i < n; ++i) UpdatePanel(i);
}

void TCustomStatusBar::UpdatePanel(int index) {
  TStatusPanel* p = panels_->Items(index);
  WPARAM flags = WPARAM(index);
  if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
  else if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
  if (p->BiDiMode() != bdLeftToRight) flags |= SBT_RTLREADING;
  if (p->Style() == psOwnerDraw) {
    SendMessageW(Handle(), SB_SETTEXTW, flags | SBT_OWNERDRAW, LPARAM(p));
    return;
  }
  TAlignment align = p->Alignment();
  if (p->BiDiMode() == bdRightToLeft && align != taCenter)
    align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  // A tab before the text centres it, two put it at the right.
  WideString text = align == taCenter ? L"\t" : align == taRightJustify ? L"\t\t" : L"";
  text += p->Text();
  SendMessageW(Handle(), SB_SETTEXTW, flags, LPARAM(text.c_str()));
}

void TCustomStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel) {
    OnDrawPanel(this, panel, rect);
  } else {
    canvas_->FillRect(rect);
  }
}

void TCustomStatusBar::CNDrawItem(TWMDrawItem& m) {
  DRAWITEMSTRUCT* d = m.DrawItemStruct;
  m.Result = TRUE;
  if (!d || d->itemID >= UINT(panels_->Count())) return;
  TStatusPanel* panel = panels_->Items(int(d->itemID));
  TRect r = Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
  canvas_->PaintOn(d->hDC, [&] {
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetColor(clBtnFace);
    DrawPanel(panel, r);
  });
}

void TCustomStatusBar::WMSizeBar(TWMSize& m) {
  // The system bar keeps its parts until told again; the last one follows the width.
  TWinControl::WMSize(m);
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

KARO_BEGIN_MESSAGE_MAP(TCustomStatusBar)
  KARO_MESSAGE(CN_DRAWITEM, CNDrawItem)
  KARO_MESSAGE(WM_SIZE, WMSizeBar)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TStatusBar, TCustomStatusBar, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Color(), TControlProps::Font(),
                 TControlProps::ParentColor(), TControlProps::ParentFont(), TControlProps::Enabled(),
                 TControlProps::Hint(), TControlProps::ShowHint(), TControlProps::Visible(),
                 Prop("Panels", &TCustomStatusBar::Panels, &TCustomStatusBar::SetPanels),
                 Prop("SimplePanel", &TCustomStatusBar::SimplePanel, &TCustomStatusBar::SetSimplePanel).Default(0),
                 Prop("SimpleText", &TCustomStatusBar::SimpleText, &TCustomStatusBar::SetSimpleText),
                 Prop("SizeGrip", &TCustomStatusBar::SizeGrip, &TCustomStatusBar::SetSizeGrip).Default(1),
                 Prop("OnDrawPanel", &TCustomStatusBar::OnDrawPanel, &TCustomStatusBar::OnDrawPanel),
                 TControlProps::OnClick(), TControlProps::OnDblClick(), TControlProps::OnResize())
