// a (add, replacing members of the same name), u (only new or newer files), m (add, then
// delete the sources once the archive is safely in place).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archive_writer.h"
#include "commands.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "name_codec.h"
#include "source_files.h"
#include "write_gate.h"

namespace zv::lzh {
namespace {

const char* methodName(int m) {
  switch (m) {
    case 0:
      return "-lh0-";
    case 6:
      return "-lh6-";
    case 7:
      return "-lh7-";
    default:
      return "-lh5-";
  }
}

// A file is newer than a member when its time is later than the stored one; level 0/1
// headers keep two-second steps.
bool fileIsNewer(const NewMember& f, const Member& m) {
  std::time_t slack = m.level < 2 ? 1 : 0;
  return f.mtime > m.mtime + slack;
}

std::string pathOf(const NewMember& n) { return displayPath(n.parts, false, n.folder); }

// Removes the source files that are now stored in the archive. A file that stays makes the
// move incomplete: its error number is returned (the archive itself is fine).
int deleteSources(const std::vector<NewMember>& moved, OutputText& out) {
  int result = 0;
  for (const NewMember& n : moved) {
    if (n.folder || unlink(n.sourceHost.c_str()) == 0) continue;
    int e = errno;
    out.line("エラー: 格納しましたが元のファイルを削除できません (" + archive::errnoText(e) +
             "): " + n.sourceHost);
    if (!result) result = archive::errorFromErrno(e, ZV_ERROR_WRITE);
  }
  return result;
}

}  // namespace

int addFiles(RunContext& ctx) {
  const Command& cmd = ctx.cmd;
  std::string archive = archiveHostPath(cmd.archive);
  struct stat ast {};
  bool exists = stat(archive.c_str(), &ast) == 0;
  if (exists && !S_ISREG(ast.st_mode))
    fail(ZV_ERROR_CANNOT_CREATE, "書庫の名前がフォルダです: " + archive);
  if (cmd.args.empty()) fail(ZV_ERROR_NO_FILES, "格納するファイルが指定されていません");
  if (!exists) {
    // A new archive may name a folder that is not there yet: create it, as the user chose it.
    std::string folder = hostParent(archive);
    for (size_t i = 1; i <= folder.size(); ++i)
      if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0777);
  }

  SourceFiles src = collectSources(cmd, exists ? ast.st_dev : 0, exists ? ast.st_ino : 0);
  for (const std::string& miss : src.missing) ctx.out.line("ファイルが見つかりません: " + miss);
  if (src.items.empty()) fail(ZV_ERROR_NO_FILES, "格納するファイルがありません");

  std::shared_ptr<ArchiveIndex> idx;
  if (exists && ast.st_size > 0) {
    idx = std::const_pointer_cast<ArchiveIndex>(loadIndex(archive));
    if (idx->damaged)
      fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れているので書き換えません: " + archive);
  }

  // Which files go in, and which stored members they replace.
  std::vector<NewMember> add;
  std::vector<bool> drop(idx ? idx->members.size() : 0, false);
  bool replaces = false;
  for (NewMember& n : src.items) {
    size_t at = idx ? idx->find(pathOf(n)) : ArchiveIndex::kNotFound;
    if (at != ArchiveIndex::kNotFound) {
      const Member old = idx->members[at];
      if (n.folder || old.isFolder) continue;  // a folder entry is kept as it is
      if (cmd.verb == 'u' && !fileIsNewer(n, old)) {
        ctx.out.line("新しくないので更新しません: " + pathOf(n));
        continue;
      }
      // Only the member found (and copies of exactly its name): Case.TXT stays when case.txt
      // is replaced.
      for (size_t i = 0; i < idx->members.size(); ++i)
        if (samePath(idx->members.path(i), old.path)) drop[i] = true;
      replaces = true;
    }
    ctx.total += n.size;
    add.push_back(std::move(n));
  }
  if (add.empty()) {
    ctx.out.line("格納するファイルはありません");
    return 0;
  }

  ctx.begin();
  ArchiveWriter writer(
      ctx, WriteOptions{methodName(cmd.method), cmd.level, cmd.verb == 'm', cmd.packLevel});
  // Appending keeps a large archive from being copied once per added file. Anything behind
  // the end marker (what an interrupted append left) is cut off either way.
  if (idx && !replaces) {
    // The kept index is extended in place unless a listing still holds it (the cache and
    // `idx` are two holders): copying it would make each added file cost the whole archive.
    std::shared_ptr<ArchiveIndex> target =
        idx.use_count() > 2 ? std::make_shared<ArchiveIndex>(*idx) : idx;
    writer.append(*target, add);
    rememberIndex(target);
  } else {
    writer.rewrite(archive, idx.get(), drop, add);
  }
  for (const NewMember& n : add) ctx.out.line((n.folder ? "フォルダ: " : "格納: ") + pathOf(n));
  ctx.end();

  return cmd.verb == 'm' ? deleteSources(add, ctx.out) : 0;
}

}  // namespace zv::lzh
