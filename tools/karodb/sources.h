// Readers of the data sources in the formats they ship in: Unihan's tab-separated fields, the
// meaning files of cnchar-data, the idiom list inside cnchar-idiom's script, the word lists of
// @pinyin-pro/data, and the builder's own file of sample notes. Each throws std::runtime_error
// naming the file when it cannot read it.
#pragma once

#include <filesystem>
#include <istream>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// A character of the 2013 standard list.
struct TStandardChar {
  int Number = 0;                     // its place in the list, 1 to 8105 (kTGH)
  std::vector<std::string> Readings;  // tone-marked (kTGHZ2013), in the list's order
};

// Adds the kTGH and kTGHZ2013 fields of Unihan lines to chars; other fields are skipped.
void ReadUnihan(std::istream& in, std::map<char32_t, TStandardChar>& chars);
void ReadUnihanFile(const std::filesystem::path& file, std::map<char32_t, TStandardChar>& chars);

// Every (key, meaning) of the JSON objects in the folder's *.json files, files in name order.
std::vector<std::pair<std::string, std::string>> ReadExplanations(const std::filesystem::path& dir);

// The idioms of the JSON literal that the script hands to JSON.parse (an object of arrays).
std::vector<std::string> ReadIdiomScript(const std::filesystem::path& script);

// The keys of an object of words (modern.json), in file order.
std::vector<std::string> ReadWordKeys(const std::filesystem::path& file);

// The rate of each single-character key of complete.json.
std::unordered_map<char32_t, double> ReadCharFrequencies(const std::filesystem::path& file);

struct TSampleNote {
  std::string BiaoTi, ZuoZhe, ChuChu, WangZhi, RiQi, BeiZhu, NeiRong, LeiBie, BiaoJi;
};
struct TSampleNotes {
  std::vector<std::string> Categories;  // the category list of the notes page, in list order
  std::vector<std::string> Marks;       // the mark list of the notes page, in list order
  std::vector<TSampleNote> Notes;
};
TSampleNotes ReadSampleNotes(const std::filesystem::path& file);
