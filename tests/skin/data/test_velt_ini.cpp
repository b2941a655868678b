#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/velt_ini.h"

namespace {

std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s.Strings(i));
  return r;
}

// An INI loaded from text, as the skin component loads the archive's entry.
struct Ini {
  TQuickIni ini;
  explicit Ini(const std::string& text) {
    TMemoryStream m;
    m.Assign(text);
    ini.LoadFromStream(&m);
  }
  std::vector<std::string> Sections() const {
    TStringList s;
    ini.ReadSections(s);
    return Lines(s);
  }
  std::string Saved() const {
    TMemoryStream m;
    ini.SaveToStream(&m);
    return m.AsString();
  }
};

}  // namespace

TEST(QuickIni, ReadIntegerTable) {
  struct Case {
    const char* value;  // as written after "key=" in the file
    int32_t expected;   // with a default of 77
  };
  const Case cases[] = {
      {"12", 12},
      {"-12", -12},
      {"+5", 5},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"  0x1F  ", 31},
      {"0xFF00000F", -16777201},  // a system colour: the 32-bit pattern, negative
      {"$FF000018", -16777192},
      {"0xFFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", 77},  // decimal out of range
      {"0x100000000", 77},  // more than 32 bits
      {"99999999999", 77},
      {"0x", 77},  // only the two characters
      {"$", 77},
      {"x10", 77},
      {"", 77},
      {"abc", 77},
      {"12abc", 77},
      {"1 2", 77},
      {"0x-5", 77},
      {"007", 7},
      {"3.5", 77},
  };
  for (const Case& c : cases) {
    Ini ini(std::string("[S]\nkey=") + c.value + "\n");
    EXPECT_EQ(ini.ini.ReadInteger("S", "key", 77), c.expected) << "\"" << c.value << "\"";
  }
}

TEST(QuickIni, LineRules) {
  Ini ini(std::string("  [Sec]  \r"
                      "; a comment\n"
                      "   ;indented comment\r\n"
                      "\r\n"
                      "# not a comment=1\n"
                      "  Key Name  =  value with spaces  \n"
                      "[broken\n"
                      "novalue\n"
                      "a=b=c\r"
                      "\t\n"
                      "last=1") +
          std::string("\0[Hidden]\nx=1\n", 15));
  EXPECT_EQ(Lines(ini.ini.Lines()), (std::vector<std::string>{"[Sec]", "# not a comment=1", "Key Name  =  value with spaces",
                                                               "[broken", "novalue", "a=b=c", "last=1"}));
  EXPECT_EQ(ini.ini.ReadString("sec", "key name", "-"), "value with spaces");
  EXPECT_EQ(ini.ini.ReadString("Sec", "# not a comment", "-"), "1");
  EXPECT_EQ(ini.ini.ReadString("Sec", "a", "-"), "b=c");
  // A line beginning with "[" but not ending with "]" ends no section.
  EXPECT_EQ(ini.ini.ReadString("Sec", "last", "-"), "1");
  EXPECT_EQ(ini.ini.ReadString("Hidden", "x", "-"), "-");  // after the NUL
  EXPECT_EQ(ini.Sections(), std::vector<std::string>{"Sec"});
}

TEST(QuickIni, ReadStringMatching) {
  Ini ini("[Colours]\n"
          "Empty=\n"
          "Blank =   \n"
          "Twice=first\n"
          "twice=second\n"
          "Empty=late\n"
          "[ Spaced ]\n"
          "k=v\n"
          "[COLOURS]\n"
          "Other=x\n");
  EXPECT_EQ(ini.ini.ReadString("Colours", "Empty", "def"), "def");  // an empty value, and no second look
  EXPECT_EQ(ini.ini.ReadString("Colours", "Blank", "def"), "def");
  EXPECT_EQ(ini.ini.ReadString("colours", "TWICE", "def"), "first");
  EXPECT_EQ(ini.ini.ReadString("Colours", " Twice", "def"), "def");  // keys are not trimmed
  EXPECT_EQ(ini.ini.ReadString("Colours", "Other", "def"), "def");  // the first of equal headers wins
  EXPECT_EQ(ini.ini.ReadString("Spaced", "k", "def"), "def");
  EXPECT_EQ(ini.ini.ReadString(" Spaced ", "k", "def"), "v");
  EXPECT_EQ(ini.ini.ReadString("Missing", "k", "def"), "def");
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Colours", "Spaced", "COLOURS"}));
  EXPECT_TRUE(ini.ini.ReadBool("Missing", "x", true));
  EXPECT_FALSE(ini.ini.ReadBool("Missing", "x", false));
}

TEST(QuickIni, SectionReaders) {
  Ini ini("[A]\nOne=1\nnovalue\nTwo = 2\n[B]\nThree=3\n");
  TStringList names, values;
  names.Add("stale");
  values.Add("stale");
  ini.ini.ReadSection("a", names);
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"one", "two"}));
  ini.ini.ReadSectionValues("A", values);
  EXPECT_EQ(Lines(values), (std::vector<std::string>{"One=1", "novalue", "Two = 2"}));
  ini.ini.ReadSection("Missing", names);
  EXPECT_EQ(names.Count(), 0);
  // The section list is appended to, not emptied first.
  TStringList sections;
  sections.Add("kept");
  ini.ini.ReadSections(sections);
  EXPECT_EQ(Lines(sections), (std::vector<std::string>{"kept", "A", "B"}));
}

TEST(QuickIni, WritersKeepEverySectionReadable) {
  Ini ini("[A]\na1=1\n[B]\nb1=1\n[C]\nc1=1\n");
  ini.ini.WriteString("A", "New", "x");      // inserted before [B]
  ini.ini.WriteInteger("B", "Num", -5);      // inserted before [C]
  ini.ini.WriteBool("C", "Flag", true);      // appended to the last section
  ini.ini.WriteString("A", "A1", "changed");  // replaces the line, in the case given
  ini.ini.WriteString("D", "d1", "new");     // a new section at the end
  ini.ini.WriteString("E", "", "ignored");   // a header alone
  ini.ini.WriteString("A", "", "ignored");
  EXPECT_EQ(ini.Saved(), "[A]\r\nA1=changed\r\nNew=x\r\n[B]\r\nb1=1\r\nNum=-5\r\n[C]\r\nc1=1\r\nFlag=1\r\n"
                         "[D]\r\nd1=new\r\n[E]\r\n");
  EXPECT_EQ(ini.ini.ReadString("B", "b1", "-"), "1");
  EXPECT_EQ(ini.ini.ReadInteger("B", "num", 0), -5);
  EXPECT_EQ(ini.ini.ReadString("C", "c1", "-"), "1");
  EXPECT_TRUE(ini.ini.ReadBool("C", "flag", false));
  EXPECT_EQ(ini.ini.ReadString("D", "D1", "-"), "new");
  ini.ini.WriteString("E", "e1", "v");
  EXPECT_EQ(ini.ini.ReadString("E", "e1", "-"), "v");
}

TEST(QuickIni, DeleteKeyMatchesTheNameAsGiven) {
  Ini ini("[A]\nKey=1\nkey=2\n[B]\nb=1\n");
  ini.ini.DeleteKey("A", "Key");  // names are held in lower case: no match
  EXPECT_EQ(ini.ini.ReadString("A", "key", "-"), "1");
  ini.ini.DeleteKey("a", "key");
  EXPECT_EQ(ini.ini.ReadString("A", "key", "-"), "2");
  EXPECT_EQ(ini.ini.ReadString("B", "b", "-"), "1");
  ini.ini.WriteString("B", "c", "2");
  EXPECT_EQ(ini.Saved(), "[A]\r\nkey=2\r\n[B]\r\nb=1\r\nc=2\r\n");
}

TEST(QuickIni, EraseSection) {
  Ini ini("[A]\na=1\n[B]\nb=1\nb2=2\n[C]\nc=1\n");
  ini.ini.EraseSection("b");
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(ini.Saved(), "[A]\r\na=1\r\n\r\n[C]\r\nc=1\r\n");  // an empty line takes its place
  EXPECT_EQ(ini.ini.ReadString("C", "c", "-"), "1");
  ini.ini.WriteString("C", "d", "2");
  EXPECT_EQ(ini.ini.ReadString("C", "d", "-"), "2");
  ini.ini.EraseSection("A");  // at line 0: no empty line (and the one left before goes with it)
  EXPECT_EQ(ini.Saved(), "[C]\r\nc=1\r\nd=2\r\n");
  ini.ini.EraseSection("Missing");
  ini.ini.WriteString("C", "e", "3");  // the shifted header still finds its lines
  EXPECT_EQ(ini.Saved(), "[C]\r\nc=1\r\nd=2\r\ne=3\r\n");
  EXPECT_EQ(ini.Sections(), std::vector<std::string>{"C"});
}

TEST(QuickIni, SetIniFileKeepsLinesAsTheyAre) {
  TStringList src;
  src.SetText("  [Indented]\n[Real]\n  key = v \n\n;comment=1\n");
  TQuickIni ini;
  ini.SetIniFile(src);
  EXPECT_EQ(ini.Lines().Count(), 5);
  TStringList sections;
  ini.ReadSections(sections);
  EXPECT_EQ(Lines(sections), std::vector<std::string>{"Real"});  // the indented header is none
  EXPECT_EQ(ini.ReadString("Real", "key", "-"), "v");
  EXPECT_EQ(ini.ReadString("Real", ";comment", "-"), "1");  // comments are dropped only by loading
  ini.Clear();
  EXPECT_EQ(ini.Lines().Count(), 0);
  EXPECT_EQ(ini.ReadString("Real", "key", "-"), "-");
}

TEST(QuickIni, StreamsAndFiles) {
  TQuickIni ini;
  ini.LoadFromStream(nullptr);
  ini.SaveToStream(nullptr);
  TMemoryStream m;
  m.Assign("ignored[S]\nk=v\n");
  m.SetPosition(7);
  ini.LoadFromStream(&m);
  EXPECT_EQ(ini.ReadString("S", "k", "-"), "v");
  ini.LoadFromStream(nullptr);  // changes nothing
  EXPECT_EQ(ini.ReadString("S", "k", "-"), "v");

  const std::string name = "quickini_test.ini";
  {
    TMemoryStream f;
    f.Assign("; header comment\r\n  [S]  \r\n\r\n  k  =  v  \r\n");
    f.SaveToFile(name);
  }
  ini.LoadFromFile(name);
  ini.SaveToFile(name);
  TMemoryStream back;
  back.LoadFromFile(name);
  EXPECT_EQ(back.AsString(), "[S]\r\nk  =  v\r\n");  // no comments or empty lines, every line trimmed
  std::remove(name.c_str());
  EXPECT_THROW(ini.LoadFromFile(name), EFOpenError);
  ini.SetFileName("x.ini");
  EXPECT_EQ(ini.FileName(), "x.ini");
}

TEST(QuickIni, ZipFileRoundTrip) {
  const std::string name = "quickini_test.zip";
  Ini ini("[Personality]\nLeft=Left.bmp\nLeftFrame=2\n[Colours]\nButtonFace=212 208 200\n");
  ini.ini.SavetoZip(name);
  TMemoryStream packed;
  packed.LoadFromFile(name);
  ASSERT_GE(packed.Size(), 4);
  std::string text = ini.Saved();
  const uint8_t* p = packed.Memory();
  EXPECT_EQ(uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24), text.size());  // the size first
  TQuickIni back;
  back.LoadFromZip(name);
  EXPECT_EQ(Lines(back.Lines()), Lines(ini.ini.Lines()));
  EXPECT_EQ(back.ReadInteger("Personality", "LeftFrame", 0), 2);
  std::remove(name.c_str());
}
