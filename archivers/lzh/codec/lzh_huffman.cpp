// Length-limited Huffman code construction and the encoder's bit writer.
#include <string.h>

#include <algorithm>

#include "lzh_encoder.h"

namespace lzh {

enum { kMaxSymbols = 512 };

int make_code_lengths(const uint32_t* freq, int n, uint8_t* len) {
  // Used symbols sorted by ascending frequency (ties by symbol, for reproducible output).
  // The block splitter builds codes thousands of times per block, so the sort must be fast.
  uint64_t key[kMaxSymbols];
  int m = 0;
  for (int s = 0; s < n; ++s) {
    len[s] = 0;
    if (freq[s]) key[m++] = ((uint64_t)freq[s] << 16) | (uint64_t)s;
  }
  std::sort(key, key + m);
  uint16_t sym[kMaxSymbols];
  for (int k = 0; k < m; ++k) sym[k] = (uint16_t)key[k];
  if (m < 2) {
    if (m == 1) len[sym[0]] = 1;
    return m;
  }

  // Two-queue Huffman construction: leaves 0..m-1 in order, inner nodes appended after them
  // in non-decreasing weight order.
  uint32_t weight[2 * kMaxSymbols];
  uint16_t parent[2 * kMaxSymbols];
  uint16_t depth[2 * kMaxSymbols];
  for (int k = 0; k < m; ++k) weight[k] = freq[sym[k]];
  int leaf = 0, inner = m;
  for (int next = m; next < 2 * m - 1; ++next) {
    int pick[2];
    for (int t = 0; t < 2; ++t) {
      if (leaf < m && (inner >= next || weight[leaf] <= weight[inner]))
        pick[t] = leaf++;
      else
        pick[t] = inner++;
    }
    weight[next] = weight[pick[0]] + weight[pick[1]];
    parent[pick[0]] = parent[pick[1]] = (uint16_t)next;
  }
  depth[2 * m - 2] = 0;
  for (int k = 2 * m - 3; k >= 0; --k) depth[k] = (uint16_t)(depth[parent[k]] + 1);

  // Count codes per length with everything longer than 16 clamped, then restore the Kraft
  // equality: drop one code of length 16 and split one shorter code into two longer ones.
  unsigned count[kMaxCodeLen + 1] = {0};
  for (int k = 0; k < m; ++k) ++count[depth[k] > kMaxCodeLen ? (int)kMaxCodeLen : (int)depth[k]];
  uint32_t kraft = 0;
  for (int l = 1; l <= kMaxCodeLen; ++l) kraft += count[l] << (kMaxCodeLen - l);
  while (kraft > (1u << kMaxCodeLen)) {
    --count[kMaxCodeLen];
    for (int l = kMaxCodeLen - 1; l > 0; --l) {
      if (count[l]) {
        --count[l];
        count[l + 1] += 2;
        break;
      }
    }
    --kraft;
  }
  // Shortest codes to the most frequent symbols.
  int k = m - 1;
  for (int l = 1; l <= kMaxCodeLen; ++l)
    for (unsigned c = 0; c < count[l]; ++c) len[sym[k--]] = (uint8_t)l;
  return m;
}

void make_codes(const uint8_t* len, int n, uint16_t* code) {
  unsigned count[kMaxCodeLen + 1] = {0};
  for (int s = 0; s < n; ++s) ++count[len[s]];
  unsigned next[kMaxCodeLen + 1];
  unsigned c = 0;
  for (int l = 1; l <= kMaxCodeLen; ++l) {
    next[l] = c;
    c = (c + count[l]) << 1;
  }
  for (int s = 0; s < n; ++s) code[s] = len[s] ? (uint16_t)next[len[s]]++ : 0;
}

void bw_init(BitWriter* w, const LzhStreams* io, uint64_t stop_above) {
  w->io = io;
  w->acc = 0;
  w->accbits = 0;
  w->status = LZH_OK;
  w->written = 0;
  w->stop_above = stop_above;
  w->used = 0;
}

void bw_flush_buffer(BitWriter* w) {
  if (w->used && w->status == LZH_OK) {
    if (w->io->write(w->io->write_ctx, w->buf, w->used) != 0) w->status = LZH_E_WRITE;
  }
  w->written += w->used;
  w->used = 0;
  if (w->status == LZH_OK && w->stop_above && w->written > w->stop_above) w->status = LZH_E_NOGAIN;
}

void bw_finish(BitWriter* w) {
  if (w->accbits & 7) bw_put(w, 8 - (w->accbits & 7), 0);
  while (w->accbits >= 8) {
    w->accbits -= 8;
    if (w->used == sizeof w->buf) bw_flush_buffer(w);
    w->buf[w->used++] = (unsigned char)(w->acc >> w->accbits);
  }
  bw_flush_buffer(w);
}

}  // namespace lzh
