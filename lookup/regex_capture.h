// The one way a regular expression is applied to a page: Perl syntax,
// ASCII-only case folding, "." matching every byte including CR and LF, the
// leftmost match, capture group 1. Matching is on the GBK bytes.
#pragma once
#include <string>

namespace dvx {

// Capture group 1 of the first match, or the empty text when there is no
// match. A pattern that does not compile, or a search the engine gives up on
// (complexity or memory limits on a hostile page), also gives the empty text;
// nothing is thrown.
std::string firstCapture(const std::string& text, const std::string& pattern);

}  // namespace dvx
