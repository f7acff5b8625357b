// Helpers for the codec tests: in-memory streams, a minimal member walker for fixture
// archives, a one-member level-2 archive writer, and running the interop tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lzh_codec.h"

namespace lzhtest {

using Bytes = std::vector<unsigned char>;

// Reads from a byte vector, optionally in small slices or failing after `fail_after` bytes.
struct MemReader {
  const Bytes* data = nullptr;
  size_t pos = 0;
  size_t slice = 0;      // 0 = as much as asked
  long fail_after = -1;  // -1 = never fail
};

struct MemWriter {
  Bytes out;
  long stop_after = -1;  // ask the codec to stop once this many bytes have arrived
};

long mem_read(void* ctx, unsigned char* buf, size_t max);
int mem_write(void* ctx, const unsigned char* buf, size_t len);

struct CodecResult {
  int rc = 0;
  Bytes out;
  uint64_t packed = 0;
};

CodecResult decode(const char* method, const Bytes& packed, uint64_t original_size,
                   size_t slice = 0);
CodecResult encode(const char* method, const Bytes& input, int level = 0, size_t slice = 0);

uint16_t crc16(const Bytes& b);

struct Member {
  int level = 0;
  std::string method;
  uint64_t packed = 0;
  uint64_t original = 0;
  uint16_t crc = 0;
  bool has_crc = false;
  std::string path;
  size_t data_offset = 0;
};

// Walks the members of an archive starting at the first header (an SFX stub in front is
// skipped by looking for the first header that validates). Returns false on a broken chain.
bool walk_members(const Bytes& archive, std::vector<Member>* members);

// A level-2 archive holding one member with the given packed data.
Bytes make_level2_archive(const std::string& name, const char* method, const Bytes& packed,
                          const Bytes& original);

Bytes read_file(const std::string& path);
void write_file(const std::string& path, const Bytes& b);
bool have_tool(const char* name);
// Runs a shell command; returns its exit status and captures stdout+stderr.
int run(const std::string& command, std::string* output = nullptr);

// Test data.
Bytes random_bytes(size_t n, uint32_t seed);
Bytes text_bytes(size_t n, uint32_t seed);
Bytes repeat_bytes(size_t n, const std::string& unit);

}  // namespace lzhtest
