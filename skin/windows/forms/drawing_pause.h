// Drawing switched off over the windows a skin change lays out anew, and each of them painted once,
// frames included, when the change is done.
#pragma once

#include <windows.h>

#include <vector>

class TDrawingPause {
public:
  TDrawingPause() = default;
  // Resumes whatever is still paused.
  ~TDrawingPause();
  TDrawingPause(const TDrawingPause&) = delete;
  TDrawingPause& operator=(const TDrawingPause&) = delete;

  // Switches drawing off for Wnd and everything in it, when it shows now; a window that does not
  // show is left alone, as drawing coming back on would show it.
  void Add(HWND Wnd);
  // Drawing back on, in the reverse order, and one paint of each window with everything in it.
  void Resume();

private:
  // Wnd, then what lies in it, each window once.
  static void PaintFromBottom(HWND Wnd);
  std::vector<HWND> paused_;
};
