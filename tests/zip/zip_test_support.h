// Helpers for the ZIP tests: a writer of hand-made archives (any raw name bytes, flags, extra
// fields and attributes), temporary folders on a drive letter, and running other tools.
#pragma once
// Test entries are written as brace lists that leave the trailing fields at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <sys/stat.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../support/tool_locale.h"
#include "platform/drives.h"
#include "zorvex/archiver_api.h"

namespace zv::zip::test {

namespace fsys = std::filesystem;

struct UnZipResult {
  int code;
  std::string output;
};

// One UnZip call with the program's command string, its output text cut at the first NUL.
inline UnZipResult unzip(const std::string& command) {
  std::vector<char> buffer(60000, ' ');
  int code = UnZip(nullptr, command.c_str(), buffer.data(), uint32_t(buffer.size()));
  return {code, std::string(buffer.data())};
}

struct RawEntry {
  std::string name;  // raw bytes as stored
  std::string data;
  uint16_t flags = 0;  // general purpose flags (bit 11: UTF-8)
  std::string extra;   // raw extra fields (id, length, data)...
  uint32_t externalAttr = 0;
  uint8_t madeBy = 0;  // 0 MS-DOS, 3 Unix
};

inline void put16(std::string& s, uint32_t v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
inline void put32(std::string& s, uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

inline std::string unicodePathField(const std::string& raw, const std::string& utf8) {
  std::string f;
  put16(f, 0x7075);
  put16(f, uint32_t(5 + utf8.size()));
  f += char(1);
  put32(f, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(raw.data()), uInt(raw.size()))));
  return f + utf8;
}

// A stored-method archive of the entries, dated 2020-01-02 03:04:06.
inline std::string buildZip(const std::vector<RawEntry>& entries) {
  std::string out, central;
  const uint16_t time = (3 << 11) | (4 << 5) | 3, date = ((2020 - 1980) << 9) | (1 << 5) | 2;
  for (const auto& e : entries) {
    uint32_t crc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size())));
    uint32_t offset = uint32_t(out.size());
    put32(out, 0x04034b50), put16(out, 20), put16(out, e.flags), put16(out, 0);
    put16(out, time), put16(out, date), put32(out, crc), put32(out, uint32_t(e.data.size()));
    put32(out, uint32_t(e.data.size())), put16(out, uint32_t(e.name.size())),
        put16(out, uint32_t(e.extra.size()));
    out += e.name + e.extra + e.data;
    put32(central, 0x02014b50), put16(central, (uint32_t(e.madeBy) << 8) | 20), put16(central, 20);
    put16(central, e.flags), put16(central, 0), put16(central, time), put16(central, date);
    put32(central, crc), put32(central, uint32_t(e.data.size())),
        put32(central, uint32_t(e.data.size()));
    put16(central, uint32_t(e.name.size())), put16(central, uint32_t(e.extra.size())),
        put16(central, 0);
    put16(central, 0), put16(central, 0), put32(central, e.externalAttr), put32(central, offset);
    central += e.name + e.extra;
  }
  uint32_t cdOffset = uint32_t(out.size());
  out += central;
  put32(out, 0x06054b50), put16(out, 0), put16(out, 0), put16(out, uint32_t(entries.size()));
  put16(out, uint32_t(entries.size())), put32(out, uint32_t(central.size())), put32(out, cdOffset),
      put16(out, 0);
  return out;
}

inline void writeFile(const fsys::path& p, const std::string& data) {
  fsys::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

inline std::string readFile(const fsys::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string randomData(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = char(rng() & 0xFF);
  return s;
}

inline bool haveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline int run(const std::string& cmd) {
  return std::system(("(" + zv::test::inToolLocale(cmd) + ") >/dev/null 2>&1").c_str());
}

// Every ordinary file below `root` by relative path, with its bytes.
inline std::map<std::string, std::string> treeOf(const fsys::path& root) {
  std::map<std::string, std::string> files;
  if (!fsys::exists(root)) return files;
  for (auto& e : fsys::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[fsys::relative(e.path(), root).string()] = readFile(e.path());
  return files;
}

// A temporary folder reachable as drive T: ("T:\...").
class TempDrive {
 public:
  TempDrive() {
    char tmpl[] = "/tmp/zv-zip-test-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    DriveTable::instance().set('T', root_.string());
  }
  ~TempDrive() {
    std::error_code ec;
    fsys::remove_all(root_, ec);
  }
  const fsys::path& root() const { return root_; }
  fsys::path operator/(const std::string& rel) const { return root_ / rel; }

 private:
  fsys::path root_;
};

}  // namespace zv::zip::test
