// Damaged ISH text: up to two lost lines per block are rebuilt, more are refused with the
// lines named; hostile headers and junk never yield a file with wrong bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "ish_block.h"
#include "ish_crc.h"
#include "ish_decoder.h"
#include "ish_encoder.h"
#include "ish_line.h"
#include "ish_test_util.h"
#include "sha256.h"

namespace zv::ish {
namespace {
using namespace test;

std::vector<std::string> bodyLines(CodeType type, const std::vector<uint8_t>& data) {
  Header h = exampleHeader(type, "DATA", "BIN");
  h.size = uint32_t(data.size());
  std::vector<std::string> lines;
  appendBody(h, data.data(), data.size(), lines);
  return lines;
}

std::string join(const std::vector<std::string>& lines, const std::vector<size_t>& drop = {}) {
  std::string t;
  for (size_t i = 0; i < lines.size(); ++i)
    if (std::find(drop.begin(), drop.end(), i) == drop.end()) t += lines[i] + "\n";
  return t;
}

TEST(IshDamage, RepairsAnyTwoLinesOfABlockAndRefusesThree) {
  auto data = patternBytes(10000);
  for (CodeType type : {CodeType::Jis7, CodeType::Jis8, CodeType::Sjis, CodeType::Nsjis}) {
    auto lines = bodyLines(type, data);
    const size_t N = size_t(info(type).payload);
    // Block 1 starts at line 3: data 3..3+N-1, V, H.
    const size_t v = 3 + N, hline = 4 + N;
    const std::vector<std::vector<size_t>> repairable = {
        {3},     {3 + N / 2}, {v},        {hline},       {3, 4}, {3, 3 + N - 1},
        {10, v}, {5, hline},  {v, hline}, {0, 1, 20, 21}};
    for (const auto& drop : repairable) {
      auto files = decodeText(join(lines, drop));
      ASSERT_EQ(files.size(), 1u);
      EXPECT_TRUE(files[0].ok) << int(type) << " drop " << drop[0] << ": " << files[0].problem;
      EXPECT_EQ(files[0].data, data);
    }
    // The last (short) block too.
    const size_t last = lines.size() - 3;
    auto files = decodeText(join(lines, {last, last - 1}));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ok) << files[0].problem;

    for (const auto& drop :
         std::vector<std::vector<size_t>>{{3, 4, 5}, {3, 4, hline}, {7, v, hline}}) {
      auto bad = decodeText(join(lines, drop));
      ASSERT_EQ(bad.size(), 1u);
      EXPECT_FALSE(bad[0].ok);
      EXPECT_TRUE(bad[0].data.empty());
      EXPECT_NE(bad[0].problem.find("修復できません"), std::string::npos) << bad[0].problem;
      EXPECT_NE(bad[0].problem.find(std::to_string(drop[0] - 2)), std::string::npos)
          << bad[0].problem;
    }
  }
}

TEST(IshDamage, DiagonalVariantWithoutTheVerticalRow) {
  // A writer that leaves the V row's data out of the diagonal sums.
  const TypeInfo& t = info(CodeType::Jis7);
  auto data = patternBytes(5000);
  auto lines = bodyLines(CodeType::Jis7, data);
  // Recompute the first block's H line the other way.
  Block b(t);
  std::vector<uint8_t> rec(size_t(t.record));
  for (int r = 1; r <= t.payload; ++r) {
    ASSERT_TRUE(decodeLine(
        CodeType::Jis7, reinterpret_cast<const uint8_t*>(lines[size_t(2 + r)].data()), rec.data()));
    std::copy(rec.begin(), rec.begin() + t.width, b.row(r));
  }
  std::vector<uint8_t> v(size_t(t.record)), h(size_t(t.record));
  b.computeChecks(v.data(), h.data());
  std::vector<unsigned> diag(size_t(t.width), 0);
  for (int r = 1; r <= t.width; ++r)
    for (int c = 0; c < t.width; ++c) {
      if (r == t.width && c > 0) continue;
      uint8_t cell = r == t.width ? v[size_t(c)] : b.row(r)[c];
      diag[size_t(((c - r + 1) % t.width + t.width) % t.width)] += cell;
    }
  for (int g = 0; g + 1 < t.width; ++g) h[size_t(g + 1)] = uint8_t(0u - diag[size_t(g)]);
  sealRecord(h.data(), t.record);
  std::string hl;
  encodeLine(CodeType::Jis7, h.data(), hl);
  lines[size_t(4 + t.payload)] = hl;
  auto files = decodeText(join(lines, {5, 40}));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].ok) << files[0].problem;
  EXPECT_EQ(files[0].data, data);
}

TEST(IshDamage, FlippedCharactersAreSkippedAsLostLines) {
  auto data = patternBytes(3000);
  auto lines = bodyLines(CodeType::Sjis, data);
  lines[4][10] = lines[4][10] == 'A' ? 'B' : 'A';
  lines[9][40] = '@' == lines[9][40] ? 'C' : '@';
  auto files = decodeText(join(lines));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].ok) << files[0].problem;
  EXPECT_EQ(files[0].repairedLines, 2);
  EXPECT_EQ(files[0].data, data);
}

TEST(IshDamage, TruncatedTextNamesWhereItEnds) {
  auto lines = bodyLines(CodeType::Jis7, patternBytes(10000));
  lines.resize(80);
  auto files = decodeText(join(lines));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_FALSE(files[0].ok);
  EXPECT_NE(files[0].problem.find("途切れ"), std::string::npos);
}

TEST(IshDamage, HostileHeadersAndJunk) {
  // A header declaring 4 GiB - 1 bytes followed by one block: no huge allocation, no file.
  Header h = exampleHeader(CodeType::Jis7, "HUGE", "BIN");
  h.size = 0xFFFFFFFFu;
  auto small = patternBytes(100);
  std::vector<std::string> lines;
  appendBody(h, small.data(), small.size(), lines);
  auto files = decodeText(join(lines));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_FALSE(files[0].ok);
  EXPECT_TRUE(files[0].data.empty());

  // Ordinary text and random bytes hold no ISH data.
  std::mt19937 rng(4);
  std::string junk;
  for (int i = 0; i < 100000; ++i) junk.push_back(char(rng()));
  EXPECT_TRUE(decodeText(junk).empty());
  EXPECT_TRUE(
      decodeText(
          "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n")
          .empty());
  EXPECT_TRUE(decodeText("").empty());

  // Lines with a good CRC but a wrong stream (another file's lines) fail the file CRC.
  auto a = bodyLines(CodeType::Jis7, patternBytes(200));
  auto b = bodyLines(CodeType::Jis7, std::vector<uint8_t>(190, 0x55));
  std::vector<std::string> mixed = {a[0], a[1], a[2], b[3], b[4], b[5], b[6], b[7]};
  auto m = decodeText(join(mixed));
  ASSERT_EQ(m.size(), 1u);
  EXPECT_FALSE(m[0].ok);
  EXPECT_NE(m[0].problem.find("CRC"), std::string::npos);
}

TEST(IshDamage, ThirdPartySampleRestoresToItsRecordedBytes) {
  std::ifstream in(std::string(ZV_TEST_DATA_DIR) + "/ish/macish-test.ish", std::ios::binary);
  ASSERT_TRUE(in) << "fixture missing";
  std::stringstream ss;
  ss << in.rdbuf();
  auto files = decodeText(ss.str());
  ASSERT_EQ(files.size(), 1u);
  ASSERT_TRUE(files[0].ok) << files[0].problem;
  EXPECT_EQ(files[0].name, "test.txt");
  EXPECT_EQ(files[0].data.size(), 52u);
  EXPECT_EQ(files[0].header.os, 0x41);
  EXPECT_EQ(files[0].header.zoneOffset, -32400);
  EXPECT_EQ(sha256Hex(std::string(files[0].data.begin(), files[0].data.end())),
            "8b314c02550d6910896b1f206c0e5152b4e5142a543521fc0b5f700d339d22b9");
}

}  // namespace
}  // namespace zv::ish
