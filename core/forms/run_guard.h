// One archive run of a window flow (extraction, quick extraction, restore, creation): the
// flow hides its windows while the run goes on. A fault that no step handles and that leaves
// the run half way must not leave the user with nothing on screen: leaving the run by an
// exception clears the run flag and the busy pointer, closes the wait window and shows the
// main menu when no other window is shown; the exception then goes on to the caller, which
// reports it.
#pragma once
#include <exception>

namespace zv {

class Form;

class RunGuard {
 public:
  // Sets the run flag.
  explicit RunGuard(Form& window);
  ~RunGuard();
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  Form& window_;
  int exceptions_ = std::uncaught_exceptions();
};

}  // namespace zv
