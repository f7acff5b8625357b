// Who hears of a runtime error that a step (core/forms/steps.h) is about to skip. The program
// logs each one to standard error and skips it, as the windows expect (skipped_error_log.h);
// the test double of the services listens, so that an error no test expected fails that test.
#pragma once
#include <functional>
#include <string>

namespace zv {

// Answers false to let the error escape the step instead of being skipped.
using SkippedErrorListener = std::function<bool(int number, const std::string& what)>;

inline SkippedErrorListener& skippedErrorListener() {
  static SkippedErrorListener listener;
  return listener;
}

}  // namespace zv
