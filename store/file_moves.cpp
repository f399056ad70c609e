#include "store/file_moves.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "text/codepage.h"

namespace fs = std::filesystem;

namespace dvx {
namespace detail {

fs::path fsPath(const std::string& gbkPath) { return fs::u8path(gbkToUtf8(gbkPath)); }

fs::path siblingTempName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  const auto ticks = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  for (;;) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".building-%llx-%x", ticks, counter.fetch_add(1));
    fs::path candidate = target;
    candidate += suffix;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
  }
}

bool placeWithoutReplacing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  // A hard link fails when `to` exists, so the check and the move are one
  // step; the temporary name is then dropped.
  fs::create_hard_link(from, to, ec);
  if (!ec) {
    if (fs::remove(from, ec) && !ec) return true;
    // `from` cannot go (held open elsewhere): undo, so only one name remains.
    fs::remove(to, ec);
    return false;
  }
  // File systems without hard links: check, then rename.
  if (fs::exists(fs::symlink_status(to, ec))) return false;
  fs::rename(from, to, ec);
  return !ec;
}

fs::path firstFreeName(const fs::path& base) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(base, ec))) return base;
  for (unsigned n = 1;; ++n) {
    fs::path candidate = base;
    candidate += "." + std::to_string(n);
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
  }
}

void removeCompanions(const fs::path& db) {
  std::error_code ec;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    fs::path p = db;
    p += suffix;
    fs::remove(p, ec);
  }
}

void moveCompanions(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    fs::path source = from, target = to;
    source += suffix;
    target += suffix;
    if (fs::exists(fs::symlink_status(source, ec))) moveFile(source, target);
  }
}

bool renameFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

bool moveFile(const fs::path& from, const fs::path& to, RenameFn rename) {
  if (rename(from, to)) return true;
  // The copy goes to a fresh name first, so an earlier file at `to` is only
  // replaced by a complete copy (and copy_file's own overwrite is unreliable
  // on Windows builds of the standard library).
  std::error_code ec;
  const fs::path temp = siblingTempName(to);
  if (!fs::copy_file(from, temp, ec) || ec) {
    fs::remove(temp, ec);
    return false;
  }
  if (fs::exists(fs::symlink_status(to, ec))) fs::remove(to, ec);
  if (!renameFile(temp, to)) {
    fs::remove(temp, ec);
    return false;
  }
  return fs::remove(from, ec) && !ec;
}

namespace {

bool sameBytes(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return false;
  return std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

}  // namespace

bool copyVerified(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to, ec))) return false;
  const fs::path temp = siblingTempName(to);
  if (fs::copy_file(from, temp, ec) && !ec && sameBytes(from, temp) && placeWithoutReplacing(temp, to))
    return true;
  fs::remove(temp, ec);
  return false;
}

}  // namespace detail
}  // namespace dvx
