#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "classlib/core/string_list.h"

namespace {

std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s.Strings(i));
  return r;
}

std::string FileBytes(const std::string& name) {
  TMemoryStream m;
  m.LoadFromFile(name);
  return m.AsString();
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
  TMemoryStream m;
  m.Assign(bytes);
  m.SaveToFile(name);
}

}  // namespace

TEST(StringList, TextSplittingRules) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // nothing follows a last break
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {std::string("a\0b\r\nc", 6), {"a"}},  // NUL ends the text
      {std::string("\0a", 2), {}},
      {"  spaced  \r\n", {"  spaced  "}},
  };
  for (const Case& c : cases) {
    TStringList s;
    s.SetText(c.text);
    EXPECT_EQ(Lines(s), c.lines) << testing::PrintToString(c.text);
  }
  TStringList s;
  s.SetText("x\ny");
  EXPECT_EQ(s.Text(), "x\r\ny\r\n");
}

TEST(StringList, EditingAndBounds) {
  TStringList s;
  EXPECT_EQ(s.Add("one"), 0);
  EXPECT_EQ(s.Add("two"), 1);
  s.Insert(0, "zero");
  s.Insert(3, "three");
  EXPECT_EQ(Lines(s), (std::vector<std::string>{"zero", "one", "two", "three"}));
  s.Delete(1);
  s.SetStrings(0, "ZERO");
  EXPECT_EQ(Lines(s), (std::vector<std::string>{"ZERO", "two", "three"}));
  for (int bad : {-1, 4}) EXPECT_THROW(s.Insert(bad, "x"), EStringListError);
  for (int bad : {-1, 3}) {
    EXPECT_THROW(s.Strings(bad), EStringListError);
    EXPECT_THROW(s.Delete(bad), EStringListError);
    EXPECT_THROW(s.Objects(bad), EStringListError);
  }
  try {
    s.Strings(7);
  } catch (const EStringListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (7)");
  }
}

TEST(StringList, IndexOfIgnoresCaseUnlessAskedNotTo) {
  TStringList s;
  s.SetText("TCategoryButtons=scrollbar\nTPngBitBtn=pngbitbtn\nTPngBitBtn=other");
  EXPECT_EQ(s.IndexOf("tpngbitbtn=PNGBITBTN"), 1);
  EXPECT_EQ(s.IndexOf("missing"), -1);
  s.SetCaseSensitive(true);
  EXPECT_EQ(s.IndexOf("tpngbitbtn=PNGBITBTN"), -1);
  EXPECT_EQ(s.IndexOf("TPngBitBtn=pngbitbtn"), 1);
}

TEST(StringList, NamesAndValues) {
  TStringList s;
  s.SetText("Skin=Yellow\nnoequals\nRegion=CN\nempty=\nskin=second");
  EXPECT_EQ(s.Names(0), "Skin");
  EXPECT_EQ(s.Names(1), "");
  EXPECT_EQ(s.ValueFromIndex(2), "CN");
  EXPECT_EQ(s.Values("SKIN"), "Yellow");  // the first of the name wins
  EXPECT_EQ(s.Values("empty"), "");
  EXPECT_EQ(s.Values("noequals"), "");
  EXPECT_EQ(s.IndexOfName("region"), 2);
  s.SetValues("Region", "TW");
  EXPECT_EQ(s.Strings(2), "Region=TW");
  s.SetValues("New", "1");
  EXPECT_EQ(s.Strings(s.Count() - 1), "New=1");
  s.SetValues("Skin", "");  // an empty value deletes the line
  EXPECT_EQ(s.IndexOfName("Skin"), 3);  // the second "skin" line
}

TEST(StringList, ObjectsAssignAndSelfAssignment) {
  TStringList a, b;
  TStringList tag1, tag2;
  a.AddObject("x", &tag1);
  a.AddObject("y", &tag2);
  EXPECT_EQ(a.Objects(1), &tag2);
  EXPECT_EQ(a.IndexOfObject(&tag1), 0);
  a.SetStrings(0, "X");  // replacing the text keeps the object
  EXPECT_EQ(a.Objects(0), &tag1);
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"X", "y"}));
  EXPECT_EQ(b.Objects(1), &tag2);
  a.Assign(&a);
  EXPECT_EQ(Lines(a), (std::vector<std::string>{"X", "y"}));
  a.AddStrings(a);
  EXPECT_EQ(a.Count(), 4);
  TComponent notAList(nullptr);
  EXPECT_THROW(a.Assign(&notAList), EConvertError);
  EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

TEST(StringList, ChangeEventsWaitForTheEndOfAnUpdate) {
  TStringList s;
  int changing = 0, changed = 0;
  s.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &s);
    ++changing;
  };
  s.OnChange = [&](TObject*) { ++changed; };
  s.Add("a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  s.BeginUpdate();
  s.Add("b");
  s.Add("c");
  s.Delete(0);
  EXPECT_EQ(changed, 1);
  s.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  s.SetText("x\ny\nz");  // one update for the whole text
  EXPECT_EQ(changed, 3);
}

TEST(StringList, LoadFromStreamReadsFromThePosition) {
  TMemoryStream m;
  m.Assign("skip|first\r\nsecond");
  m.SetPosition(5);
  TStringList s;
  s.LoadFromStream(m);
  EXPECT_EQ(Lines(s), (std::vector<std::string>{"first", "second"}));
}

TEST(StringListFiles, AnsiFilesAreWrittenWithCrLf) {
  const std::string name = "strings_ansi.txt";
  TStringList s;
  s.SetText("line one\nline two");
  s.SaveToFile(name);
  EXPECT_EQ(FileBytes(name), "line one\r\nline two\r\n");
  TStringList t;
  t.LoadFromFile(name);
  EXPECT_EQ(t.Encoding(), teAnsi);
  EXPECT_EQ(Lines(t), Lines(s));
  std::remove(name.c_str());
  EXPECT_THROW(t.LoadFromFile(name), EFOpenError);
}

// Files with a byte-order mark keep it, and their encoding, when written back.
TEST(StringListFiles, ByteOrderMarksAreReadAndWrittenFaithfully) {
  struct Case {
    const char* name;
    std::string bytes;
    TTextEncoding encoding;
  };
  const Case cases[] = {
      {"utf8", "\xEF\xBB\xBF" "ab\r\ncd\r\n", teUTF8},
      {"utf16le", std::string("\xFF\xFE" "a\0b\0\r\0\n\0", 10), teUTF16LE},
      {"utf16be", std::string("\xFE\xFF\0a\0b\0\r\0\n", 10), teUTF16BE},
  };
  for (const Case& c : cases) {
    std::string name = std::string("strings_") + c.name + ".txt";
    WriteFileBytes(name, c.bytes);
    TStringList s;
    s.LoadFromFile(name);
    EXPECT_EQ(s.Encoding(), c.encoding) << c.name;
    EXPECT_EQ(s.Strings(0), "ab") << c.name;
    s.SaveToFile(name);
    EXPECT_EQ(FileBytes(name), c.bytes) << c.name;
    std::remove(name.c_str());
  }
}

#ifndef _WIN32
// Natively the narrow text is UTF-8, so any character survives a UTF-16 file.
TEST(StringListFiles, NativeNarrowTextIsUtf8) {
  const std::string bytes("\xFF\xFE\x25\x60\x60\x24\r\0\n\0", 10);  // U+6025 U+2460
  WriteFileBytes("strings_cjk.txt", bytes);
  TStringList s;
  s.LoadFromFile("strings_cjk.txt");
  EXPECT_EQ(s.Strings(0), "\xE6\x80\xA5\xE2\x91\xA0");
  s.SaveToFile("strings_cjk.txt");
  EXPECT_EQ(FileBytes("strings_cjk.txt"), bytes);
  std::remove("strings_cjk.txt");
}
#endif

#ifdef _WIN32
TEST(WideStringList, HoldsEveryCharacterOfUnicodeFiles) {
  const WideString name = L"Data_\u2460.txt";
  const std::string bytes("\xFF\xFE\x25\x66\x0D\x00\x0A\x00\x60\x24\x0D\x00\x0A\x00", 14);  // 春 ①
  TMemoryStream m;
  m.Assign(bytes);
  m.SaveToFile(name);
  TWideStringList w;
  w.LoadFromFile(name);
  ASSERT_EQ(w.Count(), 2);
  EXPECT_EQ(w.Strings(0), L"\u6625");
  EXPECT_EQ(w.Strings(1), L"\u2460");
  w.SaveToFile(name);
  m.LoadFromFile(name);
  EXPECT_EQ(m.AsString(), bytes);
  DeleteFileW(name.c_str());
}

TEST(WideStringList, AnsiFilesOfAGivenCodePage) {
  // The scratch pads are ANSI text in code page 936, whatever the system's ANSI code page is.
  const std::string gbk = "\xB2\xDD\xB8\xE5\r\n\xA2\xD9\r\n";  // 草稿 ①
  WriteFileBytes("strings_gbk.txt", gbk);
  TWideStringList w;
  w.SetCodePage(936);
  w.LoadFromFile("strings_gbk.txt");
  EXPECT_EQ(w.Encoding(), teAnsi);
  EXPECT_EQ(w.Strings(0), L"\u8349\u7A3F");
  EXPECT_EQ(w.Strings(1), L"\u2460");
  w.SaveToFile("strings_gbk.txt");
  EXPECT_EQ(FileBytes("strings_gbk.txt"), gbk);
  std::remove("strings_gbk.txt");
}

TEST(WideStringList, NarrowListsConvertThroughTheAnsiCodePage) {
  TWideStringList w;
  w.Add(L"plain");
  w.Add(L"\u6625");
  TStringList s;
  s.Assign(&w);
  EXPECT_EQ(s.Strings(0), "plain");
  EXPECT_EQ(s.Strings(1), WideToAnsi(L"\u6625"));
  TWideStringList back;
  back.Assign(&s);
  EXPECT_EQ(back.Strings(0), L"plain");
  EXPECT_EQ(back.IndexOf(L"PLAIN"), 0);
  back.SetText(L"a\r\nb\u6625=v");
  EXPECT_EQ(back.Values(L"B\u6625"), L"v");
}
#endif
