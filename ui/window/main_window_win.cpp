#include "ui/window/main_window_win.h"

#include <commctrl.h>

#include <filesystem>

#include "text/codepage.h"
#include "ui/list/anchoring_win.h"
#include "ui/list/row_icons_win.h"
#include "startup/store_startup.h"
#include "ui/window/query_job_win.h"
#include "text/gbk_text.h"
#include "ui/common/ui_thread_win.h"
#include "ui/common/app_messages_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {

constexpr int kWindowWidth = 926, kWindowHeight = 467;
constexpr COLORREF kHintGrey = RGB(192, 192, 192);

struct ButtonSpec {
  int id;
  const char* caption;
  int x, y, w, h;
  bool initiallyEnabled;
};

const ButtonSpec kButtons[] = {
    {kIdTitleCheck, "取标题(&T)", 464, 366, 83, 28, true},
    {kIdRequeryFailed, "重查错误项", 464, 395, 83, 28, true},
    {kIdAdd, "添加(&A)", 549, 366, 83, 28, true},
    {kIdDelete, "删除选中(&D)", 633, 366, 83, 28, false},
    {kIdRequeryOne, "重查选中(&C)", 717, 366, 83, 28, false},
    {kIdRequeryAll, "全部重查(&F)", 800, 366, 83, 28, false},
    {kIdExport, "导出(&L)", 633, 395, 83, 28, true},
    {kIdHelp, "帮助(&H)", 717, 395, 83, 28, true},
    {kIdClose, "关闭(&E)", 800, 395, 83, 28, true},
};

struct ColumnSpec {
  const char* title;
  int width;
};

const ColumnSpec kColumns[] = {
    {"编号", 46},      {"域名 (双击修改)", 180}, {"所有者", 0},     {"管理员", 0},
    {"注册日期", 120}, {"过期日期", 120},        {"域名商", 150},   {"百度收录", 80},
    {"百度关键词", 0}, {"Google收录", 0},        {"ID", 0},
};

}  // namespace

std::string mainColumnTitle(int column) {
  const int count = static_cast<int>(sizeof kColumns / sizeof kColumns[0]);
  return column >= 0 && column < count ? kColumns[column].title : "";
}
const wchar_t MainWindow::kClassName[] = L"DomivexMainWindow";

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {}

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (keys_) DestroyAcceleratorTable(keys_);
}

HWND MainWindow::create(HINSTANCE instance) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &MainWindow::wndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"IDI_DOMIVEX");
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0;
  }
  const std::wstring title = toWide(productTitle());
  // The screen's DPI for now; onCreate corrects it when the window landed
  // on a screen of another.
  dpi_ = screenDpi();
  const DpiBox at = scaleBox(DpiBox{50, 50, kWindowWidth, kWindowHeight}, dpi_);
  CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.x, at.y, at.width,
                  at.height, nullptr, nullptr, instance, this);
  return hwnd_;
}

void MainWindow::show() {
  if (!hwnd_) return;
  if (centreOnShow_) {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  ShowWindow(hwnd_, showCommand_);
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::wndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->handle(msg, wParam, lParam);
  } catch (...) {
    // No exception crosses the window procedure.
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT MainWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == TaskbarProgress::buttonCreatedMessage()) {
    taskbar_.attach(hwnd_);
    return 0;
  }
  switch (msg) {
    case WM_CREATE: return onCreate();
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_SYSCOMMAND:
      if (onSysCommand(static_cast<UINT>(wParam & 0xFFF0)) ||
          onReminderCommand(static_cast<UINT>(wParam & 0xFFF0)))
        return 0;
      break;  // the system's own: moving, sizing, closing
    case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_NOTIFY: return onNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
      return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_APP_RUN: return handleRunMessage(wParam);
    case WM_INITMENUPOPUP:
      onInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
      break;
    case WM_COPYDATA: return onCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_APP_DUE_CHECK: startDueCheckWhenIdle(); return 0;
    case WM_DPICHANGED: onDpiChanged(dpiFromMessage(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_DESTROY: onDestroy(); return 0;
    case WM_NCDESTROY: {
      const LRESULT r = DefWindowProcW(hwnd_, msg, wParam, lParam);
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return r;
    }
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void MainWindow::createControls() {
  HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  fonts_.reset(dpi_);
  HFONT listFont = fonts_.get(L"Arial", -12);
  HFONT hintFont = fonts_.get(L"宋体", -14);
  HFONT uiFont = fonts_.get(L"宋体", -12);
  // Every number below is a 96-DPI one, placed at the window's DPI.
  auto create = [&](DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style, DpiBox box96,
                    int id) {
    const DpiBox b = scaleBox(box96, dpi_);
    return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, b.x, b.y, b.width,
                           b.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
  };

  HWND list = create(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA,
                     DpiBox{7, 7, 905, 346}, kIdList);
  list_ = list;
  rowView_.attach(list, &rows_);  // the list shows rows_ and keeps no text of its own
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), FALSE);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(createRowImageList(dpi_)));
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
  SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
  for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
    std::wstring t = toWide(kColumns[i].title);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = &t[0];
    col.cx = scaleForDpi(kColumns[i].width, dpi_);
    col.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }

  auto label = [&](int id, const char* text, DpiBox box96) {
    HWND l = create(WS_EX_TRANSPARENT, L"STATIC", toWide(text), WS_DISABLED | SS_LEFT, box96, id);
    SendMessageW(l, WM_SETFONT, reinterpret_cast<WPARAM>(hintFont), FALSE);
  };
  label(kIdHint1, "本软件能批量查询域名过期日期,以便您及时续费", DpiBox{17, 368, 407, 24});
  label(kIdHint2, "软件将不断升级增强功能,欢迎大家提出宝贵意见和建议!", DpiBox{17, 396, 367, 24});

  HWND check = create(0, L"BUTTON", toWide("按过期日期排序"), WS_TABSTOP | BS_AUTOCHECKBOX,
                      DpiBox{340, 369, 113, 24}, kIdSortCheck);
  SendMessageW(check, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), FALSE);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);  // the designed state is ticked

  for (const ButtonSpec& b : kButtons) {
    HWND h = create(0, L"BUTTON", toWide(b.caption), WS_TABSTOP | BS_PUSHBUTTON, DpiBox{b.x, b.y, b.w, b.h}, b.id);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), FALSE);
    EnableWindow(h, b.initiallyEnabled);
  }
}

LRESULT MainWindow::onCreate() {
  const int dpi = windowDpi(hwnd_);
  if (dpi != dpi_) {
    dpi_ = dpi;
    const DpiBox at = scaleBox(DpiBox{50, 50, kWindowWidth, kWindowHeight}, dpi_);
    SetWindowPos(hwnd_, nullptr, at.x, at.y, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  createControls();
  // The caption and taskbar icons drawn for this DPI, not scaled from 32 px.
  icons_.apply(hwnd_, L"IDI_DOMIVEX", dpi_);
  addSystemMenuItems();
  DragAcceptFiles(hwnd_, TRUE);
  addReminderMenuItems();
  runStartup();
  return 0;
}

void MainWindow::runStartup() {
  StartupPlaces places = chooseStartupPlaces(options_.files, options_.programDir);
  databasePath_ = places.databasePath;
  settings_ = places.settings;
  hosts_ = places.hosts;
  setWindowText(hwnd_, productTitle());

  // The list stretches, the labels and the option stay bottom-left, the
  // buttons bottom-right.
  anchorControl(control(kIdList), 1, dpi_);
  for (int id : {kIdHint1, kIdHint2, kIdSortCheck}) anchorControl(control(id), 2, dpi_);
  for (const ButtonSpec& b : kButtons) anchorControl(control(b.id), 3, dpi_);

  storeErrors_ = std::make_unique<PromptStoreErrors>(options_.prompter);
  OpenedStore opened = openStartupStore(places, options_.files, options_.prompter, storeErrors_.get());
  migrated_ = opened.migrated;
  if (!opened.store) {
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  store_ = std::move(opened.store);
  reloadList();

  // An absent key keeps the window's current (normal) state.
  const int state = toInteger(settings_.ReadSetting(kKeyWindowState, "0"));
  applyWindowState(state);

  HWND check = control(kIdSortCheck);
  const bool ticked = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::string sortSetting = settings_.ReadSetting(kKeySortByExpiry, ticked ? kYes : kNo);
  SendMessageW(check, BM_SETCHECK, sortSetting == kYes ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::applyWindowState(int state) {
  // The window is not visible yet: it takes the state when it is shown.
  centreOnShow_ = false;
  switch (state) {
    case 1: showCommand_ = SW_SHOWNORMAL; centreOnShow_ = true; break;
    case 2: showCommand_ = SW_SHOWMINIMIZED; break;
    case 3: showCommand_ = SW_SHOWMAXIMIZED; break;
    default: showCommand_ = SW_SHOWNORMAL; break;
  }
  if (IsWindowVisible(hwnd_)) show();
}

void MainWindow::onDpiChanged(int dpi, const RECT* suggested) {
  const int from = dpi_;
  dpi_ = dpi;
  fonts_.rescale(hwnd_, dpi_);
  icons_.apply(hwnd_, L"IDI_DOMIVEX", dpi_);
  // The icons are drawn again at the new size; the list gives back the old set.
  if (HIMAGELIST old = reinterpret_cast<HIMAGELIST>(SendMessageW(
          list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(createRowImageList(dpi_)))))
    ImageList_Destroy(old);
  for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
    const int now = static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, i, 0));
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, i, rescaleKeepingDesign(now, kColumns[i].width, from, dpi_));
  }
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::onDestroy() {
  // 1 (centred) is never written back.
  const char* state = IsIconic(hwnd_) ? "2" : IsZoomed(hwnd_) ? "3" : "0";
  settings_.WriteSetting(kKeyWindowState, state);
  reminderTray_.close();  // the process ends without destructors
  // A running job is not waited for: a lookup still fetching is dropped.
  if (job_) job_->abandon();
  for (const auto& worker : {addJob_, titleJob_})
    if (worker) worker->abandoned = true;
  if (options_.quitOnDestroy) PostQuitMessage(0);
}

void MainWindow::onCommand(int id, int code) {
  switch (id) {
    case kIdClose: PostMessageW(hwnd_, WM_CLOSE, 0, 0); break;
    case kIdDelete: deleteSelected(); break;
    case kIdRequeryOne: requeryOne(); break;
    case kIdRequeryAll: requeryAll(); break;
    case kIdRequeryFailed: requeryFailed(); break;
    case kIdAdd: onAddClicked(); break;
    case kIdTitleCheck: startTitleCheck(); break;
    case kIdExport:
      export_.readRows = [this] { return exportRows(rows_); };
      export_.files = options_.files;
      export_.launcher = options_.launcher;
      export_.open(hwnd_);
      break;
    case kIdHelp:
      help_.launcher = options_.launcher;
      help_.open(hwnd_);
      break;
    case kIdSortCheck:
      if (code == BN_CLICKED) onSortOptionClicked();
      break;
    case kIdFindOpen: openFindBox(); break;
    case kIdFindAgain: findAgain(); break;
    default: break;
  }
}

void MainWindow::onSortOptionClicked() {
  const bool ticked = SendMessageW(control(kIdSortCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings_.WriteSetting(kKeySortByExpiry, ticked ? kYes : kNo);
  if (options_.prompter)
    options_.prompter->notify("您的修改将在下次重新打开软件时生效!", "提示", PromptIcon::Question);
}

LRESULT MainWindow::onCtlColorStatic(HDC dc, HWND ctl) {
  const int id = GetDlgCtrlID(ctl);
  if (id == kIdHint1 || id == kIdHint2) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kHintGrey);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (id == kIdSortCheck) {
    // The check box takes the main window's background colour.
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(ctl));
}

}  // namespace dvx
