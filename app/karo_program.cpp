// Karo's program block.
#include "app/karo_program.h"

#include <windows.h>

#include "app/karo_data_module.h"
#include "app/karo_main_form.h"
#include "skin/windows/manager/skin_manager.h"

namespace {

void Tell(const WideString& text) {
  // The box must come even when the application object cannot give one.
  try {
    Application->MessageBox(text, L"Karo", MB_OK | MB_ICONSTOP);
  } catch (...) {
    MessageBoxW(nullptr, text.c_str(), L"Karo", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  }
}

WideString Sentence(const std::string& message) {
  WideString text = AnsiToWide(message);
  if (!text.empty() && text.back() != L'.') text += L'.';
  return text;
}

// The data module, made second, with its database open; the problem otherwise.
WideString CreateDataModule() {
  try {
    Application->CreateForm(Karo_DataModule);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    return KaroDatabaseOpenProblem(e);
  }
  return {};
}

}  // namespace

int KaroProgram() {
  try {
    // The skin manager's unit makes the manager that SkinData registers with; it is part of the
    // program only when something refers to it.
    (void)SkinManage();
    Application->Initialize();
    Application->SetMainFormOnTaskBar(true);
    Application->SetTitle(L"");
    Application->CreateForm(K);
    const WideString problem = CreateDataModule();
    if (!problem.empty()) {
      Tell(KaroDatabaseMessage(problem));
      return 2;
    }
    if (KaroStartupProbe) KaroStartupProbe("data module");
    Application->Run();
    return 0;
  } catch (const EAbort&) {
    // A halt that a test's seam recorded.
    return 0;
  } catch (const EOSError& e) {
    // The platform refused a window (or another object) the program needs.
    Tell(L"Karo cannot make its window: " + Sentence(e.Message()));
  } catch (const Exception& e) {
    Tell(L"Karo cannot go on: " + Sentence(e.Message()));
  } catch (const std::exception& e) {
    Tell(L"Karo cannot go on: " + Sentence(e.what()));
  } catch (...) {
    Tell(L"Karo cannot go on: an unknown error.");
  }
  return 1;
}
