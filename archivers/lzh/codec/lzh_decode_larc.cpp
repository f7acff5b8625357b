// LArc methods: -lzs- (2 KiB ring, bit-packed) and -lz5- (4 KiB ring, byte-packed flags).
// Both copy from absolute ring positions; the ring doubles as the output window.
#include "lzh_decoder.h"

namespace lzh {

int decode_lzs(Decoder* d) {
  d->wpos = d->flush_from = 2048 - 17;
  while (d->out_left && d->status == LZH_OK) {
    refill(d);
    if (get_bits(d, 1)) {
      put_byte(d, (unsigned char)get_bits(d, 8));
    } else {
      const uint32_t pos = get_bits(d, 11);
      const uint32_t count = get_bits(d, 4) + 2;
      copy_from(d, pos, count);
    }
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

namespace {

void init_lz5_ring(unsigned char* w) {
  int p = 0;
  for (int v = 0; v < 256; ++v)
    for (int k = 0; k < 13; ++k) w[p++] = (unsigned char)v;
  for (int v = 0; v < 256; ++v) w[p++] = (unsigned char)v;
  for (int v = 255; v >= 0; --v) w[p++] = (unsigned char)v;
  for (int k = 0; k < 128; ++k) w[p++] = 0;
  for (int k = 0; k < 110; ++k) w[p++] = 0x20;
  for (int k = 0; k < 18; ++k) w[p++] = 0;
}

// Byte input for -lz5-: sets pad_bits past the end, so overran() reports truncation.
inline unsigned next_byte(Decoder* d) { return get_bits(d, 8); }

}  // namespace

int decode_lz5(Decoder* d) {
  init_lz5_ring(d->win);
  d->wpos = d->flush_from = 4096 - 18;
  while (d->out_left && d->status == LZH_OK) {
    unsigned flags = next_byte(d);
    for (int bit = 0; bit < 8 && d->out_left && d->status == LZH_OK; ++bit, flags >>= 1) {
      if (flags & 1) {
        put_byte(d, (unsigned char)next_byte(d));
      } else {
        const unsigned b0 = next_byte(d);
        const unsigned b1 = next_byte(d);
        copy_from(d, b0 | ((b1 & 0xF0) << 4), (b1 & 0x0F) + 3);
      }
      if (overran(d)) return LZH_E_DATA;
    }
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
