#include "lookup/rdap_base_check.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "text/gbk_text.h"

namespace dvx {
namespace {

// One part of a numeric IPv4 host: decimal, octal with a leading 0, or hex
// with 0x, as inet_aton reads them; false when it is not a number or
// exceeds `max`.
bool readV4Part(const std::string& part, uint64_t max, uint64_t& value) {
  if (part.empty()) return false;
  unsigned base = 10;
  size_t i = 0;
  if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (part.size() > 1 && part[0] == '0') {
    base = 8;
    i = 1;
  }
  value = 0;
  for (; i < part.size(); ++i) {
    const char c = part[i];
    unsigned d;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    if (d >= base) return false;
    value = value * base + d;
    if (value > max) return false;
  }
  return true;
}

// A host of 1 to 4 numeric parts ("a.b.c.d", "a.b.cd", "a.bcd", "abcd").
bool readV4(const std::string& host, uint32_t& address) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t dot = host.find('.', start);
    parts.push_back(host.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
    if (dot == std::string::npos) break;
    start = dot + 1;
    if (parts.size() == 4) return false;
  }
  uint64_t value = 0, result = 0;
  for (size_t k = 0; k + 1 < parts.size(); ++k) {
    if (!readV4Part(parts[k], 255, value)) return false;
    result |= value << (8 * (3 - k));
  }
  const unsigned restBits = 8 * static_cast<unsigned>(5 - parts.size());
  if (!readV4Part(parts.back(), (uint64_t{1} << restBits) - 1, value)) return false;
  address = static_cast<uint32_t>(result | value);
  return true;
}

bool isLocalV4(uint32_t a) {
  const auto in = [a](uint32_t net, int bits) { return (a >> (32 - bits)) == (net >> (32 - bits)); };
  return in(0x00000000, 8) ||    // "this network", 0.0.0.0
         in(0x0A000000, 8) ||    // 10/8
         in(0x7F000000, 8) ||    // loopback
         in(0xA9FE0000, 16) ||   // link-local
         in(0xAC100000, 12) ||   // 172.16/12
         in(0xC0A80000, 16);     // 192.168/16
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// An IPv6 literal (without brackets or zone) as 8 groups.
bool readV6(const std::string& text, uint16_t groups[8]) {
  std::vector<uint16_t> head, tail;
  bool compressed = false;
  size_t i = 0;
  if (text.compare(0, 2, "::") == 0) {
    compressed = true;
    i = 2;
  }
  while (i < text.size()) {
    std::vector<uint16_t>& side = compressed ? tail : head;
    // A trailing dotted IPv4 part counts as two groups.
    const size_t colon = text.find(':', i);
    const std::string piece = text.substr(i, colon == std::string::npos ? std::string::npos : colon - i);
    if (colon == std::string::npos && piece.find('.') != std::string::npos) {
      uint32_t v4 = 0;
      int dots = 0;
      for (char c : piece) dots += c == '.';
      if (dots != 3 || !readV4(piece, v4)) return false;
      side.push_back(static_cast<uint16_t>(v4 >> 16));
      side.push_back(static_cast<uint16_t>(v4 & 0xFFFF));
      i = text.size();
      break;
    }
    if (piece.empty() || piece.size() > 4) return false;
    uint32_t value = 0;
    for (char c : piece) {
      const int h = hexValue(c);
      if (h < 0) return false;
      value = value * 16 + static_cast<uint32_t>(h);
    }
    side.push_back(static_cast<uint16_t>(value));
    if (colon == std::string::npos) {
      i = text.size();
    } else if (text.compare(colon, 2, "::") == 0) {
      if (compressed) return false;
      compressed = true;
      i = colon + 2;
    } else {
      i = colon + 1;
      if (i == text.size()) return false;  // a trailing single colon
    }
  }
  const size_t count = head.size() + tail.size();
  if (compressed ? count > 7 : count != 8) return false;
  for (int k = 0; k < 8; ++k) groups[k] = 0;
  for (size_t k = 0; k < head.size(); ++k) groups[k] = head[k];
  for (size_t k = 0; k < tail.size(); ++k) groups[8 - tail.size() + k] = tail[k];
  return true;
}

bool isLocalV6(const uint16_t g[8]) {
  bool zeroTo5 = true;
  for (int k = 0; k < 5; ++k) zeroTo5 = zeroTo5 && g[k] == 0;
  if (zeroTo5 && g[5] == 0 && g[6] == 0 && g[7] <= 1) return true;  // :: and ::1
  if (zeroTo5 && (g[5] == 0xFFFF || g[5] == 0))                     // IPv4-mapped and -compatible
    return isLocalV4((static_cast<uint32_t>(g[6]) << 16) | g[7]);
  return (g[0] & 0xFE00) == 0xFC00 ||  // unique local fc00::/7
         (g[0] & 0xFFC0) == 0xFE80 ||  // link-local fe80::/10
         (g[0] & 0xFFC0) == 0xFEC0;    // site-local fec0::/10
}

// A host whose last label is numeric can only be an IPv4 literal: no
// top-level domain is all digits.
bool looksNumeric(const std::string& host) {
  const size_t dot = host.rfind('.');
  const std::string last = host.substr(dot == std::string::npos ? 0 : dot + 1);
  return !last.empty() && last[0] >= '0' && last[0] <= '9';
}

}  // namespace

bool isAcceptableRdapBase(const std::string& url) {
  const std::string lower = asciiLower(url);
  size_t start;
  if (lower.compare(0, 8, "https://") == 0) start = 8;
  else if (lower.compare(0, 7, "http://") == 0) start = 7;
  else return false;
  if (url.find_first_of("?#") != std::string::npos) return false;
  const size_t end = std::min(url.find('/', start), url.size());
  const std::string authority = lower.substr(start, end - start);
  if (authority.empty() || authority.find('@') != std::string::npos) return false;
  // A backslash is read as a path separator by some URL parsers.
  if (authority.find('\\') != std::string::npos) return false;

  if (authority[0] == '[') {
    const size_t close = authority.find(']');
    if (close == std::string::npos) return false;
    std::string literal = authority.substr(1, close - 1);
    literal = literal.substr(0, literal.find('%'));  // a zone never makes it public
    uint16_t groups[8];
    return readV6(literal, groups) && !isLocalV6(groups);
  }
  std::string host = authority.substr(0, authority.find(':'));
  if (!host.empty() && host.back() == '.') host.pop_back();
  if (host.empty()) return false;
  if (!looksNumeric(host)) return true;
  uint32_t v4 = 0;
  return readV4(host, v4) && !isLocalV4(v4);
}

}  // namespace dvx
