// Text primitives over GBK bytes. Positions and lengths count bytes; a byte
// 0x81-0xFE leads a two-byte character, and every search steps over such a
// pair as a unit so a match never starts on a trail byte.
#pragma once
#include <cstdint>
#include <string>

namespace dvx {

// 1-based byte position of the first occurrence of `sub` in `text`, or -1.
// With ignoreCase only ASCII letters are folded.
int findText(const std::string& text, const std::string& sub, bool ignoreCase);

// `text` with every occurrence of `sub` deleted (exact bytes, GBK stepping).
std::string removeAll(const std::string& text, const std::string& sub);

// `text` with every occurrence of `sub` replaced by `with`, left to right and
// without overlaps (GBK stepping; with ignoreCase only ASCII letters fold).
// An empty `sub` leaves the text unchanged.
std::string replaceAll(const std::string& text, const std::string& sub, const std::string& with,
                       bool ignoreCase);

// Removes ASCII spaces and full-width spaces (A1 A1) at both ends; tabs,
// CR and LF stay.
std::string trimSpaces(const std::string& text);

// The bytes before the first occurrence of `marker` (ignoring case); empty
// when the marker is absent or starts the text.
std::string textBefore(const std::string& text, const std::string& marker);

// The last (L - len(textBefore) - M) bytes. When the marker is absent this is
// the text without its first M bytes: later parsers rely on that.
std::string textAfter(const std::string& text, const std::string& marker);

// Full-width forms folded to ASCII, leading white space skipped, the longest
// leading decimal number read; 0 when there is none.
double toNumber(const std::string& text);

// toNumber truncated toward zero to a 32-bit integer, for ids, row numbers
// and settings. A value outside the 32-bit range (a hand-edited "1e99") is
// clamped to it and a non-number gives 0, rather than an undefined cast.
int32_t toInteger(const std::string& text);

// Full-width forms (A3A1..A3FE, A1A1, A1AB, A1EE, A1EF) folded to ASCII,
// other characters kept. Shared by toNumber and the date reader.
std::string foldFullWidth(const std::string& text);

// ASCII letters to upper / lower case; GBK trail bytes are never touched.
std::string asciiUpper(const std::string& text);
std::string asciiLower(const std::string& text);

inline bool isGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace dvx
