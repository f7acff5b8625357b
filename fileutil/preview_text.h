// The text preview of the file utility: the start of a file as text.
#pragma once
#include <string>

namespace zv {

// At most this many bytes of a file are previewed.
constexpr size_t kPreviewLimit = 10240;

// The first kPreviewLimit bytes of the file as UTF-8 text: UTF-8 as it is (a character cut
// by the limit is dropped), anything else read as CP932. Raises the file errors (53, ...).
std::string previewText(const std::string& path);

// The same for bytes already read.
std::string decodePreview(std::string bytes);

}  // namespace zv
