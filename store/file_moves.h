// File placement for the database: building beside the final name and moving
// into place without ever replacing a file that appeared meanwhile.
#pragma once
#include <filesystem>
#include <string>

namespace dvx {
namespace detail {

// GBK path to a filesystem path (the file system sees Unicode names).
std::filesystem::path fsPath(const std::string& gbkPath);

// A name beside `target` that no file holds yet, for building a file that
// will be moved to `target`.
std::filesystem::path siblingTempName(const std::filesystem::path& target);

// Moves `from` to `to` only while `to` does not exist; false (and `from`
// untouched) when it exists or the move fails.
bool placeWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The first of base, base.1, base.2, ... that names no file.
std::filesystem::path firstFreeName(const std::filesystem::path& base);

// The database engine's companion files (-wal, -shm, -journal).
void removeCompanions(const std::filesystem::path& db);

// Moves the companion files of `from` that exist to the same names beside `to`.
void moveCompanions(const std::filesystem::path& from, const std::filesystem::path& to);

using RenameFn = bool (*)(const std::filesystem::path& from, const std::filesystem::path& to);
bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves a file by renaming it; when renaming fails, copies it (replacing an
// earlier file at `to`) and deletes the original. `rename` is replaceable so
// that the fallback can be exercised.
bool moveFile(const std::filesystem::path& from, const std::filesystem::path& to,
              RenameFn rename = renameFile);

// Copies `from` to `to` only while `to` does not exist: the copy is built
// beside `to`, compared byte for byte with `from` and then moved into place.
// `from` is never changed. False (and nothing left at `to`) on any failure.
bool copyVerified(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace detail
}  // namespace dvx
