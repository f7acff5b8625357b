// A file utility window over real temporary folders: drive Q: holds the program folder and
// the two panes' folders, drive R: is a second drive, S: a drive without medium. Windows of
// other areas are stand-ins; the archiver libraries are the recording double.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/app.h"
#include "core/libraries/archivers.h"
#include "core/services/scripted_services.h"
#include "fileutil/file_utility_form.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/temp_dir.h"

namespace zv::test {

class FileUtilityTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens DeComp4 with the upper pane on Q:\<upper> and the lower pane on Q:\<lower>.
  FileUtilityForm& open(const std::string& upper = "up", const std::string& lower = "down");
  FileUtilityForm& win() { return *form_; }
  Control& ctl(const std::string& name) { return form_->c(name); }

  // A user's press on a list item: the click selects it, the button goes down on it.
  void press(const std::string& list, const std::string& item, int button = kLeftButton);
  // Press on an item of one list and drop it on a control of the window.
  void dragTo(const std::string& list, const std::string& item, const std::string& target,
              int button = kLeftButton);
  void release(const std::string& picture);  // press and release a picture button

  std::string read(const std::string& name) const;  // file under Q: (host read)
  bool there(const std::string& name) const;
  std::string write(const std::string& name, const std::string& bytes) {
    return dir.write("q/" + name, bytes);
  }
  // Names in the Trash of $XDG_DATA_HOME.
  bool inTrash(const std::string& name) const;

  TempDir dir;
  ScriptedServices services;
  std::unique_ptr<App> app;
  std::unique_ptr<FakeArchivers> fakes;
  std::unique_ptr<ArchiverSet> archivers;

 private:
  FileUtilityForm* form_ = nullptr;
  std::string oldDataHome_;
  bool hadDataHome_ = false;
};

}  // namespace zv::test
