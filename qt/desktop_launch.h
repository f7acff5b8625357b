// Starting the desktop's programs: the associated program of a file, the default text editor
// and the file manager. Always with an argument vector, never through a shell.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace zv::qt {

struct Launch {
  QString program;
  QStringList arguments;
};

// The command of a desktop entry's Exec line for one file: field codes %f %F %u %U become
// the file, %% a '%', other field codes are dropped. Quoted arguments are kept whole.
std::optional<Launch> launchFromExec(const QString& exec, const QString& file);

// The Exec line of the desktop entry `id` ("org.gnome.TextEditor.desktop") found in the XDG
// application folders.
std::optional<QString> desktopEntryExec(const QString& id);

struct DesktopEntry {
  QString exec;
  bool terminal = false;  // Terminal=true: the program needs a terminal window
};
std::optional<DesktopEntry> desktopEntry(const QString& id);

// The launch wrapped in a terminal emulator; nothing when none is installed.
std::optional<Launch> inTerminal(const Launch& launch);

// The desktop's default application for a MIME type (a program that needs a terminal is run
// in one, or not offered when there is none), found with xdg-mime, as a launch for `file`.
std::optional<Launch> defaultApplication(const QString& mimeType, const QString& file);

// Starts the program detached; false when it could not be started.
bool startDetached(const Launch& launch);

// The text editor for a file: the desktop's default for text/plain, else a known editor
// found on PATH, else xdg-open.
Launch textEditorFor(const QString& hostFile);
// The file manager for a folder: the desktop's default for inode/directory, else xdg-open.
Launch fileManagerFor(const QString& hostFolder);

}  // namespace zv::qt
