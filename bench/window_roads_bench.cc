// The windows' roads through the real libraries, as a user takes them, without a screen: the
// contents window lists an LZH archive, every member is selected and the extraction window
// extracts them one library call per member (with its overwrite checks and set-aside files);
// the file selection window selects every file of a folder and the creation window adds them
// one call per file. Prints CPU seconds (user + system) of each road and per call.
//   window_roads_bench SYSTEM_DIR WORK N
// WORK must hold src<N>/ (N files) and w<N>.lzh (those files, made in one call); the results
// go to WORK/x<N>/ and WORK/c<N>.lzh. Run by bench/window_roads.sh.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "auxwin/register_forms.h"
#include "compress/register_forms.h"
#include "core/app.h"
#include "core/libraries/archivers.h"
#include "core/services/scripted_services.h"
#include "core/settings/profile.h"
#include "extract/process_state.h"
#include "extract/register_forms.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "tests/support/stand_in_ports.h"

namespace {

using namespace zv;

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

void press(Control& picture) {
  picture.mouseDown(kLeftButton);
  picture.mouseUp(kLeftButton);
}

// The windows of other areas the roads reach, with the ports the roads' windows call.
void standIns(FormRegistry& forms) {
  using testing::defineStandIn;
  for (const char* name : {"frmMenu", "frmWait", "frmOption"}) defineStandIn(forms, name, {});
  defineStandIn<testing::StandInViewer>(forms);
  defineStandIn<testing::StandInFileUtility>(forms);
}

bool failed(const ScriptedServices& services, const char* road) {
  if (services.messages.empty()) return false;
  std::fprintf(stderr, "%s: %s\n", road, services.messages.front().text.c_str());
  return true;
}

// What both roads share: the program folder on Q:, no later windows, these libraries.
void commonSettings(App& app, ArchiverSet& libs) {
  app.programFolder = "Q:\\prog";
  app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
  app.shared.OpenFileUtility = "YES";
  app.shared.SameFolder = "NO";
  app.archivers = &libs;
}

// Selects every item of a list, as Ctrl+A does; returns how many.
int selectAll(Control& list) {
  int count = list.listCount();
  for (int i = 0; i < count; ++i) list.setSelected(i, true);
  return count;
}

// Lists the archive in the contents window, selects every member, extracts into Q:\x<N>.
int extractRoad(ArchiverSet& libs, const std::string& n) {
  ScriptedServices services;
  App app{services};
  commonSettings(app, libs);
  app.shared.TempFolder = "Q:\\prog\\Temp";
  app.shared.ShowExtractProgress = "NO";
  app.shared.OverwriteAll = "NO";  // the window asks before replacing: it checks every name
  registerExtractForms(app.forms);
  standIns(app.forms);

  double t0 = cpuSeconds();
  Form& sel = app.forms.get("DeComp1");
  app.forms.show("DeComp1");
  sel.c("Dir1").setPath("Q:\\");
  Control& files = sel.c("File1");
  for (int i = 0; i < files.listCount(); ++i)
    if (files.list(i) == "w" + n + ".lzh") files.setListIndex(i);
  files.dblClick();
  Form& contents = app.forms.get("DeComp2");
  int count = selectAll(contents.c("List1"));
  double t1 = cpuSeconds();
  press(contents.c("Image2"));
  Form& window = app.forms.get("DeComp3");
  window.c("Combo1").userType("Q:\\x" + n);
  double t2 = cpuSeconds();
  press(window.c("Image2"));
  double t3 = cpuSeconds();
  if (failed(services, "extract")) return 1;
  std::printf("window-extract %s listing %.3f s, extraction %.3f s for %d calls, %.4f ms a call\n",
              n.c_str(), t1 - t0, t3 - t2, count, (t3 - t2) * 1e3 / count);
  extract::forgetProcessState(app);
  return 0;
}

// Selects every file of Q:\src<N> in the file selection window and creates Q:\c<N>.lzh.
int createRoad(ArchiverSet& libs, const std::string& n) {
  ScriptedServices services;
  App app{services};
  commonSettings(app, libs);
  app.shared.DirectoryMode = "NO";
  app.shared.ShowCompressProgress = "NO";
  Profile(app.shared.IniFile).write("Comp1Dir", "Path", "Q:\\src" + n);
  Profile(app.shared.IniFile).write("Comp2Dir", "Path", "Q:\\");
  registerCompressForms(app.forms);
  registerInfoForms(app.forms);
  registerViewerForms(app.forms);
  standIns(app.forms);

  double t0 = cpuSeconds();
  app.forms.show("Comp1");
  Form& comp1 = app.forms.get("Comp1");
  int count = selectAll(comp1.c("List1"));
  press(comp1.c("Image4"));
  Form& comp2 = app.forms.get("Comp2");
  comp2.c("Text1").userType("c" + n);
  double t1 = cpuSeconds();
  press(comp2.c("Image2"));
  double t2 = cpuSeconds();
  if (failed(services, "create")) return 1;
  std::printf("window-create %s selection %.3f s, creation %.3f s for %d calls, %.4f ms a call\n",
              n.c_str(), t1 - t0, t2 - t1, count, (t2 - t1) * 1e3 / count);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: window_roads_bench SYSTEM_DIR WORK N\n");
    return 2;
  }
  std::string system = argv[1], work = argv[2], n = argv[3];
  DriveTable::instance().set('Q', work);
  std::filesystem::create_directories(work + "/prog/Temp");
  folders::overrideSystemFolder(windowsPath(system));
  ArchiverSet libs{windowsPath(system)};
  int rc = extractRoad(libs, n);
  if (rc == 0) rc = createRoad(libs, n);
  libs.unloadAll();
  return rc;
}
