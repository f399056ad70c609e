// Geometry is designed for 96 DPI and drawn at the window's DPI: every
// number is scaled from its 96-DPI value, never from an already scaled one,
// so moving between screens leaves no rounding behind.
#pragma once
#include <cstdint>

namespace dvx {

constexpr int kDesignDpi = 96;

// value * to / from, rounded half away from zero as MulDiv rounds. A
// non-positive `from` or `to` leaves the value as it is.
int32_t rescale(int32_t value, int to, int from);

// A 96-DPI number at `dpi`.
inline int32_t scaleForDpi(int32_t value96, int dpi) { return rescale(value96, dpi, kDesignDpi); }

// A DPI as a window reports it; nonsense (zero, negative, absurd) counts as 96.
int usableDpi(int dpi);

struct DpiBox {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const DpiBox& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// Position and size each scaled on their own, so a control keeps its
// proportions: a 96-DPI box at 144 DPI is exactly 1.5 times as wide.
DpiBox scaleBox(const DpiBox& box96, int dpi);

// A width the user may have changed (a list column) moving from `fromDpi`
// to `toDpi`: while it is still the designed width at `fromDpi` it becomes
// the designed width at `toDpi`; a width the user chose is scaled in
// proportion.
int32_t rescaleKeepingDesign(int32_t current, int32_t design96, int fromDpi, int toDpi);

}  // namespace dvx
