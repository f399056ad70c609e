// Where the program keeps its data directory and its settings file. Paths
// are Unicode from the system to the file call; they are built with ASCII
// or UTF-8 pieces only, since a narrow literal is GBK bytes.
#pragma once
#include <filesystem>
#include <string>

namespace dvx {

enum class MadeDirectory { Failed, Created, Existed };

// The few file-system services the choice needs; the Windows build answers
// with the real calls, tests with a fake drive table.
class FilePlatform {
 public:
  virtual ~FilePlatform() = default;
  // Creates one directory; one that exists already is no failure.
  virtual MadeDirectory createDirectory(const std::filesystem::path& dir) = 0;
  // Writes the whole file, replacing earlier content, never through a
  // reparse point (a link planted in its place is not followed). False on
  // failure.
  virtual bool writeWholeFile(const std::filesystem::path& file, const std::string& bytes) = 0;
  virtual std::filesystem::path windowsDirectory() = 0;
  virtual std::filesystem::path systemDirectory() = 0;
  // True when a file can really be created in the existing directory (a
  // probe is made and removed); a standard user cannot write under
  // Program Files or the system directory. A platform that cannot tell
  // keeps the described places.
  virtual bool canWriteIn(const std::filesystem::path& /*dir*/) { return true; }
  // The user's local application-data folder (%LOCALAPPDATA%), without a
  // trailing separator; empty when unknown.
  virtual std::filesystem::path localAppDataDirectory() { return {}; }
  virtual bool fileExists(const std::filesystem::path& /*file*/) { return false; }
  // True when the existing directory may hold this user's data: it is not
  // a reparse point (a junction could send every write elsewhere), and it
  // was made by this start (`createdNow`) or belongs to the current user.
  // Another account's directory could hold a settings file of its own.
  virtual bool isTrustedDirectory(const std::filesystem::path& /*dir*/, bool /*createdNow*/) { return true; }
};

extern const char kNoticeText[];  // the notice file's exact bytes
extern const char kProductName[];
extern const char kProductVersion[];
std::string productTitle();  // "Domivex v15.0"

// A path for a message to the user: GBK, "?" for what GBK cannot hold.
std::string pathForDisplay(const std::filesystem::path& path);

// "D:\Veltro\" when it is this user's (see isTrustedDirectory) and the notice
// file can be written there, otherwise the Program Files folder on the
// Windows drive + "3d\" when files can be written there, otherwise the
// per-user folder (with the notice file). Ends with a separator.
std::filesystem::path chooseDataDirectory(FilePlatform& files);

// "Veltrosoft.p" in "D:\Veltro\" when that is the data directory; otherwise
// "Harnwick.txt" in the per-user folder once this user has data there (see
// chooseDatabaseDirectory), else in the Windows system directory when files
// can be written there, otherwise in the per-user folder.
std::filesystem::path chooseSettingsFile(FilePlatform& files);

// The per-user folder "%LOCALAPPDATA%\Domivex\", created when missing.
// Empty when the local application-data folder is unknown.
std::filesystem::path userDataDirectory(FilePlatform& files);

// Where domains.mdb lives: the per-user folder once it holds domains.mdb or
// Harnwick.txt (so a start as administrator finds the same rows as the
// user's other starts), else the program directory (given without a
// trailing separator) when files can be written there, otherwise the
// per-user folder. Ends with a separator.
std::filesystem::path chooseDatabaseDirectory(FilePlatform& files, const std::filesystem::path& programDir);

}  // namespace dvx
