#include "core/startup/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/libraries/archivers.h"
#include "core/services/scripted_services.h"
#include "core/startup/command_line_opener.h"
#include "core/startup/messages.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/temp_dir.h"

using namespace zv;
using zv::test::FakeArchivers;
using zv::test::TempDir;

namespace {

// A stand-in window that counts the command-line openings asked of the archive selection window.
class StandIn : public Form, public CommandLineOpener {
 public:
  StandIn(App& app, std::string name, int* dblClicks)
      : Form(app, std::move(name)), dblClicks_(dblClicks) {}
  void commandLineOpen() override { ++*dblClicks_; }

 private:
  int* dblClicks_;
};

// A program folder and a Windows folder with its SYSTEM folder under a temporary folder, on
// drive W:, and the WinDir variable naming it.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    DriveTable::instance().set('W', dir.path());
    dir.mkdir("prog");
    dir.mkdir("win/SYSTEM");
    setenv("WinDir", "W:\\win", 1);
    app.programFolder = "W:\\prog";
    app.archivers = &archivers;
    for (const char* name : {"frmMenu", "DeComp1"})
      app.forms.define(
          name, [this, name](App& a) { return std::make_unique<StandIn>(a, name, &dblClicks); });
  }
  void TearDown() override {
    unsetenv("WinDir");
    DriveTable::instance().remove('W');
    DriveTable::instance().remove('R');
  }
  std::string shown() const {
    std::string out;
    for (const auto& h : app.forms.history())
      if (h.rfind("show ", 0) == 0 || h == "end") out += (out.empty() ? "" : ",") + h;
    return out;
  }

  TempDir dir;
  ScriptedServices services;
  ArchiverSet archivers{"W:\\"};
  App app{services};
  int dblClicks = 0;
};

const char* const kMissingText =
    "★ UNLHA32.DLL がインストールされていません ★\r\n"
    "\r\n"
    "「Zorvex 32」のＬＨＡ圧縮・解凍機能はこのＤＬＬの機能によるものです．\r\n"
    "別途入手して W:\\win\\SYSTEM フォルダ（ディレクトリ）へコピーしてください．\r\n"
    "\r\n"
    "NIFTY-Serve FWINNT Lib11 WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 に登録されています．\r\n"
    "不具合が生じる場合がありますので，できる限り最新版を入手してください．\r\n"
    "\r\n"
    "プログラムを終了します．";

}  // namespace

TEST_F(Startup, MissingLibraryExplainsAndEnds) {
  Main(app, "");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, kMissingText);
  EXPECT_EQ(services.messages[0].title, "ファイル -UNLHA32.DLL- が見つかりません");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(services.messages[0].buttons, MsgButtons::OK);
  EXPECT_EQ(shown(), "end");
  EXPECT_TRUE(services.called("quit"));
  EXPECT_EQ(app.shared.SystemFolder, "W:\\win\\SYSTEM");
  EXPECT_FALSE(std::filesystem::exists(dir / "prog/ZORVEX.INI"));
}

TEST_F(Startup, LibraryOnlyInAnotherFolderCountsAsMissing) {
  FakeArchivers fakes(dir / "prog");
  Main(app, "C:\\a.lzh");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, kMissingText);
  EXPECT_EQ(shown(), "end");
  EXPECT_EQ(dblClicks, 0);
  EXPECT_TRUE(fakes.lha().calls().empty());
}

TEST_F(Startup, OldLibraryVersionIsWarnedAbout) {
  FakeArchivers fakes(dir / "win/SYSTEM");
  fakes.lha().setVersion(129);
  Main(app, "");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(
      services.messages[0].text,
      "あなたのコンピューターにインストールされている UNLHA32.DLL のバージョンは  1.29 です\r\n"
      "\r\n"
      "\r\n"
      "「Zorvex 32 」当バージョン，リリース時点における\u3000UNLHA32.DLL\u3000のバージョンは\u3000"
      "1.30 です．\r\n"
      "不具合が生じる場合がありますので，できる限り最新バージョンの\u3000UNLHA32."
      "DLL\u3000をお使いください．\r\n"
      "NIFTY-Serve FWINNT Lib11 WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 に登録されています．\r\n"
      "\r\n"
      "\r\n"
      "このメッセージを次回から表示しないようにするには，-Menu- の ｢Option｣で設定します．\r\n");
  EXPECT_EQ(services.messages[0].title, "バージョンチェック");
  EXPECT_EQ(services.messages[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(shown(), "show frmMenu");  // the program goes on
  EXPECT_EQ(app.shared.VersionCheck, "YES");
}

TEST_F(Startup, CurrentLibraryOrSwitchedOffCheckGivesNoMessage) {
  FakeArchivers fakes(dir / "win/SYSTEM");
  fakes.lha().setVersion(130);
  Main(app, "");
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(fakes.lha().functions(), (std::vector<std::string>{"UnlhaGetVersion"}));

  for (const char* value : {"yes", "NO"}) {
    fakes.lha().reset();
    fakes.lha().setVersion(100);
    dir.write("prog/ZORVEX.INI", std::string("[Option]\r\nVCheck=") + value + "\r\n");
    ScriptedServices quiet;
    App again(quiet);
    again.programFolder = "W:\\prog";
    again.archivers = &archivers;
    again.forms.define(zv::windows::kMenu, [this](App& a) {
      return std::make_unique<StandIn>(a, "frmMenu", &dblClicks);
    });
    Main(again, "");
    EXPECT_TRUE(quiet.messages.empty()) << value;
    EXPECT_TRUE(fakes.lha().calls().empty()) << value;
    EXPECT_EQ(again.shared.VersionCheck, value);
  }
}

TEST_F(Startup, ArgumentOpensArchiveSelectionInCommandMode) {
  FakeArchivers fakes(dir / "win/SYSTEM");
  Main(app, "\"C:\\no such\\a.lzh\"");
  EXPECT_EQ(app.shared.StartMode, "Command");
  EXPECT_EQ(shown(), "show DeComp1");
  EXPECT_EQ(dblClicks, 1);
  EXPECT_EQ(app.commandLine, "\"C:\\no such\\a.lzh\"");
  EXPECT_EQ(app.shared.IniFile, "W:\\prog\\ZORVEX.INI");
  EXPECT_EQ(app.helpFile, "W:\\prog\\ZORVEX.HLP");
  EXPECT_EQ(app.shared.TempFolder, "W:\\prog\\TEMP");
  EXPECT_FALSE(std::filesystem::exists(dir / "prog/TEMP"));  // not created here
  EXPECT_FALSE(app.forms.loaded(zv::windows::kMenu));
}

TEST_F(Startup, EmptyArgumentOpensTheMainMenu) {
  FakeArchivers fakes(dir / "win/SYSTEM");
  app.shared.StartMode = "Command";
  Main(app, "");
  EXPECT_EQ(app.shared.StartMode, "");
  EXPECT_EQ(shown(), "show frmMenu");
  EXPECT_EQ(dblClicks, 0);
}

TEST_F(Startup, DriveRootProgramFolder) {
  FakeArchivers fakes(dir / "win/SYSTEM");
  fakes.lha().setVersion(100);
  DriveTable::instance().set('R', dir / "prog");
  dir.write("prog/ZORVEX.INI", "[Option]\nVCheck=NO\n");
  app.programFolder = "R:\\";
  Main(app, "R:\\a.lzh");
  EXPECT_EQ(app.shared.IniFile, "R:\\\\ZORVEX.INI");
  EXPECT_EQ(app.shared.TempFolder, "R:\\TEMP");
  // The double backslash still names the file: its VCheck=NO was read.
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(app.shared.VersionCheck, "NO");
}

TEST_F(Startup, SystemFolderDerivedWithoutWinDir) {
  unsetenv("WinDir");
  folders::overrideSystemFolder("W:\\win\\SYSTEM");
  FakeArchivers fakes(dir / "win/SYSTEM");
  EXPECT_TRUE(LhaLibraryPresent(app));
  EXPECT_EQ(app.shared.SystemFolder, "W:\\win\\SYSTEM");
  std::filesystem::remove(dir / "win/SYSTEM/UNLHA32.DLL");
  EXPECT_FALSE(LhaLibraryPresent(app));  // deleting the file really makes it missing
  folders::overrideSystemFolder("");
}

TEST(StartupText, VersionTextAndArguments) {
  EXPECT_EQ(versionText(129), " 1.29");
  EXPECT_EQ(versionText(120), " 1.2");
  EXPECT_EQ(versionText(100), " 1");
  EXPECT_EQ(versionText(5), " 0.05");
  EXPECT_EQ(versionText(-150), "-1.5");
  EXPECT_EQ(argumentText({}), "");
  EXPECT_EQ(argumentText({"/home/me/dl/a.lzh"}), "C:\\home\\me\\dl\\a.lzh");
  EXPECT_EQ(argumentText({"/home/me/my files/a.lzh"}), "\"C:\\home\\me\\my files\\a.lzh\"");
  EXPECT_EQ(argumentText({"/home/me/a\"b.lzh"}), "\"C:\\home\\me\\a\"\"b.lzh\"");
  EXPECT_EQ(argumentText({"D:\\x.lzh"}), "D:\\x.lzh");
}
