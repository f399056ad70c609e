// The outside web services the lookups read. The program takes these from
// its settings file; tests point them at a local server.
#pragma once
#include <filesystem>
#include <string>

namespace dvx {

struct LookupHosts {
  // The WHOIS page of a domain is whoisBase + domain + "/". Over https: its
  // dates decide what the list marks, so nobody on the way may rewrite them.
  std::string whoisBase = "https://whois.aizhan.com/";
  // Host (optionally with ":port") of the search page "/s?wd=site:...".
  std::string baiduHost = "www.baidu.com";
  std::string googleHost = "www.google.com";
  std::string siteServiceHost = "baidurank.aizhan.com";
  // RDAP asked for the dates the WHOIS page does not give.
  bool rdapFallback = true;
  std::string rdapBootstrap = "https://data.iana.org/rdap/dns.json";
  // Where the last good bootstrap download is kept (empty keeps none); ends
  // with a separator.
  std::filesystem::path dataDir;
};

}  // namespace dvx
