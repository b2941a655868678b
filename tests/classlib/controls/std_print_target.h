// A 32-bit DIB section that the control tests print windows and paint items into.
#pragma once

#include <windows.h>

// A 32-bit DIB section to print into.
class TPrintTarget {
public:
  TPrintTarget(int w, int h) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
  }
  ~TPrintTarget() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  TPrintTarget(const TPrintTarget&) = delete;
  TPrintTarget& operator=(const TPrintTarget&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};
