// The decoder's two-level Huffman tables against the encoder's canonical codes: every symbol
// of codes up to 16 bits long decodes back, and sets of lengths that are no prefix code are
// refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "lzh_decoder.h"
#include "lzh_encoder.h"

namespace {

// Feeds a fixed byte string to the decoder's bit reader.
struct Feed {
  std::vector<unsigned char> bytes;
  size_t at = 0;
};

long feed_read(void* ctx, unsigned char* buf, size_t max) {
  auto* f = static_cast<Feed*>(ctx);
  size_t n = std::min(max, f->bytes.size() - f->at);
  std::copy(f->bytes.begin() + f->at, f->bytes.begin() + f->at + n, buf);
  f->at += n;
  return (long)n;
}

int no_write(void*, const unsigned char*, size_t) { return 0; }

// Encodes `syms` with the canonical codes of `len` and decodes them through a CTable.
std::vector<int> round_trip(const uint8_t* len, int n, const std::vector<int>& syms) {
  uint16_t code[510];
  lzh::make_codes(len, n, code);
  std::vector<unsigned char> bytes;
  uint64_t acc = 0;
  int bits = 0;
  for (int s : syms) {
    acc = (acc << len[s]) | code[s];
    bits += len[s];
    while (bits >= 8) {
      bits -= 8;
      bytes.push_back((unsigned char)(acc >> bits));
    }
  }
  if (bits) bytes.push_back((unsigned char)(acc << (8 - bits)));
  Feed feed{bytes};
  LzhStreams io{feed_read, &feed, no_write, nullptr};
  auto* d = static_cast<lzh::Decoder*>(std::calloc(1, sizeof(lzh::Decoder)));
  d->io = &io;
  d->in_left = bytes.size();
  d->in_ptr = d->in_end = d->inbuf;
  for (int i = 0; i < n; ++i) d->m.st.c.len[i] = len[i];
  std::vector<int> out;
  if (lzh::build(d->m.st.c, n)) {
    for (size_t i = 0; i < syms.size(); ++i) {
      lzh::refill(d);
      out.push_back(lzh::decode(d, d->m.st.c));
    }
  }
  std::free(d);
  return out;
}

TEST(LzhTables, LongAndShortCodesDecodeBack) {
  // Frequencies falling off geometrically give codes from 1 bit up to the 16-bit limit,
  // so both table levels are used, with second-level tables of several depths.
  for (int n : {2, 19, 286, 510}) {
    std::vector<uint32_t> freq(n);
    for (int s = 0; s < n; ++s)
      freq[s] = s < 20 ? (1u << (20 - s)) + (uint32_t)s : 1 + (uint32_t)(s % 7);
    uint8_t len[510];
    lzh::make_code_lengths(freq.data(), n, len);
    std::vector<int> syms;
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < n; ++s) syms.push_back((s * 7 + r) % n);
    EXPECT_EQ(round_trip(len, n, syms), syms) << n << " symbols";
  }
}

TEST(LzhTables, DeepestSecondLevelTablesFit) {
  // Many symbols whose codes reach 16 bits under distinct first-level entries: the layout
  // that needs the most second-level entries.
  uint8_t len[510] = {0};
  int n = 0;
  for (int l = 1; l <= 9; ++l) len[n++] = (uint8_t)l;  // 1, 01, 001, ... leaves room below
  // The 9-bit prefix 000000000 is left: fill it with 2^7 codes of 16 bits.
  for (int k = 0; k < 128; ++k) len[n++] = 16;
  std::vector<int> syms;
  for (int s = 0; s < n; ++s) syms.push_back(n - 1 - s);
  EXPECT_EQ(round_trip(len, n, syms), syms);
}

TEST(LzhTables, RefusesLengthsThatAreNoPrefixCode) {
  uint8_t over[3] = {1, 1, 1};   // oversubscribed
  uint8_t under[3] = {1, 2, 0};  // incomplete
  uint8_t too_long[3] = {1, 17, 17};
  for (const uint8_t* len : {over, under, too_long}) {
    auto* d = static_cast<lzh::Decoder*>(std::calloc(1, sizeof(lzh::Decoder)));
    for (int i = 0; i < 3; ++i) d->m.st.c.len[i] = len[i];
    EXPECT_FALSE(lzh::build(d->m.st.c, 3));
    std::free(d);
  }
}

}  // namespace
