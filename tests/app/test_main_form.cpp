// Karo's main form over a copy of the real database: the single-instance guard, the language file
// (shipped, empty, missing, both regions), pages A and B in every order of choices, the skin and
// region lists, and the scratch pads.
#include "tests/app/karo_fixture.h"
#include "tests/support/dib.h"

#include <set>

using namespace karo_test;

namespace {

const WideString kGroupA = L"[a]\u5f00\u5934";  // [a] group as the database stores it
const WideString kPromptCN = L"\u8bf7\u9009\u62e9";

// Every key the form reads from a region section.
std::vector<std::string> RegionKeys() {
  std::vector<std::string> k = {"Tile", "A_Label1", "A_Label2", "A_ComboBox", "B_ComboBox4", "B_ComboBox5", "C_Label1",
                                "C_ComboBox1", "C_Edit1", "C_SpeedButton1", "D_ComboBox1", "Up"};
  auto n = [&](const std::string& base, int from, int to) {
    for (int i = from; i <= to; i++) k.push_back(base + std::to_string(i));
  };
  n("TabSheet", 1, 4);
  n("A_ComboBox1_Items", 1, 6);
  n("A_ComboBox3_Items", 1, 4);
  n("A_SpeedButton", 1, 3);
  n("C_ComboBox1_Items", 1, 3);
  n("D_ComboBox1_Items", 1, 9);
  n("D_SpeedButton", 1, 10);
  n("D_Label", 1, 8);
  n("D_DBComboBox1_Items", 1, 9);
  n("D_DBComboBox2_Items", 1, 5);
  for (auto [grid, count] : {std::pair{"A_DBGrid1", 2}, {"A_DBGrid2", 2}, {"B_DBGrid1", 5}, {"B_DBGrid2", 5},
                             {"C_DBGrid1", 2}, {"C_DBGrid2", 2}})
    for (int i = 0; i < count; i++) k.push_back(std::string(grid) + ".Columns[" + std::to_string(i) + "]");
  for (const char* l : kKaroStatusLabelKeys) k.push_back(l);
  return k;
}

WideString W(const std::string& s) { return WideString(s.begin(), s.end()); }

// The lists and queries of rhyme page A or B, with the page shown.
struct TRhymeLists {
  TComboBox *Group, *Final, *Tone;
  TADOQuery *Ping, *Juan;
};
TRhymeLists ShowRhymePage(TK* form, TKaro_DataModule* dm, char p) {
  form->C<TPageControl>("PageControl")->SetActivePageIndex(p == 'A' ? 0 : 1);
  const std::string s(1, p);
  return {form->C<TComboBox>(s + "_ComboBox1"), form->C<TComboBox>(s + "_ComboBox2"),
          form->C<TComboBox>(s + "_ComboBox3"), p == 'A' ? dm->A_ADOQuery1() : dm->B_ADOQuery1(),
          p == 'A' ? dm->A_ADOQuery2() : dm->B_ADOQuery2()};
}

}  // namespace

TEST_F(KaroForm, SecondCopyIsToldAndEndsBeforeReadingAnything) {
  HANDLE first = CreateMutexA(nullptr, FALSE, "Karo");
  ASSERT_NE(first, nullptr);
  Start(false);
  CloseHandle(first);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Kind, mkMessageBox);
  EXPECT_EQ(boxes[0].Text, L"You Are Already Run The Karo !");
  EXPECT_EQ(boxes[0].Caption, L"Oh!");
  EXPECT_EQ(boxes[0].Flags, 0u);
  ASSERT_EQ(halts, std::vector<int>{0});
  // Nothing after the guard ran: the stored placeholders are still there.
  EXPECT_EQ(form->Caption(), L"K");
  EXPECT_EQ(C<TTabSheet>("TabSheet1")->Caption(), L"TabSheet1");
  EXPECT_EQ(form->Font()->Name(), L"Tahoma");
}

TEST_F(KaroForm, ShippedFileHoldsEveryKeyInBothRegionsWithListsFindingRows) {
  const TKaroLanguageFile ini(LanguagePath());
  const std::string bytes = ReadBytes(LanguagePath());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16 with its mark, as the wide profile calls read it";
  EXPECT_EQ(ini.ReadString(L"Language", L"Skin", L"?"), L"Yellow");
  EXPECT_EQ(ini.ReadString(L"Language", L"Region", L"?"), L"CN");
  for (const wchar_t* region : {L"CN", L"TW"})
    for (const std::string& key : RegionKeys())
      EXPECT_NE(ini.ReadString(region, W(key), L"\x1"), L"\x1") << WideToAnsi(region) << " " << key;
  // The labels keep their blanks; traditional texts in TW.
  EXPECT_EQ(ini.ReadString(L"CN", L"StatusBar_ZongHe", L""), L"\u5171 ");
  EXPECT_EQ(ini.ReadString(L"TW", L"StatusBar_XiLie", L""), L" \u7bc7");
  EXPECT_EQ(ini.ReadString(L"TW", L"Tile", L""), L"Karo \u8a69\u8a5e\u97fb\u5178");

  // Every group, tone and category item names rows of the database, in both regions.
  Start();
  for (const wchar_t* region : {L"CN", L"TW"}) {
    const auto items = [&](const wchar_t* sql, const WideString& list, int count) {
      for (int i = 1; i <= count; i++) {
        const WideString key = list + L"_Items" + std::to_wstring(i);
        EXPECT_FALSE(Rows(sql, ini.ReadString(region, key, L"")).empty()) << WideToAnsi(region + (L" " + key));
      }
    };
    items(L"select KaroMu from KaroMu where KaroShou=:V", L"A_ComboBox1", 6);
    items(L"select YinJie from PingSheYin where ShengDiao=:V", L"A_ComboBox3", 4);
    items(L"select BiaoTi from ZuoPin where LeiBie=:V", L"D_ComboBox1", 1);
  }
}

TEST_F(KaroForm, EmptyOrMissingLanguageFileShowsTheKeys) {
  for (bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "missing" : "empty");
    if (missing)
      DeleteFileW(LanguagePath().c_str());
    else
      WriteBytes(LanguagePath(), "");
    Start();
    EXPECT_EQ(form->Caption(), L"Tile");
    EXPECT_EQ(C<TTabSheet>("TabSheet1")->Caption(), L"TabSheet1");
    EXPECT_EQ(C<TLabel>("B_Label1")->Caption(), L"A_Label1");
    EXPECT_EQ(C<TComboBox>("B_ComboBox2")->Text(), L"A_ComboBox");
    EXPECT_EQ(C<TSpeedButton>("B_SpeedButton1")->Caption(), L"A_SpeedButton1");
    EXPECT_EQ(KaroValues.Prompt, L"A_ComboBox");
    for (const char* list : {"A_ComboBox1", "B_ComboBox1"}) {
      TComboBox* c = C<TComboBox>(list);
      ASSERT_EQ(c->Items()->Count(), 6);
      for (int i = 0; i < 6; i++) EXPECT_EQ(c->Items()->Strings(i), L"A_ComboBox1_Items" + std::to_wstring(i + 1));
    }
    EXPECT_EQ(C<TDBGrid>("B_DBGrid1")->Columns()->Items(4)->Title()->Caption(), L"B_DBGrid1.Columns[4]");
    EXPECT_EQ(C<TComboBox>("D_ComboBox1")->DropDownCount(), 9);
    EXPECT_EQ(C<TDBComboBox>("D_DBComboBox1")->DropDownCount(), 9);
    EXPECT_EQ(KaroValues.StatusLabels[slShuMu], L"StatusBar_ShuMu");
    EXPECT_EQ(KaroValues.SkinName, L"Yellow");
    EXPECT_EQ(form->Font()->Name(), L"simsun");
    EXPECT_TRUE(boxes.empty());
    FreeForm();
  }
}

TEST_F(KaroForm, EachRegionReadsItsSectionAndFont) {
  struct Case {
    const wchar_t* region;
    const wchar_t* font;
    WideString tile;
  } cases[] = {{L"CN", L"simsun", L"Karo \u8bd7\u8bcd\u97f5\u5178"},
               {L"TW", L"mingliu", L"Karo \u8a69\u8a5e\u97fb\u5178"},
               {L"XX", L"Tahoma", L"Tile"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToAnsi(c.region));
    TKaroLanguageFile(LanguagePath()).WriteString(L"Language", L"Region", c.region);
    Start();
    EXPECT_EQ(KaroValues.Region, c.region);
    EXPECT_EQ(form->Font()->Name(), c.font);
    if (WideString(c.font) == L"Tahoma")
      EXPECT_EQ(form->Font()->Height(), -11);
    else
      EXPECT_EQ(form->Font()->Size(), 9);
    EXPECT_EQ(form->Caption(), c.tile);
    // Controls that take their parent's font follow the form's; the rich editors keep theirs.
    EXPECT_EQ(C<TLabel>("A_Label1")->Font()->Name(), c.font);
    EXPECT_EQ(C<TDBRichEdit>("D_DBRichEdit1")->Font()->Name(), L"Tahoma");
    // The grids' title rows too, so that their Chinese titles have glyphs.
    for (const char* grid : {"A_DBGrid1", "A_DBGrid2", "B_DBGrid1", "B_DBGrid2", "C_DBGrid1", "C_DBGrid2"}) {
      EXPECT_EQ(C<TDBGrid>(grid)->TitleFont()->Name(), c.font) << grid;
      EXPECT_EQ(C<TDBGrid>(grid)->TitleFont()->Charset(), form->Font()->Charset()) << grid;
    }
    FreeForm();
  }
}

// The rhyme look-up of pages A and B, the status texts and the prompt's box.
TEST_F(KaroForm, RhymeLookUpInEveryOrderOfChoices) {
  Start();
  ASSERT_EQ(KaroValues.Prompt, kPromptCN);
  const auto& l = KaroValues.StatusLabels;
  for (char p : {'A', 'B'}) {
    SCOPED_TRACE(std::string(1, p));
    const std::string s(1, p);
    const auto [group, final, tone, ping, juan] = ShowRhymePage(form, dm, p);
    Pump();
    EXPECT_FALSE(final->Enabled());
    EXPECT_FALSE(tone->Enabled());
    EXPECT_EQ(Status(0), L"");
    const int everything = ping->RecordCount();

    // The search button before the choices: the box, nothing searched.
    boxes.clear();
    C<TSpeedButton>(s + "_SpeedButton1")->Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, L"Are You Sure?");
    EXPECT_EQ(ping->RecordCount(), everything);

    // A group fills the final list and shows its first final; no search while the tone is the prompt.
    Choose(group, IndexOf(group, kGroupA));
    EXPECT_TRUE(final->Enabled());
    EXPECT_TRUE(tone->Enabled());
    ASSERT_EQ(final->Items()->Count(), 5);
    EXPECT_EQ(final->Text(), final->Items()->Strings(0));
    EXPECT_EQ(final->Text(), L"a");
    EXPECT_EQ(ping->RecordCount(), everything);

    // A tone searches at once.
    Choose(tone, IndexOf(tone, L"1"));
    const int pingA1 = ping->RecordCount(), juanA1 = juan->RecordCount();
    EXPECT_GT(pingA1, 0);
    for (ping->First(); !ping->Eof(); ping->Next()) {
      EXPECT_EQ(ping->FieldByName(L"KaroMu")->AsString(), L"a");
      EXPECT_EQ(ping->FieldByName(L"ShengDiao")->AsString(), L"1");
      EXPECT_FALSE(ping->FieldByName(L"JianYi")->AsString().empty());
    }
    EXPECT_EQ(Status(0), l[slKaroMu] + L"a  " + l[slShengDiao] + L"1");
    EXPECT_EQ(Status(1), l[slPingSheYin] + std::to_wstring(pingA1) + L"  " + l[slJuanSheYin] + std::to_wstring(juanA1));

    // Another final reruns it; another group reruns it with its first final.
    Choose(final, IndexOf(final, L"ang"));
    EXPECT_EQ(ping->FieldByName(L"KaroMu")->AsString(), L"ang");
    Choose(group, IndexOf(group, L"[i]\u5f00\u5934"));
    EXPECT_EQ(final->Text(), final->Items()->Strings(0));
    EXPECT_EQ(ping->FieldByName(L"KaroMu")->AsString(), final->Text());
    EXPECT_EQ(Status(0), l[slKaroMu] + final->Text() + L"  " + l[slShengDiao] + L"1");

    // The search button with both chosen searches again, without a box.
    boxes.clear();
    C<TSpeedButton>(s + "_SpeedButton1")->Click();
    EXPECT_TRUE(boxes.empty());

    // Typed values reach the statement as values: quotes and wildcards are searched for as text,
    // and a group that names nothing empties the final list without an error.
    for (const wchar_t* typed : {L"a\"", L"%", L"a'", L"[a]\u5f00"}) {
      SCOPED_TRACE(WideToUtf8(typed));
      boxes.clear();
      Type(group, typed);
      EXPECT_TRUE(boxes.empty()) << WideToUtf8(boxes.empty() ? L"" : boxes[0].Text);
      EXPECT_EQ(final->Items()->Count(), 0);
      final->SetText(typed);
      Choose(tone, IndexOf(tone, L"2"));
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(ping->RecordCount(), 0);
      EXPECT_EQ(Status(1), l[slPingSheYin] + L"0  " + l[slJuanSheYin] + L"0");
    }
  }
  // Page A shown again writes its status from its own state; page B cleared while its tone is the prompt.
  C<TComboBox>("B_ComboBox3")->SetText(KaroValues.Prompt);
  C<TPageControl>("PageControl")->SetActivePageIndex(0);
  Pump();
  EXPECT_EQ(Status(0), l[slKaroMu] + C<TComboBox>("A_ComboBox2")->Text() + L"  " + l[slShengDiao] + L"2");
  C<TPageControl>("PageControl")->SetActivePageIndex(1);
  Pump();
  EXPECT_EQ(Status(0), L"");
  EXPECT_EQ(Status(1), L"");
}

// Rare characters of the standard list that the Chinese font lacks, in the rows' font, and the
// full-width question mark of the delete question in the message boxes' font, are drawn as their
// own glyphs through the fonts linked behind them: each picture differs from the missing-glyph box
// (of a code point no font has) and from the other characters'.
TEST_F(KaroForm, RareCharactersAndTheFullWidthQuestionMarkHaveGlyphs) {
  Start();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  HFONT messageFont = CreateFontIndirectW(&metrics.lfMessageFont);
  const struct {
    const char* what;
    HFONT font;
    std::vector<WideString> texts;
  } cases[] = {
      // 㑇 (U+3447) and 䶮 (U+4DAE): rhyme-row characters of the list.
      {"rows", form->Font()->Handle(), {L"\u3447", L"\u4DAE", L"\u6625"}},
      {"message box", messageFont, {L"\uFF1F", L"?", L"\u6625"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto picture = [&](const WideString& text) {
      TDib t(40, 30, 0);
      HGDIOBJ old = SelectObject(t.DC, c.font);
      RECT all{0, 0, 40, 30};
      FillRect(t.DC, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
      SetBkMode(t.DC, TRANSPARENT);
      TextOutW(t.DC, 4, 4, text.c_str(), int(text.size()));
      SelectObject(t.DC, old);
      // The picture as one number: a failure prints two numbers rather than two screens of pixels.
      uint64_t px = 1469598103934665603ull;
      for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++) px = (px ^ t.At(x, y)) * 1099511628211ull;
      return px;
    };
    const auto missing = picture(L"\u0378");
    for (size_t i = 0; i < c.texts.size(); i++) {
      SCOPED_TRACE(WideToUtf8(c.texts[i]));
      const auto own = picture(c.texts[i]);
      EXPECT_NE(own, picture(L" "));  // something is drawn
      EXPECT_NE(own, missing);
      for (size_t j = 0; j < i; j++) EXPECT_NE(own, picture(c.texts[j])) << WideToUtf8(c.texts[j]);
    }
  }
  DeleteObject(messageFont);
}

// A group or final typed into the lists that names nothing is told in the status bar, at once
// and without a box; the text goes once the typing names something again.
TEST_F(KaroForm, TypedGroupOrFinalThatMatchesNothingSaysSo) {
  Start();
  const auto& l = KaroValues.StatusLabels;
  ASSERT_EQ(l[slWuJieGuo], L"\u672a\u627e\u5230\uff1a");
  for (char p : {'A', 'B'}) {
    SCOPED_TRACE(std::string(1, p));
    const auto [group, final, tone, ping, juan] = ShowRhymePage(form, dm, p);
    Pump();
    const int everything = ping->RecordCount();
    boxes.clear();
    const WideString paste(300, L'\u6625');
    for (const WideString& typed : {WideString(L"\u6625"), WideString(L"x"), paste}) {
      Type(group, typed);
      EXPECT_EQ(Status(0), l[slWuJieGuo] + typed);
      EXPECT_EQ(Status(1), L"");
      EXPECT_EQ(ping->RecordCount(), everything);
    }
    // A group that names rows: the finals, and the status no longer says nothing matched.
    Type(group, kGroupA);
    EXPECT_EQ(final->Items()->Count(), 5);
    EXPECT_EQ(Status(0), L"");
    // A final that is none of the group's, while the tone is still the prompt; then one of them.
    Type(final, L"\u6625");
    EXPECT_EQ(Status(0), l[slWuJieGuo] + L"\u6625");
    Type(final, L"ang");
    EXPECT_EQ(Status(0), L"");
    // With a tone the search runs and its status tells the counts, also of nothing found.
    Choose(tone, IndexOf(tone, L"1"));
    Type(final, L"q");
    EXPECT_EQ(Status(0), l[slKaroMu] + L"q  " + l[slShengDiao] + L"1");
    EXPECT_EQ(Status(1), l[slPingSheYin] + L"0  " + l[slJuanSheYin] + L"0");
    // A group typed wrong after a look-up says so, and leaves the rows found.
    Type(final, L"a");
    const int found = ping->RecordCount();
    ASSERT_GT(found, 0);
    Type(group, L"[a]");
    EXPECT_EQ(Status(0), l[slWuJieGuo] + L"[a]");
    EXPECT_EQ(ping->RecordCount(), found);
    EXPECT_TRUE(boxes.empty()) << WideToUtf8(boxes.empty() ? L"" : boxes[0].Text);
  }
}

// The rhyme grids' columns fit their grids: no horizontal scroll bar, before and after a look-up.
TEST_F(KaroForm, RhymeGridsShowNoHorizontalScrollBarWhileTheirColumnsFit) {
  Start();
  for (const char* name : {"A_DBGrid1", "A_DBGrid2", "B_DBGrid1", "B_DBGrid2"}) {
    SCOPED_TRACE(name);
    C<TPageControl>("PageControl")->SetActivePageIndex(name[0] == 'A' ? 0 : 1);
    Pump();
    TDBGrid* grid = C<TDBGrid>(name);
    int total = 11;
    for (int i = 0; i < grid->ColumnCount(); i++) total += grid->ShownColumn(i)->Width();
    EXPECT_LE(total, grid->ClientWidth());
    EXPECT_EQ(GetWindowLongPtrW(grid->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_NE(GetWindowLongPtrW(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    // A last column wider than the room left hides some of it: then the bar shows.
    TColumn* last = grid->ShownColumn(grid->ColumnCount() - 1);
    const int width = last->Width();
    last->SetWidth(width + grid->ClientWidth() - total + 1);
    EXPECT_NE(GetWindowLongPtrW(grid->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
    last->SetWidth(width);
    EXPECT_EQ(GetWindowLongPtrW(grid->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
  }
  // A look-up keeps them so.
  Choose(C<TComboBox>("A_ComboBox1"), IndexOf(C<TComboBox>("A_ComboBox1"), kGroupA));
  Choose(C<TComboBox>("A_ComboBox3"), IndexOf(C<TComboBox>("A_ComboBox3"), L"1"));
  ASSERT_GT(dm->A_ADOQuery1()->RecordCount(), 0);
  for (const char* name : {"A_DBGrid1", "A_DBGrid2"})
    EXPECT_EQ(GetWindowLongPtrW(C<TDBGrid>(name)->Handle(), GWL_STYLE) & WS_HSCROLL, 0) << name;
}

TEST_F(KaroForm, PageBEditsAreSavedAndRowsWithoutJianYiAreNeverListed) {
  Start();
  EXPECT_TRUE(C<TDBGrid>("A_DBGrid1")->ReadOnly());
  EXPECT_FALSE(C<TDBGrid>("B_DBGrid1")->ReadOnly());
  EXPECT_FALSE(C<TDBGrid>("B_DBGrid2")->ReadOnly());
  C<TPageControl>("PageControl")->SetActivePageIndex(1);
  Pump();
  TComboBox* group = C<TComboBox>("B_ComboBox1");
  Choose(group, IndexOf(group, kGroupA));
  Choose(C<TComboBox>("B_ComboBox3"), 0);
  TDataSet* rows = C<TDBGrid>("B_DBGrid1")->DataSource()->DataSet();
  const int before = rows->RecordCount();
  ASSERT_GE(before, 2);
  rows->First();
  const WideString syllable = rows->FieldByName(L"YinJie")->AsString();
  rows->Edit();
  rows->FieldByName(L"FanZa")->SetAsString(L"\u6d4b\u8bd5");
  rows->Post();
  rows->Next();
  rows->Edit();
  rows->FieldByName(L"JianYi")->SetAsString(L"");
  rows->Post();
  // Searched again: the emptied row is gone, the edit is stored.
  C<TSpeedButton>("B_SpeedButton1")->Click();
  EXPECT_EQ(rows->RecordCount(), before - 1);
  rows->First();
  EXPECT_EQ(rows->FieldByName(L"YinJie")->AsString(), syllable);
  EXPECT_EQ(rows->FieldByName(L"FanZa")->AsString(), L"\u6d4b\u8bd5");
}

TEST_F(KaroForm, SkinsSwitchAtOnceAndComeBackByNameAtTheNextStart) {
  Start();
  EXPECT_FALSE(form->SkinData()->NoSkinLoaded);
  const char* names[] = {"Yellow", "Azure", "Blue", "Gray", "Yellow"};
  auto image = [&](int i) {
    TMemoryStream& m = form->SkinStore()->Store()->Items(i)->Image();
    return std::string(reinterpret_cast<const char*>(m.Memory()), size_t(m.Size()));
  };
  auto shown = [&] {
    TMemoryStream& m = form->SkinData()->SkinStream;
    return std::string(reinterpret_cast<const char*>(m.Memory()), size_t(m.Size()));
  };
  ASSERT_EQ(form->SkinStore()->Store()->Count(), 4);
  for (int i = 0; i < 4; i++) EXPECT_EQ(form->SkinStore()->Store()->Items(i)->Name(), std::string(names[i]));
  for (const char* name : names) {
    SCOPED_TRACE(name);
    TComboBox* list = C<TComboBox>("B_ComboBox4");
    const int index = IndexOf(list, W(name));
    Choose(list, index);
    EXPECT_EQ(shown(), image(index));
    const TColor colour = std::string(name) == "Yellow" ? clInfoBk : clWindow;
    EXPECT_EQ(C<TComboBox>("D_ComboBox1")->Color(), colour);
    EXPECT_EQ(C<TDBGrid>("D_DBGrid1")->Color(), colour);
    EXPECT_EQ(TKaroLanguageFile(LanguagePath()).ReadString(L"Language", L"Skin", L""), W(name));
    EXPECT_TRUE(boxes.empty());
    // The next start shows the remembered skin with its colours.
    FreeForm();
    Start();
    EXPECT_EQ(KaroValues.SkinName, W(name));
    EXPECT_EQ(shown(), image(index));
    EXPECT_EQ(C<TComboBox>("D_ComboBox1")->Color(), colour);
    EXPECT_EQ(C<TDBGrid>("D_DBGrid1")->Color(), colour);
  }
  // Typing in the list changes nothing.
  TComboBox* list = C<TComboBox>("B_ComboBox4");
  const std::string before = shown();
  Type(list, L"Gray");
  Type(list, L"Gr");
  EXPECT_EQ(shown(), before);
  EXPECT_EQ(TKaroLanguageFile(LanguagePath()).ReadString(L"Language", L"Skin", L""), L"Yellow");
  // A name that no item has leaves the stored yellow skin.
  TKaroLanguageFile(LanguagePath()).WriteString(L"Language", L"Skin", L"Purple");
  FreeForm();
  Start();
  EXPECT_EQ(shown(), image(0));
  EXPECT_EQ(C<TComboBox>("D_ComboBox1")->Color(), clInfoBk);
}

TEST_F(KaroForm, RegionChoiceIsStoredPadsSavedAndTheProgramEnds) {
  Start();
  TComboBox* regions = C<TComboBox>("B_ComboBox5");
  // Typing does nothing.
  Type(regions, L"T");
  EXPECT_TRUE(halts.empty());
  EXPECT_EQ(TKaroLanguageFile(LanguagePath()).ReadString(L"Language", L"Region", L""), L"CN");
  form->Memo(3)->SetText(L"pad three \u4e09");
  Choose(regions, IndexOf(regions, L"TW"));
  EXPECT_EQ(TKaroLanguageFile(LanguagePath()).ReadString(L"Language", L"Region", L""), L"TW");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, L"Please Once Again Run The Karo !");
  EXPECT_EQ(boxes[0].Caption, L"Oh!");
  EXPECT_EQ(boxes[0].Flags, 0u);
  EXPECT_EQ(halts, std::vector<int>{0});
  EXPECT_EQ(LoadScratchPad(ScratchPadPath(3)), L"pad three \u4e09");
  for (int pad = 1; pad <= kScratchPadCount; pad++)
    EXPECT_NE(GetFileAttributesW(ScratchPadPath(pad).c_str()), INVALID_FILE_ATTRIBUTES) << pad;
}

TEST_F(KaroForm, PadsLoadAnyEncodingAndAMissingOneIsEmpty) {
  WriteBytes(ScratchPadPath(1), "\xB2\xDD\xB8\xE5\r\nline");                      // GBK
  WriteBytes(ScratchPadPath(2), "\xEF\xBB\xBF\xE6\x98\xA5 \xF0\x9F\x8C\xB8");      // UTF-8 with a mark
  WriteBytes(ScratchPadPath(3), std::string("\xFF\xFE\x25\x67\x41\x00", 6));      // UTF-16 LE
  // Pad 4 is missing; 5 and 6 come after it.
  WriteBytes(ScratchPadPath(5), std::string("\xFE\xFF\x4E\x94\x00\x35", 6));      // UTF-16 BE
  WriteBytes(ScratchPadPath(6), "");
  Start();
  EXPECT_EQ(form->Memo(1)->Text(), L"\u8349\u7a3f\r\nline");
  EXPECT_EQ(form->Memo(2)->Text(), L"\u6625 \U0001F338");
  EXPECT_EQ(form->Memo(3)->Text(), L"\u6725A");
  EXPECT_EQ(form->Memo(4)->Text(), L"");
  EXPECT_EQ(form->Memo(5)->Text(), L"\u4e945");
  EXPECT_EQ(form->Memo(6)->Text(), L"");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(form->ActiveControl(), form->Memo(1));
}

TEST_F(KaroForm, PadsAreWrittenWholeAndAFailingOneIsReportedOnce) {
  WriteBytes(ScratchPadPath(4), "old four");
  Start();
  form->Memo(1)->SetText(L"\u8349\u7a3f");               // fits GBK
  form->Memo(2)->SetText(L"\u6625 \U0001F338 \u00e9");   // does not
  form->Memo(3)->SetText(L"three");
  form->Memo(4)->SetText(L"new four");
  // Pad 3's name is taken by a folder: it cannot be written. Pad 4's temporary file cannot be
  // made: the old pad stays whole.
  CreateDirectoryW(ScratchPadPath(3).c_str(), nullptr);
  CreateDirectoryW((ScratchPadPath(4) + L".new").c_str(), nullptr);
  C<TSpeedButton>("A_SpeedButton2")->Click();
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "\xB2\xDD\xB8\xE5");
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "\xEF\xBB\xBF\xE6\x98\xA5 \xF0\x9F\x8C\xB8 \xC3\xA9");
  ASSERT_EQ(boxes.size(), 1u);
  // The pads by their own names, through wide text.
  EXPECT_NE(boxes[0].Text.find(L"Scratch pad \u2462"), WideString::npos) << WideToUtf8(boxes[0].Text);
  EXPECT_NE(boxes[0].Text.find(L"Scratch pad \u2463"), WideString::npos) << WideToUtf8(boxes[0].Text);
  EXPECT_EQ(boxes[0].Text.find(L"Scratch pad \u2461"), WideString::npos) << WideToUtf8(boxes[0].Text);
  EXPECT_EQ(boxes[0].Flags, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(ReadBytes(ScratchPadPath(4)), "old four");
  EXPECT_EQ(ReadBytes(ScratchPadPath(5)), "");
  // No temporary file stays behind, neither of a pad saved nor of one whose save failed after
  // its temporary file was written.
  EXPECT_FALSE(Exists(ScratchPadPath(1) + L".new"));
  EXPECT_FALSE(Exists(ScratchPadPath(3) + L".new"));

  // Closing saves the others, asks, and closes when the user says so.
  boxes.clear();
  SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
    boxes.push_back(r);
    return IDYES;
  });
  form->Memo(6)->SetText(L"six");
  form->Close();
  Pump();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Flags, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
  EXPECT_EQ(ReadBytes(ScratchPadPath(6)), "six");
  RemoveDirectoryW(ScratchPadPath(3).c_str());
  RemoveDirectoryW((ScratchPadPath(4) + L".new").c_str());
}

TEST_F(KaroForm, TheHomePageButtonOpensTheProgramsPage) {
  Start();
  C<TSpeedButton>("A_SpeedButton3")->Click();
  ASSERT_EQ(shells.size(), 1u);
  EXPECT_EQ(shells[0].Window, form->Handle());
  EXPECT_EQ(shells[0].Target, kKaroWebPage);
  EXPECT_EQ(shells[0].Show, SW_SHOWMAXIMIZED);
}
