#include "ui/common/file_dialogs_win.h"

namespace dvx {

namespace {

using FileDialog = BOOL(WINAPI*)(OPENFILENAMEW*);

FileDialog dialogFunction(const char* name) {
  // Loaded once and kept for the life of the process.
  static HMODULE library = LoadLibraryW(L"comdlg32.dll");
  return library ? reinterpret_cast<FileDialog>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace

BOOL showSaveFileDialog(OPENFILENAMEW* ofn) {
  static const FileDialog save = dialogFunction("GetSaveFileNameW");
  return save ? save(ofn) : FALSE;
}

BOOL showOpenFileDialog(OPENFILENAMEW* ofn) {
  static const FileDialog open = dialogFunction("GetOpenFileNameW");
  return open ? open(ofn) : FALSE;
}

}  // namespace dvx
