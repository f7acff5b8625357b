// Single files dragged between the lists, onto the trash can and onto the rename tag.
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

bool listed(Control& list, const std::string& name) {
  const auto& items = list.items();
  return std::find(items.begin(), items.end(), name) != items.end();
}

// Writes beyond `bytes` fail for as long as the object lives (also for a privileged user).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

TEST_F(FileUtilityTest, LeftDragFromUpperToLowerCopies) {
  write("up/a.txt", "alpha");
  open();
  dragTo("File1", "a.txt", "File2");
  EXPECT_EQ(read("down/a.txt"), "alpha");
  EXPECT_EQ(read("up/a.txt"), "alpha");
  EXPECT_TRUE(listed(ctl("File2"), "a.txt"));
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FileUtilityTest, RightDragFromLowerToUpperMoves) {
  write("down/b.txt", "beta");
  open();
  dragTo("File2", "b.txt", "File1", kRightButton);
  EXPECT_EQ(read("up/b.txt"), "beta");
  EXPECT_FALSE(there("down/b.txt"));
  EXPECT_FALSE(listed(ctl("File2"), "b.txt"));
  EXPECT_TRUE(listed(ctl("File1"), "b.txt"));
}

TEST_F(FileUtilityTest, LeftDragFromLowerCopiesAndRightDragFromUpperMoves) {
  write("down/b.txt", "beta");
  write("up/c.txt", "gamma");
  open();
  dragTo("File2", "b.txt", "File1");
  EXPECT_TRUE(there("down/b.txt"));
  EXPECT_EQ(read("up/b.txt"), "beta");
  dragTo("File1", "c.txt", "File2", kRightButton);
  EXPECT_FALSE(there("up/c.txt"));
  EXPECT_EQ(read("down/c.txt"), "gamma");
}

TEST_F(FileUtilityTest, DropOnTheSameListOrWithBothPanesOnOneFolderDoesNothing) {
  write("up/a.txt", "alpha");
  open();
  dragTo("File1", "a.txt", "File1", kRightButton);
  EXPECT_TRUE(there("up/a.txt"));
  ctl("Dir2").setPath("Q:\\up");
  dragTo("File1", "a.txt", "File2", kRightButton);
  EXPECT_EQ(read("up/a.txt"), "alpha");
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FileUtilityTest, OverwriteQuestionNoLeavesBothFilesAndYesReplaces) {
  write("up/a.txt", "new");
  write("down/a.txt", "old");
  open();
  services.answers = {MsgAnswer::No};
  dragTo("File1", "a.txt", "File2");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "同名ファイルが存在します．上書きコピーしますか？");
  EXPECT_EQ(services.messages[0].title, "ファイルのコピー");
  EXPECT_EQ(services.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(read("down/a.txt"), "old");

  services.answers = {MsgAnswer::Yes};
  dragTo("File1", "a.txt", "File2", kRightButton);
  EXPECT_EQ(services.messages.back().text, "同名ファイルが存在します．上書き移動しますか？");
  EXPECT_EQ(services.messages.back().title, "ファイルの移動");
  EXPECT_EQ(read("down/a.txt"), "new");
  EXPECT_FALSE(there("up/a.txt"));
}

TEST_F(FileUtilityTest, FailedOverwriteKeepsTheOldFileAndTheSourceAndSaysSo) {
  services.expectedErrors = {kErrDiskFull};
  write("up/big.bin", std::string(64 * 1024, 'n'));
  write("down/big.bin", "old contents");
  open();
  for (int button : {kLeftButton, kRightButton}) {
    services.answers = {MsgAnswer::Yes};
    {
      FileSizeLimit limit(4096);
      dragTo("File1", "big.bin", "File2", button);
    }
    EXPECT_EQ(read("down/big.bin"), "old contents");
    EXPECT_EQ(read("up/big.bin").size(), 64u * 1024);
    ASSERT_NE(services.lastMessage(), nullptr);
    // The usual text first, then why: the file could not grow (as on a full disk).
    EXPECT_EQ(services.lastMessage()->text,
              std::string(button == kLeftButton ? "ファイル big.bin をコピーできませんでした"
                                                : "ファイル big.bin を移動できませんでした") +
                  "\r\n原因： 容量不足です（ディスクに空きがありません）");
    EXPECT_EQ(services.lastMessage()->icon, MsgIcon::Exclamation);
  }
  // No temporary file is left behind in the target folder.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir / "q/down")) entries += e.exists();
  EXPECT_EQ(entries, 1);
}

TEST_F(FileUtilityTest, TrashDropAsksWithThePathAndMovesTheFileToTheTrash) {
  write("up/a.txt", "a");
  open();
  services.answers = {MsgAnswer::No};
  dragTo("File1", "a.txt", "Image8");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "Q:\\up\\a.txt　を削除します．よろしいですか？");
  EXPECT_EQ(services.messages[0].title, "削除の確認");
  EXPECT_TRUE(there("up/a.txt"));
  EXPECT_FALSE(ctl("Image9").visible());

  services.answers = {MsgAnswer::Yes};
  dragTo("File1", "a.txt", "Image8");
  EXPECT_FALSE(there("up/a.txt"));
  EXPECT_TRUE(inTrash("a.txt"));
  EXPECT_TRUE(ctl("Image9").visible());
  EXPECT_FALSE(ctl("Image8").visible());
  EXPECT_EQ(ctl("File1").listCount(), 0);
}

TEST_F(FileUtilityTest, TrashWorksFromTheLowerListAndTheNextPressEmptiesIt) {
  write("down/b.txt", "b");
  write("up/a.txt", "a");
  open();
  dragTo("File2", "b.txt", "Image8");
  EXPECT_EQ(services.lastMessage()->text, "Q:\\down\\b.txt　を削除します．よろしいですか？");
  EXPECT_TRUE(inTrash("b.txt"));
  EXPECT_TRUE(ctl("Image9").visible());
  press("File1", "a.txt");
  EXPECT_TRUE(ctl("Image8").visible());
  EXPECT_FALSE(ctl("Image9").visible());
}

TEST_F(FileUtilityTest, TrashDropWithAFolderInThePathLabelDeletesNothing) {
  write("up/a.txt", "a");
  open();
  win().DragSource = "File1";  // a drag whose press left the label on the folder
  ctl("Image8").dragDrop(ctl("File1"));
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(there("up/a.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "q/up"));
}

TEST_F(FileUtilityTest, RenameTagFromTheLowerListIsRefused) {
  write("up/a.txt", "a");
  write("down/b.txt", "b");
  open();
  dragTo("File2", "b.txt", "Image10");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "リネームするファイルは，上段のリストから選択してください");
  EXPECT_EQ(services.messages[0].title, "ファイル名の変更");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Information);
  EXPECT_FALSE(app->forms.loaded(zv::windows::kNewFolder));
}

TEST_F(FileUtilityTest, RenameTagOpensTheDialogOnTheUpperFolder) {
  write("a.txt", "a");
  open();
  ctl("Dir1").setPath("Q:\\");
  dragTo("File1", "a.txt", "Image10");
  Form& dialog = app->forms.get(zv::windows::kNewFolder);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(dialog.caption(), "ファイル名の変更");
  EXPECT_EQ(dialog.c("Label1").caption(), "新しいﾌｧｲﾙの名前：");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\");
  EXPECT_TRUE(ctl("Image11").visible());
  EXPECT_FALSE(ctl("Image10").visible());
  EXPECT_TRUE(services.called("busy 1"));
  EXPECT_EQ(services.calls.back(), "busy 0");
}

}  // namespace
}  // namespace zv::test
