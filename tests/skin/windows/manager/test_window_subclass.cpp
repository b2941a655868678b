// The rules of the one subclass primitive every taken-over window goes through: install and call
// through in the window's own character set, give back while current, leave a forwarding record
// under a procedure put over ours (another program's), the property gone by the end of
// WM_NCDESTROY, and no exception out of the window procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "skin/windows/core/window_subclass.h"
#include "tests/support/window_class.h"

namespace {

constexpr UINT kPing = WM_APP + 1;      // the window's own procedure answers 41
constexpr UINT kThrow = WM_APP + 2;     // the owner's handling throws; the window answers 5
constexpr UINT kFreeSelf = WM_APP + 3;  // the owner frees itself while handling it
const wchar_t kProp[] = L"KaroTestSubclass";

// What the window's own procedure and the owners saw, in order.
std::vector<std::string> g_log;

// The window's own answers to the tests' messages.
bool BaseAnswers(UINT m, LRESULT& r) {
  if (m == kThrow) {
    r = 5;
    return true;
  }
  if (m != kPing) return false;
  g_log.push_back("base");
  r = 41;
  return true;
}

LRESULT CALLBACK BaseProcW(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  LRESULT r = 0;
  return BaseAnswers(m, r) ? r : DefWindowProcW(w, m, wp, lp);
}

LRESULT CALLBACK BaseProcA(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  LRESULT r = 0;
  return BaseAnswers(m, r) ? r : DefWindowProcA(w, m, wp, lp);
}

struct TOwner {
  std::string Name;
  TWindowSubclass Sub;
};

// Passes every message on and adds one to the answer of kPing, so the tests see who ran.
LRESULT OwnerMessage(void* owner, HWND, UINT m, WPARAM wp, LPARAM lp) {
  auto* o = static_cast<TOwner*>(owner);
  if (m == kThrow) throw Exception("thrown by the owner");
  if (m == kFreeSelf) {
    delete o;
    return 7;
  }
  if (m != kPing) return o->Sub.CallSaved(m, wp, lp);
  g_log.push_back(o->Name);
  return o->Sub.CallSaved(m, wp, lp) + 1;
}

// A watcher: runs after the window's own procedure; its result is ignored.
LRESULT WatcherMessage(void* owner, HWND, UINT m, WPARAM, LPARAM) {
  auto* o = static_cast<TOwner*>(owner);
  if (m == kThrow) throw Exception("thrown by the watcher");
  if (m == kPing) g_log.push_back(o->Name);
  return 99;
}

LRESULT CALLBACK TestProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK AnsiProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK WatchProc(HWND, UINT, WPARAM, LPARAM);
const TSubclassKind kKind{kProp, &TestProc, &OwnerMessage};
const TSubclassKind kAnsiKind{kProp, &AnsiProc, &OwnerMessage, true};
const TSubclassKind kWatchKind{kProp, &WatchProc, &WatcherMessage, false, true};
LRESULT CALLBACK TestProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SubclassWindowProc(kKind, w, m, wp, lp); }
LRESULT CALLBACK AnsiProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SubclassWindowProc(kAnsiKind, w, m, wp, lp); }
LRESULT CALLBACK WatchProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SubclassWindowProc(kWatchKind, w, m, wp, lp); }

// Another program's procedure put over ours; at WM_NCDESTROY it notes whether our property was
// still on the window after everything below it had run.
WNDPROC g_under = nullptr;
int g_foreignPings = 0;
bool g_propAfterNcDestroy = true;
LRESULT CALLBACK ForeignProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == kPing) ++g_foreignPings;
  const LRESULT r = CallWindowProcW(g_under, w, m, wp, lp);
  if (m == WM_NCDESTROY) g_propAfterNcDestroy = GetPropW(w, kProp) != nullptr;
  return r;
}

WNDPROC PutForeignOver(HWND w) {
  g_under = WNDPROC(SetWindowLongPtrW(w, GWLP_WNDPROC, LONG_PTR(&ForeignProc)));
  return g_under;
}

class WindowSubclass : public ::testing::Test {
protected:
  void SetUp() override {
    g_log.clear();
    g_foreignPings = 0;
    g_propAfterNcDestroy = true;
    RegisterWindowClass(L"KaroSubclassTestW", &BaseProcW, {.Background = kNoBackground});
    RegisterWindowClass("KaroSubclassTestA", &BaseProcA, {.Background = kNoBackground});
  }
  void TearDown() override {
    for (HWND w : windows_)
      if (IsWindow(w)) DestroyWindow(w);
    Application->OnException = nullptr;
  }
  HWND Make(bool unicode) {
    HWND w = unicode ? CreateWindowW(L"KaroSubclassTestW", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr)
                     : CreateWindowA("KaroSubclassTestA", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(w, nullptr);
    windows_.push_back(w);
    return w;
  }
  std::vector<HWND> windows_;
};

WNDPROC ProcOf(HWND w, bool unicode) {
  return WNDPROC(unicode ? GetWindowLongPtrW(w, GWLP_WNDPROC) : GetWindowLongPtrA(w, GWLP_WNDPROC));
}

TEST_F(WindowSubclass, InstallsThroughTheWindowsOwnPairAndCallsThrough) {
  struct TCase {
    const char* Name;
    bool UnicodeWindow;
    const TSubclassKind* Kind;
    bool UnicodePair;  // the pair the procedure is installed and called through
  } cases[] = {
      {"wide window", true, &kKind, true},
      {"ANSI window", false, &kKind, false},
      {"wide window, always ANSI", true, &kAnsiKind, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    g_log.clear();
    HWND w = Make(c.UnicodeWindow);
    const WNDPROC base = ProcOf(w, c.UnicodePair);
    TOwner o{"owner", {}};
    ASSERT_TRUE(o.Sub.Install(*c.Kind, w, &o));
    EXPECT_TRUE(o.Sub.Installed());
    EXPECT_TRUE(o.Sub.Current());
    EXPECT_EQ(o.Sub.Window(), w);
    EXPECT_EQ(ProcOf(w, c.UnicodePair), c.Kind->Proc);
    EXPECT_EQ(o.Sub.Saved().Proc, base);
    EXPECT_EQ(o.Sub.Saved().Unicode, c.UnicodePair);
    EXPECT_NE(GetPropW(w, kProp), nullptr);
    EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 42);
    EXPECT_EQ(g_log, (std::vector<std::string>{"owner", "base"}));
    // A second install, by the same hold or another owner of the kind, changes nothing.
    TOwner other{"other", {}};
    EXPECT_FALSE(o.Sub.Install(*c.Kind, w, &o));
    EXPECT_FALSE(other.Sub.Install(*c.Kind, w, &other));
    EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 42);
    o.Sub.Restore();
  }
}

TEST_F(WindowSubclass, AWideWindowKeepsItsChineseText) {
  HWND w = Make(true);
  TOwner o{"owner", {}};
  ASSERT_TRUE(o.Sub.Install(kKind, w, &o));
  const std::wstring text = L"\u6625\u98ce \u2460";
  SetWindowTextW(w, text.c_str());
  wchar_t back[32] = {};
  GetWindowTextW(w, back, 32);
  EXPECT_EQ(std::wstring(back), text);
}

TEST_F(WindowSubclass, RestoreWhileCurrentGivesTheProcedureBackAndTakesThePropertyOff) {
  for (bool unicode : {true, false}) {
    SCOPED_TRACE(unicode ? "wide" : "ANSI");
    g_log.clear();
    HWND w = Make(unicode);
    const WNDPROC base = ProcOf(w, unicode);
    TOwner o{"owner", {}};
    ASSERT_TRUE(o.Sub.Install(kKind, w, &o));
    o.Sub.Restore();
    EXPECT_FALSE(o.Sub.Installed());
    EXPECT_EQ(ProcOf(w, unicode), base);
    EXPECT_EQ(GetPropW(w, kProp), nullptr);
    EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
    EXPECT_EQ(g_log, (std::vector<std::string>{"base"}));
    o.Sub.Restore();  // harmless a second time
    // Taken over again afterwards, as a skin switch does.
    ASSERT_TRUE(o.Sub.Install(kKind, w, &o));
    EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 42);
  }
}

TEST_F(WindowSubclass, UnderAnotherProcedureRestoreLeavesAForwardingRecordUntilTheWindowGoes) {
  HWND w = Make(true);
  auto* o = new TOwner{"owner", {}};
  ASSERT_TRUE(o->Sub.Install(kKind, w, o));
  PutForeignOver(w);
  EXPECT_FALSE(o->Sub.Current());
  // The owner goes (its hold restores): ours must stay in the chain and pass everything on.
  delete o;
  EXPECT_EQ(ProcOf(w, true), &ForeignProc);
  EXPECT_NE(GetPropW(w, kProp), nullptr);
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
  EXPECT_EQ(g_foreignPings, 1);
  EXPECT_EQ(g_log, (std::vector<std::string>{"base"}));

  // A new owner takes the forwarding record over instead of putting ours in the chain twice,
  // which would call itself for ever.
  g_log.clear();
  TOwner again{"again", {}};
  ASSERT_TRUE(again.Sub.Install(kKind, w, &again));
  EXPECT_EQ(ProcOf(w, true), &ForeignProc);
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 42);
  EXPECT_EQ(g_log, (std::vector<std::string>{"again", "base"}));
  again.Sub.Restore();
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);

  // Destroyed with the forwarding record: both procedures see the end, the property is gone.
  DestroyWindow(w);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(g_propAfterNcDestroy);
}

TEST_F(WindowSubclass, TheWindowGoingWhileHeldEmptiesTheHoldAndTakesThePropertyOff) {
  struct TCase {
    const char* Name;
    const TSubclassKind* Kind;
    bool Foreign;  // another procedure over ours
  } cases[] = {
      {"current", &kKind, false},
      {"under another procedure", &kKind, true},
      {"watcher under another procedure", &kWatchKind, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    g_propAfterNcDestroy = true;
    HWND w = Make(true);
    TOwner o{"owner", {}};
    ASSERT_TRUE(o.Sub.Install(*c.Kind, w, &o));
    if (c.Foreign) PutForeignOver(w);
    DestroyWindow(w);
    EXPECT_FALSE(o.Sub.Installed());
    EXPECT_EQ(o.Sub.Window(), nullptr);
    if (c.Foreign) {
      EXPECT_FALSE(g_propAfterNcDestroy);
    }
    o.Sub.Restore();  // nothing left to give back
  }
}

TEST_F(WindowSubclass, AWatcherRunsAfterTheWindowsProcedureWhoseResultStands) {
  HWND w = Make(true);
  TOwner o{"watcher", {}};
  ASSERT_TRUE(o.Sub.Install(kWatchKind, w, &o));
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
  EXPECT_EQ(g_log, (std::vector<std::string>{"base", "watcher"}));
}

TEST_F(WindowSubclass, AnExceptionReachesTheApplicationsHandlerAndNotTheCaller) {
  std::vector<std::string> seen;
  Application->OnException = [&seen](TObject*, const Exception& e) { seen.push_back(e.what()); };
  HWND w = Make(true);
  TOwner o{"owner", {}};
  ASSERT_TRUE(o.Sub.Install(kKind, w, &o));
  EXPECT_EQ(SendMessageW(w, kThrow, 0, 0), 0);
  o.Sub.Restore();
  // A watcher's exception: the window's own answer stands.
  TOwner watcher{"watcher", {}};
  ASSERT_TRUE(watcher.Sub.Install(kWatchKind, w, &watcher));
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
  EXPECT_EQ(SendMessageW(w, kThrow, 0, 0), 5);
  EXPECT_EQ(seen, (std::vector<std::string>{"thrown by the owner", "thrown by the watcher"}));
  // The window keeps working.
  EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
}

TEST_F(WindowSubclass, AnOwnerFreedWhileHandlingAMessageLeavesNothingBehind) {
  for (bool foreign : {false, true}) {
    SCOPED_TRACE(foreign ? "under another procedure" : "current");
    g_log.clear();
    HWND w = Make(true);
    auto* o = new TOwner{"owner", {}};
    ASSERT_TRUE(o->Sub.Install(kKind, w, o));
    if (foreign) PutForeignOver(w);
    EXPECT_EQ(SendMessageW(w, kFreeSelf, 0, 0), 7);
    EXPECT_EQ(ProcOf(w, true), foreign ? &ForeignProc : &BaseProcW);
    EXPECT_EQ(SendMessageW(w, kPing, 0, 0), 41);
    EXPECT_EQ(g_log, (std::vector<std::string>{"base"}));
    DestroyWindow(w);
  }
}

}  // namespace
