// Karo's look-ups paint each window of the main form once: a rhyme look-up (a tone chosen) and a
// word search (the search button), counted by a hook from the choice until the queue is empty.
#include "tests/app/karo_fixture.h"
#include "tests/support/paint_count.h"

#include <map>
#include <sstream>
#include <string>

using namespace karo_test;

namespace {

const WideString kGroupA = L"[a]\u5f00\u5934";  // [a] group as the database stores it

// Every window counted holds the bound; the windows named (the look-up's grids) were painted.
void ExpectPaintedOnce(const TPaintCounter& counter, std::initializer_list<HWND> changed) {
  for (const auto& [w, c] : counter.Counts()) {
    wchar_t cls[64] = L"";
    GetClassNameW(w, cls, 64);
    SCOPED_TRACE(testing::Message() << "window " << w << " of class " << cls);
    EXPECT_LE(c.NcPaint, 2);
    EXPECT_LE(c.EraseBkgnd, 1);
    EXPECT_LE(c.Paint, 1);
  }
  for (HWND w : changed) EXPECT_EQ(counter.Counts().at(w).Paint, 1) << "window " << w << " was not painted anew";
}

// The paints of one look-up summed by window class: which windows paint and how often holds on any
// machine, so a paint added anywhere (a grid painted twice, a frame drawn for nothing) shows here.
struct TClassPaints {
  int NcPaint, EraseBkgnd, Paint;
};
using TPaintsByClass = std::map<std::string, TClassPaints>;

// "class {frame, erase, paint}" for each class, in the order of their names.
std::string Describe(const TPaintsByClass& m) {
  std::ostringstream os;
  for (const auto& [cls, c] : m) os << cls << " {" << c.NcPaint << ", " << c.EraseBkgnd << ", " << c.Paint << "} ";
  return os.str();
}

TPaintsByClass PaintsByClass(const TPaintCounter& counter) {
  TPaintsByClass out;
  for (const auto& [w, c] : counter.Counts()) {
    if (!c.NcPaint && !c.EraseBkgnd && !c.Paint) continue;
    char cls[64] = "";
    GetClassNameA(w, cls, 64);
    TClassPaints& p = out[cls];
    p.NcPaint += c.NcPaint;
    p.EraseBkgnd += c.EraseBkgnd;
    p.Paint += c.Paint;
  }
  return out;
}

}  // namespace

TEST_F(KaroForm, ALookUpPaintsEachWindowOnce) {
  Start();
  SetForegroundWindow(form->Handle());
  Pump();
  C<TPageControl>("PageControl")->SetActivePageIndex(0);
  Pump();
  TComboBox* group = C<TComboBox>("A_ComboBox1");
  TComboBox* tone = C<TComboBox>("A_ComboBox3");
  Choose(group, IndexOf(group, kGroupA));
  Pump();
  // Each look-up paints both grids and the status bar once, frame and all, and the tone list's
  // text; the skin's bars over the grids only when their rows' number changes their thumbs.
  const struct {
    const wchar_t* Tone;
    TPaintsByClass Paints;
  } lookUps[] = {
      {L"1", {{"TDBGrid", {2, 2, 2}}, {"TStatusBar", {1, 1, 1}}, {"Edit", {0, 1, 1}}, {"TWScrollbar", {0, 0, 2}}}},
      {L"2", {{"TDBGrid", {2, 2, 2}}, {"TStatusBar", {1, 1, 1}}, {"Edit", {0, 1, 1}}}},
  };
  for (const auto& l : lookUps) {
    SCOPED_TRACE(WideToAnsi(l.Tone));
    TPaintCounter counter(form->Handle());
    ASSERT_TRUE(counter.Hooked()) << "the paint counter could not hook this thread";
    Choose(tone, IndexOf(tone, l.Tone));
    Pump();
    counter.Stop();
    ExpectPaintedOnce(counter, {C<TDBGrid>("A_DBGrid1")->Handle(), C<TDBGrid>("A_DBGrid2")->Handle()});
    EXPECT_EQ(Describe(PaintsByClass(counter)), Describe(l.Paints));
  }
}

TEST_F(KaroForm, AWordSearchPaintsEachWindowOnce) {
  Start();
  SetForegroundWindow(form->Handle());
  Pump();
  C<TPageControl>("PageControl")->SetActivePageIndex(2);
  Pump();
  C<TEdit>("C_Edit1")->SetText(L"\u6625");
  Choose(C<TComboBox>("C_ComboBox1"), 1);
  Pump();
  for (int round = 0; round < 2; round++) {
    TPaintCounter counter(form->Handle());
    ASSERT_TRUE(counter.Hooked()) << "the paint counter could not hook this thread";
    C<TSpeedButton>("C_SpeedButton1")->Click();
    Pump();
    counter.Stop();
    ExpectPaintedOnce(counter, {C<TDBGrid>("C_DBGrid1")->Handle(), C<TDBGrid>("C_DBGrid2")->Handle()});
    // The same rows again: nothing but the grids and the status bar paints, the skin's bars not.
    EXPECT_EQ(Describe(PaintsByClass(counter)), Describe({{"TDBGrid", {2, 2, 2}}, {"TStatusBar", {1, 1, 1}}}))
        << "round " << round;
  }
}
