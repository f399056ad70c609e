// --install-check and --remove-check, and the same from the main window's
// system menu: the task made or removed, and what was done said in words.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

// What the task command did, for a message box (UTF-16).
std::wstring installCheckMessage(HRESULT result, const std::wstring& exePath);
std::wstring removeCheckMessage(HRESULT result);

// The command-line commands: the exit code is 0 on success, 1 otherwise;
// without `quiet` a message box says what was done.
int runInstallCheckCommand(bool quiet);
int runRemoveCheckCommand(bool quiet);

}  // namespace dvx
