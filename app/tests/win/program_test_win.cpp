// domivex.exe itself, started as its own process the way a user starts it.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include "app/profile_file.h"
#include "main_window_harness_win.h"
#include "text/codepage.h"
#include "ui/common/scoped_handle_win.h"
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

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = settingsFileWithoutD();
    removeFile(settings_);
    exe_ = toWide(dir_.path()) + L"\\domivex.exe";
    ASSERT_TRUE(CopyFileW(besideThisProgram(L"domivex.exe").c_str(), exe_.c_str(), FALSE));
  }
  void TearDown() override { removeFile(settings_); }

  // Starts the program and waits for a window of it with this caption.
  HWND start(const std::string& caption) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring line = L"\"" + exe_ + L"\"";
    EXPECT_TRUE(CreateProcessW(exe_.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               toWide(dir_.path()).c_str(), &si, &info_));
    process_ = std::make_unique<ScopedHandle>(info_.hProcess);
    thread_ = std::make_unique<ScopedHandle>(info_.hThread);
    HWND found = nullptr;
    pumpUntil([&] { return (found = windowOf(info_.dwProcessId, caption)) != nullptr; }, 30000);
    return found;
  }
  bool ended(DWORD ms = 10000) { return WaitForSingleObject(process_->get(), ms) == WAIT_OBJECT_0; }

  TempDir dir_;
  std::string settings_;
  std::wstring exe_;
  PROCESS_INFORMATION info_{};
  std::unique_ptr<ScopedHandle> process_, thread_;
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

}  // namespace
}  // namespace dvx
