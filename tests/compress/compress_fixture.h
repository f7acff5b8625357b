// The compression flow over drive Q: in a temporary folder: the program folder Q:\prog, source
// files in Q:\src, the destination Q:\out, the recording archiver double as the libraries, the
// compression windows with the real file information window and new-folder dialog, and
// stand-ins for the windows of other areas.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "auxwin/register_forms.h"
#include "compress/comp1_form.h"
#include "compress/register_forms.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "tests/support/fake_system.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

class CompressTest : public ::testing::Test {
 protected:
  explicit CompressTest(bool ish = true) : sys(true, true, ish) {}

  void SetUp() override {
    DriveTable::instance().set('Q', root.path());
    root.mkdir("prog");
    root.mkdir("out");
    root.write("src/a.txt", "alpha\r\n");
    root.write("src/b.txt", "bravo\r\n");
    root.write("src/c d.txt", "charlie delta\r\n");
    app.programFolder = "Q:\\prog";
    app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    app.shared.DirectoryMode = "NO";
    app.shared.ShowCompressProgress = "NO";
    app.shared.OpenFileUtility = "YES";
    app.shared.SameFolder = "NO";
    app.archivers = &sys.archivers;
    setting("Comp1Dir", "Path", "Q:\\src");
    setting("Comp2Dir", "Path", "Q:\\out");
    registerCompressForms(app.forms);
    registerInfoForms(app.forms);
    registerViewerForms(app.forms);
    using testing::defineStandIn;
    defineStandIn(app.forms, zv::windows::kMenu, {});
    defineStandIn(app.forms, zv::windows::kWait, {});
    defineStandIn(app.forms, zv::windows::kOptions, {});
    defineStandIn<testing::StandInFileUtility>(app.forms);
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }

  void setting(const std::string& section, const std::string& key, const std::string& value) {
    Profile(app.shared.IniFile).write(section, key, value);
  }
  std::string setting(const std::string& section, const std::string& key) {
    return Profile(app.shared.IniFile).read(section, key, "<none>", 512);
  }

  Form& comp1() {
    app.forms.show(zv::windows::kFileSelection);
    return app.forms.get(zv::windows::kFileSelection);
  }
  // Selects names of Comp1's list as Ctrl+clicks do.
  void select(const std::vector<std::string>& names) {
    Control& list = comp1().c("List1");
    for (const auto& n : names)
      for (int i = 0; i < list.listCount(); ++i)
        if (list.list(i) == n) list.userSelect(i, kCtrlKey);
  }
  static void press(Control& picture, int button = kLeftButton) {
    picture.mouseDown(button);
    picture.mouseUp(button);
  }
  // The archive creation window opened from Comp1 with those names selected.
  Form& comp2(const std::vector<std::string>& names = {"a.txt"}) {
    select(names);
    press(comp1().c("Image4"));
    return app.forms.get(zv::windows::kArchiveCreation);
  }
  void create(Form& c2) { press(c2.c("Image2")); }

  std::vector<std::string> lhaCommands() { return sys.fakes.lha().commands(); }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : services.messages) out.push_back(m.text);
    return out;
  }
  bool historyHas(const std::string& entry) const {
    for (const auto& h : app.forms.history())
      if (h == entry) return true;
    return false;
  }

  TempDir root;
  FakeSystem sys;
  ScriptedServices services;
  App app{services};
};

}  // namespace zv::test
