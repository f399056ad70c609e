// What every cleaned name must be, written apart from the cleaning itself:
// lower-case ASCII letters, digits, "-", "." and double-byte characters, in
// two or more labels, none empty and none starting or ending with "-".
#pragma once
#include <string>

namespace dvx {
namespace fuzz {

inline bool looksLikeHostName(const std::string& name) {
  size_t labels = 1, length = 0;
  char last = '.';
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 >= name.size() || static_cast<unsigned char>(name[i + 1]) < 0x40) return false;
      ++i;
      ++length;
      last = 'x';
    } else if (c == '.') {
      if (length == 0 || last == '-') return false;
      ++labels;
      length = 0;
      last = '.';
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
      if (c == '-' && length == 0) return false;
      ++length;
      last = static_cast<char>(c);
    } else {
      return false;
    }
  }
  return labels >= 2 && length > 0 && last != '-';
}

}  // namespace fuzz
}  // namespace dvx
