// What both halves of the store share: the schema, column sizes, the
// statement and transaction owners and the write and error helpers.
// Internal to store/.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "store/store_errors.h"
#include "text/codepage.h"

namespace dvx {
namespace storedb {

namespace fs = std::filesystem;

// Column sizes in characters.
inline constexpr size_t kDomainSize = 200;
inline constexpr size_t kRegistrarSize = 200;
inline constexpr size_t kTextSize = 50;

inline const char* const kSchema =
    "CREATE TABLE Domains ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT CHECK (id BETWEEN 1 AND 2147483647),"
    " Domain VARCHAR(200),"
    " RegDate VARCHAR(50),"
    " ExpireDate VARCHAR(50),"
    " BaiduS VARCHAR(50),"
    " GoogleS VARCHAR(50),"
    " LastUpdate VARCHAR(50),"
    " Registeracom VARCHAR(200),"
    " Registrant VARCHAR(50),"
    " DomainAdmin VARCHAR(50),"
    " AAA1 VARCHAR(50),"
    " AAA2 VARCHAR(50),"
    " AAA3 VARCHAR(50),"
    " AAA4 TEXT,"
    " AAA5 TEXT);"
    "CREATE INDEX id ON Domains (id);"
    // The duplicate check of the batch insert looks names up through this.
    "CREATE INDEX DomainName ON Domains (Domain COLLATE NOCASE);";

inline const char* const kNoConnection = "unable to open database file";

inline size_t utf8Length(const std::string& s) {
  size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The first `chars` characters of a UTF-8 text.
inline std::string cutUtf8(const std::string& s, size_t chars) {
  size_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && seen++ == chars) return s.substr(0, i);
  }
  return s;
}

// A looked-up value as stored: Unicode, cut to its column on a character
// boundary.
inline std::string columnValue(const std::string& gbk, size_t size) {
  return cutUtf8(gbkToUtf8(gbk), size);
}

// What the schema names Domains: a real table, nothing, or something else
// (a view, an endless recursive query at worst, or a virtual table) that is
// never read. Reading the schema reads no row; Unknown when it cannot be read.
enum class DomainsKind { Table, Missing, Other, Unknown };
inline DomainsKind domainsKind(sqlite3* db) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db,
                         "SELECT type = 'table' AND sql NOT LIKE 'CREATE VIRTUAL%' FROM sqlite_master"
                         " WHERE name = 'Domains' COLLATE NOCASE",
                         -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return DomainsKind::Unknown;
  }
  DomainsKind kind = DomainsKind::Unknown;
  const int rc = sqlite3_step(st);
  if (rc == SQLITE_DONE) kind = DomainsKind::Missing;
  if (rc == SQLITE_ROW) kind = sqlite3_column_int(st, 0) == 1 ? DomainsKind::Table : DomainsKind::Other;
  sqlite3_finalize(st);
  return kind;
}

inline const char* const kNotATable = "no such table: Domains";

inline const char* const kCannotWrite = "the database cannot be written: ";
inline const char* const kCannotRead = "the database cannot be read and is left as it is: ";

// Failures that mean the statement could not run at all (a table missing, a
// file that is no database): shown like a statement refused at preparation.
// Write failures roll back and are told as such by the operation (see
// writeWhole).
inline bool isRejection(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_ERROR:
    case SQLITE_SCHEMA:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
      return true;
    default:
      return false;
  }
}

class Statement {
 public:
  Statement() = default;
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // False with the database's message in `error` when the statement is rejected.
  bool prepare(sqlite3* db, const char* sql, std::string& error) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
      error = sqlite3_errmsg(db);
      sqlite3_finalize(stmt_);
      stmt_ = nullptr;
      return false;
    }
    return true;
  }
  void bind(int index, const std::string& utf8) {
    sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  }
  void bind(int index, int32_t value) { sqlite3_bind_int64(stmt_, index, value); }
  // The text is not copied: it must stay as it is until the statement is
  // reset.
  void bindView(int index, std::string_view utf8) {
    sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
  }
  // One step; a rejection (see isRejection) leaves its message in `error`,
  // any other failure its message in failure().
  // The connection's cached schema is checked only here, so a table dropped
  // since the last operation shows up at this point, not at preparation.
  int step(std::string& error) {
    const int rc = sqlite3_step(stmt_);
    failure_.clear();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
      (isRejection(rc) ? error : failure_) = sqlite3_errmsg(sqlite3_db_handle(stmt_));
    }
    return rc;
  }
  const std::string& failure() const { return failure_; }
  bool run(std::string& error) {
    const int rc = step(error);
    sqlite3_reset(stmt_);
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
  }
  void reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  // NULL reads as the empty text.
  std::string utf8(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
  }
  std::string text(int column) const { return utf8TextToGbk(utf8(column)); }
  int32_t integer(int column) const {
    return static_cast<int32_t>(sqlite3_column_int64(stmt_, column));
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  std::string failure_;
};

// One write operation as one transaction: committed by commit(), rolled back
// otherwise, so a failure or a killed process leaves all or nothing.
// A begin or commit the database refuses (a read-only file, a lock held by
// another process, a full disk) leaves its result code in rc() and its
// message in failure().
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) {
    open_ = exec("BEGIN IMMEDIATE");
  }
  ~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  bool isOpen() const { return open_; }
  bool commit() {
    if (!open_ || !exec("COMMIT")) return false;
    open_ = false;
    return true;
  }
  int rc() const { return rc_; }
  const std::string& failure() const { return failure_; }

 private:
  bool exec(const char* sql) {
    rc_ = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc_ == SQLITE_OK) return true;
    failure_ = sqlite3_errmsg(db_);
    return false;
  }

  sqlite3* db_;
  bool open_ = false;
  int rc_ = SQLITE_OK;
  std::string failure_;
};

// Write failures after which trying the next line is pointless: the file
// refuses every write, or another process holds it and each try would wait
// out the busy time-out again.
inline bool refusesEveryWrite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return true;
    default:
      return false;
  }
}

// One prepared write as one transaction. False when nothing was written:
// a rejection leaves its message in `error`, any other failure the user's
// text for it.
inline bool writeWhole(sqlite3* db, Statement& write, std::string& error) {
  Transaction txn(db);
  std::string failure;
  if (!txn.isOpen()) {
    failure = txn.failure();
  } else if (!write.run(error)) {
    failure = write.failure();
  } else if (txn.commit()) {
    return true;
  } else {
    failure = txn.failure();
  }
  if (error.empty()) error = kCannotWrite + failure;
  return false;
}

inline sqlite3* openFile(const fs::path& path, int flags, std::string* error = nullptr) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.u8string().c_str(), &db, flags, nullptr) != SQLITE_OK) {
    if (error != nullptr) *error = db ? sqlite3_errmsg(db) : kNoConnection;
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  // A file may come from anyone: its schema must not be able to run
  // functions or change the file behind the engine's back.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);  // PRAGMA trusted_schema=OFF
  return db;
}

inline void showError(StoreErrorSink* errors, const std::string& utf8Message) {
  if (errors == nullptr || utf8Message.empty()) return;
  try {
    errors->showStoreError(utf8TextToGbk(utf8Message));
  } catch (...) {
    // The sink is the caller's; nothing it throws leaves the store.
  }
}

}  // namespace storedb
}  // namespace dvx
