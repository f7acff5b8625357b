// Member names of archives made by other tools in other encodings (tests/data/names, see its
// README): detected without help, read as the user chooses, escaped where unreadable, composed,
// and the passwords of Japanese archives.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "zip_test_support.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {
namespace {

using namespace test;

const std::string kData = std::string(ZV_TEST_DATA) + "/names/";

struct Listed {
  std::set<std::string> names;
  int decided = -1;
  bool anyEscaped = false;
};

Listed listWithMode(const std::string& archive, uint32_t mode) {
  Listed out;
  ZvArchive h = UnZipOpenArchive(nullptr, archive.c_str(), mode);
  EXPECT_NE(h, nullptr) << archive;
  if (!h) return out;
  alignas(4) unsigned char record[ZV_MEMBER_INFO_BUFFER] = {};
  auto* info = reinterpret_cast<ZvMemberInfo*>(record);
  for (int r = UnZipFindFirst(h, "*.*", info); r == ZV_FIND_OK; r = UnZipFindNext(h, info)) {
    out.names.insert(info->name);
    out.decided = info->names_decided;
    out.anyEscaped |= (info->name_flags & ZV_NAME_ESCAPED) != 0;
  }
  UnZipCloseArchive(h);
  return out;
}

// The source tree the Japanese archives were made from (README), as each encoding maps the
// wave dash: CP932 reads 0x8160 as U+FF5E, EUC-JP reads 0xA1C1 as U+301C.
std::set<std::string> japaneseTree(const std::string& waveDash, const std::string& prefix) {
  std::set<std::string> s;
  for (std::string n : {"readme.txt", "日本語ファイル.txt", "資料/報告書.txt", "ｶﾀｶﾅ.dat"})
    s.insert(prefix + n);
  s.insert(prefix + waveDash + "波.txt");
  return s;
}

struct Case {
  const char* file;
  int encoding;  // ZV_NAMES_* the names are written in
  std::set<std::string> files;
};

class ZipCharset : public ::testing::Test {
 protected:
  TempDrive drive;
};

TEST_F(ZipCharset, OtherToolsArchivesListAndExtractDetectedOrChosen) {
  const std::string fw = "～", wave = "〜";
  const Case cases[] = {
      {"bsdtar-cp932.zip", ZV_NAMES_SJIS, japaneseTree(fw, "")},
      {"bsdtar-eucjp.zip", ZV_NAMES_EUC, japaneseTree(wave, "")},
      {"7z-cp932.zip", ZV_NAMES_UTF8, japaneseTree(wave, "")},
      {"zip-decomposed.zip", ZV_NAMES_UTF8, {"café.txt", "がぎぐ.txt", "パンフレット.doc"}},
      {"zipcrypto-utf8.zip", ZV_NAMES_UTF8, {"秘密.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string arc = kData + c.file;
    Listed automatic = listWithMode(arc, ZV_NAMES_AUTO);
    Listed chosen = listWithMode(arc, uint32_t(c.encoding));
    EXPECT_EQ(automatic.names, chosen.names);
    EXPECT_FALSE(automatic.anyEscaped);
    if (std::string(c.file) != "7z-cp932.zip")  // its names carry the UTF-8 flag
      EXPECT_EQ(automatic.decided, c.encoding);
    if (std::string(c.file) == "zipcrypto-utf8.zip") continue;  // extracted below
    const std::string own = c.encoding == ZV_NAMES_SJIS  ? " --charset=sjis"
                            : c.encoding == ZV_NAMES_EUC ? " --charset=euc"
                                                         : " --charset=utf8";
    for (const std::string& sw : {std::string(), own}) {
      fsys::remove_all(drive / "out");
      auto r = unzip(std::string("-x") + sw + " \"" + arc + "\" \"T:\\out\\\"");
      EXPECT_EQ(r.code, 0) << sw << r.output;
      std::set<std::string> got;
      for (auto& [name, data] : treeOf(drive / "out")) got.insert(name);
      EXPECT_EQ(got, c.files) << sw;
    }
  }
}

TEST_F(ZipCharset, WrongChoiceEscapesEveryUnreadableNameAndStillExtracts) {
  const std::string arc = kData + "bsdtar-eucjp.zip";
  Listed shown = listWithMode(arc, ZV_NAMES_SJIS);
  EXPECT_TRUE(shown.anyEscaped);
  EXPECT_EQ(shown.decided, ZV_NAMES_SJIS);
  auto r = unzip("-x --charset=sjis \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, 0) << r.output;
  std::set<std::string> written;
  for (auto& [name, data] : treeOf(drive / "out")) written.insert(name);
  // Every member is there, under its listed (escaped) name, inside the destination.
  std::set<std::string> listedFiles;
  for (const std::string& n : shown.names)
    if (n.back() != '/') listedFiles.insert(n.substr(2));  // "./"
  EXPECT_EQ(written, listedFiles);
  EXPECT_NE(unzip("-v --charset=sjis \"" + arc + "\"").output.find("%XX"), std::string::npos);
  // A listed escaped name extracts that member alone.
  std::string one = *std::find_if(listedFiles.begin(), listedFiles.end(),
                                  [](const std::string& n) { return n.find('%') != n.npos; });
  fsys::remove_all(drive / "one");
  r = unzip("-x --charset=sjis \"" + arc + "\" \"T:\\one\\\" \"./" + one + "\"");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_TRUE(fsys::exists(drive / "one" / one));
}

TEST_F(ZipCharset, DecomposedNameAsStoredStillSelectsTheMember) {
  auto r = unzip("-x \"" + kData + "zip-decomposed.zip\" \"T:\\out\\\" \"\xE3\x81\x8B\xE3\x82\x99" +
                 "\xE3\x81\x8D\xE3\x82\x99\xE3\x81\x8F\xE3\x82\x99.txt\"");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_TRUE(fsys::exists(drive / "out/がぎぐ.txt"));
}

int typedPassword(void* user, ZvDecision* d) {
  if (d->kind != ZV_DECIDE_PASSWORD) return 0;
  int& asked = *static_cast<int*>(user);
  ++asked;
  std::strncpy(d->answer, asked == 1 ? "パスワード" : "違う", d->answer_size - 1);
  return 1;
}

TEST_F(ZipCharset, JapanesePasswordOpensUtf8AndCp932Keys) {
  for (const char* file : {"zipcrypto-utf8.zip", "zipcrypto-cp932.zip", "aes-cp932.zip"}) {
    SCOPED_TRACE(file);
    int asked = 0;
    ZvHost host{&asked, nullptr, typedPassword};
    UnZipSetHost(&host);
    fsys::remove_all(drive / "out");
    auto r = unzip(std::string("-x \"") + kData + file + "\" \"T:\\out\\\"");
    UnZipSetHost(nullptr);
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readFile(drive / "out/秘密.txt"), "secret data\n");
  }
}

}  // namespace
}  // namespace zv::zip
