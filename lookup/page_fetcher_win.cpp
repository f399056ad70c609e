// The Windows fetch: one GET (http_get_win.cpp) run on a thread of its own
// and waited for against a time limit, so that a page that never ends (one
// byte a second, a server that keeps the connection open) cannot hold up a
// lookup. The request knows the same deadline and gives itself up there,
// closing its connection, so no fetch outlives its limit by more than one
// wait for bytes. No status is examined for a page (an error page's body is
// a page like any other), no retry is made, and every failure ends as empty
// bytes.
#include "lookup/page_fetcher.h"
#include "lookup/http_get_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace dvx {
namespace {

// The answer of a request running on its own thread: filled in by that
// thread, read by the waiting one; whichever lets go last frees it.
template <typename Result>
struct PendingAnswer {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Result result{};
  std::atomic<bool> cancelled{false};
  ~PendingAnswer() {
    if (done) CloseHandle(done);
  }
};

// Runs this thread's messages until `done` is signalled or the deadline has
// passed (the window that asks for a page on its own thread relies on its
// messages running meanwhile). A quit message met here is put back for the
// caller's loop and ends the wait.
bool waitWithMessages(HANDLE done, ULONGLONG deadline) {
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
    const DWORD wait = MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
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

// Runs `get` on a thread of its own and waits until its deadline, `limitMs`
// from now. A request still running then is cancelled (it stops at its next
// step, and none of its steps waits past the deadline) and the caller gets
// a failed response.
HttpResponse withinTimeLimit(HttpGet get, DWORD limitMs) {
  auto answer = std::make_shared<PendingAnswer<HttpResponse>>();
  if (!answer->done) return HttpResponse();
  get.deadlineMs = GetTickCount64() + limitMs;
  get.cancelled = &answer->cancelled;
  try {
    std::thread([answer, get] {
      try {
        answer->result = httpGet(get);
      } catch (...) {
        answer->result = HttpResponse();
      }
      SetEvent(answer->done);
    }).detach();
  } catch (...) {
    return HttpResponse();  // no thread could be made: a page not fetched
  }
  if (waitWithMessages(answer->done, get.deadlineMs)) return std::move(answer->result);
  answer->cancelled = true;
  return HttpResponse();
}

class WebFetcher : public PageFetcher {
 public:
  explicit WebFetcher(DWORD limitMs) : limitMs_(limitMs) {}

  std::string fetchBytes(const std::string& url) override {
    try {
      HttpGet get;
      get.url = url;
      get.page = true;
      get.maxBytes = kMaxPageBytes;
      // The headers a page request has always carried.
      get.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Connection", "close"}};
      HttpResponse response = withinTimeLimit(std::move(get), limitMs_);
      return response.status != 0 ? std::move(response.body) : std::string();
    } catch (...) {
      return std::string();
    }
  }

  HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers, size_t maxBytes) override {
    try {
      HttpGet get;
      get.url = url;
      get.headers = headers;
      get.maxBytes = maxBytes;
      return withinTimeLimit(std::move(get), limitMs_);
    } catch (...) {
      return HttpResponse();
    }
  }

 private:
  DWORD limitMs_;
};

}  // namespace

std::unique_ptr<PageFetcher> makeWebFetcher(std::chrono::milliseconds timeLimit) {
  try {
    const long long ms = std::max<long long>(1, std::min<long long>(timeLimit.count(), 0x7FFFFFFF));
    return std::unique_ptr<PageFetcher>(new WebFetcher(static_cast<DWORD>(ms)));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace dvx
