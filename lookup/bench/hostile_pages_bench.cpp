// Parse times of hostile and broken pages of 64 KB, 1 MB and 4 MB: labels
// and opening cells with no closing cell, every marker repeated without its
// end, binary garbage. Each lookup is the production path from page bytes
// (decoding included) through a fetcher that serves them from memory. The
// goal is under 50 ms per lookup (WHOIS page plus results page) for any
// page up to 4 MB, in an optimised build without sanitizers.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "lookup/index_counter.h"
#include "lookup/page_fetcher.h"
#include "lookup/title_check.h"
#include "lookup/whois_parser.h"

namespace {

class MemoryFetcher : public dvx::PageFetcher {
 public:
  std::string page;
  std::string fetchBytes(const std::string&) override { return page; }
};

std::string repeated(const std::string& unit, size_t bytes) {
  std::string out;
  out.reserve(bytes + unit.size());
  while (out.size() < bytes) out += unit;
  out.resize(bytes);
  return out;
}

std::string garbage(size_t bytes) {
  std::string out(bytes, '\0');
  uint64_t x = 88172645463325252ull;
  for (char& c : out) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    c = static_cast<char>(x);
  }
  return out;
}

// Pages as the WHOIS service would send them (UTF-8).
std::map<std::string, std::function<std::string(size_t)>> whoisPages() {
  return {
      {"labels and open cells, no close", [](size_t n) { return repeated(u8"注册时间<td>", n); }},
      {"every label, open cells and spans",
       [](size_t n) {
         return repeated(u8"创建时间<td>注册时间<td>过期时间<td>注册商<td>域名所有者<span>注册人<span>"
                         u8"Created On:Expiration Date:", n);
       }},
      {"labels only", [](size_t n) { return repeated(u8"过期时间", n); }},
      {"binary garbage", garbage},
  };
}

// Search-results pages (GBK, or UTF-8 when they say so).
std::map<std::string, std::function<std::string(size_t)>> resultsPages() {
  return {
      {"summary then tag openers", [](size_t n) { return "该网站共有" + repeated("<", n) + "个网页"; }},
      {"banner markers without a count", [](size_t n) { return repeated(">找到相关结果数约", n); }},
      {"utf-8 declared, garbage", [](size_t n) { return "charset=utf-8" + garbage(n); }},
  };
}

std::map<std::string, std::function<std::string(size_t)>> sitePages() {
  return {
      {"title and charset openers", [](size_t n) { return repeated("<title>charset= \t", n); }},
  };
}

// Processor time of this single-threaded process (std::clock, natively),
// so that other work on a shared machine does not count.
double medianMs(int runs, const std::function<void()>& f) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const std::clock_t t0 = std::clock();
    f();
    ms.push_back(static_cast<double>(std::clock() - t0) * 1000.0 / CLOCKS_PER_SEC);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main() {
  const std::vector<size_t> sizes = {64 * 1024, 1024 * 1024, 4 * 1024 * 1024};
  const int runs = 5;
  MemoryFetcher web;
  dvx::LookupHosts hosts;
  std::printf("median processor time of %d runs, ms\n%-40s %10s %10s %10s\n", runs, "page", "64 KB", "1 MB", "4 MB");

  double worstWhois = 0, worstResults = 0;
  auto row = [&](const std::string& name, const std::function<std::string(size_t)>& make,
                 const std::function<void()>& lookup, double& worst) {
    std::printf("%-40s", name.c_str());
    for (size_t size : sizes) {
      web.page = make(size);
      const double ms = medianMs(runs, lookup);
      worst = std::max(worst, ms);
      std::printf(" %10.2f", ms);
    }
    std::printf("\n");
  };

  std::string reg, exp, registrar, owner, contact;
  std::printf("WHOIS lookup:\n");
  for (const auto& [name, make] : whoisPages()) {
    row("  " + name, make, [&] { dvx::lookupWhois(web, hosts, "example.com", reg, exp, registrar, owner, contact); },
        worstWhois);
  }
  std::printf("index count:\n");
  for (const auto& [name, make] : resultsPages()) {
    row("  " + name, make, [&] { (void)dvx::baiduSiteCount(web, hosts, "example.com"); }, worstResults);
  }
  double worstTitle = 0;
  std::printf("site title (not part of a lookup):\n");
  for (const auto& [name, make] : sitePages()) {
    row("  " + name, make, [&] { (void)dvx::siteTitleText(web, "example.com"); }, worstTitle);
  }
  const double perLookup = worstWhois + worstResults;
  std::printf("worst lookup up to 4 MB (worst WHOIS + worst results page): %.2f ms, goal < 50 ms: %s\n",
              perLookup, perLookup < 50 ? "met" : "MISSED");
  return 0;
}
