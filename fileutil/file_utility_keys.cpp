// The file utility's keys: everything a drag between the lists, onto the trash can or onto
// the rename tag does can also be done from the keyboard, with the same questions.
//   Delete        the focused file to the trash (several selected files in the upper list:
//                 all of them, as a double-click on the trash can does)
//   F2            rename the focused file of the upper list (the rename tag's dialog)
//   F5 / F6       copy / move the focused file into the other pane's folder
//   Ctrl+C / X    mark the focused file for copying / moving; Ctrl+V on the other list drops it
#include <algorithm>

#include "fileutil/file_utility_form.h"

namespace zv {

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
    Control& files = c(list);
    if (list == "File1" && files.selCount() > 1) {
      trashDoubleClick();
      return;
    }
    takeFromList(list, true);
    dropOnTrash();
  } else if (shift == 0 && pressed == kKeyF2) {
    key = 0;
    takeFromList(list, true);
    dropOnNameTag();
  } else if (shift == 0 && (pressed == kKeyF5 || pressed == kKeyF6)) {
    key = 0;
    takeFromList(list, pressed == kKeyF5);  // a left-button drag copies, any other moves
    dropOnFileList(other);
  } else if (ctrl && (pressed == 'C' || pressed == 'X')) {
    key = 0;
    markedList_ = list;
    markedFile_ = c(list).fileName();
    markedMove_ = pressed == 'X';
  } else if (ctrl && pressed == 'V') {
    key = 0;
    if (markedList_ != other) return;  // nothing marked in the other list
    std::string from = markedList_;
    markedList_.clear();
    // The file marked, wherever the focus went since.
    const auto& items = c(from).items();
    auto it = std::find(items.begin(), items.end(), markedFile_);
    if (it == items.end()) return;
    c(from).moveFocusTo(static_cast<int>(it - items.begin()));
    takeFromList(from, !markedMove_);
    dropOnFileList(list);
  }
}

}  // namespace zv
