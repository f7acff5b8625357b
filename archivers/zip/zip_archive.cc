#include "zip_archive.h"

#include <sys/stat.h>

#include <cerrno>
#include <mutex>

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
  int err = 0;
  zip_t* za = zip_open(hostPath.c_str(), ZIP_RDONLY, &err);
  if (!za) {
    *zipError = err;
    if (err == ZIP_ER_OPEN || err == ZIP_ER_READ) *sysError = errno;
    return nullptr;
  }
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
    m.name = decodeMemberName(raw, utf8Flagged(za_, i, raw),
                              extraField(za_, i, 0x7075, ZIP_FL_CENTRAL));
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
