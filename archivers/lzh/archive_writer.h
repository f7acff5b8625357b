// Writing archives safely. A new or rewritten archive is written to a temporary file in the
// archive's folder and renamed over it, so a failure leaves the old archive whole. New
// members of an archive that keeps all its members are appended in place: everything is
// written behind the old end marker first and made durable, and only then is that marker
// byte replaced by the first byte of the new header.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive_index.h"
#include "header_writer.h"
#include "run_context.h"

namespace zv::lzh {

// A member to be written: a file on disk, a folder entry, or a member copied raw.
struct NewMember {
  std::vector<std::string> parts;
  std::string sourceHost;  // empty for folders
  bool folder = false;
  std::time_t mtime = 0;
  uint16_t unixMode = 0;
  uint64_t size = 0;
};

struct WriteOptions {
  const char* method = "-lh5-";
  int level = 2;
  // The call returns only when the new members are on disk (a move deletes its sources
  // next). Otherwise an append is ordered but not waited for: after a crash the archive is
  // either the old one or the new one, never a mixture.
  bool durable = true;
  int packLevel = 0;  // the codec's level: 0 default, 9 smallest
};

class ArchiveWriter {
 public:
  ArchiveWriter(RunContext& ctx, WriteOptions opts) : ctx_(ctx), opts_(opts) {}

  // Appends `add` to the existing archive described by `idx` (nothing after its end marker).
  void append(ArchiveIndex& idx, const std::vector<NewMember>& add);
  // Writes a new archive at `hostPath`: the bytes before `old->start` (a stub), the old
  // members not in `drop`, then `add`. `old` may be null for a new archive.
  void rewrite(const std::string& hostPath, const ArchiveIndex* old, const std::vector<bool>& drop,
               const std::vector<NewMember>& add, const std::string& stubBytes = {});

 private:
  // Writes one member at `pos`; returns the position after it. With `deferFirstByte` the
  // header's first byte is left out and returned in *firstByte.
  uint64_t writeMember(int fd, uint64_t pos, const NewMember& m, bool deferFirstByte,
                       unsigned char* firstByte);
  // writeMember whose failure names the file being stored.
  uint64_t writeNamed(int fd, uint64_t pos, const NewMember& m, bool deferFirstByte,
                      unsigned char* firstByte);
  RunContext& ctx_;
  WriteOptions opts_;
};

}  // namespace zv::lzh
