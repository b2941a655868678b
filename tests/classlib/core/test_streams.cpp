#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"

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


namespace {
// A scratch file in the working directory, removed afterwards.
struct ScratchFile {
  std::string name;
  explicit ScratchFile(std::string n) : name(std::move(n)) { std::remove(name.c_str()); }
  ~ScratchFile() { std::remove(name.c_str()); }
};
}  // namespace

TEST(FileStream, CreateWriteReadSeekAndResize) {
  ScratchFile f("stream_test.bin");
  {
    TFileStream s(f.name, fmCreate);
    s.WriteBuffer("0123456789", 10);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_EQ(s.Seek(-3, soEnd), 7);
    char buf[4] = {};
    s.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "789");
    s.SetPosition(2);
    s.WriteBuffer("ab", 2);  // a write after a read, at a new position
    s.SetSize(6);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Position(), 6);
  }
  TMemoryStream m;
  m.LoadFromFile(f.name);
  EXPECT_EQ(m.AsString(), "01ab45");
  {
    TFileStream s(f.name, fmOpenRead | fmShareDenyNone);
    char buf[8];
    EXPECT_EQ(s.Read(buf, 8), 6);
    EXPECT_EQ(s.Write("x", 1), 0);  // opened for reading only
    EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
    EXPECT_EQ(s.FileName(), f.name);
  }
  {
    TFileStream s(f.name, fmOpenReadWrite);
    s.Seek(0, soEnd);
    s.WriteBuffer("!", 1);
  }
  m.LoadFromFile(f.name);
  EXPECT_EQ(m.AsString(), "01ab45!");
  m.SaveToFile(f.name);
}

TEST(FileStream, ErrorsNameTheFile) {
  try {
    TFileStream s("no_such_dir/missing.bin", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"no_such_dir/missing.bin\". ", 0), 0u) << e.Message();
  }
  try {
    TFileStream s("no_such_dir/new.bin", fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"no_such_dir/new.bin\". ", 0), 0u) << e.Message();
  }
  EXPECT_THROW(TFileStream(".", fmOpenRead), EFOpenError);  // a directory is no file
  TMemoryStream m;
  m.Assign("kept");
  EXPECT_THROW(m.LoadFromFile("no_such_dir/missing.bin"), EFOpenError);
  EXPECT_EQ(m.AsString(), "kept");
}

#ifdef _WIN32
TEST(FileStreamWindows, ShareModesDecideWhoElseMayOpen) {
  ScratchFile f("share_test.bin");
  { TFileStream s(f.name, fmCreate); }
  struct Case {
    uint16_t first, second;
    bool secondOpens;
  };
  const Case cases[] = {
      {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
      {fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
      {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {fmOpenRead | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
      {fmOpenWrite | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
      {fmOpenRead | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, true},
      // The second one refuses writers, but the first already writes.
      {fmOpenWrite | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, false},
  };
  for (const Case& c : cases) {
    TFileStream first(f.name, c.first);
    bool opened = true;
    try {
      TFileStream second(f.name, c.second);
    } catch (const EFOpenError&) {
      opened = false;
    }
    EXPECT_EQ(opened, c.secondOpens) << std::hex << c.first << " then " << c.second;
  }
  // A file that is being written cannot be created anew meanwhile.
  TFileStream writer(f.name, fmOpenWrite | fmShareDenyWrite);
  EXPECT_THROW(TFileStream(f.name, fmCreate), EFCreateError);
}

TEST(FileStreamWindows, WideNamesReachFilesOutsideTheAnsiCodePage) {
  const WideString name = L"\u2460\u6625.txt";
  DeleteFileW(name.c_str());
  {
    TFileStream s(name, fmCreate);
    s.WriteBuffer("pad", 3);
  }
  EXPECT_TRUE(FileExists(name));
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(m.AsString(), "pad");
  m.Assign("new");
  m.SaveToFile(name);
  TFileStream s(name, fmOpenRead);
  char buf[4] = {};
  EXPECT_EQ(s.Read(buf, 4), 3);
  EXPECT_EQ(std::string(buf, 3), "new");
  DeleteFileW(name.c_str());
}

TEST(ResourceStream, ReadsRcDataOfTheModule) {
  HINSTANCE self = GetModuleHandleW(nullptr);
  TResourceStream r(self, std::string("KARO_TEST_DATA"));
  EXPECT_EQ(r.Size(), 14);
  char buf[14];
  r.ReadBuffer(buf, 14);
  EXPECT_EQ(std::string(buf, 14), "resource bytes");
  EXPECT_THROW(r.WriteBuffer("x", 1), EStreamError);
  TResourceStream wide(self, WideString(L"KARO_TEST_DATA"));
  EXPECT_EQ(wide.Size(), 14);
  try {
    TResourceStream missing(self, std::string("NO_SUCH_RESOURCE"));
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NO_SUCH_RESOURCE not found");
  }
  EXPECT_THROW(TResourceStream::CreateFromID(self, 4242), EResNotFound);
}
#endif
