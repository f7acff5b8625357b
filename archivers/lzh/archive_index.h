// The parsed list of an archive's members, found once and kept between calls: the windows
// call the library once per member, so a 10 000-member archive must not be rescanned for
// each call. Entries are keyed by host path and checked against size, inode and time stamp.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "byte_source.h"
#include "lzh_member.h"

namespace zv::lzh {

struct ArchiveIndex {
  std::string hostPath;
  uint64_t fileSize = 0;
  dev_t device = 0;
  ino_t inode = 0;
  struct timespec modified {};

  uint64_t start = 0;  // first header (after a self-extracting stub)
  uint64_t end = 0;    // where the end marker is, or the file ends: new members go here
  bool damaged = false;
  std::string problem;
  std::vector<Member> members;
  // Folded path (ASCII case, '\' separators, no trailing '\') to the last member of that path.
  std::unordered_map<std::string, size_t> byPath;

  // The member of that path: one whose case matches exactly wins over one that matches
  // only without case (Case.TXT and case.txt are two files on this system).
  const Member* find(const std::string& path) const;
};

// Case- and separator-insensitive key of a member path.
std::string foldPath(const std::string& path);
// True when two member paths are the same apart from their separators.
bool samePath(const std::string& a, const std::string& b);

// Reads the archive's headers from `src`. Throws LzhError (ZV_ERROR_NOT_ARCHIVE) when no
// valid first header is found; a later damaged header marks the index damaged.
std::shared_ptr<ArchiveIndex> scanArchive(ByteSource& src);

// Scans the archive at a host path, or takes the kept index when the file is unchanged.
// Throws LzhError: ZV_ERROR_CANNOT_OPEN when missing, ZV_ERROR_NOT_ARCHIVE when not LZH.
std::shared_ptr<const ArchiveIndex> loadIndex(const std::string& hostPath);
// Keeps an index the library has just written (after an append or rewrite).
void rememberIndex(std::shared_ptr<ArchiveIndex> index);
void forgetIndex(const std::string& hostPath);
// Refreshes the identity fields (size, inode, time) from the file system.
bool statIdentity(const std::string& hostPath, ArchiveIndex& index);

}  // namespace zv::lzh
