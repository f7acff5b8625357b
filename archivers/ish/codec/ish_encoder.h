// Turns file bytes into ISH text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ish_header.h"

namespace zv::ish {

struct EncodeOptions {
  std::string longName;  // raw bytes for the comment and title lines; empty: none
  bool commentLine = true;
  bool titleLines = true;  // "--- NAME (k/n) ---" every 50 lines and at the end
  std::string lineEnd = "\r\n";
  std::string tool;  // appended to the comment line
};

// Appends the three header lines and the block lines (no line ends) of one file or volume.
// `h.size` and the volume fields must already describe `data`.
void appendBody(const Header& h, const uint8_t* data, size_t size, std::vector<std::string>& lines);

// A complete ISH text of one file: `h` gives type, name and time; size and CRC are set here.
std::string encodeText(Header h, const uint8_t* data, size_t size, const EncodeOptions& o);

// A volume set: one text per volume of `volumeSize` bytes (the last may be shorter).
std::vector<std::string> encodeVolumes(Header h, const uint8_t* data, size_t size,
                                       uint32_t volumeSize, const EncodeOptions& o);

// Number of data lines for `size` file bytes: the bytes and their 2-byte CRC, N per line.
inline size_t dataLines(size_t size, int payload) {
  return (size + 2 + size_t(payload) - 1) / size_t(payload);
}

}  // namespace zv::ish
