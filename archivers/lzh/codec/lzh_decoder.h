// Internal state shared by the LZH decoders: a bounded bit reader over the packed bytes and
// the output window. Everything lives in one block allocated per member (the window follows
// the struct), so a damaged member can never make the decoder allocate by a declared size.
#ifndef ZV_LZH_DECODER_H
#define ZV_LZH_DECODER_H

#include <string.h>

#include "lzh_codec.h"

namespace lzh {

enum { kInBufSize = 8192, kInvalidEntry = 0xFFFF };

// Canonical Huffman decoding table: a direct lookup on the first `tbits` bits, and a small
// binary tree for the longer codes. A single-symbol table maps every entry to the symbol and
// gives it length 0, so reading it consumes no bits.
template <int N, int TBITS>
struct HuffTable {
  uint16_t table[1 << TBITS];
  uint16_t left[2 * N];
  uint16_t right[2 * N];
  uint8_t len[N];
};

typedef HuffTable<510, 12> CTable;  // literals and match lengths of -lh4- ... -lhx-
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

inline void refill(Decoder* d) {
  while (d->nbits <= 56) {
    if (d->in_ptr == d->in_end && !fill_input(d)) {
      d->nbits += 8;
      d->pad_bits += 8;
      continue;
    }
    d->bits |= (uint64_t)*d->in_ptr++ << (56 - d->nbits);
    d->nbits += 8;
  }
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

// Copies `len` bytes from `dist` bytes back (1 <= dist <= wsize).
inline void copy_back(Decoder* d, uint32_t dist, uint32_t len) {
  copy_from(d, (d->wpos - dist) & d->wmask, len);
}

// Builds a decoding table from code lengths. Fails unless the lengths form a complete prefix
// code (or no code at all: then decoding any symbol from it fails).
bool build_table(int n, const uint8_t* len, int tbits, uint16_t* table, uint16_t* left,
                 uint16_t* right);

// Fills a table that yields `sym` without consuming bits.
void single_table(int n, uint8_t* len, int tbits, uint16_t* table, int sym);

// Decodes one symbol; the caller has refilled so that at least 16 bits are buffered.
// Returns -1 for a table without codes.
inline int decode_symbol(Decoder* d, int n, const uint8_t* len, int tbits, const uint16_t* table,
                         const uint16_t* left, const uint16_t* right) {
  unsigned e = table[peek_bits(d, tbits)];
  if (e >= (unsigned)n) {
    if (e == kInvalidEntry) return -1;
    uint64_t mask = (uint64_t)1 << (63 - tbits);
    while (e >= (unsigned)n) {
      if (e == kInvalidEntry || mask == 0) return -1;
      e = (d->bits & mask) ? right[e] : left[e];
      mask >>= 1;
    }
  }
  drop_bits(d, len[e]);
  return (int)e;
}

template <int N, int TBITS>
inline int decode(Decoder* d, const HuffTable<N, TBITS>& t) {
  return decode_symbol(d, N, t.len, TBITS, t.table, t.left, t.right);
}

template <int N, int TBITS>
inline bool build(HuffTable<N, TBITS>& t, int n) {
  for (int i = n; i < N; ++i) t.len[i] = 0;
  return build_table(N, t.len, TBITS, t.table, t.left, t.right);
}

template <int N, int TBITS>
inline void single(HuffTable<N, TBITS>& t, int sym) {
  single_table(N, t.len, TBITS, t.table, sym);
}

int decode_static(Decoder* d, int np, int pbit);
int decode_lh1(Decoder* d);
int decode_lh2(Decoder* d, int reading);
int decode_lh3(Decoder* d);
int decode_lzs(Decoder* d);
int decode_lz5(Decoder* d);

}  // namespace lzh

#endif
