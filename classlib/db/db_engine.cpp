#include "classlib/db/db_engine.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>

// --- TSqliteDb ---

void TSqliteDb::Open(const std::string& fileName, bool readOnly) {
  Close();
  // Without SQLITE_OPEN_CREATE a missing file is refused instead of being made empty. A
  // connection serves one thread (the GUI's), so its calls need no locking.
  int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(fileName.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    throw EOleException("Could not find file '" + fileName + "'.");
  }
  db_ = db;
  sqlite3_extended_result_codes(db_, 1);
  // The first read tells a database from any other file.
  rc = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string err = LastError();
    Close();
    throw EOleException("The file '" + fileName + "' cannot be opened as a database: " + err + ".");
  }
  sqlite3_busy_timeout(db_, 2000);
  // Reading the file through a mapping instead of one read call per page makes a scan of a large
  // table several times quicker under Wine.
  sqlite3_exec(db_, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
}

void TSqliteDb::Create(const std::string& fileName) {
  Close();
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    std::string err = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw EOleException("Cannot create the file '" + fileName + "': " + err + ".");
  }
  db_ = db;
}

void TSqliteDb::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void TSqliteDb::Exec(const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string text = err ? err : "unknown error";
    sqlite3_free(err);
    throw EOleException(text);
  }
}

std::string TSqliteDb::LastError() const { return db_ ? sqlite3_errmsg(db_) : "no database"; }

// --- TSqliteStmt ---

TSqliteStmt::TSqliteStmt(sqlite3* db, const std::string& sql) {
  if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
    std::string err = sqlite3_errmsg(db);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw EOleException(err);
  }
}

TSqliteStmt::~TSqliteStmt() { sqlite3_finalize(stmt_); }

TSqliteStmt& TSqliteStmt::operator=(TSqliteStmt&& o) noexcept {
  if (this != &o) {
    sqlite3_finalize(stmt_);
    stmt_ = std::exchange(o.stmt_, nullptr);
  }
  return *this;
}

bool TSqliteStmt::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string err = sqlite3_errmsg(sqlite3_db_handle(stmt_));
  sqlite3_reset(stmt_);
  throw EOleException(err);
}

void TSqliteStmt::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

void TSqliteStmt::BindText(int index, const std::string& utf8) {
  sqlite3_bind_text(stmt_, index, utf8.data(), int(utf8.size()), SQLITE_TRANSIENT);
}
void TSqliteStmt::BindBlob(int index, const std::vector<uint8_t>& bytes) {
  sqlite3_bind_blob(stmt_, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
}
void TSqliteStmt::BindInt(int index, int64_t v) { sqlite3_bind_int64(stmt_, index, v); }

std::vector<uint8_t> TSqliteStmt::ColumnBlob(int col) const {
  auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, col));
  int n = sqlite3_column_bytes(stmt_, col);
  return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
}
int64_t TSqliteStmt::ColumnInt(int col) const { return sqlite3_column_int64(stmt_, col); }

// --- TRowIdList ---

void TRowIdList::Clear() {
  runs_ = std::vector<TRun>();
  starts_.clear();
  size_ = 0;
}

void TRowIdList::Append(int64_t rowId) {
  if (!runs_.empty() && runs_.back().First + runs_.back().Count == rowId) {
    ++runs_.back().Count;
  } else {
    if (!starts_.empty()) starts_.push_back(size_);
    runs_.push_back({rowId, 1});
  }
  ++size_;
}

size_t TRowIdList::Find(size_t index, int64_t& offset) const {
  if (index >= size_) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (starts_.size() != runs_.size()) {
    starts_.clear();
    starts_.reserve(runs_.size());
    size_t at = 0;
    for (const TRun& r : runs_) {
      starts_.push_back(at);
      at += size_t(r.Count);
    }
  }
  size_t run = size_t(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
  offset = int64_t(index - starts_[run]);
  return run;
}

int64_t TRowIdList::At(size_t index) const {
  int64_t offset;
  size_t run = Find(index, offset);
  return runs_[run].First + offset;
}

void TRowIdList::Insert(size_t index, int64_t rowId) {
  if (index >= size_) {
    if (index > size_) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    Append(rowId);
    return;
  }
  int64_t offset;
  size_t run = Find(index, offset);
  TRun r = runs_[run];
  std::vector<TRun> parts;
  if (offset > 0) parts.push_back({r.First, offset});
  parts.push_back({rowId, 1});
  parts.push_back({r.First + offset, r.Count - offset});
  runs_.erase(runs_.begin() + ptrdiff_t(run));
  runs_.insert(runs_.begin() + ptrdiff_t(run), parts.begin(), parts.end());
  starts_.clear();
  ++size_;
}

void TRowIdList::Erase(size_t index) {
  int64_t offset;
  size_t run = Find(index, offset);
  TRun r = runs_[run];
  std::vector<TRun> parts;
  if (offset > 0) parts.push_back({r.First, offset});
  if (r.Count - offset - 1 > 0) parts.push_back({r.First + offset + 1, r.Count - offset - 1});
  runs_.erase(runs_.begin() + ptrdiff_t(run));
  runs_.insert(runs_.begin() + ptrdiff_t(run), parts.begin(), parts.end());
  starts_.clear();
  --size_;
}

// --- SHA-256, HMAC, PBKDF2 ---

namespace {

constexpr std::array<uint32_t, 64> kK = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98,
    0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786,
    0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8,
    0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13,
    0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819,
    0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a,
    0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2};

uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Sha256Block(std::array<uint32_t, 8>& h, const uint8_t* p) {
  uint32_t w[64];
  for (int i = 0; i < 16; ++i)
    w[i] = uint32_t(p[4 * i]) << 24 | uint32_t(p[4 * i + 1]) << 16 | uint32_t(p[4 * i + 2]) << 8 | p[4 * i + 3];
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
    uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
  for (int i = 0; i < 64; ++i) {
    uint32_t t1 = k + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kK[size_t(i)] + w[i];
    uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
    k = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += k;
}

std::vector<uint8_t> HmacSha256(const std::vector<uint8_t>& key, const std::vector<uint8_t>& msg) {
  std::vector<uint8_t> k = key.size() > 64 ? Sha256(key.data(), key.size()) : key;
  k.resize(64, 0);
  std::vector<uint8_t> inner(64), outer(64);
  for (int i = 0; i < 64; ++i) {
    inner[size_t(i)] = k[size_t(i)] ^ 0x36;
    outer[size_t(i)] = k[size_t(i)] ^ 0x5c;
  }
  inner.insert(inner.end(), msg.begin(), msg.end());
  std::vector<uint8_t> ih = Sha256(inner.data(), inner.size());
  outer.insert(outer.end(), ih.begin(), ih.end());
  return Sha256(outer.data(), outer.size());
}

// One 32-byte block of PBKDF2-HMAC-SHA-256.
std::vector<uint8_t> Pbkdf2(const std::string& password, const std::vector<uint8_t>& salt, int iterations) {
  std::vector<uint8_t> key(password.begin(), password.end());
  std::vector<uint8_t> msg = salt;
  msg.insert(msg.end(), {0, 0, 0, 1});
  std::vector<uint8_t> u = HmacSha256(key, msg);
  std::vector<uint8_t> out = u;
  for (int i = 1; i < iterations; ++i) {
    u = HmacSha256(key, u);
    for (size_t j = 0; j < out.size(); ++j) out[j] ^= u[j];
  }
  return out;
}

constexpr int kIterations = 4096;

void ReadHash(TSqliteStmt& q, int col, TPasswordHash& h) {
  h.Salt = q.ColumnBlob(col);
  h.Hash = q.ColumnBlob(col + 1);
  h.Iterations = int(q.ColumnInt(col + 2));
}

}  // namespace

std::vector<uint8_t> Sha256(const uint8_t* data, size_t size) {
  std::array<uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                               0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  size_t full = size / 64 * 64;
  for (size_t i = 0; i < full; i += 64) Sha256Block(h, data + i);
  uint8_t tail[128] = {};
  size_t rest = size - full;
  if (rest) std::memcpy(tail, data + full, rest);
  tail[rest] = 0x80;
  size_t tailLen = rest < 56 ? 64 : 128;
  uint64_t bits = uint64_t(size) * 8;
  for (int i = 0; i < 8; ++i) tail[tailLen - 1 - size_t(i)] = uint8_t(bits >> (8 * i));
  for (size_t i = 0; i < tailLen; i += 64) Sha256Block(h, tail + i);
  std::vector<uint8_t> out(32);
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) out[size_t(4 * i + j)] = uint8_t(h[size_t(i)] >> (24 - 8 * j));
  return out;
}

TPasswordHash MakePasswordHash(const std::string& password) {
  TPasswordHash h;
  h.Salt.resize(16);
  sqlite3_randomness(int(h.Salt.size()), h.Salt.data());
  h.Iterations = kIterations;
  h.Hash = Pbkdf2(password, h.Salt, h.Iterations);
  return h;
}

bool CheckPasswordHash(const TPasswordHash& stored, const std::string& password) {
  if (stored.Iterations < 1 || stored.Iterations > 10000000 || stored.Hash.size() != 32) return false;
  std::vector<uint8_t> h = Pbkdf2(password, stored.Salt, stored.Iterations);
  uint8_t diff = 0;
  for (size_t i = 0; i < h.size(); ++i) diff |= uint8_t(h[i] ^ stored.Hash[i]);
  return diff == 0;
}

// --- The files ---

void CreateWorkgroupFile(const std::string& fileName, const std::vector<std::pair<std::string, std::string>>& accounts) {
  TSqliteDb db;
  db.Create(fileName);
  db.Exec("BEGIN IMMEDIATE");
  try {
    db.Exec("DROP TABLE IF EXISTS WorkgroupAccounts");
    db.Exec("CREATE TABLE WorkgroupAccounts (UserName TEXT PRIMARY KEY NOT NULL COLLATE NOCASE, "
            "Salt BLOB NOT NULL, Hash BLOB NOT NULL, Iterations INTEGER NOT NULL)");
    TSqliteStmt ins(db.Handle(), "INSERT INTO WorkgroupAccounts VALUES (?1, ?2, ?3, ?4)");
    for (const auto& [user, password] : accounts) {
      TPasswordHash h = MakePasswordHash(password);
      ins.Reset();
      ins.BindText(1, user);
      ins.BindBlob(2, h.Salt);
      ins.BindBlob(3, h.Hash);
      ins.BindInt(4, h.Iterations);
      ins.Step();
    }
    db.Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SetDatabasePassword(const std::string& fileName, const std::string& password) {
  TSqliteDb db;
  db.Open(fileName, false);
  db.Exec("BEGIN IMMEDIATE");
  try {
    db.Exec("CREATE TABLE IF NOT EXISTS DatabasePassword (Salt BLOB NOT NULL, Hash BLOB NOT NULL, "
            "Iterations INTEGER NOT NULL)");
    db.Exec("DELETE FROM DatabasePassword");
    if (!password.empty()) {
      TPasswordHash h = MakePasswordHash(password);
      TSqliteStmt ins(db.Handle(), "INSERT INTO DatabasePassword VALUES (?1, ?2, ?3)");
      ins.BindBlob(1, h.Salt);
      ins.BindBlob(2, h.Hash);
      ins.BindInt(3, h.Iterations);
      ins.Step();
    }
    db.Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void CheckWorkgroupAccount(const std::string& workgroupFile, const std::string& user, const std::string& password) {
  TSqliteDb db;
  try {
    db.Open(workgroupFile, true);
  } catch (const EOleException&) {
    throw EOleException("The workgroup information file '" + workgroupFile + "' is missing or cannot be opened.");
  }
  TPasswordHash h;
  bool found = false;
  try {
    TSqliteStmt q(db.Handle(), "SELECT Salt, Hash, Iterations FROM WorkgroupAccounts WHERE UserName = ?1");
    q.BindText(1, user);
    if (q.Step()) {
      ReadHash(q, 0, h);
      found = true;
    }
  } catch (const EOleException&) {
    throw EOleException("The file '" + workgroupFile + "' is no workgroup information file.");
  }
  // An unknown user costs the same hashing as a known one.
  if (!found) {
    h.Salt.assign(16, 0);
    h.Iterations = kIterations;
    h.Hash.assign(32, 0);
  }
  if (!CheckPasswordHash(h, password) || !found) throw EOleException("Not a valid account name or password.");
}

void CheckDatabasePassword(TSqliteDb& db, const std::string& password) {
  bool hasTable = false;
  {
    TSqliteStmt t(db.Handle(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'DatabasePassword'");
    hasTable = t.Step();
  }
  TPasswordHash h;
  bool stored = false;
  if (hasTable) {
    TSqliteStmt q(db.Handle(), "SELECT Salt, Hash, Iterations FROM DatabasePassword");
    if (q.Step()) {
      ReadHash(q, 0, h);
      stored = true;
    }
  }
  // A database without a password accepts only the empty one.
  bool ok = stored ? CheckPasswordHash(h, password) : password.empty();
  if (!ok) throw EOleException("Not a valid password.");
}
