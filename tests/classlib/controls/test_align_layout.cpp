#include <gtest/gtest.h>

#include "classlib/controls/align_layout.h"

TEST(AlignLayout, Smoke) {
  std::vector<TAlignItem> items{{alTop, true, Rect(0, 0, 10, 20)}};
  TRect r = Rect(0, 0, 100, 100);
  AlignItems(items, r);
  EXPECT_EQ(items[0].Bounds, Rect(0, 0, 100, 20));
}
