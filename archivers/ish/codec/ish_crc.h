// The CRC-16 that protects every ISH record and the whole file (poly 0x1021, MSB first,
// start 0xFFFF, result inverted), and the CRC-32 of volume sets.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zv::ish {

// Runs the CRC register over the bytes; start with kCrc16Start, invert for the stored value.
uint16_t crc16Update(uint16_t reg, const uint8_t* data, size_t len);
constexpr uint16_t kCrc16Start = 0xFFFF;
// The value stored after data (already inverted).
inline uint16_t crc16(const uint8_t* data, size_t len) {
  return static_cast<uint16_t>(~crc16Update(kCrc16Start, data, len));
}
uint32_t crc32(const uint8_t* data, size_t len);

}  // namespace zv::ish
