// Unit VeltMenu: TVeltPopMenu, which takes over one popup-menu window ("#32768") while it exists
// and paints its frame from the skin's MenuBackground picture; the owner-drawn items take their
// background from the picture kept here. Windows only.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/controls/messages.h"
#include "skin/windows/core/window_subclass.h"

class TBitmap;
class TSkinData;

class TVeltPopMenu {
public:
  TVeltPopMenu();
  ~TVeltPopMenu();
  TVeltPopMenu(const TVeltPopMenu&) = delete;
  TVeltPopMenu& operator=(const TVeltPopMenu&) = delete;

  // Takes the window over (always through the ANSI pair).
  void InitSkin(HWND Wnd, TSkinData* Data, HMENU Menu);
  // Gives the window its procedure back; harmless a second time.
  void UnSubClass();

  void WinWndProc(TMessage& Message);
  LRESULT Default(UINT Msg, WPARAM wParam, LPARAM lParam);
  // The message to the saved procedure, its result in the message.
  void Default(TMessage& Message);

  HWND Window() const { return hwnd_; }
  TSkinData* SkinData() const { return data_; }
  // The picture of the whole window built from MenuBackground (made at the first call when the
  // window has not been painted yet).
  TBitmap* FrameBitmap() const;
  // Where the window's client area lies in the picture (the popup's own border, 0 when the
  // window has no non-client area).
  POINT ClientOffset() const;
  HMENU MenuHandle = nullptr;

private:
  bool CanPaint() const;
  void BuildFrame();
  void NcPaint(HRGN Region);
  void PaintOverClient();
  void SkinnedProc(TMessage& Message);
  void CNIsSkinned(TWMNoParams& m);
  void WMDestroy(TWMNoParams& m);
  void WMERASEBKGND(TWMEraseBkgnd& m);
  void WMNCPaint(TWMNCPaint& m);
  void WMPaint(TWMPaint& m);
  void WMPrint(TWMPrint& m);

  HWND hwnd_ = nullptr;
  TSkinData* data_ = nullptr;
  TWindowSubclass sub_;
  bool subclassed_ = false;
  std::unique_ptr<TBitmap> frame_;
};

// The popup-menu object last painted while its menu handle was still unknown.
extern TVeltPopMenu* newskinmenu;
