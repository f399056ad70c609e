#include "store/normalise_domain.h"

#include <algorithm>

#include "text/gbk_text.h"

namespace dvx {
namespace {

// Byte index of the first `sub` (GBK stepping), or npos.
size_t find(const std::string& text, const std::string& sub) {
  const int p = findText(text, sub, false);
  return p < 0 ? std::string::npos : static_cast<size_t>(p - 1);
}

bool isAsciiHostChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A double-byte GBK character that is a letter: a Chinese character, or a
// kana, Greek, Cyrillic or pinyin letter. Not the punctuation, full-width
// forms, numerals and box-drawing rows (A1-A3, A9), nor the user-defined
// areas, nor a pair that is not GBK at all.
bool isGbkLetter(unsigned char lead, unsigned char trail) {
  if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  if (lead >= 0xA1 && lead <= 0xA9) return lead >= 0xA4 && lead <= 0xA8 && trail >= 0xA1;
  if (trail >= 0xA1 && ((lead >= 0xAA && lead <= 0xAF) || lead >= 0xF8)) return false;
  return true;
}

// Whether the text is a host name: only host characters, and labels between
// the dots, at least two, none empty and none starting or ending with "-".
bool isHostName(const std::string& t) {
  size_t labels = 0, labelLength = 0;
  char previous = '.';
  for (size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) {
      if (!isAsciiHostChar(c)) return false;
      if (c == '.') {
        if (labelLength == 0 || previous == '-') return false;
        ++labels;
        labelLength = 0;
      } else {
        if (c == '-' && labelLength == 0) return false;
        ++labelLength;
      }
      previous = static_cast<char>(c);
      ++i;
    } else {
      if (!isGbkLead(c) || i + 1 >= t.size() || !isGbkLetter(c, static_cast<unsigned char>(t[i + 1])))
        return false;
      ++labelLength;
      previous = 'x';
      i += 2;
    }
  }
  return labelLength > 0 && previous != '-' && labels >= 1;
}

}  // namespace

std::string normaliseDomain(const std::string& text) {
  // Most names are host characters already, at most in upper case, without
  // "www.": every step below but the lower-casing would leave them as they
  // are, and a million-line import then costs one copy a name.
  if (std::all_of(text.begin(), text.end(), [](char c) {
        return isAsciiHostChar(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'Z');
      })) {
    std::string t = text;
    for (char& c : t)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (t.find("www.") == std::string::npos) return isHostName(t) ? t : std::string();
  }

  // Blanks anywhere, then the two web schemes anywhere.
  std::string t = removeAll(removeAll(text, " "), "\xA1\xA1");
  t = replaceAll(t, "http://", "", true);
  t = replaceAll(t, "https://", "", true);

  // Any other scheme names no web host.
  if (find(t, "://") != std::string::npos) return std::string();
  // The host ends at the path.
  t.resize(std::min(t.size(), find(t, "/")));

  // "www." goes wherever it occurs, also inside a name.
  t = replaceAll(asciiLower(t), "www.", "", true);

  // A port is dropped. ":" is never a GBK trail byte, so a byte search finds
  // only the character.
  const size_t colon = t.find(':');
  if (colon != std::string::npos) {
    for (size_t i = colon + 1; i < t.size(); ++i)
      if (t[i] < '0' || t[i] > '9') return std::string();
    t.resize(colon);
  }

  if (!isHostName(t)) return std::string();
  return t;
}

}  // namespace dvx
