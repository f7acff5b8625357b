// Streams from our encoder, wrapped in a minimal level-2 archive, must be read byte for byte
// by the other tools (lhasa, bsdtar, 7z; jlha for the longest distances).
#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

struct Input {
  std::string name;
  Bytes data;
};

std::vector<Input> inputs() {
  std::vector<Input> v;
  v.push_back({"one.bin", {0x41}});
  v.push_back({"three.txt", {'a', 'a', 'a'}});
  v.push_back({"a100.txt", Bytes(100, 'a')});
  v.push_back({"abc.txt", repeat_bytes(31, "abc")});
  v.push_back({"text.txt", text_bytes(400000, 21)});
  v.push_back({"zeros.bin", Bytes(3 << 20, 0)});
  v.push_back({"noise.bin", random_bytes(70000, 22)});
  // Repeats exactly one dictionary apart: the encoder copies from the full dictionary size
  // back, the largest distance each method can name.
  for (size_t n : {8192u, 32768u, 65536u}) {
    Bytes period = random_bytes(n, 23);
    Bytes twice = period;
    twice.insert(twice.end(), period.begin(), period.end());
    twice.insert(twice.end(), period.begin(), period.begin() + 1000);
    v.push_back({"period" + std::to_string(n) + ".bin", twice});
  }
  return v;
}

// Extracts `archive` with `command` (run inside a fresh folder) and compares `name`.
void expect_extracts(const std::string& command, const std::string& tool, const Input& in,
                     const Bytes& archive) {
  zv::test::TempDir dir;
  write_file(dir / "t.lzh", archive);
  std::string out;
  const int rc =
      run("cd '" + dir.path() + "' && mkdir x && cd x && " + command + " ../t.lzh", &out);
  EXPECT_EQ(rc, 0) << tool << ": " << out;
  EXPECT_TRUE(read_file(dir / ("x/" + in.name)) == in.data) << tool << " extracted other bytes";
}

}  // namespace

TEST(LzhInterop, ToolsReadOurStreams) {
  const bool lhasa = have_tool("lhasa"), bsdtar = have_tool("bsdtar"), sz = have_tool("7z");
  const bool jlha = have_tool("jlha");
  if (!lhasa && !bsdtar && !sz) GTEST_SKIP() << "no LZH reader installed";
  for (int level : {0, 9})
    for (const char* method : {"-lh5-", "-lh6-", "-lh7-"}) {
      for (const Input& in : inputs()) {
        SCOPED_TRACE(std::string(method) + " " + in.name + " level " + std::to_string(level));
        CodecResult e = encode(method, in.data, level);
        ASSERT_EQ(e.rc, LZH_OK);
        const Bytes archive = make_level2_archive(in.name, method, e.out, in.data);
        if (lhasa) {
          zv::test::TempDir dir;
          write_file(dir / "t.lzh", archive);
          std::string out;
          EXPECT_EQ(run("lhasa t '" + dir / "t.lzh" + "'", &out), 0) << out;
          // lhasa lists nothing (and still exits 0) when it rejects a header.
          EXPECT_NE(out.find(in.name), std::string::npos) << out;
          EXPECT_EQ(out.find("CRC"), std::string::npos) << out;
          expect_extracts("lhasa xqf", "lhasa", in, archive);
        }
        // bsdtar cannot read streams shorter than 8 bytes. Never writing a single-symbol C table
        // keeps every stream at 8 bytes or more.
        EXPECT_GE(e.out.size(), 8u);
        if (bsdtar) expect_extracts("bsdtar -xf", "bsdtar", in, archive);
        if (sz) {
          zv::test::TempDir dir;
          write_file(dir / "t.lzh", archive);
          std::string out;
          EXPECT_EQ(run("7z t '" + dir / "t.lzh" + "'", &out), 0) << out;
          EXPECT_NE(out.find("Everything is Ok"), std::string::npos) << out;
          expect_extracts("7z x -y", "7z", in, archive);
        }
        // jlha starts a Java VM per run: only the longest-distance cases.
        if (jlha && in.name.rfind("period", 0) == 0)
          expect_extracts("jlha xqy", "jlha", in, archive);
      }
    }
}
