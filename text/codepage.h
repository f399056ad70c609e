// Conversions between the system's GBK text (code page 936) and Unicode.
// The code-point tables come from the platform: iconv's CP936 natively,
// the Windows code page 936 in the Windows build.
#pragma once
#include <string>

namespace dvx {

// UTF-8 bytes up to the first NUL, decoded (malformed sequences become
// U+FFFD) and re-encoded as GBK; a character GBK cannot hold becomes "?".
std::string utf8ToGbk(const std::string& bytes);

// GBK text to UTF-8 (for the database, which stores Unicode). A byte pair
// that is not GBK becomes U+FFFD.
std::string gbkToUtf8(const std::string& gbk);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// UTF-8 to GBK for values read back from the database ("?" for characters
// GBK cannot hold). Unlike utf8ToGbk it keeps everything, NULs aside.
std::string utf8TextToGbk(const std::string& utf8);

}  // namespace dvx
