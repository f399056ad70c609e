// Shared by every fuzz target: the entry point's signature, a check that
// stops the run with a message, and the proof that this build's narrow
// literals are GBK like the program's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

static_assert(sizeof("找不到") == 7 && "找不到"[0] == '\xD5' && "找不到"[1] == '\xD2' &&
                  "找不到"[2] == '\xB2' && "找不到"[3] == '\xBB' && "找不到"[4] == '\xB5' &&
                  "找不到"[5] == '\xBD',
              "narrow literals must be GBK, as the program compiles them");

#define DVX_FUZZ_CHECK(cond)                                                          \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

namespace dvx {
namespace fuzz {

inline std::string bytes(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Bytes taken by the GBK character at i, as every primitive steps.
inline size_t charLen(const std::string& s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  return (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace fuzz
}  // namespace dvx
