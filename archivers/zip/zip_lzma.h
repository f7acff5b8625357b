// LZMA members (method 14, as 7-Zip writes them) for a libzip built without LZMA: the raw
// member data is a 4-byte version/size header, the 5 property bytes and an LZMA1 stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zv::zip {

// The packed bytes of a member: up to `max` bytes into `out`, 0 at their end, -1 on a read
// error.
class RawInput {
 public:
  virtual ~RawInput() = default;
  virtual int64_t readRaw(void* out, size_t max) = 0;
};

// True when this build decodes LZMA members itself.
bool ownLzmaSupport();

class LzmaMember {
 public:
  enum class Error { None, Data, Memory, Read };
  // `size`: the member's uncompressed size.
  LzmaMember(RawInput& raw, uint64_t size);
  ~LzmaMember();
  LzmaMember(const LzmaMember&) = delete;
  LzmaMember& operator=(const LzmaMember&) = delete;

  // Bytes decoded into `out` (0 at the end of the member), or -1 with error() set.
  int64_t read(char* out, size_t max);
  Error error() const { return error_; }

 private:
  struct State;
  std::unique_ptr<State> s_;
  Error error_ = Error::None;
};

}  // namespace zv::zip
