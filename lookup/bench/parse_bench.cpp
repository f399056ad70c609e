// Parser timings on 2 MB pages: a WHOIS page whose labels come last and two
// search-results pages (banner last; no banner, summary last). Each lookup
// runs the production path from page bytes through a fetcher that serves
// them from memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "lookup/index_counter.h"
#include "lookup/page_fetcher.h"
#include "lookup/whois_parser.h"

namespace {

class MemoryFetcher : public dvx::PageFetcher {
 public:
  std::map<std::string, std::string> pages;
  std::string fetchBytes(const std::string& url) override {
    auto it = pages.find(url);
    return it == pages.end() ? std::string() : it->second;
  }
};

const size_t kPageBytes = 2 * 1024 * 1024;

// Filler of table rows in the given encoding, mentioning no label.
std::string filler(const std::string& row, size_t bytes) {
  std::string out;
  out.reserve(bytes + row.size());
  while (out.size() < bytes) out += row;
  out.resize(bytes);
  return out;
}

std::string whoisPage() {
  std::string head = u8"<html><head><meta charset=\"utf-8\"><title>WHOIS</title></head><body><table>\n";
  std::string tail =
      u8"<tr><td>注册商</td><td>：Example Registrar</td></tr>\n"
      u8"<tr><td>创建时间</td><td>2009-01-15</td></tr>\n"
      u8"<tr><td>注册时间</td><td>2010-03-05 10:20:30</td></tr>\n"
      u8"<tr><td>过期时间</td><td>03-5月 -2030</td></tr>\n"
      u8"<tr><td>域名所有者</td><td><span>张三</span></td></tr>\n"
      u8"<tr><td>注册人</td><td><span>李四</span></td></tr>\n</table></body></html>\n";
  std::string row = u8"<tr><td class=\"k\">历史记录</td><td><span>example.com 解析 192.0.2.1</span></td></tr>\n";
  return head + filler(row, kPageBytes - head.size() - tail.size()) + tail;
}

std::string resultsPage(bool banner) {
  std::string head = "<html><head><meta http-equiv=\"content-type\" content=\"text/html;charset=gbk\">"
                     "<title>site:example.com_百度搜索</title></head><body>\n";
  std::string tail = banner ? "<div class=\"nums\">找到相关结果数约1,230个</div></body></html>\n"
                            : "<p>该网站共有 <b>1,234</b> 个网页</p></body></html>\n";
  std::string row = "<div class=\"result\"><h3><a href=\"http://example.com/p\">示例页面 标题</a></h3>"
                    "<span>2016-05-03</span> 摘要文字 example</div>\n";
  return head + filler(row, kPageBytes - head.size() - tail.size()) + tail;
}

template <typename F>
double medianMs(int runs, F&& f) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main() {
  MemoryFetcher web;
  dvx::LookupHosts hosts;
  web.pages[hosts.whoisBase + "example.com/"] = whoisPage();
  web.pages["http://www.baidu.com/s?wd=site:banner.example"] = resultsPage(true);
  web.pages["http://www.baidu.com/s?wd=site:summary.example"] = resultsPage(false);
  const int runs = 9;

  std::string reg, exp, registrar, owner, contact;
  double whoisMs = medianMs(runs, [&] {
    dvx::lookupWhois(web, hosts, "example.com", reg, exp, registrar, owner, contact);
  });
  int32_t banner = 0, summary = 0;
  double bannerMs = medianMs(runs, [&] { banner = dvx::baiduSiteCount(web, hosts, "banner.example"); });
  double summaryMs = medianMs(runs, [&] { summary = dvx::baiduSiteCount(web, hosts, "summary.example"); });

  bool ok = reg == "2010/03/05" && exp == "2030/05/03" && !registrar.empty() && banner == 1230 &&
            summary == 1234;
  std::printf("page size: %zu bytes, median of %d runs\n", kPageBytes, runs);
  std::printf("whois page (utf-8 decode + 8 captures):   %8.2f ms  reg=%s exp=%s\n", whoisMs,
              reg.c_str(), exp.c_str());
  std::printf("results page, banner at the end:          %8.2f ms  count=%d\n", bannerMs, banner);
  std::printf("results page, summary only at the end:    %8.2f ms  count=%d\n", summaryMs, summary);
  if (!ok) std::printf("UNEXPECTED RESULTS\n");
  return ok ? 0 : 1;
}
