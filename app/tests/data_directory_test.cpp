#include "app/data_directory.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace dvx {
namespace {

// A drive table: writes succeed only on drives listed as writable.
class FakeFiles : public FilePlatform {
 public:
  explicit FakeFiles(std::string writableDrives) : writable_(std::move(writableDrives)) {}
  bool createDirectory(const std::string& p) override {
    made.push_back(p);
    return writable(p);
  }
  bool writeWholeFile(const std::string& p, const std::string& b) override {
    if (!writable(p)) return false;
    files[p] = b;
    return true;
  }
  std::string windowsDirectory() override { return "E:\\WINNT"; }
  std::string systemDirectory() override { return "E:\\WINNT\\system32"; }

  std::vector<std::string> made;
  std::map<std::string, std::string> files;

 private:
  bool writable(const std::string& p) const {
    return !p.empty() && writable_.find(static_cast<char>(toupper(p[0]))) != std::string::npos;
  }
  std::string writable_;
};

TEST(DataDirectory, WritableDriveDHoldsDataNoticeAndSettings) {
  FakeFiles fs("DE");
  EXPECT_EQ(chooseDataDirectory(fs), "D:\\Veltro\\");
  // The doubled separator comes from a directory ending in one and a file
  // name starting with one.
  ASSERT_EQ(fs.files.count("D:\\Veltro\\\\用户注意.txt"), 1u);
  const std::string expected =
      "\xB1\xBE\xC4\xBF\xC2\xBC\xCE\xAA\xCA\xFD\xBE\xDD\xB1\xA3\xB4\xE6\xC4\xBF\xC2\xBC";
  EXPECT_EQ(fs.files["D:\\Veltro\\\\用户注意.txt"].substr(0, expected.size()), expected);
  EXPECT_EQ(fs.files["D:\\Veltro\\\\用户注意.txt"].substr(fs.files["D:\\Veltro\\\\用户注意.txt"].size() - 2), "\r\n");
  FakeFiles fs2("DE");
  EXPECT_EQ(chooseSettingsFile(fs2), "D:\\Veltro\\Veltrosoft.p");
}

TEST(DataDirectory, WithoutDriveDFallsBackToTheWindowsDrive) {
  FakeFiles fs("E");
  EXPECT_EQ(chooseDataDirectory(fs), "E:\\Program Files\\3d\\");
  EXPECT_EQ(fs.made.back(), "E:\\Program Files\\3d\\");
  EXPECT_EQ(fs.made[fs.made.size() - 2], "E:\\Program Files\\");
  // No notice file is written in the fallback directory.
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(chooseSettingsFile(fs), "E:\\WINNT\\system32\\Harnwick.txt");
}

TEST(DataDirectory, NoticeTextIsExactGbk) {
  const std::string notice = kNoticeText;
  EXPECT_EQ(notice.size(), 84u);  // 40 Chinese characters, 2 commas, CR LF
  EXPECT_EQ(productTitle(), "Domivex v15.0");
}

}  // namespace
}  // namespace dvx
