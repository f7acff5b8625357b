// The bytes of an opened archive: a host file read with pread, or a buffer in memory (the
// fuzz target). ReadWindow serves the many small reads of the central directory and of
// small members from one larger read: members lie in order, so one read covers many.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zv::zip {

class ArchiveBytes {
 public:
  ArchiveBytes() = default;
  ArchiveBytes(const ArchiveBytes&) = delete;
  ArchiveBytes& operator=(const ArchiveBytes&) = delete;
  ~ArchiveBytes();

  // Takes over the descriptor.
  void setFile(int fd, uint64_t size);
  // The bytes must outlive this object.
  void setMemory(const void* data, size_t size);

  uint64_t size() const { return size_; }
  int fd() const { return fd_; }
  const unsigned char* memory() const { return memory_; }
  // Reads exactly `len` bytes at `at`; false (errno set, 0 past the end) when it cannot.
  bool readAt(uint64_t at, void* out, size_t len) const;

 private:
  int fd_ = -1;
  const unsigned char* memory_ = nullptr;
  uint64_t size_ = 0;
};

class ReadWindow {
 public:
  explicit ReadWindow(const ArchiveBytes& bytes, size_t windowSize = 64 * 1024)
      : bytes_(bytes), windowSize_(windowSize) {}

  // `len` bytes at `at`, valid until the next call; nullptr when they reach past the end of
  // the archive or cannot be read (errno set; 0 past the end).
  const unsigned char* view(uint64_t at, size_t len);
  const ArchiveBytes& bytes() const { return bytes_; }

 private:
  const ArchiveBytes& bytes_;
  size_t windowSize_;
  std::vector<unsigned char> window_;
  uint64_t windowAt_ = 0;
  size_t windowLen_ = 0;
};

inline uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t le32(const unsigned char* p) {
  return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16;
}
inline uint64_t le64(const unsigned char* p) {
  return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
}

}  // namespace zv::zip
