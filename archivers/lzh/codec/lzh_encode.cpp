// -lh5-, -lh6-, -lh7- encoder: hash-chain LZSS with one-step lazy matching (levels 1-6) or a
// parse by cost (7-9, lzh_encode_cost.cpp), blocks of static Huffman codes
// (lzh_encode_blocks.cpp). Streams: memory is bounded by the dictionary size and the block or
// chunk buffer.
#include <stdlib.h>
#include <string.h>

#include "lzh_encode_state.h"

namespace lzh {

namespace {

// Levels 1-6 match lazily (fast); 7-9 choose every match by its cost in bits, level 9 with
// the most passes over each chunk.
const Level kLevels[10] = {
    {128, 32, 256, 128, 0, 32},  // 0: default, same as 6
    {4, 4, 16, 4, 0, 32},       {8, 8, 32, 16, 0, 32},       {16, 8, 64, 32, 0, 32},
    {32, 16, 96, 64, 0, 32},    {64, 32, 128, 128, 0, 32},   {128, 32, 256, 128, 0, 32},
    {16, 16, 32, 256, 1, 32},   {128, 128, 128, 256, 3, 64}, {4096, 256, 256, 256, 6, 128},
};

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
  // Parsing by cost keeps up to two dictionaries of history plus a whole chunk, or just the
  // whole input when that is smaller: clearing 600 KB per small member would cost more than
  // packing it. (The lazy window slides by a dictionary and keeps its full size.)
  uint32_t wsize = by_cost ? 2 * dsize + kChunk : 2 * dsize;
  if (by_cost && original_size < wsize) wsize = (uint32_t)original_size + 1;

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
  // In the larger dictionaries a long chain is followed to its end on inputs of few distinct
  // bytes (8x slower on random two-letter text) for a fraction of a percent.
  if (dsize > 8192 && e->level.max_chain > 1024) e->level.max_chain = 1024;
  // The lazy levels walk the chain at nearly every position, and the chains of a 32 or 64 KiB
  // dictionary are longer: following 3/8 of the candidates keeps -lh7- as fast as -lh5- for
  // about half a per cent of size.
  if (dsize > 8192 && !by_cost && e->level.max_chain > 4)
    e->level.max_chain =
        (uint16_t)(e->level.max_chain * 3 / 8 > 4 ? e->level.max_chain * 3 / 8 : 4);
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
