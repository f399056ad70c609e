#include "lookup/http_get_win.h"

#include "text/wide_text_win.h"

#include <windows.h>
#include <wininet.h>
#include <urlmon.h>

#include <algorithm>
#include <cwchar>
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

// The deadline and the cancel of one request.
class Budget {
 public:
  explicit Budget(const HttpGet& get) : get_(get) {}
  bool over() const {
    return (get_.cancelled && get_.cancelled->load()) || GetTickCount64() >= get_.deadlineMs;
  }
  DWORD leftMs() const {
    const ULONGLONG now = GetTickCount64();
    if (now >= get_.deadlineMs) return 1;
    return static_cast<DWORD>(std::min<ULONGLONG>(get_.deadlineMs - now, 0x7FFFFFFF));
  }

 private:
  const HttpGet& get_;
};

// Connecting, sending and each wait for bytes end by the deadline, so a
// silent server cannot hold a call past it.
void boundWaits(HINTERNET h, DWORD ms) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(h, option, &ms, sizeof ms);
}

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

// The length a plain body declares, -1 when it declares none (a compressed
// body's length says nothing of what it holds).
long long declaredLength(HINTERNET request) {
  if (!header(request, L"Content-Encoding").empty()) return -1;
  const std::wstring length = header(request, L"Content-Length");
  if (length.empty() || length.size() > 15 || length.find_first_not_of(L"0123456789") != std::wstring::npos)
    return -1;
  return static_cast<long long>(std::wcstoull(length.c_str(), nullptr, 10));
}

// Reads the body as it arrives, decoded: never more than has arrived, so a
// body that trickles in still lets the deadline be checked between pieces,
// and never more than the cap, so a small compressed body cannot inflate
// past it in memory. False when the body goes past `maxBytes`, a read
// fails, or the budget runs out.
bool readBody(HINTERNET request, size_t maxBytes, const Budget& budget, std::string& body) {
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    if (budget.over()) return false;
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) return false;
    // Nothing available is the end of the body, which the read confirms.
    const DWORD want = available ? std::min<DWORD>(available, static_cast<DWORD>(chunk.size()))
                                 : static_cast<DWORD>(chunk.size());
    DWORD got = 0;
    if (!InternetReadFile(request, chunk.data(), want, &got)) return false;
    if (got == 0) return true;
    if (got > maxBytes - body.size()) return false;
    body.append(chunk.data(), got);
  }
}

bool isRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool startsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  return s.size() >= n &&
         CompareStringOrdinal(s.c_str(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

// Bytes outside printable ASCII as %XX, so the request line carries exactly
// these bytes whatever the system's code page.
std::string escapedBytes(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b > 0x20 && b < 0x7F) {
      out += c;
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

// Where the host part of an address ends (at its path, query or fragment).
size_t afterHost(const std::string& url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return std::string::npos;
  return url.find_first_of("/?#", scheme + 3);
}

// The address as given (GBK bytes) with its path and query escaped: the
// bytes go out as the program holds them, as the system's own page request
// sent them on a Chinese system.
std::wstring firstAddress(const std::string& url) {
  const size_t at = afterHost(url);
  if (at == std::string::npos) return toWide(url);
  return toWide(url.substr(0, at)) + toWide(escapedBytes(url.substr(at)));
}

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
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

struct Target {
  std::wstring host;
  INTERNET_PORT port = 0;
  bool secure = false;
  std::wstring object;  // path and query, escaped, without the fragment
};

bool crack(const std::wstring& address, Target& target) {
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof parts;
  // Non-zero lengths with null pointers: point into `address`.
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (!parts.lpszHostName || parts.dwHostNameLength == 0) return false;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  std::wstring object;
  if (parts.lpszUrlPath) object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  object = object.substr(0, object.find(L'#'));
  if (object.empty() || object[0] != L'/') object.insert(0, 1, L'/');
  // A redirect may name characters outside ASCII: sent as UTF-8, escaped.
  target.object = toWide(escapedBytes(utf8(object)));
  return true;
}

bool sameName(const std::string& a, const char* b) {
  return CompareStringOrdinal(toWide(a).c_str(), -1, toWide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring userAgent(bool page) {
  if (!page) return L"Domivex";
  // What the system's own page requests send, so sites answer as they
  // answer a browser.
  char agent[512] = {};
  DWORD size = sizeof agent;
  if (SUCCEEDED(ObtainUserAgentString(0, agent, &size)) && agent[0]) return toWide(agent);
  return L"Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1)";
}

HttpResponse getOnce(const HttpGet& get) {
  const Budget budget(get);
  // The one Accept header goes through the accept types: WinINet sends
  // those alone, where a header line would come after its own "*/*".
  std::wstring accept = L"*/*", requestHeaders;
  for (const auto& h : get.headers) {
    if (sameName(h.first, "Accept")) {
      accept = toWide(h.second);
      continue;
    }
    requestHeaders += toWide(h.first) + L": " + toWide(h.second) + L"\r\n";
  }
  if (get.page) requestHeaders += L"Accept-Encoding: gzip, deflate\r\n";
  const wchar_t* acceptTypes[] = {accept.c_str(), nullptr};

  InternetHandle session(InternetOpenW(userAgent(get.page).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.get()) return HttpResponse();
  DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
  if (!get.page) flags |= INTERNET_FLAG_NO_COOKIES;

  std::wstring address = firstAddress(get.url);
  for (int hop = 0; hop <= kMaxRedirects && !address.empty(); ++hop) {
    Target target;
    if (budget.over() || !crack(address, target)) return HttpResponse();
    boundWaits(session.get(), budget.leftMs());
    InternetHandle connection(InternetConnectW(session.get(), target.host.c_str(), target.port, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.get()) return HttpResponse();
    InternetHandle request(HttpOpenRequestW(connection.get(), L"GET", target.object.c_str(), nullptr, nullptr,
                                            acceptTypes, flags | (target.secure ? INTERNET_FLAG_SECURE : 0), 0));
    if (!request.get()) return HttpResponse();
    boundWaits(request.get(), budget.leftMs());
    BOOL decode = TRUE;
    InternetSetOptionW(request.get(), INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
    if (!HttpSendRequestW(request.get(), requestHeaders.c_str(), static_cast<DWORD>(requestHeaders.size()),
                          nullptr, 0))
      return HttpResponse();
    const int status = statusCode(request.get());
    if (status == 0 || budget.over()) return HttpResponse();
    if (isRedirect(status)) {
      address = nextAddress(address, header(request.get(), L"Location"));
      continue;
    }
    // A declared length beyond the cap fails before a byte is read; a body
    // cut short of its declared length is a failed fetch too.
    const long long length = declaredLength(request.get());
    if (length > static_cast<long long>(get.maxBytes)) return HttpResponse();
    HttpResponse response;
    boundWaits(request.get(), budget.leftMs());
    if (!readBody(request.get(), get.maxBytes, budget, response.body)) return HttpResponse();
    if (length >= 0 && response.body.size() != static_cast<size_t>(length)) return HttpResponse();
    response.status = status;
    response.contentType = fromWide(header(request.get(), L"Content-Type"));
    response.retryAfter = fromWide(header(request.get(), L"Retry-After"));
    return response;
  }
  return HttpResponse();  // too many redirects, or one to nowhere
}

}  // namespace

HttpResponse httpGet(const HttpGet& request) {
  try {
    return getOnce(request);
  } catch (...) {
    return HttpResponse();
  }
}

}  // namespace dvx
