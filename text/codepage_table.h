// The decoding table of code page 936 as the platform knows it; filled once
// by codepage_posix.cpp (iconv) or codepage_win.cpp (MultiByteToWideChar).
#pragma once
#include <cstddef>
#include <cstdint>

namespace dvx {
namespace detail {

constexpr size_t kCp936Singles = 0x80;          // bytes 0x80..0xFF
constexpr size_t kCp936Trails = 0xFF - 0x40;    // trail bytes 0x40..0xFE
constexpr size_t kCp936Pairs = 126 * kCp936Trails;  // lead bytes 0x81..0xFE

inline size_t cp936PairIndex(unsigned char lead, unsigned char trail) {
  return static_cast<size_t>(lead - 0x81) * kCp936Trails + (trail - 0x40);
}

// Fills singles[b - 0x80] and pairs[cp936PairIndex(lead, trail)] with the
// UTF-16 code unit of each byte or pair, 0 where the platform maps nothing.
// Returns false when the platform offers no code page 936 at all.
bool loadCp936Table(uint16_t* singles, uint16_t* pairs);

}  // namespace detail
}  // namespace dvx
