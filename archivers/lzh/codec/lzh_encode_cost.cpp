// Levels 7-9 of the -lh5-/-lh6-/-lh7- encoder: matches chosen by their cost in bits.
#include <stdlib.h>

#include "lzh_encode_state.h"

namespace lzh {

namespace {

// The input goes in chunks of up to kChunk bytes. For every position of a chunk the match
// finder records, for each longer match length it meets, the shortest distance giving it; a
// shortest-path pass over the chunk then picks literals and matches by their cost in bits.
// The first pass prices symbols with the previous chunk's statistics. Each further pass cuts
// the chunk's tokens into the blocks that encode smallest (tables included) and prices every
// position with the statistics of the block it fell in, so that tokens, block borders and the
// code lengths sent converge together. Blocks never cross a chunk border.

enum {
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
  Pair pairs[(size_t)kChunk * kPairRoom];
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
  const uint32_t room = (uint32_t)kChunk * kPairRoom - (kMaxP + 1);
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

}  // namespace

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

}  // namespace lzh
