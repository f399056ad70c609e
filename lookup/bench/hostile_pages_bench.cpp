// Parse times of hostile and broken pages of 64 KB, 1 MB and 4 MB: labels
// and opening cells with no closing cell, every marker repeated without its
// end, binary garbage. Each lookup is the production path from page bytes
// (decoding included) through a fetcher that serves them from memory. The
// goal is under 50 ms per lookup (WHOIS page plus results page) for any
// page up to 4 MB, in an optimised build without sanitizers.
//
// Then every hostile shape at 8 MB, RDAP answers among them, with its time
// and the peak heap it needs beyond the input: the goal is under 100 ms and
// under 64 MB for each. The heap is counted by this program's own global
// operator new and delete (every container of the parsers allocates through
// them), as the most bytes live at once during the call minus those live
// before it, the input included in the latter.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "lookup/index_counter.h"
#include "lookup/page_decode.h"
#include "lookup/page_fetcher.h"
#include "lookup/rdap_response.h"
#include "lookup/title_check.h"
#include "lookup/whois_parser.h"

namespace {

size_t gLiveBytes = 0;
size_t gPeakBytes = 0;
constexpr size_t kHeader = 16;  // keeps the block's alignment

void* countedAlloc(size_t n) {
  void* p = std::malloc(n + kHeader);
  if (p == nullptr) throw std::bad_alloc();
  *static_cast<size_t*>(p) = n;
  gLiveBytes += n;
  gPeakBytes = std::max(gPeakBytes, gLiveBytes);
  return static_cast<char*>(p) + kHeader;
}

void countedFree(void* p) {
  if (p == nullptr) return;
  char* block = static_cast<char*>(p) - kHeader;
  gLiveBytes -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t n) { return countedAlloc(n); }
void* operator new[](size_t n) { return countedAlloc(n); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, size_t) noexcept { countedFree(p); }
void operator delete[](void* p, size_t) noexcept { countedFree(p); }

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

// RDAP answers that cost the most per byte: deep nesting, floods of empty
// objects where each would be kept, huge texts where short ones are
// compared.
std::map<std::string, std::function<std::string(size_t)>> rdapAnswers() {
  auto fill = [](const std::string& head, const std::string& unit, const std::string& tail, size_t n) {
    return head + repeated(unit, n - head.size() - tail.size()) + tail;
  };
  return {
      {"only [", [](size_t n) { return repeated("[", n); }},
      {"objects nested in one member", [](size_t n) { return repeated("{\"a\":", n); }},
      {"empty entities",
       [=](size_t n) { return fill("{\"objectClassName\":\"domain\",\"entities\":[{}", ",{}", "]}", n); }},
      {"entities nested in entities", [](size_t n) { return repeated("{\"entities\":[", n); }},
      {"empty events", [=](size_t n) { return fill("{\"events\":[{}", ",{}", "]}", n); }},
      {"registrar roles",
       [=](size_t n) { return fill("{\"entities\":[{\"roles\":[\"registrar\"", ",\"registrar\"", "]}]}", n); }},
      {"vCard properties",
       [=](size_t n) {
         return fill("{\"entities\":[{\"vcardArray\":[\"vcard\",[[\"fn\",{},\"text\",\"x\"]", ",[\"fn\",{},\"text\",\"x\"]",
                     "]]}]}", n);
       }},
      {"one huge ldhName", [=](size_t n) { return fill("{\"ldhName\":\"", "a", "\"}", n); }},
      {"one huge key", [=](size_t n) { return fill("{\"", "k", "\":1}", n); }},
  };
}

bool eightMegabyteShapes(MemoryFetcher& web, const dvx::LookupHosts& hosts) {
  const size_t size = 8 * 1024 * 1024;
  const int runs = 3;
  bool met = true;
  std::printf("\nevery shape at 8 MB: median processor time of %d runs, peak heap beyond the input\n", runs);
  std::printf("%-48s %10s %12s\n", "input", "ms", "MB");
  auto measure = [&](const std::string& name, const std::function<void()>& call) {
    call();  // first use builds the code page tables
    const size_t before = gLiveBytes;
    gPeakBytes = gLiveBytes;
    const double ms = medianMs(runs, call);
    const double mb = static_cast<double>(gPeakBytes - before) / (1024.0 * 1024.0);
    const bool ok = ms < 100 && mb < 64;
    met = met && ok;
    std::printf("  %-46s %10.2f %12.2f%s\n", name.c_str(), ms, mb, ok ? "" : "  MISSED");
  };

  std::string reg, exp, registrar, owner, contact;
  auto whois = whoisPages();
  whois["date cell: 1, the month sign, 8 MB of dashes"] = [](size_t n) {
    return u8"<td>注册时间</td><td>1月" + repeated("-", n - 64) + "</td>";
  };
  std::printf("WHOIS lookup (decoding and parsing):\n");
  for (const auto& [name, make] : whois) {
    web.page = make(size);
    measure(name, [&] { dvx::lookupWhois(web, hosts, "example.com", reg, exp, registrar, owner, contact); });
  }
  std::printf("index count (decoding and count):\n");
  for (const auto& [name, make] : resultsPages()) {
    web.page = make(size);
    measure(name, [&] { (void)dvx::baiduSiteCount(web, hosts, "example.com"); });
  }
  std::printf("site page decoding:\n");
  for (const auto& [name, make] : sitePages()) {
    web.page = make(size);
    measure(name, [&] { (void)dvx::sitePageText(web.page); });
  }
  web.page = "charset=utf-8 " + garbage(size);
  measure("utf-8 declared, garbage", [&] { (void)dvx::sitePageText(web.page); });

  std::printf("RDAP extraction:\n");
  dvx::HttpResponse answer;
  answer.status = 200;
  answer.contentType = "application/rdap+json";
  for (const auto& [name, make] : rdapAnswers()) {
    answer.body = make(size);
    measure(name, [&] { (void)dvx::extractRdapFacts(answer, "example.com"); });
  }
  web.page.clear();
  answer.body.clear();
  std::printf("every shape at 8 MB under 100 ms and 64 MB: %s\n", met ? "met" : "MISSED");
  return met;
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
  return eightMegabyteShapes(web, hosts) ? 0 : 1;
}
