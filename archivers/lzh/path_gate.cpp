#include "path_gate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "lzh_error.h"

namespace zv::lzh {
namespace {

bool isDriveLetter(const std::string& s) {
  return s.size() >= 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

int errorForErrno(int e) { return e == ENOSPC || e == EDQUOT ? ZV_ERROR_DISK_SPACE : ZV_ERROR_CANNOT_CREATE; }

}  // namespace

std::string unsafeReason(const std::vector<std::string>& parts, bool absolute) {
  if (absolute) return "絶対パスです";
  if (parts.empty()) return "名前がありません";
  if (isDriveLetter(parts.front())) return "ドライブ名を含みます";
  for (const std::string& p : parts) {
    if (p.empty() || p == ".") return "空の名前を含みます";
    if (p == "..") return "\"..\" を含みます";
    if (p.find('/') != std::string::npos || p.find('\0') != std::string::npos)
      return "区切り文字を含みます";
    if (p.size() > NAME_MAX - 16) return "名前が長すぎます";
  }
  return {};
}

bool linkTargetStaysInside(const std::vector<std::string>& parts, const std::string& target) {
  if (target.empty() || target[0] == '/' || target[0] == '\\' || isDriveLetter(target))
    return false;
  // Depth of the folder holding the link, then walk the target.
  long depth = static_cast<long>(parts.size()) - 1;
  size_t start = 0;
  for (;;) {
    size_t slash = target.find_first_of("/\\", start);
    std::string c = target.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (c == "..") {
      if (--depth < 0) return false;
    } else if (!c.empty() && c != ".") {
      ++depth;
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return true;
}

Destination::Destination(const std::string& hostFolder) : host_(hostFolder) {
  std::string path = hostFolder.empty() ? "." : hostFolder;
  // Create missing parents of the destination itself: the caller named it.
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string prefix = path.substr(0, i);
      if (!prefix.empty()) mkdir(prefix.c_str(), 0777);
    }
  }
  fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) fail(ZV_ERROR_CANNOT_CREATE, "解凍先フォルダを作れません: " + hostFolder);
}

Destination::~Destination() {
  if (fd_ >= 0) close(fd_);
}

int Destination::openChain(const std::vector<std::string>& parts, size_t count) {
  int cur = dup(fd_);
  if (cur < 0) fail(ZV_ERROR_CANNOT_CREATE, "フォルダを開けません");
  for (size_t i = 0; i < count; ++i) {
    const std::string& c = parts[i];
    int next = openat(cur, c.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0 && errno == ENOENT) {
      if (mkdirat(cur, c.c_str(), 0777) != 0 && errno != EEXIST) {
        int e = errno;
        close(cur);
        fail(errorForErrno(e), "フォルダを作れません: " + c);
      }
      next = openat(cur, c.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (next < 0) {
      int e = errno;
      close(cur);
      if (e == ELOOP || e == ENOTDIR)
        fail(ZV_ERROR_UNSAFE_NAME, "シンボリックリンクかファイルがフォルダの位置にあります: " + c);
      fail(ZV_ERROR_CANNOT_CREATE, "フォルダを開けません: " + c);
    }
    close(cur);
    cur = next;
  }
  return cur;
}

int Destination::openParent(const std::vector<std::string>& parts) {
  return openChain(parts, parts.empty() ? 0 : parts.size() - 1);
}

void Destination::makeFolders(const std::vector<std::string>& parts) {
  close(openChain(parts, parts.size()));
}

PendingFile::PendingFile(int dirFd, const std::string& name) : dirFd_(dirFd), name_(name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = ".zv" + std::to_string(getpid()) + "_" + std::to_string(counter++) + ".tmp";
    fd_ = openat(dirFd_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) fail(errorForErrno(errno), "ファイルを作れません: " + name);
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) close(fd_);
  if (!done_) unlinkat(dirFd_, temp_.c_str(), 0);
}

void PendingFile::commit(unsigned mode, long mtime) {
  fchmod(fd_, mode & 07777);
  if (mtime > 0) {
    struct timespec ts[2];
    ts[0].tv_sec = ts[1].tv_sec = mtime;
    ts[0].tv_nsec = ts[1].tv_nsec = 0;
    futimens(fd_, ts);
  }
  if (close(fd_) != 0) {
    fd_ = -1;
    fail(errorForErrno(errno), "書き込めません: " + name_);
  }
  fd_ = -1;
  struct stat st {};
  if (fstatat(dirFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
    fail(ZV_ERROR_CANNOT_CREATE, "同じ名前のフォルダがあります: " + name_);
  // rename replaces a symbolic link itself, never the file it points to.
  if (renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0)
    fail(errorForErrno(errno), "ファイルを置けません: " + name_);
  done_ = true;
}

}  // namespace zv::lzh
