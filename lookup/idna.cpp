#include "lookup/idna.h"

#include <cstdint>
#include <vector>

#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// UTF-8 to code points; false on a malformed sequence.
bool decodeUtf8(const std::string& s, std::vector<uint32_t>& out) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) return false;
    uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
    for (int k = 1; k <= extra; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

char digit(uint32_t d) { return static_cast<char>(d < 26 ? 'a' + d : '0' + (d - 26)); }

uint32_t adapt(uint32_t delta, uint32_t points, bool first) {
  delta = first ? delta / 700 : delta / 2;
  delta += delta / points;
  uint32_t k = 0;
  while (delta > ((36 - 1) * 26) / 2) {
    delta /= 36 - 1;
    k += 36;
  }
  return k + (36 * delta) / (delta + 38);
}

// RFC 3492 section 6.3; false on overflow.
bool punycode(const std::vector<uint32_t>& input, std::string& out) {
  uint32_t n = 128, delta = 0, bias = 72;
  for (uint32_t c : input)
    if (c < 0x80) out += static_cast<char>(c);
  const uint32_t basic = static_cast<uint32_t>(out.size());
  uint32_t handled = basic;
  if (basic > 0) out += '-';
  while (handled < input.size()) {
    uint32_t m = UINT32_MAX;
    for (uint32_t c : input)
      if (c >= n && c < m) m = c;
    if ((m - n) > (UINT32_MAX - delta) / (handled + 1)) return false;
    delta += (m - n) * (handled + 1);
    n = m;
    for (uint32_t c : input) {
      if (c < n && ++delta == 0) return false;
      if (c != n) continue;
      uint32_t q = delta;
      for (uint32_t k = 36;; k += 36) {
        const uint32_t t = k <= bias ? 1 : k >= bias + 26 ? 26 : k - bias;
        if (q < t) break;
        out += digit(t + (q - t) % (36 - t));
        q = (q - t) / (36 - t);
      }
      out += digit(q);
      bias = adapt(delta, handled + 1, handled == basic);
      delta = 0;
      ++handled;
    }
    ++delta;
    ++n;
  }
  return true;
}

// The compatibility forms a name is typed with on a Chinese keyboard, folded
// before any label is encoded: full-width ASCII (U+FF01..U+FF5E) to ASCII,
// and the ideographic and half-width full stops (U+3002, U+FF61; U+FF0E is
// in the block above) to the label separator, as IDNA treats them. Then
// ASCII letters are lower-cased. Other characters are kept as typed.
uint32_t folded(uint32_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
  else if (c == 0x3002 || c == 0xFF61) c = '.';
  if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
  return c;
}

const size_t kMaxLabel = 63;

// One label's A-label form; false when it cannot be one.
bool appendLabel(const std::vector<uint32_t>& label, std::string& out) {
  bool ascii = true;
  for (uint32_t c : label) ascii = ascii && c < 0x80;
  if (ascii) {
    if (label.size() > kMaxLabel) return false;
    for (uint32_t c : label) out += static_cast<char>(c);
    return true;
  }
  std::string encoded;
  if (!punycode(label, encoded) || encoded.size() + 4 > kMaxLabel) return false;
  out += "xn--" + encoded;
  return true;
}

}  // namespace

std::string toALabels(const std::string& gbkName) {
  std::vector<uint32_t> points;
  if (!decodeUtf8(gbkToUtf8(gbkName), points)) return std::string();
  std::string result;
  std::vector<uint32_t> label;
  for (size_t i = 0; i <= points.size(); ++i) {
    const uint32_t c = i < points.size() ? folded(points[i]) : '.';
    if (c != '.') {
      label.push_back(c);
      continue;
    }
    if (!appendLabel(label, result)) return std::string();
    if (i < points.size()) result += '.';
    label.clear();
  }
  return result;
}

}  // namespace dvx
