#include "macbinary.h"

namespace zv::lzh {
namespace {

uint32_t be32(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// CRC-16 with polynomial 0x1021, initial 0, as MacBinary II computes it over bytes 0-123.
uint16_t crcCcitt(const unsigned char* p, size_t len) {
  unsigned crc = 0;
  for (size_t i = 0; i < len; ++i) {
    crc ^= static_cast<unsigned>(p[i]) << 8;
    for (int k = 0; k < 8; ++k) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
  }
  return static_cast<uint16_t>(crc);
}

uint64_t padded(uint64_t n) { return (n + 127) & ~uint64_t{127}; }

}  // namespace

std::optional<MacBinaryFork> macBinaryFork(const unsigned char* h, uint64_t memberSize) {
  if (h[0] != 0 || h[74] != 0 || h[82] != 0) return std::nullopt;
  const unsigned nameLen = h[1];
  if (nameLen < 1 || nameLen > 63) return std::nullopt;
  for (unsigned i = 0; i < nameLen; ++i)
    if (h[2 + i] < 0x20 || h[2 + i] == ':') return std::nullopt;  // no Mac name holds these
  const uint16_t stored = static_cast<uint16_t>((h[124] << 8) | h[125]);
  if (crcCcitt(h, 124) == stored && stored != 0) {
    if (h[123] < 129) return std::nullopt;  // the version needed to read it
  } else {
    for (unsigned i = 99; i < 128; ++i)
      if (h[i] != 0) return std::nullopt;
  }
  const uint64_t data = be32(h + 83), res = be32(h + 87);
  // Writers pad each fork to 128 bytes, the last one not always.
  if (kMacBinaryHeaderSize + data + res > memberSize ||
      memberSize > kMacBinaryHeaderSize + padded(data) + padded(res))
    return std::nullopt;
  if (data > 0 || res == 0) return MacBinaryFork{kMacBinaryHeaderSize, data};
  return MacBinaryFork{kMacBinaryHeaderSize + padded(data), res};
}

}  // namespace zv::lzh
