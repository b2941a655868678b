#include <gtest/gtest.h>

#include "classlib/core/streams.h"

TEST(MemoryStream, WriteGrowsAndReadStopsAtEnd) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(4);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "ef");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
}

TEST(MemoryStream, WritePastEndFillsGapWithZeros) {
  TMemoryStream s;
  s.SetPosition(3);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.AsString(), std::string("\0\0\0x", 4));
}

TEST(Stream, CopyFromCountZeroCopiesWholeSourceFromItsStart) {
  TMemoryStream src, dst;
  src.Assign("hello");
  src.SetPosition(3);
  EXPECT_EQ(dst.CopyFrom(src, 0), 5);
  EXPECT_EQ(dst.AsString(), "hello");
  src.SetPosition(1);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(src, 3), 3);
  EXPECT_EQ(part.AsString(), "ell");
  EXPECT_THROW(part.CopyFrom(src, 5), EReadError);
}

TEST(Objects, ClassNamesAndInheritance) {
  TMemoryStream s;
  EXPECT_EQ(s.ClassName(), "TMemoryStream");
  EXPECT_TRUE(s.InheritsFrom(TStream::StaticClass()));
  EXPECT_FALSE(TStream::StaticClass()->InheritsFrom(TMemoryStream::StaticClass()));
}
