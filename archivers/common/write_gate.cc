#include "write_gate.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "zorvex/archiver_api.h"

namespace zv::archive {

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
  if (cachedFd_ >= 0) ::close(cachedFd_);
  if (fd_ >= 0) ::close(fd_);
}

int Destination::cachedFolder(const std::vector<std::string>& parts, size_t count) {
  count = std::min(count, parts.size());
  if (cachedFd_ >= 0 && cachedParts_.size() == count &&
      std::equal(cachedParts_.begin(), cachedParts_.end(), parts.begin()))
    return cachedFd_;
  if (cachedFd_ >= 0) ::close(cachedFd_);
  cachedParts_.assign(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(count));
  cachedFd_ = openFolder(parts, count, true);
  return cachedFd_;
}

int Destination::openFolder(const std::vector<std::string>& parts, size_t count,
                            bool create) const {
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

bool Destination::linkResolvesInside(const std::vector<std::string>& parts,
                                     const std::string& target) const {
  if (parts.empty() || target.empty() || target[0] == '/' || target[0] == '\\') return false;
  if (target.size() >= 2 && target[1] == ':') return false;
  // `path` is where resolution stands, as components below the destination, each one a real
  // folder (or, once `unknown` is set, a name that does not exist yet).
  std::vector<std::string> path(parts.begin(), parts.end() - 1);
  std::deque<std::string> todo;
  auto queue = [&todo](const std::string& text) {
    std::vector<std::string> cs;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find_first_of("/\\", start);
      if (end == std::string::npos) end = text.size();
      cs.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    todo.insert(todo.begin(), cs.begin(), cs.end());
  };
  queue(target);
  bool unknown = false;
  int hops = 0;
  while (!todo.empty()) {
    std::string c = std::move(todo.front());
    todo.pop_front();
    if (c.empty() || c == ".") continue;
    if (c == "..") {
      if (path.empty() || unknown) return false;
      path.pop_back();
      continue;
    }
    path.push_back(c);
    if (unknown) continue;
    std::string rel;
    for (const std::string& p : path) rel += (rel.empty() ? "" : "/") + p;
    struct stat st;
    if (::fstatat(fd_, rel.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      unknown = true;
      continue;
    }
    if (!S_ISLNK(st.st_mode)) continue;
    if (++hops > 40) return false;
    char buf[PATH_MAX];
    ssize_t n = ::readlinkat(fd_, rel.c_str(), buf, sizeof buf);
    if (n <= 0 || size_t(n) >= sizeof buf || buf[0] == '/') return false;
    path.pop_back();
    queue(std::string(buf, size_t(n)));
  }
  return true;
}

FolderFd::~FolderFd() {
  if (fd >= 0) ::close(fd);
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
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
    return 0;
  return st.st_mtime;
}

namespace {

mode_t currentUmask() {
  static std::mutex lock;
  std::lock_guard<std::mutex> hold(lock);
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

mode_t writtenMode(mode_t mode) { return (mode & 0777) & ~currentUmask(); }

namespace {

// The process id, asked once (and again in a forked child): a run names one temporary file
// per member.
std::atomic<pid_t> g_pid{0};

pid_t processId() {
  pid_t pid = g_pid.load(std::memory_order_relaxed);
  if (pid == 0) {
    static std::once_flag once;
    std::call_once(once, [] { ::pthread_atfork(nullptr, nullptr, [] { g_pid = 0; }); });
    pid = ::getpid();
    g_pid = pid;
  }
  return pid;
}

}  // namespace

int createTemporary(int dirFd, std::string& name, int flags) {
  static std::atomic<unsigned> counter{0};
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    name = ".zv-" + std::to_string(processId()) + "-" + std::to_string(counter++) + ".tmp";
    fd = ::openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | flags,
                  0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) name.clear();
  return fd;
}

namespace {

bool readNumber(std::string_view& s, long& value) {
  size_t n = 0;
  value = 0;
  while (n < s.size() && n < 10 && s[n] >= '0' && s[n] <= '9') value = value * 10 + (s[n++] - '0');
  if (n == 0 || n == 10) return false;
  s.remove_prefix(n);
  return true;
}

bool eat(std::string_view& s, std::string_view prefix) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  s.remove_prefix(prefix.size());
  return true;
}

bool endsWithArchiveType(std::string_view s) {
  if (s.size() < 4) return false;
  std::string ext(s.substr(s.size() - 4));
  for (char& c : ext) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".lzh" || ext == ".lha" || ext == ".exe";
}

bool processRuns(long pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

}  // namespace

bool isTemporaryName(std::string_view name, long& pid) {
  if (name.size() < 6 || name.substr(name.size() - 4) != ".tmp") return false;
  std::string_view s = name.substr(0, name.size() - 4);
  long n;
  // ".zv-PID-N" (files), ".zv-link-PID" (links).
  std::string_view t = s;
  if (eat(t, ".zv-link-")) return readNumber(t, pid) && t.empty();
  t = s;
  if (eat(t, ".zv-")) return readNumber(t, pid) && eat(t, "-") && readNumber(t, n) && t.empty();
  // Older forms: ".zvPID_N" (extracted LZH members), ".ARCHIVE.PID_N" (rewritten archives).
  t = s;
  if (eat(t, ".zv") && readNumber(t, pid) && eat(t, "_") && readNumber(t, n) && t.empty())
    return true;
  if (s.empty() || s[0] != '.') return false;
  size_t dot = s.rfind('.');
  if (dot == 0 || !endsWithArchiveType(s.substr(1, dot - 1))) return false;
  t = s.substr(dot + 1);
  return readNumber(t, pid) && eat(t, "_") && readNumber(t, n) && t.empty();
}

int removeStaleTemporaries(int dirFd) {
  int copy = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (copy < 0) return 0;
  DIR* d = ::fdopendir(copy);
  if (!d) {
    ::close(copy);
    return 0;
  }
  std::vector<std::string> stale;
  while (dirent* e = ::readdir(d)) {
    long pid = 0;
    if (isTemporaryName(e->d_name, pid) && pid != ::getpid() && !processRuns(pid))
      stale.emplace_back(e->d_name);
  }
  ::closedir(d);
  int removed = 0;
  for (const std::string& name : stale) {
    struct stat st;
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
    if (::unlinkat(dirFd, name.c_str(), 0) == 0) ++removed;
  }
  return removed;
}

namespace {

// A folder swept by this process: its inode and birth time, so a folder removed and made
// again under a reused inode number is a new folder. No descriptor is held (one would keep
// a removable medium from being unmounted).
struct SweptFolder {
  dev_t device;
  ino_t inode;
  int64_t bornSec;
  uint32_t bornNsec;
  bool operator==(const SweptFolder&) const = default;
};

}  // namespace

bool sweepFolderOnce(int dirFd) {
  static std::mutex lock;
  static std::deque<SweptFolder> swept;  // the most recently written folder last
  struct statx sx {};
  if (::statx(dirFd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &sx) != 0)
    return removeStaleTemporaries(dirFd), true;
  SweptFolder id{::makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino, 0, 0};
  if (sx.stx_mask & STATX_BTIME) {
    id.bornSec = sx.stx_btime.tv_sec;
    id.bornNsec = sx.stx_btime.tv_nsec;
  }
  std::lock_guard<std::mutex> hold(lock);
  auto it = std::find(swept.begin(), swept.end(), id);
  if (it != swept.end()) {
    swept.erase(it);
    swept.push_back(id);
    return false;
  }
  removeStaleTemporaries(dirFd);
  if (swept.size() >= kSweptFoldersKept) swept.pop_front();
  swept.push_back(id);
  return true;
}

WriteBatch::WriteBatch() : mask_(currentUmask()) {}

AtomicFile::AtomicFile(int dirFd, std::string name, const WriteBatch* batch)
    : dirFd_(dirFd), batch_(batch), name_(std::move(name)) {
  sweepFolderOnce(dirFd_);
  fd_ = createTemporary(dirFd_, temp_);
  if (fd_ < 0) error_ = errno;
}

AtomicFile::~AtomicFile() { drop(); }

bool AtomicFile::syncTemporary() {
  int fd = ::openat(dirFd_, temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool good = ::fdatasync(fd) == 0 || errno == EINVAL;
  int e = errno;
  ::close(fd);
  errno = e;
  return good;
}

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

void AtomicFile::stamp(mode_t mode, std::time_t mtime) {
  ::fchmod(fd_, batch_ ? batch_->writtenMode(mode) : writtenMode(mode));
  if (mtime != 0) {
    struct timespec times[2];
    times[0].tv_sec = mtime, times[0].tv_nsec = 0;
    times[1] = times[0];
    ::futimens(fd_, times);
  }
}

bool AtomicFile::commit(mode_t mode, std::time_t mtime, bool keepExisting) {
  if (fd_ < 0) return false;
  auto failWith = [this](int e) {
    error_ = e;
    drop();
    return false;
  };
  stamp(mode, mtime);
  int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return failWith(errno);
  if (!keepExisting) {
    // RENAME_NOREPLACE succeeds only where nothing stands at the name: a new file, placed
    // without a sync (see the class comment).
    if (::renameat2(dirFd_, temp_.c_str(), dirFd_, name_.c_str(), RENAME_NOREPLACE) == 0) {
      temp_.clear();
      return true;
    }
    if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return failWith(errno);
    // Something stands there (or the file system cannot say): the data reaches the disk
    // before the name does, so the replaced file is the old one or the whole new one.
    if (existingAt(dirFd_, name_) == Existing::Folder) return failWith(EISDIR);
    if (!syncTemporary()) return failWith(errno);
    // rename replaces a symbolic link itself, never the file it points to.
    if (::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) return failWith(errno);
    temp_.clear();
    return true;
  }
  if (existingAt(dirFd_, name_) == Existing::Folder) return failWith(EISDIR);
  return placeWithoutReplacing(name_) || failWith(error_);
}

bool AtomicFile::placeWithoutReplacing(const std::string& name) {
  // A hard link never replaces a file that appeared meanwhile; where the file system has no
  // hard links, check and rename instead (synced first: a file appearing before the rename
  // would be replaced).
  int r = ::linkat(dirFd_, temp_.c_str(), dirFd_, name.c_str(), 0);
  if (r == 0) {
    ::unlinkat(dirFd_, temp_.c_str(), 0);
  } else if (errno == EPERM || errno == ENOTSUP || errno == EXDEV || errno == EMLINK) {
    if (existingAt(dirFd_, name) != Existing::Nothing) {
      error_ = EEXIST;
      return false;
    }
    if (!syncTemporary()) {
      error_ = errno;
      return false;
    }
    r = ::renameat(dirFd_, temp_.c_str(), dirFd_, name.c_str());
  }
  if (r != 0) {
    error_ = errno;
    return false;
  }
  temp_.clear();
  return true;
}

bool AtomicFile::commitMarked(mode_t mode, std::time_t mtime, std::string& placed) {
  if (fd_ < 0) return false;
  stamp(mode, mtime);
  int closed = ::close(fd_);
  fd_ = -1;
  error_ = closed != 0 ? errno : EEXIST;
  for (int n = 1; error_ == EEXIST && n <= 9999; ++n) {
    placed = markedName(name_, n);
    if (placeWithoutReplacing(placed)) return true;
  }
  drop();
  return false;
}

void AtomicFile::drop() {
  if (fd_ >= 0) ::close(fd_), fd_ = -1;
  if (!temp_.empty()) ::unlinkat(dirFd_, temp_.c_str(), 0), temp_.clear();
}

std::string markedName(const std::string& name, int n) {
  std::string mark = n > 1 ? " (破損 " + std::to_string(n) + ")" : " (破損)";
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return name + mark;
  return name.substr(0, dot) + mark + name.substr(dot);
}

bool placeLink(int dirFd, const std::string& name, const std::string& target) {
  if (existingAt(dirFd, name) == Existing::Folder) {
    errno = EISDIR;
    return false;
  }
  std::string temp = ".zv-link-" + std::to_string(::getpid()) + ".tmp";
  ::unlinkat(dirFd, temp.c_str(), 0);
  if (::symlinkat(target.c_str(), dirFd, temp.c_str()) != 0 ||
      ::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0) {
    int e = errno;
    ::unlinkat(dirFd, temp.c_str(), 0);
    errno = e;
    return false;
  }
  return true;
}

int errorFromErrno(int err, int fallback) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
      return ZV_ERROR_DISK_SPACE;
    case EROFS:
    case EACCES:
    case EPERM:
      return ZV_ERROR_READ_ONLY;
    case ENOMEM:
      return ZV_ERROR_MEMORY;
    default:
      return fallback;
  }
}

std::string errnoText(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空きが足りません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case EROFS:
      return "書き込みのできないドライブです";
    case ENOENT:
      return "ファイルまたはフォルダが見つかりません";
    case ENOTDIR:
      return "パスの途中がフォルダではありません";
    case EISDIR:
      return "同じ名前のフォルダがあります";
    case EEXIST:
      return "同じ名前のファイルがあります";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case ELOOP:
      return "シンボリックリンクを通っては書き込みません";
    case EFBIG:
      return "ファイルが大きすぎます";
    case ENOMEM:
      return "メモリが足りません";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case EBUSY:
    case ETXTBSY:
      return "使用中です";
    case EIO:
      return "読み書きの途中でエラーが起きました";
    default:
      return "エラー番号 " + std::to_string(err);
  }
}

}  // namespace zv::archive
