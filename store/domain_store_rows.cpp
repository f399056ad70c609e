// Row operations on the table Domains. Texts are GBK inside the program and
// UTF-8 in the file; every value and id is bound as a parameter, never pasted
// into a statement, so a name holding a quote is just a name.
#include "store/domain_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string_view>

#include "store/domain_rows.h"
#include "store/domain_store_impl.h"
#include "store/store_sqlite.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
using namespace storedb;
namespace {

// Names compared as the table's index compares them (COLLATE NOCASE folds
// ASCII letters only; UTF-8 bytes above 0x7F stay). An open-addressing table
// of views with their hashes: a million names cost one probe each, and a
// name that is lower case already is not copied.
class NocaseSet {
 public:
  explicit NocaseSet(size_t expected) {
    size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    slots_.resize(capacity);
    keys_.reserve(expected);
  }
  // False when the name, in any case, is in the set already.
  bool insert(std::string_view utf8) {
    if (std::none_of(utf8.begin(), utf8.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
      return insertKey(utf8, nullptr);
    std::string key(utf8);
    for (char& c : key)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return insertKey(key, &key);
  }
  // For a name that does not outlive the set.
  void insertCopy(std::string utf8) {
    copies_.push_back(std::move(utf8));
    insert(copies_.back());
  }

 private:
  struct Slot {
    uint64_t hash = 0;
    uint32_t key = 0;  // 1 + the index in keys_; 0 for a free slot
  };

  // `owned` holds the key's text when the set must keep its own copy.
  bool insertKey(std::string_view key, std::string* owned) {
    const uint64_t hash = std::hash<std::string_view>()(key);
    size_t i = hash & (slots_.size() - 1);
    while (slots_[i].key != 0) {
      if (slots_[i].hash == hash && keys_[slots_[i].key - 1] == key) return false;
      i = (i + 1) & (slots_.size() - 1);
    }
    if (owned != nullptr) {
      copies_.push_back(std::move(*owned));
      key = copies_.back();
    }
    keys_.push_back(key);
    slots_[i] = Slot{hash, static_cast<uint32_t>(keys_.size())};
    if (keys_.size() * 2 > slots_.size()) grow();
    return true;
  }

  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.key == 0) continue;
      size_t i = slot.hash & (slots_.size() - 1);
      while (slots_[i].key != 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::vector<std::string_view> keys_;
  std::deque<std::string> copies_;  // never moves its strings
};

// The statements of one add. Rows go in 256 to a statement: each INSERT also
// writes the table's AUTOINCREMENT counter, which for one row a statement
// costs as much again as the row. (256 parameters are far below any SQLite's
// limit of 999.)
class NameWriter {
 public:
  static constexpr size_t kRowsPerInsert = 256;

  bool prepare(sqlite3* db, std::string& error) {
    std::string many = "INSERT INTO Domains (Domain) VALUES (?1)";
    for (size_t k = 2; k <= kRowsPerInsert; ++k) many += ",(?" + std::to_string(k) + ")";
    return find.prepare(db, "SELECT 1 FROM Domains WHERE Domain = ?1 COLLATE NOCASE LIMIT 1", error) &&
           insertOne.prepare(db, "INSERT INTO Domains (Domain) VALUES (?1)", error) &&
           insertMany.prepare(db, many.c_str(), error) &&
           readAll.prepare(db, "SELECT Domain FROM Domains", error) &&
           lastId.prepare(db, "SELECT max(id) FROM Domains", error);
  }

  Statement find, insertOne, insertMany, readAll, lastId;
};

constexpr size_t kRebuildIndexesFrom = 20000;

// Drops the indexes of the table Domains inside the open transaction,
// keeping their definitions in `definitions` to build them again.
int dropIndexes(sqlite3* db, std::vector<std::string>& definitions, std::string& error, std::string& failure) {
  Statement list;
  if (!list.prepare(db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Domains'"
                        " AND sql IS NOT NULL", error))
    return SQLITE_ERROR;
  std::vector<std::string> names;
  int rc;
  while ((rc = list.step(error)) == SQLITE_ROW) {
    names.push_back(list.utf8(0));
    definitions.push_back(list.utf8(1));
  }
  if (rc != SQLITE_DONE) {
    failure = list.failure();
    return rc;
  }
  for (const std::string& name : names) {
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    Statement drop;
    if (!drop.prepare(db, ("DROP INDEX " + quoted + "\"").c_str(), error)) return SQLITE_ERROR;
    rc = drop.step(error);
    if (rc != SQLITE_DONE) {
      failure = drop.failure();
      return rc;
    }
  }
  return SQLITE_OK;
}

// Stores the names of [from, to) that are not stored yet in one
// transaction: SQLITE_OK, or the failing result code with everything of the
// range rolled back (a rejection's message in `error`, any other in
// `failure`). A name given twice in any spelling is stored once, at its
// first place. With `readTable` the stored names are read once into memory
// instead of being looked up name by name (for a batch at least as long as
// the table). The range's counts are added to `outcome` only when it is
// committed.
int insertRange(NameWriter& w, sqlite3* db, const std::vector<std::string_view>& names, size_t from, size_t to,
                bool readTable, AddOutcome& outcome, std::string& error, std::string& failure) {
  Transaction txn(db);
  if (!txn.isOpen()) {
    failure = txn.failure();
    return txn.rc();
  }
  NocaseSet seen(to - from);  // stored, or met earlier in the range
  if (readTable) {
    int rc;
    while ((rc = w.readAll.step(error)) == SQLITE_ROW) seen.insertCopy(w.readAll.utf8(0));
    w.readAll.reset();
    if (rc != SQLITE_DONE) {
      failure = w.readAll.failure();
      return rc;
    }
  }
  size_t existing = 0;
  std::vector<std::string_view> fresh;
  fresh.reserve(to - from);
  for (size_t i = from; i < to; ++i) {
    if (!seen.insert(names[i])) {
      ++existing;
      continue;
    }
    if (!readTable) {
      w.find.bindView(1, names[i]);
      const int found = w.find.step(error);
      w.find.reset();
      if (found == SQLITE_ROW) {
        ++existing;
        continue;
      }
      if (found != SQLITE_DONE) {
        failure = w.find.failure();
        return found;
      }
    }
    fresh.push_back(names[i]);
  }
  // Many rows into a table no longer than them: the table's indexes are
  // dropped and built again after the rows, from their own definitions, which
  // costs less than keeping them up to date row by row. All of it is part of
  // the transaction, so a failure or a killed process leaves them as they were.
  std::vector<std::string> indexes;
  if (readTable && fresh.size() >= kRebuildIndexesFrom) {
    const int rc = dropIndexes(db, indexes, error, failure);
    if (rc != SQLITE_OK) return rc;
  }
  for (size_t i = 0; i < fresh.size();) {
    const bool many = fresh.size() - i >= NameWriter::kRowsPerInsert;
    Statement& insert = many ? w.insertMany : w.insertOne;
    const size_t count = many ? NameWriter::kRowsPerInsert : 1;
    for (size_t k = 0; k < count; ++k) insert.bindView(static_cast<int>(k + 1), fresh[i + k]);
    const int inserted = insert.step(error);
    insert.reset();
    if (inserted != SQLITE_DONE) {
      failure = insert.failure();
      return inserted;
    }
    i += count;
  }
  for (const std::string& sql : indexes) {
    Statement create;
    if (!create.prepare(db, sql.c_str(), error)) return SQLITE_ERROR;
    const int rc = create.step(error);
    if (rc != SQLITE_DONE) {
      failure = create.failure();
      return rc;
    }
  }
  if (!txn.commit()) {
    failure = txn.failure();
    return txn.rc();
  }
  outcome.added += fresh.size();
  outcome.existing += existing;
  return SQLITE_OK;
}

// Stores the UTF-8 names, each once: one transaction for all, and when that
// fails, unless the file refuses every write, each name again in a
// transaction of its own, so that one name that cannot be stored (a disk
// that is full by then) costs no other. Adds to `outcome`.
void insertNames(sqlite3* db, const std::vector<std::string_view>& names, AddOutcome& outcome, std::string& error) {
  NameWriter w;
  if (!w.prepare(db, error)) {
    outcome.failed += names.size();
    return;
  }
  // The table is read whole when it holds no more rows than the batch (its
  // largest id bounds its rows), so neither way costs more than the batch.
  const int last = w.lastId.step(error);
  const bool readTable = last == SQLITE_ROW && static_cast<size_t>(w.lastId.integer(0)) <= names.size();
  std::string failure = w.lastId.failure();
  w.lastId.reset();
  if (last != SQLITE_ROW) {
    outcome.failed += names.size();
    if (error.empty()) error = kCannotWrite + failure;
    return;
  }
  int rc = insertRange(w, db, names, 0, names.size(), readTable, outcome, error, failure);
  if (rc == SQLITE_OK) return;
  size_t notStored = names.size();
  if (error.empty() && !refusesEveryWrite(rc)) {
    notStored = 0;
    for (size_t i = 0; i < names.size(); ++i) {
      rc = insertRange(w, db, names, i, i + 1, false, outcome, error, failure);
      if (rc == SQLITE_OK) continue;
      if (!error.empty() || refusesEveryWrite(rc)) {
        notStored += names.size() - i;
        break;
      }
      ++notStored;
    }
  }
  outcome.failed += notStored;
  if (error.empty() && notStored > 0) error = kCannotWrite + failure;
}

// The names as the table holds them, in UTF-8: an ASCII name is its own
// UTF-8 and is not copied, any other is converted into `converted`. Empty
// names are left out; so is a name longer than its column, and counted: cut
// short it would be a different domain.
size_t storeNames(const std::vector<std::string>& gbk, std::vector<std::string_view>& utf8,
                  std::deque<std::string>& converted) {
  size_t tooLong = 0;
  utf8.reserve(gbk.size());
  for (const std::string& name : gbk) {
    if (name.empty()) continue;
    std::string_view view = name;
    if (!std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      converted.push_back(gbkToUtf8(name));
      view = converted.back();
    }
    const size_t characters = static_cast<size_t>(
        std::count_if(view.begin(), view.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    if (characters <= kDomainSize) {
      utf8.push_back(view);
    } else {
      ++tooLong;
    }
  }
  return tooLong;
}

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

std::vector<std::pair<int32_t, std::string>> DomainStore::LoadAll() {
  std::vector<std::pair<int32_t, std::string>> result;
  impl_->run([&](sqlite3* db, std::string& error) {
    Statement select;
    if (!select.prepare(db, "SELECT id, Domain FROM Domains ORDER BY id", error)) return;
    while (select.step(error) == SQLITE_ROW) result.emplace_back(select.integer(0), select.text(1));
  });
  return result;
}

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
  DomainRows rows;
  std::deque<std::string> converted;
  std::vector<std::string_view> names;
  try {
    rows = readDomainRows(text);
    storeNames(rows.names, names, converted);  // too long: not stored, not counted
  } catch (...) {
    return 0;
  }
  if (names.empty()) return 0;
  AddOutcome outcome;
  outcome.failed = names.size();  // until the store has been reached
  impl_->run([&](sqlite3* db, std::string& error) {
    outcome = AddOutcome();
    insertNames(db, names, outcome, error);
  });
  return static_cast<int>(outcome.failed);
}

AddOutcome DomainStore::AddNames(const std::vector<std::string>& gbkNames) {
  AddOutcome outcome;
  std::deque<std::string> converted;
  std::vector<std::string_view> names;
  size_t tooLong = 0;
  try {
    tooLong = storeNames(gbkNames, names, converted);
  } catch (...) {
    outcome.failed = gbkNames.size();
    return outcome;
  }
  outcome.failed = names.size();  // until the store has been reached
  if (!names.empty()) {
    impl_->run([&](sqlite3* db, std::string& error) {
      outcome = AddOutcome();
      insertNames(db, names, outcome, error);
    });
  }
  outcome.failed += tooLong;
  return outcome;
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

}  // namespace dvx
