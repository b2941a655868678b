// The ADO-shaped connection and query over SQLite: TADOConnection (a connection string of
// settings, the accounts and password checks, the database file opened by its wide name) and
// TADOQuery (a statement of wide lines with bound parameters, whose rows are kept as rowids when
// it reads one table, so only the rows shown are fetched, and whose edits are written back by
// rowid in one transaction each). Windows only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/core/collections.h"
#include "classlib/core/string_list.h"
#include "classlib/db/db.h"

class TADOQuery;

KARO_ENUM(TConnectMode, cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive,
          cmShareDenyNone);
KARO_ENUM(TCursorType, ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic);

// The provider name the connection accepts.
inline constexpr const wchar_t* kJetProvider = L"Microsoft.Jet.OLEDB.4.0";

// "Key=Value;..." into its settings, in order. Values may stand in double or single quotes (a
// doubled quote inside is one quote; `""` is empty); keys and unquoted values are trimmed.
std::vector<std::pair<WideString, WideString>> ParseConnectionString(const WideString& text);

class TADOConnection : public TComponent {
  KARO_CLASS(TADOConnection)
public:
  explicit TADOConnection(TComponent* owner);
  ~TADOConnection() override;
  void BeforeDestruction() override;

  const WideString& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const WideString& v);
  // The setting of that name in the connection string ("" when it has none).
  WideString Setting(const WideString& key) const;
  bool Connected() const { return db_.IsOpen(); }
  // Stored True in a form file, the connection opens when the file has been read.
  void SetConnected(bool v);
  // Checks the provider, the workgroup account ("Jet OLEDB:System database", "User ID",
  // "Password"), opens "Data Source" (never creating it) and checks "Jet OLEDB:Database
  // Password". Raises EOleException with a clear message when any of them fails.
  void Open();
  void Close();
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool v) { loginPrompt_ = v; }
  TConnectMode Mode() const { return mode_; }
  void SetMode(TConnectMode v) { mode_ = v; }
  const WideString& Provider() const { return provider_; }
  void SetProvider(const WideString& v) { provider_ = v; }

  TSqliteDb& Database() { return db_; }
  void RegisterDataSet(TADOQuery* q);
  void UnregisterDataSet(TADOQuery* q);
  void Loaded() override;

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

private:
  WideString connectionString_;
  WideString provider_ = kJetProvider;
  bool loginPrompt_ = true;
  TConnectMode mode_ = cmUnknown;
  bool streamedConnected_ = false;
  TSqliteDb db_;
  std::vector<TADOQuery*> dataSets_;
};

class TParameter : public TCollectionItem {
  KARO_CLASS(TParameter)
public:
  explicit TParameter(TCollection* c) : TCollectionItem(c) {}
  const WideString& Name() const { return name_; }
  void SetName(const WideString& v) { name_ = v; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }
  std::string GetDisplayName() const override { return WideToAnsi(name_); }
  void Assign(TPersistent* source) override;

private:
  WideString name_;
  Variant value_ = Null();
};

class TParameters : public TOwnedCollection {
  KARO_CLASS(TParameters)
public:
  explicit TParameters(TPersistent* owner) : TOwnedCollection(owner, TParameter::StaticClass()) {}
  TParameter* Items(int i) const { return static_cast<TParameter*>(TCollection::Items(i)); }
  TParameter* FindParam(const WideString& name) const;
  // Raises EDatabaseError "Parameter 'x' not found".
  TParameter* ParamByName(const WideString& name) const;
  TParameter* AddParameter(const WideString& name);
  // Makes the list the ":name" placeholders of the text, in order, each once; parameters of
  // names already known keep their values.
  void ParseSQL(const WideString& sql);
};

class TADOQuery : public TDataSet {
  KARO_CLASS(TADOQuery)
public:
  explicit TADOQuery(TComponent* owner);
  ~TADOQuery() override;
  void BeforeDestruction() override;

  TADOConnection* Connection() const { return connection_; }
  void SetConnection(TADOConnection* c);
  // The statement, one wide line per entry; a change closes the query and renews Parameters.
  TWideStrings* SQL() { return sql_.get(); }
  void SetSQL(TWideStrings* v) { sql_->Assign(v); }
  TParameters* Parameters() { return params_.get(); }
  void SetParameters(TParameters* v) { params_->Assign(v); }
  TCursorType CursorType() const { return cursorType_; }
  void SetCursorType(TCursorType v) { cursorType_ = v; }
  TParameter* ParamByName(const WideString& name) { return params_->ParamByName(name); }
  // True when the rows are kept as the rowids of one table (and so only shown rows are read).
  bool KeepsRowIds() const { return keyset_; }

protected:
  void Notification(TComponent* c, TOperation op) override;
  int InternalOpen() override;
  void InternalClose() override;
  bool InternalCanModify() const override;
  void InternalFetch(int index, std::vector<Variant>& values) override;
  void InternalPost(bool inserting, int index, const std::vector<Variant>& values, const std::vector<bool>& modified,
                    std::vector<Variant>& stored) override;
  void InternalDelete(int index) override;

private:
  void SQLChanged();
  void BindParameters(TSqliteStmt& stmt);
  void MakeFields(TSqliteStmt& stmt, int columns);
  void ReadRow(TSqliteStmt& stmt, int columns, std::vector<Variant>& values);
  // Runs one write in its own transaction; rolls back and raises when it fails.
  void WriteInTransaction(const std::string& sql, const std::vector<Variant>& binds, bool expectOneRow);

  TADOConnection* connection_ = nullptr;
  std::unique_ptr<TWideStringList> sql_;
  std::unique_ptr<TParameters> params_;
  TCursorType cursorType_ = ctKeyset;

  bool keyset_ = false;                 // rows kept as rowids of table_
  bool updatable_ = false;              // keyset_, and every column a column of table_
  std::string table_;                   // the table's name as the statement writes it
  TRowIdList rowIds_;
  std::vector<std::vector<Variant>> rows_;  // the rows themselves when no rowids can be kept
  TSqliteStmt fetch_;                   // the statement's columns of one rowid
  int fetchRowIdParam_ = 0;
};
