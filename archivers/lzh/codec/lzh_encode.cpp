// -lh5-, -lh6-, -lh7- encoder: hash-chain LZSS with one-step lazy matching (levels 1-6) or a
// parse by cost (7-9), blocks of static Huffman codes. Streams: memory is bounded by the
// dictionary size and the block or chunk buffer.
#include <stdlib.h>
#include <string.h>

#include "lzh_encoder.h"

namespace lzh {

namespace {

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
};

struct Level {
  uint16_t max_chain;  // candidates examined per position
  uint16_t good;       // a match this long cuts the chain to a quarter
  uint16_t nice;       // a match this long ends the search
  uint16_t lazy;       // a match this long is taken without looking one byte further
  uint16_t passes;     // 0: lazy matching; else passes of the parse by cost over each chunk
  uint16_t cuts;       // most blocks a token buffer or chunk is cut into
};

// Levels 1-6 match lazily (fast); 7-9 choose every match by its cost in bits, level 9 with
// the most passes over each chunk.
const Level kLevels[10] = {
    {128, 32, 256, 128, 0, 32},  // 0: default, same as 6
    {4, 4, 16, 4, 0, 32},       {8, 8, 32, 16, 0, 32},       {16, 8, 64, 32, 0, 32},
    {32, 16, 96, 64, 0, 32},    {64, 32, 128, 128, 0, 32},   {128, 32, 256, 128, 0, 32},
    {16, 16, 32, 256, 1, 32},   {128, 128, 128, 256, 3, 64}, {512, 256, 256, 256, 6, 128},
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

// Reads input until the window is full or the input is exhausted, sliding the window down
// by one dictionary when it runs out of room.
void fill_window(Encoder* e) {
  if (e->in_left == 0 || e->status != LZH_OK) return;
  if (e->pos + e->lookahead >= e->wsize) {
    const uint32_t d = e->dsize;
    memmove(e->win, e->win + d, e->wsize - d);
    e->pos -= d;
    const uint32_t hsize = 1u << e->hash_bits;
    for (uint32_t i = 0; i < hsize; ++i)
      e->head[i] = e->head[i] >= (int32_t)d ? e->head[i] - (int32_t)d : -1;
    for (uint32_t i = 0; i < d; ++i)
      e->prev[i] = e->prev[i] >= (int32_t)d ? e->prev[i] - (int32_t)d : -1;
  }
  while (e->in_left && e->pos + e->lookahead < e->wsize) {
    uint32_t room = e->wsize - (e->pos + e->lookahead);
    if (room > e->in_left) room = (uint32_t)e->in_left;
    const long got = e->io->read(e->io->read_ctx, e->win + e->pos + e->lookahead, room);
    if (got <= 0 || (uint32_t)got > room) {
      e->status = LZH_E_READ;
      return;
    }
    e->lookahead += (uint32_t)got;
    e->in_left -= (uint64_t)got;
  }
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

// Searches the hash chain from `cur` for a match longer than `best`; returns its length
// (or `best` when none is longer) and stores the distance.
uint32_t longest_match(Encoder* e, int32_t cur, uint32_t best, uint32_t* dist) {
  const uint32_t limit = e->lookahead < (uint32_t)kMaxMatch ? e->lookahead : (uint32_t)kMaxMatch;
  if (best >= limit) return best;
  const unsigned char* s = e->win + e->pos;
  const uint32_t mask = e->dsize - 1;
  uint32_t chain = e->level.max_chain;
  if (best >= e->level.good) chain >>= 2;
  const uint32_t nice = e->level.nice < limit ? e->level.nice : limit;
  while (cur >= 0 && chain--) {
    const uint32_t d = e->pos - (uint32_t)cur;
    if (d > e->dsize) break;
    const unsigned char* m = e->win + cur;
    if (m[best] == s[best] && m[0] == s[0] && m[1] == s[1]) {
      const uint32_t len = match_length(s, m, limit);
      // One byte more is not worth a distance that needs four more extra bits.
      if (len > best &&
          !(len == best + 1 && best >= kMinMatch && bit_length(d) > bit_length(*dist) + 4)) {
        best = len;
        *dist = d;
        if (len >= nice) break;
      }
    }
    // A full dictionary back shares its chain slot with the current position.
    if (d == e->dsize) break;
    cur = e->prev[(uint32_t)cur & mask];
  }
  return best;
}

inline int32_t insert_string(Encoder* e, uint32_t p) {
  const uint32_t h = hash3(e, e->win + p);
  const int32_t old = e->head[h];
  e->prev[p & (e->dsize - 1)] = old;
  e->head[h] = (int32_t)p;
  return old;
}

// --- block output ---------------------------------------------------------------------

void write_length_list(Encoder* e, const uint8_t* len, int n, int width, int special) {
  int k = n;
  while (k > 0 && len[k - 1] == 0) --k;
  bw_put(&e->bw, width, (uint32_t)k);
  int i = 0;
  while (i < k) {
    const int v = len[i++];
    if (v <= 6) {
      bw_put(&e->bw, 3, (uint32_t)v);
    } else {
      // 7 then (v - 7) one-bits and a zero-bit.
      bw_put(&e->bw, 3, 7);
      bw_put(&e->bw, v - 6, ((1u << (v - 6)) - 2));
    }
    if (i == special) {
      int zeros = 0;
      while (zeros < 3 && i + zeros < k && len[i + zeros] == 0) ++zeros;
      bw_put(&e->bw, 2, (uint32_t)zeros);
      i += zeros;
    }
  }
}

// Runs of zero C lengths and the T symbols that code them (T0 one zero, T1 3..18, T2 20+).
template <typename Fn>
void for_each_c_token(const uint8_t* clen, int n, Fn fn) {
  int i = 0;
  while (i < n) {
    if (clen[i] != 0) {
      fn(clen[i] + 2, 0, 0);
      ++i;
      continue;
    }
    int run = 1;
    while (i + run < n && clen[i + run] == 0) ++run;
    i += run;
    if (run <= 2) {
      for (int k = 0; k < run; ++k) fn(0, 0, 0);
    } else if (run <= 18) {
      fn(1, 4, (uint32_t)(run - 3));
    } else if (run == 19) {
      fn(0, 0, 0);
      fn(1, 4, 15);
    } else {
      fn(2, 9, (uint32_t)(run - 20));
    }
  }
}

// Builds the three code tables of a block from the symbol counts in cfreq and pfreq.
void build_tables(Encoder* e, int* nc, int* tused, int* pused) {
  // Never a single-symbol C table: some readers mishandle it at the end of a stream, so an
  // unused symbol gets a code too.
  int used = 0;
  for (int s = 0; s < kNC && used < 2; ++s) used += e->cfreq[s] != 0;
  if (used < 2) ++e->cfreq[e->cfreq[0] ? 1 : 0];
  make_code_lengths(e->cfreq, kNC, e->clen);
  int k = kNC;
  while (k > 0 && e->clen[k - 1] == 0) --k;
  *nc = k;
  memset(e->tfreq, 0, sizeof e->tfreq);
  for_each_c_token(e->clen, k, [e](int t, int, uint32_t) { ++e->tfreq[t]; });
  *tused = make_code_lengths(e->tfreq, kNT, e->tlen);
  *pused = make_code_lengths(e->pfreq, e->np, e->plen);
  if (*tused < 2) {
    for (int t = 0; t < kNT; ++t) e->tlen[t] = 0;  // single-symbol table: no bits per use
  }
  if (*pused < 2) {
    for (int p = 0; p <= e->np - 1; ++p) e->plen[p] = 0;
  }
}

int length_list_bits(const uint8_t* len, int n, int width, int special) {
  int k = n;
  while (k > 0 && len[k - 1] == 0) --k;
  int bits = width;
  for (int i = 0; i < k; ++i) bits += len[i] <= 6 ? 3 : len[i] - 3;
  if (special > 0 && k >= special) bits += 2;
  return bits;
}

// Size in bits of a block with the tables prepare_block built.
uint64_t block_bits(Encoder* e, int nc, int tused, int pused) {
  uint64_t bits = 16 + kCBits;
  bits += tused < 2 ? 2 * kTBits : (uint64_t)length_list_bits(e->tlen, kNT, kTBits, 3);
  bits +=
      pused < 2 ? 2 * (uint64_t)e->pbit : (uint64_t)length_list_bits(e->plen, e->np, e->pbit, -1);
  for_each_c_token(e->clen, nc, [e, &bits](int t, int extra_bits, uint32_t) {
    bits += e->tlen[t] + extra_bits;
  });
  for (int c = 0; c < kNC; ++c) bits += (uint64_t)e->cfreq[c] * e->clen[c];
  for (int p = 0; p < e->np; ++p)
    bits += (uint64_t)e->pfreq[p] * (e->plen[p] + (p > 1 ? p - 1 : 0));
  return bits;
}

// Counts symbols and builds the three code tables of a block.
void prepare_block(Encoder* e, const Token* tok, uint32_t n, int* nc, int* tused, int* pused) {
  memset(e->cfreq, 0, sizeof e->cfreq);
  memset(e->pfreq, 0, sizeof e->pfreq);
  for (uint32_t i = 0; i < n; ++i) {
    ++e->cfreq[tok[i].code];
    if (tok[i].code >= 256) ++e->pfreq[bit_length(tok[i].dist1)];
  }
  build_tables(e, nc, tused, pused);
}

void emit_block(Encoder* e, const Token* tok, uint32_t n) {
  int nc, tused, pused;
  prepare_block(e, tok, n, &nc, &tused, &pused);
  make_codes(e->clen, kNC, e->ccode);
  make_codes(e->tlen, kNT, e->tcode);
  make_codes(e->plen, e->np, e->pcode);

  BitWriter* w = &e->bw;
  bw_put(w, 16, n);
  if (tused < 2) {
    int sym = 0;
    while (sym < kNT - 1 && e->tfreq[sym] == 0) ++sym;
    bw_put(w, kTBits, 0);
    bw_put(w, kTBits, (uint32_t)sym);
  } else {
    write_length_list(e, e->tlen, kNT, kTBits, 3);
  }
  bw_put(w, kCBits, (uint32_t)nc);
  for_each_c_token(e->clen, nc, [e, w](int t, int extra_bits, uint32_t extra) {
    bw_put(w, e->tlen[t], e->tcode[t]);
    if (extra_bits) bw_put(w, extra_bits, extra);
  });
  if (pused < 2) {
    int sym = 0;  // a block without matches still names symbol 0
    if (pused == 1)
      while (e->pfreq[sym] == 0) ++sym;
    bw_put(w, e->pbit, 0);
    bw_put(w, e->pbit, (uint32_t)sym);
  } else {
    write_length_list(e, e->plen, e->np, e->pbit, -1);
  }

  for (uint32_t i = 0; i < n; ++i) {
    const unsigned c = tok[i].code;
    bw_put(w, e->clen[c], e->ccode[c]);
    if (c >= 256) {
      const uint32_t d = tok[i].dist1;
      const int p = bit_length(d);
      bw_put(w, e->plen[p], e->pcode[p]);
      if (p > 1) bw_put(w, p - 1, d & ((1u << (p - 1)) - 1));
    }
  }
}

void count_tokens(const Token* t, uint32_t n, uint32_t* cf, uint32_t* pf) {
  for (uint32_t i = 0; i < n; ++i) {
    ++cf[t[i].code];
    if (t[i].code >= 256) ++pf[bit_length(t[i].dist1)];
  }
}
// Size in bits of one block with these symbol counts, tables included.
uint64_t counts_bits(Encoder* e, const uint32_t* cf, const uint32_t* pf) {
  memcpy(e->cfreq, cf, sizeof e->cfreq);
  memcpy(e->pfreq, pf, sizeof e->pfreq);
  int nc, tused, pused;
  build_tables(e, &nc, &tused, &pused);
  return block_bits(e, nc, tused, pused);
}
// counts_bits without building codes, several times faster: the entropy of the symbols, the
// extra bits of the positions and about four bits of table per symbol used.
uint64_t estimate_bits(Encoder* e, const uint32_t* cf, const uint32_t* pf) {
  const Cutter* K = e->cutter;
  double bits = 60;
  uint32_t nc = 0, np = 0;
  double sc = 0, sp = 0;
  for (int c = 0; c < kNC; ++c)
    if (cf[c]) {
      nc += cf[c];
      sc += K->flogf[cf[c]];
      bits += 4;
    }
  for (int p = 0; p < e->np; ++p)
    if (pf[p]) {
      np += pf[p];
      sp += K->flogf[pf[p]];
      bits += 4 + (p > 1 ? (double)(p - 1) * pf[p] : 0);
    }
  bits += K->flogf[nc] - sc + K->flogf[np] - sp;
  return (uint64_t)bits;
}
// Moves the border between blocks j - 1 and j within one grid step either way, in fine steps,
// to where the two blocks together encode smallest (by estimated or exact sizes).
void refine_cut(Encoder* e, const Token* t, uint32_t j, uint32_t grid, bool estimate) {
  auto bits = [&](const uint32_t* cf, const uint32_t* pf) {
    return estimate ? estimate_bits(e, cf, pf) : counts_bits(e, cf, pf);
  };
  Cutter* K = e->cutter;
  const uint32_t lo = K->cut[j - 1], mid = K->cut[j], hi = K->cut[j + 1];
  uint32_t lcf[kNC] = {0}, lpf[kMaxP + 1] = {0}, rcf[kNC] = {0}, rpf[kMaxP + 1] = {0};
  count_tokens(t + lo, mid - lo, lcf, lpf);
  count_tokens(t + mid, hi - mid, rcf, rpf);
  uint64_t best = bits(lcf, lpf) + bits(rcf, rpf);
  uint32_t at = mid;
  auto move = [&](uint32_t i, uint32_t* cf_from, uint32_t* pf_from, uint32_t* cf_to,
                  uint32_t* pf_to) {
    --cf_from[t[i].code];
    ++cf_to[t[i].code];
    if (t[i].code >= 256) {
      --pf_from[bit_length(t[i].dist1)];
      ++pf_to[bit_length(t[i].dist1)];
    }
  };
  // Earlier: tokens leave the left block for the right one.
  for (uint32_t x = mid; x > lo + kFineStep && mid - x < grid;) {
    for (uint32_t k = 0; k < kFineStep; ++k) move(x - 1 - k, lcf, lpf, rcf, rpf);
    x -= kFineStep;
    if (hi - x > kMaxBlock) break;
    const uint64_t c = bits(lcf, lpf) + bits(rcf, rpf);
    if (c < best) {
      best = c;
      at = x;
    }
  }
  memset(lcf, 0, sizeof lcf);
  memset(lpf, 0, sizeof lpf);
  memset(rcf, 0, sizeof rcf);
  memset(rpf, 0, sizeof rpf);
  count_tokens(t + lo, mid - lo, lcf, lpf);
  count_tokens(t + mid, hi - mid, rcf, rpf);
  // Later: tokens leave the right block for the left one.
  for (uint32_t x = mid; x + kFineStep < hi && x - mid < grid;) {
    for (uint32_t k = 0; k < kFineStep; ++k) move(x + k, rcf, rpf, lcf, lpf);
    x += kFineStep;
    if (x - lo > kMaxBlock) break;
    const uint64_t c = bits(lcf, lpf) + bits(rcf, rpf);
    if (c < best) {
      best = c;
      at = x;
    }
  }
  K->cut[j] = at;
}
// Cuts ntok tokens into the blocks that encode smallest: the cheapest cut on a grid
// of at most max_cuts steps (by dynamic programming over the grid points, with block sizes
// estimated or exact), then each border moved in fine steps. The work grows
// with the square of max_cuts.
void cut_blocks(Encoder* e, const Token* t, uint32_t ntok, uint32_t max_cuts, bool estimate) {
  Cutter* K = e->cutter;
  // No count in a block exceeds its length: the table grows only as far as blocks do, so
  // small inputs do not pay for it.
  const uint32_t need = ntok < (uint32_t)kMaxBlock ? ntok : (uint32_t)kMaxBlock;
  for (; K->nflogf <= need; ++K->nflogf)
    K->flogf[K->nflogf] = K->nflogf ? (float)(K->nflogf * __builtin_log2((double)K->nflogf)) : 0;
  uint32_t grid = (ntok + max_cuts - 1) / max_cuts;
  if (grid < kMinGrid) grid = kMinGrid;
  const uint32_t k_end = (ntok + grid - 1) / grid;
  const uint32_t span = kMaxBlock / grid;  // grid steps a block may take
  auto point = [&](uint32_t k) { return k * grid < ntok ? k * grid : ntok; };
  // Symbol counts of each grid step, so that a block's counts are sums of whole steps.
  memset(K->step_counts, 0, k_end * sizeof K->step_counts[0]);
  for (uint32_t k = 0; k < k_end; ++k)
    count_tokens(t + point(k), point(k + 1) - point(k), K->step_counts[k], K->step_counts[k] + kNC);
  K->best[0] = 0;
  for (uint32_t k = 1; k <= k_end; ++k) K->best[k] = UINT64_MAX;
  for (uint32_t a = 0; a < k_end; ++a) {
    uint32_t counts[kNC + kMaxP + 1] = {0};
    const uint32_t* cf = counts;
    const uint32_t* pf = counts + kNC;
    for (uint32_t b = a + 1; b <= k_end && b - a <= span; ++b) {
      const uint32_t* add = K->step_counts[b - 1];
      for (int i = 0; i < kNC + kMaxP + 1; ++i) counts[i] += add[i];
      const uint64_t c =
          K->best[a] + (estimate ? estimate_bits(e, cf, pf) : counts_bits(e, cf, pf));
      if (c < K->best[b]) {
        K->best[b] = c;
        K->from[b] = a;
      }
    }
  }
  uint32_t n = 0;
  for (uint32_t k = k_end; k > 0; k = K->from[k]) K->best[n++] = point(k);  // reused, reversed
  K->cut[0] = 0;
  for (uint32_t j = 1; j <= n; ++j) K->cut[j] = (uint32_t)K->best[n - j];
  K->ncut = n;
  for (uint32_t j = 1; j < n; ++j) refine_cut(e, t, j, grid, estimate);
}

// Cuts the token buffer into blocks and writes them. Unless the input has ended, the last
// block stays in the buffer to grow with the next symbols, so that blocks end where the
// statistics change rather than where the buffer happens to be full.
void flush_tokens(Encoder* e, bool last) {
  Cutter* K = e->cutter;
  cut_blocks(e, e->tok, e->ntok, e->level.cuts, true);
  // A last block of more than half the buffer is written too: keeping it would cut the same
  // tokens again after only a few more.
  const bool hold = !last && K->cut[K->ncut] - K->cut[K->ncut - 1] <= kBufTokens / 2;
  const uint32_t keep = hold ? K->ncut - 1 : K->ncut;
  for (uint32_t j = 0; j < keep; ++j) emit_block(e, e->tok + K->cut[j], K->cut[j + 1] - K->cut[j]);
  const uint32_t done = K->cut[keep];
  memmove(e->tok, e->tok + done, (e->ntok - done) * sizeof(Token));
  e->ntok -= done;
}

inline void add_token(Encoder* e, unsigned code, uint32_t dist1) {
  e->tok[e->ntok].code = (uint16_t)code;
  e->tok[e->ntok].dist1 = (uint16_t)dist1;
  if (++e->ntok == kBufTokens) flush_tokens(e, false);
}

void finish_blocks(Encoder* e) {
  if (e->ntok) flush_tokens(e, true);
}

inline bool running(const Encoder* e) { return e->status == LZH_OK && e->bw.status == LZH_OK; }

void compress(Encoder* e) {
  uint32_t match_len = kMinMatch - 1, match_dist = 0;
  bool pending = false;  // a literal at pos - 1 waits for the lazy decision
  for (;;) {
    if (e->lookahead < kLookahead) {
      fill_window(e);
      if (!running(e)) return;
      if (e->lookahead == 0) break;
    }
    int32_t cand = -1;
    if (e->lookahead >= kMinMatch) cand = insert_string(e, e->pos);
    const uint32_t prev_len = match_len, prev_dist = match_dist;
    match_len = kMinMatch - 1;
    if (cand >= 0 && prev_len < e->level.lazy && e->pos - (uint32_t)cand <= e->dsize) {
      match_len = longest_match(e, cand, prev_len > match_len ? prev_len : match_len, &match_dist);
      if (match_len <= prev_len) match_len = kMinMatch - 1;
      // Deferring the previous match for one byte more pays only if the new distance is not
      // much longer.
      if (prev_len >= kMinMatch && match_len == prev_len + 1 &&
          bit_length(match_dist) > bit_length(prev_dist) + 2)
        match_len = kMinMatch - 1;
      if (match_len == kMinMatch && match_dist > e->too_far) match_len = kMinMatch - 1;
    }
    if (prev_len >= kMinMatch && match_len <= prev_len) {
      // The match found one byte earlier wins: emit it and index the bytes it covers.
      add_token(e, prev_len + 253, prev_dist - 1);
      const uint32_t end = e->pos + e->lookahead;
      const uint32_t last = e->pos - 1 + prev_len;  // first position after the match
      for (uint32_t p = e->pos + 1; p < last; ++p)
        if (p + kMinMatch <= end) insert_string(e, p);
      e->lookahead -= last - e->pos;
      e->pos = last;
      pending = false;
      match_len = kMinMatch - 1;
    } else {
      if (pending) add_token(e, e->win[e->pos - 1], 0);
      pending = true;
      ++e->pos;
      --e->lookahead;
    }
    if (!running(e)) return;
  }
  if (pending) add_token(e, e->win[e->pos - 1], 0);
  finish_blocks(e);
}

// --- parse by cost (levels 7 to 9) ----------------------------------------------------
//
// The input goes in chunks of up to kChunk bytes. For every position of a chunk the match
// finder records, for each longer match length it meets, the shortest distance giving it; a
// shortest-path pass over the chunk then picks literals and matches by their cost in bits.
// The first pass prices symbols with the previous chunk's statistics. Each further pass cuts
// the chunk's tokens into the blocks that encode smallest (tables included) and prices every
// position with the statistics of the block it fell in, so that tokens, block borders and the
// code lengths sent converge together. Blocks never cross a chunk border.

enum {
  kChunk = 1 << 19,
  kPairRoom = 4,  // average pairs per position the pool holds; a chunk ends early when full
  kCostUnit = 16,
  kNoCost = 0xFFFFFFFFu,
  kTrialCuts = 32,  // most blocks of the cuts that only price the next pass
};

struct Pair {
  uint16_t len;
  uint16_t dist1;
};

struct Model {
  uint32_t ccost[kNC];        // per C symbol, in 1/kCostUnit bits
  uint32_t pcost[kMaxP + 1];  // per position group, extra bits included
};

struct Parse {
  uint32_t cost[kChunk + 1];
  uint16_t step_len[kChunk + 1];  // 1: a literal reached this position
  uint16_t step_dist1[kChunk + 1];
  uint32_t first[kChunk + 1];  // pairs of position i: pairs[first[i] .. first[i + 1])
  Pair pairs[kChunk * kPairRoom];
  Token path[kChunk];
  Model model[kMaxCuts];         // the statistics of each block of the last cut ...
  uint32_t model_end[kMaxCuts];  // ... and the chunk offset where its bytes end
  uint32_t nmodel;
};

// Code lengths from frequencies, as costs; symbols the model has not seen cost a bit more
// than the longest code, so the parse stays open to them without preferring them.
void costs_from(const uint32_t* freq, int n, uint32_t* cost) {
  uint64_t total = 0;
  for (int s = 0; s < n; ++s) total += freq[s];
  if (total == 0) total = 1;
  for (int s = 0; s < n; ++s) {
    const double f = freq[s] ? (double)freq[s] : 0.5;
    double bits = __builtin_log2((double)total / f);
    if (bits < 1) bits = 1;
    if (bits > kMaxCodeLen + 1) bits = kMaxCodeLen + 1;
    cost[s] = (uint32_t)(bits * (double)kCostUnit + 0.5);
  }
}

void initial_model(Encoder* e, Model* m) {
  for (int c = 0; c < kNC; ++c) m->ccost[c] = (c < 256 ? 8 : c < 256 + 16 ? 6 : 9) * kCostUnit;
  for (int p = 0; p < e->np; ++p) m->pcost[p] = (uint32_t)(4 + (p > 1 ? p - 1 : 0)) * kCostUnit;
}

void model_from_counts(Encoder* e, const uint32_t* cf, const uint32_t* pf, Model* m) {
  costs_from(cf, kNC, m->ccost);
  costs_from(pf, e->np, m->pcost);
  for (int p = 2; p < e->np; ++p) m->pcost[p] += (uint32_t)(p - 1) * kCostUnit;
}

// Records the matches at window position p, limited to `limit` bytes: for each longer length
// met along the chain, the shortest distance (at most one per position group). Returns how many
// positions after p need no search (inside a match of at least the level's nice length).
uint32_t find_pairs(Encoder* e, uint32_t p, uint32_t limit, Pair* out, uint32_t* count) {
  int32_t cur = insert_string(e, p);
  *count = 0;
  if (limit < kMinMatch) return 0;
  const unsigned char* s = e->win + p;
  const uint32_t nice = e->level.nice < limit ? e->level.nice : limit;
  uint32_t best = kMinMatch - 1;
  uint32_t chain = e->level.max_chain;
  uint32_t n = 0;
  while (cur >= 0 && chain--) {
    const uint32_t dist = p - (uint32_t)cur;
    if (dist > e->dsize) break;
    const unsigned char* m = e->win + cur;
    if (m[best] == s[best] && m[0] == s[0] && m[1] == s[1]) {
      const uint32_t len = match_length(s, m, limit);
      if (len > best) {
        best = len;
        // Within one position group every distance costs the same: the longer match wins.
        if (n && bit_length(out[n - 1].dist1) == bit_length(dist - 1)) --n;
        out[n].len = (uint16_t)len;
        out[n].dist1 = (uint16_t)(dist - 1);
        ++n;
        if (len >= nice) break;
      }
    }
    // A full dictionary back shares its chain slot with p itself: nothing older is left.
    if (dist == e->dsize) break;
    cur = e->prev[(uint32_t)cur & (e->dsize - 1)];
  }
  *count = n;
  return best >= nice && best >= kMinMatch + 1 ? best - 1 : 0;
}

// Cheapest path through the chunk of n bytes at window position base, each byte priced by
// the model whose range holds it; returns its tokens in P->path.
uint32_t shortest_path(Encoder* e, Parse* P, uint32_t base, uint32_t n) {
  P->cost[0] = 0;
  for (uint32_t i = 1; i <= n; ++i) P->cost[i] = kNoCost;
  uint32_t mi = 0;
  for (uint32_t i = 0; i < n; ++i) {
    while (mi + 1 < P->nmodel && i >= P->model_end[mi]) ++mi;
    const Model& M = P->model[mi];
    const uint32_t here = P->cost[i];
    const uint32_t lit = here + M.ccost[e->win[base + i]];
    if (lit < P->cost[i + 1]) {
      P->cost[i + 1] = lit;
      P->step_len[i + 1] = 1;
    }
    // Pairs come nearest first with growing lengths. A length up to pair k's can copy from
    // pair k or any farther one: the cheapest of those, as a farther group's code may be
    // shorter enough to outweigh its extra bits.
    const uint32_t k0 = P->first[i], npair = P->first[i + 1] - k0;
    uint32_t dcost[kMaxP + 1];
    uint16_t dist1[kMaxP + 1];
    for (uint32_t k = npair; k-- > 0;) {
      const Pair pr = P->pairs[k0 + k];
      dcost[k] = M.pcost[bit_length(pr.dist1)];
      dist1[k] = pr.dist1;
      if (k + 1 < npair && dcost[k + 1] < dcost[k]) {
        dcost[k] = dcost[k + 1];
        dist1[k] = dist1[k + 1];
      }
    }
    uint32_t from = kMinMatch;
    for (uint32_t k = 0; k < npair; ++k) {
      const uint32_t top = P->pairs[k0 + k].len;
      for (uint32_t len = from; len <= top; ++len) {
        const uint32_t c = here + dcost[k] + M.ccost[len + 253];
        if (c < P->cost[i + len]) {
          P->cost[i + len] = c;
          P->step_len[i + len] = (uint16_t)len;
          P->step_dist1[i + len] = dist1[k];
        }
      }
      if (top + 1u > from) from = top + 1u;
    }
  }
  // Walk back from the end, then reverse into order.
  uint32_t ntok = 0;
  for (uint32_t i = n; i > 0;) {
    const uint32_t len = P->step_len[i];
    i -= len;
    Token& t = P->path[ntok++];
    if (len == 1) {
      t.code = e->win[base + i];
      t.dist1 = 0;
    } else {
      t.code = (uint16_t)(len + 253);
      t.dist1 = P->step_dist1[i + len];
    }
  }
  for (uint32_t a = 0, b = ntok - 1; a < b; ++a, --b) {
    const Token t = P->path[a];
    P->path[a] = P->path[b];
    P->path[b] = t;
  }
  return ntok;
}

// Each block of the last cut becomes the model for the bytes it covers.
void models_from_cut(Encoder* e, Parse* P) {
  const Cutter* K = e->cutter;
  uint32_t bytes = 0;
  for (uint32_t j = 0; j < K->ncut; ++j) {
    uint32_t cf[kNC] = {0}, pf[kMaxP + 1] = {0};
    count_tokens(P->path + K->cut[j], K->cut[j + 1] - K->cut[j], cf, pf);
    model_from_counts(e, cf, pf, &P->model[j]);
    for (uint32_t i = K->cut[j]; i < K->cut[j + 1]; ++i)
      bytes += P->path[i].code >= 256 ? P->path[i].code - 253u : 1u;
    P->model_end[j] = bytes;
  }
  P->nmodel = K->ncut;
}

// Keeps at least one dictionary of history before `base` and reads until a chunk and the
// bytes a match may look ahead into are present (or the input ends). The window moves by
// whole dictionaries so that prev[], indexed by position modulo the dictionary, stays valid.
void fill_chunk(Encoder* e, uint32_t* base, uint32_t* end) {
  if (*end + kChunk > e->wsize && *base > e->dsize) {
    const uint32_t shift = (*base - e->dsize) & ~(e->dsize - 1);
    memmove(e->win, e->win + shift, *end - shift);
    *base -= shift;
    *end -= shift;
    const uint32_t hsize = 1u << e->hash_bits;
    const int32_t sh = (int32_t)shift;
    for (uint32_t i = 0; i < hsize; ++i) e->head[i] = e->head[i] >= sh ? e->head[i] - sh : -1;
    for (uint32_t i = 0; i < e->dsize; ++i) e->prev[i] = e->prev[i] >= sh ? e->prev[i] - sh : -1;
  }
  while (e->in_left && *end < e->wsize) {
    uint32_t room = e->wsize - *end;
    if (room > e->in_left) room = (uint32_t)e->in_left;
    const long got = e->io->read(e->io->read_ctx, e->win + *end, room);
    if (got <= 0 || (uint32_t)got > room) {
      e->status = LZH_E_READ;
      return;
    }
    *end += (uint32_t)got;
    e->in_left -= (uint64_t)got;
  }
}

// Finds the pairs of the chunk at base; returns its length, which is shorter than the bytes
// at hand when the pair pool fills up.
uint32_t find_chunk_pairs(Encoder* e, Parse* P, uint32_t base, uint32_t end) {
  const uint32_t n = end - base < (uint32_t)kChunk ? end - base : (uint32_t)kChunk;
  const uint32_t room = kChunk * kPairRoom - (kMaxP + 1);
  uint32_t skip = 0, used = 0, i = 0;
  for (; i < n && used <= room; ++i) {
    const uint32_t p = base + i;
    const uint32_t limit = n - i < (uint32_t)kMaxMatch ? n - i : (uint32_t)kMaxMatch;
    P->first[i] = used;
    uint32_t count = 0;
    if (skip) {
      if (end - p >= kMinMatch) insert_string(e, p);
      --skip;
    } else if (end - p >= kMinMatch) {
      skip = find_pairs(e, p, limit, P->pairs + used, &count);
    }
    used += count;
  }
  P->first[i] = used;
  // A match may not run past the shortened chunk's end.
  for (uint32_t k = i > kMaxMatch ? i - kMaxMatch : 0; k < i; ++k)
    for (uint32_t q = P->first[k]; q < P->first[k + 1]; ++q)
      if (P->pairs[q].len > i - k) P->pairs[q].len = (uint16_t)(i - k);
  return i;
}

void compress_by_cost(Encoder* e) {
  Parse* P = (Parse*)malloc(sizeof(Parse));
  if (!P) {
    e->status = LZH_E_MEMORY;
    return;
  }
  initial_model(e, &P->model[0]);
  P->nmodel = 1;
  uint32_t base = 0, end = 0;
  for (;;) {
    fill_chunk(e, &base, &end);
    if (!running(e) || base == end) break;
    const uint32_t n = find_chunk_pairs(e, P, base, end);
    // The first pass prices with the last block before this chunk.
    P->model[0] = P->model[P->nmodel ? P->nmodel - 1 : 0];
    P->nmodel = 1;
    uint32_t ntok = shortest_path(e, P, base, n);
    for (int pass = 1; pass < e->level.passes; ++pass) {
      cut_blocks(e, P->path, ntok, kTrialCuts, true);
      models_from_cut(e, P);
      ntok = shortest_path(e, P, base, n);
    }
    cut_blocks(e, P->path, ntok, e->level.cuts, false);
    const Cutter* K = e->cutter;
    for (uint32_t j = 0; j < K->ncut && running(e); ++j)
      emit_block(e, P->path + K->cut[j], K->cut[j + 1] - K->cut[j]);
    models_from_cut(e, P);
    base += n;
    if (!running(e)) break;
  }
  free(P);
}

}  // namespace

}  // namespace lzh

using namespace lzh;

extern "C" int lzh_can_encode(const char method[5]) {
  // Compared piecewise so that no "-lh?-" pattern lands in the binary (see lzh_decode.cpp).
  return method && method[0] == '-' && method[1] == 'l' && method[2] == 'h' && method[4] == '-' &&
         (method[3] == '5' || method[3] == '6' || method[3] == '7');
}

extern "C" int lzh_encode_ex(const char method[5], uint64_t original_size, const LzhStreams* io,
                             uint64_t* packed_size, const LzhEncodeOptions* options) {
  if (packed_size) *packed_size = 0;
  if (!lzh_can_encode(method)) return LZH_E_METHOD;
  if (!io || !io->read || !io->write) return LZH_E_READ;
  const int dicbit = method[3] == '5' ? 13 : method[3] == '6' ? 15 : 16;
  const uint32_t dsize = 1u << dicbit;
  const int hash_bits = dicbit < 15 ? 15 : 16;
  int level = options ? options->level : 0;
  if (level < 0 || level > 9) level = 0;
  const bool by_cost = kLevels[level].passes != 0;
  // Parsing by cost keeps up to two dictionaries of history plus a whole chunk.
  const uint32_t wsize = by_cost ? 2 * dsize + kChunk : 2 * dsize;

  const size_t win_bytes = wsize + 16;
  const size_t head_bytes = ((size_t)1 << hash_bits) * sizeof(int32_t);
  const size_t prev_bytes = (size_t)dsize * sizeof(int32_t);
  const size_t tok_bytes = (size_t)kBufTokens * sizeof(Token);
  unsigned char* block = (unsigned char*)malloc(sizeof(Encoder) + sizeof(Cutter) + head_bytes +
                                                prev_bytes + tok_bytes + win_bytes);
  if (!block) return LZH_E_MEMORY;
  Encoder* e = (Encoder*)block;
  e->cutter = (Cutter*)(block + sizeof(Encoder));
  e->head = (int32_t*)((unsigned char*)e->cutter + sizeof(Cutter));
  e->prev = (int32_t*)((unsigned char*)e->head + head_bytes);
  e->tok = (Token*)((unsigned char*)e->prev + prev_bytes);
  e->win = (unsigned char*)e->tok + tok_bytes;

  e->io = io;
  e->status = LZH_OK;
  e->in_left = original_size;
  e->dsize = dsize;
  e->np = dicbit + 1;
  e->pbit = dicbit <= 13 ? 4 : 5;
  e->level = kLevels[level];
  e->too_far = 16384;
  e->wsize = wsize;
  e->pos = 0;
  e->lookahead = 0;
  e->hash_bits = hash_bits;
  memset(e->head, 0xFF, head_bytes);
  memset(e->prev, 0xFF, prev_bytes);
  memset(e->win, 0, win_bytes);
  e->ntok = 0;
  e->cutter->nflogf = 0;
  bw_init(&e->bw, io, options ? options->stop_above : 0);

  if (by_cost)
    compress_by_cost(e);
  else
    compress(e);
  if (running(e)) bw_finish(&e->bw);
  int rc = e->status != LZH_OK ? e->status : e->bw.status;
  if (packed_size) *packed_size = e->bw.written;
  free(block);
  return rc;
}

extern "C" int lzh_encode(const char method[5], uint64_t original_size, const LzhStreams* io,
                          uint64_t* packed_size) {
  return lzh_encode_ex(method, original_size, io, packed_size, 0);
}
