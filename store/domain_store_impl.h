// The store's connection, its lock and its state between operations.
// Internal to store/.
#pragma once
#include <mutex>
#include <string>

#include "store/domain_store.h"
#include "store/store_sqlite.h"

namespace dvx {

struct DomainStore::Impl {
  StoreErrorSink* errors = nullptr;
  std::mutex mutex;
  sqlite3* db = nullptr;
  std::string openError = storedb::kNoConnection;
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
    storedb::showError(errors, error);
  }
};

}  // namespace dvx
