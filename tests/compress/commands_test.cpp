#include <gtest/gtest.h>

#include "compress/creation_commands.h"
#include "compress/preview.h"

namespace zv::compress {
namespace {

const std::string kArchive = "C:\\out\\x.lzh";

TEST(LzhFileCommand, EveryModeCombination) {
  struct Case {
    const char* pack;
    const char* dir;
    const char* progress;
    const char* expected;
  };
  const Case cases[] = {
      {"UPDATE", "NO", "NO", "u -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"UPDATE", "NO", "YES", "u \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"UPDATE", "YES", "NO", "u -d1 -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"UPDATE", "YES", "YES", "u -d1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"ADD", "NO", "NO", "a -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"ADD", "YES", "YES", "a -d1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"MOVE", "NO", "YES", "m \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"MOVE", "YES", "NO", "m -d1 -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      // A mode that is none of the three updates; a hand-edited progress value counts as NO.
      {"", "NO", "yes", "u -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
      {"ADD", "YES", "Yes", "a -d1 -n1 \"C:\\out\\x.lzh\" \"C:\\src\\a.txt\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lzhFileCommand({c.pack, c.dir, c.progress}, kArchive, "C:\\src\\", "a.txt"),
              c.expected)
        << c.pack << "/" << c.dir << "/" << c.progress;
  }
}

TEST(LzhFileCommand, JoinsTheSourceFolderOnceAndQuotesBlanks) {
  EXPECT_EQ(lzhFileCommand({"UPDATE", "NO", "NO"}, "C:\\my out\\x.lzh", "C:\\src", "c d.txt"),
            "u -n1 \"C:\\my out\\x.lzh\" \"C:\\src\\c d.txt\"");
  EXPECT_EQ(lzhFileCommand({"UPDATE", "NO", "NO"}, kArchive, "C:\\", "a.txt"),
            "u -n1 \"C:\\out\\x.lzh\" \"C:\\a.txt\"");
}

TEST(LzhFolderCommand, SplitsTheSourceFolderIntoParentAndTail) {
  EXPECT_EQ(lzhFolderCommand("NO", kArchive, "C:\\data\\proj\\"),
            "a -d1 -n1 \"C:\\out\\x.lzh\" \"C:\\data\\\" \"proj\\*.*\"");
  EXPECT_EQ(lzhFolderCommand("YES", kArchive, "C:\\data\\proj"),
            "a -d1 \"C:\\out\\x.lzh\" \"C:\\data\\\" \"proj\\*.*\"");
  EXPECT_EQ(lzhFolderCommand("NO", kArchive, "C:\\proj\\"),
            "a -d1 -n1 \"C:\\out\\x.lzh\" \"C:\\\" \"proj\\*.*\"");
  // A drive root has no parent: everything on the drive, relative to its root.
  EXPECT_EQ(lzhFolderCommand("NO", kArchive, "D:\\"),
            "a -d1 -n1 \"C:\\out\\x.lzh\" \"D:\\\" \"*.*\"");
  EXPECT_EQ(lzhFolderCommand("NO", kArchive, "D:"),
            "a -d1 -n1 \"C:\\out\\x.lzh\" \"D:\\\" \"*.*\"");
}

TEST(IshCommand, CodeTypesAndUnquotedPaths) {
  EXPECT_EQ(
      ishCommand("C:\\src\\", "memo.txt", IshCodeType::PcNetwork, "C:\\out\\memo.ish", "C:\\out"),
      "C:\\src\\memo.txt /ss /ya C:\\out\\memo.ish /f=C:\\out");
  EXPECT_EQ(
      ishCommand("C:\\src", "my memo.txt", IshCodeType::Internet, "C:\\o o\\m.ish", "C:\\o o"),
      "C:\\src\\my memo.txt /s7 /ya C:\\o o\\m.ish /f=C:\\o o");
  EXPECT_EQ(ishSwitches(IshCodeType::PcNetworkNoKana), "/sn /ya");
}

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
