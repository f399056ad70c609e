// Registration facts of a domain from its page on the WHOIS page service.
#pragma once
#include <string>

#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"

namespace dvx {

// Fetches whoisBase + domain + "/" and fills the caller's fields. The two
// dates are always written (a date, "找不到" or "无记录"); registrar, owner
// and contact only when the page gives a non-empty value, so a missing cell
// keeps what the caller had.
void lookupWhois(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain,
                 std::string& regDate, std::string& expireDate, std::string& registrar,
                 std::string& owner, std::string& contact);

// The same extraction on page text that is already decoded to GBK.
void parseWhoisPage(const std::string& page, std::string& regDate, std::string& expireDate,
                    std::string& registrar, std::string& owner, std::string& contact);

// A date text rewritten as YYYY/MM/DD when it reads as a date (also the
// Chinese and day-first forms); anything else comes back unchanged.
std::string normalizeDate(const std::string& text);

}  // namespace dvx
