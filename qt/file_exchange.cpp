#include "qt/file_exchange.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

#include "platform/drives.h"

namespace zv::qt {

namespace {
constexpr const char* kGnomeCopiedFiles = "x-special/gnome-copied-files";

QList<QUrl> urlsIn(const QMimeData* mime) {
  if (!mime) return {};
  QList<QUrl> urls = mime->urls();
  if (urls.isEmpty() && mime->hasFormat(kGnomeCopiedFiles)) {
    // "copy" or "cut", then one URI a line.
    QStringList lines = QString::fromUtf8(mime->data(kGnomeCopiedFiles)).split('\n');
    for (int i = 1; i < lines.size(); ++i)
      if (!lines[i].trimmed().isEmpty()) urls.append(QUrl(lines[i].trimmed()));
  }
  return urls;
}
}  // namespace

void addFiles(QMimeData& mime, const std::vector<std::string>& paths) {
  QList<QUrl> urls;
  QByteArray copied = "copy";
  for (const std::string& path : paths) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(zv::hostPath(path)));
    urls.append(url);
    copied += "\n" + url.toEncoded();
  }
  mime.setUrls(urls);
  mime.setData(kGnomeCopiedFiles, copied);
}

QMimeData* filesMimeData(const std::vector<std::string>& paths) {
  auto* mime = new QMimeData;
  addFiles(*mime, paths);
  return mime;
}

std::vector<std::string> filesIn(const QMimeData* mime) {
  std::vector<std::string> paths;
  for (const QUrl& url : urlsIn(mime))
    if (url.isLocalFile()) paths.push_back(zv::windowsPath(url.toLocalFile().toStdString()));
  return paths;
}

bool carriesFiles(const QMimeData* mime) {
  for (const QUrl& url : urlsIn(mime))
    if (url.isLocalFile()) return true;
  return false;
}

}  // namespace zv::qt
