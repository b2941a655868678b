#include "tools/karodb/karo_db.h"

#include "classlib/db/db_engine.h"

#include "tools/karodb/text_clean.h"
#include "tools/karodb/utf8.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

// The 2013 list numbers its level-1 characters 1 to 3500; levels 2 and 3 follow.
constexpr int kLastLevel1 = 3500;
constexpr int kCategoryCount = 9;
constexpr int kMarkCount = 5;
const char* const kChun = "\u6625";

struct TCharOfReading {
  double Frequency;
  int Number;
  char32_t Cp;
};

struct TReadingBucket {
  std::string Final;
  bool Retroflex = false;
  std::vector<TCharOfReading> Chars;
};

void BuildRhymeTables(const TKaroDbSources& sources, TKaroData& data) {
  std::map<char32_t, TStandardChar> chars;
  for (const fs::path& file : sources.Unihan) ReadUnihanFile(file, chars);
  const auto freq = ReadCharFrequencies(sources.CharFrequencies);
  TKaroDbCounts& counts = data.Counts;

  std::map<std::pair<std::string, int>, TReadingBucket> buckets;  // (syllable, tone)
  std::vector<std::pair<int, char32_t>> standard;                  // (number, character)
  for (const auto& [cp, ch] : chars) {
    if (ch.Number <= 0) continue;
    standard.emplace_back(ch.Number, cp);
    if (ch.Readings.empty())
      throw std::runtime_error("Unihan: U+" + std::to_string(static_cast<unsigned long>(cp)) + " has no reading");
    const auto f = freq.find(cp);
    const double rate = f == freq.end() ? 0.0 : f->second;
    for (const std::string& reading : ch.Readings) {
      TSyllable syl;
      switch (ParseReading(reading, syl)) {
        case TReadingKind::Unknown:
          throw std::runtime_error("Unihan: \"" + reading + "\" of " + Utf8Encode(cp) + " is no known syllable");
        case TReadingKind::NoVowel: ++counts.NoVowelReadings; continue;
        case TReadingKind::Neutral: ++counts.NeutralReadings; continue;
        case TReadingKind::Toned: break;
      }
      TReadingBucket& b = buckets[{syl.YinJie, syl.Tone}];
      b.Final = syl.Final;
      b.Retroflex = syl.Retroflex;
      b.Chars.push_back({rate, ch.Number, cp});
    }
  }
  counts.StandardChars = static_cast<int>(standard.size());

  std::set<std::string> finalsUsed;
  std::unordered_set<char32_t> shown;
  for (auto& [key, b] : buckets) {
    std::sort(b.Chars.begin(), b.Chars.end(), [](const TCharOfReading& x, const TCharOfReading& y) {
      return std::tie(y.Frequency, x.Number) < std::tie(x.Frequency, y.Number);
    });
    TRhymeRow row;
    row.KaroMu = b.Final;
    row.YinJie = key.first;
    row.ShengDiao = std::to_string(key.second);
    for (const TCharOfReading& c : b.Chars) Utf8Append(c.Number <= kLastLevel1 ? row.JianYi : row.FanZa, c.Cp);
    // Rows with an empty JianYi are never listed, so a reading of rare characters only lends its
    // most frequent one to JianYi: otherwise none of them could be found.
    if (row.JianYi.empty()) {
      std::size_t i = 0;
      Utf8Next(row.FanZa, i);
      row.JianYi = row.FanZa.substr(0, i);
      row.FanZa.erase(0, i);
      ++counts.MovedIntoJianYi;
    }
    if (!row.JianYi.empty())
      for (const TCharOfReading& c : b.Chars) shown.insert(c.Cp);
    finalsUsed.insert(row.KaroMu);
    (b.Retroflex ? data.JuanSheYin : data.PingSheYin).push_back(std::move(row));
  }
  for (const auto* table : {&data.PingSheYin, &data.JuanSheYin}) {
    int shownRows = 0;
    for (const TRhymeRow& r : *table) shownRows += r.JianYi.empty() ? 0 : 1;
    (table == &data.PingSheYin ? counts.PingShown : counts.JuanShown) = shownRows;
    (table == &data.PingSheYin ? counts.PingRows : counts.JuanRows) = static_cast<int>(table->size());
  }

  int paiXu[kGroupCount] = {};
  for (const TFinalInfo& f : FinalsInOrder()) {
    if (!finalsUsed.count(f.Final)) continue;
    data.KaroMu.push_back({kKaroShou[f.Group], ++paiXu[f.Group], f.Final});
    ++counts.FinalsPerGroup[f.Group];
  }

  std::sort(standard.begin(), standard.end());
  for (const auto& [number, cp] : standard) {
    if (shown.count(cp)) ++counts.ShownChars;
    else Utf8Append(counts.NotShown, cp);
  }
}

void BuildWordTables(const TKaroDbSources& sources, TKaroData& data) {
  TKaroDbCounts& counts = data.Counts;
  std::unordered_map<std::string, std::string> meanings;
  std::vector<std::string> meaningOrder;
  for (const auto& [rawKey, rawMeaning] : ReadExplanations(sources.Explanations)) {
    std::string key = NormalisePunctuation(rawKey);
    if (Utf8Length(key) < 2) continue;  // a single character is no word
    if (!IsWordKey(key)) {
      ++counts.DroppedKeys;
      continue;
    }
    std::string meaning = CleanMeaning(rawMeaning);
    // Noise in the grid helps no one: the word stays, without a meaning.
    if (HasBrokenEncoding(meaning)) {
      meaning.clear();
      ++counts.BrokenMeanings;
    }
    const auto [it, added] = meanings.try_emplace(key, meaning);
    if (added) meaningOrder.push_back(key);
    else if (it->second.empty()) it->second = std::move(meaning);
  }

  std::unordered_set<std::string> idioms;
  for (const std::string& raw : ReadIdiomScript(sources.IdiomScript)) {
    std::string idiom = NormalisePunctuation(raw);
    if (!IsWordKey(idiom)) {
      ++counts.DroppedKeys;
      continue;
    }
    if (!idioms.insert(idiom).second) continue;
    const auto m = meanings.find(idiom);
    data.ChengYu.push_back({idiom, m == meanings.end() ? std::string() : m->second});
  }

  for (const std::string& key : meaningOrder)
    if (!idioms.count(key)) data.CiYu.push_back({key, meanings[key]});
  std::unordered_set<std::string> seen;
  for (std::string& raw : ReadWordKeys(sources.ModernWords)) {
    std::string word = NormalisePunctuation(raw);
    if (Utf8Length(word) < 2) continue;
    if (!IsWordKey(word)) {
      ++counts.DroppedKeys;
      continue;
    }
    if (meanings.count(word) || idioms.count(word) || !seen.insert(word).second) continue;
    data.CiYu.push_back({word, std::string()});
  }

  const auto byText = [](const TEntryRow& a, const TEntryRow& b) { return a.Text < b.Text; };
  std::sort(data.ChengYu.begin(), data.ChengYu.end(), byText);
  std::sort(data.CiYu.begin(), data.CiYu.end(), byText);
  counts.Idioms = static_cast<int>(data.ChengYu.size());
  for (const TEntryRow& r : data.ChengYu) {
    counts.IdiomsWithMeaning += r.HanYi.empty() ? 0 : 1;
    counts.IdiomsWithChun += r.Text.rfind(kChun, 0) == 0 ? 1 : 0;
  }
  counts.Words = static_cast<int>(data.CiYu.size());
  for (const TEntryRow& r : data.CiYu) counts.WordsWithMeaning += r.HanYi.empty() ? 0 : 1;
}

bool IsIsoDate(const std::string& s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (s[i] < '0' || s[i] > '9') return false;
  const int month = std::stoi(s.substr(5, 2)), day = std::stoi(s.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

void BuildNotes(const TKaroDbSources& sources, TKaroData& data) {
  TSampleNotes notes = ReadSampleNotes(sources.SampleNotes);
  const std::string file = sources.SampleNotes.string();
  if (notes.Categories.size() != kCategoryCount || notes.Marks.size() != kMarkCount)
    throw std::runtime_error(file + ": the notes page lists 9 categories and 5 marks");
  for (TSampleNote& n : notes.Notes) {
    if (std::find(notes.Categories.begin(), notes.Categories.end(), n.LeiBie) == notes.Categories.end())
      throw std::runtime_error(file + ": \"" + n.BiaoTi + "\" is in no listed category");
    if (std::find(notes.Marks.begin(), notes.Marks.end(), n.BiaoJi) == notes.Marks.end())
      throw std::runtime_error(file + ": \"" + n.BiaoTi + "\" has no listed mark");
    if (!IsIsoDate(n.RiQi)) throw std::runtime_error(file + ": \"" + n.BiaoTi + "\" has no YYYY-MM-DD date");
    TNoteRow row;
    // The count of a note is the number of characters of its content.
    for (std::size_t i = 0; i < n.NeiRong.size();) row.ShuLiang += IsHan(Utf8Next(n.NeiRong, i)) ? 1 : 0;
    row.BiaoTi = std::move(n.BiaoTi);
    row.ZuoZhe = std::move(n.ZuoZhe);
    row.ChuChu = std::move(n.ChuChu);
    row.WangZhi = std::move(n.WangZhi);
    row.RiQi = std::move(n.RiQi);
    row.BeiZhu = std::move(n.BeiZhu);
    row.NeiRong = std::move(n.NeiRong);
    row.LeiBie = std::move(n.LeiBie);
    row.BiaoJi = std::move(n.BiaoJi);
    data.ZuoPin.push_back(std::move(row));
  }
  data.Categories = std::move(notes.Categories);
  data.Marks = std::move(notes.Marks);
  data.Counts.Notes = static_cast<int>(data.ZuoPin.size());
}

// --- SQLite -------------------------------------------------------------------------------------

class TDb {
 public:
  explicit TDb(const fs::path& file) {
    if (sqlite3_open_v2(file.string().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      const std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      throw std::runtime_error("cannot create " + file.string() + ": " + msg);
    }
  }
  ~TDb() { sqlite3_close(db_); }
  TDb(const TDb&) = delete;
  TDb& operator=(const TDb&) = delete;

  void Exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
      const std::string msg = err ? err : sqlite3_errmsg(db_);
      sqlite3_free(err);
      throw std::runtime_error(std::string("SQLite: ") + msg + " in: " + sql);
    }
  }
  void Close() {
    if (sqlite3_close(db_) != SQLITE_OK) throw std::runtime_error("SQLite: cannot close the database");
    db_ = nullptr;
  }
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

class TInsert {
 public:
  TInsert(TDb& db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db.Handle()) + " in: " + sql);
  }
  ~TInsert() { sqlite3_finalize(stmt_); }
  TInsert(const TInsert&) = delete;
  TInsert& operator=(const TInsert&) = delete;

  TInsert& Text(int i, const std::string& s) {
    Check(sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_STATIC));
    return *this;
  }
  TInsert& Null(int i) {
    Check(sqlite3_bind_null(stmt_, i));
    return *this;
  }
  TInsert& Int(int i, long long v) {
    Check(sqlite3_bind_int64(stmt_, i, v));
    return *this;
  }
  void Run() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) Check(SQLITE_ERROR);
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_.Handle()));
  }
  TDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Every column the program shows is text; PaiXu and ShuLiang are numbers so that they sort and
// add as numbers. The rhyme and notes tables are edited in the program, so their texts default
// to empty rather than refusing a row.
const char* const kSchema = R"SQL(
CREATE TABLE KaroMu (KaroShou TEXT NOT NULL, PaiXu INTEGER NOT NULL, KaroMu TEXT NOT NULL);
CREATE TABLE PingSheYin (KaroMu TEXT NOT NULL DEFAULT '', YinJie TEXT NOT NULL DEFAULT '',
  ShengDiao TEXT NOT NULL DEFAULT '', JianYi TEXT NOT NULL DEFAULT '', FanZa TEXT NOT NULL DEFAULT '');
CREATE TABLE JuanSheYin (KaroMu TEXT NOT NULL DEFAULT '', YinJie TEXT NOT NULL DEFAULT '',
  ShengDiao TEXT NOT NULL DEFAULT '', JianYi TEXT NOT NULL DEFAULT '', FanZa TEXT NOT NULL DEFAULT '');
CREATE TABLE CiYu (CiYu TEXT NOT NULL, HanYi TEXT NOT NULL DEFAULT '');
CREATE TABLE ChengYu (ChengYu TEXT NOT NULL, HanYi TEXT NOT NULL DEFAULT '');
CREATE TABLE ZuoPin (BiaoTi TEXT, ShuLiang INTEGER, ZuoZhe TEXT, ChuChu TEXT, WangZhi TEXT,
  RiQi DATE, BeiZhu TEXT, NeiRong TEXT, LeiBie TEXT, BiaoJi TEXT);
)SQL";

// Made after the rows are in, which is quicker than keeping them up to date row by row. SQLite's
// LIKE is case-insensitive, so only a NOCASE index serves a prefix search with it.
const char* const kIndexes = R"SQL(
CREATE INDEX KaroMu_Group ON KaroMu (KaroShou, PaiXu);
CREATE INDEX PingSheYin_Final ON PingSheYin (KaroMu, ShengDiao, YinJie);
CREATE INDEX JuanSheYin_Final ON JuanSheYin (KaroMu, ShengDiao, YinJie);
CREATE INDEX CiYu_Word ON CiYu (CiYu COLLATE NOCASE);
CREATE INDEX ChengYu_Idiom ON ChengYu (ChengYu COLLATE NOCASE);
CREATE INDEX ZuoPin_Category ON ZuoPin (LeiBie, RiQi);
)SQL";

void InsertRhymes(TDb& db, const char* sql, const std::vector<TRhymeRow>& rows) {
  TInsert ins(db, sql);
  for (const TRhymeRow& r : rows)
    ins.Text(1, r.KaroMu).Text(2, r.YinJie).Text(3, r.ShengDiao).Text(4, r.JianYi).Text(5, r.FanZa).Run();
}

void InsertEntries(TDb& db, const char* sql, const std::vector<TEntryRow>& rows) {
  TInsert ins(db, sql);
  for (const TEntryRow& r : rows) ins.Text(1, r.Text).Text(2, r.HanYi).Run();
}

std::string Percent(int part, int whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f%%", whole ? 100.0 * part / whole : 0.0);
  return buf;
}

}  // namespace

TKaroData LoadKaroData(const TKaroDbSources& sources) {
  TKaroData data;
  BuildRhymeTables(sources, data);
  BuildWordTables(sources, data);
  BuildNotes(sources, data);
  return data;
}

TKaroData FixtureKaroData(const fs::path& sampleNotes) {
  TKaroData data;
  TSampleNotes lists = ReadSampleNotes(sampleNotes);
  if (lists.Categories.size() != kCategoryCount || lists.Marks.size() != kMarkCount)
    throw std::runtime_error(sampleNotes.string() + ": the notes page lists 9 categories and 5 marks");
  data.Categories = lists.Categories;
  data.Marks = lists.Marks;

  int paiXu[kGroupCount] = {};
  for (const TFinalInfo& f : FinalsInOrder()) {
    data.KaroMu.push_back({kKaroShou[f.Group], ++paiXu[f.Group], f.Final});
    const std::string syllable = f.Final[0] == '-' ? "zi" : f.Final;
    for (const char* tone : {"1", "2", "3", "4"}) {
      data.PingSheYin.push_back({f.Final, syllable, tone, "\u5e73", ""});
      data.JuanSheYin.push_back({f.Final, "zh" + syllable, tone, "\u4ec4", "\u4ec5"});
    }
  }
  // Two readings of one final and tone, so a list of them has an order.
  data.PingSheYin.push_back({"a", "ba", "1", "\u516b", ""});

  // Words: 春天 春风 早春 立春 青春期 夏天 春% 春_; idioms: 春暖花开 春风化雨 妙手回春 满面春风
  // 一年之计在于春 秋高气爽.
  for (const char* w : {"\u6625\u5929", "\u6625\u98ce", "\u65e9\u6625", "\u7acb\u6625", "\u9752\u6625\u671f",
                        "\u590f\u5929", "\u6625%", "\u6625_"})
    data.CiYu.push_back({w, std::string("\u8bcd\uff1a") + w});
  for (const char* w : {"\u6625\u6696\u82b1\u5f00", "\u6625\u98ce\u5316\u96e8", "\u5999\u624b\u56de\u6625",
                        "\u6ee1\u9762\u6625\u98ce", "\u4e00\u5e74\u4e4b\u8ba1\u5728\u4e8e\u6625",
                        "\u79cb\u9ad8\u6c14\u723d"})
    data.ChengYu.push_back({w, std::string("\u6210\u8bed\uff1a") + w});

  auto note = [&](const char* title, const char* date, int category, long long count) {
    TNoteRow n;
    n.BiaoTi = title;
    n.RiQi = date;
    n.LeiBie = lists.Categories[size_t(category)];
    n.BiaoJi = lists.Marks[0];
    n.ShuLiang = count;
    n.NeiRong = std::string("\u5185\u5bb9 ") + title;
    data.ZuoPin.push_back(n);
    return &data.ZuoPin.back();
  };
  // Category 0, newest first: d (text count) c b a (no count); total 11 + 22 + 44 = 77.
  note("a", "2025-12-30", 0, 0)->ShuLiangNull = true;
  note("b", "2026-01-05", 0, 11);
  note("c", "2026-03-21", 0, 22);
  note("e", "2026-02-12", 0, 44);
  note("d", "2026-04-01", 0, 0)->ShuLiangText = "many";
  note("x", "2026-04-02", 1, 33);
  data.Counts.Notes = static_cast<int>(data.ZuoPin.size());
  return data;
}

void WriteKaroDb(const TKaroData& data, const fs::path& file) {
  fs::path temp = file;
  temp += ".part";
  fs::remove(temp);
  {
    TDb db(temp);
    db.Exec("PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
    db.Exec("BEGIN");
    db.Exec(kSchema);
    {
      TInsert ins(db, "INSERT INTO KaroMu (KaroShou, PaiXu, KaroMu) VALUES (?, ?, ?)");
      for (const TKaroMuRow& r : data.KaroMu) ins.Text(1, r.KaroShou).Int(2, r.PaiXu).Text(3, r.KaroMu).Run();
    }
    InsertRhymes(db, "INSERT INTO PingSheYin (KaroMu, YinJie, ShengDiao, JianYi, FanZa) VALUES (?, ?, ?, ?, ?)",
                 data.PingSheYin);
    InsertRhymes(db, "INSERT INTO JuanSheYin (KaroMu, YinJie, ShengDiao, JianYi, FanZa) VALUES (?, ?, ?, ?, ?)",
                 data.JuanSheYin);
    InsertEntries(db, "INSERT INTO CiYu (CiYu, HanYi) VALUES (?, ?)", data.CiYu);
    InsertEntries(db, "INSERT INTO ChengYu (ChengYu, HanYi) VALUES (?, ?)", data.ChengYu);
    {
      TInsert ins(db,
                  "INSERT INTO ZuoPin (BiaoTi, ShuLiang, ZuoZhe, ChuChu, WangZhi, RiQi, BeiZhu, NeiRong, LeiBie, BiaoJi) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      for (const TNoteRow& n : data.ZuoPin) {
        if (n.ShuLiangNull) ins.Null(2);
        else if (!n.ShuLiangText.empty()) ins.Text(2, n.ShuLiangText);
        else ins.Int(2, n.ShuLiang);
        ins.Text(1, n.BiaoTi).Text(3, n.ZuoZhe).Text(4, n.ChuChu).Text(5, n.WangZhi)
            .Text(6, n.RiQi).Text(7, n.BeiZhu).Text(8, n.NeiRong).Text(9, n.LeiBie).Text(10, n.BiaoJi).Run();
      }
    }
    db.Exec(kIndexes);
    db.Exec("COMMIT");
    db.Close();
  }
  fs::rename(temp, file);
}

bool WriteKaroSecurity(const fs::path& database, const fs::path& workgroup) {
  // Karo opens Karo.cc with its database password and signs in to the workgroup file with its
  // account; the data layer keeps only salted hashes of both.
  SetDatabasePassword(database.string(), kKaroDatabasePassword);
  CreateWorkgroupFile(workgroup.string(), {{kKaroUser, kKaroUserPassword}});
  return true;
}

TKaroDbFloors FullDatabaseFloors() {
  TKaroDbFloors f;
  f.ShownChars = 8000;
  f.Idioms = 30000;
  f.IdiomMeaningShare = 0.99;
  f.Words = 200000;
  f.WordMeaningShare = 0.90;
  f.IdiomsWithChun = 24;
  return f;
}

std::string FormatSummary(const TKaroDbCounts& c) {
  std::ostringstream out;
  int finals = 0;
  for (int n : c.FinalsPerGroup) finals += n;
  out << "finals: " << finals << " (";
  for (int g = 0; g < kGroupCount; ++g) out << (g ? ", " : "") << kKaroShou[g] << ' ' << c.FinalsPerGroup[g];
  out << ")\n";
  out << "PingSheYin: " << c.PingRows << " rows, " << c.PingShown << " shown; JuanSheYin: " << c.JuanRows
      << " rows, " << c.JuanShown << " shown (" << c.MovedIntoJianYi
      << " readings of rare characters only lend their most frequent one to JianYi)\n";
  out << "standard characters the rhyme pages show: " << c.ShownChars << " of " << c.StandardChars
      << " (readings left out: " << c.NeutralReadings << " neutral-tone, " << c.NoVowelReadings
      << " syllabic nasals)";
  if (!c.NotShown.empty()) out << "; not shown: " << c.NotShown;
  out << "\n";
  out << "idioms: " << c.Idioms << ", " << c.IdiomsWithMeaning << " with a meaning ("
      << Percent(c.IdiomsWithMeaning, c.Idioms) << "); " << c.IdiomsWithChun << " begin with " << kChun << "\n";
  out << "words: " << c.Words << ", " << c.WordsWithMeaning << " with a meaning ("
      << Percent(c.WordsWithMeaning, c.Words) << ")\n";
  out << "keys dropped as not Chinese words: " << c.DroppedKeys << "\n";
  out << "meanings left empty as garbled by a wrong decoding: " << c.BrokenMeanings << "\n";
  out << "sample notes: " << c.Notes << "\n";
  return out.str();
}

std::vector<std::string> CheckFloors(const TKaroDbCounts& c, const TKaroDbFloors& f) {
  std::vector<std::string> failed;
  const auto below = [&](const char* what, double got, double floor) {
    if (got < floor) {
      std::ostringstream s;
      s << what << ": " << got << " is below " << floor;
      failed.push_back(s.str());
    }
  };
  below("standard characters shown", c.ShownChars, f.ShownChars);
  below("idioms", c.Idioms, f.Idioms);
  below("share of idioms with a meaning", c.Idioms ? double(c.IdiomsWithMeaning) / c.Idioms : 0, f.IdiomMeaningShare);
  below("words", c.Words, f.Words);
  below("share of words with a meaning", c.Words ? double(c.WordsWithMeaning) / c.Words : 0, f.WordMeaningShare);
  below("idioms beginning with \u6625", c.IdiomsWithChun, f.IdiomsWithChun);
  if (c.PingShown != c.PingRows) failed.push_back("PingSheYin has rows that are never listed");
  if (c.JuanShown != c.JuanRows) failed.push_back("JuanSheYin has rows that are never listed");
  return failed;
}
