#include "skin/windows/controls/progress_skin.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/data/img_util.h"
#include "skin/data/skin_objects.h"
#include "skin/data/velt_data.h"
#include "skin/windows/paint/draw_primitives.h"

KARO_CLASS_INFO(TSkinProgress, TSkinControl)

int ProgressBarLength(int Length, int Pos, int High) {
  if (Pos <= 0 || High <= 0 || Length <= 0) return 0;
  return std::min(MulDiv(Length, Pos, High), Length);
}

TSkinProgress::TSkinProgress(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinProgress::HasPicture() const {
  return FSkinData && FSkinData->Progress && FSkinData->Progress->Map && !FSkinData->Progress->Map->Empty();
}

bool TSkinProgress::BeforeProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!HasPicture()) return TSkinControl::BeforeProc(Message);  // the bar paints itself
      WMPaint(Message);
      Message.Result = 0;
      return false;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return false;
    default:
      return TSkinControl::BeforeProc(Message);
  }
}

namespace {

// The work picture of one bar: lying down, filled with the face colour.
struct TBarWork {
  TBarWork(int w, int h, TColor face) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(w, h);
    HBRUSH b = CreateSolidBrush(COLORREF(face));
    RECT r{0, 0, w, h};
    FillRect(DC(), &r, b);
    DeleteObject(b);
  }
  HDC DC() { return Bitmap.Canvas()->Handle(); }
  TBitmap Bitmap;
};

// A frame of a strip at the size of R, keyed with magenta, into DC at R.
void DrawKeyedFrame(HDC DC, const TRect& R, const TDataSkinObject& Rec, int Frame) {
  if (R.IsEmpty()) return;
  auto frame = GetHMap(TRect(0, 0, R.Width(), R.Height()), Rec.Map.get(), Rec.Margins, Frame, Rec.Frame, Rec.Tile, 0);
  if (frame) DrawTranmap(DC, R, frame.get(), kSkinKeyColor);
}

}  // namespace

void TSkinProgress::DrawControl(HDC DC, const TRect& R) {
  if (!HasPicture() || R.IsEmpty()) return;
  const TDataSkinBorder& rec = *FSkinData->Progress;
  if (rec.Style == 1) {
    DrawControl1(DC, R);
    return;
  }
  const bool vertical = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & PBS_VERTICAL);
  const int w = vertical ? R.Height() : R.Width(), h = vertical ? R.Width() : R.Height();
  TBarWork work(w, h, ButtonFace());
  DrawKeyedFrame(work.DC(), TRect(0, 0, w, h), rec, 1);
  const int pos = FHandle ? int(SendMessageW(FHandle, PBM_GETPOS, 0, 0)) : 0;
  const int high = FHandle ? int(SendMessageW(FHandle, PBM_GETRANGE, FALSE, 0)) : 0;
  const int bar = ProgressBarLength(w, pos, high);
  if (bar > 0) DrawKeyedFrame(work.DC(), TRect(0, 0, bar, h), rec, 2);
  // Turned a quarter counter-clockwise the bar's start lies at the bottom: it grows upwards.
  if (vertical) Drehen270Grad(&work.Bitmap);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work.DC(), 0, 0, SRCCOPY);
}

void TSkinProgress::DrawControl1(HDC DC, const TRect& R) {
  const TDataSkinBorder& rec = *FSkinData->Progress;
  const TDataSkinObject* chunk = FSkinData->ProgressChunk.get();
  const bool vertical = FHandle && (GetWindowLongPtrA(FHandle, GWL_STYLE) & PBS_VERTICAL);
  const int w = vertical ? R.Height() : R.Width(), h = vertical ? R.Width() : R.Height();
  TBarWork work(w, h, ButtonFace());
  DrawKeyedFrame(work.DC(), TRect(0, 0, w, h), rec, 1);
  const int pos = FHandle ? int(SendMessageW(FHandle, PBM_GETPOS, 0, 0)) : 0;
  const int high = FHandle ? int(SendMessageW(FHandle, PBM_GETRANGE, FALSE, 0)) : 0;
  const int bar = ProgressBarLength(w, pos, high);
  // Without a chunk picture the bar shows its frame alone.
  if (bar > 0 && chunk && chunk->Map && !chunk->Map->Empty()) {
    TBitmap* c = chunk->Map.get();
    const int cw = c->Width(), ch = c->Height();
    if (chunk->Tile == 1) {
      TBitmap strip;
      strip.SetPixelFormat(pf24bit);
      strip.SetSize(bar, ch);
      for (int x = 0; x < bar; x += cw) BitBlt(strip.Canvas()->Handle(), x, 0, cw, ch, c->Canvas()->Handle(), 0, 0, SRCCOPY);
      BitBlt(work.DC(), chunk->Margins.Left + 2, (h - ch) / 2, bar, ch, strip.Canvas()->Handle(), 0, 0, SRCCOPY);
    } else if (h > 4) {
      TBitmap strip;
      strip.SetPixelFormat(pf24bit);
      strip.SetSize(bar, h - 4);
      DrawRectH(strip.Canvas()->Handle(), TRect(0, 0, bar, h - 4), c, chunk->Margins, 1, std::max(1, chunk->Frame),
                chunk->Tile, 0);
      BitBlt(work.DC(), 2, 2, bar, h - 4, strip.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  if (vertical) Drehen270Grad(&work.Bitmap);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work.DC(), 0, 0, SRCCOPY);
}
