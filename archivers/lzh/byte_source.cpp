#include "byte_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zv::lzh {

size_t MemorySource::readAt(uint64_t offset, void* buf, size_t len) {
  if (offset >= len_) return 0;
  size_t n = std::min<uint64_t>(len, len_ - offset);
  std::memcpy(buf, data_ + offset, n);
  return n;
}

FileSource::FileSource(int fd) : fd_(fd), window_(new unsigned char[kWindow]) {
  struct stat st {};
  if (fstat(fd_, &st) == 0) size_ = static_cast<uint64_t>(st.st_size);
}

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileSource::readAt(uint64_t offset, void* buf, size_t len) {
  auto* out = static_cast<unsigned char*>(buf);
  size_t done = 0;
  while (done < len) {
    uint64_t at = offset + done;
    if (at >= size_) break;
    if (at < windowStart_ || at >= windowStart_ + windowLen_) {
      if (len - done >= kWindow) {  // large reads bypass the window
        ssize_t r = pread(fd_, out + done, len - done, static_cast<off_t>(at));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
        continue;
      }
      ssize_t r = pread(fd_, window_.get(), kWindow, static_cast<off_t>(at));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      windowStart_ = at;
      windowLen_ = static_cast<size_t>(r);
    }
    size_t inWindow = static_cast<size_t>(at - windowStart_);
    size_t n = std::min(len - done, windowLen_ - inWindow);
    std::memcpy(out + done, window_.get() + inWindow, n);
    done += n;
  }
  return done;
}

}  // namespace zv::lzh
