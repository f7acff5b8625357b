// Decodes every member of the archives other tools made and checks it against the stored
// CRC-16 and against what lhasa extracts from the same archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "../support/temp_dir.h"
#include "lzh_test_support.h"

namespace fs = std::filesystem;
using namespace lzhtest;

namespace {

std::string fixtures() { return std::string(ZV_TEST_DATA) + "/lzh"; }
std::string samples() { return std::string(ZV_TEST_DATA) + "/lzh-samples"; }

std::vector<std::string> archives_under(const std::string& root) {
  std::vector<std::string> out;
  if (!fs::exists(root)) return out;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    const std::string name = e.path().filename().string();
    if (name == "README" || e.path().extension() == ".md") continue;
    out.push_back(e.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool is_truncated_fixture(const std::string& path) {
  return path.find("regression/truncated.lzh") != std::string::npos;
}

// Contents of every regular file lhasa extracts from an archive, keyed by CRC-16.
std::multimap<uint16_t, Bytes> lhasa_extract(const std::string& archive) {
  std::multimap<uint16_t, Bytes> out;
  zv::test::TempDir dir;
  run("cd '" + dir.path() + "' && lhasa xqf '" + archive + "'");
  for (auto& e : fs::recursive_directory_iterator(dir.path())) {
    if (!e.is_regular_file() || e.is_symlink()) continue;
    Bytes b = read_file(e.path().string());
    out.emplace(crc16(b), std::move(b));
  }
  return out;
}

bool found_in(const std::multimap<uint16_t, Bytes>& files, const Bytes& data) {
  auto range = files.equal_range(crc16(data));
  for (auto it = range.first; it != range.second; ++it)
    if (it->second == data) return true;
  return false;
}

// lhasa skips some members on purpose (symlink tricks, archives behind large stubs), so the
// byte comparison applies where it extracted a file of the member's size.
bool lhasa_has_size(const std::multimap<uint16_t, Bytes>& files, size_t size) {
  for (const auto& [crc, b] : files)
    if (b.size() == size) return true;
  return false;
}

}  // namespace

TEST(LzhFixtureDecode, EveryMemberMatchesItsCrcAndLhasa) {
  std::vector<std::string> all = archives_under(fixtures());
  for (const std::string& s : archives_under(samples())) all.push_back(s);
  ASSERT_GT(all.size(), 50u) << "fixtures missing under " << fixtures();
  const bool lhasa = have_tool("lhasa");

  std::set<std::string> methods_seen;
  int members_checked = 0, compared_with_lhasa = 0;
  for (const std::string& path : all) {
    SCOPED_TRACE(path);
    const Bytes archive = read_file(path);
    std::vector<Member> members;
    if (!walk_members(archive, &members) && !is_truncated_fixture(path)) {
      ADD_FAILURE() << "header walk failed";
      continue;
    }
    std::multimap<uint16_t, Bytes> extracted;
    if (lhasa) extracted = lhasa_extract(path);
    for (const Member& m : members) {
      SCOPED_TRACE(m.path + " " + m.method);
      ASSERT_TRUE(lzh_can_decode(m.method.c_str()));
      if (is_truncated_fixture(path)) {
        const size_t avail = archive.size() - std::min(archive.size(), m.data_offset);
        Bytes packed(archive.begin() + (long)m.data_offset,
                     archive.begin() + (long)(m.data_offset + std::min<uint64_t>(m.packed, avail)));
        CodecResult r = decode(m.method.c_str(), packed, m.original);
        EXPECT_EQ(r.rc, LZH_E_DATA);
        continue;
      }
      ASSERT_LE(m.data_offset + m.packed, archive.size());
      Bytes packed(archive.begin() + (long)m.data_offset,
                   archive.begin() + (long)(m.data_offset + m.packed));
      CodecResult r = decode(m.method.c_str(), packed, m.original);
      ASSERT_EQ(r.rc, LZH_OK);
      ASSERT_EQ(r.out.size(), m.original);
      if (m.has_crc) {
        EXPECT_EQ(crc16(r.out), m.crc);
      }
      // Small reads through the callback must give the same bytes.
      CodecResult sliced = decode(m.method.c_str(), packed, m.original, 7);
      EXPECT_EQ(sliced.rc, LZH_OK);
      EXPECT_TRUE(sliced.out == r.out);
      if (lhasa && m.method != "-lhd-" && lhasa_has_size(extracted, r.out.size())) {
        EXPECT_TRUE(found_in(extracted, r.out)) << "lhasa extracted different bytes";
        ++compared_with_lhasa;
      }
      methods_seen.insert(m.method);
      ++members_checked;
    }
  }
  for (const char* want :
       {"-lh0-", "-lh1-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz4-", "-lz5-", "-lhd-"})
    EXPECT_TRUE(methods_seen.count(want)) << want << " not covered by the fixtures";
  EXPECT_GT(members_checked, 100);
  if (lhasa) {
    EXPECT_GT(compared_with_lhasa, 80);
  }
}

TEST(LzhFixtureDecode, FormatNoteVectors) {
  // The 14-byte -lh5- stream traced bit by bit in the format note.
  const Bytes lh5 = {0x00, 0x05, 0x30, 0x49, 0x4a, 0x32, 0x3c,
                     0x90, 0xab, 0x54, 0x18, 0x13, 0x6e, 0x00};
  const std::string abc = "abcabcabcabcabcabcabcabcabcabc\n";
  CodecResult r = decode("-lh5-", lh5, abc.size());
  ASSERT_EQ(r.rc, LZH_OK);
  EXPECT_EQ(std::string(r.out.begin(), r.out.end()), abc);

  // -lz5-: literals, a copy from ring position 4078 and one from position 0 just written.
  const Bytes lz5 = {0x27, 0x61, 0x62, 0x63, 0xee, 0xff, 0x00, 0x06, 0x0a};
  r = decode("-lz5-", lz5, abc.size());
  ASSERT_EQ(r.rc, LZH_OK);
  EXPECT_EQ(std::string(r.out.begin(), r.out.end()), abc);

  const Bytes lh1 = {0xf6, 0xfb, 0xbd, 0xf4, 0x80, 0x2c, 0xb0};
  r = decode("-lh1-", lh1, abc.size());
  ASSERT_EQ(r.rc, LZH_OK);
  EXPECT_EQ(std::string(r.out.begin(), r.out.end()), abc);
}
