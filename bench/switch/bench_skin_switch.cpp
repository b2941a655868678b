// A skin switch of the gallery's full form (the skin read, the switch carried out, the queue
// drained) round Karo's four skins, against the same form unskinned given a new frame in every
// window and repainted whole, in the same run, turn about; medians. Then the paints of one switch,
// counted by a hook, per window:
// "skin switch: <n> windows, skinned <x> ms, unskinned repaint <y> ms, ratio <r>"
// "skin switch messages per window: ncpaint <a>, erasebkgnd <b>, paint <c>"
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "skin/data/velt_data.h"
#include "skin/windows/manager/skin_manager.h"
#include "tests/support/paint_count.h"
#include "tools/gallery/gallery_form.h"

namespace {

constexpr int kSwitches = 20;
const char* const kSkins[] = {"Yellow", "Azure", "Blue", "Gray"};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Everything the queue holds, handled; the paints of the screen done.
void Drain() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  GdiFlush();
}

void Settle() {
  for (int i = 0; i < 5; i++) {
    Drain();
    Sleep(5);
  }
}

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

int main() {
  try {
    Application->Initialize();
    TGalleryForm* form = nullptr;
    Application->CreateForm(form);
    // The unskinned twin: a form whose Tag is 99 is never skinned.
    TGalleryForm* plain = NewForm<TGalleryForm>(nullptr);
    plain->SetTag(99);

    std::vector<std::string> files;
    for (const char* s : kSkins) files.push_back(std::string(KARO_NATIVE_SKINS_DIR) + "/" + s + ".skn");
    auto* skin = new TSkinData(form);
    skin->LoadFromFile(files[0]);
    TSkinManage* manager = SkinManage();
    if (skin->NoSkinLoaded || !manager) {
      std::fprintf(stderr, "skin switch: the skins could not be loaded (build the native configuration first)\n");
      return 1;
    }
    skin->SetActive(true);
    form->Show();
    SetForegroundWindow(form->Handle());
    for (int i = 0; i < 100 && !manager->FindVeltForm(form->Handle()); i++) Settle();
    if (!manager->FindVeltForm(form->Handle())) {
      std::fprintf(stderr, "skin switch: the gallery's form was not skinned\n");
      return 1;
    }
    Settle();

    int next = 1;
    auto switchSkin = [&] {
      skin->LoadFromFile(files[size_t(next++) % files.size()]);
      // The switch itself, at once rather than the timer's interval later.
      manager->OnTimer();
      Drain();
    };
    const std::vector<HWND> plainWindows = [&] {
      plain->Show();
      Settle();
      return WindowAndDescendants(plain->Handle());
    }();
    auto repaintPlain = [&] {
      for (HWND w : plainWindows)
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      RedrawWindow(plain->Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
      Drain();
    };

    // Warm-up: every skin once, the pictures kept between paints made.
    ShowWindow(plain->Handle(), SW_HIDE);
    Settle();
    for (int i = 0; i < 4; i++) switchSkin();
    Settle();

    std::vector<double> skinned, unskinned;
    for (int i = 0; i < kSwitches; i++) {
      ShowWindow(plain->Handle(), SW_SHOWNOACTIVATE);
      Settle();
      auto t0 = std::chrono::steady_clock::now();
      repaintPlain();
      unskinned.push_back(Ms(t0, std::chrono::steady_clock::now()));
      ShowWindow(plain->Handle(), SW_HIDE);
      Settle();
      t0 = std::chrono::steady_clock::now();
      switchSkin();
      skinned.push_back(Ms(t0, std::chrono::steady_clock::now()));
    }

    Settle();
    TPaintCounts total;
    size_t windows = 0;
    {
      TPaintCounter counter(form->Handle());
      if (!counter.Hooked()) {
        std::fprintf(stderr, "skin switch: the paint counter could not hook this thread\n");
        return 1;
      }
      switchSkin();
      Settle();
      counter.Stop();
      total = counter.Total();
      windows = counter.Windows().size();
    }
    const double x = Median(skinned), y = Median(unskinned);
    std::printf("skin switch: %zu windows, skinned %.1f ms, unskinned repaint %.1f ms, ratio %.2f\n", windows, x, y,
                y > 0 ? x / y : 0.0);
    const double n = double(windows);
    std::printf("skin switch messages per window: ncpaint %.2f, erasebkgnd %.2f, paint %.2f\n", total.NcPaint / n,
                total.EraseBkgnd / n, total.Paint / n);
    std::fflush(stdout);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  // The forms are not closed one by one: the process ends with them.
  ExitProcess(0);
}
