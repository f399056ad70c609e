// Linear extraction for the fixed capture patterns of the parsers, so that
// no page, however hostile, makes a lookup backtrack.
//
// A pattern "label(.*?)close" or "label.*?open(.*?)close" (Perl, ASCII-only
// case folding, "." matching every byte) has exactly one leftmost match when
// it has any: the first label, the first open after it, the first close
// after that. If no close follows the first label's open, none follows any
// later one either, so there is no match at all. Searches are on bytes, as
// the regular expression's are.
#pragma once
#include <string>

namespace dvx {

// Capture group 1 of "label(.*?)close" (open empty) or of
// "label.*?open(.*?)close", with label, open and close as literal text;
// empty when there is no match.
std::string labelledCapture(const std::string& text, const std::string& label,
                            const std::string& open, const std::string& close);

// Capture group 1 of "charset=\s*(.*?)[>\s*]" (ASCII blanks as \s).
std::string charsetCapture(const std::string& text);

// Every match of "<.*?>" (across line breaks) removed: each "<" up to the
// first ">" after it.
std::string stripTags(const std::string& text);

// Byte index of the first `needle` at or after `from`, ASCII letters folded,
// or npos. Linear in the text for the short needles the parsers use.
size_t findFolded(const std::string& text, const std::string& needle, size_t from);

}  // namespace dvx
