// The report of an archive test: member lines read back from the libraries' text, whatever
// brackets a name holds, damaged members first, other lines kept as notes.
#include "ui/common/archive_report.h"

#include <gtest/gtest.h>

namespace zv {

TEST(ArchiveReport, ReadsMemberLinesAndPutsDamageFirst) {
  ArchiveReport r = parseReport(
      "正常: dir\\a (1).txt (12 バイト, lh5)\r\n"
      "ヘッダ破損: b.txt (名前は推定)\r\n"
      "途中で切れています: c.bin (300 バイト, deflate)\r\n"
      "同名のファイルが存在するためスキップしました: d.txt\r\n"
      "1 個正常、2 個破損 (検査しました)\r\n"
      "失われたメンバー: b.txt (名前は推定)\r\n");
  ASSERT_EQ(r.members.size(), 4u);
  EXPECT_EQ(r.damaged, 2u);
  EXPECT_EQ(r.members[0].name, "dir\\a (1).txt");
  EXPECT_EQ(r.members[0].size, "12");
  EXPECT_EQ(r.members[0].method, "lh5");
  EXPECT_EQ(r.members[1].name, "b.txt (名前は推定)");
  EXPECT_TRUE(r.members[1].size.empty());
  EXPECT_TRUE(r.notes.empty());
  EXPECT_EQ(r.members[3].name, "d.txt");  // kept, neither sound nor damaged
  EXPECT_FALSE(r.members[3].damaged());

  std::string text = reportText("C:\\x.lzh", r, false);
  size_t header = text.find("ヘッダ破損"), cut = text.find("途中で切れています"),
         sound = text.find("dir\\a (1).txt");
  EXPECT_LT(header, sound);
  EXPECT_LT(cut, sound);
  EXPECT_NE(text.find("破損 2 個，正常 1 個，既にあるため取り出さなかったもの 1 個"),
            std::string::npos)
      << text;
}

TEST(ArchiveReport, MarkedNameJoinsTheLineOfItsMember) {
  // A name that holds the arrow itself: the marked name holds it as often, so the middle
  // arrow is the one that parts them. A line for a member not in the report stays a note.
  ArchiveReport r = parseReport(
      "CRC エラー: a → b.txt (5 バイト, lh5)\r\n"
      "破損したまま書き出しました: a → b.txt → a → b (破損).txt\r\n"
      "破損したまま書き出しました: zz.txt → zz (破損).txt\r\n");
  ASSERT_EQ(r.members.size(), 1u);
  EXPECT_EQ(r.members[0].detail, "「a → b (破損).txt」として書き出しました");
  EXPECT_EQ(r.notes,
            std::vector<std::string>{"破損したまま書き出しました: zz.txt → zz (破損).txt"});
}

TEST(ArchiveReport, SoundArchiveIsOneLine) {
  ArchiveReport r = parseReport("取り出しました: a (1 バイト, stored)\r\n");
  EXPECT_FALSE(r.archiveDamaged);
  EXPECT_EQ(reportText("C:\\a.zip", r, true),
            "C:\\a.zip: 正常です (1 個のメンバーをすべて取り出しました)\r\n");
}

TEST(ArchiveReport, LostDirectoryMakesTheArchiveDamagedWithSoundMembers) {
  // What the ZIP library says when the central directory is lost, or does not match the
  // members' own headers: no member is damaged, the archive is.
  for (const char* said : {"中央ディレクトリが壊れているため、各メンバーのヘッダから読みました",
                           "中央ディレクトリと各メンバーのヘッダが一致しません",
                           "ヘッダと中央ディレクトリで名前が違います: b.bin / B.bin"}) {
    SCOPED_TRACE(said);
    ArchiveReport r = parseReport(std::string(said) + "\r\n正常: a (1 バイト, stored)\r\n");
    EXPECT_TRUE(r.archiveDamaged);
    EXPECT_EQ(r.damaged, 0u);
    EXPECT_EQ(reportText("C:\\a.zip", r, false).find("正常です"), std::string::npos);
  }
}

}  // namespace zv
