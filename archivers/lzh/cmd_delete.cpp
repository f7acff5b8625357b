// d: removes the matching members by rewriting the archive without them.
#include <memory>

#include "archive_index.h"
#include "archive_writer.h"
#include "commands.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "wildcard.h"

namespace zv::lzh {
namespace {

// The name selects the member (itself, or a folder above it) with its case as written.
bool selectsExactly(const std::string& name, const std::string& memberPath) {
  std::string p = name, m = memberPath;
  for (char& c : p) c = c == '/' ? '\\' : c;
  for (char& c : m) c = c == '/' ? '\\' : c;
  while (!p.empty() && p.front() == '\\') p.erase(0, 1);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  while (!m.empty() && m.front() == '\\') m.erase(0, 1);
  return m == p || (m.size() > p.size() && m.compare(0, p.size(), p) == 0 && m[p.size()] == '\\');
}

}  // namespace

int deleteMembers(RunContext& ctx) {
  if (ctx.cmd.args.empty()) fail(ZV_ERROR_NO_FILES, "削除するファイルが指定されていません");
  std::string archive = archiveHostPath(ctx.cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive);
  if (idx->damaged) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れているので書き換えません: " + archive);
  // A name without wildcards that some member has in exactly that case selects only the
  // members of that case: d "Case.TXT" leaves case.txt.
  std::vector<bool> exact(ctx.cmd.args.size(), false);
  for (size_t k = 0; k < exact.size(); ++k) {
    const std::string& p = ctx.cmd.args[k];
    if (hasWildcard(p)) continue;
    for (size_t i = 0; i < idx->members.size(); ++i) {
      std::string path(idx->members.path(i));
      exact[k] = exact[k] || (selectsMember(p, path) && selectsExactly(p, path));
    }
  }
  std::vector<bool> drop(idx->members.size(), false);
  size_t count = 0;
  for (size_t i = 0; i < idx->members.size(); ++i) {
    for (size_t k = 0; k < exact.size(); ++k) {
      const std::string& p = ctx.cmd.args[k];
      std::string path(idx->members.path(i));
      if (selectsMember(p, path) && (!exact[k] || selectsExactly(p, path))) {
        drop[i] = true;
        ++count;
        break;
      }
    }
  }
  if (count == 0) fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
  ArchiveWriter writer(ctx, WriteOptions{});
  // The removed members are named only once the archive without them is in place.
  std::vector<std::string> removed;
  for (size_t i = 0; i < drop.size(); ++i)
    if (drop[i]) removed.emplace_back(idx->members.path(i));
  writer.rewrite(archive, idx.get(), drop, {});
  for (const std::string& path : removed) ctx.out.line("削除: " + path);
  return 0;
}

}  // namespace zv::lzh
