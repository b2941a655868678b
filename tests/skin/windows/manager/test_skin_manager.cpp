// The skin manager: the rules by which a window is taken over (one row per rule), the choice of a
// skin component per window, the queued actions through a manual timer, the delete operations, the
// per-thread hooks (the main one, an extra thread's and their removal) and the closing state.
#include <atomic>
#include <thread>

#include "tests/support/message_sequences.h"
#include "tests/skin/windows/manager/skin_test_env.h"

using namespace skintest;

namespace {

class SkinManager_ : public ManagerTest {};

// ---- AddForm refusals

struct TAddFormRow {
  const char* Name;
  bool Expected;
  // Prepares the manager (components, flags) and makes the window.
  std::function<HWND(SkinManager_&, TSkinManage&)> Make;
};

TEST_F(SkinManager_, AddFormTakesOverOrRefusesByEachRule) {
  auto plain = [](SkinManager_& t, TSkinManage&) {
    t.Data();
    return MakeWindow();
  };
  const TAddFormRow rows[] = {
      {"a plain window of this module", true, plain},
      {"manager switched off", false,
       [&](SkinManager_& t, TSkinManage& m) {
         HWND w = plain(t, m);
         m.Enabled = false;
         return w;
       }},
      {"window answers CN_IsSkinned", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"KaroSkinnedElsewhere");
       }},
      {"nested child window", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         HWND p = t.Window(MakeWindow());
         return MakeWindow(L"KaroSkinTestW", WS_CHILD | WS_VISIBLE, 100, 50, p);
       }},
      {"nested child window while walking", true,
       [](SkinManager_& t, TSkinManage& m) {
         t.Data();
         HWND p = t.Window(MakeWindow());
         m.Walking = true;
         return MakeWindow(L"KaroSkinTestW", WS_CHILD | WS_VISIBLE, 100, 50, p);
       }},
      {"window of another module", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"KaroForeignModule", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, nullptr,
                           GetModuleHandleW(L"kernel32.dll"));
       }},
      {"dialog of another module", true,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"#32770", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, nullptr,
                           GetModuleHandleW(L"kernel32.dll"));
       }},
      {"empty rectangle", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"KaroSkinTestW", WS_POPUP | WS_VISIBLE, 0, 0);
       }},
      {"class TApplication", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"TApplication");
       }},
      {"class containing TTERenderWindow", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"XTTERenderWindowX");
       }},
      {"class containing TcxPopupEditPopupWindow", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"TcxPopupEditPopupWindowZ");
       }},
      {"preview class without xoPreview", false,
       [](SkinManager_& t, TSkinManage&) {
         TSkinData* d = t.Data();
         d->SetOptions(TSkinOptions{});
         return MakeWindow(L"SomePreviewWindow");
       }},
      {"preview class with xoPreview", true,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"SomePreviewWindow");
       }},
      {"dialog with DS_SETFOREGROUND and a main-form component", false,
       [](SkinManager_& t, TSkinManage&) {
         t.Data();
         return MakeWindow(L"#32770", WS_OVERLAPPEDWINDOW | WS_VISIBLE | DS_SETFOREGROUND);
       }},
      {"dialog with DS_SETFOREGROUND and no main-form component", true,
       [](SkinManager_& t, TSkinManage&) {
         t.Data(sfDialog);
         return MakeWindow(L"#32770", WS_OVERLAPPEDWINDOW | WS_VISIBLE | DS_SETFOREGROUND);
       }},
      {"OnFormSkin refuses", false,
       [](SkinManager_& t, TSkinManage&) {
         TSkinData* d = t.Data();
         d->OnFormSkin = [](TObject*, const std::string&, bool& doSkin) { doSkin = false; };
         return MakeWindow();
       }},
      {"no component registered", false, [](SkinManager_&, TSkinManage&) { return MakeWindow(); }},
      {"component holds no skin", false,
       [](SkinManager_& t, TSkinManage& m) {
         TSkinData* d = t.Data(sfMainform, nullptr, SkinFile(), false);
         d->NoSkinLoaded = true;
         m.AddSkinData(d);
         return MakeWindow();
       }},
  };
  for (const TAddFormRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Mgr->Enabled = true;
    HWND w = Window(row.Make(*this, *Mgr));
    ASSERT_TRUE(IsWindow(w));
    EXPECT_EQ(Mgr->AddForm(w), row.Expected);
    EXPECT_EQ(Mgr->FindVeltForm(w) != nullptr, row.Expected);
    Mgr->Walking = false;
  }
}

TEST_F(SkinManager_, AFormTaggedNinetyNineIsNeverSkinnedWhateverDisableTag) {
  TSkinData* d = Data();
  d->SetDisableTag(5);
  auto* form = new TForm(Application);
  form->SetBounds(50, 50, 300, 200);
  form->SetTag(99);
  form->Show();
  Mgr->Enabled = true;
  EXPECT_FALSE(Mgr->AddForm(form->Handle()));
  form->SetTag(0);
  EXPECT_TRUE(Mgr->AddForm(form->Handle()));
  TVeltForm* f = Mgr->FindVeltForm(form->Handle());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Form, form);
  EXPECT_EQ(f->Owner(), form);
  form->Free();
  // The skinned window went with its form and left the list.
  EXPECT_EQ(Mgr->FormCount(), 0);
}

TEST_F(SkinManager_, AlreadyListedWindowIsRefused) {
  Data();
  HWND w = Window(MakeWindow());
  Mgr->Enabled = true;
  EXPECT_TRUE(Mgr->AddForm(w));
  EXPECT_FALSE(Mgr->AddForm(w));
  EXPECT_EQ(Mgr->FormCount(), 1);
}

// ---- FindSkindata

struct TFindRow {
  const char* Name;
  // Roles in registration order; 'M' main form, 'O' one-form owned by the window, 'o' one-form of
  // another form, 'D' dialog, 'L' library.
  const char* Roles;
  const wchar_t* Class;
  int Expected;  // index into Roles; -1 none
};

TEST_F(SkinManager_, FindSkindataKeepsTheLastMatchOfEachRole) {
  const TFindRow rows[] = {
      {"none registered", "", L"KaroSkinTestW", -1},
      {"only a library one: the first registered", "LL", L"KaroSkinTestW", 0},
      {"last main form", "MLM", L"KaroSkinTestW", 2},
      {"one-form of the window beats main", "MOMM", L"KaroSkinTestW", 1},
      {"last one-form of the window", "OMO", L"KaroSkinTestW", 2},
      {"one-form of another form does not count", "MoM", L"KaroSkinTestW", 2},
      {"dialog class takes the last dialog one", "DMDM", L"#32770", 2},
      {"dialog ones do not serve other classes", "DMD", L"KaroSkinTestW", 1},
      {"dialog class without dialog ones: main", "MLM", L"#32770", 2},
      {"one-form of the dialog beats dialog", "DOD", L"#32770", 1},
  };
  for (const TFindRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    HWND w = Window(MakeWindow(row.Class));
    // A class-library control on the window stands for its form; another for the other form.
    auto* mine = new TForm(Application);
    mine->SetBounds(0, 0, 100, 100);
    auto* other = new TForm(Application);
    other->SetBounds(0, 0, 100, 100);
    (void)mine->Handle();
    (void)other->Handle();
    std::vector<TSkinData*> made;
    for (const char* r = row.Roles; *r; ++r) {
      switch (*r) {
        case 'M':
          made.push_back(Data(sfMainform));
          break;
        case 'D':
          made.push_back(Data(sfDialog));
          break;
        case 'L':
          made.push_back(Data(sfDLL));
          break;
        case 'O':
        case 'o': {
          TSkinData* d = Data(sfOnlyThisForm, *r == 'O' ? static_cast<TComponent*>(mine) : other);
          made.push_back(d);
          break;
        }
        default:
          break;
      }
    }
    HWND target = w;
    if (std::string(row.Roles).find('O') != std::string::npos) {
      // The one-form components' owner is the window asked about; it keeps the row's class.
      target = mine->Handle();
      if (std::wstring(row.Class) == L"#32770") {
        // Only the class matters for the dialog rule; ask with the owner's window, whose class
        // is the form's: the one-form rule comes first either way.
      }
    }
    TSkinData* got = Mgr->FindSkindata(target);
    EXPECT_EQ(got, row.Expected < 0 ? nullptr : made[size_t(row.Expected)]);
    mine->Free();
    other->Free();
  }
}

// ---- Actions

TEST_F(SkinManager_, AnActionWhileIdleOnlySwitchesTheManager) {
  TSkinData* d = Data();
  int changed = 0;
  d->OnSkinChanged = [&](TObject*) { ++changed; };
  ASSERT_EQ(Mgr->State, 0);
  Mgr->Pending = d;
  Mgr->SetAction(saSkinAll, 250);
  EXPECT_TRUE(Mgr->Enabled);
  EXPECT_FALSE(TimerRunning());
  Mgr->SetAction(saUnskinAll, 250);
  EXPECT_FALSE(Mgr->Enabled);
  EXPECT_FALSE(TimerRunning());
  Tick();
  EXPECT_EQ(changed, 0);
}

TEST_F(SkinManager_, ActionOneSkinsEveryVisibleFormAndFiresOnSkinChanged) {
  TSkinData* d = Data();
  int changed = 0;
  d->OnSkinChanged = [&](TObject*) { ++changed; };
  auto* a = new TForm(Application);
  a->SetBounds(10, 10, 300, 200);
  a->Show();
  auto* b = new TForm(Application);
  b->SetBounds(30, 30, 300, 200);
  b->Show();
  auto* hidden = new TForm(Application);
  hidden->SetBounds(30, 30, 300, 200);
  (void)hidden->Handle();
  Mgr->State = 1;
  Mgr->Pending = d;
  Mgr->SetAction(saSkinAll, 250);
  EXPECT_TRUE(TimerRunning());
  EXPECT_EQ(Mgr->ActionTimer()->Interval(), 250u);
  Tick();
  EXPECT_FALSE(TimerRunning());
  EXPECT_NE(Mgr->FindVeltForm(a->Handle()), nullptr);
  EXPECT_NE(Mgr->FindVeltForm(b->Handle()), nullptr);
  EXPECT_EQ(Mgr->FindVeltForm(hidden->Handle()), nullptr);
  EXPECT_FALSE(Mgr->Walking);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(Mgr->Pending, nullptr);
  Pump();
  a->Free();
  b->Free();
  hidden->Free();
  EXPECT_EQ(Mgr->FormCount(), 0);
}

TEST_F(SkinManager_, ActionTwoUnskinsEveryWindowWhateverItsComponent) {
  TSkinData* main = Data();
  TSkinData* dialog = Data(sfDialog);
  HWND w1 = Window(MakeWindow());
  HWND w2 = Window(MakeWindow(L"#32770"));
  ASSERT_NE(Skin(w1), nullptr);
  TVeltForm* f2 = Skin(w2);
  ASSERT_NE(f2, nullptr);
  EXPECT_EQ(f2->SkinData, dialog);
  Mgr->State = 1;
  Mgr->Pending = main;
  Mgr->SetAction(saUnskinAll, 250);
  Tick();
  EXPECT_EQ(Mgr->FormCount(), 0);
  EXPECT_FALSE(Mgr->Enabled);
  EXPECT_EQ(GetWindowLongPtrW(w1, GWLP_WNDPROC), LONG_PTR(&PlainProcW));
}

TEST_F(SkinManager_, OneFormComponentSkinsAndUnskinsOnlyItsFormButSwitchesTheManagerOff) {
  Data();
  auto* mine = new TForm(Application);
  mine->SetBounds(10, 10, 300, 200);
  mine->Show();
  TSkinData* only = Data(sfOnlyThisForm, mine);
  auto* other = new TForm(Application);
  other->SetBounds(40, 40, 300, 200);
  other->Show();
  int changed = 0;
  only->OnSkinChanged = [&](TObject*) { ++changed; };
  Mgr->State = 1;
  Mgr->Pending = only;
  Mgr->SetAction(saSkinAll, 250);
  Tick();
  EXPECT_NE(Mgr->FindVeltForm(mine->Handle()), nullptr);
  EXPECT_EQ(Mgr->FindVeltForm(other->Handle()), nullptr);
  EXPECT_EQ(changed, 1);
  Pump();
  ASSERT_TRUE(Mgr->AddForm(other->Handle()));
  EXPECT_EQ(Mgr->FindVeltForm(other->Handle())->SkinData, Mgr->DefaultSkinData);
  Mgr->Pending = only;
  Mgr->SetAction(saUnskinAll, 250);
  Tick();
  EXPECT_EQ(Mgr->FindVeltForm(mine->Handle()), nullptr);
  EXPECT_NE(Mgr->FindVeltForm(other->Handle()), nullptr);
  EXPECT_EQ(changed, 2);
  // The whole manager is off: no window is taken over until an action 1.
  EXPECT_FALSE(Mgr->Enabled);
  HWND w = Window(MakeWindow());
  EXPECT_FALSE(Mgr->AddForm(w));
  Pump();
  other->Free();
  mine->Free();
}

TEST_F(SkinManager_, ActionThreeTakesTheNewSkinsBordersAndKeepsTheClientArea) {
  TSkinData* d = Data();
  TSkinData* other = Data(sfDialog);
  HWND w = Window(MakeWindow());
  HWND dlg = Window(MakeWindow(L"#32770"));
  TVeltForm* f = Skin(w);
  TVeltForm* g = Skin(dlg);
  ASSERT_NE(f, nullptr);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(f->Borders[0], 4);
  EXPECT_EQ(f->Borders[1], 24);
  RECT client{};
  GetClientRect(w, &client);
  int changed = 0;
  d->OnSkinChanged = [&](TObject*) { ++changed; };
  auto s = StreamOf(SkinFile(7, 30, 8, 9));
  d->LoadFromStream(*s);
  Mgr->State = 1;
  Mgr->Pending = d;
  Mgr->SetAction(saSkinChanged, 250);
  Tick();
  EXPECT_EQ(f->Borders[0], 7);
  EXPECT_EQ(f->Borders[1], 30);
  EXPECT_EQ(f->Borders[2], 8);
  EXPECT_EQ(f->Borders[3], 9);
  // The dialog's component did not change.
  EXPECT_EQ(g->Borders[0], 4);
  (void)other;
  EXPECT_EQ(changed, 1);
  Pump();
  RECT after{};
  GetClientRect(w, &after);
  EXPECT_EQ(Width(after), Width(client));
  EXPECT_EQ(Height(after), Height(client));
}

TEST_F(SkinManager_, AOneFormComponentsNewSkinReachesOnlyItsOwnForm) {
  Data();
  auto* mine = new TForm(Application);
  mine->SetBounds(10, 10, 300, 200);
  mine->Show();
  TSkinData* only = Data(sfOnlyThisForm, mine);
  HWND w = Window(MakeWindow());
  TVeltForm* other = Skin(w);
  ASSERT_NE(other, nullptr);
  Mgr->State = 1;
  Mgr->Pending = only;
  Mgr->SetAction(saSkinAll, 250);
  Tick();
  TVeltForm* f = Mgr->FindVeltForm(mine->Handle());
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->SkinData, only);
  EXPECT_TRUE(PumpUntil([&] { return f->SkinActiveSeen; }));
  int changed = 0;
  only->OnSkinChanged = [&](TObject*) { ++changed; };
  auto s = StreamOf(SkinFile(7, 30, 8, 9));
  only->LoadFromStream(*s);
  Mgr->Pending = only;
  Mgr->SetAction(saSkinChanged, 250);
  Tick();
  EXPECT_EQ(f->Borders[0], 7);
  EXPECT_EQ(f->Borders[1], 30);
  EXPECT_EQ(other->Borders[0], 4);
  EXPECT_EQ(other->Borders[1], 24);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(Mgr->Pending, nullptr);
  EXPECT_TRUE(Mgr->Enabled);
  Pump();
  mine->Free();
}

// Codes with nothing to do for the pending component's role: no window is touched and the manager
// stays on, but OnSkinChanged fires and nothing stays pending.
TEST_F(SkinManager_, AnActionWithNothingToDoOnlyFiresOnSkinChanged) {
  struct TRow {
    const char* Name;
    TSkinFormType Role;
    int Action;
  };
  const TRow rows[] = {
      {"action 7 of a one-form component", sfOnlyThisForm, saReskinWindow},
      {"an unknown action of a main-form component", sfMainform, 4},
      {"an unknown action of a one-form component", sfOnlyThisForm, 5},
      {"action 0", sfDialog, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    auto* owner = new TForm(Application);
    owner->SetBounds(10, 10, 300, 200);
    owner->Show();
    TSkinData* d = Data(row.Role, owner);
    HWND w = Window(MakeWindow());
    ASSERT_NE(Skin(w), nullptr);
    const size_t listed = Mgr->FormList().size();
    int changed = 0;
    d->OnSkinChanged = [&](TObject*) { ++changed; };
    Mgr->State = 1;
    Mgr->Pending = d;
    Mgr->ReskinWindow = w;
    Mgr->SetAction(row.Action, 250);
    Tick();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(Mgr->Pending, nullptr);
    EXPECT_TRUE(Mgr->Enabled);
    EXPECT_EQ(Mgr->FormList().size(), listed);
    TVeltForm* f = Mgr->FindVeltForm(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->LifeState, lsSkinned) << "the window was not taken over again";
    Pump();
    owner->Free();
    DestroyWindow(w);
    Pump();
  }
}

TEST_F(SkinManager_, ActionSevenForAnUnlistedWindowDoesNothingAndLeavesPending) {
  TSkinData* d = Data();
  TSkinData* later = Data(sfDialog);
  int changedD = 0, changedLater = 0;
  d->OnSkinChanged = [&](TObject*) { ++changedD; };
  later->OnSkinChanged = [&](TObject*) { ++changedLater; };
  HWND w = Window(MakeWindow());
  Mgr->State = 1;
  Mgr->Pending = d;
  Mgr->ReskinWindow = w;
  Mgr->SetAction(saReskinWindow, 250);
  Tick();
  EXPECT_EQ(Mgr->FormCount(), 0);
  EXPECT_EQ(Mgr->Pending, d);
  EXPECT_EQ(changedD, 0);
  // The next action's OnSkinChanged fires for the later pending component.
  Mgr->Pending = later;
  Mgr->SetAction(saDropDead, 250);
  Tick();
  EXPECT_EQ(changedLater, 1);
  EXPECT_EQ(changedD, 0);
}

TEST_F(SkinManager_, ActionSevenTakesAListedWindowOverAgain) {
  TSkinData* d = Data();
  HWND w = Window(MakeWindow());
  TVeltForm* before = Skin(w);
  ASSERT_NE(before, nullptr);
  Mgr->State = 1;
  Mgr->Pending = d;
  Mgr->ReskinWindow = w;
  Mgr->SetAction(saReskinWindow, 250);
  Tick();
  TVeltForm* after = Mgr->FindVeltForm(w);
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(Mgr->FormCount(), 1);
  EXPECT_EQ(after->LifeState, lsNew);
  EXPECT_TRUE(PumpUntil([&] { return after->SkinActiveSeen; }));
  EXPECT_EQ(after->LifeState, lsSkinned);
}

// ---- Dead windows and the delete operations

TEST_F(SkinManager_, AWindowDestroyedWhileListedIsMarkedDeadAndFreedByTheNextSweep) {
  TSkinData* d = Data();
  HWND w = MakeWindow();
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  DestroyWindow(w);
  // Recognised by the manager's own record, not freed at once.
  ASSERT_EQ(Mgr->FormCount(), 1);
  EXPECT_EQ(f->LifeState, lsDead);
  EXPECT_FALSE(f->Subclassed());
  Mgr->DeleteDeleted();
  EXPECT_EQ(Mgr->FormCount(), 0);
  // Action 6 does the same for every module.
  HWND w2 = MakeWindow();
  ASSERT_NE(Skin(w2), nullptr);
  DestroyWindow(w2);
  Mgr->State = 1;
  Mgr->Pending = d;
  Mgr->SetAction(saDropDead, 250);
  Tick();
  EXPECT_EQ(Mgr->FormCount(), 0);
}

TEST_F(SkinManager_, ManyRunningComponentsNeverMakeTheManagerBelieveItIsClosing) {
  Data();
  // Loads of components of other roles count the state up past 4.
  Mgr->State = 7;
  HWND w = MakeWindow();
  ASSERT_NE(Skin(w), nullptr);
  DestroyWindow(w);
  Mgr->DeleteDeleted();
  EXPECT_EQ(Mgr->FormCount(), 0);
  EXPECT_FALSE(Mgr->Closing());
}

TEST_F(SkinManager_, DeleteAllFormsGivesEveryWindowItsProcedureBackAndSwitchesOff) {
  Data();
  HWND w = Window(MakeWindow());
  HWND a = Window(MakeWindowA());
  ASSERT_NE(Skin(w), nullptr);
  ASSERT_NE(Skin(a), nullptr);
  Mgr->DeleteAllForms();
  EXPECT_EQ(Mgr->FormCount(), 0);
  EXPECT_FALSE(Mgr->Enabled);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), LONG_PTR(&PlainProcW));
  EXPECT_EQ(GetWindowLongPtrA(a, GWLP_WNDPROC), LONG_PTR(&PlainProcA));
}

TEST_F(SkinManager_, RemovingTheDefaultComponentLeavesNoDanglingDefault) {
  TSkinData* d = Data();
  EXPECT_EQ(Mgr->DefaultSkinData, d);
  Mgr->RemoveSkinData(d);
  EXPECT_EQ(Mgr->DefaultSkinData, nullptr);
  HWND w = Window(MakeWindow(L"#32770", WS_OVERLAPPEDWINDOW | WS_VISIBLE | DS_SETFOREGROUND));
  Mgr->Enabled = true;
  EXPECT_TRUE(Mgr->OnBeforeSkin(w, "#32770"));
}

// ---- Hooks

TEST_F(SkinManager_, TheMainHookSkinsAnActivatedWindowAndStartsTheManager) {
  Data();
  Mgr->Enabled = true;
  Mgr->InstallHook();
  ASSERT_NE(Mgr->CbtHook(), nullptr);
  EXPECT_EQ(Mgr->HookThread(), GetCurrentThreadId());
  EXPECT_EQ(Mgr->State, 0);
  HWND w = Window(MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW));
  // The activation (seen by a hook set after the manager's, so called first), then the manager's
  // question and, once CN_SkinActive has been handled, the skinned window's notice.
  TMessageLog log({CN_IsSkinned, CN_SkinNotify});
  TWindowRecorder rec(w, log);
  {
    TCbtRecorder hooks(log, {HCBT_ACTIVATE}, {L"KaroSkinTestW"});
    ShowWindow(w, SW_SHOW);
    SetActiveWindow(w);
  }
  EXPECT_TRUE(PumpUntil([&] { return Mgr->FindVeltForm(w) && Mgr->FindVeltForm(w)->SkinActiveSeen; }));
  EXPECT_GE(Mgr->State, 1);
  EXPECT_TRUE(SequenceIs(log, TMsgSequence{{HCBT_ACTIVATE, hook}, {CN_IsSkinned, sent}} + seq::kSkinNoticeSent));
  // Gone while the recorder under the skinned window's procedure still exists.
  DestroyWindow(w);
}

TEST_F(SkinManager_, InstallThreadForTheHookedThreadDoesNotHookItTwice) {
  Mgr->InstallHook();
  HHOOK h = Mgr->CbtHook();
  Mgr->InstallHook();
  EXPECT_EQ(Mgr->CbtHook(), h);
  Mgr->InstallThread(GetCurrentThreadId());
  EXPECT_TRUE(Mgr->Threads().empty());
}

TEST_F(SkinManager_, EveryHookIsRemovedWhenTheManagerGoes) {
  Mgr->InstallHook();
  HHOOK main = Mgr->CbtHook();
  std::atomic<DWORD> tid{0};
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread t([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
    tid = GetCurrentThreadId();
    SetEvent(ready);
    WaitForSingleObject(quit, 5000);
  });
  WaitForSingleObject(ready, 5000);
  Mgr->InstallThread(tid);
  ASSERT_EQ(Mgr->Threads().size(), 1u);
  HHOOK extra = Mgr->Threads()[0].Hook;
  delete Mgr;
  Mgr = new TSkinManage(false);
  SkinManager = Mgr;
  // Both handles are gone: unhooking them again fails.
  EXPECT_FALSE(UnhookWindowsHookEx(main));
  EXPECT_FALSE(UnhookWindowsHookEx(extra));
  SetEvent(quit);
  t.join();
  CloseHandle(ready);
  CloseHandle(quit);
}

// A thread hooked and unhooked again: a window it shows before is skinned, one it shows after is
// left alone, and the hook itself is gone (not merely forgotten by the manager).
TEST_F(SkinManager_, AfterUnInstallThreadANewWindowOnThatThreadIsNotSkinned) {
  Data();
  Mgr->Enabled = true;
  Mgr->State = 1;
  std::atomic<DWORD> tid{0};
  std::atomic<int> asked{0}, shown{0};
  std::atomic<HWND> windows[2] = {nullptr, nullptr};
  std::atomic<LONG_PTR> procs[2] = {0, 0};
  std::thread t([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
    tid = GetCurrentThreadId();
    for (int i = 0; i < 2; ++i) {
      while (asked.load() <= i) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      HWND w = MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW);
      procs[i] = GetWindowLongPtrW(w, GWLP_WNDPROC);
      ShowWindow(w, SW_SHOW);
      // The hook takes a window over inside its activation.
      SetActiveWindow(w);
      ::Pump();
      windows[i] = w;
      shown = i + 1;
    }
    while (asked.load() < 3) {
      ::Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    for (auto& w : windows) DestroyWindow(w.load());
  });
  while (!tid.load()) Sleep(1);
  Mgr->InstallThread(tid);
  ASSERT_EQ(Mgr->Threads().size(), 1u);
  const HHOOK hook = Mgr->Threads()[0].Hook;
  asked = 1;
  EXPECT_TRUE(PumpUntil([&] { return shown.load() == 1; }));
  EXPECT_NE(Mgr->FindVeltForm(windows[0].load()), nullptr);
  Mgr->UnInstallThread(tid);
  EXPECT_TRUE(Mgr->Threads().empty());
  asked = 2;
  EXPECT_TRUE(PumpUntil([&] { return shown.load() == 2; }));
  HWND later = windows[1].load();
  EXPECT_EQ(Mgr->FindVeltForm(later), nullptr);
  EXPECT_EQ(GetPropW(later, L"KaroSkinForm"), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(later, GWLP_WNDPROC), procs[1].load());
  // Unhooking it again fails: the manager took it off the thread.
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  // The first window is given back before its thread destroys it.
  Mgr->Pending = Mgr->DefaultSkinData;
  Mgr->SetAction(saUnskinAll, 250);
  Tick();
  asked = 3;
  t.join();
}

// A second GUI thread: its own hook skins its window; a size grip under a listed window is refused,
// a plain scroll bar is not; the older hook further down the chain still sees every event.
namespace thread2 {
std::atomic<int> olderHookCalls{0};
LRESULT CALLBACK OlderHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) ++olderHookCalls;
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace thread2

TEST_F(SkinManager_, AnExtraThreadsHookSkinsItsWindowsAndRefusesOnlySizeGrips) {
  TSkinData* d = Data();
  Mgr->Enabled = true;
  Mgr->State = 1;
  std::atomic<DWORD> tid{0};
  std::atomic<HWND> wnd{nullptr};
  std::atomic<bool> grip{true}, bar{false}, gripMain{false};
  std::atomic<int> step{0};
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const std::vector<UINT> watch = {CN_IsSkinned, CN_SkinActive, CN_SkinNotify, WM_WINDOWPOSCHANGING,
                                   WM_WINDOWPOSCHANGED, WM_NCCALCSIZE, WM_SIZE, WM_MOVE};
  TMessageLog takeOver(watch), givenBack(watch);
  std::atomic<LONG_PTR> procBefore{0};
  std::thread t([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
    HHOOK older = SetWindowsHookExW(WH_CBT, thread2::OlderHook, nullptr, GetCurrentThreadId());
    tid = GetCurrentThreadId();
    SetEvent(ready);
    while (step.load() < 1) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    HWND w = MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW);
    TMessageLog log(watch);
    TWindowRecorder rec(w, log);
    procBefore = GetWindowLongPtrW(w, GWLP_WNDPROC);
    wnd = w;
    ShowWindow(w, SW_SHOW);
    SetActiveWindow(w);
    for (int i = 0; i < 400 && step.load() < 2; ++i) {
      ::Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    takeOver.Messages = log.Messages;
    log.Clear();
    grip = CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 0, 0, 16, 16, w, nullptr,
                           GetModuleHandleW(nullptr), nullptr) != nullptr;
    bar = CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 20, 100, 16, w, nullptr,
                          GetModuleHandleW(nullptr), nullptr) != nullptr;
    step = 3;
    // Stay responsive while the manager's thread gives the window back.
    for (int i = 0; i < 400 && step.load() < 4; ++i) {
      ::Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    givenBack.Messages = log.Messages;
    rec.Detach();
    DestroyWindow(w);
    UnhookWindowsHookEx(older);
  });
  WaitForSingleObject(ready, 5000);
  Mgr->InstallThread(tid);
  ASSERT_EQ(Mgr->Threads().size(), 1u);
  thread2::olderHookCalls = 0;
  step = 1;
  EXPECT_TRUE(PumpUntil([&] {
    TVeltForm* f = wnd.load() ? Mgr->FindVeltForm(wnd.load()) : nullptr;
    return f && f->SkinActiveSeen;
  }));
  step = 2;
  EXPECT_TRUE(PumpUntil([&] { return step.load() == 3; }));
  EXPECT_FALSE(grip.load());
  EXPECT_TRUE(bar.load());
  EXPECT_GE(thread2::olderHookCalls.load(), 2);
  // Actions run on the manager's thread and reach the other thread's window.
  Mgr->Pending = d;
  Mgr->SetAction(saUnskinAll, 250);
  Tick();
  EXPECT_EQ(Mgr->FormCount(), 0);
  EXPECT_EQ(GetWindowLongPtrW(wnd.load(), GWLP_WNDPROC), procBefore.load());
  step = 4;
  t.join();
  CloseHandle(ready);
  // What the other thread's saved procedure saw: asked at activation, resized around the same
  // client area when CN_SkinActive arrived on its own thread, given back from the manager's.
  EXPECT_TRUE(SequenceIs(takeOver, TMsgSequence{
                                       // Shown: activated (the hook asks) inside the showing.
                                       {WM_WINDOWPOSCHANGING, sent},
                                       {CN_IsSkinned, sent},
                                       {WM_WINDOWPOSCHANGED, sent},
                                       {WM_SIZE, sent},
                                       {WM_MOVE, sent},
                                   } + seq::kSkinTakesOver));  // around the same client area
  EXPECT_TRUE(SequenceIs(givenBack, seq::kSkinGivenBack));
  // On the manager's own thread a size grip under a listed window is made.
  (void)gripMain;
  Mgr->Enabled = true;
  HWND w = Window(MakeWindow());
  ASSERT_NE(Skin(w), nullptr);
  Mgr->InstallHook();
  EXPECT_NE(CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 0, 0, 16, 16, w, nullptr,
                            GetModuleHandleW(nullptr), nullptr),
            nullptr);
}

// ---- SetMDIMax

TEST_F(SkinManager_, SetMDIMaxActsOnlyOnAChange) {
  Data();
  EXPECT_FALSE(Mgr->MDIMaximized);
  Mgr->SetMDIMax(false);
  EXPECT_FALSE(Mgr->MDIMaximized);
  Mgr->SetMDIMax(true);
  EXPECT_TRUE(Mgr->MDIMaximized);
  Mgr->SetMDIMax(false);
  EXPECT_FALSE(Mgr->MDIMaximized);
}

}  // namespace

namespace {

// ---- A library module's manager

TEST_F(SkinManager_, ALibraryModulesManagerSharesTheHostsListsAndFollowsItsActions) {
  TSkinData* d = Data();
  TSkinManage sub(true);
  sub.AssignData(Mgr);
  EXPECT_EQ(sub.HostManager, Mgr);
  EXPECT_EQ(sub.DefaultSkinData, d);
  EXPECT_EQ(sub.State, 1);
  EXPECT_EQ(sub.SkinDataList().size(), 1u);
  HWND w = Window(MakeWindow());
  ASSERT_NE(Skin(w), nullptr);
  EXPECT_NE(sub.FindVeltForm(w), nullptr);
  // The host's skin-all reaches the sub-manager, which queues its own at 300 ms.
  Mgr->State = 1;
  Mgr->Pending = d;
  sub.Enabled = false;
  Mgr->SetAction(saSkinAll, 250);
  EXPECT_TRUE(sub.Enabled);
  EXPECT_EQ(sub.Pending, d);
  EXPECT_EQ(sub.ActionTimer()->Interval(), 300u);
  Mgr->SetAction(saUnskinAll, 250);
  EXPECT_FALSE(sub.Enabled);
  // A detached manager shares nothing and counts as closing.
  Mgr->DeleteAllSub();
  EXPECT_EQ(sub.HostManager, nullptr);
  EXPECT_TRUE(sub.Closing());
  EXPECT_EQ(sub.FindVeltForm(w), nullptr);
  EXPECT_EQ(Mgr->FindVeltForm(w) != nullptr, true);
}

}  // namespace
