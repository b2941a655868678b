#include "classlib/controls/buttons.h"

#include <algorithm>

#include "classlib/graphics/gdi_handles.h"

TButtonLayoutResult CalcButtonLayout(const TRect& client, TPoint glyphSize, TPoint textSize, TButtonLayout layout,
                                     int margin, int spacing) {
  TPoint size{client.Width(), client.Height()};
  TPoint glyph{}, text{};
  bool across = layout == blGlyphLeft || layout == blGlyphRight;
  // Across the layout direction both are centred.
  if (across) {
    glyph.Y = (size.Y - glyphSize.Y + 1) / 2;
    text.Y = (size.Y - textSize.Y + 1) / 2;
  } else {
    glyph.X = (size.X - glyphSize.X + 1) / 2;
    text.X = (size.X - textSize.X + 1) / 2;
  }
  if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;
  int room = across ? size.X : size.Y;
  int g = across ? glyphSize.X : glyphSize.Y;
  int t = across ? textSize.X : textSize.Y;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (room - (g + t)) / 3;
      spacing = margin;
    } else {
      margin = (room - (g + spacing + t) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (room - (margin + g) - t) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyph.X = margin;
      text.X = glyph.X + g + spacing;
      break;
    case blGlyphRight:
      glyph.X = room - margin - g;
      text.X = glyph.X - spacing - t;
      break;
    case blGlyphTop:
      glyph.Y = margin;
      text.Y = glyph.Y + g + spacing;
      break;
    case blGlyphBottom:
      glyph.Y = room - margin - g;
      text.Y = glyph.Y - spacing - t;
      break;
  }
  TButtonLayoutResult r;
  r.GlyphPos = {glyph.X + client.Left, glyph.Y + client.Top};
  r.TextBounds = Rect(text.X + client.Left, text.Y + client.Top, text.X + client.Left + textSize.X,
                      text.Y + client.Top + textSize.Y);
  return r;
}

void DrawButtonGlyph(HDC dc, TBitmap* glyph, int numGlyphs, TButtonState state, int x, int y) {
  if (!glyph || glyph->Empty()) return;
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  int w = glyph->Width() / numGlyphs, h = glyph->Height();
  if (w <= 0) return;
  int cell = int(state) < numGlyphs ? int(state) : 0;
  TColor transparent = glyph->TransparentColor();
  HDC src = glyph->Canvas()->Handle();
  if (state == bsDisabled && cell == 0) {
    // Embossed: the picture's shape in the highlight colour, one pixel down and right, under the
    // same shape in the shadow colour.
    TBitmap shape;
    shape.SetPixelFormat(pf32bit);
    shape.SetSize(w, h);
    COLORREF key = GdiColor(transparent);
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        COLORREF c = GetPixel(src, col, row);
        SetPixel(shape.Canvas()->Handle(), col, row, c == key ? RGB(255, 255, 255) : RGB(0, 0, 0));
      }
    }
    HDC shapeDC = shape.Canvas()->Handle();
    for (auto [dx, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
      TBitmap tinted;
      tinted.SetPixelFormat(pf32bit);
      tinted.SetSize(w, h);
      HDC t = tinted.Canvas()->Handle();
      TBrushHandle brush(CreateSolidBrush(GdiColor(color)));
      RECT all{0, 0, w, h};
      FillRect(t, &all, brush.get());
      // White stays white (the key), black becomes the colour.
      BitBlt(t, 0, 0, w, h, shapeDC, 0, 0, SRCPAINT);
      GdiTransparentBlt(dc, x + dx, y + dx, w, h, t, 0, 0, w, h, RGB(255, 255, 255));
    }
    return;
  }
  GdiTransparentBlt(dc, x, y, w, h, src, cell * w, 0, w, h, GdiColor(transparent));
}

namespace {

struct TKindInfo {
  const wchar_t* Caption;
  TModalResult Result;
  bool Default, Cancel;
};

constexpr TKindInfo kKinds[] = {
    {L"", mrNone, false, false},        {L"OK", mrOk, true, false},         {L"Cancel", mrCancel, false, true},
    {L"&Help", mrNone, false, false},   {L"&Yes", mrYes, true, false},      {L"&No", mrNo, false, true},
    {L"&Close", mrNone, false, false},  {L"Abort", mrAbort, false, false},  {L"&Retry", mrRetry, false, false},
    {L"&Ignore", mrIgnore, false, false}, {L"&All", mrAll, false, false},
};

}  // namespace

// ============================================================================================
// TButtonGlyph

TButtonGlyph::TButtonGlyph(std::function<void()> changed)
    : bitmap_(std::make_unique<TBitmap>()), changed_(std::move(changed)) {
  bitmap_->OnChange = [this](TObject*) { Changed(); };
}

void TButtonGlyph::Changed() {
  if (!bitmap_->Empty() && bitmap_->Height() > 0 && bitmap_->Width() % bitmap_->Height() == 0) {
    int n = bitmap_->Width() / bitmap_->Height();
    if (n >= 1 && n <= 4) numGlyphs_ = n;
  }
  if (changed_) changed_();
}

void TButtonGlyph::SetGlyph(TBitmap* v) {
  if (v) bitmap_->Assign(v);
  else bitmap_->SetSize(0, 0);
  Changed();
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs v) {
  numGlyphs_ = std::clamp(v, 1, 4);
  if (changed_) changed_();
}

void TButtonGlyph::SetLayout(TButtonLayout v) {
  layout_ = v;
  if (changed_) changed_();
}

void TButtonGlyph::SetMargin(int v) {
  margin_ = std::max(v, -1);
  if (changed_) changed_();
}

void TButtonGlyph::SetSpacing(int v) {
  spacing_ = v;
  if (changed_) changed_();
}

void TButtonGlyph::Draw(HDC dc, const TRect& client, TButtonState state, const WideString& caption, bool enabled,
                        TColor textColor, bool rtl, TRect* textRect) {
  TBitmap* glyph = bitmap_.get();
  int numGlyphs = numGlyphs_;
  TPoint glyphSize{};
  if (!glyph->Empty()) glyphSize = {glyph->Width() / std::clamp(numGlyphs, 1, 4), glyph->Height()};
  RECT tr{0, 0, client.Width(), 0};
  UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (rtl ? DT_RTLREADING : 0);
  TPoint textSize{};
  if (!caption.empty()) {
    DrawTextW(dc, caption.c_str(), int(caption.size()), &tr, flags | DT_CALCRECT);
    textSize = {tr.right - tr.left, tr.bottom - tr.top};
  }
  TButtonLayoutResult lay = CalcButtonLayout(client, glyphSize, textSize, layout_, margin_, spacing_);
  DrawButtonGlyph(dc, glyph, numGlyphs, state, lay.GlyphPos.X, lay.GlyphPos.Y);
  if (textRect) *textRect = lay.TextBounds;
  if (caption.empty()) return;
  RECT r = ToRECT(lay.TextBounds);
  SetBkMode(dc, TRANSPARENT);
  if (!enabled) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, GdiColor(clBtnHighlight));
    DrawTextW(dc, caption.c_str(), int(caption.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, GdiColor(clBtnShadow));
  } else {
    SetTextColor(dc, GdiColor(textColor));
  }
  DrawTextW(dc, caption.c_str(), int(caption.size()), &r, flags);
}

// ============================================================================================
// TBitBtn

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_([this] { Invalidate(); }) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& params) {
  TButton::CreateParams(params);
  params.Style = (params.Style & ~DWORD(0xF)) | BS_OWNERDRAW;
}

void TBitBtn::SetKind(TBitBtnKind v) {
  kind_ = v;
  if (v == bkCustom) return;
  const TKindInfo& k = kKinds[v];
  // A form file's own caption for the button is read before or after the kind; it stays.
  if (!IsLoading() || Caption().empty()) SetCaption(k.Caption);
  SetModalResult(k.Result);
  SetDefault(k.Default);
  SetCancel(k.Cancel);
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::SetButtonStyle(bool isDefault) {
  // An owner-drawn button keeps its style; it draws the default frame itself.
  if (drawnDefault_ == isDefault) return;
  drawnDefault_ = isDefault;
  Invalidate();
}

void TBitBtn::WndProc(TMessage& Message) {
  // A quick second press is a press like the first (an owner-drawn button would not click).
  if (Message.Msg == WM_LBUTTONDBLCLK) Message.Msg = WM_LBUTTONDOWN;
  TButton::WndProc(Message);
}

void TBitBtn::CNMeasureItem(TWMMeasureItem& m) {
  if (MEASUREITEMSTRUCT* mi = m.MeasureItemStruct) {
    mi->itemWidth = UINT(Width());
    mi->itemHeight = UINT(Height());
  }
  m.Result = TRUE;
}

void TBitBtn::CNDrawItem(TWMDrawItem& m) {
  DRAWITEMSTRUCT* d = m.DrawItemStruct;
  if (!d) return;
  HDC dc = d->hDC;
  TSavedDC saved(dc);
  RECT r = d->rcItem;
  bool pressed = (d->itemState & ODS_SELECTED) != 0;
  bool focused = (d->itemState & ODS_FOCUS) != 0;
  bool enabled = (d->itemState & ODS_DISABLED) == 0 && Enabled();
  bool isDefault = focused || Active();
  if (isDefault) {
    TBrushHandle frame(CreateSolidBrush(GdiColor(clWindowFrame)));
    FrameRect(dc, &r, frame.get());
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
  if (pressed) {
    TBrushHandle shadow(CreateSolidBrush(GdiColor(clBtnShadow)));
    FrameRect(dc, &r, shadow.get());
  }
  InflateRect(&r, -2, -2);
  if (pressed) OffsetRect(&r, 1, 1);
  SelectObject(dc, Font()->Handle());
  TButtonState state = !enabled ? bsDisabled : pressed ? bsDown : bsUp;
  TRect textRect{};
  glyph_.Draw(dc, Rect(r.left, r.top, r.right, r.bottom), state, Caption(), enabled, Font()->Color(),
              UseRightToLeftReading(), &textRect);
  if (focused && !Caption().empty()) {
    RECT fr = ToRECT(textRect);
    InflateRect(&fr, 2, 1);
    SetTextColor(dc, GdiColor(clBtnText));
    SetBkColor(dc, GdiColor(clBtnFace));
    DrawFocusRect(dc, &fr);
  }
  m.Result = TRUE;
}

KARO_BEGIN_MESSAGE_MAP(TBitBtn)
  KARO_MESSAGE(CN_DRAWITEM, CNDrawItem)
  KARO_MESSAGE(CN_MEASUREITEM, CNMeasureItem)
KARO_END_MESSAGE_MAP(TButton)

// ============================================================================================
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_([this] { Invalidate(); }) {
  SetBounds(0, 0, 23, 22);
  SetControlStyle(csCaptureMouse | csDoubleClicks);
  SetParentFont(true);
  SetColor(clBtnFace);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = v;
  state_ = v ? bsExclusive : bsUp;
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (groupIndex_ == v) return;
  groupIndex_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (allowAllUp_ == v) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  if (down_) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, WPARAM(groupIndex_), LPARAM(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& m) {
  auto* sender = dyn<TSpeedButton>(reinterpret_cast<TObject*>(m.LParam));
  if (m.WParam != WPARAM(groupIndex_) || !sender || sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
  TButtonState next = !inside ? (down_ ? bsExclusive : bsUp) : bsDown;
  if (next != state_) {
    state_ = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  bool doClick = x >= 0 && x < Width() && y >= 0 && y <= Height();
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    // A button that must stay down (no AllowAllUp) shows it again.
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (!mouseInControl_ && Enabled()) {
    mouseInControl_ = true;
    if (flat_) Invalidate();
  }
}

void TSpeedButton::CMMouseLeave(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (mouseInControl_) {
    mouseInControl_ = false;
    if (flat_) Invalidate();
  }
}

void TSpeedButton::CMEnabledChanged(TMessage& m) {
  TGraphicControl::Dispatch(m);
  if (!Enabled()) mouseInControl_ = false;
  Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage&) { Invalidate(); }

void TSpeedButton::CMDialogChar(TMessage& m) {
  if (IsAccel(wchar_t(m.WParam), Caption()) && Enabled() && IsVisibleOnScreen()) {
    Click();
    m.Result = 1;
  }
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  TSavedDC saved(dc);
  TRect client = ClientRect();
  RECT r = ToRECT(client);
  TButtonState state = !Enabled() ? (down_ ? bsExclusive : bsDisabled) : state_;
  bool pressed = state == bsDown || state == bsExclusive;
  if (!flat_ || !transparent_) {
    TBrushHandle face(CreateSolidBrush(GdiColor(state == bsExclusive && !pressed ? clBtnHighlight : Color())));
    FillRect(dc, &r, face.get());
  }
  if (!flat_) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    if (state == bsExclusive) {
      // A button held down shows a lighter face than one being pressed.
      TBrushHandle light(CreateSolidBrush(GdiColor(clBtnHighlight)));
      RECT inner = ToRECT(client);
      InflateRect(&inner, -2, -2);
      FillRect(dc, &inner, light.get());
    }
  } else if (pressed || (mouseInControl_ && Enabled())) {
    DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT inner = ToRECT(client);
  InflateRect(&inner, -1, -1);
  if (pressed) OffsetRect(&inner, 1, 1);
  SelectObject(dc, Font()->Handle());
  glyph_.Draw(dc, Rect(inner.left, inner.top, inner.right, inner.bottom), state, Caption(), Enabled(), Font()->Color(),
              UseRightToLeftReading(), nullptr);
}

KARO_BEGIN_MESSAGE_MAP(TSpeedButton)
  KARO_MESSAGE(CM_BUTTONPRESSED, CMButtonPressed)
  KARO_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
  KARO_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
  KARO_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
  KARO_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
KARO_END_MESSAGE_MAP(TGraphicControl)

// ============================================================================================
// Classes and published properties

using P = TControlProps;

// Kind comes first: what it gives, the properties after it may change.
KARO_CLASS_PROPS(TBitBtn, TButton, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(), P::BiDiMode(),
                 Prop("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom),
                 Prop("Cancel", &TBitBtn::Cancel, &TBitBtn::SetCancel).Default(0), P::Caption(),
                 Prop("Default", &TBitBtn::Default, &TBitBtn::SetDefault).Default(0), P::Enabled(), P::Font(),
                 P::ParentFont(), Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph), P::Hint(),
                 Prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft),
                 Prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1),
                 Prop("ModalResult", &TBitBtn::ModalResult, &TBitBtn::SetModalResult).Default(mrNone),
                 Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1), P::ParentBiDiMode(),
                 P::PopupMenu(), P::ShowHint(), Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4),
                 P::TabOrder(), P::TabStop(), P::Visible(), P::OnClick(), P::OnEnter(), P::OnExit(), P::OnKeyDown(),
                 P::OnKeyPress(), P::OnKeyUp(), P::OnMouseDown(), P::OnMouseMove(), P::OnMouseUp())

KARO_CLASS_PROPS(TSpeedButton, TGraphicControl, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0),
                 P::BiDiMode(), Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0),
                 Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0), P::Caption(), P::Enabled(),
                 Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0), P::Font(), P::ParentFont(),
                 Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph), P::Hint(),
                 Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft),
                 Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1),
                 Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(),
                 Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4),
                 Prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(1),
                 P::Visible(), P::OnClick(), P::OnDblClick(), P::OnMouseDown(), P::OnMouseEnter(),
                 P::OnMouseLeave(), P::OnMouseMove(), P::OnMouseUp())
