// Where the program keeps its data directory and its settings file.
#pragma once
#include <string>

namespace dvx {

// The few file-system services the choice needs; the Windows build answers
// with the real calls, tests with a fake drive table.
class FilePlatform {
 public:
  virtual ~FilePlatform() = default;
  // An existing directory is no error; the result is ignored by callers.
  virtual bool createDirectory(const std::string& gbkPath) = 0;
  // Writes the whole file, replacing earlier content. False on failure.
  virtual bool writeWholeFile(const std::string& gbkPath, const std::string& bytes) = 0;
  virtual std::string windowsDirectory() = 0;
  virtual std::string systemDirectory() = 0;
  // True when a file can really be created in the existing directory (a
  // probe is made and removed); a standard user cannot write under
  // Program Files or the system directory. A platform that cannot tell
  // keeps the described places.
  virtual bool canWriteIn(const std::string& /*gbkDir*/) { return true; }
  // The user's local application-data folder (%LOCALAPPDATA%), without a
  // trailing separator; empty when unknown.
  virtual std::string localAppDataDirectory() { return std::string(); }
};

extern const char kNoticeText[];  // the notice file's exact bytes
extern const char kProductName[];
extern const char kProductVersion[];
std::string productTitle();  // "Domivex v15.0"

// "D:\Veltro\" when the notice file can be written there, otherwise the
// Program Files folder on the Windows drive + "3d\" when files can be
// written there, otherwise the per-user folder (with the notice file).
// Ends with a separator.
std::string chooseDataDirectory(FilePlatform& fs);

// "Veltrosoft.p" in the data directory when "d:\Veltro\" can be written,
// otherwise "Harnwick.txt" in the Windows system directory when files can be
// written there, otherwise "Harnwick.txt" in the per-user folder.
std::string chooseSettingsFile(FilePlatform& fs);

// The per-user folder "%LOCALAPPDATA%\Domivex\", created when missing.
// Empty when the local application-data folder is unknown.
std::string userDataDirectory(FilePlatform& fs);

// Where domains.mdb lives: the program directory (given without a trailing
// separator) when files can be written there, otherwise the per-user
// folder. Ends with a separator.
std::string chooseDatabaseDirectory(FilePlatform& fs, const std::string& programDir);

}  // namespace dvx
