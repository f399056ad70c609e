// A GET that reports its status, on WinINet directly: XMLHTTP follows every
// redirect itself and, under Wine, a redirect loop never ends, while RDAP
// needs the final status and a bounded number of hops.
#pragma once
#include <string>

#include "lookup/page_fetcher.h"

namespace dvx {

constexpr int kMaxRedirects = 5;

// Sends the headers, follows at most kMaxRedirects redirects (http and https
// only, never from https down to http) and reports the final answer; status
// 0 when the request failed or the redirects went on. Uses the system's
// proxy settings. Never throws.
HttpResponse fetchWithStatus(const std::string& url, const HttpHeaders& headers);

}  // namespace dvx
