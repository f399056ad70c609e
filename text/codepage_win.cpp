// Code page 936 from Windows itself, asked once per byte pair while the
// tables are built; conversions themselves never call the platform.
#include <windows.h>

#include "text/codepage_table.h"

namespace dvx {
namespace detail {
namespace {

uint16_t convertOne(const char* bytes, int len) {
  wchar_t out[4] = {};
  const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, len, out, 4);
  return n == 1 ? static_cast<uint16_t>(out[0]) : 0;
}

}  // namespace

bool loadCp936Table(uint16_t* singles, uint16_t* pairs) {
  if (!IsValidCodePage(936)) return false;
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    const char byte = static_cast<char>(b);
    singles[b - 0x80] = (b >= 0x81 && b <= 0xFE) ? 0 : convertOne(&byte, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const uint16_t u = trail == 0x7F ? 0 : convertOne(pair, 2);
      pairs[cp936PairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))] =
          u;
    }
  }
  return true;
}

}  // namespace detail
}  // namespace dvx
