// Byte builders for member headers as other LZH writers lay them out, including their quirks.
#pragma once
#include <cstdint>
#include <string>

namespace lzhtest {

std::string le16(unsigned v);
std::string le32(uint32_t v);
std::string le64(uint64_t v);
uint16_t crc16(const std::string& bytes);

// A level-0 member: `nameField` goes into the name field as it is (NULs included).
std::string level0Member(const std::string& method, const std::string& nameField,
                         const std::string& data);
// A level-1 member with operating-system byte `os` and no extended headers.
std::string level1Member(const std::string& method, const std::string& nameField,
                         const std::string& data, char os);

struct Level2Fields {
  std::string method = "-lh0-";
  std::string name;
  uint64_t packed = 0;
  uint64_t original = 0;
  uint16_t crc = 0;
  char os = 'U';
  int lengthError = 0;  // added to the stored header length (OS-9/68k writes -2)
  bool padded = false;  // one zero byte after the extended headers, in the length and CRC
};
// A level-2 header with a header-CRC extended header; sizes of 4 GiB or more go into a 64-bit
// size extended header as well.
std::string level2Header(const Level2Fields& f);
std::string level2Member(const std::string& method, const std::string& name,
                         const std::string& data, char os, int lengthError);

}  // namespace lzhtest
