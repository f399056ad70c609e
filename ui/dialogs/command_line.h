// Command lines for the outside programs: one argument quoted so that the
// started program reads back exactly that argument.
#pragma once
#include <string>

namespace dvx {

// `arg` (GBK) in double quotes by the Windows command-line rules:
// backslashes directly before a quote, or before the closing quote, are
// doubled and a quote inside is escaped. The line is read as characters, so
// a GBK trail byte 0x5C is not a backslash; `arg` must hold whole characters.
std::string quoteCommandArgument(const std::string& arg);

// "notepad.exe " + the export file's path quoted: a data directory with a
// space in it ("Program Files") would otherwise be two arguments.
std::string notepadCommandLine(const std::string& gbkPath);

}  // namespace dvx
