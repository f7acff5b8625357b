// The library's own ZIP reader on archives that test its edges: ZIP64 records, a comment
// hiding a false end record, data descriptors, damaged directories and offsets, CRC and length
// mismatches, and an encrypted member read through libzip between members read directly.
#include <gtest/gtest.h>

#include <cstring>

#include "zip_test_support.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {
namespace {
using namespace test;

void put64(std::string& s, uint64_t v) { put32(s, uint32_t(v)), put32(s, uint32_t(v >> 32)); }

// Stored entries with every size and offset in ZIP64 fields, and the ZIP64 end record and
// locator, as writers do for archives beyond 4 GiB.
std::string buildZip64(const std::vector<RawEntry>& entries) {
  std::string out, central;
  for (const auto& e : entries) {
    uint32_t crc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size())));
    uint64_t offset = out.size();
    put32(out, 0x04034b50), put16(out, 45), put16(out, 0), put16(out, 0), put16(out, 0);
    put16(out, 0x5021), put32(out, crc), put32(out, 0xFFFFFFFF), put32(out, 0xFFFFFFFF);
    put16(out, uint32_t(e.name.size())), put16(out, 20);
    out += e.name;
    put16(out, 1), put16(out, 16), put64(out, e.data.size()), put64(out, e.data.size());
    out += e.data;
    put32(central, 0x02014b50), put16(central, 0x0300 | 45), put16(central, 45);
    put16(central, 0), put16(central, 0), put16(central, 0), put16(central, 0x5021);
    put32(central, crc), put32(central, 0xFFFFFFFF), put32(central, 0xFFFFFFFF);
    put16(central, uint32_t(e.name.size())), put16(central, 28), put16(central, 0);
    put16(central, 0), put16(central, 0), put32(central, 0100644u << 16);
    put32(central, 0xFFFFFFFF);
    central += e.name;
    put16(central, 1), put16(central, 24), put64(central, e.data.size());
    put64(central, e.data.size()), put64(central, offset);
  }
  uint64_t cdOffset = out.size();
  out += central;
  uint64_t end64 = out.size();
  put32(out, 0x06064b50), put64(out, 44), put16(out, 45), put16(out, 45), put32(out, 0);
  put32(out, 0), put64(out, entries.size()), put64(out, entries.size());
  put64(out, central.size()), put64(out, cdOffset);
  put32(out, 0x07064b50), put32(out, 0), put64(out, end64), put32(out, 1);
  put32(out, 0x06054b50), put16(out, 0), put16(out, 0), put16(out, 0xFFFF), put16(out, 0xFFFF);
  put32(out, 0xFFFFFFFF), put32(out, 0xFFFFFFFF), put16(out, 0);
  return out;
}

// Offsets of the fields of the end record, counted from the end of an archive without comment.
constexpr size_t kEndEntries = 22 - 10, kEndCdOffset = 22 - 16;

void patch32(std::string& s, size_t at, uint32_t v) {
  std::string b;
  put32(b, v);
  s.replace(at, 4, b);
}

class ZipReader : public ::testing::Test {
 protected:
  TempDrive drive;
  std::string place(const std::string& name, const std::string& bytes) {
    writeFile(drive / name, bytes);
    return "T:\\" + name;
  }
};

TEST_F(ZipReader, Zip64RecordsGiveSizesAndOffsets) {
  std::string arc = place(
      "z64.zip",
      buildZip64({{"a.txt", "first member"}, {"dir/b.bin", randomData(70000, 3)}, {"c.txt", ""}}));
  if (haveTool("unzip")) {
    ASSERT_EQ(run("unzip -tq " + (drive / "z64.zip").string()), 0) << "the test archive";
  }
  EXPECT_EQ(UnZipGetFileCount(arc.c_str()), 3);
  auto r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(readFile(drive / "out/a.txt"), "first member");
  EXPECT_EQ(readFile(drive / "out/dir/b.bin"), randomData(70000, 3));
  EXPECT_TRUE(fsys::exists(drive / "out/c.txt"));
  // One member by name goes through the indexed archive.
  r = unzip("-x -o \"" + arc + "\" \"T:\\one\\\" \"dir/b.bin\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(readFile(drive / "one/dir/b.bin"), randomData(70000, 3));

  // A ZIP64 field too short for the values it must hold is damage, not a guess.
  std::string bytes = readFile(drive / "z64.zip");
  std::string bad = bytes;
  size_t cd = bad.find(std::string("\x50\x4b\x01\x02", 4));
  bad[cd + 46 + 5 + 2] = 8;  // a.txt's ZIP64 field: 8 bytes instead of 24
  EXPECT_EQ(UnZipGetFileCount(place("z64-short.zip", bad).c_str()), -1);
  // A locator pointing at no ZIP64 end record.
  bad = bytes;
  patch32(bad, bad.size() - 22 - 20 + 8, 3);
  EXPECT_EQ(UnZipGetFileCount(place("z64-loc.zip", bad).c_str()), -1);
}

TEST_F(ZipReader, LongCommentWithAFalseEndRecordInside) {
  std::string bytes = buildZip({{"x.txt", "x"}, {"y/z.txt", "zz"}});
  // A comment of 65 535 bytes holding an end record of its own that points nowhere.
  std::string comment = "Release notes\r\nsecond line";
  std::string fake;
  put32(fake, 0x06054b50), put16(fake, 0), put16(fake, 0), put16(fake, 9), put16(fake, 9);
  put32(fake, 1000), put32(fake, 5), put16(fake, 0);
  comment += fake;
  comment.resize(65535, '-');
  bytes[bytes.size() - 2] = char(0xFF), bytes[bytes.size() - 1] = char(0xFF);
  std::string arc = place("comment.zip", bytes + comment);
  EXPECT_EQ(UnZipGetFileCount(arc.c_str()), 2);
  auto r = unzip("-v \"" + arc + "\"");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("コメント: Release notes"), std::string::npos);
  r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(readFile(drive / "out/y/z.txt"), "zz");
  // A comment length reaching past the end of the file: no end record there.
  bytes[bytes.size() - 1] = 0x01;
  EXPECT_EQ(UnZipGetFileCount(place("comment-long.zip", bytes).c_str()), -1);
}

TEST_F(ZipReader, DataDescriptorsFromAPipe) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  writeFile(drive / "src/a.txt", std::string(3000, 'a') + "end");
  writeFile(drive / "src/sub/b.bin", randomData(100000, 7));
  writeFile(drive / "src/sub/empty", "");
  const std::string src = (drive / "src").string();
  // Written to a pipe, zip cannot go back to the local headers: sizes and CRC follow the
  // data (flag bit 3) and the local headers hold zeros.
  ASSERT_EQ(run("cd " + src + " && zip -q -r - . | cat > ../dd.zip"), 0);
  ASSERT_EQ(run("cd " + src + " && zip -q -r -fd ../fd.zip ."), 0);
  for (std::string name : {"dd", "fd"}) {
    SCOPED_TRACE(name);
    auto r = unzip("-x -o \"T:\\" + name + ".zip\" \"T:\\" + name + "\\\"");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(treeOf(drive / name), treeOf(drive / "src"));
    r = unzip("-t \"T:\\" + name + ".zip\"");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("正常: sub/b.bin"), std::string::npos) << r.output;
  }
}

TEST_F(ZipReader, DamagedDirectoryAndOffsetsAreBrokenArchives) {
  const std::string bytes = buildZip({{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.txt", "gamma"}});
  const size_t cd = bytes.find(std::string("\x50\x4b\x01\x02", 4));
  const size_t end = bytes.size();
  auto variant = [&](const std::string& name, auto&& change) {
    std::string b = bytes;
    change(b);
    return place(name, b);
  };
  // The directory said to start past the end of the file, or more entries than it holds.
  for (const auto& arc :
       {variant("off.zip", [&](std::string& b) { patch32(b, end - kEndCdOffset, 1u << 30); }),
        variant("count.zip",
                [&](std::string& b) { b[end - kEndEntries] = 4, b[end - kEndEntries - 2] = 4; }),
        variant("sig.zip", [&](std::string& b) { b[cd + 46 + 5 + 1] = 'X'; })}) {
    SCOPED_TRACE(arc);
    EXPECT_EQ(UnZipGetFileCount(arc.c_str()), -1);
    auto r = unzip("-x -o \"" + arc + "\" \"T:\\never\\\"");
    EXPECT_EQ(r.code, ZV_ERROR_NOT_ARCHIVE) << r.output;
    EXPECT_NE(r.output.find("壊れています"), std::string::npos) << r.output;
  }
  EXPECT_FALSE(fsys::exists(drive / "never"));

  // b.txt's local header offset into a.txt's data, c.txt's size beyond the end of the file:
  // those two fail, a.txt is extracted, nothing is read outside the archive.
  const size_t cdB = cd + 46 + 5, cdC = cdB + 46 + 5;
  std::string arc = variant("members.zip", [&](std::string& b) {
    patch32(b, cdB + 42, 30 + 5 + 2);
    patch32(b, cdC + 20, 1u << 20), patch32(b, cdC + 24, 1u << 20);
  });
  auto r = unzip("-x -o \"" + arc + "\" \"T:\\out\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_BROKEN_ARCHIVE) << r.output;
  EXPECT_EQ(readFile(drive / "out/a.txt"), "alpha");
  EXPECT_FALSE(fsys::exists(drive / "out/b.txt"));
  EXPECT_FALSE(fsys::exists(drive / "out/c.txt"));
  EXPECT_NE(r.output.find("b.txt"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("c.txt"), std::string::npos) << r.output;
  for (auto& e : fsys::directory_iterator(drive / "out"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);

  // A member without a name is listed and refused, the others extracted.
  arc = place("noname.zip", buildZip({{"", "x"}, {"d.txt", "delta"}}));
  EXPECT_EQ(UnZipGetFileCount(arc.c_str()), 2);
  r = unzip("-x -o \"" + arc + "\" \"T:\\nn\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_UNSAFE_NAME) << r.output;
  EXPECT_EQ(readFile(drive / "nn/d.txt"), "delta");
}

// Sound data under a wrong CRC-32, for each way a member is read: this library's reader for
// stored, deflated and LZMA data, libzip for the other methods. The member is named, not
// written, and the others are extracted.
TEST_F(ZipReader, AWrongCrcIsAnErrorWhateverTheMethod) {
  const std::string text = std::string(20000, 'q') + "tail";
  writeFile(drive / "src/a.txt", text);
  writeFile(drive / "src/b.txt", text + "b");
  const std::string caps = UnZipGetCapabilities();
  struct Row {
    const char* tool;
    const char* options;
    int method;
  };
  const Row rows[] = {{"zip", "zip -q -X -0", 0},
                      {"zip", "zip -q -X", 8},
                      {"7z", "7z a -tzip -mm=LZMA", 14},
                      {"zip", "zip -q -X -Z bzip2", 12}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.options);
    if (!haveTool(row.tool)) continue;
    if (row.method == 12 && caps.find("bzip2") == std::string::npos) continue;
    fsys::remove(drive / "m.zip");
    ASSERT_EQ(
        run("cd " + (drive / "src").string() + " && " + row.options + " ../m.zip a.txt b.txt"), 0);
    std::string bytes = readFile(drive / "m.zip");
    const size_t local = bytes.find(std::string("\x50\x4b\x03\x04", 4));
    const size_t central = bytes.find(std::string("\x50\x4b\x01\x02", 4));
    ASSERT_EQ(bytes.substr(central + 46, 5), "a.txt");
    ASSERT_EQ(uint8_t(bytes[central + 10]), row.method);
    bytes[local + 14] ^= 0x01;
    bytes[central + 16] ^= 0x01;
    writeFile(drive / "crc.zip", bytes);
    fsys::remove_all(drive / "crc");
    auto r = unzip("-x -o \"T:\\crc.zip\" \"T:\\crc\\\"");
    EXPECT_EQ(r.code, ZV_ERROR_CRC) << r.output;
    EXPECT_NE(r.output.find("CRC が一致しません: a.txt"), std::string::npos) << r.output;
    EXPECT_FALSE(fsys::exists(drive / "crc/a.txt"));
    EXPECT_EQ(readFile(drive / "crc/b.txt"), text + "b");
    EXPECT_EQ(unzip("-t \"T:\\crc.zip\"").code, ZV_ERROR_CRC);
  }
}

TEST_F(ZipReader, LengthMismatchesOfDeflatedMembers) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  const std::string text = std::string(20000, 'q') + "tail";
  writeFile(drive / "src/a.txt", text);
  writeFile(drive / "src/b.txt", text + "b");
  ASSERT_EQ(run("cd " + (drive / "src").string() + " && zip -q -X ../d.zip a.txt b.txt"), 0);
  const std::string bytes = readFile(drive / "d.zip");
  const size_t cdA = bytes.find(std::string("\x50\x4b\x01\x02", 4));
  ASSERT_EQ(bytes[cdA + 10], 8) << "deflated";
  const size_t cdB = bytes.find(std::string("\x50\x4b\x01\x02", 4), cdA + 4);

  std::string crc = bytes;
  crc[cdA + 16] ^= 0x01;  // a.txt's CRC-32 in the directory
  writeFile(drive / "crc.zip", crc);
  auto c = unzip("-x -o \"T:\\crc.zip\" \"T:\\crc\\\"");
  EXPECT_EQ(c.code, ZV_ERROR_CRC) << c.output;
  EXPECT_NE(c.output.find("CRC が一致しません: a.txt"), std::string::npos) << c.output;
  EXPECT_FALSE(fsys::exists(drive / "crc/a.txt"));
  EXPECT_EQ(readFile(drive / "crc/b.txt"), text + "b");
  // The test reads a.txt from its own header and says the directory is damaged.
  EXPECT_EQ(unzip("-t \"T:\\crc.zip\"").code, ZV_ERROR_BROKEN_ARCHIVE);

  // A declared size smaller than what the data inflates to: stopped, nothing written.
  std::string shorter = bytes;
  patch32(shorter, cdB + 24, 100);
  writeFile(drive / "len.zip", shorter);
  auto r = unzip("-x -o \"T:\\len.zip\" \"T:\\len\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_BROKEN_ARCHIVE) << r.output;
  EXPECT_NE(r.output.find("データの長さが一致しません: b.txt"), std::string::npos) << r.output;
  EXPECT_FALSE(fsys::exists(drive / "len/b.txt"));
  EXPECT_EQ(readFile(drive / "len/a.txt"), text);

  // Deflate data cut short by a packed size too small.
  std::string cut = bytes;
  patch32(cut, cdA + 20, 10);
  writeFile(drive / "cut.zip", cut);
  r = unzip("-x -o \"T:\\cut.zip\" \"T:\\cut\\\" a.txt");
  EXPECT_EQ(r.code, ZV_ERROR_BROKEN_ARCHIVE) << r.output;
  EXPECT_FALSE(fsys::exists(drive / "cut/a.txt"));
}

int answerPassword(void* user, ZvDecision* d) {
  if (d->kind != ZV_DECIDE_PASSWORD) return 0;
  std::strncpy(d->answer, static_cast<const char*>(user), d->answer_size - 1);
  return 1;
}

TEST_F(ZipReader, EncryptedMemberThroughLibzipBetweenPlainOnes) {
  if (!haveTool("zip")) GTEST_SKIP() << "zip missing";
  const fsys::path src = drive / "src";
  writeFile(src / "1-plain.txt", std::string(5000, '1'));
  writeFile(src / "2-secret.txt", "the secret");
  writeFile(src / "3-plain.bin", randomData(50000, 9));
  const std::string cd = "cd " + src.string() + " && ";
  ASSERT_EQ(run(cd + "zip -q ../mixed.zip 1-plain.txt && zip -q -P pw ../mixed.zip 2-secret.txt" +
                " && zip -q -0 ../mixed.zip 3-plain.bin"),
            0);
  // Without a password: the plain members are extracted, the secret one is refused.
  auto r = unzip("-x -o \"T:\\mixed.zip\" \"T:\\nopw\\\"");
  EXPECT_EQ(r.code, ZV_ERROR_PASSWORD) << r.output;
  EXPECT_EQ(readFile(drive / "nopw/3-plain.bin"), randomData(50000, 9));
  EXPECT_FALSE(fsys::exists(drive / "nopw/2-secret.txt"));

  char pw[] = "pw";
  ZvHost host{pw, nullptr, answerPassword};
  UnZipSetHost(&host);
  r = unzip("-x -o \"T:\\mixed.zip\" \"T:\\out\\\"");
  auto named = unzip("-x -o \"T:\\mixed.zip\" \"T:\\named\\\" 2-secret.txt 3-plain.bin");
  UnZipSetHost(nullptr);
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(treeOf(drive / "out"), treeOf(src));
  EXPECT_EQ(named.code, 0) << named.output;
  EXPECT_EQ(readFile(drive / "named/2-secret.txt"), "the secret");
  EXPECT_EQ(readFile(drive / "named/3-plain.bin"), randomData(50000, 9));
}

}  // namespace
}  // namespace zv::zip
