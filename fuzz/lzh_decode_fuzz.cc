// libFuzzer target for the LZH decoders. The first byte picks the method (and, with its high
// bit, a round trip through the encoder), the next three give the declared original size; the
// rest is the packed data. Built with -DZV_FUZZ=ON (fuzz/CMakeLists.txt).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "lzh_codec.h"

namespace {

const char* const kMethods[] = {"-lh0-", "-lz4-", "-lhd-", "-lh1-", "-lh4-", "-lh5-", "-lh6-",
                                "-lh7-", "-lhx-", "-lzs-", "-lz5-", "-lh2-", "-lh3-", "-lk7-"};

struct Input {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

struct Output {
  uint8_t* buf;  // may be null: then only counted
  size_t cap;
  size_t len;
};

long read_fn(void* ctx, unsigned char* buf, size_t max) {
  Input* in = (Input*)ctx;
  size_t n = in->size - in->pos;
  if (n > max) n = max;
  if (n > 1000) n = 1000;  // short reads exercise the refill paths
  memcpy(buf, in->data + in->pos, n);
  in->pos += n;
  return (long)n;
}

int write_fn(void* ctx, const unsigned char* buf, size_t len) {
  Output* out = (Output*)ctx;
  if (out->len + len > out->cap) __builtin_trap();  // the decoder wrote past original_size
  if (out->buf) memcpy(out->buf + out->len, buf, len);
  out->len += len;
  return 0;
}

void round_trip(const char* method, const uint8_t* data, size_t size) {
  Input in = {data, size, 0};
  uint8_t* packed = (uint8_t*)malloc(size + size / 8 + 1024);
  Output po = {packed, size + size / 8 + 1024, 0};
  LzhStreams io = {read_fn, &in, write_fn, &po};
  uint64_t packed_size = 0;
  LzhEncodeOptions opt = {(int)(size % 10), 0};
  if (lzh_encode_ex(method, size, &io, &packed_size, &opt) != LZH_OK) __builtin_trap();
  uint8_t* back = (uint8_t*)malloc(size + 1);
  Input pin = {packed, (size_t)packed_size, 0};
  Output bo = {back, size, 0};
  LzhStreams io2 = {read_fn, &pin, write_fn, &bo};
  if (lzh_decode(method, packed_size, size, &io2) != LZH_OK) __builtin_trap();
  if (bo.len != size || memcmp(back, data, size) != 0) __builtin_trap();
  free(packed);
  free(back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const unsigned sel = data[0];
  const size_t declared =
      (size_t)data[1] | ((size_t)data[2] << 8) | ((size_t)(data[3] & 0x0F) << 16);
  data += 4;
  size -= 4;
  if (sel & 0x80) {
    static const char* const kEncoders[] = {"-lh5-", "-lh6-", "-lh7-"};
    round_trip(kEncoders[sel % 3], data, size);
    return 0;
  }
  const char* method = kMethods[sel % (sizeof kMethods / sizeof *kMethods)];
  Input in = {data, size, 0};
  Output out = {0, declared, 0};
  LzhStreams io = {read_fn, &in, write_fn, &out};
  const int rc = lzh_decode(method, size, declared, &io);
  if (rc == LZH_OK && out.len != declared) __builtin_trap();  // success means all bytes
  if (in.pos > size) __builtin_trap();
  return 0;
}
