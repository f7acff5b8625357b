// While a modal question is up: the pointer is an arrow even in the middle of a busy run, and
// afterwards the keys go back to the window that asked, as a window manager would do (and
// where none runs, nothing else would).
#pragma once
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace zv::qt {

class ModalQuestion {
 public:
  explicit ModalQuestion(bool busy) : busy_(busy), asking_(QApplication::activeWindow()) {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  ~ModalQuestion() {
    if (asking_ && asking_->isVisible()) asking_->activateWindow();
    if (busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ModalQuestion(const ModalQuestion&) = delete;
  ModalQuestion& operator=(const ModalQuestion&) = delete;

 private:
  bool busy_;
  QPointer<QWidget> asking_;
};

}  // namespace zv::qt
