// The program's settings: one private-profile section named after the
// product, in the settings file chosen at start-up.
#pragma once
#include <filesystem>
#include <string>

#include "lookup/lookup_hosts.h"

namespace dvx {

class Settings {
 public:
  Settings() = default;
  explicit Settings(std::filesystem::path file) : file_(std::move(file)) {}
  const std::filesystem::path& file() const { return file_; }

  // A key written with an empty value ("WhoisBase=") counts as absent.
  std::string ReadSetting(const std::string& key, const std::string& fallback) const;
  bool WriteSetting(const std::string& key, const std::string& value) const;

  // The outside web hosts, defaulting to the real services. Keys:
  // "WhoisBase", "BaiduHost", "GoogleHost", "SiteServiceHost", and for RDAP
  // "RdapFallback" (only "假" turns it off) and "RdapBootstrap".
  LookupHosts readHosts() const;

 private:
  std::filesystem::path file_;
};

extern const char kKeyWindowState[];   // "位置"
extern const char kKeySortByExpiry[];  // "按过期日期排序"
// "OldDatabaseCarried": "真" once an older domain.mdb that could not be moved
// away has been carried over; it is not carried again.
extern const char kKeyOldDatabaseCarried[];
extern const char kYes[];              // "真"
extern const char kNo[];               // "假"

}  // namespace dvx
