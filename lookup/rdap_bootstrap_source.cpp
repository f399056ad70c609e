#include "lookup/rdap_bootstrap_source.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace dvx {

namespace fs = std::filesystem;

const char RdapBootstrapSource::kCacheFile[] = "rdap_dns.json";
const char RdapBootstrapSource::kStampFile[] = "rdap_dns.stamp";

namespace {

// The path goes to the file call as it is: wide on Windows, so a data
// directory under any user name opens.
std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Written beside the target and renamed over it, so a crash never leaves
// half a file where the good copy was.
bool writeFile(const fs::path& path, const std::string& bytes) {
  fs::path temp = path;
  temp += ".new";
  std::error_code ec;
  // A link planted under the temporary name is removed, not written through.
  fs::remove(temp, ec);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  fs::remove(path, ec);
  fs::rename(temp, path, ec);
  return !ec;
}

fs::path inDir(const fs::path& dataDir, const char* name) {
  fs::path file = dataDir;
  return file += name;
}

std::shared_ptr<const RdapBootstrap> parsed(const std::string& json) {
  auto b = std::make_shared<RdapBootstrap>();
  if (!RdapBootstrap::parse(json, *b)) return nullptr;
  return b;
}

}  // namespace

void RdapBootstrapSource::loadKept(const fs::path& dataDir) {
  if (keptRead_ && loadedDir_ == dataDir) return;
  keptRead_ = true;
  loadedDir_ = dataDir;
  current_ = dataDir.empty() ? nullptr : parsed(readFile(inDir(dataDir, kCacheFile)));
  if (!current_) current_ = parsed(shippedBootstrapJson());
  lastAttemptMs_ = 0;
  lastAttemptUrl_.clear();
  if (dataDir.empty()) return;
  std::istringstream stamp(readFile(inDir(dataDir, kStampFile)));
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

std::shared_ptr<const RdapBootstrap> RdapBootstrapSource::current(PageFetcher& fetcher, const std::string& url,
                                                                 const fs::path& dataDir) {
  try {
    std::lock_guard<std::mutex> refreshing(refreshMutex_);
    const int64_t now = clock_.nowMs();
    {
      std::lock_guard<std::mutex> lock(stateMutex_);
      loadKept(dataDir);
      if (!dueForRefresh(url, now)) return current_;
      lastAttemptMs_ = now;
      lastAttemptUrl_ = url;
    }
    // Only the thread holding refreshMutex_ writes these files.
    if (!dataDir.empty()) writeFile(inDir(dataDir, kStampFile), std::to_string(now) + "\n" + url + "\n");
    const HttpResponse response =
        fetcher.fetchResponse(url, {{"Accept", "application/json, */*;q=0.8"}}, kMaxBootstrapBytes);
    auto fresh = response.status == 200 ? parsed(response.body) : nullptr;
    if (fresh && !dataDir.empty()) writeFile(inDir(dataDir, kCacheFile), response.body);
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (fresh) current_ = fresh;
    return current_;
  } catch (...) {
    return nullptr;
  }
}

std::shared_ptr<const RdapBootstrap> RdapBootstrapSource::loaded(const fs::path& dataDir) {
  try {
    std::lock_guard<std::mutex> lock(stateMutex_);
    loadKept(dataDir);
    return current_;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace dvx
