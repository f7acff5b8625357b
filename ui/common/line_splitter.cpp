#include "ui/common/line_splitter.h"

#include "platform/runtime_error.h"

namespace zv {

void GetLineStr::setTarget(const std::string& text) {
  auto nul = text.find('\0');
  if (nul == std::string::npos) raiseError(kErrInvalidCall, "buffer without a NUL");
  buffer_ = text.substr(0, nul);
}

std::string GetLineStr::getFirstLine() {
  position_ = 1;
  return getNextLine();
}

std::string GetLineStr::getNextLine() {
  std::size_t start = position_ - 1;
  if (start > buffer_.size()) return kEndMarker;
  auto lf = buffer_.find('\n', start);
  if (lf != std::string::npos) {
    position_ = lf + 2;
    return buffer_.substr(start, lf - start);
  }
  if (start >= buffer_.size()) return kEndMarker;
  position_ = buffer_.size() + 1;
  return buffer_.substr(start);
}

}  // namespace zv
