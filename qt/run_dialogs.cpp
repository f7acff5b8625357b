// The dialogs a library run needs beyond message boxes: its progress with a cancel button,
// a question with buttons of its own, a password, and a few text fields at once. What they
// say comes from the caller.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/accessible_names.h"
#include "qt/fonts.h"
#include "qt/modal_question.h"
#include "qt/qt_services.h"

namespace zv::qt {

namespace {

QString fromUtf8(const std::string& s) { return QString::fromStdString(s); }

QPushButton* dialogButton(QDialogButtonBox& box, const char* caption,
                          QDialogButtonBox::ButtonRole role) {
  QPushButton* b = box.addButton(QString::fromUtf8(caption), role);
  b->setAccessibleName(QString::fromUtf8(caption));
  return b;
}

}  // namespace

std::optional<std::string> QtServices::passwordBox(const std::string& prompt,
                                                   const std::string& title) {
  QInputDialog dialog;
  dialog.setWindowTitle(fromUtf8(title));
  dialog.setLabelText(fromUtf8(prompt));
  dialog.setTextEchoMode(QLineEdit::Password);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("キャンセル"));
  ModalQuestion asked(busy_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

int QtServices::choiceBox(const std::string& text, const std::string& title,
                          const std::vector<std::string>& buttons, int defaultButton,
                          int escapeButton) {
  QMessageBox box(QMessageBox::Question, fromUtf8(title), fromUtf8(text));
  box.setFont(toQFont(FontSpec{}));
  std::vector<QPushButton*> made;
  for (size_t i = 0; i < buttons.size(); ++i) {
    auto role =
        static_cast<int>(i) == escapeButton ? QMessageBox::RejectRole : QMessageBox::ActionRole;
    made.push_back(box.addButton(fromUtf8(buttons[i]), role));
  }
  if (defaultButton >= 0 && defaultButton < static_cast<int>(made.size()))
    box.setDefaultButton(made[defaultButton]);
  if (escapeButton >= 0 && escapeButton < static_cast<int>(made.size()))
    box.setEscapeButton(made[escapeButton]);
  {
    ModalQuestion asked(busy_);
    box.exec();
  }
  for (size_t i = 0; i < made.size(); ++i)
    if (box.clickedButton() == made[i]) return static_cast<int>(i);
  return escapeButton;
}

std::optional<std::vector<std::string>> QtServices::fieldsBox(const std::string& title,
                                                              const std::string& caption,
                                                              const std::vector<Field>& fields) {
  QDialog dialog;
  dialog.setObjectName(QStringLiteral("fieldsDialog"));
  dialog.setWindowTitle(fromUtf8(title));
  dialog.setAccessibleName(fromUtf8(title));
  dialog.setFont(toQFont(FontSpec{}));
  auto* form = new QFormLayout;
  std::vector<QLineEdit*> edits;
  for (const Field& f : fields) {
    auto* edit = new QLineEdit(fromUtf8(f.value));
    edit->setObjectName(fromUtf8(f.id));
    // Announced by its label as a sighted user reads it, without the colon.
    QString label = fromUtf8(f.label);
    if (label.endsWith(QStringLiteral("："))) label.chop(1);
    edit->setAccessibleName(namesAreIds() ? fromUtf8(f.id) : label);
    edit->setMinimumWidth(320);
    form->addRow(fromUtf8(f.label), edit);
    edits.push_back(edit);
  }
  auto* buttons = new QDialogButtonBox;
  dialogButton(*buttons, "OK", QDialogButtonBox::AcceptRole)->setDefault(true);
  dialogButton(*buttons, "キャンセル", QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(fromUtf8(caption)));
  layout->addLayout(form);
  layout->addWidget(buttons);
  ModalQuestion asked(busy_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> values;
  for (QLineEdit* e : edits) values.push_back(e->text().toStdString());
  return values;
}

void QtServices::showProgress(const std::string& title, const std::string& text, bool measured) {
  if (!progress_) {
    progress_ = new QProgressDialog;
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setCancelButtonText(QStringLiteral("キャンセル"));
    progress_->setFont(toQFont(FontSpec{}));
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumWidth(360);
  }
  // The dialog is reused: a cancel in an earlier run must not cancel this one.
  progress_->reset();
  progress_->setWindowTitle(fromUtf8(title));
  progress_->setRange(0, measured ? 1000 : 0);
  progress_->setValue(0);
  progress_->setLabelText(fromUtf8(text));
  progress_->show();
}

bool QtServices::stepProgress(const std::string& text, int perMille) {
  if (!progress_) return false;
  if (!text.empty()) progress_->setLabelText(fromUtf8(text));
  if (progress_->maximum() > 0) progress_->setValue(perMille);
  // Keeps the windows painted and the cancel button working during the run.
  QApplication::processEvents();
  return progress_->wasCanceled();
}

void QtServices::hideProgress() {
  if (progress_) progress_->hide();
  QApplication::processEvents();
}

}  // namespace zv::qt
