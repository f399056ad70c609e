#include "ui/common/file_dialogs_win.h"

#include <algorithm>
#include <vector>

#include "text/wide_text_win.h"

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

std::wstring dialogFilter(std::initializer_list<const char*> parts) {
  std::wstring filter;
  for (const char* part : parts) {
    filter += toWide(part);
    filter += L'\0';
  }
  filter += L'\0';
  return filter;
}

std::wstring askSavePath(HWND owner, const SaveDialogSpec& spec) {
  std::vector<wchar_t> buffer(32768, L'\0');
  spec.suggestedName.copy(buffer.data(), std::min(spec.suggestedName.size(), buffer.size() - 1));
  std::wstring folder = spec.folder.wstring();
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = spec.filter.empty() ? nullptr : spec.filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrDefExt = spec.defaultExtension;
  ofn.lpstrTitle = spec.title.empty() ? nullptr : spec.title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!showSaveFileDialog(&ofn)) return std::wstring();
  return std::wstring(buffer.data());
}

DWORD fileDialogError() {
  static const DialogError error = dialogFunction<DialogError>("CommDlgExtendedError");
  return error ? error() : 0;
}

}  // namespace dvx
