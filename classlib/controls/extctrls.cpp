#include "classlib/controls/extctrls.h"

#include <algorithm>

#include "classlib/core/filer.h"
#include "classlib/graphics/gdi_handles.h"

void BevelColors(TBevelCut cut, TColor face, TColor& topLeft, TColor& bottomRight) {
  switch (cut) {
    case bvLowered:
      topLeft = clBtnShadow;
      bottomRight = clBtnHighlight;
      break;
    case bvRaised:
      topLeft = clBtnHighlight;
      bottomRight = clBtnShadow;
      break;
    default:
      topLeft = bottomRight = face;
      break;
  }
}

void Frame3D(HDC dc, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
  TBrushHandle tl(CreateSolidBrush(GdiColor(topLeft))), br(CreateSolidBrush(GdiColor(bottomRight)));
  for (int i = 0; i < width && rect.Width() > 0 && rect.Height() > 0; ++i) {
    RECT top{rect.Left, rect.Top, rect.Right - 1, rect.Top + 1}, left{rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1};
    RECT bottom{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, right{rect.Right - 1, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &top, tl.get());
    FillRect(dc, &left, tl.get());
    FillRect(dc, &bottom, br.get());
    FillRect(dc, &right, br.get());
    rect = Rect(rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
  }
}

TRect PictureRect(const TRect& client, int w, int h, bool stretch, bool center, bool proportional) {
  int cw = client.Width(), ch = client.Height();
  if (w <= 0 || h <= 0) return Rect(client.Left, client.Top, client.Left, client.Top);
  if (proportional && (w > cw || h > ch) && cw > 0 && ch > 0) {
    // Scaled down by the tighter of the two ratios.
    if (int64_t(cw) * h < int64_t(ch) * w) {
      h = int(int64_t(h) * cw / w);
      w = cw;
    } else {
      w = int(int64_t(w) * ch / h);
      h = ch;
    }
  } else if (stretch) {
    if (!proportional) return client;
    // Proportional stretching grows the picture too, keeping its shape.
    if (int64_t(cw) * h < int64_t(ch) * w) {
      h = int(int64_t(h) * cw / w);
      w = cw;
    } else {
      w = int(int64_t(w) * ch / h);
      h = ch;
    }
  }
  int x = client.Left, y = client.Top;
  if (center) {
    x += (cw - w) / 2;
    y += (ch - h) / 2;
  }
  return Rect(x, y, x + w, y + h);
}

// ============================================================================================
// TPicture

TPicture::TPicture() : bitmap_(std::make_unique<TBitmap>()) {
  bitmap_->OnChange = [this](TObject*) {
    if (OnChange) OnChange(this);
  };
}

TPicture::~TPicture() = default;

void TPicture::SetBitmap(TBitmap* v) {
  if (v) bitmap_->Assign(v);
  else bitmap_->SetSize(0, 0);
  if (OnChange) OnChange(this);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  bitmap_->LoadFromFile(fileName);
  if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetBitmap(nullptr);
  } else if (auto* p = dyn<TPicture>(source)) {
    SetBitmap(p->Bitmap()->Empty() ? nullptr : p->Bitmap());
  } else if (auto* b = dyn<TBitmap>(source)) {
    SetBitmap(b);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::ReadData(TStream& stream) {
  uint8_t len = 0;
  if (stream.Read(&len, 1) != 1) throw EReadError("Picture data is empty");
  std::string name(len, '\0');
  if (len) stream.ReadBuffer(name.data(), len);
  if (name != "TBitmap") throw EReadError("Picture data of class " + name + " cannot be read");
  TMemoryStream rest;
  std::string bytes = ReadStreamToEnd(stream);
  WriteStreamBytes(rest, bytes);
  rest.SetPosition(0);
  bitmap_->LoadFromStream(rest);
  if (OnChange) OnChange(this);
}

void TPicture::WriteData(TStream& stream) {
  const std::string name = "TBitmap";
  uint8_t len = uint8_t(name.size());
  stream.WriteBuffer(&len, 1);
  stream.WriteBuffer(name.data(), int32_t(name.size()));
  bitmap_->SaveToStream(stream);
}

void TPicture::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, !bitmap_->Empty());
}

KARO_CLASS_INFO(TPicture, TPersistent)

// ============================================================================================
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable);
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
  bevelInner_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  bevelOuter_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int v) {
  bevelWidth_ = std::max(v, 1);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int v) {
  borderWidth_ = std::max(v, 0);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  v = v == bsNone ? bsNone : bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomPanel::SetParentBackground(bool v) {
  SetControlStyle(v ? ControlStyle() | csParentBackground : ControlStyle() & ~TControlStyle(csParentBackground));
  Invalidate();
}

TRect TCustomPanel::AlignRect() {
  TRect r = ClientRect();
  int inset = borderWidth_ + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
  r = Rect(r.Left + inset, r.Top + inset, std::max(r.Left + inset, r.Right - inset),
           std::max(r.Top + inset, r.Bottom - inset));
  return r;
}

void TCustomPanel::DrawParentBackground(HDC dc) {
  TWinControl* parent = Parent();
  if (!parent || !parent->HandleAllocated()) return;
  TSavedDC saved(dc);
  POINT org{};
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x + Left(), org.y + Top(), nullptr);
  SendMessageW(parent->Handle(), WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
}

void TCustomPanel::WMEraseBkgnd(TWMEraseBkgnd& m) {
  // Paint fills everything; erasing first would only flicker.
  m.Result = 1;
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  TRect r = ClientRect();
  if (ParentBackground()) DrawParentBackground(dc);
  TColor tl, br;
  if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_, Color(), tl, br);
    Frame3D(dc, r, tl, br, bevelWidth_);
  }
  if (!ParentBackground()) {
    TBrushHandle face(CreateSolidBrush(GdiColor(Color())));
    RECT whole = ToRECT(r);
    FillRect(dc, &whole, face.get());
  }
  r = Rect(r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_, Color(), tl, br);
    Frame3D(dc, r, tl, br, bevelWidth_);
  }
  WideString text = Caption();
  if (text.empty()) return;
  TSavedDC saved(dc);
  SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GdiColor(Enabled() ? Font()->Color() : clBtnShadow));
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  RECT tr = ToRECT(r);
  DrawTextW(dc, text.c_str(), int(text.size()), &tr,
            DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | kAlign[alignment_] |
                (UseRightToLeftReading() ? DT_RTLREADING : 0));
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

KARO_BEGIN_MESSAGE_MAP(TCustomPanel)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
KARO_END_MESSAGE_MAP(TCustomControl)

// ============================================================================================
// TCustomRadioGroup

TGroupButton::TGroupButton(TCustomRadioGroup* group) : TRadioButton(group) {
  SetVisible(false);
  SetEnabled(group->Enabled());
  OnClick = [group](TObject* sender) { group->ButtonClick(sender); };
  SetParent(group);
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TWideStringList>()) {
  SetControlStyle(ControlStyle() & ~TControlStyle(csAcceptsControls));
  items_->OnChange = [this](TObject*) {
    if (!IsLoading()) {
      UpdateButtons();
      Invalidate();
    }
  };
}

TCustomRadioGroup::~TCustomRadioGroup() {
  items_->OnChange = nullptr;
  // The buttons go with the group as components it owns; the list must not outlive them.
  buttons_.clear();
}

void TCustomRadioGroup::ButtonClick(TObject* sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end()) return;
  itemIndex_ = int(it - buttons_.begin());
  if (FiringEvents()) Click();
}

void TCustomRadioGroup::SetItemIndex(int v) {
  if (IsLoading()) {
    itemIndex_ = v;
    return;
  }
  v = std::clamp(v, -1, int(buttons_.size()) - 1);
  if (v == itemIndex_) return;
  if (itemIndex_ >= 0 && size_t(itemIndex_) < buttons_.size()) {
    updating_ = true;
    buttons_[size_t(itemIndex_)]->SetChecked(false);
    updating_ = false;
  }
  itemIndex_ = v;
  if (v >= 0) buttons_[size_t(v)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int v) {
  v = std::clamp(v, 1, 16);
  if (columns_ == v) return;
  columns_ = v;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::UpdateButtons() {
  updating_ = true;
  while (buttons_.size() > size_t(items_->Count())) {
    TGroupButton* b = buttons_.back();
    buttons_.pop_back();
    b->Free();
  }
  while (buttons_.size() < size_t(items_->Count())) buttons_.push_back(new TGroupButton(this));
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetCaption(items_->Strings(int(i)));
    buttons_[i]->SetChecked(int(i) == itemIndex_);
  }
  updating_ = false;
  if (itemIndex_ >= int(buttons_.size())) itemIndex_ = -1;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  int count = int(buttons_.size());
  int perColumn = (count + columns_ - 1) / columns_;
  int buttonWidth = std::max((Width() - 10) / columns_, 0);
  int textHeight = FontTextHeight(Font());
  int room = std::max(Height() - textHeight - 5, 0);
  int buttonHeight = room / perColumn;
  int topMargin = textHeight + 1 + (room % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    TGroupButton* b = buttons_[size_t(i)];
    b->SetBiDiMode(BiDiMode());
    int left = (i / perColumn) * buttonWidth + 8;
    if (UseRightToLeftAlignment()) left = Width() - left - buttonWidth;
    b->SetBounds(left, (i % perColumn) * buttonHeight + topMargin, buttonWidth, buttonHeight);
    b->SetVisible(true);
  }
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  int wanted = itemIndex_;
  itemIndex_ = -1;
  UpdateButtons();
  SetItemIndex(wanted);
}

void TCustomRadioGroup::Resize() {
  TCustomGroupBox::Resize();
  ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& m) {
  TCustomGroupBox::Dispatch(m);
  for (TGroupButton* b : buttons_) b->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged(TMessage& m) {
  TCustomGroupBox::Dispatch(m);
  ArrangeButtons();
}

KARO_BEGIN_MESSAGE_MAP(TCustomRadioGroup)
  KARO_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
  KARO_MESSAGE(CM_FONTCHANGED, CMFontChanged)
KARO_END_MESSAGE_MAP(TCustomGroupBox)

// ============================================================================================
// TScrollBox

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(true);
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TScrollBox::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
  v = v == bsNone ? bsNone : bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TScrollBox::SetAutoScroll(bool v) {
  if (autoScroll_ == v) return;
  autoScroll_ = v;
  if (!v) ScrollTo(0, 0);
  UpdateScrollBars();
}

void TScrollBox::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
  if (updating_ || !HandleAllocated()) return;
  updating_ = true;
  // How far the children reach, in unscrolled coordinates.
  TPoint extent{};
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    extent.X = std::max(extent.X, c->Left() + c->Width() + pos_.X);
    extent.Y = std::max(extent.Y, c->Top() + c->Height() + pos_.Y);
  }
  range_ = autoScroll_ ? extent : TPoint{};
  // Showing one bar takes room from the other direction; two passes settle it.
  for (int pass = 0; pass < 2; ++pass) {
    RECT cr{};
    GetClientRect(Handle(), &cr);
    for (int bar : {SB_HORZ, SB_VERT}) {
      int range = bar == SB_HORZ ? range_.X : range_.Y;
      int page = bar == SB_HORZ ? cr.right : cr.bottom;
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = range > page ? range - 1 : 0;
      si.nPage = range > page ? UINT(page) : 0;
      si.nPos = bar == SB_HORZ ? pos_.X : pos_.Y;
      SetScrollInfo(Handle(), bar, &si, TRUE);
      ShowScrollBar(Handle(), bar, range > page);
    }
  }
  RECT cr{};
  GetClientRect(Handle(), &cr);
  updating_ = false;
  int maxX = std::max(0, range_.X - int(cr.right)), maxY = std::max(0, range_.Y - int(cr.bottom));
  if (pos_.X > maxX || pos_.Y > maxY) ScrollTo(std::min(pos_.X, maxX), std::min(pos_.Y, maxY));
}

void TScrollBox::ScrollTo(int x, int y) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  int dx = pos_.X - x, dy = pos_.Y - y;
  if (!dx && !dy) return;
  pos_ = {x, y};
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  EnableAlign();
  if (HandleAllocated()) {
    SetScrollPos(Handle(), SB_HORZ, pos_.X, TRUE);
    SetScrollPos(Handle(), SB_VERT, pos_.Y, TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TScrollBox::ScrollInView(TControl* control) {
  if (!control || control->Parent() != this || !HandleAllocated()) return;
  RECT cr{};
  GetClientRect(Handle(), &cr);
  int x = pos_.X, y = pos_.Y;
  if (control->Left() < 0) x += control->Left();
  else if (control->Left() + control->Width() > cr.right) x += control->Left() + control->Width() - cr.right;
  if (control->Top() < 0) y += control->Top();
  else if (control->Top() + control->Height() > cr.bottom) y += control->Top() + control->Height() - cr.bottom;
  ScrollTo(x, y);
}

void TScrollBox::WMScroll(TWMScroll& m) {
  // A scroll-bar child's notification is reflected to it as for any window.
  if (m.ScrollBar) {
    TWinControl::Dispatch(m.Message);
    return;
  }
  bool horz = m.Message.Msg == WM_HSCROLL;
  RECT cr{};
  GetClientRect(Handle(), &cr);
  int page = horz ? cr.right : cr.bottom;
  int range = horz ? range_.X : range_.Y;
  int pos = horz ? pos_.X : pos_.Y;
  constexpr int kLine = 8;
  switch (m.ScrollCode) {
    case SB_LINEUP: pos -= kLine; break;
    case SB_LINEDOWN: pos += kLine; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      pos = GetScrollInfo(Handle(), horz ? SB_HORZ : SB_VERT, &si) ? si.nTrackPos : m.Pos;
      break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range; break;
    default: return;
  }
  pos = std::clamp(pos, 0, std::max(0, range - page));
  if (horz) ScrollTo(pos, pos_.Y);
  else ScrollTo(pos_.X, pos);
  m.Result = 0;
}

void TScrollBox::WMMouseWheel(TMessage& m) {
  TWMMouseWheel w(m);
  RECT cr{};
  GetClientRect(Handle(), &cr);
  int pos = pos_.Y - w.WheelDelta / WHEEL_DELTA * 3 * 8;
  ScrollTo(pos_.X, std::clamp(pos, 0, std::max(0, range_.Y - int(cr.bottom))));
  m.Result = 1;
}

KARO_BEGIN_MESSAGE_MAP(TScrollBox)
  KARO_MESSAGE(WM_HSCROLL, WMScroll)
  KARO_MESSAGE(WM_VSCROLL, WMScroll)
  KARO_MESSAGE(WM_MOUSEWHEEL, WMMouseWheel)
KARO_END_MESSAGE_MAP(TWinControl)

// ============================================================================================
// TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
  picture_->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::PictureChanged(TObject*) {
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  bool opaque = !transparent_ && picture_->Graphic() && (stretch_ || (picture_->Width() >= Width() &&
                                                                      picture_->Height() >= Height()));
  SetControlStyle(opaque ? ControlStyle() | csOpaque : ControlStyle() & ~TControlStyle(csOpaque));
  Invalidate();
}

void TImage::SetStretch(bool v) {
  stretch_ = v;
  PictureChanged(nullptr);
}

void TImage::SetCenter(bool v) {
  center_ = v;
  PictureChanged(nullptr);
}

void TImage::SetProportional(bool v) {
  proportional_ = v;
  PictureChanged(nullptr);
}

void TImage::SetTransparent(bool v) {
  transparent_ = v;
  PictureChanged(nullptr);
}

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged(nullptr);
}

TRect TImage::DestRect() {
  return PictureRect(ClientRect(), picture_->Width(), picture_->Height(), stretch_, center_, proportional_);
}

void TImage::Paint() {
  TBitmap* bitmap = picture_->Bitmap();
  if (bitmap->Empty()) return;
  TRect r = DestRect();
  HDC dc = Canvas()->Handle();
  HDC src = bitmap->Canvas()->Handle();
  if (transparent_) {
    GdiTransparentBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, bitmap->Width(), bitmap->Height(),
                      GdiColor(bitmap->TransparentColor()));
  } else {
    int mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, bitmap->Width(), bitmap->Height(), SRCCOPY);
    SetStretchBltMode(dc, mode);
  }
}

// ============================================================================================
// Classes and published properties

using P = TControlProps;

KARO_CLASS_INFO(TCustomPanel, TCustomControl)
KARO_CLASS_PROPS(TPanel, TCustomPanel, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 Prop("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter),
                 Prop("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone),
                 Prop("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised),
                 Prop("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1), P::BiDiMode(),
                 Prop("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0),
                 Prop("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(bsNone), P::Caption(),
                 P::Color(), P::Font(), P::ParentColor(), P::ParentFont(), P::Enabled(),
                 Prop("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint).Default(1), P::Hint(),
                 Prop("Locked", &TPanel::Locked, &TPanel::SetLocked).Default(0),
                 Prop("ParentBackground", &TPanel::ParentBackground, &TPanel::SetParentBackground).Default(0),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 P::OnClick(), P::OnDblClick(), P::OnEnter(), P::OnExit(), P::OnMouseDown(), P::OnMouseEnter(),
                 P::OnMouseLeave(), P::OnMouseMove(), P::OnMouseUp(), P::OnResize())

KARO_CLASS_INFO(TGroupButton, TRadioButton)
KARO_CLASS_INFO(TCustomRadioGroup, TCustomGroupBox)
KARO_CLASS_PROPS(TRadioGroup, TCustomRadioGroup, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 P::BiDiMode(), P::Caption(), P::Color(),
                 Prop("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1), P::Font(),
                 P::ParentColor(), P::ParentFont(), P::Enabled(), P::Hint(),
                 Prop("Items", &TRadioGroup::Items, &TRadioGroup::SetItems),
                 Prop("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 P::OnClick(), P::OnEnter(), P::OnExit())

KARO_CLASS_PROPS(TScrollBox, TWinControl, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 Prop("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).Default(1), P::BiDiMode(),
                 Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle),
                 P::Color(), P::Font(), P::ParentColor(), P::ParentFont(), P::Enabled(), P::Hint(),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 P::OnClick(), P::OnDblClick(), P::OnEnter(), P::OnExit(), P::OnMouseDown(), P::OnMouseMove(),
                 P::OnMouseUp(), P::OnResize())

KARO_CLASS_PROPS(TImage, TGraphicControl, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(0),
                 Prop("Center", &TImage::Center, &TImage::SetCenter).Default(0), P::Enabled(), P::Hint(),
                 Prop("Picture", &TImage::Picture, &TImage::SetPicture), P::PopupMenu(),
                 Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(0), P::ShowHint(),
                 Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0),
                 Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(0), P::Visible(),
                 P::OnClick(), P::OnDblClick(), P::OnMouseDown(), P::OnMouseMove(), P::OnMouseUp())
