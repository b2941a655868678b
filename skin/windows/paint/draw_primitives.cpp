#include "skin/windows/paint/draw_primitives.h"
#include "skin/windows/paint/library_module.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "classlib/controls/control_atom.h"
#include "skin/windows/paint/frame_geometry.h"

TKeyedCopyMethod KeyedCopyMethod = kcPlatform;

namespace {

std::atomic<int> veltFormStarts{0};

HDC SourceDC(TBitmap* bitmap) { return bitmap->Canvas()->Handle(); }

// The rectangle of a frame in its strip, or nothing when the strip has no such frame.
std::optional<TRect> StripFrame(TBitmap* strip, int index, int count, bool vertical) {
  if (!strip || strip->Empty()) return std::nullopt;
  return FrameRect(strip->Width(), strip->Height(), index, count, vertical);
}

void CopyPiece(HDC dest, HDC source, const TSlicePiece& p, int dx = 0, int dy = 0) {
  if (!p.Drawn()) return;
  const TRect& d = p.Dest;
  const TRect& s = p.Source;
  if (d.Width() == s.Width() && d.Height() == s.Height())
    BitBlt(dest, d.Left + dx, d.Top + dy, d.Width(), d.Height(), source, s.Left, s.Top, SRCCOPY);
  else
    StretchBlt(dest, d.Left + dx, d.Top + dy, d.Width(), d.Height(), source, s.Left, s.Top, s.Width(), s.Height(),
               SRCCOPY);
}

// Repeats the part s of source over area of dest from its top-left corner; the last row and
// column of tiles overhang the area.
void TileBlt(HDC dest, const TRect& area, HDC source, const TRect& s, DWORD rop) {
  const TTileRun xs = TileRun(area.Left, area.Right, s.Width());
  const TTileRun ys = TileRun(area.Top, area.Bottom, s.Height());
  for (int i = 0; i < xs.Count; ++i)
    for (int j = 0; j < ys.Count; ++j)
      BitBlt(dest, xs.At(i), ys.At(j), s.Width(), s.Height(), source, s.Left, s.Top, rop);
}

// A picture the routines compose in and free before they return: a top-down DIB section of 32
// bits (black until drawn on) or 1 bit (black and white), with a memory DC made on first use in
// the platform's default stretch mode.
// Lighter than a TBitmap, which would also fill, copy and give its canvas a font.
class TScratch {
public:
  TScratch(int width, int height, int bpp = 32) : width_(width), height_(height), bpp_(bpp) {
    if (width <= 0 || height <= 0) return;
    bitmap_ = CreateTopDownDIB(width, height, bpp, bits_, stride_);
  }

  HBITMAP Handle() const { return bitmap_.get(); }
  HDC DC() {
    if (!dc_) {
      dc_.reset(CreateCompatibleDC(nullptr));
      if (!dc_) throw EOutOfResources("Out of system resources");
      selection_.emplace(dc_.get(), bitmap_.get());
    }
    return dc_.get();
  }
  // The pixels, once the drawing in flight has landed.
  TPixelView Pixels() {
    GdiFlush();
    return {bits_, width_, height_, bpp_, stride_};
  }

private:
  int width_, height_, bpp_;
  size_t stride_ = 0;
  uint8_t* bits_ = nullptr;
  TBitmapHandle bitmap_;
  TMemoryDC dc_;
  std::optional<TSelectObject> selection_;  // declared last: selected out before the DC goes
};

bool UseMaskBlt() {
  switch (KeyedCopyMethod) {
    case kcMaskBlt:
    case kcPixels: return true;
    case kcThreeBlits: return false;
    case kcPlatform: break;
  }
  return (GetVersion() & 0x80000000u) == 0;
}

// A picture to copy from: its device context and its pixels.
struct TSource {
  HDC DC;
  TPixelView Pixels;
};
TSource SourceOf(TBitmap* b) { return {SourceDC(b), b->PixelView()}; }
TSource SourceOf(TScratch& s) { return {s.DC(), s.Pixels()}; }

// The pixels of the picture selected into dc, when a copy into dc lands on them unchanged: a
// 24- or 32-bit DIB section, no clip inside it, no mapping, origin shift, transform or mirroring.
struct TDestPixels {
  uint8_t* Bits = nullptr;
  int Width = 0, Height = 0, BitsPerPixel = 0;
  size_t Stride = 0;
  bool TopDown = false;
  uint8_t* Row(int y) const { return Bits + size_t(TopDown ? y : Height - 1 - y) * Stride; }
};
std::optional<TDestPixels> ReachablePixels(HDC dc) {
  if (GetObjectType(dc) != OBJ_MEMDC) return std::nullopt;
  DIBSECTION ds{};
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits) return std::nullopt;
  if (ds.dsBmih.biCompression != BI_RGB || (ds.dsBm.bmBitsPixel != 24 && ds.dsBm.bmBitsPixel != 32))
    return std::nullopt;
  if (GetMapMode(dc) != MM_TEXT || GetLayout(dc) != 0) return std::nullopt;
  POINT vp{}, win{};
  GetViewportOrgEx(dc, &vp);
  GetWindowOrgEx(dc, &win);
  if (vp.x || vp.y || win.x || win.y) return std::nullopt;
  if (GetGraphicsMode(dc) != GM_COMPATIBLE) return std::nullopt;
  RECT box{};
  if (GetClipBox(dc, &box) != SIMPLEREGION || box.left != 0 || box.top != 0 || box.right != ds.dsBm.bmWidth ||
      box.bottom != ds.dsBm.bmHeight)
    return std::nullopt;
  TDestPixels d;
  d.Bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
  d.Width = ds.dsBm.bmWidth;
  d.Height = ds.dsBm.bmHeight;
  d.BitsPerPixel = ds.dsBm.bmBitsPixel;
  d.Stride = size_t(ds.dsBm.bmWidthBytes);
  d.TopDown = ds.dsBmih.biHeight < 0;
  if (!d.TopDown && d.Height > 1) {
    // Not every system gives a top-down picture's height with its sign: the first row in memory
    // is asked which row it is, by a pixel set and put back as it was.
    const size_t n = size_t(d.BitsPerPixel / 8);
    uint8_t* first = d.Bits;
    uint8_t* last = d.Bits + size_t(d.Height - 1) * d.Stride;
    uint8_t wasFirst[4], wasLast[4];
    std::memcpy(wasFirst, first, n);
    std::memcpy(wasLast, last, n);
    const COLORREF probe = RGB(uint8_t(~wasFirst[2]), uint8_t(~wasFirst[1]), uint8_t(~wasFirst[0]));
    SetPixelV(dc, 0, 0, probe);
    GdiFlush();
    d.TopDown = first[0] != wasFirst[0] || first[1] != wasFirst[1] || first[2] != wasFirst[2];
    std::memcpy(first, wasFirst, n);
    std::memcpy(last, wasLast, n);
  }
  return d;
}

// The keyed copy done on the pixels, as the blits would do it: a copied pixel takes the source's
// colour (a 32-bit pixel from a 32-bit source whole, from a 24-bit one with a zero fourth byte),
// a pixel of the key colour leaves the destination as it was, and the copy is cut to the
// destination. False, with nothing drawn, where the pixels cannot be reached. MaskBlt makes
// several pictures of its own for every call under Wine, which costs far more than the copy.
bool KeyedCopyPixels(HDC dc, int x, int y, int width, int height, const TSource& source, int sx, int sy,
                     COLORREF key) {
  const TPixelView& s = source.Pixels;
  if (s.Empty() || (s.BitsPerPixel != 24 && s.BitsPerPixel != 32)) return false;
  GdiFlush();
  const std::optional<TDestPixels> d = ReachablePixels(dc);
  if (!d || d->Bits == s.Bits) return false;
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  const int x1 = std::min(width, d->Width - x), y1 = std::min(height, d->Height - y);
  const uint8_t kr = GetRValue(key), kg = GetGValue(key), kb = GetBValue(key);
  const size_t ss = size_t(s.BitsPerPixel / 8), ds = size_t(d->BitsPerPixel / 8);
  const bool whole = ss == 4 && ds == 4;
  for (int row = y0; row < y1; ++row) {
    const uint8_t* from = s.Row(sy + row) + size_t(sx + x0) * ss;
    uint8_t* to = d->Row(y + row) + size_t(x + x0) * ds;
    for (int col = x0; col < x1; ++col, from += ss, to += ds) {
      // Stored blue, green, red.
      if (from[0] == kb && from[1] == kg && from[2] == kr) continue;
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      if (ds == 4) to[3] = whole ? from[3] : 0;
    }
  }
  return true;
}

// Copies the width x height part of source at (sx, sy) to (x, y) of dc, except the pixels of the
// key colour. The part is cut to the source, so nothing outside it is read.
void KeyedCopy(HDC dc, int x, int y, int width, int height, const TSource& source, int sx, int sy, TColor key) {
  width = std::min(width, source.Pixels.Width - sx);
  height = std::min(height, source.Pixels.Height - sy);
  if (width <= 0 || height <= 0 || sx < 0 || sy < 0) return;
  if ((KeyedCopyMethod == kcPlatform || KeyedCopyMethod == kcPixels) &&
      KeyedCopyPixels(dc, x, y, width, height, source, sx, sy, GdiColor(key)))
    return;
  const TPixelImage bits = KeyMask(source.Pixels, sx, sy, width, height, GdiColor(key));
  TScratch mask(width, height, 1);
  std::memcpy(mask.Pixels().Bits, bits.Data(), bits.Size());
  if (UseMaskBlt()) {
    // Where the mask is white (the key) the destination stays; elsewhere the source is copied.
    MaskBlt(dc, x, y, width, height, source.DC, sx, sy, mask.Handle(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
    return;
  }
  // dest ^ src, then cleared where the mask is black, then ^ src again: the key pixels come back
  // to the destination and the others become the source.
  COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, x, y, width, height, source.DC, sx, sy, SRCINVERT);
  BitBlt(dc, x, y, width, height, mask.DC(), 0, 0, SRCAND);
  BitBlt(dc, x, y, width, height, source.DC, sx, sy, SRCINVERT);
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

// Draws the part of a picture at its own size at (x, y): keyed with magenta, or in one blit.
void PutPicture(HDC dc, int x, int y, const TSource& pic, const TRect& part, int trans) {
  if (trans)
    KeyedCopy(dc, x, y, part.Width(), part.Height(), pic, part.Left, part.Top, kSkinKeyColor);
  else
    BitBlt(dc, x, y, part.Width(), part.Height(), pic.DC, part.Left, part.Top, SRCCOPY);
}

// A new picture to hand to the caller, black until drawn on, stretch mode COLORONCOLOR. It is
// sized before its canvas exists, which would otherwise fill it with the brush pixel by pixel.
std::unique_ptr<TBitmap> NewPicture(int width, int height) {
  auto pic = std::make_unique<TBitmap>();
  pic->SetSize(width, height);
  if (!pic->Empty()) SetStretchBltMode(pic->Canvas()->Handle(), COLORONCOLOR);
  return pic;
}

// The nine-slice of a frame into a width x height picture at (x, y) of dest, whose stretch mode
// is already COLORONCOLOR. A piece without pixels leaves its place as it was.
void ComposeNineSlice(HDC dest, int width, int height, TBitmap* strip, const TRect& frame, const TRect& margins,
                      int tile, int x = 0, int y = 0) {
  const TRect m = FitMargins(margins, std::min(frame.Width(), width), std::min(frame.Height(), height));
  const TSlices pieces = NineSlice(frame, m, width, height);
  HDC src = SourceDC(strip);
  for (int i = 0; i < pieces.Count; ++i) {
    const TSlicePiece& p = pieces.Items[size_t(i)];
    if (i == npMiddle && tile) {
      if (p.Drawn())
        TileBlt(dest, Rect(p.Dest.Left + x, p.Dest.Top + y, p.Dest.Right + x, p.Dest.Bottom + y), src, p.Source,
                SRCCOPY);
    } else {
      CopyPiece(dest, src, p, x, y);
    }
  }
}

// The nine-slice of a frame composed at R of dc, with the pixels of a picture of R's size (black
// until drawn on) copied there whole: cut to R, as such a picture cuts the tiles that overhang
// it, and black where a piece has no pixels. dc's clip and stretch mode come back as they were.
void ComposeNineSliceAt(HDC dc, const TRect& r, TBitmap* strip, const TRect& frame, const TRect& margins, int tile) {
  const int width = r.Width(), height = r.Height();
  const TRect m = FitMargins(margins, std::min(frame.Width(), width), std::min(frame.Height(), height));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  // The pieces do not overlap: the black of those without pixels goes first, as in a new picture.
  for (const TSlicePiece& p : NineSlice(frame, m, width, height)) {
    if (p.Drawn() || p.Dest.IsEmpty()) continue;
    RECT black{p.Dest.Left + r.Left, p.Dest.Top + r.Top, p.Dest.Right + r.Left, p.Dest.Bottom + r.Top};
    FillRect(dc, &black, HBRUSH(GetStockObject(BLACK_BRUSH)));
  }
  SetStretchBltMode(dc, COLORONCOLOR);
  ComposeNineSlice(dc, width, height, strip, frame, margins, tile, r.Left, r.Top);
  RestoreDC(dc, saved);
}

// The three-slice of DrawRectH (across) and DrawRectV (down), straight into dc.
void DrawThreeSlice(HDC dc, const TRect& r, TBitmap* strip, const TRect& margins, int index, int count,
                    int vertical, bool down) {
  if (r.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(strip, index, count, vertical != 0);
  if (!f) return;
  SetStretchBltMode(dc, COLORONCOLOR);
  HDC src = SourceDC(strip);
  if (down ? f->Height() > r.Height() : f->Width() > r.Width()) {
    CopyPiece(dc, src, {r, *f});
    return;
  }
  for (const TSlicePiece& p : ThreeSlice(*f, FitMargins(margins, f->Width(), f->Height()), r, down))
    CopyPiece(dc, src, p);
}

// Gathers the rectangles of a region in blocks of 2000 and turns each block into a region at
// once, so that a large picture never needs one huge region-data block.
class TRegionBuilder {
public:
  TRegionBuilder() { Reset(); }
  ~TRegionBuilder() {
    if (result_) DeleteObject(result_);
  }

  void Add(int left, int top, int right, int bottom) {
    if (Count() == kBlock) Flush();
    if (data_.size() == data_.capacity()) data_.reserve(data_.size() + kGrowth);
    data_.push_back(RECT{left, top, right, bottom});
    bound_.left = std::min(bound_.left, LONG(left));
    bound_.top = std::min(bound_.top, LONG(top));
    bound_.right = Count() == 1 ? right : std::max(bound_.right, LONG(right));
    bound_.bottom = Count() == 1 ? bottom : std::max(bound_.bottom, LONG(bottom));
  }

  // The region of everything added (the caller owns it); 0 when the system refused one.
  HRGN Finish() {
    Flush();
    HRGN r = result_;
    result_ = nullptr;
    return r;
  }

private:
  static constexpr size_t kBlock = 2000;
  static constexpr size_t kGrowth = 500;
  // The region-data header takes the room of two rectangles in front of them.
  static constexpr size_t kHeaderRects = sizeof(RGNDATAHEADER) / sizeof(RECT);
  static_assert(sizeof(RGNDATAHEADER) == kHeaderRects * sizeof(RECT));

  size_t Count() const { return data_.size() - kHeaderRects; }

  void Reset() {
    data_.clear();
    data_.resize(kHeaderRects);
    bound_ = RECT{LONG_MAX, LONG_MAX, 0, 0};
  }

  void Flush() {
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(Count());
    header.rcBound = Count() ? bound_ : RECT{0, 0, 0, 0};
    std::memcpy(data_.data(), &header, sizeof header);
    HRGN part = ExtCreateRegion(nullptr, DWORD(data_.size() * sizeof(RECT)), reinterpret_cast<RGNDATA*>(data_.data()));
    if (part) {
      if (!result_) {
        result_ = part;
      } else {
        CombineRgn(result_, result_, part, RGN_OR);
        DeleteObject(part);
      }
    }
    Reset();
  }

  std::vector<RECT> data_;
  RECT bound_{};
  HRGN result_ = nullptr;
};

}  // namespace

// ---- BG and the unit's start-up

thread_local TBitmap* BG = nullptr;

namespace {

// Each thread's work bitmap is also kept in a fiber-local slot whose callback frees it when the
// thread ends (a thread_local object with a destructor is not dependable under every MinGW
// runtime). The slot is made once and lives as long as the process.
VOID WINAPI FreeThreadBitmap(PVOID bitmap) { delete static_cast<TBitmap*>(bitmap); }

// Made at the first start-up; given back only by a library module's end (FinishVeltForm), as
// its callback lies in the module's code.
DWORD g_bgSlot = FLS_OUT_OF_INDEXES;

DWORD ThreadBGSlot() {
  if (g_bgSlot == FLS_OUT_OF_INDEXES) g_bgSlot = FlsAlloc(FreeThreadBitmap);
  return g_bgSlot;
}

void MakeThreadBG() {
  const DWORD slot = ThreadBGSlot();
  if (slot == FLS_OUT_OF_INDEXES) return;
  auto bg = std::make_unique<TBitmap>();
  bg->Canvas()->SetStretchMode(COLORONCOLOR);
  if (!FlsSetValue(slot, bg.get())) return;
  BG = bg.release();
}

void FreeThreadBG() {
  TBitmap* bg = BG;
  BG = nullptr;
  if (!bg) return;
  FlsSetValue(ThreadBGSlot(), nullptr);
  delete bg;
}

}  // namespace

void InitVeltForm() {
  if (veltFormStarts.fetch_add(1) > 0) return;
  try {
    MakeThreadBG();
  } catch (...) {
    --veltFormStarts;
    throw;
  }
}

void DoneVeltForm() {
  int starts = veltFormStarts.load();
  do {
    if (starts == 0) return;
  } while (!veltFormStarts.compare_exchange_weak(starts, starts - 1));
  if (starts == 1) FreeThreadBG();
}

void FinishVeltForm() {
  while (veltFormStarts.load() > 0) DoneVeltForm();
  // Freeing the slot frees every other thread's picture through the callback, while it is still there.
  if (g_bgSlot != FLS_OUT_OF_INDEXES) FlsFree(g_bgSlot);
  g_bgSlot = FLS_OUT_OF_INDEXES;
}

TBitmap* SizeBG(int Width, int Height) {
  // Another hooked thread paints in a work bitmap of its own, made the first time it asks.
  if (!BG) {
    if (veltFormStarts.load() == 0) return nullptr;
    MakeThreadBG();
    if (!BG) return nullptr;
  }
  BG->SetSize(Width, Height);
  return BG;
}

namespace {
// Runs at program start, after the control atom unit (started here first if it has not run
// yet) and before VeltData; without a work bitmap the painters draw nothing.
// In a library module the module's own start-up and end call InitVeltForm and FinishVeltForm.
struct TVeltFormUnit {
  TVeltFormUnit() {
    if (InLibraryModule()) return;
    InitControlAtom();
    try {
      InitVeltForm();
    } catch (...) {
    }
  }
  ~TVeltFormUnit() { DoneVeltForm(); }
} veltFormUnit;
}  // namespace

// ---- Frame strips

void DrawRect1(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount, int Trans) {
  if (R.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, false);
  if (!f) return;
  if (f->Width() == R.Width() && f->Height() == R.Height()) {
    PutPicture(DC, R.Left, R.Top, SourceOf(Strip), *f, Trans);
    return;
  }
  // Stretched in the temporary picture's own (the platform's default) stretch mode.
  TScratch pic(R.Width(), R.Height());
  StretchBlt(pic.DC(), 0, 0, R.Width(), R.Height(), SourceDC(Strip), f->Left, f->Top, f->Width(), f->Height(),
             SRCCOPY);
  PutPicture(DC, R.Left, R.Top, SourceOf(pic), Rect(0, 0, R.Width(), R.Height()), Trans);
}

std::unique_ptr<TBitmap> GetHMap(const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                                 int FrameCount, int Tile, int Vertical) {
  std::unique_ptr<TBitmap> pic = NewPicture(R.Width(), R.Height());
  if (pic->Empty()) return pic;
  if (std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, Vertical != 0))
    ComposeNineSlice(pic->Canvas()->Handle(), R.Width(), R.Height(), Strip, *f, Margins, Tile);
  return pic;
}

void DrawRect2(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int Trans, int Tile, int Vertical) {
  if (R.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, Vertical != 0);
  if (!f) return;
  if (!Trans) {
    // Nothing to key out: composed straight into DC, which takes the same pixels as the
    // picture GetHMap would return copied whole, without a picture of R's size made per call.
    ComposeNineSliceAt(DC, R, Strip, *f, Margins, Tile);
    return;
  }
  // The picture GetHMap would return, composed in a scratch picture of our own.
  TScratch pic(R.Width(), R.Height());
  SetStretchBltMode(pic.DC(), COLORONCOLOR);
  ComposeNineSlice(pic.DC(), R.Width(), R.Height(), Strip, *f, Margins, Tile);
  PutPicture(DC, R.Left, R.Top, SourceOf(pic), Rect(0, 0, R.Width(), R.Height()), Trans);
}

void DrawRect3(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount, int Trans) {
  if (R.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, false);
  if (!f) return;
  const TPoint at = CenteredOrigin(R, f->Width(), f->Height());
  PutPicture(DC, at.X, at.Y, SourceOf(Strip), *f, Trans);
}

void DrawRectTile(TCanvas* Canvas, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                  int FrameCount, int Trans, int Vertical) {
  if (!Canvas || R.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, Vertical != 0);
  if (!f) return;
  const int w = R.Width(), h = R.Height();
  const TRect m = FitMargins(Margins, f->Width(), f->Height());
  const TSlices columns = ThreeSlice(*f, m, Rect(0, 0, w, h), false);
  const TRect middle = columns.Items[1].Source;
  TScratch pic(w, h);
  HDC dest = pic.DC(), src = SourceDC(Strip);
  SetStretchBltMode(dest, COLORONCOLOR);
  CopyPiece(dest, src, columns.Items[0]);
  const TTileRun run = TileRun(m.Left, w - m.Right, middle.Width());
  for (int i = 0; i < run.Count; ++i)
    CopyPiece(dest, src, {Rect(run.At(i), 0, run.At(i) + run.Step, h), middle});
  CopyPiece(dest, src, columns.Items[2]);  // last, over the overhang of the final tile
  const bool noMiddle = middle.IsEmpty() && w - m.Right > m.Left;
  HDC target = Canvas->Handle();
  if (Trans) {
    if (noMiddle) {
      // The gap between the columns stays transparent.
      TBrushHandle key(CreateSolidBrush(GdiColor(kSkinKeyColor)));
      RECT gap{m.Left, 0, w - m.Right, h};
      FillRect(dest, &gap, key.get());
    }
    GdiTransparentBlt(target, R.Left, R.Top, w, h, dest, 0, 0, w, h, GdiColor(kSkinKeyColor));
  } else if (noMiddle) {
    BitBlt(target, R.Left, R.Top, m.Left, h, dest, 0, 0, SRCCOPY);
    BitBlt(target, R.Right - m.Right, R.Top, m.Right, h, dest, w - m.Right, 0, SRCCOPY);
  } else {
    BitBlt(target, R.Left, R.Top, w, h, dest, 0, 0, SRCCOPY);
  }
}

void DrawRectH(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int /*Ignored*/, int Vertical) {
  DrawThreeSlice(DC, R, Strip, Margins, FrameIndex, FrameCount, Vertical, false);
}

void DrawRectV(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int /*Ignored*/, int Vertical) {
  DrawThreeSlice(DC, R, Strip, Margins, FrameIndex, FrameCount, Vertical, true);
}

std::unique_ptr<TBitmap> GetThumbMap(const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                                     int FrameCount, int /*Ignored*/, int Vertical) {
  std::unique_ptr<TBitmap> pic = NewPicture(R.Width(), R.Height());
  if (pic->Empty()) return pic;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, Vertical != 0);
  if (!f) return pic;
  HDC dest = pic->Canvas()->Handle(), src = SourceDC(Strip);
  const TSlices pieces =
      ThreeSlice(*f, FitMargins(Margins, f->Width(), f->Height()), Rect(0, 0, R.Width(), R.Height()), true);
  for (const TSlicePiece& p : pieces) CopyPiece(dest, src, p);
  return pic;
}

void DrawBorder(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
                int /*Ignored*/, int Vertical) {
  if (R.IsEmpty()) return;
  std::optional<TRect> f = StripFrame(Strip, FrameIndex, FrameCount, Vertical != 0);
  if (!f) return;
  const int w = R.Width(), h = R.Height();
  const TRect m = FitMargins(Margins, std::min(f->Width(), w), std::min(f->Height(), h));
  const TSlices pieces = NineSlice(*f, m, w, h);
  SetStretchBltMode(DC, COLORONCOLOR);
  HDC src = SourceDC(Strip);
  for (int i = 0; i < pieces.Count; ++i)
    if (i != npMiddle) CopyPiece(DC, src, pieces.Items[size_t(i)], R.Left, R.Top);
}

// ---- Whole bitmaps

void DrawBGbmp(TCanvas* Canvas, const TRect& Dest, TBitmap* Bitmap, const TRect& Source) {
  if (!Canvas || !Bitmap || Bitmap->Empty() || Source.IsEmpty()) return;
  const TRect s{std::max(Source.Left, 0), std::max(Source.Top, 0), std::min(Source.Right, Bitmap->Width()),
                std::min(Source.Bottom, Bitmap->Height())};
  if (s.IsEmpty()) return;
  TileBlt(Canvas->Handle(), Dest, SourceDC(Bitmap), s, Canvas->CopyMode());
}

void Bitmapdraw(HDC DC, const TRect& R, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty() || R.IsEmpty()) return;
  HPALETTE palette = Bitmap->Palette();
  HPALETTE old = nullptr;
  if (palette) {
    old = SelectPalette(DC, palette, TRUE);
    RealizePalette(DC);
  }
  BitBlt(DC, R.Left, R.Top, std::min(R.Width(), Bitmap->Width()), std::min(R.Height(), Bitmap->Height()),
         SourceDC(Bitmap), 0, 0, SRCCOPY);
  if (palette) SelectPalette(DC, old, TRUE);
}

void DrawTranmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor Key) {
  if (!Bitmap || Bitmap->Empty() || R.IsEmpty()) return;
  KeyedCopy(DC, R.Left, R.Top, R.Width(), R.Height(), SourceOf(Bitmap), 0, 0, Key);
}

HRGN BitmapToRegion(TBitmap* Bitmap, int XOffset, int YOffset, TColor Key, int RedTolerance, int GreenTolerance,
                    int BlueTolerance) {
  TRegionBuilder region;
  if (Bitmap && !Bitmap->Empty()) {
    Bitmap->SetPixelFormat(pf32bit);
    const TKeyRange key = KeyRange(uint32_t(Key), RedTolerance, GreenTolerance, BlueTolerance);
    ForEachOpaqueRun(Bitmap->PixelView(), key, [&](int x0, int x1, int y) {
      region.Add(x0 + XOffset, y + YOffset, x1 + XOffset, y + YOffset + 1);
    });
  }
  return region.Finish();
}

// ---- Parents

void DrawParentImage(HWND Control, HDC DC, bool /*Flag*/) {
  if (!Control || !DC) return;
  HWND parent = (GetWindowLongPtrW(Control, GWL_STYLE) & WS_CHILD) ? GetParent(Control) : nullptr;
  if (!parent) return;
  RECT client{}, place{};
  if (!GetClientRect(Control, &client) || !GetWindowRect(Control, &place)) return;
  // The control's place in the parent's client coordinates (a mirrored parent swaps the sides).
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
  const int left = std::min(place.left, place.right), top = place.top;
  TSavedDC saved(DC);
  OffsetViewportOrgEx(DC, -left, -top, nullptr);
  IntersectClipRect(DC, client.left + left, client.top + top, client.right + left, client.bottom + top);
  SendMessageW(parent, WM_ERASEBKGND, WPARAM(DC), 0);
  SendMessageW(parent, WM_PRINTCLIENT, WPARAM(DC), PRF_CLIENT);
}
