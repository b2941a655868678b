#include "tools/karodb/sources.h"

#include "tools/karodb/utf8.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::string ReadWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) throw std::runtime_error("cannot read " + file.string());
  return std::move(buf).str();
}

json ParseJson(const std::string& text, const fs::path& file,
               const json::parser_callback_t& filter = nullptr) {
  try {
    return json::parse(text, filter);
  } catch (const json::exception& e) {
    throw std::runtime_error(file.string() + ": " + e.what());
  }
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', pos);
    fields.push_back(line.substr(pos, tab == std::string_view::npos ? std::string_view::npos : tab - pos));
    if (tab == std::string_view::npos) break;
    pos = tab + 1;
  }
  return fields;
}

bool ParseCodePoint(std::string_view field, char32_t& cp) {
  if (field.size() < 6 || field.substr(0, 2) != "U+") return false;
  unsigned long v = 0;
  for (char c : field.substr(2)) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * 16 + static_cast<unsigned long>(d);
    if (v > 0x10FFFF) return false;
  }
  cp = static_cast<char32_t>(v);
  return true;
}

std::string RequireString(const json& obj, const char* key, const fs::path& file) {
  const auto it = obj.find(key);
  if (it == obj.end() || !it->is_string())
    throw std::runtime_error(file.string() + ": a note lacks the text \"" + key + "\"");
  return it->get<std::string>();
}

std::vector<std::string> RequireList(const json& obj, const char* key, const fs::path& file) {
  const auto it = obj.find(key);
  if (it == obj.end() || !it->is_array())
    throw std::runtime_error(file.string() + ": the list \"" + key + "\" is missing");
  std::vector<std::string> out;
  for (const json& v : *it) {
    if (!v.is_string()) throw std::runtime_error(file.string() + ": \"" + key + "\" holds a non-text");
    out.push_back(v.get<std::string>());
  }
  return out;
}

}  // namespace

void ReadUnihan(std::istream& in, std::map<char32_t, TStandardChar>& chars) {
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line.back() == '\r') line.pop_back();
    const auto f = SplitTabs(line);
    if (f.size() != 3 || (f[1] != "kTGH" && f[1] != "kTGHZ2013")) continue;
    char32_t cp;
    if (!ParseCodePoint(f[0], cp)) throw std::runtime_error("Unihan: bad code point in: " + line);
    std::istringstream values{std::string(f[2])};
    std::string value;
    while (values >> value) {
      const std::size_t colon = value.find(':');
      if (colon == std::string::npos) throw std::runtime_error("Unihan: bad value in: " + line);
      const std::string before = value.substr(0, colon), after = value.substr(colon + 1);
      if (f[1] == "kTGH") {
        if (before != "2013") continue;
        int n = 0;
        try {
          n = std::stoi(after);
        } catch (const std::exception&) {
          throw std::runtime_error("Unihan: bad kTGH number in: " + line);
        }
        chars[cp].Number = n;
      } else {
        auto& readings = chars[cp].Readings;
        if (std::find(readings.begin(), readings.end(), after) == readings.end()) readings.push_back(after);
      }
    }
  }
}

void ReadUnihanFile(const fs::path& file, std::map<char32_t, TStandardChar>& chars) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  ReadUnihan(in, chars);
  if (in.bad()) throw std::runtime_error("cannot read " + file.string());
}

std::vector<std::pair<std::string, std::string>> ReadExplanations(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().extension() == ".json") files.push_back(e.path());
  if (ec) throw std::runtime_error("cannot list " + dir.string() + ": " + ec.message());
  if (files.empty()) throw std::runtime_error(dir.string() + " holds no .json files");
  std::sort(files.begin(), files.end());
  std::vector<std::pair<std::string, std::string>> out;
  for (const fs::path& file : files) {
    const json j = ParseJson(ReadWholeFile(file), file);
    if (!j.is_object()) throw std::runtime_error(file.string() + ": not an object");
    for (const auto& [key, value] : j.items()) {
      if (!value.is_string()) throw std::runtime_error(file.string() + ": the meaning of a key is no text");
      out.emplace_back(key, value.get<std::string>());
    }
  }
  return out;
}

std::vector<std::string> ReadIdiomScript(const fs::path& script) {
  const std::string text = ReadWholeFile(script);
  const std::string open = "JSON.parse('";
  const std::size_t start = text.find(open);
  const std::size_t end = start == std::string::npos ? start : text.find("')", start + open.size());
  if (end == std::string::npos) throw std::runtime_error(script.string() + ": no idiom list found");
  const std::string literal = text.substr(start + open.size(), end - start - open.size());
  // The list is plain JSON inside a single-quoted script string; an escape there would need the
  // script's own string rules, which this list never uses.
  if (literal.find('\\') != std::string::npos)
    throw std::runtime_error(script.string() + ": the idiom list holds escapes");
  const json j = ParseJson(literal, script);
  if (!j.is_object()) throw std::runtime_error(script.string() + ": the idiom list is no object");
  std::vector<std::string> out;
  for (const auto& [key, list] : j.items()) {
    if (!list.is_array()) throw std::runtime_error(script.string() + ": idioms under " + key + " are no list");
    for (const json& v : list)
      if (v.is_string()) out.push_back(v.get<std::string>());
  }
  return out;
}

std::vector<std::string> ReadWordKeys(const fs::path& file) {
  const json j = ParseJson(ReadWholeFile(file), file);
  if (!j.is_object()) throw std::runtime_error(file.string() + ": not an object");
  std::vector<std::string> out;
  out.reserve(j.size());
  for (const auto& [key, value] : j.items()) out.push_back(key);
  return out;
}

std::unordered_map<char32_t, double> ReadCharFrequencies(const fs::path& file) {
  // Only the single characters matter: drop the words while parsing, which keeps this quick.
  const json::parser_callback_t singles = [](int depth, json::parse_event_t event, json& parsed) {
    if (depth == 1 && event == json::parse_event_t::key) {
      const std::string& key = parsed.get_ref<const std::string&>();
      std::size_t i = 0;
      if (key.empty()) return false;
      Utf8Next(key, i);
      return i == key.size();
    }
    return true;
  };
  const json j = ParseJson(ReadWholeFile(file), file, singles);
  if (!j.is_object()) throw std::runtime_error(file.string() + ": not an object");
  std::unordered_map<char32_t, double> out;
  for (const auto& [key, value] : j.items()) {
    // [reading, rate, ...]
    if (!value.is_array() || value.size() < 2 || !value[1].is_number()) continue;
    std::size_t i = 0;
    out[Utf8Next(key, i)] = value[1].get<double>();
  }
  return out;
}

TSampleNotes ReadSampleNotes(const fs::path& file) {
  const json j = ParseJson(ReadWholeFile(file), file);
  if (!j.is_object()) throw std::runtime_error(file.string() + ": not an object");
  TSampleNotes notes;
  notes.Categories = RequireList(j, "categories", file);
  notes.Marks = RequireList(j, "marks", file);
  const auto it = j.find("notes");
  if (it == j.end() || !it->is_array()) throw std::runtime_error(file.string() + ": the list \"notes\" is missing");
  for (const json& n : *it) {
    TSampleNote note;
    note.BiaoTi = RequireString(n, "BiaoTi", file);
    note.ZuoZhe = RequireString(n, "ZuoZhe", file);
    note.ChuChu = RequireString(n, "ChuChu", file);
    note.WangZhi = RequireString(n, "WangZhi", file);
    note.RiQi = RequireString(n, "RiQi", file);
    note.BeiZhu = RequireString(n, "BeiZhu", file);
    note.NeiRong = RequireString(n, "NeiRong", file);
    note.LeiBie = RequireString(n, "LeiBie", file);
    note.BiaoJi = RequireString(n, "BiaoJi", file);
    notes.Notes.push_back(std::move(note));
  }
  return notes;
}
