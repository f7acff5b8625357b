#include "qt/message_box.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>

#include "qt/accessibility.h"
#include "qt/text_fit.h"

namespace zv::qt {

MessageBox::MessageBox(Icon icon, const QString& title, const QString& text)
    : QMessageBox(icon, title, breakableAtSeparators(text)), plain_(text) {
  // Assistive technology reads the box and its label through plainText(), not the label.
  installAccessibility();
  setAccessibleName(title);
  setAccessibleDescription(text);
  auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label) label->setAccessibleName(text);
  renewAccessibility(this);
  renewAccessibility(label);
}

QString MessageBox::copiedText() const {
  auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label && label->hasSelectedText()) return withoutBreakMarks(label->selectedText());
  const QString rule = QStringLiteral("---------------------------\n");
  QString out = rule + windowTitle() + u'\n' + rule + plain_ + u'\n' + rule;
  for (QAbstractButton* b : buttons()) out += b->text() + QStringLiteral("   ");
  return out + u'\n' + rule;
}

void MessageBox::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(copiedText());
    e->accept();
    return;
  }
  QMessageBox::keyPressEvent(e);
}

}  // namespace zv::qt
