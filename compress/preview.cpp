#include "compress/preview.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"

namespace zv::compress {
namespace {

// Enough bytes for 1024 characters in UTF-8 (at most 4 bytes each) or CP932 (at most 2).
constexpr size_t kHeadBytes = kPreviewCharacters * 4;

// Drops a multi-byte UTF-8 sequence cut off at the end of the bytes read.
std::string_view withoutCutSequence(std::string_view s) {
  size_t back = 0;
  while (back < 3 && back < s.size() &&
         (static_cast<unsigned char>(s[s.size() - 1 - back]) & 0xC0) == 0x80)
    ++back;
  if (back < s.size()) {
    unsigned char lead = static_cast<unsigned char>(s[s.size() - 1 - back]);
    size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (need > back + 1) return s.substr(0, s.size() - 1 - back);
  }
  return s;
}

std::string firstCharacters(const std::string& utf8, size_t count) {
  size_t i = 0, n = 0;
  while (i < utf8.size() && n < count) {
    ++i;
    while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    ++n;
  }
  return utf8.substr(0, i);
}

}  // namespace

PreviewKind previewKind(const std::string& path) {
  std::string type = path.size() >= 3 ? path.substr(path.size() - 3) : path;
  std::transform(type.begin(), type.end(), type.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (type == "BMP" || type == "ICO" || type == "WMF") return PreviewKind::Picture;
  if (type == "TXT") return PreviewKind::Text;
  return PreviewKind::Associated;
}

std::string previewText(std::string_view head, uint64_t fileSize) {
  if (fileSize <= kPreviewCharacters) return encoding::decodeUnknown(head.substr(0, fileSize));
  std::string_view whole = withoutCutSequence(head);
  std::string text = encoding::isValidUtf8(whole)
                         ? std::string(whole)
                         : encoding::cp932ToUtf8(head.substr(0, kPreviewCharacters * 2));
  return firstCharacters(text, kPreviewCharacters);
}

std::string readPreviewText(const std::string& path) {
  uint64_t size = fs::fileSize(path);
  std::ifstream in(hostPath(path), std::ios::binary);
  if (!in) raiseError(kErrFileNotFound, path);
  std::string head(static_cast<size_t>(std::min<uint64_t>(size, kHeadBytes)), '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  return previewText(head, size);
}

}  // namespace zv::compress
