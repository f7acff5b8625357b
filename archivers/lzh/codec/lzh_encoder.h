// Internal pieces of the -lh5-/-lh6-/-lh7- encoder: Huffman code construction and the bit
// writer, kept apart from the match finder so each can be read (and tested) on its own.
#ifndef ZV_LZH_ENCODER_H
#define ZV_LZH_ENCODER_H

#include "lzh_codec.h"

namespace lzh {

enum { kMaxCodeLen = 16 };

// Computes code lengths (each <= 16) for `n` symbols from their frequencies. Symbols with
// frequency 0 get length 0. Returns the number of symbols used. With at least two used
// symbols the lengths form a complete prefix code.
int make_code_lengths(const uint32_t* freq, int n, uint8_t* len);

// Canonical codes for the lengths, assigned in symbol order within each length (the order the
// decoder rebuilds them in).
void make_codes(const uint8_t* len, int n, uint16_t* code);

struct BitWriter {
  const LzhStreams* io;
  uint64_t acc;
  int accbits;
  int status;
  uint64_t written;     // bytes handed to the write callback
  uint64_t stop_above;  // 0 = no limit
  size_t used;
  unsigned char buf[16384];
};

void bw_init(BitWriter* w, const LzhStreams* io, uint64_t stop_above);
void bw_flush_buffer(BitWriter* w);
// Pads the last byte with zero bits and writes out everything.
void bw_finish(BitWriter* w);

// Appends the low `n` (0..32) bits of `v`, most significant first.
inline void bw_put(BitWriter* w, int n, uint32_t v) {
  w->acc = (w->acc << n) | v;
  w->accbits += n;
  if (w->accbits >= 32) {
    w->accbits -= 32;
    const uint32_t word = (uint32_t)(w->acc >> w->accbits);
    if (w->used + 4 > sizeof w->buf) bw_flush_buffer(w);
    unsigned char* p = w->buf + w->used;
    p[0] = (unsigned char)(word >> 24);
    p[1] = (unsigned char)(word >> 16);
    p[2] = (unsigned char)(word >> 8);
    p[3] = (unsigned char)word;
    w->used += 4;
  }
}

inline uint64_t bw_bytes(const BitWriter* w) {
  return w->written + w->used + (uint64_t)((w->accbits + 7) / 8);
}

}  // namespace lzh

#endif
