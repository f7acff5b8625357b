#include "lzh_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "../support/tool_locale.h"

namespace lzhtest {

long mem_read(void* ctx, unsigned char* buf, size_t max) {
  auto* r = static_cast<MemReader*>(ctx);
  if (r->fail_after >= 0 && r->pos >= (size_t)r->fail_after) return -1;
  size_t n = std::min(max, r->data->size() - r->pos);
  if (r->slice) n = std::min(n, r->slice);
  std::memcpy(buf, r->data->data() + r->pos, n);
  r->pos += n;
  return (long)n;
}

int mem_write(void* ctx, const unsigned char* buf, size_t len) {
  auto* w = static_cast<MemWriter*>(ctx);
  w->out.insert(w->out.end(), buf, buf + len);
  return w->stop_after >= 0 && w->out.size() >= (size_t)w->stop_after;
}

CodecResult decode(const char* method, const Bytes& packed, uint64_t original_size, size_t slice) {
  MemReader r;
  r.data = &packed;
  r.slice = slice;
  MemWriter w;
  LzhStreams io{mem_read, &r, mem_write, &w};
  CodecResult res;
  res.rc = lzh_decode(method, packed.size(), original_size, &io);
  res.out = std::move(w.out);
  return res;
}

CodecResult encode(const char* method, const Bytes& input, int level, size_t slice) {
  MemReader r;
  r.data = &input;
  r.slice = slice;
  MemWriter w;
  LzhStreams io{mem_read, &r, mem_write, &w};
  LzhEncodeOptions opt{level, 0};
  CodecResult res;
  res.rc = lzh_encode_ex(method, input.size(), &io, &res.packed, &opt);
  res.out = std::move(w.out);
  return res;
}

uint16_t crc16(const Bytes& b) { return lzh_crc16(0, b.data(), b.size()); }

namespace {

uint32_t le(const Bytes& a, size_t p, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | a[p + i];
  return v;
}

uint64_t le64(const Bytes& a, size_t p) {
  return (uint64_t)le(a, p, 4) | ((uint64_t)le(a, p + 4, 4) << 32);
}

bool method_like(const Bytes& a, size_t p) {
  return p + 22 <= a.size() && a[p + 2] == '-' && a[p + 6] == '-' &&
         (a[p + 3] == 'l' || a[p + 3] == 'p');
}

// Parses the extended headers from `p` (first size `size`, size fields `w` bytes wide);
// `limit` bounds the chain. Returns the offset after the chain, or 0 on damage.
size_t walk_ext(const Bytes& a, size_t p, size_t size, int w, size_t limit, Member* m,
                std::string* dir, std::string* name, uint64_t* ext_total) {
  while (size) {
    if (size < (size_t)(1 + w) || p + size > limit) return 0;
    const unsigned type = a[p];
    const size_t payload = size - 1 - w;
    const unsigned char* q = a.data() + p + 1;
    if (type == 0x01) name->assign((const char*)q, payload);
    if (type == 0x02) {
      dir->clear();
      for (size_t i = 0; i < payload; ++i) dir->push_back(q[i] == 0xFF ? '/' : (char)q[i]);
    }
    if (type == 0x42 && payload >= 16) {
      m->packed = le64(a, p + 1);
      m->original = le64(a, p + 9);
    }
    *ext_total += size;
    p += size;
    size = le(a, p - w, w);
  }
  return p;
}

bool parse_member(const Bytes& a, size_t pos, Member* m, size_t* next) {
  if (!method_like(a, pos)) return false;
  m->level = a[pos + 20];
  m->method.assign((const char*)a.data() + pos + 2, 5);
  m->packed = le(a, pos + 7, 4);
  m->original = le(a, pos + 11, 4);
  std::string dir, name;
  uint64_t ext_total = 0;
  size_t data = 0;
  if (m->level == 0 || m->level == 1) {
    const size_t hs = a[pos];
    unsigned sum = 0;
    if (pos + hs + 2 > a.size() || hs < 22) return false;
    for (size_t i = 2; i < hs + 2; ++i) sum += a[pos + i];
    if ((sum & 0xFF) != a[pos + 1]) return false;
    const size_t n = a[pos + 21];
    if (22 + n > hs + 2) return false;
    name.assign((const char*)a.data() + pos + 22, n);
    m->has_crc = hs + 2 >= 24 + n;
    if (m->has_crc) m->crc = (uint16_t)le(a, pos + 22 + n, 2);
    if (m->level == 0) {
      data = pos + hs + 2;
      for (char& c : name)
        if (c == '\\') c = '/';
    } else {
      data = walk_ext(a, pos + hs + 2, le(a, pos + hs, 2), 2, a.size(), m, &dir, &name, &ext_total);
      if (!data) return false;
      if (m->packed == le(a, pos + 7, 4)) m->packed -= ext_total;
    }
  } else if (m->level == 2) {
    const size_t t = le(a, pos, 2);
    if (pos + t > a.size() || t < 26) return false;
    m->has_crc = true;
    m->crc = (uint16_t)le(a, pos + 21, 2);
    if (!walk_ext(a, pos + 26, le(a, pos + 24, 2), 2, pos + t, m, &dir, &name, &ext_total))
      return false;
    data = pos + t;
  } else if (m->level == 3) {
    if (pos + 32 > a.size()) return false;
    const size_t t = le(a, pos + 24, 4);
    if (pos + t > a.size() || t < 32) return false;
    m->has_crc = true;
    m->crc = (uint16_t)le(a, pos + 21, 2);
    if (!walk_ext(a, pos + 32, le(a, pos + 28, 4), 4, pos + t, m, &dir, &name, &ext_total))
      return false;
    data = pos + t;
  } else {
    return false;
  }
  m->path = dir + name;
  m->data_offset = data;
  *next = data + m->packed;
  return true;
}

}  // namespace

bool walk_members(const Bytes& a, std::vector<Member>* members) {
  size_t pos = 0;
  Member first;
  size_t next = 0;
  while (pos < a.size() && pos < (1u << 20) && !parse_member(a, pos, &first, &next)) ++pos;
  if (pos >= a.size() || pos >= (1u << 20)) return false;
  members->push_back(first);
  pos = next;
  while (pos < a.size() && a[pos] != 0) {
    Member m;
    if (!parse_member(a, pos, &m, &next)) return false;
    members->push_back(m);
    pos = next;
  }
  return pos <= a.size();
}

Bytes make_level2_archive(const std::string& name, const char* method, const Bytes& packed,
                          const Bytes& original) {
  Bytes h;
  auto put = [&h](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) h.push_back((unsigned char)(v >> (8 * i)));
  };
  put(0, 2);  // total length, patched below
  h.insert(h.end(), method, method + 5);
  put((uint32_t)packed.size(), 4);
  put((uint32_t)original.size(), 4);
  put(1704164646, 4);  // 2024-01-02 03:04:06 UTC
  h.push_back(0x20);
  h.push_back(2);
  put(crc16(original), 2);
  h.push_back('M');
  put(5, 2);  // first extended header: header CRC
  h.push_back(0x00);
  const size_t crc_at = h.size();
  put(0, 2);
  put((uint32_t)(3 + name.size()), 2);
  h.push_back(0x01);
  h.insert(h.end(), name.begin(), name.end());
  put(0, 2);
  if (h.size() % 256 == 0) {  // never a length that looks like an end marker
    h.resize(h.size() - 2);
    put(5, 2);
    h.push_back(0x40);
    put(0x20, 2);
    put(0, 2);
  }
  h[0] = (unsigned char)h.size();
  h[1] = (unsigned char)(h.size() >> 8);
  const uint16_t hcrc = lzh_crc16(0, h.data(), h.size());
  h[crc_at] = (unsigned char)hcrc;
  h[crc_at + 1] = (unsigned char)(hcrc >> 8);
  h.insert(h.end(), packed.begin(), packed.end());
  h.push_back(0);
  return h;
}

Bytes read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const Bytes& b) {
  std::ofstream f(path, std::ios::binary);
  f.write((const char*)b.data(), (std::streamsize)b.size());
}

bool have_tool(const char* name) {
  return run(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

int run(const std::string& command, std::string* output) {
  FILE* p = popen(("(" + zv::test::inToolLocale(command) + ") 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0)
    if (output) output->append(buf, n);
  const int st = pclose(p);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

Bytes random_bytes(size_t n, uint32_t seed) {
  std::mt19937 g(seed);
  Bytes b(n);
  for (auto& c : b) c = (unsigned char)g();
  return b;
}

Bytes text_bytes(size_t n, uint32_t seed) {
  static const char* words[] = {"archive", "the",   "of",     "file",  "folder", "and",
                                "window",  "data",  "header", "level", "method", "to",
                                "size",    "bytes", "a",      "in",    "copy",   "LZH"};
  std::mt19937 g(seed);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[g() % (sizeof words / sizeof *words)];
    b.insert(b.end(), w, w + std::strlen(w));
    b.push_back(g() % 11 == 0 ? '\n' : ' ');
  }
  b.resize(n);
  return b;
}

Bytes repeat_bytes(size_t n, const std::string& unit) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = (unsigned char)unit[i % unit.size()];
  return b;
}

}  // namespace lzhtest
