// Encoding and decoding agree for every code type over many sizes, including the block and
// line boundaries, random bytes, surrounding text and every line-end style.
#include <gtest/gtest.h>

#include <random>

#include "ish_decoder.h"
#include "ish_encoder.h"
#include "ish_test_util.h"

namespace zv::ish {
namespace {
using namespace test;

const CodeType kTypes[] = {CodeType::Jis7, CodeType::Jis8, CodeType::Sjis, CodeType::Nsjis};

std::vector<uint8_t> randomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = uint8_t(rng());
  return v;
}

std::string encode(CodeType type, const std::vector<uint8_t>& data,
                   const std::string& name = "FILE.BIN") {
  Header h = exampleHeader(type, "", "");
  setShortName(h, name);
  EncodeOptions o;
  o.longName = name;
  return encodeText(h, data.data(), data.size(), o);
}

TEST(IshRoundTrip, BoundarySizesAndRandomBytes) {
  for (CodeType type : kTypes) {
    const size_t N = size_t(info(type).payload);
    std::vector<size_t> sizes = {
        0,     1,         2,         3,     N - 3,     N - 2,          N - 1, N,
        N + 1, N * N - 2, N * N - 1, N * N, N * N + 1, 3 * N * N + 17, 100000};
    for (size_t size : sizes) {
      auto data = randomBytes(size, unsigned(size) * 7 + unsigned(type));
      auto files = decodeText(encode(type, data));
      ASSERT_EQ(files.size(), 1u) << int(type) << " " << size;
      EXPECT_TRUE(files[0].ok) << files[0].problem;
      EXPECT_EQ(files[0].data, data) << int(type) << " " << size;
      EXPECT_EQ(files[0].name, "FILE.BIN");
      EXPECT_EQ(files[0].repairedLines, 0);
    }
  }
}

TEST(IshRoundTrip, SeveralMegabytes) {
  auto data = randomBytes(3 * 1024 * 1024 + 5, 99);
  for (CodeType type : kTypes) {
    auto files = decodeText(encode(type, data));
    ASSERT_EQ(files.size(), 1u);
    ASSERT_TRUE(files[0].ok);
    EXPECT_TRUE(files[0].data == data);
  }
}

TEST(IshRoundTrip, LinesAreTheTypesLength) {
  auto data = randomBytes(5000, 3);
  for (CodeType type : kTypes) {
    std::string text = encode(type, data);
    size_t pos = 0, lines = 0;
    while (pos < text.size()) {
      size_t e = text.find("\r\n", pos);
      ASSERT_NE(e, std::string::npos) << "every line ends with CR LF";
      std::string line = text.substr(pos, e - pos);
      if (line.rfind("<<<", 0) != 0 && line.rfind("---", 0) != 0) {
        EXPECT_EQ(line.size(), line[0] == '!' ? 78u : size_t(info(type).textLength));
        for (unsigned char c : line) EXPECT_GT(c, 0x20);
        if (type == CodeType::Jis7) {
          for (unsigned char c : line) EXPECT_LT(c, 0x7F);
        }
      }
      pos = e + 2, ++lines;
    }
    EXPECT_NE(text.find("[ " + std::to_string(lines) + " lines ]"), std::string::npos);
    EXPECT_NE(
        text.find("--- FILE.BIN (" + std::to_string(lines) + "/" + std::to_string(lines) + ") ---"),
        std::string::npos);
  }
}

TEST(IshRoundTrip, MailAroundDataAndLineEnds) {
  auto a = randomBytes(7000, 1), b = randomBytes(300, 2);
  std::string first = encode(CodeType::Sjis, a, "first.lzh");
  std::string second = encode(CodeType::Jis7, b, "second.txt");
  auto lf = [](std::string s) {
    std::string o;
    for (char c : s)
      if (c != '\r') o += c;
    return o;
  };
  auto cr = [&](std::string s) {
    std::string o = lf(s);
    for (char& c : o)
      if (c == '\n') c = '\r';
    return o;
  };
  const std::string mail = "From: someone\r\nSubject: files\r\n\r\nHere you are:\r\n";
  std::string sig = "-- \r\nsignature line\r\n";
  for (int style = 0; style < 3; ++style) {
    std::string text = mail + first + "some chat between the files\r\n" + second + sig;
    if (style == 1) text = lf(text);
    if (style == 2) text = cr(text);
    // No final line break after the last data line either.
    std::string trimmed = text.substr(0, text.rfind(style == 0 ? "--- second" : "--- second"));
    for (const std::string& t : {text, trimmed}) {
      auto files = decodeText(t);
      ASSERT_EQ(files.size(), 2u) << style;
      EXPECT_TRUE(files[0].ok && files[1].ok);
      EXPECT_EQ(files[0].name, "first.lzh");
      EXPECT_EQ(files[0].data, a);
      EXPECT_EQ(files[1].name, "second.txt");
      EXPECT_EQ(files[1].data, b);
    }
  }
}

TEST(IshRoundTrip, TrailingBlanksAndJis8CodedHeader) {
  auto data = randomBytes(4000, 5);
  Header h = exampleHeader(CodeType::Jis8, "J8", "BIN");
  h.jis8Coded = true;
  EncodeOptions o;
  o.lineEnd = "  \n";
  std::string text = encodeText(h, data.data(), data.size(), o);
  EXPECT_EQ(text.find("\n!"), std::string::npos);  // headers start with '#'
  auto files = decodeText(text);
  ASSERT_EQ(files.size(), 1u);
  ASSERT_TRUE(files[0].ok) << files[0].problem;
  EXPECT_EQ(files[0].data, data);
  EXPECT_EQ(files[0].name, "J8.BIN");
}

TEST(IshRoundTrip, VolumeSetsInAnyOrder) {
  auto data = randomBytes(25000, 8);
  Header h = exampleHeader(CodeType::Jis7, "BIG", "DAT");
  auto volumes = encodeVolumes(h, data.data(), data.size(), 10000, {});
  ASSERT_EQ(volumes.size(), 3u);
  auto files = joinVolumes(decodeText(volumes[2] + volumes[0] + volumes[1]));
  ASSERT_EQ(files.size(), 1u);
  ASSERT_TRUE(files[0].ok) << files[0].problem;
  EXPECT_EQ(files[0].data, data);

  auto partial = joinVolumes(decodeText(volumes[0] + volumes[2]));
  ASSERT_EQ(partial.size(), 2u);
  for (const auto& f : partial) {
    EXPECT_FALSE(f.ok);
    EXPECT_NE(f.problem.find("2"), std::string::npos);
  }
}

}  // namespace
}  // namespace zv::ish
