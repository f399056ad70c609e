#include "ui/dialogs/tests/win/dialog_tour_win.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "ui/dialogs/add_domains_dialog_win.h"
#include "ui/dialogs/export_dialog_win.h"
#include "ui/dialogs/find_box_win.h"
#include "ui/dialogs/help_centre_win.h"
#include "ui/dialogs/modify_domain_dialog_win.h"
#include "ui/dialogs/process_launcher.h"

namespace dvx {

namespace {

std::function<void()> g_step;

class NoLauncher : public ProcessLauncher {
 public:
  void launch(const std::string&) override {}
};

class NoFiles : public FilePlatform {
 public:
  MadeDirectory createDirectory(const std::filesystem::path&) override { return MadeDirectory::Failed; }
  bool writeWholeFile(const std::filesystem::path&, const std::string&) override { return false; }
  std::filesystem::path windowsDirectory() override { return "C:\\windows"; }
  std::filesystem::path systemDirectory() override { return "C:\\windows\\system32"; }
};

void CALLBACK stepTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto step = std::move(g_step);
  if (step) step();
}

// Runs `step` from inside the next modal loop, once it idles.
void soon(std::function<void()> step) {
  g_step = std::move(step);
  SetTimer(nullptr, 0, 300, &stepTimer);
}

}  // namespace

void tourDialogs(HWND owner, const std::function<void(HWND, const wchar_t*)>& visit) {
  NoLauncher launcher;
  NoFiles files;

  AddDomainsDialog add;
  soon([&] {
    SetWindowTextW(add.input(), L"example.com\r\nwww.例子.cn\r\nEXAMPLE.NET");
    visit(add.hwnd(), L"add-domains");
    SendMessageW(GetDlgItem(add.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  });
  add.run();

  ModifyDomainDialog modify;
  modify.initialName = "example.com";
  modify.launcher = &launcher;
  soon([&] {
    visit(modify.hwnd(), L"modify-domain");
    SendMessageW(GetDlgItem(modify.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  });
  modify.run();

  ExportSettingsDialog exporter;
  exporter.files = &files;
  exporter.launcher = &launcher;
  HWND e = exporter.open(owner);
  visit(e, L"export");
  DestroyWindow(e);

  FindBox find;
  find.open(owner);
  SetWindowTextW(GetDlgItem(find.hwnd(), FindBox::kIdText), L"example");
  visit(find.hwnd(), L"find");
  DestroyWindow(find.hwnd());

  HelpCentreWindow help;
  help.launcher = &launcher;
  HWND h = help.open(owner);
  const wchar_t* names[] = {L"help-1-usage", L"help-2-expiry", L"help-3-links", L"help-4-whois"};
  for (int i = 0; i < 4; ++i) {
    SendMessageW(help.tabs(), TCM_SETCURFOCUS, i, 0);
    visit(h, names[i]);
  }
  DestroyWindow(h);
}

}  // namespace dvx
