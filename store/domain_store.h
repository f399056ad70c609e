// The one owner of the database connection and of every read and write on
// the table Domains. Texts are GBK, paths Unicode; the database stores
// Unicode.
// Every operation runs whole under one lock, so any thread may call; none
// throws and none touches a window.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "store/domain_record.h"
#include "store/store_errors.h"

struct sqlite3;

namespace dvx {

// What an add of many names came to: names new to the table, names already
// there (or repeated in the same add), names that could not be stored.
struct AddOutcome {
  size_t added = 0;
  size_t existing = 0;
  size_t failed = 0;
};

class DomainStore {
 public:
  explicit DomainStore(StoreErrorSink* errors);
  ~DomainStore();
  DomainStore(const DomainStore&) = delete;
  DomainStore& operator=(const DomainStore&) = delete;

  // Creates the schema in a file beside `path` and renames it into place,
  // only when no file of that name exists. Never leaves a half-made file.
  static void CreateIfMissing(const std::filesystem::path& path);
  // Opens the one connection. Failure shows at the first operation. A file
  // that is empty, not a database or damaged is never written: it is said
  // once, at the first operation, and every later one does nothing.
  // `wholeFileCache` lets a small file's pages stay cached for the list's
  // first read; a caller that shows no list passes false.
  void OpenStore(const std::filesystem::path& path, bool wholeFileCache = true);
  // Carries the six columns of an older, narrower file into a fresh database
  // at newPath and moves the old file to backupPath. Returns false when
  // nothing could be carried (the caller then does not end the program),
  // and also when the database at newPath already holds every name of the
  // old file: it was carried before, so nothing is moved aside.
  static bool MigrateOldDatabase(const std::filesystem::path& oldPath, const std::filesystem::path& newPath,
                                 const std::filesystem::path& backupPath, StoreErrorSink* errors);

  // Copies the database at fromPath, with its write-ahead log, to toPath
  // when no file is there yet, verifying every byte; the original is never
  // changed. False when the copy could not be made (nothing is left at
  // toPath then).
  static bool CopyDatabase(const std::filesystem::path& fromPath, const std::filesystem::path& toPath);

  std::vector<std::pair<int32_t, std::string>> LoadAll();
  DomainRecord FindById(int32_t id);
  // Every record in ascending id order, in one walk: what FindById gives for
  // each row, for a pass over a long list.
  std::vector<DomainRecord> LoadRecords();
  // The same walk, each record handed over as it is read, so a long table
  // never sits in memory twice. `each` runs under the store's lock and must
  // not call the store.
  void ForEachRecord(const std::function<void(DomainRecord&)>& each);
  // The writes below are one transaction each. A write the database refuses
  // (read-only file, a lock held by another process, a full disk) is rolled
  // back and told once, as "the database cannot be written: " and the
  // database's message; the operation then returns false, and a job should
  // stop writing rather than have it told for every row.
  bool SaveLookup(int32_t id, const DomainRecord& rec, bool writeDomain);
  bool ClearLookups();
  // Stores each name the text holds once (read by readDomainRows: a name a
  // line, or rows of fields); returns how many of those names could not be
  // stored (0 when every one was stored or was there already). When the
  // batch fails, the names are tried one by one, so the names that fit are
  // kept.
  int AddDomains(const std::string& text);
  // The same for names already cleaned (GBK), with the counts an import
  // reports. A name longer than its column is counted as failed, never cut.
  AddOutcome AddNames(const std::vector<std::string>& names);
  bool Rename(int32_t id, const std::string& newName);
  bool Remove(int32_t id);

  // Waits for an operation in progress, then closes the connection for good.
  // Every later operation on this store, OpenStore included, does nothing:
  // reads give empty results, writes write nothing, no error is shown.
  // Called at exit before the worker threads are ended, so that none is
  // stopped in the middle of a write.
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace dvx
