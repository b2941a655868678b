#include <gtest/gtest.h>

#include <functional>

#include "skin/data/skin_objects.h"
#include "tests/support/census_check.h"

namespace {

struct TRecordCase {
  const char* ClassName;
  std::function<std::unique_ptr<TDataSkinObject>(const AnsiString&)> Make;
};

TEST(SkinObjects, NewRecordsHaveTheirNameAnEmptyMapAndZeroFields) {
  const TRecordCase cases[] = {
      {"TDataSkinObject", [](const AnsiString& n) { return std::make_unique<TDataSkinObject>(n); }},
      {"TDataSkinBorder", [](const AnsiString& n) { return std::make_unique<TDataSkinBorder>(n); }},
      {"TDataSkinButton", [](const AnsiString& n) { return std::make_unique<TDataSkinButton>(n); }},
      {"TDataSkinTitle", [](const AnsiString& n) { return std::make_unique<TDataSkinTitle>(n); }},
      {"TDataSkinSysButton", [](const AnsiString& n) { return std::make_unique<TDataSkinSysButton>(n); }},
      {"TDataSkinBoxLabel", [](const AnsiString& n) { return std::make_unique<TDataSkinBoxLabel>(n); }},
  };
  for (const TRecordCase& c : cases) {
    SCOPED_TRACE(c.ClassName);
    std::unique_ptr<TDataSkinObject> r = c.Make("Tab.Pane");
    EXPECT_EQ(r->ClassName(), c.ClassName);
    EXPECT_TRUE(r->Is<TDataSkinObject>());
    EXPECT_EQ(r->Name, "Tab.Pane");
    ASSERT_TRUE(r->Map);
    EXPECT_TRUE(r->Map->Empty());
    EXPECT_EQ(r->Margins, Rect(0, 0, 0, 0));
    EXPECT_EQ(r->Frame, 0);
    EXPECT_EQ(r->Trans, 0);
    EXPECT_EQ(r->Tile, 0);
    EXPECT_EQ(r->Style, 0);
    for (TColor col : {r->NormalColour, r->MouseOverColour, r->PressedColour, r->NormalColour2,
                       r->MouseOverColour2, r->PressedColour2})
      EXPECT_EQ(col, 0);
  }
}

TEST(SkinObjects, DescendantsAddTheirImagesAndFields) {
  TDataSkinBorder border("Top");
  ASSERT_TRUE(border.Map2);
  EXPECT_TRUE(border.Map2->Empty());
  EXPECT_NE(border.Map2.get(), border.Map.get());

  TDataSkinButton button("Buttons");
  ASSERT_TRUE(button.CheckMap && button.RadioMap);
  EXPECT_NE(button.CheckMap.get(), button.RadioMap.get());
  EXPECT_EQ(button.RadioButtonFrame + button.CheckButtonFrame, 0);
  EXPECT_FALSE(button.HasNormalColour2 || button.HasMouseOverColour2 || button.HasPressedColour2);

  TDataSkinTitle title("Title");
  EXPECT_EQ(title.FontHeight, 0);
  EXPECT_EQ(title.ActiveText, 0);
  EXPECT_EQ(title.InActiveText, 0);
  TDataSkinSysButton sys("BUTTONCLOSE");
  EXPECT_EQ(sys.Action + sys.Align + sys.Xcoord + sys.Ycoord + sys.CombineOp + sys.Visibility + sys.Visibility1, 0);
  TDataSkinBoxLabel box("GroupBox");
  EXPECT_EQ(box.BackgroundLeftShift + box.BackgroundRightShift + box.BackgroundAlignment, 0);
}

TEST(SkinObjects, DestructionFreesWhatIsLeftAndItsGdiObjects) {
  // A check image dropped beforehand does not disturb the destruction of the rest.
  auto button = std::make_unique<TDataSkinButton>("Buttons");
  button->CheckMap.reset();
  button->RadioMap->SetSize(4, 4);
  button.reset();

  TObjectCensus before{};
  ASSERT_TRUE(TakeCensus(before));
  for (int i = 0; i < 20; ++i) {
    TDataSkinBorder b("Left");
    b.Map->SetSize(8, 8);
    b.Map2->SetSize(8, 8);
    b.Map->Canvas()->FillRect(Rect(0, 0, 8, 8));
    if (i == 0) {
      // The census sees the record's pictures while they live.
      TObjectCensus living{};
      ASSERT_TRUE(TakeCensus(living));
      EXPECT_GE(living.Bitmaps - before.Bitmaps, 2);
    }
  }
  EXPECT_TRUE(CensusIs(before));
}

}  // namespace
