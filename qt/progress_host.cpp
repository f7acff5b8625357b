#include "qt/progress_host.h"

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
#include <cstring>

#include "platform/drives.h"
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

// Copies an answer into the library's buffer; false when it does not fit.
bool putAnswer(ZvDecision& d, const std::string& text) {
  if (!d.answer || d.answer_size == 0 || text.size() >= d.answer_size) return false;
  std::memcpy(d.answer, text.data(), text.size());
  d.answer[text.size()] = '\0';
  return true;
}

struct SfxAnswers {
  std::string title, message, folder;
};

// The self-extractor's customisation: its window title, the message shown before extracting
// and the default extraction folder. False on Cancel.
bool askSfxCustomisation(const QString& archive, SfxAnswers& answers) {
  QDialog dialog;
  dialog.setObjectName(QStringLiteral("sfxDialog"));
  dialog.setAccessibleName(QStringLiteral("自己解凍書庫の設定"));
  dialog.setWindowTitle(QStringLiteral("自己解凍書庫の設定"));
  dialog.setFont(toQFont(FontSpec{}));
  auto* form = new QFormLayout;
  auto field = [&](const char* name, const std::string& text) {
    auto* edit = new QLineEdit(QString::fromStdString(text));
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(QString::fromLatin1(name));
    edit->setMinimumWidth(320);
    return edit;
  };
  QLineEdit* title = field("sfxTitle", answers.title);
  QLineEdit* message = field("sfxMessage", answers.message);
  QLineEdit* folder = field("sfxFolder", answers.folder);
  form->addRow(QStringLiteral("タイトル："), title);
  form->addRow(QStringLiteral("解凍前のメッセージ："), message);
  form->addRow(QStringLiteral("標準の解凍先フォルダ："), folder);
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel =
      buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  ok->setAccessibleName(QStringLiteral("OK"));
  cancel->setAccessibleName(QStringLiteral("キャンセル"));
  ok->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("%1 から作る自己解凍書庫").arg(archive)));
  layout->addLayout(form);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  answers = {title->text().toStdString(), message->text().toStdString(),
             folder->text().toStdString()};
  return true;
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
    dialog_->setLabelText(
        QStringLiteral("書庫 %1").arg(QString::fromUtf8(p.archive ? p.archive : "")));
    dialog_->show();
  } else if (p.state == ZV_PROGRESS_END) {
    if (dialog_) dialog_->hide();
    QApplication::processEvents();
    return 0;
  }
  if (!dialog_) return 0;
  if (p.member) {
    dialog_->setLabelText(QStringLiteral("%1\n%2").arg(
        QString::fromUtf8(p.archive ? p.archive : ""), QString::fromUtf8(p.member)));
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
  if (d.kind == ZV_DECIDE_SFX_TITLE) {
    SfxAnswers answers{d.answer ? std::string(d.answer) : std::string(), "", ""};
    QString shown = QString::fromStdString(windowsPath(path.toStdString()));
    if (!askSfxCustomisation(shown, answers)) return -1;  // no file is made
    sfxMessage_ = answers.message;
    sfxFolder_ = answers.folder;
    return putAnswer(d, answers.title) ? 1 : 0;
  }
  if (d.kind == ZV_DECIDE_SFX_MESSAGE) return putAnswer(d, sfxMessage_) ? 1 : 0;
  if (d.kind == ZV_DECIDE_SFX_FOLDER) return putAnswer(d, sfxFolder_) ? 1 : 0;
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

}  // namespace zv::qt
