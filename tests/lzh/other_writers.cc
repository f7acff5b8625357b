#include "other_writers.h"

#include "lzh_codec.h"

namespace lzhtest {

std::string le16(unsigned v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string le64(uint64_t v) {
  return le32(static_cast<uint32_t>(v)) + le32(static_cast<uint32_t>(v >> 32));
}

uint16_t crc16(const std::string& bytes) {
  return lzh_crc16(0, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

namespace {

const uint32_t kDosTime = 0x58221883;  // 2024-01-02 03:04:06

// Prefix shared by levels 0 and 1 after the two leading bytes.
std::string prefix(const std::string& method, uint32_t packed, uint32_t original, char attr,
                   int level, const std::string& nameField) {
  return method + le32(packed) + le32(original) + le32(kDosTime) + std::string(1, attr) +
         std::string(1, static_cast<char>(level)) +
         std::string(1, static_cast<char>(nameField.size())) + nameField;
}

std::string withSum(const std::string& rest) {
  unsigned sum = 0;
  for (unsigned char c : rest) sum += c;
  return std::string(1, static_cast<char>(rest.size())) +
         std::string(1, static_cast<char>(sum & 0xFF)) + rest;
}

}  // namespace

std::string level0Member(const std::string& method, const std::string& nameField,
                         const std::string& data) {
  std::string rest =
      prefix(method, data.size(), data.size(), 0x20, 0, nameField) + le16(crc16(data));
  return withSum(rest) + data;
}

std::string level1Member(const std::string& method, const std::string& nameField,
                         const std::string& data, char os) {
  std::string rest = prefix(method, data.size(), data.size(), 0x20, 1, nameField) +
                     le16(crc16(data)) + std::string(1, os) + le16(0);
  return withSum(rest) + data;
}

std::string level2Header(const Level2Fields& f) {
  std::string ext;
  ext += le16(3 + f.name.size()) + '\x01' + f.name;
  if (f.packed > 0xFFFFFFFFu || f.original > 0xFFFFFFFFu)
    ext += le16(3 + 16) + '\x42' + le64(f.packed) + le64(f.original);
  const size_t crcAt = 24 + 2 + ext.size() + 1;  // inside the CRC extended header, added last
  ext += le16(5) + '\x00' + le16(0);
  ext += le16(0);
  if (f.padded) ext += '\0';
  std::string h = f.method + le32(static_cast<uint32_t>(f.packed)) +
                  le32(static_cast<uint32_t>(f.original)) + le32(1704164646) + '\x20' + '\x02' +
                  le16(f.crc) + std::string(1, f.os);
  const size_t total = 2 + h.size() + ext.size();
  h = le16(static_cast<unsigned>(static_cast<int>(total) + f.lengthError)) + h + ext;
  uint16_t hc = crc16(h);
  h[crcAt] = static_cast<char>(hc & 0xFF);
  h[crcAt + 1] = static_cast<char>(hc >> 8);
  return h;
}

std::string level2Member(const std::string& method, const std::string& name,
                         const std::string& data, char os, int lengthError) {
  Level2Fields f;
  f.method = method;
  f.name = name;
  f.packed = f.original = data.size();
  f.crc = crc16(data);
  f.os = os;
  f.lengthError = lengthError;
  return level2Header(f) + data;
}

}  // namespace lzhtest
