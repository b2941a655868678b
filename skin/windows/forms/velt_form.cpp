#include "skin/windows/forms/velt_form.h"

#include <algorithm>

#include "classlib/controls/controls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/menus.h"
#include "classlib/controls/timer.h"
#include "classlib/graphics/bitmap.h"
#include "classlib/core/typinfo.h"
#include "skin/data/velt_data.h"
#include "skin/windows/core/window_subclass.h"
#include "skin/windows/forms/caption_buttons.h"
#include "skin/windows/forms/drawing_pause.h"
#include "skin/windows/forms/velt_menu.h"
#include "skin/windows/core/skin_messages.h"

DWORD WinVersion = 0;
TFormControlsLink* FormControls = nullptr;

KARO_CLASS_INFO(TVeltForm, TComponent)

namespace {

LRESULT CALLBACK VeltFormWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK VeltMDIWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

LRESULT FormMessage(void* form, HWND, UINT msg, WPARAM wp, LPARAM lp) {
  return static_cast<TVeltForm*>(form)->WinWndProc(msg, wp, lp);
}

LRESULT MDIMessage(void* owner, HWND, UINT msg, WPARAM wp, LPARAM lp) {
  auto* form = static_cast<TVeltForm*>(owner);
  if (msg != WM_NCDESTROY) return form->WinMDIProc(msg, wp, lp);
  // The client goes before its parent: the form forgets it, and its hold empties with the window.
  form->MDIClient = nullptr;
  return form->DefaultMDI(msg, wp, lp);
}

const TSubclassKind kFormKind{L"KaroSkinForm", &VeltFormWndProc, &FormMessage};
// The MDI client is always taken over through the ANSI pair.
const TSubclassKind kMDIKind{L"KaroSkinMDIClient", &VeltMDIWndProc, &MDIMessage, true};

LRESULT CALLBACK VeltFormWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return SubclassWindowProc(kFormKind, wnd, msg, wp, lp);
}

// The MDI client of a skinned MDI parent.
LRESULT CALLBACK VeltMDIWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return SubclassWindowProc(kMDIKind, wnd, msg, wp, lp);
}

RECT WindowRectIn(HWND wnd, HWND parent) {
  RECT r{};
  GetWindowRect(wnd, &r);
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring WindowTextW(HWND wnd) {
  int n = GetWindowTextLengthW(wnd);
  std::wstring s(size_t(std::max(n, 0)) + 1, L'\0');
  n = GetWindowTextW(wnd, s.data(), int(s.size()));
  s.resize(size_t(std::max(n, 0)));
  return s;
}

}  // namespace

LRESULT TVeltForm::DefaultMDI(UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (mdiSub_.Installed()) return mdiSub_.CallSaved(Msg, wParam, lParam);
  return DefWindowProcA(MDIClient, Msg, wParam, lParam);
}

TDialogWidening DialogWidening(int Width, int Need) {
  if (Width >= Need) return {0, Width};
  return {(Need - Width) / 2, Need};
}

// ---- Construction

TVeltForm::TVeltForm(TComponent* AOwner) : TComponent(AOwner) {
  doubleClickTime_ = GetDoubleClickTime();
  ChooseCaptionFont();
  hoverTimer_ = new TTimer(this);
  hoverTimer_->SetEnabled(false);
  hoverTimer_->SetInterval(250);
  hoverTimer_->OnTimer = [this](TObject*) { OnHoverTimer(); };
}

TVeltForm::~TVeltForm() {
  *alive_ = false;
  // Freed with its form while still skinned: the window must not keep calling a freed object.
  if (formSub_.Installed()) {
    RestoreFormProc();
    formSub_.Restore();
  }
  mdiSub_.Restore();
  ForgetTrackedForm(this);
  FreeMenuBar();
  // No menu item may keep a handler that calls this object.
  GiveToolbarMenusBack();
  DeleteControls();
  DeleteSysbtn();
  hoverTimer_->SetEnabled(false);
  delete sysPopup_;
  sysPopup_ = nullptr;
  if (captionFont_) DeleteObject(captionFont_);
  if (Manager) Manager->DeleteForm2(this);
}

bool TVeltForm::Subclassed() const { return formSub_.Installed(); }

bool TVeltForm::SkinAnswersNc() const {
  return LifeState != lsNew && !(FormKind == fkMDIChild && WindowState == vwMaximized);
}

// ---- Taking the window over

void TVeltForm::InitTform(TSkinData* Data, TWinControl* AForm) {
  Form = AForm;
  if (Data->OnBeforeSkinForm) Data->OnBeforeSkinForm(Form, hwnd, ListedClassName);
  if (Data->SkinControls().Contains(xcMenuItem)) SetEnumProp(Form, "AutoScroll", "False");
  InitSkin(Data);
  if (FrameSkinned && !savedFormProc_) {
    savedFormProc_ = Form->WindowProc();
    Form->SetWindowProc(TWndMethod(this, &TVeltForm::NewWndProc));
  }
  SavedColor = Form->Color();
  SavedColorValid = true;
  Form->SetColor(Data->Colors[csButtonFace]);
  if (Data->SkinControls().Contains(xcMenuItem)) InitPopMenu(Form, true, false);
}

void TVeltForm::InitDlg(TSkinData* Data) { InitSkin(Data); }

void TVeltForm::InitSkin(TSkinData* Data) {
  if (formSub_.Installed()) return;
  if (Manager && !Manager->Running()) Manager->State = 1;
  SkinData = Data;
  FrameSkinned = Data->SkinControls().Contains(xcMainMenu);
  const LONG style = LONG(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const LONG ex = LONG(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  RightToLeft = (ex & WS_EX_LEFTSCROLLBAR) != 0;
  Child = (style & WS_CHILD) != 0;
  OwnerWindow = GetWindow(hwnd, GW_OWNER);

  StyleFlags = 0;
  if (style & WS_SYSMENU) StyleFlags |= sfHasSysMenu;
  if (style & WS_MINIMIZEBOX) StyleFlags |= sfHasMinBox;
  // A help button is no maximise box: counting it as one enabled a maximise button on windows
  // that cannot be maximised.
  if (style & WS_MAXIMIZEBOX) StyleFlags |= sfHasMaxBox;
  if (ex & WS_EX_CONTEXTHELP) StyleFlags |= sfHasHelp;

  GetWindowstate();
  Sizeable = (style & WS_THICKFRAME) != 0;

  GetFormstyle();
  if (ex & WS_EX_MDICHILD) {
    FormKind = fkMDIChild;
    if (Data->Options().Contains(xoMDIChildBorder)) FrameSkinned = false;
  }

  BorderKind = bkFixed;
  if ((style & WS_CAPTION) != WS_CAPTION)
    BorderKind = bkNoCaption;
  else if (style & WS_THICKFRAME)
    BorderKind = bkSizeable;
  else if (style & DS_MODALFRAME)
    BorderKind = bkDialog;
  if (ex & WS_EX_DLGMODALFRAME) BorderKind = bkDialog;

  // Only NT 5.0 drew its own caption over a skinned frame.
  const DWORD v = WinVersion;
  if (!(v & 0x80000000u) && LOBYTE(LOWORD(v)) == 5 && HIBYTE(LOWORD(v)) == 0) {
    if ((ex & WS_EX_APPWINDOW) || (!OwnerWindow && FormKind != fkMDIChild)) StyleFlags |= sfCaptionTaken;
  }

  if (ListedClassName == "#32770" || ListedClassName == "TMessageForm") {
    BorderKind = bkDialog;
    Dialog = true;
  }
  if (WinVersion & 0x80000000u) {
    TSkinControlTypes c = Data->SkinControls();
    c.Exclude(xcSystemMenu);
    Data->SetSkinControls(c);
  }
  if (FormKind == fkMDIParent) {
    MDIMenuUpdate = Data->MenuUpdate();
    SubclassMDI();
  }
  Subclass();

  if (FrameSkinned) {
    MenuHandle = GetMenu(hwnd);
    if (MenuHandle && FormKind != fkMDIChild) {
      menuBar_ = new TVeltMenu(this, Data);
      MenuHeight = GetSystemMetrics(SM_CYMENU);
      menuBar_->UpdataBtn();
      // A menu the bar could not take stays the system's, with no row of ours.
      if (GetMenu(hwnd)) {
        FreeMenuBar();
        MenuHeight = 0;
      }
    }
    if (!((FormKind == fkMDIChild && Manager && Manager->MDIMaximized) || WindowState == vwMinimized))
      EnableSysbtn(false);
    InitSkinData();
  } else {
    LifeState = lsSkinned;
  }
  if (FormKind == fkMDIChild) {
    const int least = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
    if (Borders[1] < least) MenuHeight = least - Borders[1];
  }
  if (FormKind == fkMDIChild && WindowState == vwMaximized && Manager && !Manager->MDIMaximized)
    Manager->SetMDIMax(true);
}

void TVeltForm::Subclass() {
  UnicodeWindow = IsWindowUnicode(hwnd) != FALSE;
  formSub_.Install(kFormKind, hwnd, this);
}

void TVeltForm::RestoreWndProc() { formSub_.Restore(); }

void TVeltForm::SubclassMDI() {
  if (!MDIClient || mdiSub_.Installed()) return;
  mdiSub_.Install(kMDIKind, MDIClient, this);
}

void TVeltForm::UnSubclassMDI() { mdiSub_.Restore(); }

void TVeltForm::RestoreFormProc() {
  if (!savedFormProc_ || !Form) return;
  if (Form->WindowProc() == TWndMethod(this, &TVeltForm::NewWndProc)) Form->SetWindowProc(savedFormProc_);
  savedFormProc_ = TWndMethod();
}

void TVeltForm::InitSkinData() {
  if (!SkinData || SkinData->NoSkinLoaded) return;
  if (BorderKind == bkNoCaption) {
    std::fill(std::begin(Borders), std::end(Borders), 0);
    MenuHeight = 0;
  } else {
    auto frames = [](const TDataSkinObject* o) { return o && o->Frame > 0 ? o->Frame : 1; };
    auto width = [](const TDataSkinObject* o) { return o && o->Map ? o->Map->Width() : 0; };
    auto height = [](const TDataSkinObject* o) { return o && o->Map ? o->Map->Height() : 0; };
    const auto& b = SkinData->Borders;
    Borders[1] = height(b[sbTop].get()) / frames(b[sbTop].get());
    Borders[0] = width(b[sbLeft].get()) / frames(b[sbLeft].get());
    Borders[2] = width(b[sbRight].get()) / frames(b[sbRight].get());
    Borders[3] = height(b[sbBottom].get()) / frames(b[sbBottom].get());
  }
  CreateSysbtns();
  // The icon buttons show the window's icon, read at each paint; the first window skinned that
  // has one also gives it to the skin, for windows that have none of their own.
  TBitmap icon;
  bool iconMade = false;
  for (auto& rec : SkinData->SysButtons) {
    if (!rec || !IsIconAction(rec->Action)) continue;
    rec->Frame = 1;
    if (!iconMade) {
      HICON own = WindowIcon();
      if (!own) continue;
      IconOnMagenta(own, icon);
      iconMade = true;
      if (SkinData->AppIcon && SkinData->AppIcon->Empty()) SkinData->AppIcon->Assign(&icon);
    }
    if (rec->Map && rec->Map->Empty()) rec->Map->Assign(&icon);
  }
}

void TVeltForm::GetFormstyle() {
  FormKind = fkNormal;
  for (HWND c = GetTopWindow(hwnd); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[101] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "MDIClient") == 0) {
      FormKind = fkMDIParent;
      MDIClient = c;
      if (Manager) {
        Manager->MDIClient = c;
        Manager->MDIMainForm = Form;
      }
      return;
    }
  }
}

void TVeltForm::GetWindowstate() {
  WINDOWPLACEMENT p{};
  p.length = sizeof p;
  GetWindowPlacement(hwnd, &p);
  switch (p.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      WindowState = vwMinimized;
      break;
    case SW_SHOWMAXIMIZED:
      WindowState = vwMaximized;
      break;
    default:
      WindowState = vwNormal;
  }
  // A window shown minimised or maximised before it was ever shown normally still says so.
  if (IsIconic(hwnd))
    WindowState = vwMinimized;
  else if (IsZoomed(hwnd))
    WindowState = vwMaximized;
}

// ---- CN_SkinActive

void TVeltForm::OnSkinActive() {
  SkinActiveSeen = true;
  SystemMenu = GetSystemMenu(hwnd, FALSE);
  GetBorderSize();
  if (Form)
    InitControls(Form);
  else
    InitHwndControls(hwnd);
  if (LifeState == lsNew) {
    GetWindowstate();
    if (FormKind == fkMDIChild) {
      if (WindowState == vwMaximized) {
        if (Manager && Manager->MDIClient) PostMessageA(Manager->MDIClient, CN_MdiRedraw, WPARAM(hwnd), 0);
      } else if (WindowState == vwMinimized) {
        EnableSysbtn(true);
      } else {
        LifeState = lsResizing;
        ResizeForm(0);
        LifeState = lsSkinned;
        Cropwindow();
      }
    } else if (!Child && BorderKind != bkNoCaption && WindowState != vwMinimized) {
      LifeState = lsResizing;
      ResizeForm(0);
      LifeState = lsSkinned;
      if (WindowState == vwNormal)
        Cropwindow();
      else if (WindowState == vwMaximized)
        Refresh();
    }
  }
  AfterSkin();
  LifeState = lsSkinned;
  if (FrameSkinned) hoverTimer_->SetEnabled(Active);
}

void TVeltForm::GetBorderSize() {
  RECT w{};
  GetClientRect(hwnd, &ClientRect);
  GetWindowRect(hwnd, &w);
  SystemFrame = {0, 0, (w.right - w.left) - ClientRect.right, (w.bottom - w.top) - ClientRect.bottom};
}

void TVeltForm::AfterSkin() {
  SendMessageA(hwnd, CN_SkinNotify, 0, kSkinLibraryMark);
  if (SkinData && SkinData->OnAfterSkinForm) SkinData->OnAfterSkinForm(Form, hwnd, ListedClassName);
}

// ---- Sizes

void TVeltForm::ResizeForm(int KeepClient) {
  if (WindowState == vwMaximized) {
    Refresh();
    return;
  }
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  if (Dialog || LifeState == lsSkinChanging) GetClientRect(hwnd, &ClientRect);
  int width = ClientRect.right + Borders[0] + Borders[2];
  int height;
  if (KeepClient) {
    GetClientRect(hwnd, &ClientRect);
    height = ClientRect.bottom + Borders[1] + Borders[3] + MenuHeight;
  } else if (Form) {
    width = Form->ClientWidth() + Borders[0] + Borders[2];
    // The client area grew by the system's menu bar when the menu was detached: it takes that
    // room back, so the painted bar sits where the system's did.
    const int clientBottom = FormKind == fkMDIChild ? Form->ClientHeight() : Form->ClientHeight() - DetachedMenuHeight;
    height = clientBottom + Borders[1] + Borders[3] + MenuHeight;
  } else {
    height = ClientRect.bottom - DetachedMenuHeight + Borders[1] + Borders[3] + MenuHeight;
  }
  if (Dialog && KeepClient == 0) WidenDialog(width);
  SetWindowPos(hwnd, nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TVeltForm::WidenDialog(int& Width) {
  const std::wstring text = WindowTextW(hwnd);
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  HGDIOBJ old = captionFont_ ? SelectObject(dc, captionFont_) : nullptr;
  SIZE sz{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &sz);
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  CaptionTextWidth = sz.cx;
  int need = sz.cx;
  if (SkinData && SkinData->Title) need += SkinData->Title->Margins.Left + SkinData->Title->Margins.Right;
  const TDialogWidening w = DialogWidening(Width, need);
  if (w.Shift == 0 && w.Width == Width) return;
  // Collected first: moving a child while walking the z-order could meet it again.
  std::vector<HWND> children;
  for (HWND c = GetTopWindow(hwnd); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (HWND c : children) {
    const RECT r = WindowRectIn(c, hwnd);
    SetWindowPos(c, nullptr, r.left + w.Shift, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
  }
  Width = w.Width;
}

// The skin owns only the bits it takes away (the system menu, and the caption where it takes
// that); every other bit is the system's or the program's, and ShowWindow, EnableWindow and the
// minimise and maximise commands change theirs without a style message. So the style is read
// the moment a bit of ours changes, only that bit is changed, and nothing is written when it is
// already as wanted.
void TVeltForm::SetOwnStyleBits(LONG Bits, bool On) {
  const LONG now = LONG(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const LONG wanted = On ? (now | Bits) : (now & ~Bits);
  if (wanted == now) return;
  restyling_ = true;
  SetWindowLongPtrA(hwnd, GWL_STYLE, wanted);
  restyling_ = false;
}

void TVeltForm::EnableSysbtn(bool Show) {
  if (StyleFlags & sfCaptionTaken) SetOwnStyleBits(WS_CAPTION, Show);
}

void TVeltForm::UpdateStyle(bool Strip) {
  if (StyleFlags & sfCaptionTaken) return;
  if (Strip)
    SetOwnStyleBits(WS_SYSMENU, false);
  else if (StyleFlags & sfHasSysMenu)
    SetOwnStyleBits(WS_SYSMENU, true);
}

void TVeltForm::RePaint(HWND Wnd) {
  InvalidateRect(Wnd, nullptr, TRUE);
  UpdateWindow(Wnd);
}

void TVeltForm::Refresh() {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TVeltForm::SetRegion(HRGN Rgn, bool Redraw) {
  if (SetWindowRgn(hwnd, Rgn, Redraw)) return true;
  // Refused: the region is still ours.
  if (Rgn) DeleteObject(Rgn);
  return false;
}


// ---- Skin change

void TVeltForm::SkinChange() {
  if (!SkinData) return;
  if (Form) {
    const TColor face = SkinData->Colors[csButtonFace];
    Form->SetColor(face);
    for (int i = 0; i < Form->ComponentCount(); ++i)
      if (auto* f = dyn<TCustomForm>(Form->Components(i))) f->SetColor(face);
  }
  for (TSkinControlEntry* c : std::vector<TSkinControlEntry*>(controls_)) c->SkinChange();
  LifeState = lsSkinChanging;
  if (FrameSkinned && Form) {
    InitPopMenu(Form, true, true);
    ResizeForm(1);
    Form->SetHeight(Form->Height() + 1);
    Form->SetHeight(Form->Height() - 1);
  } else if (FrameSkinned) {
    // A window without a class-library form (a dialog, a message box) has nobody to lay it out
    // anew: it takes the new borders around the same client area, as at CN_SkinActive, and its
    // frame and face are painted again.
    GetWindowstate();
    const bool mdiChild = FormKind == fkMDIChild;
    if ((mdiChild || (!Child && BorderKind != bkNoCaption)) && WindowState == vwNormal) {
      ResizeForm(1);
      Cropwindow();
    } else if (!Child && BorderKind != bkNoCaption && WindowState == vwMaximized) {
      Refresh();
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  AfterSkin();
  LifeState = lsSkinned;
}

// ---- Window procedures

LRESULT TVeltForm::Default(UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (formSub_.Installed()) return formSub_.CallSaved(Msg, wParam, lParam);
  return UnicodeWindow ? DefWindowProcW(hwnd, Msg, wParam, lParam) : DefWindowProcA(hwnd, Msg, wParam, lParam);
}

LRESULT TVeltForm::WinWndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (LifeState == lsNew && Msg == WM_NCPAINT) return 0;
  TMessage m{Msg, wParam, lParam, 0};
  if (HandleCommon(m)) return m.Result;
  if (!FrameSkinned || (Child && FormKind != fkMDIChild)) return Default(m);
  if (HandleMenuMessage(m)) return m.Result;
  const bool answersNc = SkinAnswersNc();
  if (HandleFrameCommand(m)) return m.Result;
  if (answersNc && HandleNc(m)) return m.Result;
  return Default(m);
}

bool TVeltForm::WMNCCalcSize(TWMNCCalcSize& m) {
  // The rectangle alone: what the previous procedure makes of it stands.
  if (!m.CalcValidRects || !m.CalcSize_Params) {
    m.Result = Default(m.Message);
    return true;
  }
  // The whole answer is the skin's: the saved procedure never sees a sizing it would get wrong.
  NCCALCSIZE_PARAMS* p = m.CalcSize_Params;
  m.Result = WVR_REDRAW;
  if ((FormKind == fkMDIChild && WindowState != vwNormal) || BorderKind == bkNoCaption) {
    // The system's frame: its client rectangle.
    Default(m.Message);
    p->rgrc[1] = p->rgrc[0];
    return true;
  }
  // The window's new place: from the WINDOWPOS when there is one.
  RECT w{};
  if (p->lppos)
    w = {p->lppos->x, p->lppos->y, p->lppos->x + p->lppos->cx, p->lppos->y + p->lppos->cy};
  else
    w = p->rgrc[0];
  const TRect c = NcClientRect(TRect{w.left, w.top, w.right, w.bottom}, FrameBorders());
  p->rgrc[0] = RECT{c.Left, c.Top, c.Right, c.Bottom};
  p->rgrc[1] = p->rgrc[0];
  return true;
}

void TVeltForm::CaptionChange(const std::function<void()>& SetText) {
  if (!IsWindowVisible(hwnd)) {
    SetText();
    return;
  }
  // The system paints its own frame for a new text over the skinned one; with drawing off it
  // paints nothing, and what the window still had to paint is given back to it. An MDI child's
  // text also goes to its frame's caption: it is left to draw.
  {
    TDrawingPause pause(TDrawingPause::paPendingOnly);
    if (FormKind != fkMDIChild) pause.Add(hwnd);
    SetText();
    pause.Resume();
  }
  if (!IsWindow(hwnd) || (LifeState != lsSkinned && LifeState != lsSkinChanging)) return;
  GetWindowstate();
  if (WindowState == vwMaximized && FormKind == fkMDIChild && Manager && Manager->MDIClient)
    PostMessageA(Manager->MDIClient, CN_MdiRedraw, 0, 0);
  else if (WindowState == vwMinimized)
    UpdateNc(nullptr);
  else
    Refresh();
}

void TVeltForm::PassToForm(TMessage& Message) {
  if (savedFormProc_)
    savedFormProc_(Message);
  else if (Form)
    Form->WndProc(Message);
}

// What reaches the class-library form's WindowProc first; anything unlisted goes on to the form.
void TVeltForm::NewWndProc(TMessage& Message) {
  if (!HandleFormSide(Message)) PassToForm(Message);
}

bool TVeltForm::FormSetText(TWMSetText& m) {
  CaptionChange([&] { PassToForm(m.Message); });
  return true;
}

bool TVeltForm::FormSkinChange(TWMNoParams&) {
  TDrawingPause pause;
  pause.Add(hwnd);
  SkinChange();
  pause.Resume();
  return true;
}

bool TVeltForm::FormDialogChar(TMessage& m) {
  CMDialogChar(m);
  return true;
}

// Unlike CNSkinQuery, a form answers whether or not its frame is skinned.
bool TVeltForm::FormSkinQuery(TCNSkinMarked& m) {
  m.Result = m.Marked ? kSkinLibraryMark : 1;
  return true;
}

// Unlike CNSkinPaintFrame, a form paints its frame only into a memory DC.
bool TVeltForm::FormSkinPaintFrame(TCNSkinMarked& m) {
  if (!m.Marked) return false;
  if (m.DC && GetObjectType(HGDIOBJ(m.DC)) == OBJ_MEMDC) PaintNc(m.DC, false);
  m.Result = kSkinLibraryMark;
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TVeltForm, bool, HandleFormSide)
  KARO_MESSAGE(WM_SETTEXT, FormSetText)
  KARO_MESSAGE(CN_SkinChange, FormSkinChange)
  KARO_MESSAGE(CM_DIALOGCHAR, FormDialogChar)
  KARO_MESSAGE(CN_SkinQuery, FormSkinQuery)
  KARO_MESSAGE(CN_SkinPaintFrame, FormSkinPaintFrame)
KARO_END_MESSAGE_MAP_OF(false)

// ---- Giving the window back

void TVeltForm::UnSubclass() { UnSubclassCommon(true); }

// Restyle: the window gets its own frame back (style, size, region, the form's colour and menus);
// without it (the window is being destroyed) only the procedures and the skins go.
void TVeltForm::UnSubclassCommon(bool Restyle) {
  if (!FrameSkinned) {
    UnSubclass2();
    return;
  }
  delete sysPopup_;
  sysPopup_ = nullptr;
  hoverTimer_->SetEnabled(false);
  if (!formSub_.Installed()) return;
  RestoreFormProc();
  RestoreWndProc();
  DeleteControls();
  if (Restyle) {
    if (Form) {
      InitPopMenu(Form, false, false);
      if (LifeState != lsUnskinning && SavedColorValid) Form->SetColor(SavedColor);
    }
    UpdateStyle(false);
    EnableSysbtn(true);
  }
  const int menuRow = MenuHeight;
  const bool menuBack = menuBar_ != nullptr;
  GiveMenusBack(Restyle);
  UnSubclassMDI();
  if (!Restyle) return;
  if (LifeState != lsUnskinning && (FormKind == fkMDIChild || !Child)) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int w = (r.right - r.left) - Borders[0] - Borders[2] + SystemFrame.right;
    // The client area keeps its size under the system's frame and its menu bar again.
    const int h = (r.bottom - r.top) - Borders[1] - Borders[3] - menuRow + SystemFrame.bottom +
                  (menuBack ? DetachedMenuHeight : 0);
    HWND parent = FormKind == fkMDIChild ? GetParent(hwnd) : nullptr;
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(hwnd, nullptr, r.left, r.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  SetWindowRgn(hwnd, nullptr, TRUE);  // the system deletes the region it owned
  Region = nullptr;
  RegionSet = false;
  regionW_ = regionH_ = 0;
}

void TVeltForm::UnSubclass2() {
  hoverTimer_->SetEnabled(false);
  DeleteControls();
  if (Form) {
    InitPopMenu(Form, false, false);
    if (LifeState != lsUnskinning && SavedColorValid) Form->SetColor(SavedColor);
  }
  RestoreFormProc();
  RestoreWndProc();
  UnSubclassMDI();
  if (Form && LifeState != lsUnskinning)
    for (int i = 0; i < Form->ComponentCount(); ++i)
      if (auto* c = dyn<TControl>(Form->Components(i))) c->Invalidate();
}

void TVeltForm::UnSubclass3() { UnSubclassCommon(false); }

// ---- Control skins

bool TVeltForm::AddControlList(TSkinControlEntry* Control) {
  if (std::find(controls_.begin(), controls_.end(), Control) != controls_.end()) return true;
  controls_.push_back(Control);
  return false;
}

void TVeltForm::ForgetControl(TSkinControlEntry* Control) {
  if (hotControl_ == Control) hotControl_ = nullptr;
}

void TVeltForm::SetHotControl(TSkinControlEntry* Control) {
  if (Control == hotControl_) return;
  // Only a listed skin: one that left the list could not tell the form it is gone.
  if (Control && std::find(controls_.begin(), controls_.end(), Control) == controls_.end()) return;
  TSkinControlEntry* old = hotControl_;
  hotControl_ = Control;
  if (old) old->MouseLeave();
}

void TVeltForm::EndHotControl(bool Always) {
  TSkinControlEntry* c = hotControl_;
  if (!c) return;
  if (!Always) {
    HWND wnd = c->SkinWindow();
    RECT r{};
    POINT p{};
    if (CursorPos)
      p = CursorPos();
    else
      GetCursorPos(&p);
    if (wnd && GetWindowRect(wnd, &r) && PtInRect(&r, p)) return;
  }
  hotControl_ = nullptr;
  c->MouseLeave();
}

void TVeltForm::DeleteControl(TSkinControlEntry* Control) {
  ForgetControl(Control);
  for (size_t i = controls_.size(); i-- > 0;)
    if (controls_[i] == Control) {
      controls_.erase(controls_.begin() + std::ptrdiff_t(i));
      return;
    }
}

void TVeltForm::DeleteSkinDeleted() {
  for (size_t i = controls_.size(); i-- > 0;)
    if (controls_[i]->State() == 6) {
      TSkinControlEntry* c = controls_[i];
      ForgetControl(c);
      controls_.erase(controls_.begin() + std::ptrdiff_t(i));
      delete c;
    }
}

void TVeltForm::DeleteControls() {
  hotControl_ = nullptr;
  while (!controls_.empty()) {
    TSkinControlEntry* c = controls_.front();
    controls_.erase(controls_.begin());
    if (c->State() != 6) {
      RemoveToolBarDrawing(c->Control());
      c->Unsubclass();
    }
    delete c;
  }
}

void TVeltForm::InitControls(TWinControl* Control) {
  if (FormControls) FormControls->InitControls(this, Control);
}
void TVeltForm::InitNestform(TWinControl* Control) {
  if (FormControls) FormControls->InitNestform(this, Control);
}
KARO_CLASS_INFO(TVeltSpy, TComponent)

void TVeltForm::AddSpy(TWinControl* Nested) {
  if (!Nested) return;
  auto* spy = new TVeltSpy(Nested);
  spy->Form = this;
  spy->FreeNotification(this);
}

void TVeltSpy::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == Form) Form = nullptr;
}

void TVeltForm::InitHwndControls(HWND Wnd) {
  std::vector<HWND> children;
  for (HWND c = GetTopWindow(Wnd); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindowLongPtrA(c, GWL_STYLE) & WS_CHILD) children.push_back(c);
  for (HWND c : children) AddControlh(c);
}

void TVeltForm::AddControlh(HWND Wnd) {
  if (FormControls) FormControls->AddControlh(this, Wnd);
}

TControl* TVeltForm::ControlSkinControl(int Index) {
  return Index >= 0 && Index < int(controls_.size()) ? controls_[size_t(Index)]->Control() : nullptr;
}

void TVeltForm::FreeControlSkin(int Index) {
  if (Index < 0 || Index >= int(controls_.size())) return;
  TSkinControlEntry* c = controls_[size_t(Index)];
  ForgetControl(c);
  controls_.erase(controls_.begin() + Index);
  delete c;
}

// ---- System menu

namespace {
bool NTBefore5() {
  const DWORD v = WinVersion;
  return !(v & 0x80000000u) && LOBYTE(LOWORD(v)) < 5;
}
}  // namespace

void TVeltForm::CreateSysmenu2() {
  delete sysPopup_;
  sysPopup_ = nullptr;
  if (NTBefore5()) {
    CreateSysmenu();
    return;
  }
  HMENU sys = GetSystemMenu(hwnd, FALSE);
  if (!sys) return;
  sysPopup_ = new TPopupMenu(nullptr);
  sysPopup_->SetTag(33333);
  sysPopup_->SetOwnerDraw(true);
  if (SkinData) sysPopup_->SetImages(SkinData->MenuImages.get());
  const int n = GetMenuItemCount(sys);
  for (int i = 0; i < n; ++i) {
    wchar_t text[81] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = 80;
    if (!GetMenuItemInfoW(sys, UINT(i), TRUE, &info)) continue;
    auto* item = new TMenuItem(sysPopup_);
    item->SetCaption(text[0] ? WideString(text) : WideString(L"-"));
    item->SetTag(intptr_t(info.wID));
    int image = -1;
    bool enabled = true;
    switch (info.wID & 0xFFF0) {
      case SC_SIZE:
      case SC_MOVE:
        enabled = WindowState != vwMaximized;
        break;
      case SC_MINIMIZE:
        image = 2;
        enabled = WindowState != vwMinimized && (StyleFlags & sfHasMinBox);
        break;
      case SC_MAXIMIZE:
        image = 1;
        enabled = WindowState != vwMaximized && (StyleFlags & sfHasMaxBox);
        break;
      case SC_CLOSE:
        image = 3;
        break;
      case SC_RESTORE:
        image = 0;
        enabled = WindowState != vwNormal;
        break;
      default:
        break;
    }
    if ((info.fState & 3) == 3) enabled = false;
    item->SetImageIndex(image);
    item->SetEnabled(enabled);
    item->SetChecked((info.fState & MFS_CHECKED) != 0);
    item->OnClick = [this](TObject* s) { DoSysMenu2(s); };
    item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawMenuItem(s, c, r, sel); };
    item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasureItemPop(s, c, w, h); };
    sysPopup_->Items()->Add(item);
  }
}

void TVeltForm::CreateSysmenu() {
  delete sysPopup_;
  sysPopup_ = new TPopupMenu(nullptr);
  sysPopup_->SetTag(33333);
  sysPopup_->SetOwnerDraw(true);
  if (SkinData) sysPopup_->SetImages(SkinData->MenuImages.get());
  AddSysMenuitem(L" Restore ", 0);
  if (StyleFlags & sfHasMaxBox) AddSysMenuitem(L" Maximize ", 1);
  if (StyleFlags & sfHasMinBox) AddSysMenuitem(L" Minimize ", 2);
  AddSysMenuitem(L"-", 100);
  AddSysMenuitem(L" Close ", 3);
}

void TVeltForm::AddSysMenuitem(const WideString& Caption, int Index) {
  if (!sysPopup_) return;
  auto* item = new TMenuItem(sysPopup_);
  item->SetCaption(Caption);
  item->SetTag(Index);
  item->SetImageIndex(Index);
  if (Index == 3) item->SetShortCut(TextToShortCut(L"ALT+F4"));
  item->OnClick = [this](TObject* s) { DoSysMenu(s); };
  item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawMenuItem(s, c, r, sel); };
  item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasureItemPop(s, c, w, h); };
  sysPopup_->Items()->Add(item);
}

bool TVeltForm::CheckSysmenu() {
  if (NTBefore5() || (WinVersion & 0x80000000u)) return true;
  HMENU sys = GetSystemMenu(hwnd, FALSE);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  return sys && GetMenuItemInfoA(sys, SC_CLOSE, FALSE, &info);
}

void TVeltForm::PopSysmenu(POINT P) {
  if (Module) return;
  const DWORD now = Clock ? Clock() : GetTickCount();
  if (!sysMenuShown_ || now - lastSysMenuTime_ > doubleClickTime_) {
    if (Manager) Manager->MenuKind = 2;
    lastSysMenuTime_ = now;
    sysMenuShown_ = true;
    CreateSysmenu2();
    if (sysPopup_) sysPopup_->Popup(P.x, P.y);
    return;
  }
  // Only a double click on the button that opens this menu closes the window: two quick requests
  // from the keyboard or the caption are no double click, and in a main window would end the
  // program.
  auto* button = dynamic_cast<TWinSysButton*>(HotObject);
  if (!button || !button->Button) return;
  const int action = button->Button->Action;
  if (!IsIconAction(action) && action != 12) return;
  hoverTimer_->SetEnabled(false);
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void TVeltForm::DoSysMenu(TObject* Sender) {
  auto* item = dyn<TMenuItem>(Sender);
  if (!item) return;
  switch (item->Tag()) {
    case 0:
      ShowWindow(hwnd, SW_RESTORE);
      break;
    case 1:
      ShowWindow(hwnd, SW_MAXIMIZE);
      break;
    case 2:
      ShowWindow(hwnd, SW_MINIMIZE);
      break;
    case 3:
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

void TVeltForm::DoSysMenu2(TObject* Sender) {
  if (auto* item = dyn<TMenuItem>(Sender)) PostMessageA(hwnd, WM_SYSCOMMAND, WPARAM(item->Tag()), 0);
}
