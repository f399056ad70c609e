#include "ui/dialogs/help_centre_win.h"

#include <commctrl.h>

#include "ui/common/wide_win.h"

namespace dvx {

namespace {

constexpr COLORREF kLinkBlue = RGB(0, 136, 255);
constexpr COLORREF kNoteGrey = RGB(192, 192, 192);

struct Rect {
  int x, y, w, h;
};

// Page 1: heading, rule under it to the right, text below.
struct UsageSection {
  Rect heading, rule, text;
};
const UsageSection kUsageLayout[kUsageSectionCount] = {
    {{20, 45, 132, 24}, {141, 56, 416, 2}, {28, 66, 504, 59}},
    {{20, 129, 185, 24}, {189, 140, 368, 2}, {28, 150, 504, 59}},
    {{22, 208, 111, 24}, {131, 219, 424, 2}, {30, 229, 527, 59}},
};

struct LinkRow {
  Rect label, link;
};
const LinkRow kLinkLayout[kProviderLinkCount] = {
    {{42, 58, 40, 16}, {104, 58, 254, 16}},  {{42, 84, 40, 16}, {103, 84, 313, 16}},
    {{42, 109, 53, 16}, {103, 109, 169, 16}}, {{42, 133, 53, 16}, {104, 133, 232, 16}},
    {{43, 160, 53, 16}, {105, 160, 164, 16}},
};

bool isLinkId(int id) {
  return id >= HelpCentreWindow::kIdLink1 && id < HelpCentreWindow::kIdLink1 + kProviderLinkCount;
}

}  // namespace

// 宋体 12 px for the page texts. SimSun's line is as tall as its characters;
// a substitute font with taller lines (as under Wine) would push the last
// lines out of their labels, so its line is capped at 14 pixels (at 96 DPI).
HFONT HelpCentreWindow::makeBodyFont(bool underline) {
  HFONT body = font(L"宋体", -12, false, underline);
  TEXTMETRICW tm{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, body);
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (tm.tmHeight <= scaled(14)) return body;
  return font(L"宋体", 14, false, underline);  // positive: the whole line
}

HWND HelpCentreWindow::open(HWND owner) {
  if (hwnd()) {
    bringToFront();
    return hwnd();
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  if (!createWindow("帮助中心", 597, 396, owner, CLR_INVALID)) return nullptr;
  ShowWindow(hwnd(), SW_SHOW);
  return hwnd();
}

int HelpCentreWindow::currentPage() const {
  return tabs_ ? static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)) : -1;
}

void HelpCentreWindow::onCreate() {
  linkBrush_.reset(CreateSolidBrush(kDialogBackground));
  for (auto& page : pages_) page.clear();

  // The tab control does not clip its children: it paints its face first
  // and the transparent labels on it afterwards. The Tab key reaches the
  // controls of the page shown.
  tabs_ = createChild(hwnd(), WC_TABCONTROLW, std::string(), WS_TABSTOP | WS_CLIPSIBLINGS, 3, 3, 584, 319,
                      kIdTabs, uiFont(), WS_EX_CONTROLPARENT);
  forwardChildMessages(tabs_);
  for (int i = 0; i < kHelpTabCount; ++i) {
    std::wstring title = toWide(kHelpTabTitles[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &title[0];
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  createUsagePage();
  createExpiryPage();
  createLinksPage();
  createReferencePage();
  createChild(hwnd(), L"BUTTON", "关闭", WS_TABSTOP | BS_PUSHBUTTON, 463, 327, 120, 27, IDCANCEL, uiFont());
  showPage(0);
  setInitialFocus(tabs_);
}

HWND HelpCentreWindow::pageChild(int page, const wchar_t* cls, const std::string& text, DWORD style, int x, int y,
                                 int w, int h, int id, HFONT font) {
  // Created hidden; showPage shows one page's controls at a time.
  HWND c = createChild(tabs_, cls, text, style, x, y, w, h, id, font);
  ShowWindow(c, SW_HIDE);
  pages_[page].push_back(c);
  return c;
}

void HelpCentreWindow::createUsagePage() {
  for (int s = 0; s < kUsageSectionCount; ++s) {
    const UsageSection& l = kUsageLayout[s];
    pageChild(0, L"STATIC", kUsageHeadings[s], SS_LEFT | SS_NOPREFIX, l.heading.x, l.heading.y, l.heading.w,
              l.heading.h, kIdHeading1 + s, uiFont());
    pageChild(0, L"STATIC", std::string(), SS_OWNERDRAW, l.rule.x, l.rule.y, l.rule.w, l.rule.h, kIdRule1 + s,
              nullptr);
    pageChild(0, L"STATIC", usageSectionText(s), SS_LEFT | SS_NOPREFIX, l.text.x, l.text.y, l.text.w, l.text.h,
              kIdUsageText1 + s, makeBodyFont(false));
  }
  HWND note = pageChild(0, L"STATIC", kUsageNote, SS_LEFT | SS_NOPREFIX, 31, 284, 376, 24, kIdUsageNote,
                        makeBodyFont(false));
  EnableWindow(note, FALSE);  // shown greyed
}

void HelpCentreWindow::createExpiryPage() {
  // A read-only edit rather than a label: the page's text is taller than its
  // box, and the edit scrolls to its last sentence.
  pageChild(1, L"EDIT", expiryKnowledgeText(), ES_MULTILINE | ES_READONLY | WS_VSCROLL, 29, 52, 520, 272,
            kIdExpiryText, makeBodyFont(false));
}

void HelpCentreWindow::createLinksPage() {
  for (int i = 0; i < kProviderLinkCount; ++i) {
    const LinkRow& l = kLinkLayout[i];
    pageChild(2, L"STATIC", kProviderLinks[i].provider, SS_LEFT | SS_NOPREFIX, l.label.x, l.label.y, l.label.w,
              l.label.h, kIdProvider1 + i, makeBodyFont(false));
    HWND link = pageChild(2, L"STATIC", kProviderLinks[i].url, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, l.link.x,
                          l.link.y, l.link.w, l.link.h, kIdLink1 + i, makeBodyFont(true));
    markAsLink(link);
  }
}

void HelpCentreWindow::createReferencePage() {
  HWND frame = createFrame(tabs_, kIdReferenceFrame, 11, 31, 558, 272);
  ShowWindow(frame, SW_HIDE);
  pages_[3].push_back(frame);
  reference_ = createChild(frame, L"EDIT", whoisReferenceText(),
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 7, 7, 543, 256,
                           kIdReference, uiFont());
}

void HelpCentreWindow::showPage(int page) {
  for (int p = 0; p < kHelpTabCount; ++p)
    for (HWND c : pages_[p]) ShowWindow(c, p == page ? SW_SHOW : SW_HIDE);
}

bool HelpCentreWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  if (item.CtlType != ODT_STATIC || id < kIdRule1 || id >= kIdRule1 + kUsageSectionCount) return false;
  // An etched rule: a shadow line over a highlight line. (An SS_ETCHEDHORZ
  // static would widen itself by its edge.)
  const RECT& r = item.rcItem;
  RECT shadow{r.left, r.top, r.right, r.top + 1};
  RECT light{r.left, r.top + 1, r.right, r.top + 2};
  FillRect(item.hDC, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
  FillRect(item.hDC, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  return true;
}

LRESULT HelpCentreWindow::onNotify(NMHDR* header) {
  if (header && header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
    showPage(currentPage());
    return 0;
  }
  return ToolWindow::onNotify(header);
}

void HelpCentreWindow::onCommand(int id, int code, HWND) {
  if (id == IDCANCEL && code == BN_CLICKED) {
    if (hwnd()) DestroyWindow(hwnd());
  } else if (isLinkId(id) && code == STN_CLICKED) {
    if (launcher) launcher->launch(std::string("explorer \"") + kProviderLinks[id - kIdLink1].url + "\"");
  }
}

LRESULT HelpCentreWindow::onCtlColor(UINT msg, HDC dc, HWND control) {
  if (msg != WM_CTLCOLORSTATIC || !tabs_ || !IsChild(tabs_, control)) return ToolWindow::onCtlColor(msg, dc, control);
  const int id = GetDlgCtrlID(control);
  if (isLinkId(id)) {
    SetTextColor(dc, kLinkBlue);
    SetBkColor(dc, kDialogBackground);
    return reinterpret_cast<LRESULT>(linkBrush_.get());
  }
  if (control == reference_ || id == kIdExpiryText) {
    // A read-only edit asks as a label does; it stays black on white.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  // Labels on the tab's face: text only, the face shows through.
  if (id == kIdUsageNote) SetTextColor(dc, kNoteGrey);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

}  // namespace dvx
