#include "fault_vfs.h"

#include <algorithm>
#include <cstring>

namespace dvx_test {
namespace {

// Our file: SQLite's handle first, then the real layer's file, which is
// allocated right behind it.
struct FaultFile {
  sqlite3_file base;
  FaultVfs* owner;
  bool counted;  // a database or journal file: its writes use up the space
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

FaultFile* self(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f); }
sqlite3_file* real(sqlite3_file* f) { return self(f)->real(); }

int xClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return real(f)->pMethods->xRead(real(f), p, n, o); }
int xTruncate(sqlite3_file* f, sqlite3_int64 n) { return real(f)->pMethods->xTruncate(real(f), n); }
int xSync(sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); }
int xFileSize(sqlite3_file* f, sqlite3_int64* n) { return real(f)->pMethods->xFileSize(real(f), n); }
int xLock(sqlite3_file* f, int l) { return real(f)->pMethods->xLock(real(f), l); }
int xUnlock(sqlite3_file* f, int l) { return real(f)->pMethods->xUnlock(real(f), l); }
int xCheckReservedLock(sqlite3_file* f, int* r) { return real(f)->pMethods->xCheckReservedLock(real(f), r); }
int xFileControl(sqlite3_file* f, int op, void* a) { return real(f)->pMethods->xFileControl(real(f), op, a); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int pg, int sz, int ext, void volatile** p) {
  return real(f)->pMethods->xShmMap(real(f), pg, sz, ext, p);
}
int xShmLock(sqlite3_file* f, int off, int n, int flags) { return real(f)->pMethods->xShmLock(real(f), off, n, flags); }
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int del) { return real(f)->pMethods->xShmUnmap(real(f), del); }

}  // namespace

int FaultVfs::write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
  FaultFile* file = self(f);
  FaultVfs* owner = file->owner;
  const long long left = owner->spaceLeft_.load();
  if (file->counted && left >= 0) {
    // Only growth takes space: a rewrite within the file reuses its own.
    sqlite3_int64 size = 0;
    if (xFileSize(f, &size) != SQLITE_OK) return SQLITE_IOERR_WRITE;
    const long long growth = std::max<long long>(0, offset + amount - size);
    if (growth > left) return SQLITE_FULL;
    owner->spaceLeft_ = left - growth;
  }
  return real(f)->pMethods->xWrite(real(f), data, amount, offset);
}

int FaultVfs::open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  FaultVfs* owner = static_cast<FaultVfs*>(vfs->pAppData);
  FaultFile* file = self(f);
  std::memset(file, 0, sizeof *file);
  if (owner->readOnly_ && (flags & SQLITE_OPEN_MAIN_DB)) {
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  }
  const int rc = owner->real_->xOpen(owner->real_, name, file->real(), flags, outFlags);
  if (file->real()->pMethods == nullptr) return rc;
  static const sqlite3_io_methods methods = {
      2,        xClose,         xRead,     FaultVfs::write, xTruncate,    xSync,
      xFileSize, xLock,         xUnlock,   xCheckReservedLock, xFileControl, xSectorSize,
      xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap, nullptr, nullptr};
  file->base.pMethods = &methods;
  file->owner = owner;
  file->counted = (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL)) != 0;
  return rc;
}

FaultVfs::FaultVfs() {
  real_ = sqlite3_vfs_find(nullptr);
  vfs_ = *real_;
  vfs_.zName = "dvx-faults";
  vfs_.pAppData = this;
  vfs_.szOsFile = static_cast<int>(sizeof(FaultFile)) + real_->szOsFile;
  vfs_.xOpen = &FaultVfs::open;
  sqlite3_vfs_register(&vfs_, 1);
}

FaultVfs::~FaultVfs() { sqlite3_vfs_unregister(&vfs_); }

}  // namespace dvx_test
