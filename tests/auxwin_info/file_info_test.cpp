#include <gtest/gtest.h>

#include "info_fixture.h"

namespace zv::test {
namespace {

class FileInfo : public InfoTest {
 protected:
  // The file selection window's file list at Q:\files with `pattern`; its relists count.
  Control& selectionFiles(const std::string& pattern) {
    Form& c1 = app.forms.get(windows::kFileSelection);
    selection = &dynamic_cast<testing::StandInFileSelection&>(c1);
    Control& files = c1.c("File1");
    files.setPath("Q:\\files");
    files.setPattern(pattern);
    app.shared.InfoCaller = FileInfoCaller::FileSelection;
    return files;
  }
  Form& open() {
    app.forms.show(zv::windows::kFileInfo);
    return app.forms.get(zv::windows::kFileInfo);
  }
  int relisted() const { return selection->relisted; }
  testing::StandInFileSelection* selection = nullptr;
};

TEST_F(FileInfo, LoadSelectsTheOpenersPatternAndStaysOnTop) {
  selectionFiles("*.lzh");
  Form& info = open();
  EXPECT_EQ(info.caption(), "ファイル情報");
  EXPECT_TRUE(info.c("Option5").value());
  EXPECT_TRUE(info.topMost());
  EXPECT_EQ(info.left(), (services.screenW - info.width()) / 2);
  EXPECT_EQ(relisted(), 1);  // *.lzh is re-applied during the load
}

TEST_F(FileInfo, ACustomPatternSelectsAllFilesButIsKept) {
  Control& files = selectionFiles("*.doc");
  Form& info = open();
  EXPECT_TRUE(info.c("Option1").value());
  EXPECT_EQ(files.pattern(), "*.doc");
  EXPECT_EQ(relisted(), 0);
}

TEST_F(FileInfo, OptionsAndTypedExtensionsSetTheOpenersPattern) {
  Control& files = selectionFiles("*.*");
  Form& info = open();
  info.c("Option2").click();
  EXPECT_EQ(files.pattern(), "*.txt");
  EXPECT_EQ(files.items(), (std::vector<std::string>{"a.txt"}));
  info.c("Option1").click();  // visible now, so "*.*" acts
  EXPECT_EQ(files.pattern(), "*.*");
  EXPECT_EQ(relisted(), 2);
  info.c("Text1").userType("lzh");
  EXPECT_EQ(files.pattern(), "*.lzh");
  info.c("Text1").userType("");
  EXPECT_EQ(files.pattern(), "*.");
  EXPECT_EQ(files.items(), (std::vector<std::string>{"noext"}));
  EXPECT_EQ(relisted(), 4);
}

TEST_F(FileInfo, TheFileUtilityAsOpener) {
  Control& files = app.forms.get(zv::windows::kFileUtility).c("File1");
  files.setPath("Q:\\files");
  files.setPattern("*.ish");
  app.shared.InfoCaller = FileInfoCaller::FileUtility;
  Form& info = open();
  EXPECT_TRUE(info.c("Option6").value());
  info.c("Option5").click();
  EXPECT_EQ(files.items(), (std::vector<std::string>{"b.lzh"}));
}

TEST_F(FileInfo, CloseClearsTheCaller) {
  selectionFiles("*.*");
  Form& info = open();
  info.c("Command1").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileInfo));
  EXPECT_EQ(app.shared.InfoCaller, FileInfoCaller::None);
}

TEST_F(FileInfo, AnUnknownCallerSelectsNothing) {
  app.shared.InfoCaller = FileInfoCaller::None;
  Form& info = open();
  for (const char* o : {"Option1", "Option2", "Option3", "Option4", "Option5", "Option6"})
    EXPECT_FALSE(info.c(o).value()) << o;
  info.c("Option3").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileSelection));
}

}  // namespace
}  // namespace zv::test
