// Starting an outside program (Windows Explorer for a web page, Notepad for
// the export file) with one command line. The program never waits for it to
// end and reports nothing; tests substitute a launcher that records.
#pragma once
#include <string>

namespace dvx {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // gbkCommandLine: program name and arguments as one GBK text.
  virtual void launch(const std::string& gbkCommandLine) = 0;
};

}  // namespace dvx
