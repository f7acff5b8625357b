#include "zip_lzma.h"

#ifdef ZV_HAVE_LZMA
#include <lzma.h>
#endif

#include <algorithm>
#include <cstdlib>

namespace zv::zip {

#ifdef ZV_HAVE_LZMA

bool ownLzmaSupport() { return true; }

struct LzmaMember::State {
  RawInput* raw;
  uint64_t left;
  lzma_stream strm = LZMA_STREAM_INIT;
  bool started = false, inputDone = false;
  uint8_t in[64 * 1024];
};

LzmaMember::LzmaMember(RawInput& raw, uint64_t size) : s_(new State) {
  s_->raw = &raw;
  s_->left = size;
}

LzmaMember::~LzmaMember() {
  if (s_->started) lzma_end(&s_->strm);
}

int64_t LzmaMember::read(char* out, size_t max) {
  State& s = *s_;
  if (error_ != Error::None) return -1;
  if (!s.started) {
    uint8_t head[9];
    if (s.raw->readRaw(head, sizeof head) != int64_t(sizeof head) || head[2] != 5 || head[3] != 0) {
      error_ = Error::Data;
      return -1;
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, head + 4, 5) != LZMA_OK) {
      error_ = Error::Data;
      return -1;
    }
    // The dictionary never needs to be larger than the member: a hostile header asking for
    // 4 GiB would otherwise get it allocated.
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    const uint64_t enough = std::max<uint64_t>(s.left, LZMA_DICT_SIZE_MIN);
    if (options->dict_size > enough) options->dict_size = uint32_t(enough);
    lzma_ret r = lzma_raw_decoder(&s.strm, filters);
    std::free(filters[0].options);
    if (r != LZMA_OK) {
      error_ = r == LZMA_MEM_ERROR ? Error::Memory : Error::Data;
      return -1;
    }
    s.started = true;
  }
  if (s.left == 0) return 0;
  size_t want = max < s.left ? max : size_t(s.left);
  s.strm.next_out = reinterpret_cast<uint8_t*>(out);
  s.strm.avail_out = want;
  while (s.strm.avail_out > 0) {
    if (s.strm.avail_in == 0 && !s.inputDone) {
      int64_t n = s.raw->readRaw(s.in, sizeof s.in);
      if (n < 0) {
        error_ = Error::Read;
        return -1;
      }
      s.inputDone = n == 0;
      s.strm.next_in = s.in;
      s.strm.avail_in = size_t(n);
    }
    lzma_ret r = lzma_code(&s.strm, LZMA_RUN);
    if (r == LZMA_STREAM_END) break;
    if (r != LZMA_OK) {
      error_ = r == LZMA_MEM_ERROR ? Error::Memory : Error::Data;
      return -1;
    }
    if (s.inputDone && s.strm.avail_in == 0) break;  // what the data holds is out
  }
  size_t got = want - s.strm.avail_out;
  if (got == 0) {
    error_ = Error::Data;  // the stream ended before the declared size
    return -1;
  }
  s.left -= got;
  return int64_t(got);
}

#else

bool ownLzmaSupport() { return false; }
struct LzmaMember::State {};
LzmaMember::LzmaMember(RawInput&, uint64_t) : s_(new State) { error_ = Error::Data; }
LzmaMember::~LzmaMember() = default;
int64_t LzmaMember::read(char*, size_t) { return -1; }

#endif

}  // namespace zv::zip
