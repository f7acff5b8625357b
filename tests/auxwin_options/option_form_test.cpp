// The options window: what it shows from the settings file, what OK stores, and what every
// close does to the file selection window (a stand-in here).
#include <gtest/gtest.h>

#include <memory>

#include "auxwin/register_forms.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"

namespace zv {
namespace {

class OptionFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.mkdir("prog");
    DriveTable::instance().set('Q', dir.path());
    app.programFolder = "Q:\\prog";
    app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    registerOptionForms(app.forms);
    testing::defineStandIn<testing::StandInFileSelection>(app.forms);
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }

  Form& open() {
    app.forms.show(zv::windows::kOptions);
    return app.forms.get(zv::windows::kOptions);
  }
  Control& ctl(const std::string& name) { return app.forms.get(zv::windows::kOptions).c(name); }
  std::string stored(const std::string& key) { return ini.read("Option", key, "<none>", 13); }
  void closeWith(const std::string& button) {
    ctl(button).click();
    app.forms.collect();
  }

  test::TempDir dir;
  ScriptedServices services;
  App app{services};
  Profile ini{dir / "prog/ZORVEX.INI"};
};

TEST_F(OptionFormTest, MissingSettingsShowTheDefaults) {
  Form& f = open();
  EXPECT_EQ(f.caption(), "オプション - Zorvex 32+ -");
  EXPECT_EQ(ctl("Option5").value(), 1);
  EXPECT_EQ(ctl("Option1").value(), 1);
  EXPECT_FALSE(ctl("Option2").visible());
  EXPECT_FALSE(ctl("Option2").enabled());
  for (const char* check : {"Check1", "Check2", "Check5", "Check6", "Check7"})
    EXPECT_EQ(ctl(check).value(), 0) << check;
  EXPECT_EQ(ctl("Check3").value(), 1);
  EXPECT_EQ(ctl("Check4").value(), 1);
  const Shared& s = app.shared;
  EXPECT_EQ(s.PackMode, "UPDATE");
  EXPECT_EQ(s.DirectoryMode, "NO");
  EXPECT_EQ(s.ShowExtractProgress, "NO");
  EXPECT_EQ(s.VersionCheck, "YES");
  EXPECT_EQ(s.OpenFileUtility, "YES");
  EXPECT_EQ(s.OverwriteAll, "NO");
  EXPECT_DOUBLE_EQ(f.left(), (services.screenW - f.width()) / 2);
  EXPECT_TRUE(ctl("Command3").isDefault());
  EXPECT_TRUE(ctl("Command2").isCancel());
}

TEST_F(OptionFormTest, StoredValuesAreShownAndPutIntoTheSharedValues) {
  ini.write("Option", "Mode", "4");
  ini.write("Option", "Progress", "YES");
  ini.write("Option", "Progress2", "YES");
  ini.write("Option", "SFX", "YES");
  ini.write("Option", "VCheck", "NO");
  ini.write("Option", "FileUtility", "NO");
  ini.write("Option", "SAMEFOLDER", "YES");
  ini.write("Option", "OVERWRITE", "YES");
  open();
  EXPECT_EQ(ctl("Option4").value(), 1);
  EXPECT_EQ(ctl("Option5").value(), 0);
  EXPECT_EQ(app.shared.PackMode, "ADD");
  for (const char* check : {"Check1", "Check2", "Check5", "Check6", "Check7"})
    EXPECT_EQ(ctl(check).value(), 1) << check;
  EXPECT_EQ(ctl("Check3").value(), 0);
  EXPECT_EQ(ctl("Check4").value(), 0);
  EXPECT_EQ(app.shared.ShowCompressProgress, "YES");
  EXPECT_EQ(app.shared.CustomizeSfx, "YES");
  EXPECT_EQ(app.shared.VersionCheck, "NO");
  EXPECT_EQ(app.shared.SameFolder, "YES");
}

TEST_F(OptionFormTest, UnknownChoicesLeaveTheSharedValuesAlone) {
  ini.write("Option", "Mode", "7");
  ini.write("Option", "WithDirectory", "0");
  app.shared.PackMode = "MOVE";
  app.shared.DirectoryMode = "YES";
  open();
  EXPECT_EQ(app.shared.PackMode, "MOVE");
  EXPECT_EQ(app.shared.DirectoryMode, "YES");
  EXPECT_EQ(ctl("Option5").value(), 1);  // the designed choice stays
}

TEST_F(OptionFormTest, StoredHierarchyChoiceOpensAsTheWholeFolderChoiceAndIsStoredAsIt) {
  ini.write("Option", "WithDirectory", "2");
  open();
  EXPECT_EQ(ctl("Option3").value(), 1);
  EXPECT_EQ(ctl("Option1").value(), 0);
  EXPECT_EQ(app.shared.DirectoryMode, "ALL");
  closeWith("Command3");
  EXPECT_EQ(stored("WithDirectory"), "3");
  EXPECT_EQ(app.shared.DirectoryMode, "ALL");
}

TEST_F(OptionFormTest, ModeChoiceTakesEffectAtOnceEvenWhenClosedWithoutSaving) {
  ini.write("Option", "Mode", "5");
  open();
  ctl("Option6").click();
  EXPECT_EQ(app.shared.PackMode, "MOVE");
  closeWith("Command2");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kOptions));
  EXPECT_EQ(app.shared.PackMode, "MOVE");
  EXPECT_EQ(stored("Mode"), "5");
}

TEST_F(OptionFormTest, HandEditedLowerCaseYesCountsAsNoAndOkStoresNo) {
  ini.write("Option", "OVERWRITE", "yes");
  ini.write("Option", "SFX", "Yes");
  open();
  EXPECT_EQ(ctl("Check7").value(), 0);
  EXPECT_EQ(app.shared.OverwriteAll, "yes");  // stored as read; it counts as no where tested
  EXPECT_EQ(app.shared.CustomizeSfx, "Yes");
  closeWith("Command3");
  EXPECT_EQ(stored("OVERWRITE"), "NO");
  EXPECT_EQ(stored("SFX"), "NO");
  EXPECT_EQ(app.shared.OverwriteAll, "NO");
}

TEST_F(OptionFormTest, OkStoresEveryOptionFromTheControls) {
  open();
  ctl("Option4").click();
  ctl("Option3").click();
  for (const char* check : {"Check1", "Check2", "Check3", "Check5", "Check6"}) ctl(check).click();
  closeWith("Command3");
  EXPECT_EQ(stored("Mode"), "4");
  EXPECT_EQ(stored("Progress"), "YES");
  EXPECT_EQ(stored("Progress2"), "YES");
  EXPECT_EQ(stored("SFX"), "YES");
  EXPECT_EQ(stored("VCheck"), "NO");
  EXPECT_EQ(stored("FileUtility"), "YES");
  EXPECT_EQ(stored("WithDirectory"), "3");
  EXPECT_EQ(stored("SAMEFOLDER"), "YES");
  EXPECT_EQ(stored("OVERWRITE"), "NO");
  const Shared& s = app.shared;
  EXPECT_EQ(s.PackMode, "ADD");
  EXPECT_EQ(s.ShowExtractProgress, "YES");
  EXPECT_EQ(s.VersionCheck, "NO");
  EXPECT_EQ(s.DirectoryMode, "ALL");
  EXPECT_EQ(s.SameFolder, "YES");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kOptions));
}

TEST_F(OptionFormTest, OkWithTheFileSelectionHiddenSetsOnlyItsFolderMode) {
  auto& comp1 = app.forms.get<testing::StandInFileSelection>(windows::kFileSelection);
  open();
  ctl("Option3").click();
  closeWith("Command3");
  EXPECT_FALSE(comp1.instructionForFolders.has_value());
  EXPECT_EQ(comp1.folderModeShown, 1);
}

TEST_F(OptionFormTest, OkWithTheFileSelectionShownSetsItsInstruction) {
  app.forms.show(windows::kFileSelection);
  auto& comp1 = app.forms.get<testing::StandInFileSelection>(windows::kFileSelection);
  open();
  ctl("Option3").click();
  closeWith("Command3");
  EXPECT_EQ(comp1.instructionForFolders, true);

  open();
  ctl("Option1").click();
  closeWith("Command3");
  EXPECT_EQ(comp1.instructionForFolders, false);
  EXPECT_EQ(comp1.folderModeShown, 2);
}

TEST_F(OptionFormTest, CloseBoxAndCloseCreateTheFileSelectionHiddenAndSetItsLamps) {
  app.shared.DirectoryMode = "";
  ini.write("Option", "WithDirectory", "3");
  open();
  ASSERT_FALSE(app.forms.loaded(windows::kFileSelection));
  app.forms.unload(zv::windows::kOptions, UnloadMode::CloseBox);
  auto& comp1 = app.forms.get<testing::StandInFileSelection>(windows::kFileSelection);
  EXPECT_FALSE(comp1.visible());
  EXPECT_EQ(comp1.folderModeShown, 1);
  EXPECT_EQ(stored("WithDirectory"), "3");
}

TEST_F(OptionFormTest, OtherDirectoryModeLeavesTheLampsAlone) {
  ini.write("Option", "WithDirectory", "9");
  app.shared.DirectoryMode = "odd";
  open();
  closeWith("Command2");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kFileSelection));
}

TEST_F(OptionFormTest, HelpButtonOpensTopic2000) {
  open();
  ctl("Command1").click();
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 1 2000"));
  EXPECT_TRUE(app.forms.loaded(zv::windows::kOptions));
}

TEST_F(OptionFormTest, EveryOpeningRereadsTheSettingsFile) {
  open();
  closeWith("Command2");
  ini.write("Option", "Mode", "6");
  open();
  EXPECT_EQ(ctl("Option6").value(), 1);
}

}  // namespace
}  // namespace zv
