// Internal state shared by the LZH decoders: a bounded bit reader over the packed bytes and
// the output window. Everything lives in one block allocated per member (the window follows
// the struct), so a damaged member can never make the decoder allocate by a declared size.
#ifndef ZV_LZH_DECODER_H
#define ZV_LZH_DECODER_H

#include <string.h>

#include "lzh_codec.h"

namespace lzh {

// kWideSlack: bytes after the ring that word-wise match copies may read or write past their
// end (at most 31, see decode_run in lzh_decode_static.cpp).
enum { kInBufSize = 32768, kWideSlack = 32 };

// Upper bound of the second-level entries of a complete code of `n` symbols up to 16 bits long
// with a `tbits`-bit first level: a second-level table of 2^k entries holds at least k + 1
// symbols, and 2^k / (k + 1) grows with k, so every symbol counts for at most 2^K / (K + 1)
// entries where K = 16 - tbits.
constexpr int sub_entries(int n, int tbits) { return n * (1 << (16 - tbits)) / (17 - tbits) + 1; }

// Canonical Huffman decoding table: one look-up on the first TBITS bits gives the symbol and
// its length (symbol | length << 16); codes longer than TBITS bits find a link there
// (kLink | offset | sub-bits << 16) to a second-level table indexed by the following bits.
// A single-symbol table maps every entry to the symbol with length 0, so reading it consumes
// no bits; a table without codes holds kNoCode everywhere.
template <int N, int TBITS>
struct HuffTable {
  enum { kBits = TBITS, kSize = (1 << TBITS) + sub_entries(N, TBITS) };
  uint32_t table[kSize];
  uint8_t len[N];
};

enum : uint32_t { kLink = 0x80000000u, kNoCode = 0xFFFFFFFFu };

typedef HuffTable<510, 10> CTable;  // literals and match lengths of -lh4- ... -lhx-
typedef HuffTable<32, 8> PTable;    // T tables, P tables, fixed position codes

struct StaticState {
  CTable c;
  PTable t;
  PTable p;
};

// -lh1- adaptive Huffman tree (slots 0..626, 626 is the root; freq[627] is a sentinel).
struct Lh1State {
  uint16_t freq[628];
  uint16_t child[627];
  uint16_t parent[627];
  uint16_t leaf[314];
  HuffTable<64, 8> pos;
};

// -lh2- adaptive Huffman trees: the symbol tree in slots 0..627 (root 0) and the position
// tree from slot 628 (its root), which grows a leaf for every further 64 bytes of output.
// Slots of equal frequency form blocks whose leader (edge) is the lowest slot.
struct Lh2State {
  int16_t child[884], parent[884], block[884], edge[884], stock[884];
  int16_t s_node[442];
  uint16_t freq[884];
  uint16_t total_p;
  bool root_counts;  // the single-leaf position root counts its uses (see decode_lh2)
  int avail, most_p, n1;
  uint32_t nn, nextcount;
};

// -lh3- static Huffman: 286 C symbols with presence-bit lengths, 128 position groups.
struct Lh3State {
  HuffTable<286, 12> c;
  HuffTable<128, 8> p;
};

struct Decoder {
  const LzhStreams* io;
  int status;

  // Input: packed bytes not yet requested, the buffered ones, and the bit buffer. Bits past
  // the end of the packed data read as zero and are counted in pad_bits; consuming any of
  // them means the stream ran past its end.
  uint64_t in_left;
  const unsigned char* in_ptr;
  const unsigned char* in_end;
  uint64_t bits;
  int nbits;
  int pad_bits;

  // Output: bytes still to produce and the ring window.
  uint64_t out_left;
  uint64_t out_done;
  unsigned char* win;
  uint32_t wsize;
  uint32_t wmask;
  uint32_t wpos;
  uint32_t flush_from;

  union {
    StaticState st;
    Lh1State lh1;
    Lh2State lh2;
    Lh3State lh3;
  } m;

  unsigned char inbuf[kInBufSize];
};

bool fill_input(Decoder* d);
bool flush_output(Decoder* d);

void refill_bytes(Decoder* d);

// Tops the bit buffer up to at least 56 bits: one 8-byte load while the input buffer has
// them. The load also ORs in bits beyond the counted ones; they are the bytes the next
// refill adds at the same places, so OR-ing them again changes nothing.
inline void refill(Decoder* d) {
  if (d->nbits > 56) return;
  if (d->in_end - d->in_ptr >= 8) {
    uint64_t w;
    memcpy(&w, d->in_ptr, 8);
    d->bits |= __builtin_bswap64(w) >> d->nbits;
    const int take = (63 - d->nbits) >> 3;
    d->in_ptr += take;
    d->nbits += take * 8;
    return;
  }
  refill_bytes(d);
}

inline unsigned peek_bits(const Decoder* d, int n) { return (unsigned)(d->bits >> (64 - n)); }

inline void drop_bits(Decoder* d, int n) {
  d->bits <<= n;
  d->nbits -= n;
}

// Reads n (0..32) bits, most significant first.
inline unsigned get_bits(Decoder* d, int n) {
  if (n == 0) return 0;
  if (d->nbits < n) refill(d);
  unsigned v = peek_bits(d, n);
  drop_bits(d, n);
  return v;
}

inline bool overran(const Decoder* d) { return d->nbits < d->pad_bits; }

// Emits one byte into the window. Callers loop while out_left != 0 and status == LZH_OK.
inline void put_byte(Decoder* d, unsigned char b) {
  d->win[d->wpos] = b;
  if (++d->wpos == d->wsize) flush_output(d);
  --d->out_left;
}

// Copies `len` bytes starting at window position `src`, one at a time, so that overlapping
// copies repeat the pattern as LZ77 intends. Stops at the end of the output.
void copy_from(Decoder* d, uint32_t src, uint32_t len);

// Copies `len` bytes from `dist` bytes back (1 <= dist <= wsize). The window of the methods
// that copy by distance is twice their largest distance, so when neither end of the copy
// wraps, it goes 8 bytes at a time: the up to 31 bytes written past its end lie in the far
// half of the ring (or in the slack after it), which no distance reaches before they are
// written again.
inline void copy_back(Decoder* d, uint32_t dist, uint32_t len) {
  const uint32_t src = (d->wpos - dist) & d->wmask;
  if (len < d->out_left && d->wpos + len < d->wsize && src + len <= d->wsize &&
      dist <= d->wsize >> 1) {
    unsigned char* to = d->win + d->wpos;
    const unsigned char* from = d->win + src;
    d->wpos += len;
    d->out_left -= len;
    if (dist >= 8) {
      for (uint32_t i = 0; i < len; i += 8) {
        uint64_t v;
        memcpy(&v, from + i, 8);
        memcpy(to + i, &v, 8);
      }
    } else {
      for (uint32_t i = 0; i < len; ++i) to[i] = from[i];
    }
    return;
  }
  copy_from(d, src, len);
}

// Builds a decoding table from code lengths. Fails unless the lengths form a complete prefix
// code (or no code at all: then decoding any symbol from it fails).
bool build_table(int n, const uint8_t* len, int tbits, uint32_t* table, int size);

// Fills a table that yields `sym` without consuming bits.
void single_table(int n, uint8_t* len, int tbits, uint32_t* table, int sym);

// Decodes one symbol; the caller has refilled so that at least 16 bits are buffered.
// Returns -1 for a table without codes.
template <int N, int TBITS>
inline int decode(Decoder* d, const HuffTable<N, TBITS>& t) {
  uint32_t e = t.table[peek_bits(d, TBITS)];
  if (e & kLink) {
    if (e == kNoCode) return -1;
    const unsigned sub = (unsigned)((d->bits << TBITS) >> (64 - ((e >> 16) & 31)));
    e = t.table[(e & 0xFFFF) + sub];
  }
  drop_bits(d, (int)(e >> 16));
  return (int)(e & 0xFFFF);
}

template <int N, int TBITS>
inline bool build(HuffTable<N, TBITS>& t, int n) {
  for (int i = n; i < N; ++i) t.len[i] = 0;
  return build_table(N, t.len, TBITS, t.table, HuffTable<N, TBITS>::kSize);
}

template <int N, int TBITS>
inline void single(HuffTable<N, TBITS>& t, int sym) {
  single_table(N, t.len, TBITS, t.table, sym);
}

// `lhark`: the variant LHark wrote under the -lh7- label (see lzh_decode_static.cpp).
int decode_static(Decoder* d, int np, int pbit, bool lhark);
int decode_lh1(Decoder* d);
int decode_lh2(Decoder* d, int reading);
int decode_lh3(Decoder* d);
int decode_lzs(Decoder* d);
int decode_lz5(Decoder* d);

}  // namespace lzh

#endif
