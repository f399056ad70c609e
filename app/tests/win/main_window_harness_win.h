// A main window made for a test: its own program directory, recorded
// questions, and a fetcher of the test's choosing.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "startup/file_platform_win.h"
#include "startup/profile_file.h"
#include "lookup/page_fetcher.h"
#include "store/domain_store.h"
#include "test_support_win.h"
#include "ui/window/main_window_win.h"

namespace dvx {
namespace testing_win {

// Serves fixed pages by URL; a URL containing "hang" blocks until released.
class FakeFetcher : public PageFetcher {
 public:
  FakeFetcher() : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~FakeFetcher() override { CloseHandle(release_); }
  std::string fetchBytes(const std::string& url) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests.push_back(url);
    }
    if (url.find("hang") != std::string::npos) {
      hanging_ = true;
      WaitForSingleObject(release_, INFINITE);
      return std::string();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = pages.find(url);
    return it == pages.end() ? std::string() : it->second;
  }
  void release() { SetEvent(release_); }
  bool hanging() const { return hanging_; }
  size_t requestCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests.size();
  }
  std::map<std::string, std::string> pages;
  std::vector<std::string> requests;

 private:
  std::mutex mutex_;
  HANDLE release_;
  volatile bool hanging_ = false;
};

std::string settingsFileWithoutD();

// A record with only its name: the query job looks it up.
inline DomainRecord named(const std::string& domain) {
  DomainRecord r;
  r.Domain = domain;
  return r;
}

// A record as a finished lookup stored it: the job shows it as it is.
inline DomainRecord stored(const std::string& domain, const std::string& expiry, const std::string& registrar = "R") {
  DomainRecord r;
  r.Domain = domain;
  r.RegDate = "2010/01/01";
  r.ExpireDate = expiry;
  r.BaiduS = "5";
  r.GoogleS = "0";
  r.LastUpdate = "2026/01/01";
  r.Registeracom = registrar;
  return r;
}

class MainWindowHarness : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Opens the main window (running its start-up) with the given fetcher.
  MainWindow& open(std::shared_ptr<PageFetcher> fetcher = nullptr, int pauseMs = 0);
  // Waits until `count` refreshes have finished since the window opened.
  bool waitForRefresh(int count = 1);
  void close();
  // A click on a column header of the domain list, as the list reports it.
  void clickHeader(int column);
  std::string setting(const std::string& key);
  void writeSetting(const std::string& key, const std::string& value);
  // Stores domains before the window opens; returns their ids in order.
  std::vector<int> seed(const std::vector<DomainRecord>& records);

  TempDir dir_;
  std::string programDir_;  // dir_ when empty
  WinFilePlatform files_;
  RecordingPrompter prompter_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace testing_win
}  // namespace dvx
