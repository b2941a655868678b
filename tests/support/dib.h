// The one off-screen picture of the Windows tests: a 32-bit top-down DIB section selected into a
// memory DC, to print windows, paint controls and frames into, or copy the screen into, and to read
// back pixel by pixel.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "classlib/graphics/graphic_types.h"

// The colour a picture starts in unless asked otherwise: one no skin, control or system colour
// uses, so a pixel still in it was not painted.
constexpr COLORREF kUnpainted = 0x123456;

class TDib {
public:
  TDib(int w, int h, COLORREF fill = kUnpainted) : W(w), H(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    DC = CreateCompatibleDC(nullptr);
    Bmp = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
    Old = SelectObject(DC, Bmp);
    Fill(fill);
  }
  ~TDib() {
    SelectObject(DC, Old);
    DeleteObject(Bmp);
    DeleteDC(DC);
  }
  TDib(const TDib&) = delete;
  TDib& operator=(const TDib&) = delete;

  // What the screen shows of a window's rectangle (its frame included).
  static std::unique_ptr<TDib> OfScreen(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    auto dib = std::make_unique<TDib>(r.right - r.left, r.bottom - r.top, 0);
    HDC screen = GetDC(nullptr);
    BitBlt(dib->DC, 0, 0, dib->W, dib->H, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return dib;
  }

  void Fill(COLORREF c) {
    GdiFlush();
    if (!Bits) return;
    for (int i = 0; i < W * H; ++i) Bits[i] = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  // As a COLORREF (red in the low byte); CLR_INVALID outside the picture, as GetPixel answers.
  COLORREF At(int x, int y) const {
    GdiFlush();
    if (!Bits || x < 0 || y < 0 || x >= W || y >= H) return CLR_INVALID;
    const uint32_t v = Bits[y * W + x];
    return (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16;
  }
  // The pixels as the DIB holds them (blue in the low byte), row by row from the top.
  std::vector<uint32_t> Pixels() const {
    GdiFlush();
    if (!Bits) return {};
    return std::vector<uint32_t>(Bits, Bits + size_t(W) * size_t(H));
  }
  // The bounding box of the pixels for which pick holds; empty (Left > Right) when none.
  TRect Box(const std::function<bool(int, int, uint32_t)>& pick) const {
    TRect r(W, H, -1, -1);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (pick(x, y, At(x, y))) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }

  int W, H;
  HDC DC;
  HBITMAP Bmp;
  HGDIOBJ Old;
  uint32_t* Bits = nullptr;
};
