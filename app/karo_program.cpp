// Karo's program block.
#include "app/karo_program.h"

#include "app/karo_data_module.h"
#include "app/karo_main_form.h"
#include "skin/windows/manager/skin_manager.h"

int KaroProgram() {
  // The skin manager's unit makes the manager that SkinData registers with; it is part of the
  // program only when something refers to it.
  (void)SkinManage();
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->SetTitle(L"");
  Application->CreateForm(K);
  Application->CreateForm(Karo_DataModule);
  if (KaroStartupProbe) KaroStartupProbe("data module");
  Application->Run();
  return 0;
}
