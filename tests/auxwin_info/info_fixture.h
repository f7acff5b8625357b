// The file information window and the new-folder dialog with stand-ins for their openers
// (file selection, archive creation, extraction window, file utility) over drive Q:.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "auxwin/register_forms.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "tests/support/stand_in_ports.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

class InfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DriveTable::instance().set('Q', root.path());
    root.write("files/a.txt", "a");
    root.write("files/b.lzh", "b");
    root.write("files/noext", "n");
    root.mkdir("base");
    app.programFolder = "Q:\\";
    app.shared.IniFile = "Q:\\ZORVEX.INI";
    registerInfoForms(app.forms);
    using testing::defineStandIn;
    defineStandIn<testing::StandInFileSelection>(app.forms);
    defineStandIn(app.forms, zv::windows::kArchiveCreation,
                  {{"lblTmp", Kind::Hidden}, {"Dir1", Kind::FolderList}});
    defineStandIn(app.forms, zv::windows::kExtraction,
                  {{"Combo1", Kind::ComboBox}, {"Dir1", Kind::FolderList}});
    defineStandIn<testing::StandInFileUtility>(app.forms);
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }

  TempDir root;
  ScriptedServices services;
  App app{services};
};

}  // namespace zv::test
