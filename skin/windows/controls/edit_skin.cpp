#include "skin/windows/controls/edit_skin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/controls/scroll_skin.h"
#include "skin/windows/controls/updown_skin.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/paint/scroll_geometry.h"

KARO_CLASS_INFO(TSkinEdit, TSkinControl)
KARO_CLASS_INFO(TArrowButton, TCustomControl)
KARO_CLASS_INFO(TSkinDateTime, TSkinControl)

namespace {

void FrameWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FrameRect(DC, &r, b);
  DeleteObject(b);
}

TRect Shrunk(const TRect& R, int n) { return {R.Left + n, R.Top + n, R.Right - n, R.Bottom - n}; }

// The window has a border: its client area is narrower or lower than the window.
bool HasBorder(HWND Wnd, const TRect& R, int Slack) {
  RECT c{};
  GetClientRect(Wnd, &c);
  return std::abs(c.right - R.Width()) > Slack && std::abs(c.bottom - R.Height()) > Slack;
}

bool IsUpDownClass(HWND w) {
  char cls[101] = {};
  GetClassNameA(w, cls, sizeof cls);
  std::string s(cls);
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s == "msctls_updown32" || s.find("spin") != std::string::npos || s.find("updown") != std::string::npos;
}

}  // namespace

// ---- TSkinEdit

std::function<TSkinControl*(TComponent*)> TSkinEdit::UpDownMaker = [](TComponent* Owner) {
  return MakeSkin(kcUpDown, Owner);
};

TSkinEdit::TSkinEdit(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinEdit::~TSkinEdit() {
  // The up-down's skin belongs to the skinned control: it is not freed here.
  if (FUpDown) RemoveFreeNotification(FUpDown);
}

void TSkinEdit::Notification(TComponent* C, TOperation Op) {
  TSkinControl::Notification(C, Op);
  if (Op == opRemove && C == FUpDown) FUpDown = nullptr;
}

void TSkinEdit::FindUPDown(HWND Wnd) {
  for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsUpDownClass(c)) continue;
    FUpDownWindow = c;
    if (!UpDownMaker) return;
    TComponent* owner = Owner() ? Owner() : static_cast<TComponent*>(FForm);
    TSkinControl* s = UpDownMaker(owner);
    if (!s) return;
    FUpDown = s;
    // An up-down inside an edit keeps within the edit's frame.
    if (auto* u = dyn<TSkinUpDown>(s)) u->FInEdit = true;
    FreeNotification(s);
    s->Inithwnd(c, FSkinData, FCanvas, FForm);
    return;
  }
}

void TSkinEdit::AfterPaintEdit(TWMPaint& m) { PaintControl(AsDC(m.DC)); }

void TSkinEdit::AfterPrint(TWMPrint& m) { PaintControl1(AsDC(m.DC)); }

void TSkinEdit::AfterPaintClient(TCNSkinMarked& m) {
  if (!m.Marked) return;
  // Only a real device context is painted into.
  if (HDC dc = AsDC(m.DC)) {
    TMessage paint{WM_PAINT, WPARAM(dc), 0, 0};
    Default(paint);
  }
  m.Result = kSkinLibraryMark;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinEdit, void, AfterProc)
  KARO_MESSAGE(WM_PAINT, AfterPaintEdit)
  KARO_MESSAGE(WM_PRINT, AfterPrint)
  KARO_MESSAGE(CN_SkinPaintClient, AfterPaintClient)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinEdit::DrawControl(HDC DC, const TRect& R) {
  if (!FSkinData || !FHandle) return;
  if (FSkinData->SkinControls().Contains(xcSpin) && !FUpDown) FindUPDown(FHandle);
  if (!HasBorder(FHandle, R, 0)) return;
  FrameWith(DC, R, FSkinData->Colors[csButtonShadow]);
  FrameWith(DC, Shrunk(R, 1), clWhite);
  FrameWith(DC, Shrunk(R, 2), clWhite);
}

void TSkinEdit::PaintControl1(HDC DC) {
  RECT r{};
  if (!FHandle || !GetWindowRect(FHandle, &r)) return;
  FWindowRect = TRect{r.left, r.top, r.right, r.bottom};
  HDC dc = DC ? DC : GetWindowDC(FHandle);
  if (!dc) return;
  try {
    DrawControl1(dc, TRect{0, 0, r.right - r.left, r.bottom - r.top});
  } catch (...) {
  }
  if (!DC) ReleaseDC(FHandle, dc);
}

void TSkinEdit::DrawControl1(HDC DC, const TRect& R) {
  if (!FSkinData || !HasBorder(FHandle, R, 2)) return;
  HBRUSH current = HBRUSH(GetCurrentObject(DC, OBJ_BRUSH));
  const TRect inner = Shrunk(R, 1);
  RECT r{inner.Left, inner.Top, inner.Right, inner.Bottom};
  FrameRect(DC, &r, current);
  FrameWith(DC, R, FSkinData->Colors[csButtonShadow]);
}

// ---- TArrowButton

TArrowButton::TArrowButton(TComponent* AOwner) : TCustomControl(AOwner), arrowSize_(GetSystemMetrics(SM_CXHSCROLL)) {
  SetTabStop(false);
}

void TArrowButton::Attach(TSkinDateTime* Skin, TWinControl* Picker) {
  skin_ = Skin;
  picker_ = Picker;
  pickerWnd_ = Picker->Handle();
  SetParentWindow(pickerWnd_);
  RECT w{};
  GetWindowRect(pickerWnd_, &w);
  MoveArrow(TRect{0, 0, w.right - w.left, w.bottom - w.top});
  // The picker's painting leaves the arrow alone.
  SetWindowLongPtrA(pickerWnd_, GWL_STYLE, GetWindowLongPtrA(pickerWnd_, GWL_STYLE) | WS_CLIPCHILDREN);
}

POINT TArrowButton::PickerButtonPoint() const {
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof(info);
  // The message answers nothing under some systems: the filled rectangle tells.
  if (pickerWnd_) SendMessageW(pickerWnd_, DTM_GETDATETIMEPICKERINFO, 0, LPARAM(&info));
  if (info.rcButton.right > info.rcButton.left)
    return {(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2};
  // Without the picker's word: the middle of the arrow, which lies on the picker's button.
  return {Left() + Width() / 2, Top() + Height() / 2};
}

void TArrowButton::MoveArrow(const TRect& R) {
  if (!pickerWnd_) return;
  // Where the picker really has its button: it may ignore WS_EX_LEFTSCROLLBAR.
  bool left = (GetWindowLongPtrA(pickerWnd_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof(info);
  if (left) SendMessageW(pickerWnd_, DTM_GETDATETIMEPICKERINFO, 0, LPARAM(&info));
  if (left && info.rcButton.right > info.rcButton.left) left = info.rcButton.left < R.Width() / 2;
  // As tall as the picker's client area where that is taller, so that no strip of the picker's own
  // button shows under the arrow.
  RECT c{};
  GetClientRect(pickerWnd_, &c);
  SetBounds(PickerArrowLeft(R.Width(), arrowSize_, left), 0, arrowSize_, std::max<int>(arrowSize_ + 1, c.bottom));
}

void TArrowButton::SetHot(bool Hot) {
  if (Hot == this->Hot()) return;
  if (Hot && pickerWnd_ && !IsWindowEnabled(pickerWnd_)) return;
  mouse_ = uint8_t(Hot ? mouse_ | 1 : mouse_ & ~1);
  if (Hot) DoTrackMouse(Handle());
  Invalidate();
}

void TArrowButton::PaintTo(HDC DC) {
  const TSkinData* d = skin_ ? skin_->FSkinData : nullptr;
  RECT r{0, 0, Width(), Height()};
  HBRUSH face = CreateSolidBrush(COLORREF(ColorToRGB(d ? d->Colors[csButtonFace] : TColor(clBtnFace))));
  FillRect(DC, &r, face);
  DeleteObject(face);
  if (!d || !d->ComboxArrow || !d->ComboxArrow->Map || d->ComboxArrow->Map->Empty()) return;
  TBitmap* map = d->ComboxArrow->Map.get();
  const int frames = std::max(d->ComboxArrow->Frame, 1);
  const int k = std::min(Hot() ? 4 : 1, frames);
  const int w = map->Width() / frames;
  SetStretchBltMode(DC, COLORONCOLOR);
  StretchBlt(DC, 0, 0, r.right, r.bottom, map->Canvas()->Handle(), (k - 1) * w, 0, w, map->Height(), SRCCOPY);
}

void TArrowButton::WMMouseOver(TMessage&) { SetHot(true); }

void TArrowButton::WMMouseOut(TMessage&) { SetHot(false); }

void TArrowButton::WMMouseActivate(TWMMouseActivate& m) {
  // The arrow never takes the focus: the picker's calendar would close at once.
  m.Result = MA_NOACTIVATE;
}

void TArrowButton::WMLButtonDown(TWMMouse& m) {
  if (!pickerWnd_) return;
  const POINT p = PickerButtonPoint();
  PostMessageW(pickerWnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(pickerWnd_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  Invalidate();
  m.Result = 0;
}

void TArrowButton::WMLButtonUp(TWMMouse& m) { m.Result = 0; }

void TArrowButton::WMEraseBkgnd(TWMEraseBkgnd& m) { m.Result = 1; }

void TArrowButton::WMPaint(TWMPaint& m) { PaintOwnWindow(Handle(), m, [this](HDC dc) { PaintTo(dc); }); }

KARO_BEGIN_MESSAGE_MAP_OF(TArrowButton, void, WndProc)
  KARO_MESSAGE(WM_MOUSEMOVE, WMMouseOver)
  KARO_MESSAGE(CM_MOUSEENTER, WMMouseOver)
  KARO_MESSAGE(WM_MOUSELEAVE, WMMouseOut)
  KARO_MESSAGE(CM_MOUSELEAVE, WMMouseOut)
  KARO_MESSAGE(WM_MOUSEACTIVATE, WMMouseActivate)
  KARO_MESSAGE(WM_LBUTTONDOWN, WMLButtonDown)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, WMLButtonDown)
  KARO_MESSAGE(WM_LBUTTONUP, WMLButtonUp)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(WM_PAINT, WMPaint)
  KARO_MESSAGE(WM_PRINTCLIENT, WMPaint)
KARO_END_MESSAGE_MAP_OF(TCustomControl::WndProc(Message))

// ---- TSkinDateTime

TSkinDateTime::TSkinDateTime(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinDateTime::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  auto* picker = dyn<TWinControl>(FControl);
  if (!FInitialized || !picker) return;
  FArrow = new TArrowButton(this);
  FArrow->Attach(this, picker);
}

void TSkinDateTime::DrawControl(HDC DC, const TRect& R) {
  if (!FSkinData || !FHandle) return;
  if (FArrow) FArrow->MoveArrow(R);
  if (!HasBorder(FHandle, R, 0)) return;
  FrameWith(DC, R, FSkinData->Colors[csButtonShadow]);
  FrameWith(DC, Shrunk(R, 1), clWhite);
}
