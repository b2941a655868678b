// The account files and password checks over real SQLite files, and the hash they rest on.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "classlib/db/db_engine.h"

namespace {

std::string Hex(const std::vector<uint8_t>& v) {
  std::string s;
  char b[3];
  for (uint8_t x : v) {
    std::snprintf(b, sizeof b, "%02x", x);
    s += b;
  }
  return s;
}

std::string TempName(const char* tag) {
  std::string name = std::string(::testing::TempDir()) + "karo_db_" + tag + "_" +
                     std::to_string(reinterpret_cast<uintptr_t>(&tag) & 0xffff) + ".db";
  std::remove(name.c_str());
  return name;
}

bool FileThere(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

std::string FileBytes(const std::string& name) {
  std::string s;
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return s;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  std::fclose(f);
  return s;
}

TEST(DbEngine, Sha256KnownAnswers) {
  auto h = [](const std::string& s) { return Hex(Sha256(reinterpret_cast<const uint8_t*>(s.data()), s.size())); };
  EXPECT_EQ(h(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(h("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(h("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(h(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(DbEngine, PasswordHashIsSaltedAndChecked) {
  TPasswordHash a = MakePasswordHash("brenvatol.qz"), b = MakePasswordHash("brenvatol.qz");
  EXPECT_NE(a.Salt, b.Salt);
  EXPECT_NE(a.Hash, b.Hash);
  EXPECT_TRUE(CheckPasswordHash(a, "brenvatol.qz"));
  EXPECT_FALSE(CheckPasswordHash(a, "brenvatol.qZ"));
  EXPECT_FALSE(CheckPasswordHash(a, ""));
}

TEST(DbEngine, WorkgroupFileHoldsHashesNeverPasswords) {
  std::string wg = TempName("wg");
  CreateWorkgroupFile(wg, {{"Tessaro", "brenvatol.qz"}, {"Other", "x"}});
  EXPECT_EQ(FileBytes(wg).find("brenvatol.qz"), std::string::npos);
  EXPECT_NO_THROW(CheckWorkgroupAccount(wg, "Tessaro", "brenvatol.qz"));
  EXPECT_NO_THROW(CheckWorkgroupAccount(wg, "tessaro", "brenvatol.qz"));  // user names ignore case
  struct Case {
    const char* user;
    const char* password;
  } refused[] = {{"Tessaro", "brenvatol.qZ"}, {"Tessaro", ""}, {"Nobody", "brenvatol.qz"}, {"Other", "brenvatol.qz"}};
  for (const Case& c : refused) {
    SCOPED_TRACE(std::string(c.user) + "/" + c.password);
    EXPECT_THROW(CheckWorkgroupAccount(wg, c.user, c.password), EOleException);
  }
  std::string missing = TempName("missing_wg");
  EXPECT_THROW(CheckWorkgroupAccount(missing, "Tessaro", "brenvatol.qz"), EOleException);
  EXPECT_FALSE(FileThere(missing));
  std::remove(wg.c_str());
}

TEST(DbEngine, DatabasePasswordChecked) {
  std::string name = TempName("pw");
  {
    TSqliteDb db;
    db.Create(name);
    db.Exec("CREATE TABLE t (a TEXT)");
  }
  {
    TSqliteDb db;
    db.Open(name, true);
    EXPECT_NO_THROW(CheckDatabasePassword(db, ""));
    EXPECT_THROW(CheckDatabasePassword(db, "mordessa.quilnep"), EOleException);
  }
  SetDatabasePassword(name, "mordessa.quilnep");
  EXPECT_EQ(FileBytes(name).find("mordessa.quilnep"), std::string::npos);
  TSqliteDb db;
  db.Open(name, true);
  EXPECT_NO_THROW(CheckDatabasePassword(db, "mordessa.quilnep"));
  EXPECT_THROW(CheckDatabasePassword(db, "mordessa.quilne"), EOleException);
  EXPECT_THROW(CheckDatabasePassword(db, ""), EOleException);
  db.Close();
  std::remove(name.c_str());
}

TEST(DbEngine, OpenRefusesMissingAndForeignFilesWithoutCreatingOne) {
  std::string missing = TempName("nofile");
  TSqliteDb db;
  EXPECT_THROW(db.Open(missing, false), EOleException);
  EXPECT_FALSE(FileThere(missing));
  EXPECT_THROW(SetDatabasePassword(missing, "x"), EOleException);
  EXPECT_FALSE(FileThere(missing));
  std::string text = TempName("text");
  FILE* f = std::fopen(text.c_str(), "wb");
  std::fputs("this is no database, only text that is long enough to have a header of a hundred bytes......", f);
  std::fclose(f);
  EXPECT_THROW(db.Open(text, false), EOleException);
  EXPECT_FALSE(db.IsOpen());
  std::remove(text.c_str());
}

}  // namespace

namespace {

// The run list against a plain vector through appends, inserts and erases in every place.
TEST(DbEngine, RowIdRunsMatchAPlainList) {
  TRowIdList list;
  std::vector<int64_t> plain;
  for (int64_t id : {1, 2, 3, 4, 10, 11, 7, 8, 9, 100}) {
    list.Append(id);
    plain.push_back(id);
  }
  EXPECT_EQ(list.RunCount(), 4u);
  auto same = [&] {
    ASSERT_EQ(list.Size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(list.At(i), plain[i]) << i;
  };
  same();
  struct Op {
    bool insert;
    size_t at;
    int64_t id;
  } ops[] = {{true, 0, 50}, {true, 3, 51}, {true, 12, 52}, {false, 0, 0}, {false, 4, 0},
             {false, 10, 0}, {true, 5, 5}, {false, 1, 0}, {false, 1, 0}, {false, 1, 0}};
  for (const Op& op : ops) {
    if (op.insert) {
      list.Insert(op.at, op.id);
      plain.insert(plain.begin() + ptrdiff_t(op.at), op.id);
    } else {
      list.Erase(op.at);
      plain.erase(plain.begin() + ptrdiff_t(op.at));
    }
    same();
  }
  EXPECT_THROW(list.At(plain.size()), EListError);
  EXPECT_THROW(list.Insert(plain.size() + 1, 1), EListError);
  // A table read in its own order is one run.
  TRowIdList big;
  for (int64_t i = 1; i <= 270000; ++i) big.Append(i);
  EXPECT_EQ(big.RunCount(), 1u);
  EXPECT_EQ(big.At(269999), 270000);
  big.Clear();
  EXPECT_TRUE(big.Empty());
}

}  // namespace
