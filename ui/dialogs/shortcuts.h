// The four web-page shortcuts of the modify dialog: the site itself, its
// Baidu and Google "site:" searches and its keyword page on the site service.
#pragma once
#include <string>

#include "lookup/lookup_hosts.h"
#include "ui/dialogs/process_launcher.h"

namespace dvx {

constexpr int kShortcutCount = 4;

// The URL of shortcut n (1..4) for the edit box's text as typed; empty for
// any other n. A double quote or a control character in the text or in a
// host from the settings would end the quoted argument of the command line,
// and Explorer splits its options on commas, so those bytes are
// percent-encoded, and so is a GBK lead byte without its trail byte, which
// would take the next byte with it.
std::string shortcutUrl(int n, const LookupHosts& hosts, const std::string& editText);

// "explorer" + space + the URL quoted by quoteCommandArgument (backslashes
// before the closing quote doubled, so a text ending in "\\" does not
// escape it); empty for n outside 1..4.
std::string shortcutCommandLine(int n, const LookupHosts& hosts, const std::string& editText);

// Builds the command line of shortcut n and starts it; nothing is reported.
void openShortcut(int n, const LookupHosts& hosts, const std::string& editText, ProcessLauncher& launcher);

}  // namespace dvx
