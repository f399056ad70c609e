// A PageFetcher that serves fixed pages by exact URL, so tests run the
// production parsing path without a network. Unknown URLs give empty bytes,
// as an unreachable host would; requests with status are answered from
// their own table, and an unknown URL fails (status 0).
#pragma once
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lookup/page_fetcher.h"
#include "text/codepage.h"

namespace dvx {
namespace testing {

class FakeFetcher : public PageFetcher {
 public:
  void serve(const std::string& url, const std::string& bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    pages_[url] = bytes;
  }

  std::string fetchBytes(const std::string& url) override {
    std::lock_guard<std::mutex> guard(lock_);
    requested_.push_back(url);
    auto it = pages_.find(url);
    return it == pages_.end() ? std::string() : it->second;
  }

  std::vector<std::string> requested() {
    std::lock_guard<std::mutex> guard(lock_);
    return requested_;
  }

  void serveResponse(const std::string& url, const HttpResponse& response) {
    std::lock_guard<std::mutex> guard(lock_);
    responses_[url] = response;
  }

  HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers, size_t) override {
    std::lock_guard<std::mutex> guard(lock_);
    responseRequests_.push_back(url);
    lastHeaders_ = headers;
    auto it = responses_.find(url);
    return it == responses_.end() ? HttpResponse() : it->second;
  }

  std::vector<std::string> responseRequests() {
    std::lock_guard<std::mutex> guard(lock_);
    return responseRequests_;
  }

  HttpHeaders lastHeaders() {
    std::lock_guard<std::mutex> guard(lock_);
    return lastHeaders_;
  }

 private:
  std::mutex lock_;
  std::map<std::string, std::string> pages_;
  std::vector<std::string> requested_;
  std::map<std::string, HttpResponse> responses_;
  std::vector<std::string> responseRequests_;
  HttpHeaders lastHeaders_;
};

// A page from tests/fixtures (the files the fixture web server serves).
// Files are kept in UTF-8; a name ending in ".gbk.html" stands for the page
// in GBK bytes, as the server sends it.
inline std::string fixturePage(const std::string& relativePath) {
  std::ifstream in(std::string(DVX_LOOKUP_FIXTURES) + "/" + relativePath, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "missing fixture " << relativePath;
    return std::string();
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string gbkSuffix = ".gbk.html";
  if (relativePath.size() > gbkSuffix.size() &&
      relativePath.compare(relativePath.size() - gbkSuffix.size(), gbkSuffix.size(), gbkSuffix) == 0) {
    return utf8TextToGbk(bytes.str());
  }
  return bytes.str();
}

}  // namespace testing
}  // namespace dvx
