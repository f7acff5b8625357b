#include "header_writer.h"

#include <cstring>

#include "dos_time.h"
#include "lzh_codec.h"
#include "lzh_error.h"
#include "name_codec.h"

namespace zv::lzh {
namespace {

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint64_t v) {
  put16(s, static_cast<uint32_t>(v & 0xFFFF));
  put16(s, static_cast<uint32_t>((v >> 16) & 0xFFFF));
}
void put64(std::string& s, uint64_t v) {
  put32(s, v & 0xFFFFFFFFu);
  put32(s, v >> 32);
}
void set16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

uint16_t crcOf(const std::string& s) {
  return lzh_crc16(0, reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

// Shared prefix, bytes 2 to 20.
void prefix(std::string& s, const NewHeader& h, uint64_t size7, uint32_t time, int attr) {
  s.append(h.method, 5);
  put32(s, size7);
  put32(s, h.originalSize);
  put32(s, time);
  s += static_cast<char>(attr);
  s += static_cast<char>(h.level);
}

// One extended header with a 2-byte size field: type, payload; the size of the *next* header
// is appended later by the caller.
struct Ext {
  unsigned char type;
  std::string payload;
};

std::string chain(const std::vector<Ext>& exts) {
  // Each header's size counts its type, payload and the following size field.
  std::string out;
  for (size_t i = 0; i < exts.size(); ++i) {
    out += static_cast<char>(exts[i].type);
    out += exts[i].payload;
    put16(out, i + 1 < exts.size() ? exts[i + 1].payload.size() + 3 : 0);
  }
  return out;
}

size_t chainSize(const std::vector<Ext>& exts) {
  size_t n = 0;
  for (const Ext& e : exts) n += e.payload.size() + 3;
  return n;
}

bool needs64(const NewHeader& h) {
  return h.originalSize > 0xFFFFFFFFull || h.packedSize > 0xFFFFFFFFull;
}

// The extended headers of levels 1 and 2, the header CRC first (its payload is filled in once
// the whole header is known). `withName`: the name goes into an extended header.
std::vector<Ext> extendedHeaders(const NewHeader& h, const EncodedName& n, bool withName) {
  std::vector<Ext> exts;
  exts.push_back({0x00, std::string(2, '\0')});
  std::string cp;
  put32(cp, n.codePage);
  exts.push_back({0x46, cp});  // lets bsdtar decode the names without options
  if (withName) exts.push_back({0x01, n.nameBytes});
  if (!n.dirBytes.empty()) exts.push_back({0x02, n.dirBytes});
  if (h.unixMode) {
    std::string m;
    put16(m, h.unixMode);
    exts.push_back({0x50, m});
  }
  if (needs64(h)) {
    std::string m;
    put64(m, h.packedSize);
    put64(m, h.originalSize);
    exts.push_back({0x42, m});
  }
  return exts;
}

std::string level0(const NewHeader& h, const EncodedName& n) {
  if (n.level0.size() > 221)
    fail(ZV_ERROR_CANNOT_CREATE, "名前が長すぎてレベル 0 ヘッダに入りません");
  if (needs64(h)) fail(ZV_ERROR_CANNOT_CREATE, "4 GiB 以上のファイルはレベル 0 ヘッダに入りません");
  std::string s(2, '\0');
  prefix(s, h, h.packedSize, unixToDos(h.mtime), h.folder ? 0x10 : 0x20);
  s += static_cast<char>(n.level0.size());
  s += n.level0;
  put16(s, h.crc);
  s[0] = static_cast<char>(s.size() - 2);
  unsigned sum = 0;
  for (size_t i = 2; i < s.size(); ++i) sum += static_cast<unsigned char>(s[i]);
  s[1] = static_cast<char>(sum & 0xFF);
  return s;
}

std::string level1(const NewHeader& h, const EncodedName& n) {
  bool longName = n.nameBytes.size() > 230;
  std::vector<Ext> exts = extendedHeaders(h, n, longName);
  std::string ext = chain(exts);
  if (ext.size() > 0xFFFF) fail(ZV_ERROR_CANNOT_CREATE, "名前が長すぎます");
  const std::string& base = longName ? std::string() : n.nameBytes;
  std::string s(2, '\0');
  prefix(s, h, (h.packedSize & 0xFFFFFFFFu) + ext.size(), unixToDos(h.mtime), 0x20);
  s += static_cast<char>(base.size());
  s += base;
  put16(s, h.crc);
  s += static_cast<char>(kWriterOsId);
  put16(s, exts.front().payload.size() + 3);
  s[0] = static_cast<char>(s.size() - 2);
  unsigned sum = 0;
  for (size_t i = 2; i < s.size(); ++i) sum += static_cast<unsigned char>(s[i]);
  s[1] = static_cast<char>(sum & 0xFF);
  size_t crcAt = s.size() + 1;  // the CRC payload of the first extended header
  s += ext;
  set16(s, crcAt, crcOf(s));
  return s;
}

std::string level2(const NewHeader& h, const EncodedName& n) {
  std::vector<Ext> exts = extendedHeaders(h, n, true);
  if ((26 + chainSize(exts)) % 256 == 0) {
    // A length that is a multiple of 256 starts with a 0x00 byte, which readers take for
    // the end of the archive: an attribute header moves it off the boundary.
    exts.push_back({0x40, std::string("\x20\x00", 2)});
  }
  std::string ext = chain(exts);
  size_t total = 26 + ext.size();
  if (total > 0xFFFF) fail(ZV_ERROR_CANNOT_CREATE, "名前が長すぎます");
  std::string s;
  put16(s, total);
  prefix(s, h, h.packedSize & 0xFFFFFFFFu, static_cast<uint32_t>(h.mtime), 0x20);
  put16(s, h.crc);
  s += static_cast<char>(kWriterOsId);
  put16(s, exts.front().payload.size() + 3);
  s += ext;
  set16(s, 27, crcOf(s));
  return s;
}

}  // namespace

std::string buildHeader(const NewHeader& h) {
  EncodedName n = encodeMemberName(h.parts, h.folder);
  switch (h.level) {
    case 0:
      return level0(h, n);
    case 1:
      return level1(h, n);
    default:
      return level2(h, n);
  }
}

}  // namespace zv::lzh
