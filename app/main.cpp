// zorvex32: the Qt application around the windows. Builds the services and the form host,
// registers every window and runs the start-up procedure with the command-line argument.
#include <QApplication>
#include <QIcon>
#include <string>
#include <vector>

#include "app/display_guard.h"
#include "app/register_all_forms.h"
#include "app/terminate_signal.h"
#include "core/app.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_host.h"
#include "core/services/skipped_error_log.h"
#include "core/startup/startup.h"
#include "qt/form_host.h"
#include "qt/qt_services.h"

int main(int argc, char** argv) {
  zv::app::guardDisplayStart();
  QApplication qtApp(argc, argv);
  zv::app::displayReached();
  // No display name: Qt would append it to every title the window system receives, and each
  // window's caption is to reach it exactly as written.
  QApplication::setApplicationName(QStringLiteral("zorvex32"));
  QApplication::setDesktopFileName(QStringLiteral("zorvex32"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/menu_icon.svg")));
  // The program ends when its windows say so (the registry), not when the last one hides.
  QApplication::setQuitOnLastWindowClosed(false);
  zv::app::quitOnTerminateSignal();

  zv::qt::QtServices services;
  zv::App app(services);
  zv::ArchiverSet archivers;
  // Every library of the set reports progress and asks its questions through the services,
  // also those loaded on first use and after start-up chooses their folder.
  zv::LibraryHost libraryHost(services);
  archivers.setHost(libraryHost.host());
  app.archivers = &archivers;
  app.libraryHost = &libraryHost;
  zv::qt::FormHost host(app);
  zv::registerAllForms(app.forms);
  // Every runtime error a step skips is written to standard error with its window.
  zv::skippedErrorListener() =
      zv::skippedErrorLog([&host] { return host.dispatcher().currentWindow(); });

  std::vector<std::string> args(argv + 1, argv + argc);
  host.dispatcher().run([&] { zv::Main(app, zv::argumentText(args)); });
  if (app.forms.ended() || services.quitRequested()) return 0;
  return QApplication::exec();
}
