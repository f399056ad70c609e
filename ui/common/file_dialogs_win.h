// The standard open and save dialogs, with comdlg32 loaded on first use
// rather than imported: importing it costs every start of the program about
// 13 MB under Wine (it brings its own dependencies), the unattended check
// included, which never shows a dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <initializer_list>
#include <string>

namespace dvx {

// As GetSaveFileNameW / GetOpenFileNameW; FALSE also when comdlg32 cannot
// be loaded.
BOOL showSaveFileDialog(OPENFILENAMEW* ofn);
BOOL showOpenFileDialog(OPENFILENAMEW* ofn);
// As CommDlgExtendedError: 0 after a cancel.
DWORD fileDialogError();

// A dialog's filter from GBK pairs of description and pattern.
std::wstring dialogFilter(std::initializer_list<const char*> parts);

// The standard save dialog over `owner`, offering `suggestedName` in
// `folder` and asking before it replaces a file. The chosen path, or empty
// when the user cancelled or the dialog failed. An empty title keeps the
// system's own.
struct SaveDialogSpec {
  std::wstring suggestedName;
  std::filesystem::path folder;
  std::wstring filter;      // see dialogFilter
  const wchar_t* defaultExtension = nullptr;
  std::wstring title;
};
std::wstring askSavePath(HWND owner, const SaveDialogSpec& spec);

}  // namespace dvx
