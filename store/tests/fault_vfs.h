// A file layer under SQLite for the store's fault tests: it passes every
// call to the platform's own layer, and can make the database file read-only
// or the disk full after a number of written bytes. Installed as the
// default for the lifetime of one object.
#pragma once
#include <sqlite3.h>

#include <atomic>

namespace dvx_test {

class FaultVfs {
 public:
  FaultVfs();
  ~FaultVfs();
  FaultVfs(const FaultVfs&) = delete;
  FaultVfs& operator=(const FaultVfs&) = delete;

  // Database files opened from now on are opened read-only.
  void setReadOnly(bool on) { readOnly_ = on; }
  // Writes to the database and its journals fail with SQLITE_FULL once they
  // would grow these files by more than this many bytes in all; negative for
  // no limit.
  void setSpaceLeft(long long bytes) { spaceLeft_ = bytes; }
  long long spaceLeft() const { return spaceLeft_; }

 private:
  static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags);
  static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset);

  sqlite3_vfs vfs_{};
  sqlite3_vfs* real_ = nullptr;
  std::atomic<bool> readOnly_{false};
  std::atomic<long long> spaceLeft_{-1};
};

}  // namespace dvx_test
