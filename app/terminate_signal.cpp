#include "app/terminate_signal.h"

#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

namespace zv::app {

namespace {
int wakeUp[2] = {-1, -1};

// Only a write is safe in a signal handler; the event loop reads it and ends.
void onSignal(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t ignored = write(wakeUp[1], &byte, 1);
}
}  // namespace

void quitOnTerminateSignal() {
  if (pipe(wakeUp) != 0) return;
  auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
  // exit(), not quit(): quit() first asks every window to close, and a window that refuses
  // (the archive selection window while the contents window is open) would keep the program
  // running after the session asked it to end.
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { QApplication::exit(0); });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace zv::app
