// The real file-system services for the data-directory choice.
#pragma once
#include "startup/data_directory.h"

namespace dvx {

class WinFilePlatform : public FilePlatform {
 public:
  bool createDirectory(const std::string& gbkPath) override;
  bool writeWholeFile(const std::string& gbkPath, const std::string& bytes) override;
  std::string windowsDirectory() override;
  std::string systemDirectory() override;
  bool canWriteIn(const std::string& gbkDir) override;
  std::string localAppDataDirectory() override;
};

}  // namespace dvx
