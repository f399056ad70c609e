// What the program was asked to do on its command line.
#pragma once
#include <string>
#include <vector>

namespace dvx {

enum class ProgramMode {
  kWindow,        // no known command: the main window
  kCheck,         // --check or /check: the unattended check, no main window
  kInstallCheck,  // --install-check: make the daily task
  kRemoveCheck,   // --remove-check: delete it
};

struct ProgramArguments {
  ProgramMode mode = ProgramMode::kWindow;
  bool quiet = false;  // --quiet: no message box for the task commands
};

// `args` without the program's own name. Options are read case-insensitively
// with "--" or "/"; when several commands are given the first counts.
ProgramArguments parseProgramArguments(const std::vector<std::wstring>& args);

}  // namespace dvx
