// The table Domains on SQLite. Texts are GBK inside the program and UTF-8 in
// the file; every value and id is bound as a parameter, never pasted into a
// statement, so a name holding a quote is just a name.
#include "store/domain_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <set>
#include <filesystem>
#include <system_error>

#include "store/add_text.h"
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

const char* const kCannotWrite = "the database cannot be written: ";
const char* const kCannotRead = "the database cannot be read and is left as it is: ";

// Failures that mean the statement could not run at all (a table missing, a
// file that is no database): shown like a statement refused at preparation.
// Write failures roll back and are told as such by the operation (see
// writeWhole).
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
bool refusesEveryWrite(int rc) {
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
bool writeWhole(sqlite3* db, Statement& write, std::string& error) {
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

// Stores the names of [from, to) that are not stored yet in one
// transaction: SQLITE_OK, or the failing result code with everything of the
// range rolled back (a rejection's message in `error`, any other in
// `failure`). The lookup sees the rows this range stored already, so a name
// given twice in any spelling is stored once.
int insertRange(sqlite3* db, Statement& find, Statement& insert, const std::vector<std::string>& names,
                size_t from, size_t to, std::string& error, std::string& failure) {
  Transaction txn(db);
  if (!txn.isOpen()) {
    failure = txn.failure();
    return txn.rc();
  }
  for (size_t i = from; i < to; ++i) {
    find.bind(1, names[i]);
    const int found = find.step(error);
    find.reset();
    if (found == SQLITE_ROW) continue;
    if (found != SQLITE_DONE) {
      failure = find.failure();
      return found;
    }
    insert.bind(1, names[i]);
    const int inserted = insert.step(error);
    insert.reset();
    if (inserted != SQLITE_DONE) {
      failure = insert.failure();
      return inserted;
    }
  }
  if (txn.commit()) return SQLITE_OK;
  failure = txn.failure();
  return txn.rc();
}

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

using OldRows = std::vector<std::array<std::string, 6>>;

// The six columns of every row of an older file, in the old order; false
// (with the database's message) when the file cannot be read whole.
bool readOldRows(const fs::path& oldFile, OldRows& rows, std::string& error) {
  error = kNoConnection;
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
  return complete;
}

void moveToBackup(const fs::path& oldFile, const fs::path& backupFile) {
  detail::removeCompanions(backupFile);
  if (detail::moveFile(oldFile, backupFile)) detail::moveCompanions(oldFile, backupFile);
}

// True when the database at `path` holds a row for every name in `rows`.
bool holdsEveryName(const fs::path& path, const OldRows& rows) {
  std::set<std::string> names;
  sqlite3* db = openFile(path, SQLITE_OPEN_READONLY);
  bool complete = false;
  if (db != nullptr) {
    std::string error;
    Statement select;
    if (select.prepare(db, "SELECT Domain FROM Domains", error)) {
      int rc;
      while ((rc = select.step(error)) == SQLITE_ROW) names.insert(select.utf8(0));
      complete = rc == SQLITE_DONE;
    }
  }
  sqlite3_close(db);
  return complete && std::all_of(rows.begin(), rows.end(),
                                 [&](const std::array<std::string, 6>& r) { return names.count(r[0]) > 0; });
}

// Reads the whole file through `db` without writing a byte of it: false with
// the reason when it is empty, not a database or damaged. An empty file
// would otherwise be taken for a new database and get a header written.
bool isUsableDatabase(sqlite3* db, const fs::path& path, std::string& damage) {
  std::error_code ec;
  if (fs::file_size(path, ec) == 0 && !ec) {
    damage = "the file is empty";
    return false;
  }
  // A connection closed after a failed check must not fold a journal into
  // the file.
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  // A file of up to 16 MB (about 140,000 rows) gets a page cache
  // that holds it whole: the check then reads each page once, and the list's
  // first read finds them cached. A larger file would only churn the cache,
  // so it keeps the default. Neither writes to the file.
  const auto size = fs::file_size(path, ec);
  constexpr std::uintmax_t kWholeFileCache = 16u << 20;
  if (!ec && size <= kWholeFileCache) {
    const std::string pragma = "PRAGMA cache_size=-" + std::to_string(std::max<std::uintmax_t>(size / 1024 + 64, 2000));
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
  }
  bool usable = true;
  {
    Statement check;
    std::string error;
    if (!check.prepare(db, "PRAGMA quick_check(1)", error)) {
      damage = error;
      usable = false;
    } else {
      const int rc = check.step(error);
      if (rc == SQLITE_ROW) {
        usable = check.utf8(0) == "ok";
        if (!usable) damage = "database disk image is malformed";
      } else {
        // A file held by another process is not a damaged one: it is used
        // as usual, and each operation tells what the database says.
        usable = (rc & 0xFF) != SQLITE_NOTADB && (rc & 0xFF) != SQLITE_CORRUPT;
        damage = error.empty() ? check.failure() : error;
      }
    }
  }
  if (usable) sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
  return usable;
}

void showError(StoreErrorSink* errors, const std::string& utf8Message) {
  if (errors == nullptr || utf8Message.empty()) return;
  try {
    errors->showStoreError(utf8TextToGbk(utf8Message));
  } catch (...) {
    // The sink is the caller's; nothing it throws leaves the store.
  }
}

}  // namespace

struct DomainStore::Impl {
  StoreErrorSink* errors = nullptr;
  std::mutex mutex;
  sqlite3* db = nullptr;
  std::string openError = kNoConnection;
  // Set when the file is there but holds no usable database: the file is
  // never written, and `unreadable` is said at the first operation only.
  bool unusable = false;
  std::string unreadable;
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
      if (unusable) {
        error.swap(unreadable);  // empty from then on: told once
      } else if (db == nullptr) {
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
    impl_->unusable = false;
    sqlite3* db = openFile(detail::fsPath(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                           &impl_->openError);
    if (db == nullptr) return;
    // Nothing below may write to a file that is not a database, or a damaged
    // one: the user's rows may still be rescued from it.
    std::string damage;
    if (!isUsableDatabase(db, detail::fsPath(path), damage)) {
      sqlite3_close_v2(db);
      impl_->unusable = true;
      impl_->unreadable = kCannotRead + damage;
      return;
    }
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

    OldRows rows;
    std::string error;
    if (!readOldRows(oldFile, rows, error)) {
      showError(errors, error);
      return false;
    }

    std::error_code ec;
    // A current file that already holds every carried name was made by an
    // earlier carrying whose old file could not be moved away: it is kept
    // as it is, and only the move of the old file is tried again.
    if (!rows.empty() && fs::exists(fs::symlink_status(newFile, ec)) && holdsEveryName(newFile, rows)) {
      moveToBackup(oldFile, backupFile);
      return false;
    }

    const fs::path temp = detail::siblingTempName(newFile);
    if (!buildEmptyDatabase(temp, rows)) return false;

    // An existing current database is moved aside whole, never overwritten.
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
    // copied it stays (the caller remembers that it was carried).
    moveToBackup(oldFile, backupFile);
    return true;
  } catch (...) {
    return false;
  }
}

bool DomainStore::CopyDatabase(const std::string& fromPath, const std::string& toPath) {
  try {
    const fs::path from = detail::fsPath(fromPath), to = detail::fsPath(toPath);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) return false;
    // A log left beside the target belongs to no file; the source's log,
    // when there is one, holds committed rows and travels with it.
    detail::removeCompanions(to);
    fs::path fromLog = from, toLog = to;
    fromLog += "-wal";
    toLog += "-wal";
    if (fs::exists(fs::symlink_status(fromLog, ec)) && !detail::copyVerified(fromLog, toLog)) return false;
    if (detail::copyVerified(from, to)) return true;
    fs::remove(toLog, ec);
    return false;
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

bool DomainStore::SaveLookup(int32_t id, const DomainRecord& rec, bool writeDomain) {
  bool written = false;
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
    written = writeWhole(db, update, error);
  });
  return written;
}

bool DomainStore::ClearLookups() {
  bool written = false;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement update;
    if (!update.prepare(db,
                        "UPDATE Domains SET RegDate = '', ExpireDate = '', BaiduS = '',"
                        " GoogleS = '', LastUpdate = '', AAA1 = ''",
                        error)) {
      return;
    }
    written = writeWhole(db, update, error);
  });
  return written;
}

int DomainStore::AddDomains(const std::string& text) {
  std::vector<std::string> names;
  try {
    for (const std::string& line : splitAddText(text)) {
      const std::string name = normaliseDomain(line);
      if (name.empty()) continue;
      std::string utf8 = gbkToUtf8(name);
      // Never stored cut short: a cut name would be a different domain.
      if (utf8Length(utf8) <= kDomainSize) names.push_back(std::move(utf8));
    }
  } catch (...) {
    return 0;
  }
  if (names.empty()) return 0;
  size_t notStored = names.size();
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement find, insert;
    if (!find.prepare(db, "SELECT 1 FROM Domains WHERE Domain = ?1 COLLATE NOCASE LIMIT 1",
                      error) ||
        !insert.prepare(db, "INSERT INTO Domains (Domain) VALUES (?1)", error)) {
      return;
    }
    std::string failure;
    int rc = insertRange(db, find, insert, names, 0, names.size(), error, failure);
    if (rc == SQLITE_OK) {
      notStored = 0;
      return;
    }
    // The batch was rolled back. Unless the file refuses every write, each
    // line is tried again in a transaction of its own, so that one line
    // that cannot be stored (a disk that is full by then) costs no other.
    if (error.empty() && !refusesEveryWrite(rc)) {
      notStored = 0;
      for (size_t i = 0; i < names.size(); ++i) {
        rc = insertRange(db, find, insert, names, i, i + 1, error, failure);
        if (rc == SQLITE_OK) continue;
        if (!error.empty() || refusesEveryWrite(rc)) {
          notStored += names.size() - i;
          break;
        }
        ++notStored;
      }
    }
    if (error.empty() && notStored > 0) error = kCannotWrite + failure;
  });
  return static_cast<int>(notStored);
}

bool DomainStore::Rename(int32_t id, const std::string& newName) {
  bool written = false;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement update;
    if (!update.prepare(db, "UPDATE Domains SET Domain = ?2 WHERE id = ?1", error)) return;
    const std::string utf8 = gbkToUtf8(newName);
    if (utf8Length(utf8) > kDomainSize) return;
    update.bind(1, id);
    update.bind(2, utf8);
    written = writeWhole(db, update, error);
  });
  return written;
}

bool DomainStore::Remove(int32_t id) {
  bool written = false;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement remove;
    if (!remove.prepare(db, "DELETE FROM Domains WHERE id = ?1", error)) return;
    remove.bind(1, id);
    written = writeWhole(db, remove, error);
  });
  return written;
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
