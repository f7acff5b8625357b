// Loading a picture file into a picture control: the control shows the file and takes the
// picture's natural size, as the picture viewer needs it to size its window.
#pragma once
#include <optional>
#include <string>

#include "platform/runtime_error.h"

namespace zv {

class Control;
class Services;

// Prefix of a picture name that names a file rather than the program's own artwork.
inline constexpr const char* kPictureFilePrefix = "file:";

struct PictureSize {
  int width = 0;  // pixels
  int height = 0;
};

// The natural size of a BMP, ICO, CUR, PNG, GIF, JPEG or placeable WMF picture given by its
// first bytes; nothing when the bytes are not such a picture.
std::optional<PictureSize> pictureSize(const std::string& bytes);

// Loads the file (program path) into the picture control and sizes the control to it in
// twips. Raises 53 for a missing file and 481 for a file that is not a picture.
void loadPictureFile(Control& picture, const std::string& path, Services& services);

// The program path of a picture that shows a file, or "" for artwork.
std::string pictureFilePath(const std::string& picture);

inline constexpr int kErrInvalidPicture = kErrBadPicture;

}  // namespace zv
