// Karo in each of its skins, each page: build/<config>/artifacts/karo-<Skin>-<page>.bmp, the form
// over the built program folder with the look-ups of pages A and B and a search on page C made,
// each on its own page as a user makes them, so every picture shows its own page's status. Ends
// with 1 when a picture shows too few colours (the form did not paint).
#include <windows.h>

#include <cstdio>

#include "app/karo_data_module.h"
#include "app/karo_main_form.h"
#include "skin/windows/manager/skin_manager.h"
#include "tests/app/karo_choices.h"
#include "tools/screenshot/screen_capture.h"

using karo_test::Choose;

namespace {

void Pump() {
  for (int i = 0; i < 10; i++) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

}  // namespace

int main() {
  if (ParamCount() < 2) {
    std::fprintf(stderr, "usage: karo_screenshots <program folder> <picture base>\n");
    return 2;
  }
  try {
    SetKaroProgramFolder(WideParamStr(1));
    const WideString base = WideParamStr(2);
    Application->Initialize();
    Application->CreateForm(K);
    Application->CreateForm(Karo_DataModule);
    K->Show();
    SetWindowPos(K->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(K->Handle());
    Pump();
    auto* pages = K->C<TPageControl>("PageControl");
    for (int i : {0, 1}) {
      pages->SetActivePageIndex(i);
      Pump();
      const std::string p(1, char('A' + i));
      Choose(K->C<TComboBox>(p + "_ComboBox1"), 0);
      Choose(K->C<TComboBox>(p + "_ComboBox3"), 1);
    }
    // Words and idioms that contain 春.
    pages->SetActivePageIndex(2);
    Pump();
    K->C<TEdit>("C_Edit1")->SetText(L"\u6625");
    Choose(K->C<TComboBox>("C_ComboBox1"), 1);
    bool ok = true;
    for (const wchar_t* skin : {L"Yellow", L"Azure", L"Blue", L"Gray"}) {
      if (!K->ApplySkin(skin)) throw Exception("No stored skin " + WideToAnsi(skin));
      // The switch at once rather than a timer's interval later.
      if (TSkinManage* manager = SkinManage()) manager->OnTimer();
      Pump();
      for (int i = 0; i < pages->PageCount(); i++) {
        pages->SetActivePageIndex(i);
        Pump();
        const WideString page(1, wchar_t(L'A' + i));
        ok = CaptureWindow(K->Handle(), base + L"-" + skin + L"-" + page + L".bmp", Pump) && ok;
      }
    }
    return ok ? 0 : 1;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 2;
  }
}
