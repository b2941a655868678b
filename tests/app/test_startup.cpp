// Karo's program block in order: the form file read with the skin already loaded, OnCreate, the
// data module, OnShow; then the message loop until the main form closes. And Karo.exe itself as a
// user starts it: a second copy told and ended with exit code 0 before it reads anything, and a
// start from another folder than the program's that still finds every file beside the program.
#include "tests/app/karo_fixture.h"

#include "app/karo_program.h"

using namespace karo_test;

TEST_F(KaroForm, TheShownPageWritesTheStatusBarAtStart) {
  Start(false);
  form->StatusBar()->Panels()->Items(0)->SetText(L"left from before");
  ShowForm();
  // Page A, its tone list still showing the prompt: both panels empty.
  EXPECT_EQ(C<TPageControl>("PageControl")->ActivePageIndex(), 0);
  EXPECT_EQ(Status(0), L"");
  EXPECT_EQ(Status(1), L"");
}

namespace {

// A folder of the test's own in the Temp folder, removed with what is in it when the test ends
// (also when it fails): declared before the process that runs in it, it goes after the process.
class TTempFolder {
public:
  explicit TTempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = WideString(temp) + L"karo-run-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TTempFolder() { RemoveFolder(path_); }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  operator const WideString&() const { return path_; }
  WideString operator+(const wchar_t* tail) const { return path_ + tail; }

private:
  WideString path_;
};

// Karo.exe of the built program folder, copied into a folder of its own and started with another
// current directory.
class KaroProcess {
public:
  KaroProcess(const WideString& programFolder, const WideString& currentFolder) {
    const WideString exe = programFolder + L"Karo.exe";
    EXPECT_TRUE(CopyFileW((BuiltProgramFolder() + L"Karo.exe").c_str(), exe.c_str(), FALSE));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    WideString command = L"\"" + exe + L"\"";
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, currentFolder.c_str(), &si,
                              &pi_);
    EXPECT_TRUE(started_) << SysErrorMessage(int(GetLastError()));
  }
  ~KaroProcess() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 10000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }

  // The first visible top-level window of the process whose caption is the text, waited for.
  HWND WaitForWindow(const WideString& caption) {
    TWindowSearch s{pi_.dwProcessId, &caption, nullptr};
    for (int i = 0; i < 300 && !s.found && started_; i++) {
      EnumWindows(FindWindowOf, LPARAM(&s));
      if (!s.found && WaitForSingleObject(pi_.hProcess, 100) == WAIT_OBJECT_0) break;
    }
    return s.found;
  }
  // The exit code once the process has ended, or -1 when it does not end in time.
  long ExitCode() {
    if (!started_ || WaitForSingleObject(pi_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return long(code);
  }

  static WideString WindowText(HWND w) {
    wchar_t text[256] = {};
    GetWindowTextW(w, text, int(std::size(text)));
    return text;
  }

private:
  struct TWindowSearch {
    DWORD pid;
    const WideString* caption;
    HWND found;
  };
  static BOOL CALLBACK FindWindowOf(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TWindowSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w) || WindowText(w) != *s->caption) return TRUE;
    s->found = w;
    return FALSE;
  }

  PROCESS_INFORMATION pi_ = {};
  bool started_ = false;
};

BOOL CALLBACK AddChildText(HWND c, LPARAM p) {
  reinterpret_cast<std::vector<WideString>*>(p)->push_back(KaroProcess::WindowText(c));
  return TRUE;
}

// The texts of a window's children (a message box's text is one of them).
std::vector<WideString> ChildTexts(HWND w) {
  std::vector<WideString> texts;
  EnumChildWindows(w, AddChildText, LPARAM(&texts));
  return texts;
}

}  // namespace

// The program folder holds Karo.exe and nothing else: a copy that went past the guard would find
// no database and end with an error, and would write its pads into a new Data folder.
TEST_F(KaroForm, SecondKaroExeShowsItsBoxAndEndsWithZeroReadingNothing) {
  const TTempFolder program(L"second"), elsewhere(L"second-cwd");
  HANDLE first = CreateMutexA(nullptr, FALSE, "Karo");
  ASSERT_NE(first, nullptr);
  {
    KaroProcess karo(program, elsewhere);
    HWND box = karo.WaitForWindow(L"Oh!");
    ASSERT_NE(box, nullptr) << "no box captioned \"Oh!\"";
    const auto texts = ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"You Are Already Run The Karo !"), texts.end());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(karo.ExitCode(), 0);
  }
  CloseHandle(first);
  EXPECT_FALSE(Exists(program + L"Data"));
  EXPECT_FALSE(Exists(elsewhere + L"Data"));
}

TEST_F(KaroForm, KaroExeStartedFromAnotherFolderUsesTheFilesBesideIt) {
  const TTempFolder program(L"first"), elsewhere(L"first-cwd");
  CreateDirectoryW((program + L"Data").c_str(), nullptr);
  for (const WideString& f : {FixtureDataFolder() + L"Karo.cc", FixtureDataFolder() + L"Secured.mdw",
                              BuiltProgramFolder() + L"Data\\Language.ini"})
    ASSERT_TRUE(CopyFileW(f.c_str(), (program + L"Data\\" + ExtractFileName(f)).c_str(), FALSE)) << WideToAnsi(f);
  const WideString pad = program + L"Data\\\u2460.txt";
  WriteBytes(pad, "\xB2\xDD\xB8\xE5");  // 草稿 in GBK
  KaroProcess karo(program, elsewhere);
  // The caption comes from the language file beside the program; the window is shown only once
  // the data module has opened the database there.
  HWND main = karo.WaitForWindow(L"Karo \u8bd7\u8bcd\u97f5\u5178");
  ASSERT_NE(main, nullptr) << "Karo's main window did not come";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(karo.ExitCode(), 0);
  // The close wrote the six pads beside the program, the first one as it was read.
  EXPECT_EQ(ReadBytes(pad), "\xB2\xDD\xB8\xE5");
  for (int i = 0; i < kScratchPadCount; i++)
    EXPECT_TRUE(Exists(program + L"Data\\" + WideString(1, wchar_t(0x2460 + i)) + L".txt")) << i + 1;
  EXPECT_FALSE(Exists(elsewhere + L"Data"));
}

// A database that cannot be opened ends Karo.exe with a box that names it and a non-zero code,
// never in silence.
TEST_F(KaroForm, KaroExeOverAnEmptyDatabaseSaysSoAndEndsWithTwo) {
  const TTempFolder program(L"empty-db");
  CreateDirectoryW((program + L"Data").c_str(), nullptr);
  for (const WideString& f : {FixtureDataFolder() + L"Secured.mdw", BuiltProgramFolder() + L"Data\\Language.ini"})
    ASSERT_TRUE(CopyFileW(f.c_str(), (program + L"Data\\" + ExtractFileName(f)).c_str(), FALSE)) << WideToAnsi(f);
  WriteBytes(program + L"Data\\Karo.cc", "");
  KaroProcess karo(program, program);
  HWND box = karo.WaitForWindow(L"Karo");
  ASSERT_NE(box, nullptr) << "no box captioned \"Karo\"";
  const auto texts = ChildTexts(box);
  const bool named = std::any_of(texts.begin(), texts.end(), [&](const WideString& t) {
    return t.find(L"The database file \"" + (program + L"Data\\Karo.cc") + L"\" is empty.") != WideString::npos;
  });
  EXPECT_TRUE(named);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(karo.ExitCode(), 2);
  EXPECT_EQ(ReadBytes(program + L"Data\\Karo.cc"), "");
}

TEST_F(KaroForm, StartsInTheProgramsOrder) {
  std::vector<std::string> steps;
  KaroStartupProbe = [&](const std::string& step) {
    steps.push_back(step);
    if (step == "data module") {
      EXPECT_TRUE(K && Karo_DataModule && Karo_DataModule->ADOConnection()->Connected());
    }
    // Shown: the queries are open; the window closes once the loop runs.
    if (step == "FormShow") PostMessageW(K->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(KaroProgram(), 0);
  KaroStartupProbe = nullptr;
  const std::vector<std::string> expected = {"form read", "FormCreate", "data module", "FormShow"};
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(Application->Title(), L"");
  EXPECT_TRUE(Application->MainFormOnTaskBar());
  EXPECT_TRUE(boxes.empty());
  // The close saved the pads.
  EXPECT_EQ(LoadScratchPad(ScratchPadPath(1)), L"");
  EXPECT_NE(GetFileAttributesW(ScratchPadPath(6).c_str()), INVALID_FILE_ATTRIBUTES);
  // The application owns the program's form and data module; freed here, they let go of the
  // database for the next test. (Last of this file: the application's loop has ended.)
  K->Free();
  K = nullptr;
  Karo_DataModule->Free();
  Karo_DataModule = nullptr;
}
