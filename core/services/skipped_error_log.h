// A listener for the program that writes every runtime error a step skips to standard error
// (number, meaning, window, detail) and lets the step skip it, so a skipped error leaves a trace.
#pragma once
#include <functional>
#include <string>

#include "core/services/skipped_errors.h"

namespace zv {

// `window` names the window whose handler is running ("" outside any handler).
SkippedErrorListener skippedErrorLog(std::function<std::string()> window);

}  // namespace zv
