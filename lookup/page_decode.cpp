#include "lookup/page_decode.h"

#include "lookup/labelled_capture.h"
#include "text/gbk_text.h"

namespace dvx {

std::string bytesAsText(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

std::string resultsPageText(const std::string& bytes) {
  std::string raw = bytesAsText(bytes);
  // A plain substring test: charset="utf-8" or charset= utf-8 is not seen
  // and such a page is read unconverted.
  if (findText(raw, "charset=utf-8", true) != -1) return utf8ToGbk(bytes);
  return raw;
}

std::string sitePageText(const std::string& bytes) {
  std::string raw = bytesAsText(bytes);
  // "charset=\s*(.*?)[>\s*]" in one linear pass. The capture keeps any
  // quote after the value, and "utf8" without the hyphen does not count, so
  // such pages stay GBK.
  std::string charset = charsetCapture(raw);
  if (findText(charset, "utf-8", true) != -1) return utf8ToGbk(bytes);
  return raw;
}

std::string fetchSiteText(PageFetcher& fetcher, const std::string& url) {
  try {
    return sitePageText(fetcher.fetchBytes(url));
  } catch (...) {
    return std::string();
  }
}

}  // namespace dvx
