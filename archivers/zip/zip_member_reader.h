// Reads members straight from the archive: the local header for where the data starts,
// stored and deflated data decoded here (one inflate state for the whole run), the length
// and CRC-32 checked at the end; the packed bytes of other methods for their own decoders.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <memory>

#include "zip_archive.h"
#include "zip_bytes.h"
#include "zip_lzma.h"

namespace zv::zip {

class MemberReader : public RawInput {
 public:
  enum class Status { Ok, Header, Truncated, Read, Data, Memory, Crc, Length };

  explicit MemberReader(const ArchiveBytes& bytes);
  ~MemberReader() override;
  MemberReader(const MemberReader&) = delete;
  MemberReader& operator=(const MemberReader&) = delete;

  // True for the methods read() decodes.
  static bool decodes(uint16_t method) { return method == 0 || method == 8; }

  // Finds the member's data behind its local header; false with status() set. With
  // `toEnd`, a member whose data runs past the end of the file is read as far as it goes.
  bool open(const Member& m, bool toEnd = false);
  // The next decoded bytes in *data (valid until the next call): their count, 0 at the end of
  // a member whose length and CRC-32 match, -1 with status() set.
  int64_t read(const char** data);
  // The packed bytes as they are stored.
  int64_t readRaw(void* out, size_t max) override;

  Status status() const { return status_; }
  // What went wrong, in the words the library's other messages use.
  static const char* describe(Status s);

 private:
  int64_t fail(Status s) {
    status_ = s;
    return -1;
  }
  const unsigned char* next(size_t max, size_t* got);
  int64_t finish();
  int64_t inflateSome(const char** data);

  ReadWindow window_;
  Status status_ = Status::Ok;
  uint16_t method_ = 0;
  uint64_t dataAt_ = 0, packedLeft_ = 0, size_ = 0, produced_ = 0;
  uint32_t crc_ = 0, expectedCrc_ = 0;
  bool streamEnded_ = false;
  Status failing_ = Status::Ok;  // the inflate failure behind the bytes handed out last
  bool zReady_ = false;
  z_stream z_{};
  std::unique_ptr<unsigned char[]> out_;
};

}  // namespace zv::zip
