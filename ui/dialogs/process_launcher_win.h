// Starts a command line as a new process: default window state, at most
// 1000 ms waiting for it to be ready for input, never for its end.
#pragma once
#include "ui/dialogs/process_launcher.h"

namespace dvx {

class WinProcessLauncher : public ProcessLauncher {
 public:
  // Failures (no such program, no rights) pass silently.
  void launch(const std::string& gbkCommandLine) override;
};

}  // namespace dvx
