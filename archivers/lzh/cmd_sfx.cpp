#include "commands.h"
#include "lzh_error.h"

namespace zv::lzh {

int makeSelfExtractor(RunContext& ctx) {
  fail(ZV_ERROR_COMMAND, "自己解凍書庫はまだ作れません");
}

}  // namespace zv::lzh
