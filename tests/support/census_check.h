// The object census inside tests: taking it fails the test when no count can be had, and a
// comparison names every count that moved. A test using it links object_census.
#pragma once

#include <gtest/gtest.h>

#include <exception>

#include "tools/census/object_census.h"

// Takes the census into `out`, installing the counting first. Fails (never passes quietly) when
// the counting cannot be put in place in this process.
inline ::testing::AssertionResult TakeCensus(TObjectCensus& out) {
  if (!InstallObjectCensus())
    return ::testing::AssertionFailure() << "the object census is unavailable: its counting could not be installed";
  try {
    out = ObjectCensus();
  } catch (const std::exception& e) {
    return ::testing::AssertionFailure() << "the object census is unavailable: " << e.what();
  }
  return ::testing::AssertionSuccess();
}

// Whether the census now is the one given (taken before the work that must give back all it made).
inline ::testing::AssertionResult CensusIs(const TObjectCensus& expected) {
  TObjectCensus now{};
  ::testing::AssertionResult taken = TakeCensus(now);
  if (!taken) return taken;
  if (now == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the object census moved: " << CensusDifference(expected, now);
}
