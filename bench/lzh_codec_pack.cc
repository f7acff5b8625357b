// Bench helper: packs files into a level-2 LZH archive with the codec, or tests (decodes and
// checks the CRC of) every member of a level-2 archive, so that bench/compare_lzh.sh can time
// whole archives against other tools. Not a product tool: no folders, no safety checks.
//   lzh_codec_pack c <archive> <-lh5-|-lh6-|-lh7-> <level> files...
//   lzh_codec_pack t <archive>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lzh_codec.h"

namespace {

struct FileIn {
  FILE* f;
  uint16_t crc;
};

long read_file(void* ctx, unsigned char* buf, size_t max) {
  auto* in = static_cast<FileIn*>(ctx);
  const size_t n = fread(buf, 1, max, in->f);
  in->crc = lzh_crc16(in->crc, buf, n);
  return (long)n;
}

int write_file(void* ctx, const unsigned char* buf, size_t len) {
  return fwrite(buf, 1, len, static_cast<FILE*>(ctx)) != len;
}

int crc_only(void* ctx, const unsigned char* buf, size_t len) {
  auto* crc = static_cast<uint16_t*>(ctx);
  *crc = lzh_crc16(*crc, buf, len);
  return 0;
}

void put(std::vector<unsigned char>& h, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) h.push_back((unsigned char)(v >> (8 * i)));
}

int pack(const char* archive, const char* method, int level, int argc, char** argv) {
  FILE* out = fopen(archive, "wb");
  if (!out) return 1;
  for (int i = 0; i < argc; ++i) {
    FILE* f = fopen(argv[i], "rb");
    if (!f) return 1;
    fseek(f, 0, SEEK_END);
    const uint64_t size = (uint64_t)ftell(f);
    const char* base = strrchr(argv[i], '/');
    const std::string name = base ? base + 1 : argv[i];
    std::vector<unsigned char> h;
    put(h, 0, 2);
    h.insert(h.end(), method, method + 5);
    put(h, 0, 4);
    put(h, (uint32_t)size, 4);
    put(h, 1704164646, 4);
    h.push_back(0x20);
    h.push_back(2);
    put(h, 0, 2);
    h.push_back('M');
    put(h, 5, 2);
    h.push_back(0);
    put(h, 0, 2);
    put(h, (uint32_t)(3 + name.size()), 2);
    h.push_back(1);
    h.insert(h.end(), name.begin(), name.end());
    put(h, 0, 2);
    if (h.size() % 256 == 0) {
      h.resize(h.size() - 2);
      put(h, 5, 2);
      h.push_back(0x40);
      put(h, 0x20, 2);
      put(h, 0, 2);
    }
    const long header_at = ftell(out);
    fwrite(h.data(), 1, h.size(), out);
    // Compress; fall back to storing when it does not pay.
    fseek(f, 0, SEEK_SET);
    FileIn in{f, 0};
    LzhStreams io{read_file, &in, write_file, out};
    LzhEncodeOptions opt{level, size};
    uint64_t packed = 0;
    int rc = size ? lzh_encode_ex(method, size, &io, &packed, &opt) : LZH_E_NOGAIN;
    if (rc == LZH_OK && packed >= size) rc = LZH_E_NOGAIN;
    if (rc == LZH_E_NOGAIN) {
      fseek(out, header_at + (long)h.size(), SEEK_SET);
      fseek(f, 0, SEEK_SET);
      in.crc = 0;
      unsigned char buf[65536];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        in.crc = lzh_crc16(in.crc, buf, n);
        fwrite(buf, 1, n, out);
      }
      memcpy(&h[2], "-lh0-", 5);
      packed = size;
      rc = LZH_OK;
    }
    if (rc != LZH_OK) return 1;
    const long end = ftell(out);
    ftruncate(fileno(out), end);
    for (int k = 0; k < 4; ++k) h[7 + k] = (unsigned char)(packed >> (8 * k));
    h[21] = (unsigned char)in.crc;
    h[22] = (unsigned char)(in.crc >> 8);
    h[0] = (unsigned char)h.size();
    h[1] = (unsigned char)(h.size() >> 8);
    const uint16_t hcrc = lzh_crc16(0, h.data(), h.size());
    h[27] = (unsigned char)hcrc;
    h[28] = (unsigned char)(hcrc >> 8);
    fseek(out, header_at, SEEK_SET);
    fwrite(h.data(), 1, h.size(), out);
    fseek(out, end, SEEK_SET);
    fclose(f);
  }
  fputc(0, out);
  return fclose(out) != 0;
}

struct Limited {
  FILE* f;
};

long read_plain(void* ctx, unsigned char* buf, size_t max) {
  return (long)fread(buf, 1, max, static_cast<Limited*>(ctx)->f);
}

int test(const char* archive) {
  FILE* f = fopen(archive, "rb");
  if (!f) return 1;
  int members = 0, bad = 0;
  for (;;) {
    unsigned char h[26];
    const long at = ftell(f);
    if (fread(h, 1, 1, f) != 1 || h[0] == 0) break;
    if (fread(h + 1, 1, 25, f) != 25 || h[20] != 2) {
      fprintf(stderr, "only level-2 archives\n");
      return 1;
    }
    const uint32_t total = h[0] | (h[1] << 8);
    const uint32_t packed = h[7] | (h[8] << 8) | (h[9] << 16) | ((uint32_t)h[10] << 24);
    const uint32_t original = h[11] | (h[12] << 8) | (h[13] << 16) | ((uint32_t)h[14] << 24);
    const uint16_t crc = (uint16_t)(h[21] | (h[22] << 8));
    char method[5];
    memcpy(method, h + 2, 5);
    fseek(f, at + (long)total, SEEK_SET);
    Limited in{f};
    uint16_t got = 0;
    LzhStreams io{read_plain, &in, crc_only, &got};
    const int rc = lzh_decode(method, packed, original, &io);
    if (rc != LZH_OK || got != crc) ++bad;
    ++members;
    fseek(f, at + (long)total + (long)packed, SEEK_SET);
  }
  fclose(f);
  printf("%d members, %d bad\n", members, bad);
  return bad != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 5 && strcmp(argv[1], "c") == 0)
    return pack(argv[2], argv[3], atoi(argv[4]), argc - 5, argv + 5);
  if (argc == 3 && strcmp(argv[1], "t") == 0) return test(argv[2]);
  fprintf(stderr, "usage: lzh_codec_pack c archive method level files... | t archive\n");
  return 2;
}
