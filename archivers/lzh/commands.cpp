#include "commands.h"

#include "lzh_error.h"

namespace zv::lzh {

int runCommand(RunContext& ctx) {
  switch (ctx.cmd.verb) {
    case 'a':
    case 'u':
    case 'm':
      return addFiles(ctx);
    case 'x':
    case 'e':
      return ctx.cmd.rescue ? rescueMembers(ctx) : extractMembers(ctx);
    case 't':
      return rescueMembers(ctx);
    case 'l':
    case 'v':
      return listArchive(ctx);
    case 'd':
      return deleteMembers(ctx);
    case 's':
      return makeSelfExtractor(ctx);
    default:
      fail(ZV_ERROR_COMMAND, "知らないコマンドです");
  }
}

}  // namespace zv::lzh
