// Block output of the -lh5-/-lh6-/-lh7- encoder: the three code tables of a block, its
// symbols, and where a run of symbols is best cut into blocks.
#include "lzh_encode_state.h"

namespace lzh {

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

}  // namespace lzh
