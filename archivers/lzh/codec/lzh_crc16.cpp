// CRC-16 as LZH headers store it: polynomial 0x8005 processed bit-reflected (0xA001), initial
// value 0, no final XOR. The tables are computed at compile time, so there is no run-time
// set-up and nothing to guard between threads. Eight bytes go per step through eight tables
// (table k advances a byte's contribution by k further bytes), which keeps the CRC from
// costing as much as decoding itself.
#include <string.h>

#include "lzh_codec.h"

namespace {

struct Crc16Tables {
  uint16_t t[8][256];
  constexpr Crc16Tables() : t() {
    for (unsigned i = 0; i < 256; ++i) {
      unsigned c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
      t[0][i] = (uint16_t)c;
    }
    for (int k = 1; k < 8; ++k)
      for (unsigned i = 0; i < 256; ++i)
        t[k][i] = (uint16_t)((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
  }
};

constexpr Crc16Tables kCrc16;

}  // namespace

extern "C" uint16_t lzh_crc16(uint16_t crc, const unsigned char* buf, size_t len) {
  const uint16_t(*t)[256] = kCrc16.t;
  uint64_t c = crc;
  size_t i = 0;
  for (; i + 8 <= len; i += 8) {
    uint64_t v = 0;
    for (int k = 0; k < 8; ++k) v |= (uint64_t)buf[i + k] << (8 * k);  // little-endian load
    v ^= c;
    c = t[7][v & 0xFF] ^ t[6][(v >> 8) & 0xFF] ^ t[5][(v >> 16) & 0xFF] ^ t[4][(v >> 24) & 0xFF] ^
        t[3][(v >> 32) & 0xFF] ^ t[2][(v >> 40) & 0xFF] ^ t[1][(v >> 48) & 0xFF] ^ t[0][v >> 56];
  }
  for (; i < len; ++i) c = (c >> 8) ^ t[0][(c ^ buf[i]) & 0xFF];
  return (uint16_t)c;
}
