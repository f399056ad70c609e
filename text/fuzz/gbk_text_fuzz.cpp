// The GBK primitives against a plain byte scan: findText gives the first
// character boundary where the text matches, never a trail byte, and
// replaceAll, trimSpaces and toNumber keep their rules.
#include <cmath>
#include <cstdlib>

#include "text/fuzz/fuzz_support.h"
#include "text/gbk_text.h"

namespace {

using dvx::fuzz::charLen;

unsigned char fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Whether sub occurs at byte i: pairs of sub compare exactly, single bytes
// with ASCII letters folded when asked.
bool matchesAt(const std::string& t, size_t i, const std::string& sub, bool ignoreCase) {
  if (t.size() - i < sub.size()) return false;
  for (size_t k = 0; k < sub.size(); ++k) {
    const auto a = static_cast<unsigned char>(t[i + k]);
    const auto b = static_cast<unsigned char>(sub[k]);
    if (charLen(sub, k) == 2) {
      if (a != b || t[i + k + 1] != sub[k + 1]) return false;
      ++k;
    } else if (ignoreCase ? fold(a) != fold(b) : a != b) {
      return false;
    }
  }
  return true;
}

// 1-based position by walking every character boundary from the start.
int scanFind(const std::string& t, const std::string& sub, bool ignoreCase) {
  if (sub.empty()) return -1;
  for (size_t i = 0; i < t.size(); i += charLen(t, i)) {
    if (matchesAt(t, i, sub, ignoreCase)) return static_cast<int>(i + 1);
  }
  return -1;
}

std::string scanReplace(const std::string& t, const std::string& sub, const std::string& with,
                        bool ignoreCase) {
  if (sub.empty()) return t;
  std::string out;
  for (size_t i = 0; i < t.size();) {
    if (matchesAt(t, i, sub, ignoreCase)) {
      out += with;
      i += sub.size();
    } else {
      out.append(t, i, charLen(t, i));
      i += charLen(t, i);
    }
  }
  return out;
}

// A number spelt with [0-9.eE+-] only reads as strtod reads it, and out of
// range the value decides: overflow is infinite, underflow is (near) zero.
void checkNumber(const std::string& raw) {
  std::string s;
  for (char c : raw) {
    if (std::string("0123456789.eE+-").find(c) != std::string::npos) s += c;
  }
  const double got = dvx::toNumber(s);
  const double want = std::strtod(s.c_str(), nullptr);
  if (std::isinf(want)) {
    DVX_FUZZ_CHECK(got == want);
  } else if (want == 0 || std::fabs(want) >= 2.2250738585072014e-308) {
    DVX_FUZZ_CHECK(got == want);
  } else {
    DVX_FUZZ_CHECK(got == want || got == 0);  // subnormal: may read as zero
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const bool ignoreCase = in.ConsumeBool();
  const std::string sub = in.ConsumeRandomLengthString(8);
  const std::string with = in.ConsumeRandomLengthString(4);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const int at = dvx::findText(text, sub, ignoreCase);
  DVX_FUZZ_CHECK(at == scanFind(text, sub, ignoreCase));
  DVX_FUZZ_CHECK(dvx::replaceAll(text, sub, with, ignoreCase) == scanReplace(text, sub, with, ignoreCase));
  DVX_FUZZ_CHECK(dvx::removeAll(text, sub) == scanReplace(text, sub, "", false));

  const std::string trimmed = dvx::trimSpaces(text);
  DVX_FUZZ_CHECK(text.find(trimmed) != std::string::npos);
  DVX_FUZZ_CHECK(trimmed.empty() || trimmed[0] != ' ');
  DVX_FUZZ_CHECK(dvx::asciiLower(dvx::asciiUpper(text)).size() == text.size());

  checkNumber(text);
  const double n = dvx::toNumber(text);
  DVX_FUZZ_CHECK(n == n);  // never NaN
  return 0;
}
