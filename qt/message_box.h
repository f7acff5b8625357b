// The program's message box: a long path in its text wraps at the folders, while what a
// screen reader reads and what Ctrl+C copies is the text exactly as the program wrote it.
#pragma once
#include <QMessageBox>

namespace zv::qt {

class MessageBox : public QMessageBox {
 public:
  MessageBox(Icon icon, const QString& title, const QString& text);

  // The text without the break marks the shown label carries.
  const QString& plainText() const { return plain_; }
  // What Ctrl+C puts on the clipboard: the selected part of the text when some is selected,
  // else title, text and buttons, each between rules.
  QString copiedText() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QString plain_;
};

}  // namespace zv::qt
