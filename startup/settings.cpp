#include "startup/settings.h"

#include "startup/data_directory.h"
#include "startup/profile_file.h"

namespace dvx {

const char kKeyWindowState[] = "位置";
const char kKeySortByExpiry[] = "按过期日期排序";
const char kKeyOldDatabaseCarried[] = "OldDatabaseCarried";
const char kYes[] = "真";
const char kNo[] = "假";

std::string Settings::ReadSetting(const std::string& key, const std::string& fallback) const {
  const std::string value = readProfileString(file_, kProductName, key, std::string());
  return value.empty() ? fallback.substr(0, kMaxProfileValue) : value;
}

bool Settings::WriteSetting(const std::string& key, const std::string& value) const {
  return writeProfileString(file_, kProductName, key, value);
}

LookupHosts Settings::readHosts() const {
  LookupHosts h;
  h.whoisBase = ReadSetting("WhoisBase", h.whoisBase);
  h.baiduHost = ReadSetting("BaiduHost", h.baiduHost);
  h.googleHost = ReadSetting("GoogleHost", h.googleHost);
  h.siteServiceHost = ReadSetting("SiteServiceHost", h.siteServiceHost);
  h.rdapFallback = ReadSetting("RdapFallback", h.rdapFallback ? kYes : kNo) != kNo;
  h.rdapBootstrap = ReadSetting("RdapBootstrap", h.rdapBootstrap);
  return h;
}

}  // namespace dvx
