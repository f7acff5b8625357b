#include "ish_crc.h"

#include <array>

namespace zv::ish {
namespace {

constexpr std::array<uint16_t, 256> makeTable16() {
  std::array<uint16_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int b = 0; b < 8; ++b)
      r = (r & 0x8000) ? static_cast<uint16_t>((r << 1) ^ 0x1021) : static_cast<uint16_t>(r << 1);
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

// Eight tables for processing eight bytes per step (the register is 16 bits wide, so the
// first two bytes meet it and the other six only shift through).
constexpr std::array<std::array<uint16_t, 256>, 8> makeSlices() {
  std::array<std::array<uint16_t, 256>, 8> t{};
  t[0] = makeTable16();
  for (int k = 1; k < 8; ++k)
    for (int i = 0; i < 256; ++i)
      t[k][i] = static_cast<uint16_t>((t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 8]);
  return t;
}
constexpr auto kSlices = makeSlices();
constexpr auto kTable32 = makeTable32();

}  // namespace

uint16_t crc16Update(uint16_t reg, const uint8_t* data, size_t len) {
  size_t i = 0;
  for (; i + 8 <= len; i += 8) {
    const uint8_t* p = data + i;
    reg = static_cast<uint16_t>(kSlices[7][(reg >> 8) ^ p[0]] ^ kSlices[6][(reg & 0xFF) ^ p[1]] ^
                                kSlices[5][p[2]] ^ kSlices[4][p[3]] ^ kSlices[3][p[4]] ^
                                kSlices[2][p[5]] ^ kSlices[1][p[6]] ^ kSlices[0][p[7]]);
  }
  for (; i < len; ++i)
    reg = static_cast<uint16_t>((reg << 8) ^ kTable16[((reg >> 8) ^ data[i]) & 0xFF]);
  return reg;
}

uint32_t crc32(const uint8_t* data, size_t len) {
  uint32_t r = 0xFFFFFFFFu;
  for (size_t i = 0; i < len; ++i) r = (r >> 8) ^ kTable32[(r ^ data[i]) & 0xFF];
  return ~r;
}

}  // namespace zv::ish
