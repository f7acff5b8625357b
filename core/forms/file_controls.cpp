// The drive list, folder list and file list: the controls that look at the file system.
#include <cctype>
#include <map>

#include "core/forms/control.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/wildcard.h"
#include "platform/winpath.h"

namespace zv {

namespace {
// The folder each drive was last shown at, process-wide, as the current folder of a drive is
// on Windows: a folder list set to a bare "C:" goes there.
std::map<char, std::string>& currentFolders() {
  static std::map<char, std::string> folders;
  return folders;
}

char driveLetter(const std::string& text) {
  return text.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

// Full, canonical program path of an existing folder; raises 68 (drive) or 76 (no folder).
std::string resolveFolder(const std::string& requested) {
  std::string text = winpath::normalize(winpath::unquote(requested));
  if (text.size() == 2 && winpath::hasDrive(text)) {
    char letter = driveLetter(text);
    if (!DriveTable::instance().ready(letter)) raiseError(kErrDeviceUnavailable, text);
    auto it = currentFolders().find(letter);
    if (it != currentFolders().end() && fs::isFolder(it->second)) return it->second;
    return winpath::driveRoot(letter);
  }
  std::string host = DriveTable::instance().toHost(text);  // raises 68
  if (!fs::isFolder(host)) raiseError(kErrPathNotFound, requested);
  std::string canonical = DriveTable::instance().toWindows(host);
  return winpath::withoutTrailingSeparator(canonical);
}
}  // namespace

void Control::applyDrive(const std::string& drive, bool checkReady) {
  char letter = driveLetter(drive);
  if (letter < 'A' || letter > 'Z') raiseError(kErrDeviceUnavailable, drive);
  if (checkReady && !DriveTable::instance().ready(letter)) raiseError(kErrDeviceUnavailable, drive);
  std::string text;
  text += static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  text += ':';
  if (items_.empty()) {
    for (char l : DriveTable::instance().letters()) {
      std::string item;
      item += static_cast<char>(std::tolower(static_cast<unsigned char>(l)));
      item += ": [";
      item += DriveTable::instance().hostRoot(l).value_or("");
      item += "]";
      items_.push_back(item);
      selected_.push_back(false);
    }
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    if (driveLetter(items_[i]) == letter) listIndex_ = static_cast<int>(i);
  }
  bool changed = text != drive_;
  drive_ = text;
  notify();
  if (changed && onChange) onChange();
}

void Control::setDrive(const std::string& drive) { applyDrive(drive, true); }

void Control::setPath(const std::string& path) {
  if (kind_ != Kind::FolderList && kind_ != Kind::FileList) raiseError(kErrInvalidCall, "path");
  std::string resolved = resolveFolder(path);
  bool changed = resolved != path_;
  path_ = resolved;
  currentFolders()[driveLetter(resolved)] = resolved;
  if (kind_ == Kind::FolderList) {
    fillFolderEntries();
    notify();
    if (changed && onChange) onChange();
  } else {
    fillFiles();
    notify();
    if (changed && onPathChange) onPathChange();
  }
}

void Control::setPattern(const std::string& pattern) {
  bool changed = pattern != pattern_;
  pattern_ = pattern;
  if (kind_ == Kind::FileList && !path_.empty()) fillFiles();
  notify();
  if (changed && onPatternChange) onPatternChange();
}

std::string Control::fileName() const {
  if (kind_ == Kind::FolderList) {
    if (listIndex_ >= 0 && listIndex_ < static_cast<int>(folders_.size()))
      return folders_[listIndex_].path;
    return path_;
  }
  if (listIndex_ >= 0 && listIndex_ < static_cast<int>(items_.size())) return items_[listIndex_];
  return "";
}

void Control::refresh() {
  if (path_.empty()) return;
  if (kind_ == Kind::FolderList) {
    fillFolderEntries();
  } else if (kind_ == Kind::FileList) {
    // Keep the selection and the focused item of names that are still there, so that the
    // keys act on the item that shows the focus at once.
    std::vector<std::string> keep;
    for (size_t i = 0; i < items_.size(); ++i)
      if (selected_[i]) keep.push_back(items_[i]);
    std::string current = fileName();
    fillFiles();
    for (size_t i = 0; i < items_.size(); ++i) {
      for (const auto& k : keep)
        if (items_[i] == k) selected_[i] = true;
      if (!current.empty() && items_[i] == current) listIndex_ = static_cast<int>(i);
    }
  }
  notify();
}

void Control::fillFolderEntries() {
  folders_.clear();
  std::string root = winpath::driveRoot(driveLetter(path_));
  folders_.push_back({root, root, 0, true});
  std::string walk = root;
  int depth = 1;
  for (const auto& part : winpath::components(path_)) {
    walk = winpath::join(walk, part);
    folders_.push_back({walk, part, depth++, true});
  }
  listIndex_ = static_cast<int>(folders_.size()) - 1;
  for (const auto& e : fs::list(path_)) {
    if (e.folder && !e.hidden)
      folders_.push_back({winpath::join(path_, e.name), e.name, depth, false});
  }
}

void Control::fillFiles() {
  items_.clear();
  selected_.clear();
  listIndex_ = -1;
  anchor_ = -1;
  for (const auto& e : fs::list(path_)) {
    if (!e.folder && !e.hidden && matchAnyPattern(pattern_, e.name)) {
      items_.push_back(e.name);
      selected_.push_back(false);
    }
  }
}

}  // namespace zv
