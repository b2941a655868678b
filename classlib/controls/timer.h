// TTimer: a component that fires OnTimer every Interval milliseconds from a system timer of a
// hidden window, or, while a test has switched the timers to manual ticking, when the test
// says so. Windows only.
#pragma once

#include <windows.h>

#include "classlib/core/persistent.h"

class TTimer : public TComponent {
  KARO_CLASS(TTimer)
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT v);
  // The timer is ticking: enabled, with an interval, and not being read from a form file.
  bool Running() const;

  // One tick, as the system timer gives it: OnTimer, whose exceptions go to the application's
  // handler. Does nothing while the timer is not running.
  void Tick();

  void Loaded() override;

  TNotifyEvent OnTimer;

  // While manual, no timer starts a system timer; tests call Tick on the running ones.
  static void SetManualTimers(bool manual);
  static bool ManualTimers();

private:
  void UpdateTimer();

  HWND window_ = nullptr;
  UINT interval_ = 1000;
  bool enabled_ = true;
  bool systemTimer_ = false;
};
