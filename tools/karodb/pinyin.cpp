#include "tools/karodb/pinyin.h"

#include "tools/karodb/utf8.h"

#include <array>

const char* const kKaroShou[kGroupCount] = {
    "[a]\u5f00\u5934", "[e]\u5f00\u5934", "[i]\u5f00\u5934",
    "[o]\u5f00\u5934", "[u]\u5f00\u5934", "[\u00fc]\u5f00\u5934",
};

namespace {

// Order of the pinyin scheme's table of finals within each group.
const std::vector<TFinalInfo> kFinals = {
    {"a", 0},     {"ai", 0},        {"ao", 0},        {"an", 0},        {"ang", 0},
    {"e", 1},     {"\u00ea", 1},    {"ei", 1},        {"en", 1},        {"eng", 1},
    {"er", 1},    {"i", 2},         {"-i", 2},        {"ia", 2},        {"io", 2},
    {"ie", 2},    {"iao", 2},       {"iu", 2},        {"ian", 2},       {"in", 2},
    {"iang", 2},  {"ing", 2},       {"iong", 2},      {"o", 3},         {"ou", 3},
    {"ong", 3},   {"u", 4},         {"ua", 4},        {"uo", 4},        {"uai", 4},
    {"ui", 4},    {"uan", 4},       {"un", 4},        {"uang", 4},      {"ueng", 4},
    {"\u00fc", 5}, {"\u00fce", 5},  {"\u00fcan", 5},  {"\u00fcn", 5},
};

// A tone-marked letter: its plain letter (UTF-8) and tone.
struct TMarked {
  char32_t Cp;
  const char* Plain;
  int Tone;
};
const std::array<TMarked, 32> kMarked = {{
    {0x101, "a", 1},      {0xE1, "a", 2},       {0x1CE, "a", 3},      {0xE0, "a", 4},
    {0x113, "e", 1},      {0xE9, "e", 2},       {0x11B, "e", 3},      {0xE8, "e", 4},
    {0x12B, "i", 1},      {0xED, "i", 2},       {0x1D0, "i", 3},      {0xEC, "i", 4},
    {0x14D, "o", 1},      {0xF3, "o", 2},       {0x1D2, "o", 3},      {0xF2, "o", 4},
    {0x16B, "u", 1},      {0xFA, "u", 2},       {0x1D4, "u", 3},      {0xF9, "u", 4},
    {0x1D6, "\u00fc", 1}, {0x1D8, "\u00fc", 2}, {0x1DA, "\u00fc", 3}, {0x1DC, "\u00fc", 4},
    {0x1EBF, "\u00ea", 2}, {0x1EC1, "\u00ea", 4}, {0x1E3F, "m", 2},   {0x144, "n", 2},
    {0x148, "n", 3},      {0x1F9, "n", 4},      {0xFC, "\u00fc", 0},  {0xEA, "\u00ea", 0},
}};

int CombiningTone(char32_t cp) {
  switch (cp) {
    case 0x304: return 1;
    case 0x301: return 2;
    case 0x30C: return 3;
    case 0x300: return 4;
    default: return 0;
  }
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

bool HasVowel(std::string_view s) {
  return s.find_first_of("aeiou") != std::string_view::npos ||
         s.find("\u00fc") != std::string_view::npos || s.find("\u00ea") != std::string_view::npos;
}

// The final of a syllable with the y/w spellings undone: yan is ian, wei is ui, you is iu.
std::string FinalOfZeroInitial(std::string_view s) {
  if (s[0] == 'y') {
    std::string_view rest = s.substr(1);
    if (StartsWith(rest, "u")) return "\u00fc" + std::string(rest.substr(1));
    if (StartsWith(rest, "i")) return std::string(rest);
    if (rest == "ou") return "iu";
    return "i" + std::string(rest);
  }
  if (s[0] == 'w') {
    std::string_view rest = s.substr(1);
    if (rest == "u") return "u";
    if (rest == "ei") return "ui";
    if (rest == "en") return "un";
    return "u" + std::string(rest);
  }
  return std::string(s);
}

}  // namespace

const std::vector<TFinalInfo>& FinalsInOrder() { return kFinals; }

int GroupOfFinal(std::string_view final) {
  for (const TFinalInfo& f : kFinals)
    if (final == f.Final) return f.Group;
  return -1;
}

TReadingKind ParseReading(std::string_view marked, TSyllable& out) {
  std::string plain;
  int tone = 0;
  for (std::size_t i = 0; i < marked.size();) {
    const char32_t cp = Utf8Next(marked, i);
    if (cp >= 'a' && cp <= 'z') {
      plain += static_cast<char>(cp);
      continue;
    }
    if (const int t = CombiningTone(cp)) {
      if (tone != 0) return TReadingKind::Unknown;
      tone = t;
      continue;
    }
    bool found = false;
    for (const TMarked& m : kMarked) {
      if (m.Cp != cp) continue;
      found = true;
      plain += m.Plain;
      if (m.Tone != 0) {
        if (tone != 0) return TReadingKind::Unknown;
        tone = m.Tone;
      }
      break;
    }
    if (!found) return TReadingKind::Unknown;
  }
  if (plain.empty()) return TReadingKind::Unknown;

  static const char* const kInitials[] = {"zh", "ch", "sh", "b", "p", "m", "f", "d", "t", "n", "l",
                                          "g",  "k",  "h",  "j", "q", "x", "r", "z", "c", "s"};
  std::string_view s = plain;
  std::string initial;
  if (s[0] != 'y' && s[0] != 'w') {
    for (const char* ini : kInitials) {
      if (StartsWith(s, ini)) {
        initial = ini;
        break;
      }
    }
  }
  std::string_view rest = s.substr(initial.size());
  if (!HasVowel(rest)) return TReadingKind::NoVowel;

  const bool palatal = initial == "j" || initial == "q" || initial == "x";
  if (palatal && rest[0] != 'i' && rest[0] != 'u') return TReadingKind::Unknown;

  std::string final;
  if (initial.empty()) {
    final = FinalOfZeroInitial(s);
  } else if (palatal && rest[0] == 'u') {
    final = "\u00fc" + std::string(rest.substr(1));
  } else if (rest == "i" && (initial == "z" || initial == "c" || initial == "s" || initial == "zh" ||
                             initial == "ch" || initial == "sh" || initial == "r")) {
    final = "-i";
  } else {
    final = std::string(rest);
  }
  if (GroupOfFinal(final) < 0) return TReadingKind::Unknown;

  out.YinJie = plain;
  out.Final = final;
  out.Tone = tone;
  out.Retroflex = initial == "zh" || initial == "ch" || initial == "sh" || initial == "r";
  return tone == 0 ? TReadingKind::Neutral : TReadingKind::Toned;
}
