// Karo's main form in a test: a private program folder (the built one's language file and, fresh
// for each test, the small database the builder makes for tests), the modal and halt seams
// answered and recorded, the form and the data module made in the program's order, and the
// choices a user makes in the lists.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/karo_data_module.h"
#include "app/karo_language.h"
#include "app/karo_main_form.h"
#include "app/scratch_pads.h"
#include "skin/windows/manager/skin_manager.h"
#include "tests/app/karo_choices.h"

namespace karo_test {

inline WideString OwnFolder() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  return ExtractFilePath(WideString(path, n));
}

inline WideString FullFolder(const WideString& relative) {
  wchar_t full[MAX_PATH * 4];
  DWORD n = GetFullPathNameW((OwnFolder() + relative).c_str(), DWORD(std::size(full)), full, nullptr);
  return WideString(full, n) + L"\\";
}

// build/<config>/karo/ and build/<config>/karo-fixture/, found from where the test program lies.
inline WideString BuiltProgramFolder() { return FullFolder(KARO_PROGRAM_FOLDER_FROM_TEST); }
inline WideString FixtureDataFolder() { return FullFolder(KARO_FIXTURE_FOLDER_FROM_TEST); }

inline std::string ReadBytes(const WideString& path) {
  std::string bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(f, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(f);
  return bytes;
}

inline void WriteBytes(const WideString& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << WideToAnsi(path);
  DWORD put = 0;
  WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr);
  CloseHandle(f);
}

// Removes a folder with everything in it (what a test made in the Temp folder).
inline void RemoveFolder(const WideString& folder) {
  WideString base = folder;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((base + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const WideString name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const WideString path = base + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(base.c_str());
}

inline bool Exists(const WideString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline int IndexOf(TCustomComboBox* combo, const WideString& item) {
  for (int i = 0; i < combo->Items()->Count(); i++)
    if (combo->Items()->Strings(i) == item) return i;
  return -1;
}

class KaroForm : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = WideString(temp) + L"karo-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"Data").c_str(), nullptr);
    SetKaroProgramFolder(folder);
  }
  // The folder goes with everything the tests left in it, failed or not.
  static void TearDownTestSuite() {
    SetKaroProgramFolder(L"");
    RemoveFolder(folder);
  }

  void SetUp() override {
    for (const wchar_t* f : {L"Karo.cc", L"Secured.mdw"})
      ASSERT_TRUE(CopyFileW((FixtureDataFolder() + f).c_str(), (folder + L"Data\\" + f).c_str(), FALSE))
          << "no test database in " << WideToAnsi(FixtureDataFolder()) << ": build karo_fixture_data";
    for (int pad = 1; pad <= kScratchPadCount; pad++) DeleteFileW(ScratchPadPath(pad).c_str());
    RestoreLanguageFile();
    oldModal = SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
      boxes.push_back(r);
      return IDOK;
    });
    oldHalt = SetHaltHandler([this](int code) { halts.push_back(code); });
    oldShell = KaroShellOpen;
    KaroShellOpen = [this](HWND window, const WideString& target, int show) {
      shells.push_back({window, target, show});
    };
  }
  void TearDown() override {
    FreeForm();
    SetModalHandler(oldModal);
    SetHaltHandler(oldHalt);
    KaroShellOpen = oldShell;
  }

  static WideString LanguagePath() { return folder + L"Data\\Language.ini"; }
  static void RestoreLanguageFile() {
    CopyFileW((BuiltProgramFolder() + L"Data\\Language.ini").c_str(), LanguagePath().c_str(), FALSE);
  }

  // Creation (the form file, then OnCreate), the data module, then the form shown (OnShow).
  TK* Start(bool show = true) {
    form = NewForm<TK>(nullptr);
    if (!dm) dm = NewForm<TKaro_DataModule>(nullptr);
    Karo_DataModule = dm;
    if (show) ShowForm();
    return form;
  }
  void ShowForm() {
    form->Show();
    SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    Pump();
  }
  void FreeForm() {
    if (form) form->Free();
    form = nullptr;
    if (dm) dm->Free();
    dm = nullptr;
    Karo_DataModule = nullptr;
    if (KaroMutex) CloseHandle(KaroMutex);
    KaroMutex = nullptr;
  }
  static void Pump() {
    for (int i = 0; i < 5; i++) Application->ProcessMessages();
  }

  // The first column of a query of its own over the form's connection, with the value as :V.
  std::vector<WideString> Rows(const wchar_t* sql, const WideString& value) {
    TADOQuery q(nullptr);
    q.SetConnection(dm->ADOConnection());
    q.SQL()->Add(sql);
    q.ParamByName(L"V")->SetValue(Variant(value));
    q.Open();
    std::vector<WideString> out;
    for (q.First(); !q.Eof(); q.Next()) out.push_back(q.Fields(0)->AsString());
    return out;
  }

  template <class T> T* C(const std::string& name) { return form->C<T>(name); }
  WideString Status(int panel) { return form->StatusBar()->Panels()->Items(panel)->Text(); }
  // The boxes other than the ones the test expects: error boxes and the like.
  std::vector<WideString> BoxTexts() const {
    std::vector<WideString> t;
    for (const auto& b : boxes) t.push_back(b.Text);
    return t;
  }

  static inline WideString folder;
  TK* form = nullptr;
  TKaro_DataModule* dm = nullptr;
  std::vector<TModalRequest> boxes;
  std::vector<int> halts;
  struct TShellOpen {
    HWND Window;
    WideString Target;
    int Show;
  };
  std::vector<TShellOpen> shells;
  TModalHandler oldModal;
  THaltHandler oldHalt;
  decltype(KaroShellOpen) oldShell;
};

}  // namespace karo_test
