#include "startup/data_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace dvx {
namespace {

namespace fs = std::filesystem;

// Paths as UTF-8 text, so that expectations read as they are written.
std::string u8(const fs::path& p) { return p.u8string(); }

// A drive table: writes succeed only on drives listed as writable.
class FakeFiles : public FilePlatform {
 public:
  explicit FakeFiles(std::string writableDrives) : writable_(std::move(writableDrives)) {}
  MadeDirectory createDirectory(const fs::path& p) override {
    made.push_back(u8(p));
    if (!writable(u8(p))) return MadeDirectory::Failed;
    return dirs.insert(u8(p)).second ? MadeDirectory::Created : MadeDirectory::Existed;
  }
  bool writeWholeFile(const fs::path& p, const std::string& b) override {
    if (!writable(u8(p))) return false;
    files[u8(p)] = b;
    return true;
  }
  fs::path windowsDirectory() override { return "E:\\WINNT"; }
  fs::path systemDirectory() override { return "E:\\WINNT\\system32"; }
  // Directories that exist already and belong to someone else.
  bool isTrustedDirectory(const fs::path& p, bool createdNow) override {
    return createdNow || !foreign.count(u8(p));
  }

  std::vector<std::string> made;
  std::set<std::string> dirs, foreign;
  std::map<std::string, std::string> files;

 private:
  bool writable(const std::string& p) const {
    return !p.empty() && writable_.find(static_cast<char>(toupper(p[0]))) != std::string::npos;
  }
  std::string writable_;
};

TEST(DataDirectory, WritableDriveDHoldsDataNoticeAndSettings) {
  FakeFiles fs("DE");
  EXPECT_EQ(u8(chooseDataDirectory(fs)), "D:\\Veltro\\");
  // The doubled separator comes from a directory ending in one and a file
  // name starting with one.
  const std::string notice = u8"D:\\Veltro\\\\用户注意.txt";
  ASSERT_EQ(fs.files.count(notice), 1u);
  const std::string expected =
      "\xB1\xBE\xC4\xBF\xC2\xBC\xCE\xAA\xCA\xFD\xBE\xDD\xB1\xA3\xB4\xE6\xC4\xBF\xC2\xBC";
  EXPECT_EQ(fs.files[notice].substr(0, expected.size()), expected);
  EXPECT_EQ(fs.files[notice].substr(fs.files[notice].size() - 2), "\r\n");
  FakeFiles fs2("DE");
  EXPECT_EQ(u8(chooseSettingsFile(fs2)), "D:\\Veltro\\Veltrosoft.p");
}

TEST(DataDirectory, WithoutDriveDFallsBackToTheWindowsDrive) {
  FakeFiles fs("E");
  EXPECT_EQ(u8(chooseDataDirectory(fs)), "E:\\Program Files\\3d\\");
  EXPECT_EQ(fs.made.back(), "E:\\Program Files\\3d\\");
  EXPECT_EQ(fs.made[fs.made.size() - 2], "E:\\Program Files\\");
  // No notice file is written in the fallback directory.
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(u8(chooseSettingsFile(fs)), "E:\\WINNT\\system32\\Harnwick.txt");
}

TEST(DataDirectory, DriveDIsUsedOnlyWhenItIsThisUsers) {
  // Another account's folder (or a junction) on a shared drive: the next
  // place is taken, and nothing is written into it.
  FakeFiles shared("DE");
  shared.dirs = shared.foreign = {"D:\\Veltro\\"};
  EXPECT_EQ(u8(chooseDataDirectory(shared)), "E:\\Program Files\\3d\\");
  EXPECT_EQ(u8(chooseSettingsFile(shared)), "E:\\WINNT\\system32\\Harnwick.txt");
  EXPECT_TRUE(shared.files.empty());
  // Made by this start, or found and owned: it is used.
  FakeFiles own("DE");
  EXPECT_EQ(u8(chooseDataDirectory(own)), "D:\\Veltro\\");
  EXPECT_EQ(u8(chooseSettingsFile(own)), "D:\\Veltro\\Veltrosoft.p");
}

// Today's Windows: writes succeed only under the listed folders, as for a
// standard user who may write in their own profile and nowhere else.
class FoldersFiles : public FilePlatform {
 public:
  FoldersFiles(std::vector<std::string> writable, std::string localAppData)
      : writable_(std::move(writable)), localAppData_(std::move(localAppData)) {}
  MadeDirectory createDirectory(const fs::path& p) override {
    return writable(u8(p)) ? MadeDirectory::Created : MadeDirectory::Failed;
  }
  bool writeWholeFile(const fs::path& p, const std::string& b) override {
    if (!writable(u8(p))) return false;
    files[u8(p)] = b;
    return true;
  }
  fs::path windowsDirectory() override { return "C:\\Windows"; }
  fs::path systemDirectory() override { return "C:\\Windows\\system32"; }
  bool canWriteIn(const fs::path& p) override {
    ++probes;
    return writable(u8(p));
  }
  fs::path localAppDataDirectory() override { return fs::u8path(localAppData_); }
  bool fileExists(const fs::path& p) override { return files.count(u8(p)) > 0; }

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
  EXPECT_EQ(u8(chooseSettingsFile(fs)), mine + "Harnwick.txt");
  EXPECT_EQ(fs.files.size(), 1u);  // the notice file, as on drive D:
  EXPECT_EQ(u8(chooseDataDirectory(fs)), mine);
  // The per-user data directory gets the notice file like D:\Veltro\.
  EXPECT_EQ(fs.files[mine + u8"\\用户注意.txt"], std::string(kNoticeText));
  EXPECT_EQ(u8(chooseSettingsFile(fs)), mine + "Harnwick.txt");
  EXPECT_EQ(u8(chooseDatabaseDirectory(fs, "C:\\Program Files\\Domivex")), mine);
  // A program directory the user can write keeps its database.
  EXPECT_EQ(u8(chooseDatabaseDirectory(fs, local + "\\Programs\\Domivex")), local + "\\Programs\\Domivex\\");
}

TEST(DataDirectory, OnceTheUserFolderHoldsTheDataItStaysTheirs) {
  // A start as administrator, after the user's earlier starts kept their
  // rows or settings in the per-user folder: the same files are used, not
  // the stale ones beside the program or in the system directory.
  const std::string local = u8"C:\\Users\\G\u00f6khan\\AppData\\Local", mine = local + "\\Domivex\\";
  for (const char* kept : {"domains.mdb", "Harnwick.txt"}) {
    FoldersFiles admin({"C:\\"}, local);
    admin.files[mine + kept] = "";
    EXPECT_EQ(u8(chooseDatabaseDirectory(admin, "C:\\Program Files\\Domivex")), mine) << kept;
    EXPECT_EQ(u8(chooseSettingsFile(admin)), mine + "Harnwick.txt") << kept;
  }
}

TEST(DataDirectory, WritableDescribedPlacesAreKeptAndNothingWorseIsChosen) {
  // An administrator: Program Files and the system directory are writable.
  FoldersFiles admin({"C:\\"}, "C:\\Users\\a\\AppData\\Local");
  EXPECT_EQ(u8(chooseDataDirectory(admin)), "C:\\Program Files\\3d\\");
  EXPECT_EQ(u8(chooseSettingsFile(admin)), "C:\\Windows\\system32\\Harnwick.txt");
  EXPECT_EQ(u8(chooseDatabaseDirectory(admin, "C:\\Program Files\\Domivex")), "C:\\Program Files\\Domivex\\");
  EXPECT_TRUE(admin.files.empty());

  // No known per-user folder, or one that cannot be written either: the
  // described places stay (their failures show where they happen).
  for (const std::string& local : {std::string(), std::string("C:\\Users\\ro\\AppData\\Local")}) {
    FoldersFiles none({}, local);
    EXPECT_EQ(u8(chooseDataDirectory(none)), "C:\\Program Files\\3d\\") << local;
    EXPECT_EQ(u8(chooseSettingsFile(none)), "C:\\Windows\\system32\\Harnwick.txt") << local;
    EXPECT_EQ(u8(chooseDatabaseDirectory(none, "C:\\Program Files\\Domivex")), "C:\\Program Files\\Domivex\\");
  }

  // A writable D: still wins, with no probe of other places.
  FoldersFiles withD({"D:\\", "C:\\Users\\"}, "C:\\Users\\u\\AppData\\Local");
  EXPECT_EQ(u8(chooseDataDirectory(withD)), "D:\\Veltro\\");
  EXPECT_EQ(u8(chooseSettingsFile(withD)), "D:\\Veltro\\Veltrosoft.p");
  EXPECT_EQ(withD.probes, 0);
}

TEST(DataDirectory, NoticeTextIsExactGbk) {
  const std::string notice = kNoticeText;
  EXPECT_EQ(notice.size(), 84u);  // 40 Chinese characters, 2 commas, CR LF
  EXPECT_EQ(productTitle(), "Domivex v15.0");
}

}  // namespace
}  // namespace dvx
