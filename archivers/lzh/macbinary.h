// MacBinary headers that LHA for the Macintosh puts in front of a member's data (followed by
// the data fork and the resource fork), recognised so that extraction can write the file's
// data alone.
#pragma once
#include <cstdint>
#include <optional>

namespace zv::lzh {

constexpr uint64_t kMacBinaryHeaderSize = 128;

// Where in the decoded member the fork to write lies.
struct MacBinaryFork {
  uint64_t offset = 0;
  uint64_t length = 0;
};

// Judges the first 128 decoded bytes of a member of `memberSize` bytes: a MacBinary header is
// accepted when its version bytes are zero, its name length is 1 to 63, its CRC-16 matches
// (MacBinary II and later; MacBinary I leaves that area zero) and its forks fit the member.
// Returns the data fork, or the resource fork of a file without data fork.
std::optional<MacBinaryFork> macBinaryFork(const unsigned char* header, uint64_t memberSize);

}  // namespace zv::lzh
