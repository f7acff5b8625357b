// -lh2-: LZSS over an 8 KiB window with two adaptive Huffman trees, one for literals and
// lengths (286 symbols, the last followed by 8 plain bits for long matches) and one for the
// upper bits of positions, whose alphabet grows as the output passes each 64 bytes.
//
// Slots are ordered by decreasing frequency from each root. Runs of slots with equal
// frequency form blocks; incrementing a slot first swaps it with its block's leader, which
// keeps the order without scanning. Inner slots store the higher slot of their child pair
// (the pair is child, child - 1); leaves store ~symbol.
#include "lzh_decoder.h"

namespace lzh {

namespace {

enum {
  kSymbols = 286,
  kCharCodes = 314,  // base of position leaves in s_node
  kRootC = 0,
  kRootP = 628,
  kSlots = 884,
};

void start_c(Lh2State& s) {
  s.n1 = kSymbols - 1;
  for (int i = 0; i < kSlots; ++i) {
    s.stock[i] = (int16_t)i;
    s.block[i] = 0;
  }
  int j = kSymbols * 2 - 2;
  for (int i = 0; i < kSymbols; ++i, --j) {
    s.freq[j] = 1;
    s.child[j] = (int16_t)~i;
    s.s_node[i] = (int16_t)j;
    s.block[j] = 1;
  }
  s.avail = 2;
  s.edge[1] = kSymbols - 1;
  int i = kSymbols * 2 - 2;
  while (j >= 0) {
    const unsigned f = s.freq[j] = (uint16_t)(s.freq[i] + s.freq[i - 1]);
    s.child[j] = (int16_t)i;
    s.parent[i] = s.parent[i - 1] = (int16_t)j;
    if (f == s.freq[j + 1])
      s.edge[s.block[j] = s.block[j + 1]] = (int16_t)j;
    else
      s.edge[s.block[j] = s.stock[s.avail++]] = (int16_t)j;
    i -= 2;
    --j;
  }
}

void start_p(Lh2State& s) {
  s.freq[kRootP] = 1;
  s.child[kRootP] = (int16_t)~kCharCodes;
  s.s_node[kCharCodes] = kRootP;
  s.edge[s.block[kRootP] = s.stock[s.avail++]] = kRootP;
  s.most_p = kRootP;
  s.total_p = 0;
  s.nn = 1u << 13;
  s.nextcount = 64;
}

// Halves the counts of the slots start..end-1 and rebuilds that tree.
void reconstruct(Lh2State& s, int start, int end) {
  int b = 0;
  int j = start;
  for (int i = start; i < end; ++i) {
    const int k = s.child[i];
    if (k < 0) {
      s.freq[j] = (uint16_t)((s.freq[i] + 1) / 2);
      s.child[j] = (int16_t)k;
      ++j;
    }
    if (s.edge[b = s.block[i]] == i) s.stock[--s.avail] = (int16_t)b;
  }
  --j;
  int i = end - 1;
  int l = end - 2;
  while (i >= start) {
    while (i >= l) {
      s.freq[i] = s.freq[j];
      s.child[i] = s.child[j];
      --i;
      --j;
    }
    const unsigned f = (unsigned)s.freq[l] + s.freq[l + 1];
    int k = start;
    while (f < s.freq[k]) ++k;
    while (j >= k) {
      s.freq[i] = s.freq[j];
      s.child[i] = s.child[j];
      --i;
      --j;
    }
    s.freq[i] = (uint16_t)f;
    s.child[i] = (int16_t)(l + 1);
    --i;
    l -= 2;
  }
  unsigned f = 0;
  for (int m = start; m < end; ++m) {
    const int c = s.child[m];
    if (c < 0)
      s.s_node[~c] = (int16_t)m;
    else
      s.parent[c] = s.parent[c - 1] = (int16_t)m;
    const unsigned g = s.freq[m];
    if (g == f) {
      s.block[m] = (int16_t)b;
    } else {
      s.edge[b = s.block[m] = s.stock[s.avail++]] = (int16_t)m;
      f = g;
    }
  }
}

// Increments slot p, first exchanging it with the leader of its block so that the order by
// frequency holds; returns the parent of the slot that was incremented.
int increment_slot(Lh2State& s, int p) {
  const int b = s.block[p];
  const int q = s.edge[b];
  bool shared;
  if (q != p) {
    const int r = s.child[p];
    const int t = s.child[q];
    s.child[p] = (int16_t)t;
    s.child[q] = (int16_t)r;
    if (r >= 0)
      s.parent[r] = s.parent[r - 1] = (int16_t)q;
    else
      s.s_node[~r] = (int16_t)q;
    if (t >= 0)
      s.parent[t] = s.parent[t - 1] = (int16_t)p;
    else
      s.s_node[~t] = (int16_t)p;
    p = q;
    shared = true;
  } else {
    shared = b == s.block[p + 1];
  }
  if (shared) {
    // p leaves its block: the block now starts one slot later.
    ++s.edge[b];
    if (++s.freq[p] == s.freq[p - 1])
      s.block[p] = s.block[p - 1];
    else
      s.edge[s.block[p] = s.stock[s.avail++]] = (int16_t)p;
  } else if (++s.freq[p] == s.freq[p - 1]) {
    s.stock[--s.avail] = (int16_t)b;  // a one-slot block merges into its predecessor
    s.block[p] = s.block[p - 1];
  }
  return s.parent[p];
}

void update_c(Lh2State& s, int sym) {
  if (s.freq[kRootC] == 0x8000) reconstruct(s, 0, kSymbols * 2 - 1);
  ++s.freq[kRootC];
  int q = s.s_node[sym];
  do {
    q = increment_slot(s, q);
  } while (q != kRootC);
}

void update_p(Lh2State& s, int sym) {
  if (s.total_p == 0x8000) {
    reconstruct(s, kRootP, s.most_p + 1);
    s.total_p = s.freq[kRootP];
    s.freq[kRootP] = 0xFFFF;
  }
  int q = s.s_node[sym + kCharCodes];
  // While the root is the only leaf, one writer family counts its uses there, and the count
  // carries over into the leaf split off it when the second position symbol appears; the
  // other leaves it at 1.
  if (q == kRootP && s.root_counts) ++s.freq[kRootP];
  while (q != kRootP) q = increment_slot(s, q);
  ++s.total_p;
}

// Adds position symbol p as a new leaf split off the last slot of the position tree.
bool add_position(Lh2State& s, int p) {
  const int r = s.most_p + 1;
  const int q = r + 1;
  if (s.child[s.most_p] >= 0 || q >= kSlots) return false;  // the last slot must be a leaf
  s.s_node[~(s.child[r] = s.child[s.most_p])] = (int16_t)r;
  s.child[q] = (int16_t) ~(p + kCharCodes);
  s.child[s.most_p] = (int16_t)q;
  s.freq[r] = s.freq[s.most_p];
  s.freq[q] = 0;
  s.block[r] = s.block[s.most_p];
  if (s.most_p == kRootP) {
    s.freq[kRootP] = 0xFFFF;
    ++s.edge[s.block[kRootP]];
  }
  s.parent[r] = s.parent[q] = (int16_t)s.most_p;
  s.edge[s.block[q] = s.stock[s.avail++]] = s.s_node[p + kCharCodes] = (int16_t)(s.most_p = q);
  update_p(s, p);
  return true;
}

// Walks a tree from its root, one bit per level; returns the leaf's symbol code.
int read_leaf(Decoder* d, const Lh2State& s, int root) {
  int c = s.child[root];
  while (c > 0) {
    c = s.child[c - (int)get_bits(d, 1)];
    if (overran(d)) return -1;
  }
  return ~c;
}

}  // namespace

// Reading 0 follows the writers whose position root counts its uses while it is alone (the
// Java LHA library); reading 1 the writers where it does not (the Windows LZH library and the
// LHA 2.x lineage). Both write the same method id, so callers tell them apart by the CRC.
int decode_lh2(Decoder* d, int reading) {
  Lh2State& s = d->m.lh2;
  s.root_counts = reading == 0;
  start_c(s);
  start_p(s);
  const uint64_t total = d->out_left;
  while (d->out_left && d->status == LZH_OK) {
    int c = read_leaf(d, s, kRootC);
    if (c < 0 || c >= kSymbols || s.avail <= 0 || s.avail >= kSlots - 2) return LZH_E_DATA;
    update_c(s, c);
    if (c == s.n1) c += (int)get_bits(d, 8);
    if (c < 256) {
      put_byte(d, (unsigned char)c);
      continue;
    }
    const uint64_t count = total - d->out_left;
    while (count > s.nextcount) {
      if (!add_position(s, (int)(s.nextcount / 64))) return LZH_E_DATA;
      s.nextcount += 64;
      if (s.nextcount >= s.nn) s.nextcount = 0xFFFFFFFFu;
    }
    const int p = read_leaf(d, s, kRootP) - kCharCodes;
    if (p < 0 || p >= 128) return LZH_E_DATA;
    update_p(s, p);
    const uint32_t pos = ((uint32_t)p << 6) | get_bits(d, 6);
    copy_back(d, pos + 1, (uint32_t)(c - 253));
    if (overran(d)) return LZH_E_DATA;
  }
  return d->status;
}

}  // namespace lzh
