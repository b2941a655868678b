#include "skin/windows/controls/control_skin.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "classlib/controls/forms.h"
#include "classlib/core/typinfo.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinControl, TComponent)

namespace {

// The WindowProc put into a class-library control: it names this link, so the control keeps a
// working chain even when a procedure put over ours outlives the skin.
struct TProcLink {
  TSkinControl* Skin;
  TWndMethod Saved;
};


void HandleEntryException() {
  try {
    if (Application) Application->HandleException(nullptr);
  } catch (...) {
  }
}

LRESULT CALLBACK SkinHwndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

LRESULT SkinMessage(void* skin, HWND, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  static_cast<TSkinControl*>(skin)->NewWndProc(m);
  return m.Result;
}

const TSubclassKind kSkinKind{L"KaroControlSkin", &SkinHwndProc, &SkinMessage};

LRESULT CALLBACK SkinHwndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return SubclassWindowProc(kSkinKind, wnd, msg, wp, lp);
}

bool EmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

// Reaches the protected painter of a control's children without windows.
struct TAcWinControl : TWinControl {
  static void Paint(TWinControl* C, HDC DC) {
    void (TWinControl::*paint)(HDC, TControl*) = &TAcWinControl::PaintControls;
    (C->*paint)(DC, nullptr);
  }
};

// The identity of a link as a WindowProc value.
TWndMethod LinkId(const void* link) { return TWndMethod(std::function<void(TMessage&)>(), link, 1); }

}  // namespace

// ---- Construction

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl() {
  *alive_ = false;
  RestoreProcedures();
  if (FForm) FForm->DeleteControl(this);
  FForm = nullptr;
}

void TSkinControl::RestoreProcedures() {
  if (FOldWindowProc) {
    auto* link = static_cast<TProcLink*>(procLink_.get());
    if (FControl && link) {
      if (FControl->WindowProc() == LinkId(link))
        FControl->SetWindowProc(FOldWindowProc);
      link->Skin = nullptr;  // a procedure put over ours now reaches the saved one through the link
    }
    FOldWindowProc = TWndMethod();
  }
  FHwndSub.Restore();
}

bool TSkinControl::IsCurrent() const {
  if (FOldWindowProc && FControl && procLink_)
    return FControl->WindowProc() == LinkId(procLink_.get());
  if (FHwndSub.Installed() && FHandle) return FHwndSub.Current();
  return false;
}

// ---- Attaching

void TSkinControl::HookControl(TControl* Control) {
  FControl = Control;
  FOldWindowProc = Control->WindowProc();
  auto link = std::make_shared<TProcLink>(TProcLink{this, FOldWindowProc});
  procLink_ = link;
  TProcLink* raw = link.get();
  // The method value keeps the link alive for as long as the control holds it.
  Control->SetWindowProc(TWndMethod(
      [link](TMessage& m) {
        if (link->Skin)
          link->Skin->NewWndProc(m);
        else
          link->Saved(m);
      },
      raw, 1));
}

void TSkinControl::TakeControl(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  FSkinData = SkinData;
  FForm = Form;
  FCanvas = Canvas;
  FControl = Control;
  FHandle = ControlWindow(Control);
  FUnicode = FHandle && IsWindowUnicode(FHandle);
  FEnabled = Control->Enabled() ? 1 : 0;
  if (FForm) FForm->AddControlList(this);
}

void TSkinControl::Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor) {
  if (FInitialized || attaching_) return;
  auto* control = dyn<TControl>(Owner());
  if (!control) return;
  attaching_ = true;
  FSetColor = SetColor;
  TakeControl(control, SkinData, Canvas, Form);
  HookControl(control);
  if (FSetColor) {
    FOldColor = control->Color();
    control->SetColor(ButtonFace());
  }
  control->Invalidate();
  FInitialized = true;
  FState = kSkinAttached;
  attaching_ = false;
}

void TSkinControl::Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  // Attaching twice would save our own procedure as the one to call next: every message would
  // then go round without end.
  if (attaching_ || FHwndSub.Installed() || FOldWindowProc) return;
  attaching_ = true;
  FSkinData = SkinData;
  FCanvas = Canvas;
  FForm = Form;
  FHandle = Handle;
  FEnabled = 1;
  FTransparent = 0;
  if (FForm) FForm->AddControlList(this);
  if (Handle && IsWindow(Handle)) {
    FUnicode = IsWindowUnicode(Handle);
    FCaption = GetWindowTextWide(Handle);
    FHwndSub.Install(kSkinKind, Handle, this);
    InvalidateRect(Handle, nullptr, TRUE);
  }
  FInitialized = true;
  FState = kSkinAttached;
  attaching_ = false;
}

void TSkinControl::InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form) {
  (void)Control;
  Init(Form, SkinData, Canvas, false);
}

void TSkinControl::InitGraphicControl(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas) {
  if (FInitialized || attaching_) return;
  auto* control = dyn<TControl>(Owner());
  if (!control) return;
  attaching_ = true;
  FSkinData = SkinData;
  FCanvas = Canvas;
  FForm = Form;
  FHandle = nullptr;
  FEnabled = control->Enabled() ? 1 : 0;
  HookControl(control);
  if (FForm) FForm->AddControlList(this);
  FInitialized = true;
  FState = kSkinAttached;
  attaching_ = false;
}

void TSkinControl::Unsubclass() {
  if (FSetColor && FControl) {
    FControl->SetColor(FOldColor);
    FSetColor = false;
  }
  RestoreProcedures();
}

void TSkinControl::SkinChange() {
  if (FSetColor && FControl) FControl->SetColor(ButtonFace());
  Invalidate();
}

int TSkinControl::GetState() { return 1; }

// ---- The message path

void TSkinControl::NewWndProc(TMessage& Message) {
  const std::shared_ptr<const bool> alive = alive_;
  const bool outerPassed = passed_;
  passed_ = false;
  try {
    FMsgMark = 0;
    // In a window without a class-library form nothing tells a control that the mouse left it:
    // the form ends the hot look of the one it was last over.
    if (Message.Msg == WM_MOUSEMOVE && FActive && FHandle && FForm && !FForm->Form) FForm->SetHotControl(this);
    if (Message.Msg == CN_SkinEnable) {
      FActive = TCNSkinEnable(Message).Enable;
      if (FActive) Invalidate();
    } else if (!FActive) {
      Default(Message);
    } else if (BeforeProc(Message)) {
      if (*alive && !passed_) Default(Message);
      if (*alive) AfterProc(Message);
    }
  } catch (...) {
    // The control keeps working: a message the skin failed on before passing it on still goes on.
    if (*alive && !passed_) {
      try {
        Default(Message);
      } catch (...) {
      }
    }
    HandleEntryException();
  }
  if (*alive) passed_ = outerPassed;
}

void TSkinControl::Default(TMessage& Message) {
  passed_ = true;
  if (FOldWindowProc) {
    FOldWindowProc(Message);
  } else if (FHwndSub.Installed()) {
    Message.Result = FHwndSub.CallSaved(Message.Msg, Message.WParam, Message.LParam);
  } else if (FHandle) {
    Message.Result = FUnicode ? DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam)
                              : DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
  }
}

bool TSkinControl::BeforeNCDestroy(TWMNoParams& m) {
  Default(m.Message);
  FActive = false;
  FState = kSkinWindowGone;
  Unsubclass();
  return false;
}

bool TSkinControl::BeforeIsSkinned(TWMNoParams& m) {
  m.Result = 1;
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinControl, bool, BeforeProc)
  KARO_MESSAGE(WM_NCDESTROY, BeforeNCDestroy)
  KARO_MESSAGE(CN_IsSkinned, BeforeIsSkinned)
KARO_END_MESSAGE_MAP_OF(true)

void TSkinControl::AfterStateChanged(TWMNoParams&) { Invalidate(); }

void TSkinControl::AfterMouseEnter(TWMNoParams&) {
  if (!(FMouseState & scMouseIn)) {
    FMouseState |= scMouseIn;
    Invalidate();
  }
}

void TSkinControl::AfterMouseLeave(TWMNoParams&) {
  if (FMouseState) {
    FMouseState = 0;
    Invalidate();
  }
}

void TSkinControl::AfterPaint(TWMPaint& m) { PaintControl(m.DC); }

KARO_BEGIN_MESSAGE_MAP_OF(TSkinControl, void, AfterProc)
  KARO_MESSAGE(WM_SETFOCUS, AfterStateChanged)
  KARO_MESSAGE(WM_KILLFOCUS, AfterStateChanged)
  KARO_MESSAGE(WM_ENABLE, AfterStateChanged)
  KARO_MESSAGE(WM_SETTEXT, AfterStateChanged)
  KARO_MESSAGE(CM_ENABLEDCHANGED, AfterStateChanged)
  KARO_MESSAGE(CM_MOUSEENTER, AfterMouseEnter)
  KARO_MESSAGE(CM_MOUSELEAVE, AfterMouseLeave)
  KARO_MESSAGE(WM_PAINT, AfterPaint)
KARO_END_MESSAGE_MAP_OF(void())

void TSkinControl::PaintControl(HDC DC) {
  if (!FHandle) return;
  RECT r{};
  if (!GetWindowRect(FHandle, &r)) return;
  FWindowRect = TRect(r.left, r.top, r.right, r.bottom);
  const TRect local(0, 0, r.right - r.left, r.bottom - r.top);
  HDC dc = DC ? DC : GetWindowDC(FHandle);
  if (!dc) return;
  // A fault in a painter leaves the control showing its own painting.
  try {
    DrawControl(dc, local);
  } catch (...) {
  }
  if (!DC) ReleaseDC(FHandle, dc);
}

void TSkinControl::DrawControl(HDC DC, const TRect& R) {
  (void)DC;
  (void)R;
}

void TSkinControl::WMPaint(TWMPaint& Message) {
  if (!FHandle) return;
  PAINTSTRUCT ps{};
  HDC dc = Message.DC;
  const bool own = !dc;
  if (own) dc = BeginPaint(FHandle, &ps);
  RECT r{};
  GetWindowRect(FHandle, &r);
  FWindowRect = TRect(r.left, r.top, r.right, r.bottom);
  try {
    if (dc) DrawControl(dc, TRect(0, 0, r.right - r.left, r.bottom - r.top));
  } catch (...) {
  }
  if (own) EndPaint(FHandle, &ps);
  Message.Result = 0;
}

void TSkinControl::WMERASEBKGND(TWMEraseBkgnd& Message) {
  HDC dc = Message.DC;
  if (FControl && FHandle) {
    DrawParentImage(FHandle, dc, true);
  } else if (FHandle) {
    RECT r{};
    GetClientRect(FHandle, &r);
    FillParentBG(dc, TRect(r.left, r.top, r.right, r.bottom));
  }
  Message.Result = 1;
}

void TSkinControl::Invalidate() {
  if (FPaintTarget) {
    FPaintTarget->Invalidate();
  } else if (FHandle) {
    InvalidateRect(FHandle, nullptr, TRUE);
    UpdateWindow(FHandle);
  } else if (FControl) {
    FControl->Invalidate();
  }
}

void TSkinControl::MouseLeave() {
  if (FHandle) SendMessageW(FHandle, CM_MOUSELEAVE, 0, 0);
}

// ---- Shared painting

TColor TSkinControl::ButtonFace() const {
  return ColorToRGB(FSkinData ? FSkinData->Colors[csButtonFace] : TColor(clBtnFace));
}

void TSkinControl::FillBG(HDC DC, const TRect& R) { FillColor(DC, R, ButtonFace()); }

void TSkinControl::FillParentBG(HDC DC, const TRect& R) { FillColor(DC, R, GetParentColor(ButtonFace())); }

void TSkinControl::FillWindowBG(HDC DC) {
  RECT r{};
  if (FHandle) GetWindowRect(FHandle, &r);
  FillBG(DC, TRect(0, 0, r.right - r.left, r.bottom - r.top));
}

TColor TSkinControl::GetParentColor(TColor Default) {
  if (!FControl || !FControl->Parent()) return Default;
  if (PropKind(FControl->Parent(), "Color") != tkInteger) return Default;
  return TColor(GetOrdProp(FControl->Parent(), "Color"));
}

LONG_PTR TSkinControl::GetWindowLongEx(int Index) const {
  if (!FHandle) return 0;
  return FUnicode ? GetWindowLongPtrW(FHandle, Index) : GetWindowLongPtrA(FHandle, Index);
}

UINT TSkinControl::CheckBiDi(UINT Flags) const {
  const TControl* c = FControl ? FControl : FPaintTarget;
  if (c && c->BiDiMode() == bdRightToLeft) Flags |= DT_RTLREADING;
  return Flags;
}

void TSkinControl::DrawSkinMap(HDC DC, const TRect& R, const TDataSkinObject* Obj, int FrameIndex) {
  if (R.Right < R.Left || R.Bottom < R.Top) return;
  DrawElement(DC, R, Obj, FrameIndex);
}

void TSkinControl::DrawSkinMap2(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount) {
  // A frame count of 0 would divide by zero, and an index outside the strip would read past it.
  if (!Strip || Strip->Empty() || FrameCount < 1 || FrameIndex < 1 || FrameIndex > FrameCount) return;
  if (EmptyRect(R)) return;
  const int fw = Strip->Width() / FrameCount;
  if (fw < 1) return;
  TBitmap frame;
  frame.SetPixelFormat(pf24bit);
  frame.SetSize(R.Width(), R.Height());
  StretchBlt(frame.Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Strip->Canvas()->Handle(), (FrameIndex - 1) * fw,
             0, fw, Strip->Height(), SRCCOPY);
  DrawTranmap(DC, R, &frame, kSkinKeyColor);
}

void TSkinControl::DrawCaption(HDC DC, const TRect& R, const WideString& Text, bool Enabled, UINT Flags) {
  const UINT f = Flags | DT_EXPANDTABS;
  RECT calc{R.Left, R.Top, R.Right, R.Bottom};
  Tnt_DrawTextW(DC, Text, calc, f | DT_CALCRECT | DT_NOCLIP);
  const int w = calc.right - calc.left, h = calc.bottom - calc.top;
  RECT t{R.Left, R.Top + (R.Height() - h) / 2 - 1, R.Right, 0};
  t.bottom = t.top + h;
  if (Flags == DT_CENTER) {
    t.left = R.Left + (R.Width() - w) / 2;
    t.right = t.left + w;
  }
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  const COLORREF oldText = Enabled ? 0 : SetTextColor(DC, COLORREF(ColorToRGB(clBtnShadow)));
  Tnt_DrawTextW(DC, Text, t, CheckBiDi(f));
  if (!Enabled) SetTextColor(DC, oldText);
  SetBkMode(DC, oldMode);
}

void TSkinControl::DrawImgCaption(HDC DC, const TRect& R, HIMAGELIST Images, int ImageIndex, const WideString& Text,
                                  int Alignment) {
  int iw = 0, ih = 0;
  if (!Images || ImageIndex == -1 || !ImageList_GetIconSize(Images, &iw, &ih) || iw >= R.Width()) iw = ih = 0;
  const bool image = iw > 0;
  const UINT flags = DT_WORDBREAK | DT_EXPANDTABS | DT_END_ELLIPSIS;
  int tw = 0, th = 0;
  if (!Text.empty()) {
    RECT m{R.Left, R.Top, R.Right + (image ? iw + 2 : 0), R.Bottom};
    Tnt_DrawTextW(DC, Text, m, flags | DT_NOCLIP | DT_CALCRECT);
    tw = m.right - m.left;
    th = m.bottom - m.top;
  }
  int x = 3;
  if (Alignment == 1) x = (R.Width() - iw - tw) / 2;
  if (Alignment == 2) x = R.Width() - iw - tw - 2;
  if (x < 2) x = 1;
  if (image) ImageList_Draw(Images, ImageIndex, DC, R.Left + x, R.Top + (R.Height() - ih) / 2, ILD_TRANSPARENT);
  if (Text.empty()) return;
  RECT t{R.Left + x + iw, R.Top + (R.Height() - th) / 2, R.Left + x + iw + tw, R.Top + (R.Height() - th) / 2 + th};
  t.left = std::max(t.left, LONG(R.Left));
  t.right = std::min(t.right, LONG(R.Right));
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  const COLORREF oldText = FEnabled ? 0 : SetTextColor(DC, COLORREF(ColorToRGB(clBtnShadow)));
  Tnt_DrawTextW(DC, Text, t, CheckBiDi(flags));
  if (!FEnabled) SetTextColor(DC, oldText);
  SetBkMode(DC, oldMode);
}

void TSkinControl::DrawFocus(HDC DC, const WideString& Text, const TRect& R, UINT Flags, const TRect& Clip) {
  RECT m{R.Left, R.Top, R.Right, R.Bottom};
  Tnt_DrawTextW(DC, Text, m, Flags | DT_CALCRECT | DT_NOCLIP);
  const int w = m.right - m.left, h = m.bottom - m.top;
  if (Flags & DT_CENTER) {
    OffsetRect(&m, (R.Width() - w) / 2, (R.Height() - h) / 2 - 1);
  } else if (Flags & DT_RIGHT) {
    OffsetRect(&m, R.Width() - w, 0);
  }
  InflateRect(&m, 2, 1);
  m.left = std::max(m.left, LONG(Clip.Left));
  m.top = std::max(m.top, LONG(Clip.Top));
  m.right = std::min(m.right, LONG(Clip.Right));
  m.bottom = std::min(m.bottom, LONG(Clip.Bottom));
  // The dotted line takes the DC's colours: black on white, whatever the caption's colour was.
  const COLORREF oldText = SetTextColor(DC, 0), oldBk = SetBkColor(DC, 0xFFFFFF);
  DrawFocusRect(DC, &m);
  SetBkColor(DC, oldBk);
  SetTextColor(DC, oldText);
}

bool TSkinControl::BeforePaintWhole(TWMPaint& m) {
  WMPaint(m);
  return false;
}

bool TSkinControl::BeforeEraseWhole(TWMEraseBkgnd& m) {
  m.Result = 1;
  return false;
}

bool TSkinControl::PaintWholeWindow(TMessage& Message) { return !DispatchWhole(Message); }

KARO_BEGIN_MESSAGE_MAP_OF(TSkinControl, bool, DispatchWhole)
  KARO_MESSAGE(WM_PAINT, BeforePaintWhole)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaintWhole)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseWhole)
KARO_END_MESSAGE_MAP_OF(true)

// ---- Unit routines

COLORREF SkinColour(TColor Colour, TColor Fallback) {
  // -1 is how the reader says the skin gave no colour; ColorToRGB would take it for a system one.
  return COLORREF(ColorToRGB(Colour == TColor(-1) ? Fallback : Colour));
}

void FillColor(HDC DC, const TRect& R, TColor Colour) {
  HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(Colour)));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(DC, &r, b);
  DeleteObject(b);
}

void PaintGraphicChildren(TControl* Control, HDC DC) {
  if (auto* w = dyn<TWinControl>(Control)) TAcWinControl::Paint(w, DC);
}

WideString GetWindowTextWide(HWND Handle) {
  if (!Handle) return {};
  int n = GetWindowTextLengthW(Handle);
  if (n <= 0) return {};
  WideString s(size_t(n) + 1, L'\0');
  n = GetWindowTextW(Handle, s.data(), int(s.size()));
  s.resize(size_t(std::max(n, 0)));
  return s;
}

bool IsPopupWindow(HWND Handle) {
  return (GetWindowLongPtrA(Handle, GWL_STYLE) & WS_POPUP) != 0 || GetParent(Handle) == HWND(uintptr_t(0x10014));
}

WideString StringReplaceW(const WideString& S, const WideString& Old, const WideString& New) {
  if (Old.empty()) return S;
  const size_t p = S.find(Old);
  if (p == WideString::npos) return S;
  WideString r = S;
  r.replace(p, Old.size(), New);
  return r;
}

bool HasProperty(TObject* Obj, std::string_view Name) { return Obj && GetPropInfo(Obj, Name) != nullptr; }

std::string GetProperty(TObject* Obj, std::string_view Name) {
  switch (PropKind(Obj, Name)) {
    case tkEnumeration:
      return GetEnumProp(Obj, Name);
    case tkInteger:
      return std::to_string(GetOrdProp(Obj, Name));
    default:
      return "";
  }
}

int GetIntProperty(TObject* Obj, std::string_view Name) {
  const TTypeKind k = PropKind(Obj, Name);
  if (k != tkInteger) return -1;
  return int(GetOrdProp(Obj, Name));
}

std::string GetEnumProperty(TObject* Obj, std::string_view Name) {
  return PropKind(Obj, Name) == tkEnumeration ? GetEnumProp(Obj, Name) : "";
}

WideString GetStringProp(TObject* Obj, std::string_view Name) {
  if (!HasProperty(Obj, Name)) return {};
  return GetWideStrProp(Obj, Name);
}

TObject* GetObjProp(TObject* Obj, std::string_view Name, TClass MinClass) {
  if (PropKind(Obj, Name) != tkClass) return nullptr;
  return GetObjectProp(Obj, Name, MinClass);
}

void SetProperty(TObject* Obj, std::string_view Name, std::string_view Value) {
  if (HasProperty(Obj, Name)) SetPropValue(Obj, Name, Value);
}

HWND ControlWindow(TControl* Control) {
  auto* w = dyn<TWinControl>(Control);
  if (!w) return nullptr;
  try {
    return w->Handle();
  } catch (...) {
    return nullptr;
  }
}
