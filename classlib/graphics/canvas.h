// TCanvas: drawing on a device context of its own (a bitmap's) or one attached from outside,
// with its Font, Brush and Pen selected on demand and selected out again before they change or
// the context goes. Windows only.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "classlib/graphics/graphics.h"

class TBitmap;

enum TCanvasStateBit : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
constexpr unsigned csAllValid = csHandleValid | csFontValid | csPenValid | csBrushValid;

using TCopyMode = DWORD;
constexpr TCopyMode cmSrcCopy = SRCCOPY;

class TCanvas : public TPersistent {
  KARO_CLASS(TCanvas)
public:
  TCanvas();
  ~TCanvas() override;

  // The device context with font, pen and brush selected; a canvas that owns none makes it.
  HDC Handle();
  // Attaches a device context made elsewhere (it is never freed here); 0 detaches.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return &font_; }
  TBrush* Brush() { return &brush_; }
  TPen* Pen() { return &pen_; }
  void SetFont(TFont* f) { font_.Assign(f); }
  void SetBrush(TBrush* b) { brush_.Assign(b); }
  void SetPen(TPen* p) { pen_.Assign(p); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
  // The stretch mode set on every device context the canvas gets, also one made anew after a
  // bitmap was resized; 0 leaves the context's own.
  int StretchMode() const { return stretchMode_; }
  void SetStretchMode(int mode);

  TPoint PenPos();
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  TRect ClipRect();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);

  // Copies source of canvas into dest, stretched to it, with CopyMode.
  void CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source);
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source of bitmap into dest, stretched, with the pixels of color replaced by the brush.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);

  void TextOut(int x, int y, const WideString& text);
  void TextRect(const TRect& rect, int x, int y, const WideString& text);
  SIZE TextExtent(const WideString& text);
  int TextWidth(const WideString& text) { return TextExtent(text).cx; }
  int TextHeight(const WideString& text) { return TextExtent(text).cy; }

  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Serialises drawing from several threads; Lock nests on one thread.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_.load(); }

  // Selects font, pen and brush out, so that they are selected anew before the next drawing.
  void Refresh() { DeselectHandles(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  // Makes the canvas's own device context (SetHandle) when it has none; the base makes none.
  virtual void CreateHandle() {}
  void RequiredState(unsigned state);
  // Selects the tools out and forgets the device context (the owner frees its own).
  void DeselectHandles();
  void Changing();
  void Changed();

private:
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC dc_ = nullptr;
  unsigned state_ = 0;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  std::optional<TSelectObject> fontSel_, penSel_, brushSel_;
  TCopyMode copyMode_ = cmSrcCopy;
  int stretchMode_ = 0;
  std::recursive_mutex lock_;
  std::atomic<int> lockCount_{0};
};
