#include <gtest/gtest.h>

#include "compress_fixture.h"

namespace zv::test {
namespace {

class FileSelection : public CompressTest {};

TEST_F(FileSelection, LoadListsTheRememberedFolderAndReadsTheMode) {
  setting("Option", "Mode", "6");
  Form& f = comp1();
  EXPECT_EQ(f.caption(), "Q:\\src");
  EXPECT_EQ(app.shared.SourceFolder, "Q:\\src");
  EXPECT_EQ(app.shared.PackMode, "MOVE");
  EXPECT_EQ(f.c("List1").items(), (std::vector<std::string>{"a.txt", "b.txt", "c d.txt"}));
  EXPECT_EQ(f.c("List1").horizontalExtent(), 1024);
  EXPECT_EQ(f.top(), 300);  // no remembered position yet
  EXPECT_EQ(f.left(), 300);
  EXPECT_TRUE(f.c("Option4").value());
  EXPECT_FALSE(f.c("Picture1").visible());
}

TEST_F(FileSelection, LoadPutsTheWindowWhereItWasLastClosed) {
  setting("CompPosition", "Top", "2250");
  setting("CompPosition", "Left", "1700");
  Form& f = comp1();
  EXPECT_EQ(f.top(), 2250);
  EXPECT_EQ(f.left(), 1700);
}

TEST_F(FileSelection, FolderModesSetLampsListAndInstruction) {
  app.shared.DirectoryMode = "YES";
  Form& f = comp1();
  EXPECT_EQ(f.c("Label3").backColor(), 0x808080u);
  EXPECT_EQ(f.c("Label5").backColor(), 0xFF0000u);
  EXPECT_EQ(f.c("Label3").description(), "選択ﾌｧｲﾙを圧縮：消灯");
  EXPECT_EQ(f.c("Label5").description(), "ﾌｫﾙﾀﾞ階層構造付きで圧縮：点灯");
  EXPECT_FALSE(f.c("List1").enabled());
  EXPECT_FALSE(f.c("Image5").enabled());
  EXPECT_EQ(f.c("Label1").caption(), "圧縮するフォルダを指定後");
  // The options window applies a changed mode through the window's port.
  app.shared.DirectoryMode = "NO";
  dynamic_cast<FileSelectionPort&>(f).showFolderMode();
  EXPECT_TRUE(f.c("List1").enabled());
  EXPECT_EQ(f.c("Label1").caption(), "圧縮するファイルを指定後");
  EXPECT_EQ(f.c("Label3").description(), "選択ﾌｧｲﾙを圧縮：点灯");
}

TEST_F(FileSelection, NextStepNeedsASelectionExceptInModeAll) {
  for (const char* mode : {"NO", "YES"}) {
    app.shared.DirectoryMode = mode;
    Form& f = comp1();
    press(f.c("Image4"));
    ASSERT_FALSE(services.messages.empty()) << mode;
    EXPECT_EQ(services.messages.back().text, "圧縮したいファイルを選択してください");
    EXPECT_EQ(services.messages.back().title, "エラーです");
    EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveCreation));
    services.messages.clear();
    if (std::string(mode) == "YES") {
      press(f.c("Image2"));  // select all is the way to choose in a folder mode
      press(f.c("Image4"));
      EXPECT_TRUE(services.messages.empty());
      EXPECT_TRUE(app.forms.get(zv::windows::kArchiveCreation).visible());
      EXPECT_FALSE(f.c("Command2").enabled());
    }
    if (Form* c2 = app.forms.find(zv::windows::kArchiveCreation)) c2->c("Command1").click();
    EXPECT_TRUE(f.c("Command2").enabled());
    f.unload();
  }
  app.shared.DirectoryMode = "ALL";
  Form& f = comp1();
  press(f.c("Image4"));
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(app.forms.loaded(zv::windows::kArchiveCreation));
  EXPECT_EQ(setting("Comp1Dir", "Path"), "Q:\\src");  // written when the picture is pressed
}

TEST_F(FileSelection, SelectAllTogglesAndKeepsItsStateAcrossAFolderChange) {
  root.write("two/x.txt", "x");
  root.write("two/y.txt", "y");
  Form& f = comp1();
  Control& list = f.c("List1");
  press(f.c("Image2"));
  EXPECT_EQ(list.selCount(), 3);
  EXPECT_EQ(list.listIndex(), 0);
  press(f.c("Image2"));
  EXPECT_EQ(list.selCount(), 0);
  press(f.c("Image2"));
  f.c("Dir1").setPath("Q:\\two");
  EXPECT_EQ(list.items(), (std::vector<std::string>{"x.txt", "y.txt"}));
  press(f.c("Image2"));  // the toggle was "all selected": this press deselects
  EXPECT_EQ(list.selCount(), 0);
  root.mkdir("empty");
  f.c("Dir1").setPath("Q:\\empty");
  press(f.c("Image2"));
  EXPECT_EQ(list.listCount(), 0);
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FileSelection, PictureButtonsReturnToTheirPlace) {
  Form& f = comp1();
  for (const char* name : {"Image2", "Image4", "Image5", "Image6", "Image7"}) {
    Control& pic = f.c(name);
    double top = pic.top(), left = pic.left();
    pic.mouseDown();
    EXPECT_GT(pic.top(), top) << name;
    pic.mouseUp();
    EXPECT_EQ(pic.top(), top) << name;
    EXPECT_EQ(pic.left(), left) << name;
  }
}

TEST_F(FileSelection, PreviewRoutesByType) {
  root.write("src/READ.TXT", "short");  // shown whole, last character included
  // A 2x1 24-bit BMP.
  std::string bmp = std::string("BM") + std::string(4, '\0') + std::string(4, '\0') +
                    std::string("\x36\0\0\0", 4) + std::string("\x28\0\0\0", 4) +
                    std::string("\x02\0\0\0", 4) + std::string("\x01\0\0\0", 4) +
                    std::string("\x01\0\x18\0", 4) + std::string(24, '\0') + std::string(8, '\0');
  root.write("src/p.bmp", bmp);
  root.write("src/w.doc", "doc");
  Form& f = comp1();
  Control& list = f.c("List1");
  auto pick = [&](const std::string& name) {
    for (int i = 0; i < list.listCount(); ++i)
      if (list.list(i) == name) list.userSelect(i);
    press(f.c("Image5"));
  };
  pick("READ.TXT");
  EXPECT_TRUE(app.forms.get(zv::windows::kViewer).visible());
  EXPECT_EQ(app.forms.get(zv::windows::kViewer).c("Text1").text(), "short");
  pick("p.bmp");
  EXPECT_TRUE(app.forms.get(zv::windows::kPicture).visible());
  EXPECT_EQ(app.forms.get(zv::windows::kPicture).height(),
            app.forms.get(zv::windows::kPicture).c("Image1").height() + 600);
  pick("w.doc");
  EXPECT_EQ(services.calls.back(), "open Q:\\src\\w.doc");
}

TEST_F(FileSelection, PreviewWithoutACurrentItemOpensTheFolder) {
  Form& f = comp1();
  press(f.c("Image5"));
  EXPECT_EQ(services.calls.back(), "open Q:\\src\\");
}

TEST_F(FileSelection, RightClickOpensTheInformationWindowFilledOnlyWithACurrentItem) {
  Form& f = comp1();
  Control& list = f.c("List1");
  list.mouseDown(kRightButton);
  EXPECT_EQ(app.shared.InfoCaller, FileInfoCaller::FileSelection);
  Form& info = app.forms.get(zv::windows::kFileInfo);
  EXPECT_TRUE(info.visible());
  EXPECT_EQ(info.c("Label3").caption(), "Not selected");
  EXPECT_EQ(app.shared.SourceFolder, "Q:\\src");
  list.userSelect(1);
  list.mouseDown(kLeftButton);
  EXPECT_EQ(info.c("Label3").caption(), "Q:\\src\\b.txt");
  EXPECT_EQ(info.c("lblSize").caption(), "7 bytes");
  EXPECT_EQ(info.c("lblTime").caption().size(), 19u);  // yyyy/mm/dd hh:mm:ss
  EXPECT_EQ(app.shared.SourceFolder, "Q:\\src\\");     // gained its backslash and keeps it
}

TEST_F(FileSelection, IshNeedsItsLibrary) {
  Form& f = comp1();
  f.c("Option5").click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(f.c("Picture1").visible());
  EXPECT_EQ(f.c("Label1").caption(), "作成するファイルを指定後");
  EXPECT_EQ(app.shared.SystemFolder, sys.systemFolder());
  f.c("Option4").click();
  EXPECT_FALSE(f.c("Picture1").visible());
  EXPECT_EQ(f.c("Label1").caption(), "圧縮するファイルを指定後");
}

class FileSelectionWithoutIsh : public CompressTest {
 protected:
  FileSelectionWithoutIsh() : CompressTest(false) {}
};

TEST_F(FileSelectionWithoutIsh, IshWithoutTheLibraryExplainsAndGoesBackToLha) {
  Form& f = comp1();
  f.c("Option5").click();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].title, "ISH ファイルの復元");
  EXPECT_EQ(services.messages[0].text.rfind("★ ISH32.DLL が見つかりません ★\r\n\r\n", 0), 0u);
  EXPECT_TRUE(f.c("Option4").value());
  EXPECT_FALSE(f.c("Picture1").visible());
}

TEST_F(FileSelection, CloseSavesPositionAndFolderAndBringsBackTheMenu) {
  Form& f = comp1();
  f.move(1500, 1200);
  f.c("Dir1").setPath("Q:\\out");
  f.c("Command2").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileSelection));
  EXPECT_EQ(setting("CompPosition", "Top"), "1200");
  EXPECT_EQ(setting("CompPosition", "Left"), "1500");
  EXPECT_EQ(setting("Comp1Dir", "Path"), "Q:\\out");
  EXPECT_TRUE(app.forms.get(zv::windows::kMenu).visible());
  // Opened again, it comes back where it was closed.
  Form& again = comp1();
  EXPECT_EQ(again.top(), 1200);
  EXPECT_EQ(again.left(), 1500);
}

TEST_F(FileSelection, TheCloseBoxIsRefusedWhileTheCreationWindowIsOpen) {
  comp2();
  EXPECT_FALSE(comp1().unload(UnloadMode::CloseBox));
  EXPECT_TRUE(app.forms.loaded(zv::windows::kFileSelection));
}

}  // namespace
}  // namespace zv::test
