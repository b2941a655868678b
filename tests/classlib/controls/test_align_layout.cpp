// The layout of aligned controls, as a table of containers and the rectangles they give out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/align_layout.h"

namespace {

struct TCase {
  const char* Name;
  TRect Area;
  std::vector<TAlignItem> Items;
  int Moved;
  std::vector<TRect> Expected;
  TRect Remaining;
};

TEST(AlignLayout, StripsAndClientShareTheArea) {
  const std::vector<TCase> cases = {
      {"every kind once",
       Rect(0, 0, 100, 80),
       {{alClient, true, Rect(0, 0, 5, 5)},
        {alRight, true, Rect(0, 0, 15, 5)},
        {alLeft, true, Rect(0, 0, 10, 5)},
        {alBottom, true, Rect(0, 0, 5, 20)},
        {alTop, true, Rect(0, 0, 5, 12)}},
       -1,
       {Rect(10, 12, 85, 60), Rect(85, 12, 100, 60), Rect(0, 12, 10, 60), Rect(0, 60, 100, 80), Rect(0, 0, 100, 12)},
       Rect(10, 12, 85, 60)},
      {"tops go by their top edge, whatever the list order",
       Rect(0, 0, 50, 50),
       {{alTop, true, Rect(0, 30, 5, 40)}, {alTop, true, Rect(0, 0, 5, 5)}},
       -1,
       {Rect(0, 5, 50, 15), Rect(0, 0, 50, 5)},
       Rect(0, 15, 50, 50)},
      {"bottoms go from the bottom up by their bottom edge",
       Rect(0, 0, 50, 50),
       {{alBottom, true, Rect(0, 10, 5, 20)}, {alBottom, true, Rect(0, 40, 5, 48)}},
       -1,
       {Rect(0, 32, 50, 42), Rect(0, 42, 50, 50)},
       Rect(0, 0, 50, 32)},
      {"the control that moved goes first among equals",
       Rect(0, 0, 60, 40),
       {{alLeft, true, Rect(0, 0, 10, 5)}, {alLeft, true, Rect(0, 0, 20, 5)}},
       1,
       {Rect(20, 0, 30, 40), Rect(0, 0, 20, 40)},
       Rect(30, 0, 60, 40)},
      {"right strips go from the right edge by their right edge",
       Rect(0, 0, 60, 40),
       {{alRight, true, Rect(0, 0, 10, 5)}, {alRight, true, Rect(40, 0, 60, 5)}},
       -1,
       {Rect(30, 0, 40, 40), Rect(40, 0, 60, 40)},
       Rect(0, 0, 30, 40)},
      {"hidden, unaligned and custom controls are left alone",
       Rect(0, 0, 60, 40),
       {{alTop, false, Rect(1, 2, 3, 4)}, {alNone, true, Rect(5, 6, 7, 8)}, {alCustom, true, Rect(9, 9, 9, 9)},
        {alClient, true, Rect(0, 0, 1, 1)}},
       -1,
       {Rect(1, 2, 3, 4), Rect(5, 6, 7, 8), Rect(9, 9, 9, 9), Rect(0, 0, 60, 40)},
       Rect(0, 0, 60, 40)},
      {"strips thicker than the area keep their thickness; the client keeps its own size",
       Rect(0, 0, 30, 20),
       {{alTop, true, Rect(0, 0, 5, 15)}, {alBottom, true, Rect(0, 0, 5, 15)}, {alClient, true, Rect(0, 0, 7, 9)}},
       -1,
       {Rect(0, 0, 30, 15), Rect(0, 5, 30, 20), Rect(0, 15, 30, 24)},
       Rect(0, 15, 30, 5)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<TAlignItem> items = c.Items;
    TRect area = c.Area;
    AlignItems(items, area, c.Moved);
    ASSERT_EQ(items.size(), c.Expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
      const TRect& got = items[i].Bounds;
      EXPECT_EQ(got, c.Expected[i]) << "item " << i << ": " << got.Left << "," << got.Top << "," << got.Right
                                    << "," << got.Bottom;
    }
    EXPECT_EQ(area, c.Remaining);
  }
}

}  // namespace
