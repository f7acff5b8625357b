// The commands run by Unlha. Each throws LzhError for a failure that ends the run, or
// returns a result (0, or the first error met while the run went on).
#pragma once
#include "run_context.h"

namespace zv::lzh {

int runCommand(RunContext& ctx);

int addFiles(RunContext& ctx);           // a, u, m
int extractMembers(RunContext& ctx);     // x, e
int rescueMembers(RunContext& ctx);      // t, and x / e with -jr: past damage, a line per member
int listArchive(RunContext& ctx);        // l, v
int deleteMembers(RunContext& ctx);      // d
int makeSelfExtractor(RunContext& ctx);  // s

}  // namespace zv::lzh
