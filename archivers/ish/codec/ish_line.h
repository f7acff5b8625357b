// One ISH text line <-> one record, for each code type. Records are read and written as a
// stream of bits, least significant bit first.
#pragma once
#include <cstdint>
#include <string>

#include "ish_types.h"

namespace zv::ish {

// Appends the text of `record` (info(type).record bytes) to `out`, without a line end.
void encodeLine(CodeType type, const uint8_t* record, std::string& out);
// Decodes info(type).textLength bytes of `text` into `record` (info(type).record bytes).
// False when a character lies outside its table or a value is out of range; the record CRC
// is not checked here.
bool decodeLine(CodeType type, const uint8_t* text, uint8_t* record);

// Writes the CRC of bytes 0..length-3 into the last two bytes (high byte first).
void sealRecord(uint8_t* record, int length);
bool recordCrcGood(const uint8_t* record, int length);
}  // namespace zv::ish
