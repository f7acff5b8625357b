// ISH32.DLL through its exported functions: the program's creation and restore command
// lines with Windows paths (unquoted, with blanks), restore modes, the check call, the
// third-party sample and damaged text.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "ish_encoder.h"
#include "ish_files.h"
#include "platform/drives.h"
#include "platform/encoding.h"
#include "sha256.h"
#include "zorvex/archiver_api.h"

namespace {

namespace fsys = std::filesystem;

std::string readFile(const fsys::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const fsys::path& p, const std::string& data) {
  fsys::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

class IshLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zv-ish-test-XXXXXX";
    root = ::mkdtemp(tmpl);
    zv::DriveTable::instance().set('T', root.string());
  }
  void TearDown() override {
    std::error_code ec;
    fsys::remove_all(root, ec);
  }
  fsys::path root;
};

std::string randomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = char(rng());
  return s;
}

TEST_F(IshLibrary, CreateAndRestoreEveryOfferedTypeWithBlanksInPaths) {
  const std::string data = randomBytes(123457, 3);
  writeFile(root / "my src/memo file.txt", data);
  for (const char* sw : {"/s7", "/ss", "/sn", "/s8"}) {
    SCOPED_TRACE(sw);
    std::string cmd = std::string("T:\\my src\\memo file.txt ") + sw +
                      " /ya T:\\my out\\memo file.ish /f=T:\\my out";
    ASSERT_EQ(Ish(nullptr, cmd.c_str()), 0) << IshGetLastOutput();
    ASSERT_TRUE(fsys::exists(root / "my out/memo file.ish"));
    EXPECT_NE(IshCheckArchive("T:\\my out\\memo file.ish", 1), 0);
    ASSERT_EQ(Ish(nullptr, "T:\\my out\\memo file.ish /a /f=T:\\restored here"), 0)
        << IshGetLastOutput();
    EXPECT_TRUE(readFile(root / "restored here/memo file.txt") == data);
    EXPECT_NE(std::string(IshGetLastOutput()).find("memo file.txt"), std::string::npos);
  }
  // The source's time stamp goes along (to the two seconds of MS-DOS time).
  struct stat a, b;
  stat((root / "my src/memo file.txt").c_str(), &a);
  stat((root / "restored here/memo file.txt").c_str(), &b);
  EXPECT_LE(std::llabs(static_cast<long long>(a.st_mtime - b.st_mtime)), 2);
}

TEST_F(IshLibrary, ExistingOutputNeedsYa) {
  writeFile(root / "a.txt", "abc");
  writeFile(root / "a.ish", "keep me");
  EXPECT_NE(Ish(nullptr, "T:\\a.txt /s7 T:\\a.ish /f=T:\\"), 0);
  EXPECT_EQ(readFile(root / "a.ish"), "keep me");
  EXPECT_EQ(Ish(nullptr, "T:\\a.txt /s7 /ya T:\\a.ish /f=T:\\"), 0);
  EXPECT_NE(readFile(root / "a.ish"), "keep me");
  EXPECT_NE(Ish(nullptr, "T:\\missing.txt /s7 /ya T:\\m.ish /f=T:\\"), 0);
  EXPECT_FALSE(fsys::exists(root / "m.ish"));
}

TEST_F(IshLibrary, RestoreModes) {
  writeFile(root / "src/f.txt", "new contents");
  ASSERT_EQ(Ish(nullptr, "T:\\src\\f.txt /ss /ya T:\\f.ish /f=T:\\"), 0);

  // /r: a newer existing file stays; an older one is replaced; a missing one is restored.
  writeFile(root / "out/f.txt", "newer local");
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /r /f=T:\\out"), 0);
  EXPECT_EQ(readFile(root / "out/f.txt"), "newer local");
  EXPECT_NE(std::string(IshGetLastOutput()).find("復元しません"), std::string::npos);
  struct utimbuf old {
    1000000000, 1000000000
  };
  utime((root / "out/f.txt").c_str(), &old);
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /r /f=T:\\out"), 0);
  EXPECT_EQ(readFile(root / "out/f.txt"), "new contents");
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /r /f=T:\\out2"), 0);
  EXPECT_EQ(readFile(root / "out2/f.txt"), "new contents");

  // /n: a file already there stays, however old; a missing one is restored.
  writeFile(root / "out/f.txt", "kept");
  utime((root / "out/f.txt").c_str(), &old);
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /n /f=T:\\out"), 0);
  EXPECT_EQ(readFile(root / "out/f.txt"), "kept");
  EXPECT_NE(std::string(IshGetLastOutput()).find("スキップしました: f.txt"), std::string::npos);
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /n /f=T:\\out3"), 0);
  EXPECT_EQ(readFile(root / "out3/f.txt"), "new contents");

  // /q asks the host: no, then yes; without a host nothing is replaced.
  writeFile(root / "out/f.txt", "ask me");
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /q /f=T:\\out"), 0);
  EXPECT_EQ(readFile(root / "out/f.txt"), "ask me");
  static int answer;
  static std::string asked;
  ZvHost host{nullptr, nullptr, [](void*, ZvDecision* d) {
                asked = d->path;
                return d->kind == ZV_DECIDE_OVERWRITE ? answer : 0;
              }};
  IshSetHost(&host);
  answer = 0;
  Ish(nullptr, "T:\\f.ish /q /f=T:\\out");
  EXPECT_EQ(readFile(root / "out/f.txt"), "ask me");
  EXPECT_EQ(asked, "T:\\out\\f.txt");
  answer = 1;
  EXPECT_EQ(Ish(nullptr, "T:\\f.ish /q /f=T:\\out"), 0);
  EXPECT_EQ(readFile(root / "out/f.txt"), "new contents");
  IshSetHost(nullptr);
}

TEST_F(IshLibrary, ThirdPartySampleThroughTheLibrary) {
  const fsys::path sample = fsys::path(ZV_TEST_DATA_DIR) / "ish/macish-test.ish";
  ASSERT_TRUE(fsys::exists(sample));
  writeFile(root / "in folder/test.ish", readFile(sample));
  EXPECT_NE(IshCheckArchive("\"T:\\in folder\\test.ish\"", 1), 0);
  ASSERT_EQ(Ish(nullptr, "T:\\in folder\\test.ish /r /f=T:\\out"), 0) << IshGetLastOutput();
  // The recorded digest, checked the way the fixture's note says.
  std::string line = readFile(fsys::path(ZV_TEST_DATA_DIR) / "ish/macish-test.sha256");
  EXPECT_EQ(sha256Hex(readFile(root / "out/test.txt")), line.substr(0, 64));
}

TEST_F(IshLibrary, ClipboardTextWithoutFinalLineBreakAndMail) {
  writeFile(root / "x.bin", randomBytes(5000, 9));
  ASSERT_EQ(Ish(nullptr, "T:\\x.bin /s7 /ya T:\\x.ish /f=T:\\"), 0);
  std::string text = readFile(root / "x.ish");
  text = "Subject: data\n\n" + text.substr(0, text.size() - 2);  // no final CR LF
  writeFile(root / "temp/tmp$$$.ish", text);
  EXPECT_NE(IshCheckArchive("T:\\temp\\tmp$$$.ish", 1), 0);
  writeFile(root / "plain.txt", "just some text\r\nnothing to see\r\n");
  EXPECT_EQ(IshCheckArchive("T:\\plain.txt", 1), 0);
  writeFile(root / "empty.ish", "");
  EXPECT_EQ(IshCheckArchive("T:\\empty.ish", 1), 0);
  EXPECT_EQ(IshCheckArchive("T:\\none.ish", 1), 0);
}

TEST_F(IshLibrary, ShiftJisTextSavedAsUtf8StillRestores) {
  const std::string data = randomBytes(20000, 12);
  writeFile(root / "k.bin", data);
  for (const char* sw : {"/ss", "/sn", "/s8"}) {
    ASSERT_EQ(Ish(nullptr, (std::string("T:\\k.bin ") + sw + " /ya T:\\k.ish /f=T:\\").c_str()), 0);
    writeFile(root / "u.ish", zv::encoding::cp932ToUtf8(readFile(root / "k.ish")));
    EXPECT_NE(IshCheckArchive("T:\\u.ish", 1), 0) << sw;
    ASSERT_EQ(Ish(nullptr, "T:\\u.ish /a /f=T:\\u"), 0) << IshGetLastOutput();
    EXPECT_TRUE(readFile(root / "u/k.bin") == data) << sw;
  }
}

TEST_F(IshLibrary, DamageBeyondRepairRestoresNothingAndNamesTheLines) {
  const std::string data = randomBytes(20000, 4);
  writeFile(root / "d.bin", data);
  ASSERT_EQ(Ish(nullptr, "T:\\d.bin /s7 /ya T:\\d.ish /f=T:\\"), 0);
  std::string text = readFile(root / "d.ish");
  std::vector<std::string> lines;
  std::stringstream ss(text);
  for (std::string l; std::getline(ss, l);) lines.push_back(l);
  auto without = [&](std::vector<size_t> drop) {
    std::string t;
    for (size_t i = 0; i < lines.size(); ++i)
      if (std::find(drop.begin(), drop.end(), i) == drop.end()) t += lines[i] + "\n";
    return t;
  };
  // Two lost lines of one block (comment line 0, headers 1-3, data from 4): repaired.
  writeFile(root / "two.ish", without({10, 20}));
  EXPECT_NE(IshCheckArchive("T:\\two.ish", 1), 0);
  EXPECT_EQ(std::string(IshGetLastOutput()), "復元できます: d.bin (20000 バイト, 2 行を修復)\r\n");
  EXPECT_EQ(Ish(nullptr, "T:\\two.ish /a /f=T:\\ok"), 0) << IshGetLastOutput();
  EXPECT_TRUE(readFile(root / "ok/d.bin") == data);
  EXPECT_NE(std::string(IshGetLastOutput()).find("修復"), std::string::npos);
  // Three: refused, nothing written, the lines are named.
  writeFile(root / "three.ish", without({10, 11, 12}));
  EXPECT_EQ(IshCheckArchive("T:\\three.ish", 1), 0);
  // The check names the lines lost as the restore does.
  EXPECT_NE(std::string(IshGetLastOutput()).find("復元できません: d.bin: ブロック 1"),
            std::string::npos)
      << IshGetLastOutput();
  EXPECT_NE(std::string(IshGetLastOutput()).find("7, 8, 9"), std::string::npos);
  writeFile(root / "bad/d.bin", "previous");
  EXPECT_NE(Ish(nullptr, "T:\\three.ish /a /f=T:\\bad"), 0);
  EXPECT_EQ(readFile(root / "bad/d.bin"), "previous");
  std::string out = IshGetLastOutput();
  EXPECT_NE(out.find("7, 8, 9"), std::string::npos) << out;
  for (auto& e : fsys::directory_iterator(root / "bad")) EXPECT_EQ(e.path().filename(), "d.bin");
}

TEST_F(IshLibrary, VolumeFilesBesideEachOther) {
  const std::string data = randomBytes(30000, 6);
  zv::ish::Header h;
  h.type = zv::ish::CodeType::Jis7;
  zv::ish::setShortName(h, "BIG.DAT");
  auto texts = zv::ish::encodeVolumes(h, reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                                      12000, {});
  ASSERT_EQ(texts.size(), 3u);
  for (size_t k = 0; k < texts.size(); ++k)
    writeFile(root / ("vol/BIG.i0" + std::to_string(k + 1)), texts[k]);
  EXPECT_NE(IshCheckArchive("T:\\vol\\BIG.i02", 1), 0);
  ASSERT_EQ(Ish(nullptr, "T:\\vol\\BIG.i02 /r /f=T:\\vol out"), 0) << IshGetLastOutput();
  EXPECT_TRUE(readFile(root / "vol out/BIG.DAT") == data);
  fsys::remove(root / "vol/BIG.i03");
  EXPECT_EQ(IshCheckArchive("T:\\vol\\BIG.i01", 1), 0);
}

TEST_F(IshLibrary, HostileNamesInHeaders) {
  zv::ish::Header h;
  h.type = zv::ish::CodeType::Jis7;
  h.base = "..      ";
  h.ext = "   ";
  std::string payload = "evil";
  zv::ish::EncodeOptions o;
  o.longName = "../../escape.txt";
  writeFile(
      root / "evil.ish",
      zv::ish::encodeText(h, reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), o));
  Ish(nullptr, "T:\\evil.ish /a /f=T:\\out");
  for (auto& e : fsys::recursive_directory_iterator(root)) {
    std::string rel = fsys::relative(e.path(), root).string();
    EXPECT_TRUE(rel == "evil.ish" || rel.rfind("out", 0) == 0) << rel;
  }
}

// A write that fails part way (the file size limit standing in for a full disk) leaves no
// temporary file beside the ISH file it was to become, and says why in Japanese.
TEST_F(IshLibrary, FailedCreationLeavesNoTemporaryFile) {
  writeFile(root / "big.bin", randomBytes(400000, 7));
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small {
      65536, 65536
    };
    setrlimit(RLIMIT_FSIZE, &small);
    int rc = Ish(nullptr, "T:\\big.bin /s7 /ya T:\\out\\big.ish /f=T:\\");
    // The system's reason in the library's own words.
    _exit(rc != 0 && std::string(IshGetLastOutput()).find("ファイルが大きすぎます") !=
                         std::string::npos
              ? 0
              : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  fsys::create_directories(root / "out");
  for (auto& e : fsys::directory_iterator(root / "out")) ADD_FAILURE() << e.path();
  for (auto& e : fsys::directory_iterator(root))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

}  // namespace
