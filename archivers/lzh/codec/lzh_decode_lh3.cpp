// -lh3-: LZSS over an 8 KiB window with static Huffman tables per block. The C table has 286
// symbols (the last one followed by 8 plain bits for long matches), each length sent as a
// presence bit plus 4 bits; positions are 128 groups of 64 with either a sent table of 4-bit
// lengths or a built-in one.
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum { kNC = 286, kNP = 128, kLenField = 4 };

// First three lengths all 1 cannot start a valid code, so that pattern announces a table with
// a single symbol.
bool read_c_table(Decoder* d, Lh3State& s) {
  for (int i = 0; i < kNC; ++i) {
    refill(d);
    s.c.len[i] = get_bits(d, 1) ? (uint8_t)(get_bits(d, kLenField) + 1) : 0;
    if (i == 2 && s.c.len[0] == 1 && s.c.len[1] == 1 && s.c.len[2] == 1) {
      const int sym = (int)get_bits(d, 9);
      if (sym >= kNC) return false;
      single(s.c, sym);
      return true;
    }
  }
  return !overran(d) && build(s.c, kNC);
}

bool read_p_table(Decoder* d, Lh3State& s) {
  for (int i = 0; i < kNP; ++i) {
    refill(d);
    s.p.len[i] = (uint8_t)get_bits(d, kLenField);
    if (i == 2 && s.p.len[0] == 1 && s.p.len[1] == 1 && s.p.len[2] == 1) {
      single(s.p, (int)get_bits(d, 7));
      return true;
    }
  }
  return !overran(d) && build(s.p, kNP);
}

// The built-in position table: lengths 2 (1 group), 4 (2), 5 (3), 6 (7), 7 (18), 8 (47), 9 (50).
void builtin_p_table(Lh3State& s) {
  static const uint8_t kCounts[7][2] = {{2, 1}, {4, 2}, {5, 3}, {6, 7}, {7, 18}, {8, 47}, {9, 50}};
  int i = 0;
  for (const auto& row : kCounts)
    for (int k = 0; k < row[1]; ++k) s.p.len[i++] = row[0];
  build(s.p, kNP);
}

}  // namespace

int decode_lh3(Decoder* d) {
  Lh3State& s = d->m.lh3;
  uint32_t block_left = 0;
  while (d->out_left && d->status == LZH_OK) {
    refill(d);
    if (block_left == 0) {
      block_left = get_bits(d, 16);
      if (block_left == 0 || !read_c_table(d, s)) return d->status ? d->status : LZH_E_DATA;
      refill(d);
      if (get_bits(d, 1)) {
        if (!read_p_table(d, s)) return d->status ? d->status : LZH_E_DATA;
      } else {
        builtin_p_table(s);
      }
      refill(d);
    }
    --block_left;
    int c = decode(d, s.c);
    if (c < 0) return LZH_E_DATA;
    if (c == kNC - 1) c += (int)get_bits(d, 8);
    if (c < 256) {
      put_byte(d, (unsigned char)c);
    } else {
      const int p = decode(d, s.p);
      if (p < 0) return LZH_E_DATA;
      const uint32_t pos = ((uint32_t)p << 6) | get_bits(d, 6);
      copy_back(d, pos + 1, (uint32_t)(c - 253));
    }
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
