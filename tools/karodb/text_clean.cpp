#include "tools/karodb/text_clean.h"

#include "tools/karodb/utf8.h"

std::string NormalisePunctuation(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t cp = Utf8Next(text, i);
    switch (cp) {
      case 0xFE50: Utf8Append(out, 0xFF0C); break;  // ﹐ -> ，
      case 0xFE51: Utf8Append(out, 0x3001); break;  // ﹑ -> 、
      case 0xFE54: Utf8Append(out, 0xFF1B); break;  // ﹔ -> ；
      case 0x3127: Utf8Append(out, 0x4E00); break;  // ㄧ -> 一
      default: out.append(text.substr(start, i - start));
    }
  }
  return out;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
}  // namespace

std::string CleanMeaning(std::string_view text) {
  const std::string norm = NormalisePunctuation(text);
  std::string out;
  std::size_t pos = 0;
  while (pos <= norm.size()) {
    std::size_t end = norm.find('\n', pos);
    if (end == std::string::npos) end = norm.size();
    std::size_t a = pos, b = end;
    while (a < b && IsBlank(norm[a])) ++a;
    while (b > a && IsBlank(norm[b - 1])) --b;
    if (b > a) {
      if (!out.empty()) out += ' ';
      out.append(norm, a, b - a);
    }
    pos = end + 1;
  }
  return out;
}

bool IsWordKey(std::string_view key) {
  std::size_t hans = 0;
  for (std::size_t i = 0; i < key.size();) {
    const char32_t cp = Utf8Next(key, i);
    if (IsHan(cp)) {
      ++hans;
    } else if (cp != 0xFF0C && cp != 0x3001 && cp != 0xFF1B && cp != 0x00B7) {
      return false;
    }
  }
  return hans >= 2;
}

namespace {
bool IsHexDigit(char32_t cp) { return (cp >= '0' && cp <= '9') || (cp >= 'a' && cp <= 'f'); }
bool IsAsciiLetter(char32_t cp) { return cp < 0x80 && (cp | 0x20) >= 'a' && (cp | 0x20) <= 'z'; }
}  // namespace

bool HasBrokenEncoding(std::string_view meaning) {
  char32_t before = 0;  // the character before the current one
  // The run of hex digits just before it: a code is four of them, led by a letter a to f and not
  // by a letter or digit of a word ("1234\uff0c" is a number before a comma).
  int hexRun = 0;
  bool codeLike = false;
  for (std::size_t i = 0; i < meaning.size();) {
    const char32_t cp = Utf8Next(meaning, i);
    if (cp >= 0x3041 && cp <= 0x30FA) return true;
    if (cp >= 0x2500 && cp <= 0x257F && IsHan(before)) return true;
    if (cp >= 0xFF01 && cp <= 0xFF5E && hexRun == 4 && codeLike) return true;
    if (IsHexDigit(cp)) {
      if (hexRun == 0) codeLike = cp >= 'a' && !IsAsciiLetter(before) && !(before >= '0' && before <= '9');
      ++hexRun;
    } else {
      hexRun = 0;
    }
    before = cp;
  }
  return false;
}
