// Files from other programs dropped on the main menu's pictures open the flow with them.
#include <gtest/gtest.h>

#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "tests/support/stand_in_form.h"
#include "tests/support/temp_dir.h"
#include "ui/menu/menu_form.h"
#include "ui/menu/register_forms.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

TEST(MenuDrop, CompressionAndExtractionPicturesHandTheFilesToTheirWindow) {
  TempDir dir;
  DriveTable::instance().set('Q', dir.path());
  dir.mkdir("prog");
  ScriptedServices services;
  App app(services);
  app.programFolder = "Q:\\prog";
  app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
  registerMenuForms(app.forms);
  testing::defineStandIn(app.forms, "Comp1", {{"List1", Kind::ListBox}});
  testing::defineStandIn(app.forms, "DeComp1", {});
  Form& menu = app.forms.get("frmMenu");
  menu.show();

  Strings chosen, opened;
  app.forms.get("Comp1").c("List1").onFilesDropped = [&](const Strings& p) { chosen = p; };
  menu.c("Image1").filesDropped({"Q:\\src\\a.txt", "Q:\\src\\b.txt"});
  EXPECT_TRUE(app.forms.get("Comp1").visible());
  EXPECT_FALSE(menu.visible());
  EXPECT_EQ(chosen, (Strings{"Q:\\src\\a.txt", "Q:\\src\\b.txt"}));

  menu.show();
  app.shared.StartMode = "Command";
  app.forms.get("DeComp1").onFilesDropped = [&](const Strings& p) { opened = p; };
  menu.c("Image2").filesDropped({"Q:\\dl\\a.lzh"});
  EXPECT_TRUE(app.forms.get("DeComp1").visible());
  EXPECT_FALSE(menu.visible());
  EXPECT_EQ(opened, Strings{"Q:\\dl\\a.lzh"});
  DriveTable::instance().remove('Q');
}

}  // namespace
}  // namespace zv::test
