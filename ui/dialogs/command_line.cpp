#include "ui/dialogs/command_line.h"

#include "text/gbk_text.h"

namespace dvx {

std::string quoteCommandArgument(const std::string& arg) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (size_t i = 0; i < arg.size(); ++i) {
    const char c = arg[i];
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
    if (isGbkLead(static_cast<unsigned char>(c)) && i + 1 < arg.size()) out += arg[++i];
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

std::string notepadCommandLine(const std::string& gbkPath) { return "notepad.exe " + quoteCommandArgument(gbkPath); }

}  // namespace dvx
