// The one gate through which every archiver library writes files: member names are checked
// and split into folder components, folders are opened one by one without following symbolic
// links, link targets are resolved before a link is made, and files are written to a
// temporary file in their folder, synced, and renamed into place only when complete.
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/member_name.h"

namespace zv::archive {

// Member names are judged by the functions the extraction window uses as well.
using zv::checkParts;
using zv::describe;
using zv::NameProblem;
using zv::splitMemberName;
using zv::withoutStoredDrive;

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

  // True when a symbolic link placed at `parts` pointing at `target` resolves inside the
  // destination: the target is followed through the links already in the destination (those
  // written earlier in the run included), and a ".." after a component that does not exist
  // yet is refused, because a later member could make that component a link.
  bool linkResolvesInside(const std::vector<std::string>& parts, const std::string& target) const;

  // The folder of parts[0..count-1] (created when missing) as openFolder opens it, kept open
  // for the next member: members come folder by folder, so a run of 100 000 files opens each
  // folder once instead of once per file. The descriptor belongs to the destination and
  // stays valid until the next call. -1 with errno set on failure.
  int cachedFolder(const std::vector<std::string>& parts, size_t count);

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  std::vector<std::string> cachedParts_;
  int cachedFd_ = -1;
};

// An open folder descriptor closed with its scope.
struct FolderFd {
  int fd = -1;
  explicit FolderFd(int f) : fd(f) {}
  ~FolderFd();
  FolderFd(const FolderFd&) = delete;
  FolderFd& operator=(const FolderFd&) = delete;
};

// What stands at a name inside an open folder.
enum class Existing { Nothing, File, Folder, Link, Other };
Existing existingAt(int dirFd, const std::string& name);
// Modification time of an ordinary file at the name, 0 when none.
std::time_t modifiedAt(int dirFd, const std::string& name);

// The permission bits a written file gets for a stored `mode`: read, write and execute bits
// only (never set-id or sticky bits), less the process's umask.
mode_t writtenMode(mode_t mode);

// Temporary files of this program in a folder are named ".zv-PID-N.tmp". Creates one
// (O_RDWR | O_EXCL, mode 0600) and returns its descriptor, or -1 with errno set; `name` receives
// it.
int createTemporary(int dirFd, std::string& name, int flags = 0);
// True for the name of a temporary file this program leaves while writing (older forms
// included), with the process id that wrote it.
bool isTemporaryName(std::string_view name, long& pid);
// Removes the temporary files in the folder whose writing process no longer runs: what a
// killed or crashed run left behind. Returns how many were removed.
int removeStaleTemporaries(int dirFd);

// What a run writing many files pays once instead of once per file: the umask, and the sync
// of files that replace nothing (see AtomicFile::commit). finish() must be called before the
// run reports success.
class WriteBatch {
 public:
  WriteBatch();
  ~WriteBatch();
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  mode_t writtenMode(mode_t mode) const { return (mode & 0777) & ~mask_; }
  // Flushes every file system a file of the batch went to (syncfs: file data and folder
  // entries at once). False with errno set when that fails: the run must not report success.
  bool finish();

 private:
  friend class AtomicFile;
  void written(int dirFd, dev_t device);
  // True the first time a file of this run goes into the folder: its stale temporary files
  // are swept then.
  bool firstVisit(const struct stat& folder);
  mode_t mask_;
  std::vector<std::pair<dev_t, ino_t>> swept_;
  std::vector<std::pair<dev_t, int>> systems_;  // one open folder per file system written to
  dev_t lastDevice_ = 0;
  bool any_ = false;
};

// A file being written: a hidden temporary file in the target folder, renamed over the target
// by commit(); dropped (removed) when not committed. The first file written in a folder also
// sweeps that folder's stale temporary files. With a batch, a file that replaces nothing is
// synced by the batch's finish() instead of one by one.
class AtomicFile {
 public:
  AtomicFile(int dirFd, std::string name, WriteBatch* batch = nullptr);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  bool write(const void* data, size_t size);
  // Sets permissions (writtenMode) and the modification time (when non-zero), syncs, then
  // renames into place. With `keepExisting`, fails with EEXIST instead of replacing a file
  // that appeared meanwhile. A folder at the name is never replaced (EISDIR).
  bool commit(mode_t mode, std::time_t mtime, bool keepExisting = false);
  void drop();

 private:
  bool syncTemporary();
  int dirFd_;
  WriteBatch* batch_;
  dev_t device_ = 0;
  std::string name_, temp_;
  int fd_ = -1;
  int error_ = 0;
};

// Makes a symbolic link `name` -> `target` in the folder, replacing what stands there (not a
// folder) only once the link exists under a temporary name. False with errno set.
bool placeLink(int dirFd, const std::string& name, const std::string& target);

// The archiver error number for an errno of a failed write (disk full, read-only, ...).
int errorFromErrno(int err, int fallback);

}  // namespace zv::archive
