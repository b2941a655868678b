// Karo's program block.
#include "app/karo_program.h"

#include "app/karo_data_module.h"
#include "app/karo_main_form.h"

int KaroProgram() {
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->SetTitle(L"");
  Application->CreateForm(K);
  Application->CreateForm(Karo_DataModule);
  if (KaroStartupProbe) KaroStartupProbe("data module");
  Application->Run();
  return 0;
}
