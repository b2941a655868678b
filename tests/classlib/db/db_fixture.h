// Real SQLite files for the data-layer tests: a fresh folder per test with a database, a
// workgroup file and a connection to them.
#pragma once

#include <windows.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

#include "classlib/db/adodb.h"

inline WideString KaroTestFolder() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  static int n = 0;
  LARGE_INTEGER tick;
  QueryPerformanceCounter(&tick);
  WideString dir = WideString(tmp) + L"karo_db_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                   std::to_wstring(tick.QuadPart) + L"_" + std::to_wstring(++n) + L"_\u6625\U0001F600";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir + L"\\";
}

// Runs statements with bound texts on a file of its own connection (what another program sees).
class TRawDb {
public:
  explicit TRawDb(const WideString& file) { sqlite3_open16(file.c_str(), &db_); }
  ~TRawDb() { sqlite3_close(db_); }
  void Exec(const char* sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
  }
  void Insert2(const char* sql, const WideString& a, const WideString& b) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db_, sql, -1, &s, nullptr);
    sqlite3_bind_text16(s, 1, a.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text16(s, 2, b.c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE);
    sqlite3_finalize(s);
  }
  // The first column of every row, as text ("<null>" for Null), joined by "|".
  WideString Column(const char* sql) {
    WideString out;
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql, -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
    bool first = true;
    while (sqlite3_step(s) == SQLITE_ROW) {
      if (!first) out += L"|";
      first = false;
      if (sqlite3_column_type(s, 0) == SQLITE_NULL) out += L"<null>";
      else out += static_cast<const wchar_t*>(sqlite3_column_text16(s, 0));
    }
    sqlite3_finalize(s);
    return out;
  }
  sqlite3* Handle() { return db_; }

private:
  sqlite3* db_ = nullptr;
};

inline WideString KaroConnectionString(const WideString& folder, const WideString& userPassword = L"brenvatol.qz",
                                       const WideString& dbPassword = L"mordessa.quilnep",
                                       const WideString& system = L"Secured.mdw") {
  return L"Provider=Microsoft.Jet.OLEDB.4.0;Password=" + userPassword + L";User ID=Tessaro;Data Source=" + folder +
         L"Karo.cc;Mode=Share Deny None;Extended Properties=\"\";Persist Security Info=True;"
         L"Jet OLEDB:System database=" +
         (system.empty() ? WideString() : folder + system) +
         L";Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=" + dbPassword +
         L";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
         L"Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
         L"Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
         L"Jet OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";
}

// A folder with Karo.cc (tables made by setup) and Secured.mdw, both protected as Karo's are.
class DbFixture : public ::testing::Test {
protected:
  void SetUp() override {
    folder = KaroTestFolder();
    {
      TRawDb raw(folder + L"Karo.cc");
      raw.Exec(
          "CREATE TABLE ZuoPin (BiaoTi TEXT, ShuLiang INTEGER, ZuoZhe TEXT, RiQi DATE, LeiBie TEXT, BiaoJi TEXT,"
          " NeiRong TEXT CHECK (NeiRong IS NULL OR NeiRong <> 'refused'));"
          "INSERT INTO ZuoPin VALUES ('a', 1, 'x', '2024-01-05', 'poem', 'm1', NULL);"
          "INSERT INTO ZuoPin VALUES ('b', NULL, NULL, '2024-02-29', 'poem', 'm2', 'text');"
          "INSERT INTO ZuoPin VALUES ('c', 3, 'z', NULL, 'poem', NULL, NULL);"
          "INSERT INTO ZuoPin VALUES ('d', 4, 'w', '2023-12-31', 'prose', NULL, NULL);"
          "INSERT INTO ZuoPin VALUES ('e', 5, 'v', '2022-06-01', 'poem', NULL, NULL);"
          "CREATE TABLE CiYu (CiYu TEXT, HanYi TEXT);");
    }
    SetDatabasePassword(WideToUtf8(folder + L"Karo.cc"), "mordessa.quilnep");
    CreateWorkgroupFile(WideToUtf8(folder + L"Secured.mdw"), {{"Tessaro", "brenvatol.qz"}});
    conn = new TADOConnection(nullptr);
    conn->SetLoginPrompt(false);
    conn->SetConnectionString(KaroConnectionString(folder));
  }
  void TearDown() override {
    for (TADOQuery* q : queries) q->Free();
    conn->Free();
    for (const wchar_t* f : {L"Karo.cc", L"Secured.mdw"}) DeleteFileW((folder + f).c_str());
    RemoveDirectoryW(folder.c_str());
  }
  TADOQuery* Query(const WideString& sql) {
    auto* q = new TADOQuery(nullptr);
    q->SetName("Q" + std::to_string(queries.size() + 1));
    q->SetConnection(conn);
    q->SQL()->Add(sql);
    queries.push_back(q);
    return q;
  }
  WideString folder;
  TADOConnection* conn = nullptr;
  std::vector<TADOQuery*> queries;
};
