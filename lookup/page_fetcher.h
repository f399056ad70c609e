// One blocking HTTP GET. The lookups see the web only through this interface,
// so tests can hand them a fetcher that serves fixed pages.
#pragma once
#include <chrono>
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

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // The response body exactly as received, whatever the HTTP status; empty
  // bytes on any failure. Never throws, and several threads may call it at
  // once.
  virtual std::string fetchBytes(const std::string& url) = 0;

  // A GET with the given extra request headers, redirects followed, that
  // reports the final status and the headers a caller needs to judge the
  // answer. Never throws; thread-safe like fetchBytes. A fetcher that cannot
  // report a status answers every request as failed.
  virtual HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers) {
    (void)url;
    (void)headers;
    return HttpResponse();
  }
};

#ifdef _WIN32
// How long one page may take, from the request to its last byte, before it
// counts as a page that could not be fetched.
constexpr std::chrono::milliseconds kFetchTimeLimit{30000};

// The fetcher of the Windows program: the platform's XMLHTTP automation
// object, with COM set up and torn down on the calling thread per request.
std::unique_ptr<PageFetcher> makeXmlHttpFetcher(std::chrono::milliseconds timeLimit = kFetchTimeLimit);
#endif

}  // namespace dvx
