// Reading of tone-marked pinyin into syllable, final and tone, and the table of finals with the
// initial-letter group and sort position each is listed under.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The six groups, as stored in KaroMu.KaroShou and offered by the group list of the rhyme pages.
inline constexpr int kGroupCount = 6;
extern const char* const kKaroShou[kGroupCount];

struct TFinalInfo {
  const char* Final;  // UTF-8: "ian", "\u00fc" (ü), "-i" (the apical vowel of zi ci si zhi chi shi ri)
  int Group;          // index into kKaroShou
};

// Every final in listing order; a final's PaiXu is its place among the listed finals of its group.
const std::vector<TFinalInfo>& FinalsInOrder();
// The group of a final, or -1 when it is no final of the table.
int GroupOfFinal(std::string_view final);

enum class TReadingKind {
  Toned,    // a syllable with a tone 1 to 4
  Neutral,  // no tone mark: the neutral tone, which the tone list does not offer
  NoVowel,  // a syllabic nasal (m, n, ng, hm, hng), which fits none of the vowel groups
  Unknown,  // not a syllable of the finals table (a fault in the data)
};

struct TSyllable {
  std::string YinJie;      // toneless, as written (ju, lü, zhi)
  std::string Final;       // spelt as a final (ü, ui, -i)
  int Tone = 0;            // 1 to 4; 0 for the neutral tone
  bool Retroflex = false;  // initial zh, ch, sh or r
};

// Parses one tone-marked reading ("zhòng", "lüè", "ê̄"); fills out for Toned and Neutral.
TReadingKind ParseReading(std::string_view marked, TSyllable& out);
