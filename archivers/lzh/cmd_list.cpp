// l (short listing) and v (verbose listing), optionally limited to matching members.
#include "archive_index.h"
#include "commands.h"
#include "listing_text.h"
#include "lzh_paths.h"
#include "wildcard.h"

namespace zv::lzh {

int listArchive(RunContext& ctx) {
  std::string archive = archiveHostPath(ctx.cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive, ctx.cmd.names);
  std::vector<uint32_t> shown;
  for (size_t i = 0; i < idx->members.size(); ++i) {
    bool take = ctx.cmd.args.empty();
    for (const std::string& p : ctx.cmd.args)
      if (selectsMember(p, idx->members.path(i)) || selectsMember(p, idx->members.matchPath(i)))
        take = true;
    if (take) shown.push_back(static_cast<uint32_t>(i));
  }
  // Line by line: its line count is what callers rely on.
  auto line = [&](const std::string& text) { ctx.out.line(text); };
  if (ctx.cmd.verb == 'v')
    verboseListing(ctx.archiveText, idx->members, shown, line,
                   namesText(idx->requested, idx->decided));
  else
    shortListing(ctx.archiveText, idx->members, shown, line);
  return idx->damaged ? ZV_ERROR_BROKEN_ARCHIVE : 0;
}

}  // namespace zv::lzh
