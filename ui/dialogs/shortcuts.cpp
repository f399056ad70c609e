#include "ui/dialogs/shortcuts.h"

namespace dvx {

namespace {

// Bytes that could leave or cut the quoted argument. None of them is ever a
// GBK trail byte (those are 0x40-0x7E and 0x80-0xFE), so a byte-wise walk
// never splits a Chinese character.
bool needsEscape(unsigned char c) { return c < 0x20 || c == 0x7F || c == '"'; }

std::string escapeForQuotes(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (needsEscape(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string shortcutUrl(int n, const LookupHosts& hosts, const std::string& editText) {
  const std::string t = escapeForQuotes(editText);
  switch (n) {
    case 1: return "http://" + t;
    case 2: return "http://" + hosts.baiduHost + "/s?wd=site:" + t;
    case 3: return "http://" + hosts.googleHost + "/search?q=site:" + t;
    case 4: return "http://" + hosts.siteServiceHost + "/baidu/" + t;
    default: return std::string();
  }
}

std::string shortcutCommandLine(int n, const LookupHosts& hosts, const std::string& editText) {
  const std::string url = shortcutUrl(n, hosts, editText);
  if (url.empty()) return std::string();
  return "explorer \"" + url + "\"";
}

void openShortcut(int n, const LookupHosts& hosts, const std::string& editText, ProcessLauncher& launcher) {
  const std::string line = shortcutCommandLine(n, hosts, editText);
  if (!line.empty()) launcher.launch(line);
}

}  // namespace dvx
