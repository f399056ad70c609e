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

// Every match of "<.*?>" (case-sensitive, across line breaks) replaced by
// nothing. Uses the one run-wide tag expression; the empty text if the
// engine gives up.
std::string stripTags(const std::string& text);

}  // namespace dvx
