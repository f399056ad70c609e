// Every fixed capture the parsers take linearly, beside the regular
// expression whose leftmost match it stands for: the native tests and the
// fuzz target check that both give the same text.
#pragma once
#include <string>

#include "lookup/labelled_capture.h"
#include "lookup/regex_capture.h"

namespace dvx {
namespace testing {

struct CapturePattern {
  const char* label;
  const char* open;
  const char* close;
  const char* regex;
};

inline const CapturePattern kCapturePatterns[] = {
    {"创建时间", "<td>", "</td>", "创建时间.*?<td>(.*?)<\\/td>"},
    {"注册时间", "<td>", "</td>", "注册时间.*?<td>(.*?)<\\/td>"},
    {"过期时间", "<td>", "</td>", "过期时间.*?<td>(.*?)<\\/td>"},
    {"注册商", "<td>", "</td>", "注册商.*?<td>(.*?)<\\/td>"},
    {"域名所有者", "<span>", "</span>", "域名所有者.*?<span>(.*?)<\\/span>"},
    {"注册人", "<span>", "</span>", "注册人.*?<span>(.*?)<\\/span>"},
    {"Created On:", "", "</span>", "Created On\\:(.*?)<\\/span>"},
    {"Expiration Date:", "", "</span>", "Expiration Date\\:(.*?)<\\/span>"},
    {"<title>", "", "</title>", "<title>(.*?)</title>"},
};

inline const char kCharsetRegex[] = "charset=\\s*(.*?)[>\\s*]";

// The first pattern whose linear capture differs from the regular
// expression's on `text`, or nullptr. The charset capture counts as the
// pattern named kCharsetRegex.
inline const char* firstDisagreement(const std::string& text) {
  for (const CapturePattern& p : kCapturePatterns) {
    if (labelledCapture(text, p.label, p.open, p.close) != firstCapture(text, p.regex)) return p.regex;
  }
  if (charsetCapture(text) != firstCapture(text, kCharsetRegex)) return kCharsetRegex;
  return nullptr;
}

}  // namespace testing
}  // namespace dvx
