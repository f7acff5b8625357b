#include <gtest/gtest.h>

#include <filesystem>

#include "compress_fixture.h"
#include "platform/encoding.h"
#include "ui/common/path_list_combo.h"

namespace zv::test {
namespace {

using namespace zv::pathlist;

int countOf(const std::string& bytes, size_t record) {
  return static_cast<int16_t>(static_cast<uint8_t>(bytes[record * kRecordSize]) |
                              (static_cast<uint8_t>(bytes[record * kRecordSize + 1]) << 8));
}

TEST(PathListFormat, FixedRecordsWithTheCountInEveryRecord) {
  std::string bytes = encodeRecords({"C:\\out", "  D:\\x y  "});
  ASSERT_EQ(bytes.size(), 2 * kRecordSize);
  EXPECT_EQ(countOf(bytes, 0), 2);
  EXPECT_EQ(countOf(bytes, 1), 2);
  EXPECT_EQ(bytes.substr(2, 6), "C:\\out");
  EXPECT_EQ(bytes.substr(8, kPathBytes - 6), std::string(kPathBytes - 6, ' '));
  EXPECT_EQ(bytes.substr(kRecordSize + 2, 6), "D:\\x y");  // blanks around a path are not kept
  EXPECT_EQ(decodeRecords(bytes), (std::vector<std::string>{"C:\\out", "D:\\x y"}));

  std::string empty = encodeRecords({});
  ASSERT_EQ(empty.size(), kRecordSize);
  EXPECT_EQ(countOf(empty, 0), 0);
  EXPECT_EQ(empty.substr(2), std::string(kPathBytes, ' '));
  EXPECT_TRUE(decodeRecords(empty).empty());
}

TEST(PathListFormat, JapanesePathsAreStoredInCp932AndReadBackFromWindowsFiles) {
  std::string path = "C:\\データ\\表ソ能";
  std::string field = encodePathField(path);
  EXPECT_EQ(field.substr(0, encoding::utf8ToCp932(path).size()), encoding::utf8ToCp932(path));
  // A file as the Windows program wrote it: CP932 with blanks, "表" and "ソ" ending in 0x5C.
  std::string windows;
  windows += '\x01';
  windows += '\x00';
  std::string cp = "D:\\\x95\x5c\x83\x5c";
  windows += cp + std::string(kPathBytes - cp.size(), ' ');
  EXPECT_EQ(decodeRecords(windows), (std::vector<std::string>{"D:\\表ソ"}));
}

TEST(PathListFormat, LongPathsAreCutAtACharacterBoundary) {
  std::string kanji;
  for (int i = 0; i < 600; ++i) kanji += "漢";
  std::string field = encodePathField("a" + kanji);  // 1 + 1200 bytes in CP932
  ASSERT_EQ(field.size(), kPathBytes);
  EXPECT_EQ(field.back(), ' ');  // 1 + 499 * 2 = 999 bytes, one blank; no half character
  std::string expected = "a";
  for (int i = 0; i < 499; ++i) expected += "漢";
  EXPECT_EQ(decodePathField(field), expected);
  // A name without a CP932 form is kept in UTF-8 (nothing lost) and cut likewise.
  std::string emoji;
  for (int i = 0; i < 300; ++i) emoji += "\xF0\x9F\x93\x81";  // 4 bytes each
  std::string utf = encodePathField(emoji);
  EXPECT_EQ(decodePathField(utf), emoji.substr(0, 250 * 4));
}

TEST(PathListFormat, ACountBeyondTheRecordsPresentReadsWhatIsThere) {
  std::string bytes = encodeRecords({"C:\\a", "C:\\b"});
  bytes[0] = 5;
  bytes[kRecordSize] = 5;
  EXPECT_EQ(decodeRecords(bytes), (std::vector<std::string>{"C:\\a", "C:\\b"}));
  EXPECT_TRUE(decodeRecords("\x01").empty());
}

class PathListFiles : public CompressTest {};

TEST_F(PathListFiles, WritesThroughTheTemporaryFileAndKeepsTheOldListOnFailure) {
  Files files = compressionFiles(app.programFolder);
  EXPECT_EQ(files.list, "Q:\\prog\\ZORVEX2.DAT");
  EXPECT_EQ(files.temp, "Q:\\prog\\ZORVEX2.$$$");
  EXPECT_EQ(extractionFiles("C:\\").list, "C:\\ZORVEX.DAT");
  int records = 0;
  ASSERT_TRUE(writeList(files, {"Q:\\out", "Q:\\src"}, [&] { ++records; }));
  EXPECT_EQ(records, 2);
  EXPECT_FALSE(std::filesystem::exists(root / "prog/ZORVEX2.$$$"));
  EXPECT_EQ(readList(files.list), (std::vector<std::string>{"Q:\\out", "Q:\\src"}));

  // The temporary file cannot be made: the list file is left exactly as it was.
  std::string before = readFile(root / "prog/ZORVEX2.DAT");
  root.mkdir("prog/ZORVEX2.$$$");
  EXPECT_FALSE(writeList(files, {"Q:\\other"}));
  EXPECT_EQ(readFile(root / "prog/ZORVEX2.DAT"), before);
  EXPECT_TRUE(readList("Q:\\prog\\missing.dat").empty());
}

TEST_F(PathListFiles, AStaleTemporaryFileIsReplacedWhole) {
  Files files = compressionFiles(app.programFolder);
  root.write("prog/ZORVEX2.$$$", std::string(5 * kRecordSize, 'z'));
  ASSERT_TRUE(writeList(files, {"Q:\\out"}));
  EXPECT_EQ(readFile(root / "prog/ZORVEX2.DAT").size(), kRecordSize);
}

}  // namespace
}  // namespace zv::test
