// The main window's file commands: files dropped on it, "导入文件..." and
// "导出 CSV..." in its system menu.
#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

#include <vector>

#include "startup/scoped_handle_win.h"
#include "ui/common/file_dialogs_win.h"
#include "ui/common/dropped_files_win.h"
#include "ui/common/wide_win.h"
#include "ui/list/csv_export.h"
#include "ui/window/main_window_win.h"

namespace dvx {

namespace {

// A filter string for the common dialogs: pairs of GBK texts, each ended by
// a NUL, the whole by another.
// The files an open dialog with several picks returned: the folder, then
// each name, all ended by NULs; a single pick is its whole path.
std::vector<std::wstring> pickedFiles(const std::vector<wchar_t>& buffer) {
  std::vector<std::wstring> parts;
  for (size_t at = 0; at < buffer.size() && buffer[at];) {
    std::wstring part(&buffer[at]);
    at += part.size() + 1;
    parts.push_back(std::move(part));
  }
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

}  // namespace

void MainWindow::addSystemMenuItems() {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  // Appended after the system's items, so their layout stays.
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kSysImportFiles, toWide("导入文件...").c_str());
  AppendMenuW(menu, MF_STRING, kSysExportCsv, toWide("导出 CSV...").c_str());
}

bool MainWindow::onSysCommand(UINT command) {
  switch (command) {
    case kSysImportFiles: chooseImportFiles(); return true;
    case kSysExportCsv: chooseCsvExport(); return true;
    default: return false;
  }
}

void MainWindow::onDropFiles(HDROP drop) {
  std::vector<std::wstring> files = takeDroppedFiles(drop);
  if (!files.empty()) startImport(std::move(files));
}

void MainWindow::chooseImportFiles() {
  // Large enough for a few hundred picked names at once.
  std::vector<wchar_t> buffer(1 << 16, L'\0');
  const std::wstring filter = dialogFilter({"域名文件 (*.txt;*.csv;*.tsv)", "*.txt;*.csv;*.tsv", "所有文件 (*.*)", "*.*"});
  const std::wstring folder = hosts_.dataDir.wstring();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  const std::wstring title = toWide("导入文件");
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              OFN_NOCHANGEDIR;
  if (!showOpenFileDialog(&ofn)) {
    // 0 is the user's cancel; anything else is the dialog's own failure.
    if (fileDialogError() == FNERR_BUFFERTOOSMALL && options_.prompter)
      options_.prompter->notify("选择的文件太多, 请分几次导入", "提示", PromptIcon::Warning);
    return;
  }
  // The dialog ran its own message loop: the window may be gone.
  if (!hwnd_) return;
  startImport(pickedFiles(buffer));
}

void MainWindow::chooseCsvExport() {
  SaveDialogSpec spec;
  spec.suggestedName = L"Domivex_\u5BFC\u51FA.csv";  // Domivex_导出.csv
  spec.folder = hosts_.dataDir;
  spec.filter = dialogFilter({"CSV 文件 (*.csv)", "*.csv"});
  spec.defaultExtension = L"csv";
  spec.title = toWide("导出 CSV");
  const std::wstring path = askSavePath(hwnd_, spec);
  // The dialog ran its own message loop: the window may be gone.
  if (path.empty() || !hwnd_) return;
  exportCsvTo(path);
}

bool MainWindow::exportCsvTo(const std::wstring& path) {
  // The columns the list shows, in its order, under their titles.
  std::vector<int> columns;
  std::vector<std::string> titles;
  for (int c = 0; c < kListColumnCount; ++c) {
    if (SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0) <= 0) continue;
    columns.push_back(c);
    titles.push_back(mainColumnTitle(c));
  }
  bool written = false;
  try {
    const std::string bytes = csvExport(rows_, columns, titles);
    ScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() != INVALID_HANDLE_VALUE) {
      size_t done = 0;
      written = true;
      while (written && done < bytes.size()) {
        DWORD put = 0;
        const size_t left = bytes.size() - done;
        const DWORD chunk = static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24));
        written = WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr) && put > 0;
        done += put;
      }
    }
  } catch (...) {
    written = false;  // out of memory for a very long list
  }
  if (!written && options_.prompter) {
    const size_t cut = path.find_last_of(L'\\');
    options_.prompter->notify("无法写入文件 " + fromWide(cut == std::wstring::npos ? path : path.substr(cut + 1)),
                              "提示", PromptIcon::Warning);
  }
  return written;
}

}  // namespace dvx
