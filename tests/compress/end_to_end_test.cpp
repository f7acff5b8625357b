// The whole compression road with the real libraries of the build's SYSTEM folder; the
// archives are checked with other tools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "compress_fixture.h"
#include "core/libraries/archivers.h"
#include "platform/folders.h"
#include "tests/support/tool_locale.h"

namespace zv::test {
namespace {

namespace stdfs = std::filesystem;

bool haveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int run(const std::string& command) {
  return std::system(("(" + zv::test::inToolLocale(command) + ") >/dev/null 2>&1").c_str());
}

class EndToEnd : public CompressTest {
 protected:
  void SetUp() override {
    CompressTest::SetUp();
    if (!stdfs::exists(std::string(ZV_SYSTEM_DIR) + "/UNLHA32.DLL"))
      GTEST_SKIP() << "UNLHA32.DLL not built";
    real = std::make_unique<ArchiverSet>(windowsPath(ZV_SYSTEM_DIR));
    folders::overrideSystemFolder(windowsPath(ZV_SYSTEM_DIR));
    app.archivers = real.get();
    root.write("src/日本語 メモ.txt", "漢字のファイル\r\n");
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "line " + std::to_string(i * 7919 % 1000) + "\n";
    root.write("src/big.txt", big);
  }
  void TearDown() override {
    if (real) real->unloadAll();
    CompressTest::TearDown();
  }

  void createLzh(const std::vector<std::string>& names, const std::string& archive) {
    Form& c2 = comp2(names);
    c2.c("Text1").userType(archive);
    create(c2);
    ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
  }

  void expectSameFile(const std::string& a, const std::string& b) {
    ASSERT_TRUE(stdfs::exists(a)) << a;
    EXPECT_EQ(readFile(a), readFile(b)) << a;
  }

  std::unique_ptr<ArchiverSet> real;
};

TEST_F(EndToEnd, LzhArchiveIsReadByLhasaAnd7z) {
  createLzh({"a.txt", "c d.txt", "big.txt", "日本語 メモ.txt"}, "pack");
  std::string archive = root / "out/pack.lzh";
  ASSERT_TRUE(stdfs::exists(archive));
  if (haveTool("lhasa")) {
    EXPECT_EQ(run("lhasa t '" + archive + "'"), 0);
    EXPECT_EQ(run("lhasa l '" + archive + "'"), 0);
    root.mkdir("x1");
    ASSERT_EQ(run("cd '" + (root / "x1") + "' && lhasa -x '" + archive + "'"), 0);
    for (const char* n : {"a.txt", "c d.txt", "big.txt"})
      expectSameFile(root / ("x1/" + std::string(n)), root / ("src/" + std::string(n)));
  }
  if (haveTool("7z")) {
    root.mkdir("x2");
    ASSERT_EQ(run("7z x -y -o'" + (root / "x2") + "' '" + archive + "'"), 0);
    for (const char* n : {"a.txt", "c d.txt", "big.txt"})
      expectSameFile(root / ("x2/" + std::string(n)), root / ("src/" + std::string(n)));
  }
}

TEST_F(EndToEnd, UpdatingAnExistingArchiveKeepsItsMembers) {
  createLzh({"a.txt"}, "pack");
  createLzh({"b.txt"}, "pack");
  if (!haveTool("lhasa")) GTEST_SKIP() << "lhasa missing";
  root.mkdir("x");
  ASSERT_EQ(run("cd '" + (root / "x") + "' && lhasa -x '" + (root / "out/pack.lzh") + "'"), 0);
  expectSameFile(root / "x/a.txt", root / "src/a.txt");
  expectSameFile(root / "x/b.txt", root / "src/b.txt");
}

TEST_F(EndToEnd, ModeAllStoresTheFolderTreeUnderItsName) {
  root.write("src/sub/deep.txt", "deep\n");
  app.shared.DirectoryMode = "ALL";
  press(comp1().c("Image4"));
  Form& c2 = app.forms.get(zv::windows::kArchiveCreation);
  c2.c("Text1").userType("tree");
  create(c2);
  ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
  if (!haveTool("lhasa")) GTEST_SKIP() << "lhasa missing";
  std::string archive = root / "out/tree.lzh";
  EXPECT_EQ(run("lhasa t '" + archive + "'"), 0);
  root.mkdir("x");
  ASSERT_EQ(run("cd '" + (root / "x") + "' && lhasa -x '" + archive + "'"), 0);
  expectSameFile(root / "x/src/a.txt", root / "src/a.txt");
  expectSameFile(root / "x/src/sub/deep.txt", root / "src/sub/deep.txt");
}

TEST_F(EndToEnd, ModeAllOnADriveRootStoresTheFilesRelativeToTheRoot) {
  DriveTable::instance().set('R', root / "src");
  root.write("src/sub/deep.txt", "deep\n");
  app.shared.DirectoryMode = "ALL";
  comp1().c("Dir1").setPath("R:\\");
  press(comp1().c("Image4"));
  Form& c2 = app.forms.get(zv::windows::kArchiveCreation);
  c2.c("Text1").userType("drive");
  create(c2);
  DriveTable::instance().remove('R');
  ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
  if (!haveTool("lhasa")) GTEST_SKIP() << "lhasa missing";
  root.mkdir("x");
  ASSERT_EQ(run("cd '" + (root / "x") + "' && lhasa -x '" + (root / "out/drive.lzh") + "'"), 0);
  expectSameFile(root / "x/a.txt", root / "src/a.txt");
  expectSameFile(root / "x/sub/deep.txt", root / "src/sub/deep.txt");
}

TEST_F(EndToEnd, IshTextRestoresToTheOriginalBytes) {
  if (!stdfs::exists(std::string(ZV_SYSTEM_DIR) + "/ISH32.DLL"))
    GTEST_SKIP() << "ISH32.DLL not built";
  comp1().c("Option5").click();
  ASSERT_TRUE(comp1().c("Picture1").visible());
  Form& c2 = comp2({"big.txt"});
  c2.c("Text1").userType("memo");
  create(c2);
  ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
  std::string ish = root / "out/memo.ish";
  ASSERT_TRUE(stdfs::exists(ish));
  IshLibrary* lib = real->ish();
  ASSERT_NE(lib, nullptr);
  EXPECT_NE(lib->checkArchive("Q:\\out\\memo.ish"), 0);
  root.mkdir("restored");
  EXPECT_EQ(lib->run("Q:\\out\\memo.ish /r /f=Q:\\restored"), 0) << lib->lastOutput();
  expectSameFile(root / "restored/big.txt", root / "src/big.txt");
}

}  // namespace
}  // namespace zv::test
