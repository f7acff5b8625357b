#include "platform/encoding.h"

#include <gtest/gtest.h>

using namespace zv::encoding;

TEST(Encoding, JapaneseNamesSurviveCp932RoundTrips) {
  for (std::string name :
       {"自己解凍書庫", "表示ソフト能力", "ﾊﾝｶｸｶﾅ.txt", "①～③ＡＢＣ", "C:\\データ\\圧縮"}) {
    bool lossless = false;
    std::string bytes = utf8ToCp932(name, &lossless);
    EXPECT_TRUE(lossless) << name;
    EXPECT_FALSE(isValidUtf8(bytes) && bytes != name) << name;
    EXPECT_EQ(cp932ToUtf8(bytes), name);
    EXPECT_EQ(decodeUnknown(bytes), name);
    EXPECT_EQ(decodeUnknown(name), name);
  }
  EXPECT_EQ(utf8ToCp932("表"), "\x95\x5C");
}

TEST(Encoding, SymbolsFromOtherSystemsMapToCp932) {
  bool lossless = false;
  // WAVE DASH and MINUS SIGN as macOS writes them.
  std::string bytes = utf8ToCp932("\xE3\x80\x9C\xE2\x88\x92", &lossless);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(bytes, "\x81\x60\x81\x7C");
}

TEST(Encoding, UnmappableAndBrokenInputIsMarkedNotDropped) {
  bool lossless = true;
  EXPECT_EQ(utf8ToCp932("a😀b", &lossless), "a?b");
  EXPECT_FALSE(lossless);
  EXPECT_FALSE(fitsCp932("ä€"));
  EXPECT_TRUE(fitsCp932("漢字 abc"));
  EXPECT_EQ(cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // cut-off double-byte character
  EXPECT_EQ(cp932ToUtf8("\xA0z"), "\xEF\xBF\xBDz");  // byte without a character
}

TEST(Encoding, Utf8Validation) {
  EXPECT_TRUE(isValidUtf8("plain"));
  EXPECT_TRUE(isValidUtf8("日本"));
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(isValidUtf8("\xE6\x97"));      // cut off
}

TEST(Encoding, Cp437AndUtf16) {
  EXPECT_EQ(cp437ToUtf8("\x81\x94"), "üö");
  std::string wide = utf8ToUtf16le("日a");
  EXPECT_EQ(wide, std::string("\xE5\x65\x61\x00", 4));
  EXPECT_EQ(utf16leToUtf8(wide), "日a");
}
