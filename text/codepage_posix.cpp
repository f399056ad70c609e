// Code page 936 from glibc's iconv ("CP936"), asked once per byte pair while
// the tables are built; conversions themselves never call iconv.
#include <iconv.h>

#include <cerrno>

#include "text/codepage_table.h"

namespace dvx {
namespace detail {
namespace {

uint16_t convertOne(iconv_t cd, const char* bytes, size_t len) {
  char in[2] = {bytes[0], len > 1 ? bytes[1] : '\0'};
  unsigned char out[8] = {};
  char* inPtr = in;
  size_t inLeft = len;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (rc == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 2) return 0;
  return static_cast<uint16_t>(out[0] | (out[1] << 8));
}

}  // namespace

bool loadCp936Table(uint16_t* singles, uint16_t* pairs) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (size_t b = 0x80; b <= 0xFF; ++b) {
    const char byte = static_cast<char>(b);
    singles[b - 0x80] = (b >= 0x81 && b <= 0xFE) ? 0 : convertOne(cd, &byte, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const uint16_t u = trail == 0x7F ? 0 : convertOne(cd, pair, 2);
      pairs[cp936PairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))] =
          u;
    }
  }
  iconv_close(cd);
  return true;
}

}  // namespace detail
}  // namespace dvx
