#include "zip_bytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zv::zip {

ArchiveBytes::~ArchiveBytes() {
  if (fd_ >= 0) ::close(fd_);
}

void ArchiveBytes::setFile(int fd, uint64_t size) {
  fd_ = fd;
  size_ = size;
}

void ArchiveBytes::setMemory(const void* data, size_t size) {
  memory_ = static_cast<const unsigned char*>(data);
  size_ = size;
}

bool ArchiveBytes::readAt(uint64_t at, void* out, size_t len) const {
  if (at > size_ || len > size_ - at) {
    errno = 0;
    return false;
  }
  if (memory_) {
    std::memcpy(out, memory_ + at, len);
    return true;
  }
  auto* p = static_cast<unsigned char*>(out);
  while (len > 0) {
    ssize_t n = ::pread(fd_, p, len, off_t(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = 0;  // the file shrank since it was opened
      return false;
    }
    p += n, at += uint64_t(n), len -= size_t(n);
  }
  return true;
}

const unsigned char* ReadWindow::view(uint64_t at, size_t len) {
  const uint64_t size = bytes_.size();
  if (at > size || len > size - at) {
    errno = 0;
    return nullptr;
  }
  if (const unsigned char* m = bytes_.memory()) return m + at;
  if (at >= windowAt_ && at + len <= windowAt_ + windowLen_)
    return window_.data() + (at - windowAt_);
  // Read a whole window from `at` (less at the end of the file); a longer request gets a
  // window of its own size.
  size_t want = std::max(len, windowSize_);
  want = size_t(std::min<uint64_t>(want, size - at));
  if (window_.size() < want) window_.resize(std::max(want, windowSize_));
  windowLen_ = 0;
  if (!bytes_.readAt(at, window_.data(), want)) return nullptr;
  windowAt_ = at;
  windowLen_ = want;
  return window_.data();
}

}  // namespace zv::zip
