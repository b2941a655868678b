// Karo's language file, read and written whole in its own encoding.
#include "app/karo_language.h"

#include <windows.h>

#include <cwctype>

#include "app/karo_data_module.h"
#include "app/karo_text.h"

namespace {

std::wstring_view TrimBlanks(std::wstring_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == L' ' || s[b] == L'\t')) b++;
  while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t' || s[e - 1] == L'\r')) e--;
  return s.substr(b, e - b);
}

// "[name]" gives the name; anything else is no section header.
bool SectionName(std::wstring_view line, std::wstring_view& name) {
  const std::wstring_view t = TrimBlanks(line);
  if (t.size() < 2 || t.front() != L'[') return false;
  const size_t close = t.find(L']');
  if (close == std::wstring_view::npos) return false;
  name = TrimBlanks(t.substr(1, close - 1));
  return true;
}

// "key=value" gives the key; comments (";") and lines without "=" give none.
bool KeyName(std::wstring_view line, std::wstring_view& key) {
  const std::wstring_view t = TrimBlanks(line);
  if (t.empty() || t.front() == L';') return false;
  const size_t eq = t.find(L'=');
  if (eq == std::wstring_view::npos) return false;
  key = TrimBlanks(t.substr(0, eq));
  return true;
}

// The value, cut to the limit, without the quotes around it.
WideString Value(std::wstring_view line) {
  std::wstring_view v = TrimBlanks(line.substr(line.find(L'=') + 1));
  if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return WideString(v.substr(0, kLanguageValueLimit + 1));
}

bool ReadWhole(const WideString& path, std::string& bytes, bool& exists) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    exists = !(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    return false;
  }
  exists = true;
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr)) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return ok;
}

std::string Utf16Bytes(const WideString& text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (wchar_t c : text) {
    const char lo = char(c & 0xFF), hi = char((c >> 8) & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

}  // namespace

WideString KaroLanguageFilePath() { return KaroProgramFolder() + L"Data\\Language.ini"; }

void TKaroLanguageFile::Load() const {
  if (loaded_) return;
  loaded_ = true;
  std::string bytes;
  const bool read = ReadWhole(path_, bytes, exists_);
  // A file that is there but cannot be read gives every default and is never written over.
  if (!read) {
    exact_ = !exists_;
    return;
  }
  auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0; };
  const std::string_view all(bytes);
  WideString text;
  if (starts("\xFF\xFE", 2)) {
    encoding_ = enUtf16LE;
    exact_ = DecodeUtf16Exactly(all.substr(2), false, text);
  } else if (starts("\xFE\xFF", 2)) {
    encoding_ = enUtf16BE;
    exact_ = DecodeUtf16Exactly(all.substr(2), true, text);
  } else if (starts("\xEF\xBB\xBF", 3)) {
    encoding_ = enUtf8Mark;
    exact_ = DecodeUtf8Exactly(all.substr(3), text);
  } else if (DecodeUtf8Exactly(all, text)) {
    // Most editors save UTF-8 without a mark; plain ASCII reads the same either way.
    encoding_ = enUtf8;
  } else {
    encoding_ = enAnsi;
    exact_ = DecodeAnsiExactly(all, CP_ACP, text);
  }
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == WideString::npos) end = text.size();
    WideString line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (end == text.size() && line.empty()) break;
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

int TKaroLanguageFile::Find(const WideString& section, const WideString& key, int* sectionLine, int* end) const {
  Load();
  bool inside = false;
  int found = -1;
  if (sectionLine) *sectionLine = -1;
  if (end) *end = -1;
  for (size_t i = 0; i < lines_.size(); i++) {
    std::wstring_view name;
    if (SectionName(lines_[i], name)) {
      if (inside) break;
      inside = SameText(name, std::wstring_view(section));
      if (inside && sectionLine) *sectionLine = int(i);
      continue;
    }
    if (!inside) continue;
    if (end && !TrimBlanks(lines_[i]).empty()) *end = int(i) + 1;
    if (found < 0 && KeyName(lines_[i], name) && SameText(name, std::wstring_view(key))) found = int(i);
  }
  if (end && sectionLine && *sectionLine >= 0 && *end < 0) *end = *sectionLine + 1;
  return found;
}

WideString TKaroLanguageFile::ReadString(const WideString& section, const WideString& key, const WideString& def) const {
  const int line = Find(section, key, nullptr, nullptr);
  WideString value = line < 0 ? def : Value(lines_[size_t(line)]);
  if (value.size() > kLanguageValueLimit) {
    value.resize(kLanguageValueLimit);
    // Not half a character.
    if (value.back() >= 0xD800 && value.back() <= 0xDBFF) value.pop_back();
  }
  return value;
}

void TKaroLanguageFile::WriteString(const WideString& section, const WideString& key, const WideString& value) const {
  const EIniFileException refused("Unable to write to " + WideToAnsi(path_));
  int sectionLine = -1, end = -1;
  const int line = Find(section, key, &sectionLine, &end);
  if (!exact_) throw refused;
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    throw refused;
  // A value with blanks at either end is quoted, as the read takes the quotes off again.
  WideString stored = value;
  if (!value.empty() && (iswspace(value.front()) || iswspace(value.back()))) stored = L"\"" + value + L"\"";
  std::vector<WideString> lines = lines_;
  const WideString entry = key + L"=" + stored;
  if (line >= 0) {
    lines[size_t(line)] = entry;
  } else if (sectionLine >= 0) {
    lines.insert(lines.begin() + end, entry);
  } else {
    if (!lines.empty() && !TrimBlanks(lines.back()).empty()) lines.push_back(L"");
    lines.push_back(L"[" + section + L"]");
    lines.push_back(entry);
  }
  WideString text;
  for (const WideString& l : lines) text += l + L"\r\n";
  std::string bytes;
  switch (encoding_) {
    case enUtf16LE: bytes = "\xFF\xFE" + Utf16Bytes(text, false); break;
    case enUtf16BE: bytes = "\xFE\xFF" + Utf16Bytes(text, true); break;
    case enUtf8Mark: bytes = "\xEF\xBB\xBF" + WideToUtf8(text); break;
    case enUtf8: bytes = WideToUtf8(text); break;
    case enAnsi: {
      bool lost = false;
      bytes = WideToAnsi(text, CP_ACP, &lost);
      // What the code page cannot hold goes as UTF-8 behind its mark rather than as "?".
      if (lost) bytes = "\xEF\xBB\xBF" + WideToUtf8(text);
      break;
    }
  }
  const WideString temp = path_ + L".new";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw refused;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  ok = ok && MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    DeleteFileW(temp.c_str());
    throw refused;
  }
  lines_ = std::move(lines);
  exists_ = true;
}
