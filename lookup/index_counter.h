// The index figures of a domain: the Baidu site: count read from the search
// page, and the two fields that are filled with fixed values.
#pragma once
#include <cstdint>
#include <string>

#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"

namespace dvx {

// Pages Baidu reports for "site:" + domain; 0 when the page gives no count.
int32_t baiduSiteCount(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain);

// The count read from search-results text already decoded to GBK.
int32_t siteCountFromPage(const std::string& page);

// Always overwrites all three: BaiduS = decimal count, GoogleS = "0",
// AAA1 = "".
void lookupIndexCounts(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain,
                       std::string& baiduS, std::string& googleS, std::string& aaa1);

// A number as the 32-bit count: truncated toward zero, then wrapped modulo
// 2^32 (so 3e9 turns negative); NaN and infinities give 0.
int32_t wrapToInt32(double value);

}  // namespace dvx
