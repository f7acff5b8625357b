// Reads member headers of levels 0 to 3 with their extended headers, validating every size,
// checksum and header CRC before anything is trusted.
#pragma once
#include <cstdint>
#include <string>

#include "byte_source.h"
#include "lzh_member.h"

namespace zv::lzh {

enum class HeaderStatus { Ok, End, Damaged };

struct HeaderRead {
  HeaderStatus status = HeaderStatus::End;
  std::string problem;  // why a header was refused (for the error line)
};

// Largest header accepted (level 3 can declare up to 4 GiB).
constexpr uint32_t kMaxHeaderSize = 1u << 20;

// Reads the header at `pos`. Fills `m` (name decoded) on Ok. End: an end marker or the end of
// the file.
HeaderRead readHeader(ByteSource& src, uint64_t pos, Member& m);

// True when the bytes at `pos` look like the start of a header (method pattern) and the header
// validates; used to find an archive behind a self-extracting stub.
bool headerValidatesAt(ByteSource& src, uint64_t pos);

}  // namespace zv::lzh
