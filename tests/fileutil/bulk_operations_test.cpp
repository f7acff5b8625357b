// Copy-all, move-all, delete-all and the trash can's double-click.
#include <filesystem>

#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

class BulkTest : public FileUtilityTest {
 protected:
  void threeFilesSecondExisting() {
    write("up/1.txt", "one");
    write("up/2.txt", "two");
    write("up/3.txt", "three");
    write("down/2.txt", "old two");
    open();
  }
};

// Two panes on one folder, one of them through a symbolic link: nothing is moved onto itself.
TEST_F(BulkTest, MoveAllBetweenTwoPathsOfOneFolderSaysSo) {
  write("up/1.txt", "one");
  std::filesystem::create_directory_symlink(dir / "q/up", dir / "q/link");
  open("up", "link");
  release("Image4");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "移動元と移動先が同じフォルダです．");
  EXPECT_EQ(services.messages[0].title, "全移動");
  EXPECT_EQ(read("up/1.txt"), "one");
}

TEST_F(BulkTest, CopyAllAnsweredNoSkipsTheExistingFileAndStillFinishes) {
  threeFilesSecondExisting();
  services.answers = {MsgAnswer::No};
  release("Image5");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text, "同名ファイル 2.txt が存在します．上書きコピーしますか？");
  EXPECT_EQ(services.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(services.messages[0].title, "ファイルコピー");
  EXPECT_EQ(services.messages[1].text, "全コピーが終了しました");
  EXPECT_EQ(services.messages[1].title, "全コピー");
  EXPECT_EQ(services.messages[1].icon, MsgIcon::Information);
  EXPECT_EQ(read("down/1.txt"), "one");
  EXPECT_EQ(read("down/2.txt"), "old two");
  EXPECT_EQ(read("down/3.txt"), "three");
  EXPECT_EQ(ctl("File2").listCount(), 3);
  EXPECT_EQ(services.doEventsCount, 3);
}

TEST_F(BulkTest, CopyAllCancelStopsAtOnceWithoutTheFinalMessage) {
  threeFilesSecondExisting();
  services.answers = {MsgAnswer::Cancel};
  release("Image5");
  EXPECT_EQ(services.messages.size(), 1u);
  EXPECT_TRUE(there("down/1.txt"));
  EXPECT_EQ(read("down/2.txt"), "old two");
  EXPECT_FALSE(there("down/3.txt"));
}

TEST_F(BulkTest, MoveAllYesReplacesAndEmptiesTheUpperFolder) {
  threeFilesSecondExisting();
  services.answers = {MsgAnswer::Yes};
  release("Image4");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text, "同名ファイル 2.txt が存在します．上書き移動しますか？");
  EXPECT_EQ(services.messages[0].title, "ファイルの移動");
  EXPECT_EQ(services.messages[1].text, "全移動が終了しました");
  EXPECT_EQ(services.messages[1].title, "全移動");
  EXPECT_EQ(read("down/2.txt"), "two");
  EXPECT_EQ(ctl("File1").listCount(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "q/up"));
}

TEST_F(BulkTest, MoveAllAnsweredNoKeepsTheSkippedSource) {
  threeFilesSecondExisting();
  services.answers = {MsgAnswer::No};
  release("Image4");
  EXPECT_EQ(read("up/2.txt"), "two");
  EXPECT_EQ(read("down/2.txt"), "old two");
  EXPECT_FALSE(there("up/1.txt"));
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"2.txt"});
}

TEST_F(BulkTest, BothPanesOnOneFolderLeaveEveryFileInPlace) {
  write("up/1.txt", "one");
  open("up", "up");
  release("Image5");
  release("Image4");
  EXPECT_EQ(read("up/1.txt"), "one");
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(BulkTest, FailuresAreCountedAndTheFirstNamedInsteadOfTheFinishedMessage) {
  services.expectedErrors = {kErrPermissionDenied};  // the folders in the way
  write("up/1.txt", "one");
  write("up/2.txt", "two");
  write("up/3.txt", "three");
  dir.mkdir("q/down/2.txt");  // folders in the way cannot be replaced by files
  dir.mkdir("q/down/3.txt");
  open();
  services.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  release("Image4");
  ASSERT_EQ(services.messages.size(), 3u);
  EXPECT_EQ(services.messages[2].text,
            "移動できなかったファイルが 2 個あります．\r\n最初のファイル： 2.txt\r\n"
            "原因： 書き込み権限がありません（読み取り専用か，同じ名前のフォルダがあります）");
  EXPECT_EQ(services.messages[2].title, "全移動");
  EXPECT_EQ(services.messages[2].icon, MsgIcon::Exclamation);
  EXPECT_EQ(read("up/2.txt"), "two");
  EXPECT_EQ(read("up/3.txt"), "three");
  EXPECT_EQ(read("down/1.txt"), "one");
}

TEST_F(BulkTest, DeleteAllSelectsEverythingAndAsksWithACarriageReturn) {
  write("up/1.txt", "one");
  write("up/2.txt", "two");
  open();
  services.answers = {MsgAnswer::No};
  release("Image1");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "選択された全ファイルを削除します\rよろしいですか？");
  EXPECT_EQ(services.messages[0].title, "削除の確認");
  EXPECT_EQ(ctl("File1").selCount(), 2);
  EXPECT_TRUE(there("up/1.txt"));

  release("Image1");
  EXPECT_TRUE(inTrash("1.txt"));
  EXPECT_TRUE(inTrash("2.txt"));
  EXPECT_EQ(ctl("File1").listCount(), 0);
  EXPECT_FALSE(ctl("Image9").visible());
}

TEST_F(BulkTest, EmptyUpperListMakesTheBulkButtonsDoNothing) {
  write("down/x.txt", "x");
  open();
  for (const char* b : {"Image5", "Image4", "Image1"}) release(b);
  ctl("Image8").dblClick();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(there("down/x.txt"));
}

TEST_F(BulkTest, TrashDoubleClickDeletesOnlyTheSelectedFiles) {
  write("up/1.txt", "one");
  write("up/2.txt", "two");
  write("up/3.txt", "three");
  open();
  ctl("File1").userSelect(0);
  ctl("File1").userSelect(2);
  services.answers = {MsgAnswer::Yes};
  ctl("Image8").dblClick();
  EXPECT_EQ(services.messages[0].text, "選択されたファイルを削除します\rよろしいですか？");
  EXPECT_TRUE(inTrash("1.txt"));
  EXPECT_TRUE(inTrash("3.txt"));
  EXPECT_EQ(read("up/2.txt"), "two");
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"2.txt"});
  EXPECT_TRUE(ctl("Image9").visible());
}

}  // namespace
}  // namespace zv::test
