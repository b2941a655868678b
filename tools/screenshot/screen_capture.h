// Pictures of what the screen shows, for the programs that make the screenshots to look at (the
// gallery, Karo's pictures): a rectangle of the screen saved as a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "classlib/core/streams.h"
#include "classlib/graphics/bitmap.h"

// Copies what the screen shows of r (the program keeps its window topmost meanwhile) to a BMP file.
// Answers whether it shows more than a few colours: a blank or black capture means the window did
// not paint.
inline bool CaptureScreenRect(const RECT& r, const std::wstring& path) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Canvas()->Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  std::set<uint32_t> colours;
  for (int y = 0; y < h; y++) {
    const uint8_t* row = shot.ScanLine(y);
    for (int x = 0; x < w; x++) colours.insert(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
  }
  TFileStream out(path, fmCreate);
  shot.SaveToStream(out);
  std::fprintf(stderr, "%ls: %dx%d, %zu colours\n", path.c_str(), w, h, colours.size());
  return colours.size() > 16;
}

// The whole window, painted anew first; pump runs its messages so the paint is on the screen.
template <class Pump>
bool CaptureWindow(HWND wnd, const std::wstring& path, Pump pump) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pump();
  RECT r;
  GetWindowRect(wnd, &r);
  return CaptureScreenRect(r, path);
}
