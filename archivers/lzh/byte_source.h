// Random-access byte sources the header reader works on: an open file (buffered) or memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::lzh {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Copies up to `len` bytes from `offset`; returns how many (fewer at the end).
  virtual size_t readAt(uint64_t offset, void* buf, size_t len) = 0;
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, size_t len)
      : data_(static_cast<const unsigned char*>(data)), len_(len) {}
  uint64_t size() const override { return len_; }
  size_t readAt(uint64_t offset, void* buf, size_t len) override;

 private:
  const unsigned char* data_;
  size_t len_;
};

// Reads a file through a window of 64 KiB so that walking thousands of small headers costs
// few system calls. Owns the descriptor.
class FileSource : public ByteSource {
 public:
  explicit FileSource(int fd);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  uint64_t size() const override { return size_; }
  size_t readAt(uint64_t offset, void* buf, size_t len) override;
  int fd() const { return fd_; }

 private:
  int fd_;
  uint64_t size_ = 0;
  static constexpr size_t kWindow = 64 * 1024;
  std::unique_ptr<unsigned char[]> window_;  // left unfilled until read: one per call
  uint64_t windowStart_ = 0;
  size_t windowLen_ = 0;
};

}  // namespace zv::lzh
