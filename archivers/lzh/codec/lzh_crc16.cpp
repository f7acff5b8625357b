// CRC-16 as LZH headers store it: polynomial 0x8005 processed bit-reflected (0xA001), initial
// value 0, no final XOR. Extraction computes it over every byte it writes, so it is kept fast:
// on x86 processors with carry-less multiplication the data is folded 64 bytes per step to a
// 16-byte remainder, elsewhere (and for that remainder and short buffers) eight bytes go per
// step through eight tables (table k advances a byte's contribution by k further bytes). The
// tables and folding constants are computed at compile time, so there is no run-time set-up
// and nothing to guard between threads.
#include <string.h>

#include "lzh_codec.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ZV_CRC16_FOLD 1
#endif

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

uint16_t crc16_tables(uint16_t crc, const unsigned char* buf, size_t len) {
  const uint16_t(*t)[256] = kCrc16.t;
  uint64_t c = crc;
  size_t i = 0;
  for (; i + 8 <= len; i += 8) {
    uint64_t v;
    memcpy(&v, buf + i, 8);  // one load; the tables want the bytes in little-endian order
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    v ^= c;
    c = t[7][v & 0xFF] ^ t[6][(v >> 8) & 0xFF] ^ t[5][(v >> 16) & 0xFF] ^ t[4][(v >> 24) & 0xFF] ^
        t[3][(v >> 32) & 0xFF] ^ t[2][(v >> 40) & 0xFF] ^ t[1][(v >> 48) & 0xFF] ^ t[0][v >> 56];
  }
  for (; i < len; ++i) c = (c >> 8) ^ t[0][(c ^ buf[i]) & 0xFF];
  return (uint16_t)c;
}

#ifdef ZV_CRC16_FOLD

// The CRC of a message (initial value 0) is its polynomial times x^16 modulo P, so any
// message may be replaced by a shorter one with the same remainder. In the reflected bit
// order a 16-byte little-endian load holds the coefficient of x^(127 - i) in bit i, and a
// 64-bit half the coefficient of x^(63 - i). Carry-less multiplication of two such halves
// gives bit n for x^(126 - n), so multiplying by the half that holds x^(e-1) mod P yields,
// read as a 16-byte block, the half times x^e: one fold step moves a block e bits further
// along without changing the remainder.
constexpr uint64_t x_pow_mod(unsigned n) {
  uint32_t r = 1;  // plain bit order here: bit d is the coefficient of x^d
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & 0x10000) r ^= 0x18005;  // P = x^16 + x^15 + x^2 + 1
  }
  uint64_t k = 0;
  for (int d = 0; d < 16; ++d)
    if (r >> d & 1) k |= 1ull << (63 - d);
  return k;
}

// Folding a block by `bits`: its first 8 bytes (the higher powers) move by bits + 64.
constexpr uint64_t kFold512Lo = x_pow_mod(512 + 64 - 1), kFold512Hi = x_pow_mod(512 - 1);
constexpr uint64_t kFold128Lo = x_pow_mod(128 + 64 - 1), kFold128Hi = x_pow_mod(128 - 1);

__attribute__((target("pclmul,sse2"))) inline __m128i fold(__m128i x, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}

// Needs len >= 64. Four blocks are folded side by side (each by 512 bits), so the
// multiplications of one step do not wait for each other.
__attribute__((target("pclmul,sse2"))) uint16_t crc16_fold(uint16_t crc, const unsigned char* buf,
                                                           size_t len) {
  const __m128i k512 = _mm_set_epi64x((long long)kFold512Hi, (long long)kFold512Lo);
  const __m128i k128 = _mm_set_epi64x((long long)kFold128Hi, (long long)kFold128Lo);
  auto load = [](const unsigned char* p) { return _mm_loadu_si128((const __m128i*)p); };
  // A running CRC acts as if XOR-ed into the first two bytes of what follows.
  __m128i x0 = _mm_xor_si128(load(buf), _mm_cvtsi32_si128(crc));
  __m128i x1 = load(buf + 16), x2 = load(buf + 32), x3 = load(buf + 48);
  buf += 64;
  len -= 64;
  for (; len >= 64; buf += 64, len -= 64) {
    x0 = _mm_xor_si128(fold(x0, k512), load(buf));
    x1 = _mm_xor_si128(fold(x1, k512), load(buf + 16));
    x2 = _mm_xor_si128(fold(x2, k512), load(buf + 32));
    x3 = _mm_xor_si128(fold(x3, k512), load(buf + 48));
  }
  x1 = _mm_xor_si128(fold(x0, k128), x1);
  x2 = _mm_xor_si128(fold(x1, k128), x2);
  x3 = _mm_xor_si128(fold(x2, k128), x3);
  for (; len >= 16; buf += 16, len -= 16) x3 = _mm_xor_si128(fold(x3, k128), load(buf));
  unsigned char rest[16];
  _mm_storeu_si128((__m128i*)rest, x3);
  return crc16_tables(crc16_tables(0, rest, 16), buf, len);
}

#endif

}  // namespace

extern "C" uint16_t lzh_crc16(uint16_t crc, const unsigned char* buf, size_t len) {
#ifdef ZV_CRC16_FOLD
  if (len >= 64 && __builtin_cpu_supports("pclmul")) return crc16_fold(crc, buf, len);
#endif
  return crc16_tables(crc, buf, len);
}
