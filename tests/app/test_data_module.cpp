// Karo's data module made from its form resource over the real database of the built program
// folder: what the resource holds, the connection and its refusals, every query on real rows, and
// the rule that the database is found beside the program whatever the current directory is.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/karo_data_module.h"

namespace {

const WideString kChun = L"\u6625";  // spring

WideString OwnFolder() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
  return ExtractFilePath(WideString(path, n));
}

// build/<config>/karo/, found from where the test program lies.
WideString BuiltProgramFolder() {
  wchar_t full[MAX_PATH * 4];
  DWORD n = GetFullPathNameW((OwnFolder() + KARO_PROGRAM_FOLDER_FROM_TEST).c_str(), DWORD(std::size(full)), full, nullptr);
  return WideString(full, n) + L"\\";
}

WideString Cwd() {
  wchar_t dir[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryW(DWORD(std::size(dir)), dir);
  return WideString(dir, n);
}

struct ModuleDeleter {
  void operator()(TKaro_DataModule* m) const { m->Free(); }
};
using ModulePtr = std::unique_ptr<TKaro_DataModule, ModuleDeleter>;

ModulePtr MakeModule(const std::string* formText = nullptr) {
  return ModulePtr(NewForm<TKaro_DataModule>(nullptr, formText));
}

// The form file as compiled into the program.
std::string ResourceText() {
  HRSRC r = FindResourceA(nullptr, "TKARO_DATAMODULE", MAKEINTRESOURCEA(10));
  if (!r) return {};
  HGLOBAL g = LoadResource(nullptr, r);
  return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(nullptr, r));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

void SetStatement(TADOQuery* q, std::initializer_list<const wchar_t*> lines) {
  q->Close();
  q->SQL()->Clear();
  for (const wchar_t* line : lines) q->SQL()->Add(line);
}

// Every test runs in a current directory that holds no database: the module must find its own.
class DataModuleTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    program = BuiltProgramFolder();
    startDir = Cwd();
    elsewhere = OwnFolder();
    SetCurrentDirectoryW(elsewhere.c_str());
    SetKaroProgramFolder(program);
  }
  static void TearDownTestSuite() {
    SetKaroProgramFolder(L"");
    SetCurrentDirectoryW(startDir.c_str());
  }
  void SetUp() override {
    // Loudly, not silently: without the built program folder nothing here proves anything.
    ASSERT_NE(GetFileAttributesW((program + L"Data\\Karo.cc").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no database in " << WideToAnsi(program) << ": build the karo_program_folder target";
    ASSERT_EQ(GetFileAttributesW((elsewhere + L"Data\\Karo.cc").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(SameText(Cwd() + L"\\", elsewhere)) << WideToAnsi(Cwd());
  }
  static inline WideString program, startDir, elsewhere;
};

TEST_F(DataModuleTest, ResourceHoldsTheConnectionQueriesAndDataSources) {
  ModulePtr dm = MakeModule();
  EXPECT_EQ(dm->Name(), "Karo_DataModule");
  EXPECT_EQ(std::string(dm->ClassName()), "TKaro_DataModule");

  TADOConnection* c = dm->ADOConnection();
  EXPECT_TRUE(c->Connected());
  EXPECT_FALSE(c->LoginPrompt());
  EXPECT_EQ(c->Mode(), cmShareDenyNone);
  EXPECT_EQ(c->Provider(), L"Microsoft.Jet.OLEDB.4.0");
  // The settings in their order; the two files are made absolute from the program folder.
  const std::pair<const wchar_t*, WideString> expected[] = {
      {L"Provider", L"Microsoft.Jet.OLEDB.4.0"},
      {L"Password", L"brenvatol.qz"},
      {L"User ID", L"Tessaro"},
      {L"Data Source", program + L"Data\\Karo.cc"},
      {L"Mode", L"Share Deny None"},
      {L"Extended Properties", L""},
      {L"Persist Security Info", L"True"},
      {L"Jet OLEDB:System database", program + L"Data\\Secured.mdw"},
      {L"Jet OLEDB:Registry Path", L""},
      {L"Jet OLEDB:Database Password", L"mordessa.quilnep"},
      {L"Jet OLEDB:Engine Type", L"5"},
      {L"Jet OLEDB:Database Locking Mode", L"1"},
      {L"Jet OLEDB:Global Partial Bulk Ops", L"2"},
      {L"Jet OLEDB:Global Bulk Transactions", L"1"},
      {L"Jet OLEDB:New Database Password", L""},
      {L"Jet OLEDB:Create System Database", L"False"},
      {L"Jet OLEDB:Encrypt Database", L"False"},
      {L"Jet OLEDB:Don't Copy Locale on Compact", L"False"},
      {L"Jet OLEDB:Compact Without Replica Repair", L"False"},
      {L"Jet OLEDB:SFP", L"False"},
  };
  auto settings = ParseConnectionString(c->ConnectionString());
  ASSERT_EQ(settings.size(), std::size(expected));
  for (size_t i = 0; i < settings.size(); ++i) {
    EXPECT_EQ(settings[i].first, expected[i].first) << i;
    EXPECT_EQ(settings[i].second, expected[i].second) << WideToAnsi(expected[i].first);
  }
  // The empty values keep their written form.
  EXPECT_NE(c->ConnectionString().find(L";Extended Properties=\"\";"), WideString::npos);

  struct Query {
    TADOQuery* query;
    TCursorType cursor;
    WideString sql;
    TDataSource* source;
  } queries[] = {
      {dm->A_ADOQuery1(), ctStatic, L"select * from PingSheYin", dm->A_DataSource1()},
      {dm->A_ADOQuery2(), ctStatic, L"Select * from JuanSheYin", dm->A_DataSource2()},
      {dm->B_ADOQuery1(), ctStatic, L"select * from PingSheYin", dm->B_DataSource1()},
      {dm->B_ADOQuery2(), ctStatic, L"Select * from JuanSheYin", dm->B_DataSource2()},
      {dm->C_ADOQuery1(), ctStatic, L"select * from CiYu", dm->C_DataSource1()},
      {dm->C_ADOQuery2(), ctStatic, L"select * from chengyu where ChengYu like '" + kChun + L"%'", dm->C_DataSource2()},
      {dm->D_ADOQuery1(), ctStatic, L"", dm->D_DataSource1()},
      {dm->A_ADOQuery_Top(), ctKeyset, L"", dm->A_DataSource_Top()},
      {dm->B_ADOQuery_Top(), ctKeyset, L"", dm->B_DataSource_Top()},
  };
  for (const Query& q : queries) {
    SCOPED_TRACE(q.query->Name());
    EXPECT_EQ(q.query->Connection(), c);
    EXPECT_EQ(q.query->CursorType(), q.cursor);
    EXPECT_EQ(q.query->SQL()->Count(), q.sql.empty() ? 0 : 1);
    if (!q.sql.empty()) {
      EXPECT_EQ(q.query->SQL()->Strings(0), q.sql);
    }
    EXPECT_EQ(q.query->Parameters()->Count(), 0);
    EXPECT_FALSE(q.query->Active());  // none stored active
    EXPECT_EQ(q.source->DataSet(), q.query);
  }
  EXPECT_EQ(dm->ComponentCount(), 1 + 9 + 9);
}

TEST_F(DataModuleTest, StoredStatementsOpenOnTheRealData) {
  ModulePtr dm = MakeModule();
  struct Case {
    TADOQuery* query;
    int atLeast;
  } cases[] = {
      {dm->A_ADOQuery1(), 1000}, {dm->A_ADOQuery2(), 200}, {dm->B_ADOQuery1(), 1000},
      {dm->B_ADOQuery2(), 200},  {dm->C_ADOQuery1(), 200000}, {dm->C_ADOQuery2(), 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query->Name());
    c.query->Open();
    EXPECT_GE(c.query->RecordCount(), c.atLeast);
  }
  // Page A and page B read the same rows; page C's idioms all begin with the character.
  EXPECT_EQ(dm->A_ADOQuery1()->RecordCount(), dm->B_ADOQuery1()->RecordCount());
  EXPECT_EQ(dm->A_ADOQuery2()->RecordCount(), dm->B_ADOQuery2()->RecordCount());
  TADOQuery* idioms = dm->C_ADOQuery2();
  EXPECT_LE(idioms->RecordCount(), 200);
  int withMeaning = 0;
  for (idioms->First(); !idioms->Eof(); idioms->Next()) {
    WideString idiom = idioms->FieldByName(L"ChengYu")->AsString();
    ASSERT_EQ(idiom.substr(0, 1), kChun) << WideToUtf8(idiom);
    withMeaning += !idioms->FieldByName(L"HanYi")->AsString().empty();
  }
  EXPECT_GE(withMeaning * 10, idioms->RecordCount() * 9);
  // Every word has its text; a word read back is the text stored.
  TADOQuery* words = dm->C_ADOQuery1();
  words->Last();
  EXPECT_FALSE(words->FieldByName(L"CiYu")->AsString().empty());
}

TEST_F(DataModuleTest, RebuiltStatementsTakeUserTextAsBoundValues) {
  ModulePtr dm = MakeModule();
  const WideString group = L"[a]\u5f00\u5934";
  // The finals of a group, in sort order (PaiXu is a number: 10 after 9).
  TADOQuery* top = dm->A_ADOQuery_Top();
  SetStatement(top, {L"select * from KaroMu where ", L"KaroShou=:KaroShou", L" order by PaiXu"});
  top->ParamByName(L"KaroShou")->SetValue(Variant(group));
  top->Open();
  ASSERT_GE(top->RecordCount(), 5);
  WideString finals;
  int last = 0;
  for (top->First(); !top->Eof(); top->Next()) {
    int order = top->FieldByName(L"PaiXu")->AsInteger();
    EXPECT_GT(order, last);
    last = order;
    finals += top->FieldByName(L"KaroMu")->AsString() + L" ";
  }
  EXPECT_NE((L" " + finals).find(L" ang "), WideString::npos) << WideToUtf8(finals);

  // The rhyme look-up by final and tone on both sound classes: rows, each with characters to show.
  struct Rhyme {
    TADOQuery* query;
    const wchar_t* table;
    const wchar_t* final;
    const wchar_t* tone;
    const wchar_t* syllable;  // one syllable the rows must hold
  } rhymes[] = {
      {dm->A_ADOQuery1(), L"select * from PingSheYin where ", L"ang", L"1", L"fang"},
      {dm->A_ADOQuery2(), L"select * from JuanSheYin where ", L"ang", L"1", L"zhang"},
      {dm->B_ADOQuery1(), L"select * from PingSheYin where ", L"ing", L"2", L"ming"},
      {dm->B_ADOQuery2(), L"select * from JuanSheYin where ", L"-i", L"4", L"shi"},
  };
  for (const Rhyme& r : rhymes) {
    SCOPED_TRACE(WideToAnsi(r.table) + WideToAnsi(r.final) + WideToAnsi(r.tone));
    SetStatement(r.query, {r.table, L"KaroMu=:KaroMu", L" and ", L"ShengDiao=:ShengDiao", L" and ", L"JianYi<>''",
                           L" order by YinJie"});
    r.query->ParamByName(L"KaroMu")->SetValue(Variant(WideString(r.final)));
    r.query->ParamByName(L"ShengDiao")->SetValue(Variant(WideString(r.tone)));
    r.query->Open();
    EXPECT_GE(r.query->RecordCount(), 2);
    bool seen = false;
    for (r.query->First(); !r.query->Eof(); r.query->Next()) {
      EXPECT_EQ(r.query->FieldByName(L"KaroMu")->AsString(), r.final);
      EXPECT_EQ(r.query->FieldByName(L"ShengDiao")->AsString(), r.tone);
      EXPECT_FALSE(r.query->FieldByName(L"JianYi")->AsString().empty());
      seen |= r.query->FieldByName(L"YinJie")->AsString() == r.syllable;
    }
    EXPECT_TRUE(seen) << WideToAnsi(r.syllable);
  }

  // Begins with, contains, ends with on both tables; a quote or wildcard character in the text
  // is only text.
  struct Search {
    WideString pattern;
    int minWords, minIdioms;
  } searches[] = {
      {kChun + L"%", 30, 24},
      {L"%" + kChun + L"%", 200, 90},
      {L"%" + kChun, 100, 10},
      {L"\"" + kChun + L"%", 0, 0},
      {L"'" + kChun + L"%", 0, 0},
  };
  for (const Search& s : searches) {
    SCOPED_TRACE(WideToUtf8(s.pattern));
    SetStatement(dm->C_ADOQuery1(), {L"select * from  CiYu where CiYu Like :X"});
    SetStatement(dm->C_ADOQuery2(), {L"select * from  ChengYu where ChengYu Like :X"});
    for (TADOQuery* q : {dm->C_ADOQuery1(), dm->C_ADOQuery2()}) {
      q->ParamByName(L"X")->SetValue(Variant(s.pattern));
      EXPECT_NO_THROW(q->Open());
    }
    EXPECT_GE(dm->C_ADOQuery1()->RecordCount(), s.minWords);
    EXPECT_GE(dm->C_ADOQuery2()->RecordCount(), s.minIdioms);
    if (s.minWords == 0) {
      EXPECT_EQ(dm->C_ADOQuery1()->RecordCount() + dm->C_ADOQuery2()->RecordCount(), 0);
    }
  }

  // The notes of a category, newest first, with their counts as numbers.
  TADOQuery* notes = dm->D_ADOQuery1();
  SetStatement(notes, {L"select * from  ZuoPin where ", L"LeiBie=:LeiBie", L" order by RiQi desc"});
  notes->ParamByName(L"LeiBie")->SetValue(Variant(WideString(L"\u8bd7")));  // poems
  notes->Open();
  ASSERT_GE(notes->RecordCount(), 2);
  double previous = 1e9;
  for (notes->First(); !notes->Eof(); notes->Next()) {
    Variant date = notes->FieldByName(L"RiQi")->Value();
    ASSERT_EQ(date.VarType(), varDate);
    EXPECT_LE(date.AsDate(), previous);
    previous = date.AsDate();
    EXPECT_EQ(notes->FieldByName(L"LeiBie")->AsString(), L"\u8bd7");
    EXPECT_GE(notes->FieldByName(L"ShuLiang")->AsInteger(), 0);
    EXPECT_FALSE(notes->FieldByName(L"BiaoTi")->AsString().empty());
  }
}

TEST_F(DataModuleTest, RefusesWrongPasswordsWhileBeingCreated) {
  const std::string form = ResourceText();
  ASSERT_FALSE(form.empty());
  struct Case {
    const char* what;
    std::string from, to;
  } cases[] = {
      {"account password", "Password=brenvatol.qz;", "Password=brenvatol.qZ;"},
      {"account", "User ID=Tessaro;", "User ID=Tessara;"},
      {"database password", "Database Password=mordessa.quilnep;", "Database Password=mordessa.quilne;"},
      {"no workgroup file", "System database=Data\\Secured.mdw;", "System database=Data\\Missing.mdw;"},
      {"no database", "Data Source=Data\\Karo.cc;", "Data Source=Data\\Missing.cc;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = Replaced(form, c.from, c.to);
    EXPECT_THROW(MakeModule(&text), EOleException);
  }
  // The untouched text connects, so each refusal above is the one change.
  EXPECT_TRUE(MakeModule(&form)->ADOConnection()->Connected());
  EXPECT_EQ(GetFileAttributesW((program + L"Data\\Missing.cc").c_str()), INVALID_FILE_ATTRIBUTES);

  // A connection closed and reopened with a wrong password stays closed.
  ModulePtr dm = MakeModule();
  TADOConnection* conn = dm->ADOConnection();
  conn->Close();
  const WideString good = conn->ConnectionString();
  conn->SetConnectionString(ReplaceConnectionSettings(good, {{L"Jet OLEDB:Database Password", L"x"}}));
  EXPECT_THROW(conn->Open(), EOleException);
  EXPECT_FALSE(conn->Connected());
  conn->SetConnectionString(good);
  conn->Open();
  EXPECT_TRUE(conn->Connected());
}

// Without a folder given, the module looks beside the running program (this test program, whose
// folder holds no database) and not in the current directory, even when that one holds Karo's.
TEST_F(DataModuleTest, LooksBesideTheProgramNotInTheCurrentDirectory) {
  SetKaroProgramFolder(L"");
  EXPECT_TRUE(SameText(KaroProgramFolder(), OwnFolder()));
  SetCurrentDirectoryW(program.c_str());
  try {
    MakeModule();
    ADD_FAILURE() << "the database of the current directory was used";
  } catch (const EOleException& e) {
    // The workgroup file is checked first; its name is the one beside the program.
    EXPECT_NE(e.Message().find(WideToAnsi(OwnFolder() + L"Data\\")), std::string::npos) << e.Message();
  }
  SetCurrentDirectoryW(elsewhere.c_str());
  SetKaroProgramFolder(program);
  // A program folder given without its trailing backslash is the same folder.
  SetKaroProgramFolder(program.substr(0, program.size() - 1));
  EXPECT_EQ(KaroProgramFolder(), program);
  EXPECT_TRUE(MakeModule()->ADOConnection()->Connected());
}

TEST(ConnectionSettings, ReplacedInPlaceAndReadBackAsWritten) {
  const WideString base = L"Provider=P;Data Source=Data\\Karo.cc;Extended Properties=\"\";User ID=U";
  struct Case {
    WideString value;
  } cases[] = {
      {L"C:\\Karo\\Data\\Karo.cc"},
      {L"C:\\a;b\\Karo.cc"},               // a ';' in a folder name
      {L"C:\\it's \"here\"\\Karo.cc"},     // both quotes
      {L" C:\\lead\\"},                    // a blank at the edge
      {L"D:\\\u6625\U0001F600\\Karo.cc"},  // beyond the ANSI code page
      {L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.value));
    auto s = ParseConnectionString(ReplaceConnectionSettings(base, {{L"data source", c.value}}));
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].second, L"P");
    EXPECT_EQ(s[1].first, L"Data Source");
    EXPECT_EQ(s[1].second, c.value);
    EXPECT_EQ(s[2].second, L"");
    EXPECT_EQ(s[3].second, L"U");
  }
  EXPECT_EQ(ReplaceConnectionSettings(base, {}), base);
  EXPECT_EQ(ReplaceConnectionSettings(L"A=1", {{L"B", L"2"}}), L"A=1;B=2");
}

}  // namespace
