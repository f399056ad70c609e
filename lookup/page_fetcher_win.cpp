// The Windows page fetch: one synchronous GET through the XMLHTTP
// automation object, run on a thread of its own and waited for against a
// time limit, so that a page that never ends (one byte a second, a server
// that keeps the connection open) cannot hold up a lookup. No status is
// examined (an error page's body is a page like any other), no retry is
// made, and every failure ends as empty bytes.
// Requests with status (RDAP) go through status_fetch_win.cpp, under the
// same time limit.
#include "lookup/page_fetcher.h"
#include "lookup/status_fetch_win.h"
#include "text/wide_text_win.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <msxml2.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace dvx {
namespace {

// MinGW's import libraries do not carry this interface id.
const IID kIidXmlHttpRequest = {
    0xED8C108D, 0x4349, 0x11D2, {0x91, 0xA4, 0x00, 0xC0, 0x4F, 0x79, 0x69, 0xE8}};

// COM on the calling thread for one request. The caller may be the UI
// thread or any worker; a thread already in another apartment still gets
// its request, and only a successful initialise is balanced.
class ScopedCom {
 public:
  ScopedCom() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ScopedCom() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

 private:
  HRESULT hr_;
};

class ScopedBstr {
 public:
  explicit ScopedBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
  explicit ScopedBstr(const std::wstring& text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~ScopedBstr() { SysFreeString(bstr_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_;
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&v_); }
  ~ScopedVariant() { VariantClear(&v_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* operator&() { return &v_; }
  VARIANT& get() { return v_; }

 private:
  VARIANT v_;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

bool createRequest(ComPtr<IXMLHTTPRequest>& request) {
  for (const wchar_t* progId : {L"MSXML2.XMLHTTP", L"Microsoft.XMLHTTP"}) {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid))) continue;
    if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidXmlHttpRequest,
                                   reinterpret_cast<void**>(request.out()))) &&
        request) {
      return true;
    }
  }
  return false;
}

std::string bodyBytes(VARIANT& body) {
  if (V_VT(&body) != (VT_ARRAY | VT_UI1) || V_ARRAY(&body) == nullptr) return std::string();
  SAFEARRAY* array = V_ARRAY(&body);
  if (SafeArrayGetDim(array) != 1) return std::string();
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)) ||
      upper < lower) {
    return std::string();
  }
  // The buffer is made before the array is locked: an allocation failure
  // while it is locked would leave it locked, and clearing the VARIANT could
  // then not free it.
  std::string bytes(static_cast<size_t>(static_cast<long long>(upper) - lower + 1), '\0');
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return std::string();
  std::memcpy(&bytes[0], data, bytes.size());
  SafeArrayUnaccessData(array);
  return bytes;
}

std::string fetchOnce(const std::string& url) {
  // Declared first so that it ends last: the request object is released
  // before COM is uninitialised on this thread.
  ScopedCom com;
  ComPtr<IXMLHTTPRequest> request;
  if (!createRequest(request)) return std::string();

  ScopedBstr method(L"get");
  ScopedBstr target(toWide(url));  // the URL as given, unescaped
  ScopedVariant async, user, password;
  V_VT(&async) = VT_BOOL;
  V_BOOL(&async) = VARIANT_FALSE;
  if (FAILED(request->open(method.get(), target.get(), async.get(), user.get(), password.get()))) {
    return std::string();
  }

  ScopedBstr contentType(L"Content-Type"), form(L"application/x-www-form-urlencoded");
  ScopedBstr connection(L"Connection"), close(L"close");
  if (FAILED(request->setRequestHeader(contentType.get(), form.get())) ||
      FAILED(request->setRequestHeader(connection.get(), close.get()))) {
    return std::string();
  }

  ScopedVariant emptyBody;
  V_VT(&emptyBody) = VT_BSTR;
  V_BSTR(&emptyBody) = SysAllocString(L"");
  if (FAILED(request->send(emptyBody.get()))) return std::string();

  ScopedVariant body;
  if (FAILED(request->get_responseBody(&body))) return std::string();
  return bodyBytes(body.get());
}

// The answer of a request running on its own thread: filled in by that
// thread, read by the waiting one; whichever lets go last frees it.
template <typename Result>
struct PendingAnswer {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Result result{};
  ~PendingAnswer() {
    if (done) CloseHandle(done);
  }
};

// Runs this thread's messages until `done` is signalled or the time limit
// has passed (a synchronous XMLHTTP request ran the caller's messages while
// it waited, and the window that asked relies on that). A quit message met
// here is put back for the caller's loop and ends the wait.
bool waitWithMessages(HANDLE done, DWORD limitMs) {
  const ULONGLONG deadline = GetTickCount64() + limitMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD wait = MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(deadline - now),
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (wait == WAIT_OBJECT_0) return true;
    if (wait != WAIT_OBJECT_0 + 1) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// Runs `request` (any kind of request, whatever it returns) on a thread of
// its own and waits at most `limitMs` for it. A request still running then
// is left to end by itself (its thread owns everything it uses) and the
// caller gets an empty result, as for a request that failed.
template <typename Request>
auto withinTimeLimit(Request request, DWORD limitMs) -> decltype(request()) {
  using Result = decltype(request());
  auto answer = std::make_shared<PendingAnswer<Result>>();
  if (!answer->done) return Result();
  std::thread([answer, request]() mutable {
    try {
      answer->result = request();
    } catch (...) {
      answer->result = Result();
    }
    SetEvent(answer->done);
  }).detach();
  if (!waitWithMessages(answer->done, limitMs)) return Result();
  return std::move(answer->result);
}

class XmlHttpFetcher : public PageFetcher {
 public:
  explicit XmlHttpFetcher(DWORD limitMs) : limitMs_(limitMs) {}
  std::string fetchBytes(const std::string& url) override {
    try {
      return withinTimeLimit([url] { return fetchOnce(url); }, limitMs_);
    } catch (...) {
      return std::string();
    }
  }

  HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers) override {
    try {
      return withinTimeLimit([url, headers] { return fetchWithStatus(url, headers); }, limitMs_);
    } catch (...) {
      return HttpResponse();
    }
  }

 private:
  DWORD limitMs_;
};

}  // namespace

std::unique_ptr<PageFetcher> makeXmlHttpFetcher(std::chrono::milliseconds timeLimit) {
  try {
    const long long ms = std::max<long long>(1, std::min<long long>(timeLimit.count(), 0x7FFFFFFF));
    return std::unique_ptr<PageFetcher>(new XmlHttpFetcher(static_cast<DWORD>(ms)));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace dvx
