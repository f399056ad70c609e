#include "lookup/status_fetch_win.h"

#include "text/wide_text_win.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace dvx {
namespace {

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  ~InternetHandle() {
    if (h_) InternetCloseHandle(h_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return h_; }

 private:
  HINTERNET h_;
};

// A response header by name, "" when absent.
std::wstring header(HINTERNET request, const wchar_t* name) {
  std::vector<wchar_t> buffer(1024, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    lstrcpynW(buffer.data(), name, static_cast<int>(buffer.size()));
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (HttpQueryInfoW(request, HTTP_QUERY_CUSTOM, buffer.data(), &bytes, nullptr))
      return std::wstring(buffer.data(), bytes / sizeof(wchar_t));
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
  }
  return std::wstring();
}

int statusCode(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return status >= 100 && status <= 999 ? static_cast<int>(status) : 0;
}

bool readBody(HINTERNET request, std::string& body) {
  char chunk[16384];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request, chunk, sizeof chunk, &got)) return false;
    if (got == 0) return true;
    body.append(chunk, got);
  }
}

bool isRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool startsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  return s.size() >= n && CompareStringOrdinal(s.c_str(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

// The redirect target resolved against the current address; "" when it is
// not an http(s) address or would leave https for http.
std::wstring nextAddress(const std::wstring& current, const std::wstring& location) {
  if (location.empty()) return std::wstring();
  std::vector<wchar_t> combined(4096, L'\0');
  DWORD size = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlW(current.c_str(), location.c_str(), combined.data(), &size, ICU_NO_ENCODE))
    return std::wstring();
  std::wstring next(combined.data(), size);
  if (startsWithNoCase(current, L"https://")) return startsWithNoCase(next, L"https://") ? next : std::wstring();
  return startsWithNoCase(next, L"https://") || startsWithNoCase(next, L"http://") ? next : std::wstring();
}

HttpResponse fetch(const std::string& url, const HttpHeaders& headers) {
  std::wstring requestHeaders;
  for (const auto& h : headers) requestHeaders += toWide(h.first) + L": " + toWide(h.second) + L"\r\n";
  InternetHandle session(InternetOpenW(L"Domivex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.get()) return HttpResponse();
  const DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
  std::wstring address = toWide(url);
  for (int hop = 0; hop <= kMaxRedirects && !address.empty(); ++hop) {
    InternetHandle request(InternetOpenUrlW(session.get(), address.c_str(), requestHeaders.c_str(),
                                            static_cast<DWORD>(requestHeaders.size()), flags, 0));
    if (!request.get()) return HttpResponse();
    const int status = statusCode(request.get());
    if (status == 0) return HttpResponse();
    if (isRedirect(status)) {
      address = nextAddress(address, header(request.get(), L"Location"));
      continue;
    }
    HttpResponse response;
    if (!readBody(request.get(), response.body)) return HttpResponse();
    response.status = status;
    response.contentType = fromWide(header(request.get(), L"Content-Type"));
    response.retryAfter = fromWide(header(request.get(), L"Retry-After"));
    return response;
  }
  return HttpResponse();  // too many redirects, or one to nowhere
}

}  // namespace

HttpResponse fetchWithStatus(const std::string& url, const HttpHeaders& headers) {
  try {
    return fetch(url, headers);
  } catch (...) {
    return HttpResponse();
  }
}

}  // namespace dvx
