// The real file-system services for the data-directory choice.
#pragma once
#include "startup/data_directory.h"

namespace dvx {

class WinFilePlatform : public FilePlatform {
 public:
  MadeDirectory createDirectory(const std::filesystem::path& dir) override;
  bool writeWholeFile(const std::filesystem::path& file, const std::string& bytes) override;
  std::filesystem::path windowsDirectory() override;
  std::filesystem::path systemDirectory() override;
  bool canWriteIn(const std::filesystem::path& dir) override;
  std::filesystem::path localAppDataDirectory() override;
  bool fileExists(const std::filesystem::path& file) override;
  bool isTrustedDirectory(const std::filesystem::path& dir, bool createdNow) override;
};

}  // namespace dvx
