// Moving member data: decoding a member with its CRC-16 checked, and packing a file into a
// new member.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "header_writer.h"
#include "lzh_member.h"
#include "run_context.h"

namespace zv::lzh {

// The archive's member data read through one window of 64 KiB shared by a whole run: members
// lie one after the other, so one read serves many small ones. Reads of a window or more go
// straight to the file. Does not own the descriptor.
class ArchiveReader {
 public:
  explicit ArchiveReader(int fd) : fd_(fd) {}
  int fd() const { return fd_; }
  // Like pread: the bytes read (fewer at the end of the file), or -1 with errno.
  ssize_t read(uint64_t at, void* buf, size_t len);

 private:
  int fd_;
  std::unique_ptr<unsigned char[]> window_;  // kChunk bytes, left unfilled until read
  uint64_t windowAt_ = 0;
  size_t windowLen_ = 0;
};

// Decodes the member's data from the archive into `outFd` (-1: only test).
// Throws LzhError: ZV_ERROR_METHOD, ZV_ERROR_BROKEN_ARCHIVE, ZV_ERROR_CRC, ZV_ERROR_WRITE,
// ZV_ERROR_DISK_SPACE, ZV_ERROR_USER_CANCEL.
void decodeMember(ArchiveReader& archive, const Member& m, int outFd, RunContext& ctx);

bool canDecode(const Member& m);

// Packs the open file `srcFd` (`size` bytes) with `method` ("-lh5-", "-lh0-", ...) and writes
// the data to `outFd` from offset `dataAt`. Fills the header fields' method, sizes and CRC; falls
// back to "-lh0-" when packing does not pay. Returns the number of data bytes written.
uint64_t packFile(int srcFd, uint64_t size, const char* method, int outFd, uint64_t dataAt,
                  NewHeader& fields, RunContext& ctx, int packLevel = 0);

// Writes all of `bytes` at `offset`; throws LzhError (ZV_ERROR_WRITE / ZV_ERROR_DISK_SPACE).
void writeAt(int fd, const void* bytes, size_t len, uint64_t offset);
// Copies `len` bytes between descriptors at the given offsets.
void copyRange(int fromFd, uint64_t from, int toFd, uint64_t to, uint64_t len);

}  // namespace zv::lzh
