// The one gate every write of an extracted member goes through. A member name is resolved
// under the destination folder component by component with descriptors opened without
// following symbolic links, so no name (absolute, drive letter, "..", a folder that is a
// symlink) can make the library write outside the destination.
#pragma once
#include <string>
#include <vector>

namespace zv::lzh {

// Empty when the components are safe to create under a destination; otherwise the reason.
// Refused: an absolute name, a drive letter ("C:"), "..", empty components, components
// with '/' or NUL, names longer than the file system allows.
std::string unsafeReason(const std::vector<std::string>& parts, bool absolute);

// A symbolic link target that stays inside the destination when placed at `parts` (the
// link's own path): relative, and its ".." never climb above the destination.
bool linkTargetStaysInside(const std::vector<std::string>& parts, const std::string& target);

class Destination {
 public:
  // Opens the destination folder (host path), creating it and missing parents.
  // Throws LzhError(ZV_ERROR_CANNOT_CREATE).
  explicit Destination(const std::string& hostFolder);
  ~Destination();
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  // Opens the folder that will hold the member `parts` (all but the last component),
  // creating missing folders. Throws LzhError: ZV_ERROR_UNSAFE_NAME for a symbolic link or
  // a file in the way. The caller closes the descriptor.
  int openParent(const std::vector<std::string>& parts);
  // Creates the folder chain `parts` itself.
  void makeFolders(const std::vector<std::string>& parts);

  const std::string& hostFolder() const { return host_; }
  int fd() const { return fd_; }

 private:
  int openChain(const std::vector<std::string>& parts, size_t count);
  std::string host_;
  int fd_ = -1;
};

// A file being written inside a destination folder: a temporary name that is renamed over
// the final name only when everything checked out, so a failed member never leaves a half
// file and an existing file is only replaced by a complete one.
class PendingFile {
 public:
  // Creates the temporary file next to `name` in the folder `dirFd` (not taken over).
  PendingFile(int dirFd, const std::string& name);
  ~PendingFile();  // removes the temporary file unless committed
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int fd() const { return fd_; }
  // Sets permission bits and time stamp, closes, renames into place. Throws LzhError.
  void commit(unsigned mode, long mtime);

 private:
  int dirFd_;
  int fd_ = -1;
  std::string name_, temp_;
  bool done_ = false;
};

}  // namespace zv::lzh
