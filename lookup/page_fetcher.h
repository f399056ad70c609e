// One blocking HTTP GET. The lookups see the web only through this interface,
// so tests can hand them a fetcher that serves fixed pages.
#pragma once
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dvx {

// What a request with status came back with. Status 0 means the request
// failed (no connection, no answer, too many redirects); the other fields
// are then empty.
struct HttpResponse {
  int status = 0;
  std::string body;
  std::string contentType;  // the header's value as sent, "" when absent
  std::string retryAfter;   // the header's value as sent, "" when absent
};

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

// The most one answer may hold, counted after any decoding. A longer body
// is a failed fetch, of which nothing is kept.
constexpr size_t kMaxPageBytes = 8u * 1024 * 1024;        // a WHOIS, search or site page
constexpr size_t kMaxRdapAnswerBytes = 2u * 1024 * 1024;  // one RDAP answer
constexpr size_t kMaxBootstrapBytes = 1u * 1024 * 1024;   // the RDAP bootstrap file

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // The response body exactly as received (after any content decoding),
  // whatever the HTTP status; empty bytes on any failure, including a body
  // longer than kMaxPageBytes. Never throws, and several threads may call
  // it at once.
  virtual std::string fetchBytes(const std::string& url) = 0;

  // A GET with the given extra request headers, redirects followed, that
  // reports the final status and the headers a caller needs to judge the
  // answer; a body longer than `maxBytes` fails the request. Never throws;
  // thread-safe like fetchBytes. A fetcher that cannot report a status
  // answers every request as failed.
  virtual HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers, size_t maxBytes) {
    (void)url;
    (void)headers;
    (void)maxBytes;
    return HttpResponse();
  }
};

#ifdef _WIN32
// How long one fetch may take, from the request to its last byte, before it
// counts as a page that could not be fetched. At the limit the request is
// given up: its connection is closed and no further request of it is sent.
constexpr std::chrono::milliseconds kFetchTimeLimit{30000};

// The fetcher of the Windows program: WinINet, with the system's proxy
// settings, at most five redirects a fetch.
std::unique_ptr<PageFetcher> makeWebFetcher(std::chrono::milliseconds timeLimit = kFetchTimeLimit);
#endif

}  // namespace dvx
