#pragma once
#include <filesystem>

namespace dvx {
// The directory of the running program, without a trailing separator.
std::filesystem::path programDirectory();
}  // namespace dvx
