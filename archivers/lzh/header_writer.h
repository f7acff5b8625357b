// Builds member headers of levels 0, 1 and 2 as the widely used readers expect them.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace zv::lzh {

struct NewHeader {
  std::vector<std::string> parts;  // UTF-8 path components
  bool folder = false;
  char method[6] = "-lh0-";
  uint64_t packedSize = 0;
  uint64_t originalSize = 0;
  uint16_t crc = 0;
  std::time_t mtime = 0;
  uint16_t unixMode = 0;  // permission bits and file type, 0 = none written
  int level = 2;
};

// OS identifier written into level 1 and 2 headers: Windows 95, which keeps readers from
// lower-casing all-capital names.
constexpr unsigned char kWriterOsId = 'w';

// The header bytes. Its length depends only on names, level and whether sizes need 64 bits,
// so a header rewritten with the final sizes and CRC keeps its length. Throws LzhError when a
// name does not fit the level.
std::string buildHeader(const NewHeader& h);

}  // namespace zv::lzh
