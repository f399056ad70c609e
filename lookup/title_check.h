// The portable half of the site title check: what one row's title cell
// shows for a domain. The worker that walks the list lives with the window.
#pragma once
#include <string>

#include "lookup/page_fetcher.h"

namespace dvx {

// Gambling-related words that put a warning in front of a site's title,
// searched for in this order with exact bytes.
extern const char* const kDangerKeywords[4];

// The domain as a URL: unchanged when it already starts with "http://" or
// "https://" in any letter case, otherwise with "http://" in front.
std::string withScheme(const std::string& domain);

// Fetches the domain's home page and returns the title cell's text: the raw
// title (line breaks kept), "未正确获取到!" when there is none, preceded by a
// warning naming every keyword found anywhere in the page. Never throws.
std::string siteTitleText(PageFetcher& fetcher, const std::string& domain);

}  // namespace dvx
