// Turning fetched page bytes into the system's GBK text. Each kind of page
// has one fixed decoding: WHOIS pages are always UTF-8, search results are
// converted only when they declare charset=utf-8, and a site's home page is
// judged by the charset it declares.
#pragma once
#include <string>

#include "lookup/page_fetcher.h"
#include "text/codepage.h"  // utf8ToGbk

namespace dvx {

// The bytes up to the first NUL, unconverted.
std::string bytesAsText(const std::string& bytes);

// Search-results decoding: utf8ToGbk when the raw text holds
// "charset=utf-8" (ignoring case, plain substring), else the raw text.
std::string resultsPageText(const std::string& bytes);

// Home-page decoding by the page's own charset declaration; a page that
// declares none is taken as GBK.
std::string sitePageText(const std::string& bytes);

// Fetches a site's home page and decodes it with sitePageText.
std::string fetchSiteText(PageFetcher& fetcher, const std::string& url);

}  // namespace dvx
