#include "ish_line.h"

#include <array>

#include "ish_crc.h"

namespace zv::ish {
namespace {

// The character tables of the four codecs and their inverses (-1: not in the table).
struct Tables {
  std::array<uint8_t, 91> a7{};
  std::array<uint8_t, 128> a8{};
  std::array<uint8_t, 32> leads{};
  std::array<uint8_t, 182> k1{};
  std::array<uint8_t, 182> k2{};
  std::array<uint8_t, 123> x{};
  std::array<int16_t, 256> a7Inv{}, a8Inv{}, leadsInv{}, k1Inv{}, k2Inv{}, xInv{};

  template <size_t n>
  static void fill(std::array<uint8_t, n>& t, int& i, int from, int to) {
    for (int b = from; b <= to; ++b) t[i++] = static_cast<uint8_t>(b);
  }
  template <size_t n>
  static void invert(const std::array<uint8_t, n>& t, std::array<int16_t, 256>& inv) {
    inv.fill(-1);
    for (size_t i = 0; i < n; ++i) inv[t[i]] = static_cast<int16_t>(i);
  }

  Tables() {
    int i = 0;
    fill(a7, i, 0x21, 0x22), fill(a7, i, 0x24, 0x2D), fill(a7, i, 0x2F, 0x5F),
        fill(a7, i, 0x61, 0x7E);
    static const uint8_t kA8[128] = {
        0x23, 0x25, 0x26, 0x27, 0x29, 0x2B, 0x2C, 0x3F, 0x2F, 0x32, 0x34, 0x35, 0x36, 0x37, 0x38,
        0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
        0x4B, 0x4C, 0x4E, 0x4F, 0x52, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D,
        0x5E, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E,
        0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x78, 0x79, 0x7A, 0x7C, 0xA1, 0xA2, 0xA3, 0xA4,
        0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB4, 0xB5,
        0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5,
        0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD4, 0xD5, 0xD6,
        0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE};
    for (int j = 0; j < 128; ++j) a8[j] = kA8[j];
    i = 0;
    fill(leads, i, 0x89, 0x97), fill(leads, i, 0x99, 0x9F), fill(leads, i, 0xE0, 0xE9);
    i = 0;
    fill(k1, i, 0x40, 0x5F), fill(k1, i, 0x61, 0x7E), fill(k1, i, 0x27, 0x2F);
    fill(k1, i, 0x89, 0x97), fill(k1, i, 0x30, 0x30), fill(k1, i, 0x99, 0x9F);
    fill(k1, i, 0xA1, 0xE9), fill(k1, i, 0x31, 0x3F);
    i = 0;
    fill(k2, i, 0x40, 0x5F), fill(k2, i, 0x61, 0x7E), fill(k2, i, 0x80, 0x9F),
        fill(k2, i, 0xA1, 0xF8);
    for (int j = 0; j < 91; ++j) x[j] = a7[j];
    for (int j = 0; j < 32; ++j) x[91 + j] = leads[j];
    invert(a7, a7Inv), invert(a8, a8Inv), invert(leads, leadsInv);
    invert(k1, k1Inv), invert(k2, k2Inv), invert(x, xInv);
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

// Reads fields of a record in order; bits past the end read as zero.
class BitReader {
 public:
  BitReader(const uint8_t* data, int length) : data_(data), length_(length) {}
  unsigned get(int width) {
    while (bits_ < width) {
      uint64_t byte = pos_ < length_ ? data_[pos_] : 0;
      ++pos_;
      acc_ |= byte << bits_;
      bits_ += 8;
    }
    unsigned v = static_cast<unsigned>(acc_ & ((1u << width) - 1));
    acc_ >>= width;
    bits_ -= width;
    return v;
  }

 private:
  const uint8_t* data_;
  int length_;
  int pos_ = 0;
  uint64_t acc_ = 0;
  int bits_ = 0;
};

// Writes fields of a record in order; bits past the end are dropped.
class BitWriter {
 public:
  BitWriter(uint8_t* data, int length) : data_(data), length_(length) {}
  void put(unsigned value, int width) {
    acc_ |= static_cast<uint64_t>(value) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      if (pos_ < length_) data_[pos_] = static_cast<uint8_t>(acc_);
      ++pos_;
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  void finish() {
    if (bits_ > 0 && pos_ < length_) data_[pos_++] = static_cast<uint8_t>(acc_);
    while (pos_ < length_) data_[pos_++] = 0;
  }

 private:
  uint8_t* data_;
  int length_;
  int pos_ = 0;
  uint64_t acc_ = 0;
  int bits_ = 0;
};

template <class Out>
void encodeJis7(const uint8_t* rec, Out& out) {
  const Tables& t = tables();
  BitReader in(rec, 63);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>(t.a7[in.get(6)]));
  for (int k = 0; k < 37; ++k) {
    unsigned v = in.get(13);
    out.push_back(static_cast<char>(t.a7[v / 91]));
    out.push_back(static_cast<char>(t.a7[v % 91]));
  }
}

bool decodeJis7(const uint8_t* text, uint8_t* rec) {
  const Tables& t = tables();
  BitWriter out(rec, 63);
  for (int k = 0; k < 4; ++k) {
    int v = t.a7Inv[text[k]];
    if (v < 0 || v >= 64) return false;
    out.put(static_cast<unsigned>(v), 6);
  }
  for (int k = 0; k < 37; ++k) {
    int hi = t.a7Inv[text[4 + 2 * k]], lo = t.a7Inv[text[5 + 2 * k]];
    if (hi < 0 || lo < 0) return false;
    int v = hi * 91 + lo;
    if (v >= 8192) return false;
    out.put(static_cast<unsigned>(v), 13);
  }
  out.finish();
  return true;
}

template <class Out>
void encodeJis8(const uint8_t* rec, Out& out) {
  const Tables& t = tables();
  BitReader in(rec, 69);
  for (int k = 0; k < 79; ++k) out.push_back(static_cast<char>(t.a8[in.get(7)]));
}

bool decodeJis8(const uint8_t* text, uint8_t* rec) {
  const Tables& t = tables();
  BitWriter out(rec, 69);
  for (int k = 0; k < 79; ++k) {
    int v = t.a8Inv[text[k]];
    if (v < 0) return false;
    out.put(static_cast<unsigned>(v), 7);
  }
  out.finish();
  return true;
}

// Shift-JIS writer: a K1 symbol that is a lead byte makes the next symbol its K2 trail byte.
template <class Out>
void encodeSjis(const uint8_t* rec, Out& out) {
  const Tables& t = tables();
  BitReader in(rec, 73);
  out.push_back(static_cast<char>(t.a8[in.get(7)]));
  bool trail = false;
  auto emit = [&](unsigned symbol) {
    if (trail) {
      out.push_back(static_cast<char>(t.k2[symbol]));
      trail = false;
    } else {
      uint8_t b = t.k1[symbol];
      out.push_back(static_cast<char>(b));
      trail = t.leadsInv[b] >= 0;
    }
  };
  for (int k = 0; k < 38; ++k) {
    unsigned v = in.get(15);
    emit(v / 182);
    emit(v % 182);
  }
  unsigned last = in.get(7);
  if (trail) {
    out.push_back(static_cast<char>(t.k2[last]));
  } else {
    uint8_t b = t.k1[last];
    if (t.leadsInv[b] >= 0) b = static_cast<uint8_t>(b + 0x40);  // never end on a lead byte
    out.push_back(static_cast<char>(b));
  }
}

bool decodeSjis(const uint8_t* text, uint8_t* rec) {
  const Tables& t = tables();
  BitWriter out(rec, 73);
  int first = t.a8Inv[text[0]];
  if (first < 0) return false;
  out.put(static_cast<unsigned>(first), 7);
  bool trail = false;
  int pending = -1;
  for (int k = 1; k < 77; ++k) {
    uint8_t b = text[k];
    int s;
    if (trail) {
      s = t.k2Inv[b];
      trail = false;
    } else {
      s = t.k1Inv[b];
      trail = t.leadsInv[b] >= 0;
    }
    if (s < 0) return false;
    if (pending < 0) {
      pending = s;
    } else {
      int v = pending * 182 + s;
      if (v >= 32768) return false;
      out.put(static_cast<unsigned>(v), 15);
      pending = -1;
    }
  }
  uint8_t b = text[77];
  int s;
  if (trail) {
    s = t.k2Inv[b];
  } else {
    if (b >= 0xC9 && b <= 0xDF) {
      b = static_cast<uint8_t>(b - 0x40);
      if (t.leadsInv[b] < 0) return false;
    } else if (t.leadsInv[b] >= 0) {
      return false;
    }
    s = t.k1Inv[b];
  }
  if (s < 0 || s >= 128) return false;
  out.put(static_cast<unsigned>(s), 7);
  out.finish();
  return true;
}

// Non-kana Shift-JIS: ASCII pairs, ASCII + lead + trail triples and two-byte characters.
template <class Out>
void encodeNsjis(const uint8_t* rec, Out& out) {
  const Tables& t = tables();
  BitReader in(rec, 69);
  out.push_back(static_cast<char>(t.a7[in.get(8) % 91]));
  int budget = 78;
  while (budget >= 3) {
    unsigned v = in.get(14);
    if (v < 11193) {
      unsigned xi = v % 123;
      out.push_back(static_cast<char>(t.a7[v / 123]));
      out.push_back(static_cast<char>(t.x[xi]));
      budget -= 2;
      if (xi >= 91) {
        out.push_back(static_cast<char>(t.k2[in.get(7)]));
        budget -= 1;
      }
    } else {
      unsigned u = v - 11193;
      out.push_back(static_cast<char>(t.leads[u / 182]));
      out.push_back(static_cast<char>(t.k2[u % 182]));
      budget -= 2;
    }
  }
  if (budget == 1) {
    out.push_back(static_cast<char>(t.a7[in.get(5)]));
  } else if (budget == 2) {
    unsigned v = in.get(13);
    out.push_back(static_cast<char>(t.a7[v / 91]));
    out.push_back(static_cast<char>(t.a7[v % 91]));
  }
}

bool decodeNsjis(const uint8_t* text, uint8_t* rec) {
  const Tables& t = tables();
  BitWriter out(rec, 69);
  int first = t.a7Inv[text[0]];
  if (first < 0) return false;
  out.put(static_cast<unsigned>(first), 8);
  int pos = 1, budget = 78;
  while (budget >= 3) {
    uint8_t b = text[pos];
    int lead = t.leadsInv[b];
    if (lead >= 0) {
      int k = t.k2Inv[text[pos + 1]];
      if (lead > 28 || k < 0) return false;
      unsigned v = 11193u + 182u * static_cast<unsigned>(lead) + static_cast<unsigned>(k);
      if (v >= 16384) return false;
      out.put(v, 14);
      pos += 2, budget -= 2;
    } else {
      int a = t.a7Inv[b], xi = t.xInv[text[pos + 1]];
      if (a < 0 || xi < 0) return false;
      out.put(static_cast<unsigned>(123 * a + xi), 14);
      pos += 2, budget -= 2;
      if (xi >= 91) {
        int w = t.k2Inv[text[pos]];
        if (w < 0 || w >= 128) return false;
        out.put(static_cast<unsigned>(w), 7);
        pos += 1, budget -= 1;
      }
    }
  }
  if (budget == 1) {
    int v = t.a7Inv[text[pos]];
    if (v < 0 || v >= 32) return false;
    out.put(static_cast<unsigned>(v), 5);
  } else if (budget == 2) {
    int hi = t.a7Inv[text[pos]], lo = t.a7Inv[text[pos + 1]];
    if (hi < 0 || lo < 0 || hi * 91 + lo >= 8192) return false;
    out.put(static_cast<unsigned>(hi * 91 + lo), 13);
  }
  out.finish();
  return true;
}

}  // namespace

// Collects one line's characters before they go into the caller's string.
class LineBuffer {
 public:
  void push_back(char c) { buf_[n_++] = c; }
  const char* data() const { return buf_; }
  size_t size() const { return n_; }

 private:
  char buf_[96];
  size_t n_ = 0;
};

void encodeLine(CodeType type, const uint8_t* record, std::string& out) {
  LineBuffer line;
  switch (type) {
    case CodeType::Jis7:
      encodeJis7(record, line);
      break;
    case CodeType::Jis8:
      encodeJis8(record, line);
      break;
    case CodeType::Sjis:
      encodeSjis(record, line);
      break;
    case CodeType::Nsjis:
      encodeNsjis(record, line);
      break;
  }
  out.append(line.data(), line.size());
}

bool decodeLine(CodeType type, const uint8_t* text, uint8_t* record) {
  switch (type) {
    case CodeType::Jis7:
      return decodeJis7(text, record);
    case CodeType::Jis8:
      return decodeJis8(text, record);
    case CodeType::Sjis:
      return decodeSjis(text, record);
    case CodeType::Nsjis:
      return decodeNsjis(text, record);
  }
  return false;
}

void sealRecord(uint8_t* record, int length) {
  uint16_t c = crc16(record, static_cast<size_t>(length - 2));
  record[length - 2] = static_cast<uint8_t>(c >> 8);
  record[length - 1] = static_cast<uint8_t>(c);
}

bool recordCrcGood(const uint8_t* record, int length) {
  return crc16Update(kCrc16Start, record, static_cast<size_t>(length)) == 0x1D0F;
}

}  // namespace zv::ish
