// The one gate through which every archiver library writes files: member names are checked
// and split into folder components, folders are opened one by one without following symbolic
// links, link targets are resolved before a link is made, and files are written to a
// temporary file in their folder and renamed into place only when complete (synced first when
// it replaces a file the user had).
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
// removeStaleTemporaries, once per folder per process: a run that writes one file per call
// must not read a folder of 100 000 entries on every call. What another process leaves after
// the sweep is swept by the next process that writes there. Folders are told apart by inode
// and birth time, so one removed and made again is swept anew; the oldest of
// `kSweptFoldersKept` is forgotten (and swept again on its next write). True when it swept.
constexpr size_t kSweptFoldersKept = 64;
bool sweepFolderOnce(int dirFd);

// What a run writing many files pays once instead of once per file: the umask.
class WriteBatch {
 public:
  WriteBatch();
  mode_t writtenMode(mode_t mode) const { return (mode & 0777) & ~mask_; }

 private:
  mode_t mask_;
};

// A file being written: a hidden temporary file in the target folder, renamed over the target
// by commit(); dropped (removed) when not committed. The first file written in a folder by
// this process also sweeps that folder's stale temporary files.
//
// Syncs: a file that replaces one already at the name is flushed before the rename, so that
// name holds either the old file or the complete new one. A new file is not flushed: until
// the system writes it out, a crash can leave it short or empty, but nothing the user had is
// lost, since the archive it comes from still holds it.
class AtomicFile {
 public:
  AtomicFile(int dirFd, std::string name, const WriteBatch* batch = nullptr);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  bool write(const void* data, size_t size);
  // Sets permissions (writtenMode) and the modification time (when non-zero), then renames
  // into place, synced first when a file stands at the name. With `keepExisting`, fails with
  // EEXIST instead of replacing a file that appeared meanwhile. A folder at the name is never
  // replaced (EISDIR).
  bool commit(mode_t mode, std::time_t mtime, bool keepExisting = false);
  void drop();

 private:
  bool syncTemporary();
  int dirFd_;
  const WriteBatch* batch_;
  std::string name_, temp_;
  int fd_ = -1;
  int error_ = 0;
};

// Makes a symbolic link `name` -> `target` in the folder, replacing what stands there (not a
// folder) only once the link exists under a temporary name. False with errno set.
bool placeLink(int dirFd, const std::string& name, const std::string& target);

// The archiver error number for an errno of a failed write (disk full, read-only, ...).
int errorFromErrno(int err, int fallback);

// The cause of a failed file operation as the libraries' messages give it: in Japanese for
// the causes a user meets, in the system's own words for the rare others.
std::string errnoText(int err);

}  // namespace zv::archive
