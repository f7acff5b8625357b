// A member's whole name handed to a caller's buffer, as the libraries' GetFileName calls do.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zv {

// As much of the name as fits, always ended by a zero; the name's length in bytes, so that a
// caller whose buffer was short can ask again with a larger one.
inline int copyName(std::string_view name, char* buffer, uint32_t size) {
  if (buffer && size > 0) {
    size_t n = std::min<size_t>(name.size(), size - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int>(name.size());
}

}  // namespace zv
