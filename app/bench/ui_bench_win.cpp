// Figures for the main window at scale, under Wine: start-up to a filled,
// coloured, sorted list of stored rows (50,000 unless told); a header sort by
// expiry; renumbering and colouring; the process's peak working set; and,
// for comparison, the plain selection sort with a message pump after every
// comparison on 2,000 rows.
//   dvx_ui_bench.exe [rows] [selection-rows]   (0 selection rows skips it)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "startup/file_platform_win.h"
#include "store/domain_store.h"
#include "text/codepage.h"
#include "text/date_time.h"
#include "ui/window/main_window_win.h"
#include "ui/list/sort_order.h"

using namespace dvx;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

double peakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

class SilentPrompter : public Prompter {
 public:
  bool askYesNo(const std::string&, const std::string&, PromptIcon) override { return false; }
  void notify(const std::string&, const std::string&, PromptIcon) override {}
};

void pumpUntil(const std::function<bool()>& done) {
  while (!done()) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Rows that need no lookup, with expiry dates spread over ten years.
void seed(const std::string& dir, int rows) {
  const std::string path = dir + "\\domains.mdb";
  DomainStore::CreateIfMissing(path);
  sqlite3* db = nullptr;
  sqlite3_open(gbkToUtf8(path).c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO Domains(Domain, RegDate, ExpireDate, BaiduS, GoogleS, LastUpdate, Registeracom)"
                     " VALUES(?, '2010/01/01', ?, '12', '0', '2026/01/01', 'Registrar')",
                     -1, &st, nullptr);
  for (int i = 0; i < rows; ++i) {
    const std::string name = "bench" + std::to_string(i) + ".com";
    char date[16];
    snprintf(date, sizeof date, "%04d/%02d/%02d", 2020 + (i * 7) % 10, 1 + (i * 13) % 12, 1 + (i * 17) % 28);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, date, -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// The plain selection sort of the list's texts: cells read and written with
// messages, pending messages processed after each comparison.
std::vector<std::string> selectionSortByExpiry(ListView lv) {
  auto pump = [] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  };
  const int rows = lv.rowCount();
  std::vector<std::pair<double, int>> pairs;
  for (int r = 0; r < rows; ++r) {
    pairs.emplace_back(toDayCount(parseDateTime(lv.cell(r, 5))), r);
    pump();
  }
  std::vector<int> order;
  while (pairs.size() >= 2) {
    size_t cand = 0;
    for (size_t p = 1; p < pairs.size(); ++p) {
      if (pairs[cand].first >= pairs[p].first) cand = p;
      pump();
    }
    order.push_back(pairs[cand].second);
    pairs.erase(pairs.begin() + static_cast<long>(cand));
    pump();
  }
  order.push_back(pairs[0].second);
  std::vector<std::string> names;
  for (int r : order) names.push_back(lv.cell(r, 1));
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
  const int selectionRows = argc > 2 ? std::atoi(argv[2]) : 2000;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);

  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring wdir = std::wstring(tmp) + L"dvx_ui_bench_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(wdir.c_str(), nullptr);
  std::string dir;
  for (wchar_t c : wdir) dir += static_cast<char>(c);  // the temp path is ASCII here

  for (int n : {rows, selectionRows}) {
    if (n <= 0) continue;
    const std::string sub = dir + "\\" + std::to_string(n);
    CreateDirectoryA(sub.c_str(), nullptr);
    seed(sub, n);
    WinFilePlatform files;
    SilentPrompter prompter;
    MainWindowOptions o;
    o.programDir = sub;
    o.prompter = &prompter;
    o.files = &files;
    o.quitOnDestroy = false;
    MainWindow w(o);
    auto t = Clock::now();
    w.create(GetModuleHandleW(nullptr));
    w.show();
    pumpUntil([&] { return w.refreshCount() >= 1; });
    const double startup = secondsSince(t);
    if (n == rows) {
      std::printf("rows: %d\n", n);
      std::printf("start-up to a filled, coloured, sorted list: %.3f s\n", startup);
      w.onHeaderClick(5);  // the first click sorts ascending: already in that order
      w.onHeaderClick(5);  // descending: every row moves
      t = Clock::now();
      w.sortList(5, true, false, kSortDateTime);
      std::printf("sort by expiry (sortList, every row moving): %.3f s\n", secondsSince(t));
      t = Clock::now();
      w.onHeaderClick(5);
      std::printf("header click on expiry (the sort, then renumbering and colouring): %.3f s\n",
                  secondsSince(t));
      t = Clock::now();
      w.renumberAndColour();
      std::printf("renumberAndColour: %.3f s\n", secondsSince(t));
      std::printf("peak working set: %.0f MB\n", peakWorkingSetMb());
    }
    if (n == selectionRows) {
      // The refresh sorted by expiry; sorting by id puts the rows back in
      // their load order, so both sorts start from the same list.
      w.sortList(10, true, false, kSortInteger);
      t = Clock::now();
      w.sortList(5, true, false, kSortDateTime);
      const double fast = secondsSince(t);
      std::vector<std::string> fastNames;
      for (int r = 0; r < n; ++r) fastNames.push_back(w.list().cell(r, 1));
      w.sortList(10, true, false, kSortInteger);
      t = Clock::now();
      const std::vector<std::string> slowNames = selectionSortByExpiry(w.list());
      const double slow = secondsSince(t);
      std::printf("%d rows by expiry: sortList %.3f s; selection sort with message pump %.3f s; same order: %s\n",
                  n, fast, slow, fastNames == slowNames ? "yes" : "NO");
    }
    DestroyWindow(w.hwnd());
  }
  return 0;
}
