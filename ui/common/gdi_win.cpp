#include "ui/common/gdi_win.h"

namespace dvx {

HFONT makeFont(const wchar_t* face, int pixels, bool bold) { return makeFontOfHeight(face, -pixels, bold, false); }

HFONT makeFontOfHeight(const wchar_t* face, int height, bool bold, bool underline) {
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace dvx
