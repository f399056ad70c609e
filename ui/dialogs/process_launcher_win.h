// Starts a command line as a new process: default window state, at most
// 1000 ms waiting for it to be ready for input, never for its end.
#pragma once
#include <string>

#include "ui/dialogs/process_launcher.h"

namespace dvx {

// The full path of a program of Windows itself, named without a folder
// ("explorer", "notepad.exe"; ".exe" is added when the name has no
// extension): the Windows folder, then the system folder. Empty when the
// name holds a folder or neither place has it. The usual search would try
// the program's own folder first, where a planted explorer.exe would run.
std::wstring systemProgramPath(const std::wstring& name);

class WinProcessLauncher : public ProcessLauncher {
 public:
  // The command line's first word names the program, found by
  // systemProgramPath; the rest is handed over as it is. Failures (no such
  // program, no rights) pass silently.
  void launch(const std::string& gbkCommandLine) override;
  void openInNotepad(const std::filesystem::path& file, const std::string& gbkCommandLine) override;

 private:
  void start(const std::wstring& commandLine);
};

}  // namespace dvx
