#include "ui/menu/menu_form.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "auxwin/register_forms.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "tests/support/stand_in_form.h"
#include "tests/support/temp_dir.h"
#include "ui/menu/register_forms.h"

namespace zv {
namespace {

namespace stdfs = std::filesystem;

// A screen with another resolution than 96 dpi.
class DpiServices : public ScriptedServices {
 public:
  double tpp = 15;
  double twipsPerPixelX() override { return tpp; }
  double twipsPerPixelY() override { return tpp; }
};

struct MenuFixture : ::testing::Test {
  test::TempDir dir;
  DpiServices services;
  App app{services};

  void SetUp() override {
    DriveTable::instance().set('Q', dir.path());
    dir.mkdir("prog");
    app.programFolder = "Q:\\prog";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    registerMenuForms(app.forms);
    registerViewerForms(app.forms);
    for (const char* name : {"Comp1", "DeComp1", "DeComp4", "frmOption"})
      testing::defineStandIn(app.forms, name, {});
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }

  MenuForm& menu() { return app.forms.get<MenuForm>(zv::windows::kMenu); }
  void setOption(const std::string& key, const std::string& value) {
    Profile(app.shared.IniFile).write("Option", key, value);
  }
  void press(const std::string& control) {
    Control& c = menu().c(control);
    c.mouseDown();
    c.mouseUp();
  }
};

TEST_F(MenuFixture, ShowsItsTextsAndPreparesTheWorkFolders) {
  MenuForm& m = menu();
  EXPECT_EQ(m.caption(), "Zorvex 32    -Menu-");
  EXPECT_EQ(m.c("Label1").caption(), " Option");
  EXPECT_EQ(m.c("Label2").caption(), "File");
  EXPECT_EQ(m.c("Label3").caption(), "   Help");
  EXPECT_EQ(m.c("Label5").caption(), "+");
  EXPECT_FALSE(m.c("File1").visible());
  EXPECT_EQ(app.shared.TempFolder, "Q:\\prog\\Temp");
  EXPECT_EQ(app.shared.SfxFolder, "Q:\\prog\\自己解凍書庫");
  EXPECT_EQ(app.shared.QuickFolder, "Q:\\prog\\QUICK");
  for (const char* name : {"Temp", "自己解凍書庫", "QUICK"})
    EXPECT_TRUE(stdfs::is_directory(dir / ("prog/" + std::string(name)))) << name;
  EXPECT_EQ(app.helpFile, "Q:\\prog\\ZORVEX.HLP");
  EXPECT_FALSE(app.shared.RunInProgress);
}

TEST_F(MenuFixture, ProgramFolderAtADriveRootGivesNoDoubledBackslash) {
  app.programFolder = "Q:\\";
  menu();
  EXPECT_EQ(app.shared.TempFolder, "Q:\\Temp");
  EXPECT_EQ(app.shared.QuickFolder, "Q:\\QUICK");
  EXPECT_EQ(app.helpFile, "Q:\\ZORVEX.HLP");
  EXPECT_TRUE(stdfs::is_directory(dir / "Temp"));
}

TEST_F(MenuFixture, ReadOptionDefaultsWithoutASettingsFile) {
  menu();
  EXPECT_EQ(app.shared.PackMode, "UPDATE");
  EXPECT_EQ(app.shared.DirectoryMode, "NO");
  EXPECT_EQ(app.shared.ShowExtractProgress, "NO");
  EXPECT_EQ(app.shared.ShowCompressProgress, "NO");
  EXPECT_EQ(app.shared.CustomizeSfx, "NO");
  EXPECT_EQ(app.shared.SameFolder, "NO");
  EXPECT_EQ(app.shared.OverwriteAll, "NO");
  EXPECT_EQ(app.shared.OpenFileUtility, "YES");
}

TEST_F(MenuFixture, ReadOptionMapsModesAndKeepsValuesAsRead) {
  setOption("Mode", "4");
  setOption("WithDirectory", "3");
  setOption("Progress", "YES");
  setOption("Progress2", "Yes");  // stored as read; only "YES" counts as yes later
  setOption("FileUtility", "NO");
  setOption("OVERWRITE", "YES");
  menu();
  EXPECT_EQ(app.shared.PackMode, "ADD");
  EXPECT_EQ(app.shared.DirectoryMode, "ALL");
  EXPECT_EQ(app.shared.ShowExtractProgress, "YES");
  EXPECT_EQ(app.shared.ShowCompressProgress, "Yes");
  EXPECT_EQ(app.shared.OpenFileUtility, "NO");
  EXPECT_EQ(app.shared.OverwriteAll, "YES");

  // Unknown values leave the shared values as they were; the procedure is public.
  setOption("Mode", "7");
  setOption("WithDirectory", "x");
  menu().readOption();
  EXPECT_EQ(app.shared.PackMode, "ADD");
  EXPECT_EQ(app.shared.DirectoryMode, "ALL");
  setOption("Mode", "6");
  setOption("WithDirectory", "2");
  menu().readOption();
  EXPECT_EQ(app.shared.PackMode, "MOVE");
  EXPECT_EQ(app.shared.DirectoryMode, "YES");
}

TEST_F(MenuFixture, PositionDefaultsTo100AndKeepsFractions) {
  EXPECT_DOUBLE_EQ(menu().top(), 100);
  EXPECT_DOUBLE_EQ(menu().left(), 100);
  app.forms.endProgram();
  app.forms.collect();
  Profile(app.shared.IniFile).write("WindowPosition", "Top", " 1200.5 ");
  Profile(app.shared.IniFile).write("WindowPosition", "Left", "abc");
  EXPECT_DOUBLE_EQ(menu().top(), 1200.5);
  EXPECT_DOUBLE_EQ(menu().left(), 0);
}

TEST_F(MenuFixture, AnsweringNoToTheExitQuestionLeavesEverythingAsItWas) {
  menu().show();
  dir.write("prog/Temp/old.txt", "x");
  services.answers.push_back(MsgAnswer::No);
  press("Image3");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "終了してもいいですか");
  EXPECT_EQ(services.messages[0].title, "お疲れ様でした");
  EXPECT_EQ(services.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Question);
  EXPECT_TRUE(app.forms.loaded(zv::windows::kMenu));
  EXPECT_TRUE(menu().visible());
  EXPECT_FALSE(app.forms.ended());
  EXPECT_FALSE(services.called("help"));
  EXPECT_FALSE(stdfs::exists(dir / "prog/ZORVEX.INI"));
  EXPECT_TRUE(stdfs::exists(dir / "prog/Temp/old.txt"));
  // The exit picture is back where it was.
  EXPECT_DOUBLE_EQ(menu().c("Image3").left(), 3360);
}

TEST_F(MenuFixture, ExitClosesHelpSavesThePositionAndClearsTempFromTheLoadTimeList) {
  dir.mkdir("prog/Temp");
  dir.write("prog/Temp/viewed.txt", "x");
  dir.write("prog/Temp/.hidden", "x");
  dir.mkdir("prog/Temp/sub");
  menu().move(1500, 750);
  menu().show();
  dir.write("prog/Temp/later.txt", "x");  // arrives after the list was taken
  services.answers.push_back(MsgAnswer::Yes);
  app.forms.unload(zv::windows::kMenu, UnloadMode::CloseBox);
  EXPECT_TRUE(app.forms.ended());
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 2 0"));
  EXPECT_TRUE(services.called("quit"));
  Profile ini(app.shared.IniFile);
  EXPECT_EQ(ini.read("WindowPosition", "Top", "", 13), "750");
  EXPECT_EQ(ini.read("WindowPosition", "Left", "", 13), "1500");
  EXPECT_FALSE(stdfs::exists(dir / "prog/Temp/viewed.txt"));
  EXPECT_TRUE(stdfs::exists(dir / "prog/Temp/later.txt"));
  EXPECT_TRUE(stdfs::exists(dir / "prog/Temp/.hidden"));
  EXPECT_TRUE(stdfs::is_directory(dir / "prog/Temp/sub"));
}

TEST_F(MenuFixture, PictureButtonsOpenTheFlowsAndComeBack) {
  menu().show();
  app.shared.StartMode = "Command";
  press("Image2");
  EXPECT_EQ(app.shared.StartMode, "");
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveSelection).visible());
  EXPECT_FALSE(menu().visible());
  EXPECT_DOUBLE_EQ(menu().c("Image2").top(), 360);

  menu().show();
  Control& compress = menu().c("Image1");
  compress.mouseDown();
  EXPECT_DOUBLE_EQ(compress.left(), 390);  // held: moved by 30 twips
  EXPECT_DOUBLE_EQ(compress.top(), 390);
  compress.mouseUp();
  EXPECT_DOUBLE_EQ(compress.left(), 360);
  EXPECT_TRUE(app.forms.get(zv::windows::kFileSelection).visible());
  EXPECT_FALSE(menu().visible());
}

// Pressing and releasing any mouse button on a picture performs its action.
TEST_F(MenuFixture, PictureButtonsActOnEveryButton) {
  for (int button : {kRightButton, kMiddleButton}) {
    menu().show();
    Control& compress = menu().c("Image1");
    compress.mouseDown(button);
    EXPECT_DOUBLE_EQ(compress.left(), 390);
    compress.mouseUp(button);
    EXPECT_TRUE(app.forms.get(zv::windows::kFileSelection).visible()) << button;
    EXPECT_FALSE(menu().visible()) << button;
    app.forms.unload(zv::windows::kFileSelection);
    app.forms.collect();
  }
  menu().show();
  menu().c("Image2").mouseDown(kRightButton);
  menu().c("Image2").mouseUp(kRightButton);
  EXPECT_TRUE(app.forms.get(zv::windows::kArchiveSelection).visible());
}

TEST_F(MenuFixture, AWindowThatCannotOpenKeepsTheMenuUp) {
  services.expectedErrors = {kErrOutOfMemory};
  app.forms.define(zv::windows::kFileSelection,
                   [](App&) -> std::unique_ptr<Form> { raiseError(kErrOutOfMemory); });
  menu().show();
  press("Image1");
  EXPECT_TRUE(menu().visible());
}

TEST_F(MenuFixture, LinksOpenOptionsHelpAndTheFileUtility) {
  menu().show();
  menu().c("Label1").click();
  EXPECT_TRUE(app.forms.get(zv::windows::kOptions).visible());
  EXPECT_TRUE(menu().visible());

  menu().c("Label3").click();
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 3 0"));

  services.calls.clear();
  menu().c("Label2").click();
  EXPECT_FALSE(menu().visible());
  EXPECT_TRUE(app.forms.get(zv::windows::kWait).visible());
  EXPECT_TRUE(app.forms.get(zv::windows::kFileUtility).visible());
  EXPECT_EQ(app.forms.get(zv::windows::kFileUtility).caption(), "ファイル操作ユーティリティー");
  ASSERT_GE(services.calls.size(), 2u);
  EXPECT_EQ(services.calls.front(), "busy 1");
  EXPECT_EQ(services.calls.back(), "busy 0");
}

TEST_F(MenuFixture, FileUtilityThatFailsToOpenBringsTheMenuBack) {
  services.expectedErrors = {kErrOutOfMemory};
  app.forms.define(zv::windows::kFileUtility,
                   [](App&) -> std::unique_ptr<Form> { raiseError(kErrOutOfMemory); });
  menu().show();
  menu().c("Label2").click();
  EXPECT_TRUE(menu().visible());
  EXPECT_FALSE(app.forms.loaded(zv::windows::kWait));
  EXPECT_EQ(services.calls.back(), "busy 0");
}

TEST_F(MenuFixture, DoubleClickOnTheBackgroundShowsTheVersionWindow) {
  menu().show();
  menu().c("imgBack").dblClick();
  EXPECT_TRUE(app.forms.get(zv::windows::kAbout).visible());
  app.forms.unload(zv::windows::kAbout);
  menu().onDblClick();
  EXPECT_TRUE(app.forms.get(zv::windows::kAbout).visible());
}

TEST_F(MenuFixture, LayoutScalesOnA120DpiScreen) {
  services.tpp = 12;
  MenuForm& m = menu();
  EXPECT_FLOAT_EQ(m.layoutScaleX(), 0.8f);
  // The scale is a single-precision value, so the products are near, not exact.
  EXPECT_NEAR(m.c("Image1").left(), 360 * 0.8, 0.01);
  EXPECT_NEAR(m.c("Image3").left(), 3360 * 0.8, 0.01);
  EXPECT_NEAR(m.c("Label2").top(), 1560 * 0.8, 0.01);
  EXPECT_NEAR(m.width(), 4800 * 0.8, 0.01);
  EXPECT_NEAR(m.height(), 2760 * 0.8, 0.01);
  EXPECT_NEAR(m.c("imgBack").width(), 4800 * 0.8, 0.01);
  // Decoration keeps its designed place.
  EXPECT_DOUBLE_EQ(m.c("Label5").left(), 4440);
}

}  // namespace
}  // namespace zv
