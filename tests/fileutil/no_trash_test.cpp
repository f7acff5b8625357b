// Deleting where no trash can take the files: the user is told that the deletion cannot be
// undone before the usual question, and nothing is deleted without both answers being Yes.
#include <filesystem>

#include "fileutil/file_transfer.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

class NoTrashTest : public FileUtilityTest {
 protected:
  void SetUp() override {
    FileUtilityTest::SetUp();
    fs::simulateNoTrash(true);
  }
  void TearDown() override {
    fs::simulateNoTrash(false);
    FileUtilityTest::TearDown();
  }
};

TEST_F(NoTrashTest, TrashDropWarnsFirstAndDeletesForGoodOnlyAfterBothYes) {
  write("up/a.txt", "a");
  open();
  // No to the warning: the deletion question is not even asked.
  services.answers = {MsgAnswer::No};
  dragTo("File1", "a.txt", "Image8");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "a.txt はごみ箱に入れられません．\r削除すると元に戻せません．削除しますか？");
  EXPECT_EQ(services.messages[0].title, "削除の確認");
  EXPECT_TRUE(there("up/a.txt"));

  // Yes to the warning, No to the deletion question: still kept.
  services.messages.clear();
  services.answers = {MsgAnswer::Yes, MsgAnswer::No};
  dragTo("File1", "a.txt", "Image8");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[1].text, "Q:\\up\\a.txt　を削除します．よろしいですか？");
  EXPECT_TRUE(there("up/a.txt"));
  EXPECT_FALSE(ctl("Image9").visible());

  services.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  dragTo("File1", "a.txt", "Image8");
  EXPECT_FALSE(there("up/a.txt"));
  EXPECT_FALSE(inTrash("a.txt"));
  EXPECT_TRUE(ctl("Image9").visible());
}

TEST_F(NoTrashTest, DeleteAllAndDoubleClickNameHowManyFilesWouldBeLost) {
  write("up/1.txt", "one");
  write("up/2.txt", "two");
  write("up/3.txt", "three");
  open();
  ctl("File1").userSelect(0);
  ctl("File1").userSelect(2);
  services.answers = {MsgAnswer::No};
  ctl("Image8").dblClick();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "ごみ箱に入れられないファイルが 2 個あります（最初のファイル： 1.txt）．\r"
            "削除すると元に戻せません．削除しますか？");
  EXPECT_EQ(ctl("File1").listCount(), 3);

  ASSERT_EQ(ctl("File1").selCount(), 2);  // the choice survives the refresh
  services.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  ctl("Image8").dblClick();
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"2.txt"});

  services.messages.clear();
  services.answers = {MsgAnswer::Yes, MsgAnswer::No};
  release("Image1");
  ASSERT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(services.messages[0].text,
            "2.txt はごみ箱に入れられません．\r削除すると元に戻せません．削除しますか？");
  EXPECT_EQ(services.messages[1].text, "選択された全ファイルを削除します\rよろしいですか？");
  EXPECT_TRUE(there("up/2.txt"));
  services.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  release("Image1");
  EXPECT_FALSE(there("up/2.txt"));
  EXPECT_FALSE(inTrash("2.txt"));
}

// A file that could go to the trash when asked but cannot when deleted is kept and reported,
// since the user agreed only to the trash; the report says why, not that the file is in use.
TEST(DiscardFile, WithoutAgreementAFileNoTrashTakesIsKeptAndTheFailureRaised) {
  TempDir dir;
  std::string path = dir.write("keep.txt", "k");
  fs::simulateNoTrash(true);
  int error = 0;
  try {
    discardFile(path, false);
  } catch (const RuntimeError& e) {
    error = e.number();
  }
  bool takes = trashCanTake(path);
  fs::simulateNoTrash(false);
  FailureTally tally;
  tally.add("keep.txt", error);
  EXPECT_EQ(failureText(FileAction::Delete, tally),
            "ファイル keep.txt を削除できませんでした\r\n原因： "
            "ごみ箱に入れられません（ごみ箱を使えないか，書き込めません）");
  EXPECT_FALSE(takes);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace zv::test
