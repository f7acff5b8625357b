#include "zip_central.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "zip_names.h"

namespace zv::zip {

uint64_t NamePool::add(std::string_view name) {
  if (name.empty()) return 0;  // at() needs no block for it
  if (kBlock - used_ < name.size()) {
    blocks_.emplace_back(new char[kBlock]);
    used_ = 0;
  }
  uint64_t pos = uint64_t(blocks_.size() - 1) * kBlock + used_;
  std::memcpy(blocks_.back().get() + used_, name.data(), name.size());
  used_ += name.size();
  return pos;
}

namespace {

constexpr uint32_t kCentralSig = 0x02014b50, kEndSig = 0x06054b50;
constexpr uint32_t kEnd64Sig = 0x06064b50, kLocator64Sig = 0x07064b50;
constexpr size_t kEndLen = 22, kLocatorLen = 20, kEnd64Len = 56, kCentralLen = 46;

int readError(int* sysError) {
  if (errno == 0) return ZIP_ER_INCONS;  // past the end of the file
  *sysError = errno;
  return ZIP_ER_READ;
}

// The ZIP64 end record the locator before the end record points to, when there is one.
int readEnd64(ReadWindow& w, uint64_t endAt, DirectoryPlace& end, int* sysError) {
  if (endAt < kLocatorLen) return 0;
  const unsigned char* loc = w.view(endAt - kLocatorLen, kLocatorLen);
  if (!loc) return readError(sysError);
  if (le32(loc) != kLocator64Sig) return 0;
  uint32_t locDisk = le32(loc + 4), disks = le32(loc + 16);
  uint64_t at = le64(loc + 8);
  if (at > endAt - kLocatorLen || endAt - kLocatorLen - at < kEnd64Len) return ZIP_ER_INCONS;
  const unsigned char* r = w.view(at, kEnd64Len);
  if (!r) return readError(sysError);
  if (le32(r) != kEnd64Sig) return ZIP_ER_INCONS;
  end.end = at;
  end.multiDisk = locDisk != 0 || disks > 1 || le32(r + 16) != 0 || le32(r + 20) != 0 ||
                  le64(r + 24) != le64(r + 32);
  end.entries = le64(r + 32);
  end.size = le64(r + 40);
  end.offset = le64(r + 48);
  return 0;
}

struct Extras {
  std::string_view unicodePath;
  int err = 0;
};

// Walks the extra fields of a central entry. A field whose length runs past the end stops the
// walk: what came before still counts.
Extras readExtras(const unsigned char* p, size_t len, Entry& e) {
  Extras x;
  for (size_t k = 0; k + 4 <= len;) {
    uint16_t id = le16(p + k), n = le16(p + k + 2);
    if (n > len - k - 4) break;
    const unsigned char* d = p + k + 4;
    if (id == 0x0001) {
      // ZIP64: the 8-byte values of the fields that hold all ones, in this order.
      size_t at = 0;
      auto take = [&](uint64_t& v) {
        if (v != 0xFFFFFFFFu) return;
        if (at + 8 > n) {
          x.err = ZIP_ER_INCONS;
          return;
        }
        v = le64(d + at);
        at += 8;
      };
      take(e.size), take(e.packed), take(e.localOffset);
    } else if (id == 0x5455 && n >= 5 && (d[0] & 1)) {
      e.unixTime = int32_t(le32(d + 1));
      e.bits |= Entry::kUnixTime;
    } else if (id == 0x7075) {
      x.unicodePath = std::string_view(reinterpret_cast<const char*>(d), n);
    } else if (id == 0x9901 && n >= 7 && e.method == 99) {
      e.method = le16(d + 5);  // AES: the method of the data under the encryption
    }
    k += 4 + n;
  }
  return x;
}

bool plainName(std::string_view raw) {
  for (unsigned char c : raw)
    if (c < 0x20 || c >= 0x7F) return false;
  return true;
}

// Reads the entries of the directory in order. With kDecode each gets its decoded name and
// the attributes that depend on it, and goes to `visit`; without, only the structure is
// checked and the sizes added up.
constexpr size_t kSurveySample = 2000;

template <bool kDecode, class Visit>
int walk(ReadWindow& w, const DirectoryPlace& place, Visit&& visit, int* sysError,
         NameSurvey* survey = nullptr) {
  if (place.multiDisk) return ZIP_ER_MULTIDISK;
  if (place.offset > place.end || place.size > place.end - place.offset) return ZIP_ER_INCONS;
  const uint64_t cdEnd = place.offset + place.size;
  uint64_t pos = place.offset;
  std::string decoded;
  for (uint64_t i = 0; i < place.entries; ++i) {
    if (cdEnd - pos < kCentralLen) return ZIP_ER_INCONS;
    const unsigned char* v = w.view(pos, kCentralLen);
    if (!v) return readError(sysError);
    unsigned char f[kCentralLen];
    std::memcpy(f, v, sizeof f);
    if (le32(f) != kCentralSig) return ZIP_ER_INCONS;
    const size_t nameLen = le16(f + 28), extraLen = le16(f + 30), commentLen = le16(f + 32);
    if (cdEnd - pos - kCentralLen < nameLen + extraLen + commentLen) return ZIP_ER_INCONS;
    const unsigned char* ne = w.view(pos + kCentralLen, nameLen + extraLen);
    if (!ne) return readError(sysError);
    pos += kCentralLen + nameLen + extraLen + commentLen;

    Entry e;
    e.opsys = uint8_t(le16(f + 4) >> 8);
    const uint16_t flags = le16(f + 8);
    e.method = le16(f + 10);
    e.dosStamp = uint32_t(le16(f + 14)) << 16 | le16(f + 12);
    e.crc = le32(f + 16);
    e.packed = le32(f + 20);
    e.size = le32(f + 24);
    const uint32_t attr = le32(f + 38);
    e.localOffset = le32(f + 42);
    if (flags & 1) e.bits |= Entry::kEncrypted;
    Extras x = readExtras(ne + nameLen, extraLen, e);
    if (x.err) return x.err;
    if (e.localOffset >= place.end) return ZIP_ER_INCONS;  // no local header can be there
    if constexpr (!kDecode) {
      visit(e);
    } else {
      std::string_view raw(reinterpret_cast<const char*>(ne), nameLen);
      if (!x.unicodePath.empty() || !plainName(raw)) {
        ReadName n = readMemberName(raw, (flags & 0x0800) != 0, x.unicodePath, place.names);
        e.nameEncoding = static_cast<uint8_t>(n.readIn);
        if (n.marked) e.nameBits |= Entry::kNameMarked;
        if (n.escaped) e.nameBits |= Entry::kNameEscaped;
        if (survey && !n.marked && n.readIn != encoding::NameEncoding::Auto) {
          survey->readIn |= 1u << e.nameEncoding;
          if (survey->sample.size() < kSurveySample) survey->sample.emplace_back(raw);
        }
        decoded = std::move(n.text);
        if (!n.stored.empty()) {
          e.nameBits |= Entry::kNameComposed;
          e.storedLen = uint32_t(n.stored.size());
          size_t len = decoded.size();
          decoded += n.stored;
          raw = std::string_view(decoded).substr(0, len);
        } else {
          raw = decoded;
        }
      }
      if (e.opsys == 3) {
        const uint32_t mode = attr >> 16;
        e.mode = uint16_t(mode & 07777);
        if ((mode & S_IFMT) == S_IFLNK) e.bits |= Entry::kSymlink;
        if ((mode & S_IFMT) == S_IFDIR) e.bits |= Entry::kFolder;
      }
      if (attr & 0x10) e.bits |= Entry::kFolder;
      if (attr & 0x01) e.bits |= Entry::kReadOnly;
      if (!raw.empty() && (raw.back() == '/' || raw.back() == '\\')) e.bits |= Entry::kFolder;
      if (e.has(Entry::kFolder)) e.bits &= uint8_t(~Entry::kSymlink);
      visit(e, raw);
    }
  }
  return 0;
}

}  // namespace

int findCentralDirectory(ReadWindow& w, DirectoryPlace& place, int* sysError) {
  place = DirectoryPlace();
  const uint64_t size = w.bytes().size();
  if (size == 0) return 0;  // an empty file is an empty archive, as an unzip tool sees it
  const size_t tailLen = size_t(std::min<uint64_t>(size, kEndLen + 0xFFFF));
  const uint64_t tailAt = size - tailLen;
  std::vector<unsigned char> tail(tailLen);
  if (!w.bytes().readAt(tailAt, tail.data(), tailLen)) return readError(sysError);
  // The last end record that leads to a sound directory: an earlier "PK\5\6" may lie in a
  // comment, a later one in the data of the last member.
  int first = ZIP_ER_NOZIP;
  for (size_t p = tailLen >= kEndLen ? tailLen - kEndLen + 1 : 0; p-- > 0;) {
    const unsigned char* r = tail.data() + p;
    if (le32(r) != kEndSig) continue;
    const size_t commentLen = le16(r + 20);
    if (commentLen > tailLen - p - kEndLen) continue;
    DirectoryPlace at;
    at.end = tailAt + p;
    at.multiDisk = le16(r + 4) != 0 || le16(r + 6) != 0 || le16(r + 8) != le16(r + 10);
    at.entries = le16(r + 10);
    at.size = le32(r + 12);
    at.offset = le32(r + 16);
    int err = readEnd64(w, at.end, at, sysError);
    if (!err)
      err = walk<false>(
          w, at, [&](const Entry& e) { at.totalSize += e.size; }, sysError);
    if (!err) {
      std::string_view comment(reinterpret_cast<const char*>(r + kEndLen), commentLen);
      at.comment = decodeMemberName(comment, false, {});
      place = std::move(at);
      return 0;
    }
    if (err == ZIP_ER_READ || err == ZIP_ER_MEMORY) return err;
    if (first == ZIP_ER_NOZIP) first = err;
  }
  return first;
}

int walkCentralDirectory(ReadWindow& w, const DirectoryPlace& place,
                         const std::function<void(const Entry&, std::string_view)>& visit,
                         int* sysError, NameSurvey* survey) {
  return walk<true>(w, place, visit, sysError, survey);
}

int decideNames(ReadWindow& w, DirectoryPlace& place, encoding::NameEncoding names, int* sysError) {
  place.names = NameReading{names, true};
  if (names != encoding::NameEncoding::Auto) return 0;
  place.names = NameReading{encoding::NameEncoding::Cp932, false};
  NameSurvey survey;
  int err = walk<true>(
      w, place, [](const Entry&, std::string_view) {}, sysError, &survey);
  place.names.encoding = encoding::detectNameEncoding(survey.sample);
  return err;
}

int readCentralDirectory(ReadWindow& w, CentralDirectory& cd, int* sysError,
                         encoding::NameEncoding names) {
  int err = findCentralDirectory(w, cd.place, sysError);
  if (err) return err;
  const bool automatic = names == encoding::NameEncoding::Auto;
  // With Auto the names are first read as Shift_JIS (one that cannot be, in its own best
  // encoding); the entries are read again only when the archive's decision reads some name
  // differently.
  cd.place.names =
      automatic ? NameReading{encoding::NameEncoding::Cp932, false} : NameReading{names, true};
  NameSurvey survey;
  for (int pass = 0; pass < 2; ++pass) {
    cd.entries.clear();
    cd.names = NamePool();
    cd.entries.reserve(size_t(cd.place.entries));  // the walk has found them all
    err = walk<true>(
        w, cd.place,
        [&](Entry e, std::string_view name) {
          e.nameAt = cd.names.add(std::string_view(name.data(), name.size() + e.storedLen));
          e.nameLen = uint32_t(name.size());
          cd.entries.push_back(e);
        },
        sysError, automatic && pass == 0 ? &survey : nullptr);
    if (err || !automatic || pass == 1) break;
    encoding::NameEncoding decided = encoding::detectNameEncoding(survey.sample);
    cd.place.names.encoding = decided;
    if (!(survey.readIn & ~(1u << static_cast<unsigned>(decided)))) break;
  }
  if (err) {
    cd.entries.clear();
    cd.entries.shrink_to_fit();
    cd.names = NamePool();
  }
  return err;
}

std::time_t entryTime(const Entry& e) {
  if (e.has(Entry::kUnixTime)) return e.unixTime;
  // MS-DOS time is local time. mktime consults the time zone on every call, so the start of
  // the hour is kept for the next member, which is usually of the same hour.
  static thread_local uint32_t lastHour = 0xFFFFFFFF;
  static thread_local std::time_t lastBase = 0;
  const uint16_t date = uint16_t(e.dosStamp >> 16), time = uint16_t(e.dosStamp);
  const uint32_t hourKey = uint32_t(date) << 5 | ((time >> 11) & 31);
  if (hourKey != lastHour) {
    std::tm tm{};
    tm.tm_isdst = -1;
    tm.tm_year = ((date >> 9) & 127) + 1980 - 1900;
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = (time >> 11) & 31;
    lastBase = std::mktime(&tm);
    lastHour = hourKey;
  }
  return lastBase + ((time >> 5) & 63) * 60 + ((time << 1) & 62);
}

}  // namespace zv::zip
