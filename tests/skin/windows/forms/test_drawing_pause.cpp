// Drawing switched off over windows that change and back on: the WM_SETREDRAW sent to each, what
// each window still has to paint once drawing is back, the paints that resuming makes itself, and
// resuming when the change ends by an exception.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "skin/windows/forms/drawing_pause.h"
#include "tests/support/message_log.h"
#include "tests/support/window_class.h"

namespace {

// Whether W's update region is exactly R (an empty R: W has nothing to paint).
::testing::AssertionResult UpdateIs(HWND W, const RECT& R) {
  HRGN now = CreateRectRgn(0, 0, 0, 0);
  HRGN want = CreateRectRgnIndirect(&R);
  const int kind = GetUpdateRgn(W, now, FALSE);
  const bool same = IsRectEmpty(&R) ? kind == NULLREGION : kind != ERROR && EqualRgn(now, want);
  RECT box{};
  GetRgnBox(now, &box);
  DeleteObject(now);
  DeleteObject(want);
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "update region box (" << box.left << ", " << box.top << ", " << box.right
                                       << ", " << box.bottom << "), expected (" << R.left << ", " << R.top << ", "
                                       << R.right << ", " << R.bottom << ")";
}

class DrawingPause_ : public ::testing::Test {
protected:
  void SetUp() override {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    const wchar_t* cls = L"KaroDrawingPauseTest";
    RegisterWindowClass(cls, PaintingWindowProc<>, {.Background = COLOR_WINDOW});
    Top = CreateWindowExW(0, cls, L"top", WS_POPUP | WS_VISIBLE, 20, 20, 200, 150, nullptr, nullptr, inst,
                          nullptr);
    Child = CreateWindowExW(0, cls, nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 80, 60, Top, nullptr, inst,
                            nullptr);
    Hidden = CreateWindowExW(0, cls, L"hidden", WS_POPUP, 240, 20, 100, 100, nullptr, nullptr, inst,
                             nullptr);
    ASSERT_TRUE(Top && Child && Hidden);
    Pump();
    ASSERT_TRUE(UpdateIs(Top, {}));
    ASSERT_TRUE(UpdateIs(Child, {}));
  }
  void TearDown() override {
    DestroyWindow(Hidden);
    DestroyWindow(Top);
    Pump();
  }
  // Something each shown window has yet to paint: a strip of Top outside Child, a corner of Child.
  void LeaveSomethingToPaint() {
    InvalidateRect(Top, &kTopPending, TRUE);
    InvalidateRect(Child, &kChildPending, TRUE);
  }
  static constexpr RECT kTopPending{5, 100, 50, 140};
  static constexpr RECT kChildPending{2, 2, 20, 20};
  HWND Top = nullptr, Child = nullptr, Hidden = nullptr;
};

TEST_F(DrawingPause_, PendingOnlyGivesBackWhatWasLeftToPaintAndPaintsNothingItself) {
  LeaveSomethingToPaint();
  TMessageLog log({WM_SETREDRAW, WM_PAINT});
  TWindowRecorder top(Top, log), child(Child, log), hidden(Hidden, log);
  {
    TDrawingPause pause(TDrawingPause::paPendingOnly);
    pause.Add(Top);
    pause.Add(Top);
    pause.Add(Hidden);
    pause.Resume();
  }
  EXPECT_TRUE(SequenceIs(log, {{WM_SETREDRAW, sent | wparam, FALSE, 0, Top}, {WM_SETREDRAW, sent | wparam, TRUE, 0, Top}}));
  EXPECT_TRUE(UpdateIs(Top, kTopPending)) << "the window's own pending paint, and nothing more";
  EXPECT_TRUE(UpdateIs(Child, kChildPending)) << "a descendant's pending paint, and nothing more";
  EXPECT_TRUE(IsWindowVisible(Top));
  EXPECT_FALSE(IsWindowVisible(Hidden)) << "a window that did not show is not shown by drawing coming back";
  log.Clear();
  Pump();
  EXPECT_TRUE(SequenceIs(log, {{WM_PAINT, posted, 0, 0, Top}, {WM_PAINT, posted, 0, 0, Child}}));
}

TEST_F(DrawingPause_, PaintWholePaintsEachPausedWindowOnceWithEverythingInIt) {
  LeaveSomethingToPaint();
  TMessageLog log({WM_SETREDRAW, WM_PAINT});
  TWindowRecorder top(Top, log), child(Child, log), hidden(Hidden, log);
  // The child first: once Top is off, nothing in it shows, and the child would not be paused.
  TDrawingPause pause;
  pause.Add(Child);
  pause.Add(Top);
  pause.Add(Hidden);
  pause.Resume();
  EXPECT_TRUE(SequenceIs(log, {
                                  {WM_SETREDRAW, sent | wparam, FALSE, 0, Child},
                                  {WM_SETREDRAW, sent | wparam, FALSE, 0, Top},
                                  {WM_SETREDRAW, sent | wparam, TRUE, 0, Top},
                                  {WM_SETREDRAW, sent | wparam, TRUE, 0, Child},
                                  {WM_PAINT, sent, 0, 0, Top},
                                  {WM_PAINT, sent, 0, 0, Child},
                              }));
  EXPECT_TRUE(UpdateIs(Top, {}));
  EXPECT_TRUE(UpdateIs(Child, {}));
  EXPECT_FALSE(IsWindowVisible(Hidden));
  log.Clear();
  pause.Resume();
  Pump();
  EXPECT_TRUE(SequenceIs(log, {})) << "a second resume has nothing left to do";
}

// A change that ends by an exception still gets drawing back, and (pending only) the paint it
// left; the destructor does what Resume would have done.
TEST_F(DrawingPause_, AChangeEndedByAnExceptionIsResumedAsItLeaves) {
  for (TDrawingPause::TAfter after : {TDrawingPause::paPendingOnly, TDrawingPause::paPaintWhole}) {
    SCOPED_TRACE(after == TDrawingPause::paPendingOnly ? "pending only" : "paint whole");
    LeaveSomethingToPaint();
    try {
      TDrawingPause pause(after);
      pause.Add(Top);
      throw std::runtime_error("the change failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(IsWindowVisible(Top)) << "drawing is back on";
    if (after == TDrawingPause::paPendingOnly) {
      EXPECT_TRUE(UpdateIs(Top, kTopPending));
      EXPECT_TRUE(UpdateIs(Child, kChildPending));
    } else {
      EXPECT_TRUE(UpdateIs(Top, {}));
      EXPECT_TRUE(UpdateIs(Child, {}));
    }
    Pump();
  }
}

}  // namespace
