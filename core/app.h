// The application context every window reaches: shared state, services, the window registry,
// the archiver libraries and the program's own file locations.
#pragma once
#include <string>

#include "core/forms/registry.h"
#include "core/services/services.h"
#include "core/shared_state.h"
#include "core/work/work_copies.h"

namespace zv {

class ArchiverSet;  // core/libraries: the loaded UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL
class LibraryHost;  // core/libraries: the libraries' progress and questions

struct App {
  explicit App(Services& s) : services(s), forms(*this) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Services& services;
  Shared shared;
  FormRegistry forms;
  // Program folder (Windows-style, e.g. "C:\opt\zorvex32"); the settings, help and list
  // files and the work folders live here.
  std::string programFolder;
  // The help file given to the help viewer (program folder + "\ZORVEX.HLP").
  std::string helpFile;
  // The whole command-line argument text as the windows see it.
  std::string commandLine;
  // Not owned; set by start-up (or by a test).
  ArchiverSet* archivers = nullptr;
  // Not owned; set by start-up: runs made of one library call per member tell it which.
  LibraryHost* libraryHost = nullptr;
  // What viewing extracted into the Temp folder; removed when the program ends.
  WorkCopies workCopies;
};

}  // namespace zv
