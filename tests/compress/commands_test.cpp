#include <gtest/gtest.h>

#include "compress/preview.h"

namespace zv::compress {
namespace {

TEST(Preview, RoutesByTheLastThreeCharactersInAnyCase) {
  EXPECT_EQ(previewKind("C:\\a\\READ.TXT"), PreviewKind::Text);
  EXPECT_EQ(previewKind("C:\\a\\read.Txt"), PreviewKind::Text);
  EXPECT_EQ(previewKind("C:\\a\\p.bmp"), PreviewKind::Picture);
  EXPECT_EQ(previewKind("C:\\a\\p.ICO"), PreviewKind::Picture);
  EXPECT_EQ(previewKind("C:\\a\\p.wmf"), PreviewKind::Picture);
  EXPECT_EQ(previewKind("C:\\a\\p.doc"), PreviewKind::Associated);
  EXPECT_EQ(previewKind("C:\\a\\"), PreviewKind::Associated);
}

TEST(Preview, ShortFilesAreShownWholeLongOnesByTheirFirst1024Characters) {
  EXPECT_EQ(previewText("abc", 3), "abc");  // the last character is kept
  EXPECT_EQ(previewText("", 0), "");
  std::string exact(1024, 'x');
  EXPECT_EQ(previewText(exact, 1024), exact);
  std::string longer(3000, 'y');
  EXPECT_EQ(previewText(longer, 3000), std::string(1024, 'y'));
  // CP932: 2000 characters of "あ" (0x82 0xA0) give 1024 decoded characters.
  std::string sjis;
  for (int i = 0; i < 2000; ++i) sjis += "\x82\xa0";
  std::string expected;
  for (int i = 0; i < 1024; ++i) expected += "あ";
  EXPECT_EQ(previewText(sjis.substr(0, 4096), sjis.size()), expected);
  // UTF-8 cut in the middle of a character by the read is still UTF-8.
  std::string utf8;
  for (int i = 0; i < 1500; ++i) utf8 += "あ";
  EXPECT_EQ(previewText(utf8.substr(0, 4096), utf8.size()), expected);
}

}  // namespace
}  // namespace zv::compress
