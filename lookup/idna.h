// Domain names in the form RDAP servers and the bootstrap file use.
#pragma once
#include <string>

namespace dvx {

// The name (GBK text) with every label that is not plain ASCII written as an
// A-label ("xn--" + Punycode, RFC 3492), e.g. "例子.公司" -> "xn--fsqu00a.xn--55qx5d".
// First full-width ASCII (Ａ..ｚ, ０..９, punctuation) becomes ASCII, the
// ideographic full stop "。" and the full-width and half-width full stops
// separate labels like ".", and ASCII letters are lower-cased; nothing else
// is folded. "" when a label is longer than 63 characters (once encoded) or
// the text is not readable.
std::string toALabels(const std::string& gbkName);

}  // namespace dvx
