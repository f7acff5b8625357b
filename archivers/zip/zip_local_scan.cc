#include "zip_local_scan.h"

#include <sys/stat.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "zip_names.h"

namespace zv::zip {
namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint32_t kEnd64Sig = 0x06064b50;
constexpr uint32_t kDescriptorSig = 0x08074b50;
constexpr size_t kLocalLen = 30;
constexpr uint64_t kUnknown = UINT64_MAX;

struct Local {
  uint16_t flags = 0, method = 0;
  uint32_t crc = 0;
  uint64_t packed = 0, size = 0;
  bool zip64 = false;
  uint64_t dataAt = 0;
  Entry entry;
  std::string name;          // read as Shift_JIS where it has no mark, until the walk decides
  std::string raw, unicode;  // the name's bytes and its Unicode path field, for that decision
};

// The signature at `at`, 0 past the end.
uint32_t signatureAt(ReadWindow& w, uint64_t at) {
  const unsigned char* p = w.view(at, 4);
  return p ? le32(p) : 0;
}

// The next local header signature from `from` on, or kUnknown.
uint64_t findLocalSignature(ReadWindow& w, uint64_t from) {
  const uint64_t size = w.bytes().size();
  constexpr size_t kStep = 64 * 1024;
  for (uint64_t at = from; at + 4 <= size; at += kStep) {
    size_t len = size_t(std::min<uint64_t>(kStep + 3, size - at));
    const unsigned char* p = w.view(at, len);
    if (!p) return kUnknown;
    for (size_t i = 0; i + 4 <= len; ++i)
      if (p[i] == 'P' && p[i + 1] == 'K' && p[i + 2] == 3 && p[i + 3] == 4) return at + i;
  }
  return kUnknown;
}

// Three of the four bytes of a local header signature.
bool nearSignature(uint32_t sig) {
  int same = 0;
  for (int i = 0; i < 4; ++i) same += ((sig ^ kLocalSig) >> (8 * i) & 0xFF) == 0;
  return same == 3;
}

bool knownMethod(uint16_t m) {
  return m <= 9 || m == 12 || m == 14 || m == 93 || m == 95 || m == 96 || m == 97 || m == 98 ||
         m == 99;
}

void readExtra(const unsigned char* p, size_t len, Local& l, std::string& unicodeName) {
  for (size_t at = 0; at + 4 <= len;) {
    const uint16_t id = le16(p + at), n = le16(p + at + 2);
    const unsigned char* d = p + at + 4;
    if (at + 4 + n > len) break;
    if (id == 0x0001) {
      l.zip64 = true;
      size_t k = 0;
      if (l.size == 0xFFFFFFFF && k + 8 <= n) l.size = le64(d + k), k += 8;
      if (l.packed == 0xFFFFFFFF && k + 8 <= n) l.packed = le64(d + k), k += 8;
    } else if (id == 0x9901 && n >= 7) {
      l.entry.method = le16(d + 5);  // the method under AES encryption
    } else if (id == 0x5455 && n >= 5 && (d[0] & 1)) {
      l.entry.unixTime = int32_t(le32(d + 1));
      l.entry.bits |= Entry::kUnixTime;
    } else if (id == 0x7075 && n >= 5) {
      unicodeName.assign(reinterpret_cast<const char*>(d), n);
    }
    at += 4 + size_t(n);
  }
}

// Reads the local header at `at`; false when it is not a plausible one.
bool readLocal(ReadWindow& w, uint64_t at, Local& l) {
  const unsigned char* h = w.view(at, kLocalLen);
  if (!h || le32(h) != kLocalSig) return false;
  unsigned char f[kLocalLen];
  std::memcpy(f, h, sizeof f);
  l = Local();
  if (f[4] > 90) return false;  // no version of the format asks for more
  l.flags = le16(f + 6);
  l.method = le16(f + 8);
  if (!knownMethod(l.method)) return false;
  l.entry.dosStamp = uint32_t(le16(f + 12)) << 16 | le16(f + 10);
  l.crc = le32(f + 14);
  l.packed = le32(f + 18);
  l.size = le32(f + 22);
  const size_t nameLen = le16(f + 26), extraLen = le16(f + 28);
  if (nameLen == 0) return false;
  const unsigned char* ne = w.view(at + kLocalLen, nameLen + extraLen);
  if (!ne) return false;
  std::string raw(reinterpret_cast<const char*>(ne), nameLen);
  std::string unicodeName;
  l.entry.method = l.method;
  readExtra(ne + nameLen, extraLen, l, unicodeName);
  l.name = readMemberName(raw, (l.flags & 0x0800) != 0, unicodeName,
                          NameReading{encoding::NameEncoding::Cp932, false})
               .text;
  l.raw = std::move(raw);
  l.unicode = std::move(unicodeName);
  l.dataAt = at + kLocalLen + nameLen + extraLen;
  return true;
}

// The name a header too short to read still shows, for the report.
std::string guessName(ReadWindow& w, uint64_t at) {
  const uint64_t size = w.bytes().size();
  if (size - at < kLocalLen) return {};
  const unsigned char* h = w.view(at, kLocalLen);
  if (!h) return {};
  size_t n = std::min<uint64_t>(le16(h + 26), size - at - kLocalLen);
  const unsigned char* p = n <= 260 ? w.view(at + kLocalLen, n) : nullptr;
  if (!p) return {};
  for (size_t i = 0; i < n; ++i)
    if (p[i] < 0x20) return {};  // not a name: the header is too damaged to tell
  return decodeMemberName({reinterpret_cast<const char*>(p), n}, false, {});
}

// True when the local header at `at` runs past the end of the file (its fixed part, or the
// name and extra field its lengths announce): the archive was cut inside it.
bool headerCut(ReadWindow& w, uint64_t at) {
  const uint64_t size = w.bytes().size();
  if (size - at < kLocalLen) return true;
  const unsigned char* h = w.view(at, kLocalLen);
  return h && at + kLocalLen + le16(h + 26) + le16(h + 28) > size;
}

// The length of the raw deflate stream at `at`, or kUnknown when it does not end before the
// end of the file or is not valid.
uint64_t deflateLength(ReadWindow& w, uint64_t at) {
  const uint64_t size = w.bytes().size();
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return kUnknown;
  std::vector<unsigned char> out(64 * 1024);
  uint64_t pos = at, result = kUnknown;
  for (;;) {
    if (z.avail_in == 0) {
      if (pos >= size) break;
      size_t len = size_t(std::min<uint64_t>(32 * 1024, size - pos));
      const unsigned char* p = w.view(pos, len);
      if (!p) break;
      z.next_in = const_cast<unsigned char*>(p);
      z.avail_in = uInt(len);
      pos += len;
    }
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int r = inflate(&z, Z_NO_FLUSH);
    if (r == Z_STREAM_END) {
      result = z.total_in;
      break;
    }
    if (r != Z_OK && r != Z_BUF_ERROR) break;
  }
  inflateEnd(&z);
  return result;
}

// Fills the sizes and CRC of a member written with a data descriptor from the descriptor at
// `at` (with or without its signature); false when none fits `packed`.
bool readDescriptor(ReadWindow& w, uint64_t at, Local& l, uint64_t packed) {
  const size_t sizeLen = l.zip64 ? 8 : 4;
  for (size_t skip : {size_t(4), size_t(0)}) {
    const unsigned char* d = w.view(at, skip + 4 + 2 * sizeLen);
    if (!d || (skip && le32(d) != kDescriptorSig)) continue;
    d += skip;
    uint64_t c = sizeLen == 8 ? le64(d + 4) : le32(d + 4);
    if (c != packed) continue;
    l.crc = le32(d);
    l.packed = c;
    l.size = sizeLen == 8 ? le64(d + 4 + sizeLen) : le32(d + 4 + sizeLen);
    return true;
  }
  return false;
}

// For a member written with a data descriptor: its packed length, then the descriptor; the
// position behind the descriptor, or kUnknown when the member cannot be measured.
uint64_t measureStreamed(ReadWindow& w, Local& l) {
  const uint64_t size = w.bytes().size();
  if (l.method == 8 && !(l.flags & 1)) {
    uint64_t n = deflateLength(w, l.dataAt);
    if (n == kUnknown || !readDescriptor(w, l.dataAt + n, l, n)) return kUnknown;
    return l.dataAt + n + (signatureAt(w, l.dataAt + n) == kDescriptorSig ? 4 : 0) + 4 +
           2 * (l.zip64 ? 8 : 4);
  }
  // Other methods: the first descriptor signature whose packed size fits.
  for (uint64_t at = l.dataAt; at < size;) {
    const unsigned char* p = w.view(at, std::min<uint64_t>(4, size - at));
    if (!p || size - at < 4) break;
    if (le32(p) == kDescriptorSig && readDescriptor(w, at, l, at - l.dataAt))
      return at + 4 + 4 + 2 * (l.zip64 ? 8 : 4);
    ++at;
  }
  return kUnknown;
}

}  // namespace

std::optional<std::string> localHeaderName(ReadWindow& w, uint64_t at, const NameReading& reading) {
  Local l;
  if (!readLocal(w, at, l)) return std::nullopt;
  return readMemberName(l.raw, (l.flags & 0x0800) != 0, l.unicode, reading).text;
}

// The names of the entries found, read as the directory reads them: in one encoding for the
// archive (the one its unmarked names, and those of `sample`, suit best, or the one asked
// for), composed (NFC).
void nameEntries(CentralDirectory& cd, const std::vector<Local>& found, NameReading reading,
                 std::vector<std::string> sample) {
  // Names beside those of the headers come from a damaged directory: one of the names may be
  // damaged too.
  const bool spareWorst = !sample.empty();
  if (reading.encoding == encoding::NameEncoding::Auto) {
    for (const Local& l : found) {
      ReadName n = readMemberName(l.raw, (l.flags & 0x0800) != 0, l.unicode,
                                  NameReading{encoding::NameEncoding::Cp932, false});
      if (!n.marked && n.readIn != encoding::NameEncoding::Auto) sample.push_back(l.raw);
    }
    reading.encoding = encoding::detectNameEncoding(sample, spareWorst);
  }
  cd.place.names = reading;
  for (size_t i = 0; i < found.size(); ++i) {
    const Local& l = found[i];
    Entry& e = cd.entries[i];
    ReadName n = readMemberName(l.raw, (l.flags & 0x0800) != 0, l.unicode, reading);
    e.nameEncoding = static_cast<uint8_t>(n.readIn);
    if (n.marked) e.nameBits |= Entry::kNameMarked;
    if (n.escaped) e.nameBits |= Entry::kNameEscaped;
    std::string both = n.text;
    if (!n.stored.empty()) {
      // The name as stored follows the composed one, so that it is found as well.
      e.nameBits |= Entry::kNameComposed;
      e.storedLen = uint32_t(n.stored.size());
      both += n.stored;
    }
    e.nameAt = cd.names.add(both);
    e.nameLen = uint32_t(n.text.size());
    if (!n.text.empty() && (n.text.back() == '/' || n.text.back() == '\\'))
      e.bits |= Entry::kFolder;
  }
}

int readLocalHeaders(ReadWindow& w, CentralDirectory& cd, LocalWalk& walk, int* sysError,
                     const NameReading& names, const std::vector<std::string>& alsoNames) {
  cd = CentralDirectory();
  walk = LocalWalk();
  std::vector<Local> found;
  const uint64_t size = w.bytes().size();
  uint64_t pos = 0, searchFrom = 0;
  bool chained = false;  // pos is where the member before ends, not a place found by search
  while (pos < size) {
    uint32_t sig = signatureAt(w, pos);
    Local l;
    if (sig != kLocalSig || !readLocal(w, pos, l)) {
      // The chain breaks here. A directory or end record is where the members end; anything
      // else is a damaged header. The next one is looked for from where the member before it
      // began, since its sizes may have been what was damaged.
      bool directory = sig == kCentralSig || sig == kEndSig || sig == kEnd64Sig;
      uint64_t next = findLocalSignature(w, chained && !directory ? searchFrom : pos + 1);
      if (next == pos) next = findLocalSignature(w, pos + 1);
      // A header is lost when its signature is there (or off by one byte), or when members
      // follow; bytes that only end the file after the last member are no member.
      if (sig == kLocalSig || (chained && !directory && (nearSignature(sig) || next != kUnknown)))
        walk.lost.push_back({pos, guessName(w, pos), next == kUnknown && headerCut(w, pos)});
      if (next == kUnknown) break;
      pos = next;
      chained = false;
      continue;
    }
    uint64_t end;
    bool cut = false;
    if ((l.flags & 8) && l.packed == 0) {
      end = measureStreamed(w, l);
      uint64_t later = end == kUnknown ? findLocalSignature(w, l.dataAt) : kUnknown;
      if (later != kUnknown) {
        // Its data or descriptor is damaged, yet members follow: only this one is lost.
        walk.lost.push_back({pos, l.name, false});
        pos = later;
        chained = false;
        continue;
      }
      if (end == kUnknown) {
        cut = true;
        l.packed = size - std::min(size, l.dataAt) + 1;  // past the end: read as cut short
      }
    } else {
      if (l.packed == 0xFFFFFFFF && !l.zip64) cut = true;
      cut = cut || l.dataAt > size || l.packed > size - l.dataAt;
      uint64_t later = cut ? findLocalSignature(w, l.dataAt) : kUnknown;
      if (later != kUnknown) {
        // Members follow, so the size that runs past the end was damaged, not the file cut.
        walk.lost.push_back({pos, l.name, false});
        pos = later;
        chained = false;
        continue;
      }
      end = cut ? size : l.dataAt + l.packed;
      if (!cut && (l.flags & 8)) {
        // The descriptor follows even when the header knew the sizes.
        Local copy = l;
        if (readDescriptor(w, end, copy, l.packed))
          end += (signatureAt(w, end) == kDescriptorSig ? 4 : 0) + 4 + 2 * (l.zip64 ? 8 : 4);
      }
    }
    Entry e = l.entry;
    e.localOffset = pos;
    e.packed = l.packed;
    e.size = l.size;
    e.crc = l.crc;
    if (l.flags & 1) e.bits |= Entry::kEncrypted;
    cd.entries.push_back(e);
    found.push_back(l);
    walk.truncated.push_back(cut);
    cd.place.totalSize += e.size;
    if (cut) break;
    searchFrom = l.dataAt;
    pos = end;
    chained = true;
  }
  (void)sysError;
  nameEntries(cd, found, names, alsoNames);
  if (cd.entries.empty() && walk.lost.empty()) return ZIP_ER_NOZIP;
  cd.place.entries = cd.entries.size();
  return 0;
}

}  // namespace zv::zip
