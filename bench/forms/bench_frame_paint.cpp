// The whole non-client paint (WM_NCPAINT handled end to end: the frame composed off screen and put
// on by edges) of a 1000 x 700 window skinned with Karo's yellow skin, against the same window
// painted by the system: medians. Then the same with the activation changing at every paint (the
// frame drawn anew in the other look), and the skinned paint with nothing kept from before.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_manager.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

LRESULT CALLBACK Plain(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

HWND Make() {
  HWND w = CreateWindowExW(0, L"KaroBenchFrame", L"Bench \u97f5", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 700, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(w, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return w;
}

// The median of 200 runs of one message (after 10 not counted); Before runs ahead of each, not timed.
double Median(const std::function<void(int)>& Run, const std::function<void()>& Before = nullptr) {
  constexpr int kRuns = 200;
  std::vector<double> t;
  for (int i = 0; i < kRuns + 10; ++i) {
    if (Before) Before();
    const double s = Now();
    Run(i);
    GdiFlush();
    if (i >= 10) t.push_back(Now() - s);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// A repaint of the frame as it is (the window uncovered, moved, or told to repaint).
double MedianPaint(HWND w) {
  return Median([w](int) { SendMessageW(w, WM_NCPAINT, 1, 0); });
}

// The activation changing at every paint: the frame drawn anew in the other look each time.
double MedianActivation(HWND w) {
  return Median([w](int i) { SendMessageW(w, WM_NCACTIVATE, WPARAM(i & 1), 0); });
}

void Line(const char* what, double skinned, double unskinned) {
  std::printf("frame 1000x700%s: skinned %.3f ms, unskinned %.3f ms, ratio %.2f\n", what, skinned, unskinned,
              unskinned > 0 ? skinned / unskinned : 0.0);
}

}  // namespace

int main() {
  WNDCLASSW c{};
  c.lpfnWndProc = Plain;
  c.hInstance = GetModuleHandleW(nullptr);
  c.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  c.lpszClassName = L"KaroBenchFrame";
  RegisterClassW(&c);

  // The system's own frame first, before any skin exists.
  HWND plain = Make();
  ShowWindow(plain, SW_SHOW);
  Pump();
  const double unskinned = MedianPaint(plain);
  const double unskinnedActivation = MedianActivation(plain);
  DestroyWindow(plain);
  Pump();

  auto* skin = new TSkinData(nullptr);
  skin->LoadFromFile(std::string(KARO_NATIVE_SKINS_DIR) + "/Yellow.skn");
  if (skin->NoSkinLoaded || !SkinManage()) {
    std::printf("frame 1000x700: the skin could not be loaded (build the native configuration first)\n");
    return 0;
  }
  bool done = false;
  skin->OnAfterSkinForm = [&](TObject*, HWND, const std::string&) { done = true; };
  SkinManage()->Enabled = true;
  HWND w = Make();
  ShowWindow(w, SW_SHOW);
  SetActiveWindow(w);
  for (int k = 0; k < 2000 && !done; ++k) {
    Pump();
    if (!done) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  if (!done) {
    std::printf("frame 1000x700: the window was not skinned\n");
    return 1;
  }
  SetWindowPos(w, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  const double skinned = MedianPaint(w);
  const double skinnedActivation = MedianActivation(w);
  SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
  // Nothing kept from the paint before: the first paint after a skin change, the worst case.
  const double skinnedCold = Median([w](int) { SendMessageW(w, WM_NCPAINT, 1, 0); }, [] { TVeltForm::ForgetFramePictures(); });
  Line("", skinned, unskinned);
  Line(", activation changing at every paint", skinnedActivation, unskinnedActivation);
  std::printf("frame 1000x700, nothing kept from the paint before: skinned %.3f ms\n", skinnedCold);
  DestroyWindow(w);
  return 0;
}
