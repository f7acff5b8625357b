// x (extract with folders), e (extract names only), t (test every member's CRC).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

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
  fail(code, what + " (" + archive::errnoText(e) + "): " + path);
}

}  // namespace

void extractOne(const Member& m, const std::vector<std::string>& stored, archive::Destination& dest,
                const archive::WriteBatch& batch, ArchiveReader& reader, RunContext& ctx) {
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

std::string extractDamaged(const Member& m, const std::vector<std::string>& stored,
                           archive::Destination& dest, const archive::WriteBatch& batch,
                           ArchiveReader& reader, RunContext& ctx) {
  std::vector<std::string> parts = archive::withoutStoredDrive(stored);
  archive::NameProblem problem = archive::checkParts(parts);
  if (problem != archive::NameProblem::None)
    fail(ZV_ERROR_UNSAFE_NAME, std::string("危険な名前なので解凍しません (") +
                                   archive::describe(problem) + "): " + m.path);
  int parent = dest.cachedFolder(parts, parts.size() - 1);
  if (parent < 0) failWrite("フォルダを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
  archive::AtomicFile out(parent, parts.back(), &batch);
  if (!out.ok()) {
    errno = out.error();
    failWrite("ファイルを作れません", m.path, ZV_ERROR_CANNOT_CREATE);
  }
  // A member cut short is decoded from the bytes the file still holds: reading past its end
  // gives nothing more, as for a stream that stops short.
  Member held = m;
  held.truncated = false;
  try {
    decodeMember(reader, held, out.fd(), ctx);
  } catch (const LzhError& e) {
    if (e.code() != ZV_ERROR_CRC && e.code() != ZV_ERROR_BROKEN_ARCHIVE) throw;
  }
  std::string placed;
  if (!out.commitMarked(fileMode(m), static_cast<std::time_t>(m.mtime), placed)) {
    errno = out.error();
    failWrite("書き込めません", m.path, ZV_ERROR_WRITE);
  }
  return placed;
}

namespace {

// One run's destination, reader and tally: extracts or tests one member at a time.
class MemberRun {
 public:
  MemberRun(RunContext& ctx, const std::string& archive, const std::string& destArg)
      : ctx_(ctx), verb_(ctx.cmd.verb) {
    afd_ = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    if (afd_ < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + archive);
    reader_ = std::make_unique<ArchiveReader>(afd_);
    if (verb_ != 't') {
      std::string folder = destArg.empty() ? "." : toHostPath(destArg);
      dest_ = std::make_unique<archive::Destination>(folder);
      if (!dest_->ok()) {
        errno = dest_->error();
        failWrite("解凍先フォルダを作れません", folder, ZV_ERROR_CANNOT_CREATE);
      }
    }
  }
  ~MemberRun() { close(afd_); }
  MemberRun(const MemberRun&) = delete;
  MemberRun& operator=(const MemberRun&) = delete;

  // A failure is one line naming the member; one that ends the run is thrown on.
  void take(const Member& m) {
    ctx_.member(m.path);
    try {
      if (verb_ == 't') {
        if (!m.isFolder && !m.isSymlink) decodeMember(*reader_, m, -1, ctx_);
        ctx_.out.line("正常: " + m.path);
      } else {
        std::vector<std::string> parts = m.parts;
        if (verb_ == 'e') {
          if (m.isFolder) return;
          if (!parts.empty()) parts = {parts.back()};
        }
        extractOne(m, parts, *dest_, batch_, *reader_, ctx_);
        ctx_.out.line("解凍: " + m.path);
      }
      ++ok_;
    } catch (const LzhError& e) {
      LzhError named = naming(e, m.path);
      if (endsRun(e.code())) throw named;
      ctx_.out.line(std::string("エラー: ") + named.what());
      if (!result_) result_ = e.code();
    }
  }
  void summary() {
    ctx_.out.line(std::to_string(ok_) + " 個のファイルを" +
                  (verb_ == 't' ? "検査しました" : "解凍しました"));
  }
  int result() const { return result_; }

 private:
  RunContext& ctx_;
  char verb_;
  int afd_ = -1;
  std::unique_ptr<ArchiveReader> reader_;
  std::unique_ptr<archive::Destination> dest_;
  archive::WriteBatch batch_;
  int ok_ = 0;
  int result_ = 0;
};

std::string trailingBytesLine(uint64_t fileSize, uint64_t end) {
  // Bytes behind the end marker (an interrupted add leaves them) are not members.
  return "書庫の終わりの後に " + std::to_string(fileSize - end - 1) +
         " バイトの余分なデータがあります";
}

// Everything, header by header, when no kept index is at hand and no progress is shown (a
// progress bar needs the total first): memory stays that of one member.
int takeEverything(RunContext& ctx, const std::string& archive, const std::string& destArg) {
  int fd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + archive);
  FileSource src(fd);  // closes fd
  NameReading reading = nameReadingFor(src, ctx.cmd.names);
  HeaderWalk walk(src);
  MemberRun run(ctx, archive, destArg);
  ctx.begin();
  Member m;
  size_t count = 0;
  while (walk.next(m)) {
    ++count;
    readNameAs(m, reading);
    run.take(m);
  }
  int result = run.result();
  if (walk.damaged()) {
    ctx.out.line("書庫が壊れています: " + walk.problem());
    result = ZV_ERROR_BROKEN_ARCHIVE;
  } else if (ctx.cmd.verb == 't' && src.size() > walk.end() + 1) {
    ctx.out.line(trailingBytesLine(src.size(), walk.end()));
  }
  if (count == 0) {
    if (result) return result;
    fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
  }
  ctx.end();
  run.summary();
  return result;
}

}  // namespace

int extractMembers(RunContext& ctx) {
  const Command& cmd = ctx.cmd;
  std::string archive = archiveHostPath(cmd.archive);
  std::vector<std::string> patterns = cmd.args;
  std::string destArg;
  if (cmd.verb != 't' && !patterns.empty() && endsWithSeparator(patterns.front())) {
    destArg = patterns.front();
    patterns.erase(patterns.begin());
  }
  std::shared_ptr<const ArchiveIndex> idx = keptIndex(archive, cmd.names);
  if (!idx && patterns.empty() && !ctx.reportsProgress())
    return takeEverything(ctx, archive, destArg);
  if (!idx) idx = loadIndex(archive, cmd.names);
  // Names without wildcards (what the windows pass, one or many) are found through the kept
  // index; only patterns and folder names are matched against every member, so a call for
  // one member costs the same in an archive of 100 000.
  std::vector<uint32_t> chosen;
  std::vector<std::string> scan;
  for (const std::string& p : patterns) {
    size_t at = hasWildcard(p) ? ArchiveIndex::kNotFound : idx->find(p);
    if (at != ArchiveIndex::kNotFound && !idx->members.record(at).is(MemberRecord::kFolder)) {
      chosen.push_back(static_cast<uint32_t>(at));
    } else {
      scan.push_back(p);
    }
  }
  if (patterns.empty() || !scan.empty()) {
    std::vector<bool> taken(idx->members.size(), false);
    for (uint32_t i : chosen) taken[i] = true;
    chosen.clear();
    for (size_t i = 0; i < idx->members.size(); ++i) {
      bool take = patterns.empty() || taken[i];
      for (size_t k = 0; !take && k < scan.size(); ++k)
        take = selectsMember(scan[k], idx->members.path(i)) ||
               selectsMember(scan[k], idx->members.matchPath(i));
      if (take) chosen.push_back(static_cast<uint32_t>(i));
    }
  } else {
    // Archive order, each member once, as the scan above gives them.
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  }
  for (uint32_t i : chosen) ctx.total += idx->members.record(i).originalSize;
  int result = 0;
  if (idx->damaged) {
    ctx.out.line("書庫が壊れています: " + idx->problem);
    result = ZV_ERROR_BROKEN_ARCHIVE;
  } else if (cmd.verb == 't' && idx->fileSize > idx->end + 1) {
    ctx.out.line(trailingBytesLine(idx->fileSize, idx->end));
  }
  if (chosen.empty()) {
    if (result) return result;
    fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
  }

  MemberRun run(ctx, archive, destArg);
  ctx.begin();
  // Rebuilt one at a time: the index keeps only the compact form.
  for (uint32_t i : chosen) run.take(idx->members[i]);
  ctx.end();
  run.summary();
  return result ? result : run.result();
}

}  // namespace zv::lzh
