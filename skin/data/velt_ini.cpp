#include "skin/data/velt_ini.h"

#include <algorithm>

KARO_CLASS_INFO(TQuickIni, TObject)

namespace {

bool IsHeader(const std::string& line) { return !line.empty() && line.front() == '[' && line.back() == ']'; }

// The name of a key line: the text before its first "=", trimmed and in lower case; empty
// for a line without "=".
std::string KeyName(const std::string& line) {
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : LowerCase(Trim(std::string_view(line).substr(0, eq)));
}

std::string KeyValue(const std::string& line) {
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : Trim(std::string_view(line).substr(eq + 1));
}

}  // namespace

TQuickIni::TQuickIni() = default;
TQuickIni::~TQuickIni() = default;

void TQuickIni::LoadFromStream(TStream* Stream) {
  if (!Stream) return;
  Clear();
  std::string text = ReadStreamToEnd(*Stream);
  // The string list's text rules are the INI's: CR, LF and CR LF end lines, NUL ends the text.
  TStringList raw;
  raw.SetText(text);
  lines_.BeginUpdate();
  for (int i = 0; i < raw.Count(); ++i) {
    std::string line = Trim(raw.Strings(i));
    if (line.empty() || line[0] == ';') continue;
    lines_.Add(line);
    if (IsHeader(line)) sections_.push_back({line, lines_.Count() - 1});
  }
  lines_.EndUpdate();
}

void TQuickIni::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

#ifdef _WIN32
void TQuickIni::LoadFromFile(const WideString& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}
#endif

void TQuickIni::SetIniFile(TStrings& Strings) {
  lines_.Assign(&Strings);
  RebuildSections();
}

void TQuickIni::RebuildSections() {
  sections_.clear();
  for (int i = 0; i < lines_.Count(); ++i) {
    const std::string line = lines_.Strings(i);
    if (IsHeader(line)) sections_.push_back({Trim(line), i});
  }
}

void TQuickIni::Clear() {
  lines_.Clear();
  sections_.clear();
}

void TQuickIni::SetFileName(const std::string& Name) {
  if (Name != fileName_) fileName_ = Name;
}

int TQuickIni::FindSection(const std::string& Section) const {
  std::string header = "[" + Section + "]";
  for (const Header& h : sections_)
    if (SameText(h.text, header)) return h.line;
  return -1;
}

TQuickIni::LineRange TQuickIni::KeyLines(const std::string& Section) const {
  int h = FindSection(Section);
  if (h < 0) return {0, 0};
  return {h + 1, SectionEnd(h)};
}

int TQuickIni::SectionEnd(int header) const {
  int i = header + 1;
  while (i < lines_.Count() && !IsHeader(lines_.Strings(i))) ++i;
  return i;
}

void TQuickIni::ShiftHeaders(int fromLine, int delta) {
  for (Header& h : sections_)
    if (h.line >= fromLine) h.line += delta;
}

std::string TQuickIni::ReadString(const std::string& Section, const std::string& Ident,
                                  const std::string& Default) const {
  std::string key = LowerCase(Ident);
  auto [begin, end] = KeyLines(Section);
  for (int i = begin; i < end; ++i) {
    const std::string line = lines_.Strings(i);
    if (KeyName(line) != key) continue;
    // Only the first line of the name counts, even when its value is empty.
    std::string value = KeyValue(line);
    return value.empty() ? Default : value;
  }
  return Default;
}

int32_t TQuickIni::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) const {
  std::string s = ReadString(Section, Ident, "");
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
  return StrToIntDef(s, Default);
}

bool TQuickIni::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TQuickIni::ReadSection(const std::string& Section, TStrings& Strings) const {
  Strings.BeginUpdate();
  Strings.Clear();
  auto [begin, end] = KeyLines(Section);
  for (int i = begin; i < end; ++i)
    if (std::string name = KeyName(lines_.Strings(i)); !name.empty()) Strings.Add(name);
  Strings.EndUpdate();
}

void TQuickIni::ReadSectionValues(const std::string& Section, TStrings& Strings) const {
  Strings.BeginUpdate();
  Strings.Clear();
  auto [begin, end] = KeyLines(Section);
  for (int i = begin; i < end; ++i)
    if (std::string line = lines_.Strings(i); !line.empty()) Strings.Add(line);
  Strings.EndUpdate();
}

void TQuickIni::ReadSections(TStrings& Strings) const {
  Strings.BeginUpdate();
  for (const Header& h : sections_) Strings.Add(Trim(std::string_view(h.text).substr(1, h.text.size() - 2)));
  Strings.EndUpdate();
}

void TQuickIni::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  std::string line = Ident + "=" + Value;
  std::string key = LowerCase(Ident);
  int h = FindSection(Section);
  if (h < 0) {
    std::string header = "[" + Section + "]";
    lines_.Add(header);
    sections_.push_back({header, lines_.Count() - 1});
    if (!Ident.empty()) lines_.Add(line);
    return;
  }
  int end = SectionEnd(h);
  for (int i = h + 1; i < end; ++i)
    if (KeyName(lines_.Strings(i)) == key) {
      if (!Ident.empty()) lines_.SetStrings(i, line);
      return;
    }
  if (Ident.empty()) return;
  if (end < lines_.Count()) {
    lines_.Insert(end, line);
    ShiftHeaders(end, 1);
  } else {
    lines_.Add(line);
  }
}

void TQuickIni::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TQuickIni::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TQuickIni::DeleteKey(const std::string& Section, const std::string& Ident) {
  auto [begin, end] = KeyLines(Section);
  for (int i = begin; i < end; ++i)
    if (KeyName(lines_.Strings(i)) == Ident) {
      lines_.Delete(i);
      ShiftHeaders(i + 1, -1);
      return;
    }
}

void TQuickIni::EraseSection(const std::string& Section) {
  std::string header = "[" + Section + "]";
  auto entry = std::find_if(sections_.begin(), sections_.end(), [&](const Header& h) { return SameText(h.text, header); });
  if (entry == sections_.end()) return;
  int h = entry->line;
  int end = SectionEnd(h);
  sections_.erase(entry);
  lines_.BeginUpdate();
  for (int i = end - 1; i >= h; --i) lines_.Delete(i);
  int delta = h - end;
  if (h != 0) {
    lines_.Insert(h, "");
    ++delta;
  }
  lines_.EndUpdate();
  ShiftHeaders(end, delta);
}

void TQuickIni::SaveToStream(TStream* Stream) const {
  if (!Stream) return;
  WriteStreamBytes(*Stream, lines_.Text());
}

void TQuickIni::SaveToFile(const std::string& FileName) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

#ifdef _WIN32
void TQuickIni::SaveToFile(const WideString& FileName) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}
#endif
