// The skin archive reader against good, short, oversized and hostile archives, and the box it
// shows for an archive of unknown version.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "skin/data/lzh_coder.h"
#include "skin/data/skin_reader.h"
#include "tools/skntool/skin_archive.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Replaces the message seam for one test and records what it was asked to show.
class SkinReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = SkinReadShowMessage;
    SkinReadShowMessage = [this](const std::wstring& text) { messages.push_back(text); };
  }
  void TearDown() override { SkinReadShowMessage = saved_; }

  // Loads archive bytes through the whole path: compressed image, then the archive.
  bool Load(TSkinReader& reader, const std::string& archive) {
    TMemoryStream image;
    image.Assign(CompressImage(archive));
    return reader.Loadfromstream(image);
  }

  static std::vector<std::string> NamesOf(const TSkinReader& reader) {
    std::vector<std::string> names;
    for (int i = 0; i < reader.Count(); i++) names.push_back(reader.Names(i));
    return names;
  }

  static std::string Entry(TSkinReader& reader, const std::string& name) {
    TMemoryStream s;
    s.Assign("stale");
    reader.readfile(name, s);
    EXPECT_EQ(s.Position(), 0);
    return s.AsString();
  }

  std::vector<std::wstring> messages;

private:
  TSkinMessageProc saved_;
};

void PutInt32(std::string& s, int64_t v) {
  for (int i = 0; i < 4; i++) s += char(uint8_t(uint32_t(v) >> (8 * i)));
}

// An archive laid out by hand, so that every field can lie.
std::string RawArchive(int32_t version, int64_t listLength, const std::string& list, const std::vector<int64_t>& sizes,
                       const std::string& data, const std::string& block = "") {
  std::string s;
  PutInt32(s, version);
  PutInt32(s, listLength);
  s.append(8, '\x5A');
  s += block;
  s += list;
  for (int64_t v : sizes) PutInt32(s, v);
  return s + data;
}

const std::vector<TSkinArchiveEntry> kSkin = {
    {"Skin.INI", "[Title]\r\nFrame=2\r\n"},
    {"Title.bmp", "BM-title-bits"},
    {"BORDER.BMP", "BM-border"},
};

}  // namespace

TEST_F(SkinReaderTest, ReadsEveryVersionAlike) {
  for (int32_t version : {20000, 30000, 40000, 50000}) {
    for (char fill : {'\0', '\xAB'}) {
      SCOPED_TRACE(version);
      TSkinReader reader;
      ASSERT_TRUE(Load(reader, BuildSkinArchive(kSkin, version, fill)));
      EXPECT_EQ(reader.Version(), version);
      EXPECT_EQ(NamesOf(reader), (std::vector<std::string>{"skin.ini", "title.bmp", "border.bmp"}));
      EXPECT_EQ(reader.Sizes(1), 13);
      EXPECT_EQ(Entry(reader, "TITLE.bmp"), "BM-title-bits");
      EXPECT_EQ(Entry(reader, "border.bmp"), "BM-border");
      EXPECT_EQ(Entry(reader, "missing.bmp"), "");
      TMemoryStream ini;
      std::string name = "unchanged";
      reader.readIni(".ini", ini, name);
      EXPECT_EQ(name, "skin.ini");
      EXPECT_EQ(ini.Position(), 0);
      EXPECT_EQ(ini.AsString(), kSkin[0].Data);
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinReaderTest, NameListFollowsTheLineRules) {
  struct Case {
    const char* what;
    std::string list;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"CR LF at the end adds no name", "a\r\nb\r\n", {"a", "b"}},
      {"no break at the end", "a\nb", {"a", "b"}},
      {"CR alone ends a line", "a\rb\r", {"a", "b"}},
      {"an empty line is a name", "a\r\r\nb", {"a", "", "b"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"a lone break is one empty name", "\n", {""}},
      {"NUL ends the list", std::string("a\r\nb\0c\r\n", 8), {"a", "b"}},
      {"only A-Z are lowered, nothing is trimmed", " Mi\xC4\xE3X.BMP \r\n", {" mi\xC4\xE3x.bmp "}},
      {"empty list", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSkinReader reader;
    TMemoryStream archive;
    archive.Assign(RawArchive(20000, int64_t(c.list.size()), c.list, std::vector<int64_t>(c.names.size(), 0), ""));
    ASSERT_TRUE(reader.LoadArchive(archive));
    EXPECT_EQ(NamesOf(reader), c.names);
  }
}

TEST_F(SkinReaderTest, LookUpsFollowTheListOrder) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, BuildSkinArchive({{"sky.ini.bmp", "BM-1"},
                                             {"Twin.bmp", "BM-first"},
                                             {"TWIN.BMP", "BM-second"},
                                             {"empty.bmp", ""},
                                             {"real.ini", "[x]"},
                                             {"after.bmp", "BM-after"}})));
  // The first entry holding ".ini" wins, even an image.
  TMemoryStream ini;
  std::string name;
  reader.readIni(".ini", ini, name);
  EXPECT_EQ(name, "sky.ini.bmp");
  EXPECT_EQ(ini.AsString(), "BM-1");
  // The fragment is not lowered.
  name = "kept";
  reader.readIni(".INI", ini, name);
  EXPECT_EQ(name, "kept");
  EXPECT_EQ(ini.Size(), 0);
  EXPECT_EQ(Entry(reader, "twin.BMP"), "BM-first");
  // A zero-size entry is found and copies nothing; offsets come only from the sizes.
  EXPECT_EQ(Entry(reader, "empty.bmp"), "");
  EXPECT_EQ(Entry(reader, "after.bmp"), "BM-after");
}

TEST_F(SkinReaderTest, AnArchiveWithoutNamesHasNoIni) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, RawArchive(20000, 0, "", {}, "stray bytes")));
  EXPECT_EQ(reader.Count(), 0);
  EXPECT_EQ(reader.EntryData().AsString(), "stray bytes");
  TMemoryStream ini;
  std::string name = "kept";
  reader.readIni(".ini", ini, name);
  EXPECT_EQ(name, "kept");
  EXPECT_EQ(ini.Size(), 0);
}

TEST_F(SkinReaderTest, UnknownFormatsAreRefusedWithTheMessageAndChangeNothing) {
  std::string tooMany;
  for (int i = 0; i <= SkinMaxEntries; i++) tooMany += "n" + std::to_string(i) + "\r\n";
  const std::string lines(SkinMaxEntries + 1, '\n');
  struct Case {
    std::string what;
    std::string archive;
  };
  const Case cases[] = {
      {"version 10000", RawArchive(10000, 0, "", {}, "")},
      {"version 60000", RawArchive(60000, 0, "", {}, "")},
      {"version 0", RawArchive(0, 0, "", {}, "")},
      {"shorter than the header", std::string("\x20\x4e\x00\x00\x00\x00\x00", 7)},
      {"empty archive", ""},
      {"1002 names", RawArchive(20000, int64_t(tooMany.size()), tooMany, {}, "")},
      {"1002 empty names", RawArchive(20000, int64_t(lines.size()), lines, {}, "")},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // Too short for the header and the version's block, one byte short or holding the header only.
  for (int32_t version : {30000, 40000, 50000}) {
    const int block = SkinArchiveBlockSize(version);
    const std::string v = "version " + std::to_string(version);
    all.push_back({v + ", block one byte short", RawArchive(version, 0, "", {}, "", std::string(size_t(block) - 1, 'b'))});
    all.push_back({v + ", header only", RawArchive(version, 0, "", {}, "")});
  }
  for (const Case& c : all) {
    SCOPED_TRACE(c.what);
    messages.clear();
    TSkinReader reader;
    ASSERT_TRUE(Load(reader, BuildSkinArchive(kSkin)));
    EXPECT_FALSE(Load(reader, c.archive));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], SkinUnknownVersionText());
    // What was loaded before is still there.
    EXPECT_EQ(reader.Version(), 20000);
    EXPECT_EQ(reader.Count(), 3);
    EXPECT_EQ(Entry(reader, "title.bmp"), "BM-title-bits");
  }
}

TEST_F(SkinReaderTest, AnArchiveJustLongEnoughForItsBlockIsAccepted) {
  for (int32_t version : {20000, 30000, 40000, 50000}) {
    SCOPED_TRACE(version);
    const int block = SkinArchiveBlockSize(version);
    TSkinReader reader;
    EXPECT_TRUE(Load(reader, RawArchive(version, 0, "", {}, "", std::string(size_t(block), 'b'))));
    EXPECT_EQ(reader.Version(), version);
    EXPECT_EQ(reader.Count(), 0);
    EXPECT_EQ(reader.EntryData().Size(), 0);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinReaderTest, TheMessageTextIsTheChineseOne) {
  const std::wstring text = SkinUnknownVersionText();
  const std::vector<unsigned> expected = {0x6B64, 0x6587, 0x4EF6, 0x7248, 0x672C, 0x4E0D, 0x540C, 0x0D, 0x8BF7,
                                          0x5347, 0x7EA7, 0x65B0, 0x7248, 0x672C, 0x20,   0x21};
  ASSERT_EQ(text.size(), expected.size());
  for (size_t i = 0; i < expected.size(); i++) EXPECT_EQ(unsigned(text[i]), expected[i]) << i;
}

TEST_F(SkinReaderTest, ThousandAndOneEntriesStillFit) {
  std::vector<TSkinArchiveEntry> entries;
  for (int i = 0; i < SkinMaxEntries; i++) entries.push_back({"e" + std::to_string(i) + ".bmp", std::to_string(i)});
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, BuildSkinArchive(entries)));
  EXPECT_EQ(reader.Count(), SkinMaxEntries);
  EXPECT_EQ(Entry(reader, "e1000.bmp"), "1000");
  EXPECT_EQ(Entry(reader, "e0.bmp"), "0");
}

TEST_F(SkinReaderTest, HostileFieldsAreBoundedByTheData) {
  const int64_t kMax = std::numeric_limits<int32_t>::max();
  struct Case {
    std::string what;
    std::string archive;
    std::vector<std::pair<std::string, std::string>> entries;  // name, bytes readfile gives
  };
  const Case cases[] = {
      {"negative size counts as empty and moves nothing",
       RawArchive(20000, 9, "a\r\nb\r\nc\r\n", {5, -3, 2}, "AAAAACC"),
       {{"a", "AAAAA"}, {"b", ""}, {"c", "CC"}}},
      {"sizes past the data are cut at its end",
       RawArchive(20000, 6, "a\r\nb\r\n", {3, 100}, "AAAbb"),
       {{"a", "AAA"}, {"b", "bb"}}},
      {"huge sizes do not wrap the offsets",
       RawArchive(20000, 9, "a\r\nb\r\nc\r\n", {kMax, kMax, 1}, "xyz"),
       {{"a", "xyz"}, {"b", ""}, {"c", ""}}},
      {"list length past the data",
       RawArchive(20000, 1000, "a\r\nb", {}, ""),
       {{"a", ""}, {"b", ""}}},
      {"negative list length reads as no list",
       RawArchive(20000, -8, "", {}, "data"),
       {}},
      {"archive ends inside the sizes",
       RawArchive(20000, 6, "a\r\nb\r\n", {}, std::string("\x02\x00\x00", 3)),
       {{"a", ""}, {"b", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSkinReader reader;
    ASSERT_TRUE(Load(reader, c.archive));
    ASSERT_EQ(size_t(reader.Count()), c.entries.size());
    for (size_t i = 0; i < c.entries.size(); i++) {
      EXPECT_EQ(reader.Names(int(i)), c.entries[i].first);
      EXPECT_EQ(Entry(reader, c.entries[i].first), c.entries[i].second);
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinReaderTest, IndexesOutsideTheListRaise) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, BuildSkinArchive(kSkin)));
  EXPECT_THROW(reader.Names(3), EListError);
  EXPECT_THROW(reader.Sizes(-1), EListError);
}

TEST_F(SkinReaderTest, ADamagedImageFailsClearlyAndChangesNothing) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, BuildSkinArchive(kSkin)));
  struct Case {
    const char* what;
    std::string image;
  };
  // A skin whose image is long enough that cuts pass the size bound and reach the decoder.
  std::vector<TSkinArchiveEntry> big = kSkin;
  std::string noise;
  for (uint32_t x = 1; noise.size() < 6000;) noise += char((x = x * 1103515245u + 12345u) >> 24);
  big.push_back({"noise.bmp", noise});
  const std::string whole = CompressImage(BuildSkinArchive(big, 30000));
  const Case cases[] = {
      {"five bytes announcing 4 GiB", std::string("\xFF\xFF\xFF\xFF\x00", 5)},
      {"three bytes: inside the size field", std::string("\x10\x00\x00", 3)},
      {"inside the first code", whole.substr(0, 5)},
      {"cut in the middle", whole.substr(0, whole.size() / 2)},
      {"one byte short", whole.substr(0, whole.size() - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream image;
    image.Assign(c.image);
    EXPECT_THROW(reader.Loadfromstream(image), ElzhException);
    EXPECT_EQ(reader.Version(), 20000);
    EXPECT_EQ(reader.Count(), 3);
    EXPECT_EQ(Entry(reader, "title.bmp"), "BM-title-bits");
  }
  // The whole image loads.
  TMemoryStream image;
  image.Assign(whole);
  ASSERT_TRUE(reader.Loadfromstream(image));
  EXPECT_EQ(Entry(reader, "noise.bmp"), noise);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SkinReaderTest, DamagedStreamsGiveBoundedResults) {
  // Flipped bits anywhere in a real image: the reader answers, never reads out of range.
  const std::string image = CompressImage(BuildSkinArchive(kSkin, 40000));
  for (size_t bit = 0; bit < image.size() * 8; bit += 3) {
    std::string damaged = image;
    damaged[bit / 8] = char(damaged[bit / 8] ^ (1 << (bit % 8)));
    TSkinReader reader;
    TMemoryStream s;
    s.Assign(damaged);
    try {
      if (reader.Loadfromstream(s))
        for (int i = 0; i < reader.Count(); i++) Entry(reader, reader.Names(i));
    } catch (const ElzhException&) {
    }
  }
}

TEST_F(SkinReaderTest, LoadsFromAFileAndSaysNoToAMissingOne) {
  TSkinReader reader;
  EXPECT_FALSE(reader.loadfromfile("no-such-skin-file.skn"));
  const std::string path = ::testing::TempDir() + "reader_test.skn";
  TMemoryStream file;
  file.Assign(CompressImage(BuildSkinArchive(kSkin)));
  file.SaveToFile(path);
  EXPECT_TRUE(reader.loadfromfile(path));
  EXPECT_EQ(reader.Count(), 3);
  std::remove(path.c_str());
}

#ifdef _WIN32

namespace {

// Reads the text of the box once it has been filled in and ends it before it is ever shown,
// so the test neither waits for a window to appear nor on the user.
HHOOK g_hook;
std::wstring g_boxText;
bool g_boxSeen;

BOOL CALLBACK FindText(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  wchar_t text[256] = {};
  if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(child, text, 256) > 0 && g_boxText.empty()) g_boxText = text;
  return TRUE;
}

LRESULT CALLBACK EndBox(int code, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == WM_INITDIALOG && !g_boxSeen) {
    wchar_t cls[32] = {};
    if (GetClassNameW(msg->hwnd, cls, 32) && lstrcmpW(cls, L"#32770") == 0) {
      g_boxSeen = true;
      EnumChildWindows(msg->hwnd, FindText, 0);
      EndDialog(msg->hwnd, IDOK);
    }
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

// The default seam shows a real box whose text is the wide Chinese text, whatever the ANSI
// code page.
TEST(SkinReaderMessageBox, TheDefaultShowsTheChineseText) {
  g_boxText.clear();
  g_boxSeen = false;
  g_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, EndBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_hook, nullptr);
  TSkinReader reader;
  TMemoryStream archive;
  archive.Assign(RawArchive(12345, 0, "", {}, ""));
  const bool accepted = reader.LoadArchive(archive);
  UnhookWindowsHookEx(g_hook);
  EXPECT_FALSE(accepted);
  ASSERT_TRUE(g_boxSeen);
  // The static control shows the text with its line break; compare without it.
  std::wstring expected = SkinUnknownVersionText();
  std::wstring shown = g_boxText;
  for (std::wstring* s : {&expected, &shown})
    for (size_t i; (i = s->find_first_of(L"\r\n")) != std::wstring::npos;) s->erase(i, 1);
  EXPECT_EQ(shown, expected);
}

#endif
