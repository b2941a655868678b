// Soak: a thousand switches among Karo's four skins and two hundred skin/unskin cycles of a form
// with controls leave the process's GDI and USER object counts where they started (a handful
// allowed for caches made once), with no window procedure of ours left behind. Counted with the
// object census: GetGuiResources answers 0 under Wine.
#include <fstream>
#include <sstream>

#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "tests/skin/windows/manager/skin_test_env.h"
#include "tests/support/census_check.h"

using namespace skintest;

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class SkinSoak : public ManagerTest {};

TEST_F(SkinSoak, SwitchesAndCyclesLeaveTheObjectCountsWhereTheyStarted) {
  // Counting from before the first skin is made, so that what a load frees was counted when made.
  TObjectCensus first{};
  ASSERT_TRUE(TakeCensus(first));
  std::vector<std::string> files;
  for (const char* name : {"Yellow", "Azure", "Blue", "Gray"}) {
    files.push_back(ReadFile(std::string(KARO_NATIVE_SKINS_DIR) + "/" + name + ".skn"));
    ASSERT_FALSE(files.back().empty()) << name << ".skn is missing: build the native configuration first";
  }
  TSkinData* d = Data(sfMainform, nullptr, files[0]);
  auto* form = new TForm(Application);
  form->SetBounds(20, 20, 420, 300);
  Place<TButton>(form, 10, 10, 90, 26);
  Place<TEdit>(form, 10, 50, 150, 22);
  Place<TPanel>(form, 10, 90, 200, 100);
  form->Show();
  HWND w = form->Handle();
  const LONG_PTR original = GetWindowLongPtrW(w, GWLP_WNDPROC);
  Mgr->State = 1;
  auto act = [&](int action) {
    Mgr->Pending = d;
    Mgr->SetAction(action, 250);
    Tick();
  };
  auto loadSkin = [&](size_t i) {
    auto s = StreamOf(files[i % files.size()]);
    d->LoadFromStream(*s);
    Tick();
  };
  // The thousand switches with a plain window skinned (a class-library form's re-layout on each
  // switch costs Wine some 40 ms), then fifty-two with the form skinned too.
  HWND plain = Window(MakeWindow());
  act(saSkinAll);
  ASSERT_NE(Mgr->FindVeltForm(w), nullptr);
  Pump();
  for (size_t i = 0; i < 4; ++i) loadSkin(i);  // caches made once
  Pump();
  TObjectCensus start{};
  ASSERT_TRUE(TakeCensus(start));
  ASSERT_GT(start.Gdi + start.User, 0) << "the census counted nothing";
  act(saUnskinAll);
  Mgr->Enabled = true;
  ASSERT_TRUE(Mgr->AddForm(plain));
  Pump();
  for (size_t i = 0; i < 1000; ++i) {
    loadSkin(i);
    if (i % 50 == 0) Pump();
  }
  act(saSkinAll);
  Pump();
  for (size_t i = 0; i < 52; ++i) loadSkin(i);  // ends with the skin loaded at the start
  Pump();
  TObjectCensus switched{};
  ASSERT_TRUE(TakeCensus(switched));
  EXPECT_NEAR(switched.Gdi, start.Gdi, 8) << CensusDifference(start, switched);
  EXPECT_NEAR(switched.User, start.User, 8);
  for (int i = 0; i < 200; ++i) {
    act(saUnskinAll);
    act(saSkinAll);
    TVeltForm* f = Mgr->FindVeltForm(w);
    ASSERT_NE(f, nullptr);
    PumpUntil([&] { return f->SkinActiveSeen; });
  }
  act(saUnskinAll);
  Pump();
  TObjectCensus cycled{};
  ASSERT_TRUE(TakeCensus(cycled));
  EXPECT_NEAR(cycled.Gdi, start.Gdi, 8) << CensusDifference(start, cycled);
  EXPECT_NEAR(cycled.User, start.User, 8);
  EXPECT_NEAR(cycled.Windows, start.Windows, 2);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), original);
  form->Free();
}

}  // namespace
