#include "zip_member_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zv::zip {
namespace {
constexpr size_t kStep = 64 * 1024;  // input per read, and the decoded bytes handed out at once
constexpr uint32_t kLocalSig = 0x04034b50;
constexpr size_t kLocalLen = 30;
}  // namespace

MemberReader::MemberReader(const ArchiveBytes& bytes) : window_(bytes) {}

MemberReader::~MemberReader() {
  if (zReady_) inflateEnd(&z_);
}

const char* MemberReader::describe(Status s) {
  switch (s) {
    case Status::Header:
      return "書庫の構造が壊れています";
    case Status::Truncated:
      return "書庫が途中で切れています";
    case Status::Read:
      return "書庫を読めません";
    case Status::Data:
      return "圧縮データが壊れています";
    case Status::Memory:
      return "メモリが足りません";
    case Status::Crc:
      return "CRC が一致しません";
    case Status::Length:
      return "大きさが記録と違います";
    case Status::Ok:
      break;
  }
  return "エラーはありません";
}

bool MemberReader::open(const Member& m, bool toEnd) {
  status_ = Status::Ok;
  method_ = m.method;
  size_ = m.size;
  produced_ = 0;
  crc_ = uint32_t(crc32(0L, Z_NULL, 0));
  expectedCrc_ = m.crc;
  streamEnded_ = false;
  failing_ = Status::Ok;
  const unsigned char* h = window_.view(m.localOffset, kLocalLen);
  if (!h) return fail(errno ? Status::Read : Status::Header), false;
  if (le32(h) != kLocalSig) return fail(Status::Header), false;
  // The local header's own name and extra lengths: they may differ from the central ones.
  dataAt_ = m.localOffset + kLocalLen + le16(h + 26) + le16(h + 28);
  const uint64_t fileSize = window_.bytes().size();
  if (dataAt_ > fileSize || (m.packed > fileSize - dataAt_ && !toEnd))
    return fail(Status::Truncated), false;
  packedLeft_ = std::min(m.packed, fileSize - dataAt_);
  if (method_ == 8) {
    int r = zReady_ ? inflateReset(&z_) : inflateInit2(&z_, -MAX_WBITS);
    if (r != Z_OK) return fail(r == Z_MEM_ERROR ? Status::Memory : Status::Data), false;
    zReady_ = true;
    z_.avail_in = 0;
    if (!out_) out_.reset(new unsigned char[kStep]);
  }
  return true;
}

// Up to `max` packed bytes from the archive, pointing into the read window.
const unsigned char* MemberReader::next(size_t max, size_t* got) {
  size_t n = size_t(std::min<uint64_t>(max, packedLeft_));
  const unsigned char* p = window_.view(dataAt_, n);
  if (!p) {
    fail(errno ? Status::Read : Status::Truncated);
    return nullptr;
  }
  dataAt_ += n, packedLeft_ -= n;
  *got = n;
  return p;
}

int64_t MemberReader::finish() {
  if (crc_ != expectedCrc_) return fail(Status::Crc);
  if (produced_ != size_) return fail(Status::Length);
  return 0;
}

int64_t MemberReader::read(const char** data) {
  if (status_ != Status::Ok) return -1;
  if (method_ == 8) return inflateSome(data);
  if (packedLeft_ == 0) return finish();
  size_t n = 0;
  const unsigned char* p = next(kStep, &n);
  if (!p) return -1;
  produced_ += n;
  if (produced_ > size_) return fail(Status::Length);
  crc_ = uint32_t(crc32(crc_, p, uInt(n)));
  *data = reinterpret_cast<const char*>(p);
  return int64_t(n);
}

int64_t MemberReader::inflateSome(const char** data) {
  if (streamEnded_) return finish();
  if (failing_ != Status::Ok) return fail(failing_);
  z_.next_out = out_.get();
  z_.avail_out = kStep;
  while (z_.avail_out > 0) {
    if (z_.avail_in == 0) {
      if (packedLeft_ == 0) {
        failing_ = Status::Data;  // the stream stops short of its end
        break;
      }
      size_t n = 0;
      const unsigned char* p = next(kStep, &n);
      if (!p) return -1;
      z_.next_in = const_cast<Bytef*>(p);
      z_.avail_in = uInt(n);
    }
    int r = inflate(&z_, Z_NO_FLUSH);
    if (r == Z_STREAM_END) {
      streamEnded_ = true;
      break;
    }
    if (r == Z_BUF_ERROR && z_.avail_in == 0) continue;
    if (r != Z_OK) {
      failing_ = r == Z_MEM_ERROR ? Status::Memory : Status::Data;
      break;
    }
  }
  // What was decoded before a failure is handed out first: a damaged member kept under a
  // marked name holds all the decoder made of it.
  size_t got = kStep - z_.avail_out;
  if (got == 0) return failing_ != Status::Ok ? fail(failing_) : finish();
  produced_ += got;
  if (produced_ > size_) return fail(Status::Length);  // more than declared: stop at once
  crc_ = uint32_t(crc32(crc_, out_.get(), uInt(got)));
  *data = reinterpret_cast<const char*>(out_.get());
  return int64_t(got);
}

int64_t MemberReader::readRaw(void* out, size_t max) {
  if (status_ != Status::Ok) return -1;
  if (packedLeft_ == 0) return 0;
  size_t n = 0;
  const unsigned char* p = next(std::min(max, kStep), &n);
  if (!p) return -1;
  std::memcpy(out, p, n);
  return int64_t(n);
}

}  // namespace zv::zip
