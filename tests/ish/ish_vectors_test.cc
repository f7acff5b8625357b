// The test vectors of the ISH format note: CRCs, header record, the lines of a 3-byte file in
// every code type, single-record edge cases and a 10000-byte file per type.
#include <gtest/gtest.h>

#include <cstring>

#include "ish_block.h"
#include "ish_crc.h"
#include "ish_encoder.h"
#include "ish_line.h"
#include "ish_test_util.h"
#include "sha256.h"

namespace zv::ish {
namespace {
using namespace test;

TEST(IshVectors, Crc16AndCrc32) {
  const uint8_t digits[] = "123456789";
  EXPECT_EQ(crc16(digits, 9), 0xD64E);
  EXPECT_EQ(crc16(reinterpret_cast<const uint8_t*>("ABC"), 3), 0x0AF7);
  EXPECT_EQ(crc16(nullptr, 0), 0x0000);
  EXPECT_EQ(crc32(digits, 9), 0xCBF43926u);
}

TEST(IshVectors, HeaderRecordAndLines) {
  Header h = exampleHeader(CodeType::Jis7, "ABC", "TXT");
  h.size = 3;
  uint8_t rec[69];
  buildHeaderRecord(h, rec);
  EXPECT_EQ(toHex(rec, 63),
            "0000030000003f003e00100d4142432020202020545854000001015c647324"
            "000000000000000000000000000000000000000000000000000000000000446f");
  std::string line;
  encodeLine(CodeType::Jis7, rec, line);
  EXPECT_EQ(line,
            "!!S!!!gR!2\"DRo\"NGa-B!C$o^2;K!'\"HP'F=/R!\"!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!9Q6V");

  const std::pair<CodeType, const char*> others[] = {
      {CodeType::Jis8,
       "!!S!!!9Q!4\"P\"H\"LGa-B!C$o^2;K!'\"HP'F=/R!\"!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!U]NQ"},
      {CodeType::Sjis,
       "!!S!!!9Q!5\"XRo\"OGa-B!C$o^2;K!'\"HP'F=/R!\"!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!xG11"},
      {CodeType::Nsjis,
       "!!S!!!9Q!4\"P$n\"OGa-B!C$o^2;K!'\"HP'F=/R!\"!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!AJ"}};
  for (auto [type, expected] : others) {
    h.type = type;
    buildHeaderRecord(h, rec);
    std::string l;
    encodeLine(CodeType::Jis7, rec, l);
    EXPECT_EQ(l, expected);
    Header back;
    uint8_t dec[63];
    ASSERT_TRUE(decodeLine(CodeType::Jis7, reinterpret_cast<const uint8_t*>(l.data()), dec));
    ASSERT_TRUE(recordCrcGood(dec, 63));
    ASSERT_TRUE(parseHeaderRecord(dec, 63, back));
    EXPECT_EQ(back.type, type);
    EXPECT_EQ(back.size, 3u);
    EXPECT_EQ(shortName(back), "ABC.TXT");
  }
}

std::string hexLine(const std::string& s) {
  return toHex(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

std::string expandHex(const char* head, int count, const char* fill, const char* tail) {
  std::string s = head;
  for (int i = 0; i < count; ++i) s += fill;
  return s + tail;
}

TEST(IshVectors, ThreeByteFileInEveryType) {
  const uint8_t abc[] = {0x41, 0x42, 0x43};
  // jis7 text lines.
  {
    Header h = exampleHeader(CodeType::Jis7, "ABC", "TXT");
    h.size = 3;
    std::vector<std::string> lines;
    appendBody(h, abc, 3, lines);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3],
              "\"&G3?s8e!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!xGMv");
    EXPECT_EQ(lines[4],
              "a_NRc|!s!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!-:+q");
    EXPECT_EQ(lines[5],
              "c_RC0GgPOv_cFo6H{rmIWy5[_DO+w/HiYar\"}^M;iT>QKI[-8OvZGBexre,w{fnNr@{4m'}W{um*8H");
    // The records behind them.
    uint8_t rec[63];
    ASSERT_TRUE(decodeLine(CodeType::Jis7, reinterpret_cast<const uint8_t*>(lines[5].data()), rec));
    EXPECT_EQ(toHex(rec, 63),
              "3fff82c3c4ffdabfc9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedfe0e1e2e3e4e5e6e7e8e9ea"
              "ebecedeeeff0f1f2f3f4f5f6f7f8f9fafbfcfdcc79");
  }
  struct Expect {
    CodeType type;
    std::string data, v, h;
  };
  const Expect cases[] = {
      {CodeType::Jis8, expandHex("2526324655bd71", 69, "23", "4e3a62"),
       expandHex("78ddd9cac87226", 69, "23", "74b969"),
       "7addd1c8c86a72c76c3f3d61c9d764c1a34162c3b8b5d1c4aa54a54ba76d68c8b264c4b17147d6cbba73273961d"
       "b6bd0c2a74ca14bb9d9d4c9b76ede387270d8d1c6b26ade4bdddbd9d6d1ccde4445"},
      {CodeType::Sjis, expandHex("2546277aca4adf", 68, "40", "e0a5bb"),
       expandHex("a13aa1c2364091", 68, "40", "467d5c"),
       "a3e380d92a4ad437a290e6e19ecd2ea6a658c27dc2d23edc5665a48bd1d73bbbc72c4bd48fc88ac63538683351e"
       "2a9d0e8b08f7353bdd6b1cdc6de9685345ce650dad2c9dab3689bac9b9bca457c"},
      {CodeType::Nsjis, expandHex("22267979594333", 68, "21", "33744430"),
       expandHex("67e4cd5b312247", 68, "21", "8f43494f"),
       "69e2779f90435e8cdd2b9f57e4419cd67193579a5ae26494eb4a374b3a8b79978a588fae749d7c9ae168563ae98"
       "0e1cc93e0482a5363615199d6664a434ae46a9ecb8c5033326526e3c1e0df736e2f"},
  };
  for (const auto& c : cases) {
    Header h = exampleHeader(c.type, "ABC", "TXT");
    h.size = 3;
    std::vector<std::string> lines;
    appendBody(h, abc, 3, lines);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(hexLine(lines[3]), c.data) << int(c.type);
    EXPECT_EQ(hexLine(lines[4]), c.v) << int(c.type);
    EXPECT_EQ(hexLine(lines[5]), c.h) << int(c.type);
  }
}

TEST(IshVectors, SingleRecordEdgeCases) {
  const std::tuple<CodeType, const char*, const char*> cases[] = {
      {CodeType::Sjis,
       "0153c37d788eb44db7482f6d463d19e570244cbba0e358fc7874fa8cb1955cafb5321253fe93d1232c45ed4ce9c"
       "9990d7dffdc013051552c63a0b0c76deee4cc36d032409691dd99bb",
       "254929ccd47472e785d6d767896c51d166a99fdcad69d8a4db55729a4dbfe1c56ada44a92fe463649f4677b5287"
       "752aa3967703b5e54395ac74f4063e2bf69dd8daae5c3745fbacfbe2fb1d357df"},
      {CodeType::Sjis,
       "01c67e816b4bfbe2fb54f6bddf7c1ce18701bf31de56720f4767668759aa883c59ea56137bd285a1d83c54552f3"
       "7ae655bda027998cce31a768e5fd9998f1f3f36ee43784d0dfa4d10",
       "253aaf29c8c2519997ab39dfd899d8cbaf4478a6dd8f7431aed6a2c14527394c632f3fc333bfb5c6455c8a558a7"
       "d428fb4ad40d776a88aaa8fc54d6aa32c66652a9ad2c05e6d6abe529e835b8e48"},
      {CodeType::Nsjis,
       "01ea024714ad5c4d84bad8ad1247ef165dc2e92fb67a1a1bc20edfced49658130793e2591e975b411db315e8a3a"
       "596f40ebe16604d95b608836e80f36167226440686ad410",
       "22282a466f39634b429ed69a8b90bae0b75f6675416c946e3e682a8cb98c55967d56385d9e71e181426b9a557b6"
       "1994094c23a5d7054259ca2668e7695ac689983219d909fab2ae373778d6a309242"},
      {CodeType::Nsjis,
       "01c67e816b4bfbe2fb54f6bddf7c1ce18701bf31de56720f4767668759aa883c59ea56137bd285a1d83c54552f3"
       "7ae655bda027998cce31a768e5fd9998f1f3f36ee43a559",
       "22e4d48c6b95b89c7a4e769b4a402f3193a42850402b5c916c43355f6c9943516b3526709d667d3de34a3b3f2c6"
       "232946b8e4e9c9997f099749cc092848ca4615a657775e9bc6e915f8c9d4e945a2d"},
      {CodeType::Nsjis,
       "011966fb7f2f908295424b45799d1767e5b593808129caf3107a430f5d8ac7e8e3d6f0f33f73766456ca3948461"
       "30e610e924ac5fc940f35da28593ed79ec71237c12aa632",
       "227347e68e283867e255519a6b542b2f467196992b6e8f7471386a695c9cab5356327943673ee4bf66678aba939"
       "09d4f6f36743f346925898b2d224c64464b996b574f5f489df52b8c784f8c722a76"},
  };
  for (const auto& [type, recHex, lineHex] : cases) {
    auto rec = fromHex(recHex);
    ASSERT_EQ(int(rec.size()), info(type).record);
    std::string line;
    encodeLine(type, rec.data(), line);
    EXPECT_EQ(hexLine(line), lineHex);
    auto text = fromHex(lineHex);
    std::vector<uint8_t> back(rec.size());
    ASSERT_TRUE(decodeLine(type, text.data(), back.data()));
    EXPECT_EQ(back, rec);
  }
}

TEST(IshVectors, TenThousandBytesPerType) {
  auto data = patternBytes(10000);
  EXPECT_EQ(sha256Hex(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()))
                .substr(0, 8),
            "6e97d860");
  EXPECT_EQ(crc16(data.data(), data.size()), 0x9B2B);
  const std::tuple<CodeType, size_t, const char*> cases[] = {
      {CodeType::Jis7, 176, "fff92dade14d9451f6df39997659ee64d1117332905b6eae3055646962a53750"},
      {CodeType::Jis8, 161, "13b01786002eeb36c8fd5adcb9b2600b7bc0f96cafcc7a9b442c74d5dfa7572f"},
      {CodeType::Sjis, 152, "d012b10ba664e25ab0360bc5d1e60dbaeb8c9cfdec9370ac3c05af4982080948"},
      {CodeType::Nsjis, 161, "f28b6bf809bca26724686585c1361b193930bfddb816074b6017f149aeaa00dc"},
  };
  for (const auto& [type, count, digest] : cases) {
    Header h = exampleHeader(type, "DATA", "BIN");
    h.size = 10000;
    std::vector<std::string> lines;
    appendBody(h, data.data(), data.size(), lines);
    EXPECT_EQ(lines.size(), count);
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    EXPECT_EQ(sha256Hex(text), digest) << int(type);
  }
}

}  // namespace
}  // namespace zv::ish
