#include "skin/windows/forms/drawing_pause.h"

#include <algorithm>

TDrawingPause::~TDrawingPause() {
  try {
    Resume();
  } catch (...) {
  }
}

void TDrawingPause::Add(HWND Wnd) {
  if (!Wnd || !IsWindowVisible(Wnd)) return;
  if (std::find(paused_.begin(), paused_.end(), Wnd) != paused_.end()) return;
  // A whole paint afterwards covers whatever was pending.
  if (after_ == paPendingOnly) {
    KeepPending(Wnd);
    EnumChildWindows(Wnd, &KeepPendingOfChild, LPARAM(this));
  }
  // The system takes the visible style away while drawing is off and gives it back with drawing:
  // the style itself is never written here.
  SendMessageW(Wnd, WM_SETREDRAW, FALSE, 0);
  paused_.push_back(Wnd);
}

void TDrawingPause::Resume() {
  std::vector<HWND> paused;
  paused.swap(paused_);
  std::vector<std::pair<HWND, HRGN>> pending;
  pending.swap(pending_);
  for (auto it = paused.rbegin(); it != paused.rend(); ++it)
    if (IsWindow(*it)) SendMessageW(*it, WM_SETREDRAW, TRUE, 0);
  for (auto& [wnd, rgn] : pending) {
    if (IsWindow(wnd)) InvalidateRgn(wnd, rgn, TRUE);
    DeleteObject(rgn);
  }
  if (after_ != paPaintWhole) return;
  for (HWND w : paused) {
    if (!IsWindow(w)) continue;
    // A window inside another paused one is painted with it.
    const bool inside = std::any_of(paused.begin(), paused.end(), [&](HWND o) { return o != w && IsChild(o, w); });
    if (inside) continue;
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    PaintFromBottom(w);
  }
}

void TDrawingPause::KeepPending(HWND Wnd) {
  if (!GetUpdateRect(Wnd, nullptr, FALSE)) return;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (!rgn) return;
  const int kind = GetUpdateRgn(Wnd, rgn, FALSE);
  if (kind == ERROR || kind == NULLREGION) {
    DeleteObject(rgn);
    return;
  }
  pending_.emplace_back(Wnd, rgn);
}

BOOL CALLBACK TDrawingPause::KeepPendingOfChild(HWND Child, LPARAM Self) {
  reinterpret_cast<TDrawingPause*>(Self)->KeepPending(Child);
  return TRUE;
}

void TDrawingPause::PaintFromBottom(HWND Wnd) {
  RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
  // Siblings from the bottom of the z-order up: what lies over a window (the skinned scroll bars
  // over their control) is painted after it, not drawn over by it and painted again.
  for (HWND c = GetWindow(GetWindow(Wnd, GW_CHILD), GW_HWNDLAST); c; c = GetWindow(c, GW_HWNDPREV))
    if (IsWindowVisible(c)) PaintFromBottom(c);
}
