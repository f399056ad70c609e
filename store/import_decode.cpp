#include "store/import_decode.h"

#include <algorithm>

#include "text/codepage.h"

namespace dvx {
namespace {

bool startsWith(const std::string& bytes, const char* mark, size_t length) {
  return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const std::string& s, size_t from) {
  const size_t n = s.size();
  for (size_t i = from; i < n;) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t need;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + need >= n) return false;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < lo || b1 > hi) return false;
    for (size_t k = 2; k <= need; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if (c < 0x80 || c > 0xBF) return false;
    }
    i += need + 1;
  }
  return true;
}

// UTF-16 after its mark to UTF-8; a surrogate without its partner becomes
// U+FFFD, an odd last byte is dropped.
std::string utf16ToUtf8(const std::string& bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size() & ~static_cast<size_t>(1);
  auto unit = [&](size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? static_cast<char32_t>(a << 8 | b) : static_cast<char32_t>(b << 8 | a);
  };
  for (size_t i = 2; i < n; i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        u = 0xFFFD;
      }
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    appendUtf8(out, u);
  }
  return out;
}

std::string withoutNuls(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

}  // namespace

std::string decodeImportBytes(const std::string& bytes, TextEncoding* detected) {
  TextEncoding encoding = TextEncoding::Gbk;
  std::string text;
  try {
  if (startsWith(bytes, "\xEF\xBB\xBF", 3)) {
    encoding = TextEncoding::Utf8Bom;
    text = utf8TextToGbk(bytes.substr(3));
  } else if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2)) {
    const bool bigEndian = bytes[0] == '\xFE';
    encoding = bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
    text = utf8TextToGbk(utf16ToUtf8(bytes, bigEndian));
  } else if (isValidUtf8(bytes, 0)) {
    encoding = TextEncoding::Utf8;
    text = utf8TextToGbk(bytes);
  } else {
    encoding = TextEncoding::Gbk;
    text = withoutNuls(bytes);
  }
  } catch (...) {
    text.clear();  // out of memory: nothing rather than a throw
  }
  if (detected != nullptr) *detected = encoding;
  return text;
}

}  // namespace dvx
