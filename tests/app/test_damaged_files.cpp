// Karo over damaged or odd files: what the user is told (the boxes, through the modal seam, as wide
// text) and what becomes of each file's bytes. The database: empty, cut at half, not a database, a
// page overwritten. The language file: cut short, an over-long value, UTF-8 without a mark, UTF-16
// of odd length. The scratch pads: a NUL inside, broken UTF-8, odd UTF-16, over the size limit, a
// read-only pad, a save cut short; the close and the region's restart that stay over a pad that
// could not be saved.
#include "tests/app/karo_fixture.h"

#include "app/karo_program.h"

using namespace karo_test;

namespace {

bool Has(const WideString& text, const WideString& part) { return text.find(part) != WideString::npos; }

// The texts of the boxes, one per line, for a failure message.
std::string Shown(const std::vector<TModalRequest>& boxes) {
  std::string out;
  for (const auto& b : boxes) out += "[" + WideToUtf8(b.Text) + "]\n";
  return out;
}

// The shipped language file as text (it is UTF-16 behind its mark).
WideString ShippedLanguageText() {
  const std::string bytes = ReadBytes(BuiltProgramFolder() + L"Data\\Language.ini");
  WideString text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += wchar_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
  return text;
}

std::string Utf16Bytes(const WideString& text) {
  std::string out = "\xFF\xFE";
  for (wchar_t c : text) {
    out += char(c & 0xFF);
    out += char(c >> 8);
  }
  return out;
}

const wchar_t* const kCnTitle = L"Karo \u8bd7\u8bcd\u97f5\u5178";

}  // namespace

// ---- The database

class KaroDamagedDatabase : public KaroForm {
protected:
  // Karo's program block over the database as it is now; its exit code.
  int RunProgram() {
    const int code = KaroProgram();
    if (Karo_DataModule) Karo_DataModule->Free();
    Karo_DataModule = nullptr;
    if (K) K->Free();
    K = nullptr;
    return code;
  }
  static WideString Database() { return folder + L"Data\\Karo.cc"; }
};

TEST_F(KaroDamagedDatabase, ADatabaseThatCannotServeIsNamedWithWhatToDoAndTheProgramEnds) {
  const std::string whole = ReadBytes(Database());
  ASSERT_GT(whole.size(), 8192u);
  std::string notOne;
  while (notOne.size() < 8192) notOne += "These are no pages of a database.\r\n";
  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* says;
  } cases[] = {
      {"empty", "", L"is empty."},
      {"cut at half", whole.substr(0, whole.size() / 2), L"database disk image is malformed."},
      {"not a database", notOne, L"file is not a database."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.clear();
    WriteBytes(Database(), c.bytes);
    bool shown = false;
    KaroStartupProbe = [&](const std::string& step) { shown = shown || step == "FormShow"; };
    EXPECT_EQ(RunProgram(), 2);
    KaroStartupProbe = nullptr;
    EXPECT_FALSE(shown) << "the main window went on without its database";
    ASSERT_EQ(boxes.size(), 1u) << Shown(boxes);
    const WideString& text = boxes[0].Text;
    EXPECT_TRUE(Has(text, Database())) << Shown(boxes);
    EXPECT_TRUE(Has(text, c.says)) << Shown(boxes);
    EXPECT_TRUE(Has(text, L"Rebuild the database there, or install Karo's program folder again")) << Shown(boxes);
    EXPECT_TRUE(Has(text, folder)) << Shown(boxes);
    EXPECT_EQ(boxes[0].Flags, UINT(MB_OK | MB_ICONSTOP));
    // Told, not mended: the file is as it was.
    EXPECT_EQ(ReadBytes(Database()), c.bytes);
    if (KaroMutex) CloseHandle(KaroMutex);
    KaroMutex = nullptr;
  }
  // Missing: named too.
  boxes.clear();
  DeleteFileW(Database().c_str());
  EXPECT_EQ(RunProgram(), 2);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Has(boxes[0].Text, L"The database file \"" + Database() + L"\" cannot be found.")) << Shown(boxes);
}

TEST_F(KaroDamagedDatabase, APageOverwrittenShowsTheEnginesErrorOnceTheWindowIsUp) {
  std::string bytes = ReadBytes(Database());
  // The test database's third page is the table PingSheYin, which page A lists at start.
  const size_t page = 4096;
  ASSERT_GT(bytes.size(), 3 * page);
  for (size_t i = 2 * page; i < 3 * page; i++) bytes[i] = char(0x5A);
  WriteBytes(Database(), bytes);
  Start();
  ASSERT_FALSE(boxes.empty());
  EXPECT_TRUE(Has(boxes[0].Text, L"database disk image is malformed")) << Shown(boxes);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

// Whatever escapes the program block's steps ends in a box and an exit code, never in the
// run-time's end of the process.
TEST_F(KaroDamagedDatabase, AWindowThatCannotBeMadeIsToldInABox) {
  KaroStartupProbe = [](const std::string& step) {
    if (step == "data module") throw EOSError("Not enough memory resources are available to process this command");
  };
  EXPECT_EQ(RunProgram(), 1);
  KaroStartupProbe = nullptr;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text,
            L"Karo cannot make its window: Not enough memory resources are available to process this command.");
  EXPECT_EQ(boxes[0].Flags, UINT(MB_OK | MB_ICONSTOP));
}

// ---- The language file

TEST_F(KaroForm, DamagedOrOddLanguageFilesGiveWhatTheyHold) {
  const WideString text = ShippedLanguageText();
  const size_t tabs = text.find(L"TabSheet1=");
  ASSERT_NE(tabs, WideString::npos);
  const WideString tabSheet1 = text.substr(tabs + 10, text.find(L'\r', tabs) - tabs - 10);
  const std::string huge = Utf16Bytes(L"[Language]\r\nRegion=CN\r\n[CN]\r\nTile=" + WideString(10u << 20, L'\u957f') +
                                      L"\r\nTabSheet1=one\r\n");
  const struct {
    const char* name;
    std::string bytes;
    WideString title;      // the form's caption
    WideString tabSheet1;  // a key after the cut
  } cases[] = {
      {"cut short", Utf16Bytes(text.substr(0, tabs)), kCnTitle, L"TabSheet1"},
      {"over-long value", huge, WideString(kLanguageValueLimit, L'\u957f'), L"one"},
      {"UTF-8 without a mark", WideToUtf8(text), kCnTitle, tabSheet1},
      {"UTF-16 of odd length", Utf16Bytes(text) + "\x41", kCnTitle, tabSheet1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.clear();
    WriteBytes(LanguagePath(), c.bytes);
    Start();
    EXPECT_EQ(form->Caption(), c.title);
    // The window carries the caption (cut to its limit).
    EXPECT_EQ(GetWindowTextLengthW(form->Handle()), int(c.title.size()));
    EXPECT_EQ(C<TTabSheet>("TabSheet1")->Caption(), c.tabSheet1);
    EXPECT_TRUE(boxes.empty()) << Shown(boxes);
    FreeForm();
    EXPECT_EQ(ReadBytes(LanguagePath()), c.bytes);
  }
}

TEST_F(KaroForm, AChoiceWrittenToTheLanguageFileKeepsItsEncodingAndEveryOtherLine) {
  const WideString text = ShippedLanguageText();
  const std::string utf8 = WideToUtf8(text);
  WriteBytes(LanguagePath(), utf8);
  Start();
  Choose(C<TComboBox>("B_ComboBox4"), IndexOf(C<TComboBox>("B_ComboBox4"), L"Gray"));
  EXPECT_TRUE(boxes.empty()) << Shown(boxes);
  // Still UTF-8 without a mark, the one line changed.
  std::string expected = utf8;
  const size_t at = expected.find("Skin=Yellow");
  ASSERT_NE(at, std::string::npos);
  expected.replace(at, 11, "Skin=Gray");
  EXPECT_EQ(ReadBytes(LanguagePath()), expected);
  FreeForm();
  Start();
  EXPECT_EQ(form->Caption(), kCnTitle);
  EXPECT_EQ(KaroValues.SkinName, L"Gray");
  FreeForm();

  // A file that could not be read whole is not written over: the choice is refused in the error
  // box and the bytes stay.
  const std::string odd = Utf16Bytes(text) + "\x41";
  WriteBytes(LanguagePath(), odd);
  Start();
  boxes.clear();
  Choose(C<TComboBox>("B_ComboBox5"), IndexOf(C<TComboBox>("B_ComboBox5"), L"TW"));
  EXPECT_TRUE(halts.empty());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Has(boxes[0].Text, L"Unable to write to")) << Shown(boxes);
  EXPECT_EQ(ReadBytes(LanguagePath()), odd);
}

// ---- The scratch pads

TEST_F(KaroForm, PadFilesNotReadExactlyAreNeverWrittenUnchangedAndKeptBeforeTheFirstSave) {
  std::string nul(4096, 'x');
  nul[4] = '\0';
  const std::string broken = "\xEF\xBB\xBF" "ab\xE6\x98" "cd\xC3";
  const std::string odd = std::string("\xFF\xFE\x25\x67\x41\x00\x42", 7);
  std::string big(size_t(kScratchPadSizeLimit) + 1, 'y');
  const struct {
    int pad;
    const std::string* bytes;
    const wchar_t* told;  // in the box at start-up
    bool kept;            // left out of its memo
  } cases[] = {
      {1, &nul, L"Scratch pad \u2460: its file holds bytes that Karo cannot show exactly", false},
      {2, &broken, L"Scratch pad \u2461: its file holds bytes that Karo cannot show exactly", false},
      {3, &odd, L"Scratch pad \u2462: its file holds bytes that Karo cannot show exactly", false},
      {4, &big, L"Scratch pad \u2463: its file is larger than 1 MB (1,048,577 bytes)", true},
  };
  for (const auto& c : cases) WriteBytes(ScratchPadPath(c.pad), *c.bytes);

  // Opened and closed: every file as it was, no original made, told once.
  Start();
  ASSERT_EQ(boxes.size(), 1u) << Shown(boxes);
  EXPECT_EQ(boxes[0].Flags, UINT(MB_OK | MB_ICONINFORMATION));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pad);
    EXPECT_TRUE(Has(boxes[0].Text, c.told)) << Shown(boxes);
    EXPECT_EQ(form->Memo(c.pad)->ReadOnly(), c.kept);
    if (c.kept) {
      EXPECT_EQ(form->Memo(c.pad)->Text(), L"");
    }
  }
  EXPECT_TRUE(Has(boxes[0].Text, L"the original is kept as \u2460.txt.orig.")) << Shown(boxes);
  EXPECT_EQ(form->Memo(1)->Text(), L"xxxx");
  EXPECT_EQ(form->Memo(3)->Text(), L"\u6725A");
  form->Close();
  Pump();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  for (const auto& c : cases) {
    EXPECT_EQ(ReadBytes(ScratchPadPath(c.pad)), *c.bytes) << c.pad;
    EXPECT_FALSE(Exists(ScratchPadPath(c.pad) + L".orig")) << c.pad;
  }
  EXPECT_EQ(boxes.size(), 1u) << Shown(boxes);
  FreeForm();

  // Changed: the original is kept beside the pad before the pad is written, once.
  boxes.clear();
  Start();
  for (int pad = 1; pad <= 3; pad++) form->Memo(pad)->SetText(L"new " + std::to_wstring(pad));
  C<TSpeedButton>("A_SpeedButton2")->Click();
  form->Memo(1)->SetText(L"newer");
  C<TSpeedButton>("A_SpeedButton2")->Click();
  EXPECT_EQ(boxes.size(), 1u) << Shown(boxes);
  for (const auto& c : cases) {
    if (c.kept) continue;
    SCOPED_TRACE(c.pad);
    EXPECT_EQ(ReadBytes(ScratchPadPath(c.pad) + L".orig"), *c.bytes);
    EXPECT_FALSE(Exists(ScratchPadPath(c.pad) + L".orig2"));
  }
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "newer");
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "new 2");
  EXPECT_EQ(ReadBytes(ScratchPadPath(4)), big);
  FreeForm();

  // An original kept before is never written over: the next one takes the next name.
  boxes.clear();
  WriteBytes(ScratchPadPath(2), broken);
  Start();
  EXPECT_TRUE(Has(boxes.at(0).Text, L"the original is kept as \u2461.txt.orig2.")) << Shown(boxes);
  form->Memo(2)->SetText(L"again");
  form->Close();
  Pump();
  EXPECT_EQ(ReadBytes(ScratchPadPath(2) + L".orig"), broken);
  EXPECT_EQ(ReadBytes(ScratchPadPath(2) + L".orig2"), broken);
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "again");
}

TEST_F(KaroForm, APadNotChangedIsNotWrittenAndAMissingOneIsMade) {
  const std::string utf16 = std::string("\xFF\xFE\x25\x67\x41\x00", 6);
  WriteBytes(ScratchPadPath(1), utf16);
  Start();
  form->Memo(2)->SetText(L"two");
  form->Close();
  Pump();
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), utf16);
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "two");
  for (int pad = 3; pad <= kScratchPadCount; pad++) EXPECT_EQ(ReadBytes(ScratchPadPath(pad)), "") << pad;
  EXPECT_TRUE(boxes.empty()) << Shown(boxes);
}

TEST_F(KaroForm, ASaveCutShortLeavesNoTemporaryFileForTheNextStart) {
  // Pad 1 is whole beside its leftover; pad 2 has only its leftover.
  WriteBytes(ScratchPadPath(1), "whole");
  WriteBytes(ScratchPadPath(1) + L".new", "half");
  WriteBytes(ScratchPadPath(2) + L".new", "only");
  Start();
  EXPECT_EQ(form->Memo(1)->Text(), L"whole");
  EXPECT_EQ(form->Memo(2)->Text(), L"only");
  EXPECT_FALSE(Exists(ScratchPadPath(1) + L".new"));
  EXPECT_FALSE(Exists(ScratchPadPath(2) + L".new"));
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "whole");
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "only");
  EXPECT_TRUE(boxes.empty()) << Shown(boxes);
}

class KaroPadThatCannotBeSaved : public KaroForm {
protected:
  void SetUp() override {
    KaroForm::SetUp();
    WriteBytes(ScratchPadPath(1), "read-only");
    SetFileAttributesW(ScratchPadPath(1).c_str(), FILE_ATTRIBUTE_READONLY);
    SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
      boxes.push_back(r);
      return r.Flags & MB_YESNO ? answer : IDOK;
    });
  }
  void TearDown() override {
    KaroForm::TearDown();
    SetFileAttributesW(ScratchPadPath(1).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  // The box that asks, with the pad by its own name and why.
  void ExpectAsked(const WideString& ending) {
    ASSERT_EQ(boxes.size(), 1u) << Shown(boxes);
    EXPECT_EQ(boxes[0].Flags, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_TRUE(Has(boxes[0].Text, L"Scratch pad \u2460: its file is marked read-only.")) << Shown(boxes);
    EXPECT_FALSE(Has(boxes[0].Text, L"\u2461")) << Shown(boxes);
    EXPECT_TRUE(Has(boxes[0].Text, ending)) << Shown(boxes);
  }
  int answer = IDNO;
};

TEST_F(KaroPadThatCannotBeSaved, TheCloseAsksAndStaysWithEveryPad) {
  Start();
  form->Memo(1)->SetText(L"typed \u8349");
  form->Memo(2)->SetText(L"two");
  form->Close();
  Pump();
  ExpectAsked(L"Close Karo anyway and lose what they hold?");
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->Memo(1)->Text(), L"typed \u8349");
  EXPECT_EQ(form->Memo(2)->Text(), L"two");
  // Not written, still read-only; the pad that could be saved is.
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "read-only");
  EXPECT_TRUE(GetFileAttributesW(ScratchPadPath(1).c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReadBytes(ScratchPadPath(2)), "two");

  // Close anyway: it closes.
  boxes.clear();
  answer = IDYES;
  form->Close();
  Pump();
  ExpectAsked(L"Close Karo anyway and lose what they hold?");
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "read-only");
}

TEST_F(KaroPadThatCannotBeSaved, AReadOnlyPadNotChangedIsNoReasonToAsk) {
  Start();
  form->Close();
  Pump();
  EXPECT_TRUE(boxes.empty()) << Shown(boxes);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(KaroPadThatCannotBeSaved, TheRegionsRestartDoesNotHaltOverIt) {
  Start();
  form->Memo(1)->SetText(L"typed");
  TComboBox* regions = C<TComboBox>("B_ComboBox5");
  Choose(regions, IndexOf(regions, L"TW"));
  ExpectAsked(L"Karo must end for the new region to take effect.");
  EXPECT_TRUE(halts.empty());
  EXPECT_EQ(form->Memo(1)->Text(), L"typed");
  // Stored all the same: the next start takes it.
  EXPECT_EQ(TKaroLanguageFile(LanguagePath()).ReadString(L"Language", L"Region", L""), L"TW");

  // End anyway: the message and the halt.
  boxes.clear();
  answer = IDYES;
  Choose(regions, IndexOf(regions, L"CN"));
  ASSERT_EQ(boxes.size(), 2u) << Shown(boxes);
  EXPECT_EQ(boxes[1].Text, L"Please Once Again Run The Karo !");
  EXPECT_EQ(halts, std::vector<int>{0});
  EXPECT_EQ(ReadBytes(ScratchPadPath(1)), "read-only");
}

// A pad file that another program holds open cannot be replaced: told like any other.
TEST_F(KaroForm, APadLockedByAnotherProgramIsReportedByItsName) {
  WriteBytes(ScratchPadPath(5), "locked");
  Start();
  HANDLE lock = CreateFileW(ScratchPadPath(5).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  form->Memo(5)->SetText(L"five");
  C<TSpeedButton>("A_SpeedButton2")->Click();
  CloseHandle(lock);
  ASSERT_EQ(boxes.size(), 1u) << Shown(boxes);
  EXPECT_TRUE(Has(boxes[0].Text, L"Scratch pad \u2464: ")) << Shown(boxes);
  EXPECT_TRUE(Has(boxes[0].Text, L"Their text is still in Karo.")) << Shown(boxes);
  EXPECT_EQ(ReadBytes(ScratchPadPath(5)), "locked");
  EXPECT_FALSE(Exists(ScratchPadPath(5) + L".new"));
  EXPECT_EQ(form->Memo(5)->Text(), L"five");
}
