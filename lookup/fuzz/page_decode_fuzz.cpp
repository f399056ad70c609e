// Page decoding: every result stops before the first NUL, a page converted
// from UTF-8 is whole GBK (no pair cut short), and a page that is not
// converted is its bytes unchanged.
#include "lookup/page_decode.h"
#include "text/codepage.h"
#include "text/fuzz/fuzz_support.h"

namespace {

void checkWholeGbk(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    DVX_FUZZ_CHECK(c != 0);
    if (c >= 0x81 && c <= 0xFE) {
      DVX_FUZZ_CHECK(i + 1 < text.size());
      const auto t = static_cast<unsigned char>(text[++i]);
      DVX_FUZZ_CHECK(t >= 0x40 && t <= 0xFE && t != 0x7F);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = dvx::fuzz::bytes(data, size);
  const std::string raw = dvx::bytesAsText(bytes);
  DVX_FUZZ_CHECK(raw.find('\0') == std::string::npos && bytes.compare(0, raw.size(), raw) == 0);

  const std::string gbk = dvx::utf8ToGbk(bytes);
  checkWholeGbk(gbk);
  const std::string results = dvx::resultsPageText(bytes);
  DVX_FUZZ_CHECK(results == raw || results == gbk);
  const std::string site = dvx::sitePageText(bytes);
  DVX_FUZZ_CHECK(site == raw || site == gbk);
  // Text that came back from the database converts back unchanged.
  DVX_FUZZ_CHECK(dvx::utf8TextToGbk(dvx::gbkToUtf8(gbk)) == gbk);
  return 0;
}
