// Row operations on the table Domains. Texts are GBK inside the program and
// UTF-8 in the file; every value and id is bound as a parameter, never pasted
// into a statement, so a name holding a quote is just a name.
#include "store/domain_store.h"

#include <sqlite3.h>

#include <set>

#include "store/domain_rows.h"
#include "store/domain_store_impl.h"
#include "store/store_sqlite.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
using namespace storedb;
namespace {

// Stores the names of [from, to) that are not stored yet in one
// transaction: SQLITE_OK, or the failing result code with everything of the
// range rolled back (a rejection's message in `error`, any other in
// `failure`). The lookup sees the rows this range stored already, so a name
// given twice in any spelling is stored once. The range's counts are added
// to `outcome` only when it is committed.
int insertRange(sqlite3* db, Statement& find, Statement& insert, const std::vector<std::string>& names,
                size_t from, size_t to, AddOutcome& outcome, std::string& error, std::string& failure) {
  Transaction txn(db);
  if (!txn.isOpen()) {
    failure = txn.failure();
    return txn.rc();
  }
  size_t added = 0, existing = 0;
  for (size_t i = from; i < to; ++i) {
    find.bind(1, names[i]);
    const int found = find.step(error);
    find.reset();
    if (found == SQLITE_ROW) {
      ++existing;
      continue;
    }
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
    ++added;
  }
  if (!txn.commit()) {
    failure = txn.failure();
    return txn.rc();
  }
  outcome.added += added;
  outcome.existing += existing;
  return SQLITE_OK;
}

// Stores the UTF-8 names, each once: one transaction for all, and when that
// fails, unless the file refuses every write, each name again in a
// transaction of its own, so that one name that cannot be stored (a disk
// that is full by then) costs no other. Adds to `outcome`.
void insertNames(sqlite3* db, const std::vector<std::string>& names, AddOutcome& outcome, std::string& error) {
  Statement find, insert;
  if (!find.prepare(db, "SELECT 1 FROM Domains WHERE Domain = ?1 COLLATE NOCASE LIMIT 1", error) ||
      !insert.prepare(db, "INSERT INTO Domains (Domain) VALUES (?1)", error)) {
    outcome.failed += names.size();
    return;
  }
  std::string failure;
  int rc = insertRange(db, find, insert, names, 0, names.size(), outcome, error, failure);
  if (rc == SQLITE_OK) return;
  size_t notStored = names.size();
  if (error.empty() && !refusesEveryWrite(rc)) {
    notStored = 0;
    for (size_t i = 0; i < names.size(); ++i) {
      rc = insertRange(db, find, insert, names, i, i + 1, outcome, error, failure);
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
  std::vector<std::string> names;
  try {
    for (const std::string& name : readDomainRows(text).names) {
      std::string utf8 = gbkToUtf8(name);
      // Never stored cut short: a cut name would be a different domain.
      if (utf8Length(utf8) <= kDomainSize) names.push_back(std::move(utf8));
    }
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
  std::vector<std::string> names;
  size_t tooLong = 0;
  try {
    names.reserve(gbkNames.size());
    for (const std::string& name : gbkNames) {
      if (name.empty()) continue;
      std::string utf8 = gbkToUtf8(name);
      if (utf8Length(utf8) <= kDomainSize) {
        names.push_back(std::move(utf8));
      } else {
        ++tooLong;
      }
    }
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
