// One blocking HTTP GET. The lookups see the web only through this interface,
// so tests can hand them a fetcher that serves fixed pages.
#pragma once
#include <chrono>
#include <memory>
#include <string>

namespace dvx {

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // The response body exactly as received, whatever the HTTP status; empty
  // bytes on any failure. Never throws, and several threads may call it at
  // once.
  virtual std::string fetchBytes(const std::string& url) = 0;
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
