#include "member_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "lzh_codec.h"
#include "lzh_error.h"

namespace zv::lzh {
namespace {

constexpr size_t kChunk = 1 << 16;

[[noreturn]] void writeFailed(int e) {
  if (e == ENOSPC || e == EDQUOT) fail(ZV_ERROR_DISK_SPACE, "ディスクの空きが足りません");
  fail(ZV_ERROR_WRITE, std::string("書き込めません: ") + std::strerror(e));
}

bool isStored(const char* method) {
  return std::memcmp(method, "-lh0-", 5) == 0 || std::memcmp(method, "-lz4-", 5) == 0;
}

// State shared with the codec's callbacks. The codec is plain C, so failures are carried
// back here instead of being thrown through it.
struct Pipe {
  RunContext* ctx = nullptr;
  int inFd = -1;
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
    r = pread(s->inFd, buf, want, static_cast<off_t>(s->inPos));
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

int writeCb(void* p, const unsigned char* buf, size_t len) {
  auto* s = static_cast<Pipe*>(p);
  if (s->error) return 1;
  try {
    if (!s->crcOnRead) {
      s->crc = lzh_crc16(s->crc, buf, len);
      s->ctx->advance(len);
    }
    if (s->outFd >= 0) {
      if (s->positioned) {
        writeAt(s->outFd, buf, len, s->outPos);
        s->outPos += len;
      } else {
        size_t done = 0;
        while (done < len) {
          ssize_t w = write(s->outFd, buf + done, len - done);
          if (w < 0 && errno == EINTR) continue;
          if (w <= 0) writeFailed(w < 0 ? errno : ENOSPC);
          done += static_cast<size_t>(w);
        }
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

namespace {

bool isLh7(const char* method) { return std::memcmp(method, "-lh7-", 5) == 0; }

// LHark labelled its own variant -lh7- as well. Only the CRC tells the two apart, so such a
// member is decoded under the other reading too when the first fails: first the variant for
// LHark's OS id (a blank), the standard method for everyone else. The output is rewound in
// between; a destination that cannot be rewound (a pipe) gets one reading only.
int decodeWithVariant(const Member& m, Pipe& s, int outFd) {
  const uint64_t inStart = s.inPos;
  const off_t outStart = outFd >= 0 ? lseek(outFd, 0, SEEK_CUR) : 0;
  const bool twoReadings = isLh7(m.method) && outStart >= 0;
  const bool variantFirst = twoReadings && m.osId == ' ';
  int rc = LZH_OK;
  for (int attempt = 0; attempt < (twoReadings ? 2 : 1); ++attempt) {
    const bool variant = (attempt == 0) == variantFirst && twoReadings;
    if (attempt) {
      if (outFd >= 0 && (ftruncate(outFd, outStart) != 0 || lseek(outFd, outStart, SEEK_SET) < 0))
        break;
      s.inPos = inStart;
      s.inLeft = m.packedSize;
      s.crc = 0;
      s.produced = 0;
    }
    LzhStreams io{readCb, &s, writeCb, &s};
    rc = lzh_decode(variant ? "-lk7-" : m.method, m.packedSize, m.originalSize, &io);
    if (s.error) break;  // read or write failure: another reading would not help
    if (rc == LZH_OK && s.produced == m.originalSize && (!m.hasCrc || s.crc == m.crc)) break;
  }
  return rc;
}

}  // namespace

bool canDecode(const Member& m) {
  return m.isFolder || isStored(m.method) || lzh_can_decode(m.method);
}

void decodeMember(int archiveFd, const Member& m, int outFd, RunContext& ctx) {
  if (m.truncated) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が途中で切れています: " + m.path);
  if (!canDecode(m))
    fail(ZV_ERROR_METHOD, std::string("この圧縮法には対応していません: ") + m.method + " " + m.path);
  Pipe s;
  s.ctx = &ctx;
  s.inFd = archiveFd;
  s.inPos = m.dataOffset;
  s.inLeft = m.packedSize;
  s.outFd = outFd;
  int rc = LZH_OK;
  if (isStored(m.method)) {
    if (m.packedSize < m.originalSize) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れています: " + m.path);
    std::vector<unsigned char> buf(kChunk);
    uint64_t left = m.originalSize;
    s.inLeft = m.originalSize;
    while (left > 0 && !s.error) {
      long r = readCb(&s, buf.data(), buf.size());
      if (r <= 0) {
        if (!s.error) s.keep(LzhError(ZV_ERROR_BROKEN_ARCHIVE, "書庫が途中で切れています"));
        break;
      }
      writeCb(&s, buf.data(), static_cast<size_t>(r));
      left -= static_cast<uint64_t>(r);
    }
  } else {
    rc = decodeWithVariant(m, s, outFd);
  }
  if (s.error) fail(s.error, s.errorText);
  if (rc == LZH_E_METHOD) fail(ZV_ERROR_METHOD, std::string("この圧縮法には対応していません: ") + m.method);
  if (rc == LZH_E_MEMORY) fail(ZV_ERROR_MEMORY, "メモリが足りません");
  if (rc != LZH_OK || s.produced != m.originalSize)
    fail(ZV_ERROR_BROKEN_ARCHIVE, "圧縮データが壊れています: " + m.path);
  if (m.hasCrc && s.crc != m.crc) fail(ZV_ERROR_CRC, "CRC が一致しません: " + m.path);
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
    if (rc == LZH_OK && s.inPos != size) fail(ZV_ERROR_CANNOT_OPEN, "ファイルが読み込み中に変わりました");
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
