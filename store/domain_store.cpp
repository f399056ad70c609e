// The table Domains on SQLite. Texts are GBK inside the program and UTF-8 in
// the file; every value and id is bound as a parameter, never pasted into a
// statement, so a name holding a quote is just a name.
#include "store/domain_store.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <system_error>

#include "store/file_moves.h"
#include "store/normalise_domain.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace fs = std::filesystem;

namespace dvx {
namespace {

// Column sizes in characters.
constexpr size_t kDomainSize = 200;
constexpr size_t kRegistrarSize = 200;
constexpr size_t kTextSize = 50;

const char* const kSchema =
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

const char* const kNoConnection = "unable to open database file";

size_t utf8Length(const std::string& s) {
  size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The first `chars` characters of a UTF-8 text.
std::string cutUtf8(const std::string& s, size_t chars) {
  size_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && seen++ == chars) return s.substr(0, i);
  }
  return s;
}

// A looked-up value as stored: Unicode, cut to its column on a character
// boundary.
std::string columnValue(const std::string& gbk, size_t size) {
  return cutUtf8(gbkToUtf8(gbk), size);
}

// Failures that mean the statement could not run at all (a table missing, a
// file that is no database): shown like a statement refused at preparation.
// Write failures (disk full, constraint) are not shown; they roll back.
bool isRejection(int rc) {
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
  // One step; a rejection (see isRejection) leaves its message in `error`.
  // The connection's cached schema is checked only here, so a table dropped
  // since the last operation shows up at this point, not at preparation.
  int step(std::string& error) {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE && isRejection(rc)) {
      error = sqlite3_errmsg(sqlite3_db_handle(stmt_));
    }
    return rc;
  }
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
};

// One write operation as one transaction: committed by commit(), rolled back
// otherwise, so a failure or a killed process leaves all or nothing.
class Transaction {
 public:
  Transaction(sqlite3* db, std::string& error) : db_(db) {
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
      open_ = true;
    } else {
      error = sqlite3_errmsg(db_);
    }
  }
  ~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  bool isOpen() const { return open_; }
  void fail() { failed_ = true; }
  void commit() {
    if (!open_ || failed_) return;
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) open_ = false;
  }

 private:
  sqlite3* db_;
  bool open_ = false;
  bool failed_ = false;
};

sqlite3* openFile(const fs::path& path, int flags, std::string* error = nullptr) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.u8string().c_str(), &db, flags, nullptr) != SQLITE_OK) {
    if (error != nullptr) *error = db ? sqlite3_errmsg(db) : kNoConnection;
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  return db;
}

// An empty database with the schema, built at `path`; false (and the file
// gone) when it cannot be made.
bool buildEmptyDatabase(const fs::path& path,
                        const std::vector<std::array<std::string, 6>>& rows = {}) {
  sqlite3* db = openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  bool ok = db != nullptr &&
            sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
  if (ok && !rows.empty()) {
    std::string ignored;
    Statement insert;
    ok = insert.prepare(db,
                        "INSERT INTO Domains (Domain, RegDate, ExpireDate, BaiduS, GoogleS,"
                        " LastUpdate) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                        ignored);
    for (size_t r = 0; ok && r < rows.size(); ++r) {
      for (int c = 0; c < 6; ++c) insert.bind(c + 1, rows[r][c]);
      ok = insert.run(ignored);
    }
  }
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (db != nullptr && sqlite3_close(db) != SQLITE_OK) ok = false;
  if (!ok) {
    std::error_code ec;
    fs::remove(path, ec);
    detail::removeCompanions(path);
  }
  return ok;
}

// Makes sure a database at `path` has its journal folded back into the file,
// so that the file alone holds every committed row before it is moved.
void foldJournal(const fs::path& path) {
  if (sqlite3* db = openFile(path, SQLITE_OPEN_READWRITE)) {
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
}

void showError(StoreErrorSink* errors, const std::string& utf8Message) {
  if (errors == nullptr || utf8Message.empty()) return;
  try {
    errors->showStoreError(utf8TextToGbk(utf8Message));
  } catch (...) {
    // The sink is the caller's; nothing it throws leaves the store.
  }
}

// Pieces of the add dialog's text: cut at every CR LF found by GBK stepping;
// a lone CR or LF stays inside its piece; a trailing piece counts only when
// it is not empty.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') {
      lines.push_back(text.substr(start, i - start));
      i += 2;
      start = i;
    } else {
      i += (isGbkLead(static_cast<unsigned char>(text[i])) && i + 1 < n) ? 2 : 1;
    }
  }
  if (start < n) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

struct DomainStore::Impl {
  StoreErrorSink* errors = nullptr;
  std::mutex mutex;
  sqlite3* db = nullptr;
  std::string openError = kNoConnection;
  bool closed = false;  // set once by Close; guarded by `mutex`

  ~Impl() { closeDb(); }

  void closeDb() {
    if (db != nullptr) sqlite3_close_v2(db);
    db = nullptr;
  }

  // Runs `work` whole under the lock with the connection; its error (a
  // connection or statement the database refused) is shown once, after the
  // lock is released, so that a message box cannot hold up other threads.
  template <typename Work>
  void run(Work&& work) {
    std::string error;
    try {
      std::lock_guard<std::mutex> lock(mutex);
      if (closed) return;  // the program is ending: quietly nothing
      if (db == nullptr) {
        error = openError;
      } else {
        work(db, error);
      }
    } catch (...) {
      // Out of memory at worst; the operation ends as if nothing was found.
    }
    showError(errors, error);
  }
};

DomainStore::DomainStore(StoreErrorSink* errors) : impl_(new Impl) { impl_->errors = errors; }

DomainStore::~DomainStore() = default;

void DomainStore::CreateIfMissing(const std::string& path) {
  try {
    const fs::path target = detail::fsPath(path);
    std::error_code ec;
    const auto status = fs::symlink_status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) return;
    if (fs::exists(status)) return;
    // Journal files left behind by a database that is gone would be read as
    // belonging to the new file.
    detail::removeCompanions(target);
    const fs::path temp = detail::siblingTempName(target);
    if (!buildEmptyDatabase(temp)) return;
    if (!detail::placeWithoutReplacing(temp, target)) {
      fs::remove(temp, ec);
      detail::removeCompanions(temp);
    }
  } catch (...) {
  }
}

void DomainStore::OpenStore(const std::string& path) {
  try {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->closed) return;
    impl_->closeDb();
    sqlite3* db = openFile(detail::fsPath(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                           &impl_->openError);
    if (db == nullptr) return;
    // A file that is no database fails here already; its error shows at the
    // first operation like any other.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    impl_->db = db;
  } catch (...) {
  }
}

bool DomainStore::MigrateOldDatabase(const std::string& oldPath, const std::string& newPath,
                                     const std::string& backupPath, StoreErrorSink* errors) {
  try {
    const fs::path oldFile = detail::fsPath(oldPath);
    const fs::path newFile = detail::fsPath(newPath);
    const fs::path backupFile = detail::fsPath(backupPath);

    // Read the six columns of every old row, in the old order.
    std::vector<std::array<std::string, 6>> rows;
    {
      std::string error = kNoConnection;
      sqlite3* old = openFile(oldFile, SQLITE_OPEN_READWRITE, &error);
      bool complete = false;
      if (old != nullptr) {
        Statement select;
        if (select.prepare(old,
                           "SELECT Domain, RegDate, ExpireDate, BaiduS, GoogleS, LastUpdate"
                           " FROM Domains ORDER BY id",
                           error)) {
          int rc;
          while ((rc = select.step(error)) == SQLITE_ROW) {
            std::array<std::string, 6> row;
            row[0] = select.utf8(0);
            for (int c = 1; c < 6; ++c) row[c] = cutUtf8(select.utf8(c), kTextSize);
            // A name that does not fit its column is not carried cut short;
            // it stays in the backup.
            if (utf8Length(row[0]) <= kDomainSize) rows.push_back(std::move(row));
          }
          complete = rc == SQLITE_DONE;
          if (!complete) error = sqlite3_errmsg(old);
        }
      }
      sqlite3_close(old);
      if (!complete) {
        showError(errors, error);
        return false;
      }
    }

    const fs::path temp = detail::siblingTempName(newFile);
    if (!buildEmptyDatabase(temp, rows)) return false;

    // An existing current database is moved aside whole, never overwritten.
    std::error_code ec;
    fs::path aside;
    if (fs::exists(fs::symlink_status(newFile, ec))) {
      foldJournal(newFile);
      fs::path base = newFile;
      base += ".before-migration";
      aside = detail::firstFreeName(base);
      if (!detail::placeWithoutReplacing(newFile, aside)) {
        fs::remove(temp, ec);
        return false;
      }
      // Whatever journal the fold left behind travels with its file.
      detail::moveCompanions(newFile, aside);
    }
    if (!detail::placeWithoutReplacing(temp, newFile)) {
      fs::remove(temp, ec);
      if (!aside.empty()) detail::placeWithoutReplacing(aside, newFile);
      return false;
    }

    // The old file goes to the backup name; when it can be neither moved nor
    // copied it stays, and the next start carries it over again.
    detail::removeCompanions(backupFile);
    if (detail::moveFile(oldFile, backupFile)) detail::moveCompanions(oldFile, backupFile);
    return true;
  } catch (...) {
    return false;
  }
}

std::vector<std::pair<int32_t, std::string>> DomainStore::LoadAll() {
  std::vector<std::pair<int32_t, std::string>> result;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement select;
    if (!select.prepare(db, "SELECT id, Domain FROM Domains ORDER BY id", error)) return;
    while (select.step(error) == SQLITE_ROW) result.emplace_back(select.integer(0), select.text(1));
  });
  return result;
}

namespace {

const char kSelectRecords[] =
    "SELECT id, Domain, RegDate, ExpireDate, BaiduS, GoogleS, LastUpdate,"
    " Registeracom, Registrant, DomainAdmin, AAA1 FROM Domains";

DomainRecord readRecord(Statement& select) {
  DomainRecord rec;
  rec.id = select.integer(0);
  std::string* fields[] = {&rec.Domain,     &rec.RegDate,      &rec.ExpireDate,
                           &rec.BaiduS,     &rec.GoogleS,      &rec.LastUpdate,
                           &rec.Registeracom, &rec.Registrant, &rec.DomainAdmin,
                           &rec.AAA1};
  for (int c = 0; c < 10; ++c) *fields[c] = select.text(c + 1);
  return rec;
}

}  // namespace

DomainRecord DomainStore::FindById(int32_t id) {
  DomainRecord rec;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement select;
    if (!select.prepare(db, (std::string(kSelectRecords) + " WHERE id = ?1").c_str(), error)) return;
    select.bind(1, id);
    if (select.step(error) != SQLITE_ROW) return;
    rec = readRecord(select);
  });
  return rec;
}

std::vector<DomainRecord> DomainStore::LoadRecords() {
  std::vector<DomainRecord> result;
  ForEachRecord([&](DomainRecord& rec) { result.push_back(std::move(rec)); });
  return result;
}

void DomainStore::ForEachRecord(const std::function<void(DomainRecord&)>& each) {
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement select;
    if (!select.prepare(db, (std::string(kSelectRecords) + " ORDER BY id").c_str(), error)) return;
    while (select.step(error) == SQLITE_ROW) {
      DomainRecord rec = readRecord(select);
      each(rec);
    }
  });
}

void DomainStore::SaveLookup(int32_t id, const DomainRecord& rec, bool writeDomain) {
  impl_->run([&](sqlite3* db, std::string& error) {
    const std::string domain = gbkToUtf8(rec.Domain);
    // A name longer than its column would be a different name once cut; the
    // stored name then stays as it is.
    const bool withDomain = writeDomain && utf8Length(domain) <= kDomainSize;
    Statement update;
    if (!update.prepare(db,
                        withDomain
                            ? "UPDATE Domains SET Domain = ?11, RegDate = ?2, ExpireDate = ?3,"
                              " BaiduS = ?4, GoogleS = ?5, LastUpdate = ?6, Registeracom = ?7,"
                              " Registrant = ?8, DomainAdmin = ?9, AAA1 = ?10 WHERE id = ?1"
                            : "UPDATE Domains SET RegDate = ?2, ExpireDate = ?3,"
                              " BaiduS = ?4, GoogleS = ?5, LastUpdate = ?6, Registeracom = ?7,"
                              " Registrant = ?8, DomainAdmin = ?9, AAA1 = ?10 WHERE id = ?1",
                        error)) {
      return;
    }
    update.bind(1, id);
    update.bind(2, columnValue(rec.RegDate, kTextSize));
    update.bind(3, columnValue(rec.ExpireDate, kTextSize));
    update.bind(4, columnValue(rec.BaiduS, kTextSize));
    update.bind(5, columnValue(rec.GoogleS, kTextSize));
    update.bind(6, columnValue(rec.LastUpdate, kTextSize));
    update.bind(7, columnValue(rec.Registeracom, kRegistrarSize));
    update.bind(8, columnValue(rec.Registrant, kTextSize));
    update.bind(9, columnValue(rec.DomainAdmin, kTextSize));
    update.bind(10, columnValue(rec.AAA1, kTextSize));
    if (withDomain) update.bind(11, domain);
    Transaction txn(db, error);
    if (!txn.isOpen()) return;
    if (!update.run(error)) txn.fail();
    txn.commit();
  });
}

void DomainStore::ClearLookups() {
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement update;
    if (!update.prepare(db,
                        "UPDATE Domains SET RegDate = '', ExpireDate = '', BaiduS = '',"
                        " GoogleS = '', LastUpdate = '', AAA1 = ''",
                        error)) {
      return;
    }
    Transaction txn(db, error);
    if (!txn.isOpen()) return;
    if (!update.run(error)) txn.fail();
    txn.commit();
  });
}

void DomainStore::AddDomains(const std::string& text) {
  if (text.empty()) return;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement find, insert;
    std::unique_ptr<Transaction> txn;
    for (const std::string& line : splitLines(text)) {
      const std::string name = normaliseDomain(line);
      if (name.empty()) continue;
      const std::string utf8 = gbkToUtf8(name);
      // Never stored cut short: a cut name would be a different domain.
      if (utf8Length(utf8) > kDomainSize) continue;
      if (!txn) {
        // The table is first touched by the first usable name.
        if (!find.prepare(db, "SELECT 1 FROM Domains WHERE Domain = ?1 COLLATE NOCASE LIMIT 1",
                          error) ||
            !insert.prepare(db, "INSERT INTO Domains (Domain) VALUES (?1)", error)) {
          return;
        }
        txn.reset(new Transaction(db, error));
        if (!txn->isOpen()) return;
      }
      // The lookup sees the rows this batch stored already, so a name given
      // twice in any spelling is stored once.
      find.bind(1, utf8);
      const int rc = find.step(error);
      find.reset();
      if (rc == SQLITE_ROW) continue;
      if (rc != SQLITE_DONE) {
        txn->fail();
        break;
      }
      insert.bind(1, utf8);
      if (!insert.run(error)) {
        txn->fail();
        break;
      }
      insert.reset();
    }
    if (txn) txn->commit();
  });
}

void DomainStore::Rename(int32_t id, const std::string& newName) {
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement update;
    if (!update.prepare(db, "UPDATE Domains SET Domain = ?2 WHERE id = ?1", error)) return;
    const std::string utf8 = gbkToUtf8(newName);
    if (utf8Length(utf8) > kDomainSize) return;
    update.bind(1, id);
    update.bind(2, utf8);
    Transaction txn(db, error);
    if (!txn.isOpen()) return;
    if (!update.run(error)) txn.fail();
    txn.commit();
  });
}

void DomainStore::Remove(int32_t id) {
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement remove;
    if (!remove.prepare(db, "DELETE FROM Domains WHERE id = ?1", error)) return;
    remove.bind(1, id);
    Transaction txn(db, error);
    if (!txn.isOpen()) return;
    if (!remove.run(error)) txn.fail();
    txn.commit();
  });
}

void DomainStore::Close() {
  try {
    // Taking the lock waits for the operation in progress; every operation
    // commits or rolls back before it lets go, so what is closed here is
    // always a whole table.
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->closed = true;
    impl_->closeDb();
  } catch (...) {
  }
}

}  // namespace dvx
