// Helpers shared by the ISH codec tests.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ish_header.h"

namespace zv::ish::test {

inline std::vector<uint8_t> fromHex(std::string_view hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(uint8_t(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

inline std::string toHex(const uint8_t* p, size_t n) {
  static const char* d = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) s += d[p[i] >> 4], s += d[p[i] & 15];
  return s;
}

// The header of the format note's examples: 1998-03-19 12:34:56, OS 0, flags 0x01.
inline Header exampleHeader(CodeType type, const char* base, const char* ext) {
  Header h;
  h.type = type;
  h.base = base;
  h.ext = ext;
  h.dosDate = 0x2473;
  h.dosTime = 0x645C;
  return h;
}

inline std::vector<uint8_t> patternBytes(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t((7 * i + 3) % 256);
  return v;
}

}  // namespace zv::ish::test
