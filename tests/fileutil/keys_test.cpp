// The lists' keys: each does what the matching drag does, with the same questions.
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

int indexOf(Control& list, const std::string& name) {
  for (int i = 0; i < list.listCount(); ++i)
    if (list.list(i) == name) return i;
  return -1;
}

class FileUtilityKeysTest : public FileUtilityTest {
 protected:
  // Focus on the item without choosing it (Ctrl+arrow), then the key; true when handled.
  bool key(const std::string& list, const std::string& item, int code, int shift = 0) {
    Control& l = ctl(list);
    if (!item.empty()) l.moveFocusTo(indexOf(l, item));
    int k = code;
    l.keyDown(k, shift);
    return k == 0;
  }
};

TEST_F(FileUtilityKeysTest, DeleteTrashesTheFocusedFileWithTheTrashCansQuestion) {
  write("up/a.txt", "a");
  write("down/b.txt", "b");
  open();
  services.answers = {MsgAnswer::No};
  EXPECT_TRUE(key("File1", "a.txt", kKeyDelete));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "Q:\\up\\a.txt　を削除します．よろしいですか？");
  EXPECT_EQ(services.messages[0].title, "削除の確認");
  EXPECT_TRUE(there("up/a.txt"));

  services.answers = {MsgAnswer::Yes};
  key("File1", "a.txt", kKeyDelete);
  EXPECT_FALSE(there("up/a.txt"));
  EXPECT_TRUE(inTrash("a.txt"));
  EXPECT_TRUE(ctl("Image9").visible());

  key("File2", "b.txt", kKeyDelete);
  EXPECT_EQ(services.lastMessage()->text, "Q:\\down\\b.txt　を削除します．よろしいですか？");
  EXPECT_TRUE(inTrash("b.txt"));
}

TEST_F(FileUtilityKeysTest, DeleteWithSeveralChosenFilesTrashesThemAllAfterOneQuestion) {
  write("up/a.txt", "a");
  write("up/b.txt", "b");
  write("up/c.txt", "c");
  open();
  Control& files = ctl("File1");
  files.userSelect(indexOf(files, "a.txt"));
  files.userSelect(indexOf(files, "c.txt"));  // the upper list toggles: a and c are chosen
  EXPECT_TRUE(key("File1", "", kKeyDelete));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "選択されたファイルを削除します\rよろしいですか？");
  EXPECT_FALSE(there("up/a.txt"));
  EXPECT_TRUE(there("up/b.txt"));
  EXPECT_FALSE(there("up/c.txt"));
}

TEST_F(FileUtilityKeysTest, DeleteTrashesTheOneSelectedFileNotTheFocusedOne) {
  write("up/bee.txt", "b");
  write("up/d.txt", "d");
  open();
  Control& files = ctl("File1");
  files.userSelect(indexOf(files, "d.txt"));
  services.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(key("File1", "bee.txt", kKeyDelete));  // focus on bee.txt, d.txt chosen
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "Q:\\up\\d.txt　を削除します．よろしいですか？");
  EXPECT_FALSE(there("up/d.txt"));
  EXPECT_TRUE(inTrash("d.txt"));
  EXPECT_TRUE(there("up/bee.txt"));
  EXPECT_EQ(files.fileName(), "bee.txt");  // the focus stays where it was
  EXPECT_EQ(files.selCount(), 0);
}

TEST_F(FileUtilityKeysTest, F5CopiesEverySelectedFileWithItsOwnQuestionAndKeepsTheFocus) {
  write("up/a.txt", "new a");
  write("up/b.txt", "b");
  write("up/c.txt", "c");
  write("down/a.txt", "old a");
  open();
  Control& files = ctl("File1");
  files.userSelect(indexOf(files, "a.txt"));
  files.userSelect(indexOf(files, "c.txt"));
  services.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(key("File1", "b.txt", kKeyF5));
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "同名ファイルが存在します．上書きコピーしますか？");
  EXPECT_EQ(read("down/a.txt"), "new a");
  EXPECT_EQ(read("down/c.txt"), "c");
  EXPECT_FALSE(there("down/b.txt"));  // focused but not chosen
  EXPECT_EQ(files.fileName(), "b.txt");
  EXPECT_EQ(files.selCount(), 2);

  // After the refresh the focused file is still the one the keys act on.
  for (int i = 0; i < files.listCount(); ++i) files.setSelected(i, false);
  files.moveFocusTo(indexOf(files, "b.txt"));
  files.refresh();
  EXPECT_TRUE(key("File1", "", kKeyF6));
  EXPECT_EQ(read("down/b.txt"), "b");
  EXPECT_FALSE(there("up/b.txt"));
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up\\b.txt");
}

TEST_F(FileUtilityKeysTest, CtrlXThenCtrlVMovesEverySelectedFile) {
  write("up/a.txt", "a");
  write("up/b.txt", "b");
  write("up/c.txt", "c");
  open();
  Control& files = ctl("File1");
  files.userSelect(indexOf(files, "a.txt"));
  files.userSelect(indexOf(files, "c.txt"));
  key("File1", "b.txt", 'X', kCtrlKey);
  files.userSelect(indexOf(files, "a.txt"));  // the choice changes after the mark
  key("File2", "", 'V', kCtrlKey);
  EXPECT_EQ(read("down/a.txt"), "a");
  EXPECT_EQ(read("down/c.txt"), "c");
  EXPECT_FALSE(there("up/a.txt"));
  EXPECT_FALSE(there("up/c.txt"));
  EXPECT_TRUE(there("up/b.txt"));
  EXPECT_FALSE(there("down/b.txt"));
}

TEST_F(FileUtilityKeysTest, F2RenamesThroughTheTagsDialogAndOnlyFromTheUpperList) {
  write("up/a.txt", "a");
  write("down/b.txt", "b");
  open();
  EXPECT_TRUE(key("File2", "b.txt", kKeyF2));
  EXPECT_EQ(services.lastMessage()->text,
            "リネームするファイルは，上段のリストから選択してください");
  EXPECT_FALSE(app->forms.loaded(zv::windows::kNewFolder));

  EXPECT_TRUE(key("File1", "a.txt", kKeyF2));
  Form& dialog = app->forms.get(zv::windows::kNewFolder);
  EXPECT_TRUE(dialog.visible());
  EXPECT_EQ(dialog.caption(), "ファイル名の変更");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up\\a.txt");  // the file the dialog renames
  EXPECT_TRUE(ctl("Image11").visible());
}

TEST_F(FileUtilityKeysTest, F5CopiesAndF6MovesIntoTheOtherPaneWithTheDragsQuestions) {
  write("up/a.txt", "new");
  write("down/a.txt", "old");
  write("down/b.txt", "beta");
  open();
  services.answers = {MsgAnswer::No};
  EXPECT_TRUE(key("File1", "a.txt", kKeyF5));
  EXPECT_EQ(services.lastMessage()->text, "同名ファイルが存在します．上書きコピーしますか？");
  EXPECT_EQ(read("down/a.txt"), "old");

  services.answers = {MsgAnswer::Yes};
  key("File1", "a.txt", kKeyF6);
  EXPECT_EQ(services.lastMessage()->text, "同名ファイルが存在します．上書き移動しますか？");
  EXPECT_EQ(read("down/a.txt"), "new");
  EXPECT_FALSE(there("up/a.txt"));

  key("File2", "b.txt", kKeyF5);
  EXPECT_EQ(read("up/b.txt"), "beta");
  EXPECT_EQ(read("down/b.txt"), "beta");
}

TEST_F(FileUtilityKeysTest, CtrlCOrXThenCtrlVOnTheOtherListCopiesOrMovesTheMarkedFile) {
  write("up/a.txt", "alpha");
  write("up/b.txt", "beta");
  open();
  EXPECT_TRUE(key("File1", "a.txt", 'C', kCtrlKey));
  key("File1", "b.txt", 0);                      // the focus moves on; the marked file stays a.txt
  EXPECT_TRUE(key("File1", "", 'V', kCtrlKey));  // pasting on its own list does nothing
  EXPECT_FALSE(there("down/a.txt"));
  key("File1", "a.txt", 'C', kCtrlKey);
  key("File1", "b.txt", 0);
  key("File2", "", 'V', kCtrlKey);
  EXPECT_EQ(read("down/a.txt"), "alpha");
  EXPECT_TRUE(there("up/a.txt"));
  EXPECT_FALSE(there("down/b.txt"));

  key("File1", "b.txt", 'X', kCtrlKey);
  key("File2", "", 'V', kCtrlKey);
  EXPECT_EQ(read("down/b.txt"), "beta");
  EXPECT_FALSE(there("up/b.txt"));
  key("File2", "", 'V', kCtrlKey);  // the mark is used up
  EXPECT_EQ(services.messages.size(), 0u);
}

TEST_F(FileUtilityKeysTest, OtherKeysAreLeftToTheList) {
  write("up/a.txt", "a");
  open();
  EXPECT_FALSE(key("File1", "a.txt", kKeyDown));
  EXPECT_FALSE(key("File1", "a.txt", 'C'));
  EXPECT_FALSE(key("File1", "a.txt", kKeyDelete, kShiftKey));
  EXPECT_TRUE(there("up/a.txt"));
}

}  // namespace
}  // namespace zv::test
