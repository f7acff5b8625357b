// The file utility's keys: everything a drag between the lists, onto the trash can or onto
// the rename tag does can also be done from the keyboard, with the same questions. The keys
// act on what the user sees highlighted: the selected files, or the focused file when none is
// selected.
//   Delete        the file to the trash with the trash can's drop question (several selected
//                 files in the upper list: all of them, as a double-click on the trash can does)
//   F2            rename the focused file of the upper list (the rename tag's dialog)
//   F5 / F6       copy / move the files into the other pane's folder, each with the questions
//                 a drag of that file asks
//   Ctrl+C / X    mark the files for copying / moving; Ctrl+V on the other list drops them.
//                 Ctrl+C also offers the files to other programs on the clipboard, and Ctrl+V
//                 copies in files other programs put there (file_utility_exchange.cpp)
#include <algorithm>

#include "fileutil/file_utility_form.h"

namespace zv {

namespace {
int indexOf(const Control& list, const std::string& name) {
  const auto& items = list.items();
  auto it = std::find(items.begin(), items.end(), name);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

}  // namespace

std::vector<std::string> highlightedFiles(const Control& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) names.push_back(list.list(i));
  if (names.empty() && !list.fileName().empty()) names.push_back(list.fileName());
  return names;
}

void FileUtilityForm::wireKeys() {
  for (const char* list : {"File1", "File2"}) {
    std::string name = list;
    c(name).onKeyDown = [this, name](int& key, int shift) { keyOnList(name, key, shift); };
  }
}

void FileUtilityForm::keyOnList(const std::string& list, int& key, int shift) {
  const std::string other = list == "File1" ? "File2" : "File1";
  const bool ctrl = shift == kCtrlKey;
  const int pressed = key;
  if (shift == 0 && pressed == kKeyDelete) {
    key = 0;
    std::vector<std::string> names = highlightedFiles(c(list));
    if (names.size() > 1) {
      trashDoubleClick();  // deletes exactly the selected files of the upper list
      return;
    }
    dropFilesFromKeys(
        list, names, [this] { dropOnTrash(); }, true);
  } else if (shift == 0 && pressed == kKeyF2) {
    key = 0;
    takeFromList(list, true);
    dropOnNameTag();
  } else if (shift == 0 && (pressed == kKeyF5 || pressed == kKeyF6)) {
    key = 0;
    // A left-button drag copies, any other moves.
    dropFilesFromKeys(
        list, highlightedFiles(c(list)), [this, other] { dropOnFileList(other); },
        pressed == kKeyF5);
  } else if (ctrl && (pressed == 'C' || pressed == 'X')) {
    key = 0;
    markedList_ = list;
    markedFiles_ = highlightedFiles(c(list));
    markedMove_ = pressed == 'X';
    noteClipboard(list, pressed == 'C');
  } else if (ctrl && pressed == 'V') {
    key = 0;
    if (pasteFromOtherPrograms(list)) return;
    if (markedList_ != other) return;  // nothing marked in the other list
    std::string from = markedList_;
    markedList_.clear();
    // The files marked, wherever the focus and the selection went since.
    dropFilesFromKeys(
        from, markedFiles_, [this, list] { dropOnFileList(list); }, !markedMove_);
  }
}

// Each file is taken from the list as a press on it would take it, then dropped; afterwards
// the focus is back on the file it was on when that file is still listed.
void FileUtilityForm::dropFilesFromKeys(const std::string& list,
                                        const std::vector<std::string>& names,
                                        const std::function<void()>& drop, bool copy) {
  Control& files = c(list);
  const std::string focused = files.fileName();
  for (const auto& name : names) {
    int at = indexOf(files, name);
    if (at < 0) continue;  // gone since it was chosen
    files.moveFocusTo(at);
    takeFromList(list, copy);
    drop();
  }
  if (files.multiSelect() == MultiSelect::None) return;  // there the focus is the selection
  int back = indexOf(files, focused);
  if (back >= 0 && files.fileName() != focused) files.moveFocusTo(back);
}

}  // namespace zv
