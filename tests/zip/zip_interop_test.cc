// Archives made at test time by Info-ZIP zip, 7z and bsdtar: UNZIP32.DLL extracts them
// byte-identical to Info-ZIP unzip, lists them in archive order, and reads ZIP64, bzip2 and
// LZMA members where libzip has them.
#include <gtest/gtest.h>

#include <cstring>

#include "zip_test_support.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {
namespace {
using namespace test;

int unzipCall(const std::string& command, std::string* output = nullptr) {
  std::vector<char> buffer(1024, ' ');
  int r = UnZip(nullptr, command.c_str(), buffer.data(), uint32_t(buffer.size()));
  if (output) *output = buffer.data();
  return r;
}

class ZipInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    src = drive / "src";
    writeFile(src / "readme.txt", "Hello\r\nzip\r\n");
    writeFile(src / "empty.dat", "");
    writeFile(src / "bin/random.bin", randomData(300000, 1));
    writeFile(src / "bin/zeros.bin", std::string(500000, '\0'));
    writeFile(src / "deep/er/still/file.txt", std::string(5000, 'q'));
    writeFile(src / "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "japanese name");
    expected = treeOf(src);
  }

  // Extracts with the library (one call for all) and with Info-ZIP unzip; both must give
  // the source tree.
  void checkArchive(const std::string& rel) {
    SCOPED_TRACE(rel);
    const std::string arc = "T:\\" + rel;
    std::string out;
    ASSERT_EQ(unzipCall("-x -n --i \"" + arc + "\" \"T:\\lib-" + rel + "\\\"", &out), 0) << out;
    auto ours = treeOf(drive / ("lib-" + rel));
    EXPECT_EQ(ours, expected);
    if (haveTool("unzip")) {
      run("unzip -q -o " + (drive / rel).string() + " -d " + (drive / ("ref-" + rel)).string());
      auto ref = treeOf(drive / ("ref-" + rel));
      for (auto& [name, bytes] : ref) {
        if (name.find("\xE6\x97\xA5") != std::string::npos) continue;  // unzip's own name guess
        EXPECT_EQ(ours[name], bytes) << name;
      }
    }
    // Member by member, as the extraction window does it.
    int count = UnZipGetFileCount(("\"" + arc + "\"").c_str());
    ASSERT_GT(count, 0);
    ZvArchive h = UnZipOpenArchive(nullptr, ("\"" + arc + "\"").c_str(), 0);
    ZvMemberInfo info{};
    std::vector<std::string> names;
    UnZipFindFirst(h, "*.*", &info);
    names.push_back(info.name);
    for (int i = 1; i < count; ++i) UnZipFindNext(h, &info), names.push_back(info.name);
    UnZipCloseArchive(h);
    for (const auto& n : names) {
      if (n.back() == '/') continue;
      ASSERT_EQ(unzipCall("-x -n --i " + std::string("\"") + arc + "\" \"T:\\one-" + rel +
                          "\\\" \"" + n + "\""),
                0)
          << n;
    }
    EXPECT_EQ(treeOf(drive / ("one-" + rel)), expected);
  }

  TempDrive drive;
  fsys::path src;
  std::map<std::string, std::string> expected;
};

TEST_F(ZipInterop, InfoZip) {
  if (!haveTool("zip")) GTEST_SKIP();
  ASSERT_EQ(run("cd " + src.string() + " && zip -q -r ../infozip.zip ."), 0);
  checkArchive("infozip.zip");
  // Forced ZIP64 records.
  ASSERT_EQ(run("cd " + src.string() + " && zip -q -r -fz ../zip64.zip ."), 0);
  checkArchive("zip64.zip");
  // Stored only.
  ASSERT_EQ(run("cd " + src.string() + " && zip -q -r -0 ../stored.zip ."), 0);
  checkArchive("stored.zip");
}

TEST_F(ZipInterop, SevenZip) {
  if (!haveTool("7z")) GTEST_SKIP();
  ASSERT_EQ(run("cd " + src.string() + " && 7z a -tzip ../7z.zip ."), 0);
  checkArchive("7z.zip");
  const char* caps = UnZipGetCapabilities();
  if (std::strstr(caps, "bzip2")) {
    ASSERT_EQ(run("cd " + src.string() + " && 7z a -tzip -mm=BZip2 ../bz.zip ."), 0);
    checkArchive("bz.zip");
  }
  ASSERT_EQ(run("cd " + src.string() + " && 7z a -tzip -mm=LZMA ../lzma.zip ."), 0);
  if (std::strstr(caps, "lzma")) {
    checkArchive("lzma.zip");
    // A damaged byte inside the LZMA data: an error and no half-written file.
    std::string bytes = readFile(drive / "lzma.zip");
    bytes[bytes.size() / 3] = char(bytes[bytes.size() / 3] ^ 0x5A);
    writeFile(drive / "lzma-bad.zip", bytes);
    std::string out;
    EXPECT_NE(unzipCall("-x -n --i \"T:\\lzma-bad.zip\" \"T:\\lzma-bad\\\"", &out), 0) << out;
    for (auto& [name, data] : treeOf(drive / "lzma-bad")) {
      EXPECT_EQ(name.find(".tmp"), std::string::npos);
      EXPECT_TRUE(data == expected[name]) << name;
    }
  } else {
    // A method this libzip lacks: a clear error, no file of that member.
    std::string out;
    EXPECT_EQ(unzipCall("-x -n --i \"T:\\lzma.zip\" \"T:\\lzma-out\\\" \"bin/zeros.bin\"", &out),
              ZV_ERROR_METHOD);
    EXPECT_NE(out.find("lzma"), std::string::npos) << out;
    EXPECT_FALSE(fsys::exists(drive / "lzma-out/bin/zeros.bin"));
  }
}

TEST_F(ZipInterop, SevenZipShiftJisNames) {
  if (!haveTool("7z")) GTEST_SKIP();
  fsys::path jp = drive / "jp";
  // 表示/ソフト.txt: both names hold CP932 trail bytes 0x5C.
  writeFile(jp / "\xE8\xA1\xA8\xE7\xA4\xBA/\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.txt", "sjis");
  ASSERT_EQ(run("cd " + jp.string() + " && 7z a -tzip -mcp=932 ../sjis.zip ."), 0);
  std::string out;
  ASSERT_EQ(unzipCall("-x -n --i \"T:\\sjis.zip\" \"T:\\sjis-out\\\"", &out), 0) << out;
  EXPECT_EQ(treeOf(drive / "sjis-out"), treeOf(jp));
}

TEST_F(ZipInterop, Bsdtar) {
  if (!haveTool("bsdtar")) GTEST_SKIP();
  ASSERT_EQ(run("cd " + src.string() + " && bsdtar --format zip -cf ../bsdtar.zip ."), 0);
  checkArchive("bsdtar.zip");
}

}  // namespace
}  // namespace zv::zip
