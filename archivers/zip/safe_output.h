// The one gate through which the archiver libraries write files: member names are checked
// and split into folder components, folders are opened one by one without following symbolic
// links, and files are written to a temporary file in their folder and renamed into place
// only when complete.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zv::archive {

enum class NameProblem { None, Empty, Absolute, Drive, ParentStep, Control };

// Splits a decoded (UTF-8) member name at '/' and '\' into its components. Refuses names
// that are absolute, carry a drive letter, step up with "..", or contain control characters;
// "." components and empty components from doubled separators are dropped.
NameProblem splitMemberName(std::string_view name, std::vector<std::string>& parts);
// Japanese description of a problem, for the library's text output.
const char* describe(NameProblem p);

// True when a symbolic link at depth `depth` below the destination (0 = directly in it),
// pointing at `target`, stays inside the destination.
bool linkStaysInside(std::string_view target, size_t depth);

// An open destination folder. Created (with its parents) when missing.
class Destination {
 public:
  explicit Destination(const std::string& hostFolder);
  ~Destination();
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }  // errno of a failed open
  const std::string& path() const { return path_; }

  // Opens the folder made of parts[0..count-1] below the destination, creating missing
  // folders when `create` is set. A component that is a symbolic link or not a folder fails
  // (ELOOP / ENOTDIR). Returns a descriptor the caller closes, or -1 with errno set.
  int openFolder(const std::vector<std::string>& parts, size_t count, bool create) const;

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
};

// What stands at a name inside an open folder.
enum class Existing { Nothing, File, Folder, Link, Other };
Existing existingAt(int dirFd, const std::string& name);
// Modification time of an ordinary file at the name, 0 when none.
std::time_t modifiedAt(int dirFd, const std::string& name);

// A file being written: a hidden temporary file in the target folder, renamed over the target
// by commit(); dropped (removed) when not committed.
class AtomicFile {
 public:
  AtomicFile(int dirFd, std::string name);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }
  bool write(const void* data, size_t size);
  // Sets permissions (the execute and write bits of `mode` within 0777, never set-id bits)
  // and the modification time (when non-zero), then renames into place. With
  // `keepExisting`, fails with EEXIST instead of replacing a file that appeared meanwhile.
  bool commit(mode_t mode, std::time_t mtime, bool keepExisting = false);
  void drop();

 private:
  int dirFd_;
  std::string name_, temp_;
  int fd_ = -1;
  int error_ = 0;
};

// The archiver error number for an errno of a failed write (disk full, read-only, ...).
int errorFromErrno(int err, int fallback);

}  // namespace zv::archive
