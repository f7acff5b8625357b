// An opened ZIP archive with its member table: names decoded once, lookups by name in O(1).
// Opened archives are kept between calls, keyed by path, size and modification time, so the
// extraction window's one call per member does not re-read a large central directory.
#pragma once
#include <zip.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv::zip {

struct Member {
  zip_uint64_t index = 0;
  std::string name;  // decoded UTF-8, as stored ('/' between folders)
  uint64_t size = 0, packed = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  bool encrypted = false;
  bool folder = false;
  bool symlink = false;
  uint32_t mode = 0;  // Unix permission bits when the archive has them, else 0
  uint8_t opsys = 0;
  bool readOnly = false;  // MS-DOS read-only attribute
  std::time_t mtime = 0;
};

class Archive {
 public:
  ~Archive();
  // Opens a host path; nullptr with *zipError (a ZIP_ER_* code) or errno in *sysError.
  static std::shared_ptr<Archive> open(const std::string& hostPath, int* zipError, int* sysError);
  // An archive held in memory (the bytes must outlive the archive); for the fuzz target.
  static std::shared_ptr<Archive> openMemory(const void* data, size_t size, int* zipError);

  zip_t* handle() const { return za_; }
  const std::string& path() const { return path_; }
  const std::vector<Member>& members() const { return members_; }
  const std::string& comment() const { return comment_; }
  uint64_t fileSize() const { return fileSize_; }
  // Members whose decoded name is `name` (exact, or without regard to ASCII case).
  std::vector<size_t> find(const std::string& name, bool ignoreCase) const;

  bool sameFile(uint64_t size, const struct timespec& mtime) const;

 private:
  Archive() = default;
  void index();

  std::string path_;
  zip_t* za_ = nullptr;
  uint64_t fileSize_ = 0;
  struct timespec mtime_ {};
  std::vector<Member> members_;
  std::string comment_;
  // Built on the first lookup: extracting or listing everything never needs them, and for
  // 100 000 members they would cost more than the member table itself.
  mutable std::once_flag lookupsBuilt_;
  mutable std::unordered_map<std::string, std::vector<size_t>> exact_, folded_;
};

// The archive at a host path, reusing the last opened one while the file is unchanged.
std::shared_ptr<Archive> openCached(const std::string& hostPath, int* zipError, int* sysError);
void dropCache();

std::string foldCase(std::string_view s);
const char* methodName(uint16_t method);

}  // namespace zv::zip
