#include "qt/dispatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <new>
#include <utility>

#include "core/forms/registry.h"
#include "core/messages/runtime_errors.h"
#include "platform/runtime_error.h"

namespace zv::qt {

namespace {

void showError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kRuntimeErrorTitle),
                  QString::fromStdString(text), QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
}

}  // namespace

void Dispatcher::run(const std::function<void()>& action, const std::string& window) {
  ++depth_;
  std::string outer = std::exchange(window_, window);
  try {
    action();
  } catch (const RuntimeError& e) {
    showError(runtimeErrorText(e.number(), e.what()));
  } catch (const std::bad_alloc&) {
    showError(runtimeErrorText(kErrOutOfMemory, ""));
  } catch (const std::exception& e) {
    showError(unexpectedErrorText(e.what()));
  }
  window_ = std::move(outer);
  --depth_;
  // A window may unload itself in its own handler; it is destroyed only when no handler of
  // any window is still running.
  if (depth_ == 0) forms_.collect();
}

}  // namespace zv::qt
