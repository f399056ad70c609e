#include "lookup/labelled_capture.h"

#include <cstring>

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
  // Anchor on the needle's first byte that has no case, found with memchr.
  size_t anchor = 0;
  while (anchor < m && isLetter(static_cast<unsigned char>(needle[anchor]))) ++anchor;
  auto matchesAt = [&](size_t i) {
    for (size_t k = 0; k < m; ++k) {
      if (fold(static_cast<unsigned char>(text[i + k])) != fold(static_cast<unsigned char>(needle[k])))
        return false;
    }
    return true;
  };
  if (anchor == m) {  // letters only
    for (size_t i = from; i + m <= n; ++i) {
      if (matchesAt(i)) return i;
    }
    return std::string::npos;
  }
  const char* base = text.data();
  size_t at = from + anchor;
  const size_t last = n - m + anchor;  // the last index the anchor can sit at
  while (at <= last) {
    const void* hit = std::memchr(base + at, needle[anchor], last - at + 1);
    if (hit == nullptr) return std::string::npos;
    at = static_cast<size_t>(static_cast<const char*>(hit) - base);
    if (matchesAt(at - anchor)) return at - anchor;
    ++at;
  }
  return std::string::npos;
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
