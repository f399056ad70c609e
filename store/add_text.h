// The add dialog's text cut into the lines the add job stores one by one.
#pragma once
#include <string>
#include <vector>

namespace dvx {

// Pieces of the text: cut at every CR LF found by GBK stepping; a lone CR or
// LF stays inside its piece; a trailing piece counts only when it is not
// empty.
std::vector<std::string> splitAddText(const std::string& text);

}  // namespace dvx
