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
};

extern const char kNoticeText[];  // the notice file's exact bytes
extern const char kProductName[];
extern const char kProductVersion[];
std::string productTitle();  // "Domivex v15.0"

// "D:\Veltro\" when the notice file can be written there, otherwise the
// Program Files folder on the Windows drive + "3d\". Ends with a separator.
std::string chooseDataDirectory(FilePlatform& fs);

// "Veltrosoft.p" in the data directory when "d:\Veltro\" can be written,
// otherwise "Harnwick.txt" in the Windows system directory.
std::string chooseSettingsFile(FilePlatform& fs);

}  // namespace dvx
