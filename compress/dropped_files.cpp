#include "compress/dropped_files.h"

#include "compress/comp1_form.h"
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

std::vector<std::string> chosenPaths(const Comp1Form& selection) {
  std::vector<std::string> paths;
  for (const std::string& name : selection.chosenNames())
    paths.push_back(winpath::join(selection.folder(), name));
  return paths;
}
}  // namespace

void chooseDroppedFiles(Comp1Form& selection, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  // A single folder dropped: the panel opens it.
  if (paths.size() == 1 && isFolder(paths.front())) {
    selection.showFolder(paths.front());
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
  selection.showFolder(folder);
  std::vector<std::string> names;
  for (const std::string& path : paths) names.push_back(winpath::fileName(path));
  selection.chooseOnly(names);
}

void fileListKey(Comp1Form& selection, int& key, int shift) {
  if (shift != kCtrlKey) return;
  if (key == 'V') {
    key = 0;
    chooseDroppedFiles(selection, selection.services().clipboardFiles());
  } else if (key == 'C') {
    key = 0;
    std::vector<std::string> paths = chosenPaths(selection);
    if (!paths.empty()) selection.services().setClipboardFiles(paths);
  }
}

}  // namespace zv::compress
