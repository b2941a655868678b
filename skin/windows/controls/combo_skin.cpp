#include "skin/windows/controls/combo_skin.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_messages.h"
#include "skin/windows/manager/window_subclass.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinComBox, TSkinControl)
KARO_CLASS_INFO(TComboxScrollBar, TSkinControl)

namespace {

// The class library's reflected WM_COMMAND.
constexpr UINT kCnCommand = 0xBD11;

// While the drop list shows, a bar set from outside any of its messages (SetScrollInfo by a
// program), which the system draws anew in its own look, is caught this often.
constexpr UINT_PTR kListSyncTimer = 0x5C02;
constexpr UINT kListSyncPeriod = 100;

bool HasPicture(const TDataSkinObject* o) { return o && o->Map && !o->Map->Empty(); }

// ---- The hook on the combo's edit child

LRESULT CALLBACK EditHookProc(HWND w, UINT m, WPARAM wp, LPARAM lp);

// Runs after the edit's own procedure, whose result stands.
LRESULT EditMessage(void* skin, HWND, UINT m, WPARAM, LPARAM) {
  auto* s = static_cast<TSkinComBox*>(skin);
  if (m == WM_NCDESTROY)
    s->FEditChild = nullptr;
  else
    s->ButtonProc(m);
  return 0;
}

const TSubclassKind kEditKind{L"KaroComboEditHook", &EditHookProc, &EditMessage, false, true};

LRESULT CALLBACK EditHookProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SubclassWindowProc(kEditKind, w, m, wp, lp); }

// A message's point in screen coordinates (non-client messages carry them already).
POINT ScreenPointOf(const MSG& msg) {
  POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) ClientToScreen(msg.hwnd, &p);
  return p;
}

}  // namespace

// ---- TSkinComBox

TSkinComBox::TSkinComBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinComBox::~TSkinComBox() {
  UnhookEdit();
  // The list skins belong to the skinned control, and the form frees those of gone windows while
  // it walks its list: freeing them here as well would free them twice.
  if (FSimpleList) RemoveFreeNotification(FSimpleList);
  if (FDropList) RemoveFreeNotification(FDropList);
}

void TSkinComBox::Notification(TComponent* C, TOperation Op) {
  TSkinControl::Notification(C, Op);
  if (Op != opRemove) return;
  // The form frees the skins of gone windows itself: a pointer to one is dropped, never freed twice.
  if (C == FSimpleList) FSimpleList = nullptr;
  if (C == FDropList) FDropList = nullptr;
}

bool TSkinComBox::ReadInfo() {
  FInfo = COMBOBOXINFO{};
  FInfo.cbSize = sizeof(FInfo);
  BindUser32Functions();
  return pGetComboBoxInfo && FHandle && pGetComboBoxInfo(FHandle, &FInfo);
}

void TSkinComBox::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized) return;
  TSkinControl::Init(Form, SkinData, Canvas, SetColor);
  if (!FInitialized || !FHandle) return;
  FStyle = DWORD(GetWindowLongPtrA(FHandle, GWL_STYLE));
  if ((FStyle & 3) != CBS_SIMPLE) {
    SkinDropList();
    FindBtn();
  } else {
    SkinSimpleList();
  }
}

void TSkinComBox::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  if (FInitialized) return;
  TSkinControl::Inithwnd(Handle, SkinData, Canvas, Form);
  if (!Handle) return;
  FStyle = DWORD(GetWindowLongEx(GWL_STYLE));
  if ((FStyle & 3) != CBS_SIMPLE) {
    FindBtn();
  } else if (ReadInfo()) {
    FListWindow = FInfo.hwndList;
    FStyle = DWORD(GetWindowLongPtrA(FListWindow, GWL_STYLE));
  }
}

void TSkinComBox::SkinSimpleList() {
  if (!ReadInfo() || !FInfo.hwndList) return;
  FListWindow = FInfo.hwndList;
  FStyle = DWORD(GetWindowLongPtrA(FListWindow, GWL_STYLE));
  if (IsPopupWindow(FListWindow) || !(FStyle & WS_CHILD)) return;
  FSimpleList = new TSkinScrollbarH(FControl);
  FreeNotification(FSimpleList);
  FSimpleList->Inithwnd(FListWindow, FSkinData, FCanvas, FForm);
}

void TSkinComBox::SkinDropList() {
  FStyle = DWORD(GetWindowLongPtrA(FHandle, GWL_STYLE));
  if (!(FStyle & CBS_DROPDOWN) || !ReadInfo() || !FInfo.hwndList) return;
  FListWindow = FInfo.hwndList;
  FDropList = new TComboxScrollBar(FControl);
  FreeNotification(FDropList);
  FDropList->Inithwnd(FListWindow, FSkinData, FCanvas, FForm);
}

void TSkinComBox::FindBtn() {
  HWND child = GetTopWindow(FHandle);
  // The child's own character set decides the calls, so a Unicode edit keeps its wide text.
  if (!child || !editSub_.Install(kEditKind, child, this)) return;
  FEditChild = child;
}

void TSkinComBox::UnhookEdit() {
  FEditChild = nullptr;
  editSub_.Restore();
}

void TSkinComBox::Unsubclass() {
  TSkinControl::Unsubclass();
  UnhookEdit();
  if (TSkinScrollbarH* s = FSimpleList) {
    FSimpleList = nullptr;
    if (s->FState != kSkinWindowGone) s->Unsubclass();
    delete s;
  }
  if (TComboxScrollBar* s = FDropList) {
    FDropList = nullptr;
    if (s->FState != kSkinWindowGone) s->Unsubclass();
    delete s;
  }
}

void TSkinComBox::ButtonProc(UINT Msg) {
  // The frame stays on top of what the edit drew; and the focused look comes and goes with the
  // edit's focus, which the combo itself never hears of.
  if (Msg == WM_PAINT || Msg == WM_SETFOCUS || Msg == WM_KILLFOCUS)
    PaintControl(nullptr);
  else
    TrackPress(Msg);
}

bool TSkinComBox::TrackPress(UINT Msg) {
  switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetPressed(true);
      return true;
    case WM_LBUTTONUP:
      SetPressed(false);
      return true;
    default:
      return false;
  }
}

void TSkinComBox::SetHot(bool Hot) {
  const bool was = (FMouseState & scMouseIn) != 0;
  if (was == Hot) return;
  FMouseState = uint8_t(Hot ? FMouseState | scMouseIn : FMouseState & ~scMouseIn);
  if (Hot) DoTrackMouse(FHandle);
  PaintControl(nullptr);
}

void TSkinComBox::SetPressed(bool Pressed) {
  FMouseState = uint8_t(Pressed ? FMouseState | scDown : FMouseState & ~scDown);
  PaintControl(nullptr);
}

bool TSkinComBox::BeforeProc(TMessage& Message) { return TSkinControl::BeforeProc(Message); }

void TSkinComBox::AfterProc(TMessage& Message) {
  if (TrackPress(Message.Msg)) return;
  const bool enabled = FHandle && IsWindowEnabled(FHandle);
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_MOUSEENTER:
      break;
    case WM_MOUSEMOVE: {
      const POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      const RECT b{FButtonRect.Left, FButtonRect.Top, FButtonRect.Right, FButtonRect.Bottom};
      const bool inside = PtInRect(&b, p) != FALSE;
      if (enabled && inside != ((FMouseState & scMouseIn) != 0)) SetHot(inside);
      break;
    }
    case WM_DRAWITEM:
    case WM_NCPAINT:
      // Drawn again straight away: invalidating the combo inside its own painting left its edit
      // without its text.
      PaintControl(nullptr);
      break;
    case kCnCommand:
      // The list closed while the button was held: the release went to the list.
      if (HIWORD(Message.WParam) == CBN_CLOSEUP && (FMouseState & scDown)) SetPressed(false);
      break;
    case CM_MOUSELEAVE:
    case WM_MOUSELEAVE:
      SetHot(false);
      break;
    case WM_PAINT:
      PaintControl(AsDC(Message.WParam));
      break;
    default:
      TSkinControl::AfterProc(Message);
      break;
  }
}

int TSkinComBox::CurrentFrame() {
  const HWND focus = GetFocus();
  FFocused = focus && (focus == FHandle || IsChild(FHandle, focus)) ? 1 : 0;
  FEnabled = (FStyle & WS_DISABLED) ? 0 : 1;
  return ComboFrame(!FEnabled, (FMouseState & scDown) != 0, (FMouseState & scMouseIn) != 0, FFocused != 0);
}

void TSkinComBox::DrawControl(HDC DC, const TRect& R0) {
  if (!FSkinData || !HasPicture(FSkinData->ComboButton.get())) return;
  TDataSkinBorder& button = *FSkinData->ComboButton;
  FStyle = DWORD(GetWindowLongPtrA(FHandle, GWL_STYLE));
  FExStyle = DWORD(GetWindowLongPtrA(FHandle, GWL_EXSTYLE));
  const TRect R{0, 0, R0.Width(), R0.Height()};
  // The button side the control really uses: the system may ignore WS_EX_LEFTSCROLLBAR.
  bool left = (FExStyle & WS_EX_LEFTSCROLLBAR) != 0;
  if (ReadInfo()) {
    FButtonRect = TRect{FInfo.rcButton.left, FInfo.rcButton.top, FInfo.rcButton.right, FInfo.rcButton.bottom};
    if (FInfo.stateButton & STATE_SYSTEM_INVISIBLE) return;
    if (!FButtonRect.IsEmpty()) left = left && FButtonRect.Left < R.Width() / 2;
  }
  if (button.Style == 1) {
    DrawControl1(DC, R);
    return;
  }
  const int k = CurrentFrame();
  const int a = GetSystemMetrics(SM_CXHSCROLL);
  if (button.Style == 2) {
    const TDataSkinObject* whole = &button;
    if (left && HasPicture(FSkinData->SunkEdge.get())) whole = FSkinData->SunkEdge.get();
    DrawRect2(DC, R, whole->Map.get(), whole->Margins, k, whole->Frame, 1, 0, 0);
    return;
  }
  if (!HasPicture(FSkinData->SunkEdge.get())) return;
  const TComboLayout l = ComboBoxLayout(R, a, left);
  // A caller's device context is given back with the clipping it came with.
  const int saved = SaveDC(DC);
  ExcludeClipRect(DC, l.Text.Left, l.Text.Top, l.Text.Right, l.Text.Bottom);
  DrawSkinMap(DC, R, FSkinData->SunkEdge.get(), k);
  TBitmap* image = left && button.Map2 && !button.Map2->Empty() ? button.Map2.get() : button.Map.get();
  DrawSkinMap2(DC, l.Button, image, k, button.Frame);
  FButtonRect = l.Button;
  if (HasPicture(FSkinData->ExtraImages.get())) {
    TDataSkinObject& extra = *FSkinData->ExtraImages;
    const int w = extra.Map->Width() / std::max(extra.Frame, 1), h = extra.Map->Height();
    DrawSkinMap2(DC, CentredIn(l.Glyph, w, h), extra.Map.get(), k, extra.Frame);
  }
  RestoreDC(DC, saved);
}

void TSkinComBox::DrawControl1(HDC DC, const TRect& R) {
  TDataSkinBorder& button = *FSkinData->ComboButton;
  const int k = CurrentFrame();
  const int frames = std::max(button.Frame, 1);
  const int w = button.Map->Width() / frames, h = button.Map->Height();
  const int c = GetSystemMetrics(SM_CYVTHUMB);
  const bool left = (FExStyle & WS_EX_LEFTSCROLLBAR) != 0;
  HBRUSH brush = HBRUSH(GetCurrentObject(DC, OBJ_BRUSH));
  RECT r1{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  FrameRect(DC, &r1, brush);
  const TRect S{R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2};
  RECT area = left ? RECT{S.Left, S.Top, S.Left + c, S.Bottom} : RECT{S.Right - c, S.Top, S.Right, S.Bottom};
  FillRect(DC, &area, brush);
  TRect img = left ? TRect{S.Left, S.Top, S.Left + w, S.Bottom} : TRect{S.Right - w, S.Top, S.Right, S.Bottom};
  if (h < c) img.Bottom = S.Top + h;
  HBRUSH shadow = CreateSolidBrush(COLORREF(ColorToRGB(FSkinData->Colors[csButtonShadow])));
  RECT whole{R.Left, R.Top, R.Right, R.Bottom};
  FrameRect(DC, &whole, shadow);
  DeleteObject(shadow);
  FButtonRect = img;
  DrawSkinMap2(DC, img, button.Map.get(), k, frames);
}

// ---- TComboxScrollBar

TComboxScrollBar::TComboxScrollBar(TComponent* AOwner)
    : TSkinControl(AOwner), FArrowSize(GetSystemMetrics(SM_CXHSCROLL)) {}

TComboxScrollBar::~TComboxScrollBar() {
  StopSync();
  // The list draws its own bar again.
  if (FHandle && IsWindow(FHandle) && FState != kSkinWindowGone)
    RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TComboxScrollBar::StopSync() {
  if (syncing_ && FHandle && IsWindow(FHandle)) KillTimer(FHandle, kListSyncTimer);
  syncing_ = false;
}

bool TComboxScrollBar::Changed() {
  SCROLLBARINFO info{};
  return FSkinData && FSkinData->GetScrollBarInfo(FHandle, OBJID_VSCROLL, info) &&
         (info.xyThumbTop != painted_.xyThumbTop || info.xyThumbBottom != painted_.xyThumbBottom ||
          info.rgstate[0] != painted_.rgstate[0] || !EqualRect(&info.rcScrollBar, &painted_.rcScrollBar));
}

bool TComboxScrollBar::BeforeProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TIMER:
      if (Message.WParam != kListSyncTimer) break;
      if (!IsWindowVisible(FHandle))
        StopSync();
      else if (Changed())
        PaintControl(nullptr);
      Message.Result = 0;
      return false;
    case WM_NCMOUSEMOVE:
      // The list does not hot-track its native bar, which would draw over the skin's.
      if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
        Message.Result = 0;
        return false;
      }
      break;
    case WM_NCLBUTTONDOWN:
      if (NCLButtonDown(Message)) return false;
      break;
    default:
      break;
  }
  return TSkinControl::BeforeProc(Message);
}

void TComboxScrollBar::AfterProc(TMessage& Message) {
  if (FState == kSkinWindowGone) return;
  switch (Message.Msg) {
    case WM_NCPAINT:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case 0x01AE:
      PaintControl(nullptr);
      return;
    case WM_PAINT:
      PaintControl(AsDC(Message.WParam));
      return;
    case WM_SHOWWINDOW:
      if (!Message.WParam) StopSync();
      break;
    default:
      TSkinControl::AfterProc(Message);
      break;
  }
  // The list moves its bar without telling (wheel, keys, items added): the picture follows.
  if (Changed()) PaintControl(nullptr);
}

void TComboxScrollBar::DrawControl(HDC DC, const TRect& R) { PaintScrollbar(DC, R, true); }

void TComboxScrollBar::PaintScrollbar(HDC DC, const TRect& R, bool Vertical) {
  if (!FSkinData || !SkinPaintsScrollbars(FSkinData)) return;
  SCROLLBARINFO info{};
  if (!FSkinData->GetScrollBarInfo(FHandle, Vertical ? OBJID_VSCROLL : OBJID_HSCROLL, info)) return;
  painted_ = info;
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) return;
  RECT w{};
  if (!GetWindowRect(FHandle, &w)) return;
  const int W = R.Width(), H = R.Height();
  const int x = info.rcScrollBar.left - w.left, y = info.rcScrollBar.top - w.top;
  const int bw = info.rcScrollBar.right - info.rcScrollBar.left, bh = info.rcScrollBar.bottom - info.rcScrollBar.top;
  if (bw < 0 || bh < 0 || bw > W || bh > H) return;
  TBarState s;
  s.Vertical = Vertical;
  s.Length = Vertical ? bh : bw;
  s.Thickness = BarThickness(FSkinData, FArrowSize);
  s.Arrow = FArrowSize;
  s.Thumb = {info.xyThumbTop, info.xyThumbBottom};
  s.Enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  s.GripSize = FSkinData->Scrollbar->Map->Height();
  s.Extent = Vertical ? H : W;
  s.Plain = true;
  TWorkBitmap work(DC, bw, bh);
  work.Fill(FSkinData->Colors[csButtonFace], bw, bh);
  DrawBarPieces(work.DC, FSkinData, ScrollBarLayout(s), Vertical);
  BitBlt(DC, x, y, bw, bh, work.DC, 0, 0, SRCCOPY);
  if (!syncing_ && IsWindowVisible(FHandle)) syncing_ = SetTimer(FHandle, kListSyncTimer, kListSyncPeriod, nullptr) != 0;
}

bool TComboxScrollBar::NCLButtonDown(TMessage& Message) {
  if (Message.WParam != HTVSCROLL || !FSkinData || tracking_) return false;
  SCROLLBARINFO sbi{};
  if (!FSkinData->GetScrollBarInfo(FHandle, OBJID_VSCROLL, sbi)) return false;
  const POINT press{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const int e = press.y - sbi.rcScrollBar.top;
  if (e < sbi.xyThumbTop || e > sbi.xyThumbBottom) return false;
  HWND list = FHandle;
  // A dropped list holds the capture itself to close on a click outside: it keeps it afterwards.
  const bool hadCapture = GetCapture() == list;
  SetCapture(list);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(list, SB_VERT, &si);
  const int a = FArrowSize;
  const int o0 = sbi.xyThumbTop - a;
  const int L = (sbi.rcScrollBar.bottom - sbi.rcScrollBar.top) - 2 * a;
  const int t = sbi.xyThumbBottom - sbi.xyThumbTop;
  int last = si.nPos, pos = si.nPos;
  const std::shared_ptr<const bool> alive = Alive();
  tracking_ = true;
  // The list moves on SB_THUMBPOSITION: for SB_THUMBTRACK it reads the system's own tracking
  // position, which no one sets outside the system's tracking.
  auto scrollTo = [&](int p) {
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, WORD(p)), 0);
    if (*alive && IsWindow(list)) SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(p)), 0);
  };
  // A handler freed the list (and maybe this skin with it) while it was dragged.
  auto Gone = [this](const std::shared_ptr<const bool>& a) {
    if (*a) tracking_ = false;
    return true;
  };
  bool ended = false;
  while (!ended) {
    MSG msg{};
    // Waits for the next message: the loop does not spin while the mouse rests.
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));  // the program's own loop still has to see it
      break;
    }
    if (got < 0) break;
    switch (msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE: {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (!*alive || !IsWindow(list)) return Gone(alive);
        const POINT p = ScreenPointOf(msg);
        pos = DropListDragPos(o0 + (p.y - press.y), L, t, si.nMin, si.nMax, si.nPage);
        if (pos != last) {
          scrollTo(pos);
          if (!*alive || !IsWindow(list)) return Gone(alive);
          last = pos;
        }
        break;
      }
      case WM_LBUTTONUP:
      case WM_NCLBUTTONUP:
        ended = true;
        break;
      default:
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (!*alive || !IsWindow(list)) return Gone(alive);
        break;
    }
    if (!ended && GetCapture() != list) break;  // the capture went elsewhere: the drag ends
  }
  SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(pos)), 0);
  if (!*alive || !IsWindow(list)) return Gone(alive);
  PostMessageW(list, WM_VSCROLL, SB_ENDSCROLL, 0);
  tracking_ = false;
  if (hadCapture)
    SetCapture(list);
  else if (GetCapture() == list)
    ReleaseCapture();
  Message.Result = 0;
  return true;
}
