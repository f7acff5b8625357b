#include "fileutil/preview_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/runtime_error.h"

namespace zv {

namespace {
// Length of the bytes without a UTF-8 sequence that the limit cut short at the end.
size_t withoutCutSequence(const std::string& bytes) {
  size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    unsigned char ch = static_cast<unsigned char>(bytes[n - back]);
    if ((ch & 0xC0) == 0x80) continue;  // continuation byte: look further back
    size_t need = ch >= 0xF0 ? 4 : ch >= 0xE0 ? 3 : ch >= 0xC0 ? 2 : 1;
    return need > back ? n - back : n;
  }
  return n;
}
}  // namespace

std::string decodePreview(std::string bytes) {
  if (encoding::isValidUtf8(bytes)) return bytes;
  std::string trimmed = bytes.substr(0, withoutCutSequence(bytes));
  if (trimmed.size() != bytes.size() && encoding::isValidUtf8(trimmed)) return trimmed;
  return encoding::cp932ToUtf8(bytes);
}

std::string previewText(const std::string& path) {
  std::string host = hostPath(path);
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) raiseError(errno == ENOENT ? kErrFileNotFound : runtimeErrorFromErrno(errno), host);
  std::string bytes(kPreviewLimit, '\0');
  size_t got = 0;
  while (got < kPreviewLimit) {
    ssize_t n = ::read(fd, bytes.data() + got, kPreviewLimit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      raiseError(runtimeErrorFromErrno(err), host);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  return decodePreview(std::move(bytes));
}

}  // namespace zv
