#include "ui/window/import_files_win.h"

#include <windows.h>

#include <cwctype>

#include "startup/scoped_handle_win.h"
#include "store/domain_rows.h"
#include "store/import_decode.h"
#include "text/wide_text_win.h"

namespace dvx {

namespace {

// The name a message shows: the last part of the path.
std::string displayName(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return fromWide(cut == std::wstring::npos ? path : path.substr(cut + 1));
}

bool hasImportExtension(const std::wstring& path) {
  const size_t dot = path.find_last_of(L'.');
  const size_t slash = path.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return false;
  std::wstring ext = path.substr(dot + 1);
  for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext == L"txt" || ext == L"csv" || ext == L"tsv";
}

// The whole file into `bytes`; otherwise false with the reason (GBK).
bool readWholeFile(const std::wstring& path, std::string& bytes, std::string& why) {
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    why = "无法打开";
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    why = "无法读取";
    return false;
  }
  if (static_cast<uint64_t>(size.QuadPart) > kMaxImportFileBytes) {
    why = "文件超过 64 MB";
    return false;
  }
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(bytes.size() - done < (1u << 24) ? bytes.size() - done : (1u << 24));
    if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr)) {
      why = "无法读取";
      return false;
    }
    if (got == 0) break;  // the file shrank meanwhile: what was there is read
    done += got;
  }
  bytes.resize(done);
  return true;
}

void addRows(ImportBatch& batch, const std::string& gbkText) {
  DomainRows rows = readDomainRows(gbkText);
  batch.skippedRows += rows.skippedRows;
  if (batch.names.empty())
    batch.names = std::move(rows.names);
  else
    batch.names.insert(batch.names.end(), std::make_move_iterator(rows.names.begin()),
                       std::make_move_iterator(rows.names.end()));
}

}  // namespace

ImportBatch readImportFiles(const std::vector<std::wstring>& paths, const std::string& typedText) {
  ImportBatch batch;
  if (!typedText.empty()) addRows(batch, typedText);
  for (const std::wstring& path : paths) {
    std::string why;
    try {
      std::string bytes;
      if (!hasImportExtension(path))
        why = "只导入 .txt .csv .tsv 文件";
      else if (readWholeFile(path, bytes, why))
        addRows(batch, decodeImportBytes(bytes));
    } catch (...) {
      why = "内存不足";  // the one throw left: memory for a big file
    }
    if (!why.empty()) batch.unreadableFiles.push_back(displayName(path) + " (" + why + ")");
  }
  return batch;
}

}  // namespace dvx
