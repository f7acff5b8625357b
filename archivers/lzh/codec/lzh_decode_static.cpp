// -lh4- ... -lh7- and -lhx-: LZSS with static Huffman tables sent at the start of each block.
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum { kNC = 510, kNT = 19, kTBits = 5, kCBits = 9, kMaxMatchLen = 256,
       kMaxTokenBits = 16 + 16 + 19 };  // C code, P code, extra position bits of -lhx-

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

// Decodes tokens while nothing can run out: at least 8 input bytes buffered, tokens left in
// the block, and room for a longest match before both the end of the ring and the end of the
// output. The bit buffer and the output position live in locals here, because every byte
// stored into the window could otherwise alias the decoder's fields and force them back to
// memory. Returns LZH_E_DATA for a code missing from its table, else LZH_OK.
int decode_run(Decoder* d, StaticState& st, uint32_t* block_left) {
  uint64_t bits = d->bits;
  int nbits = d->nbits;
  const unsigned char* ip = d->in_ptr;
  const unsigned char* const iend = d->in_end;
  unsigned char* const win = d->win;
  const uint32_t wsize = d->wsize, wmask = d->wmask, far = wsize >> 1;
  uint32_t wpos = d->wpos;
  uint64_t out_left = d->out_left;
  uint32_t left = *block_left;
  int rc = LZH_OK;
  while (left && iend - ip >= 8 && wpos + kMaxMatchLen < wsize && out_left > kMaxMatchLen) {
    if (nbits < kMaxTokenBits) {  // a refill leaves at least 57 bits
      uint64_t w;
      memcpy(&w, ip, 8);
      bits |= __builtin_bswap64(w) >> nbits;
      const int take = (63 - nbits) >> 3;
      ip += take;
      nbits += take * 8;
    }
    --left;
    uint32_t e = st.c.table[bits >> (64 - CTable::kBits)];
    if (e & kLink) {
      if (e == kNoCode) { rc = LZH_E_DATA; break; }
      e = st.c.table[(e & 0xFFFF) + (uint32_t)((bits << CTable::kBits) >> (64 - ((e >> 16) & 31)))];
    }
    bits <<= e >> 16;
    nbits -= (int)(e >> 16);
    const uint32_t c = e & 0xFFFF;
    if (c < 256) {
      win[wpos++] = (unsigned char)c;
      --out_left;
      continue;
    }
    e = st.p.table[bits >> (64 - PTable::kBits)];
    if (e & kLink) {
      if (e == kNoCode) { rc = LZH_E_DATA; break; }
      e = st.p.table[(e & 0xFFFF) + (uint32_t)((bits << PTable::kBits) >> (64 - ((e >> 16) & 31)))];
    }
    bits <<= e >> 16;
    nbits -= (int)(e >> 16);
    const uint32_t p = e & 0xFFFF;
    uint32_t dist = p;
    if (p > 1) {
      dist = (1u << (p - 1)) + (uint32_t)(bits >> (64 - (p - 1)));
      bits <<= p - 1;
      nbits -= (int)(p - 1);
    }
    ++dist;
    const uint32_t len = c - 253;
    const uint32_t src = (wpos - dist) & wmask;
    unsigned char* to = win + wpos;
    if (dist >= 8 && src + len <= wsize && dist <= far) {
      // 8 bytes at a time; see copy_back for why the bytes written past the end are harmless.
      const unsigned char* from = win + src;
      for (uint32_t i = 0; i < len; i += 8) {
        uint64_t v;
        memcpy(&v, from + i, 8);
        memcpy(to + i, &v, 8);
      }
    } else {
      for (uint32_t i = 0; i < len; ++i) to[i] = win[(src + i) & wmask];
    }
    wpos += len;
    out_left -= len;
  }
  d->bits = bits;
  d->nbits = nbits;
  d->in_ptr = ip;
  d->wpos = wpos;
  d->out_left = out_left;
  *block_left = left;
  return rc;
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
    if (decode_run(d, st, &block_left) != LZH_OK) return LZH_E_DATA;
    if (block_left == 0 || d->out_left == 0) continue;
    refill(d);
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
