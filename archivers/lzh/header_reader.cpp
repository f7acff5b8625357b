#include "header_reader.h"

#include <cstring>
#include <vector>

#include "dos_time.h"
#include "lzh_codec.h"
#include "name_codec.h"

namespace zv::lzh {
namespace {

uint16_t u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t u64(const unsigned char* p) {
  return static_cast<uint64_t>(u32(p)) | (static_cast<uint64_t>(u32(p + 4)) << 32);
}

HeaderRead damaged(const char* why) { return {HeaderStatus::Damaged, why}; }

bool plausibleMethod(const unsigned char* p) {
  if (p[0] != '-' || p[4] != '-') return false;
  for (int i = 1; i < 4; ++i)
    if (p[i] < 0x20 || p[i] > 0x7E) return false;
  return true;
}

// Amiga and MorphOS tools store a file comment in the name field after a NUL: the name ends
// there and the rest is the comment.
void setNameField(Member& m, const unsigned char* p, size_t len) {
  const char* b = reinterpret_cast<const char*>(p);
  const void* nul = std::memchr(b, 0, len);
  size_t nameLen = nul ? static_cast<size_t>(static_cast<const char*>(nul) - b) : len;
  m.rawName.assign(b, nameLen);
  m.rawComment = nul ? std::string(b + nameLen + 1, len - nameLen - 1) : std::string();
}

// What the extended headers told, applied to the member after the chain is read.
struct ExtInfo {
  bool hasCrcField = false;
  size_t crcFieldOffset = 0;  // offset of the two CRC bytes inside the header buffer
  bool hasName = false;
  bool hasFiletime = false;
  uint64_t filetime = 0;
  bool hasUnixTime = false;
  uint32_t unixTime = 0;
  bool hasSizes64 = false;
  uint64_t packed64 = 0, original64 = 0;
  bool hasUtf16Dir = false;
};

// Applies one extended header (type at `p`, payload of `len` bytes after it).
void applyExt(Member& m, ExtInfo& x, const unsigned char* hdr, size_t at, size_t len) {
  const unsigned char* p = hdr + at + 1;
  switch (hdr[at]) {
    case 0x00:
      if (len >= 2 && !x.hasCrcField) {
        x.hasCrcField = true;
        x.crcFieldOffset = at + 1;
      }
      break;
    case 0x01:
      setNameField(m, p, len);
      x.hasName = true;
      break;
    case 0x02:
      m.rawDir.assign(reinterpret_cast<const char*>(p), len);
      break;
    case 0x40:
      if (len >= 1) m.dosAttribute = p[0];
      break;
    case 0x41:
      if (len >= 16) {
        x.filetime = u64(p + 8);
        x.hasFiletime = x.filetime != 0;
      }
      break;
    case 0x42:
      if (len >= 16) {
        x.hasSizes64 = true;
        x.packed64 = u64(p);
        x.original64 = u64(p + 8);
      }
      break;
    case 0x44:
    case 0x45: {
      std::u16string s;
      for (size_t i = 0; i + 1 < len; i += 2) s.push_back(static_cast<char16_t>(u16(p + i)));
      if (hdr[at] == 0x44) {
        m.utf16Name = s;
        m.hasUtf16Name = true;
      } else {
        m.utf16Dir = s;
        x.hasUtf16Dir = true;
      }
      break;
    }
    case 0x46:
      if (len >= 4) m.codePage = u32(p);
      break;
    case 0x50:
      if (len >= 2) {
        m.unixMode = u16(p);
        m.hasUnixMode = true;
      }
      break;
    case 0x54:
      if (len >= 4) {
        x.unixTime = u32(p);
        x.hasUnixTime = true;
      }
      break;
    default:
      break;  // comments, OS-specific blocks: skipped by size
  }
}

// Walks the chain that starts with size `first` at offset `at` of `hdr` (length `limit`).
// `w` is the width of the size fields. Returns the offset after the chain, or 0 when a size
// is impossible.
size_t walkChain(Member& m, ExtInfo& x, const unsigned char* hdr, size_t limit, size_t at,
                 uint64_t first, int w) {
  uint64_t s = first;
  while (s != 0) {
    if (s < static_cast<uint64_t>(1 + w) || at + s > limit) return 0;
    size_t len = static_cast<size_t>(s) - 1 - w;
    applyExt(m, x, hdr, at, len);
    size_t next = at + static_cast<size_t>(s) - w;  // the size field of the next header
    s = (w == 2) ? u16(hdr + next) : u32(hdr + next);
    at = next + w;
  }
  return at;
}

bool headerCrcMatches(std::vector<unsigned char>& hdr, const ExtInfo& x) {
  if (!x.hasCrcField) return true;
  uint16_t stored = u16(hdr.data() + x.crcFieldOffset);
  hdr[x.crcFieldOffset] = hdr[x.crcFieldOffset + 1] = 0;
  uint16_t crc = lzh_crc16(0, hdr.data(), hdr.size());
  hdr[x.crcFieldOffset] = static_cast<unsigned char>(stored);
  hdr[x.crcFieldOffset + 1] = static_cast<unsigned char>(stored >> 8);
  return crc == stored;
}

void finish(Member& m, const ExtInfo& x, uint64_t fileSize) {
  if (x.hasSizes64) {
    m.packedSize = x.packed64;
    m.originalSize = x.original64;
  }
  if (x.hasFiletime && x.filetime >= 116444736000000000ull) {
    m.mtime = static_cast<std::time_t>((x.filetime - 116444736000000000ull) / 10000000ull);
  } else if (x.hasUnixTime) {
    m.mtime = static_cast<std::time_t>(x.unixTime);
  }
  if (m.dosDateTime == 0 && m.mtime != 0) m.dosDateTime = unixToDos(m.mtime);
  if (m.mtime == 0 && m.dosDateTime != 0) m.mtime = dosToUnix(m.dosDateTime);
  decodeMemberName(m);
  m.truncated = m.dataOffset > fileSize || m.packedSize > fileSize - m.dataOffset;
}

HeaderRead readLevel0or1(ByteSource& src, uint64_t pos, Member& m, const unsigned char* pre) {
  size_t total = static_cast<size_t>(pre[0]) + 2;
  std::vector<unsigned char> h(total);
  if (src.readAt(pos, h.data(), total) != total) return damaged("header cut short");
  unsigned sum = 0;
  for (size_t i = 2; i < total; ++i) sum += h[i];
  if ((sum & 0xFF) != h[1]) return damaged("header checksum mismatch");
  size_t n = h[21];
  uint32_t size7 = u32(&h[7]);
  m.originalSize = u32(&h[11]);
  m.dosDateTime = u32(&h[15]);
  m.dosAttribute = h[19];
  ExtInfo x;
  if (m.level == 0) {
    if (22 + n > total) return damaged("name longer than its header");
    setNameField(m, &h[22], n);
    long rest = static_cast<long>(total) - 24 - static_cast<long>(n);
    if (rest == -2) {
      m.hasCrc = false;
    } else if (rest < 0) {
      return damaged("header too short for its CRC");
    } else {
      m.crc = u16(&h[22 + n]);
      // LHa for UNIX's extension area: 'U', version, mtime, mode, uid, gid.
      if (rest == 12 && h[24 + n] == 'U') {
        x.hasUnixTime = true;
        x.unixTime = u32(&h[26 + n]);
        m.unixMode = u16(&h[30 + n]);
        m.hasUnixMode = true;
      }
    }
    m.packedSize = size7;
    m.headerSize = static_cast<uint32_t>(total);
    m.dataOffset = pos + total;
    if (m.dosAttribute & 0x10) m.isFolder = true;
    finish(m, x, src.size());
    return {HeaderStatus::Ok, {}};
  }
  // Level 1: base header, then extended headers counted in the "skip size".
  if (25 + n + 2 > total) return damaged("name longer than its header");
  setNameField(m, &h[22], n);
  m.crc = u16(&h[22 + n]);
  m.osId = h[24 + n];
  uint64_t extSize = u16(&h[total - 2]);
  uint64_t extTotal = 0;
  std::vector<unsigned char> all(h);
  while (extSize != 0) {
    if (extSize < 3) return damaged("extended header size impossible");
    extTotal += extSize;
    if (extTotal > size7 || all.size() + extSize > kMaxHeaderSize)
      return damaged("extended headers larger than the member");
    size_t at = all.size();
    all.resize(at + extSize);
    if (src.readAt(pos + at, &all[at], extSize) != extSize) return damaged("header cut short");
    applyExt(m, x, all.data(), at, extSize - 3);
    extSize = u16(&all[at + extSize - 2]);
  }
  if (!headerCrcMatches(all, x)) return damaged("header CRC mismatch");
  m.packedSize = size7 - extTotal;
  m.headerSize = static_cast<uint32_t>(all.size());
  m.dataOffset = pos + all.size();
  finish(m, x, src.size());
  return {HeaderStatus::Ok, {}};
}

// Reads a level-2 or level-3 header of `total` bytes.
HeaderRead readLevel2or3Sized(ByteSource& src, uint64_t pos, Member& m, uint64_t total) {
  bool l3 = m.level == 3;
  size_t fixedLen = l3 ? 32 : 26;
  if (total < fixedLen || total > kMaxHeaderSize) return damaged("header length impossible");
  std::vector<unsigned char> h(static_cast<size_t>(total));
  if (src.readAt(pos, h.data(), h.size()) != h.size()) return damaged("header cut short");
  m.packedSize = u32(&h[7]);
  m.originalSize = u32(&h[11]);
  m.mtime = static_cast<std::time_t>(u32(&h[15]));
  m.crc = u16(&h[21]);
  m.osId = h[23];
  ExtInfo x;
  uint64_t first = l3 ? u32(&h[28]) : u16(&h[24]);
  size_t end = walkChain(m, x, h.data(), h.size(), fixedLen, first, l3 ? 4 : 2);
  if (end == 0) return damaged("extended header runs past the header");
  size_t slack = h.size() - end;
  if (slack > (l3 ? 0u : 1u)) return damaged("header length does not match its contents");
  if (!headerCrcMatches(h, x)) return damaged("header CRC mismatch");
  m.headerSize = static_cast<uint32_t>(h.size());
  m.dataOffset = pos + h.size();
  finish(m, x, src.size());
  return {HeaderStatus::Ok, {}};
}

HeaderRead readLevel2or3(ByteSource& src, uint64_t pos, Member& m) {
  bool l3 = m.level == 3;
  unsigned char fixed[32];
  size_t fixedLen = l3 ? 32 : 26;
  if (src.readAt(pos, fixed, fixedLen) != fixedLen) return damaged("header cut short");
  uint64_t total = l3 ? u32(&fixed[24]) : u16(&fixed[0]);
  if (l3 && u16(&fixed[0]) != 4) return damaged("unknown level-3 size width");
  if (!l3 && fixed[23] == 'K') {
    // LHa for OS-9/68k stores the length without the two length bytes themselves. Its
    // headers are read two bytes longer; one that reads whole as stored is taken as it is.
    Member asStored = m;
    HeaderRead r = readLevel2or3Sized(src, pos, m, total + 2);
    if (r.status == HeaderStatus::Ok) return r;
    if (readLevel2or3Sized(src, pos, asStored, total).status == HeaderStatus::Ok) {
      m = asStored;
      return {HeaderStatus::Ok, {}};
    }
    return r;
  }
  return readLevel2or3Sized(src, pos, m, total);
}

}  // namespace

bool Member::methodIs(const char* mth) const { return std::memcmp(method, mth, 5) == 0; }

HeaderRead readHeader(ByteSource& src, uint64_t pos, Member& m) {
  m = Member{};
  m.headerOffset = pos;
  unsigned char pre[22];
  size_t got = src.readAt(pos, pre, sizeof pre);
  if (got == 0) return {HeaderStatus::End, {}};
  if (pre[0] == 0) {
    // A level-2 header whose length is a multiple of 256 starts with 0x00 when its writer did
    // not pad it; anything else starting with 0x00 is the end marker. So is a 0x00 before a
    // header that does not check out: an append that was cut off before it linked its first
    // header leaves the old end marker followed by the partial header, which is trailing data.
    if (got < 22 || pre[20] != 2 || !plausibleMethod(pre + 2)) return {HeaderStatus::End, {}};
    std::memcpy(m.method, pre + 2, 5);
    m.level = 2;
    HeaderRead r = readLevel2or3(src, pos, m);
    if (r.status != HeaderStatus::Ok || m.truncated) {
      m = Member{};
      m.headerOffset = pos;
      return {HeaderStatus::End, {}};
    }
    return r;
  }
  if (got < 22) return damaged("header cut short");
  if (!plausibleMethod(pre + 2)) return damaged("no method name where a header should be");
  std::memcpy(m.method, pre + 2, 5);
  m.level = pre[20];
  switch (m.level) {
    case 0:
    case 1:
      if (pre[0] < 20) return damaged("header length impossible");
      return readLevel0or1(src, pos, m, pre);
    case 2:
    case 3:
      return readLevel2or3(src, pos, m);
    default:
      return damaged("unknown header level");
  }
}

bool headerValidatesAt(ByteSource& src, uint64_t pos) {
  unsigned char pre[22];
  if (src.readAt(pos, pre, sizeof pre) != sizeof pre) return false;
  if (pre[2] != '-' || pre[6] != '-' || (pre[3] != 'l' && pre[3] != 'p')) return false;
  if (pre[20] > 3) return false;
  if (pre[20] >= 1 && pre[19] != 0x20) return false;
  Member m;
  HeaderRead r = readHeader(src, pos, m);
  if (r.status != HeaderStatus::Ok || m.truncated) return false;
  // The following member, or the end, must parse as well.
  Member next;
  uint64_t after = m.dataOffset + m.packedSize;
  return readHeader(src, after, next).status != HeaderStatus::Damaged;
}

}  // namespace zv::lzh
