#include "ui/common/picture_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/forms/control.h"
#include "core/services/services.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"

namespace zv {

namespace {

uint32_t le16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t le32(const std::string& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }
uint32_t be16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) << 8 | static_cast<uint8_t>(b[at + 1]);
}
uint32_t be32(const std::string& b, size_t at) { return be16(b, at) << 16 | be16(b, at + 2); }

std::optional<PictureSize> valid(long w, long h) {
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535) return std::nullopt;
  return PictureSize{static_cast<int>(w), static_cast<int>(h)};
}

std::optional<PictureSize> jpegSize(const std::string& b) {
  size_t i = 2;
  while (i + 4 <= b.size()) {
    if (static_cast<uint8_t>(b[i]) != 0xFF) return std::nullopt;
    uint8_t marker = static_cast<uint8_t>(b[i + 1]);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    uint32_t length = be16(b, i + 2);
    bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (i + 9 > b.size()) return std::nullopt;
      return valid(be16(b, i + 7), be16(b, i + 5));
    }
    if (length < 2) return std::nullopt;
    i += 2 + length;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureSize> pictureSize(const std::string& b) {
  if (b.size() >= 26 && b.compare(0, 2, "BM") == 0) {
    uint32_t header = le32(b, 14);
    if (header == 12) return valid(le16(b, 18), le16(b, 20));  // OS/2 core header
    int32_t h = static_cast<int32_t>(le32(b, 22));
    return valid(static_cast<int32_t>(le32(b, 18)), std::labs(h));
  }
  if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0)
    return valid(be32(b, 16), be32(b, 20));
  if (b.size() >= 10 && (b.compare(0, 6, "GIF87a") == 0 || b.compare(0, 6, "GIF89a") == 0))
    return valid(le16(b, 6), le16(b, 8));
  if (b.size() >= 4 && static_cast<uint8_t>(b[0]) == 0xFF && static_cast<uint8_t>(b[1]) == 0xD8)
    return jpegSize(b);
  // Icons and cursors: the first image of the directory; 0 stands for 256.
  if (b.size() >= 22 && le16(b, 0) == 0 && (le16(b, 2) == 1 || le16(b, 2) == 2) && le16(b, 4) > 0) {
    int w = static_cast<uint8_t>(b[6]), h = static_cast<uint8_t>(b[7]);
    return valid(w ? w : 256, h ? h : 256);
  }
  // Placeable metafile: bounding box in metafile units, `inch` units per inch, shown at 96 dpi.
  if (b.size() >= 22 && le32(b, 0) == 0x9AC6CDD7u) {
    int16_t left = static_cast<int16_t>(le16(b, 6)), top = static_cast<int16_t>(le16(b, 8));
    int16_t right = static_cast<int16_t>(le16(b, 10)), bottom = static_cast<int16_t>(le16(b, 12));
    uint32_t inch = le16(b, 14);
    if (inch == 0) return std::nullopt;
    return valid(std::lround((right - left) * 96.0 / inch),
                 std::lround((bottom - top) * 96.0 / inch));
  }
  return std::nullopt;
}

void loadPictureFile(Control& picture, const std::string& path, Services& services) {
  std::string bytes = fs::readAll(path);  // raises 53 for a missing file
  auto size = pictureSize(bytes);
  if (!size) raiseError(kErrInvalidPicture, path);
  picture.setPicture(kPictureFilePrefix + path);
  picture.setWidth(size->width * services.twipsPerPixelX());
  picture.setHeight(size->height * services.twipsPerPixelY());
}

std::string pictureFilePath(const std::string& picture) {
  std::string prefix = kPictureFilePrefix;
  if (picture.compare(0, prefix.size(), prefix) != 0) return "";
  return picture.substr(prefix.size());
}

}  // namespace zv
