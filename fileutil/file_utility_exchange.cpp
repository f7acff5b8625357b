// Files between the file utility and other programs: the highlighted files of a list dragged
// out (other programs get copies; nothing is deleted here for them), files dropped on a list
// from a file manager copied into that pane's folder with the overwrite question of a drop
// between the panes, and the same through the clipboard with Ctrl+C and Ctrl+V.
#include "core/app.h"
#include "core/forms/steps.h"
#include "fileutil/file_transfer.h"
#include "fileutil/file_utility_form.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv {

namespace {
const char* const kCopyTitle = "ファイルのコピー";

bool isFile(const std::string& path) {
  Steps steps;
  bool file = false;
  steps([&] { file = fs::isFile(path); });
  return file;
}

bool anythingThere(const std::string& path) {
  Steps steps;
  bool there = false;
  steps([&] { there = fs::exists(path); });
  return there;
}
}  // namespace

void FileUtilityForm::wireExchange() {
  for (const char* name : {"File1", "File2"}) {
    std::string list = name;
    c(list).onFilesDropped = [this, list](const std::vector<std::string>& paths) {
      copyFilesIn(list, paths);
    };
    c(list).onDragOut = [this, list] { return highlightedPaths(list); };
  }
}

std::vector<std::string> FileUtilityForm::highlightedPaths(const std::string& list) {
  std::vector<std::string> paths;
  for (const std::string& name : highlightedFiles(c(list)))
    paths.push_back(winpath::join(c(list).path(), name));
  return paths;
}

void FileUtilityForm::copyFilesIn(const std::string& list, const std::vector<std::string>& paths) {
  const std::string folder = c(list == "File1" ? "Dir1" : "Dir2").path();
  FailureTally failures;
  for (const std::string& source : paths) {
    const std::string name = winpath::fileName(source);
    const std::string destination = winpath::join(folder, name);
    if (winpath::samePath(source, destination)) continue;  // already in this folder
    // The file utility works on plain files; a folder dropped here is reported, not copied.
    if (!isFile(source)) {
      failures.add(name);
      continue;
    }
    if (anythingThere(destination) &&
        services().messageBox("同名ファイルが存在します．上書きコピーしますか？", MsgButtons::YesNo,
                              MsgIcon::Question, kCopyTitle) != MsgAnswer::Yes)
      continue;
    Steps steps;
    if (!steps([&] { copyReplacing(source, destination); })) failures.add(name, steps.err());
  }
  for (const char* name : {"File1", "File2"}) {
    Steps steps;
    steps([&] { c(name).refresh(); });
  }
  reportFailures(*this, FileAction::Copy, failures, kCopyTitle);
}

void FileUtilityForm::noteClipboard(const std::string& list, bool offer) {
  std::vector<std::string> paths = highlightedPaths(list);
  if (offer && !paths.empty()) {
    services().setClipboardFiles(paths);
    offeredPaths_ = services().clipboardFiles();
  }
  clipboardAtMark_ = services().clipboardFiles();
}

bool FileUtilityForm::pasteFromOtherPrograms(const std::string& list) {
  std::vector<std::string> paths = services().clipboardFiles();
  // The window's own files go by the marks, as do files that were there when they were made.
  if (paths.empty() || paths == offeredPaths_) return false;
  if (!markedList_.empty() && paths == clipboardAtMark_) return false;
  markedList_.clear();  // what the other program offered replaces what was marked here
  copyFilesIn(list, paths);
  return true;
}

}  // namespace zv
