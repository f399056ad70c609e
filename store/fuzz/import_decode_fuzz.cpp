// Import decoding: the encoding follows the byte-order mark, the text never
// holds a NUL, GBK bytes pass through as they are (less NULs), and what
// comes out reads as rows without fault.
#include <algorithm>

#include "store/domain_rows.h"
#include "store/import_decode.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = dvx::fuzz::bytes(data, size);
  dvx::TextEncoding encoding = dvx::TextEncoding::Utf8;
  const std::string text = dvx::decodeImportBytes(bytes, &encoding);
  DVX_FUZZ_CHECK(text.find('\0') == std::string::npos);
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) DVX_FUZZ_CHECK(encoding == dvx::TextEncoding::Utf8Bom);
  if (bytes.rfind("\xFF\xFE", 0) == 0) DVX_FUZZ_CHECK(encoding == dvx::TextEncoding::Utf16Le);
  if (bytes.rfind("\xFE\xFF", 0) == 0) DVX_FUZZ_CHECK(encoding == dvx::TextEncoding::Utf16Be);
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c != 0 && static_cast<unsigned char>(c) < 0x80; })) {
    DVX_FUZZ_CHECK(encoding == dvx::TextEncoding::Utf8 && text == bytes);
  }
  if (encoding == dvx::TextEncoding::Gbk) {
    std::string kept = bytes;
    kept.erase(std::remove(kept.begin(), kept.end(), '\0'), kept.end());
    DVX_FUZZ_CHECK(text == kept);
  }
  dvx::readDomainRows(text);
  return 0;
}
