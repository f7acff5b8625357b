// The parsed list of an archive's members, found once and kept between calls: the windows
// call the library once per member, so a 10 000-member archive must not be rescanned for
// each call. Entries are keyed by host path and checked against size, inode and time stamp.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_source.h"
#include "lzh_member.h"
#include "member_table.h"
#include "name_codec.h"
#include "platform/name_encoding.h"

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
  MemberTable members;
  // The encoding asked for the names that do not say theirs (Auto: decide from the names), and
  // the one they were read in.
  encoding::NameEncoding requested = encoding::NameEncoding::Auto;
  encoding::NameEncoding decided = encoding::NameEncoding::Cp932;

  static constexpr size_t kNotFound = static_cast<size_t>(-1);
  // The index of the member of that path, or kNotFound: one whose case matches exactly wins
  // over one that matches only without case (Case.TXT and case.txt are two files on this
  // system). Of several members of one path the last counts.
  size_t find(std::string_view path) const;
  // Adds a member; the path table, when built, takes it in place: the creation window
  // appends one file per call and looks up the next name straight after.
  void add(const Member& m);

 private:
  // Open addressing over member numbers + 1 (0: empty), keyed by the folded path (ASCII case,
  // '\' separators, no trailing '\'). Built on the first find: listing and extracting
  // everything never need it. Every call into the library runs under one lock.
  mutable std::vector<uint32_t> byPath;
  void buildByPath() const;
  void placeInTable(size_t member) const;
};

// Case- and separator-insensitive key of a member path.
std::string foldPath(std::string_view path);
// True when two member paths are the same apart from their separators.
bool samePath(std::string_view a, std::string_view b);

// The archive's headers one at a time, none kept: extracting or testing everything of an
// archive of 100 000 members needs no more memory than of one. The constructor finds the
// first header (behind a self-extracting stub too) and throws LzhError
// (ZV_ERROR_NOT_ARCHIVE, ZV_ERROR_BROKEN_ARCHIVE) when there is none.
class HeaderWalk {
 public:
  explicit HeaderWalk(ByteSource& src);
  // The next member; false at the end marker, at a damaged header (after the first), or
  // after a member cut short (which is still given, marked truncated).
  bool next(Member& m);
  uint64_t start() const { return start_; }
  uint64_t end() const { return pos_; }  // where the end marker is, or the file ends
  bool damaged() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }

 private:
  ByteSource& src_;
  uint64_t start_ = 0, pos_ = 0;
  size_t count_ = 0;
  bool done_ = false;
  std::string problem_;
};

// Reads the archive's headers from `src`. Throws LzhError (ZV_ERROR_NOT_ARCHIVE) when no
// valid first header is found; a later damaged header marks the index damaged.
// Names that do not say their encoding are read in `names`; with Auto the archive's names
// decide one encoding for all of them.
std::shared_ptr<ArchiveIndex> scanArchive(
    ByteSource& src, encoding::NameEncoding names = encoding::NameEncoding::Auto);
// The kept index of the archive at a host path, read with `names`, when it is there and
// unchanged, else null.
std::shared_ptr<const ArchiveIndex> keptIndex(const std::string& hostPath,
                                              encoding::NameEncoding names);
// How a walk over the archive in `src` reads names: the user's choice, or with Auto the one
// encoding the archive's names decide (a first walk over the headers; samples kept bounded).
// `seenAll` false: the first walk may stop at damage short of the last member, so the
// decision is kept for the names it did not see.
NameReading nameReadingFor(ByteSource& src, encoding::NameEncoding names, bool seenAll = true);
// Reads a member's name again when `reading` differs from how readHeader read it.
void readNameAs(Member& m, const NameReading& reading);

// Scans the archive at a host path, or takes the kept index when the file is unchanged.
// Throws LzhError: ZV_ERROR_CANNOT_OPEN when missing, ZV_ERROR_NOT_ARCHIVE when not LZH.
// A kept index read with another encoding is read again.
std::shared_ptr<const ArchiveIndex> loadIndex(
    const std::string& hostPath, encoding::NameEncoding names = encoding::NameEncoding::Auto);
// Keeps an index the library has just written (after an append or rewrite).
void rememberIndex(std::shared_ptr<ArchiveIndex> index);
void forgetIndex(const std::string& hostPath);
// Refreshes the identity fields (size, inode, time) from the file system.
bool statIdentity(const std::string& hostPath, ArchiveIndex& index);

}  // namespace zv::lzh
