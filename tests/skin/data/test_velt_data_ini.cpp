// The skin INI vocabulary read by TSkinData: a complete test skin into every record, the values of
// the keys through their defaults, clamps and notations, the caption buttons, the rebuilt combo-box
// and tool-bar pictures by their pixels, loads that fail, and Karo's four real skins.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/data/lzh_coder.h"
#include "tests/classlib/graphics/pixel_probe.h"
#include "tests/skin/data/test_velt_data_skin.h"

namespace {

class SkinIniTest : public SkinDataTest {
protected:
  // A main-form component (its load also tells the manager) with the skin loaded from a stream.
  std::unique_ptr<TSkinData> Load(const TTestSkin& skin) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetName("Skin");
    auto s = StreamOf(skin.File());
    data->LoadFromStream(*s);
    return data;
  }
  // A skin of this INI text with the pictures the value cases use.
  static TTestSkin ValueSkin(const std::string& ini) {
    TTestSkin skin;
    skin.Ini = ini;
    skin.Add("a.bmp", Strip(1, 1, 12, 12))
        .Add("r52.bmp", Strip(2, 4, 13, 13))
        .Add("c160.bmp", Strip(3, 10, 16, 16))
        .Add("b60.bmp", Strip(4, 3, 20, 20))
        .Add("b120.bmp", Strip(5, 6, 20, 20))
        .Add("tiny.bmp", Strip(6, 1, 11, 5))
        .Add("bad.bmp", "BM this is no bitmap at all")
        .Add("empty.bmp", "");
    return skin;
  }
  std::unique_ptr<TSkinData> LoadIni(const std::string& ini) { return Load(ValueSkin(ini)); }
};

int IndexOfPicture(const char* section, const char* key) {
  const auto& pictures = CompletePictures();
  for (size_t r = 0; r < pictures.size(); ++r)
    if (std::string(pictures[r].Section) == section && std::string(pictures[r].Key) == key) return int(r);
  ADD_FAILURE() << "no picture " << section << " " << key;
  return -1;
}

// Every frame of the picture shows its own colour at its centre.
void ExpectFrames(TBitmap* map, int r, const char* what) {
  const TTestPicture& p = CompletePictures()[size_t(r)];
  ASSERT_NE(map, nullptr) << what;
  ASSERT_EQ(map->Width(), p.Stacked ? p.FrameWidth : p.FrameWidth * p.Frames) << what;
  ASSERT_EQ(map->Height(), p.Stacked ? p.FrameHeight * p.Frames : p.FrameHeight) << what;
  for (int k = 1; k <= p.Frames; ++k) {
    const int x = p.Stacked ? p.FrameWidth / 2 : (k - 1) * p.FrameWidth + p.FrameWidth / 2;
    const int y = p.Stacked ? (k - 1) * p.FrameHeight + p.FrameHeight / 2 : p.FrameHeight / 2;
    EXPECT_EQ(PixelOf(*map, x, y), FrameColor(r, k)) << what << " frame " << k;
  }
}

}  // namespace

TEST_F(SkinIniTest, CompleteSkinFillsEveryRecord) {
  auto data = Load(CompleteSkin());
  TSkinData& d = *data;
  ASSERT_FALSE(d.NoSkinLoaded);
  EXPECT_EQ(d.SkinName, "Complete");

  struct Record {
    const char* section;
    const char* key;
    std::function<TDataSkinObject*(TSkinData&)> record;
    std::function<TBitmap*(TSkinData&)> map;
    int frames;
  };
  auto plain = [](auto field) {
    return [field](TSkinData& s) -> TDataSkinObject* { return (s.*field).get(); };
  };
  auto mapOf = [](auto field) {
    return [field](TSkinData& s) -> TBitmap* { return (s.*field) ? (s.*field)->Map.get() : nullptr; };
  };
  auto border = [](int i) { return [i](TSkinData& s) -> TDataSkinObject* { return s.Borders[size_t(i)].get(); }; };
  auto borderMap = [](int i) { return [i](TSkinData& s) { return s.Borders[size_t(i)]->Map.get(); }; };
  const Record records[] = {
      {"Personality", "Left", border(sbLeft), borderMap(sbLeft), 2},
      {"Personality", "Right", border(sbRight), borderMap(sbRight), 2},
      {"Personality", "Top", border(sbTop), borderMap(sbTop), 2},
      {"Personality", "Bottom", border(sbBottom), borderMap(sbBottom), 2},
      {"Personality", "TextBack", plain(&TSkinData::Title), mapOf(&TSkinData::Title), 2},
      {"Personality", "menuBar", plain(&TSkinData::MenuBar), mapOf(&TSkinData::MenuBar), 2},
      {"Buttons", "Bitmap", plain(&TSkinData::Buttons), mapOf(&TSkinData::Buttons), 5},
      {"ButtonClose", "ButtonImage", [](TSkinData& s) -> TDataSkinObject* { return s.SysButtons.at(0).get(); },
       [](TSkinData& s) { return s.SysButtons.at(0)->Map.get(); }, 4},
      {"Progress", "Bitmap", plain(&TSkinData::Progress), mapOf(&TSkinData::Progress), 2},
      {"Progress.Chunk", "Image", plain(&TSkinData::ProgressChunk), mapOf(&TSkinData::ProgressChunk), 1},
      {"GroupBoxEdge", "Image", plain(&TSkinData::GroupBoxEdge), mapOf(&TSkinData::GroupBoxEdge), 2},
      {"GroupBox", "Image", plain(&TSkinData::GroupBox), mapOf(&TSkinData::GroupBox), 1},
      {"Tabs", "Image", plain(&TSkinData::Tabs), mapOf(&TSkinData::Tabs), 5},
      {"Tabs", "Border", plain(&TSkinData::Tabs), [](TSkinData& s) { return s.Tabs->Map2.get(); }, 5},
      {"StatusBarEdges", "Image", plain(&TSkinData::StatusBarEdges), mapOf(&TSkinData::StatusBarEdges), 3},
      {"Tab.Pane", "Image", plain(&TSkinData::TabPane), mapOf(&TSkinData::TabPane), 1},
      {"ToolBars", "Image", plain(&TSkinData::ToolBars), mapOf(&TSkinData::ToolBars), 5},
      {"ExtraImages", "Image", plain(&TSkinData::ExtraImages), mapOf(&TSkinData::ExtraImages), 5},
      {"Headerbar", "Image", plain(&TSkinData::Headerbar), mapOf(&TSkinData::Headerbar), 5},
      {"MenuItem", "Image", plain(&TSkinData::MenuItem), mapOf(&TSkinData::MenuItem), 5},
      {"MenuBackground", "Image", plain(&TSkinData::MenuBackground), mapOf(&TSkinData::MenuBackground), 1},
      {"Scrollbar", "Image", plain(&TSkinData::Scrollbar), mapOf(&TSkinData::Scrollbar), 23},
      {"HorzScroll", "Image", plain(&TSkinData::HorzScroll), mapOf(&TSkinData::HorzScroll), 4},
      {"VertScroll", "Image", plain(&TSkinData::VertScroll), mapOf(&TSkinData::VertScroll), 4},
      {"HorzScrollThumb", "Image", plain(&TSkinData::HorzScrollThumb), mapOf(&TSkinData::HorzScrollThumb), 3},
      {"VertScrollThumb", "Image", plain(&TSkinData::VertScrollThumb), mapOf(&TSkinData::VertScrollThumb), 3},
      {"Trackbar.ThumbHorz", "Image", plain(&TSkinData::ThumbHorz), mapOf(&TSkinData::ThumbHorz), 5},
      {"Trackbar.ThumbVert", "Image", plain(&TSkinData::ThumbVert), mapOf(&TSkinData::ThumbVert), 5},
      {"Trackbar.ThumbLeft", "Image", plain(&TSkinData::ThumbLeft), mapOf(&TSkinData::ThumbLeft), 5},
      {"Trackbar.ThumbRight", "Image", plain(&TSkinData::ThumbRight), mapOf(&TSkinData::ThumbRight), 5},
      {"Trackbar.ThumbUp", "Image", plain(&TSkinData::ThumbUp), mapOf(&TSkinData::ThumbUp), 5},
      {"Trackbar.ThumbDown", "Image", plain(&TSkinData::ThumbDown), mapOf(&TSkinData::ThumbDown), 5},
      {"UpDown.Horz", "Image", plain(&TSkinData::UpDownHorz), mapOf(&TSkinData::UpDownHorz), 8},
      {"UpDown.Horz", "GlyphImage", plain(&TSkinData::UpDownHorz), [](TSkinData& s) { return s.UpDownHorz->Map2.get(); }, 8},
      {"UpDown.Vert", "Image", plain(&TSkinData::UpDownVert), mapOf(&TSkinData::UpDownVert), 8},
      {"UpDown.Vert", "GlyphImage", plain(&TSkinData::UpDownVert), [](TSkinData& s) { return s.UpDownVert->Map2.get(); }, 8},
      {"Track", "Image", plain(&TSkinData::Track), mapOf(&TSkinData::Track), 1},
      {"TRACKVERT", "Image", plain(&TSkinData::TrackVert), mapOf(&TSkinData::TrackVert), 1},
  };
  for (const Record& r : records) {
    SCOPED_TRACE(std::string(r.section) + " " + r.key);
    TDataSkinObject* rec = r.record(d);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->Frame, r.frames);
    ExpectFrames(r.map(d), IndexOfPicture(r.section, r.key), r.key);
  }
  EXPECT_EQ(d.Tabs->Name, "Tabs");
  EXPECT_EQ(d.TabPane->Name, "Tab.Pane");
  EXPECT_EQ(d.MenuBar->Name, "Personality");
  EXPECT_EQ(d.Borders[sbTop]->Name, "Top");

  // Check and radio strips: their frame counts follow from their sizes.
  ExpectFrames(d.Buttons->CheckMap.get(), IndexOfPicture("Buttons", "CheckButton"), "CheckButton");
  ExpectFrames(d.Buttons->RadioMap.get(), IndexOfPicture("Buttons", "RadioButton"), "RadioButton");
  EXPECT_EQ(d.Buttons->CheckButtonFrame, 4);
  EXPECT_EQ(d.Buttons->RadioButtonFrame, 10);

  // Caption buttons: the two sections, then the maximised MDI child's three, cut from one picture.
  ASSERT_EQ(d.SysButtons.size(), 5u);
  EXPECT_EQ(d.SysButtons[0]->Name, "BUTTONCLOSE");
  EXPECT_EQ(d.SysButtons[0]->Xcoord, 30);
  EXPECT_EQ(d.SysButtons[0]->Align, 1);
  EXPECT_EQ(d.SysButtons[0]->CombineOp, -1);
  EXPECT_EQ(d.SysButtons[1]->Name, "BUTTONICON");
  EXPECT_EQ(d.SysButtons[1]->Frame, 6);
  EXPECT_TRUE(d.SysButtons[1]->Map->Empty());
  const int mdi = IndexOfPicture("MDICONTROLS", "Image");
  for (int i = 0; i < 3; ++i) {
    TDataSkinSysButton& b = *d.SysButtons[size_t(2 + i)];
    EXPECT_EQ(b.Action, 7 + i);
    EXPECT_EQ(b.Frame, 4);
    EXPECT_EQ(b.Align, 100);
    EXPECT_EQ(b.Visibility, 100);
    EXPECT_EQ(b.Visibility1, 100);
    EXPECT_EQ(b.Xcoord, (16 + 4) * (3 - i));
    ASSERT_EQ(b.Map->Width(), 64);
    ASSERT_EQ(b.Map->Height(), 14);
    for (int f = 0; f < 4; ++f) EXPECT_EQ(PixelOf(*b.Map, f * 16 + 8, 7), FrameColor(mdi, 4 * i + f + 1)) << i;
  }

  // Values beside the pictures.
  EXPECT_EQ(d.Colors[csButtonFace], MakeColor(250, 243, 223));
  EXPECT_EQ(d.Colors[csMenuBar], MakeColor(250, 243, 223));  // the ButtonFace just read
  EXPECT_EQ(d.Colors[csButtonText], MakeColor(46, 36, 16));
  EXPECT_EQ(d.PreColors, std::vector<TColor>{MakeColor(1, 2, 3)});
  EXPECT_EQ(d.CustomColors[3], MakeColor(9, 8, 7));
  EXPECT_EQ(d.CustomColors[0], clWhite);
  EXPECT_EQ(d.Title->FontHeight, 12);
  EXPECT_EQ(d.Title->Margins, Rect(21, 0, 0, 0));
  EXPECT_EQ(d.Title->ActiveText, MakeColor(1, 2, 3));
  EXPECT_EQ(d.Title->InActiveText, kTitleColourNotGiven);
  EXPECT_EQ(d.Borders[sbLeft]->Margins, Rect(0, 20, 0, 4));
  EXPECT_EQ(d.Borders[sbTop]->Margins, Rect(10, 0, 11, 0));
  EXPECT_EQ(d.Borders[sbTop]->Trans, 0);
  EXPECT_EQ(d.Borders[sbLeft]->Trans, 1);
  EXPECT_EQ(d.Borders[sbLeft]->Tile, 1);
  EXPECT_EQ(d.Tabs->Margins.Left, 3);
  // The caption colour: the Top border at a third of its width and of its first frame.
  EXPECT_EQ(d.Colors[csCaption], TColor(FrameColor(IndexOfPicture("Personality", "Top"), 1)));
  EXPECT_EQ(d.GetCaptionColor(), d.Colors[csCaption]);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(d.FaceBrush.get(), sizeof(lb), &lb));
  EXPECT_EQ(lb.lbColor, RGB(250, 243, 223));
  // The combo button's mirrored copy is made from its picture as read.
  const int combo = IndexOfPicture("ComboButton", "Image");
  ASSERT_EQ(d.ComboButton->Map2->Width(), 68);
  EXPECT_EQ(PixelOf(*d.ComboButton->Map2, 8, 10), FrameColor(combo, 4));
  EXPECT_EQ(PixelOf(*d.ComboButton->Map2, 67 - 8, 10), FrameColor(combo, 1));
}

TEST_F(SkinIniTest, EmptyIniGivesTheDefaultSkin) {
  auto data = LoadIni("; nothing but a comment\r\n");
  TSkinData& d = *data;
  EXPECT_FALSE(d.NoSkinLoaded);
  EXPECT_EQ(d.Colors[csText], clWindowText);
  EXPECT_EQ(d.Colors[csButtonFace], clBtnFace);
  EXPECT_EQ(d.Colors[csMenuBar], clBtnFace);
  EXPECT_EQ(d.Colors[csButtonlight], clBtnHighlight);
  EXPECT_EQ(d.Colors[csTitleTextNoActive], clInactiveCaptionText);
  EXPECT_EQ(d.Colors[csCaption], clBtnFace);  // no Top picture
  for (auto& b : d.Borders) {
    EXPECT_TRUE(b->Map->Empty());
    EXPECT_EQ(b->Frame, 1);
    EXPECT_EQ(b->Tile, 1);
    EXPECT_EQ(b->Trans, 1);
  }
  EXPECT_TRUE(d.Buttons->Map->Empty());
  EXPECT_TRUE(d.Title->Map->Empty());
  EXPECT_EQ(d.Title->FontHeight, 14);
  ASSERT_EQ(d.SysButtons.size(), 3u);
  for (auto& b : d.SysButtons) EXPECT_TRUE(b->Map->Empty());
  EXPECT_TRUE(d.PreColors.empty());
  for (TColor c : d.CustomColors) EXPECT_EQ(c, clWhite);
  for (TDataSkinObject* r : {static_cast<TDataSkinObject*>(d.Tabs.get()), d.SunkEdge.get(),
                             static_cast<TDataSkinObject*>(d.ComboButton.get()), d.MenuBar.get(), d.MenuItem.get(),
                             d.Scrollbar.get(), static_cast<TDataSkinObject*>(d.Progress.get()), d.Headerbar.get(),
                             static_cast<TDataSkinObject*>(d.GroupBox.get()), d.ThumbHorz.get()})
    EXPECT_EQ(r, nullptr);
  // The library's own grooves stand in for the track pictures.
  ASSERT_TRUE(d.Track && d.TrackVert);
  EXPECT_EQ(d.Track->Name, "TRACK");
  EXPECT_EQ(d.Track->Map->Width(), 16);
  EXPECT_EQ(d.Track->Map->Height(), 4);
  EXPECT_EQ(d.TrackVert->Map->Width(), 4);
  EXPECT_EQ(d.TrackVert->Map->Height(), 16);
  EXPECT_EQ(d.Track->Margins, Rect(3, 3, 3, 3));
  EXPECT_EQ(d.Track->Frame, 1);
  ASSERT_TRUE(d.ComboxArrow);
  EXPECT_TRUE(d.ComboxArrow->Map->Empty());
  ASSERT_TRUE(d.Toolbar);
  EXPECT_EQ(d.Toolbar->Map->Width(), 10);
  EXPECT_EQ(d.Toolbar->Map->Height(), 40);
}

TEST_F(SkinIniTest, KeyValuesThroughDefaultsClampsAndNotations) {
  struct Case {
    const char* what;
    const char* ini;
    std::function<void(TSkinData&)> check;
  };
  const Case cases[] = {
      {"generic Tile above 1 or below 0 is 0, 1 stays", "[MenuItem]\nImage=a.bmp\nTile=2\n[Headerbar]\nImage=a.bmp\nTile=-3\n[Scrollbar]\nImage=a.bmp\nTile=1",
       [](TSkinData& d) {
         EXPECT_EQ(d.MenuItem->Tile, 0);
         EXPECT_EQ(d.Headerbar->Tile, 0);
         EXPECT_EQ(d.Scrollbar->Tile, 1);
       }},
      {"Progress Tile above 1 is 1", "[Progress]\nBitmap=a.bmp\nTile=2\nStyle=1",
       [](TSkinData& d) {
         EXPECT_EQ(d.Progress->Tile, 1);
         EXPECT_EQ(d.Progress->Frame, 1);  // a Style of its own: one frame
       }},
      {"TileMenu 5 is 1; its ends default to 1", "[Personality]\nmenuBar=a.bmp\nTileMenu=5",
       [](TSkinData& d) {
         EXPECT_EQ(d.MenuBar->Tile, 1);
         EXPECT_EQ(d.MenuBar->Margins, Rect(1, 0, 1, 0));
       }},
      {"border Stretch 3 is 1 and -2 is 0", "[Personality]\nLeftStretch=3\nTopStretch=-2",
       [](TSkinData& d) {
         EXPECT_EQ(d.Borders[sbLeft]->Tile, 1);
         EXPECT_EQ(d.Borders[sbTop]->Tile, 0);
         EXPECT_EQ(d.Borders[sbRight]->Tile, 1);
       }},
      {"Tab.Pane margins above 4 are 4", "[Tab.Pane]\nImage=a.bmp\nLeftWidth=9\nTopHeight=2\nRightWidth=4\nBottomHeight=5",
       [](TSkinData& d) { EXPECT_EQ(d.TabPane->Margins, Rect(4, 2, 4, 4)); }},
      {"negative margins are 0",
       "[Headerbar]\nImage=a.bmp\nLeftWidth=-5\nTopHeight=-1\nRightWidth=3\n[Personality]\nLeftTopHeight=-4\n"
       "TopBotHeight=-1\nTXTBackleft=-2\nTextShift=-3\n[Buttons]\nLeftWidth=-2\nRightWidth=2",
       [](TSkinData& d) {
         EXPECT_EQ(d.Headerbar->Margins, Rect(0, 0, 3, 0));
         EXPECT_EQ(d.Borders[sbLeft]->Margins.Top, 0);
         EXPECT_EQ(d.Borders[sbTop]->Margins.Right, 0);
         EXPECT_EQ(d.Title->TXTBackleft, 0);
         EXPECT_EQ(d.Title->Margins.Left, -3);  // a text offset, not a slice
         EXPECT_EQ(d.Buttons->Margins, Rect(0, 0, 2, 0));
       }},
      {"integer colours in hexadecimal, second colours as RGB text",
       "[MenuItem]\nImage=a.bmp\nNormalColour=0x0000FF\nMouseOverColour=$FF00\nNormalColour2=255, 0 0\n"
       "[Colours]\nButtonText=1 2 3",
       [](TSkinData& d) {
         EXPECT_EQ(d.MenuItem->NormalColour, 255);
         EXPECT_EQ(d.MenuItem->MouseOverColour, 0xFF00);
         EXPECT_EQ(d.MenuItem->PressedColour, -1);
         EXPECT_EQ(d.MenuItem->NormalColour2, clRed);
         EXPECT_EQ(d.MenuItem->MouseOverColour2, MakeColor(1, 2, 3));  // ButtonText as just read
       }},
      {"frame counts below 1 are 1",
       "[Track]\nImage=a.bmp\nFrame=0\n[Progress.Chunk]\nImage=a.bmp\nFrame=-3\n[Personality]\nLeftFrame=0\n"
       "[HorzScrollThumb]\nImage=a.bmp\nFrameCount=0\n[VertScrollThumb]\nImage=a.bmp\nFrameCount=7\n"
       "[Buttons]\nRadioButtonFrame=-1\n[ButtonZero]\nframe=-2",
       [](TSkinData& d) {
         EXPECT_EQ(d.Track->Frame, 1);
         EXPECT_EQ(d.ProgressChunk->Frame, 1);
         EXPECT_EQ(d.Borders[sbLeft]->Frame, 1);
         EXPECT_EQ(d.HorzScrollThumb->Frame, 1);
         EXPECT_EQ(d.VertScrollThumb->Frame, 7);
         EXPECT_EQ(d.Buttons->RadioButtonFrame, 1);
         EXPECT_EQ(d.SysButtons.at(0)->Frame, 1);
       }},
      {"Headerbar keeps a count it is given", "[Headerbar]\nImage=a.bmp\nFrame=3",
       [](TSkinData& d) { EXPECT_EQ(d.Headerbar->Frame, 3); }},
      {"Headerbar without a count has 5", "[Headerbar]\nImage=a.bmp", [](TSkinData& d) { EXPECT_EQ(d.Headerbar->Frame, 5); }},
      {"check and radio counts from the strips' sizes unless given",
       "[Buttons]\nRadioButton=r52.bmp\nCheckButton=c160.bmp",
       [](TSkinData& d) {
         EXPECT_EQ(d.Buttons->RadioButtonFrame, 4);
         EXPECT_EQ(d.Buttons->CheckButtonFrame, 10);
       }},
      {"a check count that is given stays", "[Buttons]\nCheckButton=c160.bmp\nCheckButtonFrame=12",
       [](TSkinData& d) { EXPECT_EQ(d.Buttons->CheckButtonFrame, 12); }},
      {"the second colours of the push buttons say whether they were given",
       "[Buttons]\nNormalColour2=1 1 1\nPressedColour2=",
       [](TSkinData& d) {
         EXPECT_TRUE(d.Buttons->HasNormalColour2);
         EXPECT_FALSE(d.Buttons->HasMouseOverColour2);
         EXPECT_FALSE(d.Buttons->HasPressedColour2);
         EXPECT_EQ(d.Buttons->NormalColour2, MakeColor(1, 1, 1));
         EXPECT_EQ(d.Buttons->PressedColour2, clBtnText);
       }},
      {"pictures: exact .bmp, the bare file name, and nothing for what is missing or damaged",
       "[MenuItem]\nImage=A.BMP\n[MenuBackground]\nImage=c:\\skins\\old/a.bmp\n[Headerbar]\nImage=a.gif\n"
       "[Scrollbar]\nImage=missing.bmp\n[HorzScroll]\nImage=bad.bmp\n[VertScroll]\nImage=empty.bmp\n"
       "[ToolBars]\nStyle=1\n[Personality]\nLeft=bad.bmp",
       [](TSkinData& d) {
         ASSERT_TRUE(d.MenuItem && d.MenuBackground && d.Headerbar && d.Scrollbar && d.HorzScroll && d.VertScroll);
         EXPECT_TRUE(d.MenuItem->Map->Empty());
         EXPECT_EQ(d.MenuBackground->Map->Width(), 12);
         EXPECT_TRUE(d.Headerbar->Map->Empty());
         EXPECT_TRUE(d.Scrollbar->Map->Empty());
         EXPECT_TRUE(d.HorzScroll->Map->Empty());
         EXPECT_TRUE(d.VertScroll->Map->Empty());
         EXPECT_EQ(d.ToolBars, nullptr);  // no Image key: no record
         EXPECT_TRUE(d.Borders[sbLeft]->Map->Empty());
       }},
      {"scheme colours: defaults, the menu bar after the button face, colours no skin gives",
       "[Colours]\nButtonFace=1 2 3\nMenuText=\nHilight=7 8",
       [](TSkinData& d) {
         EXPECT_EQ(d.Colors[csMenuBar], MakeColor(1, 2, 3));
         EXPECT_EQ(d.Colors[csMenuText], clMenuText);
         EXPECT_EQ(d.Colors[csHilight], MakeColor(7, 0, 0));  // two numbers: red and green 0
         EXPECT_EQ(d.Colors[csScrollbar], clScrollBar);
         EXPECT_EQ(d.Colors[csSelectText], 0x123456);
       }},
      {"extra colours from every COLOUR section but COLOURS",
       "[Colour]\ncolor=1 1 1\n[COLOURS]\nWindowText=2 2 2\n[colours2]\n[Colour7]\nColor=3 3 3\n[Customcolors]\nColor9=4 4 4",
       [](TSkinData& d) {
         EXPECT_EQ(d.PreColors, (std::vector<TColor>{MakeColor(1, 1, 1), clWindowText, MakeColor(3, 3, 3)}));
         EXPECT_EQ(d.Colors[csText], MakeColor(2, 2, 2));  // the section look-up ignores case
         EXPECT_EQ(d.CustomColors[9], MakeColor(4, 4, 4));
         TColor c = 0;
         EXPECT_TRUE(d.GetPrecolor(c, 2));
         EXPECT_EQ(c, MakeColor(3, 3, 3));
         EXPECT_FALSE(d.GetPrecolor(c, 3));
         EXPECT_FALSE(d.GetPrecolor(c, -1));
       }},
      {"caption text colours only as whole triples, each byte taken low",
       "[Personality]\nActiveTextR=300\nActiveTextG=20\nActiveTextB=30\nInActiveTextR=1\nInActiveTextG=-1\nInActiveTextB=3",
       [](TSkinData& d) {
         EXPECT_EQ(d.Title->ActiveText, MakeColor(44, 20, 30));
         EXPECT_EQ(d.Title->InActiveText, kTitleColourNotGiven);
       }},
      {"numbers no picture fits, and pictures too small for what is cut from them",
       "[Track]\nImage=a.bmp\nFrame=2147483647\nLeftWidth=2147483647\nRightWidth=-2147483648\n"
       "[MDICONTROLS]\nImage=tiny.bmp\n[Personality]\nTopFrame=-2147483648\nTop=a.bmp\n"
       "[ComboButton]\nImage=a.bmp\n[SunkEdge]\nImage=a.bmp\n[ExtraImages]\nImage=a.bmp",
       [](TSkinData& d) {
         EXPECT_EQ(d.Track->Frame, 2147483647);
         EXPECT_EQ(d.Track->Margins, Rect(2147483647, 0, 0, 0));
         EXPECT_TRUE(d.SysButtons.at(0)->Map->Empty());  // 12 pixels: no room for 12 frames
         EXPECT_EQ(d.Borders[sbTop]->Frame, 1);
         EXPECT_EQ(d.ComboButton->Map->Width(), 200);
         EXPECT_EQ(d.ComboxArrow->Map->Width(), 68);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto data = std::make_unique<TSkinData>(nullptr);
    data->Colors[csSelectText] = 0x123456;
    auto s = StreamOf(ValueSkin(c.ini).File());
    data->LoadFromStream(*s);
    ASSERT_FALSE(data->NoSkinLoaded);
    c.check(*data);
  }
}

TEST_F(SkinIniTest, CaptionButtonsFromTheirSections) {
  auto data = LoadIni(
      "[Button]\nButtonImage=b60.bmp\n[Buttons]\n[Button.Radio]\nAction=1\n"
      "[ButtonClose]\nButtonImage=b60.bmp\n"
      "[ButtonWide]\nButtonImage=b120.bmp\n"
      "[ButtonNeg]\nAction=-2\nButtonImage=b60.bmp\n"
      "[ButtonIcon]\nAction=3\nButtonImage=b60.bmp\n"
      "[ButtonGiven]\nAction=11\nframe=2\nButtonImage=b60.bmp\n"
      "[ButtonX]\nAction=-1\nButtonImage=b60.bmp\n"
      "[ButtonY]\nAction=-1\nVisibility=0\n"
      "[ButtonHelp0]\nAction=4\nXcoord=77\nYcoord=6\n"
      "[ButtonMax]\nAction=1\nVisibility=2\nXcoord=40\nYcoord=5\nCombineOp=2\n"
      "[ButtonHelp]\nAction=4\nXcoord=99\nYcoord=9\n");
  TSkinData& d = *data;
  std::vector<std::string> names;
  for (auto& b : d.SysButtons) names.push_back(b->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"BUTTONCLOSE", "BUTTONWIDE", "BUTTONNEG", "BUTTONICON", "BUTTONGIVEN",
                                             "BUTTONY", "BUTTONHELP0", "BUTTONMAX", "BUTTONHELP", "MDICONTROLS",
                                             "MDICONTROLS", "MDICONTROLS"}));
  auto& b = d.SysButtons;
  EXPECT_EQ(b[0]->Frame, 3);  // 60 x 20
  EXPECT_EQ(b[0]->Map->Width(), 60);
  EXPECT_EQ(b[1]->Frame, 6);  // 120 x 20
  EXPECT_EQ(b[2]->Frame, 6);  // Action below 0
  EXPECT_EQ(b[3]->Frame, 3);  // the window icon: counted, then the picture dropped
  EXPECT_TRUE(b[3]->Map->Empty());
  EXPECT_EQ(b[4]->Frame, 2);  // given: picture and count kept
  EXPECT_EQ(b[4]->Map->Width(), 60);
  EXPECT_EQ(b[5]->Visibility1, -1);  // Action -1
  EXPECT_EQ(b[0]->Visibility1, 0);
  EXPECT_EQ(b[6]->Xcoord, 77);  // no maximise button before it: its own place
  EXPECT_EQ(b[6]->Ycoord, 6);
  EXPECT_EQ(b[7]->CombineOp, 2);
  EXPECT_EQ(b[8]->Xcoord, 40);  // stands where the maximise button is
  EXPECT_EQ(b[8]->Ycoord, 5);
  EXPECT_EQ(b[8]->CombineOp, -1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b[size_t(9 + i)]->Action, 7 + i);
    EXPECT_TRUE(b[size_t(9 + i)]->Map->Empty());  // no MDICONTROLS picture
  }
}

TEST_F(SkinIniTest, RebuiltComboBoxPicturesByTheirPixels) {
  const int bw = GetSystemMetrics(SM_CXHSCROLL) + 2;  // the drop-down button's width
  // The frame: a 3-pixel edge in its state's colour around a magenta field; frame 2 and 4 also
  // key out their top-left pixel. The button: one colour per state. The arrow: a 3 x 3 dot.
  TTestSkin skin;
  skin.Ini =
      "[SunkEdge]\nImage=sunk.bmp\nLeftWidth=3\nRightWidth=3\nTopHeight=3\nBottomHeight=3\nTrans=1\n"
      "[ComboButton]\nImage=button.bmp\n[ExtraImages]\nImage=extra.bmp\nTrans=1\n";
  skin.Add("sunk.bmp", Bmp(80, 21, [](int x, int y) {
    const int k = 1 + x / 20, fx = x % 20;
    if (fx == 0 && y == 0 && k % 2 == 0) return kKey;
    return fx < 3 || fx >= 17 || y < 3 || y >= 18 ? FrameColor(1, k) : kKey;
  }));
  skin.Add("button.bmp", Strip(2, 4, 17, 21));
  skin.Add("extra.bmp", Bmp(45, 9, [](int x, int y) {
    const int fx = x % 9;
    return fx >= 3 && fx < 6 && y >= 3 && y < 6 ? FrameColor(3, 1 + x / 9) : kKey;
  }));
  auto data = Load(skin);
  TSkinData& d = *data;
  ASSERT_TRUE(d.ComboButton && d.SunkEdge && d.ComboxArrow);
  TDataSkinBorder& button = *d.ComboButton;
  EXPECT_EQ(button.Style, 2);
  EXPECT_EQ(button.Margins, Rect(2, 3, bw + 2, 3));
  ASSERT_EQ(button.Map->Width(), 200);
  ASSERT_EQ(button.Map->Height(), 21);
  EXPECT_EQ(d.SunkEdge->Margins, Rect(bw + 2, 3, 2, 3));
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    const int x0 = 50 * (k - 1);
    TBitmap& m = *button.Map;
    EXPECT_EQ(PixelOf(m, x0 + 1, 10), FrameColor(1, k));              // the frame's left edge
    EXPECT_EQ(PixelOf(m, x0 + 10, 1), FrameColor(1, k));              // its top edge
    EXPECT_EQ(PixelOf(m, x0 + 10, 10), kKey);                         // the text field
    EXPECT_EQ(PixelOf(m, x0 + 2, 2), kKey);
    EXPECT_EQ(PixelOf(m, x0 + 48 - bw, 17), kKey);
    EXPECT_EQ(PixelOf(m, x0 + 50 - bw + 1, 2), FrameColor(2, k));     // the button
    EXPECT_EQ(PixelOf(m, x0 + 49, 20), FrameColor(2, k));
    const int ex = x0 + 50 - bw + (bw - 9) / 2 + 4;                   // the arrow, centred
    EXPECT_EQ(PixelOf(m, ex, 10), FrameColor(3, k));
    EXPECT_EQ(PixelOf(m, ex, 6), FrameColor(2, k));                   // keyed out around it
    // Keyed-out pixels show magenta, never the state drawn before.
    EXPECT_EQ(PixelOf(m, x0, 0), k % 2 == 0 ? kKey : FrameColor(1, k));
    // The frame alone is the same picture mirrored.
    for (int x : {1, 10, 30, 49 - bw + 1, 49})
      for (int y : {0, 2, 10, 20}) ASSERT_EQ(PixelOf(*d.SunkEdge->Map, 199 - (x0 + x), y), PixelOf(m, x0 + x, y));
  }
  // The date-time picker's arrow: a 17-pixel square of each rebuilt state, ending 2 pixels from
  // the right.
  TDataSkinObject& arrow = *d.ComboxArrow;
  EXPECT_EQ(arrow.Frame, 4);
  ASSERT_EQ(arrow.Map->Width(), 68);
  ASSERT_EQ(arrow.Map->Height(), 17);
  for (int i = 0; i < 4; ++i)
    for (int y : {0, 8, 16})
      for (int x : {0, 8, 16}) ASSERT_EQ(PixelOf(*arrow.Map, 17 * i + x, y), PixelOf(*button.Map, 50 * (i + 1) - 19 + x, 2 + y));
}

TEST_F(SkinIniTest, ComboArrowWithoutASunkenEdgeIsTheButtonOnTheButtonFace) {
  TTestSkin skin;
  skin.Ini = "[ComboButton]\nImage=button.bmp\n";
  skin.Add("button.bmp", Bmp(68, 21, [](int x, int y) { return y < 5 ? kKey : FrameColor(2, 1 + x / 17); }));
  auto data = Load(skin);
  TSkinData& d = *data;
  EXPECT_EQ(d.ComboButton->Style, 0);  // not rebuilt
  ASSERT_EQ(d.ComboxArrow->Map->Width(), 68);
  EXPECT_EQ(d.ComboxArrow->Frame, 4);
  // The skin gives no ButtonFace: the system's, resolved.
  EXPECT_EQ(PixelOf(*d.ComboxArrow->Map, 30, 2), uint32_t(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(PixelOf(*d.ComboxArrow->Map, 30, 10), FrameColor(2, 2));
  // A sunken edge without a button: nothing to build from.
  skin.Ini = "[SunkEdge]\nImage=button.bmp\n";
  auto other = Load(skin);
  EXPECT_TRUE(other->ComboxArrow->Map->Empty());
  EXPECT_EQ(other->SunkEdge->Map->Width(), 68);
}

TEST_F(SkinIniTest, ToolbarGradientFromTheCaptionColour) {
  struct Case {
    uint32_t caption;
    uint32_t top, bottom;
  } cases[] = {
      {MakeColor(200, 40, 40), MakeColor(254, 253, 250), MakeColor(227, 142, 142)},    // saturated: towards white
      {MakeColor(200, 200, 200), MakeColor(254, 253, 250), MakeColor(190, 190, 190)},  // grey: mixed with 0x808080
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    TTestSkin skin;
    skin.Ini = "[Personality]\nTop=top.bmp\nTopFrame=2\n[Colours]\nButtonFace=250 243 223\n";
    skin.Add("top.bmp", Bmp(30, 24, [&](int, int y) { return y < 12 ? c.caption : 0x00FF00u; }));
    auto data = Load(skin);
    EXPECT_EQ(data->Colors[csCaption], TColor(c.caption));
    TBitmap& m = *data->Toolbar->Map;
    ASSERT_EQ(m.Width(), 10);
    ASSERT_EQ(m.Height(), 40);
    EXPECT_EQ(data->Toolbar->Frame, 1);
    for (int x : {0, 9}) {
      EXPECT_EQ(PixelOf(m, x, 0), c.top);
      EXPECT_EQ(PixelOf(m, x, 39), c.bottom);
    }
  }
}

TEST_F(SkinIniTest, FailedLoadsKeepTheSkinReadBefore) {
  auto data = Load(CompleteSkin());
  TSkinData& d = *data;
  ASSERT_FALSE(d.NoSkinLoaded);
  TDataSkinBorder* top = d.Borders[sbTop].get();
  TDataSkinBorder* tabs = d.Tabs.get();
  TBitmap* tabsMap = d.Tabs->Map.get();
  auto expectOld = [&] {
    EXPECT_TRUE(d.NoSkinLoaded);  // new windows stay unskinned ...
    EXPECT_EQ(d.SkinName, "Complete");  // ... and the windows skinned before keep a whole skin
    EXPECT_EQ(d.Tabs.get(), tabs);
    EXPECT_EQ(d.Tabs->Map.get(), tabsMap);
    EXPECT_EQ(d.Tabs->Map->Width(), 120);
    EXPECT_EQ(d.SysButtons.size(), 5u);
    EXPECT_FALSE(d.Borders[sbTop]->Map->Empty());
  };
  // A damaged image: the coder's error reaches the caller.
  std::string damaged("\xff\xff\xff\x7f\x01\x02\x03\x04", 8);
  auto s1 = StreamOf(damaged);
  EXPECT_THROW(d.LoadFromStream(*s1), ElzhException);
  expectOld();
  // An archive of another version: the reader's box, then no skin.
  std::string archive = CompleteSkin().Archive();
  archive[0] = char(0x39);
  archive[1] = char(0x30);
  auto s2 = StreamOf(CompressImage(archive));
  d.LoadFromStream(*s2);
  EXPECT_EQ(Messages.size(), 1u);
  expectOld();
  // An archive without an INI text holds no skin.
  TTestSkin noIni = CompleteSkin();
  std::vector<TSkinArchiveEntry> pictures = noIni.Pictures;
  auto s3 = StreamOf(CompressImage(BuildSkinArchive(pictures)));
  d.LoadFromStream(*s3);
  expectOld();
  EXPECT_FALSE(d.LoadSkin());
  // A good load replaces everything; the records made with the component stay where they are.
  TTestSkin other;
  other.Ini = "[TitlebarSkin]\nSkinName=Other\n";
  auto s4 = StreamOf(other.File());
  d.LoadFromStream(*s4);
  EXPECT_FALSE(d.NoSkinLoaded);
  EXPECT_EQ(d.SkinName, "Other");
  EXPECT_EQ(d.Borders[sbTop].get(), top);
  EXPECT_EQ(d.Borders[sbTop]->Name, "Top");
  EXPECT_TRUE(d.Borders[sbTop]->Map->Empty());
  EXPECT_EQ(d.Tabs, nullptr);
  EXPECT_EQ(d.SysButtons.size(), 3u);
}

// A load that fails part way through the INI, after the name, borders, colours and caption
// buttons of the new skin are read, leaves the skin read before whole.
TEST_F(SkinIniTest, ALoadFailingInsideTheIniKeepsTheSkinReadBefore) {
  auto data = Load(CompleteSkin());
  TSkinData& d = *data;
  ASSERT_FALSE(d.NoSkinLoaded);
  TDataSkinBorder* top = d.Borders[sbTop].get();
  TBitmap* tabsMap = d.Tabs->Map.get();
  const TColor face = d.Colors[csButtonFace];
  const size_t buttons = d.SysButtons.size();
  ASSERT_NE(buttons, 3u);

  TTestSkin other;
  other.Ini = "[TitlebarSkin]\nSkinName=Other\n[Colours]\nButtonFace=$00123456\n";
  int faults = 0;
  SkinIniReadFault = [&] {
    ++faults;
    throw EConvertError("fault inside the INI");
  };
  auto s = StreamOf(other.File());
  EXPECT_THROW(d.LoadFromStream(*s), EConvertError);
  SkinIniReadFault = nullptr;
  EXPECT_EQ(faults, 1);
  EXPECT_EQ(d.SkinName, "Complete");
  EXPECT_EQ(d.Colors[csButtonFace], face);
  EXPECT_EQ(d.SysButtons.size(), buttons);
  EXPECT_EQ(d.Borders[sbTop].get(), top);
  EXPECT_FALSE(d.Borders[sbTop]->Map->Empty());
  EXPECT_EQ(d.Tabs->Map.get(), tabsMap);

  // Without the fault the same skin loads.
  auto again = StreamOf(other.File());
  d.LoadFromStream(*again);
  EXPECT_EQ(d.SkinName, "Other");
  EXPECT_EQ(d.SysButtons.size(), 3u);
}

#ifdef KARO_NATIVE_SKINS_DIR
// Karo's four skins as the native build draws and packs them (skins/skin.ini.in says what each
// record is meant to hold).
TEST_F(SkinIniTest, KarosSkinsHoldEveryRecordWithItsFrames) {
  for (const char* name : {"Yellow", "Azure", "Blue", "Gray"}) {
    SCOPED_TRACE(name);
    const std::string file = std::string(KARO_NATIVE_SKINS_DIR) + "/" + name + ".skn";
    ASSERT_TRUE(FileExists(file)) << file << " is missing: build the native configuration first";
    TSkinData d(nullptr);
    d.LoadFromFile(file);
    ASSERT_FALSE(d.NoSkinLoaded);
    EXPECT_EQ(d.SkinName, name);
    struct Expect {
      const char* what;
      TDataSkinObject* record;
      int frames;
      bool stacked;
    };
    const Expect records[] = {
        {"Left", d.Borders[sbLeft].get(), 2, false},
        {"Right", d.Borders[sbRight].get(), 2, false},
        {"Top", d.Borders[sbTop].get(), 2, true},
        {"Bottom", d.Borders[sbBottom].get(), 2, true},
        {"Title", d.Title.get(), 2, true},
        {"MenuBar", d.MenuBar.get(), 2, true},
        {"Buttons", d.Buttons.get(), 5, false},
        {"Tabs", d.Tabs.get(), 5, false},
        {"TabPane", d.TabPane.get(), 1, false},
        {"GroupBoxEdge", d.GroupBoxEdge.get(), 2, false},
        {"StatusBarEdges", d.StatusBarEdges.get(), 3, false},
        {"ExtraImages", d.ExtraImages.get(), 5, false},
        {"ComboButton", d.ComboButton.get(), 4, false},
        {"SunkEdge", d.SunkEdge.get(), 4, false},
        {"ComboxArrow", d.ComboxArrow.get(), 4, false},
        {"Headerbar", d.Headerbar.get(), 5, false},
        {"MenuItem", d.MenuItem.get(), 5, false},
        {"MenuBackground", d.MenuBackground.get(), 1, false},
        {"Scrollbar", d.Scrollbar.get(), 23, false},
        {"HorzScroll", d.HorzScroll.get(), 4, false},
        {"VertScroll", d.VertScroll.get(), 4, false},
        {"HorzScrollThumb", d.HorzScrollThumb.get(), 3, false},
        {"VertScrollThumb", d.VertScrollThumb.get(), 3, false},
        {"Track", d.Track.get(), 1, false},
        {"TrackVert", d.TrackVert.get(), 1, false},
        {"ThumbHorz", d.ThumbHorz.get(), 5, false},
        {"ThumbVert", d.ThumbVert.get(), 5, false},
        {"UpDownHorz", d.UpDownHorz.get(), 8, false},
        {"UpDownVert", d.UpDownVert.get(), 8, false},
        {"Progress", d.Progress.get(), 2, false},
        {"ProgressChunk", d.ProgressChunk.get(), 1, false},
        {"Toolbar", d.Toolbar.get(), 1, false},
    };
    for (const Expect& e : records) {
      ASSERT_NE(e.record, nullptr) << e.what;
      EXPECT_EQ(e.record->Frame, e.frames) << e.what;
      ASSERT_FALSE(e.record->Map->Empty()) << e.what;
      EXPECT_EQ((e.stacked ? e.record->Map->Height() : e.record->Map->Width()) % e.frames, 0) << e.what;
    }
    EXPECT_EQ(d.ComboButton->Style, 2);
    EXPECT_FALSE(d.Tabs->Map2->Empty());
    EXPECT_FALSE(d.UpDownHorz->Map2->Empty());
    EXPECT_FALSE(d.UpDownVert->Map2->Empty());
    EXPECT_EQ(d.Buttons->CheckButtonFrame, 12);
    EXPECT_EQ(d.Buttons->RadioButtonFrame, 8);
    EXPECT_FALSE(d.Buttons->CheckMap->Empty());
    EXPECT_FALSE(d.Buttons->RadioMap->Empty());
    for (TDataSkinObject* none : {static_cast<TDataSkinObject*>(d.GroupBox.get()), d.ToolBars.get(), d.ThumbLeft.get(),
                                  d.ThumbRight.get(), d.ThumbUp.get(), d.ThumbDown.get(), d.MinCaption.get()})
      EXPECT_EQ(none, nullptr);
    // The icon, close, maximise, restore, minimise and help buttons, then the MDI child's three.
    ASSERT_EQ(d.SysButtons.size(), 9u);
    EXPECT_EQ(d.SysButtons[0]->Name, "BUTTONICON");
    EXPECT_TRUE(d.SysButtons[0]->Map->Empty());
    for (size_t i = 1; i < 9; ++i) {
      EXPECT_EQ(d.SysButtons[i]->Frame, 4) << d.SysButtons[i]->Name;
      EXPECT_FALSE(d.SysButtons[i]->Map->Empty()) << d.SysButtons[i]->Name;
      EXPECT_EQ(d.SysButtons[i]->Map->Width() % 4, 0) << d.SysButtons[i]->Name;
    }
    EXPECT_EQ(d.SysButtons[8]->Action, 9);
  }
}
#endif
