#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"

namespace zv {
namespace {

namespace stdfs = std::filesystem;

struct PanelFixture : ::testing::Test {
  ScriptedServices services;
  App app{services};
  stdfs::path root;
  Form* form = nullptr;

  void SetUp() override {
    root = stdfs::temp_directory_path() / ("zv_panel_" + std::to_string(::getpid()));
    stdfs::remove_all(root);
    stdfs::create_directories(root / "Temp" / "inner");
    stdfs::create_directories(root / "データ");
    stdfs::create_directories(root / ".hidden");
    for (const char* f : {"b.LZH", "a.lzh", "c.txt", "setup.exe", ".dot.lzh"})
      std::ofstream(root / f) << "x";
    DriveTable::instance().set('Q', root.string());
    DriveTable::instance().set('R', (root / "missing").string());
    app.forms.define("Panel", [](App& a) {
      auto f = std::make_unique<Form>(a, "Panel");
      f->add("Drive1", Kind::DriveList);
      f->add("Dir1", Kind::FolderList);
      f->add("File1", Kind::FileList);
      return f;
    });
    form = &app.forms.get("Panel");
  }
  void TearDown() override {
    DriveTable::instance().remove('Q');
    DriveTable::instance().remove('R');
    stdfs::remove_all(root);
  }
};

TEST_F(PanelFixture, FileListShowsMatchingOrdinaryFilesWithoutRegardToCase) {
  Control& files = form->c("File1");
  files.setPattern("*.lzh;*.exe");
  files.setPath("Q:\\");
  ASSERT_EQ(files.listCount(), 3);
  EXPECT_EQ(files.list(0), "a.lzh");
  EXPECT_EQ(files.list(1), "b.LZH");
  EXPECT_EQ(files.list(2), "setup.exe");
  files.setPattern("*.*");
  EXPECT_EQ(files.listCount(), 4);
}

TEST_F(PanelFixture, FolderListShowsAncestorsAndSubfoldersAndFiresChange) {
  Control& dir = form->c("Dir1");
  int changes = 0;
  dir.onChange = [&] { ++changes; };
  dir.setPath("q:/temp");  // another case and separator reach the folder created as "Temp"
  EXPECT_EQ(dir.path(), "Q:\\Temp");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(dir.list(-1), "Q:\\Temp");
  EXPECT_EQ(dir.list(-2), "Q:\\");
  ASSERT_EQ(dir.listCount(), 1);
  EXPECT_EQ(dir.list(0), "Q:\\Temp\\inner");
  dir.setPath("Q:\\TEMP\\");
  EXPECT_EQ(changes, 1) << "the same folder again is no change";
  dir.setListIndex(static_cast<int>(dir.folderEntries().size()) - 1);
  dir.dblClick();
  EXPECT_EQ(dir.path(), "Q:\\Temp\\inner");
}

TEST_F(PanelFixture, BareDriveGoesToThatDrivesCurrentFolder) {
  Control& dir = form->c("Dir1");
  dir.setPath("Q:\\データ");
  dir.setPath("Q:");
  EXPECT_EQ(dir.path(), "Q:\\データ");
}

TEST_F(PanelFixture, DriveThatIsNotReadyRaises68AndPathThatIsMissingRaises76) {
  Control& dir = form->c("Dir1");
  dir.setPath("Q:\\Temp");
  try {
    dir.setPath("R:\\");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kErrDeviceUnavailable);
  }
  try {
    dir.setPath("Q:\\nothing");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kErrPathNotFound);
  }
  EXPECT_EQ(dir.path(), "Q:\\Temp") << "a failed change leaves the folder";
  EXPECT_THROW(form->c("Drive1").setDrive("R:"), RuntimeError);
}

}  // namespace
}  // namespace zv
