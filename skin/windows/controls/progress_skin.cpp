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

bool TSkinProgress::BeforePaint(TWMPaint& m) {
  if (!HasPicture()) return TSkinControl::BeforeProc(m.Message);  // the bar paints itself
  WMPaint(m);
  m.Result = 0;
  return false;
}

KARO_BEGIN_MESSAGE_MAP_OF(TSkinProgress, bool, BeforeProc)
  KARO_MESSAGE(WM_PAINT, BeforePaint)
  KARO_MESSAGE(WM_PRINTCLIENT, BeforePaint)
  KARO_MESSAGE(WM_ERASEBKGND, BeforeEraseWhole)
KARO_END_MESSAGE_MAP_OF(TSkinControl::BeforeProc(Message))

namespace {

// The work picture of one bar of rectangle R: lying down (W along the bar, H across), filled with
// the face colour, with the length of the filled part from the bar's position and range.
struct TBarWork {
  TBarWork(HWND Wnd, const TRect& R, TColor face)
      : Vertical(Wnd && (GetWindowLongPtrA(Wnd, GWL_STYLE) & PBS_VERTICAL)),
        W(Vertical ? R.Height() : R.Width()),
        H(Vertical ? R.Width() : R.Height()) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    HBRUSH b = CreateSolidBrush(COLORREF(face));
    RECT r{0, 0, W, H};
    FillRect(DC(), &r, b);
    DeleteObject(b);
    const int pos = Wnd ? int(SendMessageW(Wnd, PBM_GETPOS, 0, 0)) : 0;
    const int high = Wnd ? int(SendMessageW(Wnd, PBM_GETRANGE, FALSE, 0)) : 0;
    Bar = ProgressBarLength(W, pos, high);
  }
  HDC DC() { return Bitmap.Canvas()->Handle(); }
  // Turned a quarter counter-clockwise an upright bar's start lies at the bottom: it grows upwards.
  void CopyTo(HDC Dest, const TRect& R) {
    if (Vertical) Drehen270Grad(&Bitmap);
    BitBlt(Dest, R.Left, R.Top, R.Width(), R.Height(), DC(), 0, 0, SRCCOPY);
  }
  const bool Vertical;
  const int W, H;
  int Bar = 0;
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
  TBarWork work(FHandle, R, ButtonFace());
  DrawKeyedFrame(work.DC(), TRect(0, 0, work.W, work.H), rec, 1);
  if (work.Bar > 0) DrawKeyedFrame(work.DC(), TRect(0, 0, work.Bar, work.H), rec, 2);
  work.CopyTo(DC, R);
}

void TSkinProgress::DrawControl1(HDC DC, const TRect& R) {
  const TDataSkinBorder& rec = *FSkinData->Progress;
  const TDataSkinObject* chunk = FSkinData->ProgressChunk.get();
  TBarWork work(FHandle, R, ButtonFace());
  const int h = work.H, bar = work.Bar;
  DrawKeyedFrame(work.DC(), TRect(0, 0, work.W, h), rec, 1);
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
  work.CopyTo(DC, R);
}
