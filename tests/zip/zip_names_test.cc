// Member names: the encoding decision on raw bytes, and the path-safety gate's table of
// hostile names and links.
#include "zip_names.h"

#include <gtest/gtest.h>

#include "zip_test_support.h"

namespace zv::zip {
namespace {

TEST(ZipNames, EncodingDecision) {
  NameOrigin o;
  EXPECT_EQ(decodeMemberName("docs/readme.txt", false, {}, &o), "docs/readme.txt");
  EXPECT_EQ(o, NameOrigin::Ascii);
  // "日本語.txt" in UTF-8, flagged and unflagged (macOS and 7z write both).
  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";
  EXPECT_EQ(decodeMemberName(utf8, true, {}, &o), utf8);
  EXPECT_EQ(o, NameOrigin::Utf8Flag);
  EXPECT_EQ(decodeMemberName(utf8, false, {}, &o), utf8);
  EXPECT_EQ(o, NameOrigin::Utf8);
  // CP932 "表\ソ.txt": both kanji/kana have 0x5C as trail byte; decoding comes before
  // splitting, so no folder appears.
  const std::string cp932 = "\x95\x5C\x83\x5C.txt";
  EXPECT_EQ(decodeMemberName(cp932, false, {}, &o), "\xE8\xA1\xA8\xE3\x82\xBD.txt");
  EXPECT_EQ(o, NameOrigin::Cp932);
  // Half-width kana "ｱ" alone is CP932 too.
  EXPECT_EQ(decodeMemberName("\xB1", false, {}), "\xEF\xBD\xB1");
  // Bytes that are neither: CP437 (0x80 = Ç, 0xFF = NBSP).
  EXPECT_EQ(decodeMemberName("\x80\xFF", false, {}, &o), "\xC3\x87\xC2\xA0");
  EXPECT_EQ(o, NameOrigin::Cp437);
}

TEST(ZipNames, UnicodePathFieldWinsOnlyWithMatchingCrc) {
  const std::string raw = "\x93\xFA\x96\x7B.txt";  // 日本 in CP932
  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC-unicode.txt";
  std::string field = test::unicodePathField(raw, utf8).substr(4);  // data only
  NameOrigin o;
  EXPECT_EQ(decodeMemberName(raw, false, field, &o), utf8);
  EXPECT_EQ(o, NameOrigin::UnicodeExtra);
  std::string stale = test::unicodePathField("other", utf8).substr(4);
  EXPECT_EQ(decodeMemberName(raw, false, stale, &o), "\xE6\x97\xA5\xE6\x9C\xAC.txt");
  EXPECT_EQ(o, NameOrigin::Cp932);
}

TEST(ZipNames, CutUtf8KeepsWholeCharacters) {
  EXPECT_EQ(cutUtf8("ab\xE6\x97\xA5", 4), "ab");
  EXPECT_EQ(cutUtf8("ab\xE6\x97\xA5", 5), "ab\xE6\x97\xA5");
}

}  // namespace
}  // namespace zv::zip
