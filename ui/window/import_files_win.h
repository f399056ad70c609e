// The files of an import read into cleaned names: each file by its wide path,
// decoded to GBK, split into names and skipped rows. Runs on a worker thread;
// touches no window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace dvx {

// A registrar's export of a few hundred thousand rows is a few tens of MB;
// a file above this is refused rather than read into memory whole.
constexpr uint64_t kMaxImportFileBytes = 64ull * 1024 * 1024;

struct ImportBatch {
  std::vector<std::string> names;            // cleaned, in order, files one after the other
  size_t skippedRows = 0;                    // rows that held no host name
  std::vector<std::string> unreadableFiles;  // GBK: the file's name and why
};

// `typedText` (the add dialog's box, GBK) comes first, then each file. Only
// .txt, .csv and .tsv files are read; any other file, and one that cannot
// be opened or read or is too big, is named in unreadableFiles and the rest
// go on.
ImportBatch readImportFiles(const std::vector<std::wstring>& paths, const std::string& typedText = std::string());

}  // namespace dvx
