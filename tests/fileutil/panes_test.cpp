// The two panes: what the window opens on, what it saves, the path labels, the text preview
// and the file information it keeps up to date.
#include <algorithm>

#include "core/settings/profile.h"
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

TEST_F(FileUtilityTest, OpensOnTheSavedFoldersCentredAndNamesItselfTheInfoCaller) {
  write("up/a.txt", "a");
  write("down/b.txt", "b");
  open();
  EXPECT_EQ(ctl("Dir1").path(), "Q:\\up");
  EXPECT_EQ(ctl("Drive1").drive(), "q:");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up");
  EXPECT_EQ(ctl("Label3").caption(), "Q:\\down");
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(ctl("File2").items(), std::vector<std::string>{"b.txt"});
  EXPECT_EQ(app->shared.InfoCaller, FileInfoCaller::FileUtility);
  EXPECT_DOUBLE_EQ(win().left(), (services.screenW - win().width()) / 2);
  EXPECT_DOUBLE_EQ(win().top(), (services.screenH - win().height()) / 2);
  EXPECT_FALSE(ctl("Text1").visible());
  EXPECT_FALSE(ctl("Image9").visible());
  EXPECT_FALSE(ctl("Image11").visible());
}

TEST_F(FileUtilityTest, MissingSavedFolderFallsBackWithoutAMessage) {
  services.expectedErrors = {kErrPathNotFound, kErrDeviceUnavailable};
  open("gone", "down");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(FileUtilityTest, DriveRootKeepsOneBackslashAndJoinedPathsNoDoubledOne) {
  write("top.txt", "t");
  open();
  ctl("Dir1").setPath("Q:\\");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\");
  press("File1", "top.txt");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\top.txt");
  EXPECT_EQ(app->forms.get(zv::windows::kFileInfo).c("Label3").caption(), "Q:\\top.txt");
}

TEST_F(FileUtilityTest, ClosingByAnyRouteSavesBothFoldersAndBringsTheMenuBack) {
  for (int route = 0; route < 2; ++route) {
    open();
    ctl("Dir1").setPath("Q:\\prog");
    ctl("Drive2").setDrive("R:");
    ctl("Dir2").setPath("R:\\other");
    if (route == 0)
      release("Image7");
    else
      win().unload(UnloadMode::CloseBox);
    app->forms.collect();
    EXPECT_FALSE(app->forms.loaded(zv::windows::kFileUtility));
    EXPECT_TRUE(app->forms.get(zv::windows::kMenu).visible());
    Profile ini(app->shared.IniFile);
    EXPECT_EQ(ini.read("DeComp4Dir1", "Path", "", 512), "Q:\\prog");
    EXPECT_EQ(ini.read("DeComp4Dir2", "Path", "", 512), "R:\\other");
    app->forms.hide(zv::windows::kMenu);
  }
}

TEST_F(FileUtilityTest, HouseButtonReturnsToItsPlaceAndBackgroundDoubleClickOpensHelp) {
  open();
  win().onDblClick();
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 1 6000"));
  Control& house = ctl("Image7");
  double left = house.left(), top = house.top();
  house.mouseDown();
  EXPECT_EQ(house.left(), left + 30);
  house.mouseUp();
  EXPECT_EQ(house.left(), left);
  EXPECT_EQ(house.top(), top);
}

TEST_F(FileUtilityTest, LowerDriveNotReadyShowsTheMessageAndReturns) {
  services.expectedErrors = {kErrDeviceUnavailable};
  open();
  Control& drive = ctl("Drive2");
  int s = -1;
  for (int i = 0; i < drive.listCount(); ++i)
    if (drive.list(i)[0] == 's') s = i;
  ASSERT_GE(s, 0);
  drive.userSelect(s);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "ドライブまたはパスが見つかりません");
  EXPECT_EQ(drive.drive(), "q:");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
}

// Putting the drive back must not send the pane to the folder another pane last showed on
// that drive: the list returns to exactly the folder it showed.
TEST_F(FileUtilityTest, UpperDriveNotReadyKeepsTheUpperFolder) {
  services.expectedErrors = {kErrDeviceUnavailable};
  write("up/a.txt", "a");
  open();
  Control& drive = ctl("Drive1");
  int s = -1;
  for (int i = 0; i < drive.listCount(); ++i)
    if (drive.list(i)[0] == 's') s = i;
  ASSERT_GE(s, 0);
  drive.userSelect(s);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(drive.drive(), "q:");
  EXPECT_EQ(ctl("Dir1").path(), "Q:\\up");
  EXPECT_EQ(ctl("File1").items(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
}

// A remembered folder that is gone: the pane opens on the program folder, and closing never
// writes an empty path, so the next start works again.
TEST_F(FileUtilityTest, GoneUpperFolderOpensOnTheProgramFolderAndSavesIt) {
  services.expectedErrors = {kErrPathNotFound};  // the remembered folder is gone
  open("gone", "down");
  EXPECT_EQ(ctl("Dir1").path(), "Q:\\prog");
  EXPECT_EQ(ctl("Drive1").drive(), "q:");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\prog");
  win().unload(UnloadMode::CloseBox);
  app->forms.collect();
  Profile ini(app->shared.IniFile);
  EXPECT_EQ(ini.read("DeComp4Dir1", "Path", "", 512), "Q:\\prog");
  EXPECT_EQ(ini.read("DeComp4Dir2", "Path", "", 512), "Q:\\down");
}

TEST_F(FileUtilityTest, LabelsAlignByTheButtonPressedOnThem) {
  open();
  ctl("Label2").mouseDown(kRightButton);
  EXPECT_EQ(ctl("Label2").alignment(), Control::AlignRight);
  ctl("Label2").mouseDown(kMiddleButton);
  EXPECT_EQ(ctl("Label2").alignment(), Control::AlignRight);
  ctl("Label2").mouseDown(kLeftButton);
  EXPECT_EQ(ctl("Label2").alignment(), Control::AlignLeft);
}

TEST_F(FileUtilityTest, PressOnUpperFileFillsTheHiddenInformationWindow) {
  write("up/data.bin", std::string(1234, 'x'));
  open();
  ASSERT_FALSE(app->forms.loaded(zv::windows::kFileInfo));
  press("File1", "data.bin");
  Form& info = app->forms.get(zv::windows::kFileInfo);
  EXPECT_FALSE(info.visible());
  EXPECT_EQ(info.c("Label3").caption(), "Q:\\up\\data.bin");
  EXPECT_EQ(info.c("lblSize").caption(), "1234 bytes");
  EXPECT_EQ(info.c("lblTime").caption().size(), std::string("2026/12/08 23:59:59").size());
  EXPECT_EQ(win().DragSource, "File1");
  EXPECT_EQ(win().DragButton, "Left");
  EXPECT_EQ(ctl("Label2").caption(), "Q:\\up\\data.bin");
}

TEST_F(FileUtilityTest, PressOnLowerFileLeavesTheInformationWindowAlone) {
  write("down/low.txt", "l");
  open();
  press("File2", "low.txt", kRightButton);
  EXPECT_FALSE(app->forms.loaded(zv::windows::kFileInfo));
  EXPECT_EQ(win().DragSource, "File2");
  EXPECT_EQ(win().DragButton, "");
  EXPECT_EQ(ctl("Label3").caption(), "Q:\\down\\low.txt");
}

TEST_F(FileUtilityTest, PreviewShowsAtMost10240Bytes) {
  write("up/exact.txt", std::string(10240, 'e'));
  write("up/longer.txt", std::string(10240, 'l') + "Z");
  write("up/sjis.txt", "\x93\xfa\x96\x7b");  // 日本 in CP932
  open();
  ctl("menuOpenView").click();
  press("File1", "exact.txt");
  EXPECT_EQ(ctl("Text1").text(), std::string(10240, 'e'));
  press("File1", "longer.txt");
  EXPECT_EQ(ctl("Text1").text(), std::string(10240, 'l'));
  press("File1", "sjis.txt");
  EXPECT_EQ(ctl("Text1").text(), "日本");
}

TEST_F(FileUtilityTest, PreviewDropsAUtf8CharacterCutByTheLimit) {
  write("up/utf8.txt", std::string(10239, 'a') + "あ");
  open();
  ctl("menuOpenView").click();
  press("File1", "utf8.txt");
  EXPECT_EQ(ctl("Text1").text(), std::string(10239, 'a'));
}

TEST_F(FileUtilityTest, ClickWithThePreviewOffLeavesTheTextAlone) {
  write("up/a.txt", "new text");
  open();
  ctl("Text1").setText("old");
  press("File1", "a.txt");
  EXPECT_EQ(ctl("Text1").text(), "old");
}

TEST_F(FileUtilityTest, UnreadablePreviewEmptiesTheBox) {
  services.expectedErrors = {kErrFileNotFound};
  write("up/a.txt", "text");
  open();
  ctl("menuOpenView").click();
  press("File1", "a.txt");
  ASSERT_EQ(ctl("Text1").text(), "text");
  std::filesystem::remove(dir / "q/up/a.txt");
  ctl("File1").userSelect(0);
  EXPECT_EQ(ctl("Text1").text(), "");
  EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace zv::test
