// An imported file's bytes as the program's GBK text.
#pragma once
#include <string>

namespace dvx {

enum class TextEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Gbk };

// Decided by the byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE), then by
// whether the bytes are valid UTF-8 (pure ASCII counts as UTF-8); anything
// else is read as GBK. The mark is not part of the text. A character GBK
// cannot hold becomes "?"; NULs are dropped.
std::string decodeImportBytes(const std::string& bytes, TextEncoding* detected = nullptr);

}  // namespace dvx
