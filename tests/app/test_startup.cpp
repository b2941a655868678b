// Karo's program block in order: the form file read with the skin already loaded, OnCreate, the
// data module, OnShow; then the message loop until the main form closes.
#include "tests/app/karo_fixture.h"

#include "app/karo_program.h"

using namespace karo_test;

TEST_F(KaroForm, StartsInTheProgramsOrder) {
  std::vector<std::string> steps;
  KaroStartupProbe = [&](const std::string& step) {
    steps.push_back(step);
    if (step == "data module") {
      EXPECT_TRUE(K && Karo_DataModule && Karo_DataModule->ADOConnection()->Connected());
    }
    // Shown: the queries are open; the window closes once the loop runs.
    if (step == "FormShow") PostMessageW(K->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(KaroProgram(), 0);
  KaroStartupProbe = nullptr;
  const std::vector<std::string> expected = {"form read", "FormCreate", "data module", "FormShow"};
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(Application->Title(), L"");
  EXPECT_TRUE(Application->MainFormOnTaskBar());
  EXPECT_TRUE(boxes.empty());
  // The close saved the pads.
  EXPECT_EQ(LoadScratchPad(ScratchPadPath(1)), L"");
  EXPECT_NE(GetFileAttributesW(ScratchPadPath(6).c_str()), INVALID_FILE_ATTRIBUTES);
}
