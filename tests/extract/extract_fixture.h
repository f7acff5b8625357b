// A program folder on drive Q: under a temporary folder, the recording archiver double as the
// three libraries, the extraction windows registered and stand-ins for the windows of other
// areas, so a test can drive the extraction flow as a user would.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxwin/register_forms.h"
#include "extract/decomp1_form.h"
#include "extract/process_state.h"
#include "extract/register_forms.h"
#include "tests/support/window_flow_fixture.h"

namespace zv::test {

class ExtractTest : public WindowFlowTest {
 protected:
  explicit ExtractTest(bool lha = true, bool zip = true, bool ish = true)
      : WindowFlowTest(lha, zip, ish) {}

  void SetUp() override {
    WindowFlowTest::SetUp();
    root.mkdir("prog/Temp");
    root.mkdir("prog/QUICK");
    root.mkdir("dl");
    app.shared.TempFolder = "Q:\\prog\\Temp";
    app.shared.ShowExtractProgress = "NO";
    app.shared.OverwriteAll = "NO";
    registerExtractForms(app.forms);
    registerViewerForms(app.forms);  // the real text and picture viewers
    defineStandIns();
    testing::defineStandIn<testing::StandInNewFolder>(app.forms);
  }
  void TearDown() override {
    extract::forgetProcessState(app);
    WindowFlowTest::TearDown();
  }

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

  // Lists Q:\dl\a.lzh (or a.zip) with these members and returns the contents window, the
  // libraries' calls so far forgotten; with `chooseAll` every member is chosen.
  Form& openContents(const std::vector<std::string>& names, bool zip = false,
                     bool chooseAll = false) {
    root.write(zip ? "dl/a.zip" : "dl/a.lzh", "x");
    (zip ? sys.fakes.zip() : sys.fakes.lha()).setMembers(members(names));
    Form& sel = selection();
    if (zip) sel.c("Option2").click();
    selectFile(sel, zip ? "a.zip" : "a.lzh");
    sel.c("File1").dblClick();
    Form& contents = app.forms.get(zv::windows::kArchiveContents);
    Control& list = contents.c("List1");
    for (int i = 0; chooseAll && i < list.listCount(); ++i) list.setSelected(i, true);
    sys.fakes.lha().clearCalls();
    sys.fakes.zip().clearCalls();
    return contents;
  }

  static std::vector<FakeMember> members(const std::vector<std::string>& names) {
    std::vector<FakeMember> out;
    for (const auto& n : names) out.push_back({n});
    return out;
  }

  std::vector<std::string> items(const std::string& form, const std::string& control) {
    return app.forms.get(form).c(control).items();
  }
};

}  // namespace zv::test
