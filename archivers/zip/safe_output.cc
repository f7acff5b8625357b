#include "safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "zorvex/archiver_api.h"

namespace zv::archive {

NameProblem splitMemberName(std::string_view name, std::vector<std::string>& parts) {
  parts.clear();
  if (name.empty()) return NameProblem::Empty;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return NameProblem::Control;
  if (name[0] == '/' || name[0] == '\\') return NameProblem::Absolute;
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    return NameProblem::Drive;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    if (part == "..") return NameProblem::ParentStep;
    if (!part.empty() && part != ".") {
      // A colon inside a component is harmless on this system but names a drive or a data
      // stream elsewhere; the names are kept as written.
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  return parts.empty() ? NameProblem::Empty : NameProblem::None;
}

const char* describe(NameProblem p) {
  switch (p) {
    case NameProblem::None: return "";
    case NameProblem::Empty: return "名前が空です";
    case NameProblem::Absolute: return "絶対パスの名前です";
    case NameProblem::Drive: return "ドライブ名を含む名前です";
    case NameProblem::ParentStep: return "\"..\" で解凍先の外を指す名前です";
    case NameProblem::Control: return "制御文字を含む名前です";
  }
  return "";
}

bool linkStaysInside(std::string_view target, size_t depth) {
  if (target.empty() || target[0] == '/' || target[0] == '\\') return false;
  if (target.size() >= 2 && target[1] == ':') return false;
  long level = long(depth);
  size_t start = 0;
  while (start <= target.size()) {
    size_t end = target.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = target.size();
    std::string_view part = target.substr(start, end - start);
    if (part == "..") {
      if (--level < 0) return false;
    } else if (!part.empty() && part != ".") {
      ++level;
    }
    start = end + 1;
  }
  return true;
}

namespace {

int makeFolders(const std::string& path) {
  std::string cur;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t next = path.find('/', pos + 1);
    if (next == std::string::npos) next = path.size();
    cur = path.substr(0, next);
    if (!cur.empty() && ::mkdir(cur.c_str(), 0777) != 0 && errno != EEXIST) return errno;
    pos = next;
  }
  return 0;
}

}  // namespace

Destination::Destination(const std::string& hostFolder) : path_(hostFolder) {
  while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
  if (path_.empty()) path_ = ".";
  fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0 && errno == ENOENT) {
    if (int e = makeFolders(path_)) {
      error_ = e;
      return;
    }
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  if (fd_ < 0) error_ = errno;
}

Destination::~Destination() {
  if (fd_ >= 0) ::close(fd_);
}

int Destination::openFolder(const std::vector<std::string>& parts, size_t count, bool create) const {
  int fd = ::dup(fd_);
  if (fd < 0) return -1;
  for (size_t i = 0; i < count && i < parts.size(); ++i) {
    int next = ::openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0 && errno == ENOENT && create) {
      if (::mkdirat(fd, parts[i].c_str(), 0777) != 0 && errno != EEXIST) {
        int e = errno;
        ::close(fd);
        errno = e;
        return -1;
      }
      next = ::openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    int e = errno;
    ::close(fd);
    if (next < 0) {
      errno = e;
      return -1;
    }
    fd = next;
  }
  return fd;
}

Existing existingAt(int dirFd, const std::string& name) {
  struct stat st;
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Existing::Nothing;
  if (S_ISREG(st.st_mode)) return Existing::File;
  if (S_ISDIR(st.st_mode)) return Existing::Folder;
  if (S_ISLNK(st.st_mode)) return Existing::Link;
  return Existing::Other;
}

std::time_t modifiedAt(int dirFd, const std::string& name) {
  struct stat st;
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return 0;
  return st.st_mtime;
}

AtomicFile::AtomicFile(int dirFd, std::string name) : dirFd_(dirFd), name_(std::move(name)) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = ".zv-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    fd_ = ::openat(dirFd_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) error_ = errno, temp_.clear();
}

AtomicFile::~AtomicFile() { drop(); }

bool AtomicFile::write(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    p += n, size -= size_t(n);
  }
  return true;
}

bool AtomicFile::commit(mode_t mode, std::time_t mtime, bool keepExisting) {
  if (fd_ < 0) return false;
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, (mode & 0777) & ~mask);
  if (mtime != 0) {
    struct timespec times[2];
    times[0].tv_sec = mtime, times[0].tv_nsec = 0;
    times[1] = times[0];
    ::futimens(fd_, times);
  }
  if (::close(fd_) != 0) {
    error_ = errno;
    fd_ = -1;
    drop();
    return false;
  }
  fd_ = -1;
  int r;
  if (keepExisting) {
    // A hard link never replaces a file that appeared meanwhile; where the file system has no
    // hard links, check and rename instead.
    r = ::linkat(dirFd_, temp_.c_str(), dirFd_, name_.c_str(), 0);
    if (r != 0 && (errno == EPERM || errno == ENOTSUP || errno == EXDEV || errno == EMLINK)) {
      keepExisting = false;
      if (existingAt(dirFd_, name_) != Existing::Nothing) {
        errno = EEXIST;
      } else {
        r = ::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str());
      }
    }
  } else {
    r = ::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str());
  }
  if (r != 0) {
    error_ = errno;
    drop();
    return false;
  }
  if (keepExisting) ::unlinkat(dirFd_, temp_.c_str(), 0);
  temp_.clear();
  return true;
}

void AtomicFile::drop() {
  if (fd_ >= 0) ::close(fd_), fd_ = -1;
  if (!temp_.empty()) ::unlinkat(dirFd_, temp_.c_str(), 0), temp_.clear();
}

int errorFromErrno(int err, int fallback) {
  switch (err) {
    case ENOSPC:
    case EDQUOT: return ZV_ERROR_DISK_SPACE;
    case EROFS:
    case EACCES:
    case EPERM: return ZV_ERROR_READ_ONLY;
    case ENOMEM: return ZV_ERROR_MEMORY;
    default: return fallback;
  }
}

}  // namespace zv::archive
