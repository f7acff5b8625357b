// The listing functions the windows call: count, open, find-first, find-next, close.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>

#include "lzh_test_util.h"

using namespace lzhtest;

TEST(ListingApi, RecordsCarryNameSizesAndTexts) {
  TempDir t;
  writeFile(t / "src/Doc/ReadMe.TXT", std::string(3000, 'r'));
  writeFile(t / "src/z.bin", randomBytes(100, 1));
  ASSERT_EQ(unlha("a -d1 -n1 " + dq(t / "a.lzh") + " " + dq(t / "src/") + " *.*").rc, 0);
  EXPECT_EQ(offsetof(ZvMemberInfo, name), 26u);
  EXPECT_EQ(sizeof(ZvMemberInfo), size_t{ZV_MEMBER_INFO_SIZE});
  std::string quoted = "\"" + t / "a.lzh" + "\"";
  EXPECT_EQ(lib().GetFileCount(quoted.c_str()), 3);
  ZvArchive h = lib().OpenArchive(nullptr, quoted.c_str(), 0);
  ASSERT_NE(h, nullptr);
  ZvMemberInfo info;
  std::memset(&info, 0xEE, sizeof info);
  ASSERT_EQ(lib().FindFirst(h, "*.*", &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "Doc\\");
  EXPECT_STREQ(info.method, "-lhd-");
  ASSERT_EQ(lib().FindNext(h, &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "Doc\\ReadMe.TXT");  // case kept, '\' between folders
  EXPECT_EQ(info.original_size, 3000u);
  EXPECT_LT(info.packed_size, 3000u);
  EXPECT_STREQ(info.method, "-lh5-");
  EXPECT_EQ(info.ratio, info.packed_size * 1000 / 3000);
  EXPECT_STREQ(info.attribute, "a--w");
  EXPECT_NE(info.date, 0);
  ASSERT_EQ(lib().FindNext(h, &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "z.bin");
  EXPECT_STREQ(info.method, "-lh0-");  // random bytes do not pack
  EXPECT_EQ(info.flag, 0u);
  EXPECT_EQ(lib().FindNext(h, &info), ZV_FIND_END);
  EXPECT_EQ(lib().FindNext(h, &info), ZV_FIND_END);
  // A wildcard limits the find functions.
  ASSERT_EQ(lib().FindFirst(h, "*.bin", &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "z.bin");
  EXPECT_EQ(lib().CloseArchive(h), 0);
}

TEST(ListingApi, UnreadableArchives) {
  TempDir t;
  EXPECT_EQ(lib().GetFileCount((t / "missing.lzh").c_str()), -1);
  EXPECT_EQ(lib().OpenArchive(nullptr, (t / "missing.lzh").c_str(), 0), nullptr);
  writeFile(t / "junk.lzh", randomBytes(5000, 4));
  EXPECT_EQ(lib().GetFileCount((t / "junk.lzh").c_str()), -1);
  ZvMemberInfo info{};
  EXPECT_NE(lib().FindFirst(nullptr, "*.*", &info), ZV_FIND_OK);
  EXPECT_GE(lib().GetVersion(), 130);
  EXPECT_NE(std::string(lib().GetCapabilities()).find("lh5"), std::string::npos);
}

TEST(ListingApi, ListingThatStopsAtADamagedHeaderSaysSo) {
  // b.txt's header checksum fails: a.txt is listed, marked as the last one read, and the
  // find after it says the archive is damaged rather than that it ends.
  TempDir t;
  writeFile(t / "src/a.txt", std::string(3000, 'a'));
  writeFile(t / "src/b.txt", std::string(3000, 'b'));
  writeFile(t / "src/c.txt", std::string(3000, 'c'));
  ASSERT_EQ(unlha("a -n1 " + dq(t / "a.lzh") + " " + dq(t / "src/") + " a.txt b.txt c.txt").rc, 0);
  std::string bytes = readFile(t / "a.lzh");
  bytes[bytes.find("b.txt")] ^= 0x20;
  writeFile(t / "a.lzh", bytes);
  std::string quoted = "\"" + t / "a.lzh" + "\"";
  EXPECT_EQ(lib().GetFileCount(quoted.c_str()), 1);
  ZvArchive h = lib().OpenArchive(nullptr, quoted.c_str(), 0);
  ASSERT_NE(h, nullptr);
  ZvMemberInfo info{};
  ASSERT_EQ(lib().FindFirst(h, "*.*", &info), ZV_FIND_OK);
  EXPECT_STREQ(info.name, "a.txt");
  EXPECT_EQ(info.flag, uint32_t{ZV_MEMBER_LAST_READ});
  EXPECT_EQ(lib().FindNext(h, &info), ZV_ERROR_BROKEN_ARCHIVE);
  EXPECT_EQ(lib().CloseArchive(h), 0);
}

TEST(ListingApi, TenThousandMembersListInLinearTime) {
  TempDir t;
  // Built with the header writer's own format through the library: one call per 1000 files.
  for (int batch = 0; batch < 10; ++batch) {
    std::string dir = t / ("b" + std::to_string(batch));
    sh("mkdir -p " + q(dir) + " && cd " + q(dir) + " && for i in $(seq 1 1000); do : > f$i; done");
    ASSERT_EQ(unlha("a -d1 -n1 " + dq(t / "many.lzh") + " " + dq(t.path() + "/") + " " +
                    dq("b" + std::to_string(batch) + "\\*.*"))
                  .rc,
              0);
  }
  std::string path = t / "many.lzh";
  int count = lib().GetFileCount(path.c_str());
  ASSERT_EQ(count, 10010);  // 10 000 files and 10 folder entries
  ZvArchive h = lib().OpenArchive(nullptr, path.c_str(), 0);
  ZvMemberInfo info;
  int seen = lib().FindFirst(h, "*.*", &info) == ZV_FIND_OK;
  while (lib().FindNext(h, &info) == ZV_FIND_OK) ++seen;
  lib().CloseArchive(h);
  EXPECT_EQ(seen, count);
}
