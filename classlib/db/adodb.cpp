#include "classlib/db/adodb.h"

#include <sqlite3.h>

#include <algorithm>
#include <cwctype>

namespace {

// --- Reading a statement ---

enum TTokenKind { tkWord, tkQuotedName, tkString, tkNumber, tkParam, tkSymbol };
struct TToken {
  TTokenKind Kind;
  size_t Start, End;
  std::string Text;  // upper-cased for words
  int Depth;         // parentheses around the token
};

bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

// The tokens of a statement, without blanks and comments.
std::vector<TToken> Tokenize(const std::string& s) {
  std::vector<TToken> out;
  size_t i = 0, n = s.size();
  int depth = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      size_t e = s.find("*/", i + 2);
      i = e == std::string::npos ? n : e + 2;
      continue;
    }
    size_t start = i;
    TTokenKind kind;
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
      char close = c == '[' ? ']' : char(c);
      ++i;
      while (i < n) {
        if (s[i] == close) {
          if (close != ']' && i + 1 < n && s[i + 1] == close) {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      i = std::min(i + 1, n);
      kind = c == '\'' ? tkString : tkQuotedName;
    } else if ((c == ':' || c == '@' || c == '$') && i + 1 < n && IsWordChar(static_cast<unsigned char>(s[i + 1]))) {
      ++i;
      while (i < n && IsWordChar(static_cast<unsigned char>(s[i]))) ++i;
      kind = tkParam;
    } else if (c == '?') {
      ++i;
      while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
      kind = tkParam;
    } else if (std::isdigit(c)) {
      while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      kind = tkNumber;
    } else if (IsWordChar(c)) {
      while (i < n && IsWordChar(static_cast<unsigned char>(s[i]))) ++i;
      kind = tkWord;
    } else {
      ++i;
      kind = tkSymbol;
      if (c == ')') --depth;
    }
    TToken t{kind, start, i, s.substr(start, i - start), depth};
    if (kind == tkWord) t.Text = UpperCase(t.Text);
    if (kind == tkSymbol && c == '(') ++depth;
    out.push_back(std::move(t));
  }
  return out;
}

bool IsWord(const TToken& t, const char* w) { return t.Kind == tkWord && t.Text == w; }

// What the layer learns of a statement that reads one table: where its FROM stands, the table's
// name and its end, and whether its columns are the table's own (all, or plain names).
struct TSingleTable {
  bool Ok = false;
  bool PlainColumns = false;
  bool OrdersByPosition = false;  // "ORDER BY 2": a place in the column list, not a name
  size_t FromStart = 0, TableEnd = 0;
  std::string Table;
};

TSingleTable ReadSingleTable(const std::string& sql) {
  TSingleTable r;
  std::vector<TToken> t = Tokenize(sql);
  if (t.empty() || !IsWord(t[0], "SELECT")) return r;
  size_t from = 0;
  for (size_t k = 1; k < t.size(); ++k) {
    if (t[k].Depth == 0 && IsWord(t[k], "FROM")) {
      from = k;
      break;
    }
    // Functions (aggregates among them) and subqueries in the columns: not one row per table row.
    if (t[k].Kind == tkSymbol && t[k].Text == "(") return r;
    if (IsWord(t[k], "DISTINCT") || IsWord(t[k], "ALL")) return r;
  }
  if (from < 2 || from + 1 >= t.size()) return r;
  const TToken& table = t[from + 1];
  if (table.Kind != tkWord && table.Kind != tkQuotedName) return r;
  if (from + 2 < t.size()) {
    const TToken& next = t[from + 2];
    if (!(IsWord(next, "WHERE") || IsWord(next, "ORDER") || IsWord(next, "LIMIT"))) return r;
  }
  for (size_t k = from + 2; k < t.size(); ++k) {
    if (t[k].Depth != 0) continue;
    for (const char* w : {"GROUP", "HAVING", "UNION", "INTERSECT", "EXCEPT", "WINDOW", "JOIN", "FROM"})
      if (IsWord(t[k], w)) return r;
    if (t[k].Kind == tkSymbol && t[k].Text == ";") return r;
    if (t[k].Kind == tkNumber && k >= 1 && (IsWord(t[k - 1], "BY") || (t[k - 1].Kind == tkSymbol && t[k - 1].Text == ",")))
      r.OrdersByPosition = true;
  }
  // Plain columns: "*" alone, or names separated by commas.
  bool plain = true;
  if (!(from == 2 && t[1].Kind == tkSymbol && t[1].Text == "*")) {
    for (size_t k = 1; k < from; ++k) {
      bool name = (k % 2 == 1);
      if (name ? !(t[k].Kind == tkWord || t[k].Kind == tkQuotedName) : !(t[k].Kind == tkSymbol && t[k].Text == ","))
        plain = false;
    }
    if (from % 2 != 0) plain = false;
  }
  r.Ok = true;
  r.PlainColumns = plain;
  r.FromStart = t[from].Start;
  r.TableEnd = table.End;
  r.Table = table.Text;
  return r;
}

std::string QuoteName(const std::string& name) {
  std::string q = "\"";
  for (char c : name) {
    q += c;
    if (c == '"') q += '"';
  }
  return q + "\"";
}

TFieldType TypeOfDecl(const char* decl) {
  if (!decl) return ftUnknown;
  std::string d = UpperCase(decl);
  if (d.find("DATE") != std::string::npos || d.find("TIME") != std::string::npos) return ftDateTime;
  if (d.find("INT") != std::string::npos) return ftInteger;
  if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos || d.find("DOUB") != std::string::npos ||
      d.find("NUMERIC") != std::string::npos || d.find("DECIMAL") != std::string::npos)
    return ftFloat;
  return ftWideString;
}

void BindVariant(sqlite3_stmt* stmt, int index, const Variant& v) {
  switch (v.VarType()) {
    case varEmpty:
    case varNull: sqlite3_bind_null(stmt, index); break;
    case varInteger: sqlite3_bind_int64(stmt, index, v.AsInt64()); break;
    case varDouble: sqlite3_bind_double(stmt, index, v.AsDouble()); break;
    case varDate: {
      std::string iso = DateToIso(v.AsDate());
      sqlite3_bind_text(stmt, index, iso.data(), int(iso.size()), SQLITE_TRANSIENT);
      break;
    }
    case varOleStr: {
      WideString s = v.AsWideString();
      sqlite3_bind_text16(stmt, index, s.data(), int(s.size() * sizeof(wchar_t)), SQLITE_TRANSIENT);
      break;
    }
  }
}

Variant ColumnVariant(sqlite3_stmt* stmt, int col) {
  switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_NULL: return Null();
    case SQLITE_INTEGER: return Variant(int64_t(sqlite3_column_int64(stmt, col)));
    case SQLITE_FLOAT: return Variant(sqlite3_column_double(stmt, col));
    default: {
      auto* p = static_cast<const wchar_t*>(sqlite3_column_text16(stmt, col));
      int bytes = sqlite3_column_bytes16(stmt, col);
      return Variant(p ? WideString(p, size_t(bytes) / sizeof(wchar_t)) : WideString());
    }
  }
}

WideString JoinLines(TWideStrings* lines) {
  WideString s;
  for (int i = 0; i < lines->Count(); ++i) {
    if (i) s += L"\r\n";
    s += lines->Strings(i);
  }
  return s;
}

}  // namespace

// --- Connection strings ---

std::vector<std::pair<WideString, WideString>> ParseConnectionString(const WideString& text) {
  std::vector<std::pair<WideString, WideString>> out;
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t eq = text.find(L'=', i), semi = text.find(L';', i);
    if (eq == WideString::npos || (semi != WideString::npos && semi < eq)) {
      i = semi == WideString::npos ? n : semi + 1;
      continue;
    }
    WideString key = Trim(std::wstring_view(text).substr(i, eq - i));
    size_t j = eq + 1;
    while (j < n && (text[j] == L' ' || text[j] == L'\t')) ++j;
    WideString value;
    if (j < n && (text[j] == L'"' || text[j] == L'\'')) {
      wchar_t q = text[j++];
      while (j < n) {
        if (text[j] == q) {
          if (j + 1 < n && text[j + 1] == q) {
            value += q;
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        value += text[j++];
      }
      size_t e = text.find(L';', j);
      i = e == WideString::npos ? n : e + 1;
    } else {
      size_t e = text.find(L';', j);
      value = Trim(std::wstring_view(text).substr(j, (e == WideString::npos ? n : e) - j));
      i = e == WideString::npos ? n : e + 1;
    }
    if (!key.empty()) out.emplace_back(key, value);
  }
  return out;
}

// --- TADOConnection ---

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner) {}

TADOConnection::~TADOConnection() {
  for (TADOQuery* q : std::vector<TADOQuery*>(dataSets_)) q->SetConnection(nullptr);
  db_.Close();
}

void TADOConnection::BeforeDestruction() {
  for (TADOQuery* q : std::vector<TADOQuery*>(dataSets_)) q->Close();
  TComponent::BeforeDestruction();
}

void TADOConnection::SetConnectionString(const WideString& v) {
  connectionString_ = v;
  WideString p = Setting(L"Provider");
  if (!p.empty()) provider_ = p;
}

WideString TADOConnection::Setting(const WideString& key) const {
  WideString found;
  for (const auto& [k, v] : ParseConnectionString(connectionString_))
    if (SameText(k, key)) found = v;
  return found;
}

void TADOConnection::SetConnected(bool v) {
  if (HasState(csLoading) || HasState(csReading)) {
    streamedConnected_ = v;
    return;
  }
  if (v) Open();
  else Close();
}

void TADOConnection::Loaded() {
  TComponent::Loaded();
  if (streamedConnected_) {
    streamedConnected_ = false;
    Open();
  }
}

void TADOConnection::Open() {
  if (Connected()) return;
  if (BeforeConnect) BeforeConnect(this);
  WideString provider = Setting(L"Provider");
  if (provider.empty()) provider = provider_;
  if (!SameText(provider, kJetProvider))
    throw EOleException("Provider '" + WideToAnsi(provider) + "' cannot be found. It may not be properly installed.");
  WideString file = Setting(L"Data Source");
  if (file.empty()) throw EOleException("The connection string names no database file (\"Data Source\").");
  WideString user = Setting(L"User ID"), password = Setting(L"Password");
  WideString system = Setting(L"Jet OLEDB:System database");
  if (!system.empty()) {
    if (!FileExists(system))
      throw EOleException("The workgroup information file '" + WideToAnsi(system) + "' is missing.");
    CheckWorkgroupAccount(WideToUtf8(system), WideToUtf8(user), WideToUtf8(password));
  } else if (!password.empty()) {
    // A password that no workgroup file can check is refused rather than ignored.
    throw EOleException("Not a valid account name or password.");
  }
  if (!FileExists(file)) throw EOleException("Could not find file '" + WideToAnsi(file) + "'.");
  bool readOnly = mode_ == cmRead || SameText(Setting(L"Mode"), L"Read");
  try {
    db_.Open(WideToUtf8(file), readOnly);
    CheckDatabasePassword(db_, WideToUtf8(Setting(L"Jet OLEDB:Database Password")));
  } catch (const EOleException& e) {
    db_.Close();
    throw EOleException(e.Message());
  }
  if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Close() {
  if (!Connected()) return;
  if (BeforeDisconnect) BeforeDisconnect(this);
  for (TADOQuery* q : std::vector<TADOQuery*>(dataSets_)) q->Close();
  db_.Close();
  if (AfterDisconnect) AfterDisconnect(this);
}

void TADOConnection::RegisterDataSet(TADOQuery* q) {
  if (std::find(dataSets_.begin(), dataSets_.end(), q) == dataSets_.end()) dataSets_.push_back(q);
}
void TADOConnection::UnregisterDataSet(TADOQuery* q) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), q), dataSets_.end());
}

KARO_CLASS_PROPS(TADOConnection, TComponent,
                 Prop("Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(0),
                 Prop("ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString),
                 Prop("LoginPrompt", &TADOConnection::LoginPrompt, &TADOConnection::SetLoginPrompt).Default(1),
                 Prop("Mode", &TADOConnection::Mode, &TADOConnection::SetMode).Default(cmUnknown),
                 Prop("Provider", &TADOConnection::Provider, &TADOConnection::SetProvider),
                 Prop("AfterConnect", &TADOConnection::AfterConnect, &TADOConnection::AfterConnect),
                 Prop("AfterDisconnect", &TADOConnection::AfterDisconnect, &TADOConnection::AfterDisconnect),
                 Prop("BeforeConnect", &TADOConnection::BeforeConnect, &TADOConnection::BeforeConnect),
                 Prop("BeforeDisconnect", &TADOConnection::BeforeDisconnect, &TADOConnection::BeforeDisconnect))

// --- Parameters ---

void TParameter::Assign(TPersistent* source) {
  if (auto* p = dyn<TParameter>(source)) {
    name_ = p->name_;
    value_ = p->value_;
    return;
  }
  TCollectionItem::Assign(source);
}

KARO_CLASS_PROPS(TParameter, TCollectionItem, Prop("Name", &TParameter::Name, &TParameter::SetName))

TParameter* TParameters::FindParam(const WideString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), name)) return Items(i);
  return nullptr;
}

TParameter* TParameters::ParamByName(const WideString& name) const {
  TParameter* p = FindParam(name);
  if (!p) throw EDatabaseError("Parameter '" + WideToAnsi(name) + "' not found");
  return p;
}

TParameter* TParameters::AddParameter(const WideString& name) {
  auto* p = static_cast<TParameter*>(Add());
  p->SetName(name);
  return p;
}

void TParameters::ParseSQL(const WideString& sql) {
  std::vector<std::pair<WideString, Variant>> old;
  for (int i = 0; i < Count(); ++i) old.emplace_back(Items(i)->Name(), Items(i)->Value());
  std::vector<WideString> names;
  for (const TToken& t : Tokenize(WideToUtf8(sql)))
    if (t.Kind == tkParam && t.Text[0] == ':') {
      WideString name = Utf8ToWide(t.Text.substr(1));
      bool seen = false;
      for (const WideString& n : names) seen = seen || SameText(n, name);
      if (!seen) names.push_back(name);
    }
  BeginUpdate();
  Clear();
  for (const WideString& n : names) {
    TParameter* p = AddParameter(n);
    for (const auto& [on, ov] : old)
      if (SameText(on, n)) p->SetValue(ov);
  }
  EndUpdate();
}

KARO_CLASS_INFO(TParameters, TOwnedCollection)

// --- TADOQuery ---

TADOQuery::TADOQuery(TComponent* owner)
    : TDataSet(owner), sql_(std::make_unique<TWideStringList>()), params_(std::make_unique<TParameters>(this)) {
  sql_->OnChange = [this](TObject*) { SQLChanged(); };
}

TADOQuery::~TADOQuery() { SetConnection(nullptr); }

void TADOQuery::BeforeDestruction() {
  TDataSet::BeforeDestruction();
  InternalClose();
}

void TADOQuery::SQLChanged() {
  if (!HasState(csLoading) && !HasState(csReading)) Close();
  params_->ParseSQL(JoinLines(sql_.get()));
}

void TADOQuery::SetConnection(TADOConnection* c) {
  if (c == connection_) return;
  if (Active()) Close();
  if (connection_) {
    connection_->UnregisterDataSet(this);
    connection_->RemoveFreeNotification(this);
  }
  connection_ = c;
  if (connection_) {
    connection_->RegisterDataSet(this);
    connection_->FreeNotification(this);
  }
}

void TADOQuery::Notification(TComponent* c, TOperation op) {
  TDataSet::Notification(c, op);
  if (op == opRemove && c == connection_) {
    if (Active()) Close();
    connection_ = nullptr;
  }
}

void TADOQuery::BindParameters(TSqliteStmt& stmt) {
  sqlite3_stmt* s = stmt.Handle();
  int n = sqlite3_bind_parameter_count(s);
  for (int i = 1; i <= n; ++i) {
    const char* name = sqlite3_bind_parameter_name(s, i);
    if (fetch_.Handle() == s && i == fetchRowIdParam_) continue;
    if (!name || name[0] != ':')
      throw EOleException("Parameters are written \":name\"; the statement has another kind.");
    TParameter* p = params_->FindParam(Utf8ToWide(name + 1));
    if (!p) throw EOleException(std::string("No value given for the parameter '") + (name + 1) + "'.");
    BindVariant(s, i, p->Value());
  }
}

void TADOQuery::MakeFields(TSqliteStmt& stmt, int columns) {
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(stmt.Handle(), i);
    TFieldType type = TypeOfDecl(sqlite3_column_decltype(stmt.Handle(), i));
    AddField(Utf8ToWide(name ? name : ""), type == ftUnknown ? ftWideString : type);
  }
}

void TADOQuery::ReadRow(TSqliteStmt& stmt, int columns, std::vector<Variant>& values) {
  values.resize(size_t(columns));
  for (int i = 0; i < columns; ++i) values[size_t(i)] = ColumnVariant(stmt.Handle(), i);
}

int TADOQuery::InternalOpen() {
  if (!connection_) throw EDatabaseError(Name() + ": Missing Connection or ConnectionString");
  connection_->Open();
  sqlite3* db = connection_->Database().Handle();
  std::string sql = WideToUtf8(JoinLines(sql_.get()));
  if (Trim(sql).empty()) throw EDatabaseError(Name() + ": CommandText is empty");
  // One statement only: a second one is refused, never skipped or run.
  {
    sqlite3_stmt* probe = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &probe, &tail) != SQLITE_OK) {
      std::string err = sqlite3_errmsg(db);
      sqlite3_finalize(probe);
      throw EOleException(err);
    }
    int cols = probe ? sqlite3_column_count(probe) : 0;
    sqlite3_finalize(probe);
    if (tail && !Tokenize(tail).empty() && !(Tokenize(tail).size() == 1 && Tokenize(tail)[0].Text == ";"))
      throw EOleException("The command text holds more than one statement.");
    if (cols == 0) throw EOleException("The command text does not return a set of records.");
  }
  keyset_ = updatable_ = false;
  rowIds_.Clear();
  rows_.clear();
  TSingleTable single = ReadSingleTable(sql);
  if (single.Ok) {
    try {
      // Plain columns are the table's own, so the rowids alone can be read in the statement's
      // order without the columns' contents; otherwise the columns keep their places.
      bool rowIdsOnly = single.PlainColumns && !single.OrdersByPosition;
      std::string keysetSql = rowIdsOnly ? "SELECT rowid " + sql.substr(single.FromStart)
                                         : sql.substr(0, single.FromStart) + ", rowid " + sql.substr(single.FromStart);
      std::string fetchSql = sql.substr(0, single.TableEnd) + " WHERE rowid = ?";
      TSqliteStmt keys(db, keysetSql);
      TSqliteStmt fetch(db, fetchSql);
      fetchRowIdParam_ = sqlite3_bind_parameter_count(fetch.Handle());
      fetch_ = std::move(fetch);
      BindParameters(keys);
      BindParameters(fetch_);
      int cols = sqlite3_column_count(keys.Handle()) - 1;
      MakeFields(rowIdsOnly ? fetch_ : keys, sqlite3_column_count(fetch_.Handle()));
      while (keys.Step()) rowIds_.Append(sqlite3_column_int64(keys.Handle(), cols));
      keyset_ = true;
      table_ = single.Table;
    } catch (const EOleException&) {
      // A view, a table without rowids or a column named like one: read the rows themselves.
      fetch_ = TSqliteStmt();
      ClearFields();
      rowIds_.Clear();
    }
  }
  if (!keyset_) {
    TSqliteStmt stmt(db, sql);
    BindParameters(stmt);
    int cols = sqlite3_column_count(stmt.Handle());
    MakeFields(stmt, cols);
    while (stmt.Step()) {
      rows_.emplace_back();
      ReadRow(stmt, cols, rows_.back());
    }
    return int(rows_.size());
  }
  if (single.PlainColumns && connection_->Mode() != cmRead) {
    // Every column must be one of the table's own to be written back.
    TSqliteStmt cols(db, "SELECT * FROM " + table_ + " LIMIT 0");
    int n = sqlite3_column_count(cols.Handle());
    updatable_ = true;
    for (int i = 0; i < FieldCount(); ++i) {
      bool found = false;
      for (int k = 0; k < n; ++k) found = found || SameText(WideToUtf8(Fields(i)->FieldName()), sqlite3_column_name(cols.Handle(), k));
      Fields(i)->SetCanModify(found);
    }
  }
  return int(rowIds_.Size());
}

void TADOQuery::InternalClose() {
  fetch_ = TSqliteStmt();
  rowIds_.Clear();
  rows_.clear();
  rows_.shrink_to_fit();
  keyset_ = updatable_ = false;
}

bool TADOQuery::InternalCanModify() const { return updatable_; }

void TADOQuery::InternalFetch(int index, std::vector<Variant>& values) {
  if (!keyset_) {
    if (index >= 0 && size_t(index) < rows_.size()) values = rows_[size_t(index)];
    return;
  }
  sqlite3_stmt* s = fetch_.Handle();
  sqlite3_bind_int64(s, fetchRowIdParam_, rowIds_.At(size_t(index)));
  int cols = sqlite3_column_count(s);
  values.assign(size_t(cols), Null());
  // A row deleted behind the query's back reads as all Null.
  if (fetch_.Step()) ReadRow(fetch_, cols, values);
  sqlite3_reset(s);
}

void TADOQuery::WriteInTransaction(const std::string& sql, const std::vector<Variant>& binds, bool expectOneRow) {
  TSqliteDb& db = connection_->Database();
  db.Exec("BEGIN IMMEDIATE");
  try {
    TSqliteStmt stmt(db.Handle(), sql);
    for (size_t i = 0; i < binds.size(); ++i) BindVariant(stmt.Handle(), int(i + 1), binds[i]);
    stmt.Step();
    if (expectOneRow && sqlite3_changes(db.Handle()) != 1)
      throw EOleException("The row to be written was not found; it may have been changed or deleted by another user.");
    db.Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void TADOQuery::InternalPost(bool inserting, int index, const std::vector<Variant>& values,
                             const std::vector<bool>& modified, std::vector<Variant>& stored) {
  std::vector<Variant> binds;
  std::string names, marks, sets;
  for (int i = 0; i < FieldCount(); ++i) {
    if (!modified[size_t(i)] || !Fields(i)->CanModify()) continue;
    std::string col = QuoteName(WideToUtf8(Fields(i)->FieldName()));
    binds.push_back(values[size_t(i)]);
    std::string mark = "?" + IntToStr(int64_t(binds.size()));
    names += (names.empty() ? "" : ", ") + col;
    marks += (marks.empty() ? "" : ", ") + mark;
    sets += (sets.empty() ? "" : ", ") + col + " = " + mark;
  }
  sqlite3* db = connection_->Database().Handle();
  if (inserting) {
    std::string sql = binds.empty() ? "INSERT INTO " + table_ + " DEFAULT VALUES"
                                    : "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")";
    WriteInTransaction(sql, binds, true);
    rowIds_.Insert(size_t(std::clamp<ptrdiff_t>(index, 0, ptrdiff_t(rowIds_.Size()))), sqlite3_last_insert_rowid(db));
  } else {
    if (!binds.empty()) {
      binds.push_back(Variant(int64_t(rowIds_.At(size_t(index)))));
      WriteInTransaction("UPDATE " + table_ + " SET " + sets + " WHERE rowid = ?" + IntToStr(int64_t(binds.size())),
                         binds, true);
    }
  }
  InternalFetch(std::clamp(index, 0, int(rowIds_.Size()) - 1), stored);
}

void TADOQuery::InternalDelete(int index) {
  WriteInTransaction("DELETE FROM " + table_ + " WHERE rowid = ?1", {Variant(int64_t(rowIds_.At(size_t(index))))}, true);
  rowIds_.Erase(size_t(index));
}

KARO_CLASS_PROPS(TADOQuery, TDataSet, Prop("Active", &TADOQuery::Active, &TADOQuery::SetActive).Default(0),
                 Prop("Connection", &TADOQuery::Connection, &TADOQuery::SetConnection),
                 Prop("CursorType", &TADOQuery::CursorType, &TADOQuery::SetCursorType).Default(ctKeyset),
                 Prop("Parameters", &TADOQuery::Parameters, &TADOQuery::SetParameters),
                 Prop("SQL", &TADOQuery::SQL, &TADOQuery::SetSQL),
                 Prop("AfterCancel", &TADOQuery::AfterCancel, &TADOQuery::AfterCancel),
                 Prop("AfterClose", &TADOQuery::AfterClose, &TADOQuery::AfterClose),
                 Prop("AfterDelete", &TADOQuery::AfterDelete, &TADOQuery::AfterDelete),
                 Prop("AfterEdit", &TADOQuery::AfterEdit, &TADOQuery::AfterEdit),
                 Prop("AfterInsert", &TADOQuery::AfterInsert, &TADOQuery::AfterInsert),
                 Prop("AfterOpen", &TADOQuery::AfterOpen, &TADOQuery::AfterOpen),
                 Prop("AfterPost", &TADOQuery::AfterPost, &TADOQuery::AfterPost),
                 Prop("AfterScroll", &TADOQuery::AfterScroll, &TADOQuery::AfterScroll),
                 Prop("BeforeCancel", &TADOQuery::BeforeCancel, &TADOQuery::BeforeCancel),
                 Prop("BeforeClose", &TADOQuery::BeforeClose, &TADOQuery::BeforeClose),
                 Prop("BeforeDelete", &TADOQuery::BeforeDelete, &TADOQuery::BeforeDelete),
                 Prop("BeforeEdit", &TADOQuery::BeforeEdit, &TADOQuery::BeforeEdit),
                 Prop("BeforeInsert", &TADOQuery::BeforeInsert, &TADOQuery::BeforeInsert),
                 Prop("BeforeOpen", &TADOQuery::BeforeOpen, &TADOQuery::BeforeOpen),
                 Prop("BeforePost", &TADOQuery::BeforePost, &TADOQuery::BeforePost),
                 Prop("BeforeScroll", &TADOQuery::BeforeScroll, &TADOQuery::BeforeScroll),
                 Prop("OnNewRecord", &TADOQuery::OnNewRecord, &TADOQuery::OnNewRecord))
