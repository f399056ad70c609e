#include "lookup/labelled_capture.h"

#include <functional>

namespace dvx {
namespace {

inline unsigned char fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline bool isLetter(unsigned char c) { return fold(c) >= 'a' && fold(c) <= 'z'; }

// The \s of the classic locale.
inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

size_t findFolded(const std::string& text, const std::string& needle, size_t from) {
  const size_t n = text.size();
  const size_t m = needle.size();
  if (m == 0) return from <= n ? from : std::string::npos;
  if (from > n || n - from < m) return std::string::npos;
  auto matchesAt = [&](size_t i) {
    for (size_t k = 0; k < m; ++k) {
      if (fold(static_cast<unsigned char>(text[i + k])) != fold(static_cast<unsigned char>(needle[k])))
        return false;
    }
    return true;
  };
  // Anchor on the needle's longest run of bytes without case, which must
  // occur exactly; the library's substring search finds its candidates.
  size_t anchor = 0, anchorLength = 0;
  for (size_t k = 0; k < m;) {
    size_t run = 0;
    while (k + run < m && !isLetter(static_cast<unsigned char>(needle[k + run]))) ++run;
    if (run > anchorLength) anchor = k, anchorLength = run;
    k += run + 1;
  }
  if (anchorLength == 0) {  // letters only
    for (size_t i = from; i + m <= n; ++i) {
      if (matchesAt(i)) return i;
    }
    return std::string::npos;
  }
  const char* const begin = text.data();
  const char* const end = begin + (n - (m - anchor - anchorLength));  // the whole needle fits
  const std::boyer_moore_horspool_searcher<const char*> searcher(needle.data() + anchor,
                                                                 needle.data() + anchor + anchorLength);
  for (const char* at = begin + from + anchor;; ++at) {
    at = searcher(at, end).first;
    if (at == end) return std::string::npos;
    const size_t i = static_cast<size_t>(at - begin) - anchor;
    if (matchesAt(i)) return i;
  }
}

std::string labelledCapture(const std::string& text, const std::string& label,
                            const std::string& open, const std::string& close) {
  size_t at = findFolded(text, label, 0);
  if (at == std::string::npos) return std::string();
  at += label.size();
  if (!open.empty()) {
    at = findFolded(text, open, at);
    if (at == std::string::npos) return std::string();
    at += open.size();
  }
  const size_t end = findFolded(text, close, at);
  if (end == std::string::npos) return std::string();
  return text.substr(at, end - at);
}

std::string charsetCapture(const std::string& text) {
  size_t at = findFolded(text, "charset=", 0);
  if (at == std::string::npos) return std::string();
  at += 8;
  while (at < text.size() && isBlank(text[at])) ++at;
  // Lazy capture up to the first '>', blank or '*'. Without one the regular
  // expression gives blanks back and captures nothing, or does not match.
  for (size_t end = at; end < text.size(); ++end) {
    const char c = text[end];
    if (c == '>' || c == '*' || isBlank(c)) return text.substr(at, end - at);
  }
  return std::string();
}

std::string stripTags(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;
  for (;;) {
    const size_t open = text.find('<', copied);
    const size_t close = open == std::string::npos ? open : text.find('>', open + 1);
    // No ">" after this "<" means none after any later one either.
    if (close == std::string::npos) break;
    out.append(text, copied, open - copied);
    copied = close + 1;
  }
  out.append(text, copied, std::string::npos);
  return out;
}

}  // namespace dvx
