// Runs the window logic for one user action: a runtime error escaping a handler is shown to
// the user instead of ending the program, and windows unloaded by the action are destroyed
// once the outermost action has finished.
#pragma once
#include <functional>
#include <string>

namespace zv {
class FormRegistry;
}

namespace zv::qt {

class Dispatcher {
 public:
  explicit Dispatcher(FormRegistry& forms) : forms_(forms) {}

  // Runs `action` of the window `window`; nested calls (from a message box's own event loop)
  // are allowed.
  void run(const std::function<void()>& action, const std::string& window = {});
  // The window whose action is running ("" outside any action).
  const std::string& currentWindow() const { return window_; }
  // True while some action is running.
  bool busy() const { return depth_ > 0; }

 private:
  FormRegistry& forms_;
  int depth_ = 0;
  std::string window_;
};

}  // namespace zv::qt
