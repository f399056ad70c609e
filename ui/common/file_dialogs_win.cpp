#include "ui/common/file_dialogs_win.h"

namespace dvx {

namespace {

using FileDialog = BOOL(WINAPI*)(OPENFILENAMEW*);
using DialogError = DWORD(WINAPI*)();

template <typename Function>
Function dialogFunction(const char* name) {
  // Loaded once and kept for the life of the process.
  static HMODULE library = LoadLibraryW(L"comdlg32.dll");
  return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace

BOOL showSaveFileDialog(OPENFILENAMEW* ofn) {
  static const FileDialog save = dialogFunction<FileDialog>("GetSaveFileNameW");
  return save ? save(ofn) : FALSE;
}

BOOL showOpenFileDialog(OPENFILENAMEW* ofn) {
  static const FileDialog open = dialogFunction<FileDialog>("GetOpenFileNameW");
  return open ? open(ofn) : FALSE;
}

DWORD fileDialogError() {
  static const DialogError error = dialogFunction<DialogError>("CommDlgExtendedError");
  return error ? error() : 0;
}

}  // namespace dvx
