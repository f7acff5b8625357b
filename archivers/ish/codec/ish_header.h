// The header record written three times at the start of every ISH text (or volume).
#pragma once
#include <cstdint>
#include <string>

#include "ish_types.h"

namespace zv::ish {

constexpr uint8_t kFlagTime = 0x01;
constexpr uint8_t kFlagZone = 0x02;
constexpr uint8_t kFlagCrc16 = 0x04;
constexpr uint8_t kFlagCrc32 = 0x08;
constexpr uint8_t kFlagVolume = 0x10;

struct Header {
  CodeType type = CodeType::Jis7;
  uint8_t volume = 0;  // 0: a single file; 1..255: volume of a set
  uint32_t size = 0;   // bytes of the whole file
  std::string base;    // 8 raw bytes, blank-padded
  std::string ext;     // 3 raw bytes, blank-padded
  uint8_t os = 0;
  uint8_t level = 1;
  uint8_t flags = kFlagTime;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  int32_t zoneOffset = 0;  // seconds, UTC minus local time
  uint16_t fileCrc16 = 0;
  uint32_t fileCrc32 = 0;
  uint32_t volumeSize = 0;  // nominal bytes per volume
  uint16_t volumeCrc16 = 0;
  bool jis8Coded = false;  // a jis8 file whose header uses the jis8 line codec
};

// Fills `record` (63 bytes, or 69 when jis8Coded) including its CRC.
void buildHeaderRecord(const Header& h, uint8_t* record);
// Reads a record whose CRC is already known to be good; false when it is no valid header.
bool parseHeaderRecord(const uint8_t* record, int length, Header& h);

// The stored 8.3 name as raw bytes: base without trailing blanks, '.' and the extension.
std::string shortName(const Header& h);
// Splits a raw (CP932) long name into an 8.3 base and extension: the part before the last
// dot cut to 8 bytes and up to 3 bytes after it, never splitting a two-byte character.
void setShortName(Header& h, const std::string& longName);

}  // namespace zv::ish
