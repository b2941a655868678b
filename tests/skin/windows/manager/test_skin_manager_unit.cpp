// The manager's module start-up and shut-down: the property name, the module's atom reference and
// the platform version are there before any hook; the shut-down frees the manager, which gives
// every window back before the hooks go, then clears the name and releases the atom reference.
#include <cstdio>

#include "classlib/controls/control_atom.h"
#include "tests/skin/windows/manager/skin_test_env.h"

using namespace skintest;

namespace {

TEST(SkinManagerUnit, StartUpSetsTheNameTheAtomAndTheVersion) {
  char expected[64];
#ifdef _WIN64
  std::snprintf(expected, sizeof expected, "ControlOfs%.16llX%.8lX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))),
                static_cast<unsigned long>(GetCurrentThreadId()));
#else
  std::snprintf(expected, sizeof expected, "ControlOfs%.8lX%.8lX",
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))),
                static_cast<unsigned long>(GetCurrentThreadId()));
#endif
  EXPECT_EQ(PropName, expected);
  EXPECT_EQ(myinstance, GetModuleHandleW(nullptr));
  ASSERT_NE(SkinControlAtom, 0);
  char name[80] = {};
  GlobalGetAtomNameA(SkinControlAtom, name, sizeof name);
  EXPECT_STREQ(name, expected);
  EXPECT_EQ(SkinControlAtom, ControlAtom);
  EXPECT_NE(RM_SkinObjectInstance, 0u);
  // Set at start-up, with no hook installed.
  EXPECT_EQ(WinVersion, GetVersion());
  EXPECT_TRUE(bool(SkinManagerFactory));
}

TEST(SkinManagerUnit, ShutDownGivesEveryWindowBackBeforeTheHooksGoAndReleasesTheName) {
  TTimer::SetManualTimers(true);
  ASSERT_EQ(SkinManager, nullptr);
  auto* data = new TSkinData(nullptr);
  auto s = StreamOf(SkinFile());
  data->LoadFromStream(*s);
  // Loaded makes the module's manager and hooks the thread.
  data->Loaded();
  TSkinManage* m = SkinManage();
  ASSERT_NE(m, nullptr);
  ASSERT_NE(m->CbtHook(), nullptr);
  HHOOK hook = m->CbtHook();
  m->Enabled = true;
  HWND w = MakeWindow();
  HWND a = MakeWindowA();
  // The hook takes both over as they are shown and activated.
  ASSERT_TRUE(PumpUntil([&] { return m->FindVeltForm(w) && m->FindVeltForm(a); }));
  PumpUntil([&] { return m->FindVeltForm(a)->SkinActiveSeen; });
  // The references on the atom, counted by taking them all away and then putting them back (the
  // registered message may hold some too): the module's shut-down must give back exactly its own.
  const std::string name = PropName;
  auto takeAll = [&] {
    int n = 0;
    while (GlobalFindAtomA(name.c_str()) && n < 100) {
      GlobalDeleteAtom(GlobalFindAtomA(name.c_str()));
      ++n;
    }
    return n;
  };
  const int before = takeAll();
  ASSERT_GE(before, 2);
  ATOM atom = 0;
  for (int i = 0; i < before; ++i) atom = GlobalAddAtomA(name.c_str());
  SkinControlAtom = atom;
  ControlAtom = atom;
  FinalizeSkinManagerUnit();
  EXPECT_EQ(SkinManager, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), LONG_PTR(&PlainProcW));
  EXPECT_EQ(GetWindowLongPtrA(a, GWLP_WNDPROC), LONG_PTR(&PlainProcA));
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  EXPECT_TRUE(PropName.empty());
  EXPECT_EQ(SkinControlAtom, 0);
  EXPECT_EQ(takeAll(), before - 1);
  ControlAtom = 0;
  InitControlAtom();
  delete data;
  DestroyWindow(w);
  DestroyWindow(a);
  TTimer::SetManualTimers(false);
}

}  // namespace
