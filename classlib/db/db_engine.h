// The data layer's plain-C++ part over the SQLite engine: its errors, owning wrappers of a
// database and a statement, and the accounts and passwords that guard a database (the workgroup
// file of user accounts and the database's own password, both kept as salted hashes). Built
// natively too, so the database builder can make the files.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "classlib/core/sysutils.h"

struct sqlite3;
struct sqlite3_stmt;

// A refusal of the engine or of the connection (a statement that does not prepare, a file that
// cannot be opened, a wrong password).
KARO_EXCEPTION(EOleException, Exception);
// A dataset used against its state (editing a closed or read-only dataset, an unknown field).
KARO_EXCEPTION(EDatabaseError, Exception);

// An open SQLite database, closed when the object goes.
class TSqliteDb {
public:
  TSqliteDb() = default;
  // Opens an existing file (UTF-8 name) for reading and writing, or only for reading; raises
  // EOleException when it does not exist or is no database. Never creates a file.
  void Open(const std::string& fileName, bool readOnly);
  // Opens or creates a file.
  void Create(const std::string& fileName);
  void Close();
  ~TSqliteDb() { Close(); }
  TSqliteDb(const TSqliteDb&) = delete;
  TSqliteDb& operator=(const TSqliteDb&) = delete;
  sqlite3* Handle() const { return db_; }
  bool IsOpen() const { return db_ != nullptr; }
  // Runs a statement without parameters or results (SQL of the layer's own); raises EOleException.
  void Exec(const char* sql);
  // The engine's last error text.
  std::string LastError() const;

private:
  sqlite3* db_ = nullptr;
};

// A prepared statement, finalized when the object goes.
class TSqliteStmt {
public:
  TSqliteStmt() = default;
  // Raises EOleException with the engine's text when the statement does not prepare.
  TSqliteStmt(sqlite3* db, const std::string& sql);
  ~TSqliteStmt();
  TSqliteStmt(TSqliteStmt&& o) noexcept : stmt_(std::exchange(o.stmt_, nullptr)) {}
  TSqliteStmt& operator=(TSqliteStmt&& o) noexcept;
  sqlite3_stmt* Handle() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }
  // One step: true for a row, false when done; raises EOleException on an error.
  bool Step();
  void Reset();
  void BindText(int index, const std::string& utf8);
  void BindBlob(int index, const std::vector<uint8_t>& bytes);
  void BindInt(int index, int64_t v);
  std::vector<uint8_t> ColumnBlob(int col) const;
  int64_t ColumnInt(int col) const;

private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The rowids of a query's rows in its order, kept as runs of consecutive rowids: a table read
// in its own order is one run, however many rows it has, and costs no memory to speak of.
class TRowIdList {
public:
  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  void Clear();
  void Append(int64_t rowId);
  // Raises EListError for an index out of range.
  int64_t At(size_t index) const;
  // Puts rowId at index (index == Size appends).
  void Insert(size_t index, int64_t rowId);
  void Erase(size_t index);
  size_t RunCount() const { return runs_.size(); }

private:
  struct TRun {
    int64_t First;
    int64_t Count;
  };
  // The run holding index and the index's place in it; builds the run starts when stale.
  size_t Find(size_t index, int64_t& offset) const;
  std::vector<TRun> runs_;
  mutable std::vector<size_t> starts_;  // index of each run's first row; empty when stale
  size_t size_ = 0;
};

// --- Accounts and passwords ---

// The hash of a password: PBKDF2 with HMAC-SHA-256 over the UTF-8 password and a random salt.
struct TPasswordHash {
  std::vector<uint8_t> Salt;
  std::vector<uint8_t> Hash;
  int Iterations = 0;
};
TPasswordHash MakePasswordHash(const std::string& password);
// Compares in time that does not depend on where the bytes differ.
bool CheckPasswordHash(const TPasswordHash& stored, const std::string& password);
std::vector<uint8_t> Sha256(const uint8_t* data, size_t size);

// Creates (or replaces) the workgroup file at fileName holding these accounts (user name, password;
// UTF-8). Only salted hashes of the passwords are stored. Raises EOleException.
void CreateWorkgroupFile(const std::string& fileName, const std::vector<std::pair<std::string, std::string>>& accounts);
// Gives the database file (which must exist) a password: a salted hash of it is stored in the
// file; an empty password removes it. Raises EOleException.
void SetDatabasePassword(const std::string& fileName, const std::string& password);

// The checks the connection makes. Each raises EOleException with a clear message when refused.
void CheckWorkgroupAccount(const std::string& workgroupFile, const std::string& user, const std::string& password);
void CheckDatabasePassword(TSqliteDb& db, const std::string& password);
