// Statement-level error skipping: runs the steps of a handler one by one; a step that fails
// with a runtime error is abandoned, its error number recorded, and the next step runs.
#pragma once
#include <exception>
#include <new>
#include <utility>

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
      err_ = e.number();
    } catch (const std::bad_alloc&) {
      err_ = kErrOutOfMemory;
    } catch (const std::exception&) {
      err_ = kErrInvalidCall;
    }
    return false;
  }
  // Number of the most recent failure, 0 when none since the last clear().
  int err() const { return err_; }
  void clear() { err_ = 0; }

 private:
  int err_ = 0;
};

}  // namespace zv
