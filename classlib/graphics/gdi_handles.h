// Move-only owners of GDI and USER handles (objects, memory and window device contexts, icons,
// image lists) and the scoped selector that undoes every SelectObject. Windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

// Owns a handle and frees it with Free when it goes away or is replaced.
template <class H, class Traits>
class TOwnedHandle {
public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H h) : h_(h) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
  TOwnedHandle& operator=(TOwnedHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, H{}));
    return *this;
  }
  ~TOwnedHandle() { reset(); }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != H{}; }
  // Gives the handle up without freeing it.
  H release() { return std::exchange(h_, H{}); }
  void reset(H h = H{}) {
    H old = std::exchange(h_, h);
    if (old != H{}) Traits::Free(old);
  }

private:
  H h_{};
};

struct TGdiObjectTraits { static void Free(HGDIOBJ h) { DeleteObject(h); } };
struct TMemoryDCTraits { static void Free(HDC h) { DeleteDC(h); } };
struct TIconTraits { static void Free(HICON h) { DestroyIcon(h); } };
struct TImageListTraits { static void Free(HIMAGELIST h) { ImageList_Destroy(h); } };

using TBitmapHandle = TOwnedHandle<HBITMAP, TGdiObjectTraits>;
using TBrushHandle = TOwnedHandle<HBRUSH, TGdiObjectTraits>;
using TPenHandle = TOwnedHandle<HPEN, TGdiObjectTraits>;
using TFontHandle = TOwnedHandle<HFONT, TGdiObjectTraits>;
using TRegionHandle = TOwnedHandle<HRGN, TGdiObjectTraits>;
using TPaletteHandle = TOwnedHandle<HPALETTE, TGdiObjectTraits>;
using TMemoryDC = TOwnedHandle<HDC, TMemoryDCTraits>;
using TIconHandle = TOwnedHandle<HICON, TIconTraits>;
using TImageListHandle = TOwnedHandle<HIMAGELIST, TImageListTraits>;

// A device context from GetDC (of a window, or of the screen for 0), released on destruction.
class TWindowDC {
public:
  explicit TWindowDC(HWND wnd = nullptr) : wnd_(wnd), dc_(GetDC(wnd)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  HDC get() const { return dc_; }

private:
  HWND wnd_;
  HDC dc_;
};

// Selects an object into a device context for the lifetime of the selector, then puts back what
// the selection replaced.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// Saves a device context's state (SaveDC) and restores it on destruction.
class TSavedDC {
public:
  explicit TSavedDC(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (id_) RestoreDC(dc_, id_);
  }

private:
  HDC dc_;
  int id_;
};
