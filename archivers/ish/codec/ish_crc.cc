#include "ish_crc.h"

#include <array>

namespace zv::ish {
namespace {

constexpr std::array<uint16_t, 256> makeTable16() {
  std::array<uint16_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int b = 0; b < 8; ++b) r = (r & 0x8000) ? static_cast<uint16_t>((r << 1) ^ 0x1021) : static_cast<uint16_t>(r << 1);
    t[i] = r;
  }
  return t;
}
constexpr std::array<uint32_t, 256> makeTable32() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i;
    for (int b = 0; b < 8; ++b) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    t[i] = r;
  }
  return t;
}
constexpr auto kTable16 = makeTable16();
constexpr auto kTable32 = makeTable32();

}  // namespace

uint16_t crc16Update(uint16_t reg, const uint8_t* data, size_t len) {
  for (size_t i = 0; i < len; ++i)
    reg = static_cast<uint16_t>((reg << 8) ^ kTable16[((reg >> 8) ^ data[i]) & 0xFF]);
  return reg;
}

uint32_t crc32(const uint8_t* data, size_t len) {
  uint32_t r = 0xFFFFFFFFu;
  for (size_t i = 0; i < len; ++i) r = (r >> 8) ^ kTable32[(r ^ data[i]) & 0xFF];
  return ~r;
}

}  // namespace zv::ish
