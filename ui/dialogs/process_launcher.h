// Starting an outside program (Windows Explorer for a web page, Notepad for
// the export file) with one command line. The program never waits for it to
// end and reports nothing; tests substitute a launcher that records.
#pragma once
#include <filesystem>
#include <string>

namespace dvx {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // gbkCommandLine: program name and arguments as one GBK text.
  virtual void launch(const std::string& gbkCommandLine) = 0;
  // Opens a file in Notepad: `gbkCommandLine` is the same command as GBK
  // text. The Windows launcher hands the path over in UTF-16 instead, so a
  // folder name GBK cannot hold still opens; others launch the GBK line.
  virtual void openInNotepad(const std::filesystem::path& /*file*/, const std::string& gbkCommandLine) {
    launch(gbkCommandLine);
  }
};

}  // namespace dvx
