#include "skin/windows/controls/overlay_scrollbar.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/controls/control_skin.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TWScrollbar, TCustomControl)

namespace {

constexpr UINT_PTR kSyncTimer = 0x5C01;
// A bar changed by a call from outside any message of its window is caught this often.
constexpr UINT kSyncPeriod = 100;

bool SameBar(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
  return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.xyThumbTop == b.xyThumbTop &&
         a.xyThumbBottom == b.xyThumbBottom && a.rgstate[0] == b.rgstate[0];
}

// Holds a flag set for the length of a scope and puts back what it held.
struct TBusy {
  explicit TBusy(bool& f) : flag(f), was(f) { f = true; }
  ~TBusy() { flag = was; }
  bool& flag;
  bool was;
};

bool HasPicture(const TDataSkinObject* o) { return o && o->Map && !o->Map->Empty(); }

}  // namespace

TWorkBitmap::TWorkBitmap(HDC Like, int W, int H) {
  DC = CreateCompatibleDC(Like);
  // A device-independent picture of 32 bits, whose pixels the keyed copies of the arrows and
  // thumbs reach straight instead of going through MaskBlt; the colours are those of a
  // compatible bitmap of the screen, which is made only when no such picture can be had.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = std::max(W, 1);
  info.bmiHeader.biHeight = -std::max(H, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Bmp) Bmp = CreateCompatibleBitmap(Like, std::max(W, 1), std::max(H, 1));
  Old = SelectObject(DC, Bmp);
  SetStretchBltMode(DC, COLORONCOLOR);
}

TWorkBitmap::~TWorkBitmap() {
  SelectObject(DC, Old);
  DeleteObject(Bmp);
  DeleteDC(DC);
}

void TWorkBitmap::Fill(TColor Color, int W, int H) {
  HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
  RECT all{0, 0, W, H};
  FillRect(DC, &all, b);
  DeleteObject(b);
}

HDC AsDC(HDC DC) {
  const DWORD t = DC ? GetObjectType(DC) : 0;
  return t == OBJ_DC || t == OBJ_MEMDC ? DC : nullptr;
}

void PaintOwnWindow(HWND Wnd, TWMPaint& Message, const std::function<void(HDC)>& Paint) {
  PAINTSTRUCT ps{};
  const bool own = Message.Message.Msg == WM_PAINT;
  HDC dc = own ? BeginPaint(Wnd, &ps) : AsDC(Message.DC);
  try {
    if (dc) Paint(dc);
  } catch (...) {
  }
  if (own) EndPaint(Wnd, &ps);
  Message.Result = 0;
}

int BarThickness(const TSkinData* Data, int Arrow) {
  if (!Data || !HasPicture(Data->Scrollbar.get())) return Arrow;
  const int T = Data->Scrollbar->Map->Height();
  return std::abs(T - Arrow) > 2 ? Arrow : T;
}

void DrawBarPieces(HDC DC, const TSkinData* d, const TBarLayout& l, bool Vertical) {
  if (!d || !HasPicture(d->Scrollbar.get())) return;
  TBitmap* strip = d->Scrollbar->Map.get();
  const TDataSkinObject* track = Vertical ? d->VertScroll.get() : d->HorzScroll.get();
  if (l.Track.Frame && HasPicture(track))
    DrawRect2(DC, l.Track.R, track->Map.get(), track->Margins, l.Track.Frame, 4, track->Trans, track->Tile, 0);
  TSkinControl::DrawSkinMap2(DC, l.First.R, strip, l.First.Frame, 23);
  TSkinControl::DrawSkinMap2(DC, l.Second.R, strip, l.Second.Frame, 23);
  const TDataSkinObject* thumb = Vertical ? d->VertScrollThumb.get() : d->HorzScrollThumb.get();
  if (l.Thumb.Frame && HasPicture(thumb))
    DrawRect2(DC, l.Thumb.R, thumb->Map.get(), thumb->Margins, l.Thumb.Frame, std::max(thumb->Frame, 1), thumb->Trans,
              0, 0);
  if (l.Grip.Frame) TSkinControl::DrawSkinMap2(DC, l.Grip.R, strip, l.Grip.Frame, 23);
}

TWScrollbar::TWScrollbar(TComponent* AOwner) : TCustomControl(AOwner), alive_(std::make_shared<bool>(true)) {
  SetTabStop(false);
  SetVisible(false);
  arrow_ = GetSystemMetrics(SM_CXHSCROLL);
}

TWScrollbar::~TWScrollbar() {
  *alive_ = false;
  if (HandleAllocated()) KillTimer(Handle(), kSyncTimer);
  if (clipSiblingsAdded_ && target_ && IsWindow(target_))
    SetWindowLongPtrA(target_, GWL_STYLE, GetWindowLongPtrA(target_, GWL_STYLE) & ~LONG_PTR(WS_CLIPSIBLINGS));
}

void TWScrollbar::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle = WS_EX_TOOLWINDOW;
}

TSkinData* TWScrollbar::SkinData() const { return skin_ ? skin_->FSkinData : nullptr; }

void TWScrollbar::Attach(TSkinControl* Skin, TWinControl* Control, int Kind) {
  skin_ = Skin;
  control_ = Control;
  target_ = Control ? Control->Handle() : nullptr;
  kind_ = Kind;
  orientation_ = Kind;
  if (Skin) SetColor(Skin->GetParentColor(Skin->ButtonFace()));
  if (Kind == kBarControl) {
    std::string k = GetEnumProperty(Control, "Kind");
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    orientation_ = k == "sbhorizontal" ? 0 : 1;
  }
  if (target_) SetParentWindow(GetParent(target_));
  SetPosition(target_);
}

void TWScrollbar::AttachHwnd(TSkinControl* Skin, HWND Wnd, int Kind) {
  skin_ = Skin;
  control_ = nullptr;
  target_ = Wnd;
  kind_ = Kind;
  orientation_ = Kind == kBarControl ? 1 : Kind;
  if (Wnd) {
    // The window's own painting of its bars must not draw over the overlay lying above it.
    const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
    if (!(style & WS_CLIPSIBLINGS)) {
      SetWindowLongPtrA(Wnd, GWL_STYLE, style | WS_CLIPSIBLINGS);
      clipSiblingsAdded_ = true;
    }
    SetParentWindow(GetParent(Wnd));
  }
  SetPosition(Wnd);
}

bool TWScrollbar::ReadBar(SCROLLBARINFO& Info) {
  Info = SCROLLBARINFO{};
  Info.cbSize = sizeof(Info);
  if (kind_ != kBarControl) {
    TSkinData* d = SkinData();
    if (!d || !target_) return false;
    return d->GetScrollBarInfo(target_, kind_ == kBarHorz ? OBJID_HSCROLL : OBJID_VSCROLL, Info);
  }
  if (!control_ || !target_) return false;
  const TRect b = control_->BoundsRect();
  Info.rcScrollBar = RECT{b.Left, b.Top, b.Right, b.Bottom};
  const int L = Vertical() ? b.Height() : b.Width();
  // The system's own thumb when it tells it, so that the drawn thumb is the control's.
  SCROLLBARINFO sys{};
  sys.cbSize = sizeof(sys);
  if (pGetScrollBarInfo && pGetScrollBarInfo(target_, OBJID_CLIENT, &sys) && sys.xyThumbBottom > sys.xyThumbTop) {
    Info.xyThumbTop = sys.xyThumbTop;
    Info.xyThumbBottom = sys.xyThumbBottom;
  } else {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (!GetScrollInfo(target_, SB_CTL, &si)) return false;
    const TThumbSpan t = ControlThumb(L, arrow_, si.nMin, si.nMax, si.nPage, si.nPos);
    Info.xyThumbTop = t.Start;
    Info.xyThumbBottom = t.End;
  }
  if (!IsWindowEnabled(target_)) Info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  return true;
}

bool TWScrollbar::LiesOverTarget() {
  // Directly above the target, or above the target's other overlay lying there.
  for (HWND w = target_ ? GetWindow(target_, GW_HWNDPREV) : nullptr; w; w = GetWindow(w, GW_HWNDPREV)) {
    if (w == Handle()) return true;
    auto* other = dynamic_cast<TWScrollbar*>(FindControl(w));
    if (!other || other->target_ != target_) return false;
  }
  return false;
}

void TWScrollbar::ShowAt(int X, int Y, int W, int H) {
  HWND h = Handle();
  HWND above = target_ ? GetWindow(target_, GW_HWNDPREV) : nullptr;
  RECT now{};
  GetWindowRect(h, &now);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&now), 2);
  const RECT want{X, Y, X + W, Y + H};
  // Every window operation makes the system repaint what it uncovers, the target's frame among it
  // (under Wine a themed frame with its bars costs about 10 ms), so the overlay is shown, placed
  // and put above the target in one move, and not at all when it is there already.
  const bool over = LiesOverTarget();
  if (!IsWindowVisible(h) || !over || !EqualRect(&now, &want)) {
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS;
    if (over) flags |= SWP_NOZORDER;
    SetWindowPos(h, above ? above : HWND_TOP, X, Y, W, H, flags);
    InvalidateRect(h, nullptr, FALSE);
  }
  // The class library's own state follows; the window is visible already, so this moves nothing.
  SetVisible(true);
  shown_ = true;
  SetTimer(h, kSyncTimer, kSyncPeriod, nullptr);
}

void TWScrollbar::SetPosition(HWND Wnd) {
  target_ = Wnd;
  if (redrawOff_) return;
  SCROLLBARINFO info;
  const bool ok = ReadBar(info);
  shown_ = ok;
  if (!ok) return;
  if (!(GetWindowLongPtrA(target_, GWL_STYLE) & WS_VISIBLE) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
    HideScrollbar();
    placedRect_ = info.rcScrollBar;
    return;
  }
  RECT r = info.rcScrollBar;
  POINT p{r.left, r.top};
  if (kind_ != kBarControl) {
    POINT a{r.left, r.top}, b{r.right, r.bottom};
    ::ScreenToClient(target_, &a);
    ::ScreenToClient(target_, &b);
    barInTarget_ = TRect{a.x, a.y, b.x, b.y};
    barOrigin_ = p;
    ::ScreenToClient(GetParent(target_), &p);
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  placedRect_ = info.rcScrollBar;
  ShowAt(p.x, p.y, w, h);
}

void TWScrollbar::HideScrollbar() {
  if (HandleAllocated()) {
    ShowWindow(Handle(), SW_HIDE);
    KillTimer(Handle(), kSyncTimer);
  }
  shown_ = false;
  SetVisible(false);
}

void TWScrollbar::Refresh() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TWScrollbar::TargetRedraw(bool On) {
  if (redrawOff_ == !On) return;
  redrawOff_ = !On;
  // Placed again only where the bar moved, appeared or went meanwhile: a placing costs a window move.
  if (On) Sync();
}

void TWScrollbar::Sync() {
  // Reading a scroll-bar control's bar sends it a message, which comes back here.
  if (busy_ || redrawOff_ || !target_ || !IsWindow(target_)) return;
  TBusy busy(busy_);
  SCROLLBARINFO info;
  if (!ReadBar(info)) return;
  const bool visible =
      (GetWindowLongPtrA(target_, GWL_STYLE) & WS_VISIBLE) && !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  if (visible != shown_ || (visible && !EqualRect(&info.rcScrollBar, &placedRect_))) {
    SetPosition(target_);
    return;
  }
  if (shown_ && !SameBar(info, painted_)) Refresh();
}

bool TWScrollbar::LayOut(TBarNow& Now) {
  if (!ReadBar(Now.Info)) return false;
  TSkinData* d = SkinData();
  const SCROLLBARINFO& info = Now.Info;
  // A disabled control's bars are disabled too, whatever the system says of the bar itself.
  Now.Enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && IsWindowEnabled(target_);
  Now.Client = RECT{};
  if (HandleAllocated()) GetClientRect(Handle(), &Now.Client);
  Now.Bar = TRect{0, 0, info.rcScrollBar.right - info.rcScrollBar.left, info.rcScrollBar.bottom - info.rcScrollBar.top};
  const int T = BarThickness(d, arrow_);
  Now.W = Now.Bar.Width();
  Now.H = Now.Bar.Height();
  if (kind_ == kBarControl) (Vertical() ? Now.W : Now.H) = T;
  TThumbSpan shown{info.xyThumbTop, info.xyThumbBottom};
  if (Pressed && HotPart == kPartThumb && kind_ != kBarControl) {
    // The thumb follows the cursor before the window scrolls, along the track.
    POINT c{};
    GetCursorPos(&c);
    const int delta = Vertical() ? c.y - pressCursor_.y : c.x - pressCursor_.x;
    shown = DraggedThumb(thumbAtPress_, delta, arrow_, Vertical() ? Now.Bar.Height() : Now.Bar.Width());
  }
  TBarState& s = Now.State;
  s = TBarState{};
  s.Vertical = Vertical();
  s.Length = Vertical() ? Now.H : Now.W;
  s.Thickness = T;
  s.Arrow = arrow_;
  s.Thumb = shown;
  s.Hot = HotPart;
  s.Pressed = Pressed;
  s.Enabled = Now.Enabled;
  s.GripSize = d && HasPicture(d->Scrollbar.get()) ? d->Scrollbar->Map->Height() : 0;
  s.Extent = Vertical() ? Now.Client.bottom : Now.Client.right;
  return true;
}

int TWScrollbar::HitTest(int X, int Y) {
  TBarNow now;
  if (!LayOut(now)) return kPartNone;
  return ScrollBarHitPart(now.State, Vertical() ? Y : X);
}

void TWScrollbar::PaintTo(HDC DC) {
  TBusy busy(busy_);
  drawnAny_ = false;
  drawnThumb_ = {};
  TSkinData* d = SkinData();
  if (!d || !HasPicture(d->Scrollbar.get())) return;
  TBarNow now;
  if (!LayOut(now)) return;
  painted_ = now.Info;
  if (now.Info.rgstate[0] & STATE_SYSTEM_INVISIBLE) return;
  BarEnabled = now.Enabled;
  const TRect& R = now.Bar;
  const RECT& client = now.Client;
  if (R.Right < 0 || R.Bottom < 0 || R.Right > client.right || R.Bottom > client.bottom) return;
  const int bw = now.W, bh = now.H;
  TWorkBitmap work(DC, bw, bh);
  work.Fill(d->Colors[csButtonFace], bw, bh);
  const TBarLayout l = ScrollBarLayout(now.State);
  DrawBarPieces(work.DC, d, l, Vertical());
  if (l.Thumb.Frame && HasPicture(Vertical() ? d->VertScrollThumb.get() : d->HorzScrollThumb.get()))
    drawnThumb_ = now.State.Thumb;
  if (kind_ == kBarControl)
    StretchBlt(DC, 0, 0, client.right, client.bottom, work.DC, 0, 0, bw, bh, SRCCOPY);
  else
    BitBlt(DC, 0, 0, bw, bh, work.DC, 0, 0, SRCCOPY);
  drawnAny_ = true;
}

void TWScrollbar::Press(TWMMouse& Message) {
  GetCursorPos(&pressCursor_);
  SCROLLBARINFO info;
  if (ReadBar(info)) thumbAtPress_ = {info.xyThumbTop, info.xyThumbBottom};
  int x = Message.XPos, y = Message.YPos;
  HotPart = HitTest(x, y);
  UINT msg = WM_LBUTTONDOWN;
  WPARAM wp = MK_LBUTTON;
  if (kind_ != kBarControl) {
    barOrigin_ = POINT{info.rcScrollBar.left, info.rcScrollBar.top};
    x += barOrigin_.x;
    y += barOrigin_.y;
    msg = WM_NCLBUTTONDOWN;
    wp = kind_ == kBarHorz ? HTHSCROLL : HTVSCROLL;
  }
  Pressed = true;
  Refresh();
  ReleaseCapture();
  // The system tracks the bar inside this call; a handler may free the control, and us with it.
  std::shared_ptr<bool> alive = alive_;
  HWND target = target_;
  SendMessageW(target, msg, wp, MAKELPARAM(x, y));
  if (!*alive) return;
  Pressed = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  Sync();
  Refresh();
  Message.Result = 0;
}

void TWScrollbar::Release(TWMMouse& Message) {
  int x = Message.XPos, y = Message.YPos;
  UINT msg = WM_LBUTTONUP;
  WPARAM wp = MK_LBUTTON;
  if (kind_ != kBarControl) {
    x += barOrigin_.x;
    y += barOrigin_.y;
    msg = WM_NCLBUTTONUP;
    wp = kind_ == kBarHorz ? HTHSCROLL : HTVSCROLL;
  }
  Pressed = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (target_) PostMessageW(target_, msg, wp, MAKELPARAM(x, y));
  Refresh();
  Message.Result = 0;
}

void TWScrollbar::MouseMove(TWMMouse& Message) {
  const int hot = HitTest(Message.XPos, Message.YPos);
  if (hot != HotPart) {
    HotPart = hot;
    Refresh();
  }
  DoTrackMouse(Handle());
  Message.Result = 0;
}

void TWScrollbar::WMMouseLeave(TWMNoParams&) {
  if (!Pressed) {
    HotPart = kPartNone;
    Refresh();
  }
}

void TWScrollbar::WMMouseActivate(TWMMouseActivate& m) {
  // A click on the bar leaves the focus where it is, as a click on the native bar does.
  m.Result = MA_NOACTIVATE;
}

void TWScrollbar::WMEraseBkgnd(TWMEraseBkgnd& m) { m.Result = 1; }

void TWScrollbar::WMTimer(TWMTimer& m) {
  if (m.TimerID == kSyncTimer) {
    Sync();
    return;
  }
  TCustomControl::WndProc(m.Message);
}

void TWScrollbar::WMPaint(TWMPaint& m) { PaintOwnWindow(Handle(), m, [this](HDC dc) { PaintTo(dc); }); }

KARO_BEGIN_MESSAGE_MAP_OF(TWScrollbar, void, WndProc)
  KARO_MESSAGE(WM_LBUTTONDOWN, Press)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, Press)
  KARO_MESSAGE(WM_LBUTTONUP, Release)
  KARO_MESSAGE(WM_MOUSEMOVE, MouseMove)
  KARO_MESSAGE(WM_MOUSELEAVE, WMMouseLeave)
  KARO_MESSAGE(WM_MOUSEACTIVATE, WMMouseActivate)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(WM_TIMER, WMTimer)
  KARO_MESSAGE(WM_PAINT, WMPaint)
  KARO_MESSAGE(WM_PRINTCLIENT, WMPaint)
KARO_END_MESSAGE_MAP_OF(TCustomControl::WndProc(Message))
