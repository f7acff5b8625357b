// The file utility with the real name dialog and file information window in place of the
// stand-ins: a rename through the name tag and a new folder in the lower pane.
#include <filesystem>

#include "auxwin/register_forms.h"
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

class WithDialogTest : public FileUtilityTest {
 protected:
  void SetUp() override {
    FileUtilityTest::SetUp();
    registerInfoForms(app->forms);
  }
};

TEST_F(WithDialogTest, RenameThroughTheNameTag) {
  write("up/old.txt", "contents");
  open();
  dragTo("File1", "old.txt", "Image10");
  Form& dialog = app->forms.get(zv::windows::kNewFolder);
  dialog.c("Text1").userType("new.txt");
  dialog.c("Command1").click();
  app->forms.collect();
  EXPECT_FALSE(app->forms.loaded(zv::windows::kNewFolder));
  EXPECT_EQ(read("up/new.txt"), "contents");
  EXPECT_FALSE(there("up/old.txt"));
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up\\new.txt");
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"new.txt"});
}

TEST_F(WithDialogTest, NewFolderMovesTheLowerPaneIntoIt) {
  open();
  release("Image3");
  Form& dialog = app->forms.get(zv::windows::kNewFolder);
  dialog.c("Text1").userType("made");
  EXPECT_EQ(dialog.c("Label2").caption(), "Q:\\down\\made");
  dialog.c("Command1").click();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "q/down/made"));
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down\\made");
  EXPECT_EQ(ctl("Label3").caption(), "Q:\\down\\made");
}

TEST_F(WithDialogTest, InformationWindowShowsTheUpperFileAndSetsThePattern) {
  write("up/a.txt", "aaa");
  write("up/b.lzh", "b");
  open();
  press("File1", "a.txt");
  ctl("menuInfo").click();
  Form& info = app->forms.get(zv::windows::kFileInfo);
  EXPECT_TRUE(info.visible());
  EXPECT_EQ(info.c("Label3").caption(), "Q:\\up\\a.txt");
  EXPECT_EQ(info.c("lblSize").caption(), "3 bytes");
  info.c("Option5").click();
  EXPECT_EQ(ctl("File1").pattern(), "*.lzh");
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"b.lzh"});
}

}  // namespace
}  // namespace zv::test
