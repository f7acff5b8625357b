// The other program of the drag-and-drop scenarios, standing in for a file manager. Its window
// sits at 900,700 (300 x 200); every line it reports goes to LOG at once.
//   dnd_peer LOG drop OUTDIR   takes dropped files: logs the formats and URIs and copies the
//                              files into OUTDIR, as a file manager would
//   dnd_peer LOG drag FILE...  a drag out of its window carries FILE... as URIs
//   dnd_peer LOG copy FILE...  a click on its window puts FILE... on the clipboard
//   dnd_peer LOG paste OUTDIR  a click on its window logs the files on the clipboard and copies
//                              them into OUTDIR
// (On Wayland only the window with the keys may use the clipboard, hence the clicks.)
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <cstdio>

namespace {
FILE* logFile = nullptr;
QStringList args;

void report(const QString& line) {
  std::fprintf(logFile, "%s\n", line.toUtf8().constData());
  std::fflush(logFile);
}

void receive(const QMimeData* mime) {
  report("FORMATS " + mime->formats().join(' '));
  for (const QUrl& url : mime->urls()) {
    report("URI " + QString::fromUtf8(url.toEncoded()));
    QString target = args.value(2) + "/" + QFileInfo(url.toLocalFile()).fileName();
    QFile::remove(target);
    QFile::copy(url.toLocalFile(), target);
  }
  report("DONE");
}

QMimeData* offer(const QStringList& files) {
  auto* mime = new QMimeData;
  QList<QUrl> urls;
  for (const QString& f : files) urls.append(QUrl::fromLocalFile(QFileInfo(f).absoluteFilePath()));
  mime->setUrls(urls);
  return mime;
}

class Window : public QLabel {
 public:
  Window() : QLabel(args[1]) {
    setAcceptDrops(true);
    setGeometry(900, 700, 300, 200);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
  void dropEvent(QDropEvent* e) override {
    e->acceptProposedAction();
    receive(e->mimeData());
  }
  void mousePressEvent(QMouseEvent*) override {
    if (args[1] == "copy") {
      QApplication::clipboard()->setMimeData(offer(args.mid(2)));
      report("COPIED");
    } else if (args[1] == "paste") {
      QTimer::singleShot(300, [] { receive(QApplication::clipboard()->mimeData()); });
    }
  }
  void mouseMoveEvent(QMouseEvent*) override {
    if (args[1] != "drag") return;
    auto* drag = new QDrag(this);
    drag->setMimeData(offer(args.mid(2)));
    drag->exec(Qt::CopyAction);
  }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  args = app.arguments().mid(1);
  if (args.size() < 3 || !(logFile = std::fopen(args[0].toLocal8Bit().constData(), "a"))) return 2;
  Window window;
  window.show();
  report("READY");
  return app.exec();
}
