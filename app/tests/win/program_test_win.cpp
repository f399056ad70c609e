// domivex.exe itself, started as its own process the way a user starts it.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "startup/file_platform_win.h"
#include "startup/profile_file.h"
#include "main_window_harness_win.h"
#include "text/codepage.h"
#include "startup/scoped_handle_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace testing_win;

std::wstring besideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

// The top-level window of `pid` with this caption, or null.
HWND windowOf(DWORD pid, const std::string& caption) { return topWindowOf(pid, nullptr, caption); }

// Starts domivex.exe as its own process and finds its windows.
class RunsTheProgram : public ::testing::Test {
 protected:
  // Starts the program and waits for a window of it with this caption.
  HWND start(const std::string& caption) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring line = L"\"" + exe_ + L"\"";
    EXPECT_TRUE(CreateProcessW(exe_.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               workDir_.c_str(), &si, &info_));
    process_ = std::make_unique<ScopedHandle>(info_.hProcess);
    thread_ = std::make_unique<ScopedHandle>(info_.hThread);
    return waitForWindow(caption);
  }
  HWND waitForWindow(const std::string& caption) {
    HWND found = nullptr;
    pumpUntil([&] { return (found = windowOf(info_.dwProcessId, caption)) != nullptr; }, 30000);
    return found;
  }
  bool ended(DWORD ms = 10000) { return WaitForSingleObject(process_->get(), ms) == WAIT_OBJECT_0; }

  std::wstring exe_, workDir_;
  PROCESS_INFORMATION info_{};
  std::unique_ptr<ScopedHandle> process_, thread_;
};

class ProgramTest : public RunsTheProgram {
 protected:
  void SetUp() override {
    settings_ = settingsFileWithoutD();
    removeFile(settings_);
    exe_ = toWide(dir_.path()) + L"\\domivex.exe";
    workDir_ = toWide(dir_.path());
    ASSERT_TRUE(CopyFileW(besideThisProgram(L"domivex.exe").c_str(), exe_.c_str(), FALSE));
  }
  void TearDown() override { removeFile(settings_); }

  TempDir dir_;
  std::string settings_;
};

TEST_F(ProgramTest, StartsWithAnEmptyListAndSavesItsStateWhenClosed) {
  HWND main = start("Domivex v15.0");
  ASSERT_NE(main, nullptr);
  HWND list = FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  // The start-up job ends and gives the buttons back.
  HWND add = FindWindowExW(main, nullptr, L"BUTTON", toWide("添加(&A)").c_str());
  ASSERT_NE(add, nullptr);
  EXPECT_TRUE(pumpUntil([&] { return IsWindowEnabled(add) != FALSE; }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(ended());
  EXPECT_TRUE(fileExists(dir_.path() + "\\domains.mdb"));
  EXPECT_EQ(readProfileString(settings_, "Domivex", "位置", ""), "0");
}

TEST_F(ProgramTest, AnOlderDatabaseIsCarriedOverAndTheProgramSaysSoAndEnds) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(gbkToUtf8(dir_.path() + "\\domain.mdb").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE Domains(id INTEGER PRIMARY KEY, Domain TEXT, RegDate TEXT, ExpireDate TEXT,"
                         " BaiduS TEXT, GoogleS TEXT, LastUpdate TEXT);"
                         "INSERT INTO Domains(Domain) VALUES('old.com');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  HWND notice = start("提示");
  ASSERT_NE(notice, nullptr);
  EXPECT_FALSE(ended(0));  // it waits for the user to read the notice
  SendMessageW(notice, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(ended());
  EXPECT_TRUE(fileExists(dir_.path() + "\\domains.mdb"));
  EXPECT_FALSE(fileExists(dir_.path() + "\\domain.mdb"));
  removeFile("C:\\Program Files\\3d\\domain.mdb_old_Bak");
}

// A page that never comes: the program must still end at once when closed,
// and the lookup in progress must write nothing.
TEST_F(ProgramTest, ClosingWhileAPageHangsEndsPromptlyAndWritesNothing) {
  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  int len = sizeof addr;
  getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  const std::string host = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
  writeProfileString(settings_, "Domivex", "WhoisBase", "http://" + host + "/");
  writeProfileString(settings_, "Domivex", "BaiduHost", host);
  writeProfileString(settings_, "Domivex", "RdapFallback", "假");  // no outside RDAP server

  const std::string dbPath = dir_.path() + "\\domains.mdb";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(gbkToUtf8(dbPath).c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE Domains(id INTEGER PRIMARY KEY AUTOINCREMENT, Domain VARCHAR(200),"
                         " RegDate VARCHAR(50), ExpireDate VARCHAR(50), BaiduS VARCHAR(50), GoogleS VARCHAR(50),"
                         " LastUpdate VARCHAR(50), Registeracom VARCHAR(200), Registrant VARCHAR(50),"
                         " DomainAdmin VARCHAR(50), AAA1 VARCHAR(50), AAA2 VARCHAR(50), AAA3 VARCHAR(50),"
                         " AAA4 TEXT, AAA5 TEXT);"
                         "INSERT INTO Domains(Domain) VALUES('slow.com');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  HWND main = start("Domivex v15.0");
  ASSERT_NE(main, nullptr);
  // The job is looking the domain up once the title says so.
  ASSERT_TRUE(pumpUntil([&] { return windowText(main).find("slow.com") != std::string::npos; }, 30000));
  const DWORD closing = GetTickCount();
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(ended(5000));
  EXPECT_LT(GetTickCount() - closing, 2000u);
  closesocket(listener);
  WSACleanup();

  ASSERT_EQ(sqlite3_open(gbkToUtf8(dbPath).c_str(), &db), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT IFNULL(LastUpdate, '') FROM Domains", -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "");
  sqlite3_finalize(st);
  sqlite3_close(db);
}

// As a standard user on today's Windows (app/tests/win/standard_user.sh makes
// the account and the prefix): no D:, and Program Files, the system directory
// and the program's own folder DVX_PROGRAM_DIR cannot be written. The script
// puts the files each case needs beside the program before running it.
class DISABLED_StandardUser : public RunsTheProgram {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"DVX_PROGRAM_DIR", dir, MAX_PATH), 0u);
    programDir_ = fromWide(dir);
    exe_ = std::wstring(dir) + L"\\domivex.exe";
    workDir_ = dir;
    // The bed really is a standard user's (or, started as administrator,
    // one who may write the program's folder and the system directory).
    WinFilePlatform files;
    ASSERT_FALSE(fileExists("D:\\"));
    ASSERT_EQ(files.canWriteIn(programDir_), elevated());
    ASSERT_EQ(files.canWriteIn(files.systemDirectory()), elevated());
    ASSERT_FALSE(files.canWriteIn("C:\\Program Files"));
    userDir_ = pathForDisplay(files.localAppDataDirectory()) + "\\Domivex";
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::u8path(gbkToUtf8(userDir_)), ec);
    ASSERT_TRUE(CreateDirectoryW(toWide(userDir_).c_str(), nullptr));
    // Lookups meet a closed local port, never the internet.
    writeProfileString(settings(), "Domivex", "WhoisBase", "http://127.0.0.1:9/");
    writeProfileString(settings(), "Domivex", "BaiduHost", "127.0.0.1:9");
  }
  virtual bool elevated() const { return false; }
  std::string settings() const { return userDir_ + "\\Harnwick.txt"; }
  // The rows of a database, by name in id order.
  static std::vector<std::string> domains(const std::string& path) {
    std::vector<std::string> names;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(gbkToUtf8(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_stmt* st = nullptr;
      if (sqlite3_prepare_v2(db, "SELECT Domain FROM Domains ORDER BY id", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
          names.push_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
      sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return names;
  }
  // Starts the program, waits for its list to hold `rows` rows, closes it.
  void runAndClose(int rows, bool maximise = false) {
    HWND main = start("Domivex v15.0");
    ASSERT_NE(main, nullptr);
    HWND list = FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == rows; }));
    if (maximise) {
      PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      EXPECT_TRUE(pumpUntil([&] { return IsZoomed(main) != FALSE; }));
    }
    zoomedAtStart_ = IsZoomed(main) != FALSE;
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ended());
  }

  std::string programDir_, userDir_;
  bool zoomedAtStart_ = false;
};

TEST_F(DISABLED_StandardUser, DataAndSettingsLiveInTheUserFolderAndPersist) {
  runAndClose(0, true);
  EXPECT_EQ(readProfileString(settings(), "Domivex", "位置", ""), "3");
  EXPECT_EQ(readFileBytes(userDir_ + "\\用户注意.txt"), std::string(kNoticeText));
  EXPECT_EQ(domains(userDir_ + "\\domains.mdb").size(), 0u);
  EXPECT_TRUE(fileExists(userDir_ + "\\domains.mdb"));
  EXPECT_FALSE(fileExists(programDir_ + "\\domains.mdb"));
  // The second start finds the state it left.
  runAndClose(0);
  EXPECT_TRUE(zoomedAtStart_);
}

TEST_F(DISABLED_StandardUser, TheDatabaseBesideTheProgramIsCopiedOnceAndKept) {
  const std::string original = readFileBytes(programDir_ + "\\domains.mdb");
  ASSERT_FALSE(original.empty());
  runAndClose(2);
  EXPECT_EQ(domains(userDir_ + "\\domains.mdb"), (std::vector<std::string>{"one.com", "two.com"}));
  // A row added since is never replaced by a second copy.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(gbkToUtf8(userDir_ + "\\domains.mdb").c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "INSERT INTO Domains(Domain) VALUES('three.com')", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  runAndClose(3);
  EXPECT_EQ(readFileBytes(programDir_ + "\\domains.mdb"), original);
}

TEST_F(DISABLED_StandardUser, AnOlderDatabaseThatCannotBeMovedAwayIsCarriedOnce) {
  const std::string original = readFileBytes(programDir_ + "\\domain.mdb");
  ASSERT_FALSE(original.empty());
  // The backup name is taken by a folder with a file in it, so the backup
  // cannot be written there either.
  const std::string backup = userDir_ + "\\domain.mdb_old_Bak";
  ASSERT_TRUE(CreateDirectoryW(toWide(backup).c_str(), nullptr));
  ScopedHandle kept(CreateFileW(toWide(backup + "\\kept").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(kept.get(), INVALID_HANDLE_VALUE);

  // Two notices: the old file stays, and the program must be opened again.
  for (int notice = 0; notice < 2; ++notice) {
    HWND box = notice == 0 ? start("提示") : waitForWindow("提示");
    ASSERT_NE(box, nullptr) << notice;
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    if (notice == 0) pumpUntil([&] { return !IsWindow(box); });
  }
  ASSERT_TRUE(ended());
  EXPECT_EQ(readProfileString(settings(), "Domivex", "OldDatabaseCarried", ""), "真");
  EXPECT_EQ(domains(userDir_ + "\\domains.mdb"), (std::vector<std::string>{"old1.com", "old2.com"}));

  // The next start runs normally with every row; nothing was moved aside.
  runAndClose(2);
  EXPECT_EQ(domains(userDir_ + "\\domains.mdb"), (std::vector<std::string>{"old1.com", "old2.com"}));
  EXPECT_FALSE(fileExists(userDir_ + "\\domains.mdb.before-migration"));
  EXPECT_EQ(readFileBytes(programDir_ + "\\domain.mdb"), original);
}

// The same user started once as administrator (standard_user.sh lets them
// write the program's folder and the system directory): their rows and
// settings stay in their folder, not in the stale files beside the program.
class DISABLED_ElevatedUser : public DISABLED_StandardUser {
 protected:
  bool elevated() const override { return true; }
};

TEST_F(DISABLED_ElevatedUser, TheUserFolderStaysTheDatabaseAndSettings) {
  const std::string stale = readFileBytes(programDir_ + "\\domains.mdb");
  ASSERT_FALSE(stale.empty());
  {
    DomainStore::CreateIfMissing(std::filesystem::u8path(gbkToUtf8(userDir_ + "\\domains.mdb")));
    DomainStore mine(nullptr);
    mine.OpenStore(std::filesystem::u8path(gbkToUtf8(userDir_ + "\\domains.mdb")));
    ASSERT_EQ(mine.AddDomains("mine.com\r\nadded-since.com"), 0);
  }
  runAndClose(2);
  EXPECT_EQ(domains(userDir_ + "\\domains.mdb"), (std::vector<std::string>{"mine.com", "added-since.com"}));
  EXPECT_EQ(readFileBytes(programDir_ + "\\domains.mdb"), stale);
  EXPECT_EQ(readProfileString(settings(), "Domivex", "位置", ""), "0");
  EXPECT_FALSE(fileExists(settingsFileWithoutD()));
}

}  // namespace
}  // namespace dvx
