// LZMA members (method 14, as 7-Zip writes them) for a libzip built without LZMA: the raw
// member data is a 4-byte version/size header, the 5 property bytes and an LZMA1 stream.
#pragma once
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zv::zip {

// True when this build decodes LZMA members itself.
bool ownLzmaSupport();

class LzmaMember {
 public:
  enum class Error { None, Data, Memory, Read };
  // `raw` is the member opened with ZIP_FL_COMPRESSED; `size` its uncompressed size.
  LzmaMember(zip_file_t* raw, uint64_t size);
  ~LzmaMember();
  LzmaMember(const LzmaMember&) = delete;
  LzmaMember& operator=(const LzmaMember&) = delete;

  // Bytes decoded into `out` (0 at the end of the member), or -1 with error() set.
  zip_int64_t read(char* out, size_t max);
  Error error() const { return error_; }

 private:
  struct State;
  std::unique_ptr<State> s_;
  Error error_ = Error::None;
};

}  // namespace zv::zip
