// -lh4- ... -lh7- and -lhx-: LZSS with static Huffman tables sent at the start of each block.
// LHark wrote a variant under the -lh7- label (here "-lk7-"): the same blocks and tables over
// a 64 KiB dictionary, but C symbols from 264 on code match lengths up to 514 with extra
// bits, and P symbols split distances more finely (two symbols per power of two).
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum {
  kNC = 510,
  kNT = 19,
  kTBits = 5,
  kCBits = 9,
  kMaxMatchLen = 514,
  kLharkLongest = 288,
  kLharkLongLen = 514
};

// Bits a token may take at most: C code, P code and 19 extra position bits of -lhx-, or for
// the variant C code, 6 extra length bits, P code and 14 extra position bits. A refill
// leaves at least 56.
enum { kMaxTokenBits = 16 + 6 + 16 + 14 };

// Match length of C symbol c >= 256. The variant: 256..263 are lengths 3..10, then each
// group of four symbols doubles the range and adds one extra bit; 288 is the longest match.
// `extra` supplies the extra bits. Returns 0 for a symbol the stream may not contain.
template <typename Extra>
inline uint32_t length_of(uint32_t c, bool lhark, Extra extra) {
  if (!lhark || c < 264) return c - 253;
  if (c == kLharkLongest) return kLharkLongLen;
  if (c > kLharkLongest) return 0;
  const int nb = (int)(c - 260) >> 2;
  return ((4 + (c & 3)) << nb) + extra(nb) + 3;
}

// Distance - 1 of P symbol p: 0, 1, then 2^(p-1) + (p-1) extra bits; the variant has 0..3,
// then (2 or 3) << n + n extra bits, n = (p - 2) / 2.
template <typename Extra>
inline uint32_t distance_of(uint32_t p, bool lhark, Extra extra) {
  if (!lhark) return p > 1 ? (1u << (p - 1)) + extra((int)p - 1) : p;
  if (p <= 3) return p;
  const int nb = (int)(p - 2) >> 1;
  return ((2 + (p & 1)) << nb) + extra(nb);
}

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
// output. Those limits are turned into two bounds before the loop (a token count and a window
// position), so each token checks two counters instead of four. The bit buffer and the output
// position live in locals here, because every byte stored into the window could otherwise
// alias the decoder's fields and force them back to memory. Returns LZH_E_DATA for a code
// missing from its table, else LZH_OK.
int decode_run(Decoder* d, StaticState& st, uint32_t* block_left, bool lhark) {
  uint64_t bits = d->bits;
  int nbits = d->nbits;
  const unsigned char* ip = d->in_ptr;
  const unsigned char* const iend = d->in_end;
  unsigned char* const win = d->win;
  const uint32_t wsize = d->wsize, wmask = d->wmask, far = wsize >> 1;
  const uint32_t wstart = d->wpos;
  uint32_t wpos = wstart;
  // A refill reads 8 bytes and moves the input on by the whole bytes consumed since the last
  // one, which from the (at least 56) bits at hand here is at most (52 k + 7) / 8 bytes after
  // k tokens of at most kMaxTokenBits (some matches refill twice, but consume no more for
  // it). So k tokens read at most 6.5 k + 9 bytes; each writes at most kMaxMatchLen bytes.
  const size_t avail = (size_t)(iend - ip);
  const uint64_t by_input = avail >= 9 ? (avail - 9) / 7 : 0;
  uint32_t budget = *block_left < by_input ? *block_left : (uint32_t)by_input;
  const uint32_t planned = budget;
  uint32_t wlimit = 0;
  if (d->out_left > kMaxMatchLen && wsize > kMaxMatchLen) {
    const uint64_t by_output = wstart + (d->out_left - kMaxMatchLen);
    wlimit = by_output < wsize - kMaxMatchLen ? (uint32_t)by_output : wsize - kMaxMatchLen;
  }
  auto take_bits = [&bits, &nbits](int n) -> uint32_t {
    if (n == 0) return 0;
    const uint32_t v = (uint32_t)(bits >> (64 - n));
    bits <<= n;
    nbits -= n;
    return v;
  };
  // Refill without a branch: top up to 56..63 bits (a token takes at most kMaxTokenBits).
  auto refill_bits = [&bits, &nbits, &ip] {
    uint64_t w;
    memcpy(&w, ip, 8);
    bits |= __builtin_bswap64(w) >> nbits;
    ip += (63 - nbits) >> 3;
    nbits |= 56;
  };
  int rc = LZH_OK;
  // The code of each token is looked up before that token's refill, from the bits left after
  // the last one (at least 16: see below), so that the load waits for no refill. The callers
  // refill before calling, so the first look-up has at least 56.
  uint32_t e = st.c.table[bits >> (64 - CTable::kBits)];
  while (budget && wpos < wlimit) {
    --budget;
    refill_bits();
    if (e & kLink) {
      if (e == kNoCode) {
        rc = LZH_E_DATA;
        break;
      }
      e = st.c.table[(e & 0xFFFF) + (uint32_t)((bits << CTable::kBits) >> (64 - ((e >> 16) & 31)))];
    }
    bits <<= e >> 16;
    nbits -= (int)(e >> 16);
    const uint32_t c = e & 0xFFFF;
    if (c < 256) {
      win[wpos++] = (unsigned char)c;
      // A literal takes at most 16 of the 56 or more bits.
      e = st.c.table[bits >> (64 - CTable::kBits)];
      continue;
    }
    const uint32_t len = length_of(c, lhark, take_bits);
    if (len == 0) {
      rc = LZH_E_DATA;
      break;
    }
    e = st.p.table[bits >> (64 - PTable::kBits)];
    if (e & kLink) {
      if (e == kNoCode) {
        rc = LZH_E_DATA;
        break;
      }
      e = st.p.table[(e & 0xFFFF) + (uint32_t)((bits << PTable::kBits) >> (64 - ((e >> 16) & 31)))];
    }
    bits <<= e >> 16;
    nbits -= (int)(e >> 16);
    const uint32_t p = e & 0xFFFF;
    const uint32_t dist = distance_of(p, lhark, take_bits) + 1;
    // Most matches leave 16 bits; the few that do not refill once more here.
    if (nbits < 16) refill_bits();
    e = st.c.table[bits >> (64 - CTable::kBits)];
    const uint32_t src = (wpos - dist) & wmask;
    unsigned char* to = win + wpos;
    if (dist >= 8 && src + len <= wsize && dist <= far) {
      // 8 bytes at a time, the first 32 without a loop test since most matches are short;
      // see copy_back for why the bytes written past the end are harmless.
      const unsigned char* from = win + src;
      uint64_t v;
      memcpy(&v, from, 8);
      memcpy(to, &v, 8);
      memcpy(&v, from + 8, 8);
      memcpy(to + 8, &v, 8);
      memcpy(&v, from + 16, 8);
      memcpy(to + 16, &v, 8);
      memcpy(&v, from + 24, 8);
      memcpy(to + 24, &v, 8);
      for (uint32_t i = 32; i < len; i += 8) {
        memcpy(&v, from + i, 8);
        memcpy(to + i, &v, 8);
      }
    } else {
      for (uint32_t i = 0; i < len; ++i) to[i] = win[(src + i) & wmask];
    }
    wpos += len;
  }
  d->bits = bits;
  d->nbits = nbits;
  d->in_ptr = ip;
  d->wpos = wpos;
  d->out_left -= wpos - wstart;
  *block_left -= planned - budget;
  return rc;
}

}  // namespace

int decode_static(Decoder* d, int np, int pbit, bool lhark) {
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
    if (decode_run(d, st, &block_left, lhark) != LZH_OK) return LZH_E_DATA;
    if (block_left == 0 || d->out_left == 0) continue;
    refill(d);
    --block_left;
    const int c = decode(d, st.c);
    if (c < 256) {
      if (c < 0) return LZH_E_DATA;
      put_byte(d, (unsigned char)c);
    } else {
      auto extra = [d](int n) -> uint32_t { return get_bits(d, n); };
      const uint32_t len = length_of((uint32_t)c, lhark, extra);
      if (len == 0) return LZH_E_DATA;
      const int p = decode(d, st.p);
      if (p < 0) return LZH_E_DATA;
      copy_back(d, distance_of((uint32_t)p, lhark, extra) + 1, len);
    }
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
