#include "lookup/rdap_bootstrap_source.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace dvx {

const char RdapBootstrapSource::kCacheFile[] = "rdap_dns.json";
const char RdapBootstrapSource::kStampFile[] = "rdap_dns.stamp";

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Written beside the target and renamed over it, so a crash never leaves
// half a file where the good copy was.
bool writeFile(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  std::remove(path.c_str());
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::shared_ptr<const RdapBootstrap> parsed(const std::string& json) {
  auto b = std::make_shared<RdapBootstrap>();
  if (!RdapBootstrap::parse(json, *b)) return nullptr;
  return b;
}

}  // namespace

void RdapBootstrapSource::loadKept(const std::string& dataDir) {
  if (current_ && loadedDir_ == dataDir) return;
  loadedDir_ = dataDir;
  current_ = dataDir.empty() ? nullptr : parsed(readFile(dataDir + kCacheFile));
  if (!current_) current_ = parsed(shippedBootstrapJson());
  lastAttemptMs_ = 0;
  lastAttemptUrl_.clear();
  if (dataDir.empty()) return;
  std::istringstream stamp(readFile(dataDir + kStampFile));
  long long ms = 0;
  if (stamp >> ms) {
    lastAttemptMs_ = ms;
    stamp >> std::ws;
    std::getline(stamp, lastAttemptUrl_);
  }
}

bool RdapBootstrapSource::dueForRefresh(const std::string& url, int64_t now) {
  if (url.empty()) return false;
  if (url != lastAttemptUrl_) return true;
  // A clock set back counts as due, so a wrong future stamp cannot stop
  // refreshes for good.
  return now - lastAttemptMs_ >= kRefreshIntervalMs || now < lastAttemptMs_;
}

void RdapBootstrapSource::refresh(PageFetcher& fetcher, const std::string& url, const std::string& dataDir,
                                  int64_t now) {
  lastAttemptMs_ = now;
  lastAttemptUrl_ = url;
  if (!dataDir.empty()) writeFile(dataDir + kStampFile, std::to_string(now) + "\n" + url + "\n");
  const HttpResponse response =
      fetcher.fetchResponse(url, {{"Accept", "application/json, */*;q=0.8"}}, kMaxBootstrapBytes);
  if (response.status != 200) return;
  auto fresh = parsed(response.body);
  if (!fresh) return;
  current_ = fresh;
  if (!dataDir.empty()) writeFile(dataDir + kCacheFile, response.body);
}

std::shared_ptr<const RdapBootstrap> RdapBootstrapSource::current(PageFetcher& fetcher, const std::string& url,
                                                                 const std::string& dataDir) {
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    loadKept(dataDir);
    const int64_t now = clock_.nowMs();
    if (dueForRefresh(url, now)) refresh(fetcher, url, dataDir, now);
    return current_;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace dvx
