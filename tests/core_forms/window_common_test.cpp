#include "ui/common/window_common.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"

namespace zv {
namespace {

namespace stdfs = std::filesystem;

// Like the program's windows, this one keeps its position when it closes.
struct WindowThatSavesItsPosition : Form {
  using Form::Form;
  void unloading(bool&) override { savePosition(*this, "CompPosition"); }
};

struct CommonFixture : ::testing::Test {
  ScriptedServices services;
  App app{services};
  stdfs::path root;
  Form* form = nullptr;

  void SetUp() override {
    root = stdfs::temp_directory_path() / ("zv_common_" + std::to_string(::getpid()));
    stdfs::remove_all(root);
    stdfs::create_directories(root / "work");
    DriveTable::instance().set('Q', root.string());
    DriveTable::instance().set('R', (root / "no-medium").string());
    app.shared.IniFile = "Q:\\ZORVEX.INI";
    app.programFolder = "Q:\\work";
    app.helpFile = "Q:\\ZORVEX.HLP";
    app.forms.define("Win", [](App& a) {
      auto f = std::make_unique<WindowThatSavesItsPosition>(a, "Win");
      f->add("Drive1", Kind::DriveList);
      f->add("Dir1", Kind::FolderList);
      f->add("File1", Kind::FileList);
      f->add("Image1", Kind::Picture).move(100, 200, 480, 480);
      return f;
    });
    form = &app.forms.get("Win");
    wireFolderPanel(*form);
  }
  void TearDown() override {
    DriveTable::instance().remove('Q');
    DriveTable::instance().remove('R');
    stdfs::remove_all(root);
  }
};

TEST_F(CommonFixture, DriveNotReadyShowsTheMessageOnceAndPutsTheDriveBack) {
  form->c("Dir1").setPath("Q:\\work");
  form->c("Drive1").setDrive("Q:");
  int index = form->c("Drive1").listIndex();
  int r = -1;
  for (int i = 0; i < form->c("Drive1").listCount(); ++i)
    if (form->c("Drive1").list(i)[0] == 'r') r = i;
  ASSERT_GE(r, 0);
  services.expectedErrors = {kErrDeviceUnavailable};
  form->c("Drive1").userSelect(r);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "ドライブまたはパスが見つかりません");
  EXPECT_EQ(services.messages[0].title, "エラーです");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(form->c("Drive1").drive(), "q:");
  EXPECT_EQ(form->c("Drive1").listIndex(), index);
  EXPECT_EQ(form->c("Dir1").path(), "Q:\\work");
}

TEST_F(CommonFixture, FolderChangeMovesTheFileListAndTheCaption) {
  form->c("Dir1").setPath("Q:\\");
  EXPECT_EQ(form->caption(), "Q:\\");
  EXPECT_EQ(form->c("File1").path(), "Q:\\");
  form->c("Dir1").setPath("Q:\\work");
  EXPECT_EQ(form->caption(), "Q:\\work");
}

TEST_F(CommonFixture, PressedPictureReturnsToItsPlaceEvenWhenTheActionFails) {
  Control& pic = form->c("Image1");
  int releases = 0;
  makePressedPicture(pic, kMainPictureOffset, [&](const MouseEvent&) {
    if (++releases == 1) raiseError(kErrFileNotFound);
  });
  pic.mouseDown();
  EXPECT_EQ(pic.top(), 230);
  EXPECT_EQ(pic.left(), 130);
  EXPECT_THROW(pic.mouseUp(), RuntimeError);
  EXPECT_EQ(pic.top(), 200);
  EXPECT_EQ(pic.left(), 100);
  pic.mouseUp();  // a release without a press does not move it
  EXPECT_EQ(pic.top(), 200);
}

TEST_F(CommonFixture, HelpButtonRightClickEndsOnlyOnYes) {
  wireHelpButton(*form, "Image1", kHelpCompression);
  services.answers = {MsgAnswer::No};
  form->c("Image1").mouseDown(kRightButton);
  EXPECT_FALSE(app.forms.ended());
  form->c("Image1").mouseDown(kLeftButton);
  EXPECT_EQ(services.messages.size(), 1u);
  form->c("Image1").dblClick();
  EXPECT_TRUE(services.called("help Q:\\ZORVEX.HLP 1 5000"));
  services.answers = {MsgAnswer::Yes};
  form->c("Image1").mouseDown(kRightButton);
  EXPECT_EQ(services.messages.back().title, "お疲れ様でした");
  EXPECT_TRUE(services.called("help Q:\\ZORVEX.HLP 2 0"));
  EXPECT_TRUE(app.forms.ended());
  // Ending skips the windows' closing steps, so nothing is saved.
  EXPECT_FALSE(stdfs::exists(root / "ZORVEX.INI")) << "ending writes no settings";
}

TEST_F(CommonFixture, ClosingTheWindowNormallyDoesSaveItsPosition) {
  form->move(1500, 2250);
  EXPECT_TRUE(app.forms.unload("Win"));
  EXPECT_TRUE(stdfs::exists(root / "ZORVEX.INI"));
}

TEST_F(CommonFixture, PositionsRoundTripAndBadTextGivesZero) {
  form->move(1500, 2250.5);
  savePosition(*form, "CompPosition");
  form->move(0, 0);
  loadPosition(*form, "CompPosition", "300", 26);
  EXPECT_EQ(form->left(), 1500);
  EXPECT_EQ(form->top(), 2250.5);
  writeSetting(*form, "CompPosition", "Top", "abc");
  loadPosition(*form, "CompPosition", "300", 26);
  EXPECT_EQ(form->top(), 0);
  loadPosition(*form, "NoSuchSection", "300", 26);
  EXPECT_EQ(form->top(), 300);
  EXPECT_EQ(form->left(), 300);
}

TEST(NumberText, ReadsAndWritesLikeThePositionsNeed) {
  EXPECT_EQ(numericValue("  1200  "), 1200);
  EXPECT_EQ(numericValue("12abc"), 12);
  EXPECT_EQ(numericValue("-7.5x"), -7.5);
  EXPECT_EQ(numericValue("x12"), 0);
  EXPECT_EQ(numberText(1500), "1500");
  EXPECT_EQ(numberText(12.25), "12.25");
  EXPECT_EQ(folderCaption("C:"), "C:\\");
  EXPECT_EQ(folderCaption("C:\\x"), "C:\\x");
}

}  // namespace
}  // namespace zv
