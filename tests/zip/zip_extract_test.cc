// UNZIP32.DLL on hand-made archives: the program's command strings with Windows paths,
// Japanese names, folder entries, hostile names and links, damage and encryption.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "zip_test_support.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {
namespace {
using namespace test;

std::vector<std::string> listNames(const std::string& archive) {
  std::vector<std::string> names;
  int count = UnZipGetFileCount(archive.c_str());
  ZvArchive h = UnZipOpenArchive(nullptr, archive.c_str(), 0);
  alignas(4) unsigned char record[ZV_MEMBER_INFO_BUFFER] = {};
  auto* info = reinterpret_cast<ZvMemberInfo*>(record);
  if (count > 0 && UnZipFindFirst(h, "*.*", info) == ZV_FIND_OK) names.push_back(info->name);
  for (int i = 1; i < count; ++i)
    if (UnZipFindNext(h, info) == ZV_FIND_OK) names.push_back(info->name);
  UnZipCloseArchive(h);
  return names;
}

class ZipExtract : public ::testing::Test {
 protected:
  TempDrive drive;
  std::string make(const std::string& name, const std::vector<RawEntry>& entries) {
    writeFile(drive / name, buildZip(entries));
    return "T:\\" + name;
  }
};

TEST_F(ZipExtract, JapaneseNamesListAndExtractByTheirListedNames) {
  const std::string cp932Folder = "\x95\x5C\x8E\xA6";  // 表示 (trail byte 0x5C)
  std::string arc =
      make("jp.zip",
           {
               {cp932Folder + "/", ""},
               {cp932Folder + "/\x83\x5C\x83\x74\x83\x67.txt", "soft"},  // ソフト.txt
               {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "utf8", 0x0800},
               {"\x93\xFA.bin", "extra", 0, unicodePathField("\x93\xFA.bin", "\xE6\x97\xA5-u.bin")},
           });
  auto names = listNames("\"" + arc + "\"");
  const std::string folder = "\xE8\xA1\xA8\xE7\xA4\xBA";
  ASSERT_EQ(names, (std::vector<std::string>{
                       folder + "/", folder + "/\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.txt",
                       "\xE6\x97\xA5\xE6\x9C\xAC.txt", "\xE6\x97\xA5-u.bin"}));
  // The extraction window passes each listed name back, one call per member.
  for (const auto& n : names) {
    if (n.back() == '/') continue;
    auto r = unzip("-x -n --i \"" + arc + "\" \"T:\\out\\\" \"" + n + "\"");
    EXPECT_EQ(r.code, 0) << r.output;
  }
  EXPECT_EQ(readFile(drive / ("out/" + folder + "/\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.txt")),
            "soft");
  EXPECT_EQ(readFile(drive / "out/\xE6\x97\xA5\xE6\x9C\xAC.txt"), "utf8");
  EXPECT_EQ(readFile(drive / "out/\xE6\x97\xA5-u.bin"), "extra");
}

TEST_F(ZipExtract, NeverOverwriteSkipsAndSaysSo) {
  std::string arc = make("a.zip", {{"dir/Name.TXT", "new"}, {"other.txt", "x"}});
  writeFile(drive / "out/dir/Name.TXT", "old");
  auto r = unzip("-x -n --i \"" + arc + "\" \"T:\\out\\\" \"DIR/name.txt\"");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("スキップ"), std::string::npos) << r.output;
  EXPECT_EQ(readFile(drive / "out/dir/Name.TXT"), "old");
  EXPECT_FALSE(fsys::exists(drive / "out/other.txt"));  // only the named member
  // Without --i the case must match.
  r = unzip("-x -n \"" + arc + "\" \"T:\\out\\\" \"dir/name.txt\"");
  EXPECT_NE(r.code, 0);
  // -o replaces.
  r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(readFile(drive / "out/dir/Name.TXT"), "new");
}

TEST_F(ZipExtract, HostileNamesNeverLeaveTheDestination) {
  RawEntry linkOut{"link", "../../outside", 0, "", (0120777u << 16), 3};
  RawEntry linkIn{"sub/ok-link", "../good.txt", 0, "", (0120777u << 16), 3};
  std::string arc = make("evil.zip", {
                                         {"../evil1.txt", "x"},
                                         {"a/../../evil2.txt", "x"},
                                         {"/tmp/evil3.txt", "x"},
                                         {"C:\\evil4.txt", "x"},
                                         {"..\\evil5.txt", "x"},
                                         linkOut,
                                         {"link/through.txt", "x"},
                                         {"good.txt", "good"},
                                         linkIn,
                                     });
  auto r = unzip("-x -n --i \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_UNSAFE_NAME) << r.output;
  EXPECT_EQ(readFile(drive / "out/good.txt"), "good");
  EXPECT_EQ(fsys::read_symlink(drive / "out/sub/ok-link").string(), "../good.txt");
  EXPECT_FALSE(fsys::is_symlink(drive / "out/link"));  // refused; "link/" became a real folder
  // Nothing anywhere but inside out/ (and the archive itself).
  for (auto& e : fsys::recursive_directory_iterator(drive.root())) {
    std::string rel = fsys::relative(e.path(), drive.root()).string();
    EXPECT_TRUE(rel == "evil.zip" || rel.rfind("out", 0) == 0) << rel;
  }
  EXPECT_FALSE(fsys::exists("/tmp/evil3.txt"));

  // A symbolic link already in the destination is not followed.
  fsys::create_directories(drive / "elsewhere");
  fsys::create_directories(drive / "out2");
  fsys::create_directory_symlink(drive / "elsewhere", drive / "out2/sub");
  std::string arc2 = make("through.zip", {{"sub/file.txt", "x"}});
  r = unzip("-x -o \"" + arc2 + "\" \"T:\\out2\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_UNSAFE_NAME) << r.output;
  EXPECT_TRUE(fsys::is_empty(drive / "elsewhere"));
}

TEST_F(ZipExtract, CrcErrorLeavesNoFileAndDamageIsAnError) {
  std::string bytes = buildZip({{"a.txt", "hello world, this is a test"}, {"b.txt", "second"}});
  std::string bad = bytes;
  bad[30 + 5 + 3] ^= 0x20;  // inside a.txt's data (local header 30 bytes + name)
  writeFile(drive / "crc.zip", bad);
  auto r = unzip("-x -o \"T:\\crc.zip\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_CRC) << r.output;
  EXPECT_FALSE(fsys::exists(drive / "out/a.txt"));
  EXPECT_EQ(readFile(drive / "out/b.txt"), "second");
  for (auto& e : fsys::directory_iterator(drive / "out"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);

  writeFile(drive / "cut.zip", bytes.substr(0, bytes.size() - 30));
  EXPECT_EQ(UnZipGetFileCount("\"T:\\cut.zip\""), -1);
  r = unzip("-x -o \"T:\\cut.zip\" \"T:\\out3\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_NOT_ARCHIVE) << r.output;
  writeFile(drive / "text.zip", "this is no zip file at all");
  EXPECT_EQ(UnZipGetFileCount("T:\\text.zip"), -1);
  EXPECT_EQ(UnZipGetFileCount("T:\\missing.zip"), -1);
  r = unzip("-x \"T:\\missing.zip\" \"T:\\o\\\"");
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.output.find("(ファイルまたはフォルダが見つかりません)"), std::string::npos)
      << r.output;
}

TEST_F(ZipExtract, VerboseListingShape) {
  std::vector<RawEntry> entries;
  for (int i = 0; i < 10; ++i)
    entries.push_back({"f" + std::to_string(i) + ".txt", std::string(size_t(i * 10), 'a')});
  entries.push_back({"bad\nname.txt", "x"});
  std::string arc = make("ten.zip", entries);
  auto r = unzip("-v \"" + arc + "\"");
  EXPECT_EQ(r.code, 0);
  size_t lines = 0;
  for (size_t p = 0; (p = r.output.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
  EXPECT_EQ(lines, 1 + 2 * 11 + 6u) << r.output;
  EXPECT_NE(r.output.find("f9.txt\r\n"), std::string::npos);
  EXPECT_NE(r.output.find("11 ファイル"), std::string::npos);

  r = unzip("-l \"" + arc + "\"");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("f3.txt"), std::string::npos);

  // A small buffer gets a cut, NUL-terminated text.
  char small[16];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(UnZip(nullptr, ("-v \"" + arc + "\"").c_str(), small, sizeof small), 0);
  EXPECT_EQ(std::strlen(small), 15u);
}

TEST_F(ZipExtract, RecordFields) {
  std::string arc =
      make("r.zip", {{"dir/", ""}, {"dir/x.bin", std::string(1000, 'z'), 0, "", 0x01}});
  ZvArchive h = UnZipOpenArchive(nullptr, arc.c_str(), 0);
  ASSERT_NE(h, nullptr);
  ZvMemberInfo info;
  ASSERT_EQ(UnZipFindFirst(h, "*.bin", &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "dir/x.bin");
  EXPECT_EQ(info.original_size, 1000u);
  EXPECT_EQ(info.date, ((2020 - 1980) << 9) | (1 << 5) | 2);
  EXPECT_STREQ(info.method, "stored");
  EXPECT_STREQ(info.attribute, "-r--");
  EXPECT_EQ(UnZipFindNext(h, &info), ZV_FIND_END);
  UnZipCloseArchive(h);
  EXPECT_EQ(sizeof(ZvMemberInfo), size_t(ZV_MEMBER_INFO_SIZE));
}

int answerPassword(void* user, ZvDecision* d) {
  if (d->kind != ZV_DECIDE_PASSWORD) return 0;
  const char* pw = static_cast<const char*>(user);
  if (!pw) return 0;
  std::strncpy(d->answer, pw, d->answer_size - 1);
  return 1;
}

TEST_F(ZipExtract, EncryptedMembers) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  writeFile(drive / "src/secret.txt", "top secret contents");
  ASSERT_EQ(run("cd " + (drive / "src").string() + " && zip -q -P geheim ../enc.zip secret.txt"),
            0);
  auto r = unzip("-x -n --i \"T:\\enc.zip\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_PASSWORD);
  EXPECT_NE(r.output.find("暗号化"), std::string::npos) << r.output;
  EXPECT_FALSE(fsys::exists(drive / "out/secret.txt"));

  char wrong[] = "wrong";
  ZvHost host{wrong, nullptr, answerPassword};
  UnZipSetHost(&host);
  r = unzip("-x -n --i \"T:\\enc.zip\" \"T:\\out\\\"");
  // The one-byte password check passes a wrong password once in 256; the CRC then fails.
  EXPECT_TRUE(r.code == ZV_ERROR_PASSWORD || r.code == ZV_ERROR_CRC) << r.output;
  EXPECT_FALSE(fsys::exists(drive / "out/secret.txt"));

  char right[] = "geheim";
  host.user = right;
  UnZipSetHost(&host);
  r = unzip("-x -n --i \"T:\\enc.zip\" \"T:\\out\\\"");
  UnZipSetHost(nullptr);
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(readFile(drive / "out/secret.txt"), "top secret contents");
}

// What stops a run is said in Japanese, whatever the system's own words for it are.
TEST_F(ZipExtract, FileSystemCausesAreSaidInJapanese) {
  std::string archive = make("a.zip", {{"a.txt", "text"}});
  writeFile(drive / "plain.txt", "a file where a folder is expected");
  auto r = unzip("-x \"" + archive + "\" \"T:\\plain.txt\\out\\\"");
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.output.find("解凍先のフォルダを開けません (パスの途中がフォルダではありません)"),
            std::string::npos)
      << r.output;
}

// The cancel button of the progress window is answered inside a large member: the host hears
// of it before the member's end, the run stops there and no file is left under its name. The
// progress names the archive as the command gave it, as the LZH library's does.
struct CancelAt {
  uint64_t memberSize;
  uint64_t heardInside = 0;  // the bytes done when a report came inside the first member
  std::string archive;
};
int cancelInsideMember(void* user, const ZvProgress* p) {
  auto* c = static_cast<CancelAt*>(user);
  c->archive = p->archive;
  if (p->state != ZV_PROGRESS_MEMBER || p->done == 0) return 0;
  if (p->done < c->memberSize) c->heardInside = p->done;
  return 1;
}

TEST_F(ZipExtract, CancelStopsInsideALargeMember) {
  const std::string big = randomData(3 << 20, 7);
  std::string archive = make("big.zip", {{"big.bin", big}, {"after.txt", "later"}});
  CancelAt cancel{big.size()};
  ZvHost host{&cancel, cancelInsideMember, nullptr};
  UnZipSetHost(&host);
  auto r = unzip("-x -o \"" + archive + "\" \"T:\\out\\\"");
  UnZipSetHost(nullptr);
  EXPECT_EQ(r.code, ZV_ERROR_USER_CANCEL) << r.output;
  EXPECT_GT(cancel.heardInside, 0u);
  EXPECT_EQ(cancel.archive, archive);
  EXPECT_TRUE(treeOf(drive / "out").empty()) << "neither member, nor a temporary file";
}

// Symbolic-link entries a -> . then b -> a/.. (as `zip -y` stores them): b leads outside
// through a and is refused; the links themselves are resolved through what is written. So is
// d -> later/.. written before a link "later" -> . that would take it outside.
TEST_F(ZipExtract, LinkChainsLeadingOutsideAreRefused) {
  const uint32_t link = 0120777u << 16;
  std::string arc = make("chain.zip", {{"a", ".", 0, "", link, 3},
                                       {"b", "a/..", 0, "", link, 3},
                                       {"c", "a/x", 0, "", link, 3},
                                       {"d", "later/..", 0, "", link, 3},
                                       {"later", ".", 0, "", link, 3}});
  auto r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_UNSAFE_NAME) << r.output;
  EXPECT_EQ(fsys::read_symlink(drive / "out/a").string(), ".");
  EXPECT_FALSE(fsys::is_symlink(drive / "out/b"));
  EXPECT_TRUE(fsys::is_symlink(drive / "out/c"));
  EXPECT_FALSE(fsys::is_symlink(drive / "out/d"));
  EXPECT_TRUE(fsys::is_symlink(drive / "out/later"));
  if (!haveTool("zip")) return;
  // The same made by the real tool.
  fsys::create_directories(drive / "src");
  fsys::create_symlink(".", drive / "src/a");
  fsys::create_symlink("a/..", drive / "src/b");
  ASSERT_EQ(run("cd '" + (drive / "src").string() + "' && LC_ALL=C.UTF-8 zip -q -y ../y.zip a b"),
            0);
  r = unzip("-x -o \"T:\\y.zip\" \"T:\\out2\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_UNSAFE_NAME) << r.output;
  EXPECT_TRUE(fsys::is_symlink(drive / "out2/a"));
  EXPECT_FALSE(fsys::is_symlink(drive / "out2/b"));
}

// Control characters in names (an escape sequence, a bell, a newline forging an output line)
// become '_' in listings, output and file names, as in LZH names.
TEST_F(ZipExtract, ControlCharactersInNamesAreReplaced) {
  std::string arc =
      make("ctl.zip", {{"evil\n\xE8\xA7\xA3\xE5\x87\x8D: x.txt", "1"}, {"esc\x1b[2J\a.txt", "2"}});
  EXPECT_EQ(listNames(arc),
            (std::vector<std::string>{"evil_\xE8\xA7\xA3\xE5\x87\x8D: x.txt", "esc_[2J_.txt"}));
  auto r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, 0) << r.output;
  for (char c : r.output) EXPECT_FALSE((unsigned char)c < 0x20 && c != '\r' && c != '\n');
  EXPECT_EQ(r.output.find("\n\xE8\xA7\xA3\xE5\x87\x8D: x.txt"), std::string::npos) << r.output;
  EXPECT_EQ(readFile(drive / "out/evil_\xE8\xA7\xA3\xE5\x87\x8D: x.txt"), "1");
  EXPECT_EQ(readFile(drive / "out/esc_[2J_.txt"), "2");
}

}  // namespace
}  // namespace zv::zip
