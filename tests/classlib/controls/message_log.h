// Message-sequence recording for the controls tests: a log per window or control, recorders at
// the window-procedure level (sent, posted, defwinproc) and at the WindowProc level (messages
// performed without a window), a creation hook that records a window from its first message,
// and the comparison of a log with an expected constant sequence.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/controls.h"

enum TMsgFlag : unsigned {
  sent = 1,         // reached the window procedure by SendMessage (or a system call)
  posted = 2,       // reached it from the message queue
  parent = 4,       // recorded in the parent's log
  wparam = 8,       // compare wParam
  lparam = 16,      // compare lParam
  defwinproc = 32,  // arrived while the default window procedure was running
  perform = 64,     // reached WindowProc without passing a window procedure
  optional = 128,   // may be missing from the log
};

struct TRecordedMsg {
  UINT Message;
  unsigned Flags;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
};

namespace msglog {

// The message being dispatched by Pump, to tell posted messages from sent ones.
inline thread_local const MSG* g_dispatching = nullptr;
// How deep the test controls' default window procedures are nested.
inline thread_local int g_defDepth = 0;

struct TStackEntry {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};
// The window messages being recorded at the window level right now.
inline thread_local std::vector<TStackEntry> g_stack;

inline std::string MsgName(UINT m) {
  struct N {
    UINT M;
    const char* Name;
  };
  static const N names[] = {
      {WM_NCCREATE, "WM_NCCREATE"}, {WM_CREATE, "WM_CREATE"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_SETFONT, "WM_SETFONT"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_SIZE, "WM_SIZE"}, {WM_MOVE, "WM_MOVE"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_COMMAND, "WM_COMMAND"}, {WM_NOTIFY, "WM_NOTIFY"},
      {WM_HSCROLL, "WM_HSCROLL"}, {WM_VSCROLL, "WM_VSCROLL"}, {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
      {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_DESTROY, "WM_DESTROY"},
      {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_PAINT, "WM_PAINT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {CM_MOUSEENTER, "CM_MOUSEENTER"}, {CM_MOUSELEAVE, "CM_MOUSELEAVE"}, {CM_ENTER, "CM_ENTER"},
      {CM_EXIT, "CM_EXIT"}, {CM_SHOWINGCHANGED, "CM_SHOWINGCHANGED"}, {CM_VISIBLECHANGED, "CM_VISIBLECHANGED"},
      {CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"}, {CM_FOCUSCHANGED, "CM_FOCUSCHANGED"},
      {CM_MENUCHANGED, "CM_MENUCHANGED"}, {CM_RECREATEWND, "CM_RECREATEWND"}, {CM_ACTIVATE, "CM_ACTIVATE"},
      {CN_COMMAND, "CN_COMMAND"}, {CN_NOTIFY, "CN_NOTIFY"}, {CN_HSCROLL, "CN_HSCROLL"},
      {CN_VSCROLL, "CN_VSCROLL"}, {CN_CTLCOLORBTN, "CN_CTLCOLORBTN"}, {CN_CTLCOLORSTATIC, "CN_CTLCOLORSTATIC"},
      {CM_FONTCHANGED, "CM_FONTCHANGED"}, {CM_PARENTFONTCHANGED, "CM_PARENTFONTCHANGED"},
      {CM_COLORCHANGED, "CM_COLORCHANGED"}, {CM_PARENTCOLORCHANGED, "CM_PARENTCOLORCHANGED"},
  };
  for (const N& n : names)
    if (n.M == m) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

inline std::string FlagsText(unsigned f) {
  std::string s;
  auto add = [&](unsigned bit, const char* name) {
    if (f & bit) s += s.empty() ? name : std::string("|") + name;
  };
  add(sent, "sent");
  add(posted, "posted");
  add(parent, "parent");
  add(defwinproc, "defwinproc");
  add(perform, "perform");
  add(optional, "optional");
  return s;
}

}  // namespace msglog

// One window's or control's messages, of the numbers it is told to watch.
class TMessageLog {
public:
  TMessageLog(std::vector<UINT> watch, unsigned extraFlags = 0) : watch_(std::move(watch)), extra_(extraFlags) {}
  void Record(UINT msg, unsigned flags, WPARAM wp, LPARAM lp) {
    for (UINT w : watch_)
      if (w == msg) {
        Messages.push_back({msg, flags | extra_, wp, lp});
        return;
      }
  }
  void Clear() { Messages.clear(); }
  std::vector<TRecordedMsg> Messages;

private:
  std::vector<UINT> watch_;
  unsigned extra_;
};

// Compares the log with the expected sequence, in the manner of the system's message tests:
// entries match in order by number and by the kind flags (sent, posted, parent, defwinproc,
// perform); wParam and lParam where the entry asks; optional entries may be absent.
inline ::testing::AssertionResult SequenceIs(const TMessageLog& log, const std::vector<TRecordedMsg>& expected) {
  constexpr unsigned kKinds = sent | posted | parent | defwinproc | perform;
  const auto& actual = log.Messages;
  size_t a = 0;
  bool ok = true;
  for (const TRecordedMsg& e : expected) {
    bool matches = a < actual.size() && actual[a].Message == e.Message &&
                   (actual[a].Flags & kKinds) == (e.Flags & kKinds) &&
                   (!(e.Flags & wparam) || actual[a].WParam == e.WParam) &&
                   (!(e.Flags & lparam) || actual[a].LParam == e.LParam);
    if (matches) {
      ++a;
    } else if (!(e.Flags & optional)) {
      ok = false;
      break;
    }
  }
  if (ok && a == actual.size()) return ::testing::AssertionSuccess();
  std::string text = "\n  expected:\n";
  for (const TRecordedMsg& e : expected) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "    %-22s %-22s wp=%llx lp=%llx\n", msglog::MsgName(e.Message).c_str(),
                  msglog::FlagsText(e.Flags).c_str(), (unsigned long long)e.WParam, (unsigned long long)e.LParam);
    text += buf;
  }
  text += "  actual:\n";
  for (const TRecordedMsg& m : actual) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "    %-22s %-22s wp=%llx lp=%llx\n", msglog::MsgName(m.Message).c_str(),
                  msglog::FlagsText(m.Flags).c_str(), (unsigned long long)m.WParam, (unsigned long long)m.LParam);
    text += buf;
  }
  return ::testing::AssertionFailure() << text;
}

// Records a window's messages at its window procedure, which it subclasses until it goes.
class TWindowRecorder {
public:
  TWindowRecorder(HWND wnd, TMessageLog& log) : wnd_(wnd), log_(log) {
    SetPropW(wnd, L"TestRecorder", HANDLE(this));
    old_ = WNDPROC(SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(&Proc)));
  }
  ~TWindowRecorder() { Detach(); }
  void Detach() {
    if (!wnd_) return;
    if (IsWindow(wnd_) && WNDPROC(GetWindowLongPtrW(wnd_, GWLP_WNDPROC)) == &Proc) {
      SetWindowLongPtrW(wnd_, GWLP_WNDPROC, LONG_PTR(old_));
      RemovePropW(wnd_, L"TestRecorder");
    }
    wnd_ = nullptr;
  }
  HWND Window() const { return wnd_; }

private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TWindowRecorder*>(GetPropW(wnd, L"TestRecorder"));
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    const MSG* d = msglog::g_dispatching;
    bool fromQueue = d && d->hwnd == wnd && d->message == msg && d->wParam == wp && d->lParam == lp;
    unsigned flags = fromQueue ? posted : sent;
    if (msglog::g_defDepth > 0) flags |= defwinproc;
    self->log_.Record(msg, flags, wp, lp);
    WNDPROC old = self->old_;
    if (msg == WM_NCDESTROY) {
      RemovePropW(wnd, L"TestRecorder");
      SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(old));
      self->wnd_ = nullptr;
    }
    msglog::g_stack.push_back({wnd, msg, wp, lp});
    LRESULT r = CallWindowProcW(old, wnd, msg, wp, lp);
    msglog::g_stack.pop_back();
    return r;
  }
  HWND wnd_;
  TMessageLog& log_;
  WNDPROC old_ = nullptr;
};

// Records what reaches a control's WindowProc without having passed its window procedure
// (Perform), and puts the saved WindowProc back on destruction while its own is current.
class TWindowProcRecorder {
public:
  TWindowProcRecorder(TControl* control, TMessageLog& log) : control_(control), log_(log) {
    saved_ = control->WindowProc();
    mine_ = TWndMethod([this](TMessage& m) { Handle(m); }, this);
    control->SetWindowProc(mine_);
  }
  ~TWindowProcRecorder() {
    if (control_ && control_->WindowProc() == mine_) control_->SetWindowProc(saved_);
  }
  void Forget() { control_ = nullptr; }

private:
  void Handle(TMessage& m) {
    auto* w = dyn<TWinControl>(control_);
    HWND wnd = w && w->HandleAllocated() ? w->Handle() : nullptr;
    bool throughWindow = !msglog::g_stack.empty() && msglog::g_stack.back().Wnd == wnd && wnd &&
                         msglog::g_stack.back().Msg == m.Msg && msglog::g_stack.back().WParam == m.WParam &&
                         msglog::g_stack.back().LParam == m.LParam;
    if (!throughWindow) log_.Record(m.Msg, perform, m.WParam, m.LParam);
    saved_(m);
  }
  TControl* control_;
  TMessageLog& log_;
  TWndMethod saved_;
  TWndMethod mine_;
};

// Records every new window of the given classes from its first message (a CBT hook subclasses
// it), each class into its own log.
class TCreationHook {
public:
  struct TWatch {
    std::wstring ClassName;
    TMessageLog* Log;
  };
  explicit TCreationHook(std::vector<TWatch> watch) : watch_(std::move(watch)) {
    current() = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Proc, nullptr, GetCurrentThreadId());
  }
  ~TCreationHook() {
    UnhookWindowsHookEx(hook_);
    current() = nullptr;
  }
  TCreationHook(const TCreationHook&) = delete;
  TCreationHook& operator=(const TCreationHook&) = delete;
  std::vector<std::unique_ptr<TWindowRecorder>> Recorders;

private:
  static TCreationHook*& current() {
    static TCreationHook* c = nullptr;
    return c;
  }
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    TCreationHook* self = current();
    if (self && code == HCBT_CREATEWND) {
      wchar_t name[64];
      GetClassNameW(HWND(wp), name, 64);
      for (const TWatch& w : self->watch_)
        if (w.ClassName == name) self->Recorders.push_back(std::make_unique<TWindowRecorder>(HWND(wp), *w.Log));
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  std::vector<TWatch> watch_;
  HHOOK hook_ = nullptr;
};

// Handles the messages waiting in the queue, marking each as the one being dispatched.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    msglog::g_dispatching = &msg;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    msglog::g_dispatching = nullptr;
  }
}

// The default window procedure of the test controls: marks what arrives while it runs.
inline LRESULT CALLBACK LoggingDefWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  ++msglog::g_defDepth;
  LRESULT r = DefWindowProcW(wnd, msg, wp, lp);
  --msglog::g_defDepth;
  return r;
}
