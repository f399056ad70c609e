// The add dialog's text cut into lines.
#pragma once
#include <string>
#include <vector>

namespace dvx {

// Pieces of the text: cut at every CR LF, lone LF and lone CR (text copied
// from other systems has LF or CR only); a trailing piece counts only when it
// is not empty. CR and LF never occur inside a GBK character, so the cut is
// byte by byte.
std::vector<std::string> splitAddText(const std::string& text);

}  // namespace dvx
