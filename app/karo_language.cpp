// Karo's language file through the wide profile calls.
#include "app/karo_language.h"

#include <windows.h>

#include <vector>

#include "app/karo_data_module.h"

WideString KaroLanguageFilePath() { return KaroProgramFolder() + L"Data\\Language.ini"; }

WideString TKaroLanguageFile::ReadString(const WideString& section, const WideString& key, const WideString& def) const {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buffer.data(), DWORD(buffer.size()),
                                       path_.c_str());
    // A value cut short comes back one below the buffer's size: read again with more room.
    if (n + 1 < buffer.size()) return WideString(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

void TKaroLanguageFile::WriteString(const WideString& section, const WideString& key, const WideString& value) const {
  // A value with blanks at either end is quoted, as the read takes the quotes off again.
  WideString stored = value;
  if (!value.empty() && (iswspace(value.front()) || iswspace(value.back()))) stored = L"\"" + value + L"\"";
  if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), stored.c_str(), path_.c_str()))
    throw EIniFileException("Unable to write to " + WideToAnsi(path_));
}
