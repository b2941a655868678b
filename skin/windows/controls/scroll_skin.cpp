#include "skin/windows/controls/scroll_skin.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "classlib/controls/controls.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/controls/control_choice.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/core/skin_messages.h"

KARO_CLASS_INFO(TSkinScrollbar, TSkinControl)
KARO_CLASS_INFO(TSkinScrollbarH, TSkinControl)
KARO_CLASS_INFO(TSkinScControl, TSkinControl)
KARO_CLASS_INFO(TSkinListView, TSkinScrollbar)

namespace {

// The class library's reflected scroll notifications of a scroll-bar control.
constexpr UINT kCnHScroll = 0xBD14, kCnVScroll = 0xBD15;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

void FrameWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FrameRect(DC, &r, b);
  DeleteObject(b);
}

void Refresh(TWScrollbar* o) {
  if (o && o->Shown()) o->Refresh();
}

// After the control's own paint: a control that clips its siblings cannot have drawn over the
// overlays lying above it, so they are painted again only where the bar changed since their last
// paint; over one that does not clip them, always.
void RepaintOver(TWScrollbar* o, HWND Control) {
  if (!o || !o->Shown()) return;
  if (GetWindowLongPtrA(Control, GWL_STYLE) & WS_CLIPSIBLINGS)
    o->Sync();
  else
    o->Refresh();
}

// A scroll message lights on its overlay the part the system is operating.
void ShowScrollCode(TWMScroll& m, TWScrollbar* o) {
  if (!o) return;
  o->HotPart = m.ScrollCode;
  o->Refresh();
}

// The corner between two shown overlays, in window coordinates of the window under them.
void FillCorner(TSkinControl* s, HDC DC, TWScrollbar* vert, TWScrollbar* horz) {
  if (!vert || !horz || !vert->Shown() || !horz->Shown() || !s->FHandle) return;
  const TRect r = CornerSquare(vert->BarInTarget(), horz->BarInTarget(), ClientOffset(s->FHandle));
  s->FillBG(DC, r);
}

// ---- What the skins with a pair of overlays (a control's two bars) do with both

void FreeBars(TWScrollbar*& horz, TWScrollbar*& vert) {
  delete vert;
  vert = nullptr;
  delete horz;
  horz = nullptr;
}

void HideBars(TWScrollbar* horz, TWScrollbar* vert) {
  if (vert) vert->HideScrollbar();
  if (horz) horz->HideScrollbar();
}

void PlaceBars(TWScrollbar* horz, TWScrollbar* vert, HWND Wnd) {
  if (horz) horz->SetPosition(Wnd);
  if (vert) vert->SetPosition(Wnd);
}

void SyncBars(TWScrollbar* horz, TWScrollbar* vert) {
  if (vert) vert->Sync();
  if (horz) horz->Sync();
}

// WM_SETREDRAW reaches both overlays before anything reads the control's style again.
void RedrawSwitch(TWMSetRedraw& m, TWScrollbar* horz, TWScrollbar* vert) {
  for (TWScrollbar* b : {vert, horz})
    if (b) b->TargetRedraw(m.Redraw);
}

// After the base's Unsubclass: a live window's overlays go; those beside a gone window go out of
// sight until the skin is freed.
void DropBars(int State, TWScrollbar*& horz, TWScrollbar*& vert) {
  if (State != kSkinWindowGone)
    FreeBars(horz, vert);
  else
    HideBars(horz, vert);
}


// Whether the overlay hides the window's bar of this kind wholly: there is no bar, or the overlay
// shows exactly over it.
bool HidesBar(TWScrollbar* o, HWND Wnd, LONG_PTR StyleBit) {
  if (!(GetWindowLongPtrA(Wnd, GWL_STYLE) & StyleBit)) return true;
  if (!o || !o->Shown() || o->RedrawOff() || !o->HandleAllocated() || !IsWindowVisible(o->Handle())) return false;
  SCROLLBARINFO info;
  if (!o->ReadBar(info)) return false;
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) return true;
  POINT a{info.rcScrollBar.left, info.rcScrollBar.top}, b{info.rcScrollBar.right, info.rcScrollBar.bottom};
  ::ScreenToClient(Wnd, &a);
  ::ScreenToClient(Wnd, &b);
  const TRect placed = o->BarInTarget();
  return placed.Left == a.x && placed.Top == a.y && placed.Right == b.x && placed.Bottom == b.y;
}

// The system's frame of a window with a two-pixel edge is all covered by what the skin draws when
// the overlays lie over both bars: the skin's border, the corner and the overlays. Under Wine the
// system draws a themed bar in 10 to 20 ms even where nothing of it shows, so it is left out then.
bool SkinCoversFrame(HWND Wnd, TWScrollbar* horz, TWScrollbar* vert) {
  const TPoint edge = ClientOffset(Wnd);
  if (edge.X > 2 || edge.Y > 2) return false;
  return HidesBar(vert, Wnd, WS_VSCROLL) && HidesBar(horz, Wnd, WS_HSCROLL);
}

// The base's paint after the control's own, on the message's DC only when it really is one.
void PaintAfter(TSkinControl& s, TWMPaint& m) { s.PaintControl(AsDC(m.DC)); }

}  // namespace

TPoint ClientOffset(HWND Wnd) {
  RECT w{};
  POINT o{0, 0};
  if (!GetWindowRect(Wnd, &w) || !ClientToScreen(Wnd, &o)) return {};
  return {o.x - w.left, o.y - w.top};
}

bool SkinPaintsScrollbars(const TSkinData* Data) {
  return Data && Data->Scrollbar && Data->Scrollbar->Map && !Data->Scrollbar->Map->Empty();
}

// ---- TSkinScrollbar

TSkinScrollbar::TSkinScrollbar(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinScrollbar::~TSkinScrollbar() { FreeOverlays(); }

void TSkinScrollbar::FreeOverlays() { FreeBars(FHorz, FVert); }

void TSkinScrollbar::MakeOverlays() {
  auto* w = dyn<TWinControl>(FControl);
  if (!w || FHorz || !SkinPaintsScrollbars(FSkinData)) return;
  FHorz = new TWScrollbar(this);
  FHorz->Attach(this, w, kBarHorz);
  FVert = new TWScrollbar(this);
  FVert->Attach(this, w, kBarVert);
  FHorz->SetEnabled(w->Enabled());
  FVert->SetEnabled(w->Enabled());
  if (!w->Visible()) HideBars(FHorz, FVert);
}

void TSkinScrollbar::SetFixedColor() {
  if (PropKind(FControl, "FixedColor") != tkInteger) return;
  // The control's own colour is kept from the first time: after a skin change it shows the old
  // skin's, which unskinning must not give back.
  if (!FColorChanged) FSavedColor = TColor(GetIntProperty(FControl, "FixedColor"));
  FColorChanged = true;
  SetProperty(FControl, "FixedColor", std::to_string(int(ButtonFace())));
}

void TSkinScrollbar::InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  if (FInitialized || !Control) return;
  TakeControl(Control, SkinData, Canvas, Form);
  FBorder = Lower(GetProperty(Control, "BorderStyle")) != "bsnone" && Control->ClassName() != "TImageScrollBox";
  SetFixedColor();
  MakeOverlays();
  HookControl(Control);
  FInitialized = true;
  FState = kSkinAttached;
  if (FHandle) SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TSkinScrollbar::Unsubclass() {
  if (FColorChanged && FControl) {
    SetProperty(FControl, "FixedColor", std::to_string(int(FSavedColor)));
    FColorChanged = false;
  }
  TSkinControl::Unsubclass();
  DropBars(FState, FHorz, FVert);
}

void TSkinScrollbar::SkinChange() {
  SetFixedColor();
  if (!SkinPaintsScrollbars(FSkinData)) {
    FreeOverlays();
  } else if (!FHorz) {
    MakeOverlays();
  } else {
    SetScrollbarPos();
    Refresh(FVert);
    Refresh(FHorz);
  }
}

void TSkinScrollbar::SetScrollbarPos() { PlaceBars(FHorz, FVert, FHandle); }

void TSkinScrollbar::SyncOverlays() {
  if (FState != kSkinWindowGone && FHandle) SyncBars(FHorz, FVert);
}

void TSkinScrollbar::DrawBorder(HDC DC, const TRect& R) {
  FrameWith(DC, R, FSkinData ? FSkinData->Colors[csButtonShadow] : TColor(clBtnShadow));
  FrameWith(DC, TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1}, ButtonFace());
}

void TSkinScrollbar::BENCPAINT(HDC DC) {
  RECT r{};
  if (!FHandle || !GetWindowRect(FHandle, &r)) return;
  try {
    DrawBorder(DC, TRect{0, 0, r.right - r.left, r.bottom - r.top});
  } catch (...) {
  }
}

void TSkinScrollbar::PaintCorner(HDC DC) { FillCorner(this, DC, FVert, FHorz); }

bool TSkinScrollbar::BeforeNCPaint(TWMNCPaint& m) {
  if (!FBorder) return TSkinControl::BeforeProc(m.Message);
  SyncOverlays();
  if (!SkinCoversFrame(FHandle, FHorz, FVert)) Default(m.Message);
  if (HDC dc = GetWindowDC(FHandle)) {
    BENCPAINT(dc);
    PaintCorner(dc);
    ReleaseDC(FHandle, dc);
  }
  SyncOverlays();
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinScrollbar, bool, BeforeProc)
  KARO_MESSAGE(WM_NCPAINT, BeforeNCPaint)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

void TSkinScrollbar::AfterProc(TMessage& Message) {
  // Whatever the message did to the bars (keys, wheel, text, SetScrollInfo inside a handler),
  // the overlays show it now.
  if (DispatchAfter(Message)) SyncOverlays();
}

bool TSkinScrollbar::AfterSetRedraw(TWMSetRedraw& m) {
  RedrawSwitch(m, FHorz, FVert);
  return false;
}

bool TSkinScrollbar::AfterHScroll(TWMScroll& m) {
  ShowScrollCode(m, FHorz);
  return true;
}

bool TSkinScrollbar::AfterVScroll(TWMScroll& m) {
  ShowScrollCode(m, FVert);
  return true;
}

bool TSkinScrollbar::AfterMoved(TMessage&) {
  SetScrollbarPos();
  return true;
}

bool TSkinScrollbar::AfterMouseWheel(TWMMouseWheel&) {
  Refresh(FVert);
  Refresh(FHorz);
  return true;
}

bool TSkinScrollbar::AfterVisibleChanged(TCMChanged& m) {
  if (m.Value)
    SetScrollbarPos();
  else
    HideBars(FHorz, FVert);
  return true;
}

bool TSkinScrollbar::AfterEnabledChanged(TCMChanged&) {
  if (FControl) {
    if (FHorz) FHorz->SetEnabled(FControl->Enabled());
    if (FVert) FVert->SetEnabled(FControl->Enabled());
  }
  Refresh(FVert);
  Refresh(FHorz);
  return true;
}

bool TSkinScrollbar::AfterRecreateWnd(TMessage&) {
  if (FControl && FForm && FForm->hwnd) PostMessageW(FForm->hwnd, CN_ReCreateWnd, WPARAM(FHandle), 0);
  return true;
}

bool TSkinScrollbar::AfterPaintFrame(TCNSkinMarked& m) {
  if (m.Marked) {
    if (HDC dc = AsDC(m.DC)) BENCPAINT(dc);
    m.Result = kSkinLibraryMark;
  }
  return true;
}

bool TSkinScrollbar::AfterPaintBars(TWMPaint& m) {
  PaintAfter(*this, m);
  return true;
}

bool TSkinScrollbar::AfterInherited(TMessage& m) {
  TSkinControl::AfterProc(m);
  return true;
}

// True: the overlays follow what the message did.
KARO_BEGIN_MESSAGE_MAP_OF(TSkinScrollbar, bool, DispatchAfter)
  KARO_MESSAGE(WM_SETREDRAW, AfterSetRedraw)
  KARO_MESSAGE(WM_HSCROLL, AfterHScroll)
  KARO_MESSAGE(WM_VSCROLL, AfterVScroll)
  KARO_MESSAGE(WM_SIZE, AfterMoved)
  KARO_MESSAGE(WM_WINDOWPOSCHANGED, AfterMoved)
  KARO_MESSAGE(WM_MOUSEWHEEL, AfterMouseWheel)
  KARO_MESSAGE(CM_VISIBLECHANGED, AfterVisibleChanged)
  KARO_MESSAGE(CM_ENABLEDCHANGED, AfterEnabledChanged)
  KARO_MESSAGE(CM_RECREATEWND, AfterRecreateWnd)
  KARO_MESSAGE(CN_SkinPaintFrame, AfterPaintFrame)
  KARO_MESSAGE(WM_PAINT, AfterPaintBars)
KARO_END_MESSAGE_MAP_OF(AfterInherited(Message))

void TSkinScrollbar::DrawControl(HDC DC, const TRect& R) {
  (void)R;
  if (!FHandle) return;
  const LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
  if (FVert) {
    if (FVert->Shown())
      RepaintOver(FVert, FHandle);
    else if (style & WS_VSCROLL)
      FVert->SetPosition(FHandle);
  }
  if (FHorz) {
    if (FHorz->Shown())
      RepaintOver(FHorz, FHandle);
    else if (style & WS_HSCROLL)
      FHorz->SetPosition(FHandle);
  }
  PaintCorner(DC);
}

// ---- TSkinScrollbarH

TSkinScrollbarH::TSkinScrollbarH(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinScrollbarH::~TSkinScrollbarH() { FreeBars(FHorz, FVert); }

void TSkinScrollbarH::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  if (FInitialized) return;
  // The window's own character set decides the calls that subclass it (a Unicode list keeps
  // its wide text).
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  if (!SkinPaintsScrollbars(SkinData) || !Handle) return;
  FHorz = new TWScrollbar(this);
  FHorz->AttachHwnd(this, Handle, kBarHorz);
  FVert = new TWScrollbar(this);
  FVert->AttachHwnd(this, Handle, kBarVert);
}

void TSkinScrollbarH::Unsubclass() {
  TSkinControl::Unsubclass();
  DropBars(FState, FHorz, FVert);
}

void TSkinScrollbarH::SetScrollbarPos() { PlaceBars(FHorz, FVert, FHandle); }

void TSkinScrollbarH::AfterProc(TMessage& Message) {
  if (FState == kSkinWindowGone) return;
  DispatchAfter(Message);
}

void TSkinScrollbarH::AfterSetRedraw(TWMSetRedraw& m) { RedrawSwitch(m, FHorz, FVert); }

void TSkinScrollbarH::AfterHScroll(TWMScroll& m) {
  FollowWindow();
  ShowScrollCode(m, FHorz);
  SyncBars(FHorz, FVert);
}

void TSkinScrollbarH::AfterVScroll(TWMScroll& m) {
  FollowWindow();
  ShowScrollCode(m, FVert);
  SyncBars(FHorz, FVert);
}

void TSkinScrollbarH::AfterMoved(TMessage&) {
  FollowWindow();
  SetScrollbarPos();
  Invalidate();
  SyncBars(FHorz, FVert);
}

void TSkinScrollbarH::AfterPaintBars(TWMPaint& m) {
  FollowWindow();
  PaintAfter(*this, m);
  SyncBars(FHorz, FVert);
}

void TSkinScrollbarH::AfterInherited(TMessage& m) {
  FollowWindow();
  TSkinControl::AfterProc(m);
  SyncBars(FHorz, FVert);
}

void TSkinScrollbarH::FollowWindow() {
  if (FVert && !FVert->RedrawOff() && !IsWindowVisible(FHandle)) FVert->HideScrollbar();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinScrollbarH, void, DispatchAfter)
  KARO_MESSAGE(WM_SETREDRAW, AfterSetRedraw)
  KARO_MESSAGE(WM_HSCROLL, AfterHScroll)
  KARO_MESSAGE(WM_VSCROLL, AfterVScroll)
  KARO_MESSAGE(WM_SIZE, AfterMoved)
  KARO_MESSAGE(WM_NCPAINT, AfterMoved)
  KARO_MESSAGE(WM_PAINT, AfterPaintBars)
KARO_END_MESSAGE_MAP_OF(AfterInherited(Message))

void TSkinScrollbarH::DrawControl(HDC DC, const TRect& R) {
  (void)R;
  RepaintOver(FVert, FHandle);
  RepaintOver(FHorz, FHandle);
  FillCorner(this, DC, FVert, FHorz);
}

// ---- TSkinScControl

TSkinScControl::TSkinScControl(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinScControl::~TSkinScControl() {
  delete FBar;
  FBar = nullptr;
}

void TSkinScControl::InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  auto* w = dyn<TWinControl>(Control);
  if (FInitialized || !w) return;
  TakeControl(Control, SkinData, Canvas, Form);
  if (SkinPaintsScrollbars(SkinData)) {
    FBar = new TWScrollbar(this);
    FBar->SetShowHint(Control->ShowHint());
    FBar->SetHint(Control->Hint());
    FBar->Attach(this, w, kBarControl);
    if (!Control->Visible()) FBar->HideScrollbar();
  }
  HookControl(Control);
  FInitialized = true;
  FState = kSkinAttached;
}

void TSkinScControl::Unsubclass() {
  TSkinControl::Unsubclass();
  if (FState != kSkinWindowGone) {
    delete FBar;
    FBar = nullptr;
  } else if (FBar) {
    FBar->HideScrollbar();
  }
}

void TSkinScControl::AfterProc(TMessage& Message) {
  DispatchAfter(Message);
  if (FBar && FState != kSkinWindowGone) FBar->Sync();
}

void TSkinScControl::AfterWindowPosChanged(TWMWindowPosMsg&) {
  if (FBar) FBar->SetPosition(FHandle);
}

void TSkinScControl::AfterNCPaint(TWMNCPaint&) {
  FHandle = ControlWindow(FControl);
  if (FBar) FBar->SetPosition(FHandle);
}

void TSkinScControl::AfterScrolled(TMessage&) { Refresh(FBar); }

void TSkinScControl::AfterVisibleChanged(TCMChanged& m) {
  if (!FBar) return;
  if (m.Value)
    FBar->SetPosition(FHandle);
  else
    FBar->HideScrollbar();
}

void TSkinScControl::AfterPaintBar(TWMPaint& m) { PaintAfter(*this, m); }

KARO_BEGIN_MESSAGE_MAP_OF(TSkinScControl, void, DispatchAfter)
  KARO_MESSAGE(WM_WINDOWPOSCHANGED, AfterWindowPosChanged)
  KARO_MESSAGE(WM_NCPAINT, AfterNCPaint)
  KARO_MESSAGE(SBM_SETSCROLLINFO, AfterScrolled)
  KARO_MESSAGE(kCnVScroll, AfterScrolled)
  KARO_MESSAGE(kCnHScroll, AfterScrolled)
  KARO_MESSAGE(CM_VISIBLECHANGED, AfterVisibleChanged)
  KARO_MESSAGE(WM_PAINT, AfterPaintBar)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinScControl::DrawControl(HDC DC, const TRect& R) {
  (void)DC;
  (void)R;
  Refresh(FBar);
}

// ---- TSkinListView

TSkinListView::TSkinListView(TComponent* AOwner) : TSkinScrollbar(AOwner) {}

void TSkinListView::InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  TSkinScrollbar::InitScrollbar(Control, SkinData, Canvas, Form);
  FindHeader();
}

void TSkinListView::FindHeader() {
  if (header_ || !FHandle || FState == kSkinWindowGone) return;
  // The list view makes its header only when it first needs one.
  HWND h = HWND(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
  if (!h || !IsWindow(h)) return;
  header_ = h;
  if (FForm) AttachWindowSkin(FForm, kcHeader, h, FControl ? static_cast<TComponent*>(FControl) : FForm);
}

void TSkinListView::AfterProc(TMessage& Message) {
  TSkinScrollbar::AfterProc(Message);
  DispatchHeader(Message);
}

void TSkinListView::AfterHeaderMayCome(TMessage&) { FindHeader(); }

// The messages after which the list view may have made its header.
KARO_BEGIN_MESSAGE_MAP_OF(TSkinListView, void, DispatchHeader)
  KARO_MESSAGE(WM_PARENTNOTIFY, AfterHeaderMayCome)
  KARO_MESSAGE(LVM_INSERTCOLUMNA, AfterHeaderMayCome)
  KARO_MESSAGE(LVM_INSERTCOLUMNW, AfterHeaderMayCome)
  KARO_MESSAGE(LVM_SETVIEW, AfterHeaderMayCome)
  KARO_MESSAGE(WM_STYLECHANGED, AfterHeaderMayCome)
  KARO_MESSAGE(WM_SHOWWINDOW, AfterHeaderMayCome)
KARO_END_MESSAGE_MAP_OF(void())
