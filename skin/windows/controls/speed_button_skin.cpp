#include "skin/windows/controls/speed_button_skin.h"

#include <algorithm>
#include <cctype>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_text.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinSpeedButton, TSkinBitButton)
KARO_CLASS_INFO(TSkinMenuButton, TSkinButton)

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

bool TrueProp(TObject* o, const char* name) { return Lower(GetEnumProperty(o, name)) == "true"; }

// What the parent shows under a control without a window, into DC at the control's origin.
void DrawParentUnder(TControl* c, HDC DC) {
  TWinControl* p = c->Parent();
  if (!p || !p->HandleAllocated()) return;
  const int sdc = SaveDC(DC);
  OffsetViewportOrgEx(DC, -c->Left(), -c->Top(), nullptr);
  SendMessageW(p->Handle(), WM_ERASEBKGND, WPARAM(DC), 0);
  SendMessageW(p->Handle(), WM_PRINTCLIENT, WPARAM(DC), PRF_CLIENT);
  RestoreDC(DC, sdc);
}

}  // namespace

int SpeedButtonFrame(bool Pressed, bool MouseIn, bool Enabled, bool Down) {
  const int d = Pressed ? 2 : MouseIn ? 4 : 1;
  if (Down) return 2;
  return Enabled ? d : 3;
}

int SpeedGlyphState(int Frame, bool Down) {
  if (Down) return 4;
  if (Frame == 2) return 3;
  if (Frame == 3) return 2;
  return 1;
}

bool SpeedButtonShowsFace(bool Flat, int Frame) { return !(Flat && (Frame == 1 || Frame == 3)); }

int MenuButtonFrame(bool Pressed, bool FocusedOrHot, bool Enabled) {
  if (!Enabled) return 3;
  if (Pressed) return 2;
  return FocusedOrHot ? 4 : 1;
}

// ---- TSkinSpeedButton

TSkinSpeedButton::TSkinSpeedButton(TComponent* AOwner) : TSkinBitButton(AOwner) {}

void TSkinSpeedButton::InitGraphicControl(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas) {
  TSkinControl::InitGraphicControl(Form, SkinData, Canvas);
  if (!FControl) return;
  FParentBack = FControl->Tag() == kParentBackTag || (FSkinData && FSkinData->Options().Contains(xoTransparent));
}

bool TSkinSpeedButton::BeforeProc(TMessage& Message) {
  if (!HasPicture()) return TSkinControl::BeforeProc(Message);
  return DispatchBefore(Message);
}

bool TSkinSpeedButton::BeforePaintSpeed(TWMPaint& m) {
  WMPaintSpeed(m);
  return false;
}

bool TSkinSpeedButton::BeforeSpeedDown(TWMMouse& m) {
  Default(m.Message);
  FMouseState |= scDown;
  PaintControl(nullptr);
  return false;
}

bool TSkinSpeedButton::BeforeSpeedUp(TWMMouse&) { return true; }

KARO_BEGIN_MESSAGE_MAP_OF(TSkinSpeedButton, bool, DispatchBefore)
  KARO_MESSAGE(WM_PAINT, BeforePaintSpeed)
  KARO_MESSAGE(WM_LBUTTONDOWN, BeforeSpeedDown)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, BeforeSpeedDown)
  KARO_MESSAGE(WM_LBUTTONUP, BeforeSpeedUp)
KARO_END_MESSAGE_MAP_OF(TSkinButton::BeforeProc(Message))

void TSkinSpeedButton::AfterProc(TMessage& Message) {
  if (!HasPicture()) {
    TSkinControl::AfterProc(Message);
    return;
  }
  DispatchAfter(Message);
}

void TSkinSpeedButton::AfterReleased(TWMNoParams&) { RestoreProcedures(); }

void TSkinSpeedButton::AfterSpeedUp(TWMMouse&) {
  FMouseState &= uint8_t(~scDown);
  Invalidate();
}

void TSkinSpeedButton::AfterSpeedEnter(TWMNoParams&) {
  FMouseState |= scMouseIn;
  Invalidate();
}

void TSkinSpeedButton::AfterSpeedLeave(TWMNoParams&) {
  FMouseState = 0;
  if (FControl && FControl->Visible()) Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinSpeedButton, void, DispatchAfter)
  KARO_MESSAGE(WM_ENABLE, AfterNothing)
  KARO_MESSAGE(CM_FOCUSCHANGED, AfterNothing)
  KARO_MESSAGE(CM_ENABLEDCHANGED, AfterNothing)
  KARO_MESSAGE(WM_NCDESTROY, AfterReleased)
  KARO_MESSAGE(CM_RELEASE, AfterReleased)
  KARO_MESSAGE(WM_KEYDOWN, AfterKeyDown)
  KARO_MESSAGE(WM_KEYUP, AfterKeyUp)
  KARO_MESSAGE(WM_LBUTTONUP, AfterSpeedUp)
  KARO_MESSAGE(CM_MOUSEENTER, AfterSpeedEnter)
  KARO_MESSAGE(CM_MOUSELEAVE, AfterSpeedLeave)
KARO_END_MESSAGE_MAP_OF(TSkinButton::AfterProc(Message))

void TSkinSpeedButton::WMPaintSpeed(TWMPaint& Message) {
  HDC dc = Message.DC;
  if (dc && FControl) {
    try {
      DrawSpeedbtn(dc, TRect(0, 0, FControl->Width(), FControl->Height()));
    } catch (...) {
    }
  }
  Message.Result = 1;
}

void TSkinSpeedButton::PaintControl(HDC DC) {
  (void)DC;
  // A button without a window is drawn when its parent paints.
  if (FControl) {
    FControl->Invalidate();
    FControl->Update();
  }
}

void TSkinSpeedButton::DrawSpeedbtn(HDC DC, const TRect& Rect) {
  if (!HasPicture() || painting_ || !FControl) return;
  painting_ = true;
  struct TGuard {
    bool& f;
    ~TGuard() { f = false; }
  } guard{painting_};
  const bool enabled = TrueProp(FControl, "Enabled");
  const bool down = TrueProp(FControl, "Down");
  const int e = SpeedButtonFrame((FMouseState & scDown) != 0, (FMouseState & scMouseIn) != 0, enabled, down);
  const int glyphState = SpeedGlyphState(e, down);
  const bool flat = TrueProp(FControl, "Flat");
  FCaption = GetStringProp(FControl, "Caption");
  auto* glyph = dyn<TBitmap>(GetObjProp(FControl, "Glyph", TBitmap::StaticClass()));
  int num = GetIntProperty(FControl, "NumGlyphs");
  if (num < 1) num = 1;
  const int layout = LayoutOfName(GetEnumProperty(FControl, "Layout"));

  const TRect R(0, 0, Rect.Width(), Rect.Height());
  if (R.Width() <= 0 || R.Height() <= 0) return;
  FWorkBitmap->SetSize(R.Width(), R.Height());
  HDC w = FWorkBitmap->Canvas()->Handle();
  if (FParentBack)
    DrawParentUnder(FControl, w);
  else
    FillBG(w, R);
  if (SpeedButtonShowsFace(flat, e)) DrawSkinMap(w, R, FSkinData->Buttons.get(), e);
  HGDIOBJ old = SelectObject(w, FControl->Font()->Handle());
  const TColor textColor = e == 3 ? TColor(ColorToRGB(clBtnShadow)) : StateTextColor(e);
  SetTextColor(w, COLORREF(textColor));
  TPoint g(0, 0);
  if (glyph && !glyph->Empty()) g = TPoint(glyph->Width() / num, glyph->Height());
  FFocused = 0;
  if (g.X == 0) {
    DrawBtnText(w, R, DT_CENTER);
  } else {
    const TGlyphLayout L = LayoutCaptionWithGlyph(w, FCaption, TPoint(R.Right, R.Bottom), g, layout,
                                                  GetIntProperty(FControl, "Margin"),
                                                  GetIntProperty(FControl, "Spacing"), false, true);
    DrawGlyph(w, L.Glyph.X, L.Glyph.Y, glyph, num, glyphState);
    if (!FCaption.empty()) {
      const int mode = SetBkMode(w, TRANSPARENT);
      RECT d{L.Text.Left, L.Text.Top, L.Text.Right, L.Text.Bottom};
      Tnt_DrawTextW(w, FCaption, d, CheckBiDi(L.Flags));
      SetBkMode(w, mode);
    }
  }
  BitBlt(DC, Rect.Left, Rect.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
  SelectObject(w, old);
}

// ---- TSkinMenuButton

TSkinMenuButton::TSkinMenuButton(TComponent* AOwner) : TSkinButton(AOwner) {}

void TSkinMenuButton::DrawControl(HDC DC, const TRect& Rect) {
  if (!HasPicture() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  FFocused = FHandle && GetFocus() == FHandle ? 1 : 0;
  FEnabled = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_DISABLED) ? 0 : 1;
  FCaption = FControl ? FControl->Caption() : GetWindowTextWide(FHandle);
  const int frame =
      MenuButtonFrame((FMouseState & scDown) != 0, FFocused || (FMouseState & scMouseIn), FEnabled != 0);
  const int W = Rect.Width(), H = Rect.Height();
  FWorkBitmap->SetSize(W, H);
  HDC w = FWorkBitmap->Canvas()->Handle();
  const TRect all(0, 0, W, H);
  PaintBackground(w, all);
  DrawSkinMap(w, all, FSkinData->Buttons.get(), frame);
  HGDIOBJ oldFont = SelectButtonFont(w);
  FCaption = StringReplaceW(FCaption, L"||", L"\r\n");
  RECT calc{0, 0, std::max(0, W - 17 - 4), std::max(0, H - 4)};
  Tnt_DrawTextW(w, FCaption, calc, DT_CALCRECT | DT_WORDBREAK);
  const int tw = calc.right - calc.left, th = calc.bottom - calc.top;
  const int x = (W - 17 - tw) / 2 + 2, y = (H - th + 1) / 2;
  const COLORREF ink = FEnabled ? COLORREF(ColorToRGB(clWindowText)) : COLORREF(ColorToRGB(clBtnShadow));
  HBRUSH brush = CreateSolidBrush(ink);
  HPEN pen = CreatePen(PS_SOLID, 1, ink);
  HGDIOBJ ob = SelectObject(w, brush), op = SelectObject(w, pen);
  const POINT tri[3] = {{W - 15, H / 2 - 1}, {W - 9, H / 2 - 1}, {W - 12, H / 2 + 2}};
  Polygon(w, tri, 3);
  SelectObject(w, ob);
  SelectObject(w, op);
  DeleteObject(brush);
  DeleteObject(pen);
  SetTextColor(w, COLORREF(StateTextColor(frame)));
  const int mode = SetBkMode(w, TRANSPARENT);
  RECT d{x, y, x + tw, y + th};
  Tnt_DrawTextW(w, FCaption, d, CheckBiDi(DT_WORDBREAK));
  SetBkMode(w, mode);
  if (FFocused && !FSkinData->Options().Contains(xoNoFocusRect)) {
    RECT f{x - 2, y - 2, x + tw + 2, y + th + 2};
    SetTextColor(w, 0);
    SetBkColor(w, 0xFFFFFF);
    DrawFocusRect(w, &f);
  }
  BitBlt(DC, Rect.Left, Rect.Top, W, H, w, 0, 0, SRCCOPY);
  SelectObject(w, oldFont);
}
