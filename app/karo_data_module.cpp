// Karo's data module and the program folder its database is found in.
#include "app/karo_data_module.h"

#include <windows.h>

#include <cwctype>

namespace {

WideString& FolderOverride() {
  static WideString folder;
  return folder;
}

WideString WithTrailingBackslash(WideString s) {
  if (!s.empty() && s.back() != L'\\' && s.back() != L'/') s += L'\\';
  return s;
}

// "C:\x", "\\server\x" and "\x" name a place of their own; anything else is relative.
bool IsRootedPath(const WideString& path) {
  if (path.size() >= 2 && path[1] == L':') return true;
  return !path.empty() && (path[0] == L'\\' || path[0] == L'/');
}

// A value as ParseConnectionString reads it back: bare when nothing in it could be misread,
// otherwise in double quotes with each quote doubled; an empty value is written `""`.
WideString QuoteSetting(const WideString& value) {
  bool plain = !value.empty() && value.find_first_of(L";\"'") == WideString::npos && !iswspace(value.front()) &&
               !iswspace(value.back());
  if (plain) return value;
  WideString out = L"\"";
  for (wchar_t c : value) {
    if (c == L'"') out += L'"';
    out += c;
  }
  return out + L"\"";
}

}  // namespace

TKaro_DataModule* Karo_DataModule = nullptr;

WideString KaroProgramFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n == 0) throw Exception("The program's own file name cannot be read: " + SysErrorMessage(int(GetLastError())));
    if (n < buffer.size()) return ExtractFilePath(WideString(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

void SetKaroProgramFolder(const WideString& folder) { FolderOverride() = WithTrailingBackslash(folder); }

WideString ReplaceConnectionSettings(const WideString& connection,
                                     const std::vector<std::pair<WideString, WideString>>& values) {
  auto settings = ParseConnectionString(connection);
  for (const auto& [key, value] : values) {
    bool found = false;
    for (auto& s : settings)
      if (SameText(s.first, key)) {
        s.second = value;
        found = true;
      }
    if (!found) settings.emplace_back(key, value);
  }
  WideString out;
  for (const auto& [key, value] : settings) {
    if (!out.empty()) out += L';';
    out += key + L'=' + QuoteSetting(value);
  }
  return out;
}

void TKaro_DataModule::ADOConnectionBeforeConnect(TObject*) {
  TADOConnection* connection = ADOConnection();
  const WideString folder = KaroProgramFolder();
  std::vector<std::pair<WideString, WideString>> values;
  for (const wchar_t* key : {L"Data Source", L"Jet OLEDB:System database"}) {
    WideString file = connection->Setting(key);
    if (!file.empty() && !IsRootedPath(file)) values.emplace_back(key, folder + file);
  }
  if (!values.empty()) connection->SetConnectionString(ReplaceConnectionSettings(connection->ConnectionString(), values));
}

namespace {

WideString Named(const WideString& file) { return L"The database file \"" + file + L"\" "; }

// Missing or empty; else nothing.
WideString FileProblem(const WideString& file) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return Named(file) + L"cannot be found.";
  if (data.nFileSizeHigh == 0 && data.nFileSizeLow == 0) return Named(file) + L"is empty.";
  return {};
}

}  // namespace

WideString KaroDatabaseOpenProblem(const Exception& error) {
  WideString message = AnsiToWide(error.Message());
  if (!message.empty() && message.back() != L'.') message += L'.';
  const WideString file = KaroProgramFolder() + L"Data\\Karo.cc";
  const WideString problem = FileProblem(file);
  if (!problem.empty()) return problem;
  // The connection's own errors put the file they speak of in quotes.
  if (message.find(L'\'') != WideString::npos) return message;
  return Named(file) + L"cannot be opened: " + message;
}

WideString KaroDatabaseMessage(const WideString& problem) {
  WideString text = L"Karo cannot open its dictionary database.\n\n" + problem;
  if (!text.empty() && text.back() != L'.') text += L'.';
  return text + L"\n\nKaro keeps it in the files Data\\Karo.cc and Data\\Secured.mdw of its program folder:\n" +
         KaroProgramFolder() +
         L"\n\nRebuild the database there, or install Karo's program folder again, then start Karo again.";
}

KARO_CLASS_PROPS(TKaro_DataModule, TDataModule,
                 Method("ADOConnectionBeforeConnect", &TKaro_DataModule::ADOConnectionBeforeConnect))
