// d: removes the matching members by rewriting the archive without them.
#include <memory>

#include "archive_index.h"
#include "archive_writer.h"
#include "commands.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "wildcard.h"

namespace zv::lzh {

int deleteMembers(RunContext& ctx) {
  if (ctx.cmd.args.empty()) fail(ZV_ERROR_NO_FILES, "削除するファイルが指定されていません");
  std::string archive = archiveHostPath(ctx.cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive);
  if (idx->damaged) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れているので書き換えません: " + archive);
  std::vector<bool> drop(idx->members.size(), false);
  size_t count = 0;
  for (size_t i = 0; i < idx->members.size(); ++i) {
    for (const std::string& p : ctx.cmd.args) {
      if (selectsMember(p, idx->members[i].path)) {
        drop[i] = true;
        ++count;
        ctx.out.line("削除: " + idx->members[i].path);
        break;
      }
    }
  }
  if (count == 0) fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
  ArchiveWriter writer(ctx, WriteOptions{});
  writer.rewrite(archive, idx.get(), drop, {});
  return 0;
}

}  // namespace zv::lzh
