// Finds and restores the ISH data in a text: any number of files, surrounded by other text,
// with CR LF, LF or CR line ends, repairing up to two lost lines per block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ish_header.h"

namespace zv::ish {

struct DecodedFile {
  Header header;
  std::string name;           // raw name bytes: the comment line's long name or the 8.3 name
  std::vector<uint8_t> data;  // the file (or, for a volume, the volume's bytes) when ok
  bool ok = false;
  int repairedLines = 0;
  std::string problem;   // why it failed, naming the text lines (Japanese, UTF-8)
  size_t firstLine = 0;  // text line of its first header (1-based)
};

std::vector<DecodedFile> decodeText(std::string_view text);

// Replaces the volumes of each complete volume set by the one file they make up; volumes of
// incomplete or inconsistent sets are kept, marked not ok with the reason.
std::vector<DecodedFile> joinVolumes(std::vector<DecodedFile> items);

}  // namespace zv::ish
