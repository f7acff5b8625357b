#include "core/startup/startup.h"

#include "core/libraries/archivers.h"
#include "core/settings/options.h"
#include "core/startup/command_line_opener.h"
#include "core/startup/messages.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv {

bool LhaLibraryPresent(App& app) {
  app.shared.SystemFolder = folders::winDir() + "\\SYSTEM";
  return !findFileIgnoringCase(app.shared.SystemFolder, ArchiverSet::kLhaName).empty();
}

namespace {

// Letters added or changed by the settings file's [Drives] section.
void applyDriveOverrides(const std::string& iniFile) {
  try {
    DriveTable::instance().loadOverrides(hostPath(iniFile));
  } catch (const RuntimeError&) {
    // The program folder's drive is not ready: the defaults stay.
  }
}

void reportMissingLibrary(App& app) {
  app.services.messageBox(libraryMissingMessage(app.shared.SystemFolder), MsgButtons::OK,
                          MsgIcon::Stop, kLibraryMissingTitle);
  app.forms.endProgram();
}

}  // namespace

void Main(App& app, const std::string& commandLine) {
  if (app.programFolder.empty()) app.programFolder = folders::programFolder();
  // The names are appended as they are: a drive-root program folder gives "C:\\ZORVEX.INI".
  app.shared.IniFile = app.programFolder + "\\ZORVEX.INI";
  app.helpFile = app.programFolder + "\\ZORVEX.HLP";
  applyDriveOverrides(app.shared.IniFile);

  if (!LhaLibraryPresent(app)) {
    reportMissingLibrary(app);
    return;
  }
  // The libraries are loaded from the folder that was just checked.
  if (app.archivers) app.archivers->setFolder(app.shared.SystemFolder);

  Profile profile(app.shared.IniFile);
  options::readVCheck(profile, app.shared);
  if (app.shared.VersionCheck.yes()) {
    LhaLibrary* lha = app.archivers ? app.archivers->lha() : nullptr;
    if (!lha) {
      // A file by that name that does not load as the library is no library.
      reportMissingLibrary(app);
      return;
    }
    int version = lha->version();
    if (version < kReleasedLhaVersion)
      app.services.messageBox(oldVersionMessage(version), MsgButtons::OK, MsgIcon::Exclamation,
                              kVersionCheckTitle);
  }

  app.commandLine = commandLine;
  if (!commandLine.empty()) {
    app.shared.StartMode = "Command";
    app.forms.show(windows::kArchiveSelection);
    app.forms.get<CommandLineOpener>(windows::kArchiveSelection).commandLineOpen();
    app.shared.TempFolder = winpath::join(app.programFolder, "TEMP");
  } else {
    app.shared.StartMode.clear();
    app.forms.show(windows::kMenu);
  }
}

std::string argumentText(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& arg : args) {
    if (arg.empty()) continue;
    std::string path = arg;
    // A host path (absolute from a file manager, or relative to the current folder) becomes
    // the program's form; a Windows-style path stays as typed.
    if (!winpath::hasDrive(path) && path.front() != '"') path = windowsPath(path);
    // Quoted when a blank or a quote would otherwise split or end it in the command strings.
    if (path.find_first_of(" \"") != std::string::npos && path.front() != '"')
      path = winpath::quote(path);
    if (!text.empty()) text += ' ';
    text += path;
  }
  return text;
}

}  // namespace zv
