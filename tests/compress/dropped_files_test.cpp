// Files from other programs chosen in the file selection window.
#include "tests/compress/compress_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

Strings chosen(Form& f) {
  Strings names;
  Control& list = f.c("List1");
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) names.push_back(list.list(i));
  return names;
}

class DroppedFiles : public CompressTest {};

TEST_F(DroppedFiles, FilesOfOneFolderAreChosenWithThePanelMovedThere) {
  root.write("other/x.txt", "x");
  root.write("other/y.txt", "y");
  root.write("other/z.txt", "z");
  Form& f = app.forms.get("Comp1");
  app.forms.show("Comp1");
  f.c("List1").setSelected(0, true);
  f.c("List1").filesDropped({"Q:\\other\\x.txt", "Q:\\other\\z.txt"});
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\other");
  EXPECT_EQ(f.caption(), "Q:\\other");
  EXPECT_EQ(chosen(f), (Strings{"x.txt", "z.txt"}));

  // Again in the folder already shown: only the choice changes.
  f.c("List1").filesDropped({"Q:\\other\\y.txt"});
  EXPECT_EQ(chosen(f), Strings{"y.txt"});

  // Ctrl+V takes the files another program copied.
  services.clipboardPaths = {"Q:\\src\\a.txt", "Q:\\src\\c d.txt"};
  int key = 'V';
  f.c("List1").keyDown(key, kCtrlKey);
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\src");
  EXPECT_EQ(chosen(f), (Strings{"a.txt", "c d.txt"}));
  // Ctrl+C offers the chosen files to other programs.
  services.clipboardPaths.clear();
  f.c("List1").keyDown(key = 'C', kCtrlKey);
  EXPECT_EQ(services.clipboardPaths, (Strings{"Q:\\src\\a.txt", "Q:\\src\\c d.txt"}));
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(DroppedFiles, SeveralFoldersAreRefusedAndAFolderAloneIsOpened) {
  root.write("other/x.txt", "x");
  Form& f = app.forms.get("Comp1");
  app.forms.show("Comp1");
  f.c("List1").filesDropped({"Q:\\src\\a.txt", "Q:\\other\\x.txt"});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(
      services.messages[0].text,
      "一度に圧縮できるのは１つのフォルダのファイルだけです．\r\n同じフォルダのファイルを選んで"
      "ください");
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\src");
  EXPECT_TRUE(chosen(f).empty());

  f.c("List1").filesDropped({"Q:\\other"});
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\other");
  EXPECT_EQ(f.c("List1").items(), Strings{"x.txt"});
}

}  // namespace
}  // namespace zv::test
