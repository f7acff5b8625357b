#include "zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "zip_libzip.h"

namespace zv::zip {
namespace {

// The archive file as libzip reads it: with pread through a window of its own. libzip's file
// source goes through stdio, which asks the kernel for the file position three times per
// member read; members lie in order, so one window read serves many small members. Only
// libzip calls these, so libzip is loaded.
struct WindowSource {
  int fd = -1;
  uint64_t size = 0;
  std::time_t mtime = 0;
  uint64_t pos = 0;
  uint64_t windowAt = 0;
  size_t windowLen = 0;
  std::vector<unsigned char> window = std::vector<unsigned char>(64 * 1024);
  zip_error_t error;
};

zip_int64_t readWindowed(WindowSource* s, unsigned char* out, zip_uint64_t len) {
  if (s->pos >= s->size) return 0;
  len = std::min<zip_uint64_t>(len, s->size - s->pos);
  bool inWindow = s->pos >= s->windowAt && s->pos + len <= s->windowAt + s->windowLen;
  if (!inWindow && len < s->window.size()) {
    ssize_t n;
    do n = ::pread(s->fd, s->window.data(), s->window.size(), off_t(s->pos));
    while (n < 0 && errno == EINTR);
    if (n < 0) {
      libzip()->zip_error_set(&s->error, ZIP_ER_READ, errno);
      return -1;
    }
    s->windowAt = s->pos;
    s->windowLen = size_t(n);
    len = std::min<zip_uint64_t>(len, s->windowLen);
    inWindow = true;
  }
  if (inWindow) {
    std::memcpy(out, s->window.data() + (s->pos - s->windowAt), size_t(len));
    s->pos += len;
    return zip_int64_t(len);
  }
  ssize_t n;
  do n = ::pread(s->fd, out, size_t(len), off_t(s->pos));
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    libzip()->zip_error_set(&s->error, ZIP_ER_READ, errno);
    return -1;
  }
  s->pos += uint64_t(n);
  return n;
}

zip_int64_t windowCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto* s = static_cast<WindowSource*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      s->pos = 0;
      return 0;
    case ZIP_SOURCE_READ:
      return readWindowed(s, static_cast<unsigned char*>(data), len);
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      libzip()->zip_stat_init(st);
      st->size = s->size;
      st->mtime = s->mtime;
      st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
      return sizeof *st;
    }
    case ZIP_SOURCE_SEEK: {
      zip_int64_t at =
          libzip()->zip_source_seek_compute_offset(s->pos, s->size, data, len, &s->error);
      if (at < 0) return -1;
      s->pos = uint64_t(at);
      return 0;
    }
    case ZIP_SOURCE_TELL:
      return zip_int64_t(s->pos);
    case ZIP_SOURCE_ERROR:
      return libzip()->zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
      ::close(s->fd);
      libzip()->zip_error_fini(&s->error);
      delete s;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return ZIP_SOURCE_SUPPORTS_SEEKABLE;
    default:
      libzip()->zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

int compareFolded(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
    if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

Member makeMember(const Entry& e, std::string_view name, size_t i) {
  Member m;
  m.index = i;
  m.name = std::string(name);
  m.size = e.size, m.packed = e.packed, m.localOffset = e.localOffset;
  m.crc = e.crc;
  m.method = e.method;
  m.encrypted = e.has(Entry::kEncrypted);
  m.folder = e.has(Entry::kFolder);
  m.symlink = e.has(Entry::kSymlink);
  m.readOnly = e.has(Entry::kReadOnly);
  m.mode = e.mode;
  m.opsys = e.opsys;
  m.mtime = entryTime(e);
  m.nameEncoding = e.nameEncoding;
  m.nameBits = e.nameBits;
  return m;
}

}  // namespace

Archive::~Archive() {
  if (za_) libzip()->zip_discard(za_);
}

std::shared_ptr<Archive> Archive::openFile(const std::string& hostPath, int* zipError,
                                           int* sysError) {
  *zipError = 0, *sysError = 0;
  struct stat st;
  if (::stat(hostPath.c_str(), &st) != 0) {
    *sysError = errno;
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    *zipError = ZIP_ER_NOZIP;
    return nullptr;
  }
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *zipError = ZIP_ER_OPEN;
    *sysError = errno;
    return nullptr;
  }
  std::shared_ptr<Archive> a(new Archive);
  a->path_ = hostPath;
  a->bytes_.setFile(fd, uint64_t(st.st_size));
  a->mtime_ = st.st_mtim;
  return a;
}

std::shared_ptr<Archive> Archive::open(const std::string& hostPath, int* zipError, int* sysError,
                                       bool index, encoding::NameEncoding names) {
  std::shared_ptr<Archive> a = openFile(hostPath, zipError, sysError);
  if (!a) return nullptr;
  a->indexed_ = index;
  a->requested_ = names;
  ReadWindow w(a->bytes_);
  *zipError = index ? readCentralDirectory(w, a->cd_, sysError, names)
                    : findCentralDirectory(w, a->cd_.place, sysError);
  if (!*zipError && !index) *zipError = decideNames(w, a->cd_.place, names, sysError);
  if (*zipError) return nullptr;
  return a;
}

std::shared_ptr<Archive> Archive::openMemory(const void* data, size_t size, int* zipError) {
  std::shared_ptr<Archive> a(new Archive);
  a->path_ = "(memory)";
  a->bytes_.setMemory(data, size);
  ReadWindow w(a->bytes_);
  int sysError = 0;
  *zipError = readCentralDirectory(w, a->cd_, &sysError);
  if (*zipError) return nullptr;
  return a;
}

Member Archive::member(size_t i) const { return makeMember(entry(i), name(i), i); }

int Archive::forEach(const std::function<bool(const Member&)>& fn) const {
  bool going = true;
  if (indexed_) {
    for (size_t i = 0; i < count() && going; ++i) going = fn(member(i));
    return 0;
  }
  ReadWindow w(bytes_);
  size_t i = 0;
  int sysError = 0;
  return walkCentralDirectory(
      w, cd_.place,
      [&](const Entry& e, std::string_view name) {
        if (going) going = fn(makeMember(e, name, i));
        ++i;
      },
      &sysError);
}

zip_t* Archive::fallback(int* zipError) const {
  if (za_ || fallbackError_) {
    *zipError = fallbackError_;
    return za_;
  }
  const LibZip* lz = libzip();
  if (!lz) {
    *zipError = fallbackError_ = ZIP_ER_INTERNAL;
    return nullptr;
  }
  zip_error_t error;
  lz->zip_error_init(&error);
  zip_source_t* src = nullptr;
  if (bytes_.memory()) {
    src = lz->zip_source_buffer_create(bytes_.memory(), bytes_.size(), 0, &error);
  } else if (int fd = ::fcntl(bytes_.fd(), F_DUPFD_CLOEXEC, 0); fd >= 0) {
    auto* ws = new WindowSource;
    ws->fd = fd;
    ws->size = bytes_.size();
    ws->mtime = mtime_.tv_sec;
    lz->zip_error_init(&ws->error);
    src = lz->zip_source_function_create(windowCallback, ws, &error);
    if (!src) {
      ::close(fd);
      lz->zip_error_fini(&ws->error);
      delete ws;
    }
  } else {
    lz->zip_error_set(&error, ZIP_ER_OPEN, errno);
  }
  zip_t* za = src ? lz->zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
  if (!za) {
    fallbackError_ = lz->zip_error_code_zip(&error);
    if (fallbackError_ == 0) fallbackError_ = ZIP_ER_INTERNAL;
    if (src) lz->zip_source_free(src);
  } else if (lz->zip_get_num_entries(za, 0) != zip_int64_t(count())) {
    // Member numbers are shared with libzip: another count means another reading of damage.
    lz->zip_discard(za);
    za = nullptr;
    fallbackError_ = ZIP_ER_INCONS;
  }
  lz->zip_error_fini(&error);
  za_ = za;
  *zipError = fallbackError_;
  return za_;
}

std::vector<size_t> Archive::find(const std::string& name, bool ignoreCase) const {
  std::call_once(lookupsBuilt_, [this] {
    exact_.resize(count());
    for (size_t i = 0; i < exact_.size(); ++i) exact_[i] = uint32_t(i);
    folded_ = exact_;
    // Stable: members of one name stay in archive order.
    std::stable_sort(exact_.begin(), exact_.end(),
                     [this](uint32_t a, uint32_t b) { return this->name(a) < this->name(b); });
    std::stable_sort(folded_.begin(), folded_.end(), [this](uint32_t a, uint32_t b) {
      return compareFolded(this->name(a), this->name(b)) < 0;
    });
  });
  const auto& sorted = ignoreCase ? folded_ : exact_;
  auto order = [&](uint32_t i) {
    return ignoreCase ? compareFolded(this->name(i), name) : this->name(i).compare(name);
  };
  auto lo =
      std::partition_point(sorted.begin(), sorted.end(), [&](uint32_t i) { return order(i) < 0; });
  auto hi = std::partition_point(lo, sorted.end(), [&](uint32_t i) { return order(i) == 0; });
  std::vector<size_t> found(lo, hi);
  if (found.empty()) {
    for (size_t i = 0; i < count(); ++i) {
      const Entry& e = entry(i);
      if (!(e.nameBits & Entry::kNameComposed)) continue;
      std::string_view stored = cd_.names.at(e.nameAt + e.nameLen, e.storedLen);
      if (ignoreCase ? compareFolded(stored, name) == 0 : stored == name) found.push_back(i);
    }
  }
  return found;
}

bool Archive::sameFile(uint64_t size, const struct timespec& mtime) const {
  return size == bytes_.size() && mtime.tv_sec == mtime_.tv_sec && mtime.tv_nsec == mtime_.tv_nsec;
}

namespace {
std::mutex gCacheMutex;
std::shared_ptr<Archive> gCached;
}  // namespace

std::shared_ptr<Archive> openCached(const std::string& hostPath, int* zipError, int* sysError,
                                    bool index, encoding::NameEncoding names) {
  std::lock_guard<std::mutex> lock(gCacheMutex);
  struct stat st;
  if (gCached && gCached->path() == hostPath && (gCached->indexed() || !index) &&
      gCached->namesRequested() == names && ::stat(hostPath.c_str(), &st) == 0 &&
      gCached->sameFile(uint64_t(st.st_size), st.st_mtim)) {
    *zipError = 0, *sysError = 0;
    return gCached;
  }
  gCached.reset();  // before the new one is read: never two directories at once
  auto a = Archive::open(hostPath, zipError, sysError, index, names);
  gCached = a;
  return a;
}

void dropCache() {
  std::lock_guard<std::mutex> lock(gCacheMutex);
  gCached.reset();
}

std::string foldCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return r;
}

const char* methodName(uint16_t method) {
  switch (method) {
    case ZIP_CM_STORE:
      return "stored";
    case ZIP_CM_SHRINK:
      return "shrunk";
    case ZIP_CM_IMPLODE:
      return "implode";
    case ZIP_CM_DEFLATE:
      return "deflate";
    case ZIP_CM_DEFLATE64:
      return "deflt64";
    case ZIP_CM_BZIP2:
      return "bzip2";
    case ZIP_CM_LZMA:
      return "lzma";
    case ZIP_CM_XZ:
      return "xz";
    case 93:
      return "zstd";
    case 98:
      return "ppmd";
    case 99:
      return "aes";
    default:
      return "unknown";
  }
}

}  // namespace zv::zip
