#include "archive_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "header_reader.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "member_io.h"
#include "name_codec.h"
#include "write_gate.h"

namespace zv::lzh {
namespace {

// Closes a descriptor and removes a temporary file unless the write succeeded.
struct TempArchive {
  std::string path;
  int fd = -1;
  bool keep = false;
  ~TempArchive() {
    if (fd >= 0) close(fd);
    if (!keep && !path.empty()) unlink(path.c_str());
  }
};

void syncOrFail(int fd) {
  if (fdatasync(fd) != 0 && errno != EINVAL) {
    if (errno == ENOSPC || errno == EDQUOT) fail(ZV_ERROR_DISK_SPACE, "ディスクの空きが足りません");
    fail(ZV_ERROR_WRITE, "書き込めません");
  }
}

}  // namespace

uint64_t ArchiveWriter::writeMember(int fd, uint64_t pos, const NewMember& m, bool deferFirstByte,
                                    unsigned char* firstByte) {
  NewHeader fields;
  fields.parts = m.parts;
  fields.folder = m.folder;
  fields.mtime = m.mtime;
  fields.unixMode = m.unixMode;
  fields.level = opts_.level;
  ctx_.member(m.parts.empty() ? std::string() : m.parts.back());
  uint64_t dataLen = 0;
  std::string header;
  if (m.folder) {
    std::memcpy(fields.method, "-lhd-", 5);
    header = buildHeader(fields);
  } else {
    int src = open(m.sourceHost.c_str(), O_RDONLY | O_CLOEXEC);
    if (src < 0) fail(ZV_ERROR_CANNOT_OPEN, "ファイルを開けません: " + m.sourceHost);
    struct stat st {};
    fstat(src, &st);
    uint64_t size = static_cast<uint64_t>(st.st_size);
    fields.originalSize = fields.packedSize = size;
    size_t headerLen = buildHeader(fields).size();
    try {
      dataLen =
          packFile(src, size, opts_.method, fd, pos + headerLen, fields, ctx_, opts_.packLevel);
    } catch (...) {
      close(src);
      throw;
    }
    close(src);
    header = buildHeader(fields);
    if (header.size() != headerLen) fail(ZV_ERROR_WRITE, "ヘッダの長さが変わりました");
  }
  if (deferFirstByte) {
    *firstByte = static_cast<unsigned char>(header[0]);
    writeAt(fd, header.data() + 1, header.size() - 1, pos + 1);
  } else {
    writeAt(fd, header.data(), header.size(), pos);
  }
  return pos + header.size() + dataLen;
}

uint64_t ArchiveWriter::writeNamed(int fd, uint64_t pos, const NewMember& m, bool deferFirstByte,
                                   unsigned char* firstByte) {
  try {
    return writeMember(fd, pos, m, deferFirstByte, firstByte);
  } catch (const LzhError& e) {
    throw naming(e, displayPath(m.parts, false, m.folder));
  }
}

void ArchiveWriter::append(ArchiveIndex& idx, const std::vector<NewMember>& add) {
  int fd = open(idx.hostPath.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0)
    fail(archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE),
         std::string("書庫に書き込めません (") + archive::errnoText(errno) + "): " + idx.hostPath);
  uint64_t oldSize = std::min(idx.fileSize, idx.end + 1);
  uint64_t pos = idx.end;
  unsigned char first = 0;
  bool linked = false;
  try {
    // What an interrupted append left behind the end marker goes first.
    if (idx.fileSize > oldSize) {
      if (ftruncate(fd, static_cast<off_t>(oldSize)) != 0)
        fail(ZV_ERROR_WRITE, "書き込めません: " + idx.hostPath);
      syncOrFail(fd);
    }
    for (size_t i = 0; i < add.size(); ++i) pos = writeNamed(fd, pos, add[i], i == 0, &first);
    unsigned char marker = 0;
    writeAt(fd, &marker, 1, pos);
    if (ftruncate(fd, static_cast<off_t>(pos + 1)) != 0) fail(ZV_ERROR_WRITE, "書き込めません");
    syncOrFail(fd);
    // Until this byte is written the archive still ends where it ended before.
    linked = true;
    writeAt(fd, &first, 1, idx.end);
    if (opts_.durable) syncOrFail(fd);
  } catch (...) {
    // Back to the old archive: its end marker, nothing behind it.
    unsigned char marker = 0;
    if (linked) pwrite(fd, &marker, 1, static_cast<off_t>(idx.end));
    if (ftruncate(fd, static_cast<off_t>(oldSize)) != 0) {
      // Nothing more can be done; the old members are still intact before idx.end.
    }
    close(fd);
    throw;
  }
  // Read back just the new headers so the kept index stays exact (the source closes fd).
  {
    FileSource src(fd);
    uint64_t at = idx.end;
    for (size_t i = 0; i < add.size(); ++i) {
      Member m;
      if (readHeader(src, at, m).status != HeaderStatus::Ok) break;
      at = m.dataOffset + m.packedSize;
      idx.add(m);
    }
    idx.end = at;
  }
  statIdentity(idx.hostPath, idx);
}

void ArchiveWriter::rewrite(const std::string& hostPath, const ArchiveIndex* old,
                            const std::vector<bool>& drop, const std::vector<NewMember>& add,
                            const std::string& stubBytes) {
  TempArchive tmp;
  std::string folder = hostParent(hostPath);
  {
    archive::FolderFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
      fail(archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE),
           "書庫のフォルダを開けません: " + folder);
    // What a killed run of this library left in the folder goes first.
    archive::removeStaleTemporaries(dir.fd);
    std::string name;
    tmp.fd = archive::createTemporary(dir.fd, name);
    if (tmp.fd < 0)
      fail(archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE),
           std::string("書庫を作れません (") + archive::errnoText(errno) + "): " + hostPath);
    tmp.path = folder + "/" + name;
  }
  fchmod(tmp.fd, archive::writtenMode(0666));
  uint64_t pos = 0;
  if (!stubBytes.empty()) {
    writeAt(tmp.fd, stubBytes.data(), stubBytes.size(), 0);
    pos = stubBytes.size();
  }
  if (old) {
    int ofd = open(old->hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (ofd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + old->hostPath);
    struct stat st {};
    fstat(ofd, &st);
    fchmod(tmp.fd, st.st_mode & 07777);
    try {
      if (stubBytes.empty() && old->start > 0) {
        copyRange(ofd, 0, tmp.fd, 0, old->start);
        pos = old->start;
      }
      for (size_t i = 0; i < old->members.size(); ++i) {
        if (i < drop.size() && drop[i]) continue;
        const MemberRecord& m = old->members.record(i);
        uint64_t len = m.headerSize + m.packedSize;
        copyRange(ofd, m.headerOffset, tmp.fd, pos, len);
        pos += len;
      }
    } catch (...) {
      close(ofd);
      throw;
    }
    close(ofd);
  }
  for (const NewMember& m : add) pos = writeNamed(tmp.fd, pos, m, false, nullptr);
  unsigned char marker = 0;
  writeAt(tmp.fd, &marker, 1, pos);
  // An encoder that gave up may have written past the stored copy of the last member.
  if (ftruncate(tmp.fd, static_cast<off_t>(pos + 1)) != 0) fail(ZV_ERROR_WRITE, "書き込めません");
  syncOrFail(tmp.fd);
  if (close(tmp.fd) != 0) {
    tmp.fd = -1;
    fail(ZV_ERROR_WRITE, "書き込めません");
  }
  tmp.fd = -1;
  if (rename(tmp.path.c_str(), hostPath.c_str()) != 0)
    fail(archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE),
         std::string("書庫を置けません (") + archive::errnoText(errno) + "): " + hostPath);
  tmp.keep = true;
  int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  forgetIndex(hostPath);
}

}  // namespace zv::lzh
