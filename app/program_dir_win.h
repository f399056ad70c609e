#pragma once
#include <string>

namespace dvx {
// The directory of the running program, without a trailing separator (GBK).
std::string programDirectory();
}  // namespace dvx
