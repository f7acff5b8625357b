// Files dropped on a window by another program.
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include "qt/file_exchange.h"
#include "qt/form_window.h"

namespace zv::qt {

bool FormWindow::filesDropEvent(QDropEvent* event, Control* control) {
  Form* form = form_;
  if (!form) return true;
  if (control && !control->onFilesDropped) control = nullptr;
  if (!control && !form->onFilesDropped) {
    if (event->type() != QEvent::Drop) event->ignore();
    return true;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (event->type() != QEvent::Drop) return true;
  std::vector<std::string> paths = filesIn(event->mimeData());
  QPointer<FormWindow> self(this);
  QTimer::singleShot(0, this, [self, form, control, paths] {
    if (!self || self->detached()) return;
    self->dispatch([&] {
      if (control)
        control->filesDropped(paths);
      else if (form->onFilesDropped)
        form->onFilesDropped(paths);
    });
  });
  return true;
}

}  // namespace zv::qt
