// l (short listing) and v (verbose listing), optionally limited to matching members.
#include "archive_index.h"
#include "commands.h"
#include "listing_text.h"
#include "lzh_paths.h"
#include "wildcard.h"

namespace zv::lzh {

int listArchive(RunContext& ctx) {
  std::string archive = archiveHostPath(ctx.cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive);
  std::vector<Member> shown;
  for (const Member& m : idx->members) {
    bool take = ctx.cmd.args.empty();
    for (const std::string& p : ctx.cmd.args)
      if (selectsMember(p, m.path)) take = true;
    if (take) shown.push_back(m);
  }
  std::string text = ctx.cmd.verb == 'v' ? verboseListing(ctx.archiveText, shown)
                                         : shortListing(ctx.archiveText, shown);
  // The text goes out as it is: its line count is what callers rely on.
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    ctx.out.line(text.substr(start, lf - start));
    start = lf + 1;
  }
  return idx->damaged ? ZV_ERROR_BROKEN_ARCHIVE : 0;
}

}  // namespace zv::lzh
