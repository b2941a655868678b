// Counting the paints of a window and its descendants: WM_NCPAINT, WM_ERASEBKGND and WM_PAINT as
// a hook of this thread sees them, sent (WH_CALLWNDPROC) or taken from the queue (WH_GETMESSAGE).
// An erase into a device context of another window or of memory is counted as well (EraseForChild):
// a child drawn over its parent's picture asks for it so; the window itself is left as it is. The skin-switch test and
// benchmark count one switch with it.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

namespace paintcount {
inline BOOL CALLBACK AddWindow(HWND w, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
  return TRUE;
}
}  // namespace paintcount

// Root and every window below it, root first.
inline std::vector<HWND> WindowAndDescendants(HWND root) {
  std::vector<HWND> all{root};
  EnumChildWindows(root, &paintcount::AddWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

struct TPaintCounts {
  int NcPaint = 0;
  int EraseBkgnd = 0;
  int EraseForChild = 0;  // of EraseBkgnd, those into a device context that is not the window's
  int Paint = 0;
};

class TPaintCounter {
public:
  // Counts the paints of root and of every window below it at the time of the call.
  explicit TPaintCounter(HWND root) {
    windows_ = WindowAndDescendants(root);
    for (HWND w : windows_) counts_[w];
    active_ = this;
    sent_ = SetWindowsHookExW(WH_CALLWNDPROC, &Sent, nullptr, GetCurrentThreadId());
    queued_ = SetWindowsHookExW(WH_GETMESSAGE, &Queued, nullptr, GetCurrentThreadId());
  }
  ~TPaintCounter() { Stop(); }
  TPaintCounter(const TPaintCounter&) = delete;
  TPaintCounter& operator=(const TPaintCounter&) = delete;

  // Whether both hooks are in place: without them nothing is counted and no figure holds.
  bool Hooked() const { return sent_ && queued_; }
  void Stop() {
    if (sent_) UnhookWindowsHookEx(sent_);
    if (queued_) UnhookWindowsHookEx(queued_);
    sent_ = queued_ = nullptr;
    if (active_ == this) active_ = nullptr;
  }
  const std::vector<HWND>& Windows() const { return windows_; }
  const std::map<HWND, TPaintCounts>& Counts() const { return counts_; }
  TPaintCounts Total() const {
    TPaintCounts t;
    for (const auto& [w, c] : counts_) {
      t.NcPaint += c.NcPaint;
      t.EraseBkgnd += c.EraseBkgnd;
      t.EraseForChild += c.EraseForChild;
      t.Paint += c.Paint;
    }
    return t;
  }

private:
  void Count(HWND w, UINT msg, WPARAM wp) {
    auto it = counts_.find(w);
    if (it == counts_.end()) return;
    if (msg == WM_NCPAINT) ++it->second.NcPaint;
    if (msg == WM_ERASEBKGND) {
      ++it->second.EraseBkgnd;
      if (wp && WindowFromDC(HDC(wp)) != w) ++it->second.EraseForChild;
    }
    if (msg == WM_PAINT) ++it->second.Paint;
  }
  static LRESULT CALLBACK Sent(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && active_) {
      const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
      active_->Count(m->hwnd, m->message, m->wParam);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static LRESULT CALLBACK Queued(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE && active_) {
      const auto* m = reinterpret_cast<const MSG*>(lp);
      active_->Count(m->hwnd, m->message, m->wParam);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }

  static inline TPaintCounter* active_ = nullptr;
  std::vector<HWND> windows_;
  std::map<HWND, TPaintCounts> counts_;
  HHOOK sent_ = nullptr;
  HHOOK queued_ = nullptr;
};
