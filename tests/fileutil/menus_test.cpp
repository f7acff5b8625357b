// The file utility's menu bar.
#include "tests/fileutil/file_utility_fixture.h"

namespace zv::test {
namespace {

TEST_F(FileUtilityTest, MenuTreeStartsWithTheDesignedTicks) {
  open();
  EXPECT_EQ(ctl("menuOpenView").parentMenu(), "menuTextView");
  EXPECT_EQ(ctl("menuSmall").parentMenu(), "menuFSize");
  EXPECT_EQ(ctl("menuFSize").parentMenu(), "menuTextView");
  EXPECT_EQ(ctl("menuVer").parentMenu(), "menuHelp");
  EXPECT_EQ(ctl("menuChDir").parentMenu(), "");
  EXPECT_TRUE(ctl("SepEL").isSeparator());
  EXPECT_TRUE(ctl("menuNormal").checked());
  EXPECT_TRUE(ctl("menu10").checked());
  EXPECT_FALSE(ctl("menuOpenView").checked());
  // Although "10" is ticked the lists start at their designed font and heights.
  EXPECT_EQ(ctl("File1").font().size, 9.75);
  EXPECT_EQ(ctl("File1").height(), 2235);
  EXPECT_EQ(ctl("File2").height(), 2430);
  EXPECT_EQ(ctl("Dir1").height(), 1890);
}

TEST_F(FileUtilityTest, ViewerTwiceGivesTheLowerPaneBackUnchanged) {
  write("down/b.txt", "b");
  open();
  ctl("menuOpenView").click();
  EXPECT_TRUE(ctl("Text1").visible());
  EXPECT_FALSE(ctl("File2").visible());
  EXPECT_FALSE(ctl("Dir2").visible());
  EXPECT_FALSE(ctl("Drive2").visible());
  EXPECT_TRUE(ctl("Label3").visible());
  ctl("menuOpenView").click();
  EXPECT_FALSE(ctl("Text1").visible());
  EXPECT_TRUE(ctl("File2").visible());
  EXPECT_TRUE(ctl("Drive2").visible());
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\down");
  EXPECT_EQ(ctl("File2").items(), std::vector<std::string>{"b.txt"});
  EXPECT_FALSE(ctl("menuOpenView").checked());
}

TEST_F(FileUtilityTest, PreviewAndListFontsTickOneItemEach) {
  open();
  ctl("menuLarge").click();
  EXPECT_EQ(ctl("Text1").font().size, 12);
  EXPECT_TRUE(ctl("menuLarge").checked());
  EXPECT_FALSE(ctl("menuNormal").checked());
  ctl("menuSmall").click();
  EXPECT_EQ(ctl("Text1").font().size, 8);

  struct Row {
    const char* item;
    double size, files, folders;
  };
  for (Row r : {Row{"menu12", 12, 2190, 1920}, Row{"menu14", 14, 2310, 1920},
                Row{"menu10", 10, 2175, 1830}}) {
    ctl(r.item).click();
    for (const char* list : {"Dir1", "Dir2", "File1", "File2"})
      EXPECT_EQ(ctl(list).font().size, r.size) << r.item << " " << list;
    EXPECT_EQ(ctl("File1").height(), r.files);
    EXPECT_EQ(ctl("File2").height(), r.files);
    EXPECT_EQ(ctl("Dir1").height(), r.folders);
    EXPECT_EQ(ctl("Dir2").height(), r.folders);
    for (const char* other : {"menu10", "menu12", "menu14"})
      EXPECT_EQ(ctl(other).checked(), std::string(other) == r.item);
  }
  EXPECT_EQ(ctl("Drive1").font().size, 10.5);
  EXPECT_EQ(ctl("Label2").font().size, 10.5);
}

TEST_F(FileUtilityTest, ExchangingPanesAcrossDrivesMovesEachDriveWithItsFolder) {
  write("up/a.txt", "a");
  open();
  ctl("Drive2").setDrive("R:");
  ctl("Dir2").setPath("R:\\other");
  ctl("menuChDir").click();
  EXPECT_EQ(ctl("Drive1").drive(), "r:");
  EXPECT_EQ(ctl("Dir1").path(), "R:\\other");
  EXPECT_EQ(ctl("Label2").caption(), "R:\\other");
  EXPECT_EQ(ctl("Drive2").drive(), "q:");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\up");
  EXPECT_EQ(ctl("File2").items(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(ctl("File1").listCount(), 0);
}

TEST_F(FileUtilityTest, ExchangingPanesOnOneFolderLeavesBoth) {
  open("up", "up");
  ctl("menuChDir").click();
  EXPECT_EQ(ctl("Dir1").path(), "Q:\\up");
  EXPECT_EQ(ctl("Dir2").path(), "Q:\\up");
}

TEST_F(FileUtilityTest, FileManagerItemsOpenTheFoldersAndCloseTheWindow) {
  struct Case {
    const char* item;
    std::vector<std::string> opened;
  };
  for (const Case& k : {Case{"menuUe", {"files Q:\\up"}}, Case{"menuSita", {"files Q:\\down"}},
                        Case{"menuUeSita", {"files Q:\\up", "files Q:\\down"}}}) {
    services.calls.clear();
    open();
    ctl(k.item).click();
    app->forms.collect();
    std::vector<std::string> opened;
    for (const auto& call : services.calls)
      if (call.rfind("files ", 0) == 0) opened.push_back(call);
    EXPECT_EQ(opened, k.opened) << k.item;
    EXPECT_FALSE(app->forms.loaded(zv::windows::kFileUtility));
    EXPECT_TRUE(app->forms.get(zv::windows::kMenu).visible());
    EXPECT_EQ(app->forms.get(zv::windows::kMenu).windowState(), 1);
  }
}

TEST_F(FileUtilityTest, BothPanesOnOneFolderStillOpenTwoFileManagers) {
  open("up", "up");
  ctl("menuUeSita").click();
  int count = 0;
  for (const auto& call : services.calls) count += call == "files Q:\\up";
  EXPECT_EQ(count, 2);
}

TEST_F(FileUtilityTest, HelpAndWindowItems) {
  open();
  ctl("menuIndex").click();
  ctl("menuSearch").click();
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 3 0"));
  EXPECT_TRUE(services.called("help Q:\\prog\\ZORVEX.HLP 261 0"));
  app->shared.InfoCaller = FileInfoCaller::None;
  ctl("menuInfo").click();
  EXPECT_EQ(app->shared.InfoCaller, FileInfoCaller::FileUtility);
  EXPECT_TRUE(app->forms.get(zv::windows::kFileInfo).visible());
  ctl("menuZorvexVer").click();
  EXPECT_TRUE(app->forms.get(zv::windows::kAbout).visible());
}

TEST_F(FileUtilityTest, LibraryVersionMessage) {
  fakes->lha().setVersion(130);
  open();
  ctl("menuVer").click();
  ASSERT_EQ(services.messages.size(), 1u);
  const auto& m = services.messages[0];
  EXPECT_EQ(m.title, "バージョンチェック");
  EXPECT_EQ(m.icon, MsgIcon::Exclamation);
  EXPECT_EQ(m.buttons, MsgButtons::OK);
  EXPECT_EQ(m.text.substr(0, 2), "\r\n");
  EXPECT_NE(m.text.find("のバージョンは  1.3 です\r\n\r\n\r\n"), std::string::npos);
  EXPECT_EQ(m.text.substr(m.text.size() - 2), "\r\n");
  EXPECT_NE(m.text.find("における\u3000UNLHA32.DLL\u3000のバージョンは\u30001.30 です．\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace zv::test
