// Private-profile (INI) files read and written as GBK bytes, whatever the
// system's ANSI code page is: the key "位置" is its GBK bytes in the file on
// any Windows. Section and key names match without regard to ASCII case.
#pragma once
#include <filesystem>
#include <string>

namespace dvx {

// At most this many bytes of a value are returned.
constexpr size_t kMaxProfileValue = 10240;
// Only the first this many bytes of a file are read (up to the last whole
// line in them); a larger file is never taken in whole.
constexpr size_t kMaxProfileFile = 64 * 1024;

// The value, or `fallback` when the file, the section or the key is missing.
// An empty file name, section or key gives the empty text.
std::string readProfileString(const std::filesystem::path& file, const std::string& section,
                              const std::string& key, const std::string& fallback);

// Creates the file, the section or the key as needed; other lines are kept.
// The file is replaced whole (written beside, then renamed), so a failed
// write never leaves it half-written; of a file larger than kMaxProfileFile
// only the lines that are read are kept.
bool writeProfileString(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace dvx
