// Shortcut command lines: read back by the Windows command-line rules (on
// GBK characters), the line is "explorer" and exactly one argument, the
// URL; the URL holds no double quote, comma or control byte, whatever the
// typed text and the hosts from the settings hold.
#include "text/fuzz/fuzz_support.h"
#include "ui/dialogs/shortcuts.h"

namespace {

bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// A lead byte with a valid trail byte is one character; a lead byte before
// anything else is read as a broken character that takes the next byte too
// (Wine's code-page conversion does so), which is why the URL must not
// hold one.
size_t charLen(const std::string& s, size_t i) {
  return isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The arguments after the program name, as the Windows rules split them.
std::vector<std::string> windowsArguments(const std::string& line) {
  std::vector<std::string> args;
  size_t i = line.find(' ');
  if (i == std::string::npos) return args;
  const size_t n = line.size();
  while (i < n) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t backslashes = 0;
      while (i < n && line[i] == '\\') ++backslashes, ++i;
      if (i < n && line[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, '\\');
        if (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
          const size_t len = charLen(line, i);
          arg.append(line, i, len);
          i += len;
        }
      }
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int n = in.ConsumeIntegralInRange<int>(0, 5);
  dvx::LookupHosts hosts;
  hosts.baiduHost = in.ConsumeRandomLengthString(24);
  hosts.googleHost = in.ConsumeRandomLengthString(24);
  hosts.siteServiceHost = in.ConsumeRandomLengthString(24);
  const std::string typed = in.ConsumeRemainingBytesAsString();

  const std::string url = dvx::shortcutUrl(n, hosts, typed);
  const std::string line = dvx::shortcutCommandLine(n, hosts, typed);
  if (n < 1 || n > 4) {
    DVX_FUZZ_CHECK(url.empty() && line.empty());
    return 0;
  }
  for (size_t i = 0; i < url.size(); ++i) {
    const auto b = static_cast<unsigned char>(url[i]);
    DVX_FUZZ_CHECK(b != '"' && b != ',' && b >= 0x20 && b != 0x7F);
    if (isLead(b)) {
      DVX_FUZZ_CHECK(i + 1 < url.size() && isTrail(static_cast<unsigned char>(url[i + 1])));
      ++i;
    }
  }
  DVX_FUZZ_CHECK(line.compare(0, 10, "explorer \"") == 0 && line.back() == '"');
  const std::vector<std::string> args = windowsArguments(line);
  DVX_FUZZ_CHECK(args.size() == 1 && args[0] == url);
  return 0;
}
