// RAII owners for GDI objects and a font maker.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

template <typename H>
class ScopedGdi {
 public:
  explicit ScopedGdi(H h = nullptr) : h_(h) {}
  ~ScopedGdi() { reset(); }
  ScopedGdi(const ScopedGdi&) = delete;
  ScopedGdi& operator=(const ScopedGdi&) = delete;
  void reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  H get() const { return h_; }

 private:
  H h_;
};

using ScopedFont = ScopedGdi<HFONT>;
using ScopedBrush = ScopedGdi<HBRUSH>;

// A font `pixels` high (character height), normal or bold.
HFONT makeFont(const wchar_t* face, int pixels, bool bold = false);
// A font of CreateFont's `height` (negative: character height, positive: line).
HFONT makeFontOfHeight(const wchar_t* face, int height, bool bold, bool underline);

}  // namespace dvx
