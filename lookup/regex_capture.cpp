#include "lookup/regex_capture.h"

#include <locale>

#include <boost/regex.hpp>

namespace dvx {
namespace {

// The C++-locale traits imbued with the classic locale on every platform:
// only ASCII letters fold and only ASCII blanks count as \s, so GBK lead and
// trail bytes are never folded or classified by the user's code page (the
// Windows default traits would follow the system locale).
using Regex = boost::basic_regex<char, boost::cpp_regex_traits<char>>;

// No mod_s would also let "." match line breaks (match_not_dot_newline is
// never passed); mod_s pins it regardless of flags.
constexpr Regex::flag_type kCaptureFlags =
    boost::regex_constants::perl | boost::regex_constants::icase | boost::regex_constants::mod_s;

void compileInto(Regex& re, const std::string& pattern, Regex::flag_type flags) {
  re.imbue(std::locale::classic());
  re.assign(pattern, flags);
}

}  // namespace

std::string firstCapture(const std::string& text, const std::string& pattern) {
  if (text.empty()) return std::string();
  try {
    Regex re;
    compileInto(re, pattern, kCaptureFlags);
    boost::match_results<std::string::const_iterator> m;
    if (boost::regex_search(text.begin(), text.end(), m, re, boost::match_default) &&
        m.size() > 1 && m[1].matched) {
      return m[1].str();
    }
  } catch (...) {
    // Bad pattern, complexity or memory limit: the value was not found.
  }
  return std::string();
}

}  // namespace dvx
