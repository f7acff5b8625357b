// An opened ZIP archive: its central directory in compact records, members materialised on
// demand, lookups by name built on the first lookup. Opened archives are kept between calls,
// keyed by path, size and modification time, so the extraction window's one call per member
// does not re-read a large central directory. libzip is opened on the same file only for the
// members this library does not decode itself (encrypted ones, bzip2, xz, zstd...).
#pragma once
#include <zip.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "zip_bytes.h"
#include "zip_central.h"

namespace zv::zip {

struct LocalWalk;

struct Member {
  zip_uint64_t index = 0;
  std::string name;  // decoded UTF-8, as stored ('/' between folders)
  uint64_t size = 0, packed = 0;
  uint64_t localOffset = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  bool encrypted = false;
  bool folder = false;
  bool symlink = false;
  uint32_t mode = 0;  // Unix permission bits when the archive has them, else 0
  uint8_t opsys = 0;
  bool readOnly = false;  // MS-DOS read-only attribute
  std::time_t mtime = 0;
  uint8_t nameEncoding = 0;  // encoding::NameEncoding the name was read in, 0 for ASCII
  uint8_t nameBits = 0;      // Entry::kName*
};

class Archive {
 public:
  ~Archive();
  // Opens a host path; nullptr with *zipError (a ZIP_ER_* code) or errno in *sysError.
  // Without `index` the directory is only checked, not kept: forEach then reads it again in
  // order, which is all a run over every member needs.
  // `names`: how names without a mark are read (Auto: the archive's names decide).
  static std::shared_ptr<Archive> open(const std::string& hostPath, int* zipError, int* sysError,
                                       bool index = true,
                                       encoding::NameEncoding names = encoding::NameEncoding::Auto);
  // The archive read from its local headers, for a missing or damaged central directory
  // (zip_rescue.cc); what the walk found lost goes to `walk`. `names`: how names without a
  // mark are read (Auto: the archive's names decide, with `alsoNames`).
  static std::shared_ptr<Archive> openLocal(const std::string& hostPath, LocalWalk& walk,
                                            int* zipError, int* sysError, const NameReading& names,
                                            const std::vector<std::string>& alsoNames);
  // An archive held in memory (the bytes must outlive the archive); for the fuzz target.
  static std::shared_ptr<Archive> openMemory(const void* data, size_t size, int* zipError);

  const std::string& path() const { return path_; }
  size_t count() const { return size_t(cd_.place.entries); }
  uint64_t totalSize() const { return cd_.place.totalSize; }
  // Whether entry(), name(), member() and find() may be used.
  bool indexed() const { return indexed_; }
  const Entry& entry(size_t i) const { return cd_.entries[i]; }
  std::string_view name(size_t i) const {
    return cd_.names.at(cd_.entries[i].nameAt, cd_.entries[i].nameLen);
  }
  Member member(size_t i) const;
  // Every member in archive order until `fn` returns false; 0 or a ZIP_ER_* code when the
  // directory can no longer be read.
  int forEach(const std::function<bool(const Member&)>& fn) const;
  const std::string& comment() const { return cd_.place.comment; }
  // The encoding asked for and the one the unmarked names were read in.
  encoding::NameEncoding namesRequested() const { return requested_; }
  encoding::NameEncoding namesDecided() const { return cd_.place.names.encoding; }
  uint64_t fileSize() const { return bytes_.size(); }
  const ArchiveBytes& bytes() const { return bytes_; }
  // Members whose decoded name is `name` (exact, or without regard to ASCII case), in
  // archive order; a name as stored before composition (NFC) is found as well.
  std::vector<size_t> find(const std::string& name, bool ignoreCase) const;

  // libzip's handle of the same archive, opened on the first call; nullptr with *zipError
  // when libzip cannot open it or sees other members than this reader.
  zip_t* fallback(int* zipError) const;

  bool sameFile(uint64_t size, const struct timespec& mtime) const;

 private:
  // The archive's file opened for reading (a regular file only); nothing read yet.
  static std::shared_ptr<Archive> openFile(const std::string& hostPath, int* zipError,
                                           int* sysError);
  Archive() = default;

  std::string path_;
  ArchiveBytes bytes_;
  struct timespec mtime_ {};
  CentralDirectory cd_;
  bool indexed_ = true;
  encoding::NameEncoding requested_ = encoding::NameEncoding::Auto;
  mutable zip_t* za_ = nullptr;
  mutable int fallbackError_ = 0;
  // Member numbers sorted by name and by folded name, built on the first lookup: extracting
  // or listing everything never needs them.
  mutable std::once_flag lookupsBuilt_;
  mutable std::vector<uint32_t> exact_, folded_;
};

// The archive at a host path, reusing the last opened one while the file is unchanged (and
// indexed when `index` asks for it).
std::shared_ptr<Archive> openCached(const std::string& hostPath, int* zipError, int* sysError,
                                    bool index = true,
                                    encoding::NameEncoding names = encoding::NameEncoding::Auto);
void dropCache();

std::string foldCase(std::string_view s);
const char* methodName(uint16_t method);

}  // namespace zv::zip
