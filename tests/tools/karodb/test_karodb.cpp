// The database builder over a small fixture in the sources' own formats: the reading of pinyin
// into finals, the cleaning of texts, the rows of every table, and the program's statements run
// through SQLite against the built file.
#include "tools/karodb/karo_db.h"
#include "tools/karodb/pinyin.h"
#include "tools/karodb/text_clean.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const fs::path kFixture = KARODB_FIXTURE_DIR;

TKaroDbSources FixtureSources() {
  TKaroDbSources s;
  s.Unihan = {kFixture / "Unihan_OtherMappings.txt", kFixture / "Unihan_Readings.txt"};
  s.Explanations = kFixture / "explanation";
  s.IdiomScript = kFixture / "cnchar.idiom.min.js";
  s.ModernWords = kFixture / "modern.json";
  s.CharFrequencies = kFixture / "complete.json";
  s.SampleNotes = KARODB_SAMPLE_NOTES;
  return s;
}

// --- pinyin ---------------------------------------------------------------------------------

struct TReadingCase {
  const char* Marked;
  TReadingKind Kind;
  const char* YinJie;
  const char* Final;
  int Tone;
  bool Retroflex;
};

TEST(KaroDbPinyin, ReadingsBecomeSyllableFinalAndTone) {
  const TReadingCase cases[] = {
      {"zh\u014dng", TReadingKind::Toned, "zhong", "ong", 1, true},
      {"j\u00f9", TReadingKind::Toned, "ju", "\u00fc", 4, false},              // u after j is ü
      {"qu\u00e1n", TReadingKind::Toned, "quan", "\u00fcan", 2, false},
      {"xu\u00e9", TReadingKind::Toned, "xue", "\u00fce", 2, false},
      {"y\u00fan", TReadingKind::Toned, "yun", "\u00fcn", 2, false},          // and after y
      {"y\u01d4", TReadingKind::Toned, "yu", "\u00fc", 3, false},
      {"n\u01da", TReadingKind::Toned, "n\u00fc", "\u00fc", 3, false},
      {"l\u00fc\u00e8", TReadingKind::Toned, "l\u00fce", "\u00fce", 4, false},
      {"z\u00ec", TReadingKind::Toned, "zi", "-i", 4, false},                 // apical vowel
      {"s\u012b", TReadingKind::Toned, "si", "-i", 1, false},
      {"sh\u00ec", TReadingKind::Toned, "shi", "-i", 4, true},
      {"r\u00ec", TReadingKind::Toned, "ri", "-i", 4, true},
      {"j\u012b", TReadingKind::Toned, "ji", "i", 1, false},                  // ji rhymes with yi, not zi
      {"y\u012b", TReadingKind::Toned, "yi", "i", 1, false},
      {"y\u0101n", TReadingKind::Toned, "yan", "ian", 1, false},              // y and w spellings undone
      {"y\u01d2u", TReadingKind::Toned, "you", "iu", 3, false},
      {"w\u00e9i", TReadingKind::Toned, "wei", "ui", 2, false},
      {"w\u00e9n", TReadingKind::Toned, "wen", "un", 2, false},
      {"w\u0113ng", TReadingKind::Toned, "weng", "ueng", 1, false},
      {"w\u01d4", TReadingKind::Toned, "wu", "u", 3, false},
      {"y\u012bng", TReadingKind::Toned, "ying", "ing", 1, false},
      {"d\u01d0ng", TReadingKind::Toned, "ding", "ing", 3, false},
      {"\u00e9r", TReadingKind::Toned, "er", "er", 2, false},
      {"\u00ea\u0304", TReadingKind::Toned, "\u00ea", "\u00ea", 1, false},     // combining macron
      {"\u1ebf", TReadingKind::Toned, "\u00ea", "\u00ea", 2, false},
      {"ch\u016bn", TReadingKind::Toned, "chun", "un", 1, true},
      {"le", TReadingKind::Neutral, "le", "e", 0, false},
      {"\u0144g", TReadingKind::NoVowel, "", "", 0, false},
      {"m\u0300", TReadingKind::NoVowel, "", "", 0, false},
      {"hng", TReadingKind::NoVowel, "", "", 0, false},
      {"zh\u014dngg", TReadingKind::Unknown, "", "", 0, false},
      {"x\u00e9", TReadingKind::Unknown, "", "", 0, false},
      {"ZH\u014dNG", TReadingKind::Unknown, "", "", 0, false},
      {"", TReadingKind::Unknown, "", "", 0, false},
  };
  for (const TReadingCase& c : cases) {
    SCOPED_TRACE(c.Marked);
    TSyllable s;
    ASSERT_EQ(ParseReading(c.Marked, s), c.Kind);
    if (c.Kind != TReadingKind::Toned && c.Kind != TReadingKind::Neutral) continue;
    EXPECT_EQ(s.YinJie, c.YinJie);
    EXPECT_EQ(s.Final, c.Final);
    EXPECT_EQ(s.Tone, c.Tone);
    EXPECT_EQ(s.Retroflex, c.Retroflex);
  }
}

TEST(KaroDbPinyin, EveryFinalIsInTheGroupOfItsFirstVowel) {
  const std::vector<std::string> groups(std::begin(kKaroShou), std::end(kKaroShou));
  EXPECT_THAT(groups, ElementsAre("[a]\u5f00\u5934", "[e]\u5f00\u5934", "[i]\u5f00\u5934", "[o]\u5f00\u5934",
                                  "[u]\u5f00\u5934", "[\u00fc]\u5f00\u5934"));
  std::vector<std::string> finals;
  for (const TFinalInfo& f : FinalsInOrder()) {
    std::string first = f.Final;
    if (first == "-i") first = "i";
    const std::string vowel = first.rfind("\u00fc", 0) == 0   ? "\u00fc"
                              : first.rfind("\u00ea", 0) == 0 ? "e"
                                                             : first.substr(0, 1);
    EXPECT_EQ(kKaroShou[f.Group], "[" + vowel + "]\u5f00\u5934") << f.Final;
    EXPECT_EQ(GroupOfFinal(f.Final), f.Group);
    finals.push_back(f.Final);
  }
  EXPECT_EQ(finals.size(), 39u);
  EXPECT_EQ(GroupOfFinal("iou"), -1);
  EXPECT_EQ(GroupOfFinal("uei"), -1);
}

// --- cleaning -------------------------------------------------------------------------------

TEST(KaroDbClean, OddPunctuationIsMadeRegularAndSensesAreJoined) {
  EXPECT_EQ(NormalisePunctuation("\u4e00\ufe50\u4e8c\ufe51\u4e09\ufe54\u3127\u5fc3"),
            "\u4e00\uff0c\u4e8c\u3001\u4e09\uff1b\u4e00\u5fc3");
  EXPECT_EQ(CleanMeaning("1.\u4e00\u6761\u6cb3\u6d41\u3002 \n2.\u6ee1\u6cb3\u3002"),
            "1.\u4e00\u6761\u6cb3\u6d41\u3002 2.\u6ee1\u6cb3\u3002");
  EXPECT_EQ(CleanMeaning("  \r\n\u7532\r\n\n  \u4e59 \n"), "\u7532 \u4e59");
  EXPECT_EQ(CleanMeaning(" \n "), "");
}

TEST(KaroDbClean, GarbledKeysAreNoWords) {
  const struct {
    const char* Key;
    bool Word;
  } cases[] = {
      {"\u6625\u5929", true},
      {"\u4e0d\u5165\u864e\u7a74\uff0c\u7109\u5f97\u864e\u5b50", true},       // a saying with its comma
      {"\u4e9a\u5386\u5c71\u5927\u00b7\u6d85\u592b", true},                   // a transcribed name
      {"\u3007\u4e00", true},
      {"\u95eej", false},                                                     // garbled keys of the source
      {"\u4e0dfebf", false},
      {"\u70c2@@", false},
      {"\u4e1c\u2026\u897f\u2026", false},
      {"\u4e00\u3002\u59ab", false},
      {"\u6625", false},                                                      // one character is no word
      {"\uff0c\uff0c", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWordKey(c.Key), c.Word) << c.Key;
}

TEST(KaroDbClean, MeaningsGarbledByAWrongDecodingAreFound) {
  const struct {
    const char* Meaning;
    bool Broken;
  } cases[] = {
      // Garbled: a character's code run into a full-width form, kana, box drawing after Han.
      {"\u738b\u4ec1\u88d5\u300a\u5f00\u5143\u5929\u5b9d\u9057\u2526\u9686\u3073\u85aa\u53db\u8236\u9ab8\u5321"
       "\u4e3afdec\uff10\u6c11\u6064\u7269", true},
      {"\u6587\u5b66\u793e\uff0c\u848bfc2e\uff2e\u6df3", true},
      {"\u5b57\u9a6c\u3001\u3005\u309b\u309c", true},
      {"\u5404\u5728\u5929\u4e00\u252f\u7cbe", true},
      {"\u4e07\u5206\u60cb\u252b\u0412", true},
      // The sources' own: box drawing after punctuation or itself, full-width after plain text.
      {"\u2460\u63a5\u8fde\u51e0\u5929\uff5e\u9634\u96e8 \u2502\uff5e\u8d76\u8def\u3002", false},
      {"\u53e3\u56d7\u4e3a6;\u250f\u2517\u2513\u251b\u4e3a7;", false},
      {"\u54c0\u601c\u3002\u2560\u2560\u300a\u8bba\u8bed\u300b", false},
      {"\u516c\u5143 1234\uff0c\u5e74", false},
      {"\u8c03\u503c decaf\uff01", false},
      {"\u957f1200\uff0c\u5bbd30\uff1b", false},
      {"\u6625\u5929\u7684\u9633\u5149", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasBrokenEncoding(c.Meaning), c.Broken) << c.Meaning;
}

// --- the built database ---------------------------------------------------------------------

Rows Query(sqlite3* db, const std::string& sql, const std::vector<std::string>& params = {}) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in: " << sql;
    return {};
  }
  for (std::size_t i = 0; i < params.size(); ++i)
    sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
  Rows rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      const auto* text = sqlite3_column_text(stmt, c);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    rows.push_back(std::move(row));
  }
  EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  return rows;
}

std::vector<std::string> Column(const Rows& rows, std::size_t c) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.at(c));
  return out;
}

// The plan SQLite picks, one detail text per line.
std::string Plan(sqlite3* db, const std::string& sql, const std::vector<std::string>& params = {}) {
  std::string plan;
  for (const auto& r : Query(db, "EXPLAIN QUERY PLAN " + sql, params)) plan += r.at(3) + "\n";
  return plan;
}

class KaroDbBuilt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new fs::path(fs::temp_directory_path() / ("karodb_test_" + std::to_string(getpid())));
    fs::create_directories(*dir_);
    data_ = new TKaroData(LoadKaroData(FixtureSources()));
    WriteKaroDb(*data_, *dir_ / "Karo.cc");
    ASSERT_EQ(sqlite3_open_v2((*dir_ / "Karo.cc").string().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  }
  static void TearDownTestSuite() {
    sqlite3_close(db_);
    db_ = nullptr;
    fs::remove_all(*dir_);
    delete dir_;
    delete data_;
  }

  static fs::path* dir_;
  static TKaroData* data_;
  static sqlite3* db_;
};
fs::path* KaroDbBuilt::dir_ = nullptr;
TKaroData* KaroDbBuilt::data_ = nullptr;
sqlite3* KaroDbBuilt::db_ = nullptr;

TEST_F(KaroDbBuilt, CountsOfTheSummary) {
  const TKaroDbCounts& c = data_->Counts;
  EXPECT_THAT(c.FinalsPerGroup, ElementsAre(1, 1, 6, 1, 3, 4));
  EXPECT_EQ(c.StandardChars, 25);
  EXPECT_EQ(c.ShownChars, 24);
  EXPECT_EQ(c.NotShown, "\u55ef");  // 嗯: syllabic nasals only
  EXPECT_EQ(c.NoVowelReadings, 3);
  EXPECT_EQ(c.NeutralReadings, 1);
  EXPECT_EQ(c.PingRows, 20);
  EXPECT_EQ(c.PingShown, 20);
  EXPECT_EQ(c.JuanRows, 5);
  EXPECT_EQ(c.JuanShown, 5);
  EXPECT_EQ(c.MovedIntoJianYi, 3);
  EXPECT_EQ(c.Idioms, 4);
  EXPECT_EQ(c.IdiomsWithMeaning, 3);
  EXPECT_EQ(c.IdiomsWithChun, 2);
  EXPECT_EQ(c.Words, 7);
  EXPECT_EQ(c.WordsWithMeaning, 5);  // 有脚阳春's garbled meaning is left empty
  EXPECT_EQ(c.DroppedKeys, 5);
  EXPECT_EQ(c.BrokenMeanings, 1);
  EXPECT_EQ(c.Notes, 8);
  const std::string summary = FormatSummary(c);
  EXPECT_THAT(summary, HasSubstr("finals: 16 ([a]\u5f00\u5934 1, [e]\u5f00\u5934 1, [i]\u5f00\u5934 6"));
  EXPECT_THAT(summary, HasSubstr("standard characters the rhyme pages show: 24 of 25"));
  EXPECT_THAT(summary, HasSubstr("keys dropped as not Chinese words: 5"));
  EXPECT_THAT(summary, HasSubstr("meanings left empty as garbled by a wrong decoding: 1"));
}

TEST_F(KaroDbBuilt, FinalsAreListedByGroupInTheirOrder) {
  const std::string sql = "select * from KaroMu where KaroShou=? order by PaiXu";
  const struct {
    const char* Group;
    std::vector<std::string> Finals;
  } cases[] = {
      {"[a]\u5f00\u5934", {"ang"}},
      {"[e]\u5f00\u5934", {"\u00ea"}},
      {"[i]\u5f00\u5934", {"i", "-i", "iao", "iu", "ian", "ing"}},
      {"[o]\u5f00\u5934", {"ong"}},
      {"[u]\u5f00\u5934", {"ui", "un", "ueng"}},
      {"[\u00fc]\u5f00\u5934", {"\u00fc", "\u00fce", "\u00fcan", "\u00fcn"}},
      {"[x]\u5f00\u5934", {}},
  };
  for (const auto& c : cases) {
    const Rows rows = Query(db_, sql, {c.Group});
    EXPECT_THAT(Column(rows, 2), ElementsAreArray(c.Finals)) << c.Group;
    for (const auto& r : rows) EXPECT_EQ(r.at(0), c.Group);
  }
  EXPECT_THAT(Query(db_, "select distinct typeof(PaiXu) from KaroMu"), ElementsAre(ElementsAre("integer")));
  EXPECT_THAT(Plan(db_, sql, {"[i]\u5f00\u5934"}), HasSubstr("USING INDEX KaroMu_Group"));
}

TEST_F(KaroDbBuilt, RhymeSearchListsEachReadingOfTheFinalAndTone) {
  const std::string tail = " where KaroMu=? and ShengDiao=? and JianYi<>'' order by YinJie";
  const struct {
    const char* Table;
    const char* Final;
    const char* Tone;
    Rows Expected;  // YinJie, JianYi, FanZa
  } cases[] = {
      // a polyphonic character under each of its readings, in both tables it belongs to
      {"JuanSheYin", "ong", "1", {{"zhong", "\u4e2d", ""}}},
      {"JuanSheYin", "ong", "4", {{"zhong", "\u4e2d", ""}}},
      {"PingSheYin", "ang", "2", {{"hang", "\u884c", ""}}},
      {"PingSheYin", "ing", "2", {{"xing", "\u884c", ""}}},
      {"PingSheYin", "ui", "2", {{"wei", "\u4e3a", ""}}},
      {"PingSheYin", "ui", "4", {{"wei", "\u4e3a", ""}}},
      // level 1 by frequency, then levels 2 and 3
      {"PingSheYin", "ong", "1", {{"cong", "\u9aa2", "\u7481"}, {"dong", "\u4e1c\u51ac", "\u549a"}}},
      // ü after j, q, x and y, and after l and n
      {"PingSheYin", "\u00fc", "4", {{"ju", "\u53e5", ""}}},
      {"PingSheYin", "\u00fc", "3", {{"n\u00fc", "\u5973", ""}}},
      {"PingSheYin", "\u00fce", "2", {{"xue", "\u5b66", ""}}},
      {"PingSheYin", "\u00fcan", "2", {{"quan", "\u5168", ""}}},
      {"PingSheYin", "\u00fcn", "2", {{"yun", "\u4e91", ""}}},
      // the apical final, apart from ji
      {"PingSheYin", "-i", "4", {{"zi", "\u5b57", ""}}},
      {"JuanSheYin", "-i", "4", {{"ri", "\u65e5", ""}, {"shi", "\u662f", ""}}},
      {"PingSheYin", "i", "1", {{"ji", "\u673a", ""}}},
      // y and w spellings undone
      {"PingSheYin", "iu", "3", {{"you", "\u6709", ""}}},
      {"PingSheYin", "un", "2", {{"wen", "\u6587", ""}}},
      {"JuanSheYin", "un", "1", {{"chun", "\u6625", ""}}},
      {"PingSheYin", "ueng", "1", {{"weng", "\u7fc1", ""}}},
      {"PingSheYin", "ian", "1", {{"yan", "\u70df", ""}}},
      // readings of rare characters only: shown through the one moved into JianYi
      {"PingSheYin", "\u00ea", "1", {{"\u00ea", "\u6b38", ""}}},
      {"PingSheYin", "\u00ea", "2", {{"\u00ea", "\u6b38", ""}}},
      // the neutral tone is no row: only liao remains of 了
      {"PingSheYin", "iao", "3", {{"liao", "\u4e86", ""}}},
      {"PingSheYin", "e", "5", {}},
      {"PingSheYin", "ong", "4", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Table) + " " + c.Final + c.Tone);
    const std::string sql = std::string("select * from ") + c.Table + tail;
    Rows got;
    for (const auto& r : Query(db_, sql, {c.Final, c.Tone})) {
      EXPECT_EQ(r.at(0), c.Final);
      EXPECT_EQ(r.at(2), c.Tone);
      got.push_back({r.at(1), r.at(3), r.at(4)});
    }
    EXPECT_EQ(got, c.Expected);
    EXPECT_THAT(Plan(db_, sql, {c.Final, c.Tone}), HasSubstr("USING INDEX " + std::string(c.Table) + "_Final"));
  }
}

TEST_F(KaroDbBuilt, RowWithEmptyJianYiIsNeverListed) {
  ASSERT_EQ(sqlite3_exec(db_, "SAVEPOINT edit", nullptr, nullptr, nullptr), SQLITE_OK);
  Query(db_, "insert into PingSheYin (KaroMu, YinJie, ShengDiao, JianYi, FanZa) values ('ong', 'tong', '1', '', ?)",
        {"\u55f5"});
  const std::string sql = "select YinJie from PingSheYin where KaroMu=? and ShengDiao=? and JianYi<>'' order by YinJie";
  EXPECT_THAT(Query(db_, sql, {"ong", "1"}), ElementsAre(ElementsAre("cong"), ElementsAre("dong")));
  EXPECT_THAT(Query(db_, "select count(*) from PingSheYin where JianYi=''"), ElementsAre(ElementsAre("1")));
  ASSERT_EQ(sqlite3_exec(db_, "ROLLBACK TO edit; RELEASE edit", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_THAT(Query(db_, "select count(*) from PingSheYin where JianYi=''"), ElementsAre(ElementsAre("0")));
}

TEST_F(KaroDbBuilt, WordAndIdiomSearchByMatchMode) {
  const struct {
    const char* Pattern;  // begins with, contains, ends with
    std::vector<std::string> Words, Idioms;
  } cases[] = {
      {"\u6625%", {"\u6625\u534e\u79cb\u5b9e", "\u6625\u5929", "\u6625\u8282"}, {"\u6625\u5bd2\u6599\u5ced", "\u6625\u98ce\u5316\u96e8"}},
      {"%\u9a6c%", {"\u4e00\u9a6c\u5f53\u5148\uff0c\u4e07\u9a6c\u5954\u817e"}, {}},
      {"%\u6563", {"\u4e00\u54c4\u800c\u6563"}, {}},
      {"%\u96e8", {}, {"\u6625\u98ce\u5316\u96e8"}},
      {"%\u4e00%", {"\u4e00\u54c4\u800c\u6563", "\u4e00\u9a6c\u5f53\u5148\uff0c\u4e07\u9a6c\u5954\u817e"},
       {"\u4e00\u4e1d\u4e0d\u82df", "\u4e00\u5fc3\u4e00\u610f"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Pattern);
    auto words = Column(Query(db_, "select * from  CiYu where CiYu Like ?", {c.Pattern}), 0);
    auto idioms = Column(Query(db_, "select * from  ChengYu where ChengYu Like ?", {c.Pattern}), 0);
    std::sort(words.begin(), words.end());
    std::sort(idioms.begin(), idioms.end());
    EXPECT_EQ(words, c.Words);
    EXPECT_EQ(idioms, c.Idioms);
  }
  // Meanings cleaned: senses joined, punctuation regular, a key's ㄧ read as 一.
  EXPECT_THAT(Query(db_, "select HanYi from CiYu where CiYu=?", {"\u4e00\u54c4\u800c\u6563"}),
              ElementsAre(ElementsAre("1.\u4ea6\u4f5c\"\u4e00\u95a7\u800c\u6563\"\u3002 2.\u5728\u4e00\u7247\u5435\u95f9"
                                      "\u58f0\u4e2d\u6563\u53bb\uff1b\u4ea6\u8868\u793a\u7a81\u7136\u3001\u6df7\u4e71"
                                      "\u5730\u6563\u53bb\u3002")));
  EXPECT_THAT(Query(db_, "select HanYi from ChengYu where ChengYu=?", {"\u4e00\u5fc3\u4e00\u610f"}),
              ElementsAre(ElementsAre("\u4e13\u5fc3\u4e13\u610f\u3002")));
  EXPECT_THAT(Query(db_, "select HanYi from ChengYu where ChengYu=?", {"\u6625\u5bd2\u6599\u5ced"}),
              ElementsAre(ElementsAre("")));
  // A common word the meanings lack comes with an empty meaning; an idiom is no word as well.
  EXPECT_THAT(Query(db_, "select HanYi from CiYu where CiYu=?", {"\u6625\u8282"}), ElementsAre(ElementsAre("")));
  EXPECT_THAT(Query(db_, "select count(*) from CiYu where CiYu=?", {"\u4e00\u4e1d\u4e0d\u82df"}),
              ElementsAre(ElementsAre("0")));
}

TEST_F(KaroDbBuilt, PrefixSearchesUseAnIndex) {
  // The statement stored for the idiom grid, with its literal, and the search with a bound text.
  EXPECT_THAT(Plan(db_, "select * from chengyu where ChengYu like '\u6625%'"),
              HasSubstr("USING INDEX ChengYu_Idiom (ChengYu>? AND ChengYu<?)"));
  EXPECT_THAT(Plan(db_, "select * from  ChengYu where ChengYu Like ?", {"\u6625%"}),
              HasSubstr("USING INDEX ChengYu_Idiom (ChengYu>? AND ChengYu<?)"));
  EXPECT_THAT(Plan(db_, "select * from  CiYu where CiYu Like ?", {"\u6625%"}),
              HasSubstr("USING INDEX CiYu_Word (CiYu>? AND CiYu<?)"));
}

TEST_F(KaroDbBuilt, NotesOfACategoryNewestFirst) {
  const std::string sql = "select * from  ZuoPin where LeiBie=? order by RiQi desc";
  const Rows poems = Query(db_, sql, {"\u8bd7"});
  EXPECT_THAT(Column(poems, 0), ElementsAre("\u6625\u591c\u559c\u96e8", "\u767b\u9e73\u96c0\u697c",
                                            "\u6625\u6653", "\u9759\u591c\u601d"));
  EXPECT_THAT(Column(poems, 5), ElementsAre("2026-03-21", "2026-03-08", "2026-02-12", "2026-01-05"));
  EXPECT_THAT(Column(poems, 1), ElementsAre("40", "20", "20", "20"));  // characters of the content
  EXPECT_THAT(Plan(db_, sql, {"\u8bd7"}), HasSubstr("USING INDEX ZuoPin_Category"));
  EXPECT_THAT(Query(db_, "select distinct typeof(ShuLiang) from ZuoPin"), ElementsAre(ElementsAre("integer")));
  // A date column (so the data layer reads and writes dates, and a note the user adds sorts with
  // these), holding ISO text.
  EXPECT_THAT(Query(db_, "select type from pragma_table_info('ZuoPin') where name = 'RiQi'"),
              ElementsAre(ElementsAre("DATE")));
  EXPECT_THAT(Query(db_, "select distinct typeof(RiQi) from ZuoPin"), ElementsAre(ElementsAre("text")));
  // Every note is in a category of the page's list and carries one of its marks.
  for (const auto& r : Query(db_, "select LeiBie, BiaoJi from ZuoPin")) {
    EXPECT_NE(std::find(data_->Categories.begin(), data_->Categories.end(), r[0]), data_->Categories.end());
    EXPECT_NE(std::find(data_->Marks.begin(), data_->Marks.end(), r[1]), data_->Marks.end());
  }
  EXPECT_TRUE(Query(db_, sql, {"\u5176\u4ed6"}).empty());
}

TEST_F(KaroDbBuilt, FloorsOfTheFullDatabaseFailTheFixture) {
  const auto failed = CheckFloors(data_->Counts, FullDatabaseFloors());
  EXPECT_EQ(failed.size(), 6u);  // every floor; every row is listed
  EXPECT_THAT(failed, ::testing::Contains(HasSubstr("standard characters shown: 24 is below 8000")));
  EXPECT_TRUE(CheckFloors(data_->Counts, TKaroDbFloors{}).empty());
  TKaroDbCounts hidden = data_->Counts;
  hidden.JuanShown -= 1;
  EXPECT_THAT(CheckFloors(hidden, TKaroDbFloors{}), ElementsAre(HasSubstr("JuanSheYin")));
}

// The database the build made from the full sources.
TEST(KaroDbFull, NoMeaningHoldsTheMarksOfABrokenEncoding) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(KARODB_BUILT_DATABASE, &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK)
      << KARODB_BUILT_DATABASE << ": build the target karo_data";
  for (const char* table : {"CiYu", "ChengYu"}) {
    SCOPED_TRACE(table);
    const Rows rows = Query(db, std::string("select ") + table + ", HanYi from " + table);
    ASSERT_GT(rows.size(), 30000u);
    std::string broken;
    int n = 0;
    for (const auto& r : rows)
      if (HasBrokenEncoding(r[1]) && ++n <= 5) broken += "\n  " + r[0] + ": " + r[1];
    EXPECT_EQ(n, 0) << broken;
  }
  // The idiom whose garbled meaning was reported is kept, with no meaning.
  EXPECT_THAT(Query(db, "select HanYi from ChengYu where ChengYu=?", {"\u6709\u811a\u9633\u6625"}),
              ElementsAre(ElementsAre("")));
  sqlite3_close(db);
}

// --- faulty input -----------------------------------------------------------------------------

class KaroDbInput : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("karodb_input_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return dir_ / name;
  }
  fs::path dir_;
};

TEST_F(KaroDbInput, ReadingThatIsNoSyllableStopsTheBuild) {
  TKaroDbSources s = FixtureSources();
  s.Unihan.push_back(Write("bad.txt", "U+4E00\tkTGH\t2013:1\nU+4E00\tkTGHZ2013\t001.001:y\u012bx\n"));
  try {
    LoadKaroData(s);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("y\u012bx"));
  }
}

TEST_F(KaroDbInput, NoteOutsideTheListsStopsTheBuild) {
  const std::string lists =
      R"("categories": ["a","b","c","d","e","f","g","h","i"], "marks": ["m1","m2","m3","m4","m5"])";
  const std::string note = R"({"BiaoTi": "t", "ZuoZhe": "", "ChuChu": "", "WangZhi": "", "BeiZhu": "", "NeiRong": "",)";
  const struct {
    const char* Rest;
    const char* Error;
  } cases[] = {
      {R"("RiQi": "2026-01-05", "LeiBie": "z", "BiaoJi": "m1"})", "no listed category"},
      {R"("RiQi": "2026-01-05", "LeiBie": "a", "BiaoJi": "m9"})", "no listed mark"},
      {R"("RiQi": "05.01.2026", "LeiBie": "a", "BiaoJi": "m1"})", "YYYY-MM-DD"},
      {R"("RiQi": "2026-01-05", "LeiBie": "a"})", "BiaoJi"},
  };
  for (const auto& c : cases) {
    TKaroDbSources s = FixtureSources();
    s.SampleNotes = Write("notes.json", "{" + lists + R"(, "notes": [)" + note + c.Rest + "]}");
    try {
      LoadKaroData(s);
      ADD_FAILURE() << "no error for " << c.Rest;
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.Error));
    }
  }
}

}  // namespace
