// Every fixed capture the parsers take linearly, beside the regular
// expression whose leftmost match it stands for: the native tests and the
// fuzz target check that both give the same text.
#pragma once
#include <locale>
#include <string>

#include <boost/regex.hpp>

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

// The regular-expression tag stripping that stripTags replaced; the empty
// text when the engine gives up.
inline std::string regexStripTags(const std::string& text) {
  try {
    boost::basic_regex<char, boost::cpp_regex_traits<char>> re;
    re.imbue(std::locale::classic());
    re.assign("<.*?>", boost::regex_constants::perl | boost::regex_constants::mod_s);
    return boost::regex_replace(text, re, std::string(), boost::match_default);
  } catch (...) {
    return std::string();
  }
}

// The first pattern whose linear capture differs from the regular
// expression's on `text`, or nullptr. The charset capture counts as the
// pattern named kCharsetRegex, the tag stripping as "<.*?>".
inline const char* firstDisagreement(const std::string& text) {
  for (const CapturePattern& p : kCapturePatterns) {
    if (labelledCapture(text, p.label, p.open, p.close) != firstCapture(text, p.regex)) return p.regex;
  }
  if (charsetCapture(text) != firstCapture(text, kCharsetRegex)) return kCharsetRegex;
  if (stripTags(text) != regexStripTags(text)) return "<.*?>";
  return nullptr;
}

}  // namespace testing
}  // namespace dvx
