#include "core/services/skipped_error_log.h"

#include <cstdio>

#include "core/messages/runtime_errors.h"

namespace zv {

SkippedErrorListener skippedErrorLog(std::function<std::string()> window) {
  return [window = std::move(window)](int number, const std::string& what) {
    std::string where = window ? window() : std::string();
    std::fprintf(stderr, "zorvex32: skipped runtime error %d (%s) in %s: %s\n", number,
                 runtimeErrorMeaning(number), where.empty() ? "start-up" : where.c_str(),
                 what.c_str());
    return true;
  };
}

}  // namespace zv
