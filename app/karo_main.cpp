// Karo.exe. "--measure-start" prints, once the main window is shown skinned and fully painted,
// the milliseconds since the process was created, and ends (the start-up benchmark runs it so).
#include <windows.h>

#include <cstdio>

#include "app/karo_main_form.h"
#include "app/karo_program.h"
#include "skin/windows/core/skin_messages.h"

namespace {

double MillisecondsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return double(ticks(now) - ticks(created)) / 10000.0;
}

void MeasureStart() {
  Application->OnIdle = [](TObject*, bool& done) {
    // Looked at again at once while the window is still on its way (no message may be due).
    done = false;
    if (!K || !K->HandleAllocated() || !IsWindowVisible(K->Handle())) return;
    if (SendMessageW(K->Handle(), CN_IsSkinned, 0, 0) != 1 || GetUpdateRect(K->Handle(), nullptr, FALSE)) return;
    std::printf("start %.1f ms\n", MillisecondsSinceProcessStart());
    std::fflush(stdout);
    Application->Terminate();
  };
}

}  // namespace

int main() {
  for (int i = 1; i <= ParamCount(); i++)
    if (WideParamStr(i) == L"--measure-start") MeasureStart();
  return KaroProgram();
}
