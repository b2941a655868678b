// What the scroll-bar tests share: whether an overlay agrees with the bar it lies on (its place,
// and the thumb it drew and that the screen shows against the control's own), presses on an
// overlay and on a native bar, and the ways of scrolling a control run one after another with the
// agreement checked after each.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "classlib/controls/controls.h"
#include "skin/windows/controls/overlay_scrollbar.h"
#include "skin/windows/paint/scroll_geometry.h"
#include "tests/skin/windows/controls/control_test_env.h"

namespace skintest {

// The pictures' numbers in the complete test skin.
constexpr int kScrollPic = 26, kHScrollPic = 27, kVScrollPic = 28, kHThumbPic = 29, kVThumbPic = 30;

inline SCROLLBARINFO BarOf(HWND w, LONG id) {
  SCROLLBARINFO i{};
  i.cbSize = sizeof(i);
  GetScrollBarInfo(w, id, &i);
  return i;
}

inline int PosOf(HWND w, int bar = SB_VERT) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  GetScrollInfo(w, bar, &si);
  return si.nPos;
}

// The thumb as the screen shows it inside the bar at Bar (screen coordinates): the first and one
// past the last pixel along the bar's middle line in a colour of the skin's thumb or of its grip.
inline TThumbSpan ThumbOnScreen(const RECT& Bar, bool Vertical) {
  const int w = Bar.right - Bar.left, h = Bar.bottom - Bar.top;
  if (w <= 0 || h <= 0) return {};
  TDib dib(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(dib.DC, 0, 0, w, h, screen, Bar.left, Bar.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  auto thumbColour = [&](COLORREF c) {
    for (int k = 1; k <= 3; ++k)
      if (c == FrameColor(Vertical ? kVThumbPic : kHThumbPic, k) || c == FrameColor(kScrollPic, (Vertical ? 19 : 16) + k))
        return true;
    return false;
  };
  TThumbSpan t;
  bool any = false;
  const int length = Vertical ? h : w;
  for (int i = 0; i < length; ++i) {
    if (!thumbColour(Vertical ? dib.At(w / 2, i) : dib.At(i, h / 2))) continue;
    if (!any) t.Start = i;
    t.End = i + 1;
    any = true;
  }
  return t;
}

// Where the screen shows a thumb's colours: the thumb, and the grip centred on it, which on a
// thumb one pixel shorter than the grip overhangs it by that pixel.
inline TThumbSpan ThumbAndGrip(TThumbSpan Thumb, int Grip = 17) {
  const int len = Thumb.End - Thumb.Start;
  if (Grip >= len + 2) return Thumb;
  const int o = (len - Grip) / 2;
  return {std::min(Thumb.Start, Thumb.Start + o), std::max(Thumb.End, Thumb.Start + o + Grip)};
}

// The overlay lies on the control's bar (id: OBJID_VSCROLL, OBJID_HSCROLL, or OBJID_CLIENT of a
// scroll-bar control), is shown exactly while the bar is, and both its last paint and the screen
// show the control's own thumb.
inline ::testing::AssertionResult Agrees(TWScrollbar* o, HWND w, LONG id) {
  if (!o) return ::testing::AssertionFailure() << "no overlay";
  const SCROLLBARINFO b = BarOf(w, id);
  const bool barShown = IsWindowVisible(w) && !(b.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  const bool overlayShown = o->HandleAllocated() && IsWindowVisible(o->Handle());
  if (barShown != overlayShown)
    return ::testing::AssertionFailure() << "bar shown " << barShown << ", overlay shown " << overlayShown;
  if (!barShown) return ::testing::AssertionSuccess();
  RECT r{};
  GetWindowRect(o->Handle(), &r);
  if (!EqualRect(&r, &b.rcScrollBar))
    return ::testing::AssertionFailure() << "overlay at " << r.left << "," << r.top << "-" << r.right << ","
                                         << r.bottom << ", bar at " << b.rcScrollBar.left << "," << b.rcScrollBar.top
                                         << "-" << b.rcScrollBar.right << "," << b.rcScrollBar.bottom;
  if ((b.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) || !IsWindowEnabled(w)) return ::testing::AssertionSuccess();
  const TThumbSpan t = o->DrawnThumb();
  if (!o->DrawnAny() || t.Start != b.xyThumbTop || t.End != b.xyThumbBottom)
    return ::testing::AssertionFailure() << "drawn thumb " << t.Start << "-" << t.End << " (painted "
                                         << o->DrawnAny() << "), the control's " << b.xyThumbTop << "-"
                                         << b.xyThumbBottom;
  const bool vertical =
      id == OBJID_CLIENT ? (GetWindowLongPtrW(w, GWL_STYLE) & SBS_VERT) == SBS_VERT : id == OBJID_VSCROLL;
  const TThumbSpan s = ThumbOnScreen(b.rcScrollBar, vertical);
  const TThumbSpan e = ThumbAndGrip({b.xyThumbTop, b.xyThumbBottom});
  if (s != e) {
    bool above = false;
    for (HWND h = GetWindow(w, GW_HWNDPREV); h && !above; h = GetWindow(h, GW_HWNDPREV)) above = h == o->Handle();
    return ::testing::AssertionFailure() << "the screen shows the thumb at " << s.Start << "-" << s.End
                                         << ", the control's is at " << b.xyThumbTop << "-" << b.xyThumbBottom
                                         << (above ? "" : " (the overlay lies under the control)");
  }
  return ::testing::AssertionSuccess();
}

// A press on the overlay at (x, y), with the move by (dx, dy) and the release that follow already
// queued for the system's tracking (kinds 0 and 1: in the target's client coordinates).
inline void PressOverlay(TWScrollbar* o, int x, int y, int dx = 0, int dy = 0) {
  HWND t = o->Target();
  POINT p{x + dx, y + dy};
  ClientToScreen(o->Handle(), &p);
  ScreenToClient(t, &p);
  if (dx || dy) PostMessageW(t, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(o->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

// The same on the control's own bar: the press goes to the window as the system sends it.
inline void PressNative(HWND t, POINT screen, int dx, int dy, WPARAM hit) {
  POINT p{screen.x + dx, screen.y + dy};
  ScreenToClient(t, &p);
  if (dx || dy) PostMessageW(t, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(t, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  SendMessageW(t, WM_NCLBUTTONDOWN, hit, MAKELPARAM(screen.x, screen.y));
}

// One control under the skin's overlays, as the ways of scrolling see it.
struct TScrollSubject {
  TScrollSubject(std::string name, TWinControl* control, HWND target, TWScrollbar* vert, TWScrollbar* horz)
      : Name(std::move(name)), Control(control), Target(target), Vert(vert), Horz(horz) {}
  std::string Name;
  TWinControl* Control = nullptr;  // what is resized, hidden and shown
  HWND Target = nullptr;           // the window that owns the bars
  TWScrollbar* Vert = nullptr;
  TWScrollbar* Horz = nullptr;
  LONG VertId = OBJID_VSCROLL, HorzId = OBJID_HSCROLL;  // OBJID_CLIENT for a scroll-bar control
  int VertBar = SB_VERT, HorzBar = SB_HORZ;             // SB_CTL for a scroll-bar control
  std::function<void(bool More)> Content;               // adds (More) or removes text, items or rows
};

// One way of scrolling, along one bar (Vertical) of a subject.
struct TScrollWay {
  const char* Name;
  std::function<void(TScrollSubject&, bool Vertical)> Do;
  bool Waits = false;  // a change from outside every message of the control: caught a little later
};

inline const std::vector<TScrollWay>& ScrollWays() {
  auto overlay = [](TScrollSubject& s, bool v) { return v ? s.Vert : s.Horz; };
  auto bar = [](TScrollSubject& s, bool v) { return BarOf(s.Target, v ? s.VertId : s.HorzId); };
  static const std::vector<TScrollWay> ways = {
      {"wheel",
       [](TScrollSubject& s, bool) {
         RECT r{};
         GetWindowRect(s.Target, &r);
         SendMessageW(s.Target, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(r.left + 20, r.top + 20));
       }},
      {"keys",
       [](TScrollSubject& s, bool v) {
         SetFocus(s.Target);
         for (WORD k : v ? std::vector<WORD>{VK_NEXT, VK_NEXT, VK_DOWN} : std::vector<WORD>{VK_END, VK_LEFT}) {
           SendMessageW(s.Target, WM_KEYDOWN, k, 1);
           SendMessageW(s.Target, WM_KEYUP, k, LPARAM(0xC0000001));
         }
       }},
      {"thumb drag on the overlay",
       [=](TScrollSubject& s, bool v) {
         const SCROLLBARINFO b = bar(s, v);
         const int mid = (b.xyThumbTop + b.xyThumbBottom) / 2;
         PressOverlay(overlay(s, v), v ? 8 : mid, v ? mid : 8, v ? 0 : 30, v ? 30 : 0);
       }},
      {"track click on the overlay",
       [=](TScrollSubject& s, bool v) {
         const SCROLLBARINFO b = bar(s, v);
         PressOverlay(overlay(s, v), v ? 8 : b.xyThumbBottom + 3, v ? b.xyThumbBottom + 3 : 8);
       }},
      {"arrow click on the overlay",
       [=](TScrollSubject& s, bool v) {
         const SCROLLBARINFO b = bar(s, v);
         const int end = v ? Height(b.rcScrollBar) - 5 : Width(b.rcScrollBar) - 5;
         PressOverlay(overlay(s, v), v ? 8 : end, v ? end : 8);
       }},
      {"SetScrollInfo from code",
       [](TScrollSubject& s, bool v) {
         SCROLLINFO si{};
         si.cbSize = sizeof(si);
         si.fMask = SIF_POS;
         si.nPos = 3;
         SetScrollInfo(s.Target, v ? s.VertBar : s.HorzBar, &si, TRUE);
       },
       true},
      {"content added", [](TScrollSubject& s, bool) { s.Content(true); }},
      {"content removed", [](TScrollSubject& s, bool) { s.Content(false); }},
      {"content back", [](TScrollSubject& s, bool) { s.Content(true); }},
      {"resized",
       [](TScrollSubject& s, bool) { s.Control->SetBounds(s.Control->Left() + 7, s.Control->Top() + 5, 260, 120); }},
      {"hidden", [](TScrollSubject& s, bool) { s.Control->SetVisible(false); }},
      {"shown again", [](TScrollSubject& s, bool) { s.Control->SetVisible(true); }},
  };
  return ways;
}

// Scrolls the subject to the middle of its range along one bar, a line at a time as the control
// itself would (a scroll-bar control: its position set), so that a press on the overlay has room
// to move it either way.
inline void Centre(TScrollSubject& s, bool Vertical) {
  const int bar = Vertical ? s.VertBar : s.HorzBar;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(s.Target, bar, &si);
  const int mid = (si.nMin + si.nMax - int(si.nPage) + 1) / 2;
  if (bar == SB_CTL) {
    si.fMask = SIF_POS;
    si.nPos = mid;
    SetScrollInfo(s.Target, SB_CTL, &si, TRUE);
    return;
  }
  const UINT msg = Vertical ? WM_VSCROLL : WM_HSCROLL;
  for (int i = 0; i < 2000; ++i) {
    const int pos = PosOf(s.Target, bar);
    if (pos == mid) break;
    SendMessageW(s.Target, msg, pos < mid ? SB_LINEDOWN : SB_LINEUP, 0);
    if (PosOf(s.Target, bar) == pos || (PosOf(s.Target, bar) > mid) != (pos > mid)) break;
  }
  SendMessageW(s.Target, msg, SB_ENDSCROLL, 0);
}

// Every way along each bar the subject has an overlay for and can scroll along, the agreement of
// both overlays checked after each step; the presses on the overlay must move the control, or
// they prove nothing.
inline void RunScrollWays(TScrollSubject& s) {
  for (bool vertical : {true, false}) {
    TWScrollbar* o = vertical ? s.Vert : s.Horz;
    if (!o) continue;
    const SCROLLBARINFO b = BarOf(s.Target, vertical ? s.VertId : s.HorzId);
    if (b.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) continue;
    for (const TScrollWay& w : ScrollWays()) {
      const std::string way = w.Name;
      const std::string along = vertical ? " (vertical)" : " (horizontal)";
      if (way.find("on the overlay") != std::string::npos) {
        Centre(s, vertical);
        Pump();
      }
      const int before = PosOf(s.Target, vertical ? s.VertBar : s.HorzBar);
      w.Do(s, vertical);
      Pump();
      auto agrees = [&] {
        return (!s.Vert || Agrees(s.Vert, s.Target, s.VertId)) && (!s.Horz || Agrees(s.Horz, s.Target, s.HorzId));
      };
      if (w.Waits) PumpUntil([&] { return bool(agrees()); });
      if (way.find("on the overlay") != std::string::npos) {
        EXPECT_NE(PosOf(s.Target, vertical ? s.VertBar : s.HorzBar), before) << s.Name << along << ": " << way;
      }
      if (s.Vert) {
        EXPECT_TRUE(Agrees(s.Vert, s.Target, s.VertId)) << s.Name << " after " << way << along;
      }
      if (s.Horz) {
        EXPECT_TRUE(Agrees(s.Horz, s.Target, s.HorzId)) << s.Name << " (horizontal bar) after " << way << along;
      }
    }
  }
}

}  // namespace skintest
