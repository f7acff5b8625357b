#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/messages/failure_cause.h"
#include "info_fixture.h"
#include "tests/support/without_file_override.h"

namespace zv::test {
namespace {

namespace stdfs = std::filesystem;

using Purpose = NewFolderRequest::Purpose;

class NewFolder : public InfoTest {
 protected:
  // The request each opener sets, over the stand-ins of the openers.
  NewFolderRequest requestFor(Purpose purpose) {
    auto control = [this](const char* window, const char* name) -> Control* {
      Form* f = app.forms.find(window);
      return f ? &f->c(name) : nullptr;
    };
    NewFolderRequest r;
    r.purpose = purpose;
    const char* window = purpose == Purpose::CompressFolder  ? "Comp2"
                         : purpose == Purpose::ExtractFolder ? "DeComp3"
                                                             : "DeComp4";
    r.baseFolder = [=]() -> std::optional<std::string> {
      switch (purpose) {
        case Purpose::CompressFolder:
          if (Control* c = control(window, "lblTmp")) return c->caption();
          break;
        case Purpose::ExtractFolder:
          if (Control* c = control(window, "Combo1")) return c->text();
          break;
        case Purpose::UtilityFolder:
          if (Control* c = control(window, "Dir2")) return c->path();
          break;
        case Purpose::Rename:
          if (Control* c = control(window, "Dir1")) return c->path();
          break;
        case Purpose::None:
          break;
      }
      return std::nullopt;
    };
    r.source = [=] {
      Control* c = control(window, "Label2");
      return c ? c->caption() : std::string();
    };
    r.done = [=](const std::string& made) {
      if (purpose == Purpose::Rename) {
        control(window, "Label2")->setCaption(made);
        control(window, "File1")->refresh();
      } else {
        control(window, purpose == Purpose::UtilityFolder ? "Dir2" : "Dir1")->setPath(made);
      }
    };
    return r;
  }
  Form& open(Purpose purpose, const std::string& caption, const std::string& label) {
    app.shared.NewFolder = purpose == Purpose::None ? NewFolderRequest{} : requestFor(purpose);
    Form& d = app.forms.get(zv::windows::kNewFolder);
    d.c("Label2").setCaption(label);
    app.forms.show(zv::windows::kNewFolder);
    d.setCaption(caption);
    return d;
  }
};

TEST_F(NewFolder, CompressModeCreatesBelowTheDestinationAndMovesTheOpener) {
  Form& c2 = app.forms.get(zv::windows::kArchiveCreation);
  c2.c("lblTmp").setCaption("Q:\\base");
  c2.c("Dir1").setPath("Q:\\base");
  Form& d = open(Purpose::CompressFolder, "新規フォルダの作成 -圧縮-", "Q:\\base\\");
  EXPECT_EQ(d.top(), (services.screenH - d.height()) * 2 / 3);
  d.c("Text1").userType("new");
  EXPECT_EQ(d.c("Label2").caption(), "Q:\\base\\new");
  d.c("Text1").userType("");
  EXPECT_EQ(d.c("Label2").caption(), "Q:\\base\\");
  d.c("Text1").userType("新しい");
  d.c("Command1").click();
  EXPECT_TRUE(stdfs::is_directory(root / "base/新しい"));
  EXPECT_EQ(c2.c("Dir1").path(), "Q:\\base\\新しい");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
}

TEST_F(NewFolder, ExtractAndUtilityModes) {
  Form& c3 = app.forms.get(zv::windows::kExtraction);
  c3.c("Combo1").setText("Q:\\");  // a drive root: no doubled backslash
  Form& d = open(Purpose::ExtractFolder, "新規フォルダの作成 -解凍-", "Q:\\");
  d.c("Text1").userType("x1");
  EXPECT_EQ(d.c("Label2").caption(), "Q:\\x1");
  d.c("Command1").click();
  EXPECT_TRUE(stdfs::is_directory(root / "x1"));
  EXPECT_EQ(c3.c("Dir1").path(), "Q:\\x1");

  Form& util = app.forms.get(zv::windows::kFileUtility);
  util.c("Dir2").setPath("Q:\\base");
  Form& d2 = open(Purpose::UtilityFolder, "新規フォルダの作成", "Q:\\base\\");
  d2.c("Text1").userType("x2");
  d2.c("Command1").click();
  EXPECT_TRUE(stdfs::is_directory(root / "base/x2"));
  EXPECT_EQ(util.c("Dir2").path(), "Q:\\base\\x2");
}

TEST_F(NewFolder, EmptyOrExistingNamesKeepTheDialogOpen) {
  app.forms.get(zv::windows::kArchiveCreation).c("lblTmp").setCaption("Q:\\files");
  Form& d = open(Purpose::CompressFolder, "新規フォルダの作成 -圧縮-", "Q:\\files\\");
  d.c("Command1").click();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "新しいフォルダ名を入力してください");
  EXPECT_EQ(services.messages[0].title, "新規フォルダの作成");
  EXPECT_TRUE(services.called("beep"));
  d.c("Text1").userType("a.txt");  // a file of that name
  d.c("Command1").click();
  EXPECT_EQ(services.messages.back().text, "同名フォルダが存在します");
  EXPECT_TRUE(app.forms.loaded(zv::windows::kNewFolder));
  EXPECT_EQ(d.focused(), &d.c("Text1"));
}

TEST_F(NewFolder, AFolderThatCannotBeMadeIsReportedAndTheDialogStays) {
  services.expectedErrors = {kErrPathNotFound};
  app.forms.get(zv::windows::kArchiveCreation).c("lblTmp").setCaption("Q:\\missing\\deeper");
  Form& d = open(Purpose::CompressFolder, "新規フォルダの作成 -圧縮-", "Q:\\missing\\deeper\\");
  d.c("Text1").userType("x");
  d.c("Command1").click();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text,
            "フォルダを作成できませんでした\r\nQ:\\missing\\deeper\\x"
            "\r\n原因： フォルダが見つかりません");
  EXPECT_TRUE(app.forms.loaded(zv::windows::kNewFolder));
  d.c("Text1").userType("..\\escape");
  d.c("Command1").click();
  EXPECT_EQ(services.messages.back().text.rfind("名前に次の文字は使えません", 0), 0u);
  EXPECT_FALSE(stdfs::exists(root / "escape"));
  d.c("Command2").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
}

TEST_F(NewFolder, AReadOnlyParentIsReportedAsMissingWritePermission) {
  services.expectedErrors = {kErrPermissionDenied};
  app.forms.get(zv::windows::kArchiveCreation).c("lblTmp").setCaption("Q:\\base");
  Form& d = open(Purpose::CompressFolder, "新規フォルダの作成 -圧縮-", "Q:\\base\\");
  chmod((root / "base").c_str(), 0555);
  // In a child that cannot bypass permissions; it answers 1 when the message names the cause.
  int named = withoutFilePermissionOverride([&] {
    try {
      d.c("Text1").userType("new");
      d.c("Command1").click();
    } catch (...) {
      return 0;  // the child must not go on running the other tests
    }
    return services.messages.size() == 1 &&
                   services.messages[0].text ==
                       "フォルダを作成できませんでした\r\nQ:\\base\\new\r\n原因： " +
                           failureCause(kErrPermissionDenied) &&
                   app.forms.loaded(zv::windows::kNewFolder)
               ? 1
               : 0;
  });
  chmod((root / "base").c_str(), 0755);
  EXPECT_EQ(named, 1);
  EXPECT_FALSE(stdfs::exists(root / "base/new"));
}

TEST_F(NewFolder, RenameModeRenamesTheUtilitysSelectedFile) {
  Form& util = app.forms.get(zv::windows::kFileUtility);
  util.c("Dir1").setPath("Q:\\files");
  util.c("File1").setPath("Q:\\files");
  util.c("Label2").setCaption("Q:\\files\\a.txt");
  Form& d = open(Purpose::Rename, "ファイル名の変更", "Q:\\files\\");
  d.c("Label1").setCaption("新しいﾌｧｲﾙの名前：");
  d.c("Command1").click();
  EXPECT_EQ(services.messages.back().text, "新しいファイル名を入力してください");
  EXPECT_EQ(services.messages.back().title, "ファイル名の変更");
  d.c("Text1").userType("b.lzh");
  d.c("Command1").click();
  EXPECT_EQ(services.messages.back().text, "同名ファイルが存在します");
  d.c("Text1").userType("renamed.txt");
  d.c("Command1").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kNewFolder));
  EXPECT_TRUE(stdfs::exists(root / "files/renamed.txt"));
  EXPECT_FALSE(stdfs::exists(root / "files/a.txt"));
  EXPECT_EQ(util.c("Label2").caption(), "Q:\\files\\renamed.txt");
  EXPECT_EQ(util.c("File1").items(), (std::vector<std::string>{"b.lzh", "noext", "renamed.txt"}));
}

TEST_F(NewFolder, RenameOfAFileThatIsGoneIsReported) {
  Form& util = app.forms.get(zv::windows::kFileUtility);
  util.c("Dir1").setPath("Q:\\files");
  util.c("Label2").setCaption("Q:\\files");  // a folder: no file was pressed
  Form& d = open(Purpose::Rename, "ファイル名の変更", "Q:\\files\\");
  d.c("Text1").userType("z");
  d.c("Command1").click();
  EXPECT_EQ(services.messages.back().text, "名前を変更するファイルが見つかりません\r\nQ:\\files");
  EXPECT_TRUE(app.forms.loaded(zv::windows::kNewFolder));
  EXPECT_TRUE(stdfs::is_directory(root / "files"));
}

// The caption is only shown: a dialog that no opener gave a request does nothing, whatever
// its caption says.
TEST_F(NewFolder, WithoutARequestNothingHappens) {
  Form& d = open(Purpose::None, "新規フォルダの作成 -圧縮-", "Q:\\x\\");
  d.c("Text1").userType("n");
  EXPECT_EQ(d.c("Label2").caption(), "Q:\\x\\");
  d.c("Command1").click();
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(app.forms.loaded(zv::windows::kNewFolder));
}

}  // namespace
}  // namespace zv::test
