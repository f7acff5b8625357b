#include "qt/progress_host.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cstring>

#include "core/libraries/archivers.h"
#include "qt/fonts.h"

namespace zv::qt {

namespace {

int progressThunk(void* user, const ZvProgress* p) {
  return p ? static_cast<ProgressHost*>(user)->progress(*p) : 0;
}
int decideThunk(void* user, ZvDecision* d) {
  return d ? static_cast<ProgressHost*>(user)->decide(*d) : 0;
}

// Progress in per mille, so that archives over 2 GiB still fit the dialog's int range.
int perMille(uint64_t done, uint64_t total) {
  if (total == 0) return 0;
  return static_cast<int>(std::min<uint64_t>(1000, done * 1000 / total));
}

}  // namespace

ProgressHost::ProgressHost() {
  host_.user = this;
  host_.progress = &progressThunk;
  host_.decide = &decideThunk;
}

ProgressHost::~ProgressHost() {
  if (dialog_) delete dialog_.data();
}

int ProgressHost::progress(const ZvProgress& p) {
  if (p.state == ZV_PROGRESS_BEGIN) {
    overwriteAll_ = false;
    if (!dialog_) {
      dialog_ = new QProgressDialog;
      dialog_->setObjectName(QStringLiteral("progress"));
      dialog_->setWindowTitle(QStringLiteral("処理中です"));
      dialog_->setCancelButtonText(QStringLiteral("キャンセル"));
      dialog_->setFont(toQFont(FontSpec{}));
      dialog_->setMinimumDuration(0);
      dialog_->setAutoClose(false);
      dialog_->setAutoReset(false);
      dialog_->setMinimumWidth(360);
    }
    // The dialog is reused: a cancel in an earlier run must not cancel this one.
    dialog_->reset();
    dialog_->setRange(0, p.total ? 1000 : 0);
    dialog_->setValue(0);
    dialog_->setLabelText(QStringLiteral("書庫 %1").arg(QString::fromUtf8(p.archive ? p.archive : "")));
    dialog_->show();
  } else if (p.state == ZV_PROGRESS_END) {
    if (dialog_) dialog_->hide();
    QApplication::processEvents();
    return 0;
  }
  if (!dialog_) return 0;
  if (p.member) {
    dialog_->setLabelText(QStringLiteral("%1\n%2").arg(QString::fromUtf8(p.archive ? p.archive : ""),
                                                       QString::fromUtf8(p.member)));
  }
  if (p.total) dialog_->setValue(perMille(p.done, p.total));
  // Keeps the windows painted and the cancel button working during the run.
  QApplication::processEvents();
  return dialog_->wasCanceled() ? 1 : 0;
}

int ProgressHost::decide(ZvDecision& d) {
  QString path = QString::fromUtf8(d.path ? d.path : "");
  if (d.kind == ZV_DECIDE_OVERWRITE) {
    if (overwriteAll_) return 1;
    QMessageBox box(QMessageBox::Question, QStringLiteral("上書きの確認"),
                    QStringLiteral("%1\nは既に存在します。上書きしますか？").arg(path));
    QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
    QPushButton* all = box.addButton(QStringLiteral("すべて上書き"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return 1;
    if (box.clickedButton() == all) {
      overwriteAll_ = true;
      return 1;
    }
    if (box.clickedButton() == no) return 0;
    return -1;
  }
  if (d.kind == ZV_DECIDE_PASSWORD) {
    if (!d.answer || d.answer_size == 0) return 0;
    QInputDialog dialog;
    dialog.setWindowTitle(QStringLiteral("パスワード"));
    dialog.setLabelText(QStringLiteral("%1\nのパスワードを入力してください。").arg(path));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted) return 0;
    QByteArray bytes = dialog.textValue().toUtf8();
    if (static_cast<uint32_t>(bytes.size()) >= d.answer_size) return 0;  // does not fit: give up
    std::memcpy(d.answer, bytes.constData(), bytes.size());
    d.answer[bytes.size()] = '\0';
    return 1;
  }
  return 0;
}

int installArchiverHost(ArchiverSet& archivers, ProgressHost& host) {
  int count = 0;
  if (auto* lha = archivers.lha()) {
    lha->setHost(host.host());
    ++count;
  }
  if (auto* zip = archivers.zip()) {
    zip->setHost(host.host());
    ++count;
  }
  return count;
}

}  // namespace zv::qt
