#include "ish_header.h"

#include <cstring>

#include "ish_line.h"
#include "platform/cp932.h"

namespace zv::ish {
namespace {

void put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void put32(uint8_t* p, uint32_t v) { put16(p, v), put16(p + 2, v >> 16); }
uint32_t get16(const uint8_t* p) { return p[0] | (uint32_t(p[1]) << 8); }
uint32_t get32(const uint8_t* p) { return get16(p) | (get16(p + 2) << 16); }

// Cuts raw CP932 text to at most `max` bytes on a character boundary.
std::string cutBytes(const std::string& s, size_t max) {
  size_t i = 0;
  while (i < s.size()) {
    size_t n = encoding::isCp932LeadByte(uint8_t(s[i])) && i + 1 < s.size() ? 2 : 1;
    if (i + n > max) break;
    i += n;
  }
  return s.substr(0, i);
}

std::string padded(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::string trimmed(const std::string& s) {
  size_t e = s.size();
  while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  return s.substr(0, e);
}

}  // namespace

void buildHeaderRecord(const Header& h, uint8_t* r) {
  const TypeInfo& t = info(h.type);
  int length = h.jis8Coded ? 69 : 63;
  std::memset(r, 0, size_t(length));
  r[1] = h.volume;
  put32(r + 2, h.size);
  put16(r + 6, uint32_t(t.record));
  put16(r + 8, uint32_t(t.record - 1));
  r[10] = t.unitWidth;
  r[11] = t.typeCode;
  std::string base = padded(h.base, 8), ext = padded(h.ext, 3);
  std::memcpy(r + 12, base.data(), 8);
  std::memcpy(r + 20, ext.data(), 3);
  r[24] = h.os;
  r[25] = h.level;
  r[26] = h.flags;
  put16(r + 27, h.dosTime);
  put16(r + 29, h.dosDate);
  uint32_t zone = uint32_t(h.zoneOffset) & 0xFFFFFF;
  r[31] = uint8_t(zone), r[32] = uint8_t(zone >> 8), r[33] = uint8_t(zone >> 16);
  r[34] = uint8_t(h.fileCrc16 >> 8), r[35] = uint8_t(h.fileCrc16);
  put32(r + 36, h.fileCrc32);
  put32(r + 40, h.volumeSize);
  r[44] = uint8_t(h.volumeCrc16 >> 8), r[45] = uint8_t(h.volumeCrc16);
  sealRecord(r, length);
}

bool parseHeaderRecord(const uint8_t* r, int length, Header& h) {
  if (r[0] != 0) return false;
  const TypeInfo* t = infoByTypeCode(r[11]);
  if (!t || get16(r + 6) != uint32_t(t->record) || get16(r + 8) != uint32_t(t->record - 1) ||
      r[10] != t->unitWidth)
    return false;
  h = Header{};
  h.type = t->type;
  h.jis8Coded = length == 69;
  if (h.jis8Coded && t->type != CodeType::Jis8) return false;
  h.volume = r[1];
  h.size = get32(r + 2);
  h.base.assign(reinterpret_cast<const char*>(r + 12), 8);
  h.ext.assign(reinterpret_cast<const char*>(r + 20), 3);
  h.os = r[24];
  h.level = r[25];
  h.flags = r[26];
  h.dosTime = uint16_t(get16(r + 27));
  h.dosDate = uint16_t(get16(r + 29));
  uint32_t zone = r[31] | (uint32_t(r[32]) << 8) | (uint32_t(r[33]) << 16);
  h.zoneOffset = (zone & 0x800000) ? int32_t(zone | 0xFF000000u) : int32_t(zone);
  h.fileCrc16 = uint16_t((r[34] << 8) | r[35]);
  h.fileCrc32 = get32(r + 36);
  h.volumeSize = get32(r + 40);
  h.volumeCrc16 = uint16_t((r[44] << 8) | r[45]);
  if (h.volume > 0 && h.volumeSize == 0) return false;  // a volume needs its nominal size
  return true;
}

std::string shortName(const Header& h) {
  std::string base = trimmed(h.base), ext = trimmed(h.ext);
  return ext.empty() ? base : base + "." + ext;
}

void setShortName(Header& h, const std::string& longName) {
  size_t dot = longName.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? longName : longName.substr(0, dot);
  std::string ext = dot == std::string::npos || dot == 0 ? "" : longName.substr(dot + 1);
  h.base = padded(cutBytes(stem, 8), 8);
  h.ext = padded(cutBytes(ext, 3), 3);
}

}  // namespace zv::ish
