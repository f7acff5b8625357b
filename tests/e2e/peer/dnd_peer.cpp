// The other program of the drag-and-drop scenarios: a small window that stands in for a file
// manager. Every line it reports goes to the log file, flushed at once.
//   dnd_peer LOG drop X Y OUTDIR  a window at X,Y that takes dropped files: logs the formats
//                                 and URIs offered and copies each local file into OUTDIR, as
//                                 a file manager would (the sender may remove its copies later)
//   dnd_peer LOG drag X Y FILE... a window at X,Y from which a drag carries FILE... as URIs
//   dnd_peer LOG copy FILE...     puts FILE... on the clipboard as a file manager's copy
//   dnd_peer LOG paste OUTDIR     logs the files on the clipboard and copies them into OUTDIR
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {
FILE* logFile = nullptr;

void report(const QString& line) {
  std::fprintf(logFile, "%s\n", line.toUtf8().constData());
  std::fflush(logFile);
}

void copyInto(const QList<QUrl>& urls, const QString& folder) {
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    QString target = folder + "/" + QFileInfo(url.toLocalFile()).fileName();
    QFile::remove(target);
    report((QFile::copy(url.toLocalFile(), target) ? "COPIED " : "NOT COPIED ") + target);
  }
}

void reportMime(const QMimeData* mime, const QString& folder) {
  report("FORMATS " + mime->formats().join(' '));
  for (const QUrl& url : mime->urls()) report("URI " + QString::fromUtf8(url.toEncoded()));
  copyInto(mime->urls(), folder);
  report("DONE");
}

QMimeData* filesMime(const QStringList& files) {
  auto* mime = new QMimeData;
  QList<QUrl> urls;
  QByteArray copied = "copy";
  for (const QString& f : files) {
    urls.append(QUrl::fromLocalFile(QFileInfo(f).absoluteFilePath()));
    copied += "\n" + urls.back().toEncoded();
  }
  mime->setUrls(urls);
  mime->setData("x-special/gnome-copied-files", copied);
  return mime;
}

class PeerWindow : public QLabel {
 public:
  PeerWindow(const QString& mode, QStringList files, QString folder)
      : QLabel(mode == "drop" ? "DROP HERE" : "DRAG FROM HERE"),
        mode_(mode),
        files_(std::move(files)),
        folder_(std::move(folder)) {
    setWindowTitle(mode == "drop" ? "peer drop" : "peer drag");
    setAlignment(Qt::AlignCenter);
    setAcceptDrops(mode == "drop");
    resize(300, 200);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* e) override { e->acceptProposedAction(); }
  void dropEvent(QDropEvent* e) override {
    report(QString("ACTION %1").arg(int(e->proposedAction())));
    e->acceptProposedAction();
    reportMime(e->mimeData(), folder_);
  }
  void mousePressEvent(QMouseEvent* e) override { pressed_ = e->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (mode_ != "drag" || !(e->buttons() & Qt::LeftButton)) return;
    if ((e->position().toPoint() - pressed_).manhattanLength() < QApplication::startDragDistance())
      return;
    auto* drag = new QDrag(this);
    drag->setMimeData(filesMime(files_));
    Qt::DropAction done = drag->exec(Qt::CopyAction);
    report(QString("DRAGGED %1").arg(int(done)));
  }

 private:
  QString mode_;
  QStringList files_;
  QString folder_;
  QPoint pressed_;
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  if (args.size() < 2) return 2;
  logFile = std::fopen(args[0].toLocal8Bit().constData(), "a");
  if (!logFile) return 2;
  const QString mode = args[1];
  if (mode == "copy") {
    QApplication::clipboard()->setMimeData(filesMime(args.mid(2)));
    report("READY");
    return app.exec();  // the clipboard's owner must stay
  }
  if (mode == "paste") {
    // The clipboard may take a moment to answer a new owner's request.
    QTimer::singleShot(300, [&] {
      reportMime(QApplication::clipboard()->mimeData(), args.value(2));
      app.quit();
    });
    return app.exec();
  }
  if (args.size() < 4) return 2;
  PeerWindow window(mode, mode == "drag" ? args.mid(4) : QStringList(),
                    mode == "drop" ? args.value(4) : QString());
  window.move(args[2].toInt(), args[3].toInt());
  window.show();
  report("READY");
  return app.exec();
}
