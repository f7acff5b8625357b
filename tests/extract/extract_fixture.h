// A program folder on drive Q: under a temporary folder, the recording archiver double as the
// three libraries, the extraction windows registered and stand-ins for the windows of other
// areas, so a test can drive the extraction flow as a user would.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "auxwin/register_forms.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "extract/decomp1_form.h"
#include "extract/process_state.h"
#include "extract/register_forms.h"
#include "platform/drives.h"
#include "tests/support/fake_system.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

class ExtractTest : public ::testing::Test {
 protected:
  explicit ExtractTest(bool lha = true, bool zip = true, bool ish = true) : sys(lha, zip, ish) {}

  void SetUp() override {
    DriveTable::instance().set('Q', root.path());
    root.mkdir("prog/Temp");
    root.mkdir("prog/QUICK");
    root.mkdir("dl");
    root.mkdir("out");
    app.programFolder = "Q:\\prog";
    app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    app.shared.TempFolder = "Q:\\prog\\Temp";
    app.shared.ShowExtractProgress = "NO";
    app.shared.OverwriteAll = "NO";
    app.shared.OpenFileUtility = "YES";
    app.shared.SameFolder = "NO";
    app.archivers = &sys.archivers;
    registerExtractForms(app.forms);
    registerViewerForms(app.forms);  // the real text and picture viewers
    using testing::defineStandIn;
    defineStandIn(app.forms, zv::windows::kMenu, {});
    defineStandIn(app.forms, zv::windows::kWait, {});
    defineStandIn<testing::StandInFileUtility>(app.forms);
    defineStandIn<testing::StandInNewFolder>(app.forms);
  }
  void TearDown() override {
    extract::forgetProcessState(app);
    DriveTable::instance().remove('Q');
  }

  // Host path of a file under the temporary root ("prog/QUICK/a.txt").
  std::string host(const std::string& rel) const { return root / rel; }
  bool exists(const std::string& rel) const { return std::filesystem::exists(host(rel)); }

  // Opens the archive selection window on Q:\dl and selects a file there.
  Form& selection(const std::string& file = "") {
    Form& f = app.forms.get(zv::windows::kArchiveSelection);
    app.forms.show(zv::windows::kArchiveSelection);
    f.c("Dir1").setPath("Q:\\dl");
    if (!file.empty()) selectFile(f, file);
    return f;
  }
  static void selectFile(Form& f, const std::string& file) {
    Control& list = f.c("File1");
    for (int i = 0; i < list.listCount(); ++i)
      if (list.list(i) == file) list.setListIndex(i);
  }

  static std::vector<FakeMember> members(const std::vector<std::string>& names) {
    std::vector<FakeMember> out;
    for (const auto& n : names) out.push_back({n});
    return out;
  }

  std::vector<std::string> items(const std::string& form, const std::string& control) {
    return app.forms.get(form).c(control).items();
  }

  TempDir root;
  FakeSystem sys;
  ScriptedServices services;
  App app{services};
};

}  // namespace zv::test
