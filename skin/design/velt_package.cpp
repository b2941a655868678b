#include "skin/design/velt_package.h"

#include "skin/data/velt_data.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_manager.h"
#include "skin/windows/paint/draw_primitives.h"

namespace {
bool g_started = false;
}

void StartVeltPackage() {
  if (g_started) return;
  g_started = true;
  // In the order of the program's own start-up: VeltDlg (the manager's unit), VeltForm, VeltData.
  StartSkinManagerUnit();
  InitVeltForm();
  BindUser32Functions();
}

void FinishVeltPackage() {
  if (!g_started) return;
  g_started = false;
  FinalizeSkinManagerUnit();
  FinishFramePictures();
  FinishVeltForm();
}
