// What the manager and skinned-window tests share: a manager of their own as the module's
// SkinManager with manual timers, skin components loaded from generated skins, plain test windows of
// this module, and a way to pump the queue until a condition holds (bounded, never blocking).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/forms.h"
#include "classlib/controls/timer.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/skin_manager.h"
#include "skin/windows/core/skin_messages.h"
#include "tests/support/place.h"
#include "tests/support/message_log.h"
#include "tests/support/window_class.h"
#include "tests/skin/data/test_velt_data_skin.h"

namespace skintest {

// The complete test skin with borders of the given sizes (left, top, right, bottom).
inline std::string SkinFile(int left = 4, int top = 24, int right = 5, int bottom = 6) {
  TTestSkin skin = CompleteSkin();
  for (auto& p : skin.Pictures) {
    if (p.Name == "left.bmp") p.Data = Strip(0, 2, left, 30);
    if (p.Name == "right.bmp") p.Data = Strip(1, 2, right, 30);
    if (p.Name == "top.bmp") p.Data = Strip(2, 2, 60, top, true);
    if (p.Name == "bottom.bmp") p.Data = Strip(3, 2, 60, bottom, true);
  }
  return skin.File();
}



// Pumps until done() holds or about two seconds have passed; true when it held.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    Pump();
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  Pump();
  return done();
}

inline LRESULT CALLBACK PlainProcW(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
inline LRESULT CALLBACK PlainProcA(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
// Answers CN_IsSkinned as a window skinned by someone else would.
inline LRESULT CALLBACK SkinnedElsewhereProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == CN_IsSkinned) return 1;
  return DefWindowProcW(w, m, wp, lp);
}

inline void RegisterTestClasses() {
  const TWindowClassLook plain{.Cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))};
  for (const wchar_t* name :
       {L"KaroSkinTestW", L"SomePreviewWindow", L"TApplication", L"XTTERenderWindowX", L"TcxPopupEditPopupWindowZ"})
    RegisterWindowClass(name, PlainProcW, plain);
  RegisterWindowClass(L"KaroSkinnedElsewhere", SkinnedElsewhereProc, plain);
  // Any module may make windows of this one.
  TWindowClassLook global = plain;
  global.Style = CS_GLOBALCLASS;
  RegisterWindowClass(L"KaroForeignModule", PlainProcW, global);
  RegisterWindowClass("KaroSkinTestA", PlainProcA);
}

// A top-level window of this module.
inline HWND MakeWindow(const wchar_t* cls = L"KaroSkinTestW", DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                       int w = 300, int h = 200, HWND parent = nullptr, HINSTANCE inst = nullptr,
                       const wchar_t* caption = L"Test", DWORD exStyle = 0, HMENU menu = nullptr) {
  RegisterTestClasses();
  return CreateWindowExW(exStyle, cls, caption, style, 40, 40, w, h, parent, menu,
                         inst ? inst : GetModuleHandleW(nullptr), nullptr);
}

inline HWND MakeWindowA(const char* caption = "Ansi") {
  RegisterTestClasses();
  return CreateWindowExA(0, "KaroSkinTestA", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

struct TWindowShape {
  WNDPROC Proc;
  LONG_PTR Style, ExStyle;
  HMENU Menu;
  bool HasRegion;
  RECT Window, Client;
};

inline TWindowShape ShapeOf(HWND w) {
  TWindowShape s{};
  s.Proc = WNDPROC(IsWindowUnicode(w) ? GetWindowLongPtrW(w, GWLP_WNDPROC) : GetWindowLongPtrA(w, GWLP_WNDPROC));
  s.Style = GetWindowLongPtrA(w, GWL_STYLE);
  s.ExStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
  s.Menu = GetMenu(w);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  s.HasRegion = GetWindowRgn(w, r) != ERROR;
  DeleteObject(r);
  GetWindowRect(w, &s.Window);
  GetClientRect(w, &s.Client);
  return s;
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// A manager of the test's own, installed as the module's SkinManager, with manual timers.
class ManagerTest : public ::testing::Test {
protected:
  void SetUp() override {
    TTimer::SetManualTimers(true);
    savedManager_ = SkinManager;
    Mgr = new TSkinManage(false);
    SkinManager = Mgr;
  }
  void TearDown() override {
    for (HWND w : windows_)
      if (IsWindow(w)) DestroyWindow(w);
    Pump();
    delete Mgr;
    Mgr = nullptr;
    SkinManager = savedManager_;
    data_.clear();
    Pump();
    TTimer::SetManualTimers(false);
  }

public:
  // A component of the role, with a skin loaded, registered with the manager.
  TSkinData* Data(TSkinFormType role = sfMainform, TComponent* owner = nullptr, const std::string& file = SkinFile(),
                  bool registerIt = true) {
    auto d = std::make_unique<TSkinData>(owner);
    d->SetSkinFormtype(role);
    auto s = StreamOf(file);
    d->LoadFromStream(*s);
    Mgr->Pending = nullptr;
    if (registerIt) Mgr->AddSkinData(d.get());
    TSkinData* raw = d.get();
    if (owner)
      d.release();  // the owner frees it
    else
      data_.push_back(std::move(d));
    return raw;
  }

  HWND Window(HWND w) {
    windows_.push_back(w);
    return w;
  }

  // A visible top-level window of a class of the test's own, gone after the test.
  HWND TopWindow(const wchar_t* cls, WNDPROC proc, const wchar_t* caption, int left, int top, int width, int height) {
    RegisterWindowClass(cls, proc);
    return Window(CreateWindowExW(0, cls, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top, width, height, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
  }

  // Gives every skinned window back, as the manager's timer does when the skin is switched off.
  void UnskinAll() {
    Mgr->State = 1;
    Mgr->Pending = Mgr->DefaultSkinData ? Mgr->DefaultSkinData : Mgr->SkinDataList().front();
    Mgr->SetAction(saUnskinAll, 250);
    Tick();
    Pump();
  }

  // Runs the queued action now, as the timer would.
  void Tick() { Mgr->ActionTimer()->Tick(); }
  bool TimerRunning() { return Mgr->ActionTimer()->Running(); }

  // Skins the window and lets CN_SkinActive arrive.
  TVeltForm* Skin(HWND w) {
    Mgr->Enabled = true;
    if (!Mgr->AddForm(w)) return nullptr;
    TVeltForm* f = Mgr->FindVeltForm(w);
    PumpUntil([&] { return f->SkinActiveSeen; });
    return f;
  }

  TSkinManage* Mgr = nullptr;

private:
  TSkinManagerLink* savedManager_ = nullptr;
  std::vector<std::unique_ptr<TSkinData>> data_;
  std::vector<HWND> windows_;
};

}  // namespace skintest
