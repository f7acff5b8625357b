#include "qt/qt_services.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <vector>

#include "platform/drives.h"
#include "platform/fileops.h"
#include "qt/control_view.h"
#include "qt/desktop_launch.h"
#include "qt/file_exchange.h"
#include "qt/fonts.h"
#include "qt/help_viewer.h"
#include "qt/message_box.h"
#include "qt/modal_question.h"

namespace zv::qt {

namespace {

std::vector<MsgAnswer> answersOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OKCancel:
      return {MsgAnswer::OK, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore:
      return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    case MsgButtons::YesNoCancel:
      return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::YesNo:
      return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::RetryCancel:
      return {MsgAnswer::Retry, MsgAnswer::Cancel};
    default:
      return {MsgAnswer::OK};
  }
}

QMessageBox::ButtonRole roleOf(MsgAnswer a) {
  switch (a) {
    case MsgAnswer::OK:
    case MsgAnswer::Yes:
      return QMessageBox::YesRole;
    case MsgAnswer::No:
      return QMessageBox::NoRole;
    case MsgAnswer::Cancel:
    case MsgAnswer::Abort:
      return QMessageBox::RejectRole;
    default:
      return QMessageBox::ActionRole;
  }
}

QMessageBox::Icon iconOf(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Stop:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Information:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

std::optional<QString> hostOf(const std::string& path) {
  try {
    return QString::fromStdString(hostPath(path));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

const char* answerLabel(MsgAnswer answer) {
  switch (answer) {
    case MsgAnswer::OK:
      return "OK";
    case MsgAnswer::Cancel:
      return "キャンセル";
    case MsgAnswer::Abort:
      return "中止";
    case MsgAnswer::Retry:
      return "再試行";
    case MsgAnswer::Ignore:
      return "無視";
    case MsgAnswer::Yes:
      return "はい";
    case MsgAnswer::No:
      return "いいえ";
  }
  return "OK";
}

QtServices::QtServices() = default;
QtServices::~QtServices() {
  if (help_) delete help_.data();
  if (progress_) delete progress_.data();
}

MsgAnswer QtServices::messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) {
  // A long path wraps at its separators rather than being cut at the screen's edge.
  MessageBox box(iconOf(icon), QString::fromStdString(title), captionText(text));
  box.setObjectName(QStringLiteral("messageBox"));
  // The whole text in the Japanese face: otherwise the backslash of a path comes from a Latin
  // fallback and one path shows a backslash and a yen sign side by side.
  box.setFont(toQFont(FontSpec{}));
  std::vector<std::pair<QAbstractButton*, MsgAnswer>> made;
  for (MsgAnswer a : answersOf(buttons)) {
    QPushButton* b = box.addButton(QString::fromUtf8(answerLabel(a)), roleOf(a));
    made.push_back({b, a});
  }
  // The first button is the default; Esc gives Cancel (or No, or the only button).
  box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
  QAbstractButton* escape = made.back().first;
  for (auto& [b, a] : made)
    if (a == MsgAnswer::Cancel) escape = b;
  if (buttons != MsgButtons::AbortRetryIgnore) box.setEscapeButton(escape);
  {
    ModalQuestion asked(busy_);
    box.exec();
  }
  for (auto& [b, a] : made)
    if (box.clickedButton() == b) return a;
  // Closed without a button (Esc on a box without an escape button).
  for (auto& [b, a] : made)
    if (a == MsgAnswer::Cancel || a == MsgAnswer::No) return a;
  return made.back().second;
}

bool QtServices::shellOpen(const std::string& path) {
  auto host = hostOf(path);
  if (!host || !fs::exists(host->toStdString())) return false;
  // Through the desktop entry of the file's default program where there is one, so that a
  // program needing a terminal gets one; xdg-open otherwise.
  QString mime = QMimeDatabase().mimeTypeForFile(*host).name();
  if (mime.startsWith(QStringLiteral("text/"))) return startDetached(textEditorFor(*host));
  if (auto app = defaultApplication(mime, *host)) return startDetached(*app);
  return startDetached(Launch{QStringLiteral("xdg-open"), {*host}});
}

bool QtServices::startTextEditor(const std::string& path) {
  auto host = hostOf(path);
  if (!host) return false;
  return startDetached(textEditorFor(*host));
}

bool QtServices::startFileManager(const std::string& folder) {
  auto host = hostOf(folder);
  if (!host || !fs::isFolder(host->toStdString())) return false;
  return startDetached(fileManagerFor(*host));
}

void QtServices::help(const std::string& helpFile, int command, int data) {
  if (command == kHelpQuit) {
    // Only a viewer showing this program's help file is closed.
    if (help_ && help_->helpFile() == helpFile) help_->close();
    return;
  }
  if (!help_) help_ = new HelpViewer();
  help_->setHelpFile(helpFile);
  switch (command) {
    case kHelpContext:
      help_->showTopic(data);
      break;
    case kHelpKeySearch:
      help_->showKeywordSearch();
      break;
    default:
      help_->showContents();
      break;
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

HelpViewer* QtServices::helpViewer() const { return help_.data(); }

std::string QtServices::clipboardText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

void QtServices::setClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::vector<std::string> QtServices::clipboardFiles() {
  return filesIn(QGuiApplication::clipboard()->mimeData());
}

void QtServices::setClipboardFiles(const std::vector<std::string>& paths) {
  QGuiApplication::clipboard()->setMimeData(filesMimeData(paths));
}

double QtServices::screenWidth() {
  QScreen* s = QGuiApplication::primaryScreen();
  return (s ? s->geometry().width() : 1024) * twipsPerPixelX();
}

double QtServices::screenHeight() {
  QScreen* s = QGuiApplication::primaryScreen();
  return (s ? s->geometry().height() : 768) * twipsPerPixelY();
}

double QtServices::twipsPerPixelX() {
  QScreen* s = QGuiApplication::primaryScreen();
  double dpi = s ? s->logicalDotsPerInchX() : 96;
  return dpi > 0 ? 1440.0 / dpi : 15;
}

double QtServices::twipsPerPixelY() {
  QScreen* s = QGuiApplication::primaryScreen();
  double dpi = s ? s->logicalDotsPerInchY() : 96;
  return dpi > 0 ? 1440.0 / dpi : 15;
}

void QtServices::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtServices::setCursorPos(int x, int y) { QCursor::setPos(x, y); }

void QtServices::beep() { QApplication::beep(); }

void QtServices::doEvents() { QCoreApplication::processEvents(); }

void QtServices::quit() {
  quitRequested_ = true;
  if (help_) help_->close();
  // Queued, so that a quit asked for before the event loop runs still ends it.
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                            Qt::QueuedConnection);
}

std::optional<std::string> QtServices::inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& initial) {
  QInputDialog dialog;
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(captionText(prompt));
  dialog.setTextValue(QString::fromStdString(initial));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("キャンセル"));
  ModalQuestion asked(busy_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace zv::qt
