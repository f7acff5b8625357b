#include "tests/fileutil/file_utility_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "auxwin/file_info_form.h"
#include "core/settings/profile.h"
#include "fileutil/register_forms.h"
#include "platform/drives.h"
#include "tests/support/stand_in_ports.h"

namespace zv::test {

void FileUtilityTest::SetUp() {
  if (const char* d = std::getenv("XDG_DATA_HOME")) {
    hadDataHome_ = true;
    oldDataHome_ = d;
  }
  ::setenv("XDG_DATA_HOME", (dir / "xdg").c_str(), 1);
  dir.mkdir("q/prog");
  dir.mkdir("q/up");
  dir.mkdir("q/down");
  dir.mkdir("r/other");
  DriveTable::instance().set('Q', dir / "q");
  DriveTable::instance().set('R', dir / "r");
  DriveTable::instance().set('S', dir / "no-medium");

  app = std::make_unique<App>(services);
  app->programFolder = "Q:\\prog";
  app->helpFile = "Q:\\prog\\ZORVEX.HLP";
  app->shared.IniFile = "Q:\\prog\\ZORVEX.INI";
  app->shared.SfxFolder = "Q:\\prog\\自己解凍書庫";
  app->shared.CustomizeSfx = "NO";
  dir.mkdir("q/prog/自己解凍書庫");
  fakes = std::make_unique<FakeArchivers>(dir / "SYSTEM");
  archivers = std::make_unique<ArchiverSet>(windowsPath(dir / "SYSTEM"));
  app->archivers = archivers.get();

  registerFileUtilityForms(app->forms);
  testing::defineStandIn(app->forms, zv::windows::kMenu, {});
  testing::defineStandIn(app->forms, zv::windows::kWait, {});
  testing::defineStandIn(app->forms, zv::windows::kAbout, {});
  app->forms.define(windows::kFileInfo, [](App& a) { return std::make_unique<FileInfoForm>(a); });
  testing::defineStandIn<testing::StandInNewFolder>(app->forms);
}

void FileUtilityTest::TearDown() {
  app.reset();
  archivers.reset();
  fakes.reset();
  DriveTable::instance().remove('Q');
  DriveTable::instance().remove('R');
  DriveTable::instance().remove('S');
  if (hadDataHome_)
    ::setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

FileUtilityForm& FileUtilityTest::open(const std::string& upper, const std::string& lower) {
  Profile ini(app->shared.IniFile);
  ini.write("DeComp4Dir1", "Path", "Q:\\" + upper);
  ini.write("DeComp4Dir2", "Path", "Q:\\" + lower);
  app->forms.show(zv::windows::kFileUtility);
  form_ = &app->forms.get<FileUtilityForm>(zv::windows::kFileUtility);
  return *form_;
}

void FileUtilityTest::press(const std::string& list, const std::string& item, int button) {
  Control& l = ctl(list);
  int index = -1;
  for (int i = 0; i < l.listCount(); ++i)
    if (l.list(i) == item) index = i;
  ASSERT_GE(index, 0) << item << " not in " << list;
  l.userSelect(index);
  l.mouseDown(button);
}

void FileUtilityTest::dragTo(const std::string& list, const std::string& item,
                             const std::string& target, int button) {
  press(list, item, button);
  ctl(target).dragDrop(ctl(list));
}

void FileUtilityTest::release(const std::string& picture) {
  ctl(picture).mouseDown();
  ctl(picture).mouseUp();
}

std::string FileUtilityTest::read(const std::string& name) const {
  std::ifstream in(dir / ("q/" + name), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileUtilityTest::there(const std::string& name) const {
  return std::filesystem::exists(dir / ("q/" + name));
}

bool FileUtilityTest::inTrash(const std::string& name) const {
  return std::filesystem::exists(dir / ("xdg/Trash/files/" + name)) &&
         std::filesystem::exists(dir / ("xdg/Trash/info/" + name + ".trashinfo"));
}

}  // namespace zv::test
