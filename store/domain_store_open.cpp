// Opening the table Domains on SQLite: the file checks, the schema, carrying
// an older database over and copying one. Row operations are in
// domain_store_rows.cpp.
#include "store/domain_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <set>
#include <system_error>

#include "store/domain_store_impl.h"
#include "store/file_moves.h"
#include "store/store_sqlite.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace fs = std::filesystem;

namespace dvx {
using namespace storedb;
namespace {

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
  // Only read: the old file is left exactly as it is until it is moved.
  sqlite3* old = openFile(oldFile, SQLITE_OPEN_READONLY, &error);
  bool complete = false;
  if (old != nullptr && domainsKind(old) == DomainsKind::Other) {
    error = kNotATable;
  } else if (old != nullptr) {
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
  if (db != nullptr && domainsKind(db) != DomainsKind::Other) {
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
bool isUsableDatabase(sqlite3* db, const fs::path& path, bool wholeFileCache, std::string& damage) {
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
  // so it keeps the default. Neither writes to the file. A caller that
  // shows no list (the unattended check) keeps the default to stay small.
  const auto size = fs::file_size(path, ec);
  constexpr std::uintmax_t kWholeFileCache = 16u << 20;
  if (wholeFileCache && !ec && size <= kWholeFileCache) {
    const std::string pragma = "PRAGMA cache_size=-" + std::to_string(std::max<std::uintmax_t>(size / 1024 + 64, 2000));
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
  }
  bool usable = true;
  if (domainsKind(db) == DomainsKind::Other) {
    // Every later read would run what the file put in place of the table.
    damage = kNotATable;
    usable = false;
  } else {
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

}  // namespace

DomainStore::DomainStore(StoreErrorSink* errors) : impl_(new Impl) { impl_->errors = errors; }

DomainStore::~DomainStore() = default;

void DomainStore::CreateIfMissing(const fs::path& path) {
  try {
    const fs::path& target = path;
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

void DomainStore::OpenStore(const fs::path& path, bool wholeFileCache) {
  try {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->closed) return;
    impl_->closeDb();
    impl_->unusable = false;
    sqlite3* db = openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                           &impl_->openError);
    if (db == nullptr) return;
    // Nothing below may write to a file that is not a database, or a damaged
    // one: the user's rows may still be rescued from it.
    std::string damage;
    if (!isUsableDatabase(db, path, wholeFileCache, damage)) {
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

bool DomainStore::MigrateOldDatabase(const fs::path& oldFile, const fs::path& newFile, const fs::path& backupFile,
                                     StoreErrorSink* errors) {
  try {
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

bool DomainStore::CopyDatabase(const fs::path& from, const fs::path& to) {
  try {
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
