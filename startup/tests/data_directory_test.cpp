#include "startup/data_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Today's Windows: writes succeed only under the listed folders, as for a
// standard user who may write in their own profile and nowhere else.
class FoldersFiles : public FilePlatform {
 public:
  FoldersFiles(std::vector<std::string> writable, std::string localAppData)
      : writable_(std::move(writable)), localAppData_(std::move(localAppData)) {}
  bool createDirectory(const std::string& p) override { return writable(p); }
  bool writeWholeFile(const std::string& p, const std::string& b) override {
    if (!writable(p)) return false;
    files[p] = b;
    return true;
  }
  std::string windowsDirectory() override { return "C:\\Windows"; }
  std::string systemDirectory() override { return "C:\\Windows\\system32"; }
  bool canWriteIn(const std::string& p) override {
    ++probes;
    return writable(p);
  }
  std::string localAppDataDirectory() override { return localAppData_; }

  std::map<std::string, std::string> files;
  int probes = 0;

 private:
  // Windows names are case-blind ("d:\Veltro\" is "D:\Veltro\").
  bool writable(const std::string& p) const {
    for (const std::string& w : writable_)
      if (p.size() >= w.size() && std::equal(w.begin(), w.end(), p.begin(), [](char a, char b) {
            return toupper(static_cast<unsigned char>(a)) == toupper(static_cast<unsigned char>(b));
          }))
        return true;
    return false;
  }
  std::vector<std::string> writable_;
  std::string localAppData_;
};

TEST(DataDirectory, StandardUserKeepsEverythingInThePerUserFolder) {
  const std::string local = "C:\\Users\\u\\AppData\\Local";
  const std::string mine = local + "\\Domivex\\";
  FoldersFiles fs({local + "\\"}, local);
  EXPECT_EQ(chooseSettingsFile(fs), mine + "Harnwick.txt");
  EXPECT_EQ(fs.files.size(), 1u);  // the notice file, as on drive D:
  EXPECT_EQ(chooseDataDirectory(fs), mine);
  // The per-user data directory gets the notice file like D:\Veltro\.
  EXPECT_EQ(fs.files[mine + "\\用户注意.txt"], std::string(kNoticeText));
  EXPECT_EQ(chooseSettingsFile(fs), mine + "Harnwick.txt");
  EXPECT_EQ(chooseDatabaseDirectory(fs, "C:\\Program Files\\Domivex"), mine);
  // A program directory the user can write keeps its database.
  EXPECT_EQ(chooseDatabaseDirectory(fs, local + "\\Programs\\Domivex"), local + "\\Programs\\Domivex\\");
}

TEST(DataDirectory, WritableDescribedPlacesAreKeptAndNothingWorseIsChosen) {
  // An administrator: Program Files and the system directory are writable.
  FoldersFiles admin({"C:\\"}, "C:\\Users\\a\\AppData\\Local");
  EXPECT_EQ(chooseDataDirectory(admin), "C:\\Program Files\\3d\\");
  EXPECT_EQ(chooseSettingsFile(admin), "C:\\Windows\\system32\\Harnwick.txt");
  EXPECT_EQ(chooseDatabaseDirectory(admin, "C:\\Program Files\\Domivex"), "C:\\Program Files\\Domivex\\");
  EXPECT_TRUE(admin.files.empty());

  // No known per-user folder, or one that cannot be written either: the
  // described places stay (their failures show where they happen).
  for (const std::string& local : {std::string(), std::string("C:\\Users\\ro\\AppData\\Local")}) {
    FoldersFiles none({}, local);
    EXPECT_EQ(chooseDataDirectory(none), "C:\\Program Files\\3d\\") << local;
    EXPECT_EQ(chooseSettingsFile(none), "C:\\Windows\\system32\\Harnwick.txt") << local;
    EXPECT_EQ(chooseDatabaseDirectory(none, "C:\\Program Files\\Domivex"), "C:\\Program Files\\Domivex\\");
  }

  // A writable D: still wins, with no probe of other places.
  FoldersFiles withD({"D:\\", "C:\\Users\\"}, "C:\\Users\\u\\AppData\\Local");
  EXPECT_EQ(chooseDataDirectory(withD), "D:\\Veltro\\");
  EXPECT_EQ(chooseSettingsFile(withD), "D:\\Veltro\\Veltrosoft.p");
  EXPECT_EQ(withD.probes, 0);
}

TEST(DataDirectory, NoticeTextIsExactGbk) {
  const std::string notice = kNoticeText;
  EXPECT_EQ(notice.size(), 84u);  // 40 Chinese characters, 2 commas, CR LF
  EXPECT_EQ(productTitle(), "Domivex v15.0");
}

}  // namespace
}  // namespace dvx
