// x (extract with folders), e (extract names only), t (test every member's CRC).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "archive_index.h"
#include "commands.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "member_io.h"
#include "path_gate.h"
#include "wildcard.h"

namespace zv::lzh {
namespace {

// Errors after which the run cannot usefully go on with the next member.
bool endsRun(int code) {
  return code == ZV_ERROR_DISK_SPACE || code == ZV_ERROR_WRITE || code == ZV_ERROR_USER_CANCEL ||
         code == ZV_ERROR_MEMORY || code == ZV_ERROR_CANNOT_OPEN;
}

unsigned fileMode(const Member& m) {
  if (m.hasUnixMode && (m.unixMode & 0777) != 0) return m.unixMode & 0777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// A stored root ("\dir\a.txt", as some Windows tools write) or drive letter is dropped, so
// such names land inside the destination as the other readers place them; ".." is refused.
std::vector<std::string> relativeParts(std::vector<std::string> parts) {
  if (!parts.empty() && parts.front().size() == 2 && parts.front()[1] == ':' &&
      std::isalpha(static_cast<unsigned char>(parts.front()[0])))
    parts.erase(parts.begin());
  return parts;
}

void extractOne(const Member& m, const std::vector<std::string>& stored, Destination& dest,
                int archiveFd, RunContext& ctx) {
  std::vector<std::string> parts = relativeParts(stored);
  std::string why = unsafeReason(parts, false);
  if (!why.empty()) fail(ZV_ERROR_UNSAFE_NAME, "危険な名前なので解凍しません (" + why + "): " + m.path);
  if (m.isFolder) {
    dest.makeFolders(parts);
    return;
  }
  int parent = dest.openParent(parts);
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{parent};
  const std::string& name = parts.back();
  if (m.isSymlink) {
    if (!linkTargetStaysInside(parts, m.linkTarget))
      fail(ZV_ERROR_UNSAFE_NAME, "解凍先の外を指すリンクなので作りません: " + m.path + " -> " + m.linkTarget);
    struct stat st {};
    if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISDIR(st.st_mode)) fail(ZV_ERROR_CANNOT_CREATE, "同じ名前のフォルダがあります: " + m.path);
      unlinkat(parent, name.c_str(), 0);
    }
    if (symlinkat(m.linkTarget.c_str(), parent, name.c_str()) != 0)
      fail(ZV_ERROR_CANNOT_CREATE, "リンクを作れません: " + m.path);
    return;
  }
  PendingFile out(parent, name);
  decodeMember(archiveFd, m, out.fd(), ctx);
  out.commit(fileMode(m), static_cast<long>(m.mtime));
}

}  // namespace

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
  std::vector<const Member*> chosen;
  std::vector<bool> taken(idx->members.size(), false);
  std::vector<std::string> scan;
  for (const std::string& p : patterns) {
    const Member* m = hasWildcard(p) ? nullptr : idx->find(p);
    if (m && !m->isFolder) {
      taken[static_cast<size_t>(m - idx->members.data())] = true;
    } else {
      scan.push_back(p);
    }
  }
  for (size_t i = 0; i < idx->members.size(); ++i) {
    const Member& m = idx->members[i];
    bool take = patterns.empty() || taken[i];
    for (size_t k = 0; !take && k < scan.size(); ++k) take = selectsMember(scan[k], m.path);
    if (take) {
      chosen.push_back(&m);
      ctx.total += m.originalSize;
    }
  }
  int result = 0;
  if (idx->damaged) {
    ctx.out.line("書庫が壊れています: " + idx->problem);
    result = ZV_ERROR_BROKEN_ARCHIVE;
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
  std::unique_ptr<Destination> dest;
  if (cmd.verb != 't') dest = std::make_unique<Destination>(destArg.empty() ? "." : toHostPath(destArg));

  ctx.begin();
  int ok = 0;
  for (const Member* m : chosen) {
    ctx.member(m->path);
    try {
      if (cmd.verb == 't') {
        if (!m->isFolder && !m->isSymlink) decodeMember(afd, *m, -1, ctx);
        ctx.out.line("正常: " + m->path);
      } else {
        std::vector<std::string> parts = m->parts;
        if (cmd.verb == 'e') {
          if (m->isFolder) continue;
          if (!parts.empty()) parts = {parts.back()};
        }
        extractOne(*m, parts, *dest, afd, ctx);
        ctx.out.line("解凍: " + m->path);
      }
      ++ok;
    } catch (const LzhError& e) {
      ctx.out.line(std::string("エラー: ") + e.what());
      if (endsRun(e.code())) throw;
      if (!result) result = e.code();
    }
  }
  ctx.end();
  ctx.out.line(std::to_string(ok) + " 個のファイルを" + (cmd.verb == 't' ? "検査しました" : "解凍しました"));
  return result;
}

}  // namespace zv::lzh
