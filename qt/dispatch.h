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

  // Runs `action`; nested calls (from a message box's own event loop) are allowed.
  void run(const std::function<void()>& action);
  // True while some action is running.
  bool busy() const { return depth_ > 0; }

 private:
  FormRegistry& forms_;
  int depth_ = 0;
};

// The text shown for a runtime error number ("実行時エラー '53':" and what it means).
std::string runtimeErrorText(int number, const std::string& detail);

}  // namespace zv::qt
