#include "main_window_harness_win.h"

#include <commctrl.h>

namespace dvx {
namespace testing_win {

namespace {
class NoErrors : public StoreErrorSink {
 public:
  void showStoreError(const std::string& text) override { ADD_FAILURE() << "store error: " << text; }
};
}  // namespace

std::string settingsFileWithoutD() {
  WinFilePlatform files;
  return pathForDisplay(files.systemDirectory()) + "\\Harnwick.txt";
}

void MainWindowHarness::SetUp() {
  removeFile(settingsFileWithoutD());
  // Windows under test never ask the outside RDAP servers; the RDAP tests
  // switch it on with the fixture web's bootstrap.
  writeSetting("RdapFallback", "假");
}

void MainWindowHarness::TearDown() {
  if (window_ && window_->hwnd()) close();
  window_.reset();
  removeFile(settingsFileWithoutD());
}

MainWindow& MainWindowHarness::open(std::shared_ptr<PageFetcher> fetcher, int pauseMs) {
  MainWindowOptions o;
  o.programDir = programDir_.empty() ? dir_.path() : programDir_;
  o.prompter = &prompter_;
  o.files = &files_;
  o.fetcher = std::move(fetcher);
  o.quitOnDestroy = false;
  o.pauseAfterLookupMs = pauseMs;
  window_ = std::make_unique<MainWindow>(o);
  EXPECT_NE(window_->create(GetModuleHandleW(nullptr)), nullptr);
  window_->show();
  return *window_;
}

bool MainWindowHarness::waitForRefresh(int count) {
  return pumpUntil([&] { return window_->refreshCount() >= count; }, 60000);
}

void MainWindowHarness::close() {
  HWND h = window_->hwnd();
  if (h) {
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(h); }));
  }
  window_.reset();
}

void MainWindowHarness::clickHeader(int column) {
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = window_->list().hwnd();
  nm.hdr.idFrom = kIdList;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = column;
  SendMessageW(window_->hwnd(), WM_NOTIFY, kIdList, reinterpret_cast<LPARAM>(&nm));
}

std::string MainWindowHarness::setting(const std::string& key) {
  return readProfileString(settingsFileWithoutD(), "Domivex", key, "<absent>");
}

void MainWindowHarness::writeSetting(const std::string& key, const std::string& value) {
  writeProfileString(settingsFileWithoutD(), "Domivex", key, value);
}

std::vector<int> MainWindowHarness::seed(const std::vector<DomainRecord>& records) {
  NoErrors errors;
  const std::string path = dir_.path() + "\\domains.mdb";
  DomainStore::CreateIfMissing(path);
  DomainStore store(&errors);
  store.OpenStore(path);
  std::string batch;
  for (const DomainRecord& r : records) batch += r.Domain + "\r\n";
  store.AddDomains(batch);
  std::vector<int> ids;
  const auto rows = store.LoadAll();
  for (const DomainRecord& r : records) {
    for (const auto& row : rows) {
      if (row.second != r.Domain) continue;
      ids.push_back(row.first);
      store.SaveLookup(row.first, r, false);
    }
  }
  return ids;
}

}  // namespace testing_win
}  // namespace dvx
