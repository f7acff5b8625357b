// Writes streams in the variant LHark labelled -lh7- (our id "-lk7-"), so tests can check
// that such members are recognised and decoded: one block, greedy matches up to 514 bytes
// over a 64 KiB dictionary, C symbols 264..288 for long lengths, P symbols two per power of
// two. Header-only so a fixture generator can use it too.
#pragma once
#include <cstdint>
#include <vector>

#include "lzh_encoder.h"

namespace lharktest {

struct BitOut {
  std::vector<unsigned char> bytes;
  uint64_t acc = 0;
  int n = 0;
  void put(int bits, uint32_t v) {
    for (int i = bits - 1; i >= 0; --i) {
      acc = (acc << 1) | ((v >> i) & 1);
      if (++n == 8) {
        bytes.push_back((unsigned char)acc);
        acc = 0;
        n = 0;
      }
    }
  }
  std::vector<unsigned char> finish() {
    while (n) put(1, 0);
    return bytes;
  }
};

struct Sym {
  uint16_t c;
  uint8_t len_bits;
  uint16_t len_extra;
  uint8_t p;
  uint8_t dist_bits;
  uint16_t dist_extra;
};

inline Sym length_symbol(uint32_t len) {
  Sym s{};
  if (len <= 10) {
    s.c = (uint16_t)(len + 253);
  } else if (len == 514) {
    s.c = 288;
  } else {
    for (uint32_t c = 264; c < 288; ++c) {
      const int nb = (int)(c - 260) >> 2;
      const uint32_t base = ((4 + (c & 3)) << nb) + 3;
      if (len >= base && len < base + (1u << nb)) {
        s.c = (uint16_t)c;
        s.len_bits = (uint8_t)nb;
        s.len_extra = (uint16_t)(len - base);
      }
    }
  }
  return s;
}

inline void distance_symbol(uint32_t d1, Sym& s) {
  if (d1 <= 3) {
    s.p = (uint8_t)d1;
    return;
  }
  for (uint32_t p = 4; p < 32; ++p) {
    const int nb = (int)(p - 2) >> 1;
    const uint32_t base = (2 + (p & 1)) << nb;
    if (d1 >= base && d1 < base + (1u << nb)) {
      s.p = (uint8_t)p;
      s.dist_bits = (uint8_t)nb;
      s.dist_extra = (uint16_t)(d1 - base);
    }
  }
}

inline void put_length_list(BitOut& w, const uint8_t* len, int k, int width, int special) {
  w.put(width, (uint32_t)k);
  for (int i = 0; i < k; ++i) {
    if (len[i] <= 6) {
      w.put(3, len[i]);
    } else {
      w.put(3, 7);
      for (int x = 7; x < len[i]; ++x) w.put(1, 1);
      w.put(1, 0);
    }
    if (i + 1 == special) w.put(2, 0);
  }
}

// Encodes `data` (at most 65535 tokens) as one block of the variant.
inline std::vector<unsigned char> encode(const std::vector<unsigned char>& data) {
  std::vector<Sym> syms;
  std::vector<int32_t> last(1 << 16, -1), prev(data.size(), -1);
  auto hash = [&](size_t i) { return (data[i] * 251u + data[i + 1] * 17u + data[i + 2]) & 0xFFFF; };
  for (size_t i = 0; i < data.size();) {
    uint32_t best = 0, dist = 0;
    if (i + 3 <= data.size()) {
      int chain = 64;
      for (int32_t j = last[hash(i)]; j >= 0 && i - (size_t)j <= 65536 && chain--; j = prev[j]) {
        uint32_t l = 0;
        while (l < 514 && i + l < data.size() && data[j + l] == data[i + l]) ++l;
        if (l > best) best = l, dist = (uint32_t)(i - (size_t)j);
      }
    }
    const size_t step = best >= 3 ? best : 1;
    for (size_t k = i; k < i + step; ++k)
      if (k + 3 <= data.size()) {
        prev[k] = last[hash(k)];
        last[hash(k)] = (int32_t)k;
      }
    if (best >= 3) {
      Sym s = length_symbol(best);
      distance_symbol(dist - 1, s);
      syms.push_back(s);
    } else {
      syms.push_back(Sym{data[i], 0, 0, 0, 0, 0});
    }
    i += step;
  }
  // Codes: every alphabet gets at least two symbols so each table is a complete code.
  uint32_t cf[510] = {1, 1}, pf[32] = {1, 1};
  for (const Sym& s : syms) {
    ++cf[s.c];
    if (s.c >= 256) ++pf[s.p];
  }
  uint8_t clen[510], plen[32], tlen[19];
  uint16_t ccode[510], pcode[32], tcode[19];
  lzh::make_code_lengths(cf, 289, clen);
  lzh::make_code_lengths(pf, 32, plen);
  // C lengths are sent one T symbol each: 0 for an unused symbol, length + 2 otherwise.
  uint32_t tf[19] = {1, 1};
  for (int c = 0; c < 289; ++c) ++tf[clen[c] ? clen[c] + 2 : 0];
  lzh::make_code_lengths(tf, 19, tlen);
  lzh::make_codes(clen, 289, ccode);
  lzh::make_codes(plen, 32, pcode);
  lzh::make_codes(tlen, 19, tcode);

  BitOut w;
  w.put(16, (uint32_t)syms.size());
  int kt = 19;
  while (tlen[kt - 1] == 0) --kt;
  put_length_list(w, tlen, kt, 5, 3);
  w.put(9, 289);
  for (int c = 0; c < 289; ++c) {
    const int t = clen[c] ? clen[c] + 2 : 0;
    w.put(tlen[t], tcode[t]);
  }
  int kp = 32;
  while (plen[kp - 1] == 0) --kp;
  put_length_list(w, plen, kp, 6, -1);
  for (const Sym& s : syms) {
    w.put(clen[s.c], ccode[s.c]);
    if (s.c < 256) continue;
    if (s.len_bits) w.put(s.len_bits, s.len_extra);
    w.put(plen[s.p], pcode[s.p]);
    if (s.dist_bits) w.put(s.dist_bits, s.dist_extra);
  }
  return w.finish();
}

}  // namespace lharktest
