// Every window the program registers is built and shown by the Qt host without failing, is
// announced as a user reads it, and a screenshot of each is saved.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QWidget>
#include <set>
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

std::vector<std::pair<QAccessible::Event, QObject*>> heard;
void hear(QAccessibleEvent* e) { heard.emplace_back(e->type(), e->object()); }

bool namedByLabel(Kind k) {
  return k == Kind::ListBox || k == Kind::FileList || k == Kind::FolderList ||
         k == Kind::ComboBox || k == Kind::DriveList || k == Kind::TextBox;
}

bool labelled(QWidget* control) {
  for (auto* label : control->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->buddy() == control && !label->text().isEmpty()) return true;
  return false;
}

// What assistive technology says of the window: its title, and for each control in its tree
// a text a user reads there, never a control name. A control the window shows later joins the
// tree, and the change is told.
void checkAnnounced(FormWindow& w) {
  const Form& form = *w.form();
  std::set<QString> controlNames;
  for (const auto& c : form.controls()) controlNames.insert(QString::fromStdString(c->name()));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&w)->text(QAccessible::Name).toStdString(),
            form.caption())
      << form.name() << " is not named by its title";
  QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(w.canvas());
  for (const auto& c : form.controls()) {
    QWidget* widget = w.widgetOf(c->name());
    auto kind = widget ? static_cast<AccessibleKind>(widget->property(kRoleProperty).toInt())
                       : AccessibleKind::Decoration;
    // Decoration says nothing, a panel only holds controls, and an empty label is heard
    // when it gets its text.
    if (kind == AccessibleKind::Decoration || kind == AccessibleKind::Panel ||
        (c->kind() == Kind::Label && c->caption().empty() && c->description().empty()))
      continue;
    const std::string where = form.name() + "." + c->name();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    const bool later = !c->visible() && widget->parentWidget() == w.canvas();
    heard.clear();
    if (later) c->setVisible(true);
    QString name = iface->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty()) << where << " has no name";
    EXPECT_FALSE(controlNames.count(name)) << where << " is called " << name.toStdString();
    // A list, combo box or text box is called by the label in front or its short name.
    if (namedByLabel(c->kind()))
      EXPECT_TRUE(!c->description().empty() || labelled(widget)) << where << " has no short name";
    if (!later) continue;
    EXPECT_GE(canvas->indexOfChild(iface), 0) << where << " shown but not in the tree";
    EXPECT_TRUE(std::count(heard.begin(), heard.end(),
                           std::pair{QAccessible::ObjectCreated, static_cast<QObject*>(widget)}))
        << where << " shown unannounced";
    c->setVisible(false);
    EXPECT_LT(canvas->indexOfChild(iface), 0) << where << " hidden but still in the tree";
  }
  for (QAction* action : w.findChildren<QAction*>()) {
    if (action->isSeparator() || !action->property(kMenuItemProperty).toBool()) continue;
    QString name = QAccessible::queryAccessibleInterface(action)->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty() || controlNames.count(name))
        << form.name() << "." << action->objectName().toStdString() << " is called "
        << name.toStdString();
  }
}

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
    observeAnnouncements(hear);
    const char* names[] = {"frmMenu", "Comp1",   "Comp2",    "frmFP",    "Dialog",    "DeComp1",
                           "DeComp2", "DeComp3", "frmish",   "DeComp4",  "frmOption", "Viewer",
                           "PicView", "frmWait", "frmAbout", "frmReport"};
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
      checkAnnounced(*w);
      // The restore modes show their whole captions ("with question" was cut).
      if (std::string(name) == "frmish") {
        for (const char* option : {"Option1", "Option2", "Option3"}) {
          QWidget* radio = w->widgetOf(option);
          ASSERT_NE(radio, nullptr) << option;
          EXPECT_GE(radio->width(), radio->sizeHint().width()) << option;
        }
      }
    }
    observeAnnouncements(nullptr);
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
