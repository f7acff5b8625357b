// The self-extracting stub's own work: find the archive behind the stub, walk its headers,
// decode every member with the shared codec and check its CRC-16. Restricted style (fixed
// buffers, no exceptions, no standard containers) so that the Windows stub stays small.
#include "sfx_core.h"

#include <string.h>

#include "lzh_codec.h"
#include "platform/cp932.h"
#include "sfx_config.h"
#include "sfx_platform.h"

// Filled in by the library when it makes a self-extracting archive.
extern "C" {
volatile ZvSfxSettings zv_sfx_settings = {ZV_SFX_MARKER, {0}, {0}, {0}};
}

namespace sfx {
namespace {

constexpr uint64_t kScanLimit = 1u << 20;
constexpr size_t kMaxHeader = 65536;

unsigned char g_header[kMaxHeader];

// MS-DOS date and time (taken as UTC: the stub has no time zone tables) to Unix time.
uint32_t dosToUnix(uint32_t dos) {
  int y = (int)(dos >> 25) + 1980, mo = (int)((dos >> 21) & 15), d = (int)((dos >> 16) & 31);
  if (mo < 1 || mo > 12 || d < 1) return 0;
  y -= mo <= 2;
  int era = y / 400, yoe = y - era * 400;
  int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long days = (long)era * 146097 + doe - 719468;
  return (uint32_t)(days * 86400 + ((dos >> 11) & 31) * 3600 + ((dos >> 5) & 63) * 60 +
                    (dos & 31) * 2);
}

uint16_t u16(const unsigned char* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t u32(const unsigned char* p) {
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

struct Member {
  char method[5];
  uint64_t packed, original, dataAt, next;
  uint16_t crc;
  uint32_t time;
  bool folder, link, utf8, dosTime;
  // Name bytes: folder part (0xFF separated) then the name, joined with 0xFF.
  unsigned char name[1024];
  size_t nameLen;
};

void addName(Member& m, const unsigned char* p, size_t n, bool separatorFirst) {
  if (separatorFirst && m.nameLen && m.nameLen < sizeof m.name) m.name[m.nameLen++] = 0xFF;
  for (size_t i = 0; i < n && m.nameLen < sizeof m.name; ++i) m.name[m.nameLen++] = p[i];
}

// What the extended headers say about a member: its name, folder, code page and mode.
struct Extensions {
  const unsigned char* fname;
  size_t fnameLen;
  unsigned char dirBuf[512];
  size_t dirLen;
  uint32_t codePage;
  uint16_t mode;
};

// Takes one extended header: its type byte `t` and its `len` payload bytes at `pl`.
void takeExtension(Extensions& x, unsigned char t, const unsigned char* pl, size_t len) {
  if (t == 0x01) {
    x.fname = pl;
    x.fnameLen = len;
  } else if (t == 0x02 && len <= sizeof x.dirBuf) {
    memcpy(x.dirBuf, pl, len);
    x.dirLen = len;
  } else if (t == 0x46 && len >= 4) {
    x.codePage = u32(pl);
  } else if (t == 0x50 && len >= 2) {
    x.mode = u16(pl);
  }
}

// Reads the header at `pos`. 1: a member, 0: the end, -1: damaged.
int readMember(uint64_t pos, Member& m) {
  memset(&m, 0, sizeof m);
  size_t got = readSelf(pos, g_header, 26);
  if (got == 0 || g_header[0] == 0) return 0;
  if (got < 22 || g_header[2] != '-' || g_header[6] != '-') return -1;
  memcpy(m.method, g_header + 2, 5);
  int level = g_header[20];
  m.dosTime = level < 2;
  m.original = u32(g_header + 11);
  m.time = u32(g_header + 15);
  Extensions x;
  memset(&x, 0, sizeof x);
  if (level == 0 || level == 1) {
    size_t total = (size_t)g_header[0] + 2;
    if (readSelf(pos, g_header, total) != total) return -1;
    unsigned sum = 0;
    for (size_t i = 2; i < total; ++i) sum += g_header[i];
    if ((sum & 0xFF) != g_header[1]) return -1;
    size_t n = g_header[21];
    if (22 + n + 2 > total) return -1;
    x.fname = g_header + 22;
    x.fnameLen = n;
    m.crc = u16(g_header + 22 + n);
    m.folder = (level == 0 && (g_header[19] & 0x10)) != 0;
    uint64_t size7 = u32(g_header + 7);
    if (level == 0) {
      m.packed = size7;
      m.dataAt = pos + total;
    } else {
      // Extended headers follow the base header; they are read one by one after it.
      if (25 + n + 2 > total) return -1;
      size_t at = total;
      uint64_t ext = u16(g_header + total - 2), sum2 = 0;
      while (ext) {
        if (ext < 3 || at + ext > kMaxHeader || (sum2 += ext) > size7) return -1;
        if (readSelf(pos + at, g_header + at, (size_t)ext) != ext) return -1;
        takeExtension(x, g_header[at], g_header + at + 1, (size_t)ext - 3);
        at += (size_t)ext;
        ext = u16(g_header + at - 2);
      }
      m.packed = size7 - sum2;
      m.dataAt = pos + at;
    }
  } else if (level == 2) {
    size_t total = u16(g_header);
    if (total < 26 || readSelf(pos, g_header, total) != total) return -1;
    m.packed = u32(g_header + 7);
    m.crc = u16(g_header + 21);
    size_t at = 26;
    uint32_t ext = u16(g_header + 24);
    size_t crcAt = 0;
    while (ext) {
      if (ext < 3 || at + ext > total) return -1;
      if (g_header[at] == 0x00 && ext >= 5 && !crcAt) crcAt = at + 1;
      takeExtension(x, g_header[at], g_header + at + 1, ext - 3);
      at += ext;
      ext = u16(g_header + at - 2);
    }
    if (total - at > 1) return -1;
    if (crcAt) {
      uint16_t stored = u16(g_header + crcAt);
      g_header[crcAt] = g_header[crcAt + 1] = 0;
      if (lzh_crc16(0, g_header, total) != stored) return -1;
    }
    m.dataAt = pos + total;
  } else {
    return -1;
  }
  addName(m, x.dirBuf, x.dirLen, false);
  addName(m, x.fname, x.fnameLen, x.dirLen && x.dirBuf[x.dirLen - 1] != 0xFF);
  bool lhd = memcmp(m.method + 1, "lhd", 3) == 0;
  m.link = lhd && (x.mode & 0xF000) == 0xA000;
  m.folder = m.folder || lhd;
  m.utf8 = x.codePage == 65001;
  m.next = m.dataAt + m.packed;
  return 1;
}

// Splits the name at 0xFF, '\' and '/' (CP932 characters kept whole) and drops empty, "."
// and drive parts. False for a ".." part: such a member is never written.
bool splitName(Member& m, Name& out) {
  out.count = 0;
  out.utf8 = m.utf8;
  size_t start = 0;
  for (size_t i = 0; i <= m.nameLen; ++i) {
    unsigned char c = i < m.nameLen ? m.name[i] : 0xFF;
    if (!m.utf8 && i < m.nameLen && zv::encoding::isCp932LeadByte(c)) {
      ++i;
      continue;
    }
    if (c != 0xFF && c != '\\' && c != '/') continue;
    size_t len = i - start;
    const unsigned char* p = m.name + start;
    start = i + 1;
    if (len == 0 || (len == 1 && p[0] == '.')) continue;
    if (len == 2 && p[0] == '.' && p[1] == '.') return false;
    if (out.count == 0 && len == 2 && p[1] == ':') continue;
    for (size_t k = 0; k < len; ++k)
      if (p[k] < 0x20) return false;
    if (out.count == Name::kMaxParts) return false;
    out.part[out.count] = p;
    out.len[out.count] = len;
    ++out.count;
  }
  return out.count > 0;
}

struct Pipe {
  uint64_t at, left;
  uint16_t crc;
  bool ok;
};

long readCb(void* ctx, unsigned char* buf, size_t max) {
  Pipe* p = (Pipe*)ctx;
  size_t want = max < p->left ? max : (size_t)p->left;
  if (want == 0) return 0;
  size_t got = readSelf(p->at, buf, want);
  p->at += got;
  p->left -= got;
  return (long)got;
}

int writeCb(void* ctx, const unsigned char* buf, size_t len) {
  Pipe* p = (Pipe*)ctx;
  p->crc = lzh_crc16(p->crc, buf, len);
  if (!writeMember(buf, len)) {
    p->ok = false;
    return 1;
  }
  return 0;
}

bool validAt(uint64_t pos) {
  Member m;
  if (readMember(pos, m) != 1) return false;
  if (m.next > selfSize()) return false;
  Member n;
  return readMember(m.next, n) >= 0;
}

uint64_t findArchive() {
  static unsigned char buf[4096 + 8];
  uint64_t size = selfSize();
  uint64_t limit = size < kScanLimit ? size : kScanLimit;
  for (uint64_t base = 0; base < limit; base += 4096) {
    size_t got = readSelf(base, buf, sizeof buf);
    for (size_t i = 0; i + 7 <= got && i < 4096; ++i) {
      if (buf[i + 2] == '-' && buf[i + 6] == '-' && (buf[i + 3] == 'l' || buf[i + 3] == 'p') &&
          validAt(base + i))
        return base + i;
    }
  }
  return (uint64_t)-1;
}

}  // namespace

int run(const char* destArg, bool quiet) {
  if (!openSelf()) return 2;
  uint64_t pos = findArchive();
  const char* title = (const char*)zv_sfx_settings.title;
  if (pos == (uint64_t)-1) {
    report(title, 0, 1, quiet);
    return 2;
  }
  if (!setDestination(destArg, (const char*)zv_sfx_settings.folder)) {
    report(title, 0, 1, quiet);
    return 2;
  }
  if (!quiet && !confirm(title, (const char*)zv_sfx_settings.message)) return 1;
  int files = 0, failures = 0;
  for (;;) {
    Member m;
    int r = readMember(pos, m);
    if (r == 0) break;
    if (r < 0 || m.next > selfSize()) {
      ++failures;
      break;
    }
    pos = m.next;
    Name n;
    if (m.link || !splitName(m, n)) {
      ++failures;
      continue;
    }
    if (!beginMember(n, m.folder)) {
      ++failures;
      continue;
    }
    if (m.folder) continue;
    Pipe p = {m.dataAt, m.packed, 0, true};
    LzhStreams io = {readCb, &p, writeCb, &p};
    int rc = lzh_decode(m.method, m.packed, m.original, &io);
    bool good = rc == LZH_OK && p.ok && p.crc == m.crc;
    if (!endMember(good, m.dosTime ? dosToUnix(m.time) : m.time) || !good) {
      ++failures;
      continue;
    }
    ++files;
  }
  report(title, files, failures, quiet);
  return failures ? 1 : 0;
}

}  // namespace sfx
