// The preview of the file selection window: pictures go to the picture viewer, text files to
// the text viewer (their beginning), anything else to the file's associated program.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zv::compress {

enum class PreviewKind { Picture, Text, Associated };

// By the last three characters of the path, in any case: BMP, ICO, WMF -> picture; TXT -> text.
PreviewKind previewKind(const std::string& path);

// Characters of a text file shown in the text viewer.
inline constexpr size_t kPreviewCharacters = 1024;

// The viewer text of a file whose first bytes are `head` and whose size is `fileSize`: the
// whole file when it has at most 1024 bytes, otherwise its first 1024 characters. UTF-8 text
// is taken as it is, anything else is read as CP932.
std::string previewText(std::string_view head, uint64_t fileSize);

// Reads the beginning of the file (program path) and returns its viewer text; raises the
// file errors (53, 68, ...).
std::string readPreviewText(const std::string& path);

}  // namespace zv::compress
