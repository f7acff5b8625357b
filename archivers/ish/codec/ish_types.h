// The four ISH code types and their line parameters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zv::ish {

enum class CodeType : uint8_t { Jis7, Jis8, Sjis, Nsjis };

struct TypeInfo {
  CodeType type;
  int record;      // B: bytes of one record (line number, payload, CRC)
  int payload;     // N = B-3: data bytes per line, also data lines per block
  int width;       // L = B-2: the prime width of the check matrix
  int textLength;  // characters (bytes) of one text line
  uint8_t unitWidth;
  uint8_t typeCode;
  std::string_view switchName;   // "s7", "s8", "ss", "sn"
  std::string_view commentWord;  // type word of the comment line
};

const TypeInfo& info(CodeType type);
// The type whose header byte 11 is `typeCode`, or nullptr.
const TypeInfo* infoByTypeCode(uint8_t typeCode);

}  // namespace zv::ish
