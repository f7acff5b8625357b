// The central directory of a ZIP archive read into one compact record per member, the
// decoded names kept in shared blocks: 100 000 members cost a few megabytes and no
// allocation of their own.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zip_bytes.h"
#include "zip_names.h"

namespace zv::zip {

struct Entry {
  enum : uint8_t { kEncrypted = 1, kFolder = 2, kSymlink = 4, kReadOnly = 8, kUnixTime = 16 };
  uint64_t localOffset = 0;  // of the local header
  uint64_t size = 0, packed = 0;
  uint64_t nameAt = 0;  // in the name pool
  uint32_t nameLen = 0;
  uint32_t crc = 0;
  uint32_t dosStamp = 0;  // date << 16 | time
  int32_t unixTime = 0;   // the extended time stamp, when kUnixTime is set
  uint16_t method = 0;    // for AES-encrypted members the method under the encryption
  uint16_t mode = 0;      // Unix permission bits when made on Unix, else 0
  uint8_t opsys = 0;      // the system the archive was made on (3: Unix)
  uint8_t bits = 0;
  // How the name was read: the encoding's number, then kName* bits.
  enum : uint8_t { kNameEscaped = 1, kNameMarked = 2, kNameComposed = 4 };
  uint8_t nameEncoding = 0;
  uint8_t nameBits = 0;
  uint32_t storedLen = 0;  // kNameComposed: the name before composition follows the name
  bool has(uint8_t bit) const { return (bits & bit) != 0; }
};

// The names read while walking a directory with an Auto reading: a sample to decide the
// archive's encoding from, and a bit for each encoding some name was read in.
struct NameSurvey {
  std::vector<std::string> sample;
  unsigned readIn = 0;
};

// Decoded names one after the other in blocks large enough for the longest name; a name never
// straddles two blocks, so it is handed out as one view.
class NamePool {
 public:
  uint64_t add(std::string_view name);
  std::string_view at(uint64_t pos, uint32_t len) const {
    if (len == 0) return {};
    return {blocks_[pos / kBlock].get() + pos % kBlock, len};
  }

 private:
  static constexpr size_t kBlock = 512 * 1024;  // > 2 x 3 x 65535: a name decoded, twice
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = kBlock;
};

// Where the central directory lies, from the end record (or the ZIP64 one).
struct DirectoryPlace {
  uint64_t end = 0;  // the directory ends by here: where the end record starts
  uint64_t offset = 0, size = 0, entries = 0;
  bool multiDisk = false;
  uint64_t totalSize = 0;  // of all members, uncompressed
  std::string comment;     // the archive comment, decoded
  NameReading names;       // how the names without a mark are read
};

struct CentralDirectory {
  DirectoryPlace place;
  std::vector<Entry> entries;
  NamePool names;
};

// Finds the end record (behind a comment of up to 64 KiB, ZIP64 ones included) whose
// directory is sound: every entry, each length and offset checked against the archive.
// Returns 0 or a ZIP_ER_* code: NOZIP without an end record, INCONS for a directory that does
// not fit the file, MULTIDISK, READ (errno in *sysError).
int findCentralDirectory(ReadWindow& w, DirectoryPlace& place, int* sysError);
// Hands each entry with its decoded name (valid during the call) to `visit`, in order; the
// name before composition follows the name for entries with kNameComposed. With `survey`,
// notes the names without a mark.
int walkCentralDirectory(ReadWindow& w, const DirectoryPlace& place,
                         const std::function<void(const Entry&, std::string_view)>& visit,
                         int* sysError, NameSurvey* survey = nullptr);
// Both, keeping every entry in `cd`. `names`: the encoding of names without a mark; with Auto
// the names decide one for the archive (kept in cd.place.names).
int readCentralDirectory(ReadWindow& w, CentralDirectory& cd, int* sysError,
                         encoding::NameEncoding names = encoding::NameEncoding::Auto);
// With Auto, walks the directory once to decide the encoding of its unmarked names; sets
// place.names.
int decideNames(ReadWindow& w, DirectoryPlace& place, encoding::NameEncoding names, int* sysError);

// The modification time: the extended time stamp, else the MS-DOS time as local time.
std::time_t entryTime(const Entry& e);

}  // namespace zv::zip
