// Testing and rescuing damaged ZIP archives made by zip: the local headers are walked when
// the central directory is lost (data descriptors and ZIP64 included), damaged members are
// never written, and every lost member is named with a non-zero result.
#include <gtest/gtest.h>

#include "zip_test_support.h"

using namespace zv::zip::test;

namespace {

class ZipRescue : public ::testing::Test {
 protected:
  TempDrive drive;
  // a.txt, b.bin and c.txt made by zip with `how` ("" plain, "-fz" ZIP64, "pipe" with data
  // descriptors), damaged by `damage`.
  std::string made(const std::string& name, const std::string& how, void (*damage)(std::string&)) {
    std::string text;
    for (int k = 0; text.size() < 30000; ++k) text += "w" + std::to_string(k * k % 977) + " ";
    writeFile(drive / "src/a.txt", text);
    writeFile(drive / "src/b.bin", randomData(20000, 3));
    writeFile(drive / "src/c.txt", text + "c");
    const std::string src = (drive / "src").string();
    if (how == "pipe")
      run("cd " + src + " && zip -q - a.txt b.bin c.txt | cat > ../" + name);
    else
      run("cd " + src + " && zip -q " + how + " ../" + name + " a.txt b.bin c.txt");
    std::string bytes = readFile(drive / name);
    damage(bytes);
    writeFile(drive / name, bytes);
    return "T:\\" + name;
  }
};

void loseDirectory(std::string& b) {
  size_t at = b.find(std::string("PK\x01\x02", 4));
  b.replace(at, std::string::npos, b.size() - at, '\xAA');
}

}  // namespace

TEST_F(ZipRescue, LostDirectoryIsReadFromTheLocalHeaders) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  for (std::string how : {"", "-fz", "pipe"}) {
    SCOPED_TRACE(how);
    std::string arc = made("nodir" + how + ".zip", how, loseDirectory);
    auto t = unzip("-t \"" + arc + "\"");
    EXPECT_EQ(t.code, ZV_ERROR_BROKEN_ARCHIVE) << t.output;
    EXPECT_NE(t.output.find("3 個正常、0 個破損"), std::string::npos) << t.output;
    fsys::remove_all(drive / "out");
    auto x = unzip("-x --rescue \"" + arc + "\" \"T:\\out\\\"");
    EXPECT_EQ(x.code, 0) << x.output;
    EXPECT_EQ(treeOf(drive / "out"), treeOf(drive / "src"));
  }
}

TEST_F(ZipRescue, CutArchiveKeepsWhatCameBeforeTheCut) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  // Cut inside c.txt's data, or inside its local header's extra field: the directory and
  // c.txt's end are gone.
  for (std::string how : {"", "pipe", "extra"}) {
    SCOPED_TRACE(how);
    std::string arc = made("cut" + how + ".zip", how == "pipe" ? how : "",
                           [](std::string& b) { b.resize(b.find("c.txt") + 2000); });
    if (how == "extra") {
      std::string bytes = readFile(drive / "cutextra.zip");
      bytes.resize(bytes.find("c.txt") + 7);
      writeFile(drive / "cutextra.zip", bytes);
    }
    fsys::remove_all(drive / "out");
    auto x = unzip("-x --rescue \"" + arc + "\" \"T:\\out\\\"");
    EXPECT_EQ(x.code, ZV_ERROR_BROKEN_ARCHIVE) << x.output;
    EXPECT_NE(x.output.find("途中で切れています: c.txt"), std::string::npos) << x.output;
    EXPECT_NE(x.output.find("失われたメンバー: c.txt"), std::string::npos) << x.output;
    EXPECT_EQ(readFile(drive / "out/a.txt"), readFile(drive / "src/a.txt"));
    EXPECT_EQ(readFile(drive / "out/b.bin"), readFile(drive / "src/b.bin"));
    EXPECT_FALSE(fsys::exists(drive / "out/c.txt"));
  }
}

TEST_F(ZipRescue, DamagedDataOrDirectoryEntryLosesOnlyThatMember) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  // A byte of b.bin's data, then b.bin's central entry name: the first fails its CRC and is
  // not written; the second makes the directory disagree with the local headers, which are
  // then read instead and give every member under its local name.
  std::string arc = made("data.zip", "", [](std::string& b) { b[b.find("b.bin") + 5000] ^= 0x55; });
  auto x = unzip("-x --rescue \"" + arc + "\" \"T:\\d\\\"");
  EXPECT_EQ(x.code, ZV_ERROR_CRC) << x.output;
  EXPECT_NE(x.output.find("CRC エラー: b.bin"), std::string::npos) << x.output;
  EXPECT_FALSE(fsys::exists(drive / "d/b.bin"));
  EXPECT_EQ(readFile(drive / "d/c.txt"), readFile(drive / "src/c.txt"));

  arc = made("entry.zip", "", [](std::string& b) {
    b[b.find("b.bin", b.find(std::string("PK\x01\x02", 4)))] ^= 0x20;
  });
  x = unzip("-x --rescue \"" + arc + "\" \"T:\\e\\\"");
  EXPECT_EQ(treeOf(drive / "e"), treeOf(drive / "src"));
  // Which of the two names is the damaged one cannot be told: said, and not a success.
  EXPECT_EQ(x.code, ZV_ERROR_BROKEN_ARCHIVE) << x.output;
  EXPECT_NE(x.output.find("名前が違います: b.bin / B.bin"), std::string::npos) << x.output;
}

TEST_F(ZipRescue, WithoutDirectoryADamagedLocalHeaderIsNamedAndSkipped) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  // b.bin's signature off by one byte, or its packed size running past the end of the file:
  // b.bin is lost and named, a.txt and c.txt are still taken out.
  struct Case {
    const char* name;
    void (*damage)(std::string&);
  } cases[] = {
      {"sig.zip",
       [](std::string& b) {
         loseDirectory(b);
         b[b.find("b.bin") - 30] ^= 0x01;
       }},
      {"size.zip",
       [](std::string& b) {
         loseDirectory(b);
         b[b.find("b.bin") - 30 + 21] = '\x7F';
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string arc = made(c.name, "", c.damage);
    fsys::remove_all(drive / "out");
    auto x = unzip("-x --rescue \"" + arc + "\" \"T:\\out\\\"");
    EXPECT_EQ(x.code, ZV_ERROR_BROKEN_ARCHIVE) << x.output;
    EXPECT_NE(x.output.find("ヘッダ破損: b.bin"), std::string::npos) << x.output;
    EXPECT_NE(x.output.find("失われたメンバー: b.bin"), std::string::npos) << x.output;
    EXPECT_FALSE(fsys::exists(drive / "out/b.bin"));
    EXPECT_EQ(readFile(drive / "out/a.txt"), readFile(drive / "src/a.txt"));
    EXPECT_EQ(readFile(drive / "out/c.txt"), readFile(drive / "src/c.txt"));
  }
}

TEST_F(ZipRescue, ExistingFileDoesNotHideADamagedMember) {
  if (!haveTool("zip") || !haveTool("unzip")) GTEST_SKIP() << "zip or unzip missing";
  // b.bin fails its CRC (unzip finds so too), and the folder already holds a.txt and b.bin:
  // both are kept, a.txt is said to be skipped, b.bin is still read and reported damaged
  // (and with --keep-damaged written under its marked name).
  std::string arc = made("data.zip", "", [](std::string& b) { b[b.find("b.bin") + 5000] ^= 0x55; });
  EXPECT_NE(run("unzip -tqq " + (drive / "data.zip").string() + " >/dev/null 2>&1"), 0);
  for (std::string opts : {"--rescue", "--keep-damaged"}) {
    SCOPED_TRACE(opts);
    writeFile(drive / opts / "a.txt", "mine");
    writeFile(drive / opts / "b.bin", "mine");
    auto x = unzip("-x " + opts + " \"" + arc + "\" \"T:\\" + opts + "\\\"");
    EXPECT_EQ(x.code, ZV_ERROR_CRC) << x.output;
    EXPECT_NE(x.output.find("CRC エラー: b.bin"), std::string::npos) << x.output;
    EXPECT_NE(x.output.find("スキップしました: a.txt"), std::string::npos) << x.output;
    EXPECT_EQ(x.output.find("スキップしました: b.bin"), std::string::npos) << x.output;
    EXPECT_EQ(readFile(drive / opts / "a.txt"), "mine");
    EXPECT_EQ(readFile(drive / opts / "b.bin"), "mine");
    EXPECT_EQ(fsys::exists(drive / opts / "b (破損).bin"), opts == "--keep-damaged");
  }
}

TEST_F(ZipRescue, DamagedMembersAreKeptUnderAMarkedNameOnlyWhenAsked) {
  if (!haveTool("zip") || !haveTool("7z")) GTEST_SKIP() << "zip or 7z missing";
  // b.bin fails its CRC; the archive also holds an intact "b (破損).bin", which keeps its
  // own name: the damaged data goes to the next marked name.
  writeFile(drive / "src/b (破損).bin", "intact member");
  std::string arc = made("data.zip", "", [](std::string& b) { b[b.find("b.bin") + 5000] ^= 0x55; });
  run("cd " + (drive / "src").string() + " && zip -q ../data.zip 'b (破損).bin'");
  auto x = unzip("-x --rescue \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(treeOf(drive / "out").count("b (破損 2).bin"), 0u) << "only when asked";
  x = unzip("-x --keep-damaged \"" + arc + "\" \"T:\\kept\\\"");
  EXPECT_EQ(x.code, ZV_ERROR_CRC) << x.output;
  EXPECT_NE(x.output.find("破損したまま書き出しました: b.bin → b (破損 2).bin"), std::string::npos)
      << x.output;
  EXPECT_FALSE(fsys::exists(drive / "kept/b.bin"));
  EXPECT_EQ(readFile(drive / "kept/b (破損).bin"), "intact member");
  // The bytes are the decoder's, as another tool decodes the same damaged data.
  run("cd " + (drive / "").string() + " && 7z x -y -oseven data.zip b.bin >/dev/null");
  EXPECT_EQ(readFile(drive / "kept/b (破損 2).bin"), readFile(drive / "seven/b.bin"));

  // A member written through a pipe and cut short: its length unknown, what the bytes before
  // the cut decode to is the member's beginning.
  arc = made("cut.zip", "pipe", [](std::string& b) { b.resize(b.find("c.txt") + 2000); });
  x = unzip("-x --keep-damaged \"" + arc + "\" \"T:\\cut\\\"");
  std::string kept = readFile(drive / "cut/c (破損).txt");
  ASSERT_GT(kept.size(), 1000u) << x.output;
  EXPECT_EQ(kept.substr(0, 1000), readFile(drive / "src/c.txt").substr(0, 1000));
}

TEST_F(ZipRescue, LaterEntryOfANameReplacesOnlyWhatTheRunWrote) {
  // An archive updated by appending holds a name twice, the later entry the newer; read from
  // the directory or, with it lost, from the local headers. A file there before is kept.
  for (bool lost : {false, true}) {
    SCOPED_TRACE(lost);
    std::string bytes = buildZip({{"a.txt", "old"}, {"b.txt", "b"}, {"a.txt", "new"}});
    if (lost) loseDirectory(bytes);
    writeFile(drive / "twice.zip", bytes);
    fsys::remove_all(drive / "out");
    writeFile(drive / "out/b.txt", "mine");
    auto x = unzip("-x --rescue \"T:\\twice.zip\" \"T:\\out\\\"");
    EXPECT_EQ(readFile(drive / "out/a.txt"), "new") << x.output;
    EXPECT_EQ(readFile(drive / "out/b.txt"), "mine");
  }
}

TEST_F(ZipRescue, LostDirectoryNamesMembersAsTheDirectoryDoes) {
  // Names of other tools without a UTF-8 mark (EUC-JP, decomposed UTF-8): read in the one
  // encoding that suits the archive and composed, whether from the directory or, with it
  // lost, from the local headers; a chosen encoding holds for both.
  for (std::string name : {"bsdtar-eucjp.zip", "zip-decomposed.zip", "bsdtar-cp932.zip"}) {
    SCOPED_TRACE(name);
    std::string bytes = readFile(std::string(ZV_TEST_DATA) + "/names/" + name);
    writeFile(drive / "whole.zip", bytes);
    loseDirectory(bytes);
    writeFile(drive / "nodir.zip", bytes);
    fsys::remove_all(drive / "a"), fsys::remove_all(drive / "b");
    unzip("-x --rescue \"T:\\whole.zip\" \"T:\\a\\\"");
    auto x = unzip("-x --rescue \"T:\\nodir.zip\" \"T:\\b\\\"");
    EXPECT_EQ(treeOf(drive / "b"), treeOf(drive / "a")) << x.output;
    EXPECT_GE(treeOf(drive / "b").size(), 3u);
  }
  fsys::remove_all(drive / "c");
  unzip("-x --rescue --charset=latin1 \"T:\\nodir.zip\" \"T:\\c\\\"");
  unzip("-x --charset=latin1 \"T:\\whole.zip\" \"T:\\d\\\"");
  EXPECT_EQ(treeOf(drive / "c"), treeOf(drive / "d"));
}

TEST_F(ZipRescue, OneDamagedNameDoesNotDecideHowTheOthersAreRead) {
  // A byte of one name flipped, in a local header (CP932 names) or in the directory
  // (decomposed UTF-8 names): the headers are read then, and the other names as the intact
  // archive's are, not in an encoding the damaged name happens to suit.
  struct Case {
    const char* file;
    void (*damage)(std::string&);
    size_t lost;  // the member whose local name is damaged; a directory's name costs none
  } cases[] = {
      {"bsdtar-cp932.zip",
       [](std::string& b) { b[b.find("\x93\xfa\x96\x7b\x8c\xea") + 9] ^= 0x55; }, 1},
      {"zip-decomposed.zip",
       [](std::string& b) { b[b.find("\xe3\x81\x8b", b.find("PK\x01\x02"))] ^= 0x55; }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string bytes = readFile(std::string(ZV_TEST_DATA) + "/names/" + c.file);
    writeFile(drive / "whole.zip", bytes);
    c.damage(bytes);
    writeFile(drive / "hurt.zip", bytes);
    fsys::remove_all(drive / "a"), fsys::remove_all(drive / "b");
    unzip("-x --rescue \"T:\\whole.zip\" \"T:\\a\\\"");
    auto x = unzip("-x --rescue \"T:\\hurt.zip\" \"T:\\b\\\"");
    EXPECT_EQ(x.code, ZV_ERROR_BROKEN_ARCHIVE) << x.output;
    auto want = treeOf(drive / "a"), got = treeOf(drive / "b");
    size_t same = 0;
    for (const auto& [name, data] : want) same += got.count(name) && got[name] == data;
    EXPECT_EQ(same, want.size() - c.lost) << x.output;
  }
}
