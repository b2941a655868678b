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

bool IsDC(HDC dc) {
  const DWORD t = dc ? GetObjectType(HGDIOBJ(dc)) : 0;
  return t == OBJ_DC || t == OBJ_MEMDC;
}

bool Inside(const TRect& r, POINT p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }

}  // namespace

// ---- Messages every skinned window answers

bool TVeltForm::WMEraseBkgnd(TWMEraseBkgnd& m) {
  m.Result = Default(m.Message);
  if (!Form && SkinData && SkinData->FaceBrush.get() && IsDC(m.DC)) {
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(m.DC, &r, SkinData->FaceBrush.get());
    m.Result = 1;
  }
  return true;
}

bool TVeltForm::WMNCDestroy(TWMNoParams& m) {
  LifeState = lsUnskinning;
  const TSavedProc saved = formSub_.Installed() ? formSub_.Saved() : TSavedProc{nullptr, UnicodeWindow};
  HWND wnd = hwnd;
  const TMessage msg = m.Message;
  UnSubclass3();
  // The form's own WM_NCDESTROY may free the form, and this object with it.
  const std::shared_ptr<bool> alive = alive_;
  m.Result = saved.Call(wnd, msg.Msg, msg.WParam, msg.LParam);
  if (*alive) LifeState = lsDead;
  return true;
}

bool TVeltForm::WMNCActivateFirst(TWMNCActivate& m) {
  if (LifeState == lsNew && FormKind != fkMDIChild) {
    m.Result = 0;
    return true;
  }
  if (!FrameSkinned) {
    m.Result = Default(m.Message);
    return true;
  }
  Active = m.Active;
  return false;
}

bool TVeltForm::WMThemedCaptionRedraw(TWMNoParams& m) {
  m.Result = 0;
  return true;
}

bool TVeltForm::WMInitMenuPopup(TWMInitMenuPopup& m) {
  if (Manager) Manager->MenuKind = m.MenuPopup == SystemMenu ? 2 : 1;
  return false;
}

bool TVeltForm::WMCtlColorBtn(TWMCtlColor& m) {
  m.Result = Default(m.Message);
  if (!Form) SetBkMode(m.ChildDC, TRANSPARENT);
  return true;
}

bool TVeltForm::WMCtlColorStatic(TWMCtlColor& m) {
  m.Result = Default(m.Message);
  if (!Form && SkinData && SkinData->FaceBrush.get()) {
    SetBkMode(m.ChildDC, TRANSPARENT);
    m.Result = LRESULT(SkinData->FaceBrush.get());
  }
  return true;
}

bool TVeltForm::CNSkinActive(TCNSkinActive& m) {
  if (!m.Marked) return false;
  OnSkinActive();
  m.Result = 0;
  return true;
}

bool TVeltForm::CNReCreateWnd(TCNReCreateWnd& m) {
  if (FormControls) FormControls->ReCreateControlSkin(this, m.Control);
  m.Result = 0;
  return true;
}

bool TVeltForm::CNIsSkinned(TWMNoParams& m) {
  PostMessageA(hwnd, CN_SkinNotify, 0, kSkinLibraryMark);
  m.Result = 1;
  return true;
}

bool TVeltForm::CNSkinPaintFrame(TCNSkinMarked& m) {
  if (!m.Marked || !FrameSkinned) return false;
  // A copy of the frame as the screen shows it: the buttons keep their states.
  if (IsDC(m.DC)) PaintNc(m.DC, false);
  m.Result = kSkinLibraryMark;
  return true;
}

bool TVeltForm::CNSkinQuery(TCNSkinMarked& m) {
  if (!FrameSkinned) return false;
  m.Result = m.Marked ? kSkinLibraryMark : 1;
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, HandleCommon)
  KARO_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd)
  KARO_MESSAGE(WM_NCDESTROY, WMNCDestroy)
  KARO_MESSAGE(WM_NCACTIVATE, WMNCActivateFirst)
  KARO_MESSAGE(kThemedCaptionRedraw, WMThemedCaptionRedraw)
  KARO_MESSAGE(WM_INITMENUPOPUP, WMInitMenuPopup)
  KARO_MESSAGE(WM_CTLCOLORBTN, WMCtlColorBtn)
  KARO_MESSAGE(WM_CTLCOLORSTATIC, WMCtlColorStatic)
  KARO_MESSAGE(CN_SkinActive, CNSkinActive)
  KARO_MESSAGE(CN_ReCreateWnd, CNReCreateWnd)
  KARO_MESSAGE(CN_IsSkinned, CNIsSkinned)
  KARO_MESSAGE(CN_SkinPaintFrame, CNSkinPaintFrame)
  KARO_MESSAGE(CN_SkinQuery, CNSkinQuery)
KARO_END_MESSAGE_MAP_OF(false)

// ---- The skinned frame's own messages

bool TVeltForm::WMSize(TWMSize& m) {
  m.Result = Default(m.Message);
  switch (m.SizeType) {
    case SIZE_RESTORED:
      WindowState = vwNormal;
      break;
    case SIZE_MINIMIZED:
      WindowState = vwMinimized;
      break;
    case SIZE_MAXIMIZED:
      WindowState = vwMaximized;
      break;
    default:
      break;
  }
  if (WindowState == vwMinimized) return true;
  if (FormKind == fkMDIChild && ((Manager && Manager->MDIMaximized) || WindowState != vwNormal)) return true;
  if (LifeState == lsSkinned || LifeState == lsSkinChanging) Cropwindow();
  return true;
}

bool TVeltForm::WMGetMinMaxInfo(TWMGetMinMaxInfo& m) {
  m.Result = Default(m.Message);
  GetWindowstate();
  if (WindowState == vwMinimized || (FormKind == fkMDIChild && WindowState == vwMaximized))
    EnableSysbtn(true);
  else
    EnableSysbtn(false);
  return true;
}

bool TVeltForm::WMWindowPosChanged(TWMWindowPosMsg& m) {
  GetWindowstate();
  m.Result = Default(m.Message);
  return true;
}

bool TVeltForm::WMCommand(TWMCommand& m) {
  switch (m.ItemID) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
      if (m.ItemID < 0xFF00) {
        PostMessageW(hwnd, WM_SYSCOMMAND, m.ItemID, 0);
        m.Result = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

bool TVeltForm::WMStyleChanged(TWMStyleChanged& m) {
  m.Result = Default(m.Message);
  StyleChanged(m.StyleType, m.StyleStruct);
  return true;
}

bool TVeltForm::WMSetText(TWMSetText& m) {
  // A form's text reaches its WindowProc, which takes the change.
  if (FormProcReplaced())
    m.Result = Default(m.Message);
  else
    CaptionChange([&] { m.Result = Default(m.Message); });
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, HandleFrameCommand)
  KARO_MESSAGE(WM_SIZE, WMSize)
  KARO_MESSAGE(WM_GETMINMAXINFO, WMGetMinMaxInfo)
  KARO_MESSAGE(WM_WINDOWPOSCHANGED, WMWindowPosChanged)
  KARO_MESSAGE(WM_COMMAND, WMCommand)
  KARO_MESSAGE(WM_SYSCOMMAND, WMSysCommand)
  KARO_MESSAGE(WM_STYLECHANGED, WMStyleChanged)
  KARO_MESSAGE(WM_SETTEXT, WMSetText)
KARO_END_MESSAGE_MAP_OF(false)

// ---- The non-client area

// The caption button under a non-client mouse message; without one the painted menu bar may
// take the message (true), else the message is the caption's, swallowed unless passed on.
bool TVeltForm::NcMouseTaken(TWMNCMouse& m, TWinSysButton*& Hit) {
  Hit = FindBtn(GetWinXY(m.XCursor, m.YCursor));
  if (!Hit) {
    TMessage bar = m.Message;
    bar.Result = 0;
    if (MenuBarMouse(bar)) {
      m.Result = bar.Result;
      return true;
    }
  }
  m.Result = 0;
  return false;
}

bool TVeltForm::WMNCMouseMove(TWMNCMouse& m) {
  TWinSysButton* hit = nullptr;
  if (NcMouseTaken(m, hit)) return true;
  if (!Active) {
    m.Result = Default(m.Message);
  } else if (hit) {
    hit->MouseEnter();
  } else {
    if (HotObject) HotObject->MouseLeave();
    HotObject = nullptr;
    m.Result = Default(m.Message);
  }
  return true;
}

bool TVeltForm::WMNCLButtonDown(TWMNCMouse& m) {
  TWinSysButton* hit = nullptr;
  if (NcMouseTaken(m, hit)) return true;
  if (hit) {
    if (!Active) SetForegroundWindow(hwnd);
    hit->MouseDown();
  } else {
    // A maximised window is not dragged by its caption.
    if (WindowState == vwMaximized && Active && m.HitTest == HTCAPTION) m.Message.WParam = HTMENU;
    m.Result = Default(m.Message);
  }
  return true;
}

bool TVeltForm::WMNCLButtonUp(TWMNCMouse& m) {
  TWinSysButton* hit = nullptr;
  if (NcMouseTaken(m, hit)) return true;
  if (hit && hit == HotObject) {
    hit->MouseUp();
    SysBtnAction(m.XCursor, m.YCursor);
  } else {
    m.Result = Default(m.Message);
  }
  return true;
}

bool TVeltForm::WMNCLButtonDblClk(TWMNCMouse& m) {
  TWinSysButton* hit = nullptr;
  if (NcMouseTaken(m, hit)) return true;
  if (hit) {
    if (IsIconAction(hit->Button->Action)) {
      hoverTimer_->SetEnabled(false);
      PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  } else if (m.HitTest != HTCAPTION) {
    // Only the caption: a double click on a border sizes as the system does it.
    m.Result = Default(m.Message);
  } else if (WindowState != vwNormal) {
    Restore();
  } else if (StyleFlags & sfHasMaxBox) {
    Maximize();
  } else {
    m.Result = Default(m.Message);
  }
  return true;
}

bool TVeltForm::WMNCRButtonUp(TWMNCMouse& m) {
  TWinSysButton* hit = nullptr;
  if (NcMouseTaken(m, hit)) return true;
  if (m.HitTest == HTCAPTION && FormKind != fkMDIChild)
    PopSysmenu(POINT{m.XCursor, m.YCursor});
  else
    m.Result = Default(m.Message);
  return true;
}

bool TVeltForm::CNUpdateNc(TWMNoParams& m) {
  UpdateNc(nullptr);
  m.Result = 0;
  return true;
}

bool TVeltForm::WMSetIcon(TWMSetIcon& m) {
  // The system repaints its own caption over ours when the icon changes.
  m.Result = Default(m.Message);
  if (IsWindowVisible(hwnd)) UpdateNc(nullptr);
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, HandleNc)
  KARO_MESSAGE(WM_NCCALCSIZE, WMNCCalcSize)
  KARO_MESSAGE(WM_NCHITTEST, WMNCHitTest)
  KARO_MESSAGE(WM_NCPAINT, WMNCPaint)
  KARO_MESSAGE(WM_NCACTIVATE, WMNCActive)
  KARO_MESSAGE(WM_NCMOUSEMOVE, WMNCMouseMove)
  KARO_MESSAGE(WM_NCLBUTTONDOWN, WMNCLButtonDown)
  KARO_MESSAGE(WM_NCLBUTTONUP, WMNCLButtonUp)
  KARO_MESSAGE(WM_NCLBUTTONDBLCLK, WMNCLButtonDblClk)
  KARO_MESSAGE(WM_NCRBUTTONUP, WMNCRButtonUp)
  KARO_MESSAGE(CN_UpdateNc, CNUpdateNc)
  KARO_MESSAGE(WM_SETICON, WMSetIcon)
KARO_END_MESSAGE_MAP_OF(false)

bool TVeltForm::WMNCHitTest(TWMNCHitTest& m) {
  const LRESULT system = Default(m.Message);
  // The system measures its own frame, not the skin's: beyond the client area and the scroll
  // bars its answers are not ours (Wine answers HTMINBUTTON and HTMAXBUTTON from the style bits
  // alone, even with the system menu taken away, where the skin may have no button at all).
  if (system == HTCLIENT || system == HTVSCROLL || system == HTHSCROLL || system == HTGROWBOX) {
    m.Result = system;
    return true;
  }
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  TNcHitInput in;
  in.Pt = TPoint{m.XPos - wr.left, m.YPos - wr.top};
  in.Width = wr.right - wr.left;
  in.Height = wr.bottom - wr.top;
  in.Borders = FrameBorders();
  in.Sizeable = Sizeable && WindowState == vwNormal;
  m.Result = NcHitTest(in);
  return true;
}

bool TVeltForm::WMNCPaint(TWMNCPaint& m) {
  m.Result = 0;
  UpdateStyle(true);
  if (!SkinData || !SkinData->MainMenuUpdate) return true;
  if ((FormKind == fkMDIChild && WindowState == vwMaximized) || BorderKind == bkNoCaption) {
    m.Message.LParam = 0;
    m.Result = Default(m.Message);
    return true;
  }
  HDC dc = nullptr;
  if (UINT_PTR(m.RGN) > 1) {
    // GetDCEx takes the region it is given: hand it a copy and keep the caller's untouched. Once
    // the call succeeds the copy is the system's; only a failed call leaves it ours to delete.
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy && CombineRgn(copy, m.RGN, nullptr, RGN_COPY) != ERROR) {
      dc = GetDCEx(hwnd, copy, DCX_WINDOW | DCX_INTERSECTRGN | DCX_CACHE | DCX_CLIPSIBLINGS);
      if (!dc) DeleteObject(copy);
    } else if (copy) {
      DeleteObject(copy);
    }
  }
  if (!dc) dc = GetWindowDC(hwnd);
  if (!dc) return true;
  UpdateNc(dc);
  ReleaseDC(hwnd, dc);
  return true;
}

bool TVeltForm::WMNCActive(TWMNCActivate& m) {
  Active = m.Active;
  hoverTimer_->SetEnabled(Active && LifeState == lsSkinned);
  if (!hoverTimer_->Enabled()) EndHotControl(true);
  if (FormKind == fkMDIParent && MDIClient)
    SendMessageW(MDIClient, WM_NCACTIVATE, m.Message.WParam, m.Message.LParam);
  else if (FormKind == fkMDIChild)
    Default(m.Message);
  if (!(FormKind == fkMDIChild && WindowState == vwMaximized)) UpdateNc(nullptr);
  m.Result = 1;
  return true;
}

bool TVeltForm::WMSysCommand(TWMSysCommand& m) {
  if (KeyMenu(m)) return true;
  switch (m.CmdType & 0xFFF0) {
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
  m.Result = Default(m.Message);
  return true;
}

void TVeltForm::StyleChanged(int Which, const STYLESTRUCT* S) {
  if (!S || restyling_) return;
  if (Which == GWL_STYLE) {
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
  } else if (Which == GWL_EXSTYLE) {
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

// ---- The MDI client of a skinned MDI parent

LRESULT TVeltForm::WinMDIProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{Msg, wParam, lParam, 0};
  MDIClientProc(m);
  return m.Result;
}

void TVeltForm::DefaultMDI(TMessage& Message) {
  Message.Result = DefaultMDI(Message.Msg, Message.WParam, Message.LParam);
}

void TVeltForm::MDINCCalcSize(TWMNCCalcSize& m) {
  if (FrameSkinned && SkinData && !SkinData->Options().Contains(xoMDIScrollbar)) {
    const LONG_PTR s = GetWindowLongPtrA(MDIClient, GWL_STYLE);
    if (s & (WS_HSCROLL | WS_VSCROLL)) SetWindowLongPtrA(MDIClient, GWL_STYLE, s & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
  }
  DefaultMDI(m.Message);
}

void TVeltForm::MDICreate(TMessage& m) {
  if (SkinData) SkinData->SetMenuUpdate(false);
  DefaultMDI(m);
}

void TVeltForm::MDIDestroy(TMessage& m) {
  DefaultMDI(m);
  if (!FrameSkinned) return;
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

void TVeltForm::MDISetMenu(TMDISetMenu& m) {
  DefaultMDI(m.Message);
  if (!FrameSkinned) return;
  // The frame's new menu goes into the painted bar; the window never shows it itself.
  if (m.FrameMenu && MenuBarObject()) {
    MenuBarObject()->UpdataBtn2();
    UpdateNc(nullptr);
  }
  if (GetMenu(hwnd)) DetachMenu();
}

void TVeltForm::MDIArrange(TMessage& m) {
  if (FrameSkinned && Manager && Manager->MDIMaximized) Manager->SetMDIMax(false);
  DefaultMDI(m);
}

void TVeltForm::CNMdiRedraw(TWMNoParams& m) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  m.Result = 0;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, void, MDIClientProc)
  KARO_MESSAGE(WM_NCCALCSIZE, MDINCCalcSize)
  KARO_MESSAGE(WM_MDICREATE, MDICreate)
  KARO_MESSAGE(WM_MDIDESTROY, MDIDestroy)
  KARO_MESSAGE(WM_MDISETMENU, MDISetMenu)
  KARO_MESSAGE(WM_MDITILE, MDIArrange)
  KARO_MESSAGE(WM_MDICASCADE, MDIArrange)
  KARO_MESSAGE(CN_MdiRedraw, CNMdiRedraw)
KARO_END_MESSAGE_MAP_OF(DefaultMDI(Message))
