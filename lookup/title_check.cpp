#include "lookup/title_check.h"

#include "lookup/labelled_capture.h"
#include "lookup/page_decode.h"
#include "text/gbk_text.h"

namespace dvx {

const char* const kDangerKeywords[4] = {"娱乐城", "-999", "六合", "博彩"};

std::string withScheme(const std::string& domain) {
  // The schemes are ASCII, so only the first bytes need lowering.
  const std::string head = asciiLower(domain.substr(0, 8));
  if (head.compare(0, 7, "http://") == 0 || head.compare(0, 8, "https://") == 0) return domain;
  return "http://" + domain;
}

std::string siteTitleText(PageFetcher& fetcher, const std::string& domain) {
  try {
    const std::string page = fetchSiteText(fetcher, withScheme(domain));
    // The leftmost match of "<title>(.*?)</title>", in one linear pass.
    std::string title = labelledCapture(page, "<title>", "", "</title>");;
    if (title.empty()) title = "未正确获取到!";
    // The whole page counts, markup and scripts included: a hijacked site
    // often hides its advertising there.
    std::string found;
    for (const char* keyword : kDangerKeywords) {
      if (findText(page, keyword, false) != -1) {
        found += keyword;
        found += ' ';
      }
    }
    if (!found.empty()) return "(警告!检测到危险关键词! " + found + ")" + title;
    return title;
  } catch (...) {
    return std::string();  // out of memory: the cell stays empty
  }
}

}  // namespace dvx
