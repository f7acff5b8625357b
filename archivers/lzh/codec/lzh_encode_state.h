// State of the -lh5-/-lh6-/-lh7- encoder shared by its parts: the window and match finder
// (lzh_encode.cpp), block output and cutting (lzh_encode_blocks.cpp) and the parse by cost
// (lzh_encode_cost.cpp).
#ifndef ZV_LZH_ENCODE_STATE_H
#define ZV_LZH_ENCODE_STATE_H

#include <string.h>

#include "lzh_encoder.h"

namespace lzh {

enum {
  kMinMatch = 3,
  kMaxMatch = 256,
  kLookahead = kMaxMatch + kMinMatch,  // bytes kept ahead of the current position
  kNC = 510,
  kNT = 19,
  kTBits = 5,
  kCBits = 9,
  kMaxP = 17,
  kBufTokens = 1 << 16,  // lazy levels: symbols gathered before blocks are cut and written
  kMaxCuts = 128,        // most blocks a buffer or chunk is cut into (Level::cuts at most this)
  kMinGrid = 256,        // block borders are first placed on a grid of at least this many tokens
  kFineStep = 32,        // then moved in steps of this many tokens
  kMaxBlock = 65535,     // the block header counts symbols in 16 bits
  kChunk = 1 << 19,      // levels 7-9: bytes parsed together
};
struct Level {
  uint16_t max_chain;  // candidates examined per position
  uint16_t good;       // a match this long cuts the chain to a quarter
  uint16_t nice;       // a match this long ends the search
  uint16_t lazy;       // a match this long is taken without looking one byte further
  uint16_t passes;     // 0: lazy matching; else passes of the parse by cost over each chunk
  uint16_t cuts;       // most blocks a token buffer or chunk is cut into
};

struct Token {
  uint16_t code;   // 0..255 literal, 256..509 match length + 253
  uint16_t dist1;  // distance - 1 of a match
};

// Where a run of tokens is cut into blocks.
struct Cutter {
  uint32_t cut[kMaxCuts + 1];  // block borders as token indexes; cut[0] = 0, cut[ncut] = ntok
  uint32_t ncut;
  uint64_t best[kMaxCuts + 1];  // cheapest encoding of the tokens up to each grid point
  uint32_t from[kMaxCuts + 1];  // and the grid point its last block starts at
  uint32_t step_counts[kMaxCuts][kNC + kMaxP + 1];  // C then position symbols of each grid step
  uint32_t nflogf;                                  // entries of flogf filled so far
  float flogf[kMaxBlock + 1];                       // f * log2(f)
};

struct Encoder {
  const LzhStreams* io;
  int status;
  uint64_t in_left;

  uint32_t dsize;  // dictionary: the largest distance used
  int np, pbit;
  Level level;
  uint32_t too_far;  // 3-byte matches farther than this cost more than three literals

  unsigned char* win;  // 2 * dsize bytes plus slack for word-wise comparison
  uint32_t wsize;
  uint32_t pos;        // current position in win
  uint32_t lookahead;  // bytes available from pos
  int hash_bits;
  int32_t* head;
  int32_t* prev;  // indexed by position & (dsize - 1)

  Token* tok;
  uint32_t ntok;
  Cutter* cutter;

  BitWriter bw;

  uint32_t cfreq[kNC], pfreq[kMaxP + 1], tfreq[kNT];
  uint8_t clen[kNC], plen[kMaxP + 1], tlen[kNT];
  uint16_t ccode[kNC], pcode[kMaxP + 1], tcode[kNT];
};

inline int bit_length(uint32_t v) { return v ? 32 - __builtin_clz(v) : 0; }

inline uint32_t hash3(const Encoder* e, const unsigned char* p) {
  const uint32_t v = ((uint32_t)p[0] << 16) | ((uint32_t)p[1] << 8) | p[2];
  return (v * 2654435761u) >> (32 - e->hash_bits);
}
inline uint32_t match_length(const unsigned char* a, const unsigned char* b, uint32_t limit) {
  uint32_t n = 0;
  while (n + 8 <= limit) {
    uint64_t x, y;
    memcpy(&x, a + n, 8);
    memcpy(&y, b + n, 8);
    if (x != y) return n + (uint32_t)(__builtin_ctzll(x ^ y) >> 3);
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

inline int32_t insert_string(Encoder* e, uint32_t p) {
  const uint32_t h = hash3(e, e->win + p);
  const int32_t old = e->head[h];
  e->prev[p & (e->dsize - 1)] = old;
  e->head[h] = (int32_t)p;
  return old;
}

inline bool running(const Encoder* e) { return e->status == LZH_OK && e->bw.status == LZH_OK; }

// Block output and cutting (lzh_encode_blocks.cpp).
void emit_block(Encoder* e, const Token* tok, uint32_t n);
void count_tokens(const Token* t, uint32_t n, uint32_t* cf, uint32_t* pf);
// Size in bits of one block with these symbol counts, tables included.
uint64_t counts_bits(Encoder* e, const uint32_t* cf, const uint32_t* pf);
// Cuts ntok tokens into blocks (at most max_cuts) into e->cutter: see the definition.
void cut_blocks(Encoder* e, const Token* t, uint32_t ntok, uint32_t max_cuts, bool estimate);

// Levels 7-9 (lzh_encode_cost.cpp).
void compress_by_cost(Encoder* e);

}  // namespace lzh

#endif
