#include "platform/name_encoding.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"

using namespace zv::encoding;

namespace {

// The same Japanese names written in each encoding, converted by the platform's iconv.
std::vector<std::string> namesIn(const char* iconvName, const std::vector<std::string>& utf8) {
  std::vector<std::string> out;
  for (const std::string& n : utf8) {
    if (std::string(iconvName) == "CP932") {
      out.push_back(utf8ToCp932(n));
      continue;
    }
    std::string cmd = "printf '%s' '" + n + "' | iconv -f UTF-8 -t " + iconvName;
    FILE* p = popen(cmd.c_str(), "r");
    std::string bytes;
    char buf[256];
    size_t k;
    while ((k = fread(buf, 1, sizeof buf, p)) > 0) bytes.append(buf, k);
    pclose(p);
    out.push_back(bytes);
  }
  return out;
}

const std::vector<std::string> kJapanese = {"日本語の資料.txt", "テスト/画像.bmp", "ﾃﾞｰﾀ.dat",
                                            "あい.doc"};
const std::vector<std::string> kWestern = {"Müller.txt", "café/Señor.doc", "Ærö.dat"};

}  // namespace

TEST(NameEncoding, DetectsTheEncodingTheNamesWereWrittenIn) {
  EXPECT_EQ(detectNameEncoding(namesIn("CP932", kJapanese)), NameEncoding::Cp932);
  EXPECT_EQ(detectNameEncoding(kJapanese), NameEncoding::Utf8);
  EXPECT_EQ(detectNameEncoding(namesIn("EUC-JP", kJapanese)), NameEncoding::EucJp);
  EXPECT_EQ(detectNameEncoding(namesIn("CP437", kWestern)), NameEncoding::Cp437);
  EXPECT_EQ(detectNameEncoding(namesIn("ISO-8859-1", kWestern)), NameEncoding::Latin1);
  // Single short names in full-width characters, the hardest case, still read right alone.
  const std::vector<std::string> shortNames = {"日本語の資料.txt", "あい.doc", "資料"};
  for (const std::string& n : namesIn("EUC-JP", shortNames))
    EXPECT_EQ(bestEncodingForName(n), NameEncoding::EucJp) << n;
  for (const std::string& n : namesIn("CP932", shortNames))
    EXPECT_EQ(bestEncodingForName(n), NameEncoding::Cp932) << n;
}

TEST(NameEncoding, ReadsEachEncodingAndComposes) {
  auto euc = namesIn("EUC-JP", kJapanese);
  for (size_t i = 0; i < euc.size(); ++i) {
    DecodedName d = decodeName(euc[i], NameEncoding::EucJp);
    EXPECT_EQ(d.text, kJapanese[i]);
    EXPECT_FALSE(d.escaped);
  }
  EXPECT_EQ(decodeName("caf\xE9", NameEncoding::Latin1).text, "café");
  EXPECT_EQ(decodeName("caf\x82", NameEncoding::Cp437).text, "café");
  // Decomposed as macOS writes it: か + voiced mark, e + combining acute.
  EXPECT_EQ(composeNfc(decodeName("\xE3\x81\x8B\xE3\x82\x99.txt", NameEncoding::Utf8).text),
            "が.txt");
  EXPECT_EQ(composeNfc("ハ\xE3\x82\x9Aイe\xCC\x81\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"), "パイé한");
  // A mark that composes with nothing stays where it is.
  EXPECT_EQ(composeNfc("x\xCC\x81"), "x\xCC\x81");
  // Read as UTF-8, the old six-byte and overlong forms are escaped, never passed on.
  EXPECT_EQ(decodeName("PK\xFD\x80\x80\x80\x80\x80\xC0\xAF"
                       "e\xCC\x81",
                       NameEncoding::Utf8)
                .text,
            "PK%FD%80%80%80%80%80%C0%AFe\xCC\x81");
}

TEST(NameEncoding, UndecodableBytesBecomeUniqueVisibleEscapes) {
  DecodedName bad = decodeName("a\x80%b\xFF", NameEncoding::Cp932);
  EXPECT_TRUE(bad.escaped);
  EXPECT_EQ(bad.text, "a%80%25b%FF");
  // A name whose own text looks like an escape stays distinct from the escaped one.
  DecodedName literal = decodeName("a%80%b\xFF", NameEncoding::Cp932);
  EXPECT_NE(literal.text, bad.text);
  EXPECT_EQ(decodeName("\x85\x40", NameEncoding::Latin1).text, "%85@");
  EXPECT_FALSE(decodeName("plain%20.txt", NameEncoding::EucJp).escaped);
}

TEST(NameEncoding, SwitchWordsAndLabelsRoundTrip) {
  for (NameEncoding e : kNameEncodings) {
    EXPECT_EQ(encodingFromWord(encodingWord(e)), e);
    EXPECT_EQ(encodingFromNumber(static_cast<unsigned>(e)), e);
    EXPECT_FALSE(encodingLabel(e).empty());
  }
  EXPECT_EQ(encodingFromWord("EUC-JP"), NameEncoding::EucJp);
  EXPECT_FALSE(encodingFromWord("koi8").has_value());
}
