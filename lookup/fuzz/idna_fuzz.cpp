// The A-label form of a name: any GBK text gives "" or lower-case ASCII
// labels of at most 63 characters, which convert to themselves again.
#include "lookup/idna.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = dvx::fuzz::bytes(data, size);
  const std::string labels = dvx::toALabels(name);
  if (labels.empty()) return 0;
  size_t labelLength = 0;
  for (char ch : labels) {
    const auto c = static_cast<unsigned char>(ch);
    DVX_FUZZ_CHECK(c < 0x80 && !(c >= 'A' && c <= 'Z'));
    labelLength = c == '.' ? 0 : labelLength + 1;
    DVX_FUZZ_CHECK(labelLength <= 63);
  }
  DVX_FUZZ_CHECK(dvx::toALabels(labels) == labels);
  return 0;
}
