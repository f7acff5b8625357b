// -lh1-: LZSS over a 4 KiB window; literals and lengths 3..60 with an adaptive Huffman tree,
// positions with a fixed code for the upper six bits plus six plain bits.
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum { kSymbols = 314, kSlots = 627, kRoot = kSlots - 1, kLeafBase = kSlots };

void start_tree(Lh1State& s) {
  for (int i = 0; i < kSymbols; ++i) {
    s.freq[i] = 1;
    s.child[i] = (uint16_t)(kLeafBase + i);
    s.leaf[i] = (uint16_t)i;
  }
  for (int i = 0, j = kSymbols; j < kSlots; i += 2, ++j) {
    s.freq[j] = (uint16_t)(s.freq[i] + s.freq[i + 1]);
    s.child[j] = (uint16_t)i;
    s.parent[i] = s.parent[i + 1] = (uint16_t)j;
  }
  s.freq[kSlots] = 0xFFFF;
  s.parent[kRoot] = 0;
}

// Halves all counts and rebuilds the tree once the root count reaches 0x8000.
void rebuild_tree(Lh1State& s) {
  int j = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (s.child[i] >= kLeafBase) {
      s.freq[j] = (uint16_t)((s.freq[i] + 1) / 2);
      s.child[j] = s.child[i];
      ++j;
    }
  }
  for (int i = 0, j2 = kSymbols; j2 < kSlots; i += 2, ++j2) {
    const unsigned f = (unsigned)s.freq[i] + s.freq[i + 1];
    int k = j2 - 1;
    while (f < s.freq[k]) --k;
    ++k;
    for (int m = j2; m > k; --m) {
      s.freq[m] = s.freq[m - 1];
      s.child[m] = s.child[m - 1];
    }
    s.freq[k] = (uint16_t)f;
    s.child[k] = (uint16_t)i;
  }
  for (int i = 0; i < kSlots; ++i) {
    const unsigned k = s.child[i];
    if (k >= kLeafBase)
      s.leaf[k - kLeafBase] = (uint16_t)i;
    else
      s.parent[k] = s.parent[k + 1] = (uint16_t)i;
  }
}

void update_tree(Lh1State& s, int sym) {
  if (s.freq[kRoot] == 0x8000) rebuild_tree(s);
  unsigned m = s.leaf[sym];
  do {
    const unsigned f = ++s.freq[m];
    if (f > s.freq[m + 1]) {
      unsigned l = m + 1;
      while (f > s.freq[l + 1]) ++l;
      s.freq[m] = s.freq[l];
      s.freq[l] = (uint16_t)f;
      const uint16_t cm = s.child[m];
      const uint16_t cl = s.child[l];
      s.child[m] = cl;
      s.child[l] = cm;
      if (cm >= kLeafBase)
        s.leaf[cm - kLeafBase] = (uint16_t)l;
      else
        s.parent[cm] = s.parent[cm + 1] = (uint16_t)l;
      if (cl >= kLeafBase)
        s.leaf[cl - kLeafBase] = (uint16_t)m;
      else
        s.parent[cl] = s.parent[cl + 1] = (uint16_t)m;
      m = l;
    }
    m = s.parent[m];
  } while (m != 0);
}

void make_position_table(HuffTable<64, 8>& t) {
  // Upper six bits of the position: lengths 3 (1 code), 4 (3), 5 (8), 6 (12), 7 (24), 8 (16).
  static const uint8_t kCounts[6] = {1, 3, 8, 12, 24, 16};
  int s = 0;
  for (int l = 0; l < 6; ++l)
    for (int k = 0; k < kCounts[l]; ++k) t.len[s++] = (uint8_t)(l + 3);
  build(t, 64);
}

}  // namespace

int decode_lh1(Decoder* d) {
  Lh1State& s = d->m.lh1;
  start_tree(s);
  make_position_table(s.pos);
  while (d->out_left && d->status == LZH_OK) {
    unsigned k = s.child[kRoot];
    while (k < kLeafBase) {
      k = s.child[k + get_bits(d, 1)];
      if (overran(d)) return LZH_E_DATA;
    }
    const int c = (int)(k - kLeafBase);
    update_tree(s, c);
    if (c < 256) {
      put_byte(d, (unsigned char)c);
      continue;
    }
    refill(d);
    const int upper = decode(d, s.pos);
    if (upper < 0) return LZH_E_DATA;
    const uint32_t pos = ((uint32_t)upper << 6) | get_bits(d, 6);
    copy_back(d, pos + 1, (uint32_t)(c - 253));
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
