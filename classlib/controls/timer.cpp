#include "classlib/controls/timer.h"

#include <algorithm>
#include <vector>

#include "classlib/controls/controls.h"
#include "classlib/core/typinfo.h"

namespace {

bool g_manualTimers = false;

std::vector<TTimer*>& TimerList() {
  static auto* list = new std::vector<TTimer*>;
  return *list;
}

}  // namespace

KARO_CLASS_PROPS(TTimer, TComponent,
                 Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(1),
                 Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000),
                 Prop("OnTimer", &TTimer::OnTimer, &TTimer::OnTimer))

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  TimerList().push_back(this);
  UpdateTimer();
}

TTimer::~TTimer() {
  auto& list = TimerList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  enabled_ = false;
  UpdateTimer();
  DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(UINT v) {
  if (interval_ == v) return;
  interval_ = v;
  UpdateTimer();
}

bool TTimer::Running() const { return enabled_ && interval_ > 0 && !HasState(csLoading) && !HasState(csDestroying); }

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (systemTimer_) {
    KillTimer(window_, 1);
    systemTimer_ = false;
  }
  if (!Running() || g_manualTimers) return;
  if (!window_)
    window_ = AllocateHWnd([this](TMessage& m) {
      if (m.Msg == WM_TIMER)
        Tick();
      else
        m.Result = DefWindowProcW(window_, m.Msg, m.WParam, m.LParam);
    });
  if (!SetTimer(window_, 1, interval_, nullptr)) throw EOutOfResources("Not enough timers available");
  systemTimer_ = true;
}

void TTimer::Tick() {
  if (!Running() || !OnTimer) return;
  CallGuarded(this, [this] { OnTimer(this); });
}

void TTimer::SetManualTimers(bool manual) {
  if (g_manualTimers == manual) return;
  g_manualTimers = manual;
  for (TTimer* t : std::vector<TTimer*>(TimerList())) t->UpdateTimer();
}

bool TTimer::ManualTimers() { return g_manualTimers; }
