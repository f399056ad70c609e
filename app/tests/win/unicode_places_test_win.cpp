// The data places under folder names the ANSI code page cannot hold: a user
// "Gökhan" or "김민준" keeps the database, the settings and the data
// directory in their own folders under code page 936 as under 1252.
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "lookup/rdap_bootstrap.h"
#include "lookup/rdap_bootstrap_source.h"
#include "main_window_harness_win.h"
#include "startup/file_platform_win.h"
#include "startup/profile_file.h"
#include "ui/window/main_window_win.h"

namespace dvx {
namespace {

namespace fs = std::filesystem;
using namespace testing_win;

bool onDisk(const fs::path& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string bytesOf(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A standard user whose profile folder has the given name: only their own
// folder can be written, not the program's nor the system's.
class UserFolderFiles : public WinFilePlatform {
 public:
  explicit UserFolderFiles(fs::path local) : local_(std::move(local)) {}
  fs::path localAppDataDirectory() override { return local_; }
  bool canWriteIn(const fs::path& dir) override {
    return dir.native().rfind(local_.native(), 0) == 0 && WinFilePlatform::canWriteIn(dir);
  }

 private:
  fs::path local_;
};

class AlwaysAnswers : public PageFetcher {
 public:
  std::string fetchBytes(const std::string&) override { return std::string(); }
  HttpResponse fetchResponse(const std::string&, const HttpHeaders&, size_t) override {
    HttpResponse r;
    r.status = 200;
    r.body = shippedBootstrapJson();
    return r;
  }
};

class FixedClock : public RdapClock {
 public:
  int64_t nowMs() override { return 1700000000000; }
  int64_t steadyMs() override { return 0; }
  void sleepMs(int64_t) override {}
};

class UnicodePlaces : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override {
    root_ = fs::path(toWideTemp()) / GetParam();
    local_ = root_ / L"AppData" / L"Local";
    program_ = root_ / L"程序";
    fs::create_directories(local_);
    fs::create_directories(program_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  static std::wstring toWideTemp() {
    wchar_t buf[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buf);
    return std::wstring(buf) + L"dvx-unicode-" + std::to_wstring(GetCurrentProcessId());
  }
  fs::path root_, local_, program_;
};

TEST_P(UnicodePlaces, DatabaseSettingsAndDataLandInTheUsersFolder) {
  // A database beside the program, to be carried to the user's folder.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((program_ / L"domains.mdb").u8string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Domains(id INTEGER PRIMARY KEY AUTOINCREMENT, Domain VARCHAR(200),"
                           " RegDate VARCHAR(50), ExpireDate VARCHAR(50), BaiduS VARCHAR(50), GoogleS VARCHAR(50),"
                           " LastUpdate VARCHAR(50), Registeracom VARCHAR(200), Registrant VARCHAR(50),"
                           " DomainAdmin VARCHAR(50), AAA1 VARCHAR(50), AAA2 VARCHAR(50), AAA3 VARCHAR(50),"
                           " AAA4 TEXT, AAA5 TEXT); INSERT INTO Domains(Domain) VALUES('kept.com');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  const fs::path mine = local_ / L"Domivex";
  UserFolderFiles files(local_);
  RecordingPrompter prompter;
  MainWindowOptions o;
  o.programDir = program_;
  o.prompter = &prompter;
  o.files = &files;
  o.quitOnDestroy = false;
  fs::path dataDir;
  {
    MainWindow w(o);
    ASSERT_NE(w.create(GetModuleHandleW(nullptr)), nullptr);
    HWND list = FindWindowExW(w.hwnd(), nullptr, WC_LISTVIEWW, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(w.databasePath().wstring(), (mine / L"domains.mdb").wstring());
    EXPECT_EQ(w.settings().file().wstring(), (mine / L"Harnwick.txt").wstring());
    dataDir = w.hosts().dataDir;
    EXPECT_EQ(dataDir.wstring(), mine.wstring() + L"\\");
  }
  for (const auto& seen : prompter.seen) ADD_FAILURE() << seen.text;
  EXPECT_TRUE(onDisk(mine / L"domains.mdb"));
  EXPECT_EQ(bytesOf(mine / L"用户注意.txt"), std::string(kNoticeText));
  // The settings written at close read back through the same path.
  EXPECT_EQ(readProfileString(mine / L"Harnwick.txt", "Domivex", "位置", "none"), "0");

  // The RDAP bootstrap kept in that data directory.
  FixedClock clock;
  AlwaysAnswers fetcher;
  RdapBootstrapSource source(clock);
  ASSERT_NE(source.current(fetcher, "http://127.0.0.1:9/dns.json", dataDir), nullptr);
  EXPECT_EQ(bytesOf(dataDir / RdapBootstrapSource::kCacheFile), shippedBootstrapJson());
  EXPECT_EQ(bytesOf(dataDir / RdapBootstrapSource::kStampFile).rfind("1700000000000\n", 0), 0u);
}

// The program itself started from such a folder finds its own directory.
TEST_P(UnicodePlaces, TheProgramKeepsItsDatabaseBesideItself) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path exe = program_ / L"domivex.exe";
  ASSERT_TRUE(CopyFileW((fs::path(self).parent_path() / L"domivex.exe").c_str(), exe.c_str(), FALSE));
  const std::string settings = settingsFileWithoutD();
  removeFile(settings);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"\"" + exe.wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, program_.c_str(), &si, &pi));
  HWND main = nullptr;
  EXPECT_TRUE(pumpUntil([&] { return (main = topWindowOf(pi.dwProcessId, nullptr, "Domivex v15.0")) != nullptr; },
                        30000));
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(onDisk(program_ / L"domains.mdb"));
  removeFile(settings);
}

INSTANTIATE_TEST_SUITE_P(UserNames, UnicodePlaces, ::testing::Values(L"G\u00f6khan", L"\uae40\ubbfc\uc900"));

}  // namespace
}  // namespace dvx
