// The bootstrap in use: the last good download, refreshed at most once a day
// when a lookup needs it, else the copy kept in the data directory, else the
// snapshot shipped with the program. Shared by every thread of the process.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "lookup/page_fetcher.h"
#include "lookup/rdap_bootstrap.h"
#include "lookup/rdap_clock.h"

namespace dvx {

class RdapBootstrapSource {
 public:
  static constexpr int64_t kRefreshIntervalMs = 24LL * 60 * 60 * 1000;
  static const char kCacheFile[];  // "rdap_dns.json", the last good download
  static const char kStampFile[];  // "rdap_dns.stamp", time and address of the last attempt

  explicit RdapBootstrapSource(RdapClock& clock) : clock_(clock) {}

  // The bootstrap to use now. `url` is where to refresh from; `dataDir`
  // (ending in a separator, or "" for none) keeps the last good copy and the
  // time of the last attempt, so restarts do not fetch again. A different
  // address counts as not yet tried. Never throws.
  std::shared_ptr<const RdapBootstrap> current(PageFetcher& fetcher, const std::string& url,
                                               const std::filesystem::path& dataDir);

  // The bootstrap in use without any download and without waiting for one
  // that another thread is making: what is loaded, else the kept copy or
  // the snapshot. For a thread that must not be held up. Never throws.
  std::shared_ptr<const RdapBootstrap> loaded(const std::filesystem::path& dataDir);

 private:
  void loadKept(const std::filesystem::path& dataDir);
  bool dueForRefresh(const std::string& url, int64_t now);

  RdapClock& clock_;
  std::mutex refreshMutex_;  // held across a refresh: one download, the other workers wait for it
  std::mutex stateMutex_;    // held briefly, for the members below
  std::shared_ptr<const RdapBootstrap> current_;
  bool keptRead_ = false;  // the kept copy is read and parsed once per run
  std::filesystem::path loadedDir_;
  int64_t lastAttemptMs_ = 0;
  std::string lastAttemptUrl_;
};

}  // namespace dvx
