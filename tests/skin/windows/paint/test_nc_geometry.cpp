#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/windows/paint/nc_geometry.h"

static std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << "(" << r.Left << ", " << r.Top << ")-(" << r.Right << ", " << r.Bottom << ")";
}

namespace {

TEST(SkinFrameBorders, SidesBySideFramesTopAndBottomByStackedOnes) {
  struct Case {
    TStripSize left, top, right, bottom;
    int menu;
    bool noCaption;
    TFrameBorders expected;
  } cases[] = {
      {{8, 100, 2}, {200, 60, 2}, {10, 100, 2}, {40, 12, 2}, 19, false, {4, 30, 5, 6, 19}},
      {{8, 100, 1}, {200, 30, 1}, {8, 100, 1}, {40, 6, 1}, 0, false, {8, 30, 8, 6, 0}},
      // Counts a skin file may hold: never a division by 0, never a negative border.
      {{8, 100, 0}, {200, 30, -2}, {-8, 100, 1}, {40, -6, 1}, -3, false, {8, 30, 0, 0, 0}},
      // No complete caption: nothing at all.
      {{8, 100, 2}, {200, 60, 2}, {10, 100, 2}, {40, 12, 2}, 19, true, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    TFrameBorders b = SkinFrameBorders(c.left, c.top, c.right, c.bottom, c.menu, c.noCaption);
    EXPECT_EQ(b, c.expected) << b.Left << " " << b.Top << " " << b.Right << " " << b.Bottom << " " << b.Menu;
  }
}

TEST(NcLayout, BordersRunTheFullHeightAndTheMenuRowSitsUnderTheTitle) {
  const TFrameBorders b{4, 30, 5, 6, 19};
  const TNcLayout l = NcLayout(300, 200, b, false);
  EXPECT_EQ(l.LeftBorder, Rect(0, 0, 4, 200));
  EXPECT_EQ(l.RightBorder, Rect(295, 0, 300, 200));
  EXPECT_EQ(l.BottomBorder, Rect(4, 194, 295, 200));
  EXPECT_EQ(l.Title, Rect(0, 0, 300, 30));
  EXPECT_EQ(l.TextArea, Rect(4, 0, 295, 30));
  EXPECT_EQ(l.MenuBar, Rect(4, 30, 295, 49));
  EXPECT_EQ(l.Client, Rect(4, 49, 295, 194));

  const TNcLayout min = NcLayout(160, 30, b, true);
  EXPECT_EQ(min.TextArea, Rect(0, 0, 160, 30));
  EXPECT_TRUE(min.LeftBorder.IsEmpty());
  EXPECT_TRUE(min.MenuBar.IsEmpty());
  EXPECT_TRUE(NcLayout(300, 200, {4, 30, 5, 6, 0}, false).MenuBar.IsEmpty());
}

TEST(NcClientRect, InsideTheFrameAndNeverInverted) {
  const TFrameBorders b{4, 30, 5, 6, 19};
  struct Case {
    TRect window;
    TRect expected;
  } cases[] = {
      {Rect(100, 50, 400, 250), Rect(104, 99, 395, 244)},
      {Rect(-20, -10, 280, 190), Rect(-16, 39, 275, 184)},
      // Smaller than its frame: an empty client area inside the window.
      {Rect(0, 0, 6, 40), Rect(4, 40, 4, 40)},
      {Rect(0, 0, 3, 20), Rect(3, 20, 3, 20)},
      {Rect(10, 10, 10, 10), Rect(10, 10, 10, 10)},
  };
  for (const Case& c : cases) {
    const TRect r = NcClientRect(c.window, b);
    EXPECT_EQ(r, c.expected) << c.window;
    EXPECT_GE(r.Width(), 0);
    EXPECT_GE(r.Height(), 0);
  }
}

TEST(NcHitTest, BordersAnswerAsBordersWhateverTheirDepth) {
  // A skin with deep side borders (12 pixels) and a 30-pixel title with a menu row.
  const TFrameBorders b{12, 30, 12, 10, 19};
  struct Case {
    int x, y;
    bool sizeable;
    TNcHit expected;
  } cases[] = {
      {150, 100, true, nhClient},
      {-1, 100, true, nhNowhere},
      {300, 100, true, nhNowhere},
      // The whole depth of a side border sizes the window, not only the system's few pixels.
      {0, 100, true, nhLeft},
      {11, 100, true, nhLeft},
      {288, 100, true, nhRight},
      {299, 100, true, nhRight},
      {150, 190, true, nhBottom},
      {150, 199, true, nhBottom},
      // The top rows of the title size it; below them it is the caption.
      {150, 0, true, nhTop},
      {150, 3, true, nhTop},
      {150, 4, true, nhCaption},
      {150, 29, true, nhCaption},
      {150, 30, true, nhMenu},
      {150, 48, true, nhMenu},
      // Corners, along each edge.
      {2, 2, true, nhTopLeft},
      {15, 1, true, nhTopLeft},
      {5, 15, true, nhTopLeft},
      {298, 2, true, nhTopRight},
      {2, 198, true, nhBottomLeft},
      {20, 195, true, nhBottom},
      {298, 198, true, nhBottomRight},
      {290, 185, true, nhBottomRight},
      // A fixed frame (or a maximised window): borders are plain borders, the title is caption.
      {0, 100, false, nhBorder},
      {299, 100, false, nhBorder},
      {150, 199, false, nhBorder},
      {150, 0, false, nhCaption},
      {2, 2, false, nhBorder},
      {150, 35, false, nhMenu},
  };
  for (const Case& c : cases) {
    TNcHitInput in;
    in.Pt = Point(c.x, c.y);
    in.Width = 300;
    in.Height = 200;
    in.Borders = b;
    in.Sizeable = c.sizeable;
    EXPECT_EQ(NcHitTest(in), c.expected) << "(" << c.x << ", " << c.y << ") sizeable " << c.sizeable;
  }
}

TEST(NcHitTest, AgreesWithTheLayoutThatIsPainted) {
  // Every pixel of the painted client area is client, and every pixel of the painted borders is
  // something else, for a few skins.
  const TFrameBorders skins[] = {{4, 30, 5, 6, 19}, {12, 24, 12, 10, 0}, {1, 18, 1, 1, 20}, {0, 0, 0, 0, 0}};
  for (const TFrameBorders& b : skins) {
    const TNcLayout l = NcLayout(120, 90, b, false);
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 120; ++x) {
        TNcHitInput in{Point(x, y), 120, 90, b, true};
        const bool inClient = x >= l.Client.Left && x < l.Client.Right && y >= l.Client.Top && y < l.Client.Bottom;
        ASSERT_EQ(NcHitTest(in) == nhClient, inClient) << x << ", " << y;
      }
  }
}

TEST(PlaceCaptionText, AlignmentShiftsAndClips) {
  struct Case {
    const char* what;
    TCaptionTextInput in;
    TRect back, text;
  };
  auto base = [] {
    TCaptionTextInput in;
    in.Area = Rect(0, 0, 100, 30);
    in.TextWidth = 41;
    in.TextHeight = 14;
    return in;
  };
  std::vector<Case> cases;
  {
    TCaptionTextInput in = base();
    in.TextAlignment = 1;
    cases.push_back({"centred: (100 - 41) div 2", in, Rect(29, 8, 70, 22), Rect(29, 8, 70, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextShift = 6;
    in.TextShiftVert = 5;
    cases.push_back({"TextShiftVert counts half", in, Rect(6, 10, 47, 24), Rect(6, 10, 47, 24)});
  }
  {
    TCaptionTextInput in = base();
    in.TextAlignment = 2;
    in.TextRightClip = 10;
    cases.push_back({"right", in, Rect(49, 8, 90, 22), Rect(49, 8, 90, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextAlignment = 0;
    in.TextShift = 6;
    in.RightToLeft = true;
    in.TextRightClip = 4;
    cases.push_back({"right to left ignores the alignment", in, Rect(55, 8, 96, 22), Rect(55, 8, 96, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextWidth = 200;
    in.TextRightClip = 8;
    cases.push_back({"long text clipped before the end of the area", in, Rect(0, 8, 92, 22), Rect(0, 8, 92, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextWidth = 200;
    in.Popup = true;
    in.ButtonClipX = 80;
    cases.push_back({"popup: 5 pixels left of the right-aligned buttons", in, Rect(0, 8, 75, 22), Rect(0, 8, 75, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextWidth = 20;
    in.Popup = true;
    in.ButtonClipX = 80;
    cases.push_back({"popup: a short text is not widened", in, Rect(0, 8, 20, 22), Rect(0, 8, 20, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TextShift = 20;
    in.DialogFrame = true;
    cases.push_back({"dialog frame: 16 pixels left", in, Rect(4, 8, 61, 22), Rect(4, 8, 61, 22)});
  }
  {
    TCaptionTextInput in = base();
    in.TXTBackleft = 5;
    in.TXTBackRight = 7;
    cases.push_back({"background margins widen the back and not the text", in, Rect(0, 8, 53, 22), Rect(5, 8, 46, 22)});
  }
  for (const Case& c : cases) {
    const TCaptionTextPlace p = PlaceCaptionText(c.in);
    EXPECT_EQ(p.Back, c.back) << c.what;
    EXPECT_EQ(p.Text, c.text) << c.what;
  }
}

TEST(CaptionButtonShow, VisibilityCodesAndActions) {
  TCaptionFlags normal;
  normal.SysMenu = normal.MinBox = normal.MaxBox = true;
  normal.Active = true;
  TCaptionFlags noSysMenu = normal;
  noSysMenu.SysMenu = false;
  TCaptionFlags noMax = normal;
  noMax.MaxBox = false;
  TCaptionFlags dialog = normal;
  dialog.DialogFrame = true;
  TCaptionFlags maximised = normal;
  maximised.Maximised = true;
  TCaptionFlags inactive = normal;
  inactive.Active = false;
  TCaptionFlags mdiMax = normal;
  mdiMax.MdiChildMax = mdiMax.HasMenuBar = true;
  // A fixed window with a system menu that asks for context help, and one that also has a
  // minimise box.
  TCaptionFlags help;
  help.SysMenu = help.Help = help.Active = true;
  TCaptionFlags helpAndMin = help;
  helpAndMin.MinBox = true;

  struct Case {
    const char* what;
    int v, v1, action;
    TCaptionFlags flags;
    bool visible, enabled;
  } cases[] = {
      {"0/0 always shown", 0, 0, 5, normal, true, true},
      {"Visibility1 -1 never shown", 0, -1, -1, normal, false, true},
      {"Visibility -1 rests on Visibility1", -1, 0, 5, normal, true, true},
      {"1: maximised", 1, 0, 5, normal, false, true},
      {"1: maximised", 1, 0, 5, maximised, true, true},
      {"2: not maximised", 2, 0, 5, maximised, false, true},
      {"3: active", 3, 0, 5, inactive, false, true},
      {"4: inactive", 4, 0, 5, inactive, true, true},
      {"5: never", 5, 0, 5, normal, false, true},
      {"6: a box and a system menu", 6, 0, 5, noSysMenu, false, true},
      {"7: without a maximise box", 7, 0, 5, noMax, true, true},
      {"100: a maximised MDI child with a menu bar", 100, 100, 8, mdiMax, true, true},
      {"100: not without one", 100, 0, 8, normal, false, true},
      {"200: a dialog frame", 200, 0, 5, dialog, true, true},
      {"500: shown", 500, 0, 5, normal, true, true},
      {"3000: not shown", 3000, 0, 5, normal, false, true},
      {"close without a system menu is hidden", 0, 0, 0, noSysMenu, false, true},
      {"maximise without the box is disabled", 0, 0, 1, noMax, true, false},
      {"minimise without a system menu is disabled", 0, 0, 2, noSysMenu, true, false},
      {"icon on a dialog frame is hidden", 0, 0, 3, dialog, false, true},
      // The shipped skins' help button: Visibility 9, Visibility1 6.
      {"help button on a window that asks for help", 9, 6, 4, help, true, true},
      {"help button beside a minimise box", 9, 6, 4, helpAndMin, false, true},
      {"6 counts the help as a box", 6, 0, 5, help, true, true},
      {"6 of Visibility1 counts it too", 0, 6, 5, help, true, true},
      {"7: the help stands where a maximise box would", 7, 0, 5, help, false, true},
      {"the help maximises nothing", 0, 0, 1, help, true, false},
  };
  for (const Case& c : cases) {
    const TCaptionButtonShow s = CaptionButtonShow(c.v, c.v1, c.action, c.flags, nullptr, true);
    EXPECT_EQ(s.Visible, c.visible) << c.what;
    EXPECT_EQ(s.Enabled, c.enabled) << c.what;
  }
}

TEST(CaptionButtonShow, CodesFrom1000AskTheWindow) {
  std::vector<std::pair<int, int>> asked;
  int answer = 0;
  TAskVisible ask = [&](int32_t code, int32_t action) -> intptr_t {
    asked.push_back({code, action});
    return answer;
  };
  TCaptionFlags f;
  f.SysMenu = true;
  EXPECT_FALSE(CaptionButtonShow(1500, 0, 5, f, ask, true).Visible);
  answer = 1;
  EXPECT_TRUE(CaptionButtonShow(1500, 0, 5, f, ask, true).Visible);
  answer = -3;
  EXPECT_FALSE(CaptionButtonShow(2000, 0, 6, f, ask, true).Visible);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1500, 5}, {1500, 5}, {2000, 6}}));
  // Other codes never ask.
  CaptionButtonShow(999, 0, 5, f, ask, true);
  CaptionButtonShow(2001, 0, 5, f, ask, true);
  EXPECT_EQ(asked.size(), 3u);
}

TEST(RestorePictureIndex, TheMaximiseButtonOnlyAMaximisedWindowShows) {
  TCaptionFlags f;
  f.SysMenu = f.MinBox = f.MaxBox = f.Active = true;
  // As the shipped skins have them: close, maximise (not maximised), restore (maximised), minimise.
  const std::vector<TCaptionButtonCodes> shipped = {{0, 0, 0}, {1, 6, 2}, {1, 6, 1}, {2, 6, 0}, {4, 9, 6}};
  struct Case {
    const char* what;
    std::vector<TCaptionButtonCodes> buttons;
    int index;
  } cases[] = {
      {"the shipped skins", shipped, 2},
      {"the order of the sections does not matter", {{1, 1, 0}, {1, 2, 0}}, 0},
      {"a maximise button that always shows is no restore picture", {{1, 0, 0}, {2, 0, 0}}, -1},
      {"an action 22 button counts", {{22, 0, 1}}, 0},
      {"a button of another action never", {{5, 0, 1}, {2, 1, 0}}, -1},
      {"no buttons", {}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(RestorePictureIndex(c.buttons, f), c.index) << c.what;
  // Codes that the application decides are not asked while painting.
  EXPECT_EQ(RestorePictureIndex({{1, 1500, 1}}, f), -1);
}

TEST(PlaceCaptionButton, ByAlign) {
  TCaptionButtonPlaceInput in;
  in.Width = 16;
  in.Height = 14;
  in.WindowWidth = 300;
  in.CaptionText = Rect(40, 8, 120, 22);
  in.Borders = {4, 30, 5, 6, 20};
  struct Case {
    int align, x, y;
    int tileLeft;
    TRect expected;
  } cases[] = {
      {0, 6, 5, -1, Rect(6, 5, 22, 19)},
      {1, 20, 5, -1, Rect(280, 5, 296, 19)},
      {1, 40, 5, -1, Rect(260, 5, 276, 19)},
      {2, 4, 5, -1, Rect(20, 5, 36, 19)},  // 20 pixels left of the text with a 16-pixel frame
      {8, 4, 5, -1, Rect(20, 5, 36, 19)},
      {3, 2, 5, -1, Rect(122, 5, 138, 19)},
      {9, 2, 5, -1, Rect(122, 5, 138, 19)},
      {100, 50, 0, -1, Rect(245, 33, 261, 47)},
      {100, 50, 0, 3, Rect(242, 33, 258, 47)},
      {7, 50, 9, -1, Rect(0, 0, 16, 14)},
  };
  for (const Case& c : cases) {
    in.Align = c.align;
    in.Xcoord = c.x;
    in.Ycoord = c.y;
    in.MenuTileLeft = c.tileLeft;
    EXPECT_EQ(PlaceCaptionButton(in), c.expected) << "align " << c.align;
  }
}

// The text of a popup window is clipped by the right-aligned buttons of the same layout, never by
// those of an earlier one, and a button after the text follows the clipped text.
TEST(LayOutCaption, TextAndButtonsComeFromOneLayout) {
  auto input = [](int32_t W, bool popup, bool closeShown) {
    TCaptionLayoutInput in;
    in.WindowWidth = W;
    in.Borders = TFrameBorders{4, 24, 4, 4, 0};
    in.Text.Area = Rect(4, 0, W - 4, 24);
    in.Text.TextWidth = 600;
    in.Text.TextHeight = 14;
    in.Text.Popup = popup;
    in.Text.ButtonClipX = 77;  // what an earlier layout left: not this one's
    in.Buttons = {
        TCaptionButtonBox{1, 30, 4, 18, 18, closeShown},   // close, from the right edge
        TCaptionButtonBox{1, 50, 4, 18, 18, true},         // maximise
        TCaptionButtonBox{3, 2, 6, 12, 12, true},          // after the text
        TCaptionButtonBox{0, 6, 4, 16, 16, true},          // icon, from the left edge
    };
    return in;
  };
  const struct {
    const char* what;
    int32_t W;
    bool popup, closeShown;
    int32_t clip, textRight;
  } cases[] = {
      {"popup: clipped 5 left of the right-most right-aligned button", 300, true, true, 270, 265},
      {"popup, wider", 500, true, true, 470, 465},
      {"popup, its close button hidden: the shown ones clip", 300, true, false, 250, 245},
      {"no popup: the text area clips", 300, false, true, 270, 296},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TCaptionLayoutInput in = input(c.W, c.popup, c.closeShown);
    const TCaptionLayout l = LayOutCaption(in);
    ASSERT_EQ(l.Buttons.size(), in.Buttons.size());
    EXPECT_EQ(l.ClipX, c.clip);
    EXPECT_EQ(l.Text.Back.Right, c.textRight);
    EXPECT_EQ(l.Buttons[0], Bounds(c.W - 30, 4, 18, 18));
    EXPECT_EQ(l.Buttons[1], Bounds(c.W - 50, 4, 18, 18));
    EXPECT_EQ(l.Buttons[2], Bounds(c.textRight + 2, 6, 12, 12));
    EXPECT_EQ(l.Buttons[3], Bounds(6, 4, 16, 16));
    // Each button where PlaceCaptionButton puts it against this layout's text.
    for (size_t i = 0; i < in.Buttons.size(); ++i) {
      TCaptionButtonPlaceInput p;
      p.Align = in.Buttons[i].Align;
      p.Xcoord = in.Buttons[i].Xcoord;
      p.Ycoord = in.Buttons[i].Ycoord;
      p.Width = in.Buttons[i].Width;
      p.Height = in.Buttons[i].Height;
      p.WindowWidth = in.WindowWidth;
      p.CaptionText = l.Text.Back;
      p.Borders = in.Borders;
      EXPECT_EQ(l.Buttons[i], PlaceCaptionButton(p)) << i;
    }
  }
  // Without a shown right-aligned button nothing clips the text of a popup.
  TCaptionLayoutInput none = input(300, true, false);
  none.Buttons[1].Shown = false;
  EXPECT_EQ(LayOutCaption(none).ClipX, 0);
}

TEST(CaptionButtonFrame, ByStateActivationAndStrip) {
  struct Case {
    int state, frames;
    bool enabled, active;
    int visibility;
    bool titleBar;
    int expected;
  } cases[] = {
      {1, 4, true, true, 0, true, 1},
      {1, 4, true, false, 0, true, 4},
      {1, 4, false, true, 0, true, 4},   // a disabled maximise button on a window without the box
      {1, 3, false, true, 0, true, 1},   // a short strip has no disabled frame
      {1, 2, true, false, 0, true, 1},
      {2, 4, true, true, 0, false, 2},
      {3, 4, true, true, 0, false, 3},
      {3, 4, false, true, 0, false, 4},
      {3, 3, false, true, 0, false, 1},
      {3, 4, true, true, 100, false, 4},
      {3, 2, true, true, 0, false, 1},   // a state beyond the strip shows its first frame
  };
  for (const Case& c : cases)
    EXPECT_EQ(CaptionButtonFrame(c.state, c.frames, c.enabled, c.active, c.visibility, c.titleBar), c.expected)
        << c.state << " " << c.frames << " " << c.enabled << " " << c.active << " " << c.visibility;
}

}  // namespace

// ---- Menu bar

TEST(MenuBarLayout, ButtonsFollowOneAnotherFromTheStartOffset) {
  struct TRow {
    const char* Name;
    bool Record, Rtl;
    int TileLeft, TileRight, BarWidth, Limit;
    std::vector<int32_t> Widths;
    std::vector<bool> Visible;
    std::vector<TRect> Want;
  };
  const TRow rows[] = {
      {"TileLeftMenu 1: from x 5, text + 10 wide", true, false, 1, 1, 300, -1, {30, 40}, {true, true},
       {{5, 0, 45, 19}, {45, 0, 95, 19}}},
      {"no picture: from x 6", false, false, 1, 1, 300, -1, {30}, {true}, {{6, 0, 46, 19}}},
      {"an empty caption takes no width", true, false, 1, 1, 300, -1, {30, 0, 20}, {true, true, true},
       {{5, 0, 45, 19}, {45, 0, 45, 19}, {45, 0, 75, 19}}},
      {"an invisible button has no rectangle", true, false, 1, 1, 300, -1, {30, 20}, {false, true},
       {{0, 0, 0, 0}, {5, 0, 35, 19}}},
      {"right to left: from the right edge - TileRightMenu - 8", true, true, 1, 2, 300, -1, {30, 40},
       {true, true}, {{250, 0, 290, 19}, {200, 0, 250, 19}}},
      {"an offset wider than the bar becomes 12", true, false, 40, 1, 30, -1, {8}, {true}, {{12, 0, 30, 19}}},
      {"right to left before the maximised child's buttons", true, true, 1, 1, 300, 200, {30}, {true},
       {{160, 0, 200, 19}}},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    TMenuBarLayoutInput in;
    in.BarWidth = r.BarWidth;
    in.Height = 20;
    in.HasRecord = r.Record;
    in.TileLeft = r.TileLeft;
    in.TileRight = r.TileRight;
    in.RightToLeft = r.Rtl;
    in.RightLimit = r.Limit;
    in.TextWidths = r.Widths;
    in.Visible = r.Visible;
    const std::vector<TRect> got = MenuBarLayout(in);
    ASSERT_EQ(got.size(), r.Want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Left, r.Want[i].Left) << i;
      EXPECT_EQ(got[i].Right, r.Want[i].Right) << i;
      if (r.Want[i].Right > r.Want[i].Left) {
        EXPECT_EQ(got[i].Bottom, r.Want[i].Bottom) << i;
      }
    }
  }
}
