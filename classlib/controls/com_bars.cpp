// Track bar ("msctls_trackbar32"), up-down ("msctls_updown32") and progress bar
// ("msctls_progress32").
#include "classlib/controls/com_util.h"
#include "classlib/controls/comctrls.h"

// --- TTrackBar ---


TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TTrackBar::SetRange(int min, int max) {
  if (max < min) max = min;
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) {
    SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(Handle(), TBM_SETRANGEMAX, TRUE, max_);
    SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
    if (tickStyle_ == tsAuto) SendMessageW(Handle(), TBM_SETTICFREQ, WPARAM(frequency_), 0);
  }
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, min_, max_);
  if (position_ == v) return;
  position_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
  Changed();
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  if (orientation_ == v) return;
  orientation_ = v;
  // The control turns with its orientation, as a user would turn it.
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TTrackBar::SetFrequency(int v) {
  frequency_ = std::max(1, v);
  if (HandleAllocated()) SendMessageW(Handle(), TBM_SETTICFREQ, WPARAM(frequency_), 0);
}

void TTrackBar::SetLineSize(int v) {
  lineSize_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), TBM_SETLINESIZE, 0, lineSize_);
}

void TTrackBar::SetPageSize(int v) {
  pageSize_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPAGESIZE, 0, pageSize_);
}

void TTrackBar::SetTickMarks(TTickMark v) { SetRecreating(this, tickMarks_, v); }

void TTrackBar::SetTickStyle(TTickStyle v) { SetRecreating(this, tickStyle_, v); }

void TTrackBar::SetSelStart(int v) {
  selStart_ = v;
  UpdateSelection();
}

void TTrackBar::SetSelEnd(int v) {
  selEnd_ = v;
  UpdateSelection();
}

void TTrackBar::UpdateSelection() {
  if (!HandleAllocated()) return;
  if (selStart_ == 0 && selEnd_ == 0) SendMessageW(Handle(), TBM_CLEARSEL, TRUE, 0);
  else SendMessageW(Handle(), TBM_SETSEL, TRUE, MAKELPARAM(selStart_, selEnd_));
}

void TTrackBar::SetThumbLength(int v) {
  thumbLength_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), TBM_SETTHUMBLENGTH, WPARAM(v), 0);
}

void TTrackBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= TBS_ENABLESELRANGE | TBS_FIXEDLENGTH;
  params.Style |= orientation_ == trVertical ? TBS_VERT : TBS_HORZ;
  switch (tickStyle_) {
    case tsNone: params.Style |= TBS_NOTICKS; break;
    case tsAuto: params.Style |= TBS_AUTOTICKS; break;
    case tsManual: break;
  }
  switch (tickMarks_) {
    case tmBottomRight: params.Style |= orientation_ == trVertical ? TBS_RIGHT : TBS_BOTTOM; break;
    case tmTopLeft: params.Style |= orientation_ == trVertical ? TBS_LEFT : TBS_TOP; break;
    case tmBoth: params.Style |= TBS_BOTH; break;
  }
  CreateSubClass(params, TRACKBAR_CLASSW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  SendMessageW(wnd, TBM_SETTHUMBLENGTH, WPARAM(thumbLength_), 0);
  SendMessageW(wnd, TBM_SETLINESIZE, 0, lineSize_);
  SendMessageW(wnd, TBM_SETPAGESIZE, 0, pageSize_);
  SendMessageW(wnd, TBM_SETRANGEMIN, FALSE, min_);
  SendMessageW(wnd, TBM_SETRANGEMAX, FALSE, max_);
  if (tickStyle_ == tsAuto) SendMessageW(wnd, TBM_SETTICFREQ, WPARAM(frequency_), 0);
  SendMessageW(wnd, TBM_SETPOS, TRUE, position_);
  UpdateSelection();
}

void TTrackBar::Changed() {
  if (OnChange && FiringEvents()) OnChange(this);
}

void TTrackBar::CNScroll(TWMScroll& m) {
  m.Result = 0;
  int pos = int(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
  if (pos == position_) return;
  position_ = pos;
  Changed();
}

KARO_BEGIN_MESSAGE_MAP(TTrackBar)
  KARO_MESSAGE(CN_HSCROLL, CNScroll)
  KARO_MESSAGE(CN_VSCROLL, CNScroll)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TTrackBar, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::TabOrder(), TControlProps::TabStop(),
                 TControlProps::Visible(),
                 Prop("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation).Default(trHorizontal),
                 Prop("Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10),
                 Prop("Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0),
                 Prop("Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0),
                 Prop("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1),
                 Prop("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize).Default(1),
                 Prop("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2),
                 Prop("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd).Default(0),
                 Prop("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart).Default(0),
                 Prop("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength).Default(20),
                 Prop("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks).Default(tmBottomRight),
                 Prop("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle).Default(tsAuto),
                 Prop("OnChange", &TTrackBar::OnChange, &TTrackBar::OnChange))

// --- TUpDown ---


TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 17, 25);
  SetColor(clBtnFace);
}

void TUpDown::SetAssociate(TWinControl* v) {
  if (v == this) v = nullptr;
  SetFreeNotified(this, associate_, v);
  if (HandleAllocated() && !IsLoading()) RecreateWnd();
}

void TUpDown::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op == opRemove && c == associate_) {
    associate_ = nullptr;
    if (HandleAllocated() && !HasState(csDestroying)) SendMessageW(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::SetMin(int v) {
  min_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
}

void TUpDown::SetMax(int v) {
  max_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
}

int TUpDown::Position() {
  if (HandleAllocated()) {
    BOOL error = FALSE;
    int pos = int(SendMessageW(Handle(), UDM_GETPOS32, 0, LPARAM(&error)));
    if (!error) position_ = pos;
  }
  return position_;
}

void TUpDown::SetPosition(int v) {
  position_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, LPARAM(v));
}

void TUpDown::SetIncrement(int v) {
  increment_ = v;
  if (HandleAllocated()) {
    UDACCEL accel{0, UINT(std::max(v, 1))};
    SendMessageW(Handle(), UDM_SETACCEL, 1, LPARAM(&accel));
  }
}

void TUpDown::SetOrientation(TUDOrientation v) {
  if (orientation_ == v) return;
  orientation_ = v;
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton v) { SetRecreating(this, alignButton_, v); }

void TUpDown::SetWrap(bool v) { SetRecreating(this, wrap_, v); }

void TUpDown::SetArrowKeys(bool v) { SetRecreating(this, arrowKeys_, v); }

void TUpDown::SetThousands(bool v) { SetRecreating(this, thousands_, v); }

void TUpDown::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= UDS_SETBUDDYINT;
  if (associate_) params.Style |= alignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
  if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
  if (arrowKeys_) params.Style |= UDS_ARROWKEYS;
  if (!thousands_) params.Style |= UDS_NOTHOUSANDS;
  if (wrap_) params.Style |= UDS_WRAP;
  CreateSubClass(params, UPDOWN_CLASSW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  HWND wnd = Handle();
  SendMessageW(wnd, UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
  UDACCEL accel{0, UINT(std::max(increment_, 1))};
  SendMessageW(wnd, UDM_SETACCEL, 1, LPARAM(&accel));
  UpdateBuddy();
  SendMessageW(wnd, UDM_SETPOS32, 0, LPARAM(position_));
}

void TUpDown::UpdateBuddy() {
  // The buddy must share the up-down's parent window; another one is left alone.
  if (!associate_ || !associate_->Parent() || associate_->Parent() != Parent()) return;
  SendMessageW(Handle(), UDM_SETBUDDY, WPARAM(associate_->Handle()), 0);
  UpdateBounds();
}

void TUpDown::CNScroll(TWMScroll& m) {
  m.Result = 0;
  if (m.ScrollCode == SB_ENDSCROLL) return;
  int old = position_;
  int pos = Position();
  if (OnClick && FiringEvents()) {
    // A move to a greater value is the upper (or right) arrow; a wrap counts the other way.
    bool next = wrap_ && ((old == max_ && pos == min_) || (old == min_ && pos == max_)) ? pos < old : pos >= old;
    OnClick(this, next ? udBtnNext : udBtnPrev);
  }
}

void TUpDown::CNNotify(TWMNotify& m) {
  m.Result = 0;
  if (m.NMHdr->code == UDN_DELTAPOS && OnChanging && FiringEvents()) {
    bool allow = true;
    OnChanging(this, allow);
    m.Result = allow ? 0 : 1;
  }
}

KARO_BEGIN_MESSAGE_MAP(TUpDown)
  KARO_MESSAGE(CN_HSCROLL, CNScroll)
  KARO_MESSAGE(CN_VSCROLL, CNScroll)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TUpDown, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Enabled(), TControlProps::Hint(), TControlProps::ShowHint(),
                 TControlProps::TabOrder(), TControlProps::TabStop(), TControlProps::Visible(),
                 Prop("Associate", &TUpDown::Associate, &TUpDown::SetAssociate),
                 Prop("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight),
                 Prop("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(1),
                 Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1),
                 Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0),
                 Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100),
                 Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical),
                 Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0),
                 Prop("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(1),
                 Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(0),
                 Prop("OnChanging", &TUpDown::OnChanging, &TUpDown::OnChanging),
                 Prop("OnClick", &TUpDown::OnClick, &TUpDown::OnClick))

// --- TProgressBar ---


TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
}

void TProgressBar::SetMax(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
}

int TProgressBar::Position() {
  if (HandleAllocated()) position_ = int(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
  return position_;
}

void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, WPARAM(position_), 0);
}

void TProgressBar::SetStep(int v) {
  step_ = v;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETSTEP, WPARAM(step_), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
  if (orientation_ == v) return;
  orientation_ = v;
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TProgressBar::SetSmooth(bool v) { SetRecreating(this, smooth_, v); }

void TProgressBar::StepIt() { StepBy(step_); }

void TProgressBar::StepBy(int delta) { SetPosition(Position() + delta); }

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  if (orientation_ == pbVertical) params.Style |= PBS_VERTICAL;
  if (smooth_) params.Style |= PBS_SMOOTH;
  CreateSubClass(params, PROGRESS_CLASSW);
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
  SendMessageW(Handle(), PBM_SETSTEP, WPARAM(step_), 0);
  SendMessageW(Handle(), PBM_SETPOS, WPARAM(position_), 0);
}

KARO_CLASS_PROPS(TProgressBar, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Align(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::Visible(),
                 Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0),
                 Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100),
                 Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal),
                 Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0),
                 Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(0),
                 Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10))
