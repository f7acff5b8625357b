// The read window extraction shares across members: whatever the order, offset and length of
// the reads, it must hand out exactly the file's bytes, short only at the end of the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "member_io.h"

namespace zv::lzh {
namespace {

TEST(ArchiveReader, HandsOutTheFileBytesAcrossWindowBordersAndAtTheEnd) {
  char path[] = "/tmp/zv_archive_reader_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::vector<unsigned char> bytes(200 * 1024 + 123);
  std::mt19937 rng(7);
  for (auto& b : bytes) b = static_cast<unsigned char>(rng());
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));

  ArchiveReader reader(fd);
  auto check = [&](uint64_t at, size_t len) {
    std::vector<unsigned char> got(len);
    ssize_t n = reader.read(at, got.data(), len);
    size_t want = at >= bytes.size() ? 0 : std::min<size_t>(len, bytes.size() - at);
    ASSERT_EQ(n, ssize_t(want)) << at << "+" << len;
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + n, bytes.begin() + ptrdiff_t(at)))
        << at << "+" << len;
  };
  // In order, as members lie; across the 64 KiB border; backwards; larger than the window;
  // at and behind the end.
  for (uint64_t at = 0; at < 70000; at += 333) check(at, 300);
  check(65530, 20);
  check(65536 * 2 - 5, 10);
  check(1000, 50);
  check(10, 65536);
  check(5000, 150000);
  check(bytes.size() - 7, 100);
  check(bytes.size(), 10);
  check(bytes.size() + 100, 10);
  for (int i = 0; i < 2000; ++i) check(rng() % bytes.size(), 1 + rng() % 70000);
  close(fd);
  unlink(path);
}

}  // namespace
}  // namespace zv::lzh
