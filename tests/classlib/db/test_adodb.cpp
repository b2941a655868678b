// The connection, its account and password checks, and the query over real SQLite files:
// navigation, fields and their conversions, dates, parameters, every edit path and what a
// failed statement or write leaves behind.
#include <gtest/gtest.h>

#include "tests/classlib/db/db_fixture.h"

namespace {

WideString Titles(TADOQuery* q) {
  WideString s;
  for (q->First(); !q->Eof(); q->Next()) s += q->FieldByName(L"BiaoTi")->AsString();
  return s;
}

TEST(ConnectionString, SettingsInOrderWithQuotedValues) {
  auto s = ParseConnectionString(
      L"Provider=Microsoft.Jet.OLEDB.4.0;Password=a;b;Extended Properties=\"\";Data Source=Data\\Karo.cc;"
      L"Jet OLEDB:Registry Path=\"\";X = ' q''s ; v ' ; Y=\"say \"\"hi\"\"\"");
  ASSERT_EQ(s.size(), 7u);
  EXPECT_EQ(s[0].first, L"Provider");
  EXPECT_EQ(s[1].second, L"a");  // the value ends at the first ";" outside quotes
  EXPECT_EQ(s[2].first, L"Extended Properties");
  EXPECT_EQ(s[2].second, L"");
  EXPECT_EQ(s[3].second, L"Data\\Karo.cc");
  EXPECT_EQ(s[4].second, L"");
  EXPECT_EQ(s[5].first, L"X");
  EXPECT_EQ(s[5].second, L" q's ; v ");
  EXPECT_EQ(s[6].second, L"say \"hi\"");
}

TEST_F(DbFixture, ConnectsWithTheRightAccountAndPasswords) {
  conn->Open();
  EXPECT_TRUE(conn->Connected());
  EXPECT_EQ(conn->Provider(), L"Microsoft.Jet.OLEDB.4.0");
  conn->Close();
  EXPECT_FALSE(conn->Connected());
}

TEST_F(DbFixture, RefusesWrongAccountsPasswordsAndMissingFiles) {
  DeleteFileW((folder + L"Other.mdw").c_str());
  struct Case {
    const char* what;
    WideString connection;
  } cases[] = {
      {"user password", KaroConnectionString(folder, L"brenvatol.qZ")},
      {"empty user password", KaroConnectionString(folder, L"")},
      {"database password", KaroConnectionString(folder, L"brenvatol.qz", L"mordessa.quilne")},
      {"no database password", KaroConnectionString(folder, L"brenvatol.qz", L"")},
      {"missing workgroup file", KaroConnectionString(folder, L"brenvatol.qz", L"mordessa.quilnep", L"Other.mdw")},
      {"password without workgroup", KaroConnectionString(folder, L"brenvatol.qz", L"mordessa.quilnep", L"")},
      {"missing database", L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + L"Missing.cc"},
      {"other provider", L"Provider=Other.Provider.1;Data Source=" + folder + L"Karo.cc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    conn->SetConnectionString(c.connection);
    EXPECT_THROW(conn->Open(), EOleException);
    EXPECT_FALSE(conn->Connected());
  }
  // A refusal never leaves an empty database behind.
  EXPECT_EQ(GetFileAttributesW((folder + L"Missing.cc").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((folder + L"Other.mdw").c_str()), INVALID_FILE_ATTRIBUTES);
  // The message names what is wrong.
  conn->SetConnectionString(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder + L"Missing.cc");
  try {
    conn->Open();
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_NE(e.Message().find("Could not find file"), std::string::npos) << e.Message();
  }
}

TEST_F(DbFixture, NavigationFollowsBofAndEof) {
  TADOQuery* q = Query(L"select * from ZuoPin");
  q->Open();
  EXPECT_TRUE(q->KeepsRowIds());
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_TRUE(q->Bof());
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->RecNo(), 1);
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"a");
  q->Prior();  // at the first record: stays, and says so
  EXPECT_TRUE(q->Bof());
  EXPECT_EQ(q->RecNo(), 1);
  q->Next();
  EXPECT_FALSE(q->Bof());
  EXPECT_EQ(q->FieldByName(L"biaotI")->AsString(), L"b");
  EXPECT_EQ(q->MoveBy(2), 2);
  EXPECT_EQ(q->RecNo(), 4);
  EXPECT_EQ(q->MoveBy(5), 1);
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"e");
  q->Next();
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecNo(), 5);
  q->Prior();
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"d");
  q->First();
  EXPECT_TRUE(q->Bof());
  q->Last();
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecNo(), 5);
  q->SetRecNo(3);
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"c");
  EXPECT_EQ(Titles(q), L"abcde");
  EXPECT_THROW(q->FieldByName(L"Missing"), EDatabaseError);

  // Karo's count loop: RecordCount times the value, then Next.
  q->First();
  int n = q->RecordCount();
  WideString seen;
  for (int i = 0; i < n; ++i, q->Next()) seen += WideString(q->FieldByName(L"BiaoTi")->Value());
  EXPECT_EQ(seen, L"abcde");

  q->Close();
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->RecordCount(), 0);
}

TEST_F(DbFixture, EmptyResultIsAtBothEnds) {
  TADOQuery* q = Query(L"select * from ZuoPin where LeiBie = :cat");
  q->ParamByName(L"cat")->SetValue(Variant(L"none"));
  q->Open();
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_TRUE(q->Bof());
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecNo(), 0);
  q->Next();
  q->Last();
  EXPECT_TRUE(q->Eof());
  // Karo's group query with no match: the value read is Null, and its text conversion fails.
  Variant v = q->FieldByName(L"BiaoTi")->Value();
  EXPECT_TRUE(v.IsNull());
  EXPECT_THROW((void)WideString(v), EVariantTypeCastError);
  EXPECT_THROW((void)WideString(v), EConvertError);
}

TEST_F(DbFixture, NullAndConversionErrors) {
  TADOQuery* q = Query(L"select * from ZuoPin order by BiaoTi");
  q->Open();
  q->Next();  // 'b': ShuLiang Null, ZuoZhe Null
  TField* count = q->FieldByName(L"ShuLiang");
  TField* author = q->FieldByName(L"ZuoZhe");
  EXPECT_EQ(count->DataType(), ftInteger);
  EXPECT_TRUE(count->IsNull());
  EXPECT_TRUE(author->IsNull());
  EXPECT_EQ(author->AsString(), L"");
  EXPECT_EQ(count->AsInteger(), 0);
  EXPECT_THROW(author->AsInteger(), EConvertError);
  EXPECT_THROW((void)int(count->Value()), EVariantTypeCastError);
  // The variant sum of the notes total: Null stops it with the conversion error.
  Variant total = Variant(0);
  EXPECT_THROW((void)int(total + count->Value()), EVariantTypeCastError);
  q->First();
  EXPECT_EQ(int(total + q->FieldByName(L"ShuLiang")->Value()), 1);
  EXPECT_EQ(int(Variant(L"41") + Variant(1)), 42);
  EXPECT_THROW((void)int(Variant(L"x1") + Variant(1)), EVariantTypeCastError);
  EXPECT_THROW(q->FieldByName(L"BiaoTi")->AsInteger(), EConvertError);  // 'a' is no number
  EXPECT_EQ(count->AsString(), L"1");
}

TEST_F(DbFixture, DatesReadAsDatesAndWriteInTheShortDateFormat) {
  TADOQuery* q = Query(L"select * from ZuoPin order by BiaoTi");
  q->Open();
  q->Next();
  TField* date = q->FieldByName(L"RiQi");
  EXPECT_EQ(date->DataType(), ftDateTime);
  Variant v = date->Value();
  ASSERT_EQ(v.VarType(), varDate);
  int y, m, d;
  DecodeDate(v.AsDate(), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
  EXPECT_EQ(date->AsString(), DateToStr(EncodeDate(2024, 2, 29)));
  // Text in the system's short date format is a date; the file stores it as "yyyy-mm-dd".
  q->Edit();
  date->SetAsString(DateToStr(EncodeDate(2025, 3, 7)));
  q->Post();
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT RiQi FROM ZuoPin WHERE BiaoTi = 'b'"), L"2025-03-07");
  // Text that is no date is refused and the record stays in edit state.
  q->Edit();
  EXPECT_THROW(date->SetAsString(L"31.31.31x"), EConvertError);
  EXPECT_EQ(q->State(), dsEdit);
  q->Cancel();
  // Null dates read as Null.
  q->Next();
  EXPECT_TRUE(q->FieldByName(L"RiQi")->IsNull());
}

TEST_F(DbFixture, TextsGoInAndComeBackExactlyAsBoundValues) {
  const WideString texts[] = {
      L"it's",         L"say \"hi\"",      L"100%",       L"a_b",          L"back\\slash\\\\", L"\u6625\u7720\u4e0d\u89c9\u6653",
      L"\U00020000\U0001F600", L"'; DROP TABLE ZuoPin; --", L"\" or 1=1 --", L"",
  };
  TADOQuery* q = Query(L"select BiaoTi, NeiRong from ZuoPin");
  q->Open();
  for (const WideString& t : texts) {
    q->Append();
    q->FieldByName(L"BiaoTi")->SetValue(Variant(t));
    q->FieldByName(L"NeiRong")->SetAsString(L"k");
    q->Post();
  }
  TADOQuery* find = Query(L"select BiaoTi from ZuoPin where BiaoTi = :t");
  for (const WideString& t : texts) {
    SCOPED_TRACE(WideToUtf8(t));
    find->Close();
    find->ParamByName(L"t")->SetValue(Variant(t));
    find->Open();
    ASSERT_EQ(find->RecordCount(), 1);
    EXPECT_EQ(find->FieldByName(L"BiaoTi")->AsString(), t);
  }
  // A parameter that holds a wildcard matches it as the statement's pattern says, nothing more.
  TADOQuery* like = Query(L"select BiaoTi from ZuoPin where BiaoTi like :p order by BiaoTi");
  like->ParamByName(L"p")->SetValue(Variant(L"\u6625%"));
  like->Open();
  ASSERT_EQ(like->RecordCount(), 1);
  EXPECT_EQ(like->FieldByName(L"BiaoTi")->AsString(), texts[5]);
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin"), L"15");
}

TEST_F(DbFixture, ParametersFollowTheStatement) {
  TADOQuery* q = Query(L"select * from ZuoPin where LeiBie = :cat and BiaoTi <> ':no' -- :neither");
  ASSERT_EQ(q->Parameters()->Count(), 1);
  EXPECT_THROW(q->ParamByName(L"no"), EDatabaseError);
  q->ParamByName(L"CAT")->SetValue(Variant(L"poem"));
  q->Open();
  EXPECT_EQ(q->RecordCount(), 4);
  q->SQL()->Add(L" and ShuLiang > :min");  // a change closes the query and keeps known values
  EXPECT_FALSE(q->Active());
  ASSERT_EQ(q->Parameters()->Count(), 2);
  q->ParamByName(L"min")->SetValue(Variant(2));
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
}

TEST_F(DbFixture, FailedStatementsLeaveTheQueryClosed) {
  struct Case {
    const char* what;
    const wchar_t* sql;
  } cases[] = {
      {"syntax", L"select * from ZuoPin where BiaoTi = 'a"},
      {"double-quoted text is a name", L"select * from ZuoPin where BiaoTi = \"a\""},
      {"missing table", L"select * from Nothing"},
      {"two statements", L"select * from ZuoPin; delete from ZuoPin"},
      {"no result set", L"delete from ZuoPin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TADOQuery* q = Query(c.sql);
    EXPECT_THROW(q->Open(), EOleException);
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(q->FieldCount(), 0);
  }
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin"), L"5");
}

TEST_F(DbFixture, EditPostCancelWriteBackByRowid) {
  TADOQuery* q = Query(L"select * from ZuoPin where LeiBie = :c order by BiaoTi desc");
  q->ParamByName(L"c")->SetValue(Variant(L"poem"));
  q->Open();
  EXPECT_TRUE(q->CanModify());
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"e");
  EXPECT_THROW(q->FieldByName(L"BiaoTi")->SetAsString(L"x"), EDatabaseError);  // browsing
  q->Edit();
  EXPECT_EQ(q->State(), dsEdit);
  q->FieldByName(L"BiaoTi")->SetAsString(L"E2");
  q->FieldByName(L"ShuLiang")->SetAsString(L"7");
  q->Cancel();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"e");
  q->Edit();
  q->FieldByName(L"BiaoTi")->SetAsString(L"E2");
  q->FieldByName(L"ShuLiang")->SetAsString(L"7");
  q->Post();
  EXPECT_EQ(q->State(), dsBrowse);
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT BiaoTi || ShuLiang FROM ZuoPin WHERE ZuoZhe = 'v'"), L"E27");
  EXPECT_EQ(q->FieldByName(L"ShuLiang")->Value().VarType(), varInteger);
  // Moving while editing posts the change first.
  q->Edit();
  q->FieldByName(L"ZuoZhe")->SetAsString(L"moved");
  q->Next();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(raw.Column("SELECT ZuoZhe FROM ZuoPin WHERE BiaoTi = 'E2'"), L"moved");
}

TEST_F(DbFixture, AppendInsertAndDelete) {
  TADOQuery* q = Query(L"select * from ZuoPin where LeiBie = :c");
  q->ParamByName(L"c")->SetValue(Variant(L"prose"));
  q->Open();
  ASSERT_EQ(q->RecordCount(), 1);
  int newRecords = 0;
  q->OnNewRecord = [&](TDataSet*) { ++newRecords; };
  // Karo's New: Edit, then Append.
  q->Edit();
  q->Append();
  EXPECT_EQ(q->State(), dsInsert);
  EXPECT_EQ(newRecords, 1);
  EXPECT_TRUE(q->FieldByName(L"BiaoTi")->IsNull());
  q->FieldByName(L"BiaoTi")->SetValue(Variant(L""));
  q->FieldByName(L"LeiBie")->SetValue(Variant(L"prose"));
  q->FieldByName(L"ShuLiang")->SetAsString(L"0");
  q->Cancel();
  EXPECT_EQ(q->RecordCount(), 1);
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin"), L"5");
  q->Append();
  q->FieldByName(L"BiaoTi")->SetValue(Variant(L""));
  q->FieldByName(L"LeiBie")->SetValue(Variant(L"prose"));
  q->FieldByName(L"ShuLiang")->SetAsString(L"0");
  q->Post();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->RecNo(), 2);
  EXPECT_EQ(raw.Column("SELECT quote(BiaoTi) || ShuLiang FROM ZuoPin WHERE rowid = 6"), L"''0");
  // Insert stands before the current record.
  q->First();
  q->Insert();
  q->FieldByName(L"BiaoTi")->SetAsString(L"ins");
  q->Post();
  EXPECT_EQ(q->RecordCount(), 3);
  EXPECT_EQ(Titles(q), L"insd");
  // Delete removes the current record from the file and the query.
  q->First();
  q->Delete();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"d");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin WHERE BiaoTi = 'ins'"), L"0");
}

TEST_F(DbFixture, EditOfAnEmptyResultStartsANewRecordAndDeleteCancelsIt) {
  TADOQuery* q = Query(L"select * from ZuoPin where LeiBie = :c");
  q->ParamByName(L"c")->SetValue(Variant(L"empty"));
  q->Open();
  q->Edit();
  EXPECT_EQ(q->State(), dsInsert);
  q->Delete();  // on a new record: nothing to remove
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_THROW(q->Delete(), EDatabaseError);
  q->Edit();
  q->FieldByName(L"LeiBie")->SetAsString(L"empty");
  q->Post();  // Save on an empty category stores a new record
  EXPECT_EQ(q->RecordCount(), 1);
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin WHERE LeiBie = 'empty'"), L"1");
}

TEST_F(DbFixture, FailedPostWritesNothingAndStaysInEditState) {
  TADOQuery* q = Query(L"select * from ZuoPin order by BiaoTi");
  q->Open();
  q->Edit();
  q->FieldByName(L"BiaoTi")->SetAsString(L"changed");
  q->FieldByName(L"NeiRong")->SetAsString(L"refused");  // the table's check refuses it
  EXPECT_THROW(q->Post(), EOleException);
  EXPECT_EQ(q->State(), dsEdit);
  EXPECT_EQ(q->FieldByName(L"BiaoTi")->AsString(), L"changed");
  TRawDb raw(folder + L"Karo.cc");
  EXPECT_EQ(raw.Column("SELECT BiaoTi FROM ZuoPin WHERE rowid = 1"), L"a");
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin WHERE BiaoTi = 'changed'"), L"0");
  // The connection is usable again: the next write goes through.
  q->FieldByName(L"NeiRong")->SetAsString(L"fine");
  q->Post();
  EXPECT_EQ(raw.Column("SELECT BiaoTi || NeiRong FROM ZuoPin WHERE rowid = 1"), L"changedfine");
  // A failed insert leaves nothing either.
  q->Append();
  q->FieldByName(L"NeiRong")->SetAsString(L"refused");
  EXPECT_THROW(q->Post(), EOleException);
  EXPECT_EQ(q->State(), dsInsert);
  q->Cancel();
  EXPECT_EQ(raw.Column("SELECT count(*) FROM ZuoPin"), L"5");
}

TEST_F(DbFixture, StatementsOverSeveralRowsOrFunctionsAreReadOnlyCopies) {
  TADOQuery* q = Query(L"select LeiBie, count(*) as n, sum(ShuLiang) as s from ZuoPin group by LeiBie order by LeiBie");
  q->Open();
  EXPECT_FALSE(q->KeepsRowIds());
  EXPECT_FALSE(q->CanModify());
  ASSERT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->FieldByName(L"n")->AsInteger(), 4);
  q->Next();
  EXPECT_EQ(q->FieldByName(L"s")->AsInteger(), 4);
  EXPECT_THROW(q->Edit(), EDatabaseError);
  // Columns renamed or computed read well but are not written back.
  TADOQuery* r = Query(L"select BiaoTi as t, ShuLiang + 1 as n from ZuoPin order by 2 desc");
  r->Open();
  EXPECT_TRUE(r->KeepsRowIds());
  EXPECT_FALSE(r->CanModify());
  EXPECT_EQ(r->FieldByName(L"t")->AsString(), L"e");
  EXPECT_EQ(r->FieldByName(L"n")->AsInteger(), 6);
}

TEST_F(DbFixture, ClosingTheConnectionClosesItsQueries) {
  TADOQuery* q = Query(L"select * from ZuoPin");
  q->Open();  // opens the connection too
  EXPECT_TRUE(conn->Connected());
  conn->Close();
  EXPECT_FALSE(q->Active());
}

}  // namespace
