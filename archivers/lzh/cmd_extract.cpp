// x (extract with folders), e (extract names only), t (test every member's CRC).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "archive_index.h"
#include "commands.h"
#include "extract_member.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "member_io.h"
#include "wildcard.h"
#include "write_gate.h"

namespace zv::lzh {
namespace {

// Errors after which the run cannot usefully go on with the next member.
bool endsRun(int code) {
  return code == ZV_ERROR_DISK_SPACE || code == ZV_ERROR_WRITE || code == ZV_ERROR_USER_CANCEL ||
         code == ZV_ERROR_MEMORY || code == ZV_ERROR_CANNOT_OPEN;
}

// The stored permissions, or read and write for everyone; the gate applies the umask.
mode_t fileMode(const Member& m) {
  if (m.hasUnixMode && (m.unixMode & 0777) != 0) return m.unixMode & 0777;
  return 0666;
}

// Fails with the archiver error for errno, naming the member and the cause.
[[noreturn]] void failWrite(const std::string& what, const std::string& path, int fallback) {
  int e = errno;
  int code =
      e == ELOOP || e == ENOTDIR ? ZV_ERROR_UNSAFE_NAME : archive::errorFromErrno(e, fallback);
  if (code == ZV_ERROR_UNSAFE_NAME)
    fail(code, "シンボリックリンクかファイルがフォルダの位置にあります: " + path);
  fail(code, what + " (" + std::strerror(e) + "): " + path);
}

}  // namespace

void extractOne(const Member& m, const std::vector<std::string>& stored, archive::Destination& dest,
                archive::WriteBatch& batch, ArchiveReader& reader, RunContext& ctx) {
  // A stored root is gone with the empty components; a stored drive is dropped, ".." refused.
  std::vector<std::string> parts = archive::withoutStoredDrive(stored);
  archive::NameProblem problem = archive::checkParts(parts);
  if (problem != archive::NameProblem::None)
    fail(ZV_ERROR_UNSAFE_NAME, std::string("危険な名前なので解凍しません (") +
                                   archive::describe(problem) + "): " + m.path);
  if (m.isFolder) {
    // Kept open: the members that follow a folder usually lie in it.
    if (dest.cachedFolder(parts, parts.size()) < 0)
      failWrite("フォルダを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
    return;
  }
  int parent = dest.cachedFolder(parts, parts.size() - 1);
  if (parent < 0) failWrite("フォルダを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
  const std::string& name = parts.back();
  if (m.isSymlink) {
    if (!dest.linkResolvesInside(parts, m.linkTarget))
      fail(ZV_ERROR_UNSAFE_NAME,
           "解凍先の外を指すリンクなので作りません: " + m.path + " -> " + m.linkTarget);
    if (!archive::placeLink(parent, name, m.linkTarget))
      failWrite("リンクを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
    return;
  }
  archive::AtomicFile out(parent, name, &batch);
  if (!out.ok()) {
    errno = out.error();
    failWrite("ファイルを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
  }
  decodeMember(reader, m, out.fd(), ctx);
  if (!out.commit(fileMode(m), static_cast<std::time_t>(m.mtime))) {
    errno = out.error();
    if (errno == EISDIR) fail(ZV_ERROR_CANNOT_CREATE, "同じ名前のフォルダがあります: " + m.path);
    failWrite("書き込めません", m.path, ZV_ERROR_WRITE);
  }
}

int extractMembers(RunContext& ctx) {
  const Command& cmd = ctx.cmd;
  std::string archive = archiveHostPath(cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive);
  std::vector<std::string> patterns = cmd.args;
  std::string destArg;
  if (cmd.verb != 't' && !patterns.empty() && endsWithSeparator(patterns.front())) {
    destArg = patterns.front();
    patterns.erase(patterns.begin());
  }
  // Names without wildcards (what the windows pass, one or many) are found through the kept
  // index; only patterns and folder names are matched against every member.
  std::vector<uint32_t> chosen;
  std::vector<bool> taken(idx->members.size(), false);
  std::vector<std::string> scan;
  for (const std::string& p : patterns) {
    size_t at = hasWildcard(p) ? ArchiveIndex::kNotFound : idx->find(p);
    if (at != ArchiveIndex::kNotFound && !idx->members.record(at).is(MemberRecord::kFolder)) {
      taken[at] = true;
    } else {
      scan.push_back(p);
    }
  }
  for (size_t i = 0; i < idx->members.size(); ++i) {
    bool take = patterns.empty() || taken[i];
    for (size_t k = 0; !take && k < scan.size(); ++k)
      take = selectsMember(scan[k], idx->members.path(i));
    if (take) {
      chosen.push_back(static_cast<uint32_t>(i));
      ctx.total += idx->members.record(i).originalSize;
    }
  }
  int result = 0;
  if (idx->damaged) {
    ctx.out.line("書庫が壊れています: " + idx->problem);
    result = ZV_ERROR_BROKEN_ARCHIVE;
  } else if (cmd.verb == 't' && idx->fileSize > idx->end + 1) {
    // Bytes behind the end marker (an interrupted add leaves them) are not members.
    ctx.out.line("書庫の終わりの後に " + std::to_string(idx->fileSize - idx->end - 1) +
                 " バイトの余分なデータがあります");
  }
  if (chosen.empty()) {
    if (result) return result;
    fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
  }

  int afd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
  if (afd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + archive);
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{afd};
  ArchiveReader reader(afd);
  std::unique_ptr<archive::Destination> dest;
  if (cmd.verb != 't') {
    std::string folder = destArg.empty() ? "." : toHostPath(destArg);
    dest = std::make_unique<archive::Destination>(folder);
    if (!dest->ok()) {
      errno = dest->error();
      failWrite("解凍先フォルダを作れません", folder, ZV_ERROR_CANNOT_CREATE);
    }
  }

  // New files are flushed together at the end of the run (see AtomicFile::commit).
  archive::WriteBatch batch;
  ctx.begin();
  int ok = 0;
  for (uint32_t i : chosen) {
    // Rebuilt one at a time: the index keeps only the compact form.
    const Member member = idx->members[i];
    const Member* m = &member;
    ctx.member(m->path);
    try {
      if (cmd.verb == 't') {
        if (!m->isFolder && !m->isSymlink) decodeMember(reader, *m, -1, ctx);
        ctx.out.line("正常: " + m->path);
      } else {
        std::vector<std::string> parts = m->parts;
        if (cmd.verb == 'e') {
          if (m->isFolder) continue;
          if (!parts.empty()) parts = {parts.back()};
        }
        extractOne(*m, parts, *dest, batch, reader, ctx);
        ctx.out.line("解凍: " + m->path);
      }
      ++ok;
    } catch (const LzhError& e) {
      // One line per failure, naming the member; one that ends the run is printed by the
      // caller.
      LzhError named = naming(e, m->path);
      if (endsRun(e.code())) throw named;
      ctx.out.line(std::string("エラー: ") + named.what());
      if (!result) result = e.code();
    }
  }
  if (!batch.finish()) failWrite("書き込めません", dest ? dest->path() : archive, ZV_ERROR_WRITE);
  ctx.end();
  ctx.out.line(std::to_string(ok) + " 個のファイルを" +
               (cmd.verb == 't' ? "検査しました" : "解凍しました"));
  return result;
}

}  // namespace zv::lzh
