// The traditional region's texts of the language file, checked mechanically: each [TW] value is
// converted with the installed simplified-to-traditional converter (Debian's opencc, whose tables
// are read when it runs) and must come back unchanged, except the values that name database rows
// and so must stay as the database stores them (simplified, the same as in [CN]).
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using TSection = std::vector<std::pair<std::string, std::string>>;

std::map<std::string, TSection> ReadIni(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::map<std::string, TSection> out;
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || section.empty()) continue;
    out[section].emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return out;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Each text through the converter's Taiwan configuration, one per line; empty when it cannot run.
std::vector<std::string> ToTraditional(const std::vector<std::string>& texts, std::string& error) {
  std::string templ = (fs::temp_directory_path() / "karo-region-XXXXXX").string();
  if (!mkdtemp(templ.data())) {
    error = "no temporary folder";
    return {};
  }
  const fs::path dir = templ;
  {
    std::ofstream out(dir / "in.txt", std::ios::binary);
    for (const std::string& t : texts) out << t << "\n";
  }
  const std::string command = "opencc -c s2tw.json -i '" + (dir / "in.txt").string() + "' -o '" +
                              (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
  const int rc = std::system(command.c_str());
  std::vector<std::string> lines;
  if (rc != 0) {
    error = "the converter failed (" + std::to_string(rc) + "): " + ReadAll(dir / "err.txt") +
            " -- scripts/setup.sh installs it (Debian package opencc)";
  } else {
    std::istringstream in(ReadAll(dir / "out.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  fs::remove_all(dir);
  return lines;
}

// The values that find rows: the rhyme groups (KaroShou) and the note categories (LeiBie) that
// the lists put into their statements.
std::set<std::string> KeysThatNameRows() {
  std::set<std::string> keys;
  for (int i = 1; i <= 6; i++) keys.insert("A_ComboBox1_Items" + std::to_string(i));
  keys.insert("D_ComboBox1");
  for (int i = 1; i <= 9; i++) {
    keys.insert("D_ComboBox1_Items" + std::to_string(i));
    keys.insert("D_DBComboBox1_Items" + std::to_string(i));
  }
  return keys;
}

}  // namespace

TEST(RegionTexts, TraditionalTextsHoldNoSimplifiedCharacters) {
  // A converter that changed nothing would let every text pass.
  std::string error;
  const std::vector<std::string> probe = ToTraditional({"\u53d1\u8868", "\u5f00\u5934"}, error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(probe, (std::vector<std::string>{"\u767c\u8868", "\u958b\u982d"}));

  auto ini = ReadIni(KARO_LANGUAGE_SOURCE);
  ASSERT_GT(ini["TW"].size(), 100u) << KARO_LANGUAGE_SOURCE;
  std::map<std::string, std::string> cn(ini["CN"].begin(), ini["CN"].end());

  const std::set<std::string> rowKeys = KeysThatNameRows();
  std::vector<std::string> texts;
  std::vector<std::string> keys;
  std::string stayedApart;
  for (const auto& [key, value] : ini["TW"]) {
    if (rowKeys.count(key)) {
      if (cn[key] != value) stayedApart += "\n  " + key + ": [TW] " + value + ", [CN] " + cn[key];
      continue;
    }
    keys.push_back(key);
    texts.push_back(value);
  }
  EXPECT_TRUE(stayedApart.empty()) << "values that find rows must be the database's own:" << stayedApart;

  const std::vector<std::string> converted = ToTraditional(texts, error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(converted.size(), texts.size());
  std::string differs;
  for (size_t i = 0; i < texts.size(); i++)
    if (converted[i] != texts[i]) differs += "\n  " + keys[i] + "=" + texts[i] + " (traditional: " + converted[i] + ")";
  EXPECT_TRUE(differs.empty()) << "[TW] texts with simplified characters:" << differs;

  // Every text of the simplified region has its traditional twin.
  std::string missing;
  std::set<std::string> tw;
  for (const auto& kv : ini["TW"]) tw.insert(kv.first);
  for (const auto& kv : ini["CN"])
    if (!tw.count(kv.first)) missing += " " + kv.first;
  EXPECT_TRUE(missing.empty()) << "missing in [TW]:" << missing;
}
