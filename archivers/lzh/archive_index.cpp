#include "archive_index.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <list>

#include "header_reader.h"
#include "lzh_error.h"
#include "name_codec.h"

namespace zv::lzh {
namespace {

// Windows self-extracting stubs are larger than DOS ones; 1 MiB covers those in use.
constexpr uint64_t kSfxScanLimit = 1u << 20;

// True when the members from `pos` on run to the end of the file: an end marker as the
// last byte, or no marker at all.
bool chainReachesEnd(ByteSource& src, uint64_t pos) {
  for (int guard = 0; guard < 1000000; ++guard) {
    Member m;
    HeaderRead r = readHeader(src, pos, m);
    if (r.status == HeaderStatus::Damaged || (r.status == HeaderStatus::Ok && m.truncated))
      return false;
    if (r.status == HeaderStatus::End) return pos + 1 >= src.size();
    pos = m.dataOffset + m.packedSize;
  }
  return false;
}

uint64_t findArchiveStart(ByteSource& src) {
  unsigned char first[22];
  size_t got = src.readAt(0, first, sizeof first);
  if (got == 1 && first[0] == 0) return 0;  // an archive with no members
  // A first byte of 0 is also the length of an unpadded level-2 header of 256 bytes.
  if (got >= 22) {
    Member m;
    if (readHeader(src, 0, m).status == HeaderStatus::Ok) return 0;
  }
  // Behind a self-extracting stub. A stub may hold a member of its own (a usage text), so
  // the first candidate whose members run to the end of the file wins; failing that, the
  // first candidate that validates.
  uint64_t limit = std::min<uint64_t>(src.size(), kSfxScanLimit);
  std::vector<unsigned char> buf(static_cast<size_t>(limit));
  size_t n = src.readAt(0, buf.data(), buf.size());
  uint64_t firstValid = 0;
  bool anyValid = false;
  for (size_t p = 1; p + 21 < n; ++p) {
    if (buf[p + 2] != '-' || buf[p + 6] != '-' || (buf[p + 3] != 'l' && buf[p + 3] != 'p'))
      continue;
    if (!headerValidatesAt(src, p)) continue;
    if (chainReachesEnd(src, p)) return p;
    if (!anyValid) {
      anyValid = true;
      firstValid = p;
    }
  }
  if (anyValid) return firstValid;
  bool lookedLikeHeader = got >= 22 && first[2] == '-' && first[6] == '-' && first[20] <= 3;
  if (lookedLikeHeader) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫の最初のヘッダが壊れています");
  fail(ZV_ERROR_NOT_ARCHIVE, "LZH 書庫ではありません");
}

std::list<std::shared_ptr<ArchiveIndex>>& cache() {
  static std::list<std::shared_ptr<ArchiveIndex>> c;
  return c;
}
constexpr size_t kCacheEntries = 8;

char foldChar(char c) {
  if (c == '/') return '\\';
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

// The length of a path without its trailing separators.
size_t keyLength(std::string_view p) {
  size_t n = p.size();
  while (n > 0 && (p[n - 1] == '\\' || p[n - 1] == '/')) --n;
  return n;
}

// FNV-1a over the folded key, without building it.
size_t foldedHash(std::string_view p) {
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0, n = keyLength(p); i < n; ++i) {
    h ^= static_cast<unsigned char>(foldChar(p[i]));
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h ^ (h >> 32));
}

bool foldedEqual(std::string_view a, std::string_view b) {
  size_t n = keyLength(a);
  if (n != keyLength(b)) return false;
  for (size_t i = 0; i < n; ++i)
    if (foldChar(a[i]) != foldChar(b[i])) return false;
  return true;
}

bool sameIdentity(const ArchiveIndex& a, const struct stat& st) {
  return a.fileSize == static_cast<uint64_t>(st.st_size) && a.device == st.st_dev &&
         a.inode == st.st_ino && a.modified.tv_sec == st.st_mtim.tv_sec &&
         a.modified.tv_nsec == st.st_mtim.tv_nsec;
}

}  // namespace

std::string foldPath(std::string_view path) {
  std::string k;
  k.reserve(path.size());
  for (char c : path) k += foldChar(c);
  while (!k.empty() && k.back() == '\\') k.pop_back();
  return k;
}

bool samePath(std::string_view a, std::string_view b) {
  auto trimmed = [](std::string_view s) {
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == '\\' || s[n - 1] == '/')) --n;
    return n;
  };
  size_t n = trimmed(a);
  if (n != trimmed(b)) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i] == '/' ? '\\' : a[i], y = b[i] == '/' ? '\\' : b[i];
    if (x != y) return false;
  }
  return true;
}

void ArchiveIndex::placeInTable(size_t member) const {
  std::string_view p = members.path(member);
  size_t mask = byPath.size() - 1;
  for (size_t s = foldedHash(p) & mask;; s = (s + 1) & mask) {
    // A later member of the same path takes the slot over.
    if (byPath[s] == 0 || foldedEqual(members.path(byPath[s] - 1), p)) {
      byPath[s] = static_cast<uint32_t>(member + 1);
      return;
    }
  }
}

void ArchiveIndex::buildByPath() const {
  size_t slots = 16;
  while (slots < members.size() * 2) slots *= 2;
  byPath.assign(slots, 0);
  for (size_t i = 0; i < members.size(); ++i) placeInTable(i);
}

void ArchiveIndex::add(const Member& m) {
  members.push_back(m);
  if (byPath.empty()) return;
  if (members.size() >= UINT32_MAX || members.size() * 2 > byPath.size()) {
    byPath.clear();  // rebuilt, twice as large, on the next find
    return;
  }
  placeInTable(members.size() - 1);
}

size_t ArchiveIndex::find(std::string_view path) const {
  if (members.empty()) return kNotFound;
  if (members.size() >= UINT32_MAX) {
    // Beyond what the slots hold: a plain search, last member first.
    for (size_t i = members.size(); i-- > 0;)
      if (samePath(members.path(i), path)) return i;
    for (size_t i = members.size(); i-- > 0;)
      if (foldedEqual(members.path(i), path)) return i;
    return kNotFound;
  }
  if (byPath.empty()) buildByPath();
  size_t mask = byPath.size() - 1;
  size_t folded = kNotFound;
  for (size_t s = foldedHash(path) & mask; byPath[s] != 0; s = (s + 1) & mask) {
    if (foldedEqual(members.path(byPath[s] - 1), path)) {
      folded = byPath[s] - 1;
      break;
    }
  }
  if (folded == kNotFound) return kNotFound;
  if (samePath(members.path(folded), path)) return folded;
  // Only when the case differs: look for a member of exactly that name.
  for (size_t i = members.size(); i-- > 0;)
    if (samePath(members.path(i), path)) return i;
  return folded;
}

HeaderWalk::HeaderWalk(ByteSource& src) : src_(src) {
  start_ = pos_ = findArchiveStart(src);
  // The members were found further on, yet the file starts like a header: not a
  // self-extracting stub but a first member whose header is damaged, which must not go
  // unmentioned.
  unsigned char head[21];
  if (start_ > 0 && src.readAt(0, head, sizeof head) == sizeof head && head[2] == '-' &&
      head[6] == '-' && head[3] == 'l' && head[20] <= 3)
    problem_ = "書庫の最初のヘッダが壊れています";
}

bool HeaderWalk::next(Member& m) {
  if (done_) return false;
  m = Member();
  HeaderRead r = readHeader(src_, pos_, m);
  if (r.status == HeaderStatus::End) {
    done_ = true;
    return false;
  }
  if (r.status == HeaderStatus::Damaged) {
    if (count_ == 0)
      fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫のヘッダが壊れています (" + r.problem + ")");
    done_ = true;
    problem_ = r.problem.empty() ? "damaged header" : r.problem;
    return false;
  }
  ++count_;
  pos_ = m.dataOffset + m.packedSize;
  if (m.truncated) {
    done_ = true;
    problem_ = "archive cut short";
    pos_ = src_.size();
  }
  return true;
}

namespace {

// Enough names to tell the encodings apart, few enough to stay quick on huge archives.
constexpr size_t kDetectionSample = 2000;

// The names read the default way that say nothing of their encoding, kept as samples for
// the archive's one decision.
struct NameSurvey {
  std::vector<std::string> sample;
  unsigned readIn = 0;  // a bit for each encoding some name was read in
  void note(const Member& m) {
    if (m.nameMarked || m.nameEncoding == 0) return;
    readIn |= 1u << m.nameEncoding;
    if (sample.size() < kDetectionSample) {
      std::string bytes = m.rawDir + m.rawName;
      std::erase(bytes, '\xFF');
      sample.push_back(std::move(bytes));
    }
  }
};

std::shared_ptr<ArchiveIndex> scanWith(ByteSource& src, const NameReading& reading,
                                       NameSurvey* survey) {
  auto idx = std::make_shared<ArchiveIndex>();
  idx->fileSize = src.size();
  HeaderWalk walk(src);
  idx->start = walk.start();
  Member m;
  while (walk.next(m)) {
    readNameAs(m, reading);
    if (survey) survey->note(m);
    idx->add(m);
  }
  idx->damaged = walk.damaged();
  idx->problem = walk.problem();
  idx->end = walk.end();
  return idx;
}

}  // namespace

void readNameAs(Member& m, const NameReading& reading) {
  // readHeader has read the name the default way; another reading reads it again.
  if (reading.encoding != NameReading{}.encoding || reading.forced) decodeMemberName(m, reading);
}

NameReading nameReadingFor(ByteSource& src, encoding::NameEncoding names, bool seenAll) {
  if (names != encoding::NameEncoding::Auto) return NameReading{names, true};
  NameSurvey survey;
  HeaderWalk walk(src);
  Member m;
  while (walk.next(m)) survey.note(m);
  encoding::NameEncoding decided = encoding::detectNameEncoding(survey.sample);
  if (!seenAll || (survey.readIn & ~(1u << static_cast<unsigned>(decided))))
    return NameReading{decided, false};
  return NameReading{};
}

std::shared_ptr<ArchiveIndex> scanArchive(ByteSource& src, encoding::NameEncoding names) {
  using encoding::NameEncoding;
  if (names != NameEncoding::Auto) {
    auto idx = scanWith(src, NameReading{names, true}, nullptr);
    idx->requested = idx->decided = names;
    return idx;
  }
  // First as Shift_JIS (a name it cannot read in its own best encoding), then one decision
  // for the archive; read again only when that decision reads some name differently.
  NameSurvey survey;
  auto idx = scanWith(src, NameReading{}, &survey);
  NameEncoding decided = encoding::detectNameEncoding(survey.sample);
  if (survey.readIn & ~(1u << static_cast<unsigned>(decided)))
    idx = scanWith(src, NameReading{decided, false}, nullptr);
  idx->requested = NameEncoding::Auto;
  idx->decided = decided;
  return idx;
}

bool statIdentity(const std::string& hostPath, ArchiveIndex& index) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return false;
  index.hostPath = hostPath;
  index.fileSize = static_cast<uint64_t>(st.st_size);
  index.device = st.st_dev;
  index.inode = st.st_ino;
  index.modified = st.st_mtim;
  return true;
}

std::shared_ptr<const ArchiveIndex> keptIndex(const std::string& hostPath,
                                              encoding::NameEncoding names) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return nullptr;
  for (const auto& kept : cache())
    if (kept->hostPath == hostPath && kept->requested == names)
      return sameIdentity(*kept, st) ? kept : nullptr;
  return nullptr;
}

std::shared_ptr<const ArchiveIndex> loadIndex(const std::string& hostPath,
                                              encoding::NameEncoding names) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    fail(ZV_ERROR_CANNOT_OPEN, "書庫が見つかりません: " + hostPath);
  auto& c = cache();
  for (auto it = c.begin(); it != c.end(); ++it) {
    if ((*it)->hostPath == hostPath && (*it)->requested == names) {
      if (sameIdentity(**it, st)) {
        c.splice(c.begin(), c, it);
        return c.front();
      }
      c.erase(it);
      break;
    }
  }
  int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + hostPath);
  FileSource src(fd);
  std::shared_ptr<ArchiveIndex> idx = scanArchive(src, names);
  idx->hostPath = hostPath;
  idx->fileSize = static_cast<uint64_t>(st.st_size);
  idx->device = st.st_dev;
  idx->inode = st.st_ino;
  idx->modified = st.st_mtim;
  cache().push_front(idx);  // beside the same archive read in other encodings
  while (cache().size() > kCacheEntries) cache().pop_back();
  return idx;
}

void rememberIndex(std::shared_ptr<ArchiveIndex> index) {
  auto& c = cache();
  c.remove_if([&](const auto& e) { return e->hostPath == index->hostPath; });
  c.push_front(std::move(index));
  while (c.size() > kCacheEntries) c.pop_back();
}

void forgetIndex(const std::string& hostPath) {
  cache().remove_if([&](const auto& e) { return e->hostPath == hostPath; });
}

}  // namespace zv::lzh
