// One GET over WinINet, for pages and RDAP alike. Redirects are followed by
// hand, so their number is bounded; the body is read in pieces and counted
// against a cap after any decoding; and no blocking step outlasts the
// deadline, after which the request closes its handles and its connection.
#pragma once
#include <atomic>
#include <cstddef>
#include <string>

#include "lookup/page_fetcher.h"

namespace dvx {

constexpr int kMaxRedirects = 5;

struct HttpGet {
  std::string url;
  // Extra request headers; an "Accept" among them is sent as the request's
  // one Accept header.
  HttpHeaders headers;
  size_t maxBytes = kMaxPageBytes;
  // A page: the system browser's User-Agent, cookies kept, compressed
  // bodies asked for. Otherwise (RDAP) none of these.
  bool page = false;
  // GetTickCount64() value at which the request is given up.
  unsigned long long deadlineMs = 0;
  // Set by the waiting side to give the request up earlier.
  const std::atomic<bool>* cancelled = nullptr;
};

// Follows at most kMaxRedirects redirects (http and https only, never from
// https down to http) and reports the final answer. Status 0 when the
// request failed, the redirects went on, the body went past its cap, or the
// deadline or a cancel came first. Uses the system's proxy settings. Never
// throws.
HttpResponse httpGet(const HttpGet& get);

}  // namespace dvx
