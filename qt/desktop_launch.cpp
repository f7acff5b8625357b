#include "qt/desktop_launch.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace zv::qt {

namespace {

// Splits an Exec value into arguments following the desktop entry quoting rules.
QStringList splitExec(const QString& exec) {
  QStringList out;
  QString current;
  bool quoted = false, any = false;
  for (int i = 0; i < exec.size(); ++i) {
    QChar ch = exec[i];
    if (quoted) {
      if (ch == '\\' && i + 1 < exec.size()) {
        current += exec[++i];
      } else if (ch == '"') {
        quoted = false;
      } else {
        current += ch;
      }
    } else if (ch == '"') {
      quoted = true;
      any = true;
    } else if (ch.isSpace()) {
      if (any || !current.isEmpty()) out << current;
      current.clear();
      any = false;
    } else {
      current += ch;
    }
  }
  if (any || !current.isEmpty()) out << current;
  return out;
}

}  // namespace

std::optional<Launch> launchFromExec(const QString& exec, const QString& file) {
  QStringList parts = splitExec(exec);
  if (parts.isEmpty()) return std::nullopt;
  Launch launch;
  bool placed = false;
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    QString arg;
    bool keep = true;
    for (int j = 0; j < part.size(); ++j) {
      if (part[j] != '%' || j + 1 >= part.size()) {
        arg += part[j];
        continue;
      }
      QChar code = part[++j];
      if (code == '%') {
        arg += '%';
      } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        arg += file;
        placed = true;
      } else if (part.size() == 2) {
        keep = false;  // an argument that was only a field code such as %i
      }
    }
    if (!keep) continue;
    if (i == 0)
      launch.program = arg;
    else
      launch.arguments << arg;
  }
  if (!placed) launch.arguments << file;
  if (launch.program.isEmpty()) return std::nullopt;
  return launch;
}

std::optional<QString> desktopEntryExec(const QString& id) {
  auto entry = desktopEntry(id);
  if (!entry) return std::nullopt;
  return entry->exec;
}

std::optional<DesktopEntry> desktopEntry(const QString& id) {
  QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
  for (const QString& dir : dirs) {
    QFile file(QDir(dir).filePath(id));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
    QTextStream in(&file);
    bool inEntry = false;
    DesktopEntry entry;
    bool found = false;
    while (!in.atEnd()) {
      QString line = in.readLine().trimmed();
      if (line.startsWith('[')) inEntry = line == QStringLiteral("[Desktop Entry]");
      if (!inEntry) continue;
      if (line.startsWith(QStringLiteral("Exec="))) {
        entry.exec = line.mid(5);
        found = true;
      } else if (line.startsWith(QStringLiteral("Terminal="))) {
        entry.terminal =
            line.mid(9).trimmed().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
      }
    }
    if (found) return entry;
  }
  return std::nullopt;
}

std::optional<Launch> inTerminal(const Launch& launch) {
  // A program that needs a terminal (Terminal=true) started without one would write into our
  // own output and end at once; run it in the desktop's terminal emulator, or not at all.
  for (const char* term :
       {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"}) {
    QString path = QStandardPaths::findExecutable(QString::fromLatin1(term));
    if (path.isEmpty()) continue;
    QStringList args;
    args << (QString::fromLatin1(term) == QStringLiteral("gnome-terminal") ? QStringLiteral("--")
                                                                           : QStringLiteral("-e"));
    args << launch.program << launch.arguments;
    return Launch{path, args};
  }
  return std::nullopt;
}

std::optional<Launch> defaultApplication(const QString& mimeType, const QString& file) {
  if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) return std::nullopt;
  QProcess query;
  query.start(QStringLiteral("xdg-mime"),
              {QStringLiteral("query"), QStringLiteral("default"), mimeType});
  if (!query.waitForFinished(3000)) {
    query.kill();
    return std::nullopt;
  }
  QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed().split('\n').value(0);
  if (id.isEmpty()) return std::nullopt;
  auto entry = desktopEntry(id);
  if (!entry) return std::nullopt;
  auto launch = launchFromExec(entry->exec, file);
  if (!launch || !entry->terminal) return launch;
  return inTerminal(*launch);
}

bool startDetached(const Launch& launch) {
  if (launch.program.isEmpty()) return false;
  return QProcess::startDetached(launch.program, launch.arguments);
}

Launch textEditorFor(const QString& hostFile) {
  if (auto app = defaultApplication(QStringLiteral("text/plain"), hostFile)) return *app;
  for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma",
                             "xed", "featherpad", "leafpad", "geany"}) {
    QString path = QStandardPaths::findExecutable(QString::fromLatin1(editor));
    if (!path.isEmpty()) return Launch{path, {hostFile}};
  }
  return Launch{QStringLiteral("xdg-open"), {hostFile}};
}

Launch fileManagerFor(const QString& hostFolder) {
  if (auto app = defaultApplication(QStringLiteral("inode/directory"), hostFolder)) return *app;
  return Launch{QStringLiteral("xdg-open"), {hostFolder}};
}

}  // namespace zv::qt
