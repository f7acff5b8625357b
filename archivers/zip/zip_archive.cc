#include "zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "zip_names.h"

namespace zv::zip {
namespace {

// Bit 11 of the general purpose flags is not exposed by libzip: a strict read returns the
// raw bytes only when the flag is set (otherwise it converts from CP437, changing any byte
// above 0x7F).
bool utf8Flagged(zip_t* za, zip_uint64_t i, const char* raw) {
  const char* strict = zip_get_name(za, i, ZIP_FL_ENC_STRICT);
  return strict && std::string_view(strict) == std::string_view(raw);
}

std::string_view extraField(zip_t* za, zip_uint64_t i, zip_uint16_t id, zip_flags_t where) {
  zip_uint16_t len = 0;
  const zip_uint8_t* data = zip_file_extra_field_get_by_id(za, i, id, 0, &len, where);
  if (!data) return {};
  return std::string_view(reinterpret_cast<const char*>(data), len);
}

// The archive file read with pread through a window of its own. libzip's file source goes
// through stdio, which asks the kernel for the file position three times per member read;
// members lie in order, so one window read serves many small members.
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
      zip_error_set(&s->error, ZIP_ER_READ, errno);
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
    zip_error_set(&s->error, ZIP_ER_READ, errno);
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
      zip_stat_init(st);
      st->size = s->size;
      st->mtime = s->mtime;
      st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
      return sizeof *st;
    }
    case ZIP_SOURCE_SEEK: {
      zip_int64_t at = zip_source_seek_compute_offset(s->pos, s->size, data, len, &s->error);
      if (at < 0) return -1;
      s->pos = uint64_t(at);
      return 0;
    }
    case ZIP_SOURCE_TELL:
      return zip_int64_t(s->pos);
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
      ::close(s->fd);
      zip_error_fini(&s->error);
      delete s;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(
          ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
          ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
      zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

Archive::~Archive() {
  if (za_) zip_discard(za_);
}

std::shared_ptr<Archive> Archive::open(const std::string& hostPath, int* zipError, int* sysError) {
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
  auto* ws = new WindowSource;
  ws->fd = fd;
  ws->size = uint64_t(st.st_size);
  ws->mtime = st.st_mtime;
  zip_error_init(&ws->error);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* src = zip_source_function_create(windowCallback, ws, &error);
  if (!src) {
    ::close(fd);
    zip_error_fini(&ws->error);
    delete ws;
  }
  zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
  if (!za) {
    *zipError = zip_error_code_zip(&error);
    if (*zipError == ZIP_ER_OPEN || *zipError == ZIP_ER_READ)
      *sysError = zip_error_code_system(&error);
    zip_error_fini(&error);
    if (src) zip_source_free(src);  // closes the file
    return nullptr;
  }
  zip_error_fini(&error);
  std::shared_ptr<Archive> a(new Archive);
  a->path_ = hostPath;
  a->za_ = za;
  a->fileSize_ = uint64_t(st.st_size);
  a->mtime_ = st.st_mtim;
  a->index();
  return a;
}

std::shared_ptr<Archive> Archive::openMemory(const void* data, size_t size, int* zipError) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* src = zip_source_buffer_create(data, size, 0, &error);
  zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
  *zipError = zip_error_code_zip(&error);
  zip_error_fini(&error);
  if (!za) {
    if (src) zip_source_free(src);
    return nullptr;
  }
  std::shared_ptr<Archive> a(new Archive);
  a->path_ = "(memory)";
  a->za_ = za;
  a->fileSize_ = size;
  a->index();
  return a;
}

void Archive::index() {
  zip_int64_t n = zip_get_num_entries(za_, 0);
  members_.reserve(n > 0 ? size_t(n) : 0);
  for (zip_uint64_t i = 0; n > 0 && i < zip_uint64_t(n); ++i) {
    const char* raw = zip_get_name(za_, i, ZIP_FL_ENC_RAW);
    if (!raw) continue;
    Member m;
    m.index = i;
    m.name =
        decodeMemberName(raw, utf8Flagged(za_, i, raw), extraField(za_, i, 0x7075, ZIP_FL_CENTRAL));
    zip_stat_t s;
    zip_stat_init(&s);
    if (zip_stat_index(za_, i, ZIP_FL_ENC_RAW, &s) == 0) {
      if (s.valid & ZIP_STAT_SIZE) m.size = s.size;
      if (s.valid & ZIP_STAT_COMP_SIZE) m.packed = s.comp_size;
      if (s.valid & ZIP_STAT_CRC) m.crc = s.crc;
      if (s.valid & ZIP_STAT_COMP_METHOD) m.method = s.comp_method;
      if (s.valid & ZIP_STAT_ENCRYPTION_METHOD) m.encrypted = s.encryption_method != ZIP_EM_NONE;
      if (s.valid & ZIP_STAT_MTIME) m.mtime = s.mtime;
    }
    // Extended time stamp (0x5455): the modification time in UTC, more exact than DOS time.
    std::string_view ut = extraField(za_, i, 0x5455, ZIP_FL_CENTRAL);
    if (ut.size() >= 5 && (ut[0] & 1)) {
      int32_t t = int32_t(uint32_t(uint8_t(ut[1])) | uint32_t(uint8_t(ut[2])) << 8 |
                          uint32_t(uint8_t(ut[3])) << 16 | uint32_t(uint8_t(ut[4])) << 24);
      m.mtime = t;
    }
    zip_uint8_t opsys = 0;
    zip_uint32_t attr = 0;
    if (zip_file_get_external_attributes(za_, i, 0, &opsys, &attr) == 0) {
      m.opsys = opsys;
      if (opsys == ZIP_OPSYS_UNIX) {
        uint32_t mode = attr >> 16;
        m.mode = mode & 07777;
        m.symlink = (mode & S_IFMT) == S_IFLNK;
        if ((mode & S_IFMT) == S_IFDIR) m.folder = true;
      }
      if (attr & 0x10) m.folder = true;
      if (attr & 0x01) m.readOnly = true;
    }
    if (!m.name.empty() && (m.name.back() == '/' || m.name.back() == '\\')) m.folder = true;
    if (m.folder) m.symlink = false;
    members_.push_back(std::move(m));
  }
  int len = 0;
  if (const char* c = zip_get_archive_comment(za_, &len, ZIP_FL_ENC_RAW))
    comment_ = decodeMemberName(std::string_view(c, size_t(len)), false, {});
}

std::vector<size_t> Archive::find(const std::string& name, bool ignoreCase) const {
  std::call_once(lookupsBuilt_, [this] {
    for (size_t i = 0; i < members_.size(); ++i) {
      exact_[members_[i].name].push_back(i);
      folded_[foldCase(members_[i].name)].push_back(i);
    }
  });
  const auto& map = ignoreCase ? folded_ : exact_;
  auto it = map.find(ignoreCase ? foldCase(name) : name);
  return it == map.end() ? std::vector<size_t>{} : it->second;
}

bool Archive::sameFile(uint64_t size, const struct timespec& mtime) const {
  return size == fileSize_ && mtime.tv_sec == mtime_.tv_sec && mtime.tv_nsec == mtime_.tv_nsec;
}

namespace {
std::mutex gCacheMutex;
std::shared_ptr<Archive> gCached;
}  // namespace

std::shared_ptr<Archive> openCached(const std::string& hostPath, int* zipError, int* sysError) {
  std::lock_guard<std::mutex> lock(gCacheMutex);
  struct stat st;
  if (gCached && gCached->path() == hostPath && ::stat(hostPath.c_str(), &st) == 0 &&
      gCached->sameFile(uint64_t(st.st_size), st.st_mtim)) {
    *zipError = 0, *sysError = 0;
    return gCached;
  }
  auto a = Archive::open(hostPath, zipError, sysError);
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
