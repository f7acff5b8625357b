// -lh4- ... -lh7- and -lhx-: LZSS with static Huffman tables sent at the start of each block.
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum { kNC = 510, kNT = 19, kTBits = 5, kCBits = 9 };

// Reads a T or P length list: a count, then 3-bit lengths (7 extended by a unary tail).
// `special` is the index after which a 2-bit run of zero lengths follows (T tables only).
bool read_length_list(Decoder* d, PTable& t, int n, int width, int special) {
  refill(d);
  const int k = (int)get_bits(d, width);
  if (k == 0) {
    const int sym = (int)get_bits(d, width);
    if (sym >= n) return false;
    single(t, sym);
    return true;
  }
  if (k > n) return false;
  for (int i = 0; i < 32; ++i) t.len[i] = 0;
  int i = 0;
  while (i < k) {
    refill(d);
    unsigned v = get_bits(d, 3);
    if (v == 7) {
      while (get_bits(d, 1)) {
        if (++v > 16) return false;
      }
    }
    t.len[i++] = (uint8_t)v;
    if (i == special) {
      unsigned zeros = get_bits(d, 2);
      while (zeros-- && i < n) t.len[i++] = 0;
    }
  }
  if (overran(d)) return false;
  return build(t, n);
}

// Reads the C length list, coded with the T table.
bool read_c_lengths(Decoder* d, StaticState& st) {
  refill(d);
  const int n = (int)get_bits(d, kCBits);
  if (n == 0) {
    const int sym = (int)get_bits(d, kCBits);
    if (sym >= kNC) return false;
    single(st.c, sym);
    return true;
  }
  if (n > kNC) return false;
  int i = 0;
  while (i < n) {
    refill(d);
    const int t = decode(d, st.t);
    if (t < 0 || overran(d)) return false;
    if (t > 2) {
      st.c.len[i++] = (uint8_t)(t - 2);
      continue;
    }
    int run = t == 0 ? 1 : t == 1 ? (int)get_bits(d, 4) + 3 : (int)get_bits(d, 9) + 20;
    if (run > n - i) return false;
    while (run--) st.c.len[i++] = 0;
  }
  return build(st.c, n);
}

}  // namespace

int decode_static(Decoder* d, int np, int pbit) {
  StaticState& st = d->m.st;
  uint32_t block_left = 0;
  while (d->out_left && d->status == LZH_OK) {
    refill(d);
    if (block_left == 0) {
      block_left = get_bits(d, 16);
      if (block_left == 0) return LZH_E_DATA;
      if (!read_length_list(d, st.t, kNT, kTBits, 3) || !read_c_lengths(d, st) ||
          !read_length_list(d, st.p, np, pbit, -1))
        return d->status ? d->status : LZH_E_DATA;
      refill(d);
    }
    --block_left;
    const int c = decode(d, st.c);
    if (c < 256) {
      if (c < 0) return LZH_E_DATA;
      put_byte(d, (unsigned char)c);
    } else {
      const int p = decode(d, st.p);
      if (p < 0) return LZH_E_DATA;
      uint32_t dist = (uint32_t)p;
      if (p > 1) dist = (1u << (p - 1)) + get_bits(d, p - 1);
      copy_back(d, dist + 1, (uint32_t)(c - 253));
    }
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
