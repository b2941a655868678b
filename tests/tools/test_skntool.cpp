// skntool's commands, run in-process on files in a scratch folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/core/streams.h"
#include "skin/data/skin_reader.h"
#include "tools/skntool/skin_archive.h"
#include "tools/skntool/skntool.h"

namespace {

class SkntoolTest : public ::testing::Test {
protected:
  struct Result {
    int code;
    std::string out, err;
  };

  Result Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = SkntoolRun(args, out, err);
    return {code, out.str(), err.str()};
  }

  std::string Path(const std::string& name) {
    const std::string p = ::testing::TempDir() + "skntool_" + name;
    created_.push_back(p);
    return p;
  }

  std::string Put(const std::string& name, const std::string& bytes) {
    const std::string p = Path(name);
    TMemoryStream s;
    s.Assign(bytes);
    s.SaveToFile(p);
    return p;
  }

  static std::string Get(const std::string& path) {
    TMemoryStream s;
    s.LoadFromFile(path);
    return s.AsString();
  }

  void TearDown() override {
    for (const std::string& p : created_) std::remove(p.c_str());
  }

private:
  std::vector<std::string> created_;
};

const char kIni[] = "[Title]\r\nMap=Title.bmp\r\n";
const std::string kTitle("BM\x36\x00\x00\x00title pixels", 18);
const char kBorder[] = "BMborder pixels";

}  // namespace

TEST_F(SkntoolTest, BuildsListsAndExtractsASkin) {
  const std::string ini = Put("Blue.ini", kIni), title = Put("Title.bmp", kTitle), border = Put("border.BMP", kBorder);
  const std::string skn = Path("blue.skn");
  const Result built = Run({"build", skn, ini, title, border});
  ASSERT_EQ(built.code, 0) << built.err;

  // The file is what the skin library reads: a compressed version-20000 archive.
  TSkinReader reader;
  ASSERT_TRUE(reader.loadfromfile(skn));
  EXPECT_EQ(reader.Version(), 20000);
  ASSERT_EQ(reader.Count(), 3);
  EXPECT_EQ(reader.Names(0), "skntool_blue.ini");

  const Result listed = Run({"list", skn});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("version 20000, 3 entries"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("        24  skntool_blue.ini\n"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("        15  skntool_border.bmp\n"), std::string::npos) << listed.out;
  EXPECT_EQ(listed.out.find("warning"), std::string::npos);

  const std::string out = Path("extracted");
  ASSERT_EQ(Run({"extract", skn, "SKNTOOL_TITLE.BMP", out}).code, 0);
  EXPECT_EQ(Get(out), kTitle);
  ASSERT_EQ(Run({"extract", skn, "skntool_blue.ini", out}).code, 0);
  EXPECT_EQ(Get(out), kIni);

  const Result missing = Run({"extract", skn, "nothing.bmp", out});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("no entry called \"nothing.bmp\""), std::string::npos) << missing.err;
}

TEST_F(SkntoolTest, BuildRefusesWhatTheReaderCouldNotUse) {
  const std::string ini = Put("a.ini", kIni), bmp = Put("a.bmp", kBorder);
  struct Case {
    const char* what;
    std::vector<std::string> files;
    const char* message;
  };
  const Case cases[] = {
      {"INI without .ini", {Put("a.txt", kIni)}, "must contain \".ini\""},
      {"image with another extension", {ini, Put("a.png", kBorder)}, "must end in \".bmp\""},
      {"image that is no BMP", {ini, Put("b.bmp", "GIF89a")}, "is not a BMP file"},
      {"image named like an INI", {ini, Put("x.ini.bmp", kBorder)}, "may not contain \".ini\""},
      {"two names alike but for case", {ini, bmp, Put("A.BMP", kBorder)}, "two entries would be called"},
      {"missing file", {ini, Path("none.bmp")}, "cannot open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"build", Path("bad.skn")};
    args.insert(args.end(), c.files.begin(), c.files.end());
    const Result r = Run(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST_F(SkntoolTest, PacksAndUnpacksRawImages) {
  std::string bytes;
  for (int i = 0; i < 20000; i++) bytes += char(i % 251 ^ i / 300);
  const std::string packed = Path("packed"), unpacked = Path("unpacked");
  ASSERT_EQ(Run({"pack", Put("raw", bytes), packed}).code, 0);
  const std::string image = Get(packed);
  ASSERT_GE(image.size(), 4u);
  EXPECT_EQ(uint8_t(image[0]) | uint8_t(image[1]) << 8, 20000);
  ASSERT_EQ(Run({"unpack", packed, unpacked}).code, 0);
  EXPECT_TRUE(Get(unpacked) == bytes);

  const Result damaged = Run({"unpack", Put("damaged", std::string("\xFF\xFF\xFF\x7F\x01", 5)), unpacked});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.err.find("LZH : Damaged image"), std::string::npos) << damaged.err;
}

TEST_F(SkntoolTest, AnUnknownArchiveIsReportedInWords) {
  std::string archive(16, '\0');
  archive[0] = 0x10;  // version 16
  bool boxShown = false;
  const TSkinMessageProc saved = SkinReadShowMessage;
  SkinReadShowMessage = [&](const std::wstring&) { boxShown = true; };
  const Result r = Run({"list", Put("odd.skn", CompressImage(archive))});
  SkinReadShowMessage = saved;
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("not a skin archive of a known version"), std::string::npos) << r.err;
  EXPECT_FALSE(boxShown);
}

TEST_F(SkntoolTest, UsageMistakesShowTheHelp) {
  struct Case {
    std::vector<std::string> args;
    int code;
  };
  const Case cases[] = {
      {{}, 2}, {{"help"}, 0}, {{"frobnicate"}, 2}, {{"list"}, 2}, {{"pack", "a"}, 2}, {{"extract", "a", "b"}, 2},
      {{"build", "out.skn"}, 2},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE((r.out + r.err).find("usage: skntool"), std::string::npos);
  }
}
