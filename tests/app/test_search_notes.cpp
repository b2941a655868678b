// Karo's page C (word and idiom search in three match modes) and page D (notes by category:
// navigation, new, save, cancel, delete, the running total) over the builder's small database.
#include "tests/app/karo_fixture.h"

#include <algorithm>

#include "classlib/controls/dialogs.h"

using namespace karo_test;

namespace {

const WideString kChun = L"\u6625";

std::vector<WideString> Column(TDataSet* ds, const WideString& field) {
  std::vector<WideString> out;
  const int f = ds->FieldByName(field)->Index();
  for (int i = 0; i < ds->RecordCount(); i++) out.push_back(ds->RecordValues(i)[size_t(f)].AsWideString());
  return out;
}

std::vector<WideString> Sorted(std::vector<WideString> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Characters typed into a control, as the keyboard sends them.
void TypeChars(TWinControl* control, const WideString& text) {
  for (wchar_t c : text) SendMessageW(control->Handle(), WM_CHAR, WPARAM(c), 1);
}

class KaroPages : public KaroForm {
protected:
  void SetUp() override {
    KaroForm::SetUp();
    // Delete's question answered as the test says; every box recorded.
    SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
      boxes.push_back(r);
      return r.Kind == mkMessageDialog ? answer : IDOK;
    });
  }

  TADOQuery* Words() { return dm->C_ADOQuery1(); }
  TADOQuery* Idioms() { return dm->C_ADOQuery2(); }
  TADOQuery* Notes() { return dm->D_ADOQuery1(); }
  TComboBox* Modes() { return C<TComboBox>("C_ComboBox1"); }
  TComboBox* Categories() { return C<TComboBox>("D_ComboBox1"); }
  WideString Category(int i) { return Categories()->Items()->Strings(i); }
  void Button(int n) { C<TSpeedButton>("D_SpeedButton" + std::to_string(n))->Click(); }

  // The four navigation buttons' states, first to last: "0011".
  std::string Navigation() {
    std::string s;
    for (int i = 1; i <= 4; i++) s += C<TSpeedButton>("D_SpeedButton" + std::to_string(i))->Enabled() ? '1' : '0';
    return s;
  }
  WideString NotesStatus(int count, int total) {
    const auto& l = KaroValues.StatusLabels;
    return l[slZongHe] + std::to_wstring(count) + l[slXiLie] + L"  " + std::to_wstring(total) + l[slShuMu];
  }
  void ShowPage(int index) {
    C<TPageControl>("PageControl")->SetActivePageIndex(index);
    Pump();
  }

  int answer = mrYes;
};

}  // namespace

// ---- Page C

TEST_F(KaroPages, FirstVisitShowsTheStartUpCountsAndAnEmptyTextClears) {
  Start();
  const auto& l = KaroValues.StatusLabels;
  const WideString text = C<TEdit>("C_Edit1")->Text();
  ASSERT_FALSE(text.empty());
  ShowPage(2);
  // Every word; the idioms beginning with 春.
  EXPECT_EQ(Status(0), l[slTiaoJian] + Modes()->Text() + L"=" + text);
  EXPECT_EQ(Status(1), l[slCiYu] + L"8  " + l[slChengYu] + L"2");

  // An empty text clears the status bar and leaves the grids as they were.
  C<TEdit>("C_Edit1")->SetText(L"");
  C<TSpeedButton>("C_SpeedButton1")->Click();
  EXPECT_EQ(Status(0), L"");
  EXPECT_EQ(Status(1), L"");
  EXPECT_EQ(Words()->RecordCount(), 8);
  EXPECT_EQ(Idioms()->RecordCount(), 2);
  ShowPage(0);
  ShowPage(2);
  EXPECT_EQ(Status(0), L"");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(KaroPages, EachModeFindsItsWordsAndIdiomsAtOnce) {
  Start();
  ShowPage(2);
  const auto& l = KaroValues.StatusLabels;
  ASSERT_EQ(Modes()->Items()->Count(), 3);
  C<TEdit>("C_Edit1")->SetText(kChun);
  const struct {
    int mode;
    std::vector<WideString> words, idioms;
  } cases[] = {
      {0,
       {L"\u6625%", L"\u6625_", L"\u6625\u5929", L"\u6625\u98ce"},
       {L"\u6625\u6696\u82b1\u5f00", L"\u6625\u98ce\u5316\u96e8"}},
      {1,
       {L"\u6625%", L"\u6625_", L"\u6625\u5929", L"\u6625\u98ce", L"\u65e9\u6625", L"\u7acb\u6625", L"\u9752\u6625\u671f"},
       {L"\u4e00\u5e74\u4e4b\u8ba1\u5728\u4e8e\u6625", L"\u5999\u624b\u56de\u6625", L"\u6625\u6696\u82b1\u5f00",
        L"\u6625\u98ce\u5316\u96e8", L"\u6ee1\u9762\u6625\u98ce"}},
      {2, {L"\u65e9\u6625", L"\u7acb\u6625"}, {L"\u4e00\u5e74\u4e4b\u8ba1\u5728\u4e8e\u6625", L"\u5999\u624b\u56de\u6625"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    // Choosing the mode searches at once; the button searches again with the same result.
    Choose(Modes(), c.mode);
    for (int pass = 0; pass < 2; pass++) {
      EXPECT_EQ(Sorted(Column(Words(), L"CiYu")), Sorted(c.words));
      EXPECT_EQ(Sorted(Column(Idioms(), L"ChengYu")), Sorted(c.idioms));
      EXPECT_EQ(Status(0), l[slTiaoJian] + Modes()->Items()->Strings(c.mode) + L"=" + kChun);
      EXPECT_EQ(Status(1), l[slCiYu] + std::to_wstring(c.words.size()) + L"  " + l[slChengYu] +
                               std::to_wstring(c.idioms.size()));
      C<TSpeedButton>("C_SpeedButton1")->Click();
    }
  }
  // The first mode lists the idioms of the start-up statement.
  Choose(Modes(), 0);
  EXPECT_EQ(Sorted(Column(Idioms(), L"ChengYu")),
            Sorted(Rows(L"select ChengYu from ChengYu where ChengYu like :V", kChun + L"%")));

  // A mode typed by hand that is no item becomes the third item and searches as ends with.
  Type(Modes(), L"\u968f\u4fbf");
  EXPECT_EQ(Modes()->Text(), Modes()->Items()->Strings(2));
  EXPECT_EQ(Sorted(Column(Words(), L"CiYu")), Sorted({L"\u65e9\u6625", L"\u7acb\u6625"}));
  EXPECT_EQ(Status(0), l[slTiaoJian] + Modes()->Items()->Strings(2) + L"=" + kChun);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(KaroPages, TypedWildcardsActAndQuotesStayText) {
  Start();
  ShowPage(2);
  const std::vector<WideString> everyWord = {L"\u6625\u5929", L"\u6625\u98ce", L"\u65e9\u6625", L"\u7acb\u6625",
                                             L"\u9752\u6625\u671f", L"\u590f\u5929", L"\u6625%", L"\u6625_"};
  const std::vector<WideString> everyIdiom = {L"\u6625\u6696\u82b1\u5f00", L"\u6625\u98ce\u5316\u96e8",
                                              L"\u5999\u624b\u56de\u6625", L"\u6ee1\u9762\u6625\u98ce",
                                              L"\u4e00\u5e74\u4e4b\u8ba1\u5728\u4e8e\u6625", L"\u79cb\u9ad8\u6c14\u723d"};
  const struct {
    int mode;
    const wchar_t* text;
    std::vector<WideString> words, idioms;
  } cases[] = {
      // 春%天 at the start: begins with 春, 天 somewhere after it.
      {0, L"\u6625%\u5929", {L"\u6625\u5929"}, {}},
      // "_" stands for exactly one character.
      {0, L"_\u5929", {L"\u6625\u5929", L"\u590f\u5929"}, {}},
      {0, L"\u6625_", {L"\u6625\u5929", L"\u6625\u98ce", L"\u6625%", L"\u6625_"},
       {L"\u6625\u6696\u82b1\u5f00", L"\u6625\u98ce\u5316\u96e8"}},
      {2, L"\u6625_", {L"\u6625\u5929", L"\u6625\u98ce", L"\u9752\u6625\u671f", L"\u6625%", L"\u6625_"},
       {L"\u6ee1\u9762\u6625\u98ce"}},
      {2, L"_", everyWord, everyIdiom},
      {1, L"%", everyWord, everyIdiom},
      // A quote is text, not the end of a literal: nothing matches and nothing fails.
      {1, L"\u6625\"", {}, {}},
      {1, L"'", {}, {}},
      {0, L"' or ''='", {}, {}},
      {1, L"\" or \"\"=\"", {}, {}},
      // No escape character: a backslash is a character like any other.
      {1, L"\\", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.text));
    C<TEdit>("C_Edit1")->SetText(c.text);
    Choose(Modes(), c.mode);
    EXPECT_EQ(Sorted(Column(Words(), L"CiYu")), Sorted(c.words));
    EXPECT_EQ(Sorted(Column(Idioms(), L"ChengYu")), Sorted(c.idioms));
  }
  // The tables are whole after the quotes.
  EXPECT_EQ(Rows(L"select CiYu from CiYu where CiYu like :V", L"%").size(), everyWord.size());
  EXPECT_TRUE(boxes.empty());
}

TEST(KaroLikePattern, ModesAddWildcardsAroundTheTextAsTyped) {
  EXPECT_EQ(KaroLikePattern(L"a", 0), L"a%");
  EXPECT_EQ(KaroLikePattern(L"a", 1), L"%a%");
  EXPECT_EQ(KaroLikePattern(L"a", 2), L"%a");
  EXPECT_EQ(KaroLikePattern(L"5%_\\'\"", 2), L"%5%_\\'\"");
}

// ---- Page D

TEST(KaroNoteCount, NumbersCountAndAnythingElseCountsNothing) {
  const struct {
    Variant value;
    int32_t count;
  } cases[] = {{Variant(5), 5},          {Variant(2.6), 3},         {Variant(L"12"), 12}, {Variant(L" 7 "), 7},
               {Variant(L""), 0},        {Variant(L"many"), 0},     {Null(), 0},          {Variant(L"3x"), 0},
               {Variant(1e12), 0},       {Variant(int64_t(-4)), -4}};
  for (const auto& c : cases) EXPECT_EQ(KaroNoteCount(c.value), c.count) << WideToUtf8(c.value.AsWideString());
}

TEST_F(KaroPages, CategoriesListNewestFirstWithTheirTotalsAndButtonsFollowThePosition) {
  Start();
  ShowPage(3);
  // Shown at start: the first category, summed without a status; the page's visit writes it.
  EXPECT_EQ(Categories()->Text(), Category(0));
  EXPECT_EQ(KaroValues.NotesTotal, 77);
  EXPECT_EQ(Status(0), KaroValues.StatusLabels[slLeiBie] + Category(0));
  EXPECT_EQ(Status(1), NotesStatus(5, 77));

  const struct {
    int category;
    std::vector<WideString> titles;
    int total;
    std::string buttons;
  } cases[] = {{0, {L"d", L"c", L"e", L"b", L"a"}, 77, "0011"},  // "a" has no count, "d" a text one
               {1, {L"x"}, 33, "0000"},
               {8, {}, 0, "0000"},
               {0, {L"d", L"c", L"e", L"b", L"a"}, 77, "0011"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.category);
    Choose(Categories(), c.category);
    EXPECT_EQ(Column(Notes(), L"BiaoTi"), c.titles);
    EXPECT_EQ(Status(0), KaroValues.StatusLabels[slLeiBie] + Category(c.category));
    EXPECT_EQ(Status(1), NotesStatus(int(c.titles.size()), c.total));
    EXPECT_EQ(Navigation(), c.buttons);
    EXPECT_EQ(Notes()->RecNo(), c.titles.empty() ? 0 : 1);
  }
  // A typed category is a value of the statement: quotes and wildcards find nothing and break nothing.
  for (const WideString& typed : {Category(0) + L"\"", Category(0) + L"'", WideString(L"%"), WideString(L"_")}) {
    SCOPED_TRACE(WideToUtf8(typed));
    Type(Categories(), typed);
    EXPECT_EQ(Notes()->RecordCount(), 0);
    EXPECT_EQ(Status(0), KaroValues.StatusLabels[slLeiBie] + typed);
    EXPECT_EQ(Status(1), NotesStatus(0, 0));
    EXPECT_EQ(Navigation(), "0000");
  }
  EXPECT_TRUE(boxes.empty());
}

TEST(KaroShellTarget, ANameLiesInTheProgramFolderAndAnythingRootedStandsAsItIs) {
  const WideString folder = KaroProgramFolder();
  const struct {
    const wchar_t* target;
    WideString opened;
  } cases[] = {{L"Data", folder + L"Data"},
               {L"Data\\Notes.txt", folder + L"Data\\Notes.txt"},
               {L"https://karo.example.org/", L"https://karo.example.org/"},
               {L"mailto:a@b.c", L"mailto:a@b.c"},
               {L"C:\\Notes", L"C:\\Notes"},
               {L"\\\\server\\notes", L"\\\\server\\notes"},
               {L"", L""}};
  for (const auto& c : cases) EXPECT_EQ(KaroShellTarget(c.target), c.opened) << WideToUtf8(c.target);
}

TEST_F(KaroPages, TheOpenButtonOpensTheShellTargetAndTheLastButtonDoesNothing) {
  Start();
  ShowPage(3);
  Button(9);
  ASSERT_EQ(shells.size(), 1u);
  EXPECT_EQ(shells[0].Window, form->Handle());
  EXPECT_EQ(shells[0].Target, KaroShellTarget(KaroValues.ShellTarget));
  EXPECT_EQ(shells[0].Target, folder + L"Data");
  EXPECT_EQ(shells[0].Show, SW_SHOWMAXIMIZED);
  EXPECT_FALSE(C<TSpeedButton>("D_SpeedButton10")->OnClick);
  const std::string before = Navigation();
  Button(10);
  EXPECT_EQ(shells.size(), 1u);
  EXPECT_EQ(Navigation(), before);
  EXPECT_EQ(Notes()->State(), dsBrowse);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(KaroPages, EveryNavigationPathSetsTheButtonsFromThePosition) {
  Start();
  ShowPage(3);
  const struct {
    int button;  // 1 first, 2 prior, 3 next, 4 last; 0 the title list moved to row 2
    const wchar_t* title;
    std::string buttons;
  } steps[] = {{3, L"c", "1111"}, {3, L"e", "1111"}, {3, L"b", "1111"}, {3, L"a", "1100"}, {3, L"a", "1100"},
               {2, L"b", "1111"}, {1, L"d", "0011"}, {2, L"d", "0011"}, {4, L"a", "1100"}, {2, L"b", "1111"},
               {2, L"e", "1111"}, {2, L"c", "1111"}, {2, L"d", "0011"}, {0, L"e", "1111"}, {4, L"a", "1100"},
               {1, L"d", "0011"}};
  ASSERT_EQ(Navigation(), "0011");
  for (const auto& s : steps) {
    SCOPED_TRACE(std::to_string(&s - steps) + ": button " + std::to_string(s.button));
    if (s.button) Button(s.button);
    else Notes()->MoveTo(2);
    EXPECT_EQ(Notes()->FieldByName(L"BiaoTi")->AsString(), s.title);
    EXPECT_EQ(Navigation(), s.buttons);
  }
}

TEST_F(KaroPages, NewThenCancelLeavesNothingAndNewThenSaveStoresADatedNote) {
  Start();
  ShowPage(3);
  const WideString poems = Category(0);
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "cancel");
    Button(5);
    ASSERT_EQ(Notes()->State(), dsInsert);
    EXPECT_EQ(C<TDBEdit>("D_DBEdit3")->Text(), L"0");
    EXPECT_EQ(C<TDBEdit>("D_DBEdit7")->Text(), DateToStr(Date()));
    EXPECT_EQ(Notes()->FieldByName(L"LeiBie")->AsString(), poems);
    EXPECT_EQ(Notes()->FieldByName(L"BiaoJi")->AsString(), C<TDBComboBox>("D_DBComboBox2")->Items()->Strings(0));
    EXPECT_FALSE(Notes()->FieldByName(L"BiaoTi")->IsNull());
    EXPECT_EQ(Notes()->FieldByName(L"BiaoTi")->AsString(), L"");
    // New changes neither the total nor the status bar.
    EXPECT_EQ(Status(1), NotesStatus(5, 77));
    TypeChars(C<TDBEdit>("D_DBEdit1"), L"\u65b0");
    Button(save ? 7 : 8);
    EXPECT_EQ(Notes()->State(), dsBrowse);
  }
  // One note stored, dated today as a date, counted, and listed first at the next visit.
  EXPECT_EQ(Rows(L"select ShuLiang from ZuoPin where LeiBie=:V", poems).size(), 6u);
  EXPECT_EQ(Rows(L"select RiQi || '' from ZuoPin where BiaoTi=:V", L"\u65b0"),
            std::vector<WideString>{Utf8ToWide(DateToIso(Date()))});
  EXPECT_EQ(Rows(L"select typeof(ShuLiang) from ZuoPin where BiaoTi=:V", L"\u65b0"), std::vector<WideString>{L"integer"});
  EXPECT_EQ(Status(1), NotesStatus(6, 77));
  Choose(Categories(), 0);
  EXPECT_EQ(Notes()->FieldByName(L"BiaoTi")->AsString(), L"\u65b0");
  EXPECT_EQ(Notes()->FieldByName(L"RiQi")->AsString(), DateToStr(Date()));
  EXPECT_EQ(Navigation(), "0011");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(KaroPages, AnEditedCountIsSavedAndTheTotalRecomputed) {
  Start();
  ShowPage(3);
  // The title list's click puts the note into edit state.
  TDBGrid* titles = C<TDBGrid>("D_DBGrid1");
  ASSERT_TRUE(titles->OnMouseUp);
  titles->OnMouseUp(titles, mbLeft, TShiftState{}, 4, 4);
  EXPECT_EQ(Notes()->State(), dsEdit);
  EXPECT_EQ(C<TDBRichEdit>("D_DBRichEdit1")->ScrollBars(), ssVertical);
  ASSERT_EQ(Notes()->FieldByName(L"BiaoTi")->AsString(), L"d");
  TDBEdit* count = C<TDBEdit>("D_DBEdit3");
  count->SetText(L"");
  TypeChars(count, L"100");
  Button(7);
  EXPECT_EQ(Notes()->State(), dsBrowse);
  EXPECT_EQ(Rows(L"select ShuLiang from ZuoPin where BiaoTi=:V", L"d"), std::vector<WideString>{L"100"});
  EXPECT_EQ(Status(1), NotesStatus(5, 177));
  EXPECT_EQ(KaroValues.NotesTotal, 177);
}

TEST_F(KaroPages, DeleteAsksAndRemovesOnlyOnYes) {
  Start();
  ShowPage(3);
  Button(3);  // "c", 22
  answer = mrNo;
  Button(6);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Kind, mkMessageDialog);
  EXPECT_EQ(boxes[0].Text, L"Are You Sure\uFF1F");
  EXPECT_EQ(Column(Notes(), L"BiaoTi"), (std::vector<WideString>{L"d", L"c", L"e", L"b", L"a"}));
  EXPECT_EQ(Rows(L"select BiaoTi from ZuoPin where LeiBie=:V", Category(0)).size(), 5u);

  answer = mrYes;
  Button(6);
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_EQ(Column(Notes(), L"BiaoTi"), (std::vector<WideString>{L"d", L"e", L"b", L"a"}));
  EXPECT_TRUE(Rows(L"select BiaoTi from ZuoPin where BiaoTi=:V", L"c").empty());
  EXPECT_EQ(Status(1), NotesStatus(4, 55));
  EXPECT_EQ(Navigation(), "1111");

  // The one note of a category: gone, the buttons all off; then Yes on the empty category removes nothing.
  Choose(Categories(), 1);
  Button(6);
  EXPECT_EQ(Notes()->RecordCount(), 0);
  EXPECT_EQ(Status(1), NotesStatus(0, 0));
  EXPECT_EQ(Navigation(), "0000");
  Button(6);
  EXPECT_EQ(Notes()->RecordCount(), 0);
  EXPECT_EQ(Notes()->State(), dsBrowse);
  EXPECT_EQ(Rows(L"select count(*) from ZuoPin where LeiBie<>:V", L"").front(), L"4");
  EXPECT_EQ(boxes.size(), 4u);
}

TEST_F(KaroPages, ANoteSavedOnAnEmptyCategoryStaysInIt) {
  Start();
  ShowPage(3);
  const WideString other = Category(8);
  Choose(Categories(), 8);
  ASSERT_EQ(Notes()->RecordCount(), 0);
  // Typing on the empty category starts a new note; Save stores what the editors hold.
  TypeChars(C<TDBEdit>("D_DBEdit1"), L"\u7a7a");
  EXPECT_EQ(Notes()->State(), dsInsert);
  Button(7);
  EXPECT_EQ(Rows(L"select BiaoTi from ZuoPin where LeiBie=:V", other), std::vector<WideString>{L"\u7a7a"});
  EXPECT_EQ(Status(1), NotesStatus(1, 0));
  Choose(Categories(), 8);
  EXPECT_EQ(Column(Notes(), L"BiaoTi"), std::vector<WideString>{L"\u7a7a"});
  EXPECT_TRUE(boxes.empty());
}
