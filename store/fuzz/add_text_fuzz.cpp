// The add-text splitter: the lines joined with CR LF give the text back
// (less one final CR LF), and no line holds a CR LF that starts a character.
#include "store/add_text.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = dvx::fuzz::bytes(data, size);
  const std::vector<std::string> lines = dvx::splitAddText(text);
  std::string joined;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) joined += "\r\n";
    joined += lines[k];
    const std::string& line = lines[k];
    for (size_t i = 0; i < line.size(); i += dvx::fuzz::charLen(line, i)) {
      DVX_FUZZ_CHECK(!(line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n'));
    }
  }
  DVX_FUZZ_CHECK(text == joined || text == joined + "\r\n");
  DVX_FUZZ_CHECK(lines.empty() || !lines.back().empty() || text == joined + "\r\n");
  return 0;
}
