// The non-client messages of a skinned window: size, hit test, painting, activation, the mouse
// on the caption buttons, system commands, style changes, the hover timer, and the backgrounds
// of a window without a class-library form.
#include "classlib/controls/timer.h"
#include "skin/data/velt_data.h"
#include "skin/windows/forms/caption_buttons.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/forms/velt_menu.h"

POINT (*TVeltForm::CursorPos)() = nullptr;
DWORD (*TVeltForm::Clock)() = nullptr;

namespace {

// The system's caption-redraw message of themed windows.
constexpr UINT kThemedCaptionRedraw = 0xAE;

bool IsDC(WPARAM w) {
  const DWORD t = w ? GetObjectType(HGDIOBJ(w)) : 0;
  return t == OBJ_DC || t == OBJ_MEMDC;
}

// Mouse coordinates are signed: a second monitor left of the first gives negative ones.
int SignedX(LPARAM l) { return int(short(LOWORD(l))); }
int SignedY(LPARAM l) { return int(short(HIWORD(l))); }

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

}  // namespace

bool TVeltForm::HandleCommon(UINT Msg, WPARAM wParam, LPARAM lParam, LRESULT& Result) {
  switch (Msg) {
    case WM_ERASEBKGND:
      Result = Default(Msg, wParam, lParam);
      if (!Form && SkinData && SkinData->FaceBrush.get() && IsDC(wParam)) {
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(HDC(wParam), &r, SkinData->FaceBrush.get());
        Result = 1;
      }
      return true;
    case kThemedCaptionRedraw:
      Result = 0;
      return true;
    case WM_CTLCOLORBTN:
      Result = Default(Msg, wParam, lParam);
      if (!Form) SetBkMode(HDC(wParam), TRANSPARENT);
      return true;
    case WM_CTLCOLORSTATIC:
      Result = Default(Msg, wParam, lParam);
      if (!Form && SkinData && SkinData->FaceBrush.get()) {
        SetBkMode(HDC(wParam), TRANSPARENT);
        Result = LRESULT(SkinData->FaceBrush.get());
      }
      return true;
    case CN_SkinPaintFrame:
      if (lParam != kSkinLibraryMark || !FrameSkinned) return false;
      // A copy of the frame as the screen shows it: the buttons keep their states.
      if (IsDC(wParam)) PaintNc(HDC(wParam), false);
      Result = kSkinLibraryMark;
      return true;
    case CN_SkinQuery:
      if (!FrameSkinned) return false;
      Result = lParam == kSkinLibraryMark ? kSkinLibraryMark : 1;
      return true;
    default:
      return false;
  }
}

bool TVeltForm::HandleFrameCommand(UINT Msg, WPARAM wParam, LPARAM lParam, LRESULT& Result) {
  switch (Msg) {
    case WM_SYSCOMMAND:
      Result = WMSysCommand(wParam, lParam);
      return true;
    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      switch (id) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_CLOSE:
        case SC_RESTORE:
          if (id < 0xFF00) {
            PostMessageW(hwnd, WM_SYSCOMMAND, id, 0);
            Result = 0;
            return true;
          }
          break;
        default:
          break;
      }
      return false;
    }
    case WM_STYLECHANGED:
      Result = Default(Msg, wParam, lParam);
      StyleChanged(wParam, reinterpret_cast<const STYLESTRUCT*>(lParam));
      return true;
    case WM_SETTEXT:
      // A form's text reaches its WindowProc, which takes the change.
      if (FormProcReplaced())
        Result = Default(Msg, wParam, lParam);
      else
        CaptionChange([&] { Result = Default(Msg, wParam, lParam); });
      return true;
    default:
      return false;
  }
}

bool TVeltForm::HandleNc(UINT Msg, WPARAM wParam, LPARAM lParam, LRESULT& Result) {
  switch (Msg) {
    case WM_NCCALCSIZE:
      Result = WMNCCalcSize(wParam, lParam);
      return true;
    case WM_NCHITTEST:
      Result = WMNCHitTest(wParam, lParam);
      return true;
    case WM_NCPAINT:
      Result = WMNCPaint(wParam);
      return true;
    case WM_NCACTIVATE:
      Result = WMNCActive(wParam, lParam);
      return true;
    case CN_UpdateNc:
      UpdateNc(nullptr);
      Result = 0;
      return true;
    case WM_SETICON:
      // The system repaints its own caption over ours when the icon changes.
      Result = Default(Msg, wParam, lParam);
      if (IsWindowVisible(hwnd)) UpdateNc(nullptr);
      return true;
    default:
      break;
  }
  if (Msg != WM_NCMOUSEMOVE && Msg != WM_NCLBUTTONDOWN && Msg != WM_NCLBUTTONUP && Msg != WM_NCLBUTTONDBLCLK &&
      Msg != WM_NCRBUTTONUP)
    return false;
  const int sx = SignedX(lParam), sy = SignedY(lParam);
  const POINT at = GetWinXY(sx, sy);
  TWinSysButton* hit = FindBtn(at);
  if (!hit) {
    TMessage bar{Msg, wParam, lParam, 0};
    if (MenuBarMouse(bar)) {
      Result = bar.Result;
      return true;
    }
  }
  Result = 0;
  switch (Msg) {
    case WM_NCMOUSEMOVE:
      if (!Active) {
        Result = Default(Msg, wParam, lParam);
      } else if (hit) {
        hit->MouseEnter();
      } else {
        if (HotObject) HotObject->MouseLeave();
        HotObject = nullptr;
        Result = Default(Msg, wParam, lParam);
      }
      return true;
    case WM_NCLBUTTONDOWN:
      if (hit) {
        if (!Active) SetForegroundWindow(hwnd);
        hit->MouseDown();
      } else {
        // A maximised window is not dragged by its caption.
        if (WindowState == vwMaximized && Active && wParam == HTCAPTION) wParam = HTMENU;
        Result = Default(Msg, wParam, lParam);
      }
      return true;
    case WM_NCLBUTTONUP:
      if (hit && hit == HotObject) {
        hit->MouseUp();
        SysBtnAction(sx, sy);
      } else {
        Result = Default(Msg, wParam, lParam);
      }
      return true;
    case WM_NCLBUTTONDBLCLK:
      if (hit) {
        if (IsIconAction(hit->Button->Action)) {
          hoverTimer_->SetEnabled(false);
          PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
      } else if (wParam != HTCAPTION) {
        // Only the caption: a double click on a border sizes as the system does it.
        Result = Default(Msg, wParam, lParam);
      } else if (WindowState != vwNormal) {
        Restore();
      } else if (StyleFlags & sfHasMaxBox) {
        Maximize();
      } else {
        Result = Default(Msg, wParam, lParam);
      }
      return true;
    case WM_NCRBUTTONUP:
      if (wParam == HTCAPTION && FormKind != fkMDIChild)
        PopSysmenu(POINT{sx, sy});
      else
        Result = Default(Msg, wParam, lParam);
      return true;
    default:
      return false;
  }
}

LRESULT TVeltForm::WMNCHitTest(WPARAM wParam, LPARAM lParam) {
  const LRESULT system = Default(WM_NCHITTEST, wParam, lParam);
  // The system measures its own frame, not the skin's: beyond the client area and the scroll
  // bars its answers are not ours (Wine answers HTMINBUTTON and HTMAXBUTTON from the style bits
  // alone, even with the system menu taken away, where the skin may have no button at all).
  if (system == HTCLIENT || system == HTVSCROLL || system == HTHSCROLL || system == HTGROWBOX) return system;
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  TNcHitInput in;
  in.Pt = TPoint{SignedX(lParam) - wr.left, SignedY(lParam) - wr.top};
  in.Width = wr.right - wr.left;
  in.Height = wr.bottom - wr.top;
  in.Borders = FrameBorders();
  in.Sizeable = Sizeable && WindowState == vwNormal;
  return NcHitTest(in);
}

LRESULT TVeltForm::WMNCPaint(WPARAM wParam) {
  UpdateStyle(true);
  if (!SkinData || !SkinData->MainMenuUpdate) return 0;
  if ((FormKind == fkMDIChild && WindowState == vwMaximized) || BorderKind == bkNoCaption)
    return Default(WM_NCPAINT, wParam, 0);
  HDC dc = nullptr;
  if (wParam > 1) {
    // GetDCEx takes the region it is given: hand it a copy and keep the caller's untouched. Once
    // the call succeeds the copy is the system's; only a failed call leaves it ours to delete.
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy && CombineRgn(copy, HRGN(wParam), nullptr, RGN_COPY) != ERROR) {
      dc = GetDCEx(hwnd, copy, DCX_WINDOW | DCX_INTERSECTRGN | DCX_CACHE | DCX_CLIPSIBLINGS);
      if (!dc) DeleteObject(copy);
    } else if (copy) {
      DeleteObject(copy);
    }
  }
  if (!dc) dc = GetWindowDC(hwnd);
  if (!dc) return 0;
  UpdateNc(dc);
  ReleaseDC(hwnd, dc);
  return 0;
}

LRESULT TVeltForm::WMNCActive(WPARAM wParam, LPARAM lParam) {
  Active = wParam != 0;
  hoverTimer_->SetEnabled(Active && LifeState == lsSkinned);
  if (!hoverTimer_->Enabled()) EndHotControl(true);
  if (FormKind == fkMDIParent && MDIClient)
    SendMessageW(MDIClient, WM_NCACTIVATE, wParam, lParam);
  else if (FormKind == fkMDIChild)
    Default(WM_NCACTIVATE, wParam, lParam);
  if (!(FormKind == fkMDIChild && WindowState == vwMaximized)) UpdateNc(nullptr);
  return 1;
}

LRESULT TVeltForm::WMSysCommand(WPARAM wParam, LPARAM lParam) {
  {
    LRESULT r = 0;
    if (KeyMenu(wParam, lParam, r)) return r;
  }
  switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
      WindowState = vwMinimized;
      UpdateStyle(false);
      if (FormKind == fkMDIChild) EnableSysbtn(true);
      break;
    case SC_MAXIMIZE:
      WindowState = vwMaximized;
      break;
    case SC_RESTORE:
      WindowState = vwNormal;
      if (FormKind == fkMDIChild) {
        EnableSysbtn(false);
        if (Manager && Manager->MDIMaximized) Manager->SetMDIMax(false);
      }
      break;
    default:
      break;
  }
  return Default(WM_SYSCOMMAND, wParam, lParam);
}

void TVeltForm::StyleChanged(WPARAM Which, const STYLESTRUCT* S) {
  if (!S || restyling_) return;
  if (Which == WPARAM(GWL_STYLE)) {
    const LONG s = LONG(S->styleNew);
    // While the system menu is taken away for painting, a style the application writes back
    // says nothing about it: only a style that had it and drops it removes it.
    const bool sysMenu = (s & WS_SYSMENU) || ((StyleFlags & sfHasSysMenu) && !(S->styleOld & WS_SYSMENU));
    StyleFlags = uint8_t(StyleFlags & (sfHasHelp | sfCaptionTaken));
    if (sysMenu) StyleFlags |= sfHasSysMenu;
    if (s & WS_MINIMIZEBOX) StyleFlags |= sfHasMinBox;
    if (s & WS_MAXIMIZEBOX) StyleFlags |= sfHasMaxBox;
    Sizeable = (s & WS_THICKFRAME) != 0;
    if (!Dialog && BorderKind != bkDialog) BorderKind = (s & WS_THICKFRAME) ? bkSizeable : bkFixed;
  } else if (Which == WPARAM(GWL_EXSTYLE)) {
    const LONG e = LONG(S->styleNew);
    RightToLeft = (e & WS_EX_LEFTSCROLLBAR) != 0;
    StyleFlags = uint8_t((StyleFlags & ~sfHasHelp) | ((e & WS_EX_CONTEXTHELP) ? sfHasHelp : 0));
  }
}

void TVeltForm::OnHoverTimer() {
  if (MenuTracking) return;
  if (!Form) EndHotControl(false);
  if (!HotObject) return;
  POINT c{};
  if (CursorPos)
    c = CursorPos();
  else
    GetCursorPos(&c);
  // The hot object's place as the frame is laid out now: the window may have changed since it
  // was painted.
  if (dynamic_cast<TWinSysButton*>(HotObject))
    SetSysbtnRect();
  else if (MenuBarObject())
    MenuBarObject()->SetMenuRect();
  if (!Inside(HotObject->Rect, GetWinXY(c.x, c.y))) {
    TNCObject* h = HotObject;
    HotObject = nullptr;
    h->MouseLeave();
  }
}

LRESULT TVeltForm::WinMDIProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_NCCALCSIZE:
      if (FrameSkinned && SkinData && !SkinData->Options().Contains(xoMDIScrollbar)) {
        const LONG_PTR s = GetWindowLongPtrA(MDIClient, GWL_STYLE);
        if (s & (WS_HSCROLL | WS_VSCROLL)) SetWindowLongPtrA(MDIClient, GWL_STYLE, s & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
      }
      return DefaultMDI(Msg, wParam, lParam);
    case WM_MDICREATE:
      if (SkinData) SkinData->SetMenuUpdate(false);
      return DefaultMDI(Msg, wParam, lParam);
    case WM_MDIDESTROY: {
      const LRESULT r = DefaultMDI(Msg, wParam, lParam);
      if (FrameSkinned) {
        BOOL maximised = FALSE;
        HWND active = HWND(SendMessageW(MDIClient, WM_MDIGETACTIVE, 0, LPARAM(&maximised)));
        if (Manager) Manager->SetMDIMax(active && maximised);
        // The last child gone: the menu updates as it did before the first one came.
        if (!active && SkinData) {
          SkinData->SetMenuUpdate(MDIMenuUpdate != 0);
          if (MenuBarObject()) {
            MenuBarObject()->UpdataBtn();
            UpdateNc(nullptr);
          }
        }
      }
      return r;
    }
    case WM_MDISETMENU: {
      const LRESULT r = DefaultMDI(Msg, wParam, lParam);
      if (FrameSkinned) {
        // The frame's new menu goes into the painted bar; the window never shows it itself.
        if (wParam && MenuBarObject()) {
          MenuBarObject()->UpdataBtn2();
          UpdateNc(nullptr);
        }
        if (GetMenu(hwnd)) DetachMenu();
      }
      return r;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (FrameSkinned && Manager && Manager->MDIMaximized) Manager->SetMDIMax(false);
      return DefaultMDI(Msg, wParam, lParam);
    case CN_MdiRedraw:
      RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return 0;
    default:
      return DefaultMDI(Msg, wParam, lParam);
  }
}
