#include <gtest/gtest.h>
#include "skin/data/lzh_coder.h"
TEST(X, Y) {}
