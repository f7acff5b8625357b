#include "compress/dropped_files.h"

#include <algorithm>

#include "core/app.h"
#include "core/forms/steps.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv::compress {

namespace {
bool isFolder(const std::string& path) {
  Steps steps;
  bool folder = false;
  steps([&] { folder = fs::isFolder(path); });
  return folder;
}

// Moves the drive and folder lists to `folder` unless they show it already.
void showFolder(Form& selection, const std::string& folder) {
  if (selection.c("Dir1").path() == folder) return;
  Steps steps;
  steps([&] { selection.c("Drive1").setDrive(winpath::driveOf(folder)); });
  steps([&] { selection.c("Dir1").setPath(folder); });
}

std::vector<std::string> chosenPaths(Form& selection) {
  Control& list = selection.c("List1");
  std::vector<std::string> paths;
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) paths.push_back(winpath::join(selection.c("Dir1").path(), list.list(i)));
  return paths;
}
}  // namespace

void chooseFiles(Form& selection, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  // A single folder dropped: the panel opens it.
  if (paths.size() == 1 && isFolder(paths.front())) {
    showFolder(selection, paths.front());
    return;
  }
  const std::string folder = winpath::parentFolder(paths.front());
  for (const std::string& path : paths) {
    if (winpath::parentFolder(path) != folder) {
      selection.services().messageBox(
          "一度に圧縮できるのは１つのフォルダのファイルだけです．\r\n同じフォルダのファイルを選んで"
          "ください",
          MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
      return;
    }
  }
  showFolder(selection, folder);
  std::vector<std::string> names;
  for (const std::string& path : paths) names.push_back(winpath::fileName(path));
  Control& list = selection.c("List1");
  Steps steps;
  for (int i = 0; i < list.listCount(); ++i) {
    bool dropped = std::find(names.begin(), names.end(), list.list(i)) != names.end();
    steps([&] { list.setSelected(i, dropped); });
  }
}

void wireDroppedFiles(Form& selection) {
  Control& list = selection.c("List1");
  list.onFilesDropped = [&selection](const std::vector<std::string>& paths) {
    chooseFiles(selection, paths);
  };
  list.onKeyDown = [&selection](int& key, int shift) {
    if (shift != kCtrlKey) return;
    if (key == 'V') {
      key = 0;
      chooseFiles(selection, selection.services().clipboardFiles());
    } else if (key == 'C') {
      key = 0;
      std::vector<std::string> paths = chosenPaths(selection);
      if (!paths.empty()) selection.services().setClipboardFiles(paths);
    }
  };
}

}  // namespace zv::compress
