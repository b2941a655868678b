// The parts of the skin data unit that need no Windows API: the default control-class list,
// TSkinControlList, the caption-button and colour-section rules of the INI vocabulary, the frame
// counts a skin may leave out, and the library's own pictures.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "classlib/core/typinfo.h"
#include "skin/data/skin_resources.h"
#include "skin/data/velt_data.h"

TEST(DefaultSkin3rd, HasTheKindsInTheirNumbers) {
  EXPECT_STREQ(kDefaultSkin3rd[0], "TCategoryButtons=scrollbar");
  EXPECT_STREQ(kDefaultSkin3rd[kDefaultSkin3rdCount - 1], "trmtoolbaraddintools=panel");
  std::map<std::string, int> kinds;
  std::map<std::string, int> lines;
  for (const char* line : kDefaultSkin3rd) {
    std::string s(line);
    size_t eq = s.find('=');
    ASSERT_NE(eq, std::string::npos) << s;
    ASSERT_EQ(s.find(' '), std::string::npos) << s;
    ++kinds[LowerCase(s.substr(eq + 1))];
    ++lines[s];
  }
  const std::map<std::string, int> expected = {
      {"combobox", 39}, {"edit", 26},     {"panel", 22},   {"scrollbar", 10},  {"radiogroup", 7},
      {"checkbox", 4},  {"speedbutton", 3}, {"bitbtn", 3},  {"checkgroup", 3},  {"radiobutton", 2},
      {"groupbox", 2},  {"pngbitbtn", 1},  {"button", 1},  {"menubtn", 1}};
  EXPECT_EQ(kinds, expected);
  int twice = 0;
  for (const auto& [line, n] : lines) twice += n == 2;
  EXPECT_EQ(twice, 3);
  EXPECT_EQ(lines["TLMDFontSizeCombobox=combobox"], 2);
}

TEST(SkinControlList, PublishesFourListsThatTakeOverAssignedLines) {
  TSkinControlList list;
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(list.ClassType())) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Edit", "Checkbox", "Combobox", "Radiobutton"}));
  TStringList lines;
  lines.Add("TMyEdit=edit");
  list.SetEdit(&lines);
  list.Setcombobox(&lines);
  lines.Add("changed later");
  EXPECT_EQ(list.Edit()->Count(), 1);
  EXPECT_EQ(list.Combobox()->Strings(0), "TMyEdit=edit");
  EXPECT_EQ(list.Checkbox()->Count(), 0);
  EXPECT_EQ(list.Radiobutton()->Count(), 0);
  EXPECT_EQ(GetObjectProp(&list, "Combobox"), list.Combobox());
}

TEST(SkinIniRules, CaptionButtonSections) {
  TQuickIni ini;
  TMemoryStream text;
  text.Assign(
      "[Button]\r\n[Buttons]\r\n[Button.Radio]\r\n[BUTTON.CHECKBOX]\r\n[ButtonClose]\r\n"
      "[buttonx]\r\nAction=-1\r\n[ButtonY]\r\nAction=-1\r\nVisibility=0\r\n[ButtonZ]\r\nAction=-1\r\nVisibility=2\r\n"
      "[Button.Check]\r\n[MyButton]\r\n[ButtonClose]\r\n");
  ini.LoadFromStream(&text);
  TStringList sections;
  ini.ReadSections(sections);
  // In file order, repeats kept; Action -1 counts only with Visibility 0.
  EXPECT_EQ(CaptionButtonSections(ini, sections),
            (std::vector<std::string>{"ButtonClose", "ButtonY", "Button.Check", "ButtonClose"}));
}

TEST(SkinIniRules, NamesOfCaptionButtonsAndExtraColours) {
  struct Case {
    const char* name;
    bool button, colour;
  } cases[] = {
      {"Button", false, false},        {"Buttons", false, false},     {"button.radio", false, false},
      {"Button.CheckBox", false, false}, {"ButtonClose", true, false}, {"BUTTONS2", true, false},
      {"Colour", false, true},         {"colours2", false, true},    {"Colour7", false, true},
      {"COLOURS", false, false},       {"Colours", false, false},    {"Color1", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsCaptionButtonName(c.name), c.button) << c.name;
    EXPECT_EQ(IsExtraColourName(c.name), c.colour) << c.name;
  }
}

TEST(SkinIniRules, FramesOfCaptionButtonsThatGiveNone) {
  struct Case {
    int action, width, height, frames;
    bool drop;
  } cases[] = {
      {0, 60, 20, 3, false},   // ratio 3.0
      {0, 76, 20, 3, false},   // exactly 3.8
      {0, 77, 20, 6, false},
      {0, 120, 20, 6, false},
      {-2, 60, 20, 6, false},  // any Action below 0: 6 whatever the shape
      {2, 0, 0, 6, false},     // no picture
      {3, 60, 20, 3, true},    // the window icon: the picture is not used
      {11, 0, 0, 6, true},
  };
  for (const Case& c : cases) {
    bool drop = !c.drop;
    EXPECT_EQ(CaptionButtonFrames(c.action, c.width, c.height, drop), c.frames) << c.action << " " << c.width;
    EXPECT_EQ(drop, c.drop) << c.action;
  }
}

TEST(SkinIniRules, FramesOfCheckStripsThatGiveNone) {
  struct Case {
    int width, height, frames;
  } cases[] = {{52, 13, 4}, {64, 16, 4}, {160, 16, 10}, {0, 0, 4}, {195, 15, 15}, {10, 40, 4}};
  for (const Case& c : cases) EXPECT_EQ(CheckStripFrames(c.width, c.height), c.frames) << c.width << "x" << c.height;
}

TEST(SkinResources, MenuGlyphsAndTrackGrooves) {
  TPixelImage glyphs = SkinResourceImage("corvanemenu");
  ASSERT_EQ(glyphs.Width(), 64);
  ASSERT_EQ(glyphs.Height(), 16);
  EXPECT_EQ(glyphs.BitsPerPixel(), 1);
  for (int g = 0; g < 4; ++g) {
    int black = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) black += glyphs.PixelRGB(g * 16 + x, y) == 0;
    EXPECT_GT(black, 10) << "glyph " << g;
    EXPECT_LT(black, 128) << "glyph " << g;  // mostly white: the mask
  }
  TPixelImage track = SkinResourceImage("TRACK"), vert = SkinResourceImage("TrackVert");
  ASSERT_EQ(track.Width(), 16);
  ASSERT_EQ(track.Height(), 4);
  ASSERT_EQ(vert.Width(), 4);
  ASSERT_EQ(vert.Height(), 16);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(vert.PixelRGB(y, x), track.PixelRGB(x, y));
  // Sunken: the inner top row is darker than the inner bottom row.
  EXPECT_EQ(track.PixelRGB(8, 1), 0x000000u);
  EXPECT_EQ(track.PixelRGB(8, 3), 0xFFFFFFu);
  EXPECT_TRUE(SkinResourceImage("TRACKS").Empty());
}
