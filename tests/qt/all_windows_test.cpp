// Every window the program registers is built and shown by the Qt host without failing, and
// a screenshot of each is saved.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <string>
#include <vector>

#include "app/register_all_forms.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "qt/accessibility.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/temp_dir.h"

namespace zv::qt {
namespace {

TEST(AllWindows, EveryRegisteredWindowBuildsAndShows) {
  zv::test::TempDir dir;
  dir.mkdir("prog/Temp");
  dir.write("prog/readme.txt", "text\r\n");
  DriveTable::instance().set('Q', dir.path());
  folders::overrideProgramFolder("Q:\\prog");
  {
    test::HostedApp h;
    h.app.programFolder = "Q:\\prog";
    h.app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    h.app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    registerAllForms(h.app.forms);
    const char* names[] = {"frmMenu",   "Comp1",   "Comp2",   "frmFP",   "Dialog",
                           "DeComp1",   "DeComp2", "DeComp3", "frmish",  "DeComp4",
                           "frmOption", "Viewer",  "PicView", "frmWait", "frmAbout"};
    std::vector<std::string> notShown;
    for (const char* name : names) {
      ASSERT_TRUE(h.app.forms.defined(name)) << name << " is no longer registered";
      bool ok = false;
      h.host.dispatcher().run([&] {
        h.app.forms.show(name);
        ok = true;
      });
      test::settle();
      EXPECT_TRUE(ok) << name;
      FormWindow* w = h.host.window(name);
      if (!w) {
        notShown.push_back(name);
        continue;
      }
      test::screenshot(w, QStringLiteral("all_") + name);
      // The window is big enough for each of its controls, the ones it shows only later too.
      for (const auto& c : w->form()->controls()) {
        QWidget* widget = w->widgetOf(c->name());
        if (!widget || widget->parentWidget() != w->canvas() || widget->geometry().isEmpty())
          continue;
        EXPECT_TRUE(w->canvas()->rect().contains(widget->geometry()))
            << name << "." << c->name() << " lies outside the window";
      }
      // Assistive technology finds every control by its name and hears what each picture
      // button, drop target and link is for.
      for (const auto& c : w->form()->controls()) {
        QWidget* widget = w->widgetOf(c->name());
        if (!widget) continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), c->name()) << name;
        auto kind = static_cast<AccessibleKind>(widget->property(kRoleProperty).toInt());
        if (kind == AccessibleKind::PictureButton || kind == AccessibleKind::DropTarget ||
            kind == AccessibleKind::Link) {
          EXPECT_FALSE(iface->text(QAccessible::Description).isEmpty())
              << name << "." << c->name() << " has no description";
        }
      }
      // The restore modes show their whole captions ("with question" was cut).
      if (std::string(name) == "frmish") {
        for (const char* option : {"Option1", "Option2", "Option3"}) {
          QWidget* radio = w->widgetOf(option);
          ASSERT_NE(radio, nullptr) << option;
          EXPECT_GE(radio->width(), radio->sizeHint().width()) << option;
        }
      }
    }
    EXPECT_EQ(notShown, std::vector<std::string>{}) << "windows that closed at once";
    h.app.forms.endProgram();
    h.app.forms.collect();
    test::settle();
  }
  folders::overrideProgramFolder("");
  DriveTable::instance().remove('Q');
}

}  // namespace
}  // namespace zv::qt
