// Statement-level error skipping: runs the steps of a handler one by one; a step that fails
// with one of the program's numbered runtime errors is abandoned, its error number recorded,
// and the next step runs. Anything else (a mistyped control name, a broken invariant) is a
// fault of the program and escapes to the caller.
#pragma once
#include <new>
#include <string>
#include <utility>

#include "core/services/skipped_errors.h"
#include "platform/runtime_error.h"

namespace zv {

class Steps {
 public:
  // Runs one step; true when it completed.
  template <class F>
  bool operator()(F&& step) {
    try {
      std::forward<F>(step)();
      return true;
    } catch (const RuntimeError& e) {
      if (!skip(e.number(), e.what())) throw;
      err_ = e.number();
    } catch (const std::bad_alloc&) {
      if (!skip(kErrOutOfMemory, "out of memory")) throw;
      err_ = kErrOutOfMemory;
    }
    return false;
  }
  // Number of the most recent failure, 0 when none since the last clear().
  int err() const { return err_; }
  void clear() { err_ = 0; }

 private:
  static bool skip(int number, const std::string& what) {
    auto& listener = skippedErrorListener();
    return !listener || listener(number, what);
  }
  int err_ = 0;
};

}  // namespace zv
