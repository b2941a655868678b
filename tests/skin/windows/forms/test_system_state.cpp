// What the system owns stays the system's under the skin: the bits that ShowWindow and
// EnableWindow set without a style message (visible, disabled, minimised, maximised) survive the
// skin's frame paints and its giving the window back; a modal dialog made hidden and shown by its
// loop (a template without WS_VISIBLE, the colour dialog) is seen; unskinning while it is open
// leaves it on screen in the system's frame; a skin switch while it is open gives its frame and
// face the new skin. Modal boxes are driven from a thread timer inside the test and always ended.

#include "tests/skin/windows/controls/control_test_env.h"
#include "tools/gallery/dialog_template.h"

#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

using namespace skintest;

namespace {

class SystemState_ : public ManagerTest {
protected:
  void UnskinAll(TSkinData* d) {
    Mgr->State = 1;
    Mgr->Pending = d;
    Mgr->SetAction(saUnskinAll, 250);
    Tick();
    Pump();
  }
};

// A non-client paint as the system asks for one: the skin strips the system menu on its way.
void PaintFrame(HWND w) { SendMessageW(w, WM_NCPAINT, 1, 0); }

bool Has(HWND w, LONG_PTR bit) { return (GetWindowLongPtrA(w, GWL_STYLE) & bit) != 0; }

// ---- The state bits the system sets behind the skin's back

struct TStateRow {
  const char* Name;
  DWORD Style;                        // at creation (the window is skinned with it)
  std::function<void(HWND)> Change;   // what the program does while the window is skinned
  LONG_PTR Bit;
  bool Set;                           // the bit the change leaves set (true) or clear (false)
};

TEST_F(SystemState_, WhatShowWindowAndEnableWindowSetSurvivesTheFramePaintsAndTheGivingBack) {
  const TStateRow rows[] = {
      {"shown after skinning", WS_OVERLAPPEDWINDOW, [](HWND w) { ShowWindow(w, SW_SHOWNA); }, WS_VISIBLE, true},
      {"hidden after skinning", WS_OVERLAPPEDWINDOW | WS_VISIBLE, [](HWND w) { ShowWindow(w, SW_HIDE); }, WS_VISIBLE,
       false},
      {"disabled", WS_OVERLAPPEDWINDOW | WS_VISIBLE, [](HWND w) { EnableWindow(w, FALSE); }, WS_DISABLED, true},
      {"enabled", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_DISABLED, [](HWND w) { EnableWindow(w, TRUE); }, WS_DISABLED,
       false},
      {"maximised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }, WS_MAXIMIZE, true},
      {"minimised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, [](HWND w) { ShowWindow(w, SW_SHOWMINNOACTIVE); },
       WS_MINIMIZE, true},
  };
  TSkinData* d = Data();
  for (const TStateRow& row : rows) {
    SCOPED_TRACE(row.Name);
    HWND w = Window(MakeWindow(L"KaroSkinTestW", row.Style));
    ASSERT_NE(Skin(w), nullptr);
    row.Change(w);
    Pump();
    PaintFrame(w);
    EXPECT_EQ(Has(w, row.Bit), row.Set) << "after a frame paint";
    // The skin's own bit: taken away while it paints the caption buttons itself.
    EXPECT_FALSE(Has(w, WS_SYSMENU));
    UnskinAll(d);
    EXPECT_EQ(Mgr->FindVeltForm(w), nullptr);
    EXPECT_EQ(Has(w, row.Bit), row.Set) << "after giving the window back";
    EXPECT_TRUE(Has(w, WS_SYSMENU));
    EXPECT_EQ(IsWindowVisible(w) != FALSE, row.Bit == WS_VISIBLE ? row.Set : true);
    DestroyWindow(w);
  }
}

// ---- Modal dialogs, driven from a thread timer

// A captioned popup without WS_VISIBLE (its modal loop shows it) and one push button that takes
// the focus.
TDialogTemplate HiddenDialogTemplate() {
  TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 30, 30, 160, 90, L"Hidden");
  t.Item(WS_TABSTOP | BS_PUSHBUTTON, 50, 60, 50, 14, IDCANCEL, 0x0080, L"Cancel");
  return t;
}

INT_PTR CALLBACK HiddenDialogProc(HWND d, UINT m, WPARAM wp, LPARAM) {
  if (m == WM_INITDIALOG) return TRUE;
  if (m == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
    EndDialog(d, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

// Watches the modal dialog from a thread timer: once it is skinned and its loop has shown it,
// Step runs (it may call again on later ticks by returning false); the dialog is then ended.
// After about three seconds the dialog is ended whatever happened.
namespace modal {
TSkinManage* mgr = nullptr;
std::function<bool(HWND, int)> step;
std::atomic<int> ticks{0};
int stepCalls = 0;
HWND dialog = nullptr;
bool shown = false;
bool done = false;
HHOOK showHook = nullptr;
// Every window the loop showed: it may show the dialog before a tick has found it in the list.
std::vector<HWND> showings;

LRESULT CALLBACK SeeShowing(int code, WPARAM wp, LPARAM lp) {
  const auto* c = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && c->message == WM_SHOWWINDOW && c->wParam) showings.push_back(c->hwnd);
  return CallNextHookEx(nullptr, code, wp, lp);
}

void CALLBACK Watch(HWND, UINT, UINT_PTR id, DWORD) {
  ++ticks;
  if (!dialog)
    for (TVeltForm* f : mgr->FormList())
      if (f->ListedClassName == "#32770" && f->SkinActiveSeen) dialog = f->hwnd;
  if (dialog && !shown) shown = std::find(showings.begin(), showings.end(), dialog) != showings.end();
  if (dialog && shown && !done) {
    // The paint that follows the showing, now, before anything is looked at; later calls see only
    // what the dialog painted by itself.
    if (stepCalls == 0) RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    done = step(dialog, stepCalls++);
    if (done) EndDialog(dialog, IDCANCEL);
  }
  if (ticks > 150) {
    HWND any = dialog ? dialog : GetActiveWindow();
    if (any) EndDialog(any, IDCANCEL);
    KillTimer(nullptr, id);
  }
}

// Runs Show (which opens the dialog modally) with the watch and Step in place.
void Run(TSkinManage* m, const std::function<void()>& show, std::function<bool(HWND, int)> s) {
  mgr = m;
  step = std::move(s);
  ticks = 0;
  stepCalls = 0;
  dialog = nullptr;
  shown = false;
  done = false;
  showings.clear();
  showHook = SetWindowsHookExW(WH_CALLWNDPROC, SeeShowing, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, Watch);
  show();
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(showHook);
  showHook = nullptr;
  Pump();
}
}  // namespace modal

struct TModalRow {
  const char* Name;
  std::function<void(HWND owner)> Show;
};

std::vector<TModalRow> ModalDialogs() {
  return {
      {"a template without WS_VISIBLE",
       [](HWND owner) {
         static const TDialogTemplate t = HiddenDialogTemplate();
         DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, HiddenDialogProc, 0);
       }},
      {"the colour dialog",
       [](HWND owner) {
         static COLORREF custom[16] = {};
         CHOOSECOLORW cc{};
         cc.lStructSize = sizeof cc;
         cc.hwndOwner = owner;
         cc.rgbResult = RGB(10, 20, 30);
         cc.lpCustColors = custom;
         cc.Flags = CC_RGBINIT;
         ChooseColorW(&cc);
       }},
  };
}

// What the window has painted on itself (its window surface), copied into a 32-bit picture.
std::unique_ptr<TDib> WindowShot(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  auto shot = std::make_unique<TDib>(Width(r), Height(r));
  HDC from = GetWindowDC(w);
  BitBlt(shot->DC, 0, 0, shot->W, shot->H, from, 0, 0, SRCCOPY);
  ReleaseDC(w, from);
  return shot;
}

TEST_F(SystemState_, AModalDialogShownByItsLoopAfterItWasSkinnedIsSeen) {
  Data();
  Mgr->Enabled = true;
  Mgr->InstallHook();
  HWND owner = Window(MakeWindow());
  for (const TModalRow& row : ModalDialogs()) {
    SCOPED_TRACE(row.Name);
    bool visible = false, styleVisible = false, skinned = false, sysMenuTaken = false;
    modal::Run(Mgr, [&] { row.Show(owner); }, [&](HWND dlg, int) {
      skinned = Mgr->FindVeltForm(dlg) != nullptr;
      visible = IsWindowVisible(dlg) != FALSE;
      styleVisible = Has(dlg, WS_VISIBLE);
      sysMenuTaken = !Has(dlg, WS_SYSMENU);
      return true;
    });
    EXPECT_NE(modal::dialog, nullptr);
    EXPECT_TRUE(modal::shown);
    EXPECT_TRUE(skinned);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(styleVisible);
    EXPECT_TRUE(sysMenuTaken);
    EXPECT_LT(modal::ticks.load(), 150);
    // Destroyed while listed: gone at the next sweep; the owner stays skinned.
    Mgr->DeleteDeleted();
    EXPECT_EQ(Mgr->FindVeltForm(modal::dialog), nullptr);
    EXPECT_NE(Mgr->FindVeltForm(owner), nullptr);
  }
  // The owner the dialog disabled is enabled again and keeps its own look.
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(SystemState_, UnskinningWhileAModalDialogIsOpenLeavesItOnScreenInTheSystemsFrame) {
  TSkinData* d = Data();
  Mgr->Enabled = true;
  Mgr->InstallHook();
  d->SetActive(true);
  HWND owner = Window(MakeWindow());
  const uint32_t skinLeft = FrameColor(0, 1);
  for (const TModalRow& row : ModalDialogs()) {
    SCOPED_TRACE(row.Name);
    Mgr->Enabled = true;
    bool listed = true, visible = false, styleVisible = false, sysMenuBack = false;
    uint32_t leftBefore = 0, leftAfter = 0;
    modal::Run(Mgr, [&] { row.Show(owner); }, [&](HWND dlg, int call) {
      if (call == 0) {
        leftBefore = WindowShot(dlg)->At(1, 40);
        d->SetActive(false);
        Tick();
        return false;
      }
      // A tick later: the loop has painted what it was asked to.
      listed = Mgr->FindVeltForm(dlg) != nullptr;
      visible = IsWindowVisible(dlg) != FALSE;
      styleVisible = Has(dlg, WS_VISIBLE);
      sysMenuBack = Has(dlg, WS_SYSMENU);
      leftAfter = WindowShot(dlg)->At(1, 40);
      return true;
    });
    EXPECT_TRUE(modal::shown);
    EXPECT_FALSE(listed);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(styleVisible);
    EXPECT_TRUE(sysMenuBack);
    EXPECT_EQ(leftBefore, skinLeft);
    EXPECT_NE(leftAfter, skinLeft);
    EXPECT_LT(modal::ticks.load(), 150);
    d->SetActive(true);
  }
}

// A skin whose frame pictures and face colour are all its own: the borders in the colours of
// picture numbers 40 to 43 and a face of 10 200 90.
std::string SecondSkin() {
  TTestSkin skin = CompleteSkin();
  for (auto& p : skin.Pictures) {
    if (p.Name == "left.bmp") p.Data = Strip(40, 2, 6, 30);
    if (p.Name == "right.bmp") p.Data = Strip(41, 2, 6, 30);
    if (p.Name == "top.bmp") p.Data = Strip(42, 2, 60, 28, true);
    if (p.Name == "bottom.bmp") p.Data = Strip(43, 2, 60, 7, true);
  }
  const std::string face = "ButtonFace=250 243 223";
  skin.Ini.replace(skin.Ini.find(face), face.size(), "ButtonFace=10 200 90");
  return skin.File();
}

TEST_F(SystemState_, ASkinSwitchWhileAModalDialogIsOpenGivesItsFrameAndFaceTheNewSkin) {
  TSkinData* d = Data();
  Mgr->Enabled = true;
  Mgr->InstallHook();
  HWND owner = Window(MakeWindow());
  const std::string first = SkinFile(), second = SecondSkin();
  for (const TModalRow& row : ModalDialogs()) {
    SCOPED_TRACE(row.Name);
    {
      auto s = StreamOf(first);
      d->LoadFromStream(*s);
      Mgr->Pending = nullptr;
    }
    RECT clientBefore{}, clientAfter{}, windowAfter{};
    uint32_t left = 0, bottom = 0, top = 0, face = 0, leftBefore = 0;
    bool listed = false;
    modal::Run(Mgr, [&] { row.Show(owner); }, [&](HWND dlg, int call) {
      if (call == 0) {
        leftBefore = WindowShot(dlg)->At(1, 40);
        GetClientRect(dlg, &clientBefore);
        auto s = StreamOf(second);
        d->LoadFromStream(*s);
        Tick();
        return false;
      }
      listed = Mgr->FindVeltForm(dlg) != nullptr;
      GetClientRect(dlg, &clientAfter);
      GetWindowRect(dlg, &windowAfter);
      const std::unique_ptr<TDib> shot = WindowShot(dlg);
      left = shot->At(1, shot->H / 2);
      bottom = shot->At(shot->W / 2, shot->H - 2);
      top = shot->At(shot->W - 60, 2);
      // The face between the dialog's controls: just inside the client area's top left corner.
      POINT c{2, 2};
      ClientToScreen(dlg, &c);
      RECT wr{};
      GetWindowRect(dlg, &wr);
      face = shot->At(c.x - wr.left, c.y - wr.top);
      return true;
    });
    EXPECT_TRUE(modal::shown);
    EXPECT_TRUE(listed);
    EXPECT_EQ(leftBefore, FrameColor(0, 1));
    EXPECT_EQ(left, FrameColor(40, 1));
    EXPECT_EQ(bottom, FrameColor(43, 1));
    EXPECT_EQ(top, FrameColor(42, 1));
    EXPECT_EQ(face, uint32_t(RGB(10, 200, 90)));
    // The client area keeps its size under the new borders.
    EXPECT_EQ(Width(clientAfter), Width(clientBefore));
    EXPECT_EQ(Height(clientAfter), Height(clientBefore));
    // Around it the new skin's frame: 6 and 6 at the sides, 28 at the top and 7 at the bottom.
    EXPECT_EQ(Width(windowAfter), Width(clientAfter) + 12);
    EXPECT_EQ(Height(windowAfter), Height(clientAfter) + 35);
    EXPECT_LT(modal::ticks.load(), 150);
  }
}

}  // namespace
