// Message-sequence recording for the tests of windows and controls: a log per window or control,
// recorders at the window-procedure level (sent, posted, defwinproc, inside BeginPaint), at the
// WindowProc level (messages performed without a window) and at a WH_CBT hook, a creation hook
// that records a window from its first message, and the comparison of a log with an expected
// constant sequence that prints both side by side when they differ. A test using it links
// object_census, whose import redirection watches the program's BeginPaint.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/controls.h"
#include "tools/census/object_census.h"

enum TMsgFlag : unsigned {
  sent = 1,          // reached the window procedure by SendMessage (or a system call)
  posted = 2,        // reached it from the message queue
  parent = 4,        // recorded in the parent's log
  wparam = 8,        // compare wParam
  lparam = 16,       // compare lParam
  defwinproc = 32,   // arrived while the default window procedure was running
  perform = 64,      // reached WindowProc without passing a window procedure
  optional = 128,    // may be missing from the log
  hook = 256,        // seen by a hook: the number is the hook code (HCBT_CREATEWND...)
  beginpaint = 512,  // sent while a BeginPaint called by the program ran (WM_NCPAINT, WM_ERASEBKGND)
};

struct TRecordedMsg {
  UINT Message;  // the message, or the hook code of a `hook` entry
  unsigned Flags;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  HWND Wnd = nullptr;  // the window; an expected entry that names one is compared on it
};

namespace msglog {

// The message being dispatched by Pump, to tell posted messages from sent ones.
inline thread_local const MSG* g_dispatching = nullptr;
// How deep the test controls' default window procedures are nested.
inline thread_local int g_defDepth = 0;
// How deep the program's calls of BeginPaint are nested.
inline thread_local int g_beginPaintDepth = 0;

struct TStackEntry {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  const TStackEntry* Outer;
};
// The window message being recorded at the window level right now; each entry lives in the
// frame of the procedure that records it. A thread_local object with a destructor (a vector) was
// freed twice at a thread's end under MinGW and Wine.
inline thread_local const TStackEntry* g_recording = nullptr;

inline void* g_realBeginPaint = nullptr;

inline HDC WINAPI BeginPaintSeen(HWND wnd, PAINTSTRUCT* ps) {
  ++g_beginPaintDepth;
  HDC dc = reinterpret_cast<decltype(&::BeginPaint)>(g_realBeginPaint)(wnd, ps);
  --g_beginPaintDepth;
  return dc;
}

// Sends the program's calls of BeginPaint through BeginPaintSeen, once; false if it could not.
inline bool WatchBeginPaint() {
  static const bool watching = [] {
    g_realBeginPaint = RedirectImport("user32.dll", "BeginPaint", reinterpret_cast<void*>(&BeginPaintSeen));
    return g_realBeginPaint != nullptr;
  }();
  return watching;
}

struct TName {
  UINT Number;
  const char* Name;
};
#define KARO_MSG_NAME(m) {m, #m}

inline std::string MsgName(UINT m) {
  static const TName names[] = {
      KARO_MSG_NAME(WM_NCCREATE), KARO_MSG_NAME(WM_CREATE), KARO_MSG_NAME(WM_NCCALCSIZE), KARO_MSG_NAME(WM_SETFONT),
      KARO_MSG_NAME(WM_GETFONT), KARO_MSG_NAME(WM_SHOWWINDOW), KARO_MSG_NAME(WM_SIZE), KARO_MSG_NAME(WM_MOVE),
      KARO_MSG_NAME(WM_WINDOWPOSCHANGING), KARO_MSG_NAME(WM_WINDOWPOSCHANGED), KARO_MSG_NAME(WM_GETMINMAXINFO),
      KARO_MSG_NAME(WM_STYLECHANGING), KARO_MSG_NAME(WM_STYLECHANGED), KARO_MSG_NAME(WM_PARENTNOTIFY),
      KARO_MSG_NAME(WM_COMMAND), KARO_MSG_NAME(WM_SYSCOMMAND), KARO_MSG_NAME(WM_NOTIFY), KARO_MSG_NAME(WM_HSCROLL),
      KARO_MSG_NAME(WM_VSCROLL), KARO_MSG_NAME(WM_CTLCOLORBTN), KARO_MSG_NAME(WM_CTLCOLORSTATIC),
      KARO_MSG_NAME(WM_CTLCOLOREDIT), KARO_MSG_NAME(WM_CTLCOLORLISTBOX), KARO_MSG_NAME(WM_CTLCOLORDLG),
      KARO_MSG_NAME(WM_MEASUREITEM), KARO_MSG_NAME(WM_DRAWITEM), KARO_MSG_NAME(WM_MOUSEMOVE),
      KARO_MSG_NAME(WM_MOUSELEAVE), KARO_MSG_NAME(WM_MOUSEHOVER), KARO_MSG_NAME(WM_MOUSEACTIVATE),
      KARO_MSG_NAME(WM_MOUSEWHEEL), KARO_MSG_NAME(WM_LBUTTONDOWN), KARO_MSG_NAME(WM_LBUTTONUP),
      KARO_MSG_NAME(WM_LBUTTONDBLCLK), KARO_MSG_NAME(WM_RBUTTONDOWN), KARO_MSG_NAME(WM_RBUTTONUP),
      KARO_MSG_NAME(WM_NCHITTEST), KARO_MSG_NAME(WM_SETCURSOR), KARO_MSG_NAME(WM_NCMOUSEMOVE),
      KARO_MSG_NAME(WM_NCMOUSELEAVE), KARO_MSG_NAME(WM_NCLBUTTONDOWN), KARO_MSG_NAME(WM_NCLBUTTONUP),
      KARO_MSG_NAME(WM_NCLBUTTONDBLCLK), KARO_MSG_NAME(WM_CAPTURECHANGED), KARO_MSG_NAME(WM_CANCELMODE),
      KARO_MSG_NAME(WM_SETFOCUS), KARO_MSG_NAME(WM_KILLFOCUS), KARO_MSG_NAME(WM_ACTIVATE),
      KARO_MSG_NAME(WM_ACTIVATEAPP), KARO_MSG_NAME(WM_NCACTIVATE), KARO_MSG_NAME(WM_CHILDACTIVATE),
      KARO_MSG_NAME(WM_ENABLE), KARO_MSG_NAME(WM_SETREDRAW), KARO_MSG_NAME(WM_KEYDOWN), KARO_MSG_NAME(WM_KEYUP),
      KARO_MSG_NAME(WM_CHAR), KARO_MSG_NAME(WM_SYSKEYDOWN), KARO_MSG_NAME(WM_SYSKEYUP), KARO_MSG_NAME(WM_GETDLGCODE),
      KARO_MSG_NAME(WM_SETTEXT), KARO_MSG_NAME(WM_GETTEXT), KARO_MSG_NAME(WM_GETTEXTLENGTH),
      KARO_MSG_NAME(WM_SETICON), KARO_MSG_NAME(WM_GETICON), KARO_MSG_NAME(WM_CLOSE), KARO_MSG_NAME(WM_DESTROY),
      KARO_MSG_NAME(WM_NCDESTROY), KARO_MSG_NAME(WM_PAINT), KARO_MSG_NAME(WM_NCPAINT), KARO_MSG_NAME(WM_SYNCPAINT),
      KARO_MSG_NAME(WM_ERASEBKGND), KARO_MSG_NAME(WM_PRINT), KARO_MSG_NAME(WM_PRINTCLIENT), KARO_MSG_NAME(WM_TIMER),
      KARO_MSG_NAME(WM_INITMENU), KARO_MSG_NAME(WM_INITMENUPOPUP), KARO_MSG_NAME(WM_MENUSELECT),
      KARO_MSG_NAME(WM_ENTERMENULOOP), KARO_MSG_NAME(WM_EXITMENULOOP), KARO_MSG_NAME(WM_ENTERIDLE),
      KARO_MSG_NAME(WM_CONTEXTMENU), KARO_MSG_NAME(WM_SYSCOLORCHANGE), KARO_MSG_NAME(WM_SETTINGCHANGE),
      KARO_MSG_NAME(WM_THEMECHANGED), KARO_MSG_NAME(WM_UPDATEUISTATE), KARO_MSG_NAME(WM_CHANGEUISTATE),
      KARO_MSG_NAME(WM_QUERYUISTATE), KARO_MSG_NAME(WM_IME_SETCONTEXT), KARO_MSG_NAME(WM_IME_NOTIFY),
      KARO_MSG_NAME(CM_MOUSEENTER), KARO_MSG_NAME(CM_MOUSELEAVE), KARO_MSG_NAME(CM_ENTER), KARO_MSG_NAME(CM_EXIT),
      KARO_MSG_NAME(CM_SHOWINGCHANGED), KARO_MSG_NAME(CM_VISIBLECHANGED), KARO_MSG_NAME(CM_ENABLEDCHANGED),
      KARO_MSG_NAME(CM_FOCUSCHANGED), KARO_MSG_NAME(CM_MENUCHANGED), KARO_MSG_NAME(CM_RECREATEWND),
      KARO_MSG_NAME(CM_ACTIVATE), KARO_MSG_NAME(CN_COMMAND), KARO_MSG_NAME(CN_NOTIFY), KARO_MSG_NAME(CN_HSCROLL),
      KARO_MSG_NAME(CN_VSCROLL), KARO_MSG_NAME(CN_CTLCOLORBTN), KARO_MSG_NAME(CN_CTLCOLORSTATIC),
      KARO_MSG_NAME(CM_FONTCHANGED), KARO_MSG_NAME(CM_PARENTFONTCHANGED), KARO_MSG_NAME(CM_COLORCHANGED),
      KARO_MSG_NAME(CM_PARENTCOLORCHANGED),
  };
  for (const TName& n : names)
    if (n.Number == m) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

inline std::string HookCodeName(UINT code) {
  static const TName names[] = {
      KARO_MSG_NAME(HCBT_MOVESIZE), KARO_MSG_NAME(HCBT_MINMAX), KARO_MSG_NAME(HCBT_QS),
      KARO_MSG_NAME(HCBT_CREATEWND), KARO_MSG_NAME(HCBT_DESTROYWND), KARO_MSG_NAME(HCBT_ACTIVATE),
      KARO_MSG_NAME(HCBT_CLICKSKIPPED), KARO_MSG_NAME(HCBT_KEYSKIPPED), KARO_MSG_NAME(HCBT_SYSCOMMAND),
      KARO_MSG_NAME(HCBT_SETFOCUS),
  };
  for (const TName& n : names)
    if (n.Number == code) return n.Name;
  return "hook code " + std::to_string(code);
}
#undef KARO_MSG_NAME

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
  add(hook, "hook");
  add(beginpaint, "beginpaint");
  add(optional, "optional");
  return s;
}

// One entry as a line of the comparison: name, flags, the parameters (of an expected entry only
// those it compares) and the window where it matters (hook entries, expected entries naming one).
inline std::string EntryText(const TRecordedMsg& m, bool expected, bool showWnd = false) {
  std::string s = (m.Flags & hook) ? HookCodeName(m.Message) : MsgName(m.Message);
  std::string flags = FlagsText(m.Flags);
  if (!flags.empty()) s += " " + flags;
  char buf[64];
  if (!expected || (m.Flags & wparam)) {
    std::snprintf(buf, sizeof buf, " wp=%llx", (unsigned long long)m.WParam);
    s += buf;
  }
  if (!expected || (m.Flags & lparam)) {
    std::snprintf(buf, sizeof buf, " lp=%llx", (unsigned long long)m.LParam);
    s += buf;
  }
  if (m.Wnd && (showWnd || (m.Flags & hook))) {
    std::snprintf(buf, sizeof buf, " wnd=%llx", (unsigned long long)(ULONG_PTR)m.Wnd);
    s += buf;
  }
  return s;
}

// Whether a recorded entry is the expected one: number, the kind flags, and wParam, lParam and
// window where the expected entry asks for them.
inline bool EntryMatches(const TRecordedMsg& e, const TRecordedMsg& a) {
  constexpr unsigned kKinds = sent | posted | parent | defwinproc | perform | hook | beginpaint;
  return a.Message == e.Message && (a.Flags & kKinds) == (e.Flags & kKinds) &&
         (!(e.Flags & wparam) || a.WParam == e.WParam) && (!(e.Flags & lparam) || a.LParam == e.LParam) &&
         (!e.Wnd || a.Wnd == e.Wnd);
}

}  // namespace msglog

// One window's or control's messages, of the numbers it is told to watch, and what hooks saw.
class TMessageLog {
public:
  TMessageLog(std::vector<UINT> watch, unsigned extraFlags = 0) : watch_(std::move(watch)), extra_(extraFlags) {}
  void Record(UINT msg, unsigned flags, WPARAM wp, LPARAM lp, HWND wnd = nullptr) {
    for (UINT w : watch_)
      if (w == msg) {
        Messages.push_back({msg, flags | extra_, wp, lp, wnd});
        return;
      }
  }
  // A hook's entry: the hook recorder chooses its codes itself (they share numbers with messages).
  void RecordHook(UINT code, WPARAM wp, LPARAM lp, HWND wnd) { Messages.push_back({code, hook | extra_, wp, lp, wnd}); }
  void Clear() { Messages.clear(); }
  std::vector<TRecordedMsg> Messages;

private:
  std::vector<UINT> watch_;
  unsigned extra_;
};

// Compares the log with the expected sequence, in the manner of the system's message tests:
// entries match in order by number and by the kind flags (sent, posted, parent, defwinproc,
// perform, hook, beginpaint); wParam, lParam and the window where the entry asks; optional
// entries may be absent anywhere, also next to a required entry of the same number. When they
// differ, both sequences are printed side by side, aligned, with the first difference marked.
inline ::testing::AssertionResult SequenceIs(const TMessageLog& log, const std::vector<TRecordedMsg>& expected) {
  const std::vector<TRecordedMsg>& actual = log.Messages;
  const size_t ne = expected.size(), na = actual.size();
  // cost[i][j]: the cheapest alignment of expected[i..] with actual[j..]. An absent optional entry
  // costs nothing; a missing or an unexpected entry one; a pair of the same number that differs
  // in flags or parameters one, a pair of different numbers two (so a shifted sequence shows as
  // the one entry too many rather than as every later pair differing).
  std::vector<std::vector<size_t>> cost(ne + 1, std::vector<size_t>(na + 1, 0));
  auto optionalAt = [&](size_t i) { return (expected[i].Flags & optional) != 0; };
  auto pairCost = [&](size_t i, size_t j) -> size_t {
    if (msglog::EntryMatches(expected[i], actual[j])) return 0;
    bool sameNumber = expected[i].Message == actual[j].Message && (expected[i].Flags & hook) == (actual[j].Flags & hook);
    return sameNumber ? 1 : 2;
  };
  for (size_t i = ne + 1; i-- > 0;)
    for (size_t j = na + 1; j-- > 0;) {
      if (i == ne && j == na) continue;
      size_t best = SIZE_MAX;
      if (i < ne && j < na) best = std::min(best, cost[i + 1][j + 1] + pairCost(i, j));
      if (i < ne) best = std::min(best, cost[i + 1][j] + (optionalAt(i) ? 0 : 1));
      if (j < na) best = std::min(best, cost[i][j + 1] + 1);
      cost[i][j] = best;
    }
  if (cost[0][0] == 0) return ::testing::AssertionSuccess();

  // Walks the cheapest alignment into rows of the side-by-side listing.
  struct TRow {
    std::string Left, Right;
    bool Differs;
  };
  std::vector<TRow> rows;
  size_t i = 0, j = 0;
  auto left = [&](size_t k) { return msglog::EntryText(expected[k], true); };
  auto right = [&](size_t k, size_t against) {
    return msglog::EntryText(actual[k], false, against < ne && expected[against].Wnd);
  };
  while (i < ne || j < na) {
    size_t pair = i < ne && j < na ? pairCost(i, j) : SIZE_MAX;
    if (pair == 0 && cost[i][j] == cost[i + 1][j + 1]) {
      rows.push_back({left(i), right(j, i), false});
      ++i, ++j;
    } else if (i < ne && optionalAt(i) && cost[i][j] == cost[i + 1][j]) {
      rows.push_back({left(i), "(absent)", false});
      ++i;
    } else if (pair != SIZE_MAX && cost[i][j] == cost[i + 1][j + 1] + pair) {
      rows.push_back({left(i), right(j, i), true});
      ++i, ++j;
    } else if (i < ne && cost[i][j] == cost[i + 1][j] + 1) {
      rows.push_back({left(i), "(missing)", true});
      ++i;
    } else {
      rows.push_back({"(not expected)", right(j, ne), true});
      ++j;
    }
  }
  size_t width = std::string("expected").size();
  for (const TRow& r : rows) width = std::max(width, r.Left.size());
  auto pad = [&](const std::string& s) { return s + std::string(width - s.size(), ' '); };
  std::string text = "\n     " + pad("expected") + " | actual\n";
  bool first = true;
  for (const TRow& r : rows) {
    const char* mark = !r.Differs ? "     " : first ? "  => " : "   ! ";
    text += mark + pad(r.Left) + " | " + r.Right + (r.Differs && first ? "   <- first difference" : "") + "\n";
    if (r.Differs) first = false;
  }
  return ::testing::AssertionFailure() << text;
}

// Records a window's messages at its window procedure, which it subclasses until it goes.
class TWindowRecorder {
public:
  TWindowRecorder(HWND wnd, TMessageLog& log) : wnd_(wnd), log_(log) {
    if (!msglog::WatchBeginPaint()) ADD_FAILURE() << "the program's BeginPaint calls cannot be watched";
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
    if (msglog::g_beginPaintDepth > 0) flags |= beginpaint;
    self->log_.Record(msg, flags, wp, lp, wnd);
    WNDPROC old = self->old_;
    if (msg == WM_NCDESTROY) {
      RemovePropW(wnd, L"TestRecorder");
      SetWindowLongPtrW(wnd, GWLP_WNDPROC, LONG_PTR(old));
      self->wnd_ = nullptr;
    }
    const msglog::TStackEntry entry{wnd, msg, wp, lp, msglog::g_recording};
    msglog::g_recording = &entry;
    LRESULT r = CallWindowProcW(old, wnd, msg, wp, lp);
    msglog::g_recording = entry.Outer;
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
    const msglog::TStackEntry* top = msglog::g_recording;
    bool throughWindow = top && top->Wnd == wnd && wnd && top->Msg == m.Msg && top->WParam == m.WParam &&
                         top->LParam == m.LParam;
    if (!throughWindow) log_.Record(m.Msg, perform, m.WParam, m.LParam, wnd);
    saved_(m);
  }
  TControl* control_;
  TMessageLog& log_;
  TWndMethod saved_;
  TWndMethod mine_;
};

// Records what a WH_CBT hook of this thread sees into a log, as `hook` entries whose number is
// the hook code and whose window is the one the code names: only the codes given, and only for
// windows of the given classes (every window when none is given). One per thread at a time.
class TCbtRecorder {
public:
  explicit TCbtRecorder(TMessageLog& log, std::vector<UINT> codes = {HCBT_CREATEWND, HCBT_ACTIVATE, HCBT_DESTROYWND},
                        std::vector<std::wstring> classes = {})
      : log_(log), codes_(std::move(codes)), classes_(std::move(classes)) {
    if (current()) ADD_FAILURE() << "a thread records its CBT hook into one log at a time";
    current() = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Proc, nullptr, GetCurrentThreadId());
    if (!hook_) ADD_FAILURE() << "the CBT hook could not be set";
  }
  ~TCbtRecorder() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current() = nullptr;
  }
  TCbtRecorder(const TCbtRecorder&) = delete;
  TCbtRecorder& operator=(const TCbtRecorder&) = delete;

private:
  static TCbtRecorder*& current() {
    static thread_local TCbtRecorder* c = nullptr;
    return c;
  }
  // The window a hook code is about (in wParam for these codes), or none.
  static HWND WindowOf(int code, WPARAM wp) {
    switch (code) {
      case HCBT_CREATEWND:
      case HCBT_DESTROYWND:
      case HCBT_ACTIVATE:
      case HCBT_MINMAX:
      case HCBT_MOVESIZE:
      case HCBT_SETFOCUS: return HWND(wp);
      default: return nullptr;
    }
  }
  bool Watches(int code, HWND wnd) const {
    if (std::find(codes_.begin(), codes_.end(), UINT(code)) == codes_.end()) return false;
    if (classes_.empty()) return true;
    if (!wnd) return false;  // cannot tell whose it is (an activation can name no window)
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return std::find(classes_.begin(), classes_.end(), name) != classes_.end();
  }
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    if (TCbtRecorder* self = current(); self && code >= 0) {
      HWND wnd = WindowOf(code, wp);
      if (self->Watches(code, wnd)) self->log_.RecordHook(UINT(code), wp, lp, wnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  TMessageLog& log_;
  std::vector<UINT> codes_;
  std::vector<std::wstring> classes_;
  HHOOK hook_ = nullptr;
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
