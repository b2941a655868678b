// What the control-skin tests share: a 32-bit picture to paint into and read pixels from.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "tests/skin/windows/manager/skin_test_env.h"

namespace skintest {

struct TDib {
  TDib(int w, int h) : W(w), H(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    DC = CreateCompatibleDC(nullptr);
    Bmp = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
    Old = SelectObject(DC, Bmp);
    Fill(0x123456);
  }
  ~TDib() {
    SelectObject(DC, Old);
    DeleteObject(Bmp);
    DeleteDC(DC);
  }
  TDib(const TDib&) = delete;
  TDib& operator=(const TDib&) = delete;
  void Fill(COLORREF c) {
    GdiFlush();
    for (int i = 0; i < W * H; ++i) Bits[i] = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  // As a COLORREF (red in the low byte).
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t v = Bits[y * W + x];
    return (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16;
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

}  // namespace skintest
