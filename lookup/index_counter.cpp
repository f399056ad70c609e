#include "lookup/index_counter.h"

#include <cmath>

#include "lookup/labelled_capture.h"
#include "lookup/page_decode.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

std::string withoutCountNoise(const std::string& text) {
  return removeAll(removeAll(removeAll(text, "数"), "约"), ",");
}

}  // namespace

int32_t wrapToInt32(double value) {
  double whole = std::trunc(value);
  if (!std::isfinite(whole)) return 0;
  // fmod is exact, so the wrap is exact for every finite double; the casts
  // below only ever see values in range.
  const double kTwo32 = 4294967296.0;
  double low = std::fmod(whole, kTwo32);
  if (low < 0) low += kTwo32;
  int64_t wrapped = static_cast<int64_t>(low);
  if (wrapped >= 2147483648LL) wrapped -= 4294967296LL;
  return static_cast<int32_t>(wrapped);
}

int32_t siteCountFromPage(const std::string& page) {
  // The results banner, e.g. 找到相关结果数约1,230个.
  std::string figure = textBefore(textAfter(page, ">找到相关结果"), "个");
  // A count too large for 32 bits wraps negative and falls through to the
  // summary, also where a wrap modulo 2^32 would land on a positive figure.
  const double banner = std::trunc(toNumber(withoutCountNoise(figure)));
  if (banner >= 1 && banner <= 2147483647.0) return static_cast<int32_t>(banner);

  // The site summary, e.g. 该网站共有 <b>1,234</b> 个网页. Without the banner
  // the text above starts with markup and reads 0, so this form is tried.
  figure = textBefore(textAfter(page, "该网站共有"), "个网页");
  return wrapToInt32(toNumber(withoutCountNoise(stripTags(figure))));
}

int32_t baiduSiteCount(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain) {
  try {
    std::string url = "http://" + hosts.baiduHost + "/s?wd=site:" + domain;
    return siteCountFromPage(resultsPageText(fetcher.fetchBytes(url)));
  } catch (...) {
    return 0;  // allocation failure: no count
  }
}

void lookupIndexCounts(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain,
                       std::string& baiduS, std::string& googleS, std::string& aaa1) {
  int32_t n = baiduSiteCount(fetcher, hosts, domain);
  try {
    baiduS = std::to_string(n);
    googleS = "0";
  } catch (...) {
  }
  aaa1.clear();
}

}  // namespace dvx
