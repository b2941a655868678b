// Karo's database: the rows of its six tables worked out from the data sources, the writing of
// the SQLite file "Karo.cc" with its indexes, and the summary of counts with their floors.
#pragma once

#include "tools/karodb/pinyin.h"
#include "tools/karodb/sources.h"

#include <filesystem>
#include <string>
#include <vector>

struct TKaroDbSources {
  std::vector<std::filesystem::path> Unihan;  // plain-text Unihan files with kTGH and kTGHZ2013
  std::filesystem::path Explanations;         // cnchar-data's explanation/ folder
  std::filesystem::path IdiomScript;          // cnchar-idiom's cnchar.idiom.min.js
  std::filesystem::path ModernWords;          // @pinyin-pro/data's json/modern.json
  std::filesystem::path CharFrequencies;      // @pinyin-pro/data's json/complete.json
  std::filesystem::path SampleNotes;          // the builder's sample_notes.json
};

struct TKaroMuRow {
  std::string KaroShou;
  int PaiXu = 0;
  std::string KaroMu;
};

// A row of PingSheYin or JuanSheYin: one syllable with one tone.
struct TRhymeRow {
  std::string KaroMu, YinJie, ShengDiao, JianYi, FanZa;
};

// A row of CiYu or ChengYu.
struct TEntryRow {
  std::string Text, HanYi;
};

struct TNoteRow {
  std::string BiaoTi;
  long long ShuLiang = 0;
  // A count that is no number, as a hand-edited table may hold: stored as this text, or as Null
  // when ShuLiangNull is set, instead of ShuLiang.
  std::string ShuLiangText;
  bool ShuLiangNull = false;
  std::string ZuoZhe, ChuChu, WangZhi, RiQi, BeiZhu, NeiRong, LeiBie, BiaoJi;
};

struct TKaroDbCounts {
  int FinalsPerGroup[kGroupCount] = {};
  int StandardChars = 0;     // characters with a kTGH number
  int ShownChars = 0;        // of those, the ones some listed rhyme row holds
  std::string NotShown;      // the characters that no listed row holds
  int PingRows = 0, PingShown = 0, JuanRows = 0, JuanShown = 0;
  int MovedIntoJianYi = 0;   // readings with only level-2/3 characters
  int NeutralReadings = 0, NoVowelReadings = 0;
  int Idioms = 0, IdiomsWithMeaning = 0, IdiomsWithChun = 0;
  int Words = 0, WordsWithMeaning = 0;
  int DroppedKeys = 0;       // keys of the sources that are no Chinese words
  int BrokenMeanings = 0;    // meanings garbled by a wrong decoding, left empty
  int Notes = 0;
};

struct TKaroData {
  std::vector<TKaroMuRow> KaroMu;
  std::vector<TRhymeRow> PingSheYin, JuanSheYin;
  std::vector<TEntryRow> ChengYu, CiYu;
  std::vector<TNoteRow> ZuoPin;
  std::vector<std::string> Categories, Marks;  // the notes page's lists, which the language file repeats
  TKaroDbCounts Counts;
};

// Reads every source and works out the rows; throws std::runtime_error on unreadable or
// inconsistent input (a reading that is no pinyin syllable, a note in no listed category).
TKaroData LoadKaroData(const TKaroDbSources& sources);

// The handful of rows the program's tests run on: every final of the finals table with a reading
// of each tone in each rhyme table (two of "a" in the first tone), words and idioms placed around "\u6625" (at the start, inside, at
// the end, and next to a literal "%" and "_"), and notes out of date order with numeric, empty and
// non-numeric counts in one category, one note in another and none in a third. The categories and
// marks are the sample notes' lists.
TKaroData FixtureKaroData(const std::filesystem::path& sampleNotes);

// Writes the tables and indexes into a new SQLite file at file, replacing it only once complete.
void WriteKaroDb(const TKaroData& data, const std::filesystem::path& file);

// The one place where the database password and the workgroup file with Karo's account are to be
// written, by the data layer's routine that owns their format. Returns false while nothing writes
// them.
// The account Karo signs in with and the database's own password (Karo's connection string).
inline constexpr const char* kKaroUser = "Tessaro";
inline constexpr const char* kKaroUserPassword = "brenvatol.qz";
inline constexpr const char* kKaroDatabasePassword = "mordessa.quilnep";
bool WriteKaroSecurity(const std::filesystem::path& database, const std::filesystem::path& workgroup);

struct TKaroDbFloors {
  int ShownChars = 0;
  int Idioms = 0;
  double IdiomMeaningShare = 0;  // 0 to 1
  int Words = 0;
  double WordMeaningShare = 0;
  int IdiomsWithChun = 0;
};
// The floors of the full database.
TKaroDbFloors FullDatabaseFloors();

std::string FormatSummary(const TKaroDbCounts& counts);
// One line per count below its floor (and per rhyme table with an unlisted row); empty when all hold.
std::vector<std::string> CheckFloors(const TKaroDbCounts& counts, const TKaroDbFloors& floors);
