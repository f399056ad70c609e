#include "ui/common/dpi_scale.h"

#include <cstdlib>

namespace dvx {

int32_t rescale(int32_t value, int to, int from) {
  if (to <= 0 || from <= 0 || to == from) return value;
  const int64_t product = static_cast<int64_t>(value) * to;
  const int64_t magnitude = (std::llabs(product) * 2 + from) / (2 * static_cast<int64_t>(from));
  const int64_t result = product < 0 ? -magnitude : magnitude;
  if (result > INT32_MAX) return INT32_MAX;
  if (result < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(result);
}

int usableDpi(int dpi) { return dpi >= 24 && dpi <= 2400 ? dpi : kDesignDpi; }

DpiBox scaleBox(const DpiBox& b, int dpi) {
  return DpiBox{scaleForDpi(b.x, dpi), scaleForDpi(b.y, dpi), scaleForDpi(b.width, dpi),
                scaleForDpi(b.height, dpi)};
}

int32_t rescaleKeepingDesign(int32_t current, int32_t design96, int fromDpi, int toDpi) {
  if (current == scaleForDpi(design96, fromDpi)) return scaleForDpi(design96, toDpi);
  return rescale(current, toDpi, fromDpi);
}

}  // namespace dvx
