// Helpers of the Qt tests: an App over scripted services with the Qt form host, screenshots,
// and answering a modal message box that an action opens.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "qt/form_host.h"
#include "qt/form_window.h"
#include "tests/support/temp_dir.h"

namespace zv::qt::test {

struct HostedApp {
  ScriptedServices services;
  App app{services};
  FormHost host{app};
};

// Runs the pending events, deferred deletes included.
inline void settle() {
  for (int i = 0; i < 3; ++i) {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Windows drawn by the Qt host over drive Q: (a temporary folder holding the program folder
// Q:\prog and its settings file); every window is unloaded afterwards.
struct HostedWindows : ::testing::Test {
  zv::test::TempDir dir;
  HostedApp h;

  void SetUp() override {
    DriveTable::instance().set('Q', dir.path());
    dir.mkdir("prog");
    h.app.programFolder = "Q:\\prog";
    h.app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
  }
  void TearDown() override {
    for (const auto& name : h.app.forms.loadedNames()) h.app.forms.unload(name);
    h.app.forms.collect();
    settle();
    DriveTable::instance().remove('Q');
  }
  FormWindow* show(const std::string& name) {
    h.app.forms.show(name);
    settle();
    return h.host.window(name);
  }
};

// Saves the widget as <build>/tests/qt/screenshots/<name>.png; returns the path.
inline QString screenshot(QWidget* widget, const QString& name) {
  QDir().mkpath(QStringLiteral(ZV_TEST_SCREENSHOTS));
  QString path = QStringLiteral(ZV_TEST_SCREENSHOTS) + "/" + name + ".png";
  widget->grab().save(path);
  return path;
}

// While `action` runs, the first message box that opens is answered with the button whose
// text is `button`; its text and button labels are handed to `seen`.
inline void answerNextMessageBox(const QString& button,
                                 std::function<void(QMessageBox*)> seen = {}) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, button, seen] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      if (seen) seen(box);
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == button) {
          timer->stop();
          timer->deleteLater();
          b->click();
          return;
        }
      }
    }
  });
  timer->start();
}

}  // namespace zv::qt::test
