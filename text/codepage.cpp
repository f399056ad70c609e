// GBK <-> UTF-8 through lookup tables built once from the platform's code
// page 936, so that multi-megabyte pages convert without a call per character.
#include "text/codepage.h"

#include <cstdint>
#include <vector>

#include "text/codepage_table.h"

namespace dvx {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Cp936 {
  std::vector<uint16_t> singles = std::vector<uint16_t>(detail::kCp936Singles, 0);
  std::vector<uint16_t> pairs = std::vector<uint16_t>(detail::kCp936Pairs, 0);
  // BMP code point -> GBK code (one byte when <= 0xFF, else lead << 8 | trail);
  // 0 where GBK has no such character.
  std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, 0);

  Cp936() {
    if (!detail::loadCp936Table(singles.data(), pairs.data())) {
      singles.assign(singles.size(), 0);
      pairs.assign(pairs.size(), 0);
    }
    // Where two codes decode to one character the first one wins, single bytes
    // before pairs, so encoding is stable.
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      const uint16_t u = singles[b - 0x80];
      if (u != 0 && encode[u] == 0) encode[u] = static_cast<uint16_t>(b);
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        const uint16_t u = pairs[detail::cp936PairIndex(static_cast<unsigned char>(lead),
                                                        static_cast<unsigned char>(trail))];
        if (u >= 0x80 && encode[u] == 0) encode[u] = static_cast<uint16_t>(lead << 8 | trail);
      }
    }
  }
};

const Cp936& cp936() {
  static const Cp936 tables;  // built once, thread-safe since C++11
  return tables;
}


// Decodes one UTF-8 character at i and advances i. A malformed sequence gives
// U+FFFD and consumes its longest valid-looking prefix (at least one byte),
// so the decoder never runs past the end or past a following good character.
char32_t decodeUtf8At(const std::string& s, size_t& i) {
  const size_t n = s.size();
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  size_t need;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // beyond U+10FFFF
  } else {
    ++i;
    return kReplacement;
  }
  size_t k = 1;
  for (; k <= need; ++k) {
    if (i + k >= n) break;
    const auto b = static_cast<unsigned char>(s[i + k]);
    const unsigned char kLo = k == 1 ? lo : 0x80, kHi = k == 1 ? hi : 0xBF;
    if (b < kLo || b > kHi) break;
    cp = (cp << 6) | (b & 0x3F);
  }
  i += k;
  return k > need ? cp : kReplacement;
}

// Writes the GBK form of cp at out and returns the end: at most two bytes,
// never more than the UTF-8 bytes it came from.
char* putGbk(char* out, char32_t cp, const Cp936& t) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
    return out;
  }
  const uint16_t code = cp < 0x10000 ? t.encode[cp] : 0;
  if (code == 0) {
    *out++ = '?';
  } else if (code <= 0xFF) {
    *out++ = static_cast<char>(code);
  } else {
    *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
  }
  return out;
}

// Pages run to megabytes: the output is written in place (it is never
// longer than the input) and runs of ASCII are copied without decoding.
std::string utf8ToGbkImpl(const std::string& utf8, bool stopAtNul) {
  const Cp936& t = cp936();
  const size_t n = utf8.size();
  std::string out(n, '\0');
  char* const begin = &out[0];
  char* p = begin;
  for (size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b != 0 && b < 0x80) {
      *p++ = static_cast<char>(b);
      ++i;
      continue;
    }
    const char32_t cp = decodeUtf8At(utf8, i);
    if (cp == 0) {
      if (stopAtNul) break;
      continue;
    }
    p = putGbk(p, cp, t);
  }
  out.resize(static_cast<size_t>(p - begin));
  return out;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string utf8ToGbk(const std::string& bytes) { return utf8ToGbkImpl(bytes, true); }

std::string utf8TextToGbk(const std::string& utf8) { return utf8ToGbkImpl(utf8, false); }

std::string gbkToUtf8(const std::string& gbk) {
  const Cp936& t = cp936();
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  const size_t n = gbk.size();
  for (size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (b >= 0x81 && b <= 0xFE) {
      const unsigned trail = i + 1 < n ? static_cast<unsigned char>(gbk[i + 1]) : 0;
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
        const uint16_t u = t.pairs[detail::cp936PairIndex(b, static_cast<unsigned char>(trail))];
        appendUtf8(out, u ? u : kReplacement);
        i += 2;
      } else {
        // A lead byte without a trail byte (or at the very end) stands alone,
        // so the byte after it is still read as itself.
        appendUtf8(out, kReplacement);
        ++i;
      }
    } else {
      const uint16_t u = t.singles[b - 0x80];
      appendUtf8(out, u ? u : kReplacement);
      ++i;
    }
  }
  return out;
}

}  // namespace dvx
