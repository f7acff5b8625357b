// CRC-16 as LZH headers store it: polynomial 0x8005 processed bit-reflected (0xA001), initial
// value 0, no final XOR. The table is computed at compile time, so there is no run-time set-up
// and nothing to guard between threads.
#include "lzh_codec.h"

namespace {

struct Crc16Table {
  uint16_t entry[256];
  constexpr Crc16Table() : entry() {
    for (unsigned i = 0; i < 256; ++i) {
      unsigned c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
      entry[i] = (uint16_t)c;
    }
  }
};

constexpr Crc16Table kCrc16Table;

}  // namespace

extern "C" uint16_t lzh_crc16(uint16_t crc, const unsigned char* buf, size_t len) {
  const uint16_t* t = kCrc16Table.entry;
  unsigned c = crc;
  for (size_t i = 0; i < len; ++i) c = (c >> 8) ^ t[(c ^ buf[i]) & 0xFF];
  return (uint16_t)c;
}
