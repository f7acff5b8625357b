// The compression flow over drive Q: in a temporary folder: the program folder Q:\prog, source
// files in Q:\src, the destination Q:\out, the recording archiver double as the libraries, the
// compression windows with the real file information window and new-folder dialog, and
// stand-ins for the windows of other areas.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxwin/register_forms.h"
#include "compress/comp1_form.h"
#include "compress/register_forms.h"
#include "tests/support/window_flow_fixture.h"

namespace zv::test {

class CompressTest : public WindowFlowTest {
 protected:
  explicit CompressTest(bool ish = true) : WindowFlowTest(true, true, ish) {}

  void SetUp() override {
    WindowFlowTest::SetUp();
    root.write("src/a.txt", "alpha\r\n");
    root.write("src/b.txt", "bravo\r\n");
    root.write("src/c d.txt", "charlie delta\r\n");
    app.shared.DirectoryMode = "NO";
    app.shared.ShowCompressProgress = "NO";
    setting("Comp1Dir", "Path", "Q:\\src");
    setting("Comp2Dir", "Path", "Q:\\out");
    registerCompressForms(app.forms);
    registerInfoForms(app.forms);
    registerViewerForms(app.forms);
    defineStandIns();
    testing::defineStandIn(app.forms, zv::windows::kOptions, {});
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
  // The archive creation window opened from Comp1 with those names selected.
  Form& comp2(const std::vector<std::string>& names = {"a.txt"}) {
    select(names);
    press(comp1().c("Image4"));
    return app.forms.get(zv::windows::kArchiveCreation);
  }
  void create(Form& c2) { press(c2.c("Image2")); }

  std::vector<std::string> lhaCommands() { return sys.fakes.lha().commands(); }
};

}  // namespace zv::test
