// Karo's look-ups paint each window of the main form once: a rhyme look-up (a tone chosen) and a
// word search (the search button), counted by a hook from the choice until the queue is empty.
#include "tests/app/karo_fixture.h"
#include "tests/support/paint_count.h"

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
  for (const wchar_t* t : {L"1", L"2"}) {
    SCOPED_TRACE(WideToAnsi(t));
    TPaintCounter counter(form->Handle());
    ASSERT_TRUE(counter.Hooked()) << "the paint counter could not hook this thread";
    Choose(tone, IndexOf(tone, t));
    Pump();
    counter.Stop();
    ExpectPaintedOnce(counter, {C<TDBGrid>("A_DBGrid1")->Handle(), C<TDBGrid>("A_DBGrid2")->Handle()});
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
  }
}
