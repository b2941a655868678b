// Time from a window's activation to its take-over finished (CN_SkinActive handled, the moment the
// skin component's OnAfterSkinForm fires), with Karo's yellow skin as the native build packs it:
// median, fastest and 90th percentile of many windows, one line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "skin/data/velt_data.h"
#include "skin/windows/manager/skin_manager.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

LRESULT CALLBACK Plain(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

}  // namespace

int main() {
  WNDCLASSW c{};
  c.lpfnWndProc = Plain;
  c.hInstance = GetModuleHandleW(nullptr);
  c.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  c.lpszClassName = L"KaroBenchWindow";
  RegisterClassW(&c);

  auto* skin = new TSkinData(nullptr);
  skin->LoadFromFile(std::string(KARO_NATIVE_SKINS_DIR) + "/Yellow.skn");
  if (skin->NoSkinLoaded || !SkinManage()) {
    std::printf("%-28s could not be loaded (build the native configuration first)\n", "activation to skinned");
    return 0;
  }
  double done = 0;
  skin->OnAfterSkinForm = [&](TObject*, HWND, const std::string&) { done = Now(); };
  SkinManage()->Enabled = true;

  constexpr int kRuns = 200;
  std::vector<double> times;
  for (int i = 0; i < kRuns + 5; ++i) {
    HWND w = CreateWindowExW(0, L"KaroBenchWindow", L"Bench", WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    done = 0;
    const double start = Now();
    ShowWindow(w, SW_SHOW);
    SetActiveWindow(w);
    MSG m;
    for (int k = 0; k < 2000 && done == 0; ++k) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      if (done == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    if (i >= 5 && done > 0) times.push_back(done - start);
    DestroyWindow(w);
  }
  if (times.empty()) {
    std::printf("%-28s no window was taken over\n", "activation to skinned");
    return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("%-28s %zu windows  median %6.2f ms (fastest %6.2f, 90th percentile %6.2f)\n", "activation to skinned",
              times.size(), times[times.size() / 2], times.front(), times[times.size() * 9 / 10]);
  delete skin;
  return 0;
}
