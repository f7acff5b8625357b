// How small can the block format make a file? A yardstick for the encoder's best level: for
// every position, the longest match in each position group of the whole dictionary (no chain
// limit); a shortest-path parse over the whole file, each byte priced by the statistics of
// the block it falls in; block borders by dynamic programming over a fine token grid with
// exact block sizes (tables included). Parse and borders are redone several times and the
// smallest result is kept. Prints the stream size each file would get, to set against the
// packed sizes of an archive's listing. Slow and memory-hungry on purpose; not a product tool.
//   lzh_parse_bound [-m 5|6|7] [-i passes] [-g grid] files...
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "lzh_encode_state.h"

using namespace lzh;

namespace {

struct Pair {
  uint16_t len;
  uint16_t dist1;
};

struct Model {
  float c[kNC];
  float p[kMaxP + 1];  // extra bits included
};

// -log2 of each symbol's share; unseen symbols a bit dearer than the longest code.
void costs_from(const uint32_t* freq, int n, float* cost) {
  double total = 0;
  for (int s = 0; s < n; ++s) total += freq[s];
  if (total == 0) total = 1;
  for (int s = 0; s < n; ++s) {
    const double bits = log2(total / (freq[s] ? (double)freq[s] : 0.5));
    cost[s] = (float)std::min(std::max(bits, 1.0), (double)kMaxCodeLen + 1);
  }
}

struct File {
  std::vector<uint8_t> w;
  std::vector<uint32_t> first;  // pairs of position i: pairs[first[i] .. first[i + 1])
  std::vector<Pair> pairs;
};

void find_all_pairs(Encoder* e, File* f) {
  const uint32_t n = (uint32_t)f->w.size() - 8;  // the vector carries 8 bytes of slack
  const uint8_t* w = f->w.data();
  std::vector<int32_t> head(1 << 16, -1), prev(n, -1);
  f->first.assign(n + 1, 0);
  for (uint32_t i = 0; i < n; ++i) {
    f->first[i] = (uint32_t)f->pairs.size();
    if (n - i < kMinMatch) continue;
    const uint32_t h =
        ((((uint32_t)w[i] << 16) | ((uint32_t)w[i + 1] << 8) | w[i + 2]) * 2654435761u) >> 16;
    int32_t cur = head[h];
    prev[i] = cur;
    head[h] = (int32_t)i;
    const uint32_t limit = std::min<uint32_t>(kMaxMatch, n - i);
    uint32_t best = kMinMatch - 1;
    size_t at = f->pairs.size();
    for (; cur >= 0 && i - (uint32_t)cur <= e->dsize; cur = prev[cur]) {
      const uint8_t* m = w + cur;
      if (m[best] != w[i + best] || m[0] != w[i] || m[1] != w[i + 1]) continue;
      const uint32_t len = match_length(w + i, m, limit);
      if (len <= best) continue;
      best = len;
      const uint16_t d1 = (uint16_t)(i - (uint32_t)cur - 1);
      if (f->pairs.size() > at && bit_length(f->pairs.back().dist1) == bit_length(d1))
        f->pairs.pop_back();
      f->pairs.push_back({(uint16_t)len, d1});
      if (len == limit) break;
    }
  }
  f->first[n] = (uint32_t)f->pairs.size();
}

// Cheapest parse under per-block models (model[b] covers bytes up to end[b]).
void parse(const File& f, const std::vector<Model>& model, const std::vector<uint32_t>& end,
           std::vector<Token>* out) {
  const uint32_t n = (uint32_t)f.first.size() - 1;
  std::vector<double> cost(n + 1, INFINITY);  // float loses whole bits over megabytes
  std::vector<uint16_t> step(n + 1), dist(n + 1);
  cost[0] = 0;
  size_t b = 0;
  for (uint32_t i = 0; i < n; ++i) {
    while (b + 1 < model.size() && i >= end[b]) ++b;
    const Model& M = model[b];
    if (cost[i] + M.c[f.w[i]] < cost[i + 1]) {
      cost[i + 1] = cost[i] + M.c[f.w[i]];
      step[i + 1] = 1;
    }
    const uint32_t k0 = f.first[i], np = f.first[i + 1] - k0;
    float dc[kMaxP + 1];
    uint16_t d1[kMaxP + 1];
    for (uint32_t k = np; k-- > 0;) {  // cheapest of this pair and the farther ones
      dc[k] = M.p[bit_length(f.pairs[k0 + k].dist1)];
      d1[k] = f.pairs[k0 + k].dist1;
      if (k + 1 < np && dc[k + 1] < dc[k]) dc[k] = dc[k + 1], d1[k] = d1[k + 1];
    }
    uint32_t from = kMinMatch;
    for (uint32_t k = 0; k < np; ++k) {
      for (uint32_t len = from; len <= f.pairs[k0 + k].len; ++len) {
        const double c = cost[i] + dc[k] + M.c[len + 253];
        if (c < cost[i + len])
          cost[i + len] = c, step[i + len] = (uint16_t)len, dist[i + len] = d1[k];
      }
      from = std::max<uint32_t>(from, f.pairs[k0 + k].len + 1u);
    }
  }
  out->clear();
  for (uint32_t i = n; i > 0; i -= step[i])
    out->push_back(step[i] == 1 ? Token{f.w[i - 1], 0} : Token{(uint16_t)(step[i] + 253), dist[i]});
  std::reverse(out->begin(), out->end());
}

// Block borders (token indexes, first 0, last n) of the smallest encoding on a grid.
uint64_t cut(Encoder* e, const std::vector<Token>& tok, uint32_t grid, std::vector<uint32_t>* at) {
  const uint32_t n = (uint32_t)tok.size(), steps = (n + grid - 1) / grid;
  auto point = [&](uint32_t k) { return std::min(n, k * grid); };
  std::vector<uint64_t> best(steps + 1, UINT64_MAX);
  std::vector<uint32_t> from(steps + 1, 0);
  best[0] = 0;
  for (uint32_t a = 0; a < steps; ++a) {
    uint32_t cf[kNC] = {0}, pf[kMaxP + 1] = {0};
    for (uint32_t b = a + 1; b <= steps && point(b) - point(a) <= kMaxBlock; ++b) {
      count_tokens(&tok[point(b - 1)], point(b) - point(b - 1), cf, pf);
      const uint64_t c = best[a] + counts_bits(e, cf, pf);
      if (c < best[b]) best[b] = c, from[b] = a;
    }
  }
  at->clear();
  for (uint32_t k = steps; k > 0; k = from[k]) at->push_back(point(k));
  at->push_back(0);
  std::reverse(at->begin(), at->end());
  return best[steps];
}

uint64_t bound_bytes(Encoder* e, File* f, int passes, uint32_t grid) {
  find_all_pairs(e, f);
  // Start from the longest match everywhere, then alternate cutting and parsing.
  std::vector<Token> tok;
  const uint32_t n = (uint32_t)f->first.size() - 1;
  for (uint32_t i = 0; i < n;) {
    const uint32_t k = f->first[i + 1];
    if (k > f->first[i] && f->pairs[k - 1].len >= kMinMatch) {
      tok.push_back({(uint16_t)(f->pairs[k - 1].len + 253), f->pairs[k - 1].dist1});
      i += f->pairs[k - 1].len;
    } else {
      tok.push_back({f->w[i++], 0});
    }
  }
  std::vector<uint32_t> at;
  uint64_t smallest = cut(e, tok, grid, &at);
  for (int pass = 0; pass < passes; ++pass) {
    std::vector<Model> model(at.size() - 1);
    std::vector<uint32_t> end(at.size() - 1);
    uint32_t bytes = 0;
    for (size_t b = 0; b + 1 < at.size(); ++b) {
      uint32_t cf[kNC] = {0}, pf[kMaxP + 1] = {0};
      count_tokens(&tok[at[b]], at[b + 1] - at[b], cf, pf);
      costs_from(cf, kNC, model[b].c);
      costs_from(pf, e->np, model[b].p);
      for (int p = 2; p < e->np; ++p) model[b].p[p] += (float)(p - 1);
      for (uint32_t i = at[b]; i < at[b + 1]; ++i)
        bytes += tok[i].code >= 256 ? tok[i].code - 253u : 1u;
      end[b] = bytes;
    }
    parse(*f, model, end, &tok);
    smallest = std::min(smallest, cut(e, tok, grid, &at));
    fprintf(stderr, "  pass %d: %llu B\n", pass + 1, (unsigned long long)((smallest + 7) / 8));
  }
  return (smallest + 7) / 8;
}

}  // namespace

int main(int argc, char** argv) {
  int dicbit = 13, passes = 10;
  uint32_t grid = 256;
  int i = 1;
  for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
    if (!strcmp(argv[i], "-m"))
      dicbit = atoi(argv[i + 1]) == 7 ? 16 : atoi(argv[i + 1]) == 6 ? 15 : 13;
    if (!strcmp(argv[i], "-i")) passes = atoi(argv[i + 1]);
    if (!strcmp(argv[i], "-g")) grid = (uint32_t)atoi(argv[i + 1]);
  }
  if (i >= argc || grid == 0) {
    fprintf(stderr, "usage: lzh_parse_bound [-m 5|6|7] [-i passes] [-g grid] files...\n");
    return 2;
  }
  Encoder* e = (Encoder*)calloc(1, sizeof(Encoder));
  e->dsize = 1u << dicbit;
  e->np = dicbit + 1;
  e->pbit = dicbit <= 13 ? 4 : 5;
  uint64_t total = 0;
  for (; i < argc; ++i) {
    File f;
    FILE* in = fopen(argv[i], "rb");
    if (!in) return 1;
    for (int c; (c = fgetc(in)) != EOF;) f.w.push_back((uint8_t)c);
    fclose(in);
    if (f.w.empty()) continue;
    f.w.resize(f.w.size() + 8);
    fprintf(stderr, "%s\n", argv[i]);
    const uint64_t bytes = bound_bytes(e, &f, passes, grid);
    printf("%12llu B  %s\n", (unsigned long long)bytes, argv[i]);
    total += bytes;
  }
  printf("%12llu B  total\n", (unsigned long long)total);
  free(e);
  return 0;
}
