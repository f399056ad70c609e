#include "ui/dialogs/shortcuts.h"

#include "text/gbk_text.h"
#include "ui/dialogs/command_line.h"

namespace dvx {

namespace {

// Bytes that could leave or cut the quoted argument, and the comma: Explorer
// splits its own options on commas ("/select,path"), quotes or not. None of
// them is ever a GBK trail byte (those are 0x40-0x7E and 0x80-0xFE).
bool needsEscape(unsigned char c) { return c < 0x20 || c == 0x7F || c == '"' || c == ','; }

inline bool isGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

void appendEscaped(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

// Walks GBK characters. A lead byte without a trail byte after it is
// encoded too: read as a character it would take the next byte with it,
// the closing quote included.
std::string escapeForQuotes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (isGbkLead(c)) {
      if (i + 1 < text.size() && isGbkTrail(static_cast<unsigned char>(text[i + 1]))) {
        out.append(text, i, 2);
        ++i;
      } else {
        appendEscaped(out, c);
      }
    } else if (needsEscape(c)) {
      appendEscaped(out, c);
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string shortcutUrl(int n, const LookupHosts& hosts, const std::string& editText) {
  const std::string t = escapeForQuotes(editText);
  // The hosts come from a settings file anyone can edit.
  switch (n) {
    case 1: return "http://" + t;
    case 2: return "http://" + escapeForQuotes(hosts.baiduHost) + "/s?wd=site:" + t;
    case 3: return "http://" + escapeForQuotes(hosts.googleHost) + "/search?q=site:" + t;
    case 4: return "http://" + escapeForQuotes(hosts.siteServiceHost) + "/baidu/" + t;
    default: return std::string();
  }
}

std::string shortcutCommandLine(int n, const LookupHosts& hosts, const std::string& editText) {
  const std::string url = shortcutUrl(n, hosts, editText);
  if (url.empty()) return std::string();
  return "explorer " + quoteCommandArgument(url);
}

void openShortcut(int n, const LookupHosts& hosts, const std::string& editText, ProcessLauncher& launcher) {
  const std::string line = shortcutCommandLine(n, hosts, editText);
  if (!line.empty()) launcher.launch(line);
}

}  // namespace dvx
