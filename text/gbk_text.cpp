#include "text/gbk_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

namespace dvx {
namespace {

// Bytes taken by the character at i: two after a lead byte, unless the text
// ends right after it (a truncated pair counts as one byte, never read past).
inline size_t charLen(const std::string& s, size_t i) {
  return (isGbkLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

inline unsigned char foldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Whether `sub` occurs at byte i of `text`. With ignoreCase only ASCII letters
// fold; the byte after a lead byte of `sub` is a trail byte and compares exactly.
bool matchAt(const std::string& text, size_t i, const std::string& sub, bool ignoreCase) {
  const size_t m = sub.size();
  if (m == 0 || i > text.size() || text.size() - i < m) return false;
  if (!ignoreCase) return text.compare(i, m, sub) == 0;
  for (size_t k = 0; k < m; ++k) {
    const auto a = static_cast<unsigned char>(text[i + k]);
    const auto b = static_cast<unsigned char>(sub[k]);
    if (isGbkLead(b) && k + 1 < m) {
      if (a != b || text[i + k + 1] != sub[k + 1]) return false;
      ++k;
    } else if (foldAscii(a) != foldAscii(b)) {
      return false;
    }
  }
  return true;
}

// Byte of `text` at i as unsigned.
inline unsigned char byteAt(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }

// Next index >= i where `sub` could start, or npos. Ignoring case, the
// candidates come from memchr on the first byte of `sub` that has no case
// (every match holds it at the same offset); a sub of letters only falls
// back to a byte loop. Ignores character boundaries; the caller checks them.
size_t nextCandidate(const std::string& text, size_t i, const std::string& sub, bool ignoreCase) {
  const size_t n = text.size();
  if (i >= n) return std::string::npos;
  if (!ignoreCase) return text.find(sub, i);
  const size_t m = sub.size();
  if (n - i < m) return std::string::npos;
  size_t k = 0;
  while (k < m && foldAscii(byteAt(sub, k)) >= 'a' && foldAscii(byteAt(sub, k)) <= 'z') ++k;
  if (k < m) {
    const void* hit = std::memchr(text.data() + i + k, sub[k], n - m + 1 - i);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) - k : std::string::npos;
  }
  const unsigned char b0 = foldAscii(byteAt(sub, 0));
  const unsigned char b1 = static_cast<unsigned char>(b0 - ('a' - 'A'));
  for (; i < n; ++i) {
    const unsigned char c = byteAt(text, i);
    if (c == b0 || c == b1) return i;
  }
  return std::string::npos;
}

// Byte index of the first match at or after `from`, or npos. `from` counts
// as a character boundary. Candidates come from a byte search; whether a
// candidate c starts a character is settled without walking the whole text:
// any byte that cannot lead a pair is followed by a boundary, so from the
// last such byte before c (or from the last boundary already known) the
// bytes up to c are all lead bytes taken two at a time, and c is a boundary
// exactly when their count is even. Each byte is looked at backwards at
// most once, so the check stays linear.
size_t findFrom(const std::string& text, const std::string& sub, bool ignoreCase, size_t from) {
  if (sub.empty() || sub.size() > text.size()) return std::string::npos;
  size_t known = from;  // a character boundary at or before every later candidate
  size_t at = from;
  while ((at = nextCandidate(text, at, sub, ignoreCase)) != std::string::npos) {
    size_t j = at;
    while (j > known && isGbkLead(byteAt(text, j - 1))) --j;
    if ((at - j) % 2 == 0) {
      if (!ignoreCase || matchAt(text, at, sub, true)) return at;
      known = at;
      ++at;
    } else {
      // `at` is the trail byte of the pair that starts at at-1.
      known = at + 1;
      at = known;
    }
  }
  return std::string::npos;
}

inline bool isBlankAt(const std::string& s, size_t i) {
  if (s[i] == ' ') return true;
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0xA1 &&
         static_cast<unsigned char>(s[i + 1]) == 0xA1;
}

std::string mapAsciiLetters(const std::string& text, bool upper) {
  std::string out = text;
  for (size_t i = 0; i < out.size();) {
    const size_t len = charLen(out, i);
    if (len == 1) {
      char& c = out[i];
      if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
      if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    i += len;
  }
  return out;
}

}  // namespace

int findText(const std::string& text, const std::string& sub, bool ignoreCase) {
  const size_t at = findFrom(text, sub, ignoreCase, 0);
  return at == std::string::npos ? -1 : static_cast<int>(at + 1);
}

std::string replaceAll(const std::string& text, const std::string& sub, const std::string& with,
                       bool ignoreCase) {
  if (text.empty() || sub.empty()) return text;
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;
  size_t at = findFrom(text, sub, ignoreCase, 0);
  while (at != std::string::npos) {
    out.append(text, copied, at - copied);
    out += with;
    copied = at + sub.size();
    at = findFrom(text, sub, ignoreCase, copied);
  }
  out.append(text, copied, std::string::npos);
  return out;
}

std::string removeAll(const std::string& text, const std::string& sub) {
  return replaceAll(text, sub, std::string(), false);
}

std::string trimSpaces(const std::string& text) {
  const size_t n = text.size();
  size_t begin = 0;
  while (begin < n && isBlankAt(text, begin)) begin += text[begin] == ' ' ? 1 : 2;
  // Walk forward so that a trailing A1 A1 is only taken when it is a whole
  // character, never the trail byte of one pair plus a stray lead byte.
  size_t end = begin;
  for (size_t i = begin; i < n;) {
    const bool blank = isBlankAt(text, i);
    const size_t len = blank ? (text[i] == ' ' ? 1 : 2) : charLen(text, i);
    i += len;
    if (!blank) end = i;
  }
  return text.substr(begin, end - begin);
}

std::string textBefore(const std::string& text, const std::string& marker) {
  const int p = findText(text, marker, true);
  if (p <= 1) return std::string();
  return text.substr(0, static_cast<size_t>(p - 1));
}

std::string textAfter(const std::string& text, const std::string& marker) {
  const long long count = static_cast<long long>(text.size()) -
                          static_cast<long long>(textBefore(text, marker).size()) -
                          static_cast<long long>(marker.size());
  if (count <= 0) return std::string();
  return text.substr(text.size() - static_cast<size_t>(count));
}

namespace {

// The ASCII character a full-width pair folds to, or 0 when it stays as is.
inline char foldedPair(unsigned char a, unsigned char b) {
  if (a == 0xA3 && b >= 0xA1 && b <= 0xFE) return static_cast<char>(b - 0x80);
  if (a == 0xA1 && b == 0xA1) return ' ';
  if (a == 0xA1 && b == 0xAB) return '~';
  if (a == 0xA1 && (b == 0xEE || b == 0xEF)) return '*';
  return 0;
}

}  // namespace

std::string foldFullWidth(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const size_t len = charLen(text, i);
    const char folded = len == 2 ? foldedPair(byteAt(text, i), byteAt(text, i + 1)) : 0;
    if (folded != 0) {
      out += folded;
    } else {
      out.append(text, i, len);
    }
    i += len;
  }
  return out;
}

namespace {

inline bool isSpaceByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool isNumberByte(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

// The folded form of the only part toNumber can read: leading white space,
// then the run of characters a number is written with. The reader below
// treats the first other character like the end of the text, so cutting
// there gives the same value without folding a whole page.
std::string foldedNumberPrefix(const std::string& text) {
  std::string out;
  const size_t n = text.size();
  bool inNumber = false;
  for (size_t i = 0; i < n;) {
    const size_t len = charLen(text, i);
    const char c = len == 2 ? foldedPair(byteAt(text, i), byteAt(text, i + 1)) : text[i];
    if (c == 0) break;  // a pair that stays two bytes ends any number
    if (!inNumber && !isSpaceByte(c)) inNumber = true;
    if (inNumber && !isNumberByte(c)) break;
    out += c;
    i += len;
  }
  return out;
}

}  // namespace

double toNumber(const std::string& text) {
  const std::string s = foldedNumberPrefix(text);
  const size_t n = s.size();
  size_t i = 0;
  while (i < n && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;

  auto isDigit = [&](size_t k) { return k < n && s[k] >= '0' && s[k] <= '9'; };
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const size_t start = i;
  // Decimal exponent of the leading significant digit before the written
  // exponent: it tells overflow from underflow when the value is out of range.
  long long leadExponent = 0;
  bool significant = false;
  size_t digits = 0;
  while (isDigit(i)) {
    if (significant) ++leadExponent;
    else if (s[i] != '0') significant = true;
    ++i, ++digits;
  }
  if (i < n && s[i] == '.') {
    size_t j = i + 1;
    size_t frac = 0;
    long long leadingZeros = 0;
    bool fracSignificant = significant;
    while (isDigit(j)) {
      if (!fracSignificant) {
        if (s[j] == '0') ++leadingZeros;
        else fracSignificant = true;
      }
      ++j, ++frac;
    }
    if (digits + frac > 0) {
      i = j;
      digits += frac;
      if (!significant && fracSignificant) leadExponent = -(leadingZeros + 1);
      significant = fracSignificant;
    }
  }
  if (digits == 0) return 0.0;
  long long exponent = 0;  // saturated well beyond any double's range
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool exponentNegative = false;
    if (j < n && (s[j] == '+' || s[j] == '-')) {
      exponentNegative = s[j] == '-';
      ++j;
    }
    if (isDigit(j)) {
      while (isDigit(j)) {
        if (exponent < 100000000) exponent = exponent * 10 + (s[j] - '0');
        ++j;
      }
      i = j;
    }
    if (exponentNegative) exponent = -exponent;
  }
  // from_chars reads the C grammar whatever the locale; the span is already
  // known to be a well-formed unsigned number. Out of range, the value's own
  // magnitude decides: too large is infinity, too small is zero.
  double value = 0.0;
  const auto res = std::from_chars(s.data() + start, s.data() + i, value);
  if (res.ec == std::errc::result_out_of_range) {
    value = significant && leadExponent + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (res.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

std::string asciiUpper(const std::string& text) { return mapAsciiLetters(text, true); }
std::string asciiLower(const std::string& text) { return mapAsciiLetters(text, false); }

int32_t toInteger(const std::string& text) {
  const double value = toNumber(text);
  if (!(value == value)) return 0;  // NaN
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);  // truncates toward zero
}

}  // namespace dvx
