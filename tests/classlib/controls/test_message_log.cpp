// The message log itself: optional entries anywhere, what a CBT hook sees, messages sent inside
// BeginPaint, and the side-by-side listing of a sequence that differs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/message_log.h"
#include "tests/support/window_class.h"

namespace {

constexpr UINT A = WM_USER + 1, B = WM_USER + 2, C = WM_USER + 3;

TMessageLog LogOf(std::vector<TRecordedMsg> messages) {
  TMessageLog log({});
  log.Messages = std::move(messages);
  return log;
}

struct TSequenceCase {
  const char* Name;
  std::vector<TRecordedMsg> Expected;
  std::vector<TRecordedMsg> Actual;
  bool Same;
};

TEST(MessageLog, OptionalEntriesMayBeAbsentAnywhere) {
  const TSequenceCase cases[] = {
      {"optional before a required one of its number, absent", {{A, sent | optional}, {A, sent}}, {{A, sent}}, true},
      {"optional before a required one of its number, there", {{A, sent | optional}, {A, sent}}, {{A, sent}, {A, sent}}, true},
      {"optional first", {{B, sent | optional}, {A, sent}}, {{A, sent}}, true},
      {"optional last", {{A, sent}, {B, sent | optional}}, {{A, sent}}, true},
      {"optional between, absent", {{A, sent}, {B, sent | optional}, {C, sent}}, {{A, sent}, {C, sent}}, true},
      {"optional between, there", {{A, sent}, {B, sent | optional}, {C, sent}}, {{A, sent}, {B, sent}, {C, sent}}, true},
      {"only optional, nothing came", {{A, sent | optional}, {B, sent | optional}}, {}, true},
      {"optional and required around one", {{A, sent | optional}, {A, sent}, {A, sent | optional}}, {{A, sent}}, true},
      {"more than the optional ones allow",
       {{A, sent}, {A, sent | optional}},
       {{A, sent}, {A, sent}, {A, sent}},
       false},
      {"required missing", {{A, sent}, {B, sent}}, {{A, sent}}, false},
      {"something unexpected", {{A, sent}}, {{A, sent}, {C, sent}}, false},
      {"optional in the wrong place does not excuse an extra", {{A, sent}, {B, sent | optional}}, {{A, sent}, {C, sent}}, false},
  };
  for (const TSequenceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(bool(SequenceIs(LogOf(c.Actual), c.Expected)), c.Same);
  }
}

TEST(MessageLog, EntriesMatchOnKindParametersAndWindow) {
  HWND one = HWND(ULONG_PTR(0x1234)), two = HWND(ULONG_PTR(0x5678));
  const TSequenceCase cases[] = {
      {"sent is not posted", {{A, sent}}, {{A, posted}}, false},
      {"beginpaint is a kind", {{WM_ERASEBKGND, sent}}, {{WM_ERASEBKGND, sent | beginpaint}}, false},
      {"beginpaint matches beginpaint", {{WM_ERASEBKGND, sent | beginpaint}}, {{WM_ERASEBKGND, sent | beginpaint}}, true},
      // HCBT_CREATEWND and WM_MOVE share the number 3.
      {"a hook code is not a message", {{WM_MOVE, sent}}, {{HCBT_CREATEWND, hook}}, false},
      {"a hook code matches its code", {{HCBT_CREATEWND, hook}}, {{HCBT_CREATEWND, hook}}, true},
      {"wParam compared when asked", {{A, sent | wparam, 1}}, {{A, sent, 2}}, false},
      {"wParam ignored otherwise", {{A, sent, 1}}, {{A, sent, 2}}, true},
      {"lParam compared when asked", {{A, sent | lparam, 0, 7}}, {{A, sent, 0, 7}}, true},
      {"window compared when named", {{A, sent, 0, 0, one}}, {{A, sent, 0, 0, two}}, false},
      {"window ignored when not named", {{A, sent}}, {{A, sent, 0, 0, two}}, true},
  };
  for (const TSequenceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(bool(SequenceIs(LogOf(c.Actual), c.Expected)), c.Same);
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

TEST(MessageLog, DifferenceListsBothSidesAndMarksTheFirst) {
  TMessageLog log = LogOf({{WM_NCCREATE, sent}, {WM_MOVE, sent, 0, 0x00140010}, {WM_SIZE, sent}, {WM_DESTROY, posted}});
  ::testing::AssertionResult r = SequenceIs(log, {{WM_NCCREATE, sent},
                                                   {WM_SHOWWINDOW, sent | optional},
                                                   {WM_SIZE, sent},
                                                   {WM_DESTROY, sent},
                                                   {WM_NCDESTROY, sent}});
  ASSERT_FALSE(r);
  std::vector<std::string> lines = Lines(r.message());
  auto lineWith = [&](const std::string& a, const std::string& b) -> std::string {
    for (const std::string& l : lines)
      if (l.find(a) != std::string::npos && l.find(b) != std::string::npos) return l;
    return "";
  };
  // A heading, then one row per aligned pair, expected on the left.
  EXPECT_NE(lineWith("expected", "| actual"), "");
  std::string same = lineWith("WM_NCCREATE sent", "| WM_NCCREATE sent");
  ASSERT_NE(same, "");
  EXPECT_EQ(same.rfind("     ", 0), 0u);  // not marked
  EXPECT_NE(lineWith("WM_SHOWWINDOW sent|optional", "(absent)"), "");
  // The message that came unasked is the first difference, with its parameters.
  std::string first = lineWith("(not expected)", "WM_MOVE sent");
  ASSERT_NE(first, "") << r.message();
  EXPECT_EQ(first.rfind("  => ", 0), 0u) << first;
  EXPECT_NE(first.find("lp=140010"), std::string::npos) << first;
  EXPECT_NE(first.find("<- first difference"), std::string::npos) << first;
  // Later differences are marked too, but not as the first.
  std::string later = lineWith("WM_DESTROY sent", "WM_DESTROY posted");
  ASSERT_NE(later, "") << r.message();
  EXPECT_EQ(later.rfind("   ! ", 0), 0u) << later;
  EXPECT_EQ(later.find("first difference"), std::string::npos);
  EXPECT_NE(lineWith("WM_NCDESTROY sent", "(missing)"), "");
}

// A window class of this file, with the logging default procedure and a WM_PAINT that paints
// through the program's own BeginPaint.
const wchar_t* PaintingClass() {
  RegisterWindowClass(L"KaroMessageLogTest", &PaintingWindowProc<LoggingDefWndProc>, {.Background = COLOR_WINDOW});
  return L"KaroMessageLogTest";
}

TEST(MessageLog, CbtHookEntriesInterleaveWithTheWindowsMessages) {
  TMessageLog log({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY});
  HWND made = nullptr;
  {
    TCbtRecorder cbt(log, {HCBT_CREATEWND, HCBT_DESTROYWND}, {PaintingClass()});
    TCreationHook creation({{PaintingClass(), &log}});
    // A window of another class is not this recorder's.
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    made = CreateWindowExW(0, PaintingClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(made, nullptr);
    DestroyWindow(made);
    DestroyWindow(other);
  }
  EXPECT_TRUE(SequenceIs(log, {{HCBT_CREATEWND, hook, 0, 0, made},
                               {WM_NCCREATE, sent},
                               {WM_CREATE, sent},
                               {HCBT_DESTROYWND, hook, 0, 0, made},
                               {WM_DESTROY, sent},
                               {WM_NCDESTROY, sent}}));
  ASSERT_FALSE(log.Messages.empty());
  EXPECT_EQ(log.Messages[0].WParam, WPARAM(made));
}

TEST(MessageLog, MessagesSentByBeginPaintAreMarked) {
  HWND wnd = CreateWindowExW(0, PaintingClass(), L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  UpdateWindow(wnd);
  Pump();
  TMessageLog log({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
  TWindowRecorder rec(wnd, log);

  // Painting: BeginPaint erases the background from inside.
  InvalidateRect(wnd, nullptr, TRUE);
  UpdateWindow(wnd);
  EXPECT_TRUE(SequenceIs(log, {{WM_PAINT, sent}, {WM_NCPAINT, sent | beginpaint | optional}, {WM_ERASEBKGND, sent | beginpaint}}));
  // Erasing now, without painting: the same message outside BeginPaint.
  log.Clear();
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_TRUE(SequenceIs(log, {{WM_ERASEBKGND, sent}}));
  ValidateRect(wnd, nullptr);
  rec.Detach();
  DestroyWindow(wnd);
}

}  // namespace
