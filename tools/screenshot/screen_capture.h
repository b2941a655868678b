// Pictures of what the screen shows, for the programs that make the screenshots to look at (the
// gallery, Karo's pictures): a rectangle of the screen saved as a BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "classlib/core/streams.h"
#include "classlib/graphics/bitmap.h"

// Copies what the screen shows of r into shot.
inline void GrabScreenRect(const RECT& r, TBitmap& shot) {
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Canvas()->Handle(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
}

inline bool SamePixels(TBitmap& a, TBitmap& b, int w, int h) {
  for (int y = 0; y < h; y++)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(3) * w) != 0) return false;
  return true;
}

// Copies what the screen shows of r (the program keeps its window topmost meanwhile) to a BMP file.
// Answers whether it shows more than a few colours: a blank or black capture means the window did
// not paint.
// Wine puts a window's paint on the screen when its thread next looks at its queue, and not more
// often than every few tens of milliseconds, so one grab can miss the last paints (a dialog without
// its static texts). The screen is grabbed until two grabs a short wait apart agree. The wait only
// looks at the queue: nothing is dispatched, so no timer or handler of the caller runs meanwhile.
inline bool CaptureScreenRect(const RECT& r, const std::wstring& path) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap one, two;
  for (TBitmap* b : {&one, &two}) {
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
  }
  TBitmap *previous = &one, *latest = &two;
  GrabScreenRect(r, *previous);
  int grabs = 1;
  for (;;) {
    const DWORD until = GetTickCount() + 80;
    MSG m;
    while (int(until - GetTickCount()) > 0) {
      PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    GrabScreenRect(r, *latest);
    ++grabs;
    if (SamePixels(*latest, *previous, w, h) || grabs == 25) break;
    std::swap(previous, latest);
  }
  TBitmap& shot = *latest;
  std::set<uint32_t> colours;
  for (int y = 0; y < h; y++) {
    const uint8_t* row = shot.ScanLine(y);
    for (int x = 0; x < w; x++) colours.insert(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
  }
  TFileStream out(path, fmCreate);
  shot.SaveToStream(out);
  std::fprintf(stderr, "%ls: %dx%d, %zu colours, %d grabs\n", path.c_str(), w, h, colours.size(), grabs);
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
