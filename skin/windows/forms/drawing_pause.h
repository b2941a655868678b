// Drawing switched off over windows while they change and back on when the change is done: each
// window then painted once, frames included (a skin change lays them out anew), or given back only
// what it still had to paint before (a new window text, whose frame the caller paints itself).
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

class TDrawingPause {
public:
  enum TAfter {
    // Every paused window and everything in it painted whole, at once.
    paPaintWhole,
    // Only the update regions the windows and their descendants had when drawing went off are
    // invalidated again (switching drawing off validates them under Wine); nothing is painted here.
    paPendingOnly,
  };
  explicit TDrawingPause(TAfter After = paPaintWhole) : after_(After) {}
  // Resumes whatever is still paused.
  ~TDrawingPause();
  TDrawingPause(const TDrawingPause&) = delete;
  TDrawingPause& operator=(const TDrawingPause&) = delete;

  // Switches drawing off for Wnd and everything in it, when it shows now; a window that does not
  // show is left alone, as drawing coming back on would show it.
  void Add(HWND Wnd);
  // Drawing back on, in the reverse order, then what the pause was made for (TAfter).
  void Resume();

private:
  // The update region of Wnd, when it has one, kept to be given back.
  void KeepPending(HWND Wnd);
  static BOOL CALLBACK KeepPendingOfChild(HWND Child, LPARAM Self);
  // Wnd, then what lies in it, each window once.
  static void PaintFromBottom(HWND Wnd);
  TAfter after_;
  std::vector<HWND> paused_;
  std::vector<std::pair<HWND, HRGN>> pending_;
};
