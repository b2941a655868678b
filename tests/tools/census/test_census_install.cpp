// Before it is installed the census gives no counts at all (it throws rather than answer zero);
// once installed it does. A program of its own, so nothing has installed it before.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/census/object_census.h"

namespace {

TEST(CensusInstall, GivesNoCountUntilInstalled) {
  EXPECT_THROW(ObjectCensus(), std::runtime_error);
  ASSERT_TRUE(InstallObjectCensus());
  TObjectCensus c = ObjectCensus();
  EXPECT_GE(c.Gdi, 0);
  EXPECT_GE(c.Windows, 0);
}

}  // namespace
