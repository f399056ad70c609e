#include "lookup/rdap_bootstrap.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "lookup/idna.h"
#include "lookup/rdap_base_check.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

using Json = nlohmann::json;

bool startsWith(const std::string& s, const char* prefix) {
  return asciiLower(s.substr(0, std::char_traits<char>::length(prefix))) == prefix;
}

// The https base when there is one, else the http one; "" when neither.
// An address that fails the checks is passed over as if absent.
std::string chooseBase(const Json& urls) {
  std::string http;
  for (const Json& u : urls) {
    if (!u.is_string()) continue;
    const std::string& url = u.get_ref<const std::string&>();
    if (!isAcceptableRdapBase(url)) continue;
    if (startsWith(url, "https://")) return url.back() == '/' ? url : url + "/";
    if (http.empty() && startsWith(url, "http://")) http = url.back() == '/' ? url : url + "/";
  }
  return http;
}

size_t labelCount(const std::string& entry) {
  size_t n = 1;
  for (char c : entry)
    if (c == '.') ++n;
  return n;
}

}  // namespace

bool RdapBootstrap::parse(const std::string& json, RdapBootstrap& out) {
  try {
    const Json root = Json::parse(json, nullptr, false);
    if (!root.is_object()) return false;
    auto services = root.find("services");
    if (services == root.end() || !services->is_array()) return false;
    RdapBootstrap result;
    for (const Json& service : *services) {
      if (!service.is_array() || service.size() < 2 || !service[0].is_array() || !service[1].is_array())
        continue;
      const std::string base = chooseBase(service[1]);
      if (base.empty()) continue;
      for (const Json& e : service[0]) {
        if (!e.is_string()) continue;
        std::string entry = asciiLower(e.get_ref<const std::string&>());
        if (!entry.empty() && entry.back() == '.') entry.pop_back();
        if (entry.empty()) continue;
        result.maxLabels_ = std::max(result.maxLabels_, labelCount(entry));
        result.bases_.emplace(std::move(entry), base);
      }
    }
    if (result.bases_.empty()) return false;
    auto publication = root.find("publication");
    if (publication != root.end() && publication->is_string()) result.publication_ = publication->get<std::string>();
    out = std::move(result);
    return true;
  } catch (...) {
    return false;
  }
}

std::string RdapBootstrap::domainUrl(const std::string& rawName) const {
  std::string name = toALabels(rawName);
  if (!name.empty() && name.back() == '.') name.pop_back();
  if (name.empty() || name.front() == '.') return std::string();
  // Suffix starts from the right: position after each dot, longest first
  // among those with at most maxLabels_ labels.
  size_t start = name.size();
  size_t labels = 0;
  std::string best;
  while (labels < maxLabels_) {
    const size_t dot = start == 0 ? std::string::npos : name.rfind('.', start - 1);
    start = dot == std::string::npos ? 0 : dot + 1;
    ++labels;
    auto it = bases_.find(name.substr(start));
    if (it != bases_.end()) best = it->second;
    if (dot == std::string::npos) break;
    start = dot;
  }
  return best.empty() ? std::string() : best + "domain/" + name;
}

}  // namespace dvx
