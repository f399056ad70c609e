// The layout at the screen's DPI. Opens the main window (with a few stored
// domains) and every dialog, writes the geometry of each to DIR\geometry.txt
// (outer size, every control's box in its parent, fonts, list columns and
// icons) and saves a picture of each as DIR\<name>.bmp.
//   dvx_dpi_probe DIR                 at 96 DPI: the numbers to compare with
//   dvx_dpi_probe DIR BASELINE DPI    also checks that the screen is at DPI and
//                                     every number is BASELINE's x DPI / 96 (+-1)
// Run by dpi_scaling.sh; exit code 0 when everything is in proportion.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "store/domain_store.h"
#include "ui/common/dpi_win.h"
#include "ui/common/wide_win.h"
#include "ui/dialogs/tests/win/dialog_tour_win.h"
#include "ui/dialogs/tests/win/window_picture_win.h"
#include "ui/window/main_window_win.h"

namespace {

using namespace dvx;

// key -> number, in the order measured.
using Geometry = std::vector<std::pair<std::string, long>>;

struct Walk {
  Geometry* out;
  std::string name;
  int index = 0;
};

bool insideListView(HWND child) {
  // The list's own header is laid out by the list from its font, not by us.
  wchar_t cls[64] = {};
  GetClassNameW(GetParent(child), cls, 64);
  return lstrcmpiW(cls, WC_LISTVIEWW) == 0;
}

BOOL CALLBACK measureChild(HWND child, LPARAM param) {
  Walk& w = *reinterpret_cast<Walk*>(param);
  if (insideListView(child)) return TRUE;
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  const std::string key = w.name + " #" + std::to_string(w.index++) + " id" + std::to_string(GetDlgCtrlID(child));
  w.out->push_back({key + " x", r.left});
  w.out->push_back({key + " y", r.top});
  w.out->push_back({key + " width", r.right - r.left});
  w.out->push_back({key + " height", r.bottom - r.top});
  if (HFONT f = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))) {
    LOGFONTW lf{};
    GetObjectW(f, sizeof lf, &lf);
    w.out->push_back({key + " font", lf.lfHeight});
  }
  return TRUE;
}

void measureWindow(Geometry& g, HWND window, const std::string& name) {
  RECT r{};
  GetWindowRect(window, &r);
  g.push_back({name + " outer width", r.right - r.left});
  g.push_back({name + " outer height", r.bottom - r.top});
  Walk walk{&g, name};
  EnumChildWindows(window, &measureChild, reinterpret_cast<LPARAM>(&walk));
}

void measureMainWindow(Geometry& g, MainWindow& w) {
  RECT r{};
  GetWindowRect(w.hwnd(), &r);
  g.push_back({"main left", r.left});
  g.push_back({"main top", r.top});
  measureWindow(g, w.hwnd(), "main");
  HWND list = w.list().hwnd();
  for (int i = 0; i < w.list().columnCount(); ++i)
    g.push_back({"main column " + std::to_string(i), static_cast<long>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0))});
  int cx = 0, cy = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), &cx, &cy);
  g.push_back({"main icon width", cx});
  g.push_back({"main icon height", cy});
  // The caption and taskbar icons, drawn for the window's DPI.
  for (WPARAM which : {ICON_SMALL, ICON_BIG}) {
    HICON icon = reinterpret_cast<HICON>(SendMessageW(w.hwnd(), WM_GETICON, which, 0));
    long width = 0;
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
      BITMAP bm{};
      if (GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm)) width = bm.bmWidth;
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    g.push_back({which == ICON_SMALL ? "main caption icon" : "main taskbar icon", width});
  }
}

std::string dateInDays(int days) {
  const std::time_t then = std::time(nullptr) + static_cast<std::time_t>(days) * 24 * 3600;
  std::tm local{};
  localtime_s(&local, &then);
  char buf[16];
  std::strftime(buf, sizeof buf, "%Y/%m/%d", &local);
  return buf;
}

class NoStoreErrors : public StoreErrorSink {
 public:
  void showStoreError(const std::string& text) override { std::fprintf(stderr, "store error: %s\n", text.c_str()); }
};

// A few looked-up domains: one expired (red), one expiring soon (blue).
void seedDomains(const std::string& programDir) {
  NoStoreErrors errors;
  const std::string path = programDir + "\\domains.mdb";
  DomainStore::CreateIfMissing(path);
  DomainStore store(&errors);
  store.OpenStore(path);
  struct Row {
    const char* name;
    const char* reg;
    std::string expiry;
    const char* registrar;
    const char* baidu;
  };
  const Row rows[] = {
      {"example.com", "1995/08/14", "2031/08/13", "RESERVED-Internet Assigned Numbers Authority", "1200"},
      {"my-old-shop.cn", "2012/03/02", "2020/03/02", "阿里云计算有限公司（万网）", "0"},
      {"blog.example.net", "2008/06/21", dateInDays(12), "Example Registrar, Inc.", "37"},
      {"例子.中国", "2016/11/30", "2029/11/30", "北京新网数码信息技术有限公司", "5"},
  };
  std::string batch;
  for (const Row& r : rows) batch += std::string(r.name) + "\r\n";
  store.AddDomains(batch);
  for (const auto& stored : store.LoadAll()) {
    for (const Row& r : rows) {
      if (stored.second != r.name) continue;
      DomainRecord rec;
      rec.Domain = r.name;
      rec.RegDate = r.reg;
      rec.ExpireDate = r.expiry;
      rec.Registeracom = r.registrar;
      rec.BaiduS = r.baidu;
      rec.GoogleS = r.baidu;
      rec.LastUpdate = dateInDays(0);
      store.SaveLookup(stored.first, rec, false);
    }
  }
  store.Close();
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

void writeGeometry(const Geometry& g, const std::wstring& path) {
  std::ofstream out(path.c_str(), std::ios::binary);
  for (const auto& kv : g) out << kv.first << '\t' << kv.second << '\n';
}

std::map<std::string, long> readGeometry(const std::wstring& path) {
  std::map<std::string, long> m;
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.rfind('\t');
    if (tab != std::string::npos) m[line.substr(0, tab)] = std::strtol(line.c_str() + tab + 1, nullptr, 10);
  }
  return m;
}

// Every number at `dpi` against its 96-DPI value: within a pixel of the
// exact proportion. Prints each mismatch; returns how many there were.
int compare(const Geometry& got, const std::map<std::string, long>& at96, int dpi) {
  int faults = 0;
  if (got.size() != at96.size()) {
    std::printf("FAIL: %zu numbers measured, %zu at 96 DPI\n", got.size(), at96.size());
    ++faults;
  }
  for (const auto& kv : got) {
    auto it = at96.find(kv.first);
    if (it == at96.end()) {
      std::printf("FAIL: %s: not measured at 96 DPI\n", kv.first.c_str());
      ++faults;
      continue;
    }
    const long exact96 = it->second * dpi;  // 96 times the exact proportion
    if (std::labs(kv.second * 96 - exact96) > 96) {
      std::printf("FAIL: %s: %ld at %d DPI, %ld at 96 DPI (expected %.1f +-1)\n", kv.first.c_str(), kv.second, dpi,
                  it->second, exact96 / 96.0);
      ++faults;
    }
  }
  return faults;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 4) return 2;
  const std::wstring dir = argv[1];
  const std::wstring baseline = argc == 4 ? argv[2] : L"";
  const int expectedDpi = argc == 4 ? _wtoi(argv[3]) : kDesignDpi;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  const std::string programDir = fromWide(dir) + "\\program";
  CreateDirectoryW(toWide(programDir).c_str(), nullptr);
  DeleteFileW(toWide(programDir + "\\domains.mdb").c_str());
  seedDomains(programDir);

  Geometry g;
  int faults = 0;
  auto visit = [&](HWND w, const wchar_t* name, const std::string& key) {
    if (!saveWindowPicture(w, dir + L"\\" + name + L".bmp")) {
      std::printf("FAIL: no picture of %s\n", key.c_str());
      ++faults;
    }
  };
  {
    MainWindowOptions o;
    o.programDir = programDir;
    o.quitOnDestroy = false;
    MainWindow window(o);
    if (!window.create(instance)) return 3;
    window.show();
    if (!pumpUntil([&] { return window.refreshCount() >= 1; }, 60000)) {
      std::printf("FAIL: the main window's query job did not end\n");
      return 1;
    }
    std::printf("screen %d DPI, main window %d DPI\n", screenDpi(), window.dpi());
    if (window.dpi() != expectedDpi || screenDpi() != expectedDpi) {
      std::printf("FAIL: expected %d DPI\n", expectedDpi);
      ++faults;
    }
    measureMainWindow(g, window);
    // The caption shows the program's own icon, not the system's default.
    if (!window.icons().smallIcon() ||
        reinterpret_cast<HICON>(SendMessageW(window.hwnd(), WM_GETICON, ICON_SMALL, 0)) != window.icons().smallIcon()) {
      std::printf("FAIL: the caption does not show the program's icon\n");
      ++faults;
    }
    visit(window.hwnd(), L"main-window", "main");
    tourDialogs(window.hwnd(), [&](HWND w, const wchar_t* name) {
      const std::string key = fromWide(name);
      // The help window's pages share one layout: measured once.
      if (key.rfind("help-", 0) != 0 || key == "help-1-usage") measureWindow(g, w, key);
      visit(w, name, key);
    });
    DestroyWindow(window.hwnd());
  }
  writeGeometry(g, dir + L"\\geometry.txt");
  if (!baseline.empty()) faults += compare(g, readGeometry(baseline), expectedDpi);
  std::printf("%zu numbers measured, %d faults\n", g.size(), faults);
  return faults == 0 ? 0 : 1;
}
