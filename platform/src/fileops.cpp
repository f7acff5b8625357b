#include "platform/fileops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv::fs {

namespace {

struct stat statOf(const std::string& host, int missingError) {
  struct stat st;
  if (stat(host.c_str(), &st) != 0) {
    int err = errno;
    raiseError(err == ENOENT || err == ENOTDIR ? missingError : runtimeErrorFromErrno(err), host);
  }
  return st;
}

bool statQuietly(const std::string& path, struct stat& st) {
  try {
    return stat(hostPath(path).c_str(), &st) == 0;
  } catch (const RuntimeError&) {
    return false;
  }
}

std::string hostParentOf(const std::string& host) {
  size_t cut = host.find_last_of('/');
  if (cut == std::string::npos) return ".";
  if (cut == 0) return "/";
  return host.substr(0, cut);
}

std::string hostTailOf(const std::string& host) {
  size_t cut = host.find_last_of('/');
  return cut == std::string::npos ? host : host.substr(cut + 1);
}

bool folderExists(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string foldKey(const std::string& name) {
  std::string key = name;
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c -= 32;
  return key;
}

// Writes all bytes to fd; raises 61 on a full disk.
void writeFully(int fd, const char* data, size_t size, const std::string& what) {
  while (size) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      raiseError(runtimeErrorFromErrno(errno), what);
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// A temporary file beside `target`; returns its descriptor and fills `tempPath`.
int makeTempBeside(const std::string& target, std::string& tempPath) {
  std::string folder = hostParentOf(target);
  if (!folderExists(folder)) raiseError(kErrPathNotFound, folder);
  tempPath = folder + "/." + hostTailOf(target) + ".XXXXXX";
  std::vector<char> buf(tempPath.begin(), tempPath.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) raiseError(runtimeErrorFromErrno(errno), target);
  tempPath = buf.data();
  return fd;
}

// Closes, renames the temporary file over the target, or removes it and raises.
void commitTemp(int fd, const std::string& tempPath, const std::string& target, mode_t mode) {
  fchmod(fd, mode);
  if (fsync(fd) != 0 && errno != EINVAL) {
    int err = errno;
    ::close(fd);
    ::unlink(tempPath.c_str());
    raiseError(runtimeErrorFromErrno(err), target);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tempPath.c_str());
    raiseError(runtimeErrorFromErrno(err), target);
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(tempPath.c_str());
    raiseError(runtimeErrorFromErrno(err), target);
  }
}

mode_t newFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string percentEncode(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string dataHome() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') return x;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

void makeFoldersOnHost(const std::string& host) {
  if (host.empty() || folderExists(host)) return;
  makeFoldersOnHost(hostParentOf(host));
  ::mkdir(host.c_str(), 0777);
}

}  // namespace

bool exists(const std::string& path) {
  struct stat st;
  return statQuietly(path, st);
}

bool isFolder(const std::string& path) {
  struct stat st;
  return statQuietly(path, st) && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
  struct stat st;
  return statQuietly(path, st) && S_ISREG(st.st_mode);
}

bool sameEntry(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return statQuietly(a, sa) && statQuietly(b, sb) && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::vector<Entry> list(const std::string& folder) {
  std::string host = hostPath(folder);
  DIR* dir = opendir(host.c_str());
  if (!dir) {
    int err = errno;
    raiseError(err == ENOENT || err == ENOTDIR ? kErrPathNotFound : runtimeErrorFromErrno(err),
               host);
  }
  std::vector<std::pair<std::string, Entry>> found;  // raw name, entry
  while (dirent* e = readdir(dir)) {
    std::string raw = e->d_name;
    if (raw == "." || raw == "..") continue;
    std::string full = host == "/" ? "/" + raw : host + "/" + raw;
    struct stat st;
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) continue;
    Entry entry;
    entry.name = encoding::decodeUnknown(raw);
    entry.folder = S_ISDIR(st.st_mode);
    entry.hidden = raw[0] == '.';
    entry.size = entry.folder ? 0 : static_cast<uint64_t>(st.st_size);
    entry.modified = st.st_mtime;
    found.emplace_back(raw, std::move(entry));
  }
  closedir(dir);
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    std::string ka = foldKey(a.second.name), kb = foldKey(b.second.name);
    return ka != kb ? ka < kb : a.first < b.first;
  });
  std::vector<Entry> out;
  out.reserve(found.size());
  for (auto& [raw, entry] : found) out.push_back(std::move(entry));
  return out;
}

uint64_t fileSize(const std::string& path) {
  return static_cast<uint64_t>(statOf(hostPath(path), kErrFileNotFound).st_size);
}

std::time_t modifiedTime(const std::string& path) {
  return statOf(hostPath(path), kErrFileNotFound).st_mtime;
}

std::string modifiedText(const std::string& path) {
  std::time_t t = modifiedTime(path);
  std::tm local{};
  localtime_r(&t, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &local);
  return buf;
}

// An existing entry is a path/file access error here, as the windows expect of a folder
// that cannot be made; a missing parent is a missing path. Every other failure keeps its own
// cause, so a read-only parent reads as denied write permission.
void makeFolder(const std::string& path) {
  std::string host = hostPath(path);
  if (::mkdir(host.c_str(), 0777) == 0) return;
  int err = errno;
  if (err == EEXIST) raiseError(kErrPathFileAccess, host);
  if (err == ENOENT || err == ENOTDIR) raiseError(kErrPathNotFound, host);
  raiseError(runtimeErrorFromErrno(err), host);
}

void removeFolder(const std::string& path) {
  std::string host = hostPath(path);
  if (::rmdir(host.c_str()) == 0) return;
  int err = errno;
  if (err == ENOENT || err == ENOTDIR) raiseError(kErrPathNotFound, host);
  raiseError(runtimeErrorFromErrno(err), host);  // a folder with contents stays 75
}

void deleteFile(const std::string& path) {
  std::string host = hostPath(path);
  struct stat st;
  if (lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) raiseError(kErrFileNotFound, host);
  if (::unlink(host.c_str()) != 0) raiseError(runtimeErrorFromErrno(errno), host);
}

void rename(const std::string& from, const std::string& to) {
  std::string hostFrom = hostPath(from);
  std::string hostTo = hostPath(to);
  struct stat src, dst;
  if (lstat(hostFrom.c_str(), &src) != 0) raiseError(kErrFileNotFound, hostFrom);
  if (lstat(hostTo.c_str(), &dst) == 0) {
    // The target resolved to an existing entry. Only a change of case of the same entry is
    // allowed; the new name is then taken as written.
    if (src.st_dev != dst.st_dev || src.st_ino != dst.st_ino) raiseError(kErrFileExists, hostTo);
    std::string literal = hostParentOf(hostTo) + "/" + winpath::fileName(to);
    if (literal == hostFrom) return;
    hostTo = literal;
  }
  if (!folderExists(hostParentOf(hostTo))) raiseError(kErrPathNotFound, hostTo);
  if (renameat2(AT_FDCWD, hostFrom.c_str(), AT_FDCWD, hostTo.c_str(), RENAME_NOREPLACE) == 0)
    return;
  int err = errno;
  if (err == EINVAL || err == ENOSYS) {
    // A file system without no-replace renames: the existence test above has to do.
    if (::rename(hostFrom.c_str(), hostTo.c_str()) == 0) return;
    err = errno;
  }
  if (err == EXDEV && S_ISREG(src.st_mode)) {
    copyFile(hostFrom, hostTo);
    if (::unlink(hostFrom.c_str()) != 0) raiseError(runtimeErrorFromErrno(errno), hostFrom);
    return;
  }
  raiseError(err == EEXIST ? kErrFileExists : runtimeErrorFromErrno(err), hostTo);
}

void copyFile(const std::string& from, const std::string& to) {
  std::string hostFrom = hostPath(from);
  std::string hostTo = hostPath(to);
  int in = ::open(hostFrom.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    int err = errno;
    raiseError(err == ENOENT || err == ENOTDIR ? kErrFileNotFound : runtimeErrorFromErrno(err),
               hostFrom);
  }
  struct stat st;
  fstat(in, &st);
  if (S_ISDIR(st.st_mode)) {
    ::close(in);
    raiseError(kErrFileNotFound, hostFrom);
  }
  struct stat existing;
  if (stat(hostTo.c_str(), &existing) == 0) {
    if (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino) {
      ::close(in);
      raiseError(kErrPermissionDenied, hostTo);  // a file copied onto itself
    }
    if (S_ISDIR(existing.st_mode) || access(hostTo.c_str(), W_OK) != 0) {
      ::close(in);
      raiseError(kErrPermissionDenied, hostTo);
    }
  }
  std::string temp;
  int out;
  try {
    out = makeTempBeside(hostTo, temp);
  } catch (...) {
    ::close(in);
    throw;
  }
  try {
    std::vector<char> buf(1 << 16);
    while (true) {
      ssize_t n = ::read(in, buf.data(), buf.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        raiseError(runtimeErrorFromErrno(errno), hostFrom);
      }
      if (n == 0) break;
      writeFully(out, buf.data(), static_cast<size_t>(n), hostTo);
    }
    // The copy keeps the source's modification time, as a file copy does on Windows.
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out, times);
  } catch (...) {
    ::close(in);
    ::close(out);
    ::unlink(temp.c_str());
    throw;
  }
  ::close(in);
  commitTemp(out, temp, hostTo, st.st_mode & 07777);
}

namespace {

// Puts the file into one trash folder (with "files" and "info" inside): an info file
// reserving a free name, then the rename. `infoPath` is what the info file records. False
// when the trash cannot record the file; a failed rename raises, as a delete would.
bool trashInto(const std::string& trash, const std::string& host, const std::string& infoPath) {
  std::string base = hostTailOf(host);
  for (int n = 1; n < 10000; ++n) {
    std::string name = n == 1 ? base : base + "." + std::to_string(n);
    std::string info = trash + "/info/" + name + ".trashinfo";
    int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::string text =
        "[Trash Info]\nPath=" + percentEncode(infoPath) + "\nDeletionDate=" + date + "\n";
    bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written) {
      ::unlink(info.c_str());
      return false;
    }
    std::string target = trash + "/files/" + name;
    if (renameat2(AT_FDCWD, host.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
      return true;
    int err = errno;
    ::unlink(info.c_str());
    if (err == EEXIST) continue;
    raiseError(runtimeErrorFromErrno(err), host);
  }
  return false;
}

// Whether a missing folder could be made on the device `dev`: its nearest existing ancestor
// is a writable folder there.
bool couldMake(const std::string& folder, dev_t dev) {
  std::string at = hostParentOf(folder);
  while (at != "/" && ::access(at.c_str(), F_OK) != 0) at = hostParentOf(at);
  struct stat st;
  return stat(at.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == dev &&
         ::access(at.c_str(), W_OK | X_OK) == 0;
}

// A trash folder on the device `dev` with its "files" and "info" folders: made when missing
// and `make` is set; otherwise only judged whether it is there or could be made.
bool trashFolderReady(const std::string& trash, dev_t dev, mode_t mode, bool make) {
  for (const std::string& folder : {trash, trash + "/files", trash + "/info"}) {
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0) {
      if (!make) return couldMake(folder, dev);
      if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) return false;
      if (lstat(folder.c_str(), &st) != 0) return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_dev != dev) return false;
  }
  return true;
}

// The top folder of the file system holding `host`: the highest ancestor on the same device.
std::string mountTopOf(const std::string& host, dev_t dev) {
  std::string top = hostParentOf(host);
  while (top != "/") {
    std::string up = hostParentOf(top);
    struct stat st;
    if (stat(up.c_str(), &st) != 0 || st.st_dev != dev) break;
    top = up;
  }
  return top;
}

bool noTrashAnywhere = false;

// Where a trashed file goes and the path its info file records.
struct TrashPlace {
  std::string folder;
  std::string infoPath;
};

// The home Trash when the file is on its file system; else that file system's own trash, as
// desktops keep it at its top folder: $top/.Trash/$uid when $top/.Trash is a sticky folder
// and no link, else $top/.Trash-$uid. Missing folders are made only with `make` (a file is
// being moved there); empty when none is usable.
TrashPlace trashPlaceFor(const std::string& host, dev_t dev, bool make) {
  if (noTrashAnywhere) return {};
  std::string home = dataHome() + "/Trash";
  if (make) {
    try {
      makeFoldersOnHost(home + "/files");
      makeFoldersOnHost(home + "/info");
    } catch (const RuntimeError&) {
      // an unwritable home only rules out the home Trash
    }
  }
  struct stat homeStat;
  if (stat(home.c_str(), &homeStat) == 0
          ? homeStat.st_dev == dev && trashFolderReady(home, dev, 0700, make)
          : !make && couldMake(home, dev))
    return {home, host};
  std::string top = mountTopOf(host, dev);
  std::string uid = std::to_string(::getuid());
  std::string relative = host.substr(top == "/" ? 1 : top.size() + 1);
  std::string shared = (top == "/" ? "" : top) + "/.Trash";
  struct stat sharedStat;
  if (lstat(shared.c_str(), &sharedStat) == 0 && S_ISDIR(sharedStat.st_mode) &&
      (sharedStat.st_mode & S_ISVTX) && sharedStat.st_dev == dev &&
      trashFolderReady(shared + "/" + uid, dev, 0700, make))
    return {shared + "/" + uid, relative};
  std::string own = (top == "/" ? "" : top) + "/.Trash-" + uid;
  if (trashFolderReady(own, dev, 0700, make)) return {own, relative};
  return {};
}

}  // namespace

std::string trashFolderFor(const std::string& path) {
  std::string host = hostPath(path);
  struct stat st;
  if (lstat(host.c_str(), &st) != 0) raiseError(kErrFileNotFound, host);
  return trashPlaceFor(host, st.st_dev, false).folder;
}

bool moveToTrash(const std::string& path) {
  std::string host = hostPath(path);
  struct stat st;
  if (lstat(host.c_str(), &st) != 0) raiseError(kErrFileNotFound, host);
  TrashPlace place = trashPlaceFor(host, st.st_dev, true);
  return !place.folder.empty() && trashInto(place.folder, host, place.infoPath);
}

void simulateNoTrash(bool on) { noTrashAnywhere = on; }

std::string readAll(const std::string& path, size_t limit) {
  std::string host = hostPath(path);
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    raiseError(err == ENOENT || err == ENOTDIR ? kErrFileNotFound : runtimeErrorFromErrno(err),
               host);
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    raiseError(kErrPathFileAccess, host);
  }
  std::string out;
  try {
    if (st.st_size > 0) out.reserve(std::min(static_cast<size_t>(st.st_size), limit));
    char buf[65536];
    while (out.size() < limit) {
      ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - out.size()));
      if (n < 0) {
        if (errno == EINTR) continue;
        int err = errno;
        ::close(fd);
        raiseError(runtimeErrorFromErrno(err), host);
      }
      if (n == 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    ::close(fd);
    raiseError(kErrOutOfMemory, host);
  }
  ::close(fd);
  return out;
}

void flushToDisk(const std::string& path) {
  std::string host = hostPath(path);
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) raiseError(runtimeErrorFromErrno(errno), path);
  bool good = ::fdatasync(fd) == 0 || errno == EINVAL;
  int err = errno;
  ::close(fd);
  if (!good) raiseError(runtimeErrorFromErrno(err), path);
}

void writeAllAtomically(const std::string& path, std::string_view bytes) {
  std::string host = hostPath(path);
  struct stat existing;
  mode_t mode = newFileMode();
  if (stat(host.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode) || access(host.c_str(), W_OK) != 0)
      raiseError(kErrPermissionDenied, host);
    mode = existing.st_mode & 07777;
  }
  std::string temp;
  int fd = makeTempBeside(host, temp);
  try {
    writeFully(fd, bytes.data(), bytes.size(), host);
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  commitTemp(fd, temp, host, mode);
}

LineReader::LineReader(const std::string& path) : bytes_(readAll(path)) {}

std::string LineReader::readLine() {
  if (atEnd()) raiseError(kErrPastEndOfFile);
  size_t stop = bytes_.find_first_of("\r\n", pos_);
  if (stop == std::string::npos) stop = bytes_.size();
  std::string line = encoding::decodeUnknown(std::string_view(bytes_).substr(pos_, stop - pos_));
  pos_ = stop;
  if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
  if (pos_ < bytes_.size() && bytes_[pos_] == '\n' && (pos_ == stop || bytes_[pos_ - 1] == '\r'))
    ++pos_;
  return line;
}

}  // namespace zv::fs
