#include "member_io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lzh_codec.h"
#include "lzh_error.h"
#include "macbinary.h"
#include "write_gate.h"

namespace zv::lzh {
namespace {

constexpr size_t kChunk = 1 << 16;

[[noreturn]] void writeFailed(int e) {
  if (e == ENOSPC || e == EDQUOT) fail(ZV_ERROR_DISK_SPACE, "ディスクの空きが足りません");
  fail(ZV_ERROR_WRITE, std::string("書き込めません: ") + archive::errnoText(e));
}

bool isStored(const char* method) {
  return std::memcmp(method, "-lh0-", 5) == 0 || std::memcmp(method, "-lz4-", 5) == 0;
}

// State shared with the codec's callbacks. The codec is plain C, so failures are carried
// back here instead of being thrown through it.
struct Pipe {
  RunContext* ctx = nullptr;
  int inFd = -1;
  ArchiveReader* in = nullptr;  // when set, read instead of inFd
  uint64_t inPos = 0;
  uint64_t inLeft = 0;  // bytes the reader may still deliver
  int outFd = -1;
  uint64_t outPos = 0;  // for positioned writes (packing); unused when appending
  bool positioned = false;
  uint16_t crc = 0;
  bool crcOnRead = false;
  uint64_t produced = 0;
  int error = 0;
  std::string errorText;
  // Extraction only: all-zero runs become holes (a sparse member stays sparse on disk), and
  // a MacBinary-wrapped member is cut down to its fork. The first 128 decoded bytes wait in
  // `head` until they are judged; decoded bytes from keepFrom to keepTo reach the file.
  bool holeAtEnd = false;
  bool unwrap = false;
  uint64_t memberSize = 0;
  std::string head;
  uint64_t keepFrom = 0;
  uint64_t keepTo = UINT64_MAX;

  void keep(const LzhError& e) {
    if (!error) {
      error = e.code();
      errorText = e.what();
    }
  }
};

long readCb(void* p, unsigned char* buf, size_t max) {
  auto* s = static_cast<Pipe*>(p);
  if (s->error) return -1;
  size_t want = static_cast<size_t>(std::min<uint64_t>(max, s->inLeft));
  if (want == 0) return 0;
  ssize_t r;
  do {
    r = s->in ? s->in->read(s->inPos, buf, want)
              : pread(s->inFd, buf, want, static_cast<off_t>(s->inPos));
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    s->keep(LzhError(ZV_ERROR_CANNOT_OPEN, "読み込めません"));
    return -1;
  }
  s->inPos += static_cast<uint64_t>(r);
  s->inLeft -= static_cast<uint64_t>(r);
  if (s->crcOnRead) {
    s->crc = lzh_crc16(s->crc, buf, static_cast<size_t>(r));
    try {
      s->ctx->advance(static_cast<uint64_t>(r));
    } catch (const LzhError& e) {
      s->keep(e);
      return -1;
    }
  }
  return r;
}

bool allZero(const unsigned char* buf, size_t len) {
  return len > 0 && buf[0] == 0 && std::memcmp(buf, buf + 1, len - 1) == 0;
}

// Appends to the extracted file; a run of zeros is skipped over as a hole.
void appendOut(Pipe* s, const unsigned char* buf, size_t len, bool zero) {
  if (zero && lseek(s->outFd, static_cast<off_t>(len), SEEK_CUR) >= 0) {
    s->holeAtEnd = true;
    return;
  }
  size_t done = 0;
  while (done < len) {
    ssize_t w = write(s->outFd, buf + done, len - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) writeFailed(w < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(w);
  }
  s->holeAtEnd = false;
}

// Passes decoded bytes at offset s->produced on to the file, through the MacBinary filter.
void extractOut(Pipe* s, const unsigned char* buf, size_t len, bool zero) {
  uint64_t at = s->produced;
  if (s->unwrap && s->head.size() < kMacBinaryHeaderSize) {
    size_t take = std::min<size_t>(len, kMacBinaryHeaderSize - s->head.size());
    s->head.append(reinterpret_cast<const char*>(buf), take);
    buf += take;
    len -= take;
    at += take;
    if (s->head.size() < kMacBinaryHeaderSize) return;
    auto* h = reinterpret_cast<const unsigned char*>(s->head.data());
    if (auto fork = macBinaryFork(h, s->memberSize)) {
      s->keepFrom = fork->offset;
      s->keepTo = fork->offset + fork->length;
    } else {
      appendOut(s, h, s->head.size(), allZero(h, s->head.size()));
    }
  }
  uint64_t from = std::max(at, s->keepFrom), to = std::min(at + len, s->keepTo);
  if (from < to) appendOut(s, buf + (from - at), static_cast<size_t>(to - from), zero);
}

int writeCb(void* p, const unsigned char* buf, size_t len) {
  auto* s = static_cast<Pipe*>(p);
  if (s->error) return 1;
  try {
    const bool zero = allZero(buf, len);
    if (!s->crcOnRead) {
      if (!(zero && s->crc == 0)) s->crc = lzh_crc16(s->crc, buf, len);  // zeros keep 0
      s->ctx->advance(len);
    }
    if (s->outFd >= 0) {
      if (s->positioned) {
        writeAt(s->outFd, buf, len, s->outPos);
        s->outPos += len;
      } else {
        extractOut(s, buf, len, zero);
      }
    }
    s->produced += len;
  } catch (const LzhError& e) {
    s->keep(e);
    return 1;
  }
  return 0;
}

}  // namespace

void writeAt(int fd, const void* bytes, size_t len, uint64_t offset) {
  auto* p = static_cast<const unsigned char*>(bytes);
  size_t done = 0;
  while (done < len) {
    ssize_t w = pwrite(fd, p + done, len - done, static_cast<off_t>(offset + done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) writeFailed(w < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(w);
  }
}

void copyRange(int fromFd, uint64_t from, int toFd, uint64_t to, uint64_t len) {
  std::vector<unsigned char> buf(kChunk);
  while (len > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(len, buf.size()));
    ssize_t r = pread(fromFd, buf.data(), want, static_cast<off_t>(from));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が途中で切れています");
    writeAt(toFd, buf.data(), static_cast<size_t>(r), to);
    from += static_cast<uint64_t>(r);
    to += static_cast<uint64_t>(r);
    len -= static_cast<uint64_t>(r);
  }
}

bool canDecode(const Member& m) {
  return m.isFolder || isStored(m.method) || lzh_can_decode(m.method);
}

namespace {

enum class Outcome { Ok, Damaged, CrcMismatch };

// One decoding of the member into `outFd` (one reading of its method).
Outcome decodeOnce(ArchiveReader& archive, const Member& m, int outFd, RunContext& ctx,
                   int reading) {
  Pipe s;
  s.ctx = &ctx;
  s.in = &archive;
  s.inPos = m.dataOffset;
  s.inLeft = m.packedSize;
  s.outFd = outFd;
  s.memberSize = m.originalSize;
  s.unwrap = outFd >= 0 && m.osId == 'm' && !ctx.cmd.keepMacBinary &&
             m.originalSize >= kMacBinaryHeaderSize;
  int rc = LZH_OK;
  if (isStored(m.method)) {
    if (m.packedSize < m.originalSize)
      fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れています: " + m.path);
    std::vector<unsigned char> buf(kChunk);
    uint64_t left = m.originalSize;
    s.inLeft = m.originalSize;
    uint64_t holeEnd = 0;
    while (left > 0 && !s.error) {
      // A hole in the archive reads as zeros: they are passed on without reading them. Only
      // worth asking for members of a window or more; a smaller one reads its zeros.
      if (m.originalSize >= kChunk && s.inPos >= holeEnd) {
        off_t data = lseek(archive.fd(), static_cast<off_t>(s.inPos), SEEK_DATA);
        holeEnd = data > 0 ? static_cast<uint64_t>(data) : s.inPos;
      }
      if (holeEnd > s.inPos) {
        size_t n = static_cast<size_t>(std::min<uint64_t>({left, holeEnd - s.inPos, kChunk}));
        static const std::vector<unsigned char> zeros(kChunk);
        s.inPos += n;
        s.inLeft -= n;
        writeCb(&s, zeros.data(), n);
        left -= n;
        continue;
      }
      long r = readCb(&s, buf.data(), buf.size());
      if (r <= 0) {
        if (!s.error) s.keep(LzhError(ZV_ERROR_BROKEN_ARCHIVE, "書庫が途中で切れています"));
        break;
      }
      writeCb(&s, buf.data(), static_cast<size_t>(r));
      left -= static_cast<uint64_t>(r);
    }
  } else {
    LzhStreams io{readCb, &s, writeCb, &s};
    rc = lzh_decode_reading(m.method, m.packedSize, m.originalSize, &io, reading);
  }
  if (s.error) fail(s.error, s.errorText);
  if (rc == LZH_E_METHOD)
    fail(ZV_ERROR_METHOD, std::string("この圧縮法には対応していません: ") + m.method);
  if (rc == LZH_E_MEMORY) fail(ZV_ERROR_MEMORY, "メモリが足りません");
  if (rc != LZH_OK || s.produced != m.originalSize) return Outcome::Damaged;
  if (m.hasCrc && s.crc != m.crc) return Outcome::CrcMismatch;
  if (s.unwrap && s.head.size() < kMacBinaryHeaderSize)
    appendOut(&s, reinterpret_cast<const unsigned char*>(s.head.data()), s.head.size(), false);
  // A hole at the end has no bytes behind it that would give the file its length.
  if (s.holeAtEnd) {
    off_t end = lseek(outFd, 0, SEEK_CUR);
    if (end < 0 || ftruncate(outFd, end) != 0) writeFailed(errno);
  }
  return Outcome::Ok;
}

}  // namespace

ssize_t ArchiveReader::read(uint64_t at, void* buf, size_t len) {
  if (!window_) window_.reset(new unsigned char[kChunk]);
  if (len >= kChunk) {
    ssize_t r;
    do r = pread(fd_, buf, len, static_cast<off_t>(at));
    while (r < 0 && errno == EINTR);
    return r;
  }
  if (at < windowAt_ || at + len > windowAt_ + windowLen_) {
    ssize_t r;
    do r = pread(fd_, window_.get(), kChunk, static_cast<off_t>(at));
    while (r < 0 && errno == EINTR);
    if (r < 0) return r;
    windowAt_ = at;
    windowLen_ = static_cast<size_t>(r);
  }
  const size_t n = std::min<uint64_t>(len, windowAt_ + windowLen_ - at);
  std::memcpy(buf, window_.get() + (at - windowAt_), n);
  return static_cast<ssize_t>(n);
}

void decodeMember(ArchiveReader& archive, const Member& m, int outFd, RunContext& ctx) {
  if (m.truncated) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が途中で切れています: " + m.path);
  if (!canDecode(m))
    fail(ZV_ERROR_METHOD,
         std::string("この圧縮法には対応していません: ") + m.method + " " + m.path);
  // Methods that writers produced in more than one way are decoded in each reading until the
  // CRC matches; the output is wound back in between.
  const int readings = isStored(m.method) ? 1 : std::max(1, lzh_decode_readings(m.method));
  // Where to wind back to; only asked when there is a second reading.
  const off_t start = outFd >= 0 && readings > 1 ? lseek(outFd, 0, SEEK_CUR) : 0;
  const uint64_t doneBefore = ctx.done;
  bool crcSeen = false;
  for (int reading = 0; reading < readings; ++reading) {
    if (reading > 0) {
      if (outFd >= 0 &&
          (start < 0 || ftruncate(outFd, start) != 0 || lseek(outFd, start, SEEK_SET) != start))
        break;
      ctx.done = doneBefore;
    }
    Outcome o = decodeOnce(archive, m, outFd, ctx, reading);
    if (o == Outcome::Ok) return;
    if (o == Outcome::CrcMismatch) crcSeen = true;
  }
  if (crcSeen) fail(ZV_ERROR_CRC, "CRC が一致しません: " + m.path);
  fail(ZV_ERROR_BROKEN_ARCHIVE, "圧縮データが壊れています: " + m.path);
}

uint64_t packFile(int srcFd, uint64_t size, const char* method, int outFd, uint64_t dataAt,
                  NewHeader& fields, RunContext& ctx, int packLevel) {
  fields.originalSize = size;
  uint64_t before = ctx.done;
  if (size > 0 && !isStored(method)) {
    if (!lzh_can_encode(method))
      fail(ZV_ERROR_METHOD, std::string("この圧縮法では圧縮できません: ") + method);
    Pipe s;
    s.ctx = &ctx;
    s.inFd = srcFd;
    s.inLeft = size;
    s.crcOnRead = true;
    s.outFd = outFd;
    s.outPos = dataAt;
    s.positioned = true;
    LzhStreams io{readCb, &s, writeCb, &s};
    LzhEncodeOptions opt{packLevel, size - 1};
    uint64_t packed = 0;
    int rc = lzh_encode_ex(method, size, &io, &packed, &opt);
    if (s.error) fail(s.error, s.errorText);
    if (rc == LZH_OK && s.inPos != size)
      fail(ZV_ERROR_CANNOT_OPEN, "ファイルが読み込み中に変わりました");
    // Streams under 8 bytes trip some readers' buffering; such files are stored instead.
    if (rc == LZH_OK && packed < size && packed >= 8 && packed == s.produced) {
      std::memcpy(fields.method, method, 5);
      fields.packedSize = packed;
      fields.crc = s.crc;
      return packed;
    }
    if (rc != LZH_OK && rc != LZH_E_NOGAIN) {
      if (rc == LZH_E_MEMORY) fail(ZV_ERROR_MEMORY, "メモリが足りません");
      fail(ZV_ERROR_WRITE, "圧縮に失敗しました");
    }
    ctx.done = before;
  }
  // Stored: a plain copy with the CRC taken on the way.
  Pipe s;
  s.ctx = &ctx;
  s.inFd = srcFd;
  s.inLeft = size;
  s.crcOnRead = true;
  std::vector<unsigned char> buf(kChunk);
  uint64_t at = dataAt, left = size;
  while (left > 0) {
    long r = readCb(&s, buf.data(), buf.size());
    if (s.error) fail(s.error, s.errorText);
    if (r <= 0) fail(ZV_ERROR_CANNOT_OPEN, "ファイルが読み込み中に変わりました");
    writeAt(outFd, buf.data(), static_cast<size_t>(r), at);
    at += static_cast<uint64_t>(r);
    left -= static_cast<uint64_t>(r);
  }
  std::memcpy(fields.method, "-lh0-", 5);
  fields.packedSize = size;
  fields.crc = s.crc;
  return size;
}

}  // namespace zv::lzh
