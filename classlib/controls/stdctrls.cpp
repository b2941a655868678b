#include "classlib/controls/stdctrls.h"

#include <algorithm>

#include "classlib/graphics/gdi_handles.h"

namespace {

// A screen context with the control's font selected, to measure text before any painting.
class TMeasureDC {
public:
  explicit TMeasureDC(TFont* font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font->Handle())) {}
  ~TMeasureDC() {
    SelectObject(dc_, old_);
    ReleaseDC(nullptr, dc_);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

constexpr UINT kAlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};

// Draws an owner-drawn item the way the system draws a plain one.
void DrawPlainItem(TCanvas& canvas, const TRect& rect, const WideString& text) {
  canvas.FillRect(rect);
  canvas.TextOut(rect.Left + 2, rect.Top, text);
}

// Draws one owner-drawn item of a list or combo: the canvas takes the item's context, font and
// colours (the highlight ones for a selected item) while draw runs.
void DrawOwnerItem(TWinControl* control, TCanvas& canvas, DRAWITEMSTRUCT* d,
                   const std::function<void(int index, TRect rect, TOwnerDrawState state)>& draw) {
  TOwnerDrawState state = OwnerDrawState(d->itemState);
  TSavedDC saved(d->hDC);
  canvas.SetHandle(d->hDC);
  canvas.SetFont(control->Font());
  canvas.Brush()->SetColor(control->Color());
  if (state.Contains(odSelected)) {
    canvas.Brush()->SetColor(clHighlight);
    canvas.Font()->SetColor(clHighlightText);
  }
  TRect r = Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
  try {
    if (d->itemID != UINT(-1)) draw(int(d->itemID), r, state);
    else canvas.FillRect(r);
    if (state.Contains(odFocused)) DrawFocusRect(d->hDC, &d->rcItem);
  } catch (...) {
    canvas.SetHandle(nullptr);
    throw;
  }
  canvas.SetHandle(nullptr);
}

// The height of an owner-drawn item: the control's item height, or what OnMeasureItem makes of it
// for items of variable height.
UINT MeasureOwnerItem(TWinControl* control, const MEASUREITEMSTRUCT* mi, int itemHeight, bool variable,
                      const TMeasureItemEvent& onMeasure) {
  int height = itemHeight;
  if (variable && onMeasure && mi->itemID != UINT(-1)) onMeasure(control, int(mi->itemID), height);
  return UINT(std::max(height, 1));
}

}  // namespace

int FontTextHeight(TFont* font) {
  TMeasureDC dc(font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.Get(), &tm);
  return int(tm.tmHeight);
}

TOwnerDrawState OwnerDrawState(UINT s) {
  TOwnerDrawState r;
  if (s & ODS_SELECTED) r.Include(odSelected);
  if (s & ODS_GRAYED) r.Include(odGrayed);
  if (s & ODS_DISABLED) r.Include(odDisabled);
  if (s & ODS_CHECKED) r.Include(odChecked);
  if (s & ODS_FOCUS) r.Include(odFocused);
  if (s & ODS_DEFAULT) r.Include(odDefault);
  if (s & ODS_COMBOBOXEDIT) r.Include(odComboBoxEdit);
  return r;
}

// ============================================================================================
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (autoSize_ == v) return;
  autoSize_ = v;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (layout_ == v) return;
  layout_ = v;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (Transparent() == v) return;
  SetControlStyle(v ? ControlStyle() & ~TControlStyle(csOpaque) : ControlStyle() | csOpaque);
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (showAccelChar_ == v) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
  if (focusControl_ == c) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = c;
  if (c) c->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* c, TOperation op) {
  TGraphicControl::Notification(c, op);
  if (op == opRemove && c == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  WideString text = Caption();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == L"&"))) text = L" ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  RECT r = ToRECT(rect);
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (!Enabled() && !(flags & DT_CALCRECT)) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, GdiColor(clBtnHighlight));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, GdiColor(clBtnShadow));
  } else {
    SetTextColor(dc, GdiColor(Font()->Color()));
  }
  DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
  rect = Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect client = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  UINT flags = DT_EXPANDTABS | kAlignFlags[alignment_];
  TRect r = client;
  if (layout_ != tlTop) {
    TRect calc = client;
    DoDrawText(calc, flags | DT_CALCRECT);
    int dy = client.Height() - calc.Height();
    r.Top += layout_ == tlBottom ? dy : dy / 2;
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  WideString text = Caption();
  if (text.empty()) text = L" ";
  TMeasureDC dc(Font());
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
  DrawTextW(dc.Get(), text.c_str(), int(text.size()), &r, flags);
  int left = Left();
  // A right-aligned label grows to the left, a centred one to both sides.
  if (alignment_ == taRightJustify) left += Width() - r.right;
  else if (alignment_ == taCenter) left += (Width() - r.right) / 2;
  SetBounds(left, Top(), r.right, r.bottom);
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& m) {
  TGraphicControl::Dispatch(m);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& m) {
  if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(wchar_t(m.WParam), Caption()) &&
      focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    m.Result = 1;
  }
}

KARO_BEGIN_MESSAGE_MAP(TCustomLabel)
  KARO_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
  KARO_MESSAGE(CM_FONTCHANGED, CMFontChanged)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
KARO_END_MESSAGE_MAP(TGraphicControl)

// ============================================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, L"EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  if (readOnly_) params.Style |= ES_READONLY;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  SendMessageW(h, EM_LIMITTEXT, WPARAM(maxLength_), 0);
  if (passwordChar_) SendMessageW(h, EM_SETPASSWORDCHAR, WPARAM(passwordChar_), 0);
  SendMessageW(h, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
}

void TCustomEdit::DestroyWnd() {
  modified_ = SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  v = v == bsNone ? bsNone : bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = std::max(v, 0);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

void TCustomEdit::SetPasswordChar(wchar_t v) {
  if (passwordChar_ == v) return;
  passwordChar_ = v;
  if (HandleAllocated()) {
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, WPARAM(v), 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (charCase_ == v) return;
  charCase_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool v) {
  if (hideSelection_ == v) return;
  hideSelection_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomEdit::Modified() {
  return HandleAllocated() ? SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TCustomEdit::SetModified(bool v) {
  modified_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETMODIFY, v ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  return int(start);
}

void TCustomEdit::SetSelStart(int v) { SendMessageW(Handle(), EM_SETSEL, WPARAM(v), LPARAM(v)); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  return int(end - start);
}

void TCustomEdit::SetSelLength(int v) {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  SendMessageW(Handle(), EM_SETSEL, WPARAM(start), LPARAM(int(start) + v));
  SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

WideString TCustomEdit::SelText() {
  int start = SelStart(), len = SelLength();
  WideString text = Text();
  if (start < 0 || size_t(start) > text.size()) return {};
  return text.substr(size_t(start), size_t(len));
}

void TCustomEdit::SetSelText(const WideString& v) {
  SendMessageW(Handle(), EM_REPLACESEL, 0, LPARAM(v.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { SendMessageW(Handle(), WM_CLEAR, 0, 0); }

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::Undo() { SendMessageW(Handle(), WM_UNDO, 0, 0); }

void TCustomEdit::CopyToClipboard() { SendMessageW(Handle(), WM_COPY, 0, 0); }

void TCustomEdit::CutToClipboard() { SendMessageW(Handle(), WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { SendMessageW(Handle(), WM_PASTE, 0, 0); }

void TCustomEdit::Change() {
  if (FiringEvents() && OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
  if (autoSelect_ && !(ControlState() & csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == EN_CHANGE) Change();
}

KARO_BEGIN_MESSAGE_MAP(TCustomEdit)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
KARO_END_MESSAGE_MAP(TWinControl)

// ============================================================================================
// TMemoStrings and TCustomMemo

const std::vector<WideString>& TMemoStrings::Lines() const {
  if (updating_) return pending_;
  // The user may have typed since the last look; the text is cut again only when it differs.
  WideString text = memo_->Text();
  if (text == cachedText_) return cachedLines_;
  cachedLines_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == WideString::npos) {
      cachedLines_.push_back(text.substr(start));
      break;
    }
    cachedLines_.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  cachedText_ = std::move(text);
  return cachedLines_;
}

std::vector<WideString>& TMemoStrings::Work() {
  // While an update runs the lines are edited where they wait; otherwise on a fresh copy.
  if (!updating_) scratch_ = Lines();
  return updating_ ? pending_ : scratch_;
}

void TMemoStrings::Store() {
  if (updating_) return;
  WideString text;
  for (size_t i = 0; i < scratch_.size(); ++i) {
    if (i) text += L"\r\n";
    text += scratch_[i];
  }
  scratch_.clear();
  memo_->SetText(text);
}

WideString TMemoStrings::Get(int index) const {
  const std::vector<WideString>& lines = Lines();
  if (index < 0 || size_t(index) >= lines.size()) Error(index);
  return lines[size_t(index)];
}

int TMemoStrings::GetCount() const { return int(Lines().size()); }

void TMemoStrings::Put(int index, const WideString& s) {
  std::vector<WideString>& lines = Work();
  if (index < 0 || size_t(index) >= lines.size()) Error(index);
  lines[size_t(index)] = s;
  Store();
}

void TMemoStrings::Insert(int index, const WideString& s) {
  std::vector<WideString>& lines = Work();
  if (index < 0 || size_t(index) > lines.size()) Error(index);
  lines.insert(lines.begin() + index, s);
  Store();
}

void TMemoStrings::Delete(int index) {
  std::vector<WideString>& lines = Work();
  if (index < 0 || size_t(index) >= lines.size()) Error(index);
  lines.erase(lines.begin() + index);
  Store();
}

void TMemoStrings::Clear() {
  Work().clear();
  Store();
}

void TMemoStrings::SetUpdateState(bool updating) {
  if (updating) {
    pending_ = Lines();
    updating_ = true;
  } else {
    updating_ = false;
    scratch_ = std::move(pending_);
    pending_.clear();
    Store();
  }
}

KARO_CLASS_INFO(TMemoStrings, TWideStrings)

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(Left(), Top(), 185, 89);
  SetAutoSelect(false);
  SetControlStyle(ControlStyle() & ~TControlStyle(csFixedHeight));
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  static constexpr DWORD kScroll[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  static constexpr DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style |= ES_MULTILINE | kScroll[scrollBars_] | kAlign[alignment_];
  // A wrapping memo without a horizontal scroll bar breaks its lines at the right edge.
  if (wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth) params.Style &= ~DWORD(ES_AUTOHSCROLL);
}

void TCustomMemo::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (scrollBars_ == v) return;
  scrollBars_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::WMGetDlgCode(TMessage& m) {
  DefaultHandler(m);
  if (wantTabs_) m.Result |= DLGC_WANTTAB;
  else m.Result &= ~LRESULT(DLGC_WANTTAB);
  if (!wantReturns_) m.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

KARO_BEGIN_MESSAGE_MAP(TCustomMemo)
  KARO_MESSAGE(WM_GETDLGCODE, WMGetDlgCode)
KARO_END_MESSAGE_MAP(TCustomEdit)

// ============================================================================================
// TButtonControl and TButton

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetTabStop(true);
  SetColor(clBtnFace);
  SetParentColor(true);
}

void TButtonControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  if (wordWrap_) params.Style |= BS_MULTILINE;
}

void TButtonControl::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TButtonControl::WndProc(TMessage& Message) {
  // A press takes the focus first; a radio button the focus clicks would click twice.
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && HandleAllocated() && !Focused() &&
      CanFocus()) {
    clicksDisabled_ = true;
    ::SetFocus(Handle());
    clicksDisabled_ = false;
    if (!Focused()) return;
  }
  TWinControl::WndProc(Message);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  active_ = default_;
}

void TButton::SetButtonStyle(bool isDefault) {
  if (!HandleAllocated()) return;
  DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((DWORD(GetWindowLongW(Handle(), GWL_STYLE)) & 0xF) != style) SendMessageW(Handle(), BM_SETSTYLE, style, 1);
}

void TButton::SetDefault(bool v) {
  if (default_ == v) return;
  default_ = v;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, LPARAM(form->ActiveControl()));
  else
    SetButtonStyle(v);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& m) {
  bool enter = m.WParam == VK_RETURN && active_, escape = m.WParam == VK_ESCAPE && cancel_;
  if ((enter || escape) && KeyDataToShiftState(LONG(m.LParam)).Empty() && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TButton::CMDialogChar(TMessage& m) {
  if (IsAccel(wchar_t(m.WParam), Caption()) && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

void TButton::CMFocusChanged(TMessage& m) {
  auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
  if (focused && focused->Is<TButton>())
    active_ = focused == this;
  else
    active_ = default_;
  SetButtonStyle(active_);
  TButtonControl::Dispatch(m);
}

KARO_BEGIN_MESSAGE_MAP(TButton)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CM_DIALOGKEY, CMDialogKey)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
  KARO_MESSAGE(CM_FOCUSCHANGED, CMFocusChanged)
KARO_END_MESSAGE_MAP(TButtonControl)

// ============================================================================================
// TCustomCheckBox and TRadioButton

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageW(Handle(), BM_SETCHECK, WPARAM(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
  if (state_ == v) return;
  state_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, WPARAM(v), 0);
  if (!ClicksDisabled() && FiringEvents()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment v) {
  if (v == taCenter) v = taRightJustify;
  if (alignment_ == v) return;
  alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& m) {
  if (IsAccel(wchar_t(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

KARO_BEGIN_MESSAGE_MAP(TCustomCheckBox)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
KARO_END_MESSAGE_MAP(TButtonControl)

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  // Only the checked button of a group is a tab stop; the arrows move among the others.
  SetTabStop(false);
}

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  SetTabStop(v);
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!v) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dyn<TRadioButton>(parent->Controls(i)); sibling && sibling != this) sibling->SetChecked(false);
  if (FiringEvents()) Click();
}

void TRadioButton::SetAlignment(TAlignment v) {
  if (v == taCenter) v = taRightJustify;
  if (alignment_ == v) return;
  alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TRadioButton::CNCommand(TWMCommand& m) {
  // The system clicks a radio button that gets the focus; a press takes the focus before it
  // clicks, and its own click follows on the release.
  if (m.NotifyCode == BN_CLICKED && !ClicksDisabled()) SetChecked(true);
  else if (m.NotifyCode == BN_DOUBLECLICKED) DblClick();
}

void TRadioButton::CMDialogChar(TMessage& m) {
  if (IsAccel(wchar_t(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    m.Result = 1;
    return;
  }
  TButtonControl::Dispatch(m);
}

KARO_BEGIN_MESSAGE_MAP(TRadioButton)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
KARO_END_MESSAGE_MAP(TButtonControl)

// ============================================================================================
// TListControlItems

namespace {
constexpr TListMessages kListBoxMessages{LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCURSEL,
                                         LB_SETCURSEL};
constexpr TListMessages kComboBoxMessages{CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCURSEL,
                                          CB_SETCURSEL};

// The order of a sorted list: the system's, letters without regard to case.
bool ListLess(const WideString& a, const WideString& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; }
}  // namespace

KARO_CLASS_INFO(TListControlItems, TWideStrings)

void TListControlItems::CheckIndex(int index, bool allowEnd) const {
  if (index < 0 || size_t(index) > items_.size() || (!allowEnd && size_t(index) == items_.size())) Error(index);
}

void TListControlItems::Changed() {
  if (OnListChange) OnListChange();
}

WideString TListControlItems::Get(int index) const {
  CheckIndex(index, false);
  return items_[size_t(index)];
}

int TListControlItems::GetCount() const { return int(items_.size()); }

TObject* TListControlItems::Objects(int index) const {
  CheckIndex(index, false);
  return objects_[size_t(index)];
}

void TListControlItems::PutObject(int index, TObject* obj) {
  CheckIndex(index, false);
  objects_[size_t(index)] = obj;
}

int TListControlItems::Add(const WideString& s) {
  int index = int(items_.size());
  if (sorted_) index = int(std::upper_bound(items_.begin(), items_.end(), s, ListLess) - items_.begin());
  Insert(index, s);
  return index;
}

void TListControlItems::Insert(int index, const WideString& s) {
  CheckIndex(index, true);
  if (HWND w = Window()) {
    LRESULT r = SendMessageW(w, msgs_.InsertString, WPARAM(index), LPARAM(s.c_str()));
    if (r < 0) throw EOutOfResources("Not enough room for the list's items");
  }
  items_.insert(items_.begin() + index, s);
  objects_.insert(objects_.begin() + index, nullptr);
  Changed();
}

void TListControlItems::Put(int index, const WideString& s) {
  CheckIndex(index, false);
  TObject* obj = objects_[size_t(index)];
  Delete(index);
  Insert(index, s);
  objects_[size_t(index)] = obj;
}

void TListControlItems::Delete(int index) {
  CheckIndex(index, false);
  if (HWND w = Window()) SendMessageW(w, msgs_.DeleteString, WPARAM(index), 0);
  items_.erase(items_.begin() + index);
  objects_.erase(objects_.begin() + index);
  Changed();
}

void TListControlItems::Clear() {
  if (HWND w = Window()) {
    // Emptying a combo's list empties its edit too; the edit keeps what it showed.
    bool combo = msgs_.ResetContent == CB_RESETCONTENT;
    WideString text = combo ? control_->Text() : WideString();
    SendMessageW(w, msgs_.ResetContent, 0, 0);
    if (combo) control_->SetText(text);
  }
  items_.clear();
  objects_.clear();
  Changed();
}

void TListControlItems::SetSorted(bool v) {
  if (sorted_ == v) return;
  sorted_ = v;
  if (!v) return;
  std::vector<size_t> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ListLess(items_[a], items_[b]); });
  std::vector<WideString> items;
  std::vector<TObject*> objects;
  for (size_t i : order) {
    items.push_back(items_[i]);
    objects.push_back(objects_[i]);
  }
  items_ = std::move(items);
  objects_ = std::move(objects);
  if (HWND w = Window()) {
    // The chosen item stays chosen at its new place; a combo's edit keeps its text.
    bool combo = msgs_.ResetContent == CB_RESETCONTENT;
    WideString text = combo ? control_->Text() : WideString();
    LRESULT selected = SendMessageW(w, msgs_.GetCurSel, 0, 0);
    SendMessageW(w, msgs_.ResetContent, 0, 0);
    FillWindow();
    if (selected >= 0 && size_t(selected) < order.size()) {
      size_t now = size_t(std::find(order.begin(), order.end(), size_t(selected)) - order.begin());
      SendMessageW(w, msgs_.SetCurSel, WPARAM(now), 0);
    }
    if (combo) control_->SetText(text);
  }
  Changed();
}

void TListControlItems::FillWindow() {
  HWND w = Window();
  if (!w) return;
  for (size_t i = 0; i < items_.size(); ++i)
    SendMessageW(w, msgs_.InsertString, WPARAM(i), LPARAM(items_[i].c_str()));
}

// ============================================================================================
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListControlItems>(this, kListBoxMessages)) {
  SetControlStyle(csSetCaption | csDoubleClicks | csOpaque);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, L"LISTBOX");
  static constexpr DWORD kStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
  params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | kStyles[style_];
  if (multiSelect_) params.Style |= LBS_EXTENDEDSEL;
  if (columns_ > 0) params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  if (style_ == lbOwnerDrawFixed) SendMessageW(h, LB_SETITEMHEIGHT, 0, itemHeight_);
  if (columns_ > 0) SendMessageW(h, LB_SETCOLUMNWIDTH, WPARAM(std::max(1, Width() / columns_)), 0);
  items_->FillWindow();
  if (multiSelect_) {
    for (int i : savedSelection_) SendMessageW(h, LB_SETSEL, TRUE, i);
    if (itemIndex_ >= 0) SendMessageW(h, LB_SETCARETINDEX, WPARAM(itemIndex_), 0);
  } else if (itemIndex_ >= 0) {
    SendMessageW(h, LB_SETCURSEL, WPARAM(itemIndex_), 0);
  }
  savedSelection_.clear();
}

void TCustomListBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  savedSelection_.clear();
  if (multiSelect_)
    for (int i = 0; i < items_->Count(); ++i)
      if (Selected(i)) savedSelection_.push_back(i);
  TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return int(SendMessageW(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int v) {
  if (!HandleAllocated()) {
    itemIndex_ = v;
    return;
  }
  if (multiSelect_)
    SendMessageW(Handle(), LB_SETCARETINDEX, WPARAM(v), 0);
  else
    SendMessageW(Handle(), LB_SETCURSEL, WPARAM(v), 0);
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (multiSelect_ == v) return;
  multiSelect_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  if (index < 0 || index >= items_->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return SendMessageW(Handle(), LB_GETSEL, WPARAM(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (index < 0 || index >= items_->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (multiSelect_)
    SendMessageW(Handle(), LB_SETSEL, v ? TRUE : FALSE, index);
  else
    SendMessageW(Handle(), LB_SETCURSEL, v ? WPARAM(index) : WPARAM(-1), 0);
}

int TCustomListBox::SelCount() {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  return int(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::SetSorted(bool v) { items_->SetSorted(v); }

void TCustomListBox::SetStyle(TListBoxStyle v) {
  if (style_ == v) return;
  style_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetItemHeight(int v) {
  if (v <= 0 || itemHeight_ == v) return;
  itemHeight_ = v;
  if (HandleAllocated() && style_ != lbStandard) RecreateWnd();
}

void TCustomListBox::SetColumns(int v) {
  v = std::max(v, 0);
  if (columns_ == v) return;
  bool remake = (columns_ == 0) != (v == 0);
  columns_ = v;
  if (!HandleAllocated()) return;
  if (remake) RecreateWnd();
  else if (v > 0) SendMessageW(Handle(), LB_SETCOLUMNWIDTH, WPARAM(std::max(1, Width() / v)), 0);
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
  v = v == bsNone ? bsNone : bsSingle;
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

int TCustomListBox::TopIndex() { return int(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(int v) { SendMessageW(Handle(), LB_SETTOPINDEX, WPARAM(v), 0); }

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
  LRESULT r = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.X, pos.Y));
  int index = LOWORD(r);
  bool outside = HIWORD(r) != 0;
  if (outside && existing) return -1;
  if (index >= items_->Count()) return existing ? -1 : items_->Count();
  return index;
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{};
  if (index >= 0 && index < items_->Count()) SendMessageW(Handle(), LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  DrawPlainItem(canvas_, rect, index >= 0 && index < items_->Count() ? items_->Strings(index) : WideString());
}

void TCustomListBox::CNCommand(TWMCommand& m) {
  if (m.NotifyCode == LBN_SELCHANGE) Click();
  else if (m.NotifyCode == LBN_DBLCLK) DblClick();
}

void TCustomListBox::CNDrawItem(TWMDrawItem& m) {
  if (!m.DrawItemStruct) return;
  DrawOwnerItem(this, canvas_, m.DrawItemStruct, [this](int i, TRect r, TOwnerDrawState st) { DrawItem(i, r, st); });
  m.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TWMMeasureItem& m) {
  if (!m.MeasureItemStruct) return;
  m.MeasureItemStruct->itemHeight =
      MeasureOwnerItem(this, m.MeasureItemStruct, itemHeight_, style_ == lbOwnerDrawVariable, OnMeasureItem);
  m.Result = TRUE;
}

KARO_BEGIN_MESSAGE_MAP(TCustomListBox)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CN_DRAWITEM, CNDrawItem)
  KARO_MESSAGE(CN_MEASUREITEM, CNMeasureItem)
KARO_END_MESSAGE_MAP(TWinControl)

// ============================================================================================
// TCustomComboBox

namespace {
constexpr const wchar_t* kComboChildProp = L"KaroComboChild";
constexpr const wchar_t* kComboProcProp = L"KaroComboChildProc";
}  // namespace

LRESULT CALLBACK ComboChildWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropW(wnd, kComboChildProp));
  auto old = reinterpret_cast<WNDPROC>(GetPropW(wnd, kComboProcProp));
  if (!old) return DefWindowProcW(wnd, msg, wp, lp);
  if (!combo) return CallWindowProcW(old, wnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  try {
    combo->ComboWndProc(m, wnd, old);
  } catch (...) {
    HandleCallbackException(combo);
  }
  return m.Result;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListControlItems>(this, kComboBoxMessages)) {
  SetControlStyle(csSetCaption | csDoubleClicks | csFixedHeight | csReplicatable);
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

TCustomComboBox::~TCustomComboBox() {
  // The window may outlive this part of the object (the base destroys it): its edit and list
  // must not call back into it.
  if (editHandle_) UnsubclassChild(editHandle_);
  if (listHandle_) UnsubclassChild(listHandle_);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, L"COMBOBOX");
  static constexpr DWORD kStyles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS | kStyles[style_];
  if (style_ != csSimple) params.Style |= CBS_NOINTEGRALHEIGHT;
  if (charCase_ == ecUpperCase) params.Style |= CBS_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= CBS_LOWERCASE;
}

void TCustomComboBox::CreateWnd() {
  // A combo takes no text from its creation; the edit gets it once the list is there.
  WideString text = StoredText();
  TWinControl::CreateWnd();
  HWND h = Handle();
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) {
    SendMessageW(h, CB_SETITEMHEIGHT, 0, itemHeight_);
    SendMessageW(h, CB_SETITEMHEIGHT, WPARAM(-1), itemHeight_ + 2);
  }
  SendMessageW(h, CB_LIMITTEXT, WPARAM(maxLength_), 0);
  items_->FillWindow();
  if (itemIndex_ >= 0 && itemIndex_ < items_->Count()) SendMessageW(h, CB_SETCURSEL, WPARAM(itemIndex_), 0);
  // An editable combo shows again what it showed, which need not be the chosen item.
  if (style_ != csDropDownList && style_ != csOwnerDrawFixed && style_ != csOwnerDrawVariable && !text.empty())
    SetText(text);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(h, &info)) {
    editHandle_ = info.hwndItem != h ? info.hwndItem : nullptr;
    listHandle_ = info.hwndList;
    if (editHandle_) SubclassChild(editHandle_);
    if (style_ == csSimple && listHandle_) SubclassChild(listHandle_);
  }
}

void TCustomComboBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  if (editHandle_) UnsubclassChild(editHandle_);
  if (listHandle_) UnsubclassChild(listHandle_);
  editHandle_ = listHandle_ = nullptr;
  TWinControl::DestroyWnd();
}

void TCustomComboBox::SubclassChild(HWND wnd) {
  if (GetPropW(wnd, kComboProcProp)) return;
  SetPropW(wnd, kComboChildProp, this);
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
  SetPropW(wnd, kComboProcProp, reinterpret_cast<HANDLE>(old));
  SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboChildWndProc));
}

void TCustomComboBox::UnsubclassChild(HWND wnd) {
  if (!IsWindow(wnd)) return;
  auto old = reinterpret_cast<WNDPROC>(GetPropW(wnd, kComboProcProp));
  // Only our own procedure is taken out; one laid over it later keeps the chain.
  if (old && GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ComboChildWndProc)) {
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(wnd, kComboProcProp);
  }
  RemovePropW(wnd, kComboChildProp);
}

void TCustomComboBox::ComboWndProc(TMessage& m, HWND wnd, WNDPROC old) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      TWMKey key(m);
      if (DoKeyDown(key)) return;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      TWMKey key(m);
      if (DoKeyUp(key)) return;
      break;
    }
    case WM_CHAR: {
      TWMKey key(m);
      if (DoKeyPress(key)) return;
      break;
    }
    case WM_NCDESTROY: {
      m.Result = CallWindowProcW(old, wnd, m.Msg, m.WParam, m.LParam);
      UnsubclassChild(wnd);
      if (wnd == editHandle_) editHandle_ = nullptr;
      if (wnd == listHandle_) listHandle_ = nullptr;
      return;
    }
    default: break;
  }
  m.Result = CallWindowProcW(old, wnd, m.Msg, m.WParam, m.LParam);
}

int TCustomComboBox::ItemIndex() {
  return HandleAllocated() ? int(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) : itemIndex_;
}

void TCustomComboBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_->Count()) v = -1;
  if (!HandleAllocated()) {
    itemIndex_ = v;
    return;
  }
  if (ItemIndex() != v) SendMessageW(Handle(), CB_SETCURSEL, WPARAM(v), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (style_ == v) return;
  style_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) { SendMessageW(Handle(), CB_SHOWDROPDOWN, v ? TRUE : FALSE, 0); }

void TCustomComboBox::SetSorted(bool v) { items_->SetSorted(v); }

void TCustomComboBox::SetMaxLength(int v) {
  maxLength_ = std::max(v, 0);
  if (HandleAllocated()) SendMessageW(Handle(), CB_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v <= 0 || itemHeight_ == v) return;
  itemHeight_ = v;
  if (HandleAllocated() && (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable)) RecreateWnd();
}

void TCustomComboBox::SetCharCase(TEditCharCase v) {
  if (charCase_ == v) return;
  charCase_ = v;
  if (HandleAllocated()) RecreateWnd();
}

int TCustomComboBox::SelStart() {
  DWORD start = 0;
  SendMessageW(Handle(), CB_GETEDITSEL, WPARAM(&start), 0);
  return int(start);
}

void TCustomComboBox::SetSelStart(int v) { SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(v, v)); }

int TCustomComboBox::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  return int(end - start);
}

void TCustomComboBox::SetSelLength(int v) {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, int(start) + v));
}

void TCustomComboBox::SelectAll() { SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); }

void TCustomComboBox::Clear() {
  SetText(L"");
  items_->Clear();
}

void TCustomComboBox::Change() {
  if (FiringEvents() && OnChange) OnChange(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

void TCustomComboBox::AdjustDropDown() {
  // The height a combo's window is given is the height of its dropped list.
  int count = std::clamp(items_->Count(), 1, dropDownCount_);
  int item = int(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
  if (item <= 0) item = itemHeight_;
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + item * count + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  DrawPlainItem(canvas_, rect, index >= 0 && index < items_->Count() ? items_->Strings(index) : WideString());
}

void TCustomComboBox::CNCommand(TWMCommand& m) {
  switch (m.NotifyCode) {
    case CBN_SELCHANGE: {
      // The edit shows the chosen item before anyone asks for the text.
      int index = ItemIndex();
      if (index >= 0 && index < items_->Count()) SetText(items_->Strings(index));
      Click();
      Select();
      break;
    }
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
      if (style_ != csSimple) AdjustDropDown();
      DropDown();
      break;
    case CBN_CLOSEUP: CloseUp(); break;
    default: break;
  }
}

void TCustomComboBox::CNDrawItem(TWMDrawItem& m) {
  if (!m.DrawItemStruct) return;
  DrawOwnerItem(this, canvas_, m.DrawItemStruct, [this](int i, TRect r, TOwnerDrawState st) { DrawItem(i, r, st); });
  m.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TWMMeasureItem& m) {
  if (!m.MeasureItemStruct) return;
  m.MeasureItemStruct->itemHeight =
      MeasureOwnerItem(this, m.MeasureItemStruct, itemHeight_, style_ == csOwnerDrawVariable, OnMeasureItem);
  m.Result = TRUE;
}

void TCustomComboBox::WMSetText(TWMSetText& m) {
  bool listOnly = style_ == csDropDownList || style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
  if (HandleAllocated() && listOnly) {
    // A list-only combo shows an item: the text chooses the item of that text, or none.
    int index = m.Text ? int(SendMessageW(Handle(), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(m.Text))) : -1;
    if (index < 0 || !m.Text || items_->Strings(index) != m.Text) index = -1;
    SendMessageW(Handle(), CB_SETCURSEL, WPARAM(index), 0);
    m.Result = TRUE;
    return;
  }
  TWinControl::Dispatch(m.Message);
}

KARO_BEGIN_MESSAGE_MAP(TCustomComboBox)
  KARO_MESSAGE(CN_COMMAND, CNCommand)
  KARO_MESSAGE(CN_DRAWITEM, CNDrawItem)
  KARO_MESSAGE(CN_MEASUREITEM, CNMeasureItem)
  KARO_MESSAGE(WM_SETTEXT, WMSetText)
KARO_END_MESSAGE_MAP(TWinControl)

// ============================================================================================
// TScrollBar

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() & ~TControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks));
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  SetColor(clBtnFace);
  SetParentColor(false);
}

void TScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, L"SCROLLBAR");
  params.Style |= kind_ == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateWindow();
}

void TScrollBar::UpdateWindow() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  si.nMin = min_;
  si.nMax = max_;
  si.nPage = UINT(pageSize_);
  si.nPos = position_;
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind v) {
  if (kind_ == v) return;
  kind_ = v;
  // A turned bar keeps its length across.
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  if (HandleAllocated()) RecreateWnd();
}

void TScrollBar::SetPageSize(int v) {
  if (v < 0 || v > max_ - min_ + 1 || pageSize_ == v) return;
  pageSize_ = v;
  UpdateWindow();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  position = std::clamp(position, min, max);
  bool changed = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  UpdateWindow();
  if (changed) Change();
}

void TScrollBar::Change() {
  if (FiringEvents() && OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode code, int& pos) {
  if (OnScroll) OnScroll(this, code, pos);
}

void TScrollBar::CNScroll(TWMScroll& m) {
  int pos = position_;
  int last = max_ - std::max(pageSize_ - 1, 0);
  TScrollCode code = scEndScroll;
  switch (m.ScrollCode) {
    case SB_LINEUP: code = scLineUp; pos -= smallChange_; break;
    case SB_LINEDOWN: code = scLineDown; pos += smallChange_; break;
    case SB_PAGEUP: code = scPageUp; pos -= largeChange_; break;
    case SB_PAGEDOWN: code = scPageDown; pos += largeChange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      code = m.ScrollCode == SB_THUMBTRACK ? scTrack : scPosition;
      // The 16 bits of the message cut long ranges; the bar itself knows the whole position.
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      pos = GetScrollInfo(Handle(), SB_CTL, &si) ? si.nTrackPos : m.Pos;
      break;
    }
    case SB_TOP: code = scTop; pos = min_; break;
    case SB_BOTTOM: code = scBottom; pos = last; break;
    case SB_ENDSCROLL: code = scEndScroll; break;
    default: return;
  }
  pos = std::clamp(pos, min_, std::max(min_, last));
  Scroll(code, pos);
  if (pos != position_) SetPosition(pos);
  m.Result = 0;
}

KARO_BEGIN_MESSAGE_MAP(TScrollBar)
  KARO_MESSAGE(CN_HSCROLL, CNScroll)
  KARO_MESSAGE(CN_VSCROLL, CNScroll)
KARO_END_MESSAGE_MAP(TWinControl)

// ============================================================================================
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                  csReplicatable);
  SetBounds(0, 0, 185, 105);
  SetColor(clBtnFace);
  SetParentColor(true);
}

void TCustomGroupBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

TRect TCustomGroupBox::AlignRect() {
  TRect r = ClientRect();
  r.Top += FontTextHeight(Font());
  r.Left += 2;
  r.Top += 2;
  r.Right -= 2;
  r.Bottom -= 2;
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetColor(Color());
  TRect client = ClientRect();
  canvas->FillRect(client);
  HDC dc = canvas->Handle();
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  int h = tm.tmHeight;
  RECT frame{0, h / 2 - 1, client.Width(), client.Height()};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  WideString text = Caption();
  if (text.empty()) return;
  RECT tr{0, 0, 0, h};
  UINT flags = DT_SINGLELINE | (UseRightToLeftReading() ? DT_RTLREADING : 0);
  DrawTextW(dc, text.c_str(), int(text.size()), &tr, flags | DT_CALCRECT);
  int w = tr.right - tr.left;
  if (UseRightToLeftAlignment()) OffsetRect(&tr, client.Width() - 8 - w, 0);
  else OffsetRect(&tr, 8, 0);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GdiColor(Color()));
  if (Enabled()) {
    SetTextColor(dc, GdiColor(Font()->Color()));
    DrawTextW(dc, text.c_str(), int(text.size()), &tr, flags);
  } else {
    SetTextColor(dc, GdiColor(clBtnShadow));
    DrawTextW(dc, text.c_str(), int(text.size()), &tr, flags);
  }
}

void TCustomGroupBox::CMTextChanged(TMessage&) {
  Invalidate();
  Realign();
}

void TCustomGroupBox::CMDialogChar(TMessage& m) {
  if (IsAccel(wchar_t(m.WParam), Caption()) && CanFocus()) {
    SelectNext(nullptr, true, true);
    m.Result = 1;
    return;
  }
  TCustomControl::Dispatch(m);
}

KARO_BEGIN_MESSAGE_MAP(TCustomGroupBox)
  KARO_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
  KARO_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
KARO_END_MESSAGE_MAP(TCustomControl)

// ============================================================================================
// Classes and published properties

using P = TControlProps;

#define KARO_STD_BOUNDS P::Left(), P::Top(), P::Width(), P::Height()
#define KARO_STD_MOUSE P::OnMouseDown(), P::OnMouseEnter(), P::OnMouseLeave(), P::OnMouseMove(), P::OnMouseUp()
#define KARO_STD_KEYS P::OnEnter(), P::OnExit(), P::OnKeyDown(), P::OnKeyPress(), P::OnKeyUp()

KARO_CLASS_INFO(TCustomLabel, TGraphicControl)
KARO_CLASS_PROPS(TLabel, TCustomLabel, KARO_STD_BOUNDS, P::Align(),
                 Prop("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify),
                 Prop("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(1), P::BiDiMode(), P::Caption(),
                 P::Color(), P::Font(), P::ParentColor(), P::ParentFont(), P::Enabled(),
                 Prop("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl), P::Hint(),
                 Prop("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop), P::ParentBiDiMode(),
                 P::PopupMenu(), Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(1),
                 P::ShowHint(), Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(0),
                 P::Visible(), Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(0), P::OnClick(),
                 P::OnDblClick(), KARO_STD_MOUSE)

namespace {
TPropInfo PasswordCharProp() {
  return Prop<TCustomEdit>(
      "PasswordChar", [](TCustomEdit& e) { return e.PasswordChar() ? WideString(1, e.PasswordChar()) : WideString(); },
      [](TCustomEdit& e, const WideString& v) { e.SetPasswordChar(v.empty() ? L'\0' : v[0]); });
}
}  // namespace

KARO_CLASS_INFO(TCustomEdit, TWinControl)
KARO_CLASS_PROPS(TEdit, TCustomEdit, KARO_STD_BOUNDS, P::Align(),
                 Prop("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(1), P::BiDiMode(),
                 Prop("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(bsSingle),
                 Prop("CharCase", &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal), P::Color(), P::Font(),
                 P::ParentColor(), P::ParentFont(), P::Cursor(), P::Enabled(),
                 Prop("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(1), P::Hint(),
                 Prop("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0), P::ParentBiDiMode(),
                 PasswordCharProp(), P::PopupMenu(), Prop("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(0),
                 P::ShowHint(), P::TabOrder(), P::TabStop(), P::Text(), P::Visible(),
                 Prop("OnChange", &TEdit::OnChange, &TEdit::OnChange), P::OnClick(), P::OnDblClick(), KARO_STD_KEYS,
                 KARO_STD_MOUSE)

KARO_CLASS_INFO(TCustomMemo, TCustomEdit)
KARO_CLASS_PROPS(TMemo, TCustomMemo, KARO_STD_BOUNDS, P::Align(),
                 Prop("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify), P::BiDiMode(),
                 Prop("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(bsSingle), P::Color(),
                 P::Font(), P::ParentColor(), P::ParentFont(), P::Cursor(), P::Enabled(),
                 Prop("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(1), P::Hint(),
                 Prop("Lines", &TMemo::Lines, &TMemo::SetLines),
                 Prop("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0), P::ParentBiDiMode(),
                 P::PopupMenu(), Prop("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(0),
                 Prop("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone), P::ShowHint(),
                 P::TabOrder(), P::TabStop(), P::Visible(),
                 Prop("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(1),
                 Prop("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(0),
                 Prop("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(1),
                 Prop("OnChange", &TMemo::OnChange, &TMemo::OnChange), P::OnClick(), P::OnDblClick(), KARO_STD_KEYS,
                 KARO_STD_MOUSE)

KARO_CLASS_INFO(TButtonControl, TWinControl)
KARO_CLASS_PROPS(TButton, TButtonControl, KARO_STD_BOUNDS, P::Align(), P::BiDiMode(),
                 Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(0), P::Caption(),
                 Prop("Default", &TButton::Default, &TButton::SetDefault).Default(0), P::Cursor(), P::Enabled(),
                 P::Font(), P::ParentFont(), P::Hint(),
                 Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(mrNone),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 Prop("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap).Default(0), P::OnClick(), KARO_STD_KEYS,
                 KARO_STD_MOUSE)

KARO_CLASS_INFO(TCustomCheckBox, TButtonControl)
KARO_CLASS_PROPS(TCheckBox, TCustomCheckBox, KARO_STD_BOUNDS, P::Align(),
                 Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify),
                 Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(0), P::BiDiMode(),
                 P::Caption(), Prop("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).NotStored(), P::Color(),
                 P::Font(), P::ParentColor(), P::ParentFont(), P::Cursor(), P::Enabled(), P::Hint(),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(),
                 Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked), P::TabOrder(),
                 P::TabStop(), P::Visible(), Prop("WordWrap", &TCheckBox::WordWrap, &TCheckBox::SetWordWrap).Default(0),
                 P::OnClick(), KARO_STD_KEYS, KARO_STD_MOUSE)

KARO_CLASS_PROPS(TRadioButton, TButtonControl, KARO_STD_BOUNDS, P::Align(),
                 Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify),
                 P::BiDiMode(), P::Caption(),
                 Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(0), P::Color(), P::Font(),
                 P::ParentColor(), P::ParentFont(), P::Cursor(), P::Enabled(), P::Hint(), P::ParentBiDiMode(),
                 P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(),
                 Prop("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(0), P::OnClick(),
                 P::OnDblClick(), KARO_STD_KEYS, KARO_STD_MOUSE)

KARO_CLASS_INFO(TCustomListBox, TWinControl)
KARO_CLASS_PROPS(TListBox, TCustomListBox, KARO_STD_BOUNDS, P::Align(), P::BiDiMode(),
                 Prop("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle).Default(bsSingle),
                 P::Color(), Prop("Columns", &TListBox::Columns, &TListBox::SetColumns).Default(0), P::Cursor(),
                 P::Enabled(), P::Font(), P::ParentColor(), P::ParentFont(), P::Hint(),
                 Prop("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight).Default(16),
                 Prop("Items", &TListBox::Items, &TListBox::SetItems),
                 Prop("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(0),
                 P::ParentBiDiMode(), P::PopupMenu(), P::ShowHint(),
                 Prop("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(0),
                 Prop("Style", &TListBox::Style, &TListBox::SetStyle).Default(lbStandard), P::TabOrder(),
                 P::TabStop(), P::Visible(), P::OnClick(), P::OnDblClick(),
                 Prop("OnDrawItem", &TListBox::OnDrawItem, &TListBox::OnDrawItem),
                 Prop("OnMeasureItem", &TListBox::OnMeasureItem, &TListBox::OnMeasureItem), KARO_STD_KEYS,
                 KARO_STD_MOUSE)

KARO_CLASS_INFO(TCustomComboBox, TWinControl)
KARO_CLASS_PROPS(TComboBox, TCustomComboBox, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(),
                 Prop("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown), P::BiDiMode(),
                 Prop("CharCase", &TComboBox::CharCase, &TComboBox::SetCharCase).Default(ecNormal), P::Color(),
                 P::Font(), P::ParentColor(), P::ParentFont(), P::Cursor(),
                 Prop("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8),
                 P::Enabled(), P::Hint(), Prop("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight).Default(16),
                 Prop("Items", &TComboBox::Items, &TComboBox::SetItems),
                 Prop("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1),
                 Prop("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0), P::ParentBiDiMode(),
                 P::PopupMenu(), P::ShowHint(), Prop("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(0),
                 P::TabOrder(), P::TabStop(), P::Text(), P::Visible(),
                 Prop("OnChange", &TComboBox::OnChange, &TComboBox::OnChange), P::OnClick(), P::OnDblClick(),
                 Prop("OnCloseUp", &TComboBox::OnCloseUp, &TComboBox::OnCloseUp),
                 Prop("OnDrawItem", &TComboBox::OnDrawItem, &TComboBox::OnDrawItem),
                 Prop("OnDropDown", &TComboBox::OnDropDown, &TComboBox::OnDropDown),
                 Prop("OnMeasureItem", &TComboBox::OnMeasureItem, &TComboBox::OnMeasureItem),
                 Prop("OnSelect", &TComboBox::OnSelect, &TComboBox::OnSelect), KARO_STD_KEYS)

KARO_CLASS_PROPS(TScrollBar, TWinControl, P::Left(), P::Top(), P::Width(), P::Height(), P::Align(), P::BiDiMode(),
                 Prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal), P::Cursor(),
                 P::Enabled(), P::Hint(), Prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1),
                 Prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100),
                 Prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0),
                 Prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0), P::ParentBiDiMode(),
                 P::PopupMenu(), Prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0),
                 P::ShowHint(), Prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1),
                 P::TabOrder(), P::TabStop(), P::Visible(), Prop("OnChange", &TScrollBar::OnChange, &TScrollBar::OnChange),
                 Prop("OnScroll", &TScrollBar::OnScroll, &TScrollBar::OnScroll), KARO_STD_KEYS)

KARO_CLASS_INFO(TCustomGroupBox, TCustomControl)
KARO_CLASS_PROPS(TGroupBox, TCustomGroupBox, KARO_STD_BOUNDS, P::Align(), P::BiDiMode(), P::Caption(), P::Color(),
                 P::Font(), P::ParentColor(), P::ParentFont(), P::Enabled(), P::Hint(), P::ParentBiDiMode(),
                 P::PopupMenu(), P::ShowHint(), P::TabOrder(), P::TabStop(), P::Visible(), P::OnClick(),
                 P::OnDblClick(), P::OnEnter(), P::OnExit(), KARO_STD_MOUSE)
