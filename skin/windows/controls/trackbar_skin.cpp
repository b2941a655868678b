#include "skin/windows/controls/trackbar_skin.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/core/skin_messages.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinTrackBar, TSkinControl)

TTrackDrawStep TrackCustomDraw(DWORD Stage, DWORD_PTR Item) {
  if (Stage == CDDS_PREPAINT) return {CDRF_NOTIFYITEMDRAW, tpNone};
  if (Stage == CDDS_ITEMPREPAINT) {
    if (Item == TBCD_THUMB) return {CDRF_SKIPDEFAULT, tpThumb};
    if (Item == TBCD_CHANNEL) return {CDRF_SKIPDEFAULT, tpChannel};
  }
  return {CDRF_DODEFAULT, tpNone};
}

TRect UprightChannel(const TRect& C, bool Vertical) {
  if (!Vertical || C.Width() <= C.Height()) return C;
  return TRect(C.Top, C.Left, C.Bottom, C.Right);
}

std::array<TChannelSlice, 3> ChannelSlices(const TRect& C, TPoint Image, int First, int Last, bool Vertical) {
  // Along: the channel's length and the picture's; across: the picture's thickness.
  const int length = Vertical ? C.Height() : C.Width();
  const int across = Vertical ? C.Width() : C.Height();
  const int imageLength = Vertical ? Image.Y : Image.X;
  const int thickness = Vertical ? Image.X : Image.Y;
  First = std::max(First, 0);
  Last = std::max(Last, 0);
  if (First + Last > imageLength || First + Last > length) First = Last = 0;
  const int start = Vertical ? C.Top : C.Left;
  const int side = (Vertical ? C.Left : C.Top) + (thickness < across ? (across - thickness) / 2 : 0);
  auto slice = [&](int from, int n, int to, int m) {
    if (Vertical) return TChannelSlice{TRect(0, from, Image.X, from + n), TRect(side, to, side + thickness, to + m)};
    return TChannelSlice{TRect(from, 0, from + n, Image.Y), TRect(to, side, to + m, side + thickness)};
  };
  return {slice(0, First, start, First),
          slice(First, imageLength - First - Last, start + First, length - First - Last),
          slice(imageLength - Last, Last, start + length - Last, Last)};
}

TSkinTrackBar::TSkinTrackBar(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTrackBar::Vertical() const { return FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & TBS_VERT); }

void TSkinTrackBar::SkinChange() {
  // Repainted where it stands: taking the focus to force a repaint would move the user's focus,
  // and activate the window when it was not active.
  TSkinControl::SkinChange();
}

bool TSkinTrackBar::BeforeNotify(TWMSkinNotify& m) {
  if (m.Marked) {
    Invalidate();
    m.Result = 0;
    return false;
  }
  if (m.NMHdr && m.NMHdr->code == UINT(NM_CUSTOMDRAW)) {
    m.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(m.NMHdr));
    return false;
  }
  return true;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinTrackBar, bool, BeforeProc)
  KARO_MESSAGE(WM_NOTIFY, BeforeNotify)
  KARO_MESSAGE(CN_NOTIFY, BeforeNotify)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& Draw) {
  const TTrackDrawStep step = TrackCustomDraw(Draw.dwDrawStage, Draw.dwItemSpec);
  if (step.Draw == tpChannel) DrawTrack(Draw.hdc);
  if (step.Draw == tpThumb) Drawthumb(Draw.hdc);
  return step.Result;
}

void TSkinTrackBar::DrawTrack(HDC DC) {
  if (!FHandle || !FSkinData) return;
  RECT rc{};
  SendMessageW(FHandle, TBM_GETCHANNELRECT, 0, LPARAM(&rc));
  const bool vertical = Vertical();
  const TDataSkinObject* rec = vertical && FSkinData->TrackVert ? FSkinData->TrackVert.get() : FSkinData->Track.get();
  if (!rec || !rec->Map || rec->Map->Empty()) return;
  const bool upright = vertical && rec == FSkinData->TrackVert.get();
  const TRect C = UprightChannel(TRect(rc.left, rc.top, rc.right, rc.bottom), vertical);
  TBitmap* map = rec->Map.get();
  const int first = upright ? rec->Margins.Top : rec->Margins.Left;
  const int last = upright ? rec->Margins.Bottom : rec->Margins.Right;
  HDC src = map->Canvas()->Handle();
  const int oldMode = SetStretchBltMode(DC, COLORONCOLOR);
  for (const TChannelSlice& s : ChannelSlices(C, TPoint(map->Width(), map->Height()), first, last, upright)) {
    if (s.Source.IsEmpty() || s.Dest.IsEmpty()) continue;
    StretchBlt(DC, s.Dest.Left, s.Dest.Top, s.Dest.Width(), s.Dest.Height(), src, s.Source.Left, s.Source.Top,
               s.Source.Width(), s.Source.Height(), SRCCOPY);
  }
  SetStretchBltMode(DC, oldMode);
}

void TSkinTrackBar::Drawthumb(HDC DC) {
  if (!FHandle || !IsWindow(FHandle) || !FSkinData) return;
  RECT rc{};
  SendMessageW(FHandle, TBM_GETTHUMBRECT, 0, LPARAM(&rc));
  const TRect R(rc.left, rc.top, rc.right, rc.bottom);
  const TDataSkinObject* rec =
      Vertical() && FSkinData->ThumbVert ? FSkinData->ThumbVert.get() : FSkinData->ThumbHorz.get();
  if (rec && rec->Map && !rec->Map->Empty()) {
    DrawSkinMap2(DC, R, rec->Map.get(), 2, 5);
    return;
  }
  HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(FSkinData->Colors[csButtonShadow])));
  HBRUSH brush = CreateSolidBrush(COLORREF(ButtonFace()));
  HGDIOBJ oldPen = SelectObject(DC, pen), oldBrush = SelectObject(DC, brush);
  Rectangle(DC, R.Left, R.Top, R.Right, R.Bottom);
  SelectObject(DC, oldPen);
  SelectObject(DC, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}
