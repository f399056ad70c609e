// Figures for the unattended check at scale, under Wine: domivex.exe --check
// on a store of stored rows (50,000 unless told) of which 1 % are due, from
// the process's start to its first request, and its peak working set a
// moment later (the walk that picks the due rows is done by then). A store
// of 1,000 rows gives the same figures for comparison: most of a start under
// Wine is Wine's own.
//   dvx_check_bench.exe [rows]
// The lookups go to a local listener that answers every request with an
// empty 404, so nothing leaves the machine.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "remind/due_rule.h"
#include "startup/file_platform_win.h"
#include "startup/profile_file.h"
#include "store/domain_store.h"
#include "text/codepage.h"
#include "ui/check/check_task_win.h"
#include "ui/common/wide_win.h"

using namespace dvx;
using Clock = std::chrono::steady_clock;

namespace {

// Complete rows looked up today with expiries a year or more away; every
// hundredth was last looked up 20 days ago, so it is due.
void seed(const std::string& dir, int rows) {
  const std::string path = dir + "\\domains.mdb";
  DeleteFileW(toWide(path).c_str());
  DomainStore::CreateIfMissing(path);
  sqlite3* db = nullptr;
  sqlite3_open(gbkToUtf8(path).c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO Domains(Domain, RegDate, ExpireDate, BaiduS, GoogleS, LastUpdate, Registeracom)"
                     " VALUES(?, '2010/01/01', ?, '12', '0', ?, 'Registrar')",
                     -1, &st, nullptr);
  const long long today = todayDayNumber();
  for (int i = 0; i < rows; ++i) {
    const std::string name = "bench" + std::to_string(i) + ".com";
    const std::string expiry = dayText(today + 400 + (i * 7) % 3000);
    const std::string updated = dayText(i % 100 == 0 ? today - 20 : today);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, expiry.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, updated.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// Accepts connections, notes when the first came, answers each with an
// empty 404 and closes it.
class Listener {
 public:
  Listener() {
    sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(sock_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(sock_, 16);
    int len = sizeof addr;
    getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~Listener() {
    closesocket(sock_);
    thread_.join();
  }
  int port() const { return port_; }
  void reset() { first_ = 0; }
  // Ticks of the first connection since reset(), 0 while none came.
  long long first() const { return first_; }

 private:
  void serve() {
    for (;;) {
      SOCKET c = accept(sock_, nullptr, nullptr);
      if (c == INVALID_SOCKET) return;
      long long none = 0;
      first_.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
      char buf[4096];
      recv(c, buf, sizeof buf, 0);
      const char reply[] = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      send(c, reply, sizeof reply - 1, 0);
      closesocket(c);
    }
  }
  SOCKET sock_;
  int port_ = 0;
  std::atomic<long long> first_{0};
  std::thread thread_;
};

struct Figures {
  double toFirstRequest = -1;
  double atFirstRequestMb = -1, peakWorkingSetMb = -1, peakPrivateMb = -1;
};

Figures measure(const std::wstring& exe, const std::wstring& dir, Listener& web) {
  Figures f;
  web.reset();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"\"" + exe + L"\" --check";
  const auto started = Clock::now();
  if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi))
    return f;
  while (web.first() == 0 && WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT &&
         Clock::now() - started < std::chrono::seconds(60)) {
  }
  if (web.first() != 0)
    f.toFirstRequest =
        std::chrono::duration<double>(Clock::duration(web.first()) - started.time_since_epoch()).count();
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
    f.atFirstRequestMb = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
  // The walk that picked the due rows is behind it now; a lookup or two
  // more, then the peak so far.
  WaitForSingleObject(pi.hProcess, 1500);
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) {
    f.peakWorkingSetMb = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
    f.peakPrivateMb = static_cast<double>(pmc.PeakPagefileUsage) / (1024.0 * 1024.0);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);

  // The program in a folder of its own, with its database beside it.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"dvx_check_bench";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring self = thisProgramPath();
  const std::wstring exe = dir + L"\\domivex.exe";
  if (!CopyFileW((self.substr(0, self.find_last_of(L"\\/") + 1) + L"domivex.exe").c_str(), exe.c_str(), FALSE)) {
    std::printf("domivex.exe not found beside the bench\n");
    return 1;
  }

  // The settings the check reads (no drive D: here), kept and put back.
  WinFilePlatform files;
  const std::filesystem::path settings = files.systemDirectory() / L"Harnwick.txt";
  const std::wstring settingsW = settings.wstring(), keptW = settingsW + L".bench-kept";
  const bool hadSettings = MoveFileExW(settingsW.c_str(), keptW.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  Listener web;
  const std::string host = "127.0.0.1:" + std::to_string(web.port());
  writeProfileString(settings, "Domivex", "WhoisBase", "http://" + host + "/whois/");
  writeProfileString(settings, "Domivex", "BaiduHost", host);
  writeProfileString(settings, "Domivex", "RdapFallback", "假");

  for (const int n : {1000, rows}) {
    const auto seeding = Clock::now();
    seed(fromWide(dir), n);
    const double seeded = std::chrono::duration<double>(Clock::now() - seeding).count();
    const Figures f = measure(exe, dir, web);
    std::printf("--check on %d stored rows, %d due (seeded in %.1f s): first request after %.3f s; "
                "peak working set %.1f MB at the first request, %.1f MB 1.5 s later; peak private bytes "
                "%.1f MB\n",
                n, (n + 99) / 100, seeded, f.toFirstRequest, f.atFirstRequestMb, f.peakWorkingSetMb,
                f.peakPrivateMb);
  }

  DeleteFileW(settingsW.c_str());
  if (hadSettings) MoveFileExW(keptW.c_str(), settingsW.c_str(), MOVEFILE_REPLACE_EXISTING);
  DeleteFileW((dir + L"\\domains.mdb").c_str());
  DeleteFileW(exe.c_str());
  RemoveDirectoryW(dir.c_str());
  WSACleanup();
  return 0;
}
