// The ground every window-flow test stands on: drive Q: over a temporary folder with the
// program folder Q:\prog and its settings file, the recording archiver double as the three
// libraries, the scripted services, and (defineStandIns) stand-ins for the main menu, the wait
// notice and the file utility. The compression and extraction tests add their windows on top.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/services/scripted_services.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "tests/support/fake_system.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

class WindowFlowTest : public ::testing::Test {
 protected:
  explicit WindowFlowTest(bool lha = true, bool zip = true, bool ish = true) : sys(lha, zip, ish) {}

  void SetUp() override {
    DriveTable::instance().set('Q', root.path());
    root.mkdir("prog");
    root.mkdir("out");
    app.programFolder = "Q:\\prog";
    app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    app.shared.OpenFileUtility = "YES";
    app.shared.SameFolder = "NO";
    app.archivers = &sys.archivers;
  }
  // After the test's own windows are registered (a stand-in replaces a real window).
  void defineStandIns() {
    testing::defineStandIn(app.forms, windows::kMenu, {});
    testing::defineStandIn(app.forms, windows::kWait, {});
    testing::defineStandIn<testing::StandInFileUtility>(app.forms);
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }

  // Host path of a file under the temporary root ("prog/QUICK/a.txt").
  std::string host(const std::string& rel) const { return root / rel; }
  bool exists(const std::string& rel) const { return std::filesystem::exists(host(rel)); }

  void setting(const std::string& section, const std::string& key, const std::string& value) {
    Profile(app.shared.IniFile).write(section, key, value);
  }
  std::string setting(const std::string& section, const std::string& key) {
    return Profile(app.shared.IniFile).read(section, key, "<none>", 512);
  }

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
  // A press on a picture button.
  static void press(Control& picture, int button = kLeftButton) {
    picture.mouseDown(button);
    picture.mouseUp(button);
  }

  TempDir root;
  FakeSystem sys;
  ScriptedServices services;
  App app{services};
};

}  // namespace zv::test
