// Karo's look-ups on the full database: the rhyme look-up of the twin pages and the begins-with,
// contains and ends-with searches of the word page, each through the data layer (open, count,
// first row read) and the same statement stepped by the engine alone, medians of several runs.
#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/db/adodb.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

struct TStatement {
  const char* Name;
  const wchar_t* Sql;
  // Bound in order to :a and :b; the second may be empty.
  const wchar_t* A;
  const wchar_t* B;
};

// The texts a user would type or pick: the final "ang" in tone 1, and the character 春.
const TStatement kStatements[] = {
    {"rhyme PingSheYin ang 1",
     L"select * from PingSheYin where KaroMu=:a and ShengDiao=:b and JianYi<>'' order by YinJie", L"ang", L"1"},
    {"rhyme JuanSheYin ang 1",
     L"select * from JuanSheYin where KaroMu=:a and ShengDiao=:b and JianYi<>'' order by YinJie", L"ang", L"1"},
    {"CiYu begins with", L"select * from  CiYu where CiYu Like :a", L"\u6625%", nullptr},
    {"CiYu contains", L"select * from  CiYu where CiYu Like :a", L"%\u6625%", nullptr},
    {"CiYu ends with", L"select * from  CiYu where CiYu Like :a", L"%\u6625", nullptr},
    {"ChengYu begins with", L"select * from  ChengYu where ChengYu Like :a", L"\u6625%", nullptr},
    {"ChengYu contains", L"select * from  ChengYu where ChengYu Like :a", L"%\u6625%", nullptr},
    {"ChengYu ends with", L"select * from  ChengYu where ChengYu Like :a", L"%\u6625", nullptr},
};

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// The statement in the engine alone, every row stepped; answers the row count.
int StepAll(sqlite3* db, const TStatement& st) {
  std::string sql = Utf8(st.Sql);
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return -1;
  const std::string a = Utf8(st.A), b = st.B ? Utf8(st.B) : std::string();
  sqlite3_bind_text(s, sqlite3_bind_parameter_index(s, ":a"), a.c_str(), -1, SQLITE_TRANSIENT);
  if (st.B) sqlite3_bind_text(s, sqlite3_bind_parameter_index(s, ":b"), b.c_str(), -1, SQLITE_TRANSIENT);
  int n = 0;
  while (sqlite3_step(s) == SQLITE_ROW) ++n;
  sqlite3_finalize(s);
  return n;
}

}  // namespace

int main() {
  const std::string dir = KARO_BENCH_DATA_DIR;
  const WideString folder = WideString(dir.begin(), dir.end()) + L"/";
  auto* conn = new TADOConnection(nullptr);
  conn->SetLoginPrompt(false);
  conn->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Password=brenvatol.qz;User ID=Tessaro;Data Source=" +
                            folder + L"Karo.cc;Mode=Share Deny None;Jet OLEDB:System database=" + folder +
                            L"Secured.mdw;Jet OLEDB:Database Password=mordessa.quilnep");
  try {
    conn->Open();
  } catch (const Exception& e) {
    std::fprintf(stderr, "Karo's database cannot be opened (%s): build the native configuration first\n",
                 e.Message().c_str());
    return 1;
  }
  constexpr int kRuns = 7;
  int failures = 0;
  for (const TStatement& st : kStatements) {
    std::vector<double> layer, alone;
    int rows = 0, aloneRows = 0;
    for (int run = 0; run < kRuns; ++run) {
      auto* q = new TADOQuery(nullptr);
      q->SetConnection(conn);
      q->SQL()->Add(st.Sql);
      q->ParamByName(L"a")->SetValue(Variant(WideString(st.A)));
      if (st.B) q->ParamByName(L"b")->SetValue(Variant(WideString(st.B)));
      auto t0 = std::chrono::steady_clock::now();
      q->Open();
      rows = q->RecordCount();
      if (!q->Eof()) (void)q->Fields(0)->AsString();
      auto t1 = std::chrono::steady_clock::now();
      q->Free();
      aloneRows = StepAll(conn->Database().Handle(), st);
      auto t2 = std::chrono::steady_clock::now();
      layer.push_back(Ms(t0, t1));
      alone.push_back(Ms(t1, t2));
    }
    if (rows != aloneRows || rows <= 0) ++failures;
    std::printf("karo %s: data layer %.1f ms, sqlite alone %.1f ms (%d rows)\n", st.Name, Median(layer),
                Median(alone), rows);
  }
  conn->Free();
  if (failures) std::fprintf(stderr, "%d statements found no rows or disagreed with the engine\n", failures);
  return failures ? 1 : 0;
}
