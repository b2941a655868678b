// The skinned window's life cycle: taking windows of each kind over and giving them back (procedure,
// styles, menu, region and outer size restored; the client area never changes size), the messages
// the saved procedure sees meanwhile, Unicode and ANSI windows, dialog widening, the region's owner,
// MDI parents and children, a real message box, the system menu and the control-skin list.

#include <algorithm>
#include <atomic>

#include "tests/support/message_sequences.h"
#include "tests/skin/windows/manager/skin_test_env.h"

using namespace skintest;

namespace {

class VeltForm_ : public ManagerTest {};

// ---- Taking over and giving back, one row per kind of window

struct TKindRow {
  const char* Name;
  std::function<HWND(VeltForm_&)> Make;
  bool Dialog;
};

HMENU MakeMenu() {
  HMENU m = CreateMenu();
  AppendMenuW(m, MF_STRING, 100, L"&File");
  AppendMenuW(m, MF_STRING, 101, L"&Edit");
  return m;
}

TEST_F(VeltForm_, TakingOverKeepsTheClientAreaAndGivingBackRestoresEverything) {
  const TKindRow rows[] = {
      {"Unicode window with a menu",
       [](VeltForm_&) {
         return MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 220, nullptr, nullptr, L"W",
                           0, MakeMenu());
       },
       false},
      {"ANSI window", [](VeltForm_&) { return MakeWindowA(); }, false},
      {"fixed frame", [](VeltForm_&) { return MakeWindow(L"KaroSkinTestW", WS_CAPTION | WS_SYSMENU | WS_VISIBLE); },
       false},
      {"dialog", [](VeltForm_&) { return MakeWindow(L"#32770", WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE); },
       true},
  };
  for (const TKindRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Data();
    HWND w = Window(row.Make(*this));
    const TWindowShape before = ShapeOf(w);
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->LifeState, lsSkinned);
    EXPECT_EQ(f->Dialog, row.Dialog);
    const TWindowShape skinned = ShapeOf(w);
    EXPECT_NE(skinned.Proc, before.Proc);
    EXPECT_EQ(Width(skinned.Client), Width(before.Client));
    EXPECT_EQ(Height(skinned.Client), Height(before.Client));
    // The frame is the skin's: 4, 24, 5 and 6.
    EXPECT_EQ(Width(skinned.Window), Width(before.Client) + 4 + 5);
    // A menu is painted in a row of its own under the title bar.
    EXPECT_EQ(Height(skinned.Window), Height(before.Client) + 24 + 6 + f->MenuHeight);
    EXPECT_TRUE(skinned.HasRegion);
    UnskinAll();
    const TWindowShape after = ShapeOf(w);
    EXPECT_EQ(after.Proc, before.Proc);
    EXPECT_EQ(after.Style, before.Style);
    EXPECT_EQ(after.ExStyle, before.ExStyle);
    EXPECT_EQ(after.Menu, before.Menu);
    EXPECT_FALSE(after.HasRegion);
    EXPECT_EQ(Width(after.Window), Width(before.Window));
    EXPECT_EQ(Height(after.Window), Height(before.Window));
    EXPECT_EQ(Width(after.Client), Width(before.Client));
    EXPECT_EQ(Height(after.Client), Height(before.Client));
  }
}

TEST_F(VeltForm_, AClassLibraryFormGetsItsWindowProcAndColourReplacedAndBack) {
  TSkinData* d = Data();
  auto* form = new TForm(Application);
  form->SetBounds(20, 20, 360, 240);
  form->Show();
  HWND w = form->Handle();
  const TWindowShape before = ShapeOf(w);
  const TWndMethod savedProc = form->WindowProc();
  const TColor colour = form->Color();
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Form, form);
  EXPECT_TRUE(f->FormProcReplaced());
  EXPECT_FALSE(form->WindowProc() == savedProc);
  EXPECT_EQ(form->Color(), d->Colors[csButtonFace]);
  EXPECT_EQ(form->ClientWidth(), Width(before.Client));
  EXPECT_EQ(form->ClientHeight(), Height(before.Client));
  // CN_SkinChange reaches the skinned window through the form's WindowProc and is not passed on.
  SendMessageW(w, CN_SkinChange, 0, 0);
  EXPECT_EQ(f->LifeState, lsSkinned);
  UnskinAll();
  EXPECT_TRUE(form->WindowProc() == savedProc);
  EXPECT_EQ(form->Color(), colour);
  const TWindowShape after = ShapeOf(w);
  EXPECT_EQ(after.Proc, before.Proc);
  EXPECT_EQ(Width(after.Window), Width(before.Window));
  EXPECT_EQ(Height(after.Window), Height(before.Window));
  form->Free();
}

// A form nested in a skinned window carries a spy bound to the outer window's TVeltForm, which
// forgets it when the outer window is given back.
TEST_F(VeltForm_, ANestedFormCarriesASpyOfTheOuterWindowUntilItIsGivenBack) {
  TSkinData* d = Data();
  auto* outer = new TForm(Application);
  outer->SetBounds(20, 20, 360, 240);
  outer->Show();
  TVeltForm* f = Skin(outer->Handle());
  ASSERT_NE(f, nullptr);
  auto* nested = new TForm(outer);
  d->AddNestForm(outer, nested);
  TVeltSpy* spy = nullptr;
  for (int i = 0; i < nested->ComponentCount(); ++i)
    if (auto* s = dyn<TVeltSpy>(nested->Components(i))) spy = s;
  ASSERT_NE(spy, nullptr);
  EXPECT_EQ(spy->Form, f);
  UnskinAll();
  EXPECT_EQ(spy->Form, nullptr);
  outer->Free();
}

TEST_F(VeltForm_, WithoutTheMainMenuKindTheFrameIsNotSkinnedAndTheFormsWindowProcStays) {
  TSkinData* d = Data();
  TSkinControlTypes c = d->SkinControls();
  c.Exclude(xcMainMenu);
  d->SetSkinControls(c);
  auto* form = new TForm(Application);
  form->SetBounds(20, 20, 360, 240);
  form->Show();
  const RECT before = ShapeOf(form->Handle()).Window;
  TVeltForm* f = Skin(form->Handle());
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->FrameSkinned);
  EXPECT_FALSE(f->FormProcReplaced());
  EXPECT_EQ(f->LifeState, lsSkinned);
  EXPECT_EQ(Width(ShapeOf(form->Handle()).Window), Width(before));
  UnskinAll();
  form->Free();
}

// ---- Styles, kinds and states

struct TStyleRow {
  const char* Name;
  DWORD Style, ExStyle;
  const wchar_t* Class;
  TVeltBorderKind Border;
  uint8_t Flags;
};

TEST_F(VeltForm_, StylesGiveTheBorderKindAndStyleFlags) {
  const TStyleRow rows[] = {
      {"sizeable", WS_OVERLAPPEDWINDOW, 0, L"KaroSkinTestW", bkSizeable, sfHasSysMenu | sfHasMinBox | sfHasMaxBox},
      {"fixed", WS_CAPTION | WS_SYSMENU, 0, L"KaroSkinTestW", bkFixed, sfHasSysMenu},
      {"no caption", WS_POPUP | WS_BORDER, 0, L"KaroSkinTestW", bkNoCaption, 0},
      {"modal frame", WS_CAPTION | DS_MODALFRAME, 0, L"KaroSkinTestW", bkDialog, 0},
      {"dialog ex style", WS_CAPTION, WS_EX_DLGMODALFRAME, L"KaroSkinTestW", bkDialog, 0},
      {"context help is no maximise box", WS_CAPTION | WS_SYSMENU, WS_EX_CONTEXTHELP, L"KaroSkinTestW", bkFixed,
       sfHasSysMenu | sfHasHelp},
      {"dialog class", WS_OVERLAPPEDWINDOW, 0, L"#32770", bkDialog, sfHasSysMenu | sfHasMinBox | sfHasMaxBox},
  };
  for (const TStyleRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Data();
    HWND w = Window(MakeWindow(row.Class, row.Style | WS_VISIBLE, 300, 200, nullptr, nullptr, L"S", row.ExStyle));
    TVeltForm* f = Skin(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->BorderKind, row.Border);
    EXPECT_EQ(f->StyleFlags & 0x0F, row.Flags);
    EXPECT_EQ(f->FormKind, fkNormal);
    if (row.Border == bkNoCaption) {
      // Frame not painted: no borders, no resize.
      EXPECT_EQ(f->Borders[0] + f->Borders[1] + f->Borders[2] + f->Borders[3], 0);
    }
  }
}

TEST_F(VeltForm_, AMaximisedWindowIsNotResizedOnlyItsFrameRecomputed) {
  Data();
  HWND w = Window(MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW));
  ShowWindow(w, SW_SHOWMAXIMIZED);
  const RECT before = ShapeOf(w).Window;
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->WindowState, vwMaximized);
  const RECT after = ShapeOf(w).Window;
  EXPECT_EQ(Width(after), Width(before));
  EXPECT_EQ(Height(after), Height(before));
  EXPECT_FALSE(f->RegionSet);
}

TEST_F(VeltForm_, InitSkinActsOnceAndLifeStatesRunNewSkinnedDead) {
  TSkinData* d = Data();
  HWND w = MakeWindow();
  Mgr->Enabled = true;
  ASSERT_TRUE(Mgr->AddForm(w));
  TVeltForm* f = Mgr->FindVeltForm(w);
  EXPECT_EQ(f->LifeState, lsNew);
  EXPECT_FALSE(f->SkinActiveSeen);
  const LONG_PTR proc = GetWindowLongPtrW(w, GWLP_WNDPROC);
  f->InitSkin(d);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), proc);
  // A CN_SkinActive without the manager's mark is not the manager's.
  SendMessageW(w, CN_SkinActive, 0, 0);
  EXPECT_FALSE(f->SkinActiveSeen);
  ASSERT_TRUE(PumpUntil([&] { return f->SkinActiveSeen; }));
  EXPECT_EQ(f->LifeState, lsSkinned);
  EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1);
  DestroyWindow(w);
  EXPECT_EQ(f->LifeState, lsDead);
}

// ---- Messages the saved procedure sees

const std::vector<UINT> kWatch = {CN_IsSkinned, CN_SkinActive, CN_SkinNotify, WM_WINDOWPOSCHANGING,
                                  WM_WINDOWPOSCHANGED, WM_NCCALCSIZE, WM_SIZE, WM_MOVE, WM_NCDESTROY};

// Each kind of window: what reaches its saved procedure while it is taken over, while it answers
// CN_IsSkinned, and while it is given back.
TEST_F(VeltForm_, TheSavedProcedureSeesTheTakeOverAndTheGivingBack) {
  struct Row {
    const char* Name;
    std::function<HWND()> Make;
  };
  TForm* form = nullptr;
  const Row rows[] = {
      {"Unicode window", [] { return MakeWindow(); }},
      {"ANSI window", [] { return MakeWindowA(); }},
      {"dialog", [] { return MakeWindow(L"#32770", WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE); }},
      {"class-library form",
       [&] {
         form = new TForm(Application);
         form->SetBounds(30, 30, 320, 220);
         form->Show();
         return form->Handle();
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TearDown();
    SetUp();
    Data();
    form = nullptr;
    HWND w = Window(row.Make());
    TMessageLog log(kWatch);
    TWindowRecorder rec(w, log);
    Mgr->Enabled = true;
    ASSERT_TRUE(Mgr->AddForm(w));
    EXPECT_TRUE(SequenceIs(log, {{CN_IsSkinned, sent}}));
    log.Clear();
    TVeltForm* f = Mgr->FindVeltForm(w);
    PumpUntil([&] { return f->SkinActiveSeen; });
    // CN_SkinActive and WM_NCCALCSIZE are the skinned window's own. The client area keeps its
    // size, so the system sends no WM_SIZE; its origin moves (WM_MOVE). The region then changes
    // the frame.
    EXPECT_TRUE(SequenceIs(log, seq::kSkinTakesOver));
    log.Clear();
    EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1);
    Pump();
    EXPECT_TRUE(SequenceIs(log, {{CN_SkinNotify, posted | lparam, 0, kSkinLibraryMark}}));
    log.Clear();
    UnskinAll();
    // Given back: the saved procedure computes the system's frame again; the client area keeps
    // its size (no WM_SIZE); the region goes.
    EXPECT_TRUE(SequenceIs(log, seq::kSkinGivenBack));
    rec.Detach();
    if (form) form->Free();
  }
}

// A procedure put over ours after the take-over: giving the window back cannot unhook ours, which
// then passes every message on until the window goes.
TEST_F(VeltForm_, AProcedurePutOverOursKeepsWorkingAfterTheWindowIsGivenBack) {
  Data();
  HWND w = MakeWindow();
  ASSERT_NE(Skin(w), nullptr);
  TMessageLog log({WM_SETTEXT, WM_NCDESTROY});
  TWindowRecorder over(w, log);
  UnskinAll();
  EXPECT_EQ(Mgr->FormCount(), 0);
  SetWindowTextW(w, L"\u6625");
  wchar_t back[8] = {};
  GetWindowTextW(w, back, 8);
  EXPECT_STREQ(back, L"\u6625");
  DestroyWindow(w);
  EXPECT_TRUE(SequenceIs(log, {{WM_SETTEXT, sent}, {WM_NCDESTROY, sent}}));
  EXPECT_EQ(GetPropW(w, L"KaroSkinForm"), nullptr);
}

TEST_F(VeltForm_, WMSizeReachesTheSavedProcedureOnce) {
  Data();
  HWND w = Window(MakeWindow());
  TMessageLog log({WM_SIZE});
  TWindowRecorder rec(w, log);
  ASSERT_NE(Skin(w), nullptr);
  log.Clear();
  SetWindowPos(w, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(SequenceIs(log, {{WM_SIZE, sent}}));
  // Gone while the recorder under the skinned window's procedure still exists.
  DestroyWindow(w);
}

TEST_F(VeltForm_, NothingIsPumpedInsideAHandler) {
  Data();
  HWND w = Window(MakeWindow());
  ASSERT_NE(Skin(w), nullptr);
  PostMessageW(w, WM_USER + 7, 0, 0);
  SendMessageW(w, WM_SETTEXT, 0, LPARAM(L"x"));
  SetWindowPos(w, nullptr, 0, 0, 350, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MSG m;
  EXPECT_TRUE(PeekMessageW(&m, w, WM_USER + 7, WM_USER + 7, PM_REMOVE));
}

// ---- Unicode and ANSI windows

TEST_F(VeltForm_, AUnicodeWindowKeepsChineseTextAndAnAnsiWindowItsText) {
  Data();
  HWND w = Window(MakeWindow());
  HWND a = Window(MakeWindowA());
  TVeltForm* fw = Skin(w);
  TVeltForm* fa = Skin(a);
  ASSERT_NE(fw, nullptr);
  ASSERT_NE(fa, nullptr);
  EXPECT_TRUE(fw->UnicodeWindow);
  EXPECT_FALSE(fa->UnicodeWindow);
  const wchar_t* chinese = L"\u6625\u7720\u4e0d\u89c9\u6653";
  SendMessageW(w, WM_SETTEXT, 0, LPARAM(chinese));
  wchar_t back[32] = {};
  SendMessageW(w, WM_GETTEXT, 32, LPARAM(back));
  EXPECT_STREQ(back, chinese);
  SendMessageA(a, WM_SETTEXT, 0, LPARAM("plain text"));
  char backA[32] = {};
  SendMessageA(a, WM_GETTEXT, 32, LPARAM(backA));
  EXPECT_STREQ(backA, "plain text");
}

// ---- Dialog widening

TEST(DialogWidening, GrowsToTheCaptionAndSplitsTheGrowth) {
  struct Row {
    int Width, Need, Shift, NewWidth;
  } rows[] = {{200, 150, 0, 200}, {200, 200, 0, 200}, {100, 160, 30, 160}, {100, 161, 30, 161}};
  for (const Row& r : rows) {
    const TDialogWidening w = DialogWidening(r.Width, r.Need);
    EXPECT_EQ(w.Shift, r.Shift);
    EXPECT_EQ(w.Width, r.NewWidth);
  }
}

TEST_F(VeltForm_, ANarrowDialogWithALongCaptionIsWidenedAndItsChildrenMoveInOrder) {
  Data();
  HWND d = Window(MakeWindow(L"#32770", WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 90, 80, nullptr,
                             nullptr, L"A caption much wider than this little box is"));
  std::vector<HWND> kids;
  for (int i = 0; i < 3; ++i)
    kids.push_back(CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 5 + 10 * i, 5, 8, 8, d, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
  auto order = [&] {
    std::vector<HWND> o;
    for (HWND c = GetTopWindow(d); c; c = GetWindow(c, GW_HWNDNEXT)) o.push_back(c);
    return o;
  };
  const std::vector<HWND> before = order();
  std::vector<RECT> places;
  for (HWND k : kids) {
    RECT r{};
    GetWindowRect(k, &r);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
    places.push_back(r);
  }
  RECT client{};
  GetClientRect(d, &client);
  TVeltForm* f = Skin(d);
  ASSERT_NE(f, nullptr);
  ASSERT_GT(f->CaptionTextWidth, 0);
  const int need = f->CaptionTextWidth + f->SkinData->Title->Margins.Left + f->SkinData->Title->Margins.Right;
  const int oldWidth = Width(client) + 4 + 5;
  ASSERT_LT(oldWidth, need);
  EXPECT_EQ(Width(ShapeOf(d).Window), need);
  EXPECT_EQ(order(), before);
  for (size_t i = 0; i < kids.size(); ++i) {
    RECT r{};
    GetWindowRect(kids[i], &r);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, places[i].left + (need - oldWidth) / 2);
    EXPECT_EQ(r.top, places[i].top);
  }
}

// ---- The region's owner

TEST_F(VeltForm_, ARegionIsDeletedOnlyWhenTheSystemRefusedIt) {
  Data();
  HWND w = Window(MakeWindow());
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  HRGN kept = CreateRectRgn(0, 0, 50, 50);
  ASSERT_TRUE(f->SetRegion(kept, false));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(w, probe), SIMPLEREGION);
  RECT box{};
  GetRgnBox(probe, &box);
  EXPECT_EQ(box.right, 50);
  DeleteObject(probe);
  // Refused (the window is gone): the region is still ours and is deleted.
  HWND gone = MakeWindow();
  TVeltForm* g = Skin(gone);
  ASSERT_NE(g, nullptr);
  DestroyWindow(gone);
  HRGN refused = CreateRectRgn(0, 0, 10, 10);
  EXPECT_FALSE(g->SetRegion(refused, false));
  EXPECT_EQ(GetObjectType(refused), 0u);
}

// ---- Destruction while skinned

TEST_F(VeltForm_, AWindowDestroyedWhileSkinnedGetsItsProcedureBackAndLosesNoMenu) {
  Data();
  HMENU menu = MakeMenu();
  HWND w = MakeWindow(L"KaroSkinTestW", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, nullptr, nullptr, L"M", 0, menu);
  TMessageLog log({WM_NCDESTROY});
  TWindowRecorder rec(w, log);
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  DestroyWindow(w);
  EXPECT_TRUE(SequenceIs(log, {{WM_NCDESTROY, sent}}));
  EXPECT_EQ(f->LifeState, lsDead);
  EXPECT_FALSE(f->Subclassed());
  // The window's menu went with the window.
  EXPECT_FALSE(IsMenu(menu));
  Mgr->DeleteDeleted();
  EXPECT_EQ(Mgr->FormCount(), 0);
}

// ---- MDI

LRESULT CALLBACK FrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  HWND client = FindWindowExW(w, nullptr, L"MDIClient", nullptr);
  return DefFrameProcW(w, client, m, wp, lp);
}
LRESULT CALLBACK ChildProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcW(w, m, wp, lp); }

TEST_F(VeltForm_, AnMDIParentAndTwoChildrenAreTakenOverAndGivenBack) {
  Data();
  RegisterWindowClass(L"KaroMDIFrame", FrameProc, {.Background = COLOR_APPWORKSPACE});
  RegisterWindowClass(L"KaroMDIChild", ChildProc, {.Background = COLOR_APPWORKSPACE});
  Mgr->Enabled = true;
  Mgr->InstallHook();
  HWND frame = Window(CreateWindowExW(0, L"KaroMDIFrame", L"Frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10,
                                      600, 450, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  CLIENTCREATESTRUCT ccs{};
  ccs.idFirstChild = 5000;
  HWND client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                580, 400, frame, nullptr, GetModuleHandleW(nullptr), &ccs);
  const LONG_PTR clientProc = GetWindowLongPtrA(client, GWLP_WNDPROC);
  ShowWindow(frame, SW_SHOW);
  SetActiveWindow(frame);
  ASSERT_TRUE(PumpUntil([&] { return Mgr->FindVeltForm(frame) && Mgr->FindVeltForm(frame)->SkinActiveSeen; }));
  TVeltForm* parent = Mgr->FindVeltForm(frame);
  EXPECT_EQ(parent->FormKind, fkMDIParent);
  EXPECT_EQ(parent->MDIClient, client);
  EXPECT_EQ(Mgr->MDIClient, client);
  EXPECT_NE(GetWindowLongPtrA(client, GWLP_WNDPROC), clientProc);
  HWND kids[2];
  RECT kidClient[2];
  // The children's saved procedures record from their first message: the recording hook comes
  // after the manager's, so it runs first and the manager takes over what it recorded.
  TMessageLog logs[2] = {TMessageLog(kWatch), TMessageLog(kWatch)};
  TCreationHook recorders({{L"KaroMDIChild", &logs[0]}});
  for (int i = 0; i < 2; ++i) {
    MDICREATESTRUCTW mc{};
    mc.szClass = L"KaroMDIChild";
    mc.szTitle = L"Child";
    mc.hOwner = GetModuleHandleW(nullptr);
    mc.x = 10 + 30 * i;
    mc.y = 10 + 30 * i;
    mc.cx = 250;
    mc.cy = 180;
    mc.style = WS_OVERLAPPEDWINDOW;
    kids[i] = HWND(SendMessageW(client, WM_MDICREATE, 0, LPARAM(&mc)));
    ASSERT_NE(kids[i], nullptr);
    // Asked first, before its creation messages.
    ASSERT_FALSE(logs[0].Messages.empty());
    EXPECT_EQ(logs[0].Messages.front().Message, CN_IsSkinned);
    logs[0].Clear();
  }
  // Taken over at creation (MDI children see no activation hook).
  for (HWND k : kids) {
    TVeltForm* f = Mgr->FindVeltForm(k);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FormKind, fkMDIChild);
  }
  ASSERT_TRUE(PumpUntil([&] {
    return Mgr->FindVeltForm(kids[0])->SkinActiveSeen && Mgr->FindVeltForm(kids[1])->SkinActiveSeen;
  }));
  // Each child is resized to the skin's frame around the same client area: no WM_SIZE.
  EXPECT_TRUE(SequenceIs(logs[0], seq::kSkinTakesOver + seq::kSkinTakesOver));
  logs[0].Clear();
  for (int i = 0; i < 2; ++i) GetClientRect(kids[i], &kidClient[i]);
  ASSERT_EQ(recorders.Recorders.size(), 2u);
  UnskinAll();
  EXPECT_TRUE(SequenceIs(logs[0], seq::kSystemFrameComputed + Optional(seq::kRegionRemoved) +
                                      seq::kSystemFrameComputed + Optional(seq::kRegionRemoved)));
  EXPECT_EQ(GetWindowLongPtrA(client, GWLP_WNDPROC), clientProc);
  for (int i = 0; i < 2; ++i) {
    // Given back to the procedure it had before (the recorder's): our record goes only when ours
    // was still the current procedure and the saved one is back.
    EXPECT_EQ(GetPropW(kids[i], L"KaroSkinForm"), nullptr);
    RECT r{};
    GetClientRect(kids[i], &r);
    EXPECT_EQ(Width(r), Width(kidClient[i]));
    EXPECT_EQ(Height(r), Height(kidClient[i]));
  }
}

// ---- A real message box of the system

namespace box {
TSkinManage* mgr = nullptr;
std::atomic<int> ticks{0};
HWND found = nullptr;
bool skinned = false;
bool closedByKey = false;

void CALLBACK Watch(HWND, UINT, UINT_PTR id, DWORD) {
  ++ticks;
  HWND b = nullptr;
  for (TVeltForm* f : mgr->FormList())
    if (f->ListedClassName == "#32770") b = f->hwnd;
  if (b && !found) found = b;
  if (b && mgr->FindVeltForm(b)->SkinActiveSeen && !closedByKey) {
    skinned = true;
    closedByKey = true;
    HWND focus = GetFocus();
    PostMessageW(focus ? focus : b, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(focus ? focus : b, WM_KEYUP, VK_RETURN, LPARAM(0xC0000001));
  }
  // Never block: after about three seconds the box is ended whatever happened.
  if (ticks > 150) {
    HWND any = b ? b : GetActiveWindow();
    if (any) EndDialog(any, IDCANCEL);
    KillTimer(nullptr, id);
  }
}
}  // namespace box

TEST_F(VeltForm_, ARealMessageBoxIsSkinnedWhileShownAndClosedByAPostedKey) {
  Data();
  Mgr->Enabled = true;
  Mgr->InstallHook();
  box::mgr = Mgr;
  box::ticks = 0;
  // The box's saved procedure records from its first message (this hook runs before the manager's).
  TMessageLog log({CN_IsSkinned, CN_SkinActive, CN_SkinNotify, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE,
                   WM_MOVE, WM_NCDESTROY});
  UINT_PTR timer = 0;
  int answer = 0;
  {
    TCreationHook recorder({{L"#32770", &log}});
    timer = SetTimer(nullptr, 0, 20, box::Watch);
    answer = MessageBoxW(nullptr, L"\u6625\u5929", L"Box", MB_OK);
    KillTimer(nullptr, timer);
  }
  // From the manager's question on: the skin's frame around the same client area, then closing.
  auto& m = log.Messages;
  auto asked = std::find_if(m.begin(), m.end(), [](const TRecordedMsg& r) { return r.Message == CN_IsSkinned; });
  ASSERT_NE(asked, m.end());
  m.erase(m.begin(), asked);
  EXPECT_TRUE(SequenceIs(log, TMsgSequence{{CN_IsSkinned, sent}} +
                                  // The end of the showing in which it was activated.
                                  Optional(seq::kPositionKept) +
                                  // CN_SkinActive: the skin's frame, then the region.
                                  seq::kSkinTakesOver +
                                  // Closed by the key: hidden, then destroyed while still listed (the
                                  // skinned frame's region may be set once more on the way).
                                  seq::kPositionKept + Optional(seq::kPositionKept) +
                                  TMsgSequence{{WM_NCDESTROY, sent}}));
  EXPECT_NE(box::found, nullptr);
  EXPECT_TRUE(box::skinned);
  EXPECT_TRUE(box::closedByKey);
  EXPECT_EQ(answer, IDOK);
  EXPECT_LT(box::ticks.load(), 150);
  // Destroyed while listed: dead until the next sweep.
  Mgr->DeleteDeleted();
  EXPECT_EQ(Mgr->FormCount(), 0);
}

// ---- System menu

TEST_F(VeltForm_, TheSystemMenuPopupMirrorsTheRealOneAndPostsItsCommands) {
  Data();
  HWND w = Window(MakeWindow());
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  f->CreateSysmenu2();
  TPopupMenu* p = f->SysMenuPopup();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Tag(), 33333);
  HMENU sys = GetSystemMenu(w, FALSE);
  ASSERT_EQ(p->Items()->Count(), GetMenuItemCount(sys));
  TMenuItem* close = nullptr;
  TMenuItem* restore = nullptr;
  for (int i = 0; i < p->Items()->Count(); ++i) {
    TMenuItem* it = p->Items()->Items(i);
    if ((it->Tag() & 0xFFF0) == SC_CLOSE) close = it;
    if ((it->Tag() & 0xFFF0) == SC_RESTORE) restore = it;
  }
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->ImageIndex(), 3);
  if (restore) {
    EXPECT_FALSE(restore->Enabled());
  }
  EXPECT_TRUE(f->CheckSysmenu());
  f->DoSysMenu2(close);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, w, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(m.wParam & 0xFFF0, WPARAM(SC_CLOSE));
}

// ---- The control-skin list

class TFakeControlSkin : public TSkinControlEntry {
public:
  TFakeControlSkin(int state, int& unsubclassed, int& freed) : state_(state), un_(unsubclassed), freed_(freed) {}
  ~TFakeControlSkin() override { ++freed_; }
  TControl* Control() override { return nullptr; }
  void Unsubclass() override { ++un_; }
  void SkinChange() override {}
  int State() override { return state_; }

private:
  int state_;
  int& un_;
  int& freed_;
};

TEST_F(VeltForm_, TheControlSkinListDropsDeadEntriesAndUnsubclassesLiveOnes) {
  Data();
  HWND w = Window(MakeWindow());
  TVeltForm* f = Skin(w);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->ControlSkinCount(), 0);
  int un = 0, freed = 0;
  auto* live = new TFakeControlSkin(1, un, freed);
  auto* dead = new TFakeControlSkin(6, un, freed);
  EXPECT_FALSE(f->AddControlList(live));
  EXPECT_TRUE(f->AddControlList(live));
  EXPECT_FALSE(f->AddControlList(dead));
  f->DeleteSkinDeleted();
  EXPECT_EQ(f->ControlSkinCount(), 1);
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(un, 0);
  UnskinAll();
  EXPECT_EQ(un, 1);
  EXPECT_EQ(freed, 2);
}

}  // namespace
