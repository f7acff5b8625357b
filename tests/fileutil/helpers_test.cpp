// The texts the file utility builds for the library and for its failure reports.
#include <gtest/gtest.h>

#include "core/forms/steps.h"
#include "fileutil/file_transfer.h"
#include "fileutil/preview_text.h"
#include "fileutil/sfx_command.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace zv {
namespace {

TEST(SfxCommand, SuffixTestIgnoresCaseAndLooksOnlyAtTheEnd) {
  EXPECT_TRUE(isLzhName("archive.Lzh"));
  EXPECT_TRUE(isLzhName("ARCHIVE.LZH"));
  EXPECT_TRUE(isLzhName("lzh"));
  EXPECT_FALSE(isLzhName("archive.lzh.txt"));
  EXPECT_FALSE(isLzhName("zh"));
  EXPECT_FALSE(isLzhName(""));
}

TEST(SfxCommand, VersionTextIsTheShortestDecimalWithALeadingBlank) {
  EXPECT_EQ(versionText(130), " 1.3");
  EXPECT_EQ(versionText(152), " 1.52");
  EXPECT_EQ(versionText(200), " 2");
  EXPECT_EQ(versionText(205), " 2.05");
  EXPECT_EQ(versionText(-130), "-1.3");
}

TEST(FailureText, NamesOneFileOrCountsSeveral) {
  FailureTally one;
  one.add("a.txt");
  EXPECT_EQ(failureText(FileAction::Delete, one), "ファイル a.txt を削除できませんでした");
  FailureTally three;
  for (const char* n : {"b.txt", "c.txt", "d.txt"}) three.add(n);
  EXPECT_EQ(failureText(FileAction::Copy, three),
            "コピーできなかったファイルが 3 個あります．\r\n最初のファイル： b.txt");
}

// The report says why: a full disk and a read-only folder no longer read the same.
TEST(FailureText, AddsTheCauseAfterTheUsualText) {
  FailureTally full;
  full.add("big.bin", kErrDiskFull);
  EXPECT_EQ(failureText(FileAction::Copy, full),
            "ファイル big.bin をコピーできませんでした\r\n原因： "
            "容量不足です（ディスクに空きがありません）");
  FailureTally readOnly;
  readOnly.add("big.bin", kErrPermissionDenied);
  readOnly.add("more.bin", kErrDiskFull);
  EXPECT_EQ(failureText(FileAction::Move, readOnly),
            "移動できなかったファイルが 2 個あります．\r\n最初のファイル： big.bin\r\n"
            "原因： 書き込み権限がありません（読み取り専用か，同じ名前のフォルダがあります）");
}

// A real failure carries its cause into the tally.
TEST(FailureText, ACopyFromAMissingFileSaysItIsNotFound) {
  test::TempDir dir;
  FailureTally tally;
  Steps steps;
  if (!steps([&] {
        copyReplacing(windowsPath(dir.path() + "/none.txt"), windowsPath(dir.path() + "/copy.txt"));
      }))
    tally.add("none.txt", steps.err());
  ASSERT_EQ(tally.count(), 1);
  EXPECT_NE(failureText(FileAction::Copy, tally).find("原因： ファイルが見つかりません"),
            std::string::npos);
}

TEST(PreviewDecoding, Utf8StaysCp932IsConverted) {
  EXPECT_EQ(decodePreview("plain"), "plain");
  EXPECT_EQ(decodePreview("日本語"), "日本語");
  EXPECT_EQ(decodePreview("\x83\x5c"), "ソ");                    // CP932 with a 0x5C trail byte
  EXPECT_EQ(decodePreview(std::string("ab\xe3\x81", 4)), "ab");  // UTF-8 cut short
}

}  // namespace
}  // namespace zv
