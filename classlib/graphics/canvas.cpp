#include "classlib/graphics/canvas.h"

#include "classlib/graphics/bitmap.h"

KARO_CLASS_INFO(TCanvas, TPersistent)

TCanvas::TCanvas() {
  font_.ownerChanging_ = [this] {
    fontSel_.reset();
    state_ &= ~unsigned(csFontValid);
  };
  pen_.ownerChanging_ = [this] {
    penSel_.reset();
    state_ &= ~unsigned(csPenValid);
  };
  brush_.ownerChanging_ = [this] {
    brushSel_.reset();
    state_ &= ~unsigned(csBrushValid);
  };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
  state_ = dc ? unsigned(csHandleValid) : 0u;
  if (dc && stretchMode_) ::SetStretchBltMode(dc, stretchMode_);
}

void TCanvas::SetStretchMode(int mode) {
  stretchMode_ = mode;
  if (dc_ && mode) ::SetStretchBltMode(dc_, mode);
}

void TCanvas::DeselectHandles() {
  fontSel_.reset();
  penSel_.reset();
  brushSel_.reset();
  state_ &= csHandleValid;
}

HDC TCanvas::Handle() {
  RequiredState(csAllValid);
  return dc_;
}

void TCanvas::RequiredState(unsigned state) {
  unsigned needed = state & ~state_;
  if (!needed) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    state_ |= csHandleValid;
  }
  if (needed & csFontValid) SelectFont();
  if (needed & csPenValid) SelectPen();
  if (needed & csBrushValid) SelectBrush();
}

void TCanvas::SelectFont() {
  fontSel_.reset();
  fontSel_.emplace(dc_, font_.Handle());
  SetTextColor(dc_, GdiColor(font_.Color()));
  state_ |= csFontValid;
}

void TCanvas::SelectPen() {
  penSel_.reset();
  penSel_.emplace(dc_, pen_.Handle());
  SetROP2(dc_, PenModeToRop2(pen_.Mode()));
  state_ |= csPenValid;
}

void TCanvas::SelectBrush() {
  brushSel_.reset();
  HBRUSH h = brush_.Handle();
  UnrealizeObject(h);
  brushSel_.emplace(dc_, h);
  // Text and hatches are drawn opaque on a solid brush's colour, transparent otherwise.
  if (brush_.Style() == bsSolid) {
    SetBkColor(dc_, GdiColor(brush_.Color()));
    SetBkMode(dc_, OPAQUE);
  } else {
    SetBkColor(dc_, ~GdiColor(brush_.Color()) & 0x00FFFFFFu);
    SetBkMode(dc_, TRANSPARENT);
  }
  state_ |= csBrushValid;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return {p.x, p.y};
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  GetClipBox(dc_, &r);
  return FromRECT(r);
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(dc_, x, y);
  Changed();
}

static std::vector<POINT> ToPOINTs(const std::vector<TPoint>& points) {
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (const TPoint& p : points) pts.push_back(POINT{p.X, p.Y});
  return pts;
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  std::vector<POINT> pts = ToPOINTs(points);
  ::Polygon(dc_, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  std::vector<POINT> pts = ToPOINTs(points);
  ::Polyline(dc_, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::FillRect(dc_, &rc, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::FrameRect(dc_, &rc, brush_.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::DrawFocusRect(dc_, &rc);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  canvas.RequiredState(csHandleValid | csBrushValid);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas.dc_, source.Left, source.Top,
             source.Width(), source.Height(), copyMode_);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic) return;
  Changing();
  RequiredState(csAllValid);
  // Monochrome pictures take these two colours.
  SetBkColor(dc_, GdiColor(brush_.Color()));
  SetTextColor(dc_, GdiColor(font_.Color()));
  graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(dest);
  ::FillRect(dc_, &rc, brush_.Handle());
  HDC src = bitmap->Canvas()->Handle();
  GdiTransparentBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top,
                    source.Width(), source.Height(), GdiColor(color));
  Changed();
}

void TCanvas::TextOut(int x, int y, const WideString& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOutW(dc_, x, y, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const WideString& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED;
  if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
  RECT rc = ToRECT(rect);
  ExtTextOutW(dc_, x, y, options, &rc, text.c_str(), UINT(text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const WideString& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &s);
  return s;
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(csHandleValid);
  return TColor(GetPixel(dc_, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(dc_, x, y, GdiColor(color));
  Changed();
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}
