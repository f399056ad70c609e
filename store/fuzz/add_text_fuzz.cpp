// The add-text splitter: no line holds a CR or LF, and the lines joined with
// one line end each give the text back with its line ends (CR LF, CR, LF)
// made alike, less one final line end.
#include "store/add_text.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = dvx::fuzz::bytes(data, size);
  const std::vector<std::string> lines = dvx::splitAddText(text);
  std::string joined;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) joined += '\n';
    joined += lines[k];
    DVX_FUZZ_CHECK(lines[k].find_first_of("\r\n") == std::string::npos);
  }
  std::string alike;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      alike += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      alike += text[i];
    }
  }
  DVX_FUZZ_CHECK(alike == joined || alike == joined + "\n");
  DVX_FUZZ_CHECK(lines.empty() || !lines.back().empty() || alike == joined + "\n");
  return 0;
}
