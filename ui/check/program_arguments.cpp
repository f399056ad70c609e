#include "ui/check/program_arguments.h"

namespace dvx {

namespace {

// The option's name without its "--" or "/" and in lower case (ASCII only:
// every option is ASCII), or empty when `arg` is no option.
std::wstring optionName(const std::wstring& arg) {
  size_t from = 0;
  if (arg.compare(0, 2, L"--") == 0)
    from = 2;
  else if (arg.compare(0, 1, L"/") == 0)
    from = 1;
  else
    return std::wstring();
  std::wstring name = arg.substr(from);
  for (wchar_t& c : name)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return name;
}

}  // namespace

ProgramArguments parseProgramArguments(const std::vector<std::wstring>& args) {
  ProgramArguments parsed;
  bool commandSeen = false;
  for (const std::wstring& arg : args) {
    const std::wstring name = optionName(arg);
    ProgramMode mode = ProgramMode::kWindow;
    if (name == L"quiet") {
      parsed.quiet = true;
      continue;
    }
    if (name == L"check")
      mode = ProgramMode::kCheck;
    else if (name == L"install-check")
      mode = ProgramMode::kInstallCheck;
    else if (name == L"remove-check")
      mode = ProgramMode::kRemoveCheck;
    else
      continue;
    if (!commandSeen) parsed.mode = mode;
    commandSeen = true;
  }
  return parsed;
}

}  // namespace dvx
