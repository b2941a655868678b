#include "skin/windows/controls/updown_skin.h"

#include <windowsx.h>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinUpDown, TSkinControl)

namespace {
bool Inside(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }
}  // namespace

TUpDownHalves SplitUpDown(const TRect& R, bool Horizontal) {
  if (Horizontal) {
    const int m = R.Left + R.Width() / 2;
    return {{TRect(R.Left, R.Top, m, R.Bottom), udkLeft}, {TRect(m, R.Top, R.Right, R.Bottom), udkRight}};
  }
  const int m = R.Top + R.Height() / 2;
  return {{TRect(R.Left, R.Top, R.Right, m), udkUp}, {TRect(R.Left, m, R.Right, R.Bottom), udkDown}};
}

int UpDownState(bool Enabled, bool MouseOverHalf, bool Pressed, bool MouseIn) {
  if (!Enabled) return udsDisabled;
  if (!MouseOverHalf) return udsNormal;
  if (Pressed) return udsPressed;
  return MouseIn ? udsHot : udsNormal;
}

int UpDownFrame(int Kind, int State) { return State + 4 * (Kind & 1); }

void DrawArrow(HDC DC, int Px, int Py, int Kind) {
  // Four rows (or columns) widening away from the tip: 1, 3, 5 and 7 pixels.
  for (int i = 0; i < 4; ++i) {
    switch (Kind) {
      case udkUp:
        MoveToEx(DC, Px - i, Py + i, nullptr);
        LineTo(DC, Px + i + 1, Py + i);
        break;
      case udkDown:
        MoveToEx(DC, Px - i, Py - i, nullptr);
        LineTo(DC, Px + i + 1, Py - i);
        break;
      case udkLeft:
        MoveToEx(DC, Px + i, Py - i, nullptr);
        LineTo(DC, Px + i, Py + i + 1);
        break;
      case udkRight:
        MoveToEx(DC, Px - i, Py - i, nullptr);
        LineTo(DC, Px - i, Py + i + 1);
        break;
      default:
        return;
    }
  }
}

TSkinUpDown::TSkinUpDown(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinUpDown::Horizontal() const {
  return FHorizontal || (FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & UDS_HORZ));
}

const TDataSkinBorder* TSkinUpDown::Strip() const {
  if (!FSkinData) return nullptr;
  const TDataSkinBorder* s = Horizontal() ? FSkinData->UpDownHorz.get() : FSkinData->UpDownVert.get();
  return s && s->Map && !s->Map->Empty() ? s : nullptr;
}

int TSkinUpDown::KindUnderMouse(const TRect& R) const {
  if (!(FMouseState & (scMouseIn | scDown))) return -1;
  const TUpDownHalves h = SplitUpDown(R, Horizontal());
  for (const TUpDownHalf& half : {h.First, h.Second})
    if (Inside(half.Rect, mouse_)) return half.Kind;
  return -1;
}

bool TSkinUpDown::BeforeEraseBkgnd(TWMEraseBkgnd& m) {
  DrawBackGround(m.DC);
  m.Result = 1;
  return false;
}

bool TSkinUpDown::BeforeLButtonDown(TWMMouse& m) {
  mouse_ = TPoint(m.XPos, m.YPos);
  Default(m.Message);
  FMouseState |= scDown;
  Invalidate();
  return false;
}

bool TSkinUpDown::BeforeLButtonUp(TWMMouse& m) {
  FMouseState &= uint8_t(~scDown);
  Default(m.Message);
  Invalidate();
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinUpDown, bool, BeforeProc)
  KARO_MESSAGE(WM_PAINT, BeforePaintWhole)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaintWhole)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseBkgnd)
  KARO_MESSAGE(WM_LBUTTONDOWN, BeforeLButtonDown)
  KARO_MESSAGE(WM_LBUTTONDBLCLK, BeforeLButtonDown)
  KARO_MESSAGE(WM_LBUTTONUP, BeforeLButtonUp)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

void TSkinUpDown::AfterMouseMove(TWMMouse& m) {
  // The hot button follows the mouse: entering the control, and crossing from one button to
  // the other, repaint.
  mouse_ = TPoint(m.XPos, m.YPos);
  const bool entered = !(FMouseState & scMouseIn);
  FMouseState |= scMouseIn;
  if (entered && FHandle) DoTrackMouse(FHandle);
  RECT c{};
  if (FHandle) GetClientRect(FHandle, &c);
  const int kind = KindUnderMouse(TRect(c.left, c.top, c.right, c.bottom));
  if (entered || kind != hotKind_) {
    hotKind_ = kind;
    Invalidate();
  }
}

void TSkinUpDown::AfterMouseLeft(TWMNoParams&) {
  FMouseState &= uint8_t(~scMouseIn);
  hotKind_ = -1;
  Invalidate();
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinUpDown, void, AfterProc)
  KARO_MESSAGE(WM_MOUSEMOVE, AfterMouseMove)
  KARO_MESSAGE(WM_MOUSELEAVE, AfterMouseLeft)
KARO_END_MESSAGE_MAP_OF(TSkinControl::AfterProc(Message))

void TSkinUpDown::DrawBackGround(HDC DC) {
  // A raw up-down (the one of an edit or of a tab control) would otherwise show what lay there.
  if (FControl || !FHandle || !DC) return;
  RECT c{};
  GetClientRect(FHandle, &c);
  FillRect(DC, &c, HBRUSH(GetStockObject(WHITE_BRUSH)));
}

void TSkinUpDown::DrawControl(HDC DC, const TRect& Rect) {
  TRect R = Rect;
  if (FInEdit && FHandle) {
    RECT c{};
    GetClientRect(FHandle, &c);
    FillRect(DC, &c, HBRUSH(GetStockObject(WHITE_BRUSH)));
    RECT me{}, parent{};
    HWND p = GetParent(FHandle);
    if (p && GetWindowRect(FHandle, &me) && GetWindowRect(p, &parent)) {
      if (me.top - parent.top < 3) R.Top += 3 - (me.top - parent.top);
      if (parent.bottom - me.bottom < 3) R.Bottom -= 3 - (parent.bottom - me.bottom);
      if (parent.right - me.right < 3) R.Right -= 3 - (parent.right - me.right);
    }
  }
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(R.Width(), R.Height());
  HDC w = work.Canvas()->Handle();
  FillBG(w, TRect(0, 0, R.Width(), R.Height()));
  const bool enabled = !FHandle || !(GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_DISABLED);
  const int under = KindUnderMouse(R);
  const TUpDownHalves halves = SplitUpDown(TRect(0, 0, R.Width(), R.Height()), Horizontal());
  for (const TUpDownHalf& h : {halves.First, halves.Second}) {
    const int state = UpDownState(enabled, under == h.Kind, FMouseState & scDown, FMouseState & scMouseIn);
    if (Strip())
      DrawSkinButton(w, h.Rect, h.Kind, state);
    else
      DrawButton(w, h.Rect, h.Kind, state);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), w, 0, 0, SRCCOPY);
}

void TSkinUpDown::DrawSkinButton(HDC DC, const TRect& R, int Kind, int State) {
  const TDataSkinBorder* s = Strip();
  if (!s) return;
  const int frame = UpDownFrame(Kind, State);
  DrawRect1(DC, R, s->Map.get(), frame, s->Frame, s->Trans);
  if (s->Map2 && !s->Map2->Empty()) DrawRect3(DC, R, s->Map2.get(), frame, s->Frame, 1);
}

void TSkinUpDown::DrawButton(HDC DC, const TRect& R, int Kind, int State) {
  auto colour = [&](TShemeColor c) {
    return COLORREF(ColorToRGB(FSkinData ? FSkinData->Colors[c] : TColor(clBtnFace)));
  };
  HBRUSH brush = CreateSolidBrush(colour(State == udsPressed || State == udsHot ? csButtonShadow : csButtonFace));
  HPEN pen = CreatePen(PS_SOLID, 1, colour(csButtonDkshadow));
  HGDIOBJ oldBrush = SelectObject(DC, brush);
  HGDIOBJ oldPen = SelectObject(DC, pen);
  Rectangle(DC, R.Left, R.Top, R.Right, R.Bottom);
  const int x = R.Left + R.Width() / 2, y = R.Top + R.Height() / 2;
  // An up or down arrow's tip sits above its middle row.
  DrawArrow(DC, x, Kind == udkUp ? y - 2 : Kind == udkDown ? y + 1 : y, Kind);
  SelectObject(DC, oldPen);
  SelectObject(DC, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

TSkinUpDown* AttachUpDownSkin(HWND UpDown, TComponent* Owner, TSkinData* SkinData, TVeltForm* Form, bool Horizontal,
                              bool InsideEdit) {
  if (!UpDown || !IsWindow(UpDown)) return nullptr;
  auto* s = new TSkinUpDown(Owner);
  s->FHorizontal = Horizontal;
  s->FInEdit = InsideEdit;
  s->Inithwnd(UpDown, SkinData, nullptr, Form);
  return s;
}
